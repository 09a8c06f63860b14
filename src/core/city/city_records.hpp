#pragma once

#include <cstdint>

namespace tessarim {

// One cell of the city's ground grid.
struct RtspsCell {
  std::uint8_t turn = 0;   // 0..3 quarter turns, 4..7 mirrored
  std::uint8_t piece = 0;  // ground-piece index
};

inline constexpr int gridSize = 26;

}  // namespace tessarim
