#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>

#include "model/geometry.hpp"
#include "support/polygons.hpp"

namespace tessarim {
namespace {

constexpr float pi = 3.14159265f;

using testing::face;

// Class 1 (density 6.4) with canvases of different sides, so that a swapped width and height
// or the other set's canvas shows.
Model oneModule(std::vector<Vertex> vertices, std::vector<Polygon> polygons) {
  Model model;
  model.document.wldfiles = 1;
  Module& m = model.document.module[0];
  m.scaleClass = 1;
  m.canvasWidth = 2048;
  m.canvasHeight = 1024;
  m.canvasWidth2 = 512;
  m.canvasHeight2 = 4096;
  m.vertices = std::move(vertices);
  m.polygons = std::move(polygons);
  return model;
}

// A quad in the plane z = 2 facing +z, and the same quad wound the other way (facing -z).
const std::vector<Vertex> quadCorners = {{5, 1, 2}, {1, 1, 2}, {1, 4, 2}, {5, 4, 2}};

TEST(Texel, APolygonOfConstantZIsLaidOutWithoutTurning) {
  struct Case {
    int set;
    bool facingDown;  // wound to face -z: turned half a turn about x, which mirrors y
    float density, width, height;
  } cases[] = {
      {0, false, 6.4f, 2048, 1024},
      {1, false, 12.8f, 512, 4096},
      {0, true, 6.4f, 2048, 1024},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.set);
    SCOPED_TRACE(c.facingDown);
    Polygon p = c.facingDown ? face({2, 1, 0, 3}) : face({0, 1, 2, 3});
    p.texels = p.texels2 = {{{0.9f, 0.1f}, {0.9f, 0.1f}, {0.9f, 0.1f}, {0.9f, 0.1f}}};
    p.texelAngle = p.texelAngle2 = -1;
    Model model = oneModule(quadCorners, {p});

    generateTexels(model, 0, c.set, 0);

    const Polygon& g = model.document.module[0].polygons[0];
    const float centreY = 2.5f;
    for (int i = 0; i < 4; ++i) {
      const Vertex& v = quadCorners[g.vertexIndex[i]];
      const float y = c.facingDown ? 2 * centreY - v.y : v.y;
      // Not moved back towards the old texels, which all sat at (0.9, 0.1).
      EXPECT_NEAR(texelsOf(g, c.set)[i].u, c.density * v.x / c.width + 0.5f, 1e-6);
      EXPECT_NEAR(texelsOf(g, c.set)[i].v, -c.density * y / c.height + 0.5f, 1e-6);
    }
    EXPECT_EQ(c.set == 1 ? g.texelAngle2 : g.texelAngle, 0);
    EXPECT_EQ(c.set == 1 ? g.texelAngle : g.texelAngle2, -1);
    EXPECT_EQ(texelsOf(g, 1 - c.set)[0].u, 0.9f);
    EXPECT_EQ(model.document.module[0].modified, 1);
  }
}

TEST(Texel, AnyPlaneIsLaidFlatFrontUpWithItsTrueSize) {
  // Planes facing each axis both ways, vertical ones (normal z of 0) included, and tilted ones.
  const Vertex triangles[][3] = {
      {{5, 0, 0}, {5, 0, 2}, {5, 3, 2}},   {{5, 3, 2}, {5, 0, 2}, {5, 0, 0}},
      {{0, 2, 0}, {1, 2, 0}, {0, 2, 1}},   {{0, 2, 1}, {1, 2, 0}, {0, 2, 0}},
      {{1, 2, 3}, {4, -1, 2}, {0, 5, -3}}, {{0, 5, -3}, {4, -1, 2}, {1, 2, 3}},
      {{0, 0, 0}, {1, 0, 1}, {0, 1, 0}},   {{2, -1, 7}, {-3, 0, 4}, {1, 6, 5}},
  };
  const float d = 6.4f, w = 2048, h = 1024;
  for (const auto& t : triangles) {
    Polygon p = face({0, 1, 2});
    p.texelAngle = -1;
    Model model = oneModule({t[0], t[1], t[2]}, {p});
    generateTexels(model, 0, 0, allPolygons);

    // Back to model units: the layout is (x, -y) of the plane seen from its front.
    Vec3 flat[3], corner[3];
    for (int i = 0; i < 3; ++i) {
      const Texel& tx = model.document.module[0].polygons[0].texels[i];
      flat[i] = {(tx.u - 0.5f) * w / d, (tx.v - 0.5f) * h / d, 0};
      corner[i] = {t[i].x, t[i].y, t[i].z};
    }
    for (int i = 0; i < 3; ++i) {
      const int j = (i + 1) % 3;
      EXPECT_NEAR(length(flat[i] - flat[j]), length(corner[i] - corner[j]), 1e-4);
    }
    // Seen from the front, v grows the other way, so the layout's winding is reversed.
    const float area = length(cross(corner[0] - corner[1], corner[2] - corner[1]));
    EXPECT_NEAR(cross(flat[0] - flat[1], flat[2] - flat[1]).z, -area, 1e-3);
    // Placed by the polygon's centre: u by its x, v by minus its y.
    EXPECT_NEAR((flat[0].x + flat[1].x + flat[2].x) / 3, (t[0].x + t[1].x + t[2].x) / 3, 1e-4);
    EXPECT_NEAR((flat[0].y + flat[1].y + flat[2].y) / 3, -(t[0].y + t[1].y + t[2].y) / 3, 1e-4);
  }
}

TEST(Texel, VerticalPlanesTurnAQuarterTheWayTheirNormalSays) {
  // Facing +x: a quarter turn about y by -90° takes offsets (x, y, z) to (-z, y, x). Facing +y:
  // a quarter turn about x by +90° takes them to (x, -z, y). Unscaled texels are (x + C.x,
  // -(y + C.y)) of the turned offsets.
  struct Case {
    Vertex corners[3];
    float u[3], v[3];
  } cases[] = {
      {{{5, 0, 0}, {5, 0, 2}, {5, 3, 2}}, {19.0f / 3, 13.0f / 3, 13.0f / 3}, {0, 0, -3}},
      {{{0, 2, 0}, {1, 2, 0}, {0, 2, 1}}, {0, 1, 0}, {-7.0f / 3, -7.0f / 3, -4.0f / 3}},
  };
  const float d = 6.4f, w = 2048, h = 1024;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.corners[0].x);
    Polygon p = face({0, 1, 2});
    p.texelAngle = -1;
    Model model = oneModule({c.corners[0], c.corners[1], c.corners[2]}, {p});
    generateTexels(model, 0, 0, 0);
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(model.document.module[0].polygons[0].texels[i].u, d * c.u[i] / w + 0.5f, 1e-6);
      EXPECT_NEAR(model.document.module[0].polygons[0].texels[i].v, d * c.v[i] / h + 0.5f, 1e-6);
    }
  }
}

TEST(Texel, AGeneratedSetKeepsItsAngleAndOldCentre) {
  const float d = 6.4f, w = 2048, h = 1024;
  for (float angle : {0.0f, 0.5f, -2.0f, 3.0f}) {
    SCOPED_TRACE(angle);
    Polygon p = face({0, 1, 2, 3});
    p.texels = {{{0.2f, 0.5f}, {0.4f, 0.5f}, {0.4f, 0.7f}, {0.2f, 0.7f}}};  // centred on (0.3, 0.6)
    p.texelAngle = angle;
    Model model = oneModule(quadCorners, {p});

    generateTexels(model, 0, 0, 0);

    // The flat layout's offsets from its centre, in pixels, turned by the angle.
    const Polygon& g = model.document.module[0].polygons[0];
    const float cs = std::cos(angle), sn = std::sin(angle);
    for (int i = 0; i < 4; ++i) {
      const float du = d * (quadCorners[i].x - 3), dv = -d * (quadCorners[i].y - 2.5f);
      EXPECT_NEAR(g.texels[i].u, 0.3f + (du * cs - dv * sn) / w, 1e-6);
      EXPECT_NEAR(g.texels[i].v, 0.6f + (dv * cs + du * sn) / h, 1e-6);
    }
    EXPECT_EQ(g.texelAngle, angle);
  }
}

TEST(Texel, AnOldTexelThatIsNotANumberCountsAsZero) {
  Polygon p = face({0, 1, 2});
  p.texels = {{{std::numeric_limits<float>::quiet_NaN(), 0.4f}, {0.6f, 0.6f}, {0.9f, 0.2f}, {}}};
  Model model = oneModule({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {p});
  generateTexels(model, 0, 0, 0);
  const auto& t = model.document.module[0].polygons[0].texels;
  EXPECT_NEAR((t[0].u + t[1].u + t[2].u) / 3, 0.5f, 1e-6);
  EXPECT_NEAR((t[0].v + t[1].v + t[2].v) / 3, 0.8f / 3, 1e-6);
}

TEST(Texel, GenerateReachesOnlyItsTarget) {
  struct Case {
    int target;
    std::vector<std::uint32_t> selected;
    std::vector<bool> generated;
  } cases[] = {
      {allPolygons, {1}, {true, true, true}},
      {selectedPolygonsTarget, {2, 0}, {true, false, true}},
      {1, {0}, {false, true, false}},
      {3, {}, {false, false, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    Polygon p = face({0, 1, 2});
    p.texelAngle = -1;  // becomes 0 when generated
    Model model = oneModule({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {p, p, p});
    model.selection.selectedPolygons = c.selected;
    generateTexels(model, 0, 0, c.target);
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(model.document.module[0].polygons[i].texelAngle == 0, c.generated[i]) << i;
    EXPECT_EQ(model.document.module[0].modified == 1, c.target != 3);
  }
}

TEST(Texel, RegeneratingZeroesUngeneratedSetsAndKeepsGeneratedOnesInPlace) {
  const float d = 6.4f;
  Polygon a = face({0, 1, 2, 3});
  a.texels = {{{0.2f, 0.5f}, {0.4f, 0.5f}, {0.4f, 0.7f}, {0.2f, 0.7f}}};
  a.texelAngle = 0;
  a.texels2 = {{{0.1f, 0.2f}, {0.3f, 0.4f}, {0.5f, 0.6f}, {0.7f, 0.8f}}};
  a.texelAngle2 = -1;
  Polygon b = a;
  b.texelAngle = -1;
  b.texelAngle2 = 0;
  Model model = oneModule(quadCorners, {a, b});
  Module& m = model.document.module[0];

  regenerateAllTexels(m);

  const Polygon& ga = m.polygons[0];
  const Polygon& gb = m.polygons[1];
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(ga.texels[i].u, 0.3f + d * (quadCorners[i].x - 3) / 2048, 1e-6);
    EXPECT_NEAR(ga.texels[i].v, 0.6f - d * (quadCorners[i].y - 2.5f) / 1024, 1e-6);
    EXPECT_EQ(ga.texels2[i].u, 0);
    EXPECT_EQ(ga.texels2[i].v, 0);
    EXPECT_EQ(gb.texels[i].u, 0);
    EXPECT_EQ(gb.texels[i].v, 0);
  }
  EXPECT_EQ(gb.texelAngle, -1);  // zeroing leaves a set ungenerated
  // Set 1 at twice the density: corners 0 and 1 are 4 units apart.
  EXPECT_NEAR((gb.texels2[0].u - gb.texels2[1].u) * 512, 2 * d * 4, 1e-3);
  EXPECT_NEAR((gb.texels2[0].u + gb.texels2[1].u + gb.texels2[2].u + gb.texels2[3].u) / 4, 0.4f,
              1e-6);
  EXPECT_EQ(m.modified, 1);
}

TEST(Texel, RotationTurnsInPixelsAboutThePolygonsCentre) {
  // Pixels (100, 100), (400, 100), (400, 250) about their mean (300, 150), a quarter turn:
  // an offset along u becomes one along v.
  const float before[][2] = {{100, 100}, {400, 100}, {400, 250}};
  const float after[][2] = {{350, -50}, {350, 250}, {200, 250}};
  for (int set : {0, 1}) {
    SCOPED_TRACE(set);
    Model model = oneModule({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {face({0, 1, 2})});
    Module& m = model.document.module[0];
    const Canvas canvas = canvasOf(m, set);
    Polygon& p = m.polygons[0];
    for (int i = 0; i < 3; ++i)
      texelsOf(p, set)[i] = {before[i][0] / canvas.width, before[i][1] / canvas.height};

    rotatePolygonTexels(m, set, 0, pi / 2, false);

    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(texelsOf(p, set)[i].u * canvas.width, after[i][0], 1e-3);
      EXPECT_NEAR(texelsOf(p, set)[i].v * canvas.height, after[i][1], 1e-3);
    }
    EXPECT_EQ(texelsOf(p, 1 - set)[0].u, 0);
    EXPECT_EQ(m.modified, 1);
  }
}

TEST(Texel, AccumulatedAngleWrapsAtTwoPi) {
  struct Case {
    int set;
    float start, by;
    bool accumulate;
    float want;
  } cases[] = {
      {0, 6.0f, 0.5f, true, 6.5f - 6.2831855f},
      {1, -6.0f, -0.5f, true, -6.5f + 6.2831855f},
      {0, 1.0f, 0.5f, true, 1.5f},
      {1, 6.0f, 0.2831855f, true, 6.2831855f},  // reaching 2π is not exceeding it
      {0, -1.0f, 0.5f, true, -1.0f},            // an ungenerated set stays so
      {1, 1.0f, 0.5f, false, 1.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start);
    Polygon p = face({0, 1, 2});
    p.texelAngle = p.texelAngle2 = 2;
    texelAngleOf(p, c.set) = c.start;
    Model model = oneModule({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {p});
    rotatePolygonTexels(model.document.module[0], c.set, 0, c.by, c.accumulate);
    Polygon& g = model.document.module[0].polygons[0];
    EXPECT_NEAR(texelAngleOf(g, c.set), c.want, 1e-6);
    EXPECT_EQ(texelAngleOf(g, 1 - c.set), 2);
  }
}

TEST(Texel, SelectedPolygonsTurnAboutTheMeanOfTheirCentres) {
  // Pixel corners: a triangle centred on (10, 10) and a square centred on (150, 150). The common
  // centre is (80, 80), not the mean of all seven corners (90, 90).
  const float tri[][2] = {{0, 0}, {30, 0}, {0, 30}};
  const float sq[][2] = {{100, 100}, {200, 100}, {200, 200}, {100, 200}};
  const float w = 2048, h = 1024;
  Polygon a = face({0, 1, 2});
  Polygon b = face({0, 1, 2, 3});
  Polygon c = b;
  for (int i = 0; i < 3; ++i) a.texels[i] = {tri[i][0] / w, tri[i][1] / h};
  for (int i = 0; i < 4; ++i) b.texels[i] = c.texels[i] = {sq[i][0] / w, sq[i][1] / h};
  b.texels2 = b.texels;
  a.texelAngle = 6;
  b.texelAngle = -1;
  Model model = oneModule({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, {a, b, c});
  model.selection.selectedPolygons = {0, 1};

  rotateSelectedTexels(model, 0, pi, true);

  // Half a turn about (80, 80) takes a pixel p to (160, 160) - p.
  const Module& m = model.document.module[0];
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(m.polygons[0].texels[i].u * w, 160 - tri[i][0], 1e-3);
    EXPECT_NEAR(m.polygons[0].texels[i].v * h, 160 - tri[i][1], 1e-3);
  }
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(m.polygons[1].texels[i].u * w, 160 - sq[i][0], 1e-3);
    EXPECT_NEAR(m.polygons[1].texels[i].v * h, 160 - sq[i][1], 1e-3);
    EXPECT_EQ(m.polygons[1].texels2[i].u, sq[i][0] / w);  // set 1 stays
    EXPECT_EQ(m.polygons[2].texels[i].u, sq[i][0] / w);   // not selected
  }
  EXPECT_NEAR(m.polygons[0].texelAngle, 6 + pi - 6.2831855f, 1e-6);
  EXPECT_EQ(m.polygons[1].texelAngle, -1);
  EXPECT_EQ(m.modified, 1);
}

}  // namespace
}  // namespace tessarim
