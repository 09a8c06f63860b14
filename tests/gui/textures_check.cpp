#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QTest>
#include <chrono>
#include <filesystem>

#include "commands/menu_state.hpp"
#include "editor/editor.hpp"
#include "editor/frame.hpp"
#include "editor/ground_pieces.hpp"
#include "editor/lifecycle.hpp"
#include "model/geometry.hpp"
#include "model/model.hpp"
#include "pixel_checks.hpp"
#include "support/temp_repo.hpp"
#include "viewport.hpp"

namespace tessarim {
namespace {

using testing::near;
using testing::NoMenu;

// A 2 x 2 square around the origin facing the eye, placed once.
void makeSquare(Module& module, const char* filename) {
  module.filename = filename;
  module.vertices = {{-1, -1, 0}, {-1, 1, 0}, {1, 1, 0}, {1, -1, 0}};
  Polygon p;
  p.sides = 4;
  p.vertexIndex = {0, 1, 2, 3};
  p.colour = {0.8f, 0.4f, 0.2f, 1};
  p.texels = {Texel{0, 0}, Texel{0, 0.25f}, Texel{0.25f, 0.25f}, Texel{0.25f, 0}};
  module.polygons = {p};
  module.canvasWidth = module.canvasHeight = module.canvasWidth2 = module.canvasHeight2 = 64;
  module.instances.resize(1);
}

// A viewport alone over an assembly of the square, or over a city whose terrain (its last
// module) is the square and whose one building module has no instance.
struct TextureScene {
  explicit TextureScene(bool city) {
    Model& m = repo.model;
    m.document.kind = city ? DocumentKind::ctyfile : DocumentKind::asmfile;
    m.document.documentPath = city ? "cities\\test.cty" : "ships\\test.asm";
    if (city) {
      m.document.wldfiles = 2;
      makeSquare(m.document.module[0], "meshes\\building.wld");
      m.document.module[0].instances.clear();
      makeSquare(m.document.module[1], "meshes\\terrain.wld");
    } else {
      m.document.wldfiles = 1;
      makeSquare(m.document.module[0], "meshes\\square.wld");
    }
    m.status.geometryDirty = true;
    m.status.texturesLoaded = false;
    m.selection = Selection{};
    m.settings.view.statistics = false;
    computeStatistics(m);
    initMenuState(editor);
  }

  void show() {
    viewport = std::make_unique<ViewportWidget>(editor);
    viewport->resize(400, 300);
    viewport->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewport.get()));
  }

  QRgb centre() {
    refreshMenuState(editor, 0.016f, menu);
    frameMove(frameParts(editor), 0.016f);
    const QImage image = viewport->grabFramebuffer();
    return image.pixel(image.width() / 2, image.height() / 2);
  }

  std::filesystem::path writeImage(const std::string& name, QColor colour) {
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(colour);
    const auto path = repo.root / name;
    std::filesystem::create_directories(path.parent_path());
    EXPECT_TRUE(image.save(QString::fromStdString(path.string()), "PNG"));
    return path;
  }

  // Every ground piece's images, so that a city opens without a word; `coloured` gets `day`.
  void writeGroundPieces(int coloured = -1, QColor day = Qt::black) {
    for (int piece = 0; piece < piecesWithImages; ++piece) {
      const GroundPieceStems s = groundPieceStems(piece);
      const std::string folder = "groundpieces/RTS/thumbs/";
      writeImage(folder + s.day + ".png", piece == coloured ? day : QColor(Qt::white));
      if (s.light) writeImage(folder + s.light + ".png", Qt::black);
    }
  }

  testing::TempRepo repo;
  Editor editor{Session{repo.model, repo.repository, repo.ui, repo.store, repo.clock}};
  NoMenu menu;
  std::unique_ptr<ViewportWidget> viewport;
};

// The terrain pass lights by the sun straight behind the eye with its tint (0.825, 0.9125, 1).
TEST(ViewportTextures, TheCityTerrainIsDrawnWithTheTerrainImage) {
  TextureScene scene(true);
  scene.writeGroundPieces();
  scene.writeImage("terrain.png", QColor(200, 100, 50));
  const auto window = scene.writeImage("windows.png", QColor(0, 0, 255));
  scene.editor.user.terrain1 = "terrain.png";
  scene.editor.user.windowColormap = window.string();
  scene.show();
  const QRgb pixel = scene.centre();
  EXPECT_TRUE(near(pixel, 165, 91, 50)) << std::hex << pixel;
  EXPECT_TRUE(scene.repo.ui.boxes.empty());
  EXPECT_EQ(
      scene.editor.user.windowColormapTime,
      static_cast<FileTime>(std::filesystem::last_write_time(window).time_since_epoch().count()));
  EXPECT_FLOAT_EQ(scene.editor.frame.windowTexelScale[0], 64.0f / 2048.0f);
}

TEST(ViewportTextures, AMissingTerrainImageLeavesTheBareGroundColourAndIsAnnouncedOnce) {
  TextureScene scene(true);
  scene.writeGroundPieces();
  scene.editor.user.terrain1 = "gone.png";
  scene.show();
  const QRgb pixel = scene.centre();
  // (0.396, 0.263, 0.129) x the tint.
  EXPECT_TRUE(near(pixel, 83, 61, 33)) << std::hex << pixel;
  ASSERT_EQ(scene.repo.ui.boxes.size(), 1u);
  EXPECT_EQ(scene.repo.ui.boxes[0].text,
            "Could not find resource...\n\ngone.png\n\nFile not loaded!");
  scene.repo.model.status.texturesLoaded = false;
  scene.centre();
  EXPECT_EQ(scene.repo.ui.boxes.size(), 1u);
}

// Each tile of the ground shows its piece's day image over the terrain image.
TEST(ViewportTextures, TheCityGroundIsDrawnTileByTileWithItsPieces) {
  TextureScene scene(true);
  scene.writeGroundPieces(5, QColor(0, 0, 255));
  scene.writeImage("terrain.png", QColor(200, 100, 50));
  scene.editor.user.terrain1 = "terrain.png";
  // The square's two triangles as one tile of piece 5.
  scene.repo.model.tileRecords = {TileRecord{0, 2, 5}};
  scene.show();
  EXPECT_TRUE(near(scene.centre(), 0, 0, 255)) << std::hex << scene.centre();
  EXPECT_TRUE(scene.repo.ui.boxes.empty());

  // A piece without a day image lets the terrain show.
  scene.repo.model.tileRecords = {TileRecord{0, 2, 73}};
  EXPECT_TRUE(near(scene.centre(), 165, 91, 50)) << std::hex << scene.centre();
}

// Base colour x the vehicle pass's tint (0.96862745, 1, 0.94117647).
TEST(ViewportTextures, ALiveUpdateShowsTheMapFileSavedByAnotherProgram) {
  TextureScene scene(false);
  const auto path = scene.writeImage("base.png", QColor(255, 0, 0));
  scene.repo.model.document.module[0].maps[textfile] = "base.png";
  scene.show();
  QRgb pixel = scene.centre();
  ASSERT_TRUE(near(pixel, 247, 0, 0)) << std::hex << pixel;
  const auto loadedTime = std::filesystem::last_write_time(path);

  scene.writeImage("base.png", QColor(0, 0, 255));
  // Later than the time read at loading, however coarse the file system's clock.
  std::filesystem::last_write_time(path, loadedTime + std::chrono::seconds(5));
  scene.repo.model.settings.view.liveUpdates = true;
  checkOutsideChanges(scene.editor);
  ASSERT_FALSE(scene.repo.model.status.texturesLoaded);
  pixel = scene.centre();
  EXPECT_TRUE(near(pixel, 0, 0, 240)) << std::hex << pixel;
  EXPECT_TRUE(scene.repo.model.status.texturesLoaded);
  EXPECT_TRUE(scene.repo.ui.boxes.empty());
}

// A DDS volume of 4 x 4 texels and two slices, every texel one colour (32-bit BGRA).
std::string ddsVolume(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  std::string s(128, '\0');
  auto put = [&s](std::size_t at, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) s[at + k] = static_cast<char>(v >> (8 * k));
  };
  s.replace(0, 4, "DDS ");
  put(4, 124);
  put(8, 0x801007);  // caps, height, width, pixel format, depth
  put(12, 4);
  put(16, 4);
  put(24, 2);
  put(76, 32);
  put(80, 0x41);  // RGB with alpha
  put(88, 32);
  put(92, 0x00FF0000);
  put(96, 0x0000FF00);
  put(100, 0x000000FF);
  put(104, 0xFF000000);
  put(112, 0x200000);  // volume
  for (int i = 0; i < 4 * 4 * 2; ++i)
    s += {static_cast<char>(b), static_cast<char>(g), static_cast<char>(r), '\xFF'};
  return s;
}

// A windshield whose base map is clear everywhere shows its night colour: the reentry volume's
// while the effect is on and the volume is there, else its light map (none here: black).
TEST(ViewportTextures, AWindshieldShowsTheReentryVolumeWhileTheEffectIsOn) {
  for (const bool present : {true, false}) {
    TextureScene scene(false);
    if (present) scene.repo.write("Aerospace Vehicles/Reentry.dds", ddsVolume(0, 255, 0));
    QImage clear(64, 64, QImage::Format_ARGB32);
    clear.fill(QColor(255, 255, 255, 0));
    ASSERT_TRUE(clear.save(QString::fromStdString((scene.repo.root / "glass.png").string())));
    Module& module = scene.repo.model.document.module[0];
    module.maps[textfile] = "glass.png";
    module.instances[0].type = 5;
    scene.repo.model.settings.view.reentryEffect = true;
    scene.show();
    const QRgb pixel = scene.centre();
    if (present) {
      EXPECT_TRUE(near(pixel, 0, 255, 0)) << std::hex << pixel;
    } else {
      EXPECT_TRUE(near(pixel, 0, 0, 0)) << std::hex << pixel;
    }
    EXPECT_TRUE(scene.repo.ui.boxes.empty());
  }
}

}  // namespace
}  // namespace tessarim
