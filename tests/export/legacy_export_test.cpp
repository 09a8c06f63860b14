#include <gtest/gtest.h>

#include <numbers>

#include "export/runtime_bytes.hpp"
#include "export/runtime_export.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

using testing::at;
using testing::face;

constexpr float k2 = 0.0039f;  // kilometres per unit of scale class 2

Module& addModule(Model& model, std::string filename, std::vector<Vertex> vertices,
                  std::vector<Polygon> polygons, int instances = 1) {
  Module& m = model.document.module[model.document.wldfiles++];
  m.filename = std::move(filename);
  m.scaleClass = 2;
  m.maps[textfile] = "base.png";
  m.vertices = std::move(vertices);
  m.polygons = std::move(polygons);
  m.instances.resize(static_cast<std::size_t>(instances));
  return m;
}

const std::vector<Vertex> triangle{{0, 0, 0}, {3, 0, 0}, {0, 3, 0}};
const std::vector<Vertex> square{{0, 0, 0}, {100, 0, 0}, {100, 200, 0}, {0, 200, 0}};

TEST(LegacyExport, QuadGivesSixVerticesInReversedOrderAndOneConversion) {
  testing::TempRepo repo;
  Model& model = repo.model;
  model.document.documentPath = "quad.wld";
  Polygon quad = face({0, 1, 2, 3});
  for (int c = 0; c < 4; ++c) quad.texels[c] = {0.125f * static_cast<float>(c), 0.5f};
  addModule(model, "quad.wld", square, {quad});
  model.document.lightCount = 1;
  Light& light = model.document.lights[0];
  light = {{1, 2, 3}, {0, 0, 1}, 0xFF112233, 0x0F, 0, 3.2f, 1.5f, 0, 0};
  SceneGeometry scene;

  const ExportResult r = exportRuntimeSet(repo.session, scene);
  ASSERT_TRUE(r.written);
  EXPECT_TRUE(r.legacy);
  ASSERT_EQ(repo.ui.boxes.size(), 1u);
  EXPECT_EQ(repo.ui.boxes[0].text,
            "Saved to \"quad.daw\" "
            "with...\n\nVertices:\t\t6\nTriangles:\t2\nConversions:\t1\nComponents:\t0\n"
            "Lights:\t\t1\n\nErrors:\n");
  EXPECT_EQ(repo.ui.boxes[0].caption, "Complete!");

  const std::string daw = repo.read("quad.daw");
  ASSERT_EQ(daw.size(), 2u + 6 * 32 + 2 + 40);
  EXPECT_EQ(at<std::uint16_t>(daw, 0), 6);
  const int corners[] = {2, 1, 0, 0, 3, 2};
  for (int i = 0; i < 6; ++i) {
    const std::size_t record = 2 + 32 * static_cast<std::size_t>(i);
    const Vertex& v = square[static_cast<std::size_t>(corners[i])];
    EXPECT_FLOAT_EQ(at<float>(daw, record), v.x * k2) << i;
    EXPECT_FLOAT_EQ(at<float>(daw, record + 4), v.y * k2) << i;
    EXPECT_FLOAT_EQ(at<float>(daw, record + 20), -1) << i;  // the corner normal of the build
    EXPECT_EQ(at<float>(daw, record + 24), 0.125f * static_cast<float>(corners[i])) << i;
    EXPECT_EQ(at<float>(daw, record + 28), 0.5f) << i;
  }
  EXPECT_EQ(at<std::uint16_t>(daw, 194), 1);
  EXPECT_EQ(at<float>(daw, 196 + 8), 3.0f);
  EXPECT_EQ(at<std::uint32_t>(daw, 196 + 24), 0xFF112233u);
  EXPECT_EQ(at<std::uint32_t>(daw, 196 + 28), 0x0Fu);
  EXPECT_EQ(at<float>(daw, 196 + 32), 3.2f);
  EXPECT_EQ(at<float>(daw, 196 + 36), 1.5f);
}

TEST(LegacyExport, DixRecordsSitAt99Plus100TimesTheirIndex) {
  testing::TempRepo repo;
  Model& model = repo.model;
  model.document.kind = DocumentKind::asmfile;
  model.document.documentPath = "base.asm";
  Module& tower = addModule(model, "tower.wld", triangle, {face({0, 1, 2})}, 3);
  tower.maps[lightfile] = "l.png";
  tower.sortKey = 12;
  Instance& first = tower.instances[0];
  first.location = {10, 20, 30};
  first.endLocation = {99, 99, 99};  // type 0 writes no travel
  first.orientation = {std::numbers::pi_v<float> / 2, 0, 0};
  first.group = 5;
  first.retractRate = 0.25f;
  tower.instances[1].type = 87;  // not a record
  tower.instances[2].type = 5;
  tower.instances[2].location = {1, 0, 0};
  tower.instances[2].endLocation = {2, 0, 0};
  Module& gun = addModule(model, "gun.wld", square, {face({0, 1, 2, 3})});
  gun.maps[textfile].clear();
  gun.instances[0].type = 53;
  gun.instances[0].group = 1;
  model.selection.currentModule = 1;
  model.selection.currentInstance = 0;
  SceneGeometry scene;

  const ExportResult r = exportRuntimeSet(repo.session, scene, {.developerMode = true});
  ASSERT_TRUE(r.written);
  EXPECT_EQ(r.files, (std::vector<std::string>{"base.daw", "base.dix"}));  // no animation, no .ani
  ASSERT_EQ(repo.ui.boxes.size(), 3u);
  EXPECT_EQ(std::tuple(repo.ui.boxes[0].text, repo.ui.boxes[0].caption, repo.ui.boxes[0].icon),
            std::tuple("No texture assigned", "Export warning", MessageIcon::error));
  EXPECT_EQ(std::tuple(repo.ui.boxes[1].text, repo.ui.boxes[1].caption),
            std::tuple("Found component at index 2", "Found!"));
  EXPECT_EQ(repo.ui.boxes[2].text,
            "Saved to \"base.daw\" "
            "with...\n\nVertices:\t\t9\nTriangles:\t3\nConversions:\t1\nComponents:\t3\n"
            "Lights:\t\t0\n\nErrors:\n");

  const std::string dix = repo.read("base.dix");
  ASSERT_EQ(dix.size(), 99u + 3 * 100 + 2);
  EXPECT_EQ(at<std::uint16_t>(dix, 0), 3);
  EXPECT_EQ(at<float>(dix, 2), 2.51f);
  EXPECT_EQ(dix.substr(6, 93), std::string(93, '\0'));

  // Record 0: the tower, turned a quarter about y.
  EXPECT_EQ(std::tuple(at<std::uint16_t>(dix, 99), at<std::uint16_t>(dix, 101)), std::tuple(0, 1));
  EXPECT_FLOAT_EQ(at<float>(dix, 103), 10 * k2);
  EXPECT_EQ(at<float>(dix, 115), std::numbers::pi_v<float> / 2);
  EXPECT_FLOAT_EQ(at<float>(dix, 127), 3 * k2);  // the bounding radius in kilometres
  EXPECT_EQ(dix.substr(131, 12), std::string(12, '\0'));
  EXPECT_EQ(at<std::int16_t>(dix, 143), 12);
  // The centroid (1, 1, 0) turned by yaw pi/2 is (0, 1, -1).
  EXPECT_NEAR(at<float>(dix, 145), 0, 1e-9);
  EXPECT_FLOAT_EQ(at<float>(dix, 149), k2);
  EXPECT_FLOAT_EQ(at<float>(dix, 153), -k2);
  EXPECT_EQ(at<std::uint8_t>(dix, 157), 0);
  EXPECT_EQ(at<std::int16_t>(dix, 190), 5);
  EXPECT_EQ(at<std::uint8_t>(dix, 192), 1);  // names a light map
  EXPECT_EQ(at<float>(dix, 193), 0.25f);
  EXPECT_EQ(dix.substr(197, 2), std::string(2, '\0'));

  // Record 1: the third tower instance, which travels.
  EXPECT_EQ(std::tuple(at<std::uint16_t>(dix, 199), at<std::uint16_t>(dix, 201)), std::tuple(0, 1));
  EXPECT_FLOAT_EQ(at<float>(dix, 199 + 32), k2);
  EXPECT_EQ(at<std::uint8_t>(dix, 199 + 58), 5);

  // Record 2: the gun, after the tower's three vertices; type 53 has no radius.
  EXPECT_EQ(std::tuple(at<std::uint16_t>(dix, 299), at<std::uint16_t>(dix, 301)), std::tuple(3, 2));
  EXPECT_EQ(at<float>(dix, 299 + 28), 0.0f);
  EXPECT_EQ(at<std::uint8_t>(dix, 299 + 93), 0);
  EXPECT_EQ(at<std::uint16_t>(dix, 399), 0);  // light count
}

TEST(LegacyExport, CityRecordsKeepTheirLastTwoBytesAfterTheLightCount) {
  testing::TempRepo repo;
  Model& model = repo.model;
  model.document.kind = DocumentKind::ctyfile;
  model.document.documentPath = "town.cty";
  Module& house = addModule(model, "house.wld", triangle, {face({0, 1, 2})});
  house.scaleClass = 0;
  house.instances[0].location = {1, 2, 3};
  house.instances[0].retractRate = 0.75f;
  addModule(model, "tree.wld", triangle, {face({0, 1, 2})}).instances[0].group = 997;
  addModule(model, "", triangle, {face({0, 1, 2})});  // the terrain
  model.document.rtspsGrid[1 * gridSize + 2] = {3, 7};
  SceneGeometry scene;

  const ExportResult r = exportRuntimeSet(repo.session, scene);
  ASSERT_TRUE(r.written);
  EXPECT_EQ(r.files, (std::vector<std::string>{"town.daw", "town.dix", "town.rts"}));
  // An unassigned city module takes class 2.
  EXPECT_EQ(std::tuple(repo.ui.boxes[0].text, repo.ui.boxes[0].caption),
            std::tuple("house.wld", "Scale not assigned!"));
  EXPECT_EQ(std::tuple(house.scaleClass, house.modified), std::tuple(2, 1));

  const std::string daw = repo.read("town.daw");
  EXPECT_EQ(at<std::uint32_t>(daw, 0), 3u);  // the group-997 module and the terrain are left out
  EXPECT_EQ(daw.size(), 4u + 3 * 32 + 2);

  const std::string dix = repo.read("town.dix");
  ASSERT_EQ(dix.size(), 99u + 2 * 100 + 2 + 2 * 2);
  EXPECT_EQ(std::tuple(at<std::uint32_t>(dix, 99), at<std::uint32_t>(dix, 103)),
            std::tuple(0u, 1u));
  EXPECT_FLOAT_EQ(at<float>(dix, 107), k2);
  EXPECT_EQ(std::tuple(at<std::uint32_t>(dix, 199), at<std::uint32_t>(dix, 203)),
            std::tuple(0u, 0u));
  EXPECT_EQ(at<std::uint16_t>(dix, 299), 0);  // light count
  // retractRate: its low half ends the slot, its high half is the first entry after the count.
  const std::string retract = dix.substr(99 + 98, 2) + dix.substr(301, 2);
  EXPECT_EQ(at<float>(retract, 0), 0.75f);

  const std::string rts = repo.read("town.rts");
  ASSERT_EQ(rts.size(), 1352u);
  EXPECT_EQ(std::tuple(rts[56], rts[57]), std::tuple('\3', '\7'));
}

TEST(LegacyExport, AnimatedAssemblyWritesTheRawAnimationBlock) {
  testing::TempRepo repo;
  Model& model = repo.model;
  model.document.kind = DocumentKind::asmfile;
  model.document.documentPath = "walker.asm";
  addModule(model, "body.wld", triangle, {face({0, 1, 2})});
  KeyFrame& key = model.document.animationSlots[1][2];
  key.start = 0.5f;
  key.end = 1;
  key.joints[3] = {0.1f, 0.2f, 0.3f};
  key.offset = {4, 5, 6};
  SceneGeometry scene;

  ASSERT_TRUE(exportRuntimeSet(repo.session, scene).written);
  const std::string ani = repo.read("walker.ani");
  ASSERT_EQ(ani.size(), 31800u);
  const std::size_t k = (1 * 10 + 2) * 212;
  EXPECT_EQ(std::tuple(at<float>(ani, k), at<float>(ani, k + 4)), std::tuple(0.5f, 1.0f));
  EXPECT_EQ(at<float>(ani, k + 8 + 3 * 12 + 8), 0.3f);
  EXPECT_EQ(at<float>(ani, k + 200), 4.0f);
  EXPECT_EQ(ani.substr(0, k), std::string(k, '\0'));
}

}  // namespace
}  // namespace tessarim
