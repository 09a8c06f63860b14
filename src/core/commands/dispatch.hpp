#pragma once

namespace tessarim {

struct Editor;

// Routes a command number from the menu or an accelerator: the recent-file ranges, then the
// command table. Numbers without a handler do nothing. A handled command counts as activity.
void dispatchCommand(Editor& editor, int number);

}  // namespace tessarim
