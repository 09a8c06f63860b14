#include "render/status_text.hpp"

#include <gtest/gtest.h>

#include "model/model.hpp"
#include "render/frame.hpp"

namespace tessarim {
namespace {

std::vector<std::string> texts(const std::vector<StatusLine>& lines) {
  std::vector<std::string> out;
  for (const StatusLine& line : lines) out.push_back(line.text);
  return out;
}

struct Status : ::testing::Test {
  Status() {
    model.settings.asmfile = true;
    model.wldfiles = 1;
    Module& m = model.module[0];
    m.filename = "meshes\\hull.wld";
    m.vertices = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    Polygon p;
    p.sides = 3;
    p.vertexIndex = {0, 1, 2, 0};
    p.cornerFriends = {1, 2, 1, 0};
    m.polygons = {p};
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
  std::vector<std::string> lines() { return texts(statusLines(model, frame, inputs)); }

  Model model;
  FrameState frame;
  StatusInputs inputs;
};

TEST_F(Status, AnInstanceCurrentWithoutAPolygon) {
  model.selection.currentModule = 0;
  model.selection.currentInstance = 1;
  model.module[0].modified = 1;
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
  const std::vector<StatusLine> all = statusLines(model, frame, inputs);
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

TEST_F(Status, TexelViewCornersAndMouseHelp) {
  model.settings.view.texelView = true;
  model.selection.currentModule = 0;
  model.selection.currentInstance = 0;
  model.selection.currentPolygon = 0;
  model.module[0].canvasWidth = model.module[0].canvasHeight = 1024;
  model.module[0].polygons[0].texels[0] = {0.5f, 0.25f};
  model.module[0].maps[textfile] = "textures\\hull.png";
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
    model.settings.asmfile = c.asmfile;
    model.selection.currentPolygon = static_cast<std::int16_t>(c.polygon);
    model.selection.selectedInstanceCount = static_cast<std::int16_t>(c.instances);
    model.selection.selectedPolygons = {0, 1};
    EXPECT_EQ(lines().back(), c.last);
  }
  model.wldfiles = 0;
  model.selection.currentPolygon = -1;
  EXPECT_EQ(lines().back(), "No meshes in memory...");
}

TEST(WindowTitle, FollowsTheModifiedFlagOfTheDocumentKind) {
  Model model;
  FrameState frame;
  model.settings.asmfile = true;
  model.settings.documentPath = "ships\\a.asm";
  updateWindowTitle(model, frame);
  EXPECT_EQ(model.status.windowTitle, "Tessarim - ships\\a.asm");
  model.status.documentModified = true;
  updateWindowTitle(model, frame);
  EXPECT_EQ(model.status.windowTitle, "Tessarim - ships\\a.asm*");
  model.settings.asmfile = false;
  model.wldfiles = 1;
  model.module[0].filename = "meshes\\m.wld";
  model.module[0].modified = 0;
  updateWindowTitle(model, frame);
  EXPECT_EQ(model.status.windowTitle, "Tessarim - meshes\\m.wld");
}

}  // namespace
}  // namespace tessarim
