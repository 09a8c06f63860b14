#include <gtest/gtest.h>

#include <fstream>

#include "editor/editor.hpp"
#include "editor/lifecycle.hpp"
#include "formats/file_io.hpp"
#include "formats/text_writer.hpp"
#include "formats/wld.hpp"
#include "support/memory_repo.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

using testing::TempRepo;

std::string fixture(const std::string& name) {
  std::ifstream in(std::string{TESSARIM_FIXTURES} + "/wld/" + name, std::ios::binary);
  return std::string{std::istreambuf_iterator<char>(in), {}};
}

struct VersionCase {
  const char* file;
  bool city;
  std::array<std::int32_t, 4> canvas;
  std::int16_t sortKey;
  std::uint8_t baseHidden;
  std::int16_t scaleClass;
  std::uint8_t newScaleFamily;
  std::array<float, 4> colour;
  Texel secondSetCorner0;
  float texelAngle, texelAngle2;
  std::uint8_t smooth;
  std::array<const char*, 9> maps;  // slot order
  std::int32_t componentType;
};

constexpr std::array<float, 4> rgb336699{0x33 / 255.0f, 0x66 / 255.0f, 0x99 / 255.0f, 1};

class WldVersions : public ::testing::TestWithParam<VersionCase> {};

TEST_P(WldVersions, OlderVersionsUpgradeInMemory) {
  const VersionCase& t = GetParam();
  TempRepo repo;
  Module m;
  std::string endsEarly = "unset";
  ASSERT_EQ(parseWld(fixture(t.file), m, repo.ui, repo.repository, {false, false, t.city}, nullptr,
                     &endsEarly),
            WldParseResult::ok);
  EXPECT_TRUE(repo.ui.boxes.empty());
  EXPECT_EQ(endsEarly, "");  // every version's file is whole
  EXPECT_EQ(m.version, wldVersion);
  EXPECT_EQ(m.modified, 0);
  EXPECT_EQ((std::array{m.canvasWidth, m.canvasHeight, m.canvasWidth2, m.canvasHeight2}), t.canvas);
  EXPECT_EQ(m.sortKey, t.sortKey);
  EXPECT_EQ(m.baseHidden, t.baseHidden);
  EXPECT_EQ(m.scaleClass, t.scaleClass);
  EXPECT_EQ(m.newScaleFamily, t.newScaleFamily);
  ASSERT_EQ(m.vertices.size(), 3u);
  ASSERT_EQ(m.polygons.size(), 1u);
  const Polygon& p = m.polygons[0];
  EXPECT_EQ(p.sides, 3);
  EXPECT_EQ(p.vertexIndex[2], 2);
  EXPECT_EQ(p.colour, t.colour);
  EXPECT_EQ(p.texels2[0].u, t.secondSetCorner0.u);
  EXPECT_EQ(p.texels2[0].v, t.secondSetCorner0.v);
  EXPECT_EQ(p.texelAngle, t.texelAngle);
  EXPECT_EQ(p.texelAngle2, t.texelAngle2);
  EXPECT_EQ(p.smooth, t.smooth);
  for (int slot = 0; slot < mapSlotCount; ++slot)
    EXPECT_EQ(m.maps[slot], t.maps[slot]) << "slot " << slot;
  EXPECT_EQ(m.componentType, t.componentType);
}

constexpr std::array<float, 4> black{0, 0, 0, 1};
#define NO_MAPS "", "", "", "", "", "", "", "", ""

INSTANTIATE_TEST_SUITE_P(
    Table, WldVersions,
    ::testing::Values(VersionCase{"v232.wld",
                                  false,
                                  {1024, 512, 256, 128},
                                  7,
                                  1,
                                  9,
                                  1,
                                  rgb336699,
                                  {0.7f, 0.8f},
                                  0.25f,
                                  0.5f,
                                  1,
                                  {"textures\\hull-base.png", "textures\\hull-overlay.png", "", "",
                                   "", "", "", "textures\\hull-detail.png", ""},
                                  6},
                      VersionCase{"v230.wld",
                                  false,
                                  {1024, 512, 256, 128},
                                  7,
                                  1,
                                  9,
                                  0,
                                  rgb336699,
                                  {0.7f, 0.8f},
                                  0.25f,
                                  0.5f,
                                  0,
                                  {"a.png", "c.png", "b.png", "d.png", "e.png", "f.png", "g.png",
                                   "h.png", ""},
                                  0},
                      VersionCase{"v226.wld",
                                  false,
                                  {1024, 512, 2048, 2048},
                                  7,
                                  1,
                                  9,
                                  0,
                                  rgb336699,
                                  {0, 0},
                                  0.25f,
                                  -1,
                                  1,
                                  {"base.png", "overlay.png", "light.png", "height.png", "vis.png",
                                   "refl.png", "grime.png", "", ""},
                                  0},
                      VersionCase{"v223.wld",
                                  false,
                                  {1024, 512, 2048, 2048},
                                  7,
                                  0,
                                  9,
                                  0,
                                  rgb336699,
                                  {0, 0},
                                  0.25f,
                                  -1,
                                  0,
                                  {"base.png", "", "light.png", "", "", "", "", "", ""},
                                  0},
                      VersionCase{"v220.wld",
                                  false,
                                  {1024, 512, 2048, 2048},
                                  7,
                                  1,
                                  0,
                                  0,
                                  rgb336699,
                                  {0, 0},
                                  -1,
                                  -1,
                                  0,
                                  {"base.png", "", "light.png", "", "", "", "", "", ""},
                                  0},
                      VersionCase{"v220.wld",
                                  true,
                                  {1024, 512, 2048, 2048},
                                  7,
                                  1,
                                  2,
                                  0,
                                  rgb336699,
                                  {0, 0},
                                  -1,
                                  -1,
                                  0,
                                  {"base.png", "", "light.png", "", "", "", "", "", ""},
                                  0},
                      VersionCase{"v215.wld",
                                  false,
                                  {2048, 2048, 2048, 2048},
                                  7,
                                  1,
                                  0,
                                  0,
                                  rgb336699,
                                  {0, 0},
                                  -1,
                                  -1,
                                  1,
                                  {"base.png", "", "", "", "", "", "", "", ""},
                                  0},
                      VersionCase{"v150.wld",
                                  false,
                                  {2048, 2048, 2048, 2048},
                                  7,
                                  1,
                                  0,
                                  0,
                                  black,
                                  {0, 0},
                                  -1,
                                  -1,
                                  1,
                                  {NO_MAPS},
                                  0},
                      VersionCase{"v000.wld",
                                  false,
                                  {2048, 2048, 2048, 2048},
                                  0,
                                  0,
                                  0,
                                  0,
                                  black,
                                  {0, 0},
                                  -1,
                                  -1,
                                  0,
                                  {NO_MAPS},
                                  0}));

TEST(WldReader, ReadsTheComponentSpecOfAComponentModule) {
  TempRepo repo;
  Module m;
  parseWld(fixture("v232.wld"), m, repo.ui, repo.repository, {});
  const ComponentSpec& c = m.component;
  EXPECT_EQ(c.kind, 3);
  EXPECT_EQ(c.serviceLife, 100);
  EXPECT_EQ(c.cycleHit, 2.5f);
  EXPECT_EQ(c.hitPointsPhysical, 40);
  EXPECT_EQ(c.hitPointsEnergy, 50);
  EXPECT_EQ(c.cost, 999.99f);
  EXPECT_EQ(c.maxCapacity, 12);
  EXPECT_EQ(c.make, "Acme");
  EXPECT_EQ(c.model, "");
  EXPECT_EQ(c.descriptor, "Main bus relay");
}

TEST(WldReader, SkippingComponentModulesStopsAtTheSystem) {
  TempRepo repo;
  Module m;
  EXPECT_EQ(parseWld(fixture("v232.wld"), m, repo.ui, repo.repository, {true, false, false}),
            WldParseResult::componentSkipped);
  EXPECT_EQ(parseWld(fixture("v230.wld"), m, repo.ui, repo.repository, {true, false, false}),
            WldParseResult::ok);
}

TEST(WldReader, ComponentLineOfVersion228HasElevenNumbers) {
  TempRepo repo;
  Module m;
  std::string text =
      "2.28 \n0 ,\n0 ,\nunused\nunused\nunused\nunused\nunused\nunused\nunused\n"
      "2 ,\n1 ,10.0 ,2.0 ,3 ,4 ,5.0 ,6.0 ,7.0 ,8.0 ,9.0 ,10.5 ,\nMake\nModel\nunused\n";
  parseWld(text, m, repo.ui, repo.repository, {});
  EXPECT_EQ(m.componentType, 2);
  EXPECT_EQ(m.component.pickup, 7);
  EXPECT_EQ(m.component.dropout, 0);
  EXPECT_EQ(m.component.loadDraw, 0);
  EXPECT_EQ(m.component.minTemperature, 8);
  EXPECT_EQ(m.component.maxTemperature, 9);
  EXPECT_EQ(m.component.maxCapacity, 10.5f);
  EXPECT_EQ(m.component.model, "Model");
}

TEST(WldReader, DetailControlWithoutDetailIsDroppedWithANotice) {
  TempRepo repo;
  Module m;
  std::string text =
      "2.32 \n0 ,\n0 ,\n 1 ,1 ,1 ,1 ,0 ,0 ,1 ,0 ,\n"
      "unused\nunused\nunused\nunused\nunused\nunused\nunused\nunused\nctl.png\n0 ,\n";
  parseWld(text, m, repo.ui, repo.repository, {});
  EXPECT_EQ(m.maps[controlfile], "");
  EXPECT_EQ(m.modified, 1);
  ASSERT_EQ(repo.ui.boxes.size(), 1u);
  EXPECT_EQ(repo.ui.boxes[0].text, "Removed a detail control file with no detail file");
  EXPECT_EQ(repo.ui.boxes[0].caption, "Heads-up!");
}

TEST(WldReader, MapNamesAreMadeRepositoryRelative) {
  TempRepo repo;
  repo.repository = makeRepositoryFolder("C:\\Assets\\");
  Module m;
  parseWld("2.17 \n0 ,\n0 ,\n 1 ,1 ,1 ,1 ,\nC:\\Assets\\tex\\hull.dds\n", m, repo.ui,
           repo.repository, {});
  EXPECT_EQ(m.maps[textfile], "tex\\hull.png");
}

TEST(WldReader, CentreIsTheRoundedMeanOrTheCityRectangle) {
  TempRepo repo;
  std::string text =
      "2.32 \n4 ,\n 2.5 ,-2.5 ,1.2 ,\n 2.5 ,-2.5 ,1.2 ,\n 2.5 ,-2.5 ,1.2 ,\n -9.5 ,7.0 ,3 ,\n0 ,\n";
  Module mean;
  parseWld(text, mean, repo.ui, repo.repository, {false, false, false});
  // Mean (-0.5, -0.125, 1.65): halves round away from zero.
  EXPECT_EQ(mean.centroid, (std::array<float, 3>{-1, 0, 2}));
  Module city;
  parseWld(text, city, repo.ui, repo.repository, {false, false, true});
  // Rectangle from the origin: x -9.5..2.5, y -2.5..7.0.
  EXPECT_EQ(city.centroid, (std::array<float, 3>{-4, 2, 0}));
}

TEST(WldReader, InvalidPolygonsAreDroppedAndReported) {
  TempRepo repo;
  Module m;
  std::string text =
      "2.32 \n3 ,\n 0 ,0 ,0 ,\n 1 ,0 ,0 ,\n 0 ,1 ,0 ,\n4 ,\n 1 ,1 ,1 ,1 ,0 ,0 ,1 ,0 ,\n"
      " 5 , 0 , 1 , 2 , 0 , 1 , ff000000 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 "
      ",0 ,0 ,0 , 0 ,\n"
      " 3 , 0 , 1 , 9 , ff000000 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 , 0 ,\n"
      " 2 , 0 , 1 , ff000000 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 , 0 ,\n"
      " 3 , 2 , 1 , 0 , ff00ff00 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 , 1 ,\n"
      "unused\nunused\nunused\nunused\nunused\nunused\nunused\nunused\nunused\n0 ,\n";
  parseWld(text, m, repo.ui, repo.repository, {});
  ASSERT_EQ(m.polygons.size(), 1u);  // the five-sided one was read past, so the last stays in step
  EXPECT_EQ(m.polygons[0].vertexIndex[0], 2);
  EXPECT_EQ(m.polygons[0].smooth, 1);
  EXPECT_EQ(m.modified, 1);
  ASSERT_EQ(repo.ui.boxes.size(), 1u);
  EXPECT_EQ(repo.ui.boxes[0].text,
            "Removed 3 polygons that did not have 3 or 4 corners on vertices of the file!");
  EXPECT_EQ(repo.ui.boxes[0].caption, "Integrity Check");
}

TEST(WldReader, HugeCountsInAShortFileDoNotGrowTheModel) {
  TempRepo repo;
  Module m;
  parseWld("2.32 \n2000000000 ,\n 1 ,2 ,3 ,\n", m, repo.ui, repo.repository, {});
  EXPECT_TRUE(m.vertices.empty());  // the one vertex read is unused
  EXPECT_LT(m.vertices.capacity(), 1000u);
  Module p;
  parseWld("2.32 \n0 ,\n2000000000 ,\n 1 ,1 ,1 ,1 ,0 ,0 ,1 ,0 ,\ngarbage", p, repo.ui,
           repo.repository, {});
  EXPECT_TRUE(p.polygons.empty());
  EXPECT_LT(p.polygons.capacity(), 1000u);
}

// A mesh with a record of every kind: four vertices, six polygons, nine map names and a
// component, each line of it at a place the cuts below can name.
std::string sixPolygonMesh() {
  Module m;
  m.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
  for (int i = 0; i < 6; ++i) {
    Polygon p;
    p.sides = 3;
    p.vertexIndex = {static_cast<std::uint32_t>(i % 4), static_cast<std::uint32_t>((i + 1) % 4),
                     static_cast<std::uint32_t>((i + 2) % 4), 0};
    p.colour = {1, 1, 1, 1};
    p.texelAngle = p.texelAngle2 = -1;
    p.smooth = static_cast<std::uint8_t>(i & 1);
    m.polygons.push_back(p);
  }
  for (int slot = 0; slot < mapSlotCount; ++slot) m.maps[slot] = formatText("tex\\m%i.png", slot);
  m.componentType = 2;
  m.component.kind = 1;
  m.component.maxCapacity = 12.5f;
  m.component.make = "Acme";
  m.component.model = "Mk 2";
  m.component.descriptor = "Bilge pump";
  return formatWld(m);
}

// The first `lines` lines of text and `more` bytes of the next.
std::string cut(const std::string& text, int lines, std::size_t more = 0) {
  std::size_t at = 0;
  for (int i = 0; i < lines; ++i) at = text.find('\n', at) + 1;
  return text.substr(0, at + more);
}

// A module read from memory, so that a file can be cut at every byte cheaply.
struct MemoryMesh : testing::MemoryRepo {
  const std::string name = "meshes\\hull.wld";

  WldLoad load(std::string_view text, Module& m) {
    put(name, text);
    m = Module{};
    m.filename = name;
    return loadWldModule(session, m, {});
  }
  const ShortFile* note() const { return MemoryRepo::note(name); }
};

// Whatever the cut, the file is reported and noted as ending early, or it reads as the whole
// file; the checks every reading needs still hold.
TEST(ReadWld, EveryCutOfAFileIsReportedOrReadsWhole) {
  for (const std::string& whole : {fixture("v232.wld"), sixPolygonMesh()}) {
    MemoryMesh r;
    Module wholeModule;
    ASSERT_EQ(r.load(whole, wholeModule), WldLoad::ok);
    ASSERT_TRUE(r.repo.ui.boxes.empty());
    const std::string expected = formatWld(wholeModule);
    for (std::size_t n = 0; n < whole.size(); ++n) {
      SCOPED_TRACE(n);
      r.repo.ui.boxes.clear();
      Module m;
      const WldLoad load = r.load(std::string_view{whole}.substr(0, n), m);
      for (const Polygon& p : m.polygons) {
        for (int c = 0; c < p.sides; ++c) ASSERT_LT(p.vertexIndex[c], m.vertices.size());
      }
      if (n == 0) {  // nothing of the version: not a mesh
        ASSERT_EQ(load, WldLoad::refused);
        continue;
      }
      ASSERT_EQ(load, WldLoad::ok);
      if (const ShortFile* note = r.note()) {
        ASSERT_EQ(note->detail.rfind("ends early: ", 0), 0u) << note->detail;
        ASSERT_FALSE(r.repo.ui.boxes.empty());
        EXPECT_EQ(r.repo.ui.boxes.back().caption, "File cut short!");
        EXPECT_EQ(r.repo.ui.boxes.back().text,
                  "This file " + note->detail +
                      "...\n\nmeshes\\hull.wld\n\nOnly what it holds was read.");
      } else {
        ASSERT_EQ(formatWld(m), expected);
        ASSERT_TRUE(r.repo.ui.boxes.empty()) << r.repo.ui.boxes[0].text;
      }
    }
    // Read again whole, the file's note goes.
    Module m;
    ASSERT_EQ(r.load(whole, m), WldLoad::ok);
    EXPECT_EQ(r.note(), nullptr);
  }
}

TEST(ReadWld, ACutSaysWhichRecordsItLost) {
  const std::string mesh = sixPolygonMesh();
  struct Case {
    std::string text;
    const char* detail;
    std::size_t vertices, polygons;
  } cases[] = {
      {cut(mesh, 3, 5), "ends early: 1 of 4 vertices", 0, 0},
      {cut(mesh, 7), "ends early: before its polygons", 0, 0},
      {cut(mesh, 11), "ends early: 3 of 6 polygons", 4, 3},
      {cut(mesh, 11, 20), "ends early: 3 of 6 polygons", 4, 3},  // a polygon cut is not kept
      {cut(mesh, 14), "ends early: 0 of 9 map names", 4, 6},
      {cut(mesh, 18, 3), "ends early: 4 of 9 map names", 4, 6},
      {cut(mesh, 24, 10), "ends early: in its component fields", 4, 6},
      {cut(mesh, 27, 4), "ends early: in its component fields", 4, 6},
      // A count no file of its size can hold.
      {"2.32 \n2000000000 ,\n 1 ,2 ,3 ,\n", "ends early: 1 of 2000000000 vertices", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.detail);
    MemoryMesh r;
    Module m;
    ASSERT_EQ(r.load(c.text, m), WldLoad::ok);
    ASSERT_NE(r.note(), nullptr);
    EXPECT_EQ(r.note()->detail, c.detail);
    EXPECT_EQ(m.vertices.size(), c.vertices);
    EXPECT_EQ(m.polygons.size(), c.polygons);
  }
  // A name the file ends inside is no name: the names before it stay.
  MemoryMesh r;
  Module m;
  r.load(cut(mesh, 18, 3), m);
  EXPECT_EQ(m.maps[heightfile], "tex\\m3.png");  // the fourth name of the file
  EXPECT_EQ(m.maps[visibilityfile], "");
  r.load(cut(mesh, 27, 4), m);
  EXPECT_EQ(m.component.model, "Mk 2");
  EXPECT_EQ(m.component.descriptor, "");
}

TEST(WldReader, ALastLineEndIsNeededOnlyAfterAName) {
  // The comma closes a number, so nothing can be missing after it; a name may go on past a cut.
  const std::string mesh = sixPolygonMesh();
  const std::string closedByComma =
      "0.00 \n3 ,\n 0 ,0 ,0 ,\n 1 ,0 ,0 ,\n 0 ,1 ,0 ,\n1 ,\n 3 , 0 , 1 , 2 , 12345 ,";
  const std::string name = mesh.substr(0, mesh.size() - 2);  // the descriptor, without "\r\n"
  std::string detail = "unset";
  TempRepo repo;
  Module m;
  EXPECT_EQ(parseWld(closedByComma, m, repo.ui, repo.repository, {}, nullptr, &detail),
            WldParseResult::ok);
  EXPECT_EQ(detail, "");
  EXPECT_EQ(m.polygons.size(), 1u);
  EXPECT_EQ(parseWld(name, m, repo.ui, repo.repository, {}, nullptr, &detail), WldParseResult::ok);
  EXPECT_EQ(detail, "ends early: in its component fields");
}

TEST(WldReader, ShortLinesLeaveDefaults) {
  TempRepo repo;
  Module m;
  // The header stops after the canvas: the rest keep their defaults, the polygons still read.
  parseWld(
      "2.32 \n3 ,\n 0 ,0 ,0 ,\n 1 ,0 ,0 ,\n 0 ,1 ,0 ,\n1 ,\n 640 ,480 ;\n 3 , 0 , 1 , 2 , ff000000 "
      ",\n",
      m, repo.ui, repo.repository, {});
  EXPECT_EQ(m.canvasWidth, 640);
  EXPECT_EQ(m.canvasHeight, 480);
  EXPECT_EQ(m.canvasWidth2, 2048);
  EXPECT_EQ(m.scaleClass, 1);        // the default before the header
  EXPECT_EQ(m.polygons.size(), 0u);  // the ';' stops every later number: no polygon has corners
}

TEST(WldReader, AFileThatDoesNotBeginWithAVersionIsNotAMesh) {
  TempRepo repo;
  const std::string utf16 = std::string{"\xFF\xFE"} + std::string("2\0.\0003\0002\0", 8);
  struct Case {
    std::string text;
    const char* message;
  } cases[] = {
      {"", "This file does not appear to be a valid WLD file...\n\nmeshes\\x.wld"},
      {utf16, "This file does not appear to be a valid WLD file...\n\nmeshes\\x.wld"},
      {"CTY\n2.510000 ,\n", "This file does not appear to be a valid WLD file...\n\nmeshes\\x.wld"},
      {"nan \n3 ,\n", "This file does not appear to be a valid WLD file...\n\nmeshes\\x.wld"},
      // Numbers no float holds are no versions either.
      {"1e308 \n3 ,\n", "This file does not appear to be a valid WLD file...\n\nmeshes\\x.wld"},
      {"-inf \n3 ,\n", "This file does not appear to be a valid WLD file...\n\nmeshes\\x.wld"},
      {std::string(100000, '\0'),
       "This file cannot be read: it holds a run of 256 zero bytes on line 1, which no file of "
       "this kind "
       "holds...\n\nmeshes\\x.wld"},
  };
  for (const Case& c : cases) {
    repo.ui.boxes.clear();
    Module m;
    m.filename = "meshes\\x.wld";
    EXPECT_EQ(parseWld(c.text, m, repo.ui, repo.repository, {}), WldParseResult::notWld);
    ASSERT_EQ(repo.ui.boxes.size(), 1u);
    EXPECT_EQ(repo.ui.boxes[0].text, c.message);
    EXPECT_EQ(repo.ui.boxes[0].caption, "Incompatible file!");
  }
  // A version of 0 or below is the oldest layout, still a mesh.
  Module oldest;
  EXPECT_EQ(parseWld("0.00 \n0 ,\n0 ,\n", oldest, repo.ui, repo.repository, {}),
            WldParseResult::ok);
}

TEST(WldReader, MapNamesLeadingOutOfTheRepositoryAreKeptButNotFollowed) {
  TempRepo repo;
  Module m;
  m.filename = "meshes\\hull.wld";
  const std::string text =
      "2.32 \n0 ,\n0 ,\n 2048 ,2048 ,2048 ,2048 ,0 ,0 ,1 ,0 ,\n"
      "..\\..\\etc\\base.dds\nmaps\\light.dds\n/etc/overlay.dds\nunused\nunused\nunused\n"
      "unused\nunused\nunused\n0 ,\n";
  ASSERT_EQ(parseWld(text, m, repo.ui, repo.repository, {}), WldParseResult::ok);
  EXPECT_EQ(m.maps[textfile], "..\\..\\etc\\base.png");
  EXPECT_EQ(m.maps[overlayfile], "\\etc\\overlay.png");
  EXPECT_EQ(m.modified, 0);  // nothing to save: the names stay as the file has them
  ASSERT_EQ(repo.ui.boxes.size(), 1u);
  EXPECT_EQ(repo.ui.boxes[0].caption, "Heads-up!");
  EXPECT_EQ(
      repo.ui.boxes[0].text,
      "meshes\\hull.wld names map files outside the repository folder:\n\n..\\..\\etc\\base.png\n"
      "\\etc\\overlay.png\nThey are kept in the file but not read.");
}

TEST(ReadWld, AFileLargerThanTheReadWindowReadsAsAWhole) {
  // Many windows' worth of polygons, so the file is read in pieces.
  Module big;
  for (int i = 0; i < 300; ++i)
    big.vertices.push_back({static_cast<float>(i), static_cast<float>(i % 7), 0.5f});
  Polygon p;
  p.sides = 4;
  p.colour = {0.2f, 0.4f, 0.6f, 1};
  p.texels = {Texel{0.123456f, 0.654321f}, Texel{1, 0}, Texel{1, 1}, Texel{0, 1}};
  p.texelAngle = p.texelAngle2 = -1;
  for (int i = 0; i < 120000; ++i) {
    const auto a = static_cast<std::uint16_t>(i % 297);
    p.vertexIndex = {a, static_cast<std::uint16_t>(a + 1), static_cast<std::uint16_t>(a + 2),
                     static_cast<std::uint16_t>(a + 3)};
    p.smooth = static_cast<std::uint8_t>(i & 1);
    big.polygons.push_back(p);
  }
  big.maps[textfile] = "tex\\big.png";
  const std::string text = formatWld(big);
  ASSERT_GT(text.size(), 2 * FileWindow::windowSize);

  TempRepo repo;
  repo.write("big.wld", text);
  repo.model.document.module[0].filename = "big.wld";
  ASSERT_TRUE(readWld(repo.session, 0, {}));
  EXPECT_EQ(repo.model.document.module[0].polygons.size(), 120000u);
  // Nothing lost or doubled where a window ends: written again, it is the file it was read from.
  EXPECT_EQ(formatWld(repo.model.document.module[0]), text);
  EXPECT_EQ(repo.model.document.module[0].maps[textfile], "tex\\big.png");
}

TEST(ReadWld, AMeshPastSixteenBitIndicesKeepsEveryCornerThroughSaveAndLoad) {
  // 265 x 265 = 70,225 vertices: corners past 65,535 once wrapped onto low vertices, and the
  // integrity pass then removed the vertices nothing named any more.
  constexpr std::uint32_t side = 265;
  Module big;
  for (std::uint32_t j = 0; j < side; ++j) {
    for (std::uint32_t i = 0; i < side; ++i)
      big.vertices.push_back({static_cast<float>(i), static_cast<float>(j), 0});
  }
  Polygon p;
  p.sides = 4;
  p.colour = {1, 1, 1, 1};
  p.texelAngle = p.texelAngle2 = -1;
  for (std::uint32_t j = 0; j + 1 < side; ++j) {
    for (std::uint32_t i = 0; i + 1 < side; ++i) {
      const std::uint32_t m = j * side + i;
      p.vertexIndex = {m + side + 1, m + 1, m, m + side};
      big.polygons.push_back(p);
    }
  }
  big.version = 2.32f;
  const std::string text = formatWld(big);

  TempRepo repo;
  repo.write("grid.wld", text);
  Module& m = repo.model.document.module[0];
  m.filename = "grid.wld";
  ASSERT_TRUE(readWld(repo.session, 0, {}));
  EXPECT_TRUE(repo.ui.boxes.empty()) << repo.ui.boxes[0].text;
  ASSERT_EQ(m.vertices.size(), big.vertices.size());
  ASSERT_EQ(m.polygons.size(), big.polygons.size());
  EXPECT_EQ(m.polygons.back().vertexIndex, big.polygons.back().vertexIndex);
  EXPECT_EQ(m.polygons.back().vertexIndex[0], side * side - 1);

  m.modified = 1;
  ASSERT_TRUE(writeWld(repo.session, 0));
  EXPECT_EQ(repo.read("grid.wld"), text);
  ASSERT_TRUE(readWld(repo.session, 0, {}));
  for (std::size_t i = 0; i < big.polygons.size(); ++i) {
    ASSERT_EQ(m.polygons[i].vertexIndex, big.polygons[i].vertexIndex) << "polygon " << i;
  }
  for (std::size_t i = 0; i < big.vertices.size(); ++i) {
    ASSERT_EQ(std::tuple(m.vertices[i].x, m.vertices[i].y),
              std::tuple(big.vertices[i].x, big.vertices[i].y))
        << "vertex " << i;
  }
}

TEST(ReadWld, MissingNameAndMissingFileAreReported) {
  TempRepo repo;
  EXPECT_FALSE(readWld(repo.session, 0, {}));
  ASSERT_EQ(repo.ui.boxes.size(), 1u);
  EXPECT_EQ(repo.ui.boxes[0].text, "No file was specified for loading\n\n\"\"");
  EXPECT_EQ(repo.ui.boxes[0].caption, "File not loaded!");
  EXPECT_EQ(repo.ui.boxes[0].icon, MessageIcon::warning);

  repo.model.document.module[0].filename = "meshes\\absent.wld";
  EXPECT_FALSE(readWld(repo.session, 0, {}));
  EXPECT_EQ(repo.ui.boxes[1].text, "Could not find the WLD file or the file is in use...\n\n" +
                                       (repo.root / "meshes/absent.wld").string());
  EXPECT_EQ(repo.model.document.module[0].filename, "");
}

TEST(ReadWld, InteractiveOpenAnnouncesAnOlderVersionAndJoinsTheRecentList) {
  TempRepo repo;
  Editor editor{repo.session};
  repo.write("meshes/Hull.wld", fixture("v230.wld"));
  // The user's open; names from the studio may differ in case.
  ASSERT_TRUE(readSingleMesh(editor, "meshes\\hull.wld"));
  const Module& m = repo.model.document.module[0];
  EXPECT_EQ(m.modified, 1);
  EXPECT_NE(m.fileTime, 0);
  ASSERT_EQ(repo.ui.boxes.size(), 1u);
  EXPECT_EQ(repo.ui.boxes[0].text,
            "This file was last saved using TESSARIM v2.30...\n\nThe file will automatically be "
            "updated to "
            "v2.32 at this time...");
  EXPECT_EQ(repo.ui.boxes[0].caption, "Older file version found!");
  EXPECT_EQ(repo.ui.boxes[0].icon, MessageIcon::warning);
  ASSERT_EQ(editor.recent.wld.entries.size(), 1u);
  EXPECT_EQ(editor.recent.wld.entries[0].name, "meshes\\hull.wld");
  EXPECT_EQ(repo.store.readString(recentKey, "MRU\\WLD0"), "meshes\\hull.wld");
}

TEST(ReadWld, NewerVersionIsRefusedWithoutEndingTheProgram) {
  TempRepo repo;
  repo.write("new.wld", "2.33 \n3 ,\n 0 ,0 ,0 ,\n");
  repo.model.document.module[0].filename = "new.wld";
  EXPECT_FALSE(readWld(repo.session, 0, {}));
  ASSERT_EQ(repo.ui.boxes.size(), 1u);
  EXPECT_EQ(repo.ui.boxes[0].text,
            "This file was last saved using TESSARIM v2.33...\n\nYou must download a TESSARIM "
            "v2.33 or higher...");
  EXPECT_EQ(repo.ui.boxes[0].caption, "Newer file version found!");
  EXPECT_EQ(repo.ui.boxes[0].icon, MessageIcon::error);
  EXPECT_TRUE(repo.model.document.module[0].vertices.empty());
}

}  // namespace
}  // namespace tessarim
