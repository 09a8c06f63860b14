#include "commands/polygon_commands.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "commands/menu_fixture.hpp"
#include "formats/wld.hpp"
#include "model/geometry.hpp"
#include "support/polygons.hpp"

namespace tessarim {
namespace {

using Corners = std::array<std::uint32_t, 4>;
using Texels = std::array<Texel, 4>;

// Texels as comparable (u, v) pairs.
using Uv = std::vector<std::pair<float, float>>;
Uv uv(const Texels& t) {
  Uv out;
  for (const Texel& x : t) out.push_back({x.u, x.v});
  return out;
}
Uv uv(Texel t) {
  return {{t.u, t.v}};
}

// Module 0: a triangle (polygon 0) and a quad (polygon 1) over five vertices, every corner with
// its own texels in both sets; module 1: one more triangle. An open assembly, module 0 current.
struct PolygonCommands : testing::MenuTest {
  PolygonCommands() {
    openAssembly(2);
    Module& m = model.document.module[0];
    m.scaleClass = 1;
    m.canvasWidth = m.canvasHeight = m.canvasWidth2 = m.canvasHeight2 = 256;
    m.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 0}};
    m.polygons = {polygon({1, 4, 2}, 0), polygon({0, 1, 2, 3}, 10)};
    Module& other = model.document.module[1];
    other.vertices = m.vertices;
    other.polygons = {polygon({0, 1, 2}, 20)};
  }

  // Corner c gets texels (base + c, base + c + 0.5) in set 0 and their tenths in set 1.
  static Polygon polygon(std::initializer_list<int> corners, int base) {
    Polygon p = testing::face(corners);
    for (int c = 0; c < 4; ++c) {
      const float t = static_cast<float>(base + c);
      p.texels[c] = {t, t + 0.5f};
      p.texels2[c] = {t / 10, t / 10 + 0.05f};
    }
    p.colour = {0.25f, 0.5f, 0.75f, 1};
    p.texelAngle = 0.5f;
    p.texelAngle2 = -1;
    p.smooth = 1;
    return p;
  }

  void selectPolygons(int polygon, std::vector<std::uint32_t> listed = {}) {
    model.selection.currentPolygon = polygon;
    model.selection.selectedPolygons = std::move(listed);
  }

  const std::vector<Polygon>& polygons(int module = 0) {
    return model.document.module[module].polygons;
  }
  std::string bytes(int module = 0) { return formatWld(model.document.module[module]); }
};

// The fixture afresh for each case of a table.
struct Fresh : PolygonCommands {
  void TestBody() override {}
};

TEST_F(PolygonCommands, BackfaceReversesCornersAndBaseTexelsOnly) {
  const Polygon triangle = polygons()[0], quad = polygons()[1];
  selectPolygons(-1);
  ASSERT_EQ(issueCommand(editor, cmd::backface), CommandOutcome::done);

  const struct {
    const Polygon& before;
    Corners corners;
  } cases[] = {{triangle, {2, 4, 1, 0}}, {quad, {3, 2, 1, 0}}};
  for (std::size_t i = 0; i < 2; ++i) {
    const Polygon& now = polygons()[i];
    const Polygon& was = cases[i].before;
    const int n = was.sides;
    EXPECT_EQ(now.vertexIndex, cases[i].corners) << i;
    for (int c = 0; c < n; ++c) EXPECT_EQ(uv(now.texels[c]), uv(was.texels[n - 1 - c])) << i << c;
    EXPECT_EQ(uv(now.texels2), uv(was.texels2)) << "set 1 stays, " << i;
  }
  EXPECT_EQ(model.document.module[0].modified, 1);
  EXPECT_TRUE(model.status.geometryDirty);
  EXPECT_EQ(model.document.module[1].modified, 0);
}

TEST_F(PolygonCommands, BackfaceTwiceAndUndoEditRestoreTheBytes) {
  const std::string before = bytes();
  selectPolygons(-1);
  issueCommand(editor, cmd::backface);
  const std::string once = bytes();
  ASSERT_NE(once, before);
  issueCommand(editor, cmd::backface);
  EXPECT_EQ(bytes(), before);

  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(bytes(), once);
  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(bytes(), before);
}

// The selection names each polygon once, however often it is listed; indices past the end and
// a multi-instance selection change nothing.
TEST_F(PolygonCommands, BackfaceFollowsThePolygonScope) {
  const Corners triangle = polygons()[0].vertexIndex, quad = polygons()[1].vertexIndex;
  const Corners triangleBack = {2, 4, 1, 0}, quadBack = {3, 2, 1, 0};
  const struct {
    int module, polygon;
    std::vector<std::uint32_t> listed;
    CommandOutcome outcome;
    Corners first, second;
  } cases[] = {
      {0, 1, {}, CommandOutcome::done, triangle, quadBack},
      {0, -2, {1, 1, 9}, CommandOutcome::done, triangle, quadBack},
      {0, -2, {0, 1}, CommandOutcome::done, triangleBack, quadBack},
      {0, 7, {}, CommandOutcome::refused, triangle, quad},
      {0, -2, {9}, CommandOutcome::refused, triangle, quad},
      {-2, -1, {}, CommandOutcome::refused, triangle, quad},
  };
  for (const auto& c : cases) {
    Fresh f;
    f.model.selection.currentModule = static_cast<std::int16_t>(c.module);
    if (c.module == -2) f.model.selection.selectedInstances = {{0, 0}, {1, 0}};
    f.selectPolygons(c.polygon, c.listed);
    const std::string other = f.bytes(1);
    EXPECT_EQ(issueCommand(f.editor, cmd::backface), c.outcome) << c.polygon;
    EXPECT_EQ(f.polygons()[0].vertexIndex, c.first) << c.polygon;
    EXPECT_EQ(f.polygons()[1].vertexIndex, c.second) << c.polygon;
    EXPECT_EQ(f.bytes(1), other);
  }
}

TEST_F(PolygonCommands, SplitMakesTwoTrianglesAndUndoEditRemovesTheSecond) {
  Polygon quad = polygons()[1];
  const std::string before = bytes();
  selectPolygons(1);
  ASSERT_EQ(issueCommand(editor, cmd::split), CommandOutcome::done);

  ASSERT_EQ(polygons().size(), 3u);
  const Polygon& first = polygons()[1];
  const Polygon& second = polygons()[2];
  EXPECT_EQ(first.sides, 3);
  EXPECT_EQ((Corners{first.vertexIndex[0], first.vertexIndex[1], first.vertexIndex[2], 0}),
            (Corners{0, 1, 2, 0}));
  EXPECT_EQ(uv(first.texels2), uv(quad.texels2));
  EXPECT_EQ(second.sides, 3);
  EXPECT_EQ(second.vertexIndex, (Corners{2, 3, 0, 0}));
  EXPECT_EQ(uv(second.texels), uv(Texels{quad.texels[2], quad.texels[3], quad.texels[0], Texel{}}));
  EXPECT_EQ(second.colour, quad.colour);
  EXPECT_EQ(second.texelAngle, quad.texelAngle);
  EXPECT_EQ(second.smooth, quad.smooth);
  // Only what the text copies: the new triangle's overlay starts zeroed.
  EXPECT_EQ(uv(second.texels2), uv(Texels{}));
  EXPECT_EQ(second.texelAngle2, 0);
  const std::string after = bytes();

  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(bytes(), before);
  ASSERT_EQ(issueCommand(editor, cmd::redoEdit), CommandOutcome::done);
  EXPECT_EQ(bytes(), after);
}

TEST_F(PolygonCommands, SplitWantsACurrentQuad) {
  for (int polygon : {0, -1, 5}) {
    selectPolygons(polygon);
    EXPECT_EQ(issueCommand(editor, cmd::split), CommandOutcome::greyed) << polygon;
    EXPECT_EQ(polygons().size(), 2u);
  }
}

// Shading sets the flag of the polygon scope, or of every polygon of each listed instance's
// module, and leaves the selection alone.
TEST_F(PolygonCommands, ShadingFollowsItsScope) {
  using Flags = std::vector<int>;
  const struct {
    int command, module, polygon;
    std::vector<std::uint32_t> listed;
    std::vector<InstanceRef> instances;
    Flags first, second;
  } cases[] = {
      {cmd::shadingLambertian, 0, 1, {}, {}, {1, 0}, {1}},
      {cmd::shadingLambertian, 0, -2, {0, 7}, {}, {0, 1}, {1}},
      {cmd::shadingLambertian, 0, -1, {}, {}, {0, 0}, {1}},
      {cmd::shadingLambertian, -2, -1, {}, {{1, 0}}, {1, 1}, {0}},
      {cmd::shadingLambertian, -2, -1, {}, {{0, 0}, {1, 0}}, {0, 0}, {0}},
  };
  for (const auto& c : cases) {
    Fresh f;
    Selection& sel = f.model.selection;
    sel.currentModule = static_cast<std::int16_t>(c.module);
    sel.selectedInstances = c.instances;
    f.selectPolygons(c.polygon, c.listed);
    const Selection before = sel;
    ASSERT_EQ(issueCommand(f.editor, c.command), CommandOutcome::done) << c.polygon;
    Flags first, second;
    for (const Polygon& p : f.polygons(0)) first.push_back(p.smooth);
    for (const Polygon& p : f.polygons(1)) second.push_back(p.smooth);
    EXPECT_EQ(first, c.first) << c.module << " " << c.polygon;
    EXPECT_EQ(second, c.second) << c.module << " " << c.polygon;
    EXPECT_EQ(sel.currentPolygon, before.currentPolygon);
    EXPECT_EQ(sel.selectedPolygons, before.selectedPolygons);
    EXPECT_EQ(sel.currentModule, before.currentModule);

    // Gouraud puts every flag back.
    ASSERT_EQ(issueCommand(f.editor, cmd::shadingGouraud), CommandOutcome::done);
    for (const Polygon& p : f.polygons(0)) EXPECT_EQ(p.smooth, 1);
    for (const Polygon& p : f.polygons(1)) EXPECT_EQ(p.smooth, 1);
  }
}

TEST_F(PolygonCommands, MirrorActsOnTheCurrentPolygonOrTheWholeModule) {
  const Polygon triangle = polygons()[0], quad = polygons()[1];
  const auto mirrored = [](const Polygon& p, int set) {
    Texels t = texelsOf(p, set);
    for (int c = 0; c < p.sides; ++c) t[c].u = 1 - t[c].u;
    return t;
  };
  const struct {
    int command, set, polygon;
    bool first, second;  // mirrored
    CommandOutcome outcome;
  } cases[] = {
      {cmd::mirrorTexels, 0, 1, false, true, CommandOutcome::done},
      {cmd::mirrorTexels, 0, -1, true, true, CommandOutcome::done},
      {cmd::mirrorTexels, 0, -2, false, false, CommandOutcome::refused},
      {cmd::mirrorOverlayTexels, 1, 0, true, false, CommandOutcome::done},
      {cmd::mirrorOverlayTexels, 1, -1, true, true, CommandOutcome::done},
  };
  for (const auto& c : cases) {
    Fresh f;
    f.selectPolygons(c.polygon, {0, 1});
    const std::string before = f.bytes();
    EXPECT_EQ(issueCommand(f.editor, c.command), c.outcome) << c.command << " " << c.polygon;
    const Polygon& first = f.polygons()[0];
    const Polygon& second = f.polygons()[1];
    EXPECT_EQ(uv(texelsOf(first, c.set)),
              uv(c.first ? mirrored(triangle, c.set) : texelsOf(triangle, c.set)));
    EXPECT_EQ(uv(texelsOf(second, c.set)),
              uv(c.second ? mirrored(quad, c.set) : texelsOf(quad, c.set)));
    EXPECT_EQ(uv(texelsOf(first, 1 - c.set)), uv(texelsOf(triangle, 1 - c.set)))
        << "the other set stays";
    if (c.outcome != CommandOutcome::done) continue;
    issueCommand(f.editor, cmd::undoEdit);
    EXPECT_EQ(f.bytes(), before);
  }
}

// Generate hands the current polygon, or the selection, to the texel generator; Undo Edit puts
// back the texels it replaced.
TEST_F(PolygonCommands, GenerateMatchesTheGeneratorAndUndoes) {
  const struct {
    int command, set, polygon;
  } cases[] = {
      {cmd::generateTexels, 0, 1},
      {cmd::generateTexels, 0, -2},
      {cmd::generateOverlayTexels, 1, -1},
  };
  for (const auto& c : cases) {
    Fresh f, expected;
    f.selectPolygons(c.polygon, {1});
    expected.selectPolygons(c.polygon, {1});
    const std::string before = f.bytes();
    ASSERT_EQ(issueCommand(f.editor, c.command), CommandOutcome::done) << c.polygon;
    generateTexels(expected.model, 0, c.set, c.polygon);
    EXPECT_EQ(f.bytes(), expected.bytes()) << c.polygon;
    ASSERT_NE(f.bytes(), before);
    issueCommand(f.editor, cmd::undoEdit);
    EXPECT_EQ(f.bytes(), before) << c.polygon;
  }
}

}  // namespace
}  // namespace tessarim
