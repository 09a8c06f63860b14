#pragma once

#include <array>
#include <cstdint>

namespace tessarim {

struct CityCorner {
  float x = 0, y = 0;
};

// The four corners of a city's area, in the order upper-left, lower-left, upper-right,
// lower-right, chosen by the city's model ID (negative for cities).

// In kilometres, as the projective map of the floor and depth maps takes them. Every type not
// listed has the corners of the largest district.
std::array<CityCorner, 4> cityCornersKm(std::int16_t modelId);

// In ground-grid units (scale class 2, 0.0039 km): the listed districts are the kilometre
// corners above in these units, any other type is the square +-260, and zonal scaling
// (rtsEnabled) makes every type the square +-130.
std::array<CityCorner, 4> cityCorners(std::int16_t modelId, bool rtsEnabled);

}  // namespace tessarim
