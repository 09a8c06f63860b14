#pragma once

// What the viewport's pointer does. The widget reports presses, moves, releases and the wheel
// in its pixels; the decisions, and the edits they make, are taken here.

#include "render/frame_state.hpp"

namespace tessarim {

struct Editor;

enum class PointerButton { left, right };

void pointerPressed(Editor& editor, PointerButton button, float x, float y, KeyModifiers held);
// The pointer is now at x, y. Drags with a held button are kept for the frame step (scene
// turns, panning), except shift drags in the texel view, which turn (left) or move (right) the
// shown texels at once: one edit from the press to the release.
void pointerMovedTo(Editor& editor, float x, float y, KeyModifiers held);
// A release where the button went down, with no move between, is a click: the left button
// picks a polygon, the right one an instance (or, on the canvas, snaps edges).
void pointerReleased(Editor& editor, PointerButton button, float x, float y, KeyModifiers held);
// The pointer left the view: any drag ends.
void pointerLeft(Editor& editor);
// The wheel turned by delta (120 a notch); the frame step zooms by it.
void wheelTurned(Editor& editor, int delta);

// The clicks themselves, at a screen point.
void leftClick(Editor& editor, float x, float y, KeyModifiers held);
void rightClick(Editor& editor, float x, float y, KeyModifiers held);

// Commits a drag's edit still open, before anything else edits or reads the history.
void endGesture(Editor& editor);

}  // namespace tessarim
