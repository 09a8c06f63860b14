// Feeds arbitrary bytes to the WLD reader. Byte 0 picks the read options, the rest is the file.
// Beyond the sanitizers' checks, a module the reader accepts must satisfy what every later stage
// relies on, and writing it out and reading it back must keep its polygons and vertices and find
// the file whole.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/wld.hpp"
#include "model/paths.hpp"
#include "model/records.hpp"
#include "platform/ui.hpp"
#include "silent_ui.hpp"

namespace {

using namespace tessarim;

using fuzzing::SilentUi;

// Names the broken invariant, then stops so libFuzzer keeps the input.
void require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "broken invariant: %s\n", what);
  __builtin_trap();
}

// Polygons of 3 or 4 corners, each on an existing vertex: drawing and the geometry builder index
// the vertex list with these without further checks.
void checkPolygons(const Module& m) {
  for (const Polygon& p : m.polygons) {
    require(p.sides == 3 || p.sides == 4, "polygon of 3 or 4 sides");
    for (int c = 0; c < p.sides; ++c) {
      require(p.vertexIndex[c] < m.vertices.size(), "corner on an existing vertex");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const RepositoryFolder repository = makeRepositoryFolder("/repo/");
  WldReadOptions options;
  options.city = (data[0] & 1) != 0;
  options.skipComponentModules = (data[0] & 2) != 0;
  options.interactive = (data[0] & 4) != 0;
  std::string_view text{reinterpret_cast<const char*>(data + 1), size - 1};

  SilentUi ui;
  Module module;
  float version = 0;
  // Only an accepted module is kept by the callers; the others are discarded half-read.
  if (parseWld(text, module, ui, repository, options, &version) != WldParseResult::ok) return 0;
  checkPolygons(module);

  const std::string written = formatWld(module);
  Module again;
  std::string endsEarly;
  require(
      parseWld(written, again, ui, repository, options, nullptr, &endsEarly) == WldParseResult::ok,
      "written module read back");
  require(endsEarly.empty(), "a written module is whole");
  checkPolygons(again);
  require(again.polygons.size() == module.polygons.size(), "polygon count after round trip");
  require(again.vertices.size() == module.vertices.size(), "vertex count after round trip");
  return 0;
}
