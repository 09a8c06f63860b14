#pragma once

namespace tessarim {

struct Editor;
struct Command;

// VIEW "R&eset" (Spacebar): the next frame move puts the camera back.
bool resetView(Editor& editor, const Command& command);
// A / D / W / X (40294-40297): the held yaw or pitch, 15 degrees a press.
bool turnCamera(Editor& editor, const Command& command);
// "Snap Sunlight Vector": the sun comes from where the camera looks from.
bool snapSunlight(Editor& editor, const Command& command);

}  // namespace tessarim
