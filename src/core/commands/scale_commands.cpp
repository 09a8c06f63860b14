#include "commands/scale_commands.hpp"

#include <algorithm>
#include <vector>

#include "commands/command_table.hpp"
#include "commands/menu_context.hpp"
#include "editing/edit_history.hpp"
#include "editor/editor.hpp"
#include "model/geometry.hpp"

namespace tessarim {

bool assignScaleClass(Editor& editor, const Command& command) {
  Model& model = editor.model();
  Selection& s = model.selection;
  const std::vector<InstanceRef> pairs = selectedInstanceRefs(model);
  std::vector<int> modules;
  for (const InstanceRef r : pairs) {
    if (std::find(modules.begin(), modules.end(), r.module) == modules.end())
      modules.push_back(r.module);
  }
  // A mesh with no instance current still has its module to scale.
  if (modules.empty() && s.selectedInstances.empty() && s.currentModule >= 0 &&
      s.currentModule < model.document.wldfiles)
    modules.push_back(s.currentModule);
  if (modules.empty()) return false;

  Edit edit(model, editor.history, "Assign Scale");
  for (const int m : modules) edit.module(m);
  if (s.selectedInstances.empty() && !pairs.empty()) s.selectedInstances.push_back(pairs.front());
  assignScale(model, command.code);
  edit.report(Change::selection);
  edit.commit();
  return true;
}

// The first block of classes is for legacy modules, the second for modules of the new scales.
bool legacyScaleModule(const MenuContext& c, const Command&) {
  return c.single() && c.module->newScaleFamily == 0;
}

bool newScaleModule(const MenuContext& c, const Command&) {
  return c.single() && c.module->newScaleFamily != 0;
}

bool scaleClassIs(const MenuContext& c, const Command& command) {
  return c.single() && c.module->scaleClass == command.code;
}

}  // namespace tessarim
