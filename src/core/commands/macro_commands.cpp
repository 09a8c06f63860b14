#include "commands/macro_commands.hpp"

#include "commands/command_table.hpp"
#include "commands/menu_context.hpp"

namespace tessarim {

bool canMovePolygonsToNewModule(const MenuContext& c, const Command&) {
  return c.instance != nullptr &&
         (c.currentPolygon >= 0 ||
          (c.currentPolygon == -2 && !c.model.selection.selectedPolygons.empty()));
}

bool canCloneMirror(const MenuContext& c, const Command&) {
  return c.assembly && c.instance != nullptr;
}

bool canMoveInstanceToNewModule(const MenuContext& c, const Command&) {
  return c.document && c.instance != nullptr;
}

}  // namespace tessarim
