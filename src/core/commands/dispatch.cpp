#include "commands/dispatch.hpp"

#include "app/lifecycle.hpp"
#include "commands/command_table.hpp"
#include "commands/editor.hpp"

namespace tessarim {

void dispatchCommand(Editor& editor, int number) {
  // The low 16 bits are the number; the high bits only tell menu from accelerator.
  number &= 0xFFFF;
  bool handled = false;
  if (number >= 10000 && number <= 12999) {
    handled = openRecent(editor, number);
  } else if (const Command* command = findCommand(number); command && command->handler) {
    handled = command->handler(editor, *command);
  }
  if (handled) editor.commandActivity = true;
}

}  // namespace tessarim
