#pragma once

#include <array>

namespace tessarim {

// 4 x 4 floats, row-vector convention (a point is a row vector multiplied on the left).
using Matrix = std::array<std::array<float, 4>, 4>;

inline constexpr Matrix identityMatrix() {
  return Matrix{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
}

}  // namespace tessarim
