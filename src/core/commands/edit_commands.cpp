#include "commands/edit_commands.hpp"

#include "commands/command_table.hpp"
#include "commands/menu_context.hpp"
#include "editor/editor.hpp"

namespace tessarim {

bool undoEdit(Editor& editor, const Command&) {
  return editor.history.undo(editor.model());
}

bool canUndoEdit(const MenuContext& c, const Command&) {
  return c.editor.history.canUndo();
}

bool redoEdit(Editor& editor, const Command&) {
  return editor.history.redo(editor.model());
}

bool canRedoEdit(const MenuContext& c, const Command&) {
  return c.editor.history.canRedo();
}

bool canDelete(const MenuContext& c, const Command&) {
  return c.currentPolygon != -1 || c.currentGroup >= 1 ||
         (c.document &&
          (c.currentModule == -2 || c.instance != nullptr || c.view.currentConnector >= 0));
}

bool canDuplicate(const MenuContext& c, const Command&) {
  return c.document &&
         (c.selectedInstances > 0 || (c.instance != nullptr && c.currentPolygon == -1));
}

bool canApplyModifiers(const MenuContext& c, const Command&) {
  return c.n > 0 && c.currentModule != -2;
}

bool documentTypeIs(const MenuContext& c, const Command& command) {
  return c.assembly && c.model.document.modelId == command.code;
}

bool cityTypeIs(const MenuContext& c, const Command& command) {
  return c.city && c.model.document.modelId == command.code;
}

bool interiorFlagSet(const MenuContext& c, const Command&) {
  return c.assembly && c.model.document.interiorFlag;
}

}  // namespace tessarim
