#include "model/ground_grid.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

#include "model/city_corners.hpp"
#include "model/model.hpp"

namespace tessarim {
namespace {

constexpr float cellFraction = 0.03846154f;  // 1/26 in single precision
constexpr int gridLine = gridSize + 1;       // vertices per row

// Set-0 texels of corners 0..3 for turns 0..3; turns 4..7 mirror u.
constexpr std::array<std::array<Texel, 4>, 4> turnTexels{{
    {{{0, 1}, {0, 0}, {1, 0}, {1, 1}}},
    {{{1, 1}, {0, 1}, {0, 0}, {1, 0}}},
    {{{1, 0}, {1, 1}, {0, 1}, {0, 0}}},
    {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
}};

// Fills a default polygon in place.
void cellPolygon(Polygon& p, int i, int j, RtspsCell cell) {
  p.sides = 4;
  const int m = j * gridLine + i;  // the cell's lower-left vertex
  p.vertexIndex = {static_cast<std::uint32_t>(m + gridLine + 1), static_cast<std::uint32_t>(m + 1),
                   static_cast<std::uint32_t>(m), static_cast<std::uint32_t>(m + gridLine)};
  p.colour = {0, 0, 0, 1};
  p.smooth = 0;
  p.gridCell = {static_cast<std::int16_t>(i), static_cast<std::int16_t>(j)};
  // Only turns 0..7 exist; a larger value from a file is taken by its low three bits.
  const int turn = cell.turn & 7;
  const bool mirrored = turn >= 4;
  for (int k = 0; k < 4; ++k) {
    Texel t = turnTexels[static_cast<std::size_t>(turn & 3)][static_cast<std::size_t>(k)];
    if (mirrored) t.u = 1 - t.u;
    // Texels count in cells, so one texture repeats across the grid.
    p.texels[static_cast<std::size_t>(k)] = {t.u + static_cast<float>(i),
                                             t.v + static_cast<float>(j)};
  }
}

}  // namespace

void buildGroundGrid(Model& model, int moduleIndex) {
  if (moduleIndex < 0 || moduleIndex >= maxModules) return;
  if (!isCity(model.document)) return;
  Module& grid = model.document.module[static_cast<std::size_t>(moduleIndex)];

  grid.instances.clear();
  Instance origin;
  origin.guid = newGuid();
  grid.instances.push_back(origin);
  grid.scaleClass = 2;
  grid.vertices.clear();
  grid.polygons.clear();

  const auto [ul, ll, ur, lr] = cityCorners(model.document.modelId, model.document.rtsEnabled);
  // Row r = 0 is the lower edge LL-LR, row 26 the upper edge UL-UR; column 0 the left edge.
  grid.vertices.reserve(gridLine * gridLine);
  for (int r = 0; r < gridLine; ++r) {
    const float e = 1 - static_cast<float>(r) * cellFraction;
    const float lx = ul.x + (ll.x - ul.x) * e, ly = ul.y + (ll.y - ul.y) * e;
    const float rx = ur.x + (lr.x - ur.x) * e, ry = ur.y + (lr.y - ur.y) * e;
    for (int c = 0; c < gridLine; ++c) {
      const float f = static_cast<float>(c) * cellFraction;
      grid.vertices.push_back({lx + (rx - lx) * f, ly + (ry - ly) * f, 0});
    }
  }

  // Polygons are grouped by piece so the terrain pass binds each piece's texture once; within a
  // piece they go row by row. A piece number no piece has (from a file) gets no polygon.
  model.tileRecords.clear();
  grid.polygons.reserve(gridSize * gridSize);
  std::array<std::int32_t, groundPieceCount + 1> firstOfPiece{};
  for (const RtspsCell& cell : model.document.rtspsGrid) {
    if (cell.piece < groundPieceCount) ++firstOfPiece[static_cast<std::size_t>(cell.piece) + 1];
  }
  for (int piece = 0; piece < groundPieceCount; ++piece) {
    firstOfPiece[static_cast<std::size_t>(piece) + 1] +=
        firstOfPiece[static_cast<std::size_t>(piece)];
  }
  std::array<std::int16_t, gridSize * gridSize> cellsInOrder{};  // i * gridSize + j
  std::array<std::int32_t, groundPieceCount> next{};
  std::copy(firstOfPiece.begin(), firstOfPiece.end() - 1, next.begin());
  for (int j = 0; j < gridSize; ++j) {
    for (int i = 0; i < gridSize; ++i) {
      const RtspsCell cell = model.document.rtspsGrid[static_cast<std::size_t>(i * gridSize + j)];
      if (cell.piece >= groundPieceCount) continue;
      cellsInOrder[static_cast<std::size_t>(next[static_cast<std::size_t>(cell.piece)]++)] =
          static_cast<std::int16_t>(i * gridSize + j);
    }
  }
  const Selection& sel = model.selection;
  const bool gridIsCurrent = sel.currentModule == moduleIndex && sel.currentInstance == 0;
  std::int32_t firstVertex = 0;
  for (int piece = 0; piece < groundPieceCount; ++piece) {
    const std::int32_t begin = firstOfPiece[static_cast<std::size_t>(piece)];
    const std::int32_t count = firstOfPiece[static_cast<std::size_t>(piece) + 1] - begin;
    for (std::int32_t k = begin; k < begin + count; ++k) {
      const int cellIndex = cellsInOrder[static_cast<std::size_t>(k)];
      const int i = cellIndex / gridSize, j = cellIndex % gridSize;
      // The selected cell's polygon stays current although the polygon order follows pieces.
      if (gridIsCurrent && i == model.gridCursor.i && j == model.gridCursor.j) {
        model.selection.currentPolygon = static_cast<std::int32_t>(grid.polygons.size());
      }
      cellPolygon(grid.polygons.emplace_back(), i, j,
                  model.document.rtspsGrid[static_cast<std::size_t>(cellIndex)]);
    }
    if (count == 0) continue;
    // Each quad is drawn as two triangles of three vertices.
    model.tileRecords.push_back({firstVertex, 2 * count, static_cast<std::uint8_t>(piece)});
    firstVertex += 6 * count;
  }
  // The scene extent is the renderer's to recompute once it draws the new grid.
}

}  // namespace tessarim
