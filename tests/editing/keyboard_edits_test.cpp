#include "editor/keyboard_edits.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "equipment/motion.hpp"
#include "model/instance_types.hpp"
#include "support/view_fixture.hpp"

namespace tessarim {
namespace {

constexpr float degree = 0.017453292f;
constexpr KeyModifiers none{}, ctrl{true, false, false}, alt{false, false, true};

struct KeyboardTest : testing::ViewFixture {
  KeyboardTest() { select(0, 1); }
  Instance& hull(int i) { return model.document.module[0].instances[i]; }
  Instance& fin() { return model.document.module[1].instances[0]; }
  int step() const { return instanceMoveStep(editor.frame.camera.eyeDistance); }
};

TEST(AngleLattice, StepsLandOnMultiplesOfTheStep) {
  struct Case {
    float from, delta, step, to;
  } cases[] = {
      {7 * degree, 1 * degree, 1 * degree, 8 * degree},
      {7 * degree, 15 * degree, 15 * degree, 15 * degree},  // 22/15 is nearest 1
      {7 * degree, -15 * degree, 15 * degree, -15 * degree},
      {0, 15 * degree, 15 * degree, 15 * degree},
      {0.3f * degree, 1 * degree, 1 * degree, 1 * degree},
  };
  for (const Case& c : cases)
    EXPECT_NEAR(snapAngle(c.from, c.delta, c.step), c.to, 1e-6f) << c.from / degree;
}

TEST(InstanceMoveStep, IsOneUnitUntilTheViewIsFarOut) {
  EXPECT_EQ(instanceMoveStep(0), 1);
  EXPECT_EQ(instanceMoveStep(0.05f), 1);
  EXPECT_EQ(instanceMoveStep(1), 11);
  EXPECT_EQ(instanceMoveStep(std::nanf("")), 1);
}

TEST_F(KeyboardTest, ArrowsAndPagesMoveTheCurrentInstanceAlongTheirAxes) {
  struct Case {
    ViewKey key;
    KeyModifiers held;
    int axis;
    float sign;
  } cases[] = {{ViewKey::left, none, 0, -1},   {ViewKey::right, none, 0, 1},
               {ViewKey::up, none, 1, 1},      {ViewKey::down, none, 1, -1},
               {ViewKey::pageUp, none, 2, 1},  {ViewKey::pageDown, none, 2, -1},
               {ViewKey::pageUp, ctrl, 2, 1},  // modifiers do not turn with the page keys
               {ViewKey::pageDown, alt, 2, -1}};
  for (const Case& c : cases) {
    const std::array<float, 3> before = hull(1).location;
    viewKeyDown(editor, c.key, c.held);
    std::array<float, 3> expected = before;
    expected[c.axis] += c.sign * static_cast<float>(step());
    EXPECT_EQ(hull(1).location, expected) << static_cast<int>(c.key);
  }
  EXPECT_EQ(hull(0).location, (std::array<float, 3>{-4, 0, 0})) << "only the current one moves";
  EXPECT_TRUE(model.status.documentModified);
  EXPECT_EQ(model.document.module[0].modified, 0) << "the mesh file is as it was";
  EXPECT_FALSE(model.status.geometryDirty) << "a move rebuilds nothing";

  model.settings.sudoSu = true;  // fine steps
  const float x = hull(1).location[0];
  viewKeyDown(editor, ViewKey::right, none);
  EXPECT_FLOAT_EQ(hull(1).location[0], x + 0.1f * static_cast<float>(step()));
}

TEST_F(KeyboardTest, ModifiedArrowsTurnOnTheAngleLattice) {
  struct Case {
    ViewKey key;
    KeyModifiers held;
    int angle;  // yaw 0, pitch 1, roll 2
    float to;   // degrees, from 7
  } cases[] = {{ViewKey::left, alt, 1, 8},
               {ViewKey::left, ctrl, 1, 15},
               {ViewKey::right, ctrl, 1, -15},
               {ViewKey::right, alt, 1, 6},
               {ViewKey::up, alt, 0, 8},
               {ViewKey::down, ctrl, 0, -15},
               {ViewKey::keypad0, alt, 2, 8},
               {ViewKey::keypadDecimal, ctrl, 2, -15},
               {ViewKey::left, {true, false, true}, 1, 8}};  // Alt picks the fine step
  for (const Case& c : cases) {
    hull(1).orientation = {7 * degree, 7 * degree, 7 * degree};
    viewKeyDown(editor, c.key, c.held);
    EXPECT_NEAR(hull(1).orientation[c.angle], c.to * degree, 1e-5f) << static_cast<int>(c.key);
    EXPECT_EQ(hull(1).location, (std::array<float, 3>{4, 0, 0}));
  }
  hull(1).orientation = {};
  viewKeyDown(editor, ViewKey::keypad0, none);
  EXPECT_EQ(hull(1).orientation, (std::array<float, 3>{})) << "the keypad keys need a modifier";
}

TEST_F(KeyboardTest, ANudgeIsOneEditThatUndoEditTakesBack) {
  viewKeyDown(editor, ViewKey::right, none);
  viewKeyDown(editor, ViewKey::left, ctrl);
  ASSERT_EQ(editor.history.size(), 2u);
  EXPECT_EQ(editor.history.step(0).name, "Move");
  EXPECT_EQ(editor.history.step(1).name, "Turn");
  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(hull(1).location, (std::array<float, 3>{4, 0, 0}));
  EXPECT_EQ(hull(1).orientation, (std::array<float, 3>{}));
}

TEST_F(KeyboardTest, KeysThatDoNotApplyDoNothing) {
  // A single mesh: nothing to nudge.
  model.document.kind = DocumentKind::wldfile;
  select(0, 0);
  viewKeyDown(editor, ViewKey::left, none);
  EXPECT_EQ(hull(0).location, (std::array<float, 3>{-4, 0, 0}));
  // An instance that is no longer there (after a delete or a revert).
  model.document.kind = DocumentKind::asmfile;
  select(0, 7);
  viewKeyDown(editor, ViewKey::left, none);
  select(5, 0);
  viewKeyDown(editor, ViewKey::left, ctrl);
  EXPECT_EQ(editor.history.size(), 0u);
}

TEST_F(KeyboardTest, TheTorsoMovesTheSkeletonAndTheExtendedViewMovesTheExtent) {
  hull(1).type = instance_type::torso;
  viewKeyDown(editor, ViewKey::up, none);
  EXPECT_EQ(model.motion.skeletonOffset, (std::array<float, 3>{0, 1, 0}));
  EXPECT_EQ(hull(1).location, (std::array<float, 3>{4, 0, 0}));
  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(model.motion.skeletonOffset, (std::array<float, 3>{}));

  hull(1).type = 30;  // a door
  model.motion.extended = true;
  hull(1).endLocation = {199999, 0, 0};
  viewKeyDown(editor, ViewKey::right, none);
  EXPECT_EQ(hull(1).endLocation[0], 199999) << "clamped";
  EXPECT_EQ(hull(1).location, (std::array<float, 3>{4, 0, 0}));
}

TEST_F(KeyboardTest, ABrowsedGroupMovesWithItsExtentsAndTurnsAQuarterAboutItsCentre) {
  hull(0).group = hull(1).group = 3;
  hull(0).endLocation = hull(0).location;
  hull(1).endLocation = hull(1).location;
  model.selection.currentGroup = 3;
  viewKeyDown(editor, ViewKey::up, none);
  EXPECT_EQ(hull(0).location[1], static_cast<float>(step()));
  EXPECT_EQ(hull(1).endLocation[1], static_cast<float>(step()));
  EXPECT_EQ(fin().location, (std::array<float, 3>{0, 5, 0}));

  hull(0).location = hull(0).endLocation = {-4, 1, 0};
  hull(1).location = hull(1).endLocation = {4, 1, 0};
  viewKeyDown(editor, ViewKey::left, ctrl);  // only the keypad keys turn a group
  EXPECT_EQ(hull(0).orientation, (std::array<float, 3>{}));
  viewKeyDown(editor, ViewKey::keypad0, ctrl);
  // About (0, 1): (-4, 1) goes to (0, -3), (4, 1) to (0, 5).
  EXPECT_EQ(hull(0).location, (std::array<float, 3>{0, -3, 0}));
  EXPECT_EQ(hull(1).location, (std::array<float, 3>{0, 5, 0}));
  EXPECT_EQ(hull(1).endLocation, (std::array<float, 3>{0, 5, 0}));
  EXPECT_FLOAT_EQ(hull(0).orientation[2], 1.5707964f);
  for (int k = 0; k < 3; ++k) viewKeyDown(editor, ViewKey::keypad0, ctrl);
  EXPECT_EQ(hull(0).location, (std::array<float, 3>{-4, 1, 0})) << "four quarters: back";

  model.document.kind = DocumentKind::ctyfile;  // a city's buildings turn in place
  viewKeyDown(editor, ViewKey::keypadDecimal, alt);
  EXPECT_EQ(hull(0).location, (std::array<float, 3>{-4, 1, 0}));
  EXPECT_NEAR(hull(0).orientation[2], snapAngle(4 * 1.5707964f, -degree, degree), 1e-5f);
}

TEST_F(KeyboardTest, ListedInstancesMoveOneUnitOfTheCoarsestModule) {
  model.document.module[0].scaleClass = 8;  // 1 foot
  model.document.module[1].scaleClass = 3;  // smaller units
  model.selection.selectedInstances = {{0, 0}, {1, 0}};
  model.selection.currentModule = model.selection.currentInstance = -2;
  viewKeyDown(editor, ViewKey::right, none);
  EXPECT_FLOAT_EQ(hull(0).location[0], -3);
  EXPECT_NEAR(fin().location[0], 0.0003048 / 0.00010156409, 1e-4);
  EXPECT_EQ(hull(1).location[0], 4);
  viewKeyDown(editor, ViewKey::up, ctrl);
  EXPECT_NEAR(hull(0).orientation[0], 15 * degree, 1e-6f);
  EXPECT_NEAR(fin().orientation[0], 15 * degree, 1e-6f);
}

TEST_F(KeyboardTest, BodyPartsCarryTheirCopiesOrCounterTurnTheirChildren) {
  // Instance 1 of the hull is the left upper arm; the other hull instance is the same part
  // worn as clothing; the fin is the arm's forearm.
  hull(0).type = hull(1).type = instance_type::leftUpperArm;
  fin().type = instance_type::leftForearm;
  ASSERT_EQ(bodyPartParent(instance_type::leftForearm), instance_type::leftUpperArm);
  viewKeyDown(editor, ViewKey::left, ctrl);
  EXPECT_NEAR(hull(0).orientation[1], 15 * degree, 1e-6f) << "the same part follows";
  EXPECT_EQ(fin().orientation[1], 0);

  model.settings.view.counterRotateChildren = true;
  viewKeyDown(editor, ViewKey::left, ctrl);
  EXPECT_NEAR(hull(1).orientation[1], 30 * degree, 1e-6f);
  EXPECT_NEAR(hull(0).orientation[1], 15 * degree, 1e-6f) << "no copy with Inv";
  EXPECT_NEAR(fin().orientation[1], -15 * degree, 1e-6f) << "the child turns back";
}

TEST_F(KeyboardTest, TheKeypadZoomsTheViewOrTheCanvas) {
  const int zoom = editor.frame.camera.zoomPosition;
  viewKeyDown(editor, ViewKey::keypadMinus, none);
  EXPECT_EQ(editor.frame.camera.zoomPosition, zoom + 120);
  model.settings.view.texelView = true;
  const int texelZoom = editor.frame.camera.texelZoomPosition;
  viewKeyDown(editor, ViewKey::keypadPlus, none);
  EXPECT_EQ(editor.frame.camera.texelZoomPosition, texelZoom - 120);
}

}  // namespace
}  // namespace tessarim
