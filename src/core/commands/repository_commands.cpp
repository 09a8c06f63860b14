#include "commands/repository_commands.hpp"

#include "commands/command_table.hpp"
#include "commands/menu_context.hpp"

namespace tessarim {

bool documentInRepository(const MenuContext& c, const Command&) {
  return c.document || c.single();
}

}  // namespace tessarim
