#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "render/frame_state.hpp"

namespace tessarim {

struct Editor;
struct Model;
struct SceneGeometry;
struct EditingState;

// What the frame step animates and reads. It only animates (camera, clocks, sliders, lights,
// motion) and rebuilds what changes reported; it edits nothing of the document.
struct FrameParts {
  Model& model;
  FrameState& frame;
  SceneGeometry& scene;
  EditingState& editing;  // the typed entry's panel slides in
  std::uint32_t sunlightColour = 0;
};
FrameParts frameParts(Editor& editor);

// Advances the view by one frame of `elapsedSeconds`, before it is drawn.
void frameMove(const FrameParts& parts, float elapsedSeconds);

// The largest reach of any instance from the origin, kilometres: |location| x k + module radius
// x k over every instance (0 with none).
float computeSceneExtent(const Model& model);

// The clear colour as R, G, B, A bytes: the background colour (0xAARRGGBB) with every channel,
// alpha included, multiplied by ambient, clamped to 0..1 and rounded.
std::array<std::uint8_t, 4> clearColour(std::uint32_t background, float ambient);

// Where the graph paper lies: one quad unit per model unit of the current module, placed by the
// current instance (the module's scale alone when none) and raised by graphHeight along z.
Matrix graphPaperWorld(const Model& model, const FrameState& frame);

// The flicker clock of frame render: every 1/30 s the flag toggles and the counter steps 0..9.
void advanceFlicker(FrameState& frame, float elapsed);

// 0..32767 like the C library's rand(), from the frame's own state.
int frameRandom(FrameState& frame);

}  // namespace tessarim
