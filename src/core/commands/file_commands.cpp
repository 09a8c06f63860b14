#include "commands/file_commands.hpp"

#include <optional>
#include <string>

#include "commands/menu_context.hpp"
#include "editor/editor.hpp"
#include "editor/lifecycle.hpp"
#include "editor/recent_files.hpp"
#include "formats/assembly.hpp"
#include "formats/text_writer.hpp"
#include "formats/wld.hpp"
#include "model/geometry.hpp"
#include "model/ground_grid.hpp"
#include "model/model.hpp"
#include "model/text_compare.hpp"
#include "platform/ui.hpp"

namespace tessarim {
namespace {

const FileFilter supportedFiles{"Supported files (*.wld,*.asm,*.cty)", "*.WLD;*.ASM;*.CTY"};

// The kind of document a file name asks for, by its extension.
DocumentKind kindOf(std::string_view path) {
  auto dot = path.rfind('.');
  std::string_view extension =
      dot == std::string_view::npos ? std::string_view{} : path.substr(dot);
  if (equalIgnoringCase(extension, ".ASM")) return DocumentKind::asmfile;
  if (equalIgnoringCase(extension, ".CTY")) return DocumentKind::ctyfile;
  return DocumentKind::wldfile;
}

// The dialogs start at the document's own file when there is one, else in the repository.
std::string dialogStart(const Editor& editor, const std::string& storedName) {
  return storedName.empty() ? editor.session.repository.host : fullPath(editor, storedName);
}

bool writeDocumentWhileBusy(Editor& editor) {
  editor.window.busy = true;
  const bool written = writeAssembly(editor.session, true, false);
  editor.window.busy = false;
  return written;
}

bool writeModuleWhileBusy(Editor& editor, int index) {
  editor.window.busy = true;
  const bool written = writeWld(editor.session, index);
  editor.window.busy = false;
  return written;
}

}  // namespace

bool newDocument(Editor& editor, const Command&) {
  Model& model = editor.model();
  auto chosen = editor.session.ui.saveFile(supportedFiles, editor.session.repository.host, "wld");
  if (!chosen) return false;
  if (!saveIfWanted(editor)) return false;

  closeToEmpty(editor);
  model.document.module[0].modified = 1;
  model.status.documentModified = true;
  giveFreshInstance(model);
  model.document.documentPath = relativeName(editor, *chosen);
  computeStatistics(model);
  model.settings.flattenX = model.settings.flattenY = model.settings.flattenZ = false;

  model.document.kind = kindOf(*chosen);
  model.document.rtsEnabled = false;
  switch (model.document.kind) {
    case DocumentKind::asmfile:
      model.selection.currentGroup = -1;
      model.selection.currentModule = -1;
      writeDocumentWhileBusy(editor);
      addRecent(editor, editor.recent.asmList.firstId, model.document.documentPath, true);
      break;
    case DocumentKind::ctyfile:
      model.document.module[0].instances.clear();
      for (auto& cell : model.document.rtspsGrid) cell.turn = 0;
      model.document.wldfiles = 1;
      buildGroundGrid(model, 0);
      model.selection.currentModule = -1;
      model.selection.currentGroup = 0;
      writeDocumentWhileBusy(editor);
      addRecent(editor, editor.recent.cty.firstId, model.document.documentPath, true);
      break;
    case DocumentKind::wldfile:
      model.document.wldfiles = 1;
      giveFreshInstance(model);
      model.selection.currentGroup = -1;
      model.selection.currentModule = 0;
      model.selection.currentInstance = 0;
      model.document.module[0].filename = model.document.documentPath;
      writeModuleWhileBusy(editor, 0);
      addRecent(editor, editor.recent.wld.firstId, model.document.documentPath, true);
      break;
  }
  noteChanges(model, Change::textures);
  model.document.components.clear();
  model.document.connectors.clear();
  return true;
}

bool openDocument(Editor& editor, const Command&) {
  Model& model = editor.model();
  if (!saveIfWanted(editor)) return false;
  auto chosen = editor.session.ui.openFile(supportedFiles,
                                           dialogStart(editor, model.document.documentPath), false);
  if (!chosen.empty()) {
    editor.history.clear();
    const std::string& path = chosen.front();
    const std::string name = relativeName(editor, path);
    const DocumentKind kind = kindOf(path);
    if (kind == DocumentKind::wldfile) {
      const ReadOutcome outcome =
          readInPlace(editor, path, [&] { return readSingleMesh(editor, name); });
      if (outcome == ReadOutcome::outOfMemory) return true;
      // A file that is not a mesh leaves no document behind that a save could write over it.
      if (outcome == ReadOutcome::refused) {
        closeToEmpty(editor);
        return true;
      }
    } else {
      const ReadOutcome outcome = readInPlace(editor, path, [&] {
        model.document.kind = kind;
        model.document.documentPath = name;
        return readDocumentWhileBusy(editor);
      });
      if (outcome == ReadOutcome::outOfMemory) return true;
    }
    afterDocumentOpened(model);
    noteChanges(model, Change::geometry);
  }
  Selection& selection = model.selection;
  selection.currentPolygon = -1;
  if (isCity(model.document)) {
    selection.currentModule = static_cast<std::int16_t>(model.document.wldfiles - 1);
    selection.currentInstance = -1;
  } else if (isAssembly(model.document)) {
    selection.currentModule = -1;
    selection.currentInstance = -1;
  } else {
    selection.currentModule = 0;
    selection.currentInstance = 0;
  }
  return true;
}

bool closeDocument(Editor& editor, const Command&) {
  if (!saveIfWanted(editor)) return false;
  closeToEmpty(editor);
  return true;
}

bool saveDocument(Editor& editor, const Command&) {
  Model& model = editor.model();
  if (model.document.documentPath.empty() && model.document.wldfiles == 0) return true;
  if (placesModules(model.document)) {
    if (model.status.documentModified) {
      writeDocumentWhileBusy(editor);
    } else {
      for (int i = 0; i < model.document.wldfiles; ++i) writeModuleWhileBusy(editor, i);
    }
  } else {
    writeModuleWhileBusy(editor, 0);
  }
  return true;
}

bool saveDocumentAs(Editor& editor, const Command&) {
  Model& model = editor.model();
  const bool document = placesModules(model.document);
  const int current = model.selection.currentModule < 0 ? 0 : model.selection.currentModule;
  FileFilter filter{"Mesh files (*.wld)", "*.WLD"};
  std::string extension = "wld";
  if (isAssembly(model.document)) {
    filter = {"Assembler files (*.asm)", "*.ASM"};
    extension = "asm";
  } else if (isCity(model.document)) {
    filter = {"City files (*.cty)", "*.CTY"};
    extension = "cty";
  }
  const std::string& currentName =
      document ? model.document.documentPath : model.document.module[current].filename;
  auto chosen = editor.session.ui.saveFile(filter, dialogStart(editor, currentName), extension);
  if (!chosen) return false;
  if (document) {
    model.document.documentPath = relativeName(editor, *chosen);
    model.status.documentModified = true;
    writeDocumentWhileBusy(editor);
  } else {
    Module& module = model.document.module[current];
    module.filename = relativeName(editor, *chosen);
    // A single mesh's document is its module's file; the save prompt and reopening use it.
    model.document.documentPath = module.filename;
    module.modified = 1;
    writeModuleWhileBusy(editor, current);
  }
  return true;
}

bool undoChanges(Editor& editor, const Command&) {
  Model& model = editor.model();
  // Back to the saved files: the edits kept since are no longer steps of this document.
  editor.history.clear();
  Selection& selection = model.selection;
  const int module = selection.currentModule;
  const int instance = selection.currentInstance;
  const int polygon = selection.currentPolygon;

  if (placesModules(model.document)) {
    if (model.status.documentModified) {
      const ReadOutcome outcome = readInPlace(editor, model.document.documentPath,
                                              [&] { return readDocumentWhileBusy(editor); });
      if (outcome == ReadOutcome::outOfMemory) return true;
      selection.currentModule = 0;
      noteChanges(model, Change::textures);
    } else {
      for (int i = 0; i < model.document.wldfiles; ++i) {
        if (!model.document.module[i].modified) continue;
        reloadModule(editor.session, i, false);
        noteChanges(model, Change::textures);
      }
    }
  } else if (module >= 0 && module < model.document.wldfiles) {
    reloadModule(editor.session, module, false);
    noteChanges(model, Change::textures);
  }
  noteChanges(model, Change::geometry);
  computeStatistics(model);

  auto clamp = [](int value, int count) { return std::min(value, count - 1); };
  selection.currentModule = static_cast<std::int16_t>(clamp(module, model.document.wldfiles));
  if (selection.currentModule >= 0) {
    const Module& m = model.document.module[selection.currentModule];
    selection.currentInstance =
        static_cast<std::int16_t>(clamp(instance, static_cast<int>(m.instances.size())));
    selection.currentPolygon = clamp(polygon, static_cast<int>(m.polygons.size()));
  } else {
    selection.currentInstance = static_cast<std::int16_t>(instance);
    selection.currentPolygon = polygon;
  }
  selection.selectedPolygons.clear();
  selection.selectedInstances.clear();
  selection.currentGroup = isCity(model.document) ? 0 : -1;
  return true;
}

bool exitProgram(Editor& editor, const Command&) {
  editor.closeRequested = true;
  return true;
}

bool somethingModified(const MenuContext& c, const Command&) {
  return c.modified;
}

bool canImportAse(const MenuContext& c, const Command&) {
  return c.open && c.mesh && c.n > 0 && c.model.document.module[0].vertices.empty();
}

bool canImportObj(const MenuContext& c, const Command&) {
  return !c.open && c.n == 0;
}

bool canComputeInertialMoments(const MenuContext& c, const Command&) {
  return c.assembly && c.n > 0 && c.model.document.emptyWeight > 0;
}

}  // namespace tessarim
