#include "commands/export_commands.hpp"

#include "commands/menu_context.hpp"
#include "editing/edit_history.hpp"
#include "editor/editor.hpp"
#include "export/runtime_export.hpp"
#include "model/model.hpp"

namespace tessarim {

bool exportRuntimeSetCommand(Editor& editor, const Command&) {
  Model& model = editor.model();
  // The current generation is made for the production lighting; the view shows what was exported.
  if (model.document.wldfiles > 0 && model.document.module[0].newScaleFamily)
    model.settings.view.productionLighting = true;
  ExportOptions options;
  options.developerMode = model.settings.sudoSu;
  // A city module without a scale is given one by the export: that is an edit of its own, kept
  // only when it happened.
  Edit edit(model, editor.history, "Assign Scale");
  for (int m = 0; m < model.document.wldfiles; ++m)
    edit.part(model.document.module[m].scaleClass, contentChanges);
  exportRuntimeSet(editor.session, editor.scene, options);
  edit.commit();
  return true;
}

bool moduleHasPolygons(const MenuContext& c, const Command&) {
  return c.hasPolygons();
}

bool canExportContactSheet(const MenuContext& c, const Command&) {
  return c.city && !c.model.document.rtsEnabled;
}

}  // namespace tessarim
