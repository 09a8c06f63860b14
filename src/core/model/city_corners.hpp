#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "maths/matrix.hpp"

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

// The projective map that takes the city's kilometre corners (cityCornersKm) onto a square:
// upper-left to (-s, s), lower-left to (-s, -s), upper-right to (s, s), lower-right to (s, -s).
// With unitSquare s is 1.014 and the corners stay in kilometres; without it s is 260 and the
// corners are first taken to units of 0.0039 km. For row vectors: (x, y, z, 1) times the matrix,
// divided by its fourth component, is (u, v, z / w). Nothing when the corners admit no such map.
std::optional<Matrix> cityCornerTransform(std::int16_t modelId, bool unitSquare);

}  // namespace tessarim
