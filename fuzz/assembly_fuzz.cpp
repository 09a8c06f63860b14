// Feeds arbitrary bytes to the assembly and city reader. The input is split at NUL bytes: the
// first part is an options byte and the document, each further part the text of the mesh file
// "m<n>.wld" it may name. The files are held in memory, as the reader's file source, so that an
// input costs no file system work.
// Beyond the sanitizers' checks, an accepted document must respect the model's capacities and
// the polygon rules, and writing it, reading that back (whole) and writing again must give the
// same bytes.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "formats/assembly.hpp"
#include "formats/component_file.hpp"
#include "formats/file_io.hpp"
#include "model/model.hpp"
#include "model/paths.hpp"
#include "model/session.hpp"
#include "platform/clock.hpp"
#include "platform/settings_store.hpp"
#include "platform/ui.hpp"
#include "silent_ui.hpp"

namespace {

using namespace tessarim;

using fuzzing::SilentUi;

void require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "broken invariant: %s\n", what);
  __builtin_trap();
}

// A folder that does not exist, so that nothing outside the memory files is ever found.
const std::string folder = "/nonexistent-tessarim-fuzz/";

void checkModel(const Model& model) {
  require(model.document.wldfiles <= maxModules, "at most 256 modules");
  require(model.document.lightCount >= 0 && model.document.lightCount <= maxLights,
          "at most 255 lights");
  for (int m = 0; m < model.document.wldfiles; ++m) {
    const Module& module = model.document.module[m];
    for (const Polygon& p : module.polygons) {
      require(p.sides == 3 || p.sides == 4, "polygon of 3 or 4 sides");
      for (int c = 0; c < p.sides; ++c)
        require(p.vertexIndex[c] < module.vertices.size(), "corner on a vertex");
    }
  }
  for (const auto& name : model.document.buildingNames)
    require(name.size() < buildingNameCapacity, "building name fits");
}

// One reading of a document. The models are kept from input to input (building one is much of
// the cost of a small input).
struct Run {
  Model& model;
  RepositoryFolder repository = makeRepositoryFolder(folder);
  SilentUi ui;
  MemorySettingsStore store;
  ManualClock clock;
  Session session;

  Run(Model& m, MemoryFiles& files, bool city, const std::string& name)
      : model(m), session{model, repository, ui, store, clock, files} {
    model.document.kind = city ? DocumentKind::ctyfile : DocumentKind::asmfile;
    model.document.documentPath = name;
  }
  // Emptied as the input ends. The vertex and polygon lists keep their room, so that the next
  // city builds its ground grid where the last one was: fresh memory costs most under the
  // address sanitizer, which holds freed memory back.
  ~Run() {
    std::array<std::vector<Vertex>, maxModules> vertices;
    std::array<std::vector<Polygon>, maxModules> polygons;
    for (int i = 0; i < maxModules; ++i) {
      Module& module = model.document.module[i];
      vertices[i] = std::move(module.vertices);
      polygons[i] = std::move(module.polygons);
      vertices[i].clear();
      polygons[i].clear();
    }
    clearDocument(model);
    for (int i = 0; i < maxModules; ++i) {
      model.document.module[i].vertices = std::move(vertices[i]);
      model.document.module[i].polygons = std::move(polygons[i]);
    }
    model.status = DocumentStatus{};
    model.motion = MotionState{};
    model.gridCursor = GridCursor{};
    model.settings = Settings{};
  }
};

Model& keptModel(int which) {
  static const std::unique_ptr<Model> models[3] = {
      std::make_unique<Model>(), std::make_unique<Model>(), std::make_unique<Model>()};
  return *models[which];
}

// The bytes saving the document would write, put where the next reading finds them; false when
// the document cannot be written (a street network with a dangling link).
bool save(Model& model, MemoryFiles& files, const std::string& name) {
  const AssemblyText text = formatAssembly(model, false);
  if (!text.error.empty()) return false;
  files.put(folder + name, text.bytes);
  if (!isCity(model.document) &&
      (!model.document.connectors.empty() || !model.document.components.empty())) {
    files.put(folder + componentPath(name), formatComponents(model));
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool city = (data[0] & 1) != 0;
  std::string_view rest{reinterpret_cast<const char*>(data + 1), size - 1};
  std::vector<std::string_view> parts;
  for (std::size_t at; (at = rest.find('\0')) != std::string_view::npos && parts.size() < 8;) {
    parts.push_back(rest.substr(0, at));
    rest.remove_prefix(at + 1);
  }
  parts.push_back(rest);
  MemoryFiles files;
  for (std::size_t i = 1; i < parts.size(); ++i) {
    files.put(folder + "m" + std::to_string(i - 1) + ".wld", std::string{parts[i]});
  }
  const std::string extension = city ? ".cty" : ".asm";
  const std::string name = "doc" + extension;
  files.put(folder + name, std::string{parts[0]});

  Run first{keptModel(0), files, city, name};
  if (!readAssembly(first.session)) return 0;
  checkModel(first.model);

  // Meshes stay as they are; only the document is written back, under another name. Reading
  // what was written, twice, gives the same bytes when written again. (Not necessarily the bytes
  // read: reading settles what the format cannot hold, such as a name's leading blanks, or a
  // light normal renormalised after its sixth decimal was cut.)
  const std::string written = "again" + extension;
  if (!save(first.model, files, written)) return 0;
  Run second{keptModel(1), files, city, written};
  require(readAssembly(second.session), "a written document reads again");
  checkModel(second.model);
  require(std::none_of(second.model.status.readShort.begin(), second.model.status.readShort.end(),
                       [&](const ShortFile& f) { return f.name == written; }),
          "a written document is whole");
  const std::string bytes = formatAssembly(second.model, false).bytes;
  Run third{keptModel(2), files, city, written};
  readAssembly(third.session);
  require(formatAssembly(third.model, false).bytes == bytes,
          "write, read, write gives the same bytes");
  return 0;
}
