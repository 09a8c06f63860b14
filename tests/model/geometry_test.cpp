#include "model/geometry.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>

#include "support/polygons.hpp"

namespace tessarim {
namespace {

using testing::face;

void expectNear(Vec3 got, Vec3 want, float tolerance = 1e-5f) {
  EXPECT_NEAR(got.x, want.x, tolerance);
  EXPECT_NEAR(got.y, want.y, tolerance);
  EXPECT_NEAR(got.z, want.z, tolerance);
}

TEST(Geometry, PolygonNormalFollowsTheWindingAndIsUnitLength) {
  struct Case {
    Vertex c0, c1, c2;
    Vec3 normal;
  } cases[] = {
      {{1, 0, 0}, {0, 0, 0}, {0, 1, 0}, {0, 0, 1}},   // x × y
      {{0, 1, 0}, {0, 0, 0}, {1, 0, 0}, {0, 0, -1}},  // the other winding
      {{3, 5, 5}, {3, 5, 2}, {3, 9, 2}, {-1, 0, 0}},  // z × y, edges of length 3 and 4
      // Edges 45° apart: the cross product of the unit edges has length 0.7071 until normalised.
      {{2, 0, 0}, {0, 0, 0}, {1, 1, 0}, {0, 0, 1}},
      {{2, 3, 0}, {1, 2, 0}, {1, 2, 2}, {0.70710678f, -0.70710678f, 0}},
  };
  for (const Case& c : cases) {
    Module m;
    m.vertices = {c.c0, c.c1, c.c2};
    m.polygons = {face({0, 1, 2})};
    expectNear(polygonNormal(m, 0), c.normal);
  }
}

TEST(Geometry, StatisticsGiveCentroidsRadiiInKilometresAndTheEncompassingRadius) {
  Model model;
  model.document.wldfiles = 4;
  const double k1 = 0.00034822, k8 = 0.0003048;
  Module& ship = model.document.module[0];  // class 1, farthest vertex 5 units out
  ship.scaleClass = 1;
  ship.vertices = {{3, 4, 0}, {-1, 0, 2}, {1, 2, 3}};
  Instance near, far;
  far.location = {30, 40, 0};
  ship.instances = {near, far};
  Module& hut =
      model.document.module[1];  // class 8, farthest vertex 2 units out, placed 60 units away
  hut.scaleClass = 8;
  hut.vertices = {{0, 2, 0}, {0, -1, 1}};
  Instance placed;
  placed.location = {0, 0, 60};
  hut.instances = {placed};
  Module& odd = model.document.module[2];  // a class outside the table counts a unit as a kilometre
  odd.scaleClass = 99;
  odd.vertices = {{0, 0.015f, 0}};
  Module& empty = model.document.module[3];
  empty.centroid = {7, 7, 7};
  empty.boundingRadius = 7;

  computeStatistics(model);

  EXPECT_FLOAT_EQ(ship.centroid[0], 1);
  EXPECT_FLOAT_EQ(ship.centroid[1], 2);
  EXPECT_FLOAT_EQ(ship.centroid[2], 5.0f / 3);
  EXPECT_FLOAT_EQ(ship.boundingRadius, static_cast<float>(5 * k1));
  EXPECT_FLOAT_EQ(hut.boundingRadius, static_cast<float>(2 * k8));
  EXPECT_FLOAT_EQ(odd.boundingRadius, 0.015f);
  EXPECT_EQ(empty.centroid, (std::array<float, 3>{0, 0, 0}));
  EXPECT_EQ(empty.boundingRadius, 0);
  // The far ship reaches 50 k1 + 5 k1 = 0.01915 km; the hut 62 k8 = 0.01890 km, which taking
  // the wrong module's factor would put first.
  EXPECT_FLOAT_EQ(model.status.encompassingRadius, static_cast<float>(55 * k1));
}

TEST(Geometry, DeletePolygonRemovesOnlyOrphanedVerticesAndRenumbers) {
  Module m;
  for (int i = 0; i < 7; ++i) m.vertices.push_back({static_cast<float>(i), 0, 0});
  m.polygons = {face({0, 1, 4}), face({1, 2, 3, 5}), face({4, 5, 6})};

  // Vertices 1 and 5 are still used; 2 and 3 go, so 4, 5 and 6 become 2, 3 and 4.
  const std::vector<int> refs = deletePolygon(m, 1, {3, 6, 2, -1, 0, 5, 4, 1});

  EXPECT_EQ(refs, (std::vector<int>{-1, 4, -1, -1, 0, 3, 2, 1}));
  ASSERT_EQ(m.vertices.size(), 5u);
  const float kept[] = {0, 1, 4, 5, 6};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(m.vertices[i].x, kept[i]);
  ASSERT_EQ(m.polygons.size(), 2u);
  EXPECT_EQ(m.polygons[0].vertexIndex, (std::array<std::uint32_t, 4>{0, 1, 2, 0}));
  EXPECT_EQ(m.polygons[1].vertexIndex, (std::array<std::uint32_t, 4>{2, 3, 4, 0}));
  EXPECT_EQ(m.modified, 1);
}

TEST(Geometry, AnUnusedFourthCornerEntryKeepsNoVertex) {
  Module m;
  for (int i = 0; i < 5; ++i) m.vertices.push_back({static_cast<float>(i), 0, 0});
  m.polygons = {face({3, 0, 2, 1}), face({1, 2, 4})};  // the triangle's fourth entry holds 0
  EXPECT_EQ(deletePolygon(m, 0, {0, 1, 2, 3, 4}), (std::vector<int>{-1, 0, 1, -1, 2}));
  ASSERT_EQ(m.vertices.size(), 3u);
  EXPECT_EQ(m.vertices[2].x, 4);
  EXPECT_EQ(m.polygons[0].vertexIndex, (std::array<std::uint32_t, 4>{0, 1, 2, 0}));
}

TEST(Geometry, FindVertexMatchesWithinAThousandthOnEveryAxis) {
  constexpr float inf = std::numeric_limits<float>::infinity();
  constexpr float nan = std::numeric_limits<float>::quiet_NaN();
  Module m;
  m.vertices = {{1, 2, 3}, {0, 0, 0}, {5, 5, 5}, {5.0005f, 5, 5}};
  // (5.0008, 5, 5) is within reach of vertices 2 and 3: the first is taken, not the nearest.
  struct Case {
    float x, y, z;
    int want;
  } cases[] = {
      {1, 2, 3, 0},
      {1.001f, 2, 3, 0},
      {0.999f, 2.001f, 2.999f, 0},
      {1.0011f, 2, 3, -1},
      {1, 2, 3.002f, -1},
      {0.001f, -0.001f, 0.001f, 1},
      {0, 0, 0.0011f, -1},
      {5.0008f, 5, 5, 2},
      {5.0013f, 5, 5, 3},
      // A point that is not finite is near nothing, however wide the float slack about it.
      {inf, 2, 3, -1},
      {1, 2, -inf, -1},
      {1, nan, 3, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(findVertex(m, c.x, c.y, c.z), c.want) << c.x << " " << c.y << " " << c.z;
  }
}

// An assembly with module 0 in class 1: three vertices, one triangle with both texel sets, one
// instance, current.
Model classOneAssembly() {
  Model model;
  model.document.wldfiles = 2;
  model.document.kind = DocumentKind::asmfile;
  Module& m = model.document.module[0];
  m.scaleClass = 1;
  m.canvasWidth = m.canvasHeight = m.canvasWidth2 = m.canvasHeight2 = 2048;
  m.vertices = {{3, 4, 0}, {-1, 2, 6}, {0, 0, -2}};
  Polygon p = face({0, 1, 2});
  p.texels = {{{0.25f, 0.5f}, {0.75f, 0.1f}, {1.5f, -0.25f}, {}}};
  p.texels2 = {{{0.3f, 0.4f}, {0.6f, 0.2f}, {0.1f, 0.9f}, {}}};
  p.texelAngle = 0.5f;
  m.polygons = {p};
  Instance t;
  t.location = {10, -20, 5};
  t.endLocation = {1, 2, 3};
  t.hingeOffset = {0.5f, 0, -4};
  m.instances = {t};
  model.document.module[1].vertices = {{1, 1, 1}};
  model.selection.currentModule = 0;
  model.selection.currentInstance = 0;
  return model;
}

TEST(Scale, ClassOneToEightKeepsTheRealSizeUnlessSudoSu) {
  const double e = 0.00034822 / 0.0003048;
  struct Case {
    bool sudoSu;
    double size, texels;  // factors on coordinates and on set-0 texels
  } cases[] = {{false, e, 6 * e / 6.4}, {true, 1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sudoSu);
    Model model = classOneAssembly();
    model.settings.sudoSu = c.sudoSu;
    const Module before = model.document.module[0];

    assignScale(model, 8);

    const Module& m = model.document.module[0];
    EXPECT_EQ(m.scaleClass, 8);
    EXPECT_EQ(m.modified, 1);
    EXPECT_TRUE(model.status.geometryDirty);
    for (int i = 0; i < 3; ++i) {
      EXPECT_FLOAT_EQ(m.vertices[i].x, static_cast<float>(before.vertices[i].x * c.size));
      EXPECT_FLOAT_EQ(m.vertices[i].y, static_cast<float>(before.vertices[i].y * c.size));
      EXPECT_FLOAT_EQ(m.vertices[i].z, static_cast<float>(before.vertices[i].z * c.size));
      EXPECT_FLOAT_EQ(m.polygons[0].texels[i].u,
                      static_cast<float>(before.polygons[0].texels[i].u * c.texels));
      EXPECT_FLOAT_EQ(m.polygons[0].texels[i].v,
                      static_cast<float>(before.polygons[0].texels[i].v * c.texels));
      EXPECT_EQ(m.polygons[0].texels2[i].u, before.polygons[0].texels2[i].u);
      EXPECT_EQ(m.polygons[0].texels2[i].v, before.polygons[0].texels2[i].v);
    }
    const Instance& t = m.instances[0];
    const Instance& was = before.instances[0];
    for (int a = 0; a < 3; ++a) {
      EXPECT_FLOAT_EQ(t.location[a], static_cast<float>(was.location[a] * c.size));
      EXPECT_FLOAT_EQ(t.endLocation[a], static_cast<float>(was.endLocation[a] * c.size));
      EXPECT_FLOAT_EQ(t.hingeOffset[a], static_cast<float>(was.hingeOffset[a] * c.size));
    }
    // Statistics follow the new class: the farthest vertex, sqrt(41) units of class 1, is as
    // many kilometres as before when the size is kept.
    EXPECT_NEAR(m.boundingRadius, std::sqrt(41.0) * c.size * 0.0003048, 1e-9);
    EXPECT_EQ(model.document.module[1].vertices[0].x, 1);
    EXPECT_EQ(model.selection.currentModule, 0);
    EXPECT_EQ(model.selection.currentInstance, 0);
  }
  Model model = classOneAssembly();
  assignScale(model, 8);
  EXPECT_TRUE(model.status.documentModified);
}

TEST(Scale, ClassZeroOnEitherSideRegeneratesTexelsAtTheNewDensity) {
  struct Case {
    int from, to;
    float density;
  } cases[] = {{0, 8, 6}, {0, 11, 0.75f}, {8, 0, 0}, {99, 8, 6}};
  const float w = 2048, h = 1024;
  // Facing +z, so the plane needs no turning: texel offsets are density × vertex offsets.
  const Vertex corners[] = {{4, 0, 0}, {0, 0, 0}, {0, 2, 0}};
  const float cx = 4.0f / 3, cy = 2.0f / 3;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from);
    SCOPED_TRACE(c.to);
    Model model;  // a single mesh, current, with no instance
    model.document.wldfiles = 1;
    model.selection.currentModule = 0;
    Module& m = model.document.module[0];
    m.scaleClass = static_cast<std::int16_t>(c.from);
    m.canvasWidth = m.canvasWidth2 = static_cast<std::int32_t>(w);
    m.canvasHeight = m.canvasHeight2 = static_cast<std::int32_t>(h);
    m.vertices = {corners[0], corners[1], corners[2]};
    Polygon p = face({0, 1, 2});
    p.texels = {{{0.2f, 0.5f}, {0.3f, 0.7f}, {0.4f, 0.6f}, {}}};  // centred on (0.3, 0.6)
    p.texelAngle = 0;
    p.texels2 = {{{0.9f, 0.9f}, {0.8f, 0.9f}, {0.9f, 0.8f}, {}}};
    p.texelAngle2 = -1;
    m.polygons = {p};

    assignScale(model, c.to);

    EXPECT_EQ(m.scaleClass, c.to);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(m.vertices[i].x, corners[i].x);
      EXPECT_EQ(m.vertices[i].y, corners[i].y);
      EXPECT_NEAR(m.polygons[0].texels[i].u, 0.3f + c.density * (corners[i].x - cx) / w, 1e-6);
      EXPECT_NEAR(m.polygons[0].texels[i].v, 0.6f - c.density * (corners[i].y - cy) / h, 1e-6);
      EXPECT_EQ(m.polygons[0].texels2[i].u, 0);
      EXPECT_EQ(m.polygons[0].texels2[i].v, 0);
    }
    EXPECT_EQ(m.modified, 1);
    EXPECT_FALSE(model.status.documentModified);  // a single mesh has no placements to move
  }
}

TEST(Scale, TheSelectedInstancesChooseTheModules) {
  Model model;
  model.document.wldfiles = 3;
  model.document.kind = DocumentKind::asmfile;
  for (int i = 0; i < 3; ++i) {
    model.document.module[i].scaleClass = 1;
    model.document.module[i].vertices = {{1, 0, 0}};
    Instance t;
    t.location = {2, 0, 0};
    model.document.module[i].instances = {t, t};
  }
  model.selection.selectedInstances = {{1, 0}, {2, 1}, {1, 1}};
  model.selection.currentModule = -2;
  model.selection.currentInstance = -2;

  assignScale(model, 8);

  const float e = static_cast<float>(0.00034822 / 0.0003048);
  EXPECT_EQ(model.document.module[0].scaleClass, 1);
  EXPECT_EQ(model.document.module[0].vertices[0].x, 1);
  EXPECT_EQ(model.document.module[0].modified, 0);
  for (int i : {1, 2}) {
    EXPECT_EQ(model.document.module[i].scaleClass, 8);
    EXPECT_FLOAT_EQ(model.document.module[i].vertices[0].x, e);
    EXPECT_FLOAT_EQ(model.document.module[i].instances[0].location[0], 2 * e);
    EXPECT_FLOAT_EQ(model.document.module[i].instances[1].location[0], 2 * e);
  }
  EXPECT_EQ(model.selection.currentModule, -2);
  EXPECT_EQ(model.selection.currentInstance, -2);
}

}  // namespace
}  // namespace tessarim
