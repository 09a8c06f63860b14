#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "model/geometry.hpp"
#include "support/polygons.hpp"

namespace tessarim {
namespace {

constexpr float pi = 3.14159265f;

using testing::face;

void expectNear(Vec3 got, Vec3 want, float tolerance = 1e-4f) {
  EXPECT_NEAR(got.x, want.x, tolerance);
  EXPECT_NEAR(got.y, want.y, tolerance);
  EXPECT_NEAR(got.z, want.z, tolerance);
}

// An eye 10 units up the z axis looking at the origin with a 90° view over 200 x 200 pixels: the
// plane z = 0 spans -10..10 both ways, 10 pixels a unit.
struct Camera {
  Viewport viewport{0, 0, 200, 200, 0, 1};
  Matrix view = lookAtRH({0, 0, 10}, {0, 0, 0}, {0, 1, 0});
  Matrix projection = perspectiveFovRH(pi / 2, 1, 1, 100);
  static float sx(float x) { return 100 + 10 * x; }
  static float sy(float y) { return 100 - 10 * y; }
};

// A quad on z = 0 facing the eye, split along its diagonal c0-c2 (x + y = 0); the first
// triangle (c1, c2, c0) takes the half with x + y < 0. The corner c3 is pulled in, so that the
// two modes' second-triangle normals differ.
const Vec3 quad[] = {{4, -4, 0}, {-4, -4, 0}, {-4, 4, 0}, {2, 4, 0}};

struct Expected {
  float x, y;  // the point picked, in model units or in the flat texel layout
  bool second;
  float weight1, weight2;
  float normalZ;
};

// At (-1, -2) the first triangle's corner weights are c0 0.375, c1 0.375, c2 0.25; at (2, 1)
// the second's are c0 0.375, c2 0.125, c3 0.5.
const float geometryNormal2 = 48 / std::sqrt(68.0f * 128.0f);  // unit (c3 - c0) × unit (c2 - c0)
const float unitCross45 = 0.70710678f;

TEST(Pick, GeometryWeightsHitPointAndNormalInModelSpace) {
  Module m;
  m.vertices = {{20, 20, 0}, {21, 20, 0}, {20, 21, 0}};  // polygon 0, out of the way
  for (const Vec3& c : quad) m.vertices.push_back({c.x, c.y, c.z});
  m.polygons = {face({0, 1, 2}), face({3, 4, 5, 6})};
  // Turned a quarter about z and moved 1 along x: the model point (x, y) is seen at (1 - y, x).
  const Matrix world = multiply(rotationZ(pi / 2), translation(1, 0, 0));
  const Camera cam;
  const Expected cases[] = {
      {-1, -2, false, 0.375f, 0.25f, unitCross45},    // weights of c0 and c2
      {2, 1, true, 0.875f, 0.625f, geometryNormal2},  // 1 minus the weights of c2 and c0
  };
  for (const Expected& e : cases) {
    SCOPED_TRACE(e.second);
    const PickResult r = pick(m, world, Camera::sx(1 - e.y), Camera::sy(e.x), false, 0,
                              cam.viewport, cam.view, cam.projection);
    EXPECT_EQ(r.hitCount, 1);
    EXPECT_EQ(r.polygon, 1);
    EXPECT_EQ(r.secondTriangle, e.second);
    EXPECT_NEAR(r.weight1, e.weight1, 1e-4);
    EXPECT_NEAR(r.weight2, e.weight2, 1e-4);
    EXPECT_NEAR(r.distance, 10, 1e-3);
    expectNear(r.hitPoint, {e.x, e.y, 0});
    expectNear(r.normal, {0, 0, e.normalZ});
  }
}

TEST(Pick, TexelModeLaysTheAskedSetFlatInViewSpace) {
  // Set 1 on a 4096 x 1024 canvas: the flat point of (u, v) is (20 u, -5 v).
  Module m;
  m.canvasWidth = m.canvasHeight = 2048;
  m.canvasWidth2 = 4096;
  m.canvasHeight2 = 1024;
  m.vertices = {{50, 50, 0}, {51, 50, 0}, {51, 51, 0}, {50, 51, 0}};
  Polygon p = face({0, 1, 2, 3});
  for (int i = 0; i < 4; ++i) p.texels2[i] = {quad[i].x / 20, -quad[i].y / 5};
  m.polygons = {p};
  const Camera cam;
  const Matrix world = translation(50, 0, 0);  // not used for texels
  const Expected cases[] = {
      {-1, -2, false, 0.375f, 0.25f, unitCross45},  // weights of c0 and c2
      {2, 1, true, 0.5f, 0.875f, unitCross45},      // 1 minus the weights of c3 and c2
  };
  for (const Expected& e : cases) {
    SCOPED_TRACE(e.second);
    const PickResult r = pick(m, world, Camera::sx(e.x), Camera::sy(e.y), true, 1, cam.viewport,
                              cam.view, cam.projection);
    EXPECT_EQ(r.hitCount, 1);
    EXPECT_EQ(r.polygon, 0);
    EXPECT_EQ(r.secondTriangle, e.second);
    EXPECT_NEAR(r.weight1, e.weight1, 1e-4);
    EXPECT_NEAR(r.weight2, e.weight2, 1e-4);
    EXPECT_NEAR(r.distance, 10, 1e-3);
    expectNear(r.hitPoint, {e.x, e.y, 0});
    expectNear(r.normal, {0, 0, e.normalZ});
  }
  // Set 0 is all zeros: nothing to hit.
  EXPECT_EQ(pick(m, world, Camera::sx(-1), Camera::sy(-2), true, 0, cam.viewport, cam.view,
                 cam.projection)
                .hitCount,
            0);
}

TEST(Pick, TheLaterOfTwoEquallyNearPolygonsWins) {
  struct Case {
    float z0, z1;
    int polygon, hits;
  } cases[] = {{0, 0, 1, 2}, {1, 0, 0, 1}, {0, 1, 1, 2}};
  const Camera cam;
  for (const Case& c : cases) {
    Module m;
    for (float z : {c.z0, c.z1}) {
      for (int i = 0; i < 3; ++i) m.vertices.push_back({quad[i].x, quad[i].y, z});
    }
    m.polygons = {face({0, 1, 2}), face({3, 4, 5})};
    const PickResult r = pick(m, identityMatrix(), Camera::sx(-1), Camera::sy(-1), false, 0,
                              cam.viewport, cam.view, cam.projection);
    EXPECT_EQ(r.polygon, c.polygon) << c.z0 << " " << c.z1;
    EXPECT_EQ(r.hitCount, c.hits) << c.z0 << " " << c.z1;
  }
}

TEST(Pick, GeometrySkipsPolygonsSeenFromBehindButTexelsDoNot) {
  Module m;
  m.canvasWidth = m.canvasHeight = 2048;  // flat point (10 u, -10 v)
  for (const Vec3& c : quad) m.vertices.push_back({c.x, c.y, c.z});
  Polygon back = face({2, 1, 0, 3});
  for (int i = 0; i < 4; ++i) {
    const Vec3& c = quad[back.vertexIndex[i]];
    back.texels[i] = {c.x / 10, -c.y / 10};
  }
  m.polygons = {back};
  const Camera cam;
  for (bool texelMode : {false, true}) {
    const PickResult r = pick(m, identityMatrix(), Camera::sx(-1), Camera::sy(-2), texelMode, 0,
                              cam.viewport, cam.view, cam.projection);
    EXPECT_EQ(r.hitCount, texelMode ? 1 : 0) << texelMode;
  }
}

TEST(Pick, GeometrySkipsAPolygonWhoseFirstThreeCornersAreBehindTheEye) {
  // The eye at the origin looking down -z. Corners 0 and 2 lie behind it (z = 1); corner 3 lies
  // well in front, so the second triangle reaches across the ray at (1.5, 1.5, -2).
  const Camera cam;
  const float c1z[] = {1, -1};
  for (float z : c1z) {
    Module m;
    m.vertices = {{-1, 1, 1}, {-1, -1, z}, {1, -1, 1}, {3, 3, -5}};
    m.polygons = {face({0, 1, 2, 3})};
    const PickResult r = pick(m, identityMatrix(), 175, 25, false, 0, cam.viewport,
                              identityMatrix(), cam.projection);
    if (z > 0) {
      EXPECT_EQ(r.hitCount, 0);
      EXPECT_EQ(r.polygon, -1);
      EXPECT_EQ(r.distance, 3.4028235e38f);
    } else {
      EXPECT_EQ(r.hitCount, 1);
      EXPECT_TRUE(r.secondTriangle);
      EXPECT_NEAR(r.distance, 2, 1e-4);
      expectNear(r.hitPoint, {1.5f, 1.5f, -2});
    }
  }
}

// The quad's flat layout in set 0 (2048 canvas: (10 u, -10 v)) and set 1 (4096 x 1024 canvas:
// (20 u, -5 v)). Edge midpoints on screen: edge 0 (100, 140), 1 (60, 100), 2 (100, 60) for a quad
// or (100, 100) for a triangle, 3 (140, 100).
Module edgeModule() {
  const Vec3 flat[] = {{4, -4, 0}, {-4, -4, 0}, {-4, 4, 0}, {4, 4, 0}};
  Module m;
  m.canvasWidth = m.canvasHeight = 2048;
  m.canvasWidth2 = 4096;
  m.canvasHeight2 = 1024;
  m.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
  Polygon p = face({0, 1, 2, 3});
  for (int i = 0; i < 4; ++i) {
    p.texels[i] = {flat[i].x / 10, -flat[i].y / 10};
    p.texels2[i] = {flat[i].x / 20, -flat[i].y / 5};
  }
  Polygon t = p;
  t.sides = 3;
  m.polygons = {p, t};
  return m;
}

TEST(Pick, EdgeWithTheNearestMidpointAndItsEndTexels) {
  struct Case {
    int polygon;
    float x, y;
    int edge, from, to;
  } cases[] = {
      {0, 135, 95, 3, 3, 0}, {0, 104, 130, 0, 0, 1}, {0, 70, 90, 1, 1, 2},
      {0, 90, 70, 2, 2, 3},  {1, 101, 99, 2, 2, 0},  {1, 100, 135, 0, 0, 1},
  };
  const Module m = edgeModule();
  const Camera cam;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x);
    const EdgePick e = pickEdge(m, c.polygon, 0, c.x, c.y, cam.viewport, cam.view, cam.projection);
    EXPECT_EQ(e.edge, c.edge);
    EXPECT_EQ(e.start.u, m.polygons[c.polygon].texels[c.from].u);
    EXPECT_EQ(e.start.v, m.polygons[c.polygon].texels[c.from].v);
    EXPECT_EQ(e.end.u, m.polygons[c.polygon].texels[c.to].u);
    EXPECT_EQ(e.end.v, m.polygons[c.polygon].texels[c.to].v);
  }
  EXPECT_EQ(pickEdge(m, 0, 0, 1e5f, 1e5f, cam.viewport, cam.view, cam.projection).edge, -1);
}

TEST(Pick, AnEdgeMustBeStrictlyNearerToReplaceAnEarlierOne) {
  // Corners A, B, A, B: every edge has the same midpoint.
  Module m = edgeModule();
  Polygon& p = m.polygons[0];
  p.texels = {{{0.1f, 0.2f}, {0.3f, -0.1f}, {0.1f, 0.2f}, {0.3f, -0.1f}}};
  const Camera cam;
  const EdgePick e = pickEdge(m, 0, 0, 120, 110, cam.viewport, cam.view, cam.projection);
  EXPECT_EQ(e.edge, 0);
  EXPECT_EQ(e.start.u, 0.1f);
  EXPECT_EQ(e.end.u, 0.3f);
}

TEST(Pick, EdgeDrawnAsAGreenLineOnTheFlatLayout) {
  const Module m = edgeModule();
  const Camera cam;
  std::vector<LineVertex> line(3, LineVertex{9, 9, 9, 0xFFFFFFFF});
  const EdgePick e = pickEdge(m, 0, 1, 135, 95, cam.viewport, cam.view, cam.projection, &line);
  EXPECT_EQ(e.edge, 3);
  EXPECT_EQ(e.start.u, m.polygons[0].texels2[3].u);
  EXPECT_EQ(e.end.v, m.polygons[0].texels2[0].v);
  ASSERT_EQ(line.size(), 2u);
  const float want[2][2] = {{4, 4}, {4, -4}};  // corner 3, then corner 0
  for (int i = 0; i < 2; ++i) {
    EXPECT_NEAR(line[i].x, want[i][0], 1e-5);
    EXPECT_NEAR(line[i].y, want[i][1], 1e-5);
    EXPECT_EQ(line[i].z, 0);
    EXPECT_EQ(line[i].colour, 0x0000FF00u);
  }
}

}  // namespace
}  // namespace tessarim
