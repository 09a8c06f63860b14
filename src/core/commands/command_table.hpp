#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace tessarim {

struct Editor;
struct Command;

// Runs the command; false when it ended early on a refused precondition (not counted as
// activity). The row is passed so that one handler can serve a family of items by their code.
using CommandHandler = bool (*)(Editor& editor, const Command& command);

// Keys as the accelerator table names them, independent of the windowing system.
enum class Key : std::uint8_t {
  none,
  a, b, c, d, e, f, g, h, i, j, k, l, m, n, o, p, q, r, s, t, u, v, w, x, y, z,
  digit0, digit1, digit2, digit3, digit4, digit5, digit6, digit7, digit8, digit9,
  f1, f2, f3, f4, f5, f6, f7, f8, f9, f10, f11, f12,
  insert, del, space,
  numMultiply, numDivide,  // the keypad's * and /
};

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
  std::string_view label;     // exact menu text with "&" mnemonics
  std::string_view menuPath;  // popup and submenus from the bar down, joined by '|': "&FILE|&Import"
  std::array<KeyBinding, 2> keys{};
  CommandHandler handler = nullptr;  // none: choosing the item does nothing
  int code = 0;                      // the value a family item sets or shows (type, group, scale...)
  std::string_view hint;             // key hint shown after the label; text only, not a binding
  bool checkable = false;
  bool separator = false;
};

}  // namespace tessarim
