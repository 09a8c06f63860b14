#pragma once

// What the viewport's pointer does to the document. The widget reports moves and releases; the
// decisions, and the edits they make, are taken here.

namespace tessarim {

struct Editor;

// The pointer moved by dx, dy pixels. Drags with a held button are kept for the frame step
// (scene turns, panning), except a shift drag with the left button in the texel view, which
// turns the shown texels at once: one edit from the press to the release.
void pointerMoved(Editor& editor, float dx, float dy);
// The left button came up: a drag's edit is committed.
void leftReleased(Editor& editor);
// Commits a drag's edit still open, before anything else edits or reads the history.
void endGesture(Editor& editor);

}  // namespace tessarim
