#pragma once

namespace tessarim {

struct Editor;
struct Command;
struct MenuContext;

// POLYGON: the polygons of the current module. Each item's handler sits beside the rules that
// enable it and show its check mark.
bool canAddPolygon(const MenuContext& context, const Command& command);
bool polygonChosen(const MenuContext& context, const Command& command);
// Typed polygon entry: a new polygon for the current module, or the current polygon retyped.
bool addPolygon(Editor& editor, const Command& command);
bool changePolygon(Editor& editor, const Command& command);
bool canColorize(const MenuContext& context, const Command& command);
// Colour: random mid-range colours for whole meshes after a confirmation, or a faint grain.
bool colorize(Editor& editor, const Command& command);
// The chooser, starting at the mean colour of the polygons, paints them all with its answer; its
// custom colours live in the "Custom Colors Path" palette, written back whatever the answer.
bool adjustColour(Editor& editor, const Command& command);
bool variegate(Editor& editor, const Command& command);

// Each returns false, changing nothing, when the selection names nothing it can act on: no
// loaded current module, a polygon past the module's end, or a scope it leaves alone.

// Reverses the corners (and texel set 0) of the polygon scope of the current module.
bool backface(Editor& editor, const Command& command);
bool canBackface(const MenuContext& context, const Command& command);
// The current quad becomes the triangle of its corners 0-2; 2, 3, 0 follow as a new triangle.
bool splitPolygon(Editor& editor, const Command& command);
bool canSplit(const MenuContext& context, const Command& command);
// Smooth (the row's code 1) or flat shading for the polygon scope, or for every polygon of each
// listed instance's module.
bool setShading(Editor& editor, const Command& command);
bool shadingIs(const MenuContext& context, const Command& command);
bool generateBaseTexels(Editor& editor, const Command& command);
bool generateOverlayTexels(Editor& editor, const Command& command);
bool canGenerateTexels(const MenuContext& context, const Command& command);
// u := 1 - u for the current polygon, or every polygon of the current module when none is.
bool mirrorBaseTexels(Editor& editor, const Command& command);
bool mirrorOverlayTexels(Editor& editor, const Command& command);

}  // namespace tessarim
