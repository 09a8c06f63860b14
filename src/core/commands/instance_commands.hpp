#pragma once

namespace tessarim {

struct Editor;
struct Command;
struct MenuContext;

// INSTANCE and GROUP: instance types, colour keys and groups. Each item's handler sits beside the
// rules that enable it and show its check mark.
bool instanceChosen(const MenuContext& context, const Command& command);
bool canLightInterior(const MenuContext& context, const Command& command);
bool canStepType(const MenuContext& context, const Command& command);
bool canExpandGroup(const MenuContext& context, const Command& command);
bool instanceTypeIs(const MenuContext& context, const Command& command);
bool colourKeyIs(const MenuContext& context, const Command& command);
bool groupIs(const MenuContext& context, const Command& command);
bool instanceGroupIs(const MenuContext& context, const Command& command);

}  // namespace tessarim
