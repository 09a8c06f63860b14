#pragma once

#include "commands/command_table.hpp"

class QKeyEvent;

namespace tessarim {

// The accelerator table's view of a key press: the key and exactly the Shift, Ctrl and Alt
// modifiers held. Keys the table never names map to Key::none.
KeyPress keyPressOf(const QKeyEvent& event);

}  // namespace tessarim
