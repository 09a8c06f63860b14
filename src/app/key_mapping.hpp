#pragma once

#include <optional>

#include "commands/command_table.hpp"
#include "editor/keyboard_edits.hpp"

class QKeyEvent;

namespace tessarim {

// The accelerator table's view of a key press: the key and exactly the Shift, Ctrl and Alt
// modifiers held. Keys the table never names map to Key::none.
KeyPress keyPressOf(const QKeyEvent& event);

// The view's editing keys (arrows, pages, entry keys, the keypad's), when the press is one.
std::optional<ViewKey> viewKeyOf(const QKeyEvent& event);

}  // namespace tessarim
