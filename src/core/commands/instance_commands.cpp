#include "commands/instance_commands.hpp"

#include "commands/command_table.hpp"
#include "commands/menu_context.hpp"

namespace tessarim {

bool instanceChosen(const MenuContext& c, const Command&) {
  return c.n > 0 && c.currentInstance != -1;
}

bool canLightInterior(const MenuContext& c, const Command&) {
  return c.city && c.n > 0 && c.currentInstance != -1;
}

bool canStepType(const MenuContext& c, const Command&) {
  return c.document && c.currentModule != -2;
}

bool canExpandGroup(const MenuContext& c, const Command&) {
  return c.instance != nullptr && c.instance->group >= 1;
}

bool instanceTypeIs(const MenuContext& c, const Command& command) {
  return c.instance != nullptr && c.instance->type == command.code;
}

bool colourKeyIs(const MenuContext& c, const Command& command) {
  return c.instance != nullptr && c.instance->colourKey == command.code;
}

bool groupIs(const MenuContext& c, const Command& command) {
  return c.currentGroup == command.code ||
         (c.instance != nullptr && c.instance->group == command.code);
}

bool instanceGroupIs(const MenuContext& c, const Command& command) {
  return c.instance != nullptr && c.instance->group == command.code;
}

}  // namespace tessarim
