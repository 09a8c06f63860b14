#pragma once

namespace tessarim {

struct Editor;
struct Command;
struct MenuContext;

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
// Copies in place, each with a new GUID: a city's browsed group under a free group number, else
// the current instance or each listed one (the list then names the copies). One edit.
bool duplicateSelection(Editor& editor, const Command& command);
bool canDuplicate(const MenuContext& context, const Command& command);
bool canApplyModifiers(const MenuContext& context, const Command& command);
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
