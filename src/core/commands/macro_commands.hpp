#pragma once

namespace tessarim {

struct Editor;
struct Command;
struct MenuContext;

// MACRO: commands of several steps. Each item's handler sits beside the rules that enable it
// and show its check mark.
bool canMovePolygonsToNewModule(const MenuContext& context, const Command& command);
bool canCloneMirror(const MenuContext& context, const Command& command);
bool canMoveInstanceToNewModule(const MenuContext& context, const Command& command);

}  // namespace tessarim
