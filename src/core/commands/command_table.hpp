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

// When the menu refresh enables an item; items with `always` are never written.
enum class MenuEnable : std::uint8_t {
  always,
  somethingModified,  // Save, Undo
  documentOpen,       // Save As, Close, Properties
  assemblyOrCity,
  assembly,
  city,
  anyModules,    // N > 0
  singleModule,  // currentModule >= 0
  anyModule,     // currentModule != -1
  addModule,
  addPolygon,
  changePolygon,
  deleteSelection,
  duplicate,
  modifiers,
  meshTexel,
  colorOverlay,
  colorize,
  moduleWithPolygons,  // Texture Alignment
  backface,
  split,
  generateTexels,
  textureFlip,
  instanceChosen,  // N > 0 and currentInstance != -1: Masking, next/previous polygon
  interiorIllumination,
  aseImport,
  objImport,
  wldExport,
  asmExport,
  polygonsToNewModule,
  cloneMirror,
  instanceToNewModule,
  averageOrigin,
  nextType,
  expandGroup,
  refreshFromAsm,
  assignMap,         // code: the map slot
  assignControlMap,  // as assignMap, and the detail map is set
  mapAssigned,       // code: the map slot
  clearMaps,
  autoAssign,
  optimizeOrder,
  legacyScale,
  unassignedScale,
  newScale,
  hinge,
  snapMotion,
  clearMotion,
  animationSlot,
  pasteSequence,
  endMode,
  extendRetract,
  addLight,
  changeLight,
  clearLights,
  contactSheet,
  contactSheetRefresh,
  building,
  inertialMoments,
  systemsViewOff,   // Time-of-Day, Backface Culling
  lightingSliders,  // Wetness, Fog
  findPath,
  repositoryFile,  // Show History, Annotate Changes, Show Differences
};

// What an item's check mark shows; the item is checked when the value equals its code.
enum class MenuCheck : std::uint8_t {
  none,
  flag,        // code: a Toggle (view_commands.hpp); checked while the flag is set
  sliderFlag,  // as flag, and only while the lighting sliders are on
  instanceType,
  colourKey,
  group,          // currentGroup or the current instance's group
  instanceGroup,  // the current instance's group only
  peopleDisplay,  // the display value of people slot `slot`
  system,         // code: system 1..11
  animationSlot,  // -1: "None"
  skeleton,
  agility,       // code: agility in hundredths
  documentType,  // an assembly is open
  cityType,      // a city is open
  interiorFlag,
  scaleClass,
  shading,  // 1 Gouraud, 0 Lambertian
  rtsEditMode,
  rtsNodeFlag,   // code: the flag bit
  allModules,    // 1 "All", 0 "Current Only"
  extendedView,  // 1 Extended/Equipped, 0 Retracted/Removed
  endMode,
  baseHidden,
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
  MenuEnable enable = MenuEnable::always;  // when the menu refresh enables the item
  MenuCheck check = MenuCheck::none;       // what its check mark shows, compared with code
  std::int8_t slot = 0;                    // people-package display slot of a display item
  bool greyed = false;                     // greyed as built; the refresh never enables it
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
