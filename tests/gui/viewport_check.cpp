#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

#include "commands/menu_state.hpp"
#include "editor/editor.hpp"
#include "editor/frame.hpp"
#include "editor/lifecycle.hpp"
#include "editor/status_text.hpp"
#include "gl/gl_textures.hpp"
#include "main_window.hpp"
#include "maths/maths.hpp"
#include "model/geometry.hpp"
#include "model/model.hpp"
#include "pixel_checks.hpp"
#include "render/instance_draw.hpp"
#include "support/temp_repo.hpp"
#include "viewport.hpp"

namespace tessarim {
namespace {

using testing::near;
using testing::NoMenu;

// The sample repository copied, and the editor started on its assembly as the program does.
struct StartedEditor {
  explicit StartedEditor(const char* document = "ships/crate-stack.asm") {
    std::filesystem::copy(TESSARIM_DEMO, repo.root, std::filesystem::copy_options::recursive);
    repo.store.writeString(mainKey, "RepoPath", repo.root.string() + "/");
    EXPECT_TRUE(startEditor(editor, (repo.root / document).string()));
    window = std::make_unique<MainWindow>(editor);
    openStartupDocument(editor);
    bool drawn = false;
    window->viewport().onFirstFrame = [&drawn] { drawn = true; };
    window->frame();
    window->show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return drawn; }, 10000));
  }
  ~StartedEditor() { std::filesystem::current_path(saved); }

  std::filesystem::path saved = std::filesystem::current_path();
  testing::TempRepo repo;
  Editor editor{Session{repo.model, repo.repository, repo.ui, repo.store, repo.clock}};
  std::unique_ptr<MainWindow> window;
};

void saveScreenshot(const QImage& image, const char* name) {
  std::filesystem::create_directories(TESSARIM_SCREENSHOTS);
  image.save(QString(TESSARIM_SCREENSHOTS) + "/" + name + ".png");
}

TEST(Viewport, ClearsToTheBackgroundColourScaledByAmbient) {
  StartedEditor started;
  EXPECT_EQ(started.window->windowTitle(), "Tessarim - ships\\crate-stack.asm");
  EXPECT_TRUE(started.repo.ui.boxes.empty())
      << started.repo.ui.boxes[0].text;  // the sample is clean

  // A corner far from the sample's meshes and from the status text.
  QImage frame = started.window->viewport().grabFramebuffer();
  ASSERT_FALSE(frame.isNull());
  saveScreenshot(frame, "sample-frame");
  const QPoint corner(frame.width() - 5, 30);
  const QRgb clear = frame.pixel(corner);
  EXPECT_EQ(qRed(clear), 0xF9);
  EXPECT_EQ(qGreen(clear), 0xCE);
  EXPECT_EQ(qBlue(clear), 0x71);

  started.editor.frame.ambient = 0.5f;
  started.window->viewport().update();
  QTest::qWait(100);
  frame = started.window->viewport().grabFramebuffer();
  const QRgb dimmed = frame.pixel(corner);
  EXPECT_EQ(qRed(dimmed), 0x7D);  // 249 x 0.5 = 124.5, rounded up
  EXPECT_EQ(qGreen(dimmed), 0x67);
  EXPECT_EQ(qBlue(dimmed), 0x39);

  // The window shows the frame opaque: its alpha (0 in this colour) must not let the window's
  // own background through.
  started.editor.frame.ambient = 1;
  started.window->viewport().update();
  QTest::qWait(100);
  const QImage window = started.window->grab().toImage();
  const QPoint at = started.window->viewport().geometry().topLeft() + corner;
  EXPECT_EQ(window.pixel(at) & 0xFFFFFF, 0xF9CE71u);
  saveScreenshot(window, "sample-assembly");
}

// An edit shows in the picture; Ctrl+Shift+Z in the window brings back the picture from before
// it, and Ctrl+Y the edited one.
TEST(Viewport, UndoEditAndRedoEditBringBackTheirPictures) {
  StartedEditor started;
  Model& model = started.repo.model;
  model.selection = Selection{};           // no highlight pulses between the pictures
  model.settings.view.statistics = false;  // nor frame rates
  started.window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(started.window.get()));
  const auto picture = [&] {
    QTest::qWait(400);  // frames run, the menu refresh among them
    started.window->frame();
    started.window->viewport().update();
    QTest::qWait(50);
    return started.window->viewport().grabFramebuffer();
  };
  const QImage before = picture();
  {
    Edit edit(model, started.editor.history, "Stretch");
    for (Vertex& v : edit.module(0).vertices) v.z *= 2;
    edit.commit();
  }
  const QImage edited = picture();
  ASSERT_NE(edited, before) << "the edit shows";
  saveScreenshot(edited, "edit-stretched");

  QTest::keyClick(started.window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(picture(), before);
  QTest::keyClick(started.window.get(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(picture(), edited);
}

// A newcomer's first minutes: a right click takes a crate, a left click one of its faces,
// Ctrl and a right click a second crate; the arrow keys move both and Ctrl+Shift+Z puts them
// back; a triangle typed after Ins appears in the picture.
TEST(Viewport, ClicksSelectKeysNudgeAndATypedTriangleAppears) {
  StartedEditor started;
  Model& model = started.repo.model;
  Editor& editor = started.editor;
  ViewportWidget& viewport = started.window->viewport();
  started.window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(started.window.get()));
  // Frames run, the menu refresh among them (every 0.3 s): keys follow the menu's enabling, as
  // a person's next key, a moment later, does.
  const auto settle = [&] {
    QTest::qWait(350);
    started.window->frame();
    viewport.update();
    QTest::qWait(50);
  };
  // A still picture: nothing selected pulses, no frame rate changes.
  const auto stillPicture = [&] {
    const Selection kept = model.selection;
    model.selection = Selection{};
    model.settings.view.statistics = false;
    settle();
    const QImage image = viewport.grabFramebuffer();
    model.selection = kept;
    model.settings.view.statistics = true;
    return image;
  };
  settle();
  const Module& crate = model.document.module[0];
  ASSERT_EQ(crate.instances.size(), 3u);
  const auto centreOf = [&](int instance) {
    const Camera& c = editor.frame.camera;
    const Vec3 p =
        project({0, 0, 0}, c.viewport, c.projection, c.view, crate.instances[instance].worldMatrix);
    return QPoint(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)));
  };
  const QImage before = stillPicture();
  const QPoint first = centreOf(1), second = centreOf(2);

  QTest::mouseClick(&viewport, Qt::RightButton, Qt::NoModifier, first);
  EXPECT_EQ(model.selection.currentModule, 0);
  ASSERT_EQ(model.selection.currentInstance, 1);
  QTest::mouseClick(&viewport, Qt::LeftButton, Qt::NoModifier, first);
  const int face = model.selection.currentPolygon;
  ASSERT_GE(face, 0) << "a face of the crate under the pointer";
  const std::vector<StatusLine> lines =
      statusLines(model, editor.frame, editor.scene, editor.editing, StatusInputs{});
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const StatusLine& l) {
    return l.text == "Polygon: " + std::to_string(face) + " (Vertices: 4)";
  }));
  // The picked face's outline pulses; with nothing selected the crate holds still.
  const auto pulsingPixels = [&] {
    std::vector<QImage> grabs;
    for (int k = 0; k < 5; ++k) {
      settle();
      grabs.push_back(viewport.grabFramebuffer());
    }
    int pulsing = 0;
    for (int y = first.y() - 40; y <= first.y() + 40; ++y) {
      for (int x = first.x() - 40; x <= first.x() + 40; ++x) {
        for (const QImage& g : grabs) {
          if (g.pixel(x, y) != grabs[0].pixel(x, y)) {
            ++pulsing;
            break;
          }
        }
      }
    }
    return pulsing;
  };
  model.settings.view.statistics = false;
  EXPECT_GT(pulsingPixels(), 20) << "the highlight pulses";
  const Selection picked = model.selection;
  model.selection = Selection{};
  EXPECT_EQ(pulsingPixels(), 0);
  model.selection = picked;
  model.settings.view.statistics = true;
  saveScreenshot(viewport.grabFramebuffer(), "face-picked");

  QTest::mouseClick(&viewport, Qt::RightButton, Qt::ControlModifier, second);
  settle();
  ASSERT_EQ(model.selection.selectedInstances.size(), 2u);
  EXPECT_EQ(model.selection.selectedInstances[0].instance, 1);
  EXPECT_EQ(model.selection.selectedInstances[1].instance, 2);

  const float x1 = crate.instances[1].location[0], x2 = crate.instances[2].location[0];
  QTest::keyClick(started.window.get(), Qt::Key_Right);
  QTest::keyClick(started.window.get(), Qt::Key_Up);
  settle();
  EXPECT_EQ(crate.instances[1].location[0], x1 + 1);
  EXPECT_EQ(crate.instances[2].location[0], x2 + 1);
  EXPECT_EQ(crate.instances[2].location[1], 1);
  EXPECT_NE(stillPicture(), before) << "the crates moved in the picture";
  saveScreenshot(viewport.grabFramebuffer(), "crates-nudged");
  // Each key waits for the menu refresh, which enables Undo Edit.
  QTest::keyClick(started.window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  settle();
  QTest::keyClick(started.window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  settle();
  EXPECT_EQ(crate.instances[1].location[0], x1);
  EXPECT_EQ(crate.instances[2].location[1], 0);
  EXPECT_EQ(stillPicture(), before);

  // A triangle over the picked face, half as far out again, so that it shows in front of it.
  QTest::mouseClick(&viewport, Qt::RightButton, Qt::NoModifier, first);
  settle();
  const Polygon facePolygon = crate.polygons[static_cast<std::size_t>(face)];
  QTest::keyClick(started.window.get(), Qt::Key_Insert);
  ASSERT_TRUE(editor.editing.entryActive);
  const auto typeField = [&](const QString& text) {
    QTest::keyClicks(started.window.get(), text);
    QTest::keyClick(started.window.get(), Qt::Key_Return);
  };
  typeField("3");
  for (int k = 0; k < 3; ++k) {
    const Vertex& v = crate.vertices[facePolygon.vertexIndex[static_cast<std::size_t>(k)]];
    for (const float value : {v.x, v.y, v.z}) typeField(QString::number(value * 1.5f));
  }
  settle();
  saveScreenshot(viewport.grabFramebuffer(), "triangle-typed");
  QTest::keyClick(started.window.get(), Qt::Key_Return);
  EXPECT_FALSE(editor.editing.entryActive);
  ASSERT_EQ(crate.polygons.size(), 7u);
  EXPECT_EQ(crate.polygons.back().sides, 3);
  const QImage withTriangle = stillPicture();
  EXPECT_NE(withTriangle, before) << "the triangle shows";
  saveScreenshot(withTriangle, "triangle-added");
}

// A command chosen from the real menu changes the picture; Ctrl+Shift+Z brings the picture back.
TEST(Viewport, ACommandFromTheMenuShowsAndUndoEditTakesItBack) {
  StartedEditor started;
  Model& model = started.repo.model;
  ViewportWidget& viewport = started.window->viewport();
  started.window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(started.window.get()));
  model.settings.view.statistics = false;
  const auto picture = [&] {
    QTest::qWait(400);  // the menu refresh runs among the frames
    started.window->frame();
    viewport.update();
    QTest::qWait(50);
    const Selection kept = model.selection;
    model.selection = Selection{};  // no pulsing highlight in the picture
    const QImage image = viewport.grabFramebuffer();
    model.selection = kept;
    return image;
  };
  const QImage before = picture();
  // Every face of the middle crate: turned inside out, culling shows its far sides instead.
  model.selection.currentModule = 0;
  model.selection.currentInstance = 1;
  model.selection.currentPolygon = -1;
  picture();
  QAction* backface = nullptr;
  for (QAction* menu : started.window->menuBar()->actions()) {
    if (menu->text() != "&POLYGON") continue;
    for (QAction* item : menu->menu()->actions()) {
      if (item->text().startsWith("&Backface")) backface = item;
    }
  }
  ASSERT_NE(backface, nullptr);
  ASSERT_TRUE(backface->isEnabled());
  backface->trigger();
  const QImage turned = picture();
  EXPECT_NE(turned, before);
  saveScreenshot(turned, "backface-from-menu");
  QTest::keyClick(started.window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(picture(), before);
}

TEST(Viewport, TheSampleCrateDrawsWithItsBaseMap) {
  StartedEditor started("meshes/crate.wld");
  EXPECT_TRUE(started.repo.ui.boxes.empty()) << started.repo.ui.boxes[0].text;
  // Turned a little so that three faces show.
  Camera& camera = started.editor.frame.camera;
  camera.sceneRotation = multiply(rotationZ(pi), multiply(rotationY(0.6f), rotationX(0.5f)));
  started.window->frame();
  started.window->viewport().update();
  QTest::qWait(100);
  const QImage frame = started.window->viewport().grabFramebuffer();
  saveScreenshot(frame, "sample-crate");
  EXPECT_TRUE(hasMap(started.editor.frame, 0, textfile));
}

// A viewport alone over a document built in the test: an assembly of one module whose only
// polygon is a 2 x 2 square around the origin, facing the eye (or away with `reversed`).
struct Scene {
  // vehicleProgram: the text of a studio vehicle program placed in TempPath first.
  explicit Scene(bool reversed = false, const std::string& vehicleProgram = {}) {
    if (!vehicleProgram.empty()) {
      repo.write("temp/VehicleShader.glsl", vehicleProgram);
      editor.user.tempPath = (repo.root / "temp").string();
    }
    Model& m = repo.model;
    m.document.kind = DocumentKind::asmfile;
    m.document.documentPath = "ships\\test.asm";
    m.document.wldfiles = 1;
    Module& module = m.document.module[0];
    module.filename = "meshes\\square.wld";
    module.vertices = {{-1, -1, 0}, {-1, 1, 0}, {1, 1, 0}, {1, -1, 0}};
    Polygon p;
    p.sides = 4;
    p.vertexIndex = reversed ? std::array<std::uint32_t, 4>{3, 2, 1, 0}
                             : std::array<std::uint32_t, 4>{0, 1, 2, 3};
    p.colour = {0.8f, 0.4f, 0.2f, 1};
    p.texels = {Texel{0, 0}, Texel{0, 0.25f}, Texel{0.25f, 0.25f}, Texel{0.25f, 0}};
    module.polygons = {p};
    module.canvasWidth = module.canvasHeight = module.canvasWidth2 = module.canvasHeight2 = 2048;
    module.instances.resize(1);
    m.status.geometryDirty = true;
    m.status.texturesLoaded = false;
    m.selection = Selection{};
    m.settings.view.statistics = false;
    computeStatistics(m);  // as reading a document does
    initMenuState(editor);
    viewport = std::make_unique<ViewportWidget>(editor);
    viewport->resize(400, 300);
    viewport->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(viewport.get()));
  }

  // One frame move and a drawn frame.
  QImage draw() {
    refreshMenuState(editor, 0.016f, menu);
    frameMove(frameParts(editor), 0.016f);
    return viewport->grabFramebuffer();
  }

  testing::TempRepo repo;
  Editor editor{Session{repo.model, repo.repository, repo.ui, repo.store, repo.clock}};
  NoMenu menu;
  std::unique_ptr<ViewportWidget> viewport;
};

// Whether any pixel of the row has the colour.
bool rowHas(const QImage& image, int y, int r, int g, int b) {
  for (int x = 0; x < image.width(); ++x) {
    if (near(image.pixel(x, y), r, g, b, 1)) return true;
  }
  return false;
}

constexpr int backgroundR = 0xF9, backgroundG = 0xCE, backgroundB = 0x71;
// The square's colour lit by a sun straight behind the eye: colour x the vehicle pass's tint
// (0.96862745, 1, 0.94117647).
constexpr int litR = 198, litG = 102, litB = 48;

TEST(ViewportDrawing, APolygonFacingTheEyeShowsItsLitFlatColourAtItsCentre) {
  Scene scene;
  const QImage image = scene.draw();
  saveScreenshot(image, "flat-square");
  const QRgb centre = image.pixel(image.width() / 2, image.height() / 2);
  EXPECT_TRUE(near(centre, litR, litG, litB)) << std::hex << centre;
  EXPECT_TRUE(near(image.pixel(5, 5), backgroundR, backgroundG, backgroundB))
      << std::hex << image.pixel(5, 5);
}

TEST(ViewportDrawing, BackFacesAreCulledOnlyWhileCullingIsOn) {
  Scene scene(true);
  QImage image = scene.draw();
  const QPoint centre(image.width() / 2, image.height() / 2);
  EXPECT_TRUE(near(image.pixel(centre), backgroundR, backgroundG, backgroundB))
      << std::hex << image.pixel(centre);

  scene.repo.model.settings.view.backfaceCulling = false;
  image = scene.draw();
  saveScreenshot(image, "back-face-unculled");
  // The back face is lit from behind it: the sun term is zero and nothing else lights it.
  EXPECT_TRUE(near(image.pixel(centre), 0, 0, 0)) << std::hex << image.pixel(centre);
}

TEST(ViewportDrawing, WireframesDrawEdgesInVertexColoursAndNoFill) {
  Scene scene;
  scene.repo.model.settings.view.wireframes = true;
  const QImage image = scene.draw();
  saveScreenshot(image, "wireframe");
  const int middle = image.height() / 2;
  EXPECT_TRUE(near(image.pixel(image.width() / 2, middle), backgroundR, backgroundG, backgroundB));
  // The row through the middle crosses the square's left and right edges and its diagonal.
  EXPECT_TRUE(rowHas(image, middle, 204, 102, 51));
}

TEST(ViewportDrawing, TheCurrentInstanceGetsAPulsingWireframeOverItsFill) {
  Scene scene;
  Selection& s = scene.repo.model.selection;
  s.currentModule = 0;
  s.currentInstance = 0;
  scene.editor.frame.blink = 0;
  scene.editor.frame.blinkRising = true;
  const QImage image = scene.draw();
  saveScreenshot(image, "highlighted");
  EXPECT_TRUE(scene.editor.frame.animating);  // the pulse needs every frame drawn
  const int middle = image.height() / 2;
  // The fill is still there, and the diagonal or the edges show the grey and pulse colours.
  EXPECT_TRUE(near(image.pixel(image.width() / 2 + 7, middle + 20), litR, litG, litB));
  bool lineSeen = false;
  for (int x = 0; x < image.width() && !lineSeen; ++x) {
    const QRgb p = image.pixel(x, middle);
    lineSeen = qRed(p) > 150 && qGreen(p) < 90 && qBlue(p) < 90 && !near(p, litR, litG, litB, 6);
    lineSeen = lineSeen || (qRed(p) == qGreen(p) && qGreen(p) == qBlue(p) && qRed(p) > 90);
  }
  EXPECT_TRUE(lineSeen);
}

TEST(ViewportDrawing, TheCurrentInstancesBoundingSphereIsAWireframeThatForcesBlue) {
  Scene scene;
  scene.repo.model.selection.currentModule = 0;
  scene.repo.model.selection.currentInstance = 0;
  scene.repo.model.selection.currentPolygon =
      5;  // out of range: cleared, then the whole instance is current
  // Off the origin, so that its sphere and the scene-extent sphere do not share their lines.
  scene.repo.model.document.module[0].instances[0].location = {0.5f, 0, 0};
  computeStatistics(scene.repo.model);
  auto countBlueLines = [](const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); y += 3) {
      for (int x = 0; x < image.width(); ++x) {
        if (near(image.pixel(x, y), backgroundR, backgroundG, 0xFF, 1)) ++count;
      }
    }
    return count;
  };
  EXPECT_EQ(countBlueLines(scene.draw()), 0);
  scene.repo.model.settings.view.boundingSpheres = true;
  const QImage image = scene.draw();
  saveScreenshot(image, "bounding-sphere");
  // Source colour over inverse source colour with (0, 0, 1, 0): blue becomes full, red and green
  // keep the background's.
  EXPECT_GT(countBlueLines(image), 0);
}

// The texel view of the scene's square, its instance current.
void showTexelView(Scene& scene) {
  Model& m = scene.repo.model;
  m.selection.currentModule = 0;
  m.selection.currentInstance = 0;
  m.settings.view.texelView = true;
  m.status.geometryDirty = true;  // as the toggle leaves it
}

TEST(ViewportDrawing, TheTexelViewShowsTheGreyCanvasInsideItsRedBorder) {
  Scene scene;
  showTexelView(scene);
  const QImage image = scene.draw();
  saveScreenshot(image, "texel-view");
  // The polygon lies in the canvas's top-left quarter; the middle is bare canvas.
  EXPECT_TRUE(near(image.pixel(image.width() / 2, image.height() / 2), 0x80, 0x80, 0x80));
  bool border = false;
  for (int y = 0; y < image.height() && !border; ++y) border = rowHas(image, y, 255, 0, 0);
  EXPECT_TRUE(border);
  EXPECT_TRUE(near(image.pixel(2, image.height() / 2), backgroundR, backgroundG, backgroundB));
}

TEST(ViewportDrawing, TheTexelViewMarksTheArmedSourceEdgeAndEverySelectedPolygon) {
  Scene scene;
  Model& m = scene.repo.model;
  showTexelView(scene);
  FrameState& f = scene.editor.frame;
  // Pixels of the frame within a rounding step of the colour (channels 0..1).
  auto count = [](const QImage& image, float r, float g, float b) {
    auto byte = [](float c) { return static_cast<int>(c * 255 + 0.5f); };
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x)
        n += near(image.pixel(x, y), byte(r), byte(g), byte(b));
    }
    return n;
  };
  struct Case {
    bool armed;
    int polygon;
  } cases[] = {{false, -1}, {true, -1}, {false, -2}};
  for (const Case& c : cases) {
    scene.editor.editing.sourceEdgeSet = c.armed;
    // Across the canvas's lower right, away from the polygon.
    scene.editor.editing.sourceEdgeTexels = {0.5f, 0.5f, 0.9f, 0.9f};
    m.selection.currentPolygon = static_cast<std::int16_t>(c.polygon);
    m.selection.selectedPolygons = {0};
    f.blink = 0.5f;  // the pulse and the highlight grey then differ from everything else drawn
    f.blinkRising = true;
    const QImage image = scene.draw();
    const std::string label = std::to_string(c.armed) + std::to_string(c.polygon);
    if (c.armed) saveScreenshot(image, "texel-source-edge");
    const Float4 pulse = pulseColour(f.blink);
    const float grey = 0.4f + 0.6f * f.blink;
    if (c.armed) {
      EXPECT_GT(count(image, pulse[0], pulse[1], pulse[2]), 20) << label;
    } else {
      EXPECT_EQ(count(image, pulse[0], pulse[1], pulse[2]), 0) << label;
    }
    // The selected polygon is filled again in the highlight grey.
    if (c.polygon == -2) {
      EXPECT_GT(count(image, grey, grey, grey), 100) << label;
    } else {
      EXPECT_EQ(count(image, grey, grey, grey), 0) << label;
    }
  }
}

TEST(ViewportDrawing, AMissingMapKeepsItsNameAndIsAnnouncedOnce) {
  Scene scene;
  Module& module = scene.repo.model.document.module[0];
  module.maps[textfile] = "textures\\gone.png";
  scene.repo.model.status.texturesLoaded = false;  // as a map command leaves it
  const QImage image = scene.draw();
  ASSERT_EQ(scene.repo.ui.boxes.size(), 1u);
  EXPECT_EQ(scene.repo.ui.boxes[0].caption, "Texture map notification!");
  EXPECT_EQ(scene.repo.ui.boxes[0].text,
            "Could not find 1 texel map(s) or file(s) are in use...\n\ntextures\\gone.png "
            "(meshes\\square.wld)\n");
  EXPECT_EQ(module.maps[textfile], "textures\\gone.png");
  EXPECT_EQ(module.modified, 0);
  // Drawn as if it had no base map: the vertex colour, lit.
  EXPECT_TRUE(near(image.pixel(image.width() / 2, image.height() / 2), litR, litG, litB));
  scene.repo.model.status.texturesLoaded = false;
  scene.draw();
  EXPECT_EQ(scene.repo.ui.boxes.size(), 1u);
}

TEST(ViewportDrawing, ALoadedBaseMapColoursThePolygon) {
  Scene scene;
  QImage red(2048, 2048, QImage::Format_RGB32);
  red.fill(QColor(255, 0, 0));
  ASSERT_TRUE(red.save(QString::fromStdString((scene.repo.root / "red.png").string())));
  scene.repo.model.document.module[0].maps[textfile] = "red.png";
  scene.repo.model.status.texturesLoaded = false;
  const QImage image = scene.draw();
  saveScreenshot(image, "textured");
  EXPECT_TRUE(scene.repo.ui.boxes.empty());
  // Base map red times the sunlight tint's red.
  EXPECT_TRUE(near(image.pixel(image.width() / 2, image.height() / 2), 247, 0, 0));
}

TEST(ViewportDrawing, TheStatusTextIsDrawnOverTheFrame) {
  Scene scene;
  scene.repo.model.settings.view.statistics = true;
  const QImage image = scene.draw();
  saveScreenshot(image, "status-text");
  // The first line (frame statistics) is yellow at the top left.
  bool yellow = false;
  for (int y = 0; y < 20 && !yellow; ++y) {
    for (int x = 0; x < 200 && !yellow; ++x) yellow = near(image.pixel(x, y), 255, 255, 0, 40);
  }
  EXPECT_TRUE(yellow);
  EXPECT_EQ(windowTitleFor(scene.editor.model()), "Tessarim - ships\\test.asm");
}

TEST(ViewportDrawing, TheAmbientSliderDimsTheBackgroundWhileTheTimeOfDaySlidersAreOn) {
  Scene scene;
  auto shownSliders = [&] {
    std::vector<QSlider*> shown;
    for (QSlider* slider : scene.viewport->findChildren<QSlider*>()) {
      if (slider->isVisible()) shown.push_back(slider);
    }
    return shown;
  };
  scene.draw();
  EXPECT_TRUE(shownSliders().empty());
  scene.repo.model.settings.view.lightingSliders = true;
  scene.draw();
  const std::vector<QSlider*> shown = shownSliders();
  ASSERT_EQ(shown.size(), 3u);  // ambient, wetness and fog
  // The ambient slider sits 32 pixels below the panel's origin, 65 above the bottom.
  QSlider* ambient = nullptr;
  for (QSlider* slider : shown) {
    if (slider->y() == scene.viewport->height() - 65 + 32) ambient = slider;
  }
  ASSERT_NE(ambient, nullptr);
  EXPECT_EQ(ambient->x(), 20);
  EXPECT_EQ(ambient->value(), 100);
  ambient->setValue(50);
  const QImage image = scene.draw();
  saveScreenshot(image, "ambient-half");
  EXPECT_TRUE(near(image.pixel(5, 5), 0x7D, 0x67, 0x39, 1)) << std::hex << image.pixel(5, 5);
  EXPECT_EQ(scene.editor.frame.sliders.caption[static_cast<int>(SliderId::ambient)],
            "Ambient (50%)");
}

TEST(ViewportDrawing, GlowInstancesAreBlurredOverTheFrameAndNotDrawnInTheScene) {
  Scene scene;
  scene.repo.model.document.module[0].instances[0].type = 27;
  const QImage image = scene.draw();
  saveScreenshot(image, "glow");
  // Inside the square the blur of a uniform colour is that colour, laid over by its alpha.
  EXPECT_TRUE(near(image.pixel(image.width() / 2, image.height() / 2), litR, litG, litB, 3));
  EXPECT_TRUE(near(image.pixel(5, 5), backgroundR, backgroundG, backgroundB));
  // Just outside the square's edge the glow fades into the background.
  const int edge = image.width() / 2;
  int x = edge;
  while (x < image.width() && near(image.pixel(x, image.height() / 2), litR, litG, litB, 3)) ++x;
  const QRgb halo = image.pixel(x + 2, image.height() / 2);
  EXPECT_FALSE(near(halo, backgroundR, backgroundG, backgroundB, 2)) << std::hex << halo;
}

TEST(ViewportDrawing, LightsShowAsAdditiveFlaresWhileDisplayed) {
  Scene scene;
  Model& m = scene.repo.model;
  m.document.lightCount = 1;
  m.document.lights[0].position = {0, 0, 0.5f};  // in front of the square
  m.document.lights[0].normal = {0, 0, 1};
  m.document.lights[0].colour = 0xFF0000FF;
  m.settings.view.animateLights = false;
  const QPoint centre(200, 150);
  EXPECT_TRUE(near(scene.draw().pixel(centre), litR, litG, litB));
  m.settings.view.showLights = true;
  const QImage image = scene.draw();
  saveScreenshot(image, "light");
  // Blue flare added to the square: blue rises, red stays.
  EXPECT_GT(qBlue(image.pixel(centre)), litB + 100);
  EXPECT_EQ(qRed(image.pixel(centre)), litR);
}

TEST(ViewportDrawing, AnEmptyDocumentClearsToTheBackground) {
  Scene scene;
  scene.repo.model.document.module[0].instances.clear();
  scene.repo.model.status.geometryDirty = true;
  const QImage image = scene.draw();
  EXPECT_EQ(scene.editor.frame.sceneExtent, 0);
  EXPECT_TRUE(near(image.pixel(image.width() / 2, image.height() / 2), backgroundR, backgroundG,
                   backgroundB));
}

TEST(ViewportDrawing, GraphPaperAndNormalsOverTheCurrentModule) {
  Scene scene;
  Model& m = scene.repo.model;
  m.selection.currentModule = 0;
  m.selection.currentInstance = 0;
  m.selection.currentPolygon = 0;
  m.settings.view.graphPaper = true;
  m.settings.view.showNormals = true;
  m.settings.view.statistics = true;
  const QImage image = scene.draw();
  saveScreenshot(image, "graph-paper-normals");
  // Normal lines are yellow (0x00FFFF00, drawn unblended).
  bool yellow = false;
  for (int y = 0; y < image.height() && !yellow; ++y) yellow = rowHas(image, y, 255, 255, 0);
  EXPECT_TRUE(yellow);
}

TEST(MapFiles, EveryTerrainFormatDecodes) {
  testing::TempRepo repo;
  QImage two(2, 1, QImage::Format_RGB32);
  two.setPixel(0, 0, qRgb(10, 20, 30));
  two.setPixel(1, 0, qRgb(200, 100, 50));
  for (const char* format : {"bmp", "png", "ppm"}) {
    ASSERT_TRUE(two.save(
        QString::fromStdString((repo.root / (std::string("map.") + format)).string()), format));
  }
  // JPEG shares colour between neighbours: one colour throughout.
  QImage even(2, 1, QImage::Format_RGB32);
  even.fill(qRgb(200, 100, 50));
  ASSERT_TRUE(even.save(QString::fromStdString((repo.root / "map.jpg").string()), "jpg", 100));
  // Uncompressed true-colour TGA, bottom-up rows, B G R.
  repo.write("map.tga", std::string("\0\0\x02\0\0\0\0\0\0\0\0\0\x02\0\x01\0\x18\0", 18) +
                            std::string("\x1E\x14\x0A\x32\x64\xC8", 6));
  // Radiance HDR, flat RGBE pixels: (0, 0, 0) and (1, 0.5, 0).
  repo.write("map.hdr", std::string("#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 1 +X 2\n") +
                            std::string("\x00\x00\x00\x00\x80\x40\x00\x81", 8));
  struct Case {
    const char* file;
    int r, g, b, tolerance;
  } cases[] = {{"map.bmp", 200, 100, 50, 0}, {"map.png", 200, 100, 50, 0},
               {"map.ppm", 200, 100, 50, 0}, {"map.jpg", 200, 100, 50, 3},
               {"map.tga", 200, 100, 50, 0}, {"map.hdr", 255, 186, 0, 2}};
  for (const Case& c : cases) {
    const auto image = decodeImageFile((repo.root / c.file).string());
    ASSERT_TRUE(image) << c.file;
    ASSERT_EQ(image->width, 2) << c.file;
    const std::uint8_t* p = &image->pixels[4];
    EXPECT_NEAR(p[0], c.r, c.tolerance) << c.file;
    EXPECT_NEAR(p[1], c.g, c.tolerance) << c.file;
    EXPECT_NEAR(p[2], c.b, c.tolerance) << c.file;
  }
  EXPECT_FALSE(decodeImageFile((repo.root / "missing.png").string()));
}

TEST(ViewportDrawing, TheVehicleProgramComesFromTempPathOrTheEditorsOwn) {
  const std::string green = R"(
#ifdef VERTEX
layout(location = 0) in vec3 inPosition;
uniform mat4 matWorldViewProj;
void main() { gl_Position = matWorldViewProj * vec4(inPosition, 1.0); }
#else
out vec4 colour;
void main() { colour = vec4(0.0, 1.0, 0.0, 1.0); }
#endif
)";
  struct Case {
    std::string program;
    int r, g, b;
    std::size_t boxes;
  } cases[] = {
      {green, 0, 255, 0, 0},
      {"this is not a shading program", 204, 102, 51, 1},  // reported once; the editor's own draws
      {"", 204, 102, 51, 0},
  };
  for (const Case& c : cases) {
    Scene scene(false, c.program);
    scene.repo.model.document.module[0].newScaleFamily = 1;
    const QImage image = scene.draw();
    const QRgb centre = image.pixel(image.width() / 2, image.height() / 2);
    EXPECT_TRUE(near(centre, c.r, c.g, c.b)) << c.program << " " << std::hex << centre;
    ASSERT_EQ(scene.repo.ui.boxes.size(), c.boxes) << c.program;
    if (c.boxes > 0) {
      EXPECT_EQ(scene.repo.ui.boxes[0].caption, "HLSL Error");
      EXPECT_EQ(scene.repo.ui.boxes[0].text.rfind(
                    "The shading program \"VehicleShader.glsl\" does not compile", 0),
                0u);
    }
  }
}

// Multisampling shows as pixels along the square's slanted edges that are neither the
// background nor the fill but a mix of the two.
TEST(ViewportDrawing, EdgesAreMultisampledOnlyWithProductionLightingAndItsSliders) {
  Scene scene;
  // Turned about the line of sight, so that no edge runs along a pixel row or column.
  scene.editor.frame.camera.sceneRotation = multiply(rotationZ(pi), rotationZ(0.3f));
  ViewOptions& view = scene.repo.model.settings.view;
  struct Case {
    bool productionLighting, lightingSliders, blended;
    QSize size;
  } cases[] = {
      {true, true, true, {400, 300}},   {false, false, false, {400, 300}},
      {true, false, false, {400, 300}}, {false, true, false, {400, 300}},
      {true, true, true, {360, 270}},  // after a resize the buffer is made again
  };
  // A frame with the status text first: its painter leaves multisampling switched off.
  view.statistics = true;
  scene.draw();
  view.statistics = false;
  for (const Case& c : cases) {
    view.productionLighting = c.productionLighting;
    view.lightingSliders = c.lightingSliders;
    scene.viewport->resize(c.size);
    const QImage image = scene.draw();
    ASSERT_EQ(image.size(), c.size);
    const QRgb background = image.pixel(5, 5) & 0xFFFFFF,
               fill = image.pixel(image.width() / 2, image.height() / 2) & 0xFFFFFF;
    ASSERT_NE(background, fill);
    int mixed = 0, between = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QRgb p = image.pixel(x, y) & 0xFFFFFF;
        if (p == background || p == fill) continue;
        ++mixed;
        auto within = [](int v, int a, int b) {
          return v >= std::min(a, b) - 1 && v <= std::max(a, b) + 1;
        };
        between += within(qRed(p), qRed(background), qRed(fill)) &&
                   within(qGreen(p), qGreen(background), qGreen(fill)) &&
                   within(qBlue(p), qBlue(background), qBlue(fill));
      }
    }
    const std::string label =
        std::to_string(c.productionLighting) + std::to_string(c.lightingSliders);
    if (c.blended) {
      if (c.size.width() == 400) saveScreenshot(image, "multisampled-edges");
      // The square's edges run some 600 pixels; at least a third of those pixels are mixed.
      EXPECT_GT(mixed, 200) << label;
      EXPECT_EQ(between, mixed) << label;
    } else {
      if (c.productionLighting) saveScreenshot(image, "single-sampled-edges");
      EXPECT_EQ(mixed, 0) << label;
    }
  }
  EXPECT_TRUE(scene.repo.ui.boxes.empty()) << scene.repo.ui.boxes[0].text;
}

}  // namespace
}  // namespace tessarim
