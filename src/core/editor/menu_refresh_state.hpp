#pragma once

#include <array>
#include <bitset>
#include <optional>

namespace tessarim {

// What the menu refresh (commands/menu_state) remembers between calls; the editor keeps it so
// that the commands that park and restore view flags find it.
struct MenuRefreshState {
  bool initialized = false;    // set once the window's menu exists
  float menuRefreshClock = 0;  // seconds of frame time since the last refresh
  // INSTANCE, GROUP, MOTION, LIGHTS, RTSPS, SYSTEMS: the enabled state last written.
  std::array<std::optional<bool>, 6> menuBarState{};
  // Command numbers whose items the last refresh greyed; their keys issue nothing.
  std::bitset<65536> greyed;
  // While the systems overlay is on, the time-of-day and culling flags it cleared.
  bool systemsViewParked = false;
  bool parkedLightingSliders = false;
  bool parkedBackfaceCulling = true;
};

}  // namespace tessarim
