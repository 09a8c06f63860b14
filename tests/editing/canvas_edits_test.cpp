#include "editor/canvas_edits.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "editor/keyboard_edits.hpp"
#include "editor/pointer_edits.hpp"
#include "model/geometry.hpp"
#include "support/view_fixture.hpp"

namespace tessarim {
namespace {

using Texels = std::array<Texel, 4>;

// The hull's two squares laid on a 256 x 256 canvas: polygon 0 upright at the top left,
// polygon 1 turned a quarter and apart, so that their shared edge does not meet on the canvas.
struct CanvasTest : testing::ViewFixture {
  CanvasTest() {
    Module& hull = model.document.module[0];
    hull.canvasWidth = hull.canvasHeight = 256;
    hull.polygons[0].texels = {Texel{0.1f, 0.3f}, Texel{0.1f, 0.1f}, Texel{0.3f, 0.1f},
                               Texel{0.3f, 0.3f}};
    hull.polygons[1].texels = {Texel{0.6f, 0.6f}, Texel{0.8f, 0.6f}, Texel{0.8f, 0.8f},
                               Texel{0.6f, 0.8f}};
    model.settings.view.texelView = true;
    select(0, 0, 0);
    frame();
  }
  Texels& texels(int polygon) { return model.document.module[0].polygons[polygon].texels; }
  // Where a texel lies on the screen in the texel view.
  Vec3 screenOfTexel(Texel t) {
    const Camera& c = editor.frame.camera;
    const Vec3 flat{t.u * 0.0048828125f * 256, -t.v * 0.0048828125f * 256, 0};
    return project(flat, c.viewport, c.projection, c.view, identityMatrix());
  }
  void click(PointerButton button, Texel at) {
    const Vec3 p = screenOfTexel(at);
    pointerPressed(editor, button, p.x, p.y, {});
    pointerReleased(editor, button, p.x, p.y, {});
  }
  static Texel mid(Texel a, Texel b) { return {(a.u + b.u) / 2, (a.v + b.v) / 2}; }
};

void expectTexels(const Texels& actual, const Texels& expected, const char* what) {
  for (int k = 0; k < 4; ++k) {
    EXPECT_NEAR(actual[k].u, expected[k].u, 1e-5f) << what << " corner " << k;
    EXPECT_NEAR(actual[k].v, expected[k].v, 1e-5f) << what << " corner " << k;
  }
}

TEST_F(CanvasTest, ArrowKeysMoveTheTexelsByTheCanvasStep) {
  const Texels before = texels(0);
  const float step = editor.frame.camera.texelZoom * 0.512f / 256;
  editor.editing.sourceEdgeSet = true;
  viewKeyDown(editor, ViewKey::right, {});
  viewKeyDown(editor, ViewKey::up, {});
  Texels expected = before;
  for (Texel& t : expected) {
    t.u += step;
    t.v -= step;
  }
  expectTexels(texels(0), expected, "moved");
  EXPECT_FALSE(editor.editing.sourceEdgeSet);
  EXPECT_EQ(model.document.module[0].instances[0].location[0], -4) << "the instance stays";

  // A polygon selection moves together.
  model.selection.currentPolygon = -2;
  model.selection.selectedPolygons = {0, 1};
  const Texels second = texels(1);
  viewKeyDown(editor, ViewKey::left, {});
  EXPECT_NEAR(texels(1)[0].u, second[0].u - step, 1e-6f);
  EXPECT_NEAR(texels(0)[0].u, expected[0].u - step, 1e-6f);

  ASSERT_EQ(editor.history.size(), 3u);
  for (int k = 0; k < 3; ++k) issueCommand(editor, cmd::undoEdit);
  expectTexels(texels(0), before, "undone");
}

TEST_F(CanvasTest, KeypadKeysTurnTheTexelsWithAModifier) {
  Module expected = model.document.module[0];
  rotatePolygonTexels(expected, 0, 0, -0.2617994f, true);
  viewKeyDown(editor, ViewKey::keypad0, {});  // no modifier: nothing
  viewKeyDown(editor, ViewKey::keypad0, {true, false, false});
  expectTexels(texels(0), expected.polygons[0].texels, "turned -15 degrees");
  rotatePolygonTexels(expected, 0, 0, 0.0031415927f * editor.frame.camera.texelZoom, true);
  viewKeyDown(editor, ViewKey::keypadDecimal, {false, false, true});
  expectTexels(texels(0), expected.polygons[0].texels, "turned a fine step");
}

TEST_F(CanvasTest, EdgeSnapLaysTheSourceEdgeOntoTheReferenceEdge) {
  // Polygon 1's edge 0 runs from vertex 3 to vertex 2; polygon 0's edge 2 from vertex 2 to 3.
  select(0, 0, 1);
  const Texels source = texels(1);
  click(PointerButton::right, mid(source[0], source[1]));
  ASSERT_TRUE(editor.editing.sourceEdgeSet);
  EXPECT_EQ(editor.editing.sourcePolygon, 1);
  EXPECT_EQ(editor.editing.sourceEdge, 0);

  click(PointerButton::right, mid(source[2], source[3]));  // the source polygon itself: nothing
  EXPECT_EQ(editor.editing.sourceEdge, 0);
  expectTexels(texels(1), source, "unchanged");

  click(PointerButton::left, mid(texels(0)[0], texels(0)[2]));
  ASSERT_EQ(model.selection.currentPolygon, 0);
  EXPECT_TRUE(editor.editing.sourceEdgeSet) << "picking another polygon keeps the source edge";
  const Texels reference = texels(0);
  click(PointerButton::right, mid(reference[2], reference[3]));

  EXPECT_FALSE(editor.editing.sourceEdgeSet);
  const Texels& snapped = texels(1);
  EXPECT_NEAR(snapped[0].u, reference[2].u, 1e-5f);
  EXPECT_NEAR(snapped[0].v, reference[2].v, 1e-5f);
  EXPECT_NEAR(snapped[1].u, reference[3].u, 1e-5f);
  EXPECT_NEAR(snapped[1].v, reference[3].v, 1e-5f);
  expectTexels(texels(0), reference, "the reference stays");
  ASSERT_EQ(editor.history.size(), 1u);
  EXPECT_EQ(editor.history.step(0).name, "Edge Snap");
}

TEST_F(CanvasTest, StraightenTurnsTheSourceEdgeAlongV) {
  texels(1) = {Texel{0.6f, 0.6f}, Texel{0.7f, 0.75f}, Texel{0.6f, 0.85f}, Texel{0.5f, 0.7f}};
  select(0, 0, 1);
  EXPECT_EQ(issueCommand(editor, cmd::straightenSourceEdge), CommandOutcome::refused)
      << "no source edge yet";
  click(PointerButton::right, mid(texels(1)[0], texels(1)[1]));
  ASSERT_TRUE(editor.editing.sourceEdgeSet);
  ASSERT_EQ(issueCommand(editor, cmd::straightenSourceEdge), CommandOutcome::done);
  EXPECT_NEAR(texels(1)[0].u, texels(1)[1].u, 1e-5f);
  EXPECT_LT(texels(1)[0].v, texels(1)[1].v) << "running down v, as the edge ran";
  EXPECT_FALSE(editor.editing.sourceEdgeSet);
}

}  // namespace
}  // namespace tessarim
