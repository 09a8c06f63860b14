#include "commands/city_commands.hpp"

#include "commands/command_table.hpp"
#include "commands/menu_context.hpp"
#include "editor/editor.hpp"

namespace tessarim {

bool setRtsEditMode(Editor& editor, const Command& command) {
  editor.view().rtsEditMode = static_cast<std::uint8_t>(command.code);
  return true;
}

bool rtsEditModeIs(const MenuContext& c, const Command& command) {
  return c.view.rtsEditMode == command.code;
}

bool raiseContactSheetRefresh(Editor& editor, const Command&) {
  editor.view().contactSheetRefresh = true;
  return true;
}

bool canRefreshContactSheet(const MenuContext& c, const Command&) {
  return c.city && c.currentGroup == 0;
}

bool buildingChosen(const MenuContext& c, const Command&) {
  return c.city && c.currentGroup >= 1;
}

// A selected node is where a path search starts.
bool canFindPath(const MenuContext& c, const Command&) {
  return c.model.document.streetNodes.selectedNode >= 0;
}

bool rtsNodeFlagSet(const MenuContext& c, const Command& command) {
  return (c.model.document.streetNodes.selectedFlags & static_cast<std::uint32_t>(command.code)) !=
         0;
}

// The city's zonal-scaling flag is saved with the document.
bool zonalScalingOn(const MenuContext& c, const Command&) {
  return c.model.document.rtsEnabled;
}
}  // namespace tessarim
