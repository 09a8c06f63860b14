#include "commands/camera_commands.hpp"

#include <gtest/gtest.h>

#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "commands/menu_state.hpp"
#include "editor/frame.hpp"
#include "support/editor_fixture.hpp"

namespace tessarim {
namespace {

struct SilentMenu : MenuSink {
  void setPopupEnabled(int, bool) override {}
  void setItemEnabled(int, bool) override {}
  void setItemChecked(int, bool) override {}
};

TEST(CameraCommands, KeysTurnTheCameraAndResetPutsItBack) {
  testing::EditorFixture f;
  initMenuState(f.editor);
  SilentMenu menu;
  for (int number : {cmd::cameraYawRight, cmd::cameraYawRight, cmd::cameraPitchUp})
    dispatchCommand(f.editor, number);
  EXPECT_FLOAT_EQ(f.editor.frame.camera.yaw, 2 * 0.2617994f);
  EXPECT_FLOAT_EQ(f.editor.frame.camera.pitch, -0.2617994f);
  refreshMenuState(f.editor, 0.016f, menu);
  frameMove(frameParts(f.editor), 0.016f);
  const Vec3 turned = f.editor.frame.camera.direction;
  EXPECT_GT(std::abs(turned.x) + std::abs(turned.y), 0.1f);  // no longer straight down z

  dispatchCommand(f.editor, cmd::snapSunlight);  // the sun now shines from the eye
  EXPECT_FLOAT_EQ(f.editor.frame.sunlight[0], turned.x);
  EXPECT_FLOAT_EQ(f.editor.frame.sunlight[1], turned.y);
  EXPECT_FLOAT_EQ(f.editor.frame.sunlight[2], turned.z);

  dispatchCommand(f.editor, cmd::resetView);
  refreshMenuState(f.editor, 0.016f, menu);
  frameMove(frameParts(f.editor), 0.016f);
  EXPECT_EQ(f.editor.frame.camera.yaw, 0);
  EXPECT_EQ(f.editor.frame.camera.pitch, 0);
  EXPECT_FALSE(f.editor.frame.input.resetRequested);
}

}  // namespace
}  // namespace tessarim
