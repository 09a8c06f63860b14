#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "editing/edit_history.hpp"
#include "editing/editing_state.hpp"
#include "editor/frame.hpp"
#include "editor/menu_refresh_state.hpp"
#include "editor/recent_files.hpp"
#include "model/session.hpp"
#include "platform/modifier_values.hpp"
#include "render/user_settings.hpp"
#include "scene/scene_buffers.hpp"

namespace tessarim {

// What the window shows of the program, apart from the document.
struct WindowState {
  bool hasFocus = false;  // the window has the keyboard focus
  bool busy = false;      // a file command is saving or loading
};

// The running editor as the commands see it: the session (model and seams) and the state the
// window's handlers keep between messages.
struct Editor {
  explicit Editor(Session s) : session(s) {}

  Session session;
  UserSettings user;
  RecentLists recent;
  WindowState window;
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
  EditHistory history;            // the document's committed edits, for Undo Edit and Redo Edit
  std::unique_ptr<Edit> gesture;  // the edit of a drag still under way
  ModifierValues modifiers;       // what the Modifiers dialog last accepted, until "Reset"

  Model& model() { return session.model; }
  const Model& model() const { return session.model; }
  ViewOptions& view() { return session.model.settings.view; }
};

}  // namespace tessarim
