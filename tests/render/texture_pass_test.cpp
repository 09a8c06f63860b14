#include "editor/texture_pass.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "editor/editor.hpp"
#include "editor/lifecycle.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

// Images by file name; records what reached the device.
struct FakeStore : TextureStore {
  std::map<std::string, std::pair<int, int>> sizes;    // file name (host path's tail) -> size
  std::vector<std::pair<int, int>> uploads, releases;  // module, slot
  int decodes = 0;
  std::optional<RgbaImage> decode(const std::string& hostPath, int) override {
    ++decodes;
    for (const auto& [name, size] : sizes) {
      if (hostPath.size() >= name.size() &&
          hostPath.compare(hostPath.size() - name.size(), name.size(), name) == 0) {
        return RgbaImage{
            size.first, size.second,
            std::vector<std::uint8_t>(static_cast<std::size_t>(size.first * size.second * 4), 128)};
      }
    }
    return std::nullopt;
  }
  void upload(int module, int slot, const RgbaImage&) override {
    uploads.push_back({module, slot});
  }
  void release(int module, int slot) override { releases.push_back({module, slot}); }
  void uploadScene(SceneTexture which, const RgbaImage& image) override {
    sceneUploads.push_back(which);
    sceneSizes.push_back({image.width, image.height});
  }
  std::vector<std::pair<int, int>> sceneSizes;
  void releaseScene(SceneTexture which) override { sceneReleases.push_back(which); }
  void uploadPiece(int piece, bool light, const RgbaImage& image) override {
    pieceUploads.push_back({piece, light});
    pieceAlpha.push_back(image.pixels.empty() ? 0 : image.pixels[3]);
  }
  void releasePieces() override { ++pieceReleases; }
  std::vector<SceneTexture> sceneUploads, sceneReleases;
  std::vector<std::pair<int, bool>> pieceUploads;
  std::vector<int> pieceAlpha;
  int pieceReleases = 0;
};

// Moves a file's modification time on, as an outside program saving it would.
void touchLater(const std::filesystem::path& path) {
  std::filesystem::last_write_time(
      path, std::filesystem::last_write_time(path) + std::chrono::seconds(5));
}

FileTime timeOf(const std::filesystem::path& path) {
  return static_cast<FileTime>(std::filesystem::last_write_time(path).time_since_epoch().count());
}

struct TexturePass : ::testing::Test {
  TexturePass() {
    Model& m = repo.model;
    m.document.kind = DocumentKind::asmfile;
    m.document.wldfiles = 1;
    Module& module = m.document.module[0];
    module.filename = "meshes\\hull.wld";
    module.canvasWidth = module.canvasHeight = 1024;
    module.canvasWidth2 = module.canvasHeight2 = 1024;
    Polygon p;
    p.sides = 3;
    p.texels = {Texel{0.5f, 0.5f}, Texel{1, 1}, Texel{0, 0}};
    p.texels2 = {Texel{1, 1}, Texel{0.5f, 0}, Texel{0, 0}};
    module.polygons = {p};
  }
  void load() {
    repo.model.status.texturesLoaded = false;
    loadMissingTextures(editor, names, store);
  }
  Module& module() { return repo.model.document.module[0]; }

  testing::TempRepo repo;
  Editor editor{Session{repo.model, repo.repository, repo.ui, repo.store, repo.clock}};
  TextureNames names;
  FakeStore store;
};

TEST_F(TexturePass, MissingMapsAreListedOnceAndKeepTheirNames) {
  module().maps[textfile] = "textures\\gone.png";
  module().maps[lightfile] = "textures\\lost.png";
  store.sizes["ok.png"] = {1024, 1024};
  module().maps[reflectfile] = "ok.png";
  repo.model.status.modulesReloaded = true;
  load();
  ASSERT_EQ(repo.ui.boxes.size(), 1u);
  EXPECT_EQ(repo.ui.boxes[0].caption, "Texture map notification!");
  EXPECT_EQ(repo.ui.boxes[0].text,
            "Could not find 2 texel map(s) or file(s) are in use...\n\n"
            "textures\\gone.png (meshes\\hull.wld)\ntextures\\lost.png (meshes\\hull.wld)\n");
  EXPECT_EQ(module().maps[textfile], "textures\\gone.png");
  EXPECT_EQ(module().modified, 0);
  EXPECT_TRUE(repo.model.status.texturesLoaded);
  EXPECT_FALSE(repo.model.status.modulesReloaded);
  EXPECT_EQ(editor.frame.mapsLoaded[0], 1 << reflectfile);

  // Not tried or announced again until the module names another file.
  const int decodes = store.decodes;
  load();
  EXPECT_EQ(store.decodes, decodes);
  EXPECT_EQ(repo.ui.boxes.size(), 1u);
  store.sizes["found.png"] = {1024, 1024};
  module().maps[textfile] = "found.png";
  load();
  EXPECT_TRUE(hasMap(editor.frame, 0, textfile));
  EXPECT_EQ(repo.ui.boxes.size(), 1u);
}

TEST_F(TexturePass, AMapNameLeadingOutOfTheRepositoryIsNotFollowed) {
  store.sizes["outside.png"] = {1024, 1024};
  module().maps[textfile] = "..\\outside.png";
  repo.model.status.modulesReloaded = true;
  load();
  load();
  EXPECT_EQ(store.decodes, 0);
  EXPECT_FALSE(hasMap(editor.frame, 0, textfile));
  EXPECT_TRUE(repo.ui.boxes.empty());  // the reader said so when the mesh was read
  EXPECT_EQ(module().maps[textfile], "..\\outside.png");
}

TEST_F(TexturePass, TheBaseMapSetsCanvasZeroAndScalesItsTexels) {
  store.sizes["base.png"] = {2048, 512};
  module().maps[textfile] = "base.png";
  load();
  EXPECT_EQ(module().canvasWidth, 2048);
  EXPECT_EQ(module().canvasHeight, 512);
  EXPECT_FLOAT_EQ(module().polygons[0].texels[0].u, 0.25f);  // x 1024 / 2048
  EXPECT_FLOAT_EQ(module().polygons[0].texels[0].v, 1.0f);   // x 1024 / 512
  EXPECT_EQ(module().modified, 1);
  EXPECT_TRUE(repo.model.status.geometryDirty);
  EXPECT_TRUE(repo.ui.boxes.empty());

  // In developer mode the canvas follows the map but the texels stay.
  repo.model.settings.sudoSu = true;
  store.sizes["wide.png"] = {4096, 512};
  module().maps[textfile] = "wide.png";
  load();
  EXPECT_EQ(module().canvasWidth, 4096);
  EXPECT_FLOAT_EQ(module().polygons[0].texels[0].u, 0.25f);
}

TEST_F(TexturePass, TheOverlaySetsCanvasOneAboutTheMiddle) {
  store.sizes["overlay.png"] = {2048, 1024};
  module().maps[overlayfile] = "overlay.png";
  load();
  EXPECT_EQ(module().canvasWidth2, 2048);
  EXPECT_FLOAT_EQ(module().polygons[0].texels2[0].u, 0.75f);  // (1 - 0.5) x 1024 / 2048 + 0.5
  EXPECT_FLOAT_EQ(module().polygons[0].texels2[0].v, 1.0f);   // height unchanged
  EXPECT_EQ(module().canvasWidth, 1024);
}

TEST_F(TexturePass, AMapOfAnotherSizeAfterTheBaseIsAMismatchAndIsReleased) {
  store.sizes["base.png"] = {1024, 1024};
  store.sizes["light.png"] = {512, 512};
  module().maps[textfile] = "base.png";
  module().maps[lightfile] = "light.png";
  load();
  ASSERT_EQ(repo.ui.boxes.size(), 1u);
  EXPECT_EQ(repo.ui.boxes[0].text,
            "A total of 1 canvas size(s) do not match...\n\nlight.png (meshes\\hull.wld)\n");
  EXPECT_FALSE(hasMap(editor.frame, 0, lightfile));
  EXPECT_EQ(module().canvasWidth, 1024);
}

TEST_F(TexturePass, WithoutABaseMapTheFirstOtherMapSettlesTheCanvas) {
  store.sizes["light.png"] = {512, 256};
  module().maps[lightfile] = "light.png";
  load();
  EXPECT_EQ(module().canvasWidth, 512);
  EXPECT_EQ(module().canvasHeight, 256);
  EXPECT_TRUE(hasMap(editor.frame, 0, lightfile));
}

TEST_F(TexturePass, AHeightMapBringsItsNormalMapAndARenamedMapReloads) {
  store.sizes["height.png"] = {1024, 1024};
  store.sizes["height2.png"] = {1024, 1024};
  module().maps[heightfile] = "height.png";
  load();
  EXPECT_TRUE(hasMap(editor.frame, 0, heightfile));
  EXPECT_TRUE(hasMap(editor.frame, 0, normalMapSlot));
  EXPECT_EQ(store.uploads.size(), 2u);
  module().maps[heightfile] = "height2.png";
  load();
  EXPECT_EQ(store.releases,
            (std::vector<std::pair<int, int>>{{0, heightfile}, {0, normalMapSlot}}));
  EXPECT_EQ(store.uploads.size(), 4u);
  module().maps[heightfile].clear();
  load();
  EXPECT_FALSE(hasMap(editor.frame, 0, normalMapSlot));
}

TEST_F(TexturePass, ACityLeavesItsGroundGridToTheGridOverlay) {
  repo.model.document.kind = DocumentKind::ctyfile;
  repo.model.document.wldfiles = 2;
  repo.model.document.module[1].maps[textfile] = "terrain.png";
  load();
  EXPECT_TRUE(store.uploads.empty());
  for (const auto& box : repo.ui.boxes) EXPECT_NE(box.caption, "Texture map notification!");
}

TEST_F(TexturePass, ALiveUpdateReloadsOnlyTheMapWhoseFileChanged) {
  const auto base = repo.write("base.png", "pixels"), light = repo.write("light.png", "pixels");
  store.sizes["base.png"] = store.sizes["light.png"] = {1024, 1024};
  module().maps[textfile] = "base.png";
  module().maps[lightfile] = "light.png";
  load();
  EXPECT_EQ(module().mapTimes[textfile], timeOf(base));
  ASSERT_EQ(store.uploads.size(), 2u);

  touchLater(base);
  repo.model.settings.view.liveUpdates = true;
  repo.model.status.modulesReloaded = false;
  checkOutsideChanges(editor);
  ASSERT_FALSE(repo.model.status.texturesLoaded);
  loadMissingTextures(editor, names, store);
  EXPECT_EQ(store.releases, (std::vector<std::pair<int, int>>{{0, textfile}}));
  EXPECT_EQ(store.uploads.back(), (std::pair<int, int>{0, textfile}));
  EXPECT_EQ(store.uploads.size(), 3u);
  EXPECT_EQ(module().mapTimes[textfile], timeOf(base));
  EXPECT_EQ(module().mapTimes[lightfile], timeOf(light));
  EXPECT_TRUE(hasMap(editor.frame, 0, textfile));

  // Nothing changed since: the next check leaves the textures alone.
  checkOutsideChanges(editor);
  EXPECT_TRUE(repo.model.status.texturesLoaded);
}

TEST_F(TexturePass, AnUnreadableMapIsTriedAgainWhenItsFileIsSavedAgain) {
  const auto base = repo.write("base.png", "half written");
  module().maps[textfile] = "base.png";
  load();
  ASSERT_EQ(repo.ui.boxes.size(), 1u);
  EXPECT_FALSE(hasMap(editor.frame, 0, textfile));

  store.sizes["base.png"] = {1024, 1024};  // readable now
  repo.model.settings.view.liveUpdates = true;
  checkOutsideChanges(editor);
  EXPECT_TRUE(repo.model.status.texturesLoaded);  // not saved again yet
  touchLater(base);
  checkOutsideChanges(editor);
  ASSERT_FALSE(repo.model.status.texturesLoaded);
  loadMissingTextures(editor, names, store);
  EXPECT_TRUE(hasMap(editor.frame, 0, textfile));
  EXPECT_EQ(repo.ui.boxes.size(), 1u);
}

TEST_F(TexturePass, TheTerrainImageAndTheWindowColourMapAreLoadedWithTheMaps) {
  const auto window = repo.write("city/windows.png", "pixels");
  store.sizes["terrain.png"] = {512, 256};
  store.sizes["windows.png"] = {1024, 512};
  editor.user.terrain1 = "city\\terrain.png";
  editor.user.windowColormap = window.string();
  load();
  EXPECT_EQ(store.sceneUploads,
            (std::vector<SceneTexture>{SceneTexture::terrain, SceneTexture::windowColormap}));
  EXPECT_EQ(store.sceneSizes[0], std::pair(2048, 2048)) << "the terrain is always 2048 x 2048";
  EXPECT_EQ(store.sceneSizes[1], std::pair(1024, 512));
  EXPECT_EQ(editor.user.windowColormapTime, timeOf(window));
  EXPECT_FLOAT_EQ(editor.frame.windowTexelScale[0], 0.5f);
  EXPECT_FLOAT_EQ(editor.frame.windowTexelScale[1], 0.25f);
  EXPECT_TRUE(repo.ui.boxes.empty());

  // Held textures are not read again; a changed window colour map is.
  load();
  EXPECT_EQ(store.sceneUploads.size(), 2u);
  touchLater(window);
  checkOutsideChanges(editor);
  ASSERT_FALSE(repo.model.status.texturesLoaded);
  loadMissingTextures(editor, names, store);
  EXPECT_EQ(store.sceneReleases, (std::vector<SceneTexture>{SceneTexture::windowColormap}));
  EXPECT_EQ(store.sceneUploads.back(), SceneTexture::windowColormap);
  EXPECT_EQ(editor.user.windowColormapTime, timeOf(window));

  // A new terrain image replaces the old one; none releases it.
  store.sizes["terrain2.png"] = {2048, 2048};
  editor.user.terrain1 = "terrain2.png";
  load();
  EXPECT_EQ(store.sceneReleases.back(), SceneTexture::terrain);
  EXPECT_EQ(store.sceneUploads.back(), SceneTexture::terrain);
  editor.user.terrain1.clear();
  load();
  EXPECT_EQ(store.sceneReleases.size(), 3u);
  EXPECT_EQ(store.sceneUploads.size(), 4u);
}

TEST_F(TexturePass, AnUnreadableSceneTextureIsAnnouncedOnceAndLeftOut) {
  editor.user.terrain1 = "gone\\terrain.png";
  editor.user.windowColormap = "gone\\windows.png";
  editor.user.windowColormapTime = 1234;  // of a file read before
  load();
  ASSERT_EQ(repo.ui.boxes.size(), 2u);
  EXPECT_EQ(repo.ui.boxes[0].caption, "Texture map notification!");
  EXPECT_EQ(repo.ui.boxes[0].text,
            "Could not find resource...\n\ngone\\terrain.png\n\nFile not loaded!");
  EXPECT_EQ(repo.ui.boxes[1].text,
            "Could not find resource...\n\ngone\\windows.png\n\nFile not loaded!");
  EXPECT_TRUE(store.sceneUploads.empty());
  EXPECT_EQ(editor.user.windowColormapTime, 0);
  EXPECT_TRUE(repo.model.status.texturesLoaded);
  load();
  EXPECT_EQ(repo.ui.boxes.size(), 2u);
  // Tried again at every pass: a file that appears later is picked up.
  store.sizes["windows.png"] = {2048, 2048};
  load();
  EXPECT_EQ(store.sceneUploads, (std::vector<SceneTexture>{SceneTexture::windowColormap}));
}

TEST_F(TexturePass, ACityLoadsItsGroundPiecesAndReportsEachMissingFileOnce) {
  load();
  EXPECT_TRUE(store.pieceUploads.empty()) << "only cities have ground pieces";

  repo.model.document.kind = DocumentKind::ctyfile;
  for (const char* name : {"thumbs/f1a.png", "thumbs/f33_Exit-above.png", "thumbs/f32LIGHT.png"})
    store.sizes[name] = {64, 64};
  for (int piece = 0; piece < piecesWithImages; ++piece) {
    if (piece == 0 || piece == 29) continue;
    const GroundPieceStems s = groundPieceStems(piece);
    if (!s.light || std::string(s.light) != "f32LIGHT") {
      store.sizes[std::string("thumbs/") + s.day + ".png"] = {64, 64};
      if (s.light) store.sizes[std::string("thumbs/") + s.light + ".png"] = {64, 64};
    }
  }
  load();
  // Piece 29's light image and pieces 63 and 64's day images are missing; 63 and 64 share one
  // light image, which is read for each.
  EXPECT_EQ(store.pieceAlpha.size(), store.pieceUploads.size());
  EXPECT_EQ(std::count(store.pieceUploads.begin(), store.pieceUploads.end(), std::pair(29, false)),
            1);
  EXPECT_EQ(std::count(store.pieceUploads.begin(), store.pieceUploads.end(), std::pair(29, true)),
            0);
  EXPECT_EQ(std::count(store.pieceUploads.begin(), store.pieceUploads.end(), std::pair(63, true)),
            1);
  EXPECT_EQ(std::count(store.pieceUploads.begin(), store.pieceUploads.end(), std::pair(63, false)),
            0);
  for (std::size_t k = 0; k < store.pieceUploads.size(); ++k) {
    if (store.pieceUploads[k].second) {
      EXPECT_EQ(store.pieceAlpha[k], 255) << "light images are RGB";
    }
  }
  const std::string folder = repo.repository.text + "groundpieces\\RTS\\thumbs\\";
  ASSERT_EQ(repo.ui.boxes.size(), 3u);
  EXPECT_EQ(repo.ui.boxes[0].caption, "Could not find RTS Night");
  EXPECT_EQ(repo.ui.boxes[0].text, folder + "f33_Exit-aboveLIGHT.png");
  EXPECT_EQ(repo.ui.boxes[0].icon, MessageIcon::warning);
  EXPECT_EQ(repo.ui.boxes[1].caption, "Could not find RTS Day");
  EXPECT_EQ(repo.ui.boxes[1].text, folder + "f3218.png");
  EXPECT_EQ(repo.ui.boxes[2].text, folder + "f3236.png");

  // A reload (a resize) tries the missing files again without a word; one that appeared loads.
  const std::size_t uploads = store.pieceUploads.size();
  store.sizes["thumbs/f3218.png"] = {64, 64};
  load();
  EXPECT_EQ(repo.ui.boxes.size(), 3u);
  EXPECT_EQ(store.pieceUploads.size(), uploads + 1) << "f3218 only: its light image is held";

  releaseAllTextures(editor.frame, names, store);
  EXPECT_EQ(store.pieceReleases, 1);
  load();
  EXPECT_EQ(repo.ui.boxes.size(), 3u) << "still reported only once";
}

}  // namespace
}  // namespace tessarim
