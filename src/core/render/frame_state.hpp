#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/vertex_layouts.hpp"
#include "render/camera.hpp"
#include "render/sliders.hpp"

namespace tessarim {

// The modifier keys held with a key or a button.
struct KeyModifiers {
  bool ctrl = false, shift = false, alt = false;
};

// Mouse and key state the viewport collects between frames; frame move consumes the deltas.
struct FrameInput {
  int wheelDelta = 0;            // summed wheel deltas, 120 per notch
  float leftDx = 0, leftDy = 0;  // pixels dragged with the left button since the last frame
  float rightDx = 0, rightDy = 0;
  bool leftHeld = false, rightHeld = false;
  bool shiftHeld = false, controlHeld = false;
  int cursorX = 0, cursorY = 0;      // client pixels
  float pointerX = 0, pointerY = 0;  // the same, as exact as the pointer tells them
  // The pointer moved since the last press: its release is then the end of a drag, not a click.
  bool movedSincePress = false;
  bool cursorInside = false;
  bool resetRequested = false;  // VIEW "Reset" (Spacebar)
};

// Colours chosen in the VIEW menu's colour dialogs (red, green, blue 0..1), read by the shading.
struct ViewColours {
  std::array<float, 3> skin{0.87f, 0.70f, 0.58f};
  std::array<float, 3> hairLips{0.45f, 0.25f, 0.18f};
  std::array<float, 3> eyes{0.30f, 0.42f, 0.60f};
  std::array<float, 3> trim{1, 1, 1};
  std::array<float, 3> dynamicText{1, 0, 0};  // red until chosen
};

inline constexpr int normalMapSlot =
    9;  // after the nine map slots: the map computed from the height map

// View values the frame cycle keeps between frames.
struct FrameState {
  float ambient = 1.0f;  // 0..1, the time-of-day slider's value
  // Something drawn changes from frame to frame (playback, blinking, a camera glide): the view
  // is redrawn every frame rather than only after a change.
  bool animating = false;

  FrameInput input;
  SliderState sliders;
  Camera camera;
  double clockSeconds = 0;  // frame time since start
  float sceneExtent = 0;    // kilometres ("allx")
  float blink = 0;          // 0..1..0 once a second
  bool blinkRising = true;
  float lastElapsed = 0;  // seconds of the last frame move
  float flickerClock = 0;
  bool flicker = false;
  int flickerCounter = 0;  // 0..9
  float reentryPhase = 0.01f, reentryCountdown = 0;
  float connectorClock = 0;
  int connectorIndex = 0;                   // the connector the animation marks
  std::array<float, 3> sunlight{0, 0, 1};   // direction towards the sun, scene space
  std::array<float, 3> lineListSunlight{};  // the vector the line list was built for
  std::vector<LineVertex> lineList;         // the sunlight line (origin to sunlight x 2 x extent)
  std::vector<LineVertex> connectorLines;   // two points per connector
  std::vector<LineVertex> connectorScratch;
  ViewColours colours;
  // Red, green, blue, alpha 0..1: the texel canvas's colour; clear at every start of the program.
  std::array<float, 4> canvasColour{};
  // Per module slot, one bit per map slot whose texture the renderer holds (bit 9: normal map).
  std::array<std::uint16_t, 256> mapsLoaded{};
  // The window colour map's size in texels / 2048 (width, height); 0 while none is held.
  std::array<float, 2> windowTexelScale{};
  std::uint64_t sceneRevision = 0;  // steps at every geometry rebuild
  int removedPolygons = 0;          // by rebuilds, for the window to report after the frame
  std::uint64_t lineRevision = 0;   // steps when the line list or connector lines change
  std::uint32_t randomState = 1;    // the frame's rand()
  std::vector<float> phases;        // scratch: motion phases before the motion step
  // Kept to notice a newly opened document, whose extent is computed once.
  std::string documentSeen;
  int modulesSeen = -1;
};

// Whether the renderer holds the texture of the module's map slot.
inline bool hasMap(const FrameState& frame, int moduleIndex, int slot) {
  return moduleIndex >= 0 && moduleIndex < static_cast<int>(frame.mapsLoaded.size()) &&
         (frame.mapsLoaded[moduleIndex] >> slot & 1) != 0;
}

}  // namespace tessarim
