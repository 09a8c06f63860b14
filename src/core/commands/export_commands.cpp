#include "commands/export_commands.hpp"

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
  exportRuntimeSet(editor.session, editor.scene, options);
  return true;
}

}  // namespace tessarim
