#include "editor/polygon_entry.hpp"

#include <gtest/gtest.h>

#include <string>

#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "editor/keyboard_edits.hpp"
#include "editor/pointer_edits.hpp"
#include "support/view_fixture.hpp"

namespace tessarim {
namespace {

struct PolygonEntryTest : testing::ViewFixture {
  PolygonEntryTest() { select(0, 0); }

  void type(const std::string& text) {
    for (const char c : text) viewCharacter(editor, static_cast<char32_t>(c));
  }
  void key(ViewKey k) { viewKeyDown(editor, k, {}); }
  // Types one field and accepts it.
  void field(const std::string& text) {
    type(text);
    key(ViewKey::enter);
  }
  void corner(Vec3 v) {
    for (const float value : {v.x, v.y, v.z}) field(std::to_string(value));
  }
  const Module& hull() const { return model.document.module[0]; }
};

TEST_F(PolygonEntryTest, TheSidesPromptTakesThreeOrFour) {
  struct Case {
    std::string typed;
    int sides;
  } cases[] = {{"7", 4}, {"", 3}, {"2", 3}, {"3", 3}, {"4", 4}, {"x", 3}, {"-5", 3}};
  for (const Case& c : cases) {
    ASSERT_TRUE(startPolygonAdd(editor));
    EXPECT_FALSE(startPolygonAdd(editor)) << "one entry at a time";
    field(c.typed);
    EXPECT_EQ(editor.editing.entry.sides, c.sides) << '"' << c.typed << '"';
    EXPECT_EQ(editor.editing.entry.vertexIndex, 0);
    key(ViewKey::escape);
    EXPECT_FALSE(editor.editing.entryActive);
  }
  EXPECT_EQ(hull().polygons.size(), 2u) << "Esc changes nothing";
  EXPECT_EQ(editor.history.size(), 0u);
}

TEST_F(PolygonEntryTest, ATypedTriangleJoinsTheModuleAsOneEdit) {
  ASSERT_EQ(issueCommand(editor, cmd::addPolygon), CommandOutcome::done);
  field("3");
  corner({5, 6, 7});
  corner({-2, -1, 0});  // an existing vertex
  corner({5.5f, 6, 7});
  EXPECT_EQ(editor.editing.entry.notes[0], "Will add new vertex to polygon mesh...");
  EXPECT_EQ(editor.editing.entry.notes[1], "Found match with vertex 0!");
  ASSERT_EQ(editor.editing.entry.vertexIndex, 3);
  key(ViewKey::enter);  // every corner is in: the polygon is committed

  EXPECT_FALSE(editor.editing.entryActive);
  ASSERT_EQ(hull().polygons.size(), 3u);
  ASSERT_EQ(hull().vertices.size(), 8u);
  const Polygon& p = hull().polygons[2];
  EXPECT_EQ(p.sides, 3);
  EXPECT_EQ(p.vertexIndex[0], 6u);
  EXPECT_EQ(p.vertexIndex[1], 0u);
  EXPECT_EQ(p.vertexIndex[2], 7u);
  EXPECT_EQ(hull().vertices[6].x, 5);
  EXPECT_EQ(hull().vertices[7].x, 5.5f);
  for (int c = 0; c < 3; ++c) {
    EXPECT_GE(p.colour[c], 64 / 255.0f);
    EXPECT_LE(p.colour[c], 191 / 255.0f);
  }
  EXPECT_EQ(p.colour[3], 1);
  EXPECT_EQ(p.texelAngle, -1);
  EXPECT_EQ(p.texelAngle2, -1);
  EXPECT_EQ(model.selection.currentPolygon, 2);
  EXPECT_EQ(hull().modified, 1);
  EXPECT_TRUE(model.status.geometryDirty);

  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(hull().polygons.size(), 2u);
  EXPECT_EQ(hull().vertices.size(), 6u);
}

TEST_F(PolygonEntryTest, ACornerMatchesAVertexWithinOneThousandthOnEveryAxis) {
  struct Case {
    Vec3 typed;
    int match;
  } cases[] = {{{-2.001f, -0.999f, 0.001f}, 0},
               {{-2.0011f, -1, 0}, -1},
               {{-2, -1, 0.0011f}, -1},
               {{2, 1, 0}, 4}};
  for (const Case& c : cases) {
    startPolygonAdd(editor);
    field("3");
    corner(c.typed);
    EXPECT_EQ(editor.editing.entry.matchedVertices[0], c.match) << c.typed.x << ' ' << c.typed.z;
    key(ViewKey::escape);
  }
}

TEST_F(PolygonEntryTest, ChangingAPolygonAndAcceptingAtOnceMovesItToTheEndUnchanged) {
  model.document.module[0].polygons[0].colour = {0.1f, 0.2f, 0.3f, 0.4f};
  model.document.module[0].polygons[0].smooth = 1;
  select(0, 0, 0);
  ASSERT_EQ(issueCommand(editor, cmd::changePolygon), CommandOutcome::done);
  EXPECT_EQ(editor.editing.entry.vertexIndex, 4);
  key(ViewKey::enter);
  ASSERT_EQ(hull().polygons.size(), 2u);
  EXPECT_EQ(hull().vertices.size(), 6u) << "the corners are the polygon's own vertices";
  const Polygon& moved = hull().polygons[1];
  EXPECT_EQ(moved.colour, (std::array<float, 4>{0.1f, 0.2f, 0.3f, 0.4f}));
  EXPECT_EQ(moved.smooth, 1);
  // Still the same square: corners (-2,-1), (-2,1), (0,1), (0,-1).
  const auto at = [&](int k) { return hull().vertices[moved.vertexIndex[k]]; };
  EXPECT_EQ(at(0).x, -2);
  EXPECT_EQ(at(0).y, -1);
  EXPECT_EQ(at(2).x, 0);
  EXPECT_EQ(at(2).y, 1);
  EXPECT_EQ(model.selection.currentPolygon, 1);
}

TEST_F(PolygonEntryTest, UpGoesBackAFieldAndPastTheFirstToTheSidesPrompt) {
  startPolygonAdd(editor);
  field("4");
  field("1.5");
  EXPECT_EQ(editor.editing.entry.axis, 1);
  key(ViewKey::up);
  EXPECT_EQ(editor.editing.entry.axis, 0);
  EXPECT_EQ(editor.editing.entryText, "+1.5000");
  type("\b");  // not a digit: ignored
  key(ViewKey::backspace);
  EXPECT_EQ(editor.editing.entryText, "+1.500");
  key(ViewKey::up);
  EXPECT_EQ(editor.editing.entry.vertexIndex, -1);
  EXPECT_EQ(editor.editing.entryText, "4");
  EXPECT_EQ(editor.editing.entry.vertices[0].x, 0) << "the corners are cleared";
  key(ViewKey::up);
  EXPECT_FALSE(editor.editing.entryActive);
}

TEST_F(PolygonEntryTest, ClicksOnTheGraphPaperPlaceCornersAtWholeUnitsAndTheEntryDepth) {
  model.settings.view.graphPaper = true;
  frame();
  startPolygonAdd(editor);
  field("3");
  key(ViewKey::pageUp);
  key(ViewKey::pageUp);
  EXPECT_EQ(editor.frame.camera.graphHeight, 2);
  frame();
  const Vec3 points[] = {{1.2f, 0.7f, 2}, {-1.4f, 0.2f, 2}, {0.1f, -1.6f, 2}};
  for (const Vec3& p : points) {
    const Vec3 at = screenOf(0, 0, p);
    pointerPressed(editor, PointerButton::left, at.x, at.y, {});
    pointerReleased(editor, PointerButton::left, at.x, at.y, {});
  }
  EXPECT_FALSE(editor.editing.entryActive) << "the last corner commits";
  ASSERT_EQ(hull().polygons.size(), 3u);
  const Polygon& p = hull().polygons[2];
  const Vec3 expected[] = {{1, 1, 2}, {-1, 0, 2}, {0, -2, 2}};
  for (int k = 0; k < 3; ++k) {
    const Vertex& v = hull().vertices[p.vertexIndex[k]];
    EXPECT_EQ(v.x, expected[k].x) << k;
    EXPECT_EQ(v.y, expected[k].y) << k;
    EXPECT_EQ(v.z, expected[k].z) << k;
  }
}

TEST_F(PolygonEntryTest, AnEntryWhoseModuleWentAwayEndsWithoutTouchingAnything) {
  startPolygonAdd(editor);
  field("3");
  model.document.wldfiles = 0;  // as after a revert to an empty document
  corner({1, 2, 3});
  EXPECT_FALSE(editor.editing.entryActive);
  EXPECT_EQ(editor.history.size(), 0u);
}

}  // namespace
}  // namespace tessarim
