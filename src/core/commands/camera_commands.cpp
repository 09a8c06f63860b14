#include "commands/camera_commands.hpp"

#include "commands/command_numbers.hpp"
#include "commands/command_table.hpp"
#include "editor/editor.hpp"

namespace tessarim {

bool resetView(Editor& editor, const Command&) {
  editor.frame.input.resetRequested = true;
  return true;
}

bool turnCamera(Editor& editor, const Command& command) {
  constexpr float step = 0.2617994f;  // 15 degrees
  Camera& camera = editor.frame.camera;
  switch (command.number) {
    case cmd::cameraYawLeft:
      camera.yaw -= step;
      break;
    case cmd::cameraYawRight:
      camera.yaw += step;
      break;
    case cmd::cameraPitchUp:
      camera.pitch -= step;
      break;
    case cmd::cameraPitchDown:
      camera.pitch += step;
      break;
    default:
      return false;
  }
  return true;
}

bool snapSunlight(Editor& editor, const Command&) {
  const Vec3 d = editor.frame.camera.direction;
  editor.frame.sunlight = {d.x, d.y, d.z};
  return true;
}

}  // namespace tessarim
