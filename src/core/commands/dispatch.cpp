#include "commands/dispatch.hpp"

#include <new>

#include "commands/command_numbers.hpp"
#include "commands/command_table.hpp"
#include "commands/menu_state.hpp"
#include "editor/editor.hpp"
#include "editor/lifecycle.hpp"
#include "editor/pointer_edits.hpp"
#include "editor/recent_files.hpp"
#include "editor/refused_edits.hpp"
#include "model/model.hpp"
#include "platform/ui.hpp"

namespace tessarim {

void dispatchCommand(Editor& editor, int number) {
  // The low 16 bits are the number; the high bits only tell menu from accelerator.
  number &= 0xFFFF;
  bool handled = false;
  endGesture(editor);
  try {
    if (number >= cmd::recentFirst && number <= cmd::recentLast) {
      handled = openRecent(editor, number);
    } else if (const Command* command = findCommand(number); command && command->handler) {
      handled = command->handler(editor, *command);
    }
  } catch (const std::bad_alloc&) {
    // Reading a document puts the open one back itself; any other command ends here, with what
    // it built so far freed, and the editor goes on.
    editor.window.busy = false;
    noteChanges(editor.model(), Change::geometry);
    editor.session.ui.messageBox("There is not enough memory to finish this command.",
                                 "Out of memory!", MessageIcon::error, MessageButtons::ok);
    handled = true;
  }
  // A refused edit ends its command early.
  if (showRefusedEdit(editor)) handled = false;
  repairSelection(editor.model());
  if (handled) editor.commandActivity = true;
}

CommandOutcome issueCommand(Editor& editor, int number) {
  const Command* command = findCommand(number);
  if (command == nullptr || command->handler == nullptr) return CommandOutcome::unknown;
  if (!commandEnabled(editor, *command)) return CommandOutcome::greyed;
  editor.commandActivity = false;
  dispatchCommand(editor, number);
  return editor.commandActivity ? CommandOutcome::done : CommandOutcome::refused;
}

}  // namespace tessarim
