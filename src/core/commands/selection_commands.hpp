#pragma once

namespace tessarim {

struct Editor;
struct Command;

// Stepping through polygons, instances, modules and groups, and the bulk selections: the menu's
// adapters over the model's selection operations (model/selection.hpp), with the camera's glide
// after a step and the edit of a type step that removes a module. Each returns false, changing
// nothing, when what it starts from is missing.
bool nextPolygon(Editor& editor, const Command& command);
bool previousPolygon(Editor& editor, const Command& command);
bool nextInstance(Editor& editor, const Command& command);
bool previousInstance(Editor& editor, const Command& command);
// A module without instances that the step lands on is removed, as an edit Undo Edit reverts.
bool nextType(Editor& editor, const Command& command);
bool previousType(Editor& editor, const Command& command);
bool nextGroup(Editor& editor, const Command& command);
bool previousGroup(Editor& editor, const Command& command);

bool selectAll(Editor& editor, const Command& command);
bool invertSelection(Editor& editor, const Command& command);
// Adds to the selected polygons every polygon sharing a vertex with one of them.
bool expandPolygonSelection(Editor& editor, const Command& command);
// Select every instance of the current module, of the current instance's type, of its group.
bool expandModuleSelection(Editor& editor, const Command& command);
bool expandInstanceSelection(Editor& editor, const Command& command);
bool expandGroupSelection(Editor& editor, const Command& command);
// Selects each polygon of the current module with even odds, differently on each use.
bool selectHalfPolygons(Editor& editor, const Command& command);

// Starts the camera's glide to the current instance when auto centering is on; run after a
// navigation step.
void recentreOnCurrentInstance(Editor& editor);

}  // namespace tessarim
