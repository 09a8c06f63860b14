#pragma once

// Edits refused because they would leave numbers that are not finite: the history keeps the
// first such message until the place that ran the edit shows it (a command, an accepted
// Modifiers dialog, a key, a release of the pointer).

namespace tessarim {

struct Editor;

// Shows the message of an edit refused since the last call, once, and takes the statistics from
// the document as it is again (a handler may have computed them from what it then rolled back).
// True when there was one.
bool showRefusedEdit(Editor& editor);

}  // namespace tessarim
