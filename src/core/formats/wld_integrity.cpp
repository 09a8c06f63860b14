#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "formats/wld.hpp"

namespace tessarim {
namespace {

// Positions in ten-thousandths of a model unit, the precision the file stores. Comparing these
// integers makes "closer than 0.01" exact for every value the file can hold: vertices exactly
// 0.01 apart survive wherever they lie, which float arithmetic does not guarantee.
constexpr double quantum = 10000.0;
constexpr std::int64_t nearDistance = 100;  // 0.01 units
// Cells twice that wide: everything within 0.01 of a point lies in at most two cells per axis.
constexpr std::int64_t cell = 2 * nearDistance;
// Beyond this a float's spacing is far above 0.01, so such a coordinate must match exactly.
constexpr float largeCoordinate = 1e14f;

struct Quantised {
  std::array<std::int64_t, 3> value;  // ten-thousandths, or the float's bits on a large axis
  std::uint8_t largeMask = 0;         // bit k: axis k is large
  bool comparable = true;             // no NaN or infinity: those are never closer than anything
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
      q.value[i] = static_cast<std::int64_t>(bits);
      q.largeMask = static_cast<std::uint8_t>(q.largeMask | (1u << i));
    } else {
      // Rounded as the writer prints it (ties to even on the exact value), so a mesh that
      // survived one load survives the next.
      q.value[i] = static_cast<std::int64_t>(std::nearbyint(static_cast<double>(c[i]) * quantum));
    }
  }
  return q;
}

std::int64_t cellOf(std::int64_t c) {
  return c >= 0 ? c / cell : -((-c + cell - 1) / cell);
}

struct CellKey {
  std::array<std::int64_t, 3> c;
  std::uint8_t largeMask;
  bool operator==(const CellKey&) const = default;
};

CellKey cellKey(const Quantised& q) {
  CellKey k{};
  k.largeMask = q.largeMask;
  for (int i = 0; i < 3; ++i) k.c[i] = (q.largeMask >> i & 1) ? q.value[i] : cellOf(q.value[i]);
  return k;
}

std::uint64_t hashOf(const CellKey& k) {
  std::uint64_t h = k.largeMask;
  for (auto c : k.c) h = (h ^ static_cast<std::uint64_t>(c)) * 0x9E3779B97F4A7C15ull;
  return h ^ (h >> 29);
}

// Survivors by cell, in one flat open-addressed table of 8-byte slots: the first and last
// survivor of a cell, whose cell is known from the first survivor's position. Survivors of a
// cell are chained in ascending order.
class CellTable {
 public:
  CellTable(std::size_t expected, const std::vector<Quantised>& q) : q_(q) {
    std::size_t size = 16;
    while (size < expected * 2) size <<= 1;
    slots_.resize(size);
    mask_ = size - 1;
  }

  // The first survivor in the cell, or none.
  std::uint32_t first(const CellKey& key, std::uint64_t hash) const {
    for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
      const Slot& s = slots_[i];
      if (s.head == none || cellKey(q_[s.head]) == key) return s.head;
    }
  }

  void append(const CellKey& key, std::uint64_t hash, std::uint32_t index,
              std::vector<std::uint32_t>& next) {
    for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
      Slot& s = slots_[i];
      if (s.head == none) {
        s = Slot{index, index};
        return;
      }
      if (cellKey(q_[s.head]) == key) {
        next[s.tail] = index;
        s.tail = index;
        return;
      }
    }
  }

  static constexpr std::uint32_t none = 0xFFFFFFFFu;

 private:
  struct Slot {
    std::uint32_t head = none;
    std::uint32_t tail = none;
  };
  const std::vector<Quantised>& q_;
  std::vector<Slot> slots_;
  std::size_t mask_;
};

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
      if (p.vertexIndex[c] < n)
        p.vertexIndex[c] = static_cast<std::uint32_t>(newIndex[p.vertexIndex[c]]);
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
  std::vector<std::uint32_t> next(n, CellTable::none);
  std::vector<Quantised> q(n);
  for (std::size_t i = 0; i < n; ++i) q[i] = quantise(vertices[i]);
  CellTable cells{n, q};
  for (std::size_t i = 0; i < n; ++i) {
    target[i] = static_cast<std::uint32_t>(i);
    const Quantised& a = q[i];
    if (!a.comparable) continue;
    const CellKey home = cellKey(a);
    std::uint32_t best = static_cast<std::uint32_t>(i);
    // The cells within reach along every axis that is not large (a large axis must match exactly).
    std::int64_t low[3], high[3];
    for (int k = 0; k < 3; ++k) {
      const bool large = a.largeMask >> k & 1;
      low[k] = large ? home.c[k] : cellOf(a.value[k] - nearDistance);
      high[k] = large ? home.c[k] : cellOf(a.value[k] + nearDistance);
    }
    CellKey key = home;
    for (key.c[0] = low[0]; key.c[0] <= high[0]; ++key.c[0]) {
      for (key.c[1] = low[1]; key.c[1] <= high[1]; ++key.c[1]) {
        for (key.c[2] = low[2]; key.c[2] <= high[2]; ++key.c[2]) {
          for (std::uint32_t j = cells.first(key, hashOf(key)); j != CellTable::none && j < best;
               j = next[j]) {
            std::int64_t distance2 = 0;
            for (int k = 0; k < 3; ++k) {
              if (a.largeMask >> k & 1) continue;  // equal by the cell key
              std::int64_t d = q[j].value[k] - a.value[k];
              distance2 += d * d;
            }
            if (distance2 < nearDistance * nearDistance) best = j;
          }
        }
      }
    }
    if (best != i)
      target[i] = best;
    else
      cells.append(home, hashOf(home), static_cast<std::uint32_t>(i), next);
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
      if (p.vertexIndex[c] < n)
        p.vertexIndex[c] = static_cast<std::uint32_t>(newIndex[p.vertexIndex[c]]);
    }
  }
  return static_cast<int>(n - kept);
}

}  // namespace tessarim
