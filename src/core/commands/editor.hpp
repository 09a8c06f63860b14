#pragma once

#include <cstdint>

#include "app/session.hpp"
#include "app/user_settings.hpp"
#include "commands/menu_state.hpp"
#include "editing/editing_state.hpp"
#include "render/frame.hpp"
#include "render/scene_buffers.hpp"

namespace tessarim {

// The running editor as the commands see it: the session (model and seams) and the state the
// window's handlers keep between messages.
struct Editor {
  explicit Editor(Session s) : session(s) {}

  Session session;
  UserSettings user;
  MenuRefreshState menu;
  FrameState frame;
  SceneGeometry scene;           // what the viewport draws, rebuilt when the geometry is dirty
  bool commandActivity = false;  // a command was handled since the last timer tick
  bool closeRequested = false;   // Exit asked the window to close
  std::uint32_t tracks = 0;      // seconds of use
  std::uint32_t smacks = 0;      // seconds in which a command was handled
  std::int64_t lastTickMilliseconds = 0;  // clock time the counted seconds reach
  bool checkingOutside = false;           // a check for outside changes is showing a message
  EditingState editing;

  Model& model() { return session.model; }
  const Model& model() const { return session.model; }
};

}  // namespace tessarim
