#include "scene/geometry_builder.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "support/polygons.hpp"
#include "support/scripted_ui.hpp"

namespace tessarim {
namespace {

using testing::face;

struct Fixture {
  std::unique_ptr<Model> model = std::make_unique<Model>();
  testing::ScriptedUi ui;
  SceneGeometry scene;

  Module& add(std::vector<Vertex> vertices, std::vector<Polygon> polygons, int instances = 1) {
    Module& m = model->document.module[model->document.wldfiles++];
    m.vertices = std::move(vertices);
    m.polygons = std::move(polygons);
    m.instances.resize(static_cast<std::size_t>(instances));
    return m;
  }
  int lastRemoved = 0;

  std::int64_t build(const GeometryOptions& options = {}) {
    const GeometryBuild built = buildGeometry(*model, scene, options);
    lastRemoved = built.removedPolygons;
    reportRemovedPolygons(ui, built.removedPolygons);
    return built.triangles;
  }
};

Polygon coloured(Polygon p) {
  p.colour = {1, 0.5f, 0.25f, 0.75f};
  for (int c = 0; c < 4; ++c) {
    p.texels[c] = {0.1f * static_cast<float>(c), c < 2 ? 0.0f : 0.1f};
    p.texels2[c] = {0.3f, 0.05f * static_cast<float>(c)};
  }
  return p;
}

void expectPosition(const RenderVertex& v, Vertex p) {
  EXPECT_EQ(v.x, p.x);
  EXPECT_EQ(v.y, p.y);
  EXPECT_EQ(v.z, p.z);
}

TEST(GeometryBuilder, EmitsEveryInstanceRunInCornerOrderAndRecordsWhereRunsStart) {
  Fixture f;
  const std::vector<Vertex> square{{0, 0, 0}, {2, 0, 0}, {2, 3, 0}, {0, 3, 0}};
  f.add(square, {coloured(face({0, 1, 2, 3})), coloured(face({0, 1, 3}))}, 2);
  f.add({{5, 5, 5}, {6, 5, 5}, {5, 6, 5}}, {face({0, 1, 2})});
  f.model->document.lightCount = 2;
  f.model->document.lights[1].position = {1, 2, 3};
  f.model->document.lights[1].colour = 0xFF00FF00;

  EXPECT_EQ(f.build(), 3 + 3 + 1);
  ASSERT_EQ(f.scene.vertices.size(), 21u);
  // The quad's two triangles (0, 1, 2) and (2, 3, 0), then the triangle.
  const int order[] = {0, 1, 2, 2, 3, 0, 0, 1, 3};
  for (int run = 0; run < 2; ++run) {
    for (int i = 0; i < 9; ++i) expectPosition(f.scene.vertices[run * 9 + i], square[order[i]]);
  }
  const Module& m = f.model->document.module[0];
  ASSERT_EQ(f.scene.polygons[0].size(), 2u);
  EXPECT_EQ(f.scene.polygons[0][0].firstVertex, 0u);
  EXPECT_EQ(f.scene.polygons[0][1].firstVertex, 6u);
  ASSERT_EQ(f.scene.instanceRuns[0].size(), m.instances.size());
  EXPECT_EQ(f.scene.instanceRuns[0][0].firstSceneVertex, 0);
  EXPECT_EQ(f.scene.instanceRuns[0][1].firstSceneVertex, 9);
  EXPECT_EQ(f.scene.instanceRuns[0][1].triangleCount, 3);
  EXPECT_EQ(f.scene.instanceRuns[1][0].firstSceneVertex, 18);
  EXPECT_EQ(f.scene.instanceRuns[1][0].triangleCount, 1);
  // An instance added since the build has an empty run until the next one.
  EXPECT_EQ(instanceRun(f.scene, 1, 1).triangleCount, 0);

  // Corner 3 of the quad, its second triangle's middle vertex.
  const RenderVertex& v = f.scene.vertices[4];
  EXPECT_EQ(v.colour, 0xBFFF8040u);  // A 0.75, R 1, G 0.5, B 0.25 rounded
  EXPECT_FLOAT_EQ(v.u, 0.3f);
  EXPECT_FLOAT_EQ(v.v, 0.1f);
  EXPECT_FLOAT_EQ(v.u2, 0.3f);
  EXPECT_FLOAT_EQ(v.v2, 0.15f);
  EXPECT_EQ(std::tuple(v.nx, v.ny, v.nz), std::tuple(0.0f, 0.0f, -1.0f));
  // Over corners 0..2, u grows along x alone; v grows by 0.1 where u grows by 0.2 and y by 3.
  EXPECT_EQ(std::tuple(v.tx, v.ty, v.tz), std::tuple(1.0f, 0.0f, 0.0f));
  EXPECT_NEAR(v.bx, -2 / std::sqrt(13.0f), 1e-6);
  EXPECT_NEAR(v.by, 3 / std::sqrt(13.0f), 1e-6);
  EXPECT_EQ(v.bz, 0.0f);

  // Normal lines: two per corner of the module, once per module, not per instance.
  ASSERT_EQ(f.scene.normalLines[0].size(), 14u);
  const LineVertex& tip = f.scene.normalLines[0][5];  // corner 2 + 5 x normal
  EXPECT_EQ(std::tuple(tip.x, tip.y, tip.z, tip.colour),
            std::tuple(2.0f, 3.0f, -5.0f, 0x00FFFF00u));
  EXPECT_TRUE(f.scene.normalLines[2].empty());

  ASSERT_EQ(f.scene.lightSprites.size(), 2u);
  const LineVertex& light = f.scene.lightSprites[1];
  EXPECT_EQ(std::tuple(light.x, light.y, light.z, light.colour),
            std::tuple(1.0f, 2.0f, 3.0f, 0xFF00FF00u));
}

TEST(GeometryBuilder, GouraudCornersAverageThePolygonsSharingTheirPosition) {
  Fixture f;
  // A faces +z, B faces +x; they share the edge from the origin to (0, 1, 0) by position only:
  // B's corners there are separate vertex records, one of them at -0.
  Polygon a = face({0, 1, 2});
  a.smooth = 1;
  Polygon b = face({3, 4, 5});
  Module& m = f.add({{1, 0, 0}, {0, 0, 0}, {0, 1, 0}, {0, 1, 0}, {-0.0f, 0, 0}, {0, 0, 1}}, {a, b});
  f.build();

  const float h = std::sqrt(0.5f);
  struct Corner {
    int polygon, corner;
    std::array<float, 3> normal;
    int friends;
  } cases[] = {
      {0, 0, {0, 0, 1}, 1},  // alone: its own normal
      {0, 1, {h, 0, h}, 2},  // shared: the average of +z and +x
      {0, 2, {h, 0, h}, 2},
      {1, 0, {1, 0, 0}, 2},  // a flat polygon keeps its own normal where it is shared too
      {1, 1, {1, 0, 0}, 2},
      {1, 2, {1, 0, 0}, 1},
  };
  ASSERT_EQ(f.scene.polygons[0].size(), m.polygons.size());
  for (const Corner& c : cases) {
    const PolygonShading& p = f.scene.polygons[0][c.polygon];
    for (int i = 0; i < 3; ++i)
      EXPECT_NEAR(p.cornerNormals[c.corner][i], c.normal[i], 1e-6) << c.polygon << c.corner;
    EXPECT_EQ(p.cornerFriends[c.corner], c.friends) << c.polygon << c.corner;
  }
  // The scene's vertices carry them.
  EXPECT_NEAR(f.scene.vertices[1].nx, h, 1e-6);
  EXPECT_NEAR(f.scene.vertices[1].nz, h, 1e-6);
}

TEST(GeometryBuilder, RemovesDegeneratePolygonsOnceWithOneReport) {
  Fixture f;
  const std::vector<Vertex> points{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}};
  f.add(points, {face({0, 1, 2}), face({0, 1, 3})});  // the first is collinear
  f.add(points, {face({0, 1, 3}), face({3, 3, 1, 0})});

  EXPECT_EQ(f.build(), 2);
  EXPECT_EQ(f.lastRemoved, 2);
  ASSERT_EQ(f.ui.boxes.size(), 1u);
  EXPECT_EQ(f.ui.boxes[0].text,
            "2 polygon(s) were automatically removed because they were invalid based on surface "
            "normal calculation!");
  EXPECT_EQ(f.ui.boxes[0].caption, "Error!");
  EXPECT_EQ(f.ui.boxes[0].icon, MessageIcon::warning);
  for (int m = 0; m < 2; ++m) {
    ASSERT_EQ(f.model->document.module[m].polygons.size(), 1u);
    EXPECT_EQ(f.model->document.module[m].polygons[0].vertexIndex[2], 3);
    EXPECT_EQ(f.model->document.module[m].modified, 1);
  }

  f.model->document.module[0].modified = 0;
  EXPECT_EQ(f.build(), 2);
  EXPECT_EQ(f.ui.boxes.size(), 1u);
  EXPECT_EQ(f.model->document.module[0].modified, 0);
}

TEST(GeometryBuilder, GrowsPastTheOldVertexAndNormalLimits) {
  Fixture f;
  constexpr int side = 183;  // 33,124 quads: 198,744 vertices a run, 264,992 normal-line vertices
  std::vector<Vertex> grid;
  std::vector<Polygon> quads;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x)
      grid.push_back({static_cast<float>(x), static_cast<float>(y), 0});
  }
  for (int y = 0; y + 1 < side; ++y) {
    for (int x = 0; x + 1 < side; ++x) {
      const int i = y * side + x;
      quads.push_back(face({i, i + 1, i + 1 + side, i + side}));
    }
  }
  f.add(grid, quads, 2);
  EXPECT_EQ(f.build(), 2 * 2 * 33124);
  EXPECT_TRUE(f.ui.boxes.empty());
  EXPECT_EQ(f.scene.vertices.size(), 2u * 198744);
  EXPECT_EQ(f.scene.instanceRuns[0][1].firstSceneVertex, 198744);
  EXPECT_EQ(f.scene.polygons[0].back().firstVertex, 198738u);
  EXPECT_EQ(f.scene.normalLines[0].size(), 264992u);
  expectPosition(f.scene.vertices[198744 + 198738 + 4],
                 grid[static_cast<std::size_t>(side * side - 2)]);
}

TEST(GeometryBuilder, TexelViewLaysPolygonsAtTheirTexelsOfTheShownSet) {
  Fixture f;
  Polygon p = face({0, 1, 2});  // collinear: no normal is needed in the texel view
  p.texels[1] = {0.5f, 0.25f};
  p.texels2[1] = {1, 1};
  Module& m = f.add({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, {p});
  m.canvasWidth = 1024;
  m.canvasHeight = 512;
  m.canvasWidth2 = m.canvasHeight2 = 2048;
  f.model->selection.currentModule = 0;

  struct Case {
    int mapIndex;
    float x, y, u, v, canvasWidth, canvasHeight;
  } cases[] = {
      {0, 2.5f, -0.625f, 0.5f, 0.25f, 5, 2.5f},  // x = 0.5 x 10/2048 x 1024
      {4, 10, -10, 1, 1, 10, 10},                // the overlay set on its own canvas
  };
  for (const Case& c : cases) {
    EXPECT_EQ(f.build({.texelView = true, .texelMapIndex = c.mapIndex}), 1);
    const RenderVertex& v = f.scene.vertices[1];
    EXPECT_EQ(std::tuple(v.x, v.y, v.z, v.u, v.v), std::tuple(c.x, c.y, 0.0f, c.u, c.v))
        << c.mapIndex;
    ASSERT_TRUE(f.scene.hasCanvasQuad);
    const RenderVertex& corner = f.scene.canvasQuad[2];  // the canvas's lower right
    EXPECT_EQ(std::tuple(corner.x, corner.y), std::tuple(c.canvasWidth, -c.canvasHeight))
        << c.mapIndex;
    EXPECT_EQ(std::tuple(f.scene.canvasQuad[6].x, f.scene.canvasQuad[11].x),
              std::tuple(0.0f, 0.0f));
  }
  EXPECT_EQ(m.polygons.size(), 1u);
  EXPECT_TRUE(f.ui.boxes.empty());
  EXPECT_TRUE(f.scene.normalLines[0].empty());

  f.build();
  EXPECT_FALSE(f.scene.hasCanvasQuad);
}

TEST(GeometryBuilder, TexelViewEdgeMeetsTheBuiltCornersOfEitherSet) {
  Fixture f;
  Polygon p = face({0, 1, 2});
  p.texels = {Texel{0.125f, 0.5f}, Texel{0.75f, 0.3f}, Texel{0.2f, 0.9f}, Texel{}};
  p.texels2 = {Texel{0.6f, 0.1f}, Texel{0.05f, 0.7f}, Texel{0.4f, 0.4f}, Texel{}};
  Module& m = f.add({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, {p});
  m.canvasWidth = 1024;
  m.canvasHeight = 512;
  m.canvasWidth2 = 300;
  m.canvasHeight2 = 2048;
  for (int mapIndex : {0, 4}) {
    f.build({.texelView = true, .texelMapIndex = mapIndex});
    const int set = mapIndex == 4 ? 1 : 0;
    const auto& t = set == 1 ? p.texels2 : p.texels;
    // The edge from corner 1 to corner 2.
    const std::array<Vec3, 2> edge = texelViewEdge(m, set, {t[1].u, t[1].v, t[2].u, t[2].v});
    for (int k = 0; k < 2; ++k) {
      const RenderVertex& v = f.scene.vertices[static_cast<std::size_t>(k + 1)];
      EXPECT_EQ(edge[k], (Vec3{v.x, v.y, v.z})) << mapIndex << " end " << k;
    }
  }
}

TEST(GeometryBuilder, TangentFrameFollowsTheTexelDirections) {
  struct Case {
    std::array<Texel, 3> texels;
    Vec3 tangent, binormal;
  } cases[] = {
      {{{{0, 0}, {1, 0}, {0, 1}}}, {1, 0, 0}, {0, 1, 0}},
      {{{{0, 0}, {0, 1}, {1, 0}}}, {0, 1, 0}, {1, 0, 0}},    // u and v swapped
      {{{{0, 0}, {-1, 0}, {0, 2}}}, {-1, 0, 0}, {0, 1, 0}},  // u mirrored, v stretched
      {{{{0, 0}, {1, 1}, {2, 2}}}, {}, {}},                  // texels on a line: no frame
  };
  Module m;
  m.vertices = {{0, 0, 0}, {2, 0, 0}, {0, 3, 0}};
  m.polygons = {face({0, 1, 2})};
  for (const Case& c : cases) {
    for (int i = 0; i < 3; ++i) m.polygons[0].texels[i] = c.texels[i];
    const TangentFrame frame = computeTangentFrame(m, 0);
    EXPECT_EQ(frame.tangent, c.tangent) << c.texels[1].u;
    EXPECT_EQ(frame.binormal, c.binormal) << c.texels[1].u;
  }
}

}  // namespace
}  // namespace tessarim
