#include "editor/pointer_edits.hpp"

#include <gtest/gtest.h>

#include "model/instance_types.hpp"
#include "support/view_fixture.hpp"

namespace tessarim {
namespace {

constexpr KeyModifiers none{}, ctrl{true, false, false}, shift{false, true, false};

struct PointerTest : testing::ViewFixture {
  // A click where a point of a module lies, placed by one of its instances.
  void click(PointerButton button, int module, int instance, Vec3 point, KeyModifiers held = {}) {
    const Vec3 at = screenOf(module, instance, point);
    pointerPressed(editor, button, at.x, at.y, held);
    pointerReleased(editor, button, at.x, at.y, held);
  }
  void clickPolygon(int polygon, KeyModifiers held = {}) {
    click(PointerButton::left, 0, 1, {polygon == 0 ? -1.0f : 1.0f, 0, 0}, held);
  }
  void clickNothing(PointerButton button, KeyModifiers held = {}) {
    pointerPressed(editor, button, 2, 2, held);
    pointerReleased(editor, button, 2, 2, held);
  }
  const Selection& s() const { return model.selection; }
};

TEST_F(PointerTest, ALeftClickPicksAPolygonOfTheCurrentInstanceAndNothingClearsIt) {
  select(0, 1);
  clickPolygon(1);
  EXPECT_EQ(s().currentPolygon, 1);
  clickPolygon(0);
  EXPECT_EQ(s().currentPolygon, 0);
  editor.editing.sourceEdgeSet = true;
  clickNothing(PointerButton::left);
  EXPECT_EQ(s().currentPolygon, -1);
  EXPECT_FALSE(editor.editing.sourceEdgeSet);
  // The other instance of the module is not the current one: its polygons are not picked.
  click(PointerButton::left, 0, 0, {1, 0, 0});
  EXPECT_EQ(s().currentPolygon, -1);
}

TEST_F(PointerTest, CtrlTogglesPolygonsInAndOutOfTheSelection) {
  select(0, 1, 0);
  struct Step {
    int polygon;
    int current;
    std::vector<std::uint32_t> listed;
  } steps[] = {
      {1, -2, {0, 1}},  // another polygon: both listed
      {0, 1, {}},       // one left: it is current again
      {1, -1, {}},      // the current one again: deselected
  };
  for (const Step& step : steps) {
    clickPolygon(step.polygon, ctrl);
    EXPECT_EQ(s().currentPolygon, step.current) << step.polygon;
    EXPECT_EQ(s().selectedPolygons, step.listed) << step.polygon;
  }
  clickPolygon(1, ctrl);  // with no polygon current, Ctrl picks as a plain click does
  EXPECT_EQ(s().currentPolygon, 1);
}

TEST_F(PointerTest, APressMovedBeforeItsReleaseIsNotAClick) {
  select(0, 1);
  const Vec3 at = screenOf(0, 1, {1, 0, 0});
  pointerPressed(editor, PointerButton::left, at.x, at.y, none);
  pointerMovedTo(editor, at.x + 1, at.y, none);
  pointerReleased(editor, PointerButton::left, at.x + 1, at.y, none);
  EXPECT_EQ(s().currentPolygon, -1);
  EXPECT_EQ(editor.frame.input.leftDx, 1) << "it was a drag, kept for the view";
}

TEST_F(PointerTest, RightClicksSelectInstancesCtrlCollectsThemShiftTakesTheirGroup) {
  select(0, 1, 1);
  click(PointerButton::right, 1, 0, {0, 0, 0});
  EXPECT_EQ(s().currentModule, 1);
  EXPECT_EQ(s().currentInstance, 0);
  EXPECT_EQ(s().currentPolygon, -1);

  click(PointerButton::right, 0, 0, {-1, 0, 0}, ctrl);  // the current one joins first
  ASSERT_EQ(s().selectedInstances.size(), 2u);
  EXPECT_EQ(s().selectedInstances[0].module, 1);
  EXPECT_EQ(s().selectedInstances[1].module, 0);
  EXPECT_EQ(s().currentModule, -2);
  click(PointerButton::right, 0, 1, {1, 0, 0}, ctrl);
  EXPECT_EQ(s().selectedInstances.size(), 3u);
  click(PointerButton::right, 1, 0, {0, 0, 0}, ctrl);  // a listed one leaves
  ASSERT_EQ(s().selectedInstances.size(), 2u);
  EXPECT_EQ(s().selectedInstances[0].instance, 0);
  EXPECT_EQ(s().selectedInstances[1].instance, 1);

  model.document.module[0].instances[1].group = 7;
  model.document.module[1].instances[0].group = 7;
  click(PointerButton::right, 1, 0, {0, 0, 0}, shift);
  EXPECT_EQ(s().currentGroup, 7);
  EXPECT_EQ(s().currentModule, -2);
  ASSERT_EQ(s().selectedInstances.size(), 2u);
  EXPECT_EQ(s().selectedInstances[0].module, 0);
  EXPECT_EQ(s().selectedInstances[0].instance, 1);

  clickNothing(PointerButton::right, shift);
  EXPECT_TRUE(s().selectedInstances.empty());
  EXPECT_EQ(s().currentModule, -1);
  click(PointerButton::right, 0, 0, {-1, 0, 0});
  EXPECT_EQ(s().currentModule, 0);
  EXPECT_EQ(s().currentInstance, 0);
  EXPECT_EQ(s().currentGroup, -1);
}

TEST_F(PointerTest, TheNearerOfTwoOverlappingInstancesIsPicked) {
  model.document.module[1].instances[0].location = {4, 0, 3};  // in front of hull instance 1
  frame();
  click(PointerButton::right, 0, 1, {1, 0, 0});
  EXPECT_EQ(s().currentModule, 1);
}

TEST_F(PointerTest, ARightClickOnAOneQuadHullMapShowsItsCornersAndKeepsTheSelection) {
  model.document.module[1].instances[0].type = instance_type::hullMap;
  select(0, 1);
  click(PointerButton::right, 1, 0, {0, 0, 0});
  ASSERT_EQ(repo.ui.boxes.size(), 1u);
  EXPECT_EQ(repo.ui.boxes[0].caption, "Error!");
  EXPECT_EQ(repo.ui.boxes[0].text.rfind("\nll = D3DXVECTOR3(-1.000000f, 4.000000f, 0.000000f);", 0),
            0u)
      << repo.ui.boxes[0].text;
  EXPECT_NE(repo.ui.boxes[0].text.find("\nfNearplane = "), std::string::npos);
  EXPECT_EQ(s().currentModule, 0);
  EXPECT_EQ(s().currentInstance, 1);
}

TEST_F(PointerTest, OneWheelNotchZoomsByTwenty) {
  const int zoom = editor.frame.camera.zoomPosition;
  wheelTurned(editor, 120);
  frame();
  EXPECT_EQ(editor.frame.camera.zoomPosition, zoom - 20);
}

}  // namespace
}  // namespace tessarim
