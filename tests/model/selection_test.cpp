#include "model/selection.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <vector>

#include "model/model.hpp"
#include "support/polygons.hpp"

namespace tessarim {
namespace {

// A closed cube whose every face is a 3 x 3 grid of quads on shared vertices: cell (row, column)
// of face f is polygon 9f + 3 row + column. Faces 0 and 1 lie across x, 2 and 3 across y, 4 and
// 5 across z.
Module gridCube() {
  Module m;
  std::map<std::array<int, 3>, int> index;
  const auto vertex = [&](std::array<int, 3> p) {
    const auto [it, added] = index.try_emplace(p, static_cast<int>(m.vertices.size()));
    if (added) {
      m.vertices.push_back(
          {static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])});
    }
    return it->second;
  };
  for (int axis = 0; axis < 3; ++axis) {
    for (int side : {0, 3}) {
      const auto at = [&](int u, int v) {
        std::array<int, 3> p{};
        p[axis] = side;
        p[(axis + 1) % 3] = u;
        p[(axis + 2) % 3] = v;
        return vertex(p);
      };
      for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c)
          m.polygons.push_back(
              testing::face({at(r, c), at(r + 1, c), at(r + 1, c + 1), at(r, c + 1)}));
      }
    }
  }
  return m;
}

// One call adds one ring of polygons sharing a vertex with the selection: on the middle of a face
// its four edge neighbours and its four corner neighbours, in polygon order. No editor is needed.
TEST(Selection, AddingNeighboursAddsOneRingOfVertexNeighbours) {
  Model model;
  model.document.kind = DocumentKind::asmfile;
  model.document.wldfiles = 1;
  model.document.module[0] = gridCube();
  model.document.module[0].instances.resize(1);
  Selection& sel = model.selection;
  sel.currentModule = 0;
  sel.currentInstance = 0;
  sel.currentPolygon = 4;  // the middle of face 0

  ASSERT_TRUE(addNeighbourPolygons(model));
  EXPECT_EQ(sel.currentPolygon, -2);
  EXPECT_EQ(sel.selectedPolygons, (std::vector<std::uint32_t>{4, 0, 1, 2, 3, 5, 6, 7, 8}));

  // The whole face now: the next ring is the row along it on each of the four faces around it.
  ASSERT_TRUE(addNeighbourPolygons(model));
  std::vector<std::uint32_t> ring(sel.selectedPolygons.begin() + 9, sel.selectedPolygons.end());
  std::sort(ring.begin(), ring.end());
  EXPECT_EQ(ring, (std::vector<std::uint32_t>{18, 21, 24, 27, 30, 33, 36, 37, 38, 45, 46, 47}));
}

}  // namespace
}  // namespace tessarim
