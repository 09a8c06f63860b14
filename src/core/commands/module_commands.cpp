#include "commands/module_commands.hpp"

#include "commands/command_table.hpp"
#include "commands/menu_context.hpp"

namespace tessarim {

bool canAddModule(const MenuContext& c, const Command&) {
  return c.open && c.document && !(c.city && c.currentGroup == 0 && c.instance == nullptr);
}

bool canFlipTextures(const MenuContext& c, const Command&) {
  return c.currentModule == -1 && c.n > 0;
}

bool canAverageOrigin(const MenuContext& c, const Command&) {
  return c.assembly && c.single();
}

bool canAssignMap(const MenuContext& c, const Command&) {
  return c.n > 0 && c.currentModule != -1;
}

bool canAssignControlMap(const MenuContext& c, const Command&) {
  return c.n > 0 && c.single() && !c.module->maps[detailfile].empty();
}

bool mapAssigned(const MenuContext& c, const Command& command) {
  return c.single() && !c.module->maps[command.code].empty();
}

bool canClearMaps(const MenuContext& c, const Command&) {
  return c.n > 0 && c.currentModule != -2;
}

bool canAutoAssign(const MenuContext& c, const Command&) {
  return c.single() && !c.module->maps[textfile].empty();
}

bool canOptimizeOrder(const MenuContext& c, const Command&) {
  return c.n >= 2;
}

bool legacyScaleModule(const MenuContext& c, const Command&) {
  return c.single() && c.module->newScaleFamily == 0;
}

bool newScaleModule(const MenuContext& c, const Command&) {
  return c.single() && c.module->newScaleFamily != 0;
}

bool scaleClassIs(const MenuContext& c, const Command& command) {
  return c.single() && c.module->scaleClass == command.code;
}

bool baseHiddenSet(const MenuContext& c, const Command&) {
  return c.single() && c.module->baseHidden != 0;
}

}  // namespace tessarim
