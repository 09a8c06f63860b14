#pragma once

namespace tessarim {

struct Editor;
struct Command;
struct MenuContext;

// MODULE: whole-module edits. Each item's handler sits beside the
// rules that enable it and show its check mark.
// Moves the current module's origin to its vertex mean (Weighted) or to the centre of its bounds
// (Centered), each rounded to whole units, and moves every instance of it so that nothing moves
// in the assembly. False without a loaded current module with vertices.
bool averageOriginWeighted(Editor& editor, const Command& command);
bool averageOriginCentered(Editor& editor, const Command& command);
bool canAverageOrigin(const MenuContext& context, const Command& command);
// Mirror the current module's vertices in x or in y; the winding stays as it was.
bool flipAroundX(Editor& editor, const Command& command);
bool flipAroundY(Editor& editor, const Command& command);

}  // namespace tessarim
