#include "export/wld_merge.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "maths/maths.hpp"
#include "model/geometry.hpp"
#include "model/scale_class.hpp"
#include "model/text_compare.hpp"

namespace tessarim {
namespace {

constexpr std::int32_t unknownCanvas = 2048;  // pixels, each way

// A texel canvas as width and height; nothing once the merged modules disagree on it.
using CanvasSize = std::optional<std::pair<std::int32_t, std::int32_t>>;

int texelSetOf(int slot) {
  return slot == overlayfile ? 1 : 0;
}

std::pair<std::int32_t, std::int32_t> canvasOfSet(const Module& m, int set) {
  return set == 1 ? std::pair{m.canvasWidth2, m.canvasHeight2}
                  : std::pair{m.canvasWidth, m.canvasHeight};
}

// Finds the first vertex within 0.001 of a point on every axis, or adds the point, without a
// walk over every vertex already placed (a large city would take hours). Vertices are filed in
// cubic cells sixteen times the tolerance wide; a point looks only into the cells its tolerance
// reaches, with a margin for rounding: most often its own alone.
class VertexWeld {
 public:
  explicit VertexWeld(std::vector<Vertex>& vertices) : vertices_(vertices) {}

  std::uint32_t place(const Vertex& p) {
    // A coordinate that is not finite is near nothing, so such a point is always a vertex of its
    // own and never found again.
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return append(p);
    constexpr double reach = 1.25 * tolerance;
    const std::int64_t x0 = cellOf(p.x - reach), x1 = cellOf(p.x + reach);
    const std::int64_t y0 = cellOf(p.y - reach), y1 = cellOf(p.y + reach);
    const std::int64_t z0 = cellOf(p.z - reach), z1 = cellOf(p.z + reach);
    std::uint32_t first = none;
    for (std::int64_t x = x0; x <= x1; ++x) {
      for (std::int64_t y = y0; y <= y1; ++y) {
        for (std::int64_t z = z0; z <= z1; ++z) {
          for (std::uint32_t i = cells_.newest(Cell{x, y, z}); i != none; i = next_[i]) {
            if (i < first && near(vertices_[i], p)) first = i;
          }
        }
      }
    }
    if (first != none) return first;
    const std::uint32_t index = append(p);
    // Each cell lists its vertices newest first.
    next_[index] = cells_.file(Cell{cellOf(p.x), cellOf(p.y), cellOf(p.z)}, index);
    return index;
  }

 private:
  struct Cell {
    std::int64_t x, y, z;
    friend bool operator==(const Cell&, const Cell&) = default;
  };

  // The newest vertex of each cell, in one open-addressed table: a lookup costs one cache miss
  // where a node-based map costs several.
  class CellTable {
   public:
    std::uint32_t newest(const Cell& cell) const {
      if (slots_.empty()) return none;
      for (std::size_t i = hash(cell) & mask();; i = (i + 1) & mask()) {
        if (slots_[i].vertex == none) return none;
        if (slots_[i].cell == cell) return slots_[i].vertex;
      }
    }
    // Makes vertex the cell's newest; returns the one it follows, or none.
    std::uint32_t file(const Cell& cell, std::uint32_t vertex) {
      if (2 * (used_ + 1) > slots_.size()) grow();
      for (std::size_t i = hash(cell) & mask();; i = (i + 1) & mask()) {
        Slot& slot = slots_[i];
        if (slot.vertex == none) {
          slot = {cell, vertex};
          ++used_;
          return none;
        }
        if (slot.cell == cell) return std::exchange(slot.vertex, vertex);
      }
    }

   private:
    struct Slot {
      Cell cell{};
      std::uint32_t vertex = none;
    };

    static std::size_t hash(const Cell& c) {
      std::uint64_t h = static_cast<std::uint64_t>(c.x) * 0x9E3779B97F4A7C15ull;
      h ^= static_cast<std::uint64_t>(c.y) * 0xC2B2AE3D27D4EB4Full;
      h ^= static_cast<std::uint64_t>(c.z) * 0x165667B19E3779F9ull;
      // Mixed so that the low bits, which pick the slot, depend on every bit of the cell.
      h = (h ^ (h >> 33)) * 0xFF51AFD7ED558CCDull;
      h = (h ^ (h >> 33)) * 0xC4CEB9FE1A85EC53ull;
      return static_cast<std::size_t>(h ^ (h >> 33));
    }
    std::size_t mask() const { return slots_.size() - 1; }

    void grow() {
      std::vector<Slot> old =
          std::exchange(slots_, std::vector<Slot>(std::max<std::size_t>(1024, slots_.size() * 2)));
      used_ = 0;
      for (const Slot& slot : old) {
        if (slot.vertex != none) file(slot.cell, slot.vertex);
      }
    }

    std::vector<Slot> slots_;  // a power of two long, at most half used
    std::size_t used_ = 0;
  };

  static constexpr double tolerance = 0.001;
  static constexpr std::uint32_t none = std::numeric_limits<std::uint32_t>::max();

  static bool near(const Vertex& a, const Vertex& b) {
    return std::fabs(double{a.x} - double{b.x}) <= tolerance &&
           std::fabs(double{a.y} - double{b.y}) <= tolerance &&
           std::fabs(double{a.z} - double{b.z}) <= tolerance;
  }

  // Far out, where neighbouring floats are much more than a cell apart, every point shares the
  // last cell: the cell numbers stay far from overflowing.
  static std::int64_t cellOf(double coordinate) {
    constexpr double limit = 1e15;
    const double cell = std::floor(coordinate / (16 * tolerance));
    return static_cast<std::int64_t>(std::clamp(cell, -limit, limit));
  }

  std::uint32_t append(const Vertex& p) {
    vertices_.push_back(p);
    next_.push_back(none);
    return static_cast<std::uint32_t>(vertices_.size() - 1);
  }

  std::vector<Vertex>& vertices_;
  std::vector<std::uint32_t> next_;  // by vertex: the next older vertex of its cell
  CellTable cells_;
};

bool namesInstance(const Document& document, InstanceRef ref) {
  return ref.module >= 0 && ref.module < document.wldfiles && ref.instance >= 0 &&
         static_cast<std::size_t>(ref.instance) < document.module[ref.module].instances.size();
}

// Beyond the float range a coordinate becomes an infinity rather than an undefined conversion.
float toFloat(double value) {
  constexpr double largest = std::numeric_limits<float>::max();
  if (value > largest) return std::numeric_limits<float>::infinity();
  if (value < -largest) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

bool usesKnownVertices(const Module& module, const Polygon& polygon) {
  const int corners = cornerCount(polygon);
  for (int c = 0; c < corners; ++c) {
    if (polygon.vertexIndex[c] >= module.vertices.size()) return false;
  }
  return true;
}

}  // namespace

std::vector<InstanceRef> takeWldExportList(Model& model) {
  std::vector<InstanceRef> list = selectedInstanceRefs(model);
  if (model.selection.selectedInstances.empty()) model.selection.selectedInstances = list;
  return list;
}

WldMerge mergeInstances(const Document& document, std::span<const InstanceRef> requested,
                        const RepositoryFolder& repository) {
  std::vector<InstanceRef> list;
  for (const InstanceRef ref : requested) {
    if (namesInstance(document, ref)) list.push_back(ref);
  }
  WldMerge result;
  Module& merged = result.module;
  merged.instances.assign(1, Instance{});
  merged.canvasWidth = merged.canvasHeight = unknownCanvas;
  merged.canvasWidth2 = merged.canvasHeight2 = unknownCanvas;
  if (list.empty()) return result;

  const int firstModule = list.front().module;
  std::string firstBase = document.module[firstModule].maps[textfile];
  makeRelative(repository, firstBase);
  auto mapName = [&](int module, int slot) -> const std::string& {
    return module == firstModule && slot == textfile ? firstBase
                                                     : document.module[module].maps[slot];
  };

  // A map is kept while every module that has one in its slot names the same file; the canvas
  // of its texel set is kept while they agree on it too.
  std::array<std::string, mapSlotCount> names;
  std::array<bool, mapSlotCount> warned{};
  std::array<CanvasSize, 2> canvas;
  for (const InstanceRef ref : list) {
    const Module& m = document.module[ref.module];
    for (int slot = 0; slot < mapSlotCount; ++slot) {
      const std::string& name = mapName(ref.module, slot);
      if (name.empty()) continue;
      const int set = texelSetOf(slot);
      if (names[slot].empty() && !warned[slot]) {
        names[slot] = name;
        canvas[set] = canvasOfSet(m, set);
      } else if (!equalIgnoringCase(names[slot], name)) {
        names[slot].clear();
        if (!warned[slot]) {
          warned[slot] = true;
          result.variedMaps.push_back(slot);
        }
        if (canvas[set] != canvasOfSet(m, set)) canvas[set].reset();
      }
    }
  }

  const Module& first = document.module[firstModule];
  merged.scaleClass = first.scaleClass;
  for (const InstanceRef ref : list) {
    if (document.module[ref.module].scaleClass != first.scaleClass) result.mixedScales = true;
  }
  if (result.mixedScales) {
    merged.scaleClass = 0;
    for (std::string& name : names) name.clear();
  } else {
    merged.newScaleFamily = first.newScaleFamily;
  }
  merged.maps = names;
  if (canvas[0]) std::tie(merged.canvasWidth, merged.canvasHeight) = *canvas[0];
  if (canvas[1]) std::tie(merged.canvasWidth2, merged.canvasHeight2) = *canvas[1];

  // Kilometres per unit of the result; locations are in their own module's units.
  const double unit = unitKilometres(merged.scaleClass);
  std::array<double, 3> sum{};
  for (const InstanceRef ref : list) {
    const double toResult = unitKilometres(document.module[ref.module].scaleClass) / unit;
    const Instance& t = document.module[ref.module].instances[ref.instance];
    for (int c = 0; c < 3; ++c) sum[c] += t.location[c] * toResult;
  }
  std::array<double, 3> centre{};
  for (int c = 0; c < 3; ++c) centre[c] = std::round(sum[c] / static_cast<double>(list.size()));

  std::size_t polygons = 0;
  for (const InstanceRef ref : list) polygons += document.module[ref.module].polygons.size();
  merged.polygons.reserve(polygons);
  VertexWeld weld{merged.vertices};
  for (const InstanceRef ref : list) {
    const Module& m = document.module[ref.module];
    const Matrix& world = m.instances[ref.instance].worldMatrix;
    for (const Polygon& source : m.polygons) {
      if (!usesKnownVertices(m, source)) continue;
      Polygon p = source;
      // Texels of a set whose canvas is not known are laid out again by the user.
      if (!canvas[0]) {
        p.texels[0] = {};
        p.texelAngle = -1;
      }
      if (!canvas[1]) {
        p.texels2[0] = {};
        p.texelAngle2 = -1;
      }
      const int corners = cornerCount(p);
      for (int c = 0; c < corners; ++c) {
        const Vertex& v = m.vertices[source.vertexIndex[c]];
        const Vec3 placed = transformCoord({v.x, v.y, v.z}, world);
        const Vertex local{toFloat(placed.x / unit - centre[0]),
                           toFloat(placed.y / unit - centre[1]),
                           toFloat(placed.z / unit - centre[2])};
        p.vertexIndex[c] = weld.place(local);
      }
      // As reading the file gives it: a triangle's unused fourth index is 0.
      for (int c = corners; c < 4; ++c) p.vertexIndex[c] = 0;
      merged.polygons.push_back(p);
    }
  }
  return result;
}

}  // namespace tessarim
