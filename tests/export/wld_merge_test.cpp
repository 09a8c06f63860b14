#include "export/wld_merge.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "maths/maths.hpp"
#include "model/scale_class.hpp"
#include "support/polygons.hpp"

namespace tessarim {
namespace {

using testing::face;

using Point = std::array<float, 3>;

std::vector<Point> pointsOf(const std::vector<Vertex>& vertices) {
  std::vector<Point> points;
  for (const Vertex& v : vertices) points.push_back({v.x, v.y, v.z});
  return points;
}

std::vector<std::uint32_t> cornersOf(const Polygon& p) {
  return {p.vertexIndex.begin(), p.vertexIndex.end()};
}

const RepositoryFolder repository = makeRepositoryFolder("C:/work/repo");

Module& addModule(Document& d, std::vector<Vertex> vertices, std::vector<Polygon> polygons) {
  Module& m = d.module[d.wldfiles++];
  m.filename = "m" + std::to_string(d.wldfiles) + ".wld";
  m.vertices = std::move(vertices);
  m.polygons = std::move(polygons);
  return m;
}

Instance& place(Module& m, std::array<float, 3> location, const Matrix& world) {
  Instance& t = m.instances.emplace_back();
  t.location = location;
  t.worldMatrix = world;
  return t;
}

// Two instances of the unassigned class (a unit is a kilometre, so placed corners are exact):
// a quad and a triangle moved by 10 along x, and a triangle turned a quarter about z and moved
// by 11. The turned triangle's first corner lands 0.0009 from the quad's second; the moved
// triangle's third corner lies 0.0004 from the quad's fourth. The average location (10.5, -0.5,
// 0.5) rounds to (11, -1, 1).
struct TwoInstances : ::testing::Test {
  TwoInstances() {
    Polygon quad = face({0, 1, 2, 3});
    quad.colour = {0.25f, 0.5f, 0.75f, 1};
    quad.texels = {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}};
    quad.texelAngle = 0.5f;
    quad.smooth = 1;
    Polygon triangle = face({0, 1, 4});
    triangle.texels2[0] = {0.5f, 0.25f};
    Module& a = addModule(document, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1.0004f, 0}},
                          {quad, triangle});
    a.maps[textfile] = "C:\\work\\repo\\Textures\\Hull.png";
    a.canvasWidth = 512;
    a.canvasHeight = 256;
    place(a, {10, 0, 0}, translation(10, 0, 0));

    Module& b = addModule(document, {{0, 0.0009f, 0}, {2, 0, 0}, {0, 0, 3}}, {face({0, 1, 2})});
    b.maps[textfile] = "textures\\HULL.png";
    b.maps[overlayfile] = "Textures\\Rust.png";
    b.canvasWidth = 512;
    b.canvasHeight = 256;
    b.canvasWidth2 = 128;
    b.canvasHeight2 = 64;
    Matrix quarterTurn = identityMatrix();
    quarterTurn[0] = {0, 1, 0, 0};
    quarterTurn[1] = {-1, 0, 0, 0};
    quarterTurn[3] = {11, 0, 0, 1};
    place(b, {11, -1, 1}, quarterTurn);
  }

  Document document;
  std::vector<InstanceRef> list{{0, 0}, {1, 0}};
};

TEST_F(TwoInstances, CornersArePlacedLessTheRoundedAverageLocationAndSharedWithinTolerance) {
  const WldMerge merge = mergeInstances(document, list, repository);
  const Module& m = merge.module;

  const std::vector<Point> vertices{{-1, 1, -1}, {0, 1, -1}, {0, 2, -1},
                                    {-1, 2, -1}, {0, 3, -1}, {0, 1, 2}};
  EXPECT_EQ(pointsOf(m.vertices), vertices);
  ASSERT_EQ(m.polygons.size(), 3u);
  EXPECT_EQ(cornersOf(m.polygons[0]), (std::vector<std::uint32_t>{0, 1, 2, 3}));
  EXPECT_EQ(cornersOf(m.polygons[1]), (std::vector<std::uint32_t>{0, 1, 3, 0}));
  EXPECT_EQ(cornersOf(m.polygons[2]), (std::vector<std::uint32_t>{1, 4, 5, 0}));

  // Everything else of a polygon comes along as it was.
  const Polygon& quad = document.module[0].polygons[0];
  EXPECT_EQ(m.polygons[0].colour, quad.colour);
  EXPECT_EQ(m.polygons[0].texels[2].u, 1);
  EXPECT_EQ(m.polygons[0].texelAngle, 0.5f);
  EXPECT_EQ(m.polygons[0].smooth, 1);
  EXPECT_EQ(m.polygons[1].texels2[0].u, 0.5f);

  // One base map under two spellings (the first made repository-relative): kept, as is the
  // overlay only one module has, each with its canvas.
  EXPECT_TRUE(merge.variedMaps.empty());
  EXPECT_FALSE(merge.mixedScales);
  EXPECT_EQ(m.maps[textfile], "Textures\\Hull.png");
  EXPECT_EQ(m.maps[overlayfile], "Textures\\Rust.png");
  EXPECT_EQ(m.canvasWidth, 512);
  EXPECT_EQ(m.canvasHeight, 256);
  EXPECT_EQ(m.canvasWidth2, 128);
  EXPECT_EQ(m.canvasHeight2, 64);

  EXPECT_EQ(m.instances.size(), 1u);
  EXPECT_TRUE(m.filename.empty());
  EXPECT_EQ(m.modified, 0);
}

TEST_F(TwoInstances, OneInstanceAloneIsItsPlacedGeometryLessItsLocation) {
  document.module[1].scaleClass = 3;
  document.module[1].newScaleFamily = 1;
  const std::vector<InstanceRef> one{{1, 0}};
  // Placed in kilometres, as its class gives them, at its location.
  const float k = static_cast<float>(unitKilometres(3));
  document.module[1].instances[0].location = {100, -50, 3};
  document.module[1].instances[0].worldMatrix =
      multiply(translation(100, -50, 3), scaling(k, k, k));

  const WldMerge merge = mergeInstances(document, one, repository);
  const Module& m = merge.module;
  ASSERT_EQ(m.vertices.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    const Vertex& want = document.module[1].vertices[i];
    EXPECT_NEAR(m.vertices[i].x, want.x, 1e-4);
    EXPECT_NEAR(m.vertices[i].y, want.y, 1e-4);
    EXPECT_NEAR(m.vertices[i].z, want.z, 1e-4);
  }
  EXPECT_EQ(m.scaleClass, 3);
  EXPECT_EQ(m.newScaleFamily, 1);
  EXPECT_EQ(m.maps[textfile], "textures\\HULL.png");
  EXPECT_EQ(m.maps[overlayfile], "Textures\\Rust.png");
  EXPECT_EQ(m.canvasWidth2, 128);
}

// Three modules name different files in one map slot (a third variation warns no more), and
// share a map of the other texel set on one canvas.
TEST(WldMerge, EachVariedMapIsDroppedWithOneWarningAndItsSetsCanvasWhenTheyDisagree) {
  for (int slot = 0; slot < mapSlotCount; ++slot) {
    SCOPED_TRACE(slot);
    const int set = slot == overlayfile ? 1 : 0;
    Document document;
    const char* names[] = {"maps\\a.png", "maps\\b.png", "maps\\c.png"};
    for (int i = 0; i < 3; ++i) {
      Polygon p = face({0, 1, 2});
      p.texels[0] = p.texels2[0] = {0.5f, 0.5f};
      p.texelAngle = p.texelAngle2 = 0.25f;
      Module& m = addModule(document, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {p});
      m.maps[slot] = names[i];
      m.maps[set == 1 ? textfile : overlayfile] = "maps\\shared.png";
      m.canvasWidth = m.canvasHeight = set == 0 ? 256 << i : 300;
      m.canvasWidth2 = m.canvasHeight2 = set == 1 ? 256 << i : 300;
      place(m, {}, identityMatrix());
    }
    const std::vector<InstanceRef> list{{0, 0}, {1, 0}, {2, 0}};
    const WldMerge merge = mergeInstances(document, list, repository);
    const Module& m = merge.module;

    EXPECT_EQ(merge.variedMaps, std::vector<int>{slot});
    EXPECT_FALSE(merge.mixedScales);
    for (int k = 0; k < mapSlotCount; ++k) {
      const bool shared = k == (set == 1 ? textfile : overlayfile);
      EXPECT_EQ(m.maps[k], shared ? "maps\\shared.png" : "") << k;
    }
    // The varied set's canvas is unknown: 2048 each way, and the first texel of each polygon
    // in that set goes to (0, 0) with its angle "not generated".
    EXPECT_EQ(set == 0 ? m.canvasWidth : m.canvasWidth2, 2048);
    EXPECT_EQ(set == 0 ? m.canvasWidth2 : m.canvasWidth, 300);
    ASSERT_EQ(m.polygons.size(), 3u);
    for (const Polygon& p : m.polygons) {
      const Texel& varied = set == 0 ? p.texels[0] : p.texels2[0];
      const Texel& kept = set == 0 ? p.texels2[0] : p.texels[0];
      EXPECT_EQ(varied.u, 0);
      EXPECT_EQ(varied.v, 0);
      EXPECT_EQ(set == 0 ? p.texelAngle : p.texelAngle2, -1);
      EXPECT_EQ(kept.u, 0.5f);
      EXPECT_EQ(set == 0 ? p.texelAngle2 : p.texelAngle, 0.25f);
    }
  }
}

// Modules of two classes: no maps (though they agree), the unassigned class, whose unit is the
// kilometre, and every location converted from its own module's units.
TEST(WldMerge, MixedClassesGiveTheUnassignedClassWithoutMapsInKilometres) {
  Document document;
  const int classes[] = {3, 8};
  const std::array<float, 3> locations[] = {{40000, 0, 0}, {0, 10000, 0}};
  for (int i = 0; i < 2; ++i) {
    Module& m = addModule(document, {{0, 0, 0}, {1000, 0, 0}, {0, 1000, 0}}, {face({0, 1, 2})});
    m.scaleClass = static_cast<std::int16_t>(classes[i]);
    m.newScaleFamily = 1;
    m.maps[textfile] = "maps\\same.png";
    m.maps[grimefile] = "maps\\grime.png";
    const float k = static_cast<float>(unitKilometres(classes[i]));
    const auto& l = locations[i];
    place(m, l, multiply(translation(l[0], l[1], l[2]), scaling(k, k, k)));
  }
  const std::vector<InstanceRef> list{{0, 0}, {1, 0}};
  const WldMerge merge = mergeInstances(document, list, repository);
  const Module& m = merge.module;

  EXPECT_TRUE(merge.mixedScales);
  EXPECT_TRUE(merge.variedMaps.empty());
  EXPECT_EQ(m.scaleClass, 0);
  EXPECT_EQ(m.newScaleFamily, 0);
  for (const std::string& name : m.maps) EXPECT_EQ(name, "");

  // Locations 4.06 and 3.05 km along x and y average to (2.03, 1.52, 0), rounded (2, 2, 0).
  const double ka = unitKilometres(3), kb = unitKilometres(8);
  const std::vector<std::array<double, 3>> want{{40000 * ka - 2, -2, 0},
                                                {41000 * ka - 2, -2, 0},
                                                {40000 * ka - 2, 1000 * ka - 2, 0},
                                                {-2, 10000 * kb - 2, 0},
                                                {1000 * kb - 2, 10000 * kb - 2, 0},
                                                {-2, 11000 * kb - 2, 0}};
  ASSERT_EQ(m.vertices.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(m.vertices[i].x, want[i][0], 1e-5);
    EXPECT_NEAR(m.vertices[i].y, want[i][1], 1e-5);
    EXPECT_NEAR(m.vertices[i].z, want[i][2], 1e-5);
  }
}

TEST(WldMerge, TheCurrentInstanceBecomesASelectionOfOneWhenNothingIsMultiSelected) {
  Model model;
  model.document.kind = DocumentKind::asmfile;
  for (int i = 0; i < 2; ++i) {
    Module& m = addModule(model.document, {}, {});
    m.instances.resize(2);
  }
  model.selection.currentModule = 1;
  model.selection.currentInstance = 1;
  EXPECT_EQ(takeWldExportList(model).size(), 1u);
  ASSERT_EQ(model.selection.selectedInstances.size(), 1u);
  EXPECT_EQ(model.selection.selectedInstances[0].module, 1);
  EXPECT_EQ(model.selection.selectedInstances[0].instance, 1);

  // A multi-instance selection is the list as it stands.
  model.selection.currentModule = -2;
  model.selection.selectedInstances = {{1, 0}, {0, 1}, {0, 0}};
  const auto list = takeWldExportList(model);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[1].module, 0);
  EXPECT_EQ(list[1].instance, 1);
  EXPECT_EQ(model.selection.selectedInstances.size(), 3u);

  // No instance current: nothing to merge and nothing stored.
  model.selection = Selection{};
  model.selection.currentModule = 1;
  EXPECT_TRUE(takeWldExportList(model).empty());
  EXPECT_TRUE(model.selection.selectedInstances.empty());
}

// The shared-vertex search gives the first vertex in order within 0.001 on every axis, as a walk
// over every vertex would, also where points chain (a near b, b near c, a not near c).
TEST(WldMerge, SharedVerticesAreTheFirstWithinToleranceAsAWalkOverAllFinds) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> step(-3, 3);
  auto lattice = [&] { return static_cast<float>(step(random)); };
  std::uniform_real_distribution<float> jitter(-0.0012f, 0.0012f);
  Document document;
  std::vector<Vertex> vertices;
  std::vector<Polygon> polygons;
  for (int i = 0; i < 3000; ++i) {
    vertices.push_back({lattice() * 0.0015f + jitter(random), lattice() * 0.0015f + jitter(random),
                        jitter(random)});
  }
  vertices.push_back({std::nanf(""), 0, 0});
  vertices.push_back({1e30f, 0, 0});
  vertices.push_back({1e30f, 0, 0});
  for (std::uint32_t i = 0; i + 2 < vertices.size(); i += 3) {
    Polygon p = face({0, 1, 2});
    p.vertexIndex = {i, i + 1, i + 2, 0};
    polygons.push_back(p);
  }
  Module& m = addModule(document, vertices, polygons);
  place(m, {}, identityMatrix());

  std::vector<Vertex> want;
  std::vector<std::uint32_t> wantCorners;
  for (const Polygon& p : polygons) {
    for (int c = 0; c < 3; ++c) {
      const Vertex& v = vertices[p.vertexIndex[c]];
      std::size_t found = 0;
      while (found < want.size() && !(std::fabs(double{want[found].x} - v.x) <= 0.001 &&
                                      std::fabs(double{want[found].y} - v.y) <= 0.001 &&
                                      std::fabs(double{want[found].z} - v.z) <= 0.001))
        ++found;
      if (found == want.size()) want.push_back(v);
      wantCorners.push_back(static_cast<std::uint32_t>(found));
    }
  }
  const std::vector<InstanceRef> list{{0, 0}};
  const WldMerge merge = mergeInstances(document, list, repository);
  std::vector<std::uint32_t> corners;
  for (const Polygon& p : merge.module.polygons) {
    for (int c = 0; c < 3; ++c) corners.push_back(p.vertexIndex[c]);
  }
  ASSERT_EQ(merge.module.vertices.size(), want.size());
  const std::vector<Point> got = pointsOf(merge.module.vertices), wanted = pointsOf(want);
  for (std::size_t i = 0; i < want.size(); ++i) {
    if (std::isnan(want[i].x)) continue;  // NaN is never equal, not even to itself
    EXPECT_EQ(got[i], wanted[i]) << i;
  }
  EXPECT_EQ(corners, wantCorners);
  EXPECT_GT(vertices.size() - want.size(), 1000u);  // the case has plenty of sharing
}

// Entries naming no instance and polygons naming vertices the module lacks are left out.
TEST(WldMerge, StaleEntriesAndPolygonsOutsideTheirModuleAreLeftOut) {
  Document document;
  Module& m =
      addModule(document, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {face({0, 1, 7}), face({0, 1, 2})});
  place(m, {}, identityMatrix());
  const std::vector<InstanceRef> list{{0, 5}, {3, 0}, {-1, -1}, {0, 0}};
  const WldMerge merge = mergeInstances(document, list, repository);
  EXPECT_EQ(merge.module.polygons.size(), 1u);
  EXPECT_EQ(merge.module.vertices.size(), 3u);

  const std::vector<InstanceRef> none{{2, 0}};
  EXPECT_TRUE(mergeInstances(document, none, repository).module.polygons.empty());
}

// A corner placed beyond the float range in the result's units is infinite, not undefined.
TEST(WldMerge, ACornerBeyondTheFloatRangeBecomesInfinite) {
  Document document;
  Module& m = addModule(document, {{3e38f, 0, 0}, {-3e38f, 0, 0}, {0, 1, 0}}, {face({0, 1, 2})});
  m.scaleClass = 10;  // a unit is 0.0000254 km: the matrix placing in kilometres is left out
  place(m, {}, identityMatrix());
  const std::vector<InstanceRef> list{{0, 0}};
  const WldMerge merge = mergeInstances(document, list, repository);
  ASSERT_EQ(merge.module.vertices.size(), 3u);
  EXPECT_EQ(merge.module.vertices[0].x, std::numeric_limits<float>::infinity());
  EXPECT_EQ(merge.module.vertices[1].x, -std::numeric_limits<float>::infinity());
  EXPECT_NEAR(merge.module.vertices[2].y, 1 / unitKilometres(10), 1);
}

}  // namespace
}  // namespace tessarim
