#pragma once

// FILE, Export, "&DAW or DAW/DIX set": the game's runtime mesh (DAW), its placement file (DIX)
// and their side files, in the current generation (68-byte vertices) when the first module
// belongs to the new scale family, else in the legacy generation (32-byte vertices).

#include <cstdint>
#include <string>
#include <vector>

#include "model/session.hpp"
#include "scene/scene_buffers.hpp"

namespace tessarim {

struct ExportOptions {
  bool developerMode = false;  // the legacy set names the current instance's record index
};

struct ExportResult {
  bool written = false;            // the whole set is in place
  bool legacy = false;             // the legacy generation was chosen
  std::vector<std::string> files;  // stored names of the files written, in writing order
  std::int64_t triangles = 0;
};

// Builds the geometry into scene (the renderer's arrays; the build is always the 3D one, and
// a geometry change is reported afterwards so that the next frame rebuilds the current view),
// writes the set beside the document and reports through the session's Ui. The set is written whole
// or not at all: a refused value, a failed scale check or a failed write leaves every file as it
// was. The caller switches production lighting on for the current generation.
ExportResult exportRuntimeSet(Session& session, SceneGeometry& scene,
                              const ExportOptions& options = {});

}  // namespace tessarim
