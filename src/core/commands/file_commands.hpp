#pragma once

namespace tessarim {

struct Editor;
struct Command;
struct MenuContext;

// FILE and EDIT commands of the document lifecycle. Each returns false when it ended early on a
// refused precondition (the save prompt cancelled, a dialog cancelled), so that it is not
// counted as activity.
bool newDocument(Editor& editor, const Command& command);
bool openDocument(Editor& editor, const Command& command);
bool closeDocument(Editor& editor, const Command& command);
bool saveDocument(Editor& editor, const Command& command);
bool saveDocumentAs(Editor& editor, const Command& command);
bool undoChanges(Editor& editor, const Command& command);
bool exitProgram(Editor& editor, const Command& command);

// When its items are enabled and checked.
bool somethingModified(const MenuContext& context, const Command& command);
bool canImportAse(const MenuContext& context, const Command& command);
bool canImportObj(const MenuContext& context, const Command& command);
bool canComputeInertialMoments(const MenuContext& context, const Command& command);

}  // namespace tessarim
