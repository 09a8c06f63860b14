#pragma once

namespace tessarim {

struct Editor;
struct Command;
struct MenuContext;

// FILE, Export, "&DAW or DAW/DIX set": the runtime set of the document.
bool exportRuntimeSetCommand(Editor& editor, const Command& command);

// When its items are enabled and checked.
bool moduleHasPolygons(const MenuContext& context, const Command& command);
bool canExportContactSheet(const MenuContext& context, const Command& command);

}  // namespace tessarim
