#pragma once

// Editing texels on the texel canvas: moving and turning the current or selected polygons'
// texels, snapping one polygon's edge onto another's, straightening an edge along v.

namespace tessarim {

struct Editor;
struct Command;
class Edit;

// The texel set the canvas shows and edits: 1 while the overlay map is shown, else 0.
int canvasSet(const Editor& editor);

// Shifts the texels of the current polygon, or of every selected polygon, by dx, dy canvas
// steps (a pixel of the pointer or one arrow key), scaled by the canvas zoom. The source edge is
// let go. False when there is nothing to move.
bool moveCanvasTexels(Editor& editor, Edit& edit, float dx, float dy);
// Turns them by angle radians: the current polygon's about its own centre, selected polygons'
// about their common centre.
bool turnCanvasTexels(Editor& editor, Edit& edit, float angle);

// A right click on the canvas at the screen point: arms the current polygon's nearest edge as
// the source edge, or, with one armed and another polygon current, turns and moves the source
// polygon's texels so that its edge lies on the current polygon's nearest edge.
void canvasRightClick(Editor& editor, float screenX, float screenY);

// Turns the source polygon's texels so that its source edge runs along v ("E").
bool straightenSourceEdge(Editor& editor, const Command& command);

}  // namespace tessarim
