#pragma once

#include <array>
#include <cstdint>

namespace tessarim {

struct Editor;
class MenuSink;

// View values the frame cycle keeps between frames.
struct FrameState {
  float ambient = 1.0f;  // 0..1, the time-of-day slider's value
  // Something drawn changes from frame to frame (playback, blinking, a camera glide): the view
  // is redrawn every frame rather than only after a change.
  bool animating = false;
};

// Advances the editor by one frame of `elapsedSeconds`, before it is drawn.
void frameMove(Editor& editor, float elapsedSeconds, MenuSink& menu);

// The clear colour as R, G, B, A bytes: the background colour (0xAARRGGBB) with every channel,
// alpha included, multiplied by ambient, clamped to 0..1 and rounded.
std::array<std::uint8_t, 4> clearColour(std::uint32_t background, float ambient);

}  // namespace tessarim
