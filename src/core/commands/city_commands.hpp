#pragma once

namespace tessarim {

struct Editor;
struct Command;
struct MenuContext;

// RTSPS: the city's grid, contact sheets and street nodes. Each item's handler sits beside the
// rules that enable it and show its check mark.
bool zonalScalingOn(const MenuContext& context, const Command& command);
bool setRtsEditMode(Editor& editor, const Command& command);
bool raiseContactSheetRefresh(Editor& editor, const Command& command);
bool canRefreshContactSheet(const MenuContext& context, const Command& command);
bool buildingChosen(const MenuContext& context, const Command& command);
bool canFindPath(const MenuContext& context, const Command& command);
bool rtsEditModeIs(const MenuContext& context, const Command& command);
bool rtsNodeFlagSet(const MenuContext& context, const Command& command);

}  // namespace tessarim
