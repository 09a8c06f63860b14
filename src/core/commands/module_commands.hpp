#pragma once

namespace tessarim {

struct Editor;
struct Command;
struct MenuContext;

// MODULE: modules, their scale classes and their texture maps. Each item's handler sits beside the
// rules that enable it and show its check mark.
bool canAddModule(const MenuContext& context, const Command& command);
bool canFlipTextures(const MenuContext& context, const Command& command);
bool canAverageOrigin(const MenuContext& context, const Command& command);
bool canAssignMap(const MenuContext& context, const Command& command);
bool canAssignControlMap(const MenuContext& context, const Command& command);
bool mapAssigned(const MenuContext& context, const Command& command);
bool canClearMaps(const MenuContext& context, const Command& command);
bool canAutoAssign(const MenuContext& context, const Command& command);
bool canOptimizeOrder(const MenuContext& context, const Command& command);
bool legacyScaleModule(const MenuContext& context, const Command& command);
bool newScaleModule(const MenuContext& context, const Command& command);
bool scaleClassIs(const MenuContext& context, const Command& command);
bool baseHiddenSet(const MenuContext& context, const Command& command);

}  // namespace tessarim
