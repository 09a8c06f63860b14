#include "commands/motion_commands.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "support/view_fixture.hpp"

namespace tessarim {
namespace {

struct CalculateNormal : testing::ViewFixture {
  void pointAt(Vec3 screen) {
    editor.frame.input.pointerX = screen.x;
    editor.frame.input.pointerY = screen.y;
  }
};

// The hull's polygons face +z in the module; the instance is pitched, so the axis is that normal
// as the instance turns it.
TEST_F(CalculateNormal, TheHingeAxisIsTheWorldNormalOfThePolygonUnderThePointer) {
  const float pitch = 0.3f;
  model.document.module[0].instances[1].orientation = {0, pitch, 0};
  frame();
  select(0, 1);
  pointAt(screenOf(0, 1, {1, 0, 0}));
  ASSERT_EQ(issueCommand(editor, cmd::calculateNormal), CommandOutcome::done);
  const auto& axis = model.document.module[0].instances[1].hingeAxis;
  EXPECT_NEAR(axis[0], 0, 1e-6);
  EXPECT_NEAR(axis[1], -std::sin(pitch), 1e-6);
  EXPECT_NEAR(axis[2], std::cos(pitch), 1e-6);
  EXPECT_TRUE(model.status.documentModified);

  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(model.document.module[0].instances[1].hingeAxis, (std::array<float, 3>{}));
}

TEST_F(CalculateNormal, NothingUnderThePointerChangesNothing) {
  select(0, 1);
  pointAt({2, 2, 0});
  EXPECT_EQ(issueCommand(editor, cmd::calculateNormal), CommandOutcome::refused);
  EXPECT_FALSE(editor.history.canUndo());
}

}  // namespace
}  // namespace tessarim
