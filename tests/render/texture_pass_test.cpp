#include "render/texture_pass.hpp"

#include <gtest/gtest.h>

#include <map>

#include "commands/editor.hpp"
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
};

struct TexturePass : ::testing::Test {
  TexturePass() {
    Model& m = repo.model;
    m.settings.asmfile = true;
    m.wldfiles = 1;
    Module& module = m.module[0];
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
  Module& module() { return repo.model.module[0]; }

  testing::TempRepo repo;
  Editor editor{Session{repo.model, repo.ui, repo.store, repo.clock}};
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
  repo.model.settings.asmfile = false;
  repo.model.settings.ctyfile = true;
  repo.model.wldfiles = 2;
  repo.model.module[1].maps[textfile] = "terrain.png";
  load();
  EXPECT_EQ(store.decodes, 0);
}

}  // namespace
}  // namespace tessarim
