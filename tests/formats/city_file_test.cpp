#include <gtest/gtest.h>

#include <cmath>

#include "formats/assembly.hpp"
#include "support/documents.hpp"
#include "support/memory_repo.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

using testing::TempRepo;

std::string grid(int n, const std::string& cell) {
  std::string text;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) text += cell;
    text += "\n";
  }
  return text;
}

std::string names(const std::vector<std::string>& first) {
  std::string text = "255 ,\n";
  for (int i = 0; i < 255; ++i)
    text += (i < static_cast<int>(first.size()) ? first[i] : "Unused") + "\n";
  return text;
}

constexpr const char* nodes =
    "3 ,\n0.250000, 0.500000, 1, 7 \n0.750000, 0.500000, 0, 0 \n0.500000, 0.250000, 2, 0 \n"
    "1 ,\n0.250000, 0.500000 \n2 ,\n0.750000, 0.500000, 6, 0 \n0.500000, 0.250000, 5, 0 \n";

struct OpenedCity {
  TempRepo repo;
  bool ok = false;
  explicit OpenedCity(const std::string& text) {
    repo.write("meshes/hull.wld", testing::triangleWld());
    repo.write("c.cty", text);
    repo.model.document.kind = DocumentKind::ctyfile;
    repo.model.document.documentPath = "c.cty";
    ok = readAssembly(repo.session);
  }
};

std::string currentCity(const std::string& instances, int count) {
  return "CTY\n2.510000 ,\n1 ,\nmeshes\\hull.wld\n " + std::to_string(count) + " ,\n" + instances +
         " 0 ,\nRTS\n 1 ,-16 ,\n" + grid(26, "1 ,5 ,") + names({"Town hall", "unused", "Depot"}) +
         nodes;
}

TEST(ReadCity, CurrentVersionReadsEverySection) {
  OpenedCity city{currentCity("0.0 ,0.0 ,0.0 ,0.0 ,0.0 ,0.0 ,3 ,2 ,\n", 1)};
  ASSERT_TRUE(city.ok);
  const Model& model = city.repo.model;
  ASSERT_EQ(model.document.wldfiles, 2);  // the ground grid is appended
  const Module& grid = model.document.module[1];
  EXPECT_EQ(grid.filename, "");
  EXPECT_EQ(grid.scaleClass, 2);
  EXPECT_EQ(grid.instances.size(), 1u);
  EXPECT_EQ(grid.polygons.size(), 26u * 26u);
  EXPECT_TRUE(model.document.rtsEnabled);
  EXPECT_EQ(model.document.modelId, -16);
  EXPECT_EQ(model.document.rtspsGrid[27].turn, 1);
  EXPECT_EQ(model.document.rtspsGrid[27].piece, 5);
  EXPECT_EQ(model.document.buildingNames[0], "Town hall");
  EXPECT_EQ(model.document.buildingNames[1], "");
  EXPECT_EQ(model.document.buildingNames[2], "Depot");
  ASSERT_EQ(model.document.streetNodes.nodes.size(), 3u);
  EXPECT_EQ(model.document.streetNodes.nodes[0].neighbourCount, 2);
  EXPECT_EQ(model.document.streetNodes.nodes[0].data, 7);
  const Instance& t = model.document.module[0].instances.at(0);
  EXPECT_TRUE(t.guid.isNull());  // city instances have no GUIDs
  EXPECT_EQ(t.type, 3);
  EXPECT_EQ(t.group, 2);
  EXPECT_EQ(t.extendRate, 1);
  EXPECT_FALSE(model.status.documentModified);
  EXPECT_TRUE(city.repo.ui.boxes.empty());
  EXPECT_TRUE(contentLostOnLoad(model).empty());
}

TEST(ReadCity, InstancesSnapToWholeDegreesAndTenths) {
  struct Case {
    const char* line;
    float degrees;
    std::array<float, 3> location;
    bool modified;
  } cases[] = {
      {"0.0 ,0.0 ,3.0 ,0.0 ,0.0 ,0.795870 ,0 ,0 ,\n", 46, {0, 0, 3}, true},
      {"0.0 ,0.0 ,0.0 ,0.0 ,0.0 ,-0.794125 ,0 ,0 ,\n", -46, {0, 0, 0}, true},
      {"1.04 ,-0.96 ,0.0 ,0.0 ,0.0 ,0.0 ,0 ,0 ,\n", 0, {1.0f, -1.0f, 0}, true},
      {"0.0 ,0.0 ,2.5 ,0.0 ,0.0 ,0.0 ,0 ,0 ,\n", 0, {0, 0, 2.5f}, true},  // z stays but is flagged
      {"0.0 ,0.0 ,3.0 ,0.0 ,0.0 ,0.0 ,0 ,0 ,\n", 0, {0, 0, 3}, false},
  };
  for (const Case& c : cases) {
    OpenedCity city{currentCity(c.line, 1)};
    ASSERT_TRUE(city.ok);
    const Instance& t = city.repo.model.document.module[0].instances.at(0);
    EXPECT_NEAR(t.orientation[2] * 57.29578f, c.degrees, 1e-4) << c.line;
    EXPECT_EQ(t.location, c.location) << c.line;
    EXPECT_EQ(city.repo.model.status.documentModified, c.modified) << c.line;
  }
}

TEST(ReadCity, OlderSectionsAndTheirMessages) {
  // 2.31: no model ID in the file, and a grid of 278 x 278 cells with two extra numbers each.
  std::string old =
      "CTY\n2.310000 ,\n1 ,\nmeshes\\hull.wld\n 1 ,\n0.0 ,0.0 ,0.0 ,0.0 ,0.0 ,0.0 ,0 ,0 ,ab ,cd "
      ",\n 0 ,\nRTS\n"
      "0 ,\n" +
      grid(278, "2 ,30 ,9 ,9 ,") + "3 ,\nAlpha\nUNUSED\nGamma\n";
  OpenedCity city{old};
  ASSERT_TRUE(city.ok);
  const Model& model = city.repo.model;
  ASSERT_FALSE(city.repo.ui.boxes.empty());
  EXPECT_EQ(city.repo.ui.boxes[1].text, "This CTY doesn't have a model ID set!");
  EXPECT_EQ(city.repo.ui.boxes[1].caption, "Skew Matrix Calculation");
  EXPECT_EQ(model.document.rtspsGrid[25 * 26 + 25].turn, 2);
  EXPECT_EQ(model.document.rtspsGrid[25 * 26 + 25].piece, 0);  // a retired piece
  EXPECT_EQ(model.document.buildingNames[1], "");
  EXPECT_EQ(model.document.buildingNames[2], "Gamma");
  EXPECT_EQ(model.document.wldfiles, 2);
}

TEST(ReadCity, OlderThanTwoIsRefused) {
  OpenedCity city{"CTY\n1.900000 ,\n"};
  EXPECT_FALSE(city.ok);
  ASSERT_EQ(city.repo.ui.boxes.size(), 2u);
  EXPECT_EQ(city.repo.ui.boxes[0].text,
            "This file was last saved using CALVORAN v1.90...\n\nThe file will automatically be "
            "updated to v2.51 at this time...");
  EXPECT_EQ(city.repo.ui.boxes[1].text, "Unsupported 2452");
  EXPECT_EQ(city.repo.model.document.wldfiles, 0);
}

TEST(ReadCity, WithoutItsSectionStillGetsItsGroundGrid) {
  const std::string lights =
      "CTY\n2.510000 ,\n1 ,\nmeshes\\hull.wld\n 1 ,\n0.0 ,0.0 ,0.0 ,0.0 ,0.0 ,0.0 ,0 ,0 ,\n 0 ,\n";
  // Ending where the section begins, the file was cut; another word says it has none.
  for (const std::string& text : {lights, lights + "NONE\n"}) {
    OpenedCity city{text};
    ASSERT_TRUE(city.ok);
    ASSERT_EQ(city.repo.model.document.wldfiles, 2);
    EXPECT_EQ(city.repo.model.document.module[0].filename, "meshes\\hull.wld");
    EXPECT_EQ(city.repo.model.document.module[1].polygons.size(), 676u);
    EXPECT_EQ(contentLostOnLoad(city.repo.model),
              text == lights ? std::vector<std::string>{"c.cty: ends early: before its RTS section"}
                             : std::vector<std::string>{});
  }
}

// Reads texts as the city "c.cty" of a repository in memory holding hull.wld.
struct MemoryCity : testing::MemoryRepo {
  MemoryCity() { put("meshes\\hull.wld", testing::triangleWld()); }
  bool read(std::string_view text) {
    put("c.cty", text);
    repo.ui.boxes.clear();
    repo.model.document.kind = DocumentKind::ctyfile;
    repo.model.document.documentPath = "c.cty";
    return readAssembly(session);
  }
};

// Whatever the cut, the file is reported and noted as ending early, or it reads as the whole
// file.
TEST(ReadCity, EveryCutOfAFileIsReportedOrReadsWhole) {
  MemoryCity c;
  const std::string whole = currentCity("0.0 ,0.0 ,0.0 ,0.0 ,0.0 ,0.0 ,3 ,2 ,\n", 1);
  ASSERT_TRUE(c.read(whole));
  ASSERT_TRUE(c.repo.ui.boxes.empty());
  const std::string expected = formatAssembly(c.repo.model, false).bytes;
  for (std::size_t n = 0; n < whole.size(); ++n) {
    SCOPED_TRACE(n);
    if (!c.read(std::string_view{whole}.substr(0, n))) {
      // Cut before the version's first digit, it is version 0: older than a city can be.
      ASSERT_LE(n, 4u);
      continue;
    }
    if (const ShortFile* note = c.note("c.cty")) {
      ASSERT_EQ(note->detail.rfind("ends early: ", 0), 0u) << note->detail;
      ASSERT_EQ(c.repo.ui.boxes.back().caption, "File cut short!");
    } else {
      ASSERT_EQ(formatAssembly(c.repo.model, false).bytes, expected);
      ASSERT_TRUE(c.repo.ui.boxes.empty()) << c.repo.ui.boxes[0].text;
    }
  }
}

TEST(ReadCity, ACutSaysWhichRecordsItLost) {
  const std::string whole = currentCity("0.0 ,0.0 ,0.0 ,0.0 ,0.0 ,0.0 ,3 ,2 ,\n", 1);
  auto upTo = [&](std::string_view text, std::size_t more) {
    return whole.substr(0, whole.find(text) + more);
  };
  const std::size_t grid = whole.find("RTS\n 1 ,-16 ,\n") + 14;
  const struct {
    std::string text;
    const char* detail;
    std::size_t nodes;
  } cases[] = {
      {upTo("RTS", 2), "ends early: before its RTS section", 0},
      {whole.substr(0, grid + 27 * 6 + 1 + 3), "ends early: 27 of 676 ground-grid cells", 0},
      {upTo("Depot", 2), "ends early: 2 of 255 building names", 0},
      {upTo("0.500000, 0.250000, 2", 10), "ends early: 2 of 3 street nodes", 2},
      {upTo("0.500000, 0.250000, 5", 10), "ends early: 0 of 1 linked street nodes", 3},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.detail);
    MemoryCity c;
    ASSERT_TRUE(c.read(t.text));
    ASSERT_NE(c.note("c.cty"), nullptr);
    EXPECT_EQ(c.note("c.cty")->detail, t.detail);
    EXPECT_EQ(c.repo.model.document.streetNodes.nodes.size(), t.nodes);
    EXPECT_FALSE(c.shown("Neighbour doesn't exist"));  // a link cut short is not looked for
  }
}

TEST(WriteCity, SavingMovesTheCityToItsGroundGridAndRoundTrips) {
  OpenedCity city{currentCity(
      "10.0 ,20.0 ,0.0 ,0.0 ,0.0 ,0.0 ,3 ,2 ,\n12.0 ,21.0 ,1.0 ,0.0 ,0.0 ,0.0 ,0 ,4 ,\n", 2)};
  ASSERT_TRUE(city.ok);
  Model& model = city.repo.model;
  model.document.module[1].instances[0].location = {10, 5, 0};
  model.status.documentModified = true;
  ASSERT_TRUE(writeAssembly(city.repo.session, true, false));
  EXPECT_EQ(model.document.module[0].instances[0].location, (std::array<float, 3>{0, 15, 0}));
  EXPECT_EQ(model.document.module[0].instances[1].location, (std::array<float, 3>{2, 16, 1}));
  EXPECT_EQ(model.document.module[1].instances[0].location, (std::array<float, 3>{0, 0, 0}));
  const std::string first = city.repo.read("c.cty");
  EXPECT_EQ(first.substr(0, first.find("RTS")),
            "CTY\r\n2.510000 ,\r\n1 ,\r\nmeshes\\hull.wld\r\n 2 ,\r\n"
            "0.000000 ,15.000000 ,0.000000 ,0.000000 ,0.000000 ,0.000000 ,3 ,2 ,\r\n"
            "2.000000 ,16.000000 ,1.000000 ,0.000000 ,0.000000 ,0.000000 ,0 ,4 ,\r\n 0 ,\r\n");
  EXPECT_NE(first.find("RTS\r\n 1 ,-16 ,\r\n1 ,5 ,1 ,5 ,"), std::string::npos);
  EXPECT_NE(first.find("\r\nTown hall\r\nUnused\r\nDepot\r\nUnused\r\n"), std::string::npos);

  ASSERT_TRUE(readAssembly(city.repo.session));
  EXPECT_EQ(model.document.streetNodes.nodes.size(), 3u);
  model.status.documentModified = true;
  ASSERT_TRUE(writeAssembly(city.repo.session, true, false));
  EXPECT_EQ(city.repo.read("c.cty"), first);
}

}  // namespace
}  // namespace tessarim
