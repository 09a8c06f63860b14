#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "model/model.hpp"

namespace tessarim {

// Instance indices are 16-bit: the selection reaches a module's first 32768 instances.
inline constexpr std::size_t addressableInstances = 32768;

struct Editor;
struct Command;
struct MenuContext;
class Edit;

// EDIT: edits of the whole selection, and the document's type. Each item's handler sits beside the
// rules that enable it and show its check mark.

// The edit history: each steps once through the committed edits.
bool undoEdit(Editor& editor, const Command& command);
bool canUndoEdit(const MenuContext& context, const Command& command);
bool redoEdit(Editor& editor, const Command& command);
bool canRedoEdit(const MenuContext& context, const Command& command);

// Deletes what is selected: with no polygon selection and no browsed group in an assembly or a
// city, the current instance or the listed ones (a module left without instances goes too);
// otherwise the current or listed polygons with the vertices only they used; with a browsed
// group, every instance of that group. One edit; false, changing nothing, when the selection
// names nothing that exists.
bool deleteSelection(Editor& editor, const Command& command);
bool canDelete(const MenuContext& context, const Command& command);
// Where each instance of the table went after an erasure: new module and index, -1 for gone.
struct Renumbering {
  std::vector<int> module;
  std::vector<std::vector<int>> index;

  // {-1, -1} for an instance erased, in a removed module, or never there.
  InstanceRef operator()(InstanceRef r) const;
};

// Erases the instances marked in doomed[module][instance] (a short or empty row marks none) and
// removes each module they leave without instances; later modules move down one place per
// removal. A removal renumbers the module table, so the edit keeps the whole document then;
// otherwise it keeps the touched instance lists alone.
Renumbering eraseInstances(Edit& edit, Document& document,
                           const std::vector<std::vector<std::uint8_t>>& doomed);
// eraseInstances of every instance with the group code among the first `modules` modules;
// nothing, and nothing erased, when none has it.
std::optional<Renumbering> eraseGroup(Edit& edit, Document& document, int group, int modules);

// An instance of a component module has its equipment record: a new copy gets an empty one, and
// the systems overlay shows its system.
void addComponentRecord(Edit& edit, Model& model, const Module& module, const Guid& guid);

// Copies in place, each with a new GUID: a city's browsed group under a free group number, else
// the current instance or each listed one (the list then names the copies). One edit.
bool duplicateSelection(Editor& editor, const Command& command);
bool canDuplicate(const MenuContext& context, const Command& command);
bool documentTypeIs(const MenuContext& context, const Command& command);
bool cityTypeIs(const MenuContext& context, const Command& command);
bool interiorFlagSet(const MenuContext& context, const Command& command);
// EDIT > Type: the document's type code; "Interior Flag" flips the assembly's interior flag.
bool setDocumentType(Editor& editor, const Command& command);
bool toggleInteriorFlag(Editor& editor, const Command& command);

// Every instance a quarter turn about z: location (x, y) := (y, -x), roll less a quarter turn.
// The meshes are left as they are.
bool swapXYAxes(Editor& editor, const Command& command);
// y and z of every vertex of every module change places; the winding is left as it is.
bool swapYZAxes(Editor& editor, const Command& command);

}  // namespace tessarim
