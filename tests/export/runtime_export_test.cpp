#include "export/runtime_export.hpp"

#include <gtest/gtest.h>

#include <functional>

#include "export/normal_map.hpp"
#include "export/runtime_bytes.hpp"
#include "images/png_image.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

using testing::at;
using testing::face;
using testing::nameAt;

constexpr float k1 = 0.00034822f;  // kilometres per unit of scale class 1
constexpr float k8 = 0.0003048f;   // scale class 8

Polygon paintedTriangle() {
  Polygon p = face({0, 1, 2});
  p.colour = {1, 0.5f, 0.25f, 0.75f};
  p.texels = {{{0, 0}, {1, 0}, {0, 1}, {}}};
  p.texels2 = {{{0.5f, 0.25f}, {0.75f, 0.125f}, {}, {}}};
  return p;
}

Module& addModule(Model& model, std::string filename, int scaleClass, std::vector<Vertex> vertices,
                  std::vector<Polygon> polygons, int instances = 1) {
  Module& m = model.document.module[model.document.wldfiles++];
  m.filename = std::move(filename);
  m.scaleClass = static_cast<std::int16_t>(scaleClass);
  m.newScaleFamily = 1;
  m.vertices = std::move(vertices);
  m.polygons = std::move(polygons);
  m.instances.resize(static_cast<std::size_t>(instances));
  return m;
}

// An assembly of a textured quad placed twice and a triangle whose base map is hidden.
void makeAssembly(Model& model) {
  model.document.kind = DocumentKind::asmfile;
  model.document.documentPath = "boat.asm";
  Module& hull = addModule(model, "hull.wld", 1, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}},
                           {face({0, 1, 2, 3})}, 2);
  hull.maps[textfile] = "hull.png";
  hull.maps[overlayfile] = "o.png";
  hull.maps[controlfile] = "c.png";
  Instance& first = hull.instances[0];
  first.location = {100, 200, 300};
  first.orientation = {0.1f, 0.2f, 0.3f};
  first.endLocation = {110, 200, 300};
  first.type = 7;
  first.extendRate = 0.5f;
  first.hingeAxis = {0, 0, 1};
  first.hingeOffset = {10, 0, 0};
  first.hingeAngle = 1.25f;
  hull.instances[1].colourKey = 3;
  model.document.schemeColours[3] = 0x00332211;
  Module& fin =
      addModule(model, "fin.wld", 8, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {face({0, 1, 2})});
  fin.maps[textfile] = "fin.png";
  fin.baseHidden = 1;
  model.document.lightCount = 1;
}

TEST(CurrentExport, DawRecordHoldsTheVertexInKilometresWithItsColourAsRgba) {
  testing::TempRepo repo;
  Model& model = repo.model;
  model.document.documentPath = "tri.wld";
  addModule(model, "tri.wld", 1, {{0, 0, 0}, {1000, 0, 0}, {0, 2000, 0}}, {paintedTriangle()});
  SceneGeometry scene;

  const ExportResult r = exportRuntimeSet(repo.session, scene);
  ASSERT_TRUE(r.written);
  EXPECT_FALSE(r.legacy);
  EXPECT_EQ(r.files, std::vector<std::string>{"tri.daw"});
  EXPECT_TRUE(repo.ui.boxes.empty());  // a single mesh ends without a report
  EXPECT_TRUE(model.status.geometryDirty);

  const std::string daw = repo.read("tri.daw");
  ASSERT_EQ(daw.size(), 4u + 3 * 68);
  EXPECT_EQ(at<std::uint32_t>(daw, 0), 3u);
  const std::size_t v1 = 4 + 68;  // corner 1
  EXPECT_FLOAT_EQ(at<float>(daw, v1), 1000 * k1);
  EXPECT_EQ(at<float>(daw, v1 + 4), 0.0f);
  EXPECT_EQ(at<float>(daw, v1 + 8), 0.0f);
  EXPECT_EQ(std::tuple(at<float>(daw, v1 + 12), at<float>(daw, v1 + 16)), std::tuple(0.0f, 0.0f));
  EXPECT_FLOAT_EQ(at<float>(daw, v1 + 20), -1);
  EXPECT_EQ(daw.substr(v1 + 24, 4), "\xFF\x80\x40\xBF");  // R G B A
  EXPECT_EQ(std::tuple(at<float>(daw, v1 + 28), at<float>(daw, v1 + 32)), std::tuple(1.0f, 0.0f));
  EXPECT_EQ(std::tuple(at<float>(daw, v1 + 36), at<float>(daw, v1 + 40)),
            std::tuple(0.75f, 0.125f));
  EXPECT_EQ(std::tuple(at<float>(daw, v1 + 44), at<float>(daw, v1 + 48), at<float>(daw, v1 + 52)),
            std::tuple(1.0f, 0.0f, 0.0f));
  EXPECT_EQ(std::tuple(at<float>(daw, v1 + 56), at<float>(daw, v1 + 60), at<float>(daw, v1 + 64)),
            std::tuple(0.0f, 1.0f, 0.0f));
}

TEST(CurrentExport, DixListsModulesAndInstancesWithTheirDawRanges) {
  testing::TempRepo repo;
  Model& model = repo.model;
  makeAssembly(model);
  SceneGeometry scene;

  const ExportResult r = exportRuntimeSet(repo.session, scene);
  ASSERT_TRUE(r.written);
  EXPECT_EQ(r.files, (std::vector<std::string>{"boat.daw", "boat.dix"}));
  ASSERT_EQ(repo.ui.boxes.size(), 1u);
  EXPECT_EQ(repo.ui.boxes[0].text,
            "Saved to \"boat.dix\" "
            "with...\n\nComponents:\t3\nPrimitives:\t\t5\nLights:\t\t1\n\nErrors:\n");
  EXPECT_EQ(repo.ui.boxes[0].caption, "Complete!");

  const std::string daw = repo.read("boat.daw");
  EXPECT_EQ(at<std::uint32_t>(daw, 0), 15u);
  EXPECT_EQ(daw.size(), 4u + 15 * 68);

  const std::string dix = repo.read("boat.dix");
  ASSERT_EQ(dix.size(), 5452u);
  EXPECT_EQ(at<float>(dix, 0), model.status.encompassingRadius);
  EXPECT_GT(model.status.encompassingRadius, 0.0f);
  EXPECT_EQ(at<std::uint16_t>(dix, 4), 2);
  EXPECT_EQ(nameAt(dix, 6), "hull.wld");
  EXPECT_EQ(at<float>(dix, 266), model.document.module[0].boundingRadius);
  EXPECT_EQ(nameAt(dix, 270), "hull.png");
  EXPECT_EQ(nameAt(dix, 530), "o.png");
  EXPECT_EQ(nameAt(dix, 2350), "c.png");
  EXPECT_EQ(dix.substr(2350 + 5, 255), std::string(255, '\0'));
  EXPECT_EQ(at<std::uint16_t>(dix, 2610), 2);

  // The first instance, in field order.
  EXPECT_EQ(at<std::uint32_t>(dix, 2612), 0u);
  EXPECT_EQ(at<std::uint16_t>(dix, 2616), 2);
  EXPECT_FLOAT_EQ(at<float>(dix, 2618), 100 * k1);
  EXPECT_FLOAT_EQ(at<float>(dix, 2626), 300 * k1);
  EXPECT_EQ(at<float>(dix, 2638), 0.3f);
  EXPECT_FLOAT_EQ(at<float>(dix, 2642), 10 * k1);
  EXPECT_EQ(dix.substr(2654, 3), "\xFF\xFF\xFF");  // no colour key
  EXPECT_EQ(at<std::uint8_t>(dix, 2657), 7);
  EXPECT_EQ(at<float>(dix, 2658), 0.5f);
  EXPECT_EQ(at<float>(dix, 2670), 1.0f);
  EXPECT_FLOAT_EQ(at<float>(dix, 2674), 10 * k1);
  EXPECT_EQ(at<float>(dix, 2686), 1.25f);
  // The second: its triangles follow the first's; the key's scheme colour, lowest byte first.
  EXPECT_EQ(at<std::uint32_t>(dix, 2690), 6u);
  EXPECT_EQ(dix.substr(2732, 3), "\x11\x22\x33");

  // The fin: its hidden base map leaves the name empty.
  EXPECT_EQ(nameAt(dix, 2768), "fin.wld");
  EXPECT_EQ(nameAt(dix, 3032), "");
  EXPECT_EQ(at<std::uint16_t>(dix, 5372), 1);
  EXPECT_EQ(at<std::uint32_t>(dix, 5374), 12u);
  EXPECT_EQ(at<std::uint16_t>(dix, 5378), 1);
}

TEST(CurrentExport, CityDixLeavesOutTheTerrain) {
  testing::TempRepo repo;
  Model& model = repo.model;
  model.document.kind = DocumentKind::ctyfile;
  model.document.documentPath = "town.cty";
  addModule(model, "house.wld", 1, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {face({0, 1, 2})});
  addModule(model, "", 2, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {face({0, 1, 2})}).newScaleFamily = 0;
  SceneGeometry scene;

  ASSERT_TRUE(exportRuntimeSet(repo.session, scene).written);
  EXPECT_EQ(at<std::uint32_t>(repo.read("town.daw"), 0), 6u);  // the terrain is drawn, so exported
  const std::string dix = repo.read("town.dix");
  EXPECT_EQ(at<std::uint16_t>(dix, 4), 1);
  EXPECT_EQ(dix.size(), 6u + 2606 + 78);
}

TEST(CurrentExport, NormalMapIsSavedBesideEachHeightMap) {
  testing::TempRepo repo;
  Model& model = repo.model;
  makeAssembly(model);
  model.document.module[0].maps[heightfile] = "maps\\h.png";
  model.document.module[1].maps[heightfile] = "maps\\missing.png";
  const RgbaImage height{3, 2, {0, 0, 0, 255, 128, 128, 128, 255, 255, 255, 255, 255,
                                9, 9, 9, 255, 60,  60,  60,  255, 200, 200, 200, 255}};
  repo.write("maps/h.png", encodePng(height).value());
  SceneGeometry scene;

  const ExportResult r = exportRuntimeSet(repo.session, scene);
  ASSERT_TRUE(r.written);
  EXPECT_EQ(r.files, (std::vector<std::string>{"boat.daw", "maps\\h.png.map", "boat.dix"}));
  const std::optional<RgbaImage> map = decodePng(repo.read("maps/h.png.map"));
  ASSERT_TRUE(map);
  EXPECT_EQ(std::tuple(map->width, map->height), std::tuple(3, 2));
  EXPECT_EQ(map->pixels, computeNormalMap(height).pixels);
  ASSERT_EQ(repo.ui.boxes.size(), 1u);
  EXPECT_EQ(
      repo.ui.boxes[0].text,
      "Saved to \"boat.dix\" with...\n\nComponents:\t3\nPrimitives:\t\t5\nLights:\t\t1\n\nErrors:\n"
      "Normal map not written for \"maps\\missing.png\": No such file or directory\n");
}

TEST(CurrentExport, SceneBeyondTheOldVertexLimitExportsWhole) {
  testing::TempRepo repo;
  Model& model = repo.model;
  model.document.documentPath = "grid.wld";
  testing::fillGrid(addModule(model, "grid.wld", 1, {}, {}), 183);
  SceneGeometry scene;

  const ExportResult r = exportRuntimeSet(repo.session, scene);
  ASSERT_TRUE(r.written);
  EXPECT_EQ(r.triangles, 66248);
  const std::string daw = repo.read("grid.daw");
  EXPECT_EQ(at<std::uint32_t>(daw, 0), 198744u);
  EXPECT_EQ(daw.size(), 4u + 198744u * 68);
}

TEST(RuntimeExport, RefusedSetsLeaveEveryFileAsItWas) {
  struct Case {
    const char* name;
    std::function<void(Model&, testing::TempRepo&)> change;
    std::string text;
    std::string caption;
  } cases[] = {
      {"unassigned scale", [](Model& m, auto&) { m.document.module[1].scaleClass = 0; },
       "Scale failed 1", "Scale failed"},
      {"legacy unassigned scale",
       [](Model& m, auto&) {
         m.document.module[0].newScaleFamily = 0;
         m.document.module[1].scaleClass = 0;
       },
       "Scale failed 1", "Scale failed"},
      {"16-bit instance triangle count",
       [](Model& m, auto&) {
         m.document.module[1].filename = "grid.wld";
         m.document.module[1].vertices.clear();
         m.document.module[1].polygons.clear();
         testing::fillGrid(m.document.module[1], 183);
       },
       "The export was stopped: the triangle count of an instance of \"grid.wld\" is 66248, more "
       "than the 65535 the "
       "file format can hold.\n\nNo file was written.",
       "Export stopped"},
      {"16-bit legacy vertex count",
       [](Model& m, auto&) {
         m.document.module[0].newScaleFamily = 0;
         m.document.module[1].vertices.clear();
         m.document.module[1].polygons.clear();
         testing::fillGrid(m.document.module[1], 183);
       },
       "The export was stopped: the vertex count of the DAW file is 198750, more than the 65535 "
       "the file format can "
       "hold.\n\nNo file was written.",
       "Export stopped"},
      {"name longer than its field",
       [](Model& m, auto&) { m.document.module[1].maps[grimefile] = std::string(260, 'g'); },
       "The export was stopped: the name \"" + std::string(260, 'g') +
           "\" is longer than the 259 characters a name field holds.\n\nNo file was written.",
       "Export stopped"},
      {"document name past the path limit",
       [](Model& m, auto&) { m.document.documentPath = std::string(300, 'd') + ".asm"; },
       "File name too long error while saving the following file...\n\n" + std::string(300, 'd') +
           ".daw",
       "Error!"},
      {"folder in the way",
       [](Model&, testing::TempRepo& repo) {
         std::filesystem::remove(repo.root / "boat.dix");
         std::filesystem::create_directory(repo.root / "boat.dix");
       },
       "Is a directory error while saving the following file...\n\nboat.dix", "Error!"},
  };
  for (const Case& c : cases) {
    testing::TempRepo repo;
    makeAssembly(repo.model);
    repo.write("boat.daw", "old daw");
    repo.write("boat.dix", "old dix");
    c.change(repo.model, repo);
    const auto before = testing::folderNames(repo.root);
    SceneGeometry scene;

    EXPECT_FALSE(exportRuntimeSet(repo.session, scene).written) << c.name;
    ASSERT_FALSE(repo.ui.boxes.empty()) << c.name;
    EXPECT_EQ(repo.ui.boxes.back().text, c.text) << c.name;
    EXPECT_EQ(repo.ui.boxes.back().caption, c.caption) << c.name;
    EXPECT_EQ(repo.read("boat.daw"), "old daw") << c.name;
    EXPECT_EQ(testing::folderNames(repo.root), before) << c.name;
  }
}

// The set goes where its names say, beside the document: never through a link that leads out of
// the repository folder, or, for a document opened from outside it, out of the document's folder.
// A link that stays is written through.
TEST(RuntimeExport, NoFileOfTheSetIsWrittenThroughALinkLeadingOut) {
  struct Case {
    const char* name;
    bool legacy;
    const char* folder;  // the document's folder below the scratch folder; "repo" is the repository
    const char* target;  // where its boat.dix links to, below the scratch folder
    std::string error;   // the save error's reason; empty: the set is written through the link
  } cases[] = {
      {"link out of the repository", false, "repo", "outside/boat.dix",
       "Link leading out of the repository folder"},
      {"legacy link out of the repository", true, "repo", "outside/boat.dix",
       "Link leading out of the repository folder"},
      {"document outside, link out of its folder", false, "outside", "other/boat.dix",
       "Link leading out of the file's folder"},
      {"link inside the repository", false, "repo", "repo/kept/boat.dix", ""},
      {"legacy link inside the repository", true, "repo", "repo/kept/boat.dix", ""},
      {"document outside, link within its folder", false, "outside", "outside/kept.dix", ""},
  };
  for (const Case& c : cases) {
    testing::TempRepo scratch;
    scratch.repository = makeRepositoryFolder((scratch.root / "repo").string());
    makeAssembly(scratch.model);
    if (c.legacy) scratch.model.document.module[0].newScaleFamily = 0;
    const std::filesystem::path folder = scratch.root / c.folder;
    std::string dixName = "boat.dix";
    if (std::string{c.folder} != "repo") {
      scratch.model.document.documentPath = toStoredForm((folder / "boat.asm").string());
      dixName = toStoredForm((folder / "boat.dix").string());
    }
    scratch.write(std::string{c.folder} + "/boat.daw", "old daw");
    scratch.write(c.target, "twelve bytes");
    std::filesystem::create_symlink(scratch.root / c.target, folder / "boat.dix");
    const auto before = testing::entriesBelow(scratch.root);
    SceneGeometry scene;

    const bool written = exportRuntimeSet(scratch.session, scene).written;
    ASSERT_FALSE(scratch.ui.boxes.empty()) << c.name;
    if (c.error.empty()) {
      EXPECT_TRUE(written) << c.name;
      EXPECT_TRUE(std::filesystem::is_symlink(folder / "boat.dix")) << c.name;
      EXPECT_EQ(scratch.ui.boxes.back().caption, "Complete!") << c.name;
      EXPECT_NE(scratch.read(c.target), "twelve bytes") << c.name;
      EXPECT_NE(scratch.read(std::string{c.folder} + "/boat.daw"), "old daw") << c.name;
      continue;
    }
    EXPECT_FALSE(written) << c.name;
    EXPECT_EQ(scratch.ui.boxes.back().text,
              c.error + " error while saving the following file...\n\n" + dixName)
        << c.name;
    EXPECT_EQ(scratch.ui.boxes.back().caption, "Error!") << c.name;
    EXPECT_EQ(testing::entriesBelow(scratch.root), before) << c.name;
  }
}

}  // namespace
}  // namespace tessarim
