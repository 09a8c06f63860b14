#include "formats/assembly.hpp"
#include "formats/city_section.hpp"
#include "formats/component_file.hpp"
#include "formats/file_io.hpp"
#include "formats/file_replacement.hpp"
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

namespace {

// Entries that could not be loaded are not in the document, so saving drops them from the file:
// the user says so first.
bool confirmDroppedEntries(Session& session) {
  const Model& model = session.model;
  if (model.status.droppedOnLoad.empty()) return true;
  std::string lines;
  for (const std::string& line : model.status.droppedOnLoad) lines += line + "\n";
  return session.ui.messageBox(
             formatText("These embedded files could not be loaded:\n\n%S\nSaving writes \"%S\" "
                        "without them and their instances. Save anyway?",
                        lines, model.document.documentPath),
             "Entries will be dropped!", MessageIcon::warning,
             MessageButtons::yesNo) == MessageAnswer::yes;
}

}  // namespace

bool writeAssembly(Session& session, bool saveModules, bool selectionOnly) {
  Model& model = session.model;
  if (model.document.documentPath.empty()) {
    session.ui.messageBox(
        formatText("No file was specified for saving\n\n\"%S\"", model.document.documentPath),
        "File not saved!", MessageIcon::warning, MessageButtons::ok);
    return false;
  }
  if (!selectionOnly && !confirmDroppedEntries(session)) return false;
  bool ok = true;
  if (saveModules) {
    // A city's ground grid is generated, not stored.
    const int stored =
        isCity(model.document) ? model.document.wldfiles - 1 : model.document.wldfiles;
    for (int m = 0; m < stored; ++m) ok = writeWld(session, m) && ok;
  }
  if (!model.status.documentModified) return ok;

  auto [bytes, failure] = formatAssembly(model, selectionOnly);
  if (!failure.empty()) {
    // Half a city would lose its street network: keep the file as it was.
    session.ui.messageBox(failure, "File not saved!", MessageIcon::error, MessageButtons::ok);
    return false;
  }
  const std::string path = resolvePath(session.repository, model.document.documentPath);
  for (;;) {
    std::string error = writeFileAtomically(path, bytes);
    if (error.empty()) break;
    auto answer =
        session.ui.messageBox(formatText("%S error when saving the following file...\n\n\"%S\"",
                                         error, model.document.documentPath),
                              "File not saved!", MessageIcon::warning, MessageButtons::retryCancel);
    if (answer != MessageAnswer::retry) return false;
  }
  model.status.documentTime = fileModificationTime(path).value_or(0);
  if (!isCity(model.document) &&
      (!model.document.connectors.empty() || !model.document.components.empty()) &&
      !writeComponents(session, model.document.documentPath)) {
    return false;  // still modified: the components are not saved yet
  }
  model.status.documentModified = false;
  model.status.droppedOnLoad.clear();  // the file now holds what the document holds
  return ok;
}

}  // namespace tessarim
