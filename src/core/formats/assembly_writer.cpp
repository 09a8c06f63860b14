#include "formats/assembly.hpp"
#include "formats/city_section.hpp"
#include "formats/component_file.hpp"
#include "formats/document_saving.hpp"
#include "formats/file_io.hpp"
#include "formats/instance_lines.hpp"
#include "formats/text_writer.hpp"
#include "formats/wld.hpp"
#include "model/model.hpp"
#include "model/paths.hpp"
#include "model/session.hpp"
#include "platform/ui.hpp"

namespace tessarim {
namespace {

void writeName(TextWriter& out, const std::string& name) {
  out.text(name.empty() ? std::string_view{"unused"} : std::string_view{name}).text("\n");
}

void writeLights(TextWriter& out, const Model& model, bool none) {
  const int count = none ? 0 : model.document.lightCount;
  out.print(" %i ,\n", count);
  for (int i = 0; i < count; ++i) {
    const Light& l = model.document.lights[i];
    out.print("%f ,%f ,%f ,%f ,%f ,%f ,%x ,%u ,%f ,%f ,%i ,\n", l.position[0], l.position[1],
              l.position[2], l.normal[0], l.normal[1], l.normal[2], l.colour, l.sequence,
              l.secondsPerCycle, l.effectType, l.attached);
  }
}

// The city's origin is its ground grid's placement: saving moves every instance so that the
// ground grid sits at (0, 0, 0).
void shiftCityToOrigin(Model& model) {
  if (model.document.wldfiles < 1) return;
  Module& grid = model.document.module[model.document.wldfiles - 1];
  if (grid.instances.empty()) return;
  const std::array<float, 3> origin = grid.instances[0].location;
  if (origin == std::array<float, 3>{0, 0, 0}) return;
  for (int m = 0; m + 1 < model.document.wldfiles; ++m) {
    for (Instance& instance : model.document.module[m].instances) {
      for (int k = 0; k < 3; ++k) instance.location[k] -= origin[k];
    }
  }
  grid.instances[0].location = {0, 0, 0};
}

}  // namespace

AssemblyText formatAssembly(Model& model, bool selectionOnly) {
  TextWriter out{true};
  // About what it takes, so the text is not copied as it grows: instance lines are a few
  // hundred characters, light lines about a hundred and a city's grid a few thousand.
  std::size_t instances = 0;
  for (int m = 0; m < model.document.wldfiles; ++m)
    instances += model.document.module[m].instances.size() + 1;
  out.reserve(256 + instances * 320 + static_cast<std::size_t>(model.document.lightCount) * 128 +
              (isCity(model.document) ? 16384 : 0));
  const bool city = isCity(model.document) && !selectionOnly;
  out.print(city ? "CTY\n" : "ASM\n");
  out.print("%f ,\n", assemblyVersion);
  if (selectionOnly) {
    auto refs = selectedInstanceRefs(model);
    out.print("%i ,\n", refs.size());
    for (const InstanceRef& ref : refs) {
      out.print("%s\n", model.document.module[ref.module].filename);
      out.print(" %i ,\n", 1);
      writeAssemblyInstance(out, model.document.module[ref.module].instances[ref.instance]);
    }
  } else {
    if (city) shiftCityToOrigin(model);
    const int count = city ? model.document.wldfiles - 1 : model.document.wldfiles;
    out.print("%i ,\n", count < 0 ? 0 : count);
    for (int m = 0; m < count; ++m) {
      const Module& module = model.document.module[m];
      out.print("%s\n", module.filename);
      out.print(" %i ,\n", module.instances.size());
      for (const Instance& instance : module.instances) {
        if (city)
          writeCityInstance(out, instance);
        else
          writeAssemblyInstance(out, instance);
      }
    }
  }
  writeLights(out, model, selectionOnly);
  if (!city) {
    out.print(" %f ,\n", model.document.emptyWeight);
    writeName(out, model.document.schemeFile);
    out.print(" %i , %i ,\n", model.document.modelId, model.document.interiorFlag ? 1 : 0);
  } else if (auto error = writeCitySection(model, out)) {
    return {{}, *error};
  }
  return {out.take(), {}};
}

bool writeAssembly(Session& session, bool saveModules, bool selectionOnly) {
  Model& model = session.model;
  Document& document = model.document;
  if (document.documentPath.empty()) {
    session.ui.messageBox(
        formatText("No file was specified for saving\n\n\"%S\"", document.documentPath),
        "File not saved!", MessageIcon::warning, MessageButtons::ok);
    return false;
  }
  // The modified meshes, the document and its component file are one save: all or nothing.
  std::vector<FileToSave> files;
  std::vector<int> modules;
  if (saveModules) {
    // A city's ground grid is generated, not stored.
    const int stored = isCity(document) ? document.wldfiles - 1 : document.wldfiles;
    for (int m = 0; m < stored; ++m) {
      if (!document.module[m].modified) continue;
      files.push_back(wldFileToSave(session, document.module[m]));
      modules.push_back(m);
    }
  }
  const bool writesDocument = model.status.documentModified;
  const bool writesComponents = writesDocument && !isCity(document) &&
                                (!document.connectors.empty() || !document.components.empty());
  if (writesDocument) {
    files.push_back({resolvePath(session.repository, document.documentPath),
                     document.documentPath,
                     {},
                     document.documentPath,
                     true,
                     MessageIcon::warning});
  }
  if (writesComponents) {
    const std::string name = componentPath(document.documentPath);
    const std::string path = resolvePath(session.repository, name);
    files.push_back({path, name, {}, path, true, MessageIcon::warning});
  }
  if (files.empty()) return true;
  // Asked before the document's bytes are made: making a city's moves its instances.
  if (!selectionOnly && !confirmLostContent(session, files)) return false;
  if (writesDocument) {
    auto [bytes, failure] = formatAssembly(model, selectionOnly);
    if (!failure.empty()) {
      // Half a city would lose its street network: keep the files as they were.
      session.ui.messageBox(failure, "File not saved!", MessageIcon::error, MessageButtons::ok);
      session.writes.failed.push_back(document.documentPath);
      return false;
    }
    files[modules.size()].bytes = std::move(bytes);
  }
  if (writesComponents) files.back().bytes = formatComponents(model);
  if (!saveAllOrNothing(session, files)) return false;

  for (int m : modules) noteWldSaved(session, document.module[m]);
  if (writesDocument) {
    model.status.documentTime =
        fileModificationTime(resolvePath(session.repository, document.documentPath)).value_or(0);
    model.status.documentModified = false;
    model.status.droppedOnLoad.clear();  // the file now holds what the document holds
    forgetReadShort(model, document.documentPath);
  }
  return true;
}

}  // namespace tessarim
