#pragma once

#include <array>
#include <string>

namespace tessarim {

struct ViewOptions;

enum class SliderId : int { age, stubble, ambient, grime, wetness, fog, speedLimit };
inline constexpr int sliderCount = 7;

// One on-screen slider with its caption. Positions are pixels from the panel's origin at the
// bottom-left of the viewport (x 0, y = height - 65); negative y lies above it.
struct SliderLayout {
  int captionId;
  int captionX, captionY, captionWidth;
  int sliderId;
  int sliderX, sliderY;
  int minimum, maximum, initial;
};
inline constexpr int captionHeight = 16, sliderWidth = 200, sliderHeight = 24;
inline constexpr int sliderPanelOffset = 65;  // the panel's origin lies this far above the bottom

inline constexpr std::array<SliderLayout, sliderCount> sliderLayouts{{
    {15, 20, -180, 200, 14, 20, -164, 0, 100, 0},  // age
    {17, 20, -148, 200, 16, 20, -132, 0, 100, 0},  // stubble
    {19, 20, 0, 200, 18, 20, 32, 0, 100, 100},     // ambient
    {21, 250, 0, 200, 20, 250, 32, 0, 100, 0},     // grime
    {23, 20, -64, 200, 22, 20, -32, 0, 100, 0},    // wetness
    {25, 250, -64, 200, 24, 250, -32, 0, 100, 0},  // fog
    {27, 500, -50, 250, 26, 500, -32, 1, 8, 3},    // speed limit
}};

// Slider positions as the controls report them, and the values derived from them each frame.
struct SliderState {
  std::array<int, sliderCount> position{0, 0, 100, 0, 0, 0, 3};
  std::array<std::string, sliderCount> caption{
      "Age:  18", "Stubble/Freckles", "Ambient (100%)", "Grime", "Wetness", "Fog", "Speed Limit"};
  float wetness = 0;
  float grime = 0;
  float fog = 0.1f;
  float age = 0;  // 0..1
  float stubble = 0;
  int speedLimit = 3;
};

// Whether the slider is shown under the view options.
bool sliderShown(SliderId id, const ViewOptions& view);

// Step two of the frame: values and captions from the positions. Ambient changes only while the
// time-of-day sliders are on.
void applySliders(SliderState& sliders, const ViewOptions& view, float& ambient);

}  // namespace tessarim
