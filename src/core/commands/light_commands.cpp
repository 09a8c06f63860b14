#include "commands/light_commands.hpp"

#include "commands/command_table.hpp"
#include "commands/menu_context.hpp"

namespace tessarim {

bool canAddLight(const MenuContext& c, const Command&) {
  return c.instance != nullptr;
}

bool canChangeLight(const MenuContext& c, const Command&) {
  return c.model.document.lightCount > 0 && c.instance != nullptr;
}

bool anyLights(const MenuContext& c, const Command&) {
  return c.model.document.lightCount > 0;
}

}  // namespace tessarim
