#pragma once

#include <cstdint>

namespace tessarim {

// What a change to the model asks of those who show it. The window, the renderer, the title and
// the menus follow from these reports; nobody sets their flags by hand.
enum class Change : std::uint8_t {
  geometry = 1,   // the drawn vertices must be rebuilt
  textures = 2,   // the texture images must be loaded again
  selection = 4,  // the selection moved: highlights and menu marks
  modified = 8,   // the document differs from its files
  title = 16,     // the window title may read differently
  menus = 32,     // enabling and check marks may differ
  // Instances moved or turned: the frame step places every instance anew, so they are drawn
  // where they now are without rebuilding any vertices.
  placement = 64,
};

class Changes {
 public:
  constexpr Changes() = default;
  constexpr Changes(Change c) : bits_(static_cast<std::uint8_t>(c)) {}  // NOLINT: a set of one

  constexpr bool has(Change c) const { return (bits_ & static_cast<std::uint8_t>(c)) != 0; }
  constexpr bool empty() const { return bits_ == 0; }
  constexpr Changes& operator|=(Changes other) {
    bits_ = static_cast<std::uint8_t>(bits_ | other.bits_);
    return *this;
  }
  friend constexpr Changes operator|(Changes a, Changes b) { return a |= b; }
  friend constexpr bool operator==(Changes, Changes) = default;

 private:
  std::uint8_t bits_ = 0;
};

constexpr Changes operator|(Change a, Change b) {
  return Changes(a) | Changes(b);
}

// What an edit of the document's content reports.
inline constexpr Changes contentChanges =
    Change::geometry | Change::modified | Change::title | Change::menus;
// What an edit of instance places and angles alone reports.
inline constexpr Changes placementChanges =
    Change::placement | Change::modified | Change::title | Change::menus;

}  // namespace tessarim
