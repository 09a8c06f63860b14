#include "commands/document_export_commands.hpp"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "commands/menu_context.hpp"
#include "editor/editor.hpp"
#include "editor/lifecycle.hpp"
#include "export/wld_merge.hpp"
#include "formats/assembly.hpp"
#include "formats/document_saving.hpp"
#include "formats/text_writer.hpp"
#include "formats/wld.hpp"
#include "model/model.hpp"
#include "platform/ui.hpp"

namespace tessarim {
namespace {

// By map slot.
constexpr std::array<std::string_view, mapSlotCount> mapVariationWarnings{
    "We have two or more variations of the color map!",
    "We have two or more variations of the overlay texture!",
    "We have two or more variations of the diffuse texture!",
    "We have two or more variations of the height map!",
    "We have two or more variations of the visibility texture!",
    "We have two or more variations of the reflectivity texture!",
    "We have two or more variations of the grime texture!",
    "We have two or more variations of the detail texture!",
    "We have two or more variations of the detail control texture!",
};

void warnOfExport(Ui& ui, std::string_view text) {
  ui.messageBox(text, "Export warning!", MessageIcon::warning, MessageButtons::ok);
}

// Every instance of the browsed group, module by module.
std::vector<InstanceRef> groupInstances(const Model& model, int group) {
  std::vector<InstanceRef> list;
  for (int m = 0; m < model.document.wldfiles; ++m) {
    const std::vector<Instance>& instances = model.document.module[m].instances;
    for (std::size_t i = 0; i < instances.size(); ++i) {
      if (instances[i].group == group)
        list.push_back({static_cast<std::int16_t>(m), static_cast<std::int16_t>(i)});
    }
  }
  return list;
}

// The assembly writer writes the selected instances: the list is the selection while it runs.
std::string formatInstances(Model& model, std::vector<InstanceRef> list) {
  Selection kept = std::exchange(model.selection, Selection{});
  model.selection.currentModule = -2;
  model.selection.selectedInstances = std::move(list);
  AssemblyText text;
  try {
    text = formatAssembly(model, true);
  } catch (...) {
    model.selection = std::move(kept);
    throw;
  }
  model.selection = std::move(kept);
  return std::move(text.bytes);
}

}  // namespace

bool exportMergedWld(Editor& editor, const Command&) {
  Model& model = editor.model();
  Ui& ui = editor.session.ui;
  if (!placesModules(model.document)) return false;
  const std::vector<InstanceRef> list = takeWldExportList(model);
  if (list.empty()) return false;
  WldMerge merge = mergeInstances(model.document, list, editor.session.repository);
  for (int slot : merge.variedMaps) warnOfExport(ui, mapVariationWarnings[slot]);
  if (merge.mixedScales) {
    warnOfExport(ui,
                 "We have to unassigned/legacy scale for the export because modules are of mixed "
                 "scales!");
  }
  auto chosen = ui.saveFile({"Mesh files (*.wld)", "*.WLD"}, editor.session.repository.host, "wld");
  if (!chosen) return false;
  // The merged mesh takes the open document's place: what is not saved of it is offered first.
  if (!saveIfWanted(editor)) return false;

  editor.history.clear();
  Module& mesh = merge.module;
  mesh.filename = relativeName(editor, *chosen);
  mesh.modified = 1;
  clearDocument(model);
  model.document.documentPath = mesh.filename;
  model.document.module[0] = std::move(mesh);
  model.document.wldfiles = 1;
  editor.window.busy = true;
  // A failed write has been shown; the mesh stays open, modified, for the user to save again.
  writeWld(editor.session, 0);
  editor.window.busy = false;
  afterSingleMeshRead(model);
  return true;
}

bool exportSelectionAsm(Editor& editor, const Command&) {
  Model& model = editor.model();
  Ui& ui = editor.session.ui;
  const int group = model.selection.currentGroup;
  std::vector<InstanceRef> list =
      group >= 1 ? groupInstances(model, group) : selectedInstanceRefs(model);
  if (list.empty()) return false;
  auto chosen =
      ui.saveFile({"Assembler files (*.asm)", "*.ASM"}, editor.session.repository.host, "asm");
  if (!chosen) return false;
  const std::string bytes = formatInstances(model, std::move(list));
  const std::string name = relativeName(editor, *chosen);
  editor.window.busy = true;
  saveAllOrNothing(editor.session, {{*chosen, name, bytes, name, true, MessageIcon::warning}});
  editor.window.busy = false;
  return true;
}

bool canExportWld(const MenuContext& c, const Command&) {
  return c.document && ((c.instance != nullptr && c.currentPolygon == -1) ||
                        (c.currentModule == -2 && c.selectedInstances > 0));
}

bool canExportAsm(const MenuContext& c, const Command&) {
  return c.selectedInstances > 1 || c.currentGroup >= 1;
}

}  // namespace tessarim
