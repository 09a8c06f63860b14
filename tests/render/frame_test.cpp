#include "editor/frame.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "commands/menu_state.hpp"
#include "editor/editor.hpp"
#include "editor/pointer_edits.hpp"
#include "model/geometry.hpp"
#include "model/model.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

struct NoMenu : MenuSink {
  void setPopupEnabled(int, bool) override {}
  void setItemEnabled(int, bool) override {}
  void setItemChecked(int, bool) override {}
};

struct FrameFixture : ::testing::Test {
  // An assembly of one 2-unit square module (scale class 0: kilometres) placed at x = 3.
  FrameFixture() {
    Model& m = repo.model;
    m.document.kind = DocumentKind::asmfile;
    m.document.documentPath = "ships\\a.asm";
    m.document.wldfiles = 1;
    m.document.module[0].vertices = {{-1, -1, 0}, {-1, 1, 0}, {1, 1, 0}, {1, -1, 0}};
    Polygon p;
    p.sides = 4;
    p.vertexIndex = {0, 1, 2, 3};
    m.document.module[0].polygons = {p};
    m.document.module[0].instances.resize(1);
    m.document.module[0].instances[0].location = {3, 0, 0};
    m.status.geometryDirty = true;
    initMenuState(editor);
  }
  void move(float seconds = 0.01f) {
    refreshMenuState(editor, seconds, menu);
    frameMove(frameParts(editor), seconds);
  }

  testing::TempRepo repo;
  Editor editor{Session{repo.model, repo.repository, repo.ui, repo.store, repo.clock}};
  NoMenu menu;
  FrameState& frame = editor.frame;
};

TEST(Camera, ZoomPositionsMapToDistances) {
  EXPECT_FLOAT_EQ(eyeDistanceFor(4000, 2.5f), 10.0f);  // 4 x extent
  EXPECT_NEAR(eyeDistanceFor(2000, 1), 4.0f / 256, 1e-6);
  EXPECT_FLOAT_EQ(texelZoomFor(0), 20.0f);
  EXPECT_NEAR(texelZoomFor(1980), 0.2f, 1e-5);
}

TEST_F(FrameFixture, TheExtentReachesTheFarthestInstanceAndTheZoomIsClamped) {
  move();
  EXPECT_NEAR(frame.sceneExtent, 3 + std::sqrt(2.0f), 1e-5);
  EXPECT_FALSE(repo.model.status.geometryDirty);
  EXPECT_EQ(frame.sceneRevision, 1u);
  EXPECT_EQ(editor.scene.vertices.size(), 6u);

  struct Case {
    int start, wheel, zoom;
  } cases[] = {{3800, 120, 3780}, {3800, -240, 3840}, {610, 240, 600}, {3990, -120, 4000}};
  for (const Case& c : cases) {
    frame.camera.zoomPosition = c.start;
    frame.input.wheelDelta = c.wheel;
    move();
    EXPECT_EQ(frame.camera.zoomPosition, c.zoom) << c.start << " " << c.wheel;
    EXPECT_EQ(frame.input.wheelDelta, 0);
  }
  frame.camera.zoomPosition = 4000;
  move();
  EXPECT_NEAR(frame.camera.eyeDistance, 4 * frame.sceneExtent, 1e-4);
  EXPECT_EQ(frame.sceneRevision, 1u);  // nothing rebuilt without a dirty flag
}

TEST_F(FrameFixture, TheTexelWheelZoomsTheOtherWay) {
  repo.model.settings.view.texelView = true;
  frame.input.wheelDelta = 120;
  move();
  EXPECT_EQ(frame.camera.texelZoomPosition, 40);
  EXPECT_FLOAT_EQ(frame.camera.texelZoom, texelZoomFor(40));
}

TEST_F(FrameFixture, ALeftDragTurnsTheSceneAndResetTurnsItBack) {
  move();
  const Matrix start = frame.camera.sceneRotation;
  frame.input.cursorInside = true;
  frame.input.leftHeld = true;
  frame.input.leftDx = 0;
  frame.input.leftDy = 157.08f;  // pi/2 about -x
  move();
  // (0, 0, 1) seen from the eye turns from facing it to lying along y.
  const Vec3 turned =
      transformNormal({0, 0, 1}, multiply(frame.camera.sceneRotation, rotationZ(pi)));
  EXPECT_NEAR(turned.z, 0, 1e-3);
  EXPECT_NEAR(std::abs(turned.y), 1, 1e-3);
  EXPECT_EQ(frame.input.leftDy, 0);

  frame.camera.pan = frame.camera.panTarget = {1, 2, 3};
  frame.input.leftHeld = false;
  frame.input.resetRequested = true;
  move();
  EXPECT_EQ(frame.camera.sceneRotation, start);
  EXPECT_EQ(frame.camera.pan, Vec3{});
  EXPECT_FALSE(frame.input.resetRequested);
  EXPECT_NEAR(frame.camera.direction.z, 1, 1e-6);
}

// The drag is an edit made where the pointer moves, one step from press to release.
TEST_F(FrameFixture, AShiftDragInTheTexelViewTurnsTheShownTexels) {
  Model& m = repo.model;
  Polygon& p = m.document.module[0].polygons[0];
  p.texels = {Texel{0, 0}, Texel{0, 0.5f}, Texel{0.5f, 0.5f}, Texel{0.5f, 0}};
  p.texels2 = {Texel{0.1f, 0.1f}, Texel{0.1f, 0.2f}, Texel{0.2f, 0.2f}, Texel{0.2f, 0.1f}};
  m.document.module[0].canvasWidth = m.document.module[0].canvasHeight = 256;
  m.document.module[0].canvasWidth2 = m.document.module[0].canvasHeight2 = 256;
  m.settings.view.texelView = true;
  m.selection.currentModule = 0;
  m.selection.currentInstance = 0;
  m.selection.currentPolygon = 0;
  move();
  struct Case {
    bool shift;
    int mapIndex, set;  // the set the view shows: the overlay's (1) for map 4
  } cases[] = {{false, 0, -1}, {true, 0, 0}, {true, 4, 1}};
  for (const Case& c : cases) {
    m.settings.view.texelMapIndex = static_cast<std::uint8_t>(c.mapIndex);
    Module expected = m.document.module[0];
    if (c.set >= 0)
      rotatePolygonTexels(expected, c.set, 0, 12 * frame.camera.texelZoom * 0.03141593f, true);
    m.document.module[0].modified = 0;
    const KeyModifiers held{false, c.shift, false};
    pointerPressed(editor, PointerButton::left, 100, 100, held);
    pointerMovedTo(editor, 112, 100, held);
    pointerReleased(editor, PointerButton::left, 112, 100, held);
    move();
    const Polygon& turned = m.document.module[0].polygons[0];
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(turned.texels[k].u, expected.polygons[0].texels[k].u) << c.mapIndex << c.shift;
      EXPECT_EQ(turned.texels2[k].v, expected.polygons[0].texels2[k].v) << c.mapIndex << c.shift;
    }
    EXPECT_EQ(m.document.module[0].modified, c.set >= 0 ? 1 : 0);
  }
  EXPECT_NE(m.document.module[0].polygons[0].texels[2].u, 0.5f) << "the turns happened";

  // Two drags, two steps: undoing both gives the texels back exactly.
  ASSERT_EQ(editor.history.size(), 2u);
  editor.history.undo(m);
  editor.history.undo(m);
  EXPECT_EQ(m.document.module[0].polygons[0].texels[2].u, 0.5f);
  EXPECT_EQ(m.document.module[0].polygons[0].texels2[2].v, 0.2f);
}

TEST_F(FrameFixture, TheBlinkClockIsAOneSecondTriangleWave) {
  const float expected[] = {0.5f, 1.0f, 0.5f, 0.0f, 0.5f};
  for (float value : expected) {
    move(0.25f);
    EXPECT_NEAR(frame.blink, value, 1e-6);
  }
}

TEST_F(FrameFixture, LightsStepTheirActiveBitWhenThePhasePassesTheInterval) {
  repo.model.document.lightCount = 1;
  Light& light = repo.model.document.lights[0];
  light.secondsPerCycle = 1;
  light.cursor = 1;
  move(0.02f);  // phase 0.64
  EXPECT_EQ(light.cursor, 1u);
  move(0.02f);  // phase 1.28: steps, and a mask that runs out restarts at the top
  EXPECT_EQ(light.cursor, 0x40000000u);
  EXPECT_NEAR(light.phase, 0.28f, 1e-5);
  repo.model.settings.view.animateLights = false;
  move(1);
  EXPECT_NEAR(light.phase, 0.28f, 1e-5);
}

TEST_F(FrameFixture, SlidersSetValuesAndCaptionsWhileTheirSwitchesAreOn) {
  ViewOptions& view = repo.model.settings.view;
  SliderState& s = frame.sliders;
  s.position = {50, 30, 40, 25, 10, 40, 5};
  move();
  EXPECT_FLOAT_EQ(frame.ambient, 1.0f);  // the time-of-day sliders are off
  EXPECT_FLOAT_EQ(s.wetness, 0);
  EXPECT_FLOAT_EQ(s.fog, 0.1f);
  EXPECT_EQ(s.caption[static_cast<int>(SliderId::age)], "Age:  34");  // 0.25 x 62 + 18 = 33.5
  view.lightingSliders = view.grimeSlider = true;
  view.rtsEditMode = rtsConnect;
  move();
  EXPECT_FLOAT_EQ(frame.ambient, 0.4f);
  EXPECT_EQ(s.caption[static_cast<int>(SliderId::ambient)], "Ambient (40%)");
  EXPECT_EQ(s.caption[static_cast<int>(SliderId::wetness)], "Wetness (26.5)");
  EXPECT_EQ(s.caption[static_cast<int>(SliderId::grime)], "Grime (25%)");
  EXPECT_EQ(s.caption[static_cast<int>(SliderId::fog)], "Fog (0.40)");
  EXPECT_EQ(s.caption[static_cast<int>(SliderId::speedLimit)], "Speed limit (50 Mph / 80.45 Kph)");
  EXPECT_TRUE(sliderShown(SliderId::speedLimit, view));
  view.slidersHidden = true;  // texel view
  EXPECT_FALSE(sliderShown(SliderId::ambient, view));
  EXPECT_FALSE(sliderShown(SliderId::fog, view));
}

TEST_F(FrameFixture, TheSunlightLineFollowsTheVectorAndTheExtent) {
  move();
  ASSERT_EQ(frame.lineList.size(), 2u);
  EXPECT_EQ(frame.lineList[0].colour, 0xFF000000u);
  EXPECT_NEAR(frame.lineList[1].z, 2 * frame.sceneExtent, 1e-5);
  const auto revision = frame.lineRevision;
  move();
  EXPECT_EQ(frame.lineRevision, revision);  // nothing changed, nothing to upload
  frame.sunlight = {1, 0, 0};
  move();
  EXPECT_NEAR(frame.lineList[1].x, 2 * frame.sceneExtent, 1e-5);
  EXPECT_GT(frame.lineRevision, revision);
}

TEST_F(FrameFixture, AnIdleSceneDoesNotAnimateAndAHighlightDoes) {
  move();
  EXPECT_FALSE(frame.animating);
  repo.model.selection.currentModule = 0;
  repo.model.selection.currentInstance = 0;
  move();
  EXPECT_TRUE(frame.animating);
}

TEST(ClearColour, BackgroundChannelsScaleByAmbient) {
  EXPECT_EQ(clearColour(0x80F9CE71, 0.5f), (std::array<std::uint8_t, 4>{0x7D, 0x67, 0x39, 0x40}));
  EXPECT_EQ(clearColour(0xFFFFFFFF, 2), (std::array<std::uint8_t, 4>{255, 255, 255, 255}));
}

}  // namespace
}  // namespace tessarim
