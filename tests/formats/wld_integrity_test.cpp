#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "formats/wld.hpp"

namespace tessarim {
namespace {

Polygon triangle(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  Polygon p;
  p.sides = 3;
  p.vertexIndex = {a, b, c, 0};
  return p;
}

// The pass as the studio describes it, one removal at a time; quadratic, for comparison only.
int referenceDuplicatePass(Module& m) {
  auto near = [](const Vertex& a, const Vertex& b) {
    auto q = [](float c) {
      return static_cast<long long>(std::nearbyint(static_cast<double>(c) * 10000.0));
    };
    long long dx = q(a.x) - q(b.x), dy = q(a.y) - q(b.y), dz = q(a.z) - q(b.z);
    return dx * dx + dy * dy + dz * dz < 100 * 100;
  };
  int removed = 0;
  for (std::size_t a = 0; a < m.vertices.size(); ++a) {
    for (std::size_t b = 0; b < m.vertices.size();) {
      if (b == a || !near(m.vertices[a], m.vertices[b])) {
        ++b;
        continue;
      }
      m.vertices.erase(m.vertices.begin() + static_cast<long>(b));
      for (Polygon& p : m.polygons) {
        for (int c = 0; c < p.sides; ++c) {
          if (p.vertexIndex[c] == b)
            p.vertexIndex[c] = static_cast<std::uint32_t>(a);
          else if (p.vertexIndex[c] > b)
            --p.vertexIndex[c];
        }
      }
      if (b < a) --a;
      ++removed;
    }
  }
  return removed;
}

TEST(IntegrityPass, UnusedVerticesGoAndCornersKeepTheirPoints) {
  Module m;
  m.vertices = {{0, 0, 0}, {9, 9, 9}, {1, 0, 0}, {8, 8, 8}, {0, 1, 0}, {7, 7, 7}};
  m.polygons = {triangle(4, 2, 0)};
  EXPECT_EQ(removeUnusedVertices(m), 3);
  ASSERT_EQ(m.vertices.size(), 3u);
  const Vertex& a = m.vertices[m.polygons[0].vertexIndex[0]];
  const Vertex& b = m.vertices[m.polygons[0].vertexIndex[1]];
  EXPECT_EQ((std::array{a.x, a.y, b.x, b.y}), (std::array{0.0f, 1.0f, 1.0f, 0.0f}));
  EXPECT_EQ(m.polygons[0].vertexIndex, (std::array<std::uint32_t, 4>{2, 1, 0, 0}));
}

struct DistanceCase {
  float offset;  // second vertex at (base + offset, base, base)
  float base;
  bool merged;
};

class DuplicateDistance : public ::testing::TestWithParam<DistanceCase> {};

TEST_P(DuplicateDistance, OnlyVerticesCloserThanOneHundredthMerge) {
  const DistanceCase& t = GetParam();
  Module m;
  m.vertices = {{t.base, t.base, t.base}, {t.base + t.offset, t.base, t.base}, {-t.base - 5, 7, 7}};
  m.polygons = {triangle(0, 1, 2)};
  EXPECT_EQ(removeDuplicateVertices(m), t.merged ? 1 : 0);
  EXPECT_EQ(m.polygons[0].vertexIndex[1], t.merged ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DuplicateDistance,
    ::testing::Values(DistanceCase{0.01f, 0, false}, DistanceCase{0.0099f, 0, true},
                      DistanceCase{0.01f, 1.0f, false}, DistanceCase{0.0099f, 1.0f, true},
                      DistanceCase{0.01f, -123.4567f, false}, DistanceCase{0, 5e20f, true},
                      DistanceCase{0.0001f, 0, true}, DistanceCase{0.0101f, 7, false}));

TEST(IntegrityPass, DiagonalDistanceIsEuclidean) {
  // (0.006, 0.008) is exactly 0.01 away; (0.006, 0.007) is nearer.
  Module m;
  m.vertices = {{0, 0, 0}, {0.006f, 0.008f, 0}, {0.006f, 0.007f, 0}};
  m.polygons = {triangle(0, 1, 2)};
  EXPECT_EQ(removeDuplicateVertices(m), 1);
  EXPECT_EQ(m.polygons[0].vertexIndex, (std::array<std::uint32_t, 4>{0, 1, 0, 0}));
}

TEST(IntegrityPass, ChainsMergeIntoTheEarliestSurvivor) {
  // Vertex 1 is near vertex 0 and goes; vertex 2 is near only vertex 1, which is gone, so it
  // stays; vertex 3 is near both 0 and 2 and merges into the earlier, 0.
  Module m;
  m.vertices = {{0.012f, 0, 0}, {0.006f, 0, 0}, {0, 0, 0}, {0.005f, 0.001f, 0}};
  m.polygons = {triangle(2, 1, 0), triangle(3, 1, 2)};
  EXPECT_EQ(removeDuplicateVertices(m), 2);
  ASSERT_EQ(m.vertices.size(), 2u);
  EXPECT_EQ(m.vertices[0].x, 0.012f);
  EXPECT_EQ(m.vertices[1].x, 0.0f);
  EXPECT_EQ(m.polygons[0].vertexIndex, (std::array<std::uint32_t, 4>{1, 0, 0, 0}));
  EXPECT_EQ(m.polygons[1].vertexIndex, (std::array<std::uint32_t, 4>{0, 0, 1, 0}));
}

TEST(IntegrityPass, AgreesWithTheOneAtATimeDefinitionOnClusteredMeshes) {
  std::mt19937 rng{1234};
  for (int round = 0; round < 40; ++round) {
    std::uniform_int_distribution<int> grid{-30, 30};
    Module m;
    const int n = 300;
    for (int i = 0; i < n; ++i) {
      // Points on a 0.004 lattice: many pairs near, exactly at, and just past 0.01.
      auto step = [&](int k) { return static_cast<float>(k) * 0.004f; };
      m.vertices.push_back({step(grid(rng)), step(grid(rng)), step(grid(rng) % 3)});
    }
    for (int i = 0; i + 2 < n; i += 3) {
      m.polygons.push_back(triangle(static_cast<std::uint32_t>(rng() % n),
                                    static_cast<std::uint32_t>(rng() % n),
                                    static_cast<std::uint32_t>(rng() % n)));
    }
    Module expected = m;
    int expectedCount = referenceDuplicatePass(expected);
    ASSERT_EQ(removeDuplicateVertices(m), expectedCount);
    ASSERT_EQ(m.vertices.size(), expected.vertices.size());
    for (std::size_t i = 0; i < m.vertices.size(); ++i) {
      ASSERT_EQ(m.vertices[i].x, expected.vertices[i].x);
      ASSERT_EQ(m.vertices[i].y, expected.vertices[i].y);
    }
    for (std::size_t i = 0; i < m.polygons.size(); ++i) {
      ASSERT_EQ(m.polygons[i].vertexIndex, expected.polygons[i].vertexIndex) << "polygon " << i;
    }
  }
}

TEST(IntegrityPass, NaNAndInfinityNeverMerge) {
  Module m;
  m.vertices = {{NAN, 0, 0}, {NAN, 0, 0}, {INFINITY, 0, 0}, {INFINITY, 0, 0}};
  m.polygons = {triangle(0, 1, 2), triangle(3, 0, 1)};
  EXPECT_EQ(removeDuplicateVertices(m), 0);
}

}  // namespace
}  // namespace tessarim
