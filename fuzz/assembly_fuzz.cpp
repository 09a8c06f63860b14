// Feeds arbitrary bytes to the assembly and city reader. The input is split at NUL bytes: the
// first part is an options byte and the document, each further part the text of the mesh file
// "m<n>.wld" it may name. The files live in a folder on a memory-backed file system, as the
// reader works on a repository folder.
// Beyond the sanitizers' checks, an accepted document must respect the model's capacities and
// the polygon rules, and writing it, reading that back and writing again must give the same
// bytes.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/paths.hpp"
#include "app/session.hpp"
#include "formats/assembly.hpp"
#include "model/model.hpp"
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

const std::filesystem::path& folder() {
  static const std::filesystem::path path = [] {
    std::filesystem::path base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    auto p = base / ("tessarim-assembly-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(p);
    return p;
  }();
  return path;
}

void put(const std::string& name, std::string_view bytes) {
  std::ofstream(folder() / name, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void checkModel(const Model& model) {
  require(model.wldfiles <= maxModules, "at most 256 modules");
  require(model.lightCount >= 0 && model.lightCount <= maxLights, "at most 255 lights");
  for (int m = 0; m < model.wldfiles; ++m) {
    const Module& module = model.module[m];
    for (const Polygon& p : module.polygons) {
      require(p.sides == 3 || p.sides == 4, "polygon of 3 or 4 sides");
      for (int c = 0; c < p.sides; ++c) require(p.vertexIndex[c] < module.vertices.size(), "corner on a vertex");
    }
  }
  for (const auto& name : model.buildingNames) require(name.size() < buildingNameCapacity, "building name fits");
}

struct Run {
  Model model;
  SilentUi ui;
  MemorySettingsStore store;
  ManualClock clock;
  Session session{model, ui, store, clock};

  Run(bool city, const std::string& name) {
    model.repository = makeRepositoryFolder(folder().string());
    model.settings.asmfile = !city;
    model.settings.ctyfile = city;
    model.settings.documentPath = name;
  }
};

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
  for (int i = 0; i < 8; ++i) {
    std::string wld = "m" + std::to_string(i) + ".wld";
    if (static_cast<std::size_t>(i) + 1 < parts.size()) put(wld, parts[i + 1]);
    else std::filesystem::remove(folder() / wld);
  }
  const std::string name = city ? "doc.cty" : "doc.asm";
  put(name, parts[0]);
  std::filesystem::remove(folder() / "doc.cmp");

  Run first{city, name};
  if (!readAssembly(first.session)) return 0;
  checkModel(first.model);

  // Meshes stay as they are; only the document is written back, under another name.
  first.model.settings.documentPath = city ? "again.cty" : "again.asm";
  first.model.status.documentModified = true;
  for (int m = 0; m < first.model.wldfiles; ++m) first.model.module[m].modified = 0;
  if (!writeAssembly(first.session, false, false)) return 0;  // e.g. a street network with a dangling link
  const std::string written = first.model.settings.documentPath;

  Run second{city, written};
  require(readAssembly(second.session), "a written document reads again");
  checkModel(second.model);
  const std::string bytes = formatAssembly(second.model, false).bytes;
  Run third{city, written};
  readAssembly(third.session);
  require(formatAssembly(third.model, false).bytes == bytes, "write, read, write gives the same bytes");
  return 0;
}
