#include "commands/selection_commands.hpp"

#include <optional>
#include <random>
#include <utility>

#include "commands/command_table.hpp"
#include "editing/edit_history.hpp"
#include "editor/editor.hpp"
#include "model/model.hpp"
#include "model/selection.hpp"
#include "render/camera.hpp"

namespace tessarim {
namespace {

// Navigation ends with the camera's glide to the new current instance.
bool recentredAfter(Editor& editor, bool stepped) {
  if (stepped) recentreOnCurrentInstance(editor);
  return stepped;
}

bool stepType(Editor& editor, const Command& command, int direction) {
  Model& model = editor.model();
  const std::optional<int> target = typeStepTarget(model, direction);
  if (!target) return false;
  int m = *target;
  if (model.document.module[m].instances.empty()) {
    // Removing renumbers every later module: the edit keeps the whole document, and its report
    // has their textures loaded again.
    Edit edit(model, editor.history, command.label);
    Document& d = edit.document();
    for (int k = m; k + 1 < d.wldfiles; ++k) d.module[k] = std::move(d.module[k + 1]);
    --d.wldfiles;
    d.module[d.wldfiles] = Module{};
    if (m >= d.wldfiles) m = d.wldfiles > 0 ? 0 : -1;
    landOnModule(model, m);
    edit.report(Change::selection);
    edit.commit();
  } else {
    landOnModule(model, m);
  }
  // The texel view shows the current module.
  if (model.settings.view.texelView) noteChanges(model, Change::geometry);
  recentreOnCurrentInstance(editor);
  return true;
}

}  // namespace

void recentreOnCurrentInstance(Editor& editor) {
  autoCentre(editor.frame.camera, editor.model());
}

bool nextPolygon(Editor& editor, const Command&) {
  return stepCurrentPolygon(editor.model(), +1);
}
bool previousPolygon(Editor& editor, const Command&) {
  return stepCurrentPolygon(editor.model(), -1);
}
bool nextInstance(Editor& editor, const Command&) {
  return recentredAfter(editor, stepCurrentInstance(editor.model(), +1));
}
bool previousInstance(Editor& editor, const Command&) {
  return recentredAfter(editor, stepCurrentInstance(editor.model(), -1));
}
bool nextType(Editor& editor, const Command& command) {
  return stepType(editor, command, +1);
}
bool previousType(Editor& editor, const Command& command) {
  return stepType(editor, command, -1);
}
bool nextGroup(Editor& editor, const Command&) {
  return recentredAfter(editor, stepCurrentGroup(editor.model(), +1));
}
bool previousGroup(Editor& editor, const Command&) {
  return recentredAfter(editor, stepCurrentGroup(editor.model(), -1));
}

bool selectAll(Editor& editor, const Command&) {
  return selectEverything(editor.model());
}
bool invertSelection(Editor& editor, const Command&) {
  return invertInstanceSelection(editor.model());
}
bool expandPolygonSelection(Editor& editor, const Command&) {
  return addNeighbourPolygons(editor.model());
}
bool expandModuleSelection(Editor& editor, const Command&) {
  return selectInstancesOfModule(editor.model());
}
bool expandInstanceSelection(Editor& editor, const Command&) {
  return selectInstancesOfType(editor.model());
}
bool expandGroupSelection(Editor& editor, const Command&) {
  return selectInstancesOfGroup(editor.model());
}
bool selectHalfPolygons(Editor& editor, const Command&) {
  static thread_local std::mt19937 engine{std::random_device{}()};
  return selectRandomHalf(editor.model(), engine);
}

}  // namespace tessarim
