#include "commands/edit_commands.hpp"

#include <utility>

#include "commands/command_table.hpp"
#include "commands/menu_context.hpp"
#include "editing/edit_history.hpp"
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

bool swapXYAxes(Editor& editor, const Command&) {
  constexpr float quarterTurn = 1.5707964f;
  Model& model = editor.model();
  Edit edit(model, editor.history, "Swap X and Y Axes");
  bool any = false;
  for (int m = 0; m < model.document.wldfiles; ++m) {
    if (model.document.module[m].instances.empty()) continue;
    any = true;
    for (Instance& t : edit.placements(m)) {
      t.location = {t.location[1], -t.location[0], t.location[2]};
      t.orientation[2] -= quarterTurn;
    }
  }
  if (!any) return false;
  edit.commit();
  return true;
}

bool swapYZAxes(Editor& editor, const Command&) {
  Model& model = editor.model();
  if (model.document.wldfiles == 0) return false;
  Edit edit(model, editor.history, "Swap Y and Z Axes");
  for (int m = 0; m < model.document.wldfiles; ++m) {
    for (Vertex& v : edit.vertices(m)) std::swap(v.y, v.z);
  }
  edit.commit();
  return true;
}

}  // namespace tessarim
