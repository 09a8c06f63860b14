#pragma once

namespace tessarim {

struct Editor;
struct Command;
struct MenuContext;

// LIGHTS: the document's lights. Each item's handler sits beside the rules that enable it
// and show its check mark.
bool canAddLight(const MenuContext& context, const Command& command);
bool canChangeLight(const MenuContext& context, const Command& command);
bool anyLights(const MenuContext& context, const Command& command);

}  // namespace tessarim
