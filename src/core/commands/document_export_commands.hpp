#pragma once

namespace tessarim {

struct Editor;
struct Command;
struct MenuContext;

// FILE, Export, "&WLD file...": the selected instances merged into one mesh, written where the
// user chooses; the mesh then replaces the open document.
bool exportMergedWld(Editor& editor, const Command& command);
// FILE, Export, "&ASM file...": the multi-selected instances, or the browsed group, written as a
// new assembly where the user chooses; the open document stays as it is.
bool exportSelectionAsm(Editor& editor, const Command& command);

// When their items are enabled.
bool canExportWld(const MenuContext& context, const Command& command);
bool canExportAsm(const MenuContext& context, const Command& command);

}  // namespace tessarim
