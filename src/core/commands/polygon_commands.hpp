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
bool canBackface(const MenuContext& context, const Command& command);
bool canSplit(const MenuContext& context, const Command& command);
bool canGenerateTexels(const MenuContext& context, const Command& command);
bool shadingIs(const MenuContext& context, const Command& command);

}  // namespace tessarim
