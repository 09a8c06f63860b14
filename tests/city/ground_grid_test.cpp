#include "model/ground_grid.hpp"

#include <gtest/gtest.h>

#include <memory>

#include "model/city_corners.hpp"
#include "model/model.hpp"

namespace tessarim {
namespace {

constexpr int gridModule = 3;

class GroundGrid : public ::testing::Test {
 protected:
  GroundGrid() { model->document.kind = DocumentKind::ctyfile; }

  RtspsCell& cell(int i, int j) {
    return model->document.rtspsGrid[static_cast<std::size_t>(i * 26 + j)];
  }
  const Module& grid() const { return model->document.module[gridModule]; }
  const Polygon& polygonOf(int i, int j) const {
    for (const auto& p : grid().polygons) {
      if (p.gridCell[0] == i && p.gridCell[1] == j) return p;
    }
    ADD_FAILURE() << "no polygon for cell " << i << ", " << j;
    return grid().polygons.front();
  }

  std::unique_ptr<Model> model = std::make_unique<Model>();
};

struct CornerCase {
  const char* name;
  std::int16_t modelId;
  bool rtsEnabled;
  CityCorner ul, ll, ur, lr;  // expected, ground units
};

class GroundGridCorners : public GroundGrid, public ::testing::WithParamInterface<CornerCase> {};

// Vertex 0 is the lower-left corner, 26 lower-right, 702 upper-left, 728 upper-right.
TEST_P(GroundGridCorners, SpansTheCityArea) {
  const CornerCase& c = GetParam();
  model->document.modelId = c.modelId;
  model->document.rtsEnabled = c.rtsEnabled;
  buildGroundGrid(*model, gridModule);
  const auto& v = grid().vertices;
  ASSERT_EQ(v.size(), 729u);
  const std::pair<int, CityCorner> corners[] = {{0, c.ll}, {26, c.lr}, {702, c.ul}, {728, c.ur}};
  for (const auto& [index, expected] : corners) {
    EXPECT_NEAR(v[index].x, expected.x, 1e-3) << "vertex " << index;
    EXPECT_NEAR(v[index].y, expected.y, 1e-3) << "vertex " << index;
  }
  for (const auto& p : v) ASSERT_EQ(p.z, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Ground, GroundGridCorners,
    ::testing::Values(
        CornerCase{"district_9",
                   -9,
                   false,
                   {-201.586f, 307.2259f},
                   {-201.52809f, -198.34859f},
                   {201.74577f, 198.50508f},
                   {201.67848f, -307.27283f}},
        CornerCase{"district_17",
                   -17,
                   false,
                   {-276.92328f, 308.9513f},
                   {-276.946f, -329.1242f},
                   {277.05743f, 329.25333f},
                   {277.0973f, -309.08826f}},
        CornerCase{"district_8",
                   -8,
                   false,
                   {-370.52835f, 370.56577f},
                   {-370.52737f, -370.5487f},
                   {370.52737f, 370.54474f},
                   {370.52737f, -370.56183f}},
        CornerCase{"unnamed_type", -3, false, {-260, 260}, {-260, -260}, {260, 260}, {260, -260}},
        CornerCase{"zonal_scaling", -9, true, {-130, 130}, {-130, -130}, {130, 130}, {130, -130}}),
    [](const auto& row) { return std::string{row.param.name}; });

TEST_F(GroundGrid, CellsAreTwentyUnitsAndTenWithZonalScaling) {
  for (bool rts : {false, true}) {
    model->document.rtsEnabled = rts;
    buildGroundGrid(*model, gridModule);
    const auto& v = grid().vertices;
    const float cellSize = rts ? 10.0f : 20.0f;
    EXPECT_NEAR(v[1].x - v[0].x, cellSize, 1e-4);
    EXPECT_NEAR(v[27].y - v[0].y, cellSize, 1e-4) << "row 1 lies above row 0";
    EXPECT_NEAR(v[13 * 27 + 13].x, 0, 1e-4);
    EXPECT_NEAR(v[13 * 27 + 13].y, 0, 1e-4);
  }
}

TEST_F(GroundGrid, RebuildGivesOneFreshInstanceAndReplacesTheMesh) {
  Module& m = model->document.module[gridModule];
  m.instances.resize(3);
  m.scaleClass = 7;
  buildGroundGrid(*model, gridModule);
  const Guid first = grid().instances.at(0).guid;
  buildGroundGrid(*model, gridModule);
  ASSERT_EQ(grid().instances.size(), 1u);
  EXPECT_FALSE(grid().instances[0].guid.isNull());
  EXPECT_NE(grid().instances[0].guid, first);
  EXPECT_EQ(grid().instances[0].colourKey, -1);
  EXPECT_EQ(grid().scaleClass, 2);
  EXPECT_EQ(grid().vertices.size(), 729u);
  EXPECT_EQ(grid().polygons.size(), 676u);
}

TEST_F(GroundGrid, EachCellIsAQuadFromUpperRightClockwise) {
  buildGroundGrid(*model, gridModule);
  const Polygon& p = polygonOf(3, 5);
  const int m = 5 * 27 + 3;
  EXPECT_EQ(p.sides, 4);
  EXPECT_EQ(p.vertexIndex, (std::array<std::uint32_t, 4>{m + 28, m + 1, m, m + 27}));
  EXPECT_EQ(p.colour, (std::array<float, 4>{0, 0, 0, 1}));
  EXPECT_EQ(p.smooth, 0);
  // Cell (3, 5) lies in column 3 and row 5 of the default square.
  const Vertex& lowerLeft = grid().vertices[m];
  EXPECT_NEAR(lowerLeft.x, -260 + 3 * 20, 1e-3);
  EXPECT_NEAR(lowerLeft.y, -260 + 5 * 20, 1e-3);
}

TEST_F(GroundGrid, TexelsFollowTheTurnAndCountInCells) {
  using Quad = std::array<Texel, 4>;
  const Quad byTurn[8] = {
      {{{0, 1}, {0, 0}, {1, 0}, {1, 1}}}, {{{1, 1}, {0, 1}, {0, 0}, {1, 0}}},
      {{{1, 0}, {1, 1}, {0, 1}, {0, 0}}}, {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
      {{{1, 1}, {1, 0}, {0, 0}, {0, 1}}}, {{{0, 1}, {1, 1}, {1, 0}, {0, 0}}},
      {{{0, 0}, {0, 1}, {1, 1}, {1, 0}}}, {{{1, 0}, {0, 0}, {0, 1}, {1, 1}}},
  };
  // Turn t at cell (2 + t, 7 + t).
  for (int t = 0; t < 8; ++t) cell(2 + t, 7 + t).turn = static_cast<std::uint8_t>(t);
  buildGroundGrid(*model, gridModule);
  for (int t = 0; t < 8; ++t) {
    const Polygon& p = polygonOf(2 + t, 7 + t);
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(p.texels[k].u, byTurn[t][k].u + static_cast<float>(2 + t)) << "turn " << t;
      EXPECT_EQ(p.texels[k].v, byTurn[t][k].v + static_cast<float>(7 + t)) << "turn " << t;
    }
  }
}

TEST_F(GroundGrid, PolygonsAreGroupedByPieceWithOneTileRecordPerPiece) {
  for (auto& c : model->document.rtspsGrid) c.piece = 5;
  cell(0, 0).piece = 2;
  cell(25, 25).piece = 2;
  cell(1, 2).piece = 73;
  buildGroundGrid(*model, gridModule);

  const auto& polys = grid().polygons;
  ASSERT_EQ(polys.size(), 676u);
  auto cellOf = [&](std::size_t k) {
    return std::pair{polys[k].gridCell[0], polys[k].gridCell[1]};
  };
  EXPECT_EQ(cellOf(0), (std::pair<std::int16_t, std::int16_t>{0, 0}));
  EXPECT_EQ(cellOf(1), (std::pair<std::int16_t, std::int16_t>{25, 25}));
  // Within a piece, j is the outer loop and i the inner one.
  EXPECT_EQ(cellOf(2), (std::pair<std::int16_t, std::int16_t>{1, 0}));
  EXPECT_EQ(cellOf(3), (std::pair<std::int16_t, std::int16_t>{2, 0}));
  EXPECT_EQ(cellOf(27), (std::pair<std::int16_t, std::int16_t>{0, 1}));
  EXPECT_EQ(cellOf(675), (std::pair<std::int16_t, std::int16_t>{1, 2}));

  ASSERT_EQ(model->tileRecords.size(), 3u);
  const std::tuple<int, int, int> expected[] = {{0, 4, 2}, {12, 2 * 673, 5}, {12 + 6 * 673, 2, 73}};
  for (std::size_t k = 0; k < 3; ++k) {
    const TileRecord& r = model->tileRecords[k];
    EXPECT_EQ(std::tuple(r.firstVertex, r.triangleCount, int{r.piece}), expected[k]) << k;
  }
}

TEST_F(GroundGrid, TheSelectedCellKeepsItsPolygonCurrent) {
  for (auto& c : model->document.rtspsGrid) c.piece = 5;
  cell(25, 25).piece = 1;  // drawn first
  model->gridCursor.i = 25;
  model->gridCursor.j = 25;
  struct Case {
    std::int16_t module, instance, polygon;
  } cases[] = {{gridModule, 0, 0}, {gridModule, -1, 99}, {gridModule - 1, 0, 99}};
  for (const Case& c : cases) {
    model->selection.currentModule = c.module;
    model->selection.currentInstance = c.instance;
    model->selection.currentPolygon = 99;
    buildGroundGrid(*model, gridModule);
    EXPECT_EQ(model->selection.currentPolygon, c.polygon) << c.module << ", " << c.instance;
  }
  model->selection = {};
  model->selection.currentModule = gridModule;
  model->selection.currentInstance = 0;
  model->gridCursor.i = 0;
  model->gridCursor.j = 1;
  buildGroundGrid(*model, gridModule);
  EXPECT_EQ(model->selection.currentPolygon, 27) << "after (25, 25) and the 26 cells of row j = 0";
}

TEST_F(GroundGrid, WithoutACityOrAModuleIndexNothingChanges) {
  model->tileRecords.push_back({1, 2, 3});
  buildGroundGrid(*model, -1);
  model->document.kind = DocumentKind::wldfile;
  buildGroundGrid(*model, gridModule);
  EXPECT_TRUE(grid().vertices.empty());
  EXPECT_TRUE(grid().instances.empty());
  EXPECT_EQ(model->tileRecords.size(), 1u);
}

}  // namespace
}  // namespace tessarim
