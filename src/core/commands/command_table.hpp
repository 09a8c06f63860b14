#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "commands/menu_context.hpp"

namespace tessarim {

struct Editor;
struct Command;

// Runs the command; false when it ended early on a refused precondition (not counted as
// activity). The row is passed so that one handler can serve a family of items by their code.
using CommandHandler = bool (*)(Editor& editor, const Command& command);

// Keys as the accelerator table names them, independent of the windowing system.
// clang-format off
enum class Key : std::uint8_t {
  none,
  a, b, c, d, e, f, g, h, i, j, k, l, m, n, o, p, q, r, s, t, u, v, w, x, y, z,
  digit0, digit1, digit2, digit3, digit4, digit5, digit6, digit7, digit8, digit9,
  f1, f2, f3, f4, f5, f6, f7, f8, f9, f10, f11, f12,
  insert, del, space,
  numMultiply, numDivide,  // the keypad's * and /
};
// clang-format on

enum Modifier : std::uint8_t { shift = 1, ctrl = 2, alt = 4 };

struct KeyPress {
  Key key = Key::none;
  std::uint8_t modifiers = 0;  // Modifier bits; must match a binding exactly
};

struct KeyBinding {
  Key key = Key::none;
  std::uint8_t modifiers = 0;
  char32_t character = 0;  // set: the binding matches this typed character instead of a key
};

// One row of the command table, in menu order. A row with an empty menuPath has no menu item
// (key-only commands); a separator row only places a separator in its menu.
struct Command {
  std::uint16_t number = 0;
  std::string_view label;  // exact menu text with "&" mnemonics
  std::string_view
      menuPath;  // popup and submenus from the bar down, joined by '|': "&FILE|&Import"
  std::array<KeyBinding, 2> keys{};
  CommandHandler handler = nullptr;  // none: choosing the item does nothing
  int code = 0;           // the value a family item sets or shows (type, group, scale...)
  std::string_view hint;  // key hint shown after the label; text only, not a binding
  bool checkable = false;
  bool separator = false;
  CommandRule enabled = nullptr;            // when the menu refresh enables the item; none: always
  CommandRule checked = nullptr;            // whether its check mark shows; none: not checkable
  bool ViewOptions::*viewOption = nullptr;  // the option a plain view toggle flips and shows
  std::int8_t slot = 0;                     // people-package display slot of a display item
  bool greyed = false;                      // greyed as built; the refresh never enables it
  bool pointer = false;  // acts where the mouse points: only the window can issue it
};

// Whether running the command would need the user at the window: a dialog (its label ends in
// "...", as the menus mark them) or the mouse.
bool needsUser(const Command& command);

// Every row of the menu bar in menu order, then the rows that only keys issue.
std::span<const Command> commandTable();
// The first row with a handler for this number, else its first row; nullptr for an unknown
// number. Separators are not rows of any number.
const Command* findCommand(int number);
// The number a key press issues, or 0: no binding, or its menu item is greyed.
int acceleratorCommand(const Editor& editor, KeyPress press);
// The number a typed character issues ("]", "[", "}", "{", "="), or 0 as above.
int characterCommand(const Editor& editor, char32_t character);

}  // namespace tessarim
