#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessarim {

struct Editor;
struct Command;
struct MenuContext;
struct Model;

// TEXTURE: which image files the modules' nine map slots name, the catalogue match that numbers
// base maps for the game, and the texel canvas items. Every change to a module is one edit.

// "&Assign Texture..." of the slot in the row's code: asks for a PNG file and writes its stored
// name into the current module, or into the module of every listed instance.
bool assignMap(Editor& editor, const Command& command);
// A module or a multi-selection is current; the detail control map needs a single module with a
// detail map.
bool canAssignMap(const MenuContext& context, const Command& command);
bool canAssignControlMap(const MenuContext& context, const Command& command);
// The single current module's slot in the row's code is set.
bool mapAssigned(const MenuContext& context, const Command& command);
// "&Unassign Texture": empties the slot of the single current module.
bool unassignMap(Editor& editor, const Command& command);
// "&Hide Texture": the current module is drawn as if it had no base map, or again with it.
bool toggleBaseHidden(Editor& editor, const Command& command);
bool baseHiddenSet(const MenuContext& context, const Command& command);
// "Clear All": empties the current module's nine slots; without a current module nothing.
bool clearAllMaps(Editor& editor, const Command& command);
bool canClearMaps(const MenuContext& context, const Command& command);
// "Auto Assign": fills the current module's empty slots with the files of its base map's set
// that exist (stem + "-light.png" and so on).
bool autoAssignMaps(Editor& editor, const Command& command);
bool canAutoAssign(const MenuContext& context, const Command& command);
// "Match &Textures" items; the row's code is a MatchCatalogue. Catalogue and listing are written
// together or not at all, as regular files the repository folder holds (no link leading out),
// and only over a file that is a catalogue; the session's write log records both either way.
bool matchTextures(Editor& editor, const Command& command);
// "&Flip": v := 1 - v for texel set 0 of every polygon of every module.
bool flipTexels(Editor& editor, const Command& command);
bool canFlipTextures(const MenuContext& context, const Command& command);
// "C&anvas Color...": the texel canvas's colour, kept for the run and in "Canvas Color".
bool chooseCanvasColour(Editor& editor, const Command& command);

// The four catalogues of known base maps, each a binary file with a source listing beside it in
// the repository folder.
enum class MatchCatalogue : int { buildings, docks, ships, interiors };

// The stem of a map set: the base map name less its "-base.png" (see autoAssignMaps).
std::string mapSetStem(const std::string& baseName);

// What one match makes of a catalogue and the modules: the new catalogue file, its listing and
// the key each module gets. Catalogue records are 400 bytes after a 400-byte header that holds
// the record count; record k's number is the key of the modules that match it.
struct CatalogueMatch {
  std::string catalogue;  // the whole file to write
  std::string listing;    // text, lines ending CR LF
  struct Key {
    int module;
    std::int16_t sortKey;
  };
  std::vector<Key> keys;  // modules whose key differs from what they hold
  bool full = false;      // a new record was needed past the largest count a file can hold
  std::string refusal;    // why `existing` is no catalogue; nothing else is set then
};

// Matches every module the catalogue takes (a city's ground grid and modules with an instance in
// group 997 are left out) against `existing`, the catalogue's bytes (empty: a new catalogue).
// Bytes whose size does not fit the record count of their header are refused, never read as
// records. Linear in the records and the modules.
CatalogueMatch matchCatalogue(const Model& model, MatchCatalogue which,
                              const std::string& existing);

}  // namespace tessarim
