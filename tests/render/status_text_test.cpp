#include "editor/status_text.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "editing/editing_state.hpp"
#include "editor/frame.hpp"
#include "model/model.hpp"

namespace tessarim {
namespace {

std::vector<std::string> texts(const std::vector<StatusLine>& lines) {
  std::vector<std::string> out;
  for (const StatusLine& line : lines) out.push_back(line.text);
  return out;
}

struct Status : ::testing::Test {
  Status() {
    model.document.kind = DocumentKind::asmfile;
    model.document.wldfiles = 1;
    Module& m = model.document.module[0];
    m.filename = "meshes\\hull.wld";
    m.vertices = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    Polygon p;
    p.sides = 3;
    p.vertexIndex = {0, 1, 2, 0};
    m.polygons = {p};
    scene->polygons[0].resize(1);
    scene->polygons[0][0].cornerFriends = {1, 2, 1, 0};
    m.instances.resize(2);
    m.instances[1].worldMatrix = translation(10, 0, 0);
    m.instances[1].location = {10, 0, 0};
    m.instances[1].group = 7;
    m.instances[1].eyeDistance = 2.5f;
    m.instances[1].guid =
        Guid{0x0123ABCD, 0x1A2B, 0x3C4D, {0x5E, 0x6F, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x51}};
    inputs.frameStatistics = "60.00 fps";
    inputs.deviceStatistics = "device";
    inputs.residentBytes = 123456789;
    frame.sceneExtent = 1.5f;
    frame.camera.eyeDistance = 4;
    frame.camera.zoomPosition = 3800;
  }
  std::vector<StatusLine> status() { return statusLines(model, frame, *scene, editing, inputs); }
  std::vector<std::string> lines() { return texts(status()); }

  Model model;
  std::unique_ptr<SceneGeometry> scene = std::make_unique<SceneGeometry>();
  FrameState frame;
  EditingState editing;
  StatusInputs inputs;
};

TEST_F(Status, AnInstanceCurrentWithoutAPolygon) {
  model.selection.currentModule = 0;
  model.selection.currentInstance = 1;
  model.document.module[0].modified = 1;
  EXPECT_EQ(lines(), (std::vector<std::string>{
                         "60.00 fps",
                         "device",
                         "meshes\\hull.wld* (0)",
                         "Memory in use by Tessarim is 123 MB",
                         "allx1.500000 zoom4.000000 Z3800 X0 Y0 graphZ0",
                         "Use left/right mouse button to pick a polygon/module...",
                         "Instance: 0123ABCD-1A2B-3C4D-5E6F-0A1B2C3D4E51 (1, 2.500)",
                         "Location: 10.000000 0.000000 0.000000",
                         "Group: 7",
                     }));
}

TEST_F(Status, ATrianglePrintsThreeCornerBlocksAndThreeEdgeDirections) {
  model.selection.currentModule = 0;
  model.selection.currentInstance = 1;
  model.selection.currentPolygon = 0;
  const std::vector<StatusLine> all = status();
  const std::vector<std::string> text = texts(all);
  ASSERT_GE(text.size(), 2u);
  // The polygon faces the eye: the normal and the camera direction agree.
  EXPECT_EQ(
      text[1],
      "Headlight 0.000 0.000 1.000  Normal 0.000 0.000 1.000  Dot 1.000 (0.000)  Shading: Lambert");
  const std::vector<std::string> tail(text.begin() + 6, text.end());
  EXPECT_EQ(tail, (std::vector<std::string>{
                      "Polygon: 0 (Vertices: 3)",
                      "Vertex: 1 (Index: 0, friends 1)",
                      "x +0.0000 (+10.000000)",
                      "y +0.0000 (+0.000000)",
                      "z +0.0000 (+0.000000)",
                      "Vertex: 2 (Index: 1, friends 2)",
                      "x +0.0000 (+10.000000) +0.000",
                      "y +1.0000 (+1.000000) +90.000",
                      "z +0.0000 (+0.000000) +0.000",
                      "Vertex: 3 (Index: 2, friends 1)",
                      "x +1.0000 (+11.000000) +90.000",
                      "y +1.0000 (+1.000000) +0.000",
                      "z +0.0000 (+0.000000) +0.000",
                      "-> v1 x+0.000 y-1.000 z0.000",
                      "-> v2 x-1.000 y0.000 z0.000",
                      "-> v3 x+0.707 y0.707 z0.000",
                  }))
      << "edge 3 runs from the last corner to the first";
  EXPECT_EQ(all[7].colour, statusLightCyan);
  EXPECT_EQ(all[8].colour, statusWhite);
  EXPECT_EQ(all[0].font, StatusFont::large);
  EXPECT_EQ(all[3].y, 60);  // 20 pixels a line
}

// A polygon added after the last build has no friends counted yet; its status reads none
// rather than another polygon's or memory past the built list.
TEST_F(Status, APolygonAddedSinceTheLastBuildCountsNoFriends) {
  Module& m = model.document.module[0];
  m.polygons.push_back(m.polygons[0]);
  model.selection.currentModule = 0;
  model.selection.currentInstance = 1;
  model.selection.currentPolygon = 1;
  const std::vector<std::string> text = lines();
  for (const char* line : {"Vertex: 1 (Index: 0, friends 0)", "Vertex: 2 (Index: 1, friends 0)"})
    EXPECT_NE(std::find(text.begin(), text.end(), line), text.end()) << line;
}

TEST_F(Status, TexelViewCornersAndMouseHelp) {
  model.settings.view.texelView = true;
  model.selection.currentModule = 0;
  model.selection.currentInstance = 0;
  model.selection.currentPolygon = 0;
  model.document.module[0].canvasWidth = model.document.module[0].canvasHeight = 1024;
  model.document.module[0].polygons[0].texels[0] = {0.5f, 0.25f};
  model.document.module[0].maps[textfile] = "textures\\hull.png";
  frame.input.shiftHeld = true;
  const std::vector<std::string> text = lines();
  EXPECT_EQ(text[4], "tzoom0.000000 Z20 X0 Y0");
  EXPECT_EQ(text[7], "u +0.5000 (512px)");
  EXPECT_EQ(text[8], "v +0.2500 (256px)");
  const std::vector<std::string> help(text.end() - 4, text.end());
  EXPECT_EQ(help, (std::vector<std::string>{"LMB Shift = Rotate", "RMB Shift = Move Polygon",
                                            "T Color Map", "textures\\hull.png"}));
}

TEST_F(Status, SelectionsWithoutACurrentPolygon) {
  struct Case {
    bool asmfile;
    int polygon, instances;
    std::string last;
  } cases[] = {
      {false, -1, 0, "You currently have all instances selected!"},
      {true, -1, 0, "No modules selected..."},
      {true, -1, 3, "You currently have 3 instances selected!"},
      {true, -2, 0, "You currently have 2 polygons selected!"},
  };
  for (const Case& c : cases) {
    model.document.kind = c.asmfile ? DocumentKind::asmfile : DocumentKind::wldfile;
    model.selection.currentPolygon = static_cast<std::int16_t>(c.polygon);
    model.selection.selectedInstances.assign(static_cast<std::size_t>(c.instances), {0, 0});
    model.selection.selectedPolygons = {0, 1};
    EXPECT_EQ(lines().back(), c.last);
  }
  model.document.wldfiles = 0;
  model.selection.currentPolygon = -1;
  EXPECT_EQ(lines().back(), "No meshes in memory...");
}

// The typed entry's panel: small-font lines away from the column's left margin.
std::vector<StatusLine> panelOf(const std::vector<StatusLine>& lines) {
  std::vector<StatusLine> out;
  for (const StatusLine& line : lines) {
    if (line.font == StatusFont::small && line.x != 2) out.push_back(line);
  }
  return out;
}

TEST_F(Status, TypedEntryPanelListsTheSidesTheTargetAndTheCornersEntered) {
  inputs.width = 800;
  editing.entryActive = true;
  editing.entrySlide = 1;
  PolygonEntry& e = editing.entry;
  e.vertices = {Vec3{1, -2, 0.5f}, Vec3{3, 0.25f, 0}, Vec3{0, 0, 7}, Vec3{}};
  e.notes = {"Found match with vertex 0!", "Will add new vertex to polygon mesh...", "", ""};
  struct Case {
    const char* name;
    int sides, vertexIndex, axis, polygonIndex;
    bool caret;
    std::string text;
    std::vector<std::string> expected;
  } cases[] = {
      {"sides prompt, caret on",
       0,
       -1,
       0,
       1,
       true,
       "4",
       {"Number of sides: 4_", "Adding polygon 1"}},
      {"sides prompt, caret off",
       0,
       -1,
       0,
       1,
       false,
       "4",
       {"Number of sides: 4", "Adding polygon 1"}},
      {"first X, caret off",
       3,
       0,
       0,
       1,
       false,
       "",
       {"Number of sides: 3", "Adding polygon 1", "Vertex 1 axis X: "}},
      {"second corner's Z",
       4,
       1,
       2,
       1,
       true,
       "-1.5",
       {"Number of sides: 4", "Adding polygon 1", "Vertex 1 axis X: +1.0000",
        "Vertex 1 axis Y: -2.0000", "Vertex 1 axis Z: +0.5000", "Found match with vertex 0!",
        "Vertex 2 axis X: +3.0000", "Vertex 2 axis Y: +0.2500", "Vertex 2 axis Z: -1.5_"}},
      {"a change with every corner in",
       3,
       3,
       0,
       0,
       true,
       "",
       {"Number of sides: 3", "Modify polygon 0->1", "Vertex 1 axis X: +1.0000",
        "Vertex 1 axis Y: -2.0000", "Vertex 1 axis Z: +0.5000", "Found match with vertex 0!",
        "Vertex 2 axis X: +3.0000", "Vertex 2 axis Y: +0.2500", "Vertex 2 axis Z: +0.0000",
        "Will add new vertex to polygon mesh...", "Vertex 3 axis X: +0.0000",
        "Vertex 3 axis Y: +0.0000", "Vertex 3 axis Z: +7.0000", ""}},
  };
  for (const Case& c : cases) {
    e.sides = c.sides;
    e.vertexIndex = c.vertexIndex;
    e.axis = c.axis;
    e.polygonIndex = c.polygonIndex;
    frame.blinkRising = c.caret;
    editing.entryText = c.text;
    const std::vector<StatusLine> panel = panelOf(status());
    EXPECT_EQ(texts(panel), c.expected) << c.name;
    for (std::size_t i = 0; i < panel.size(); ++i) {
      EXPECT_EQ(std::pair(panel[i].x, panel[i].y),
                std::pair(630.0f, 40.0f + 20.0f * static_cast<float>(i)))
          << c.name << " line " << i;
    }
    if (c.vertexIndex == 1) {
      ASSERT_EQ(panel.size(), 9u);
      EXPECT_EQ(panel[0].colour, statusCyan);
      EXPECT_EQ(panel[1].colour, statusLightCyan);  // the target
      EXPECT_EQ(panel[4].colour, statusCyan);
      EXPECT_EQ(panel[5].colour, statusLightCyan);  // the note
      EXPECT_EQ(panel[8].colour, statusCyan);
    }
  }

  editing.entryActive = false;
  EXPECT_TRUE(panelOf(status()).empty());
}

TEST_F(Status, TheEntryPanelSlidesInFromTheRightEdge) {
  editing.entryActive = true;
  struct Case {
    int width;
    float slide, x;
  } cases[] = {{800, 1, 630}, {800, 0.25f, 757.5f}, {1024, 0, 1024}};
  for (const Case& c : cases) {
    inputs.width = c.width;
    editing.entrySlide = c.slide;
    const std::vector<StatusLine> panel = panelOf(status());
    ASSERT_EQ(panel.size(), 2u);
    EXPECT_EQ(panel[0].x, c.x) << c.width << " " << c.slide;
  }
}

TEST_F(Status, AnArmedSourceEdgeInTheTexelViewAndOnCityTerrain) {
  model.selection.currentModule = 0;
  model.selection.currentInstance = 0;
  model.selection.currentPolygon = 0;
  editing.sourceEdge = 2;
  struct Case {
    bool texelView, city, armed;
    std::string last;
    std::uint32_t colour;
  } cases[] = {
      {true, false, true, "E Straighten Edge", statusPink},
      {true, false, false, "T Color Map", statusWhite},
      // The terrain (the city's last module) lists no corners, only the armed edge.
      {false, true, true, "Source edge selected 2", statusLightCyan},
      {false, true, false, "Polygon: 0 (Vertices: 3)", statusCyan},
  };
  for (const Case& c : cases) {
    model.settings.view.texelView = c.texelView;
    model.document.kind = c.city ? DocumentKind::ctyfile : DocumentKind::asmfile;
    editing.sourceEdgeSet = c.armed;
    const std::vector<StatusLine> all = status();
    EXPECT_EQ(all.back().text, c.last);
    EXPECT_EQ(all.back().colour, c.colour) << c.last;
  }
}

// In a city with a grid cell picked and no building browsed, the polygon line names the cell
// and the street node at the clicked point.
TEST_F(Status, APickedGridSectorReplacesThePolygonLine) {
  model.document.kind = DocumentKind::ctyfile;
  model.document.wldfiles = 2;
  model.document.module[1] = model.document.module[0];
  model.selection.currentModule = 0;
  model.selection.currentInstance = 0;
  model.selection.currentPolygon = 0;
  model.selection.currentGroup = 0;  // as a city opens: no building browsed
  model.gridCursor = GridCursor{3, 4, 0.25f, 0.5f};
  model.document.rtspsGrid[3 * gridSize + 4] = RtspsCell{2, 17};
  RtsNode node;
  node.id = 7;
  node.x = 0.25f;
  node.y = 0.5f;
  model.document.streetNodes.nodes = {node};
  const auto after = [&](const std::string& first) {
    const std::vector<std::string> all = lines();
    const auto at = std::find(all.begin(), all.end(), first);
    return at == all.end() || at + 1 == all.end() ? std::string("(none)") : *(at + 1);
  };
  EXPECT_EQ(after("allx1.500000 zoom4.000000 Z3800 X0 Y0 graphZ0"), "Sector: 3, 4 (2@17)");
  EXPECT_EQ(after("Sector: 3, 4 (2@17)"),
            "Node: 0.250000, 0.500000 (ID: 7) Clicked: 0.250000, 0.500000");
  model.document.streetNodes.nodes[0].x = 0.75f;  // no node exactly where the click was
  EXPECT_EQ(after("Sector: 3, 4 (2@17)"), "Vertex: 1 (Index: 0, friends 1)");
  model.selection.currentGroup = 2;  // a building browsed: the polygon again
  EXPECT_EQ(after("allx1.500000 zoom4.000000 Z3800 X0 Y0 graphZ0"), "Polygon: 0 (Vertices: 3)");
}

TEST_F(Status, DuringTypedEntryTheGraphPaperNumbersTheTypedCorners) {
  model.settings.view.graphPaper = true;
  model.selection.currentModule = 0;
  model.selection.currentInstance = 1;
  model.selection.currentPolygon = 0;
  inputs.width = 800;
  inputs.height = 600;
  frame.camera.view = lookAtRH({10, 0, 10}, {10, 0, 0}, {0, 1, 0});
  frame.camera.projection = viewportProjection(800.0f / 600.0f);
  auto numbers = [&] {
    std::vector<StatusLine> out;
    for (const StatusLine& line : status()) {
      if (line.font == StatusFont::large && line.x != 2) out.push_back(line);
    }
    return out;
  };
  const std::vector<StatusLine> corners = numbers();
  ASSERT_EQ(texts(corners), (std::vector<std::string>{"1", "2", "3"}));
  for (const StatusLine& n : corners) {
    EXPECT_EQ(n.colour, statusYellow);
    EXPECT_TRUE(n.x > 0 && n.x < 800 && n.y > 0 && n.y < 600) << n.text;
  }

  // The typed corners land where the polygon's corners at the same places were numbered; the
  // corner still being typed is not numbered.
  editing.entryActive = true;
  editing.entry.sides = 4;
  editing.entry.vertexIndex = 2;
  editing.entry.vertices = {Vec3{0, 1, 0}, Vec3{1, 1, 0}, Vec3{9, 9, 9}, Vec3{}};
  const std::vector<StatusLine> typed = numbers();
  ASSERT_EQ(texts(typed), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(std::pair(typed[0].x, typed[0].y), std::pair(corners[1].x, corners[1].y));
  EXPECT_EQ(std::pair(typed[1].x, typed[1].y), std::pair(corners[2].x, corners[2].y));
}

// The title is derived from the document whenever it is shown; the modified mark is part of the
// statistics.
TEST(WindowTitle, FollowsTheModifiedFlagOfTheDocumentKind) {
  Model model;
  model.settings.view.statistics = true;
  model.document.kind = DocumentKind::asmfile;
  model.document.documentPath = "ships\\a.asm";
  EXPECT_EQ(windowTitleFor(model), "Tessarim - ships\\a.asm");
  model.status.documentModified = true;
  EXPECT_EQ(windowTitleFor(model), "Tessarim - ships\\a.asm*");
  model.settings.view.statistics = false;
  EXPECT_EQ(windowTitleFor(model), "Tessarim - ships\\a.asm");
  model.settings.view.statistics = true;
  model.document.kind = DocumentKind::wldfile;
  model.document.wldfiles = 1;
  model.document.module[0].filename = "meshes\\m.wld";
  model.document.module[0].modified = 0;
  EXPECT_EQ(windowTitleFor(model), "Tessarim - meshes\\m.wld");
  model.document.module[0].modified = 1;
  EXPECT_EQ(windowTitleFor(model), "Tessarim - meshes\\m.wld*");
  model.document.module[0].filename.clear();
  EXPECT_EQ(windowTitleFor(model), "Tessarim");
}

}  // namespace
}  // namespace tessarim
