#pragma once

namespace tessarim {

struct Editor;
struct Command;
struct MenuContext;

// "Add new module...": a chosen WLD file becomes a new instance of the loaded module of that
// name, or a new module with one instance (a 257th is refused); a chosen assembly is merged into
// the open document, its instances placed and grouped as one building in a city. One edit each;
// false, changing nothing, when the dialog is cancelled or the file cannot be read.
bool addNewModule(Editor& editor, const Command& command);
bool canAddModule(const MenuContext& context, const Command& command);

// "Refresh From ASM...": erases every instance of the browsed group from every module (a module
// left without instances goes), so the group can be added again from its assembly. A city's ground
// grid keeps its instance. One edit; false when the group has no instance.
bool refreshFromAsm(Editor& editor, const Command& command);
bool canRefreshFromAsm(const MenuContext& context, const Command& command);

}  // namespace tessarim
