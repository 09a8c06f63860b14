#include <array>
#include <cmath>
#include <cstring>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "formats/wld.hpp"

namespace tessarim {
namespace {

// Positions in ten-thousandths of a model unit, the precision the file stores. Comparing these
// integers makes "closer than 0.01" exact for every value the file can hold: vertices exactly
// 0.01 apart survive wherever they lie, which float arithmetic does not guarantee.
constexpr double quantum = 10000.0;
constexpr std::int64_t cell = 100;  // 0.01 units
// Beyond this a float's spacing is far above 0.01, so such a coordinate must match exactly.
constexpr float largeCoordinate = 1e14f;

struct Axis {
  std::int64_t value;  // ten-thousandths, or the float's bits when large
  bool large;
};

struct Quantised {
  std::array<Axis, 3> axis;
  bool comparable;  // no NaN or infinity: those are never closer than anything
};

Quantised quantise(const Vertex& v) {
  Quantised q{};
  q.comparable = true;
  const float c[3] = {v.x, v.y, v.z};
  for (int i = 0; i < 3; ++i) {
    if (!std::isfinite(c[i])) {
      q.comparable = false;
    } else if (std::fabs(c[i]) >= largeCoordinate) {
      std::uint32_t bits;
      std::memcpy(&bits, &c[i], sizeof bits);
      q.axis[i] = {static_cast<std::int64_t>(bits), true};
    } else {
      // Rounded as the writer prints it (ties to even on the exact value), so a mesh that
      // survived one load survives the next.
      q.axis[i] = {static_cast<std::int64_t>(std::nearbyint(static_cast<double>(c[i]) * quantum)), false};
    }
  }
  return q;
}

std::int64_t cellOf(std::int64_t c) { return c >= 0 ? c / cell : -((-c + cell - 1) / cell); }

struct CellKey {
  std::array<std::int64_t, 3> c;
  std::uint8_t largeMask;
  bool operator==(const CellKey&) const = default;
};
struct CellHash {
  std::size_t operator()(const CellKey& k) const {
    std::uint64_t h = k.largeMask;
    for (auto c : k.c) h = (h ^ static_cast<std::uint64_t>(c)) * 0x9E3779B97F4A7C15ull + (h >> 29);
    return static_cast<std::size_t>(h);
  }
};

CellKey cellKey(const Quantised& q) {
  CellKey k{};
  for (int i = 0; i < 3; ++i) {
    k.c[i] = q.axis[i].large ? q.axis[i].value : cellOf(q.axis[i].value);
    if (q.axis[i].large) k.largeMask = static_cast<std::uint8_t>(k.largeMask | (1u << i));
  }
  return k;
}

}  // namespace

int removeUnusedVertices(Module& m) {
  const std::size_t n = m.vertices.size();
  std::vector<char> used(n, 0);
  for (const Polygon& p : m.polygons) {
    for (int c = 0; c < p.sides && c < 4; ++c) {
      if (p.vertexIndex[c] < n) used[p.vertexIndex[c]] = 1;
    }
  }
  // Removing one vertex and moving every higher index down by one, vertex by vertex, is the
  // same as compacting the list once with each index moved down by the removals below it.
  std::vector<std::uint32_t> newIndex(n);
  std::size_t kept = 0;
  for (std::size_t i = 0; i < n; ++i) {
    newIndex[i] = static_cast<std::uint32_t>(kept);
    if (used[i]) m.vertices[kept++] = m.vertices[i];
  }
  if (kept == n) return 0;
  m.vertices.resize(kept);
  for (Polygon& p : m.polygons) {
    for (int c = 0; c < p.sides && c < 4; ++c) {
      if (p.vertexIndex[c] < n) p.vertexIndex[c] = static_cast<std::uint16_t>(newIndex[p.vertexIndex[c]]);
    }
  }
  return static_cast<int>(n - kept);
}

// Scanning vertex A upward and removing every later B closer than 0.01 into A is a greedy pass:
// a vertex survives when no earlier survivor lies within 0.01 of it, and is otherwise merged into
// the earliest such survivor. No survivor can be removed later, since it would have removed the
// nearer vertex first. A grid of 0.01 cells finds the candidates in linear time.
std::vector<std::uint32_t> duplicateVertexTargets(const std::vector<Vertex>& vertices) {
  const std::size_t n = vertices.size();
  std::vector<std::uint32_t> target(n);
  std::unordered_map<CellKey, std::vector<std::uint32_t>, CellHash> grid;
  grid.reserve(n);
  std::vector<Quantised> q(n);
  for (std::size_t i = 0; i < n; ++i) q[i] = quantise(vertices[i]);

  for (std::size_t i = 0; i < n; ++i) {
    target[i] = static_cast<std::uint32_t>(i);
    const Quantised& a = q[i];
    if (!a.comparable) continue;
    const CellKey home = cellKey(a);
    std::uint32_t best = static_cast<std::uint32_t>(i);
    auto visit = [&](const CellKey& key) {
      auto found = grid.find(key);
      if (found == grid.end()) return;
      for (std::uint32_t j : found->second) {
        if (j >= best) break;  // each cell lists survivors in ascending order
        std::int64_t distance2 = 0;
        for (int k = 0; k < 3; ++k) {
          if (a.axis[k].large) continue;  // equal by the cell key
          std::int64_t d = q[j].axis[k].value - a.axis[k].value;
          distance2 += d * d;
        }
        if (distance2 < cell * cell) best = j;
      }
    };
    // Neighbouring cells along every axis that is not large.
    std::int64_t span[3];
    for (int k = 0; k < 3; ++k) span[k] = a.axis[k].large ? 0 : 1;
    for (std::int64_t dx = -span[0]; dx <= span[0]; ++dx) {
      for (std::int64_t dy = -span[1]; dy <= span[1]; ++dy) {
        for (std::int64_t dz = -span[2]; dz <= span[2]; ++dz) {
          CellKey key = home;
          key.c[0] += dx;
          key.c[1] += dy;
          key.c[2] += dz;
          visit(key);
        }
      }
    }
    if (best != i) {
      target[i] = best;
    } else {
      grid[home].push_back(static_cast<std::uint32_t>(i));
    }
  }
  return target;
}

int removeDuplicateVertices(Module& m) {
  const std::size_t n = m.vertices.size();
  std::vector<std::uint32_t> target = duplicateVertexTargets(m.vertices);
  std::vector<std::uint32_t> newIndex(n);
  std::size_t kept = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (target[i] == i) {
      newIndex[i] = static_cast<std::uint32_t>(kept);
      m.vertices[kept++] = m.vertices[i];
    }
  }
  if (kept == n) return 0;
  for (std::size_t i = 0; i < n; ++i) newIndex[i] = newIndex[target[i]];
  m.vertices.resize(kept);
  for (Polygon& p : m.polygons) {
    for (int c = 0; c < p.sides && c < 4; ++c) {
      if (p.vertexIndex[c] < n) p.vertexIndex[c] = static_cast<std::uint16_t>(newIndex[p.vertexIndex[c]]);
    }
  }
  return static_cast<int>(n - kept);
}

}  // namespace tessarim
