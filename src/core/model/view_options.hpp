#pragma once

namespace tessarim {

// The view and editing options that menu commands toggle and the menu's check marks show.
struct ViewOptions {
  bool liveUpdates = false;  // watch texture files for changes
};

}  // namespace tessarim
