#pragma once

#include <array>
#include <optional>

namespace tessarim {

struct Editor;

// What the menu refresh remembers between calls.
struct MenuRefreshState {
  bool initialized = false;    // set once the window's menu exists
  float menuRefreshClock = 0;  // seconds of frame time since the last refresh
  // INSTANCE, GROUP, MOTION, LIGHTS, RTSPS, SYSTEMS: the enabled state last written.
  std::array<std::optional<bool>, 6> menuBarState{};
};

}  // namespace tessarim
