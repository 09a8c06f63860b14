#pragma once

namespace tessarim {

struct Editor;

// Routes a command number from the menu or an accelerator: the recent-file ranges, then the
// command table. Numbers without a handler do nothing. A handled command counts as activity.
void dispatchCommand(Editor& editor, int number);

// What became of a command issued by number, as the menu would issue it.
enum class CommandOutcome {
  done,     // the handler ran to its end
  refused,  // the handler ended early on a refused precondition (cancelled, nothing to do)
  greyed,   // its menu item is greyed now: nothing ran
  unknown,  // no row of that number, or a row without a handler
};

// Issues a command through the dispatcher only while its menu item would be enabled. The menu
// refresh is not waited for: the enabling rule is asked now.
CommandOutcome issueCommand(Editor& editor, int number);

}  // namespace tessarim
