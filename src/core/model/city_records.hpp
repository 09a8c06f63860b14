#pragma once

#include <array>
#include <cstdint>

namespace tessarim {

// One cell of the city's ground grid.
struct RtspsCell {
  std::uint8_t turn = 0;   // 0..3 quarter turns, 4..7 the same turns mirrored
  std::uint8_t piece = 0;  // ground-piece index 0..73
};

inline constexpr int gridSize = 26;
inline constexpr int groundPieceCount = 74;

// Cell (i, j) of the grid is at i * gridSize + j.
using RtspsGrid = std::array<RtspsCell, gridSize * gridSize>;

// The selected cell and the cursor's position on the city map.
struct GridCursor {
  std::int16_t i = -1, j = -1;
  float u = -1, v = -1;  // 0..1 from the left and from the upper edge
};

// The polygons of one ground piece in the ground-grid module's drawing order.
struct TileRecord {
  std::int32_t firstVertex = 0;  // from the ground-grid module's first drawn vertex
  std::int32_t triangleCount = 0;
  std::uint8_t piece = 0;

  bool operator==(const TileRecord&) const = default;
};

}  // namespace tessarim
