#include <gtest/gtest.h>

#include <cmath>

#include "editor/editor.hpp"
#include "editor/lifecycle.hpp"
#include "editor/status_text.hpp"
#include "formats/assembly.hpp"
#include "formats/guid_text.hpp"
#include "support/documents.hpp"
#include "support/memory_repo.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

using testing::TempRepo;

constexpr const char* guidA = "0123ABCD-1A2B-3C4D-5E6F-0A1B2C3D4E5F ,";
constexpr const char* trailer = " 1500.500000 ,\nunused\n 7 , 1 ,\n";

// Opens text as the assembly "a.asm" of a repository holding hull.wld and deck.wld.
// A document read as the editor reads it: the recent list and the title follow the reading.
struct Opened {
  TempRepo repo;
  Editor editor{repo.session};
  bool ok = false;
  Opened(const std::string& text, bool city = false) {
    repo.write("meshes/hull.wld", testing::triangleWld());
    repo.write("meshes/deck.wld", testing::triangleWld(5));
    repo.write(city ? "a.cty" : "a.asm", text);
    repo.model.document.kind = city ? DocumentKind::ctyfile : DocumentKind::asmfile;
    repo.model.document.documentPath = city ? "a.cty" : "a.asm";
    ok = readDocumentFile(editor);
  }
  const Module& module(int i) const { return repo.model.document.module[i]; }
  std::vector<std::string> captions() const {
    std::vector<std::string> out;
    for (const auto& b : repo.ui.boxes) out.push_back(b.caption);
    return out;
  }
};

TEST(ReadAssembly, CurrentVersionFillsEveryField) {
  Opened doc{std::string{"ASM\n2.510000 ,\n1 ,\nmeshes\\hull.wld\n 1 ,\n"} + guidA +
             "1.5 ,2.5 ,3.5 ,0.1 ,0.2 ,0.3 ,12 ,9 ,4.25 ,"
             "0.5 ,0.25 ,1.5 ,2.5 ,4.5 ,0 ,0 ,1 ,0.1 ,0.2 ,0.3 ,1.2 ,35 ,\n"
             " 1 ,\n1.0 ,2.0 ,3.0 ,0.0 ,0.0 ,2.0 ,ff00ff00 ,4294967295 ,2.5 ,1.0 ,12 ,\n" +
             trailer};
  ASSERT_TRUE(doc.ok);
  EXPECT_TRUE(doc.repo.ui.boxes.empty()) << doc.repo.ui.boxes[0].text;
  const Model& model = doc.repo.model;
  ASSERT_EQ(model.document.wldfiles, 1);
  const Instance& t = doc.module(0).instances.at(0);
  EXPECT_EQ(formatGuid(t.guid), "0123ABCD-1A2B-3C4D-5E6F-0A1B2C3D4E5F");
  EXPECT_EQ(t.location, (std::array<float, 3>{1.5f, 2.5f, 3.5f}));
  EXPECT_EQ(t.orientation, (std::array<float, 3>{0.1f, 0.2f, 0.3f}));
  EXPECT_EQ(t.group, 12);
  EXPECT_EQ(t.colourKey, 9);
  EXPECT_EQ(t.volume, 4.25f);
  EXPECT_EQ(t.extendRate, 0.5f);
  EXPECT_EQ(t.retractRate, 0.25f);
  EXPECT_EQ(t.endLocation, (std::array<float, 3>{1.5f, 2.5f, 4.5f}));
  EXPECT_EQ(t.hingeAxis, (std::array<float, 3>{0, 0, 1}));
  EXPECT_EQ(t.hingeOffset, (std::array<float, 3>{0.1f, 0.2f, 0.3f}));
  EXPECT_EQ(t.hingeAngle, 1.2f);
  EXPECT_EQ(t.type, 35);
  ASSERT_EQ(model.document.lightCount, 1);
  EXPECT_EQ(model.document.lights[0].normal, (std::array<float, 3>{0, 0, 1}));  // normalised
  EXPECT_EQ(model.document.lights[0].colour, 0xff00ff00u);
  EXPECT_EQ(model.document.lights[0].sequence, 0xFFFFFFFFu);
  EXPECT_EQ(model.document.lights[0].attached, 12);
  EXPECT_EQ(model.document.emptyWeight, 1500.5f);
  EXPECT_EQ(model.document.schemeFile, "");
  EXPECT_EQ(model.document.modelId, 7);
  EXPECT_TRUE(model.document.interiorFlag);
  EXPECT_FALSE(model.status.documentModified);
  EXPECT_TRUE(contentLostOnLoad(model).empty());
  EXPECT_EQ(windowTitleFor(doc.editor.model()), "Tessarim - a.asm");
  EXPECT_EQ(doc.editor.recent.asmList.entries.at(0).name, "a.asm");
  EXPECT_EQ(model.document.schemeColours[1], 0x000F0F0Fu);  // the grey ramp without a scheme file
  // Statistics are current: the triangle reaches 1 unit from its origin (class 1, 0.00034822 km).
  EXPECT_FLOAT_EQ(doc.module(0).boundingRadius, 0.00034822f);
  EXPECT_NEAR(model.status.encompassingRadius, (std::sqrt(20.75) + 1) * 0.00034822, 1e-9);
}

// Instance lines of each older version: line A then line B, as one text line.
struct InstanceCase {
  const char* version;
  const char* lines;
  std::array<float, 3> location, orientation;
  std::int16_t group, colourKey;
  float volume, extendRate, retractRate;
  std::array<float, 3> endLocation;
  float hingeAngle;
  int type;
  bool keepsGuid;
};

class InstanceVersions : public ::testing::TestWithParam<InstanceCase> {};

TEST_P(InstanceVersions, EveryOlderLayoutReads) {
  const InstanceCase& c = GetParam();
  // Before 2.0 the header has four more numbers and names leave out their extension.
  const bool ancient = std::string{c.version} < "2";
  Opened doc{std::string{"ASM\n"} + c.version + " ,\n" + (ancient ? "0 ,0 ,0 ,0 ,\n" : "") +
             "1 ,\nmeshes\\hull" + (ancient ? "" : ".wld") + "\n 1 ,\n" + c.lines + " 0 ,\n" +
             trailer};
  ASSERT_TRUE(doc.ok);
  const Instance& t = doc.module(0).instances.at(0);
  EXPECT_EQ(t.location, c.location);
  for (int k = 0; k < 3; ++k) EXPECT_FLOAT_EQ(t.orientation[k], c.orientation[k]) << k;
  EXPECT_EQ(t.group, c.group);
  EXPECT_EQ(t.colourKey, c.colourKey);
  EXPECT_EQ(t.volume, c.volume);
  EXPECT_EQ(t.extendRate, c.extendRate);
  EXPECT_EQ(t.retractRate, c.retractRate);
  EXPECT_EQ(t.endLocation, c.endLocation);
  EXPECT_EQ(t.hingeAngle, c.hingeAngle);
  EXPECT_EQ(t.type, c.type);
  EXPECT_EQ(formatGuid(t.guid) == "0123ABCD-1A2B-3C4D-5E6F-0A1B2C3D4E5F", c.keepsGuid);
  EXPECT_FALSE(t.guid.isNull());
  EXPECT_TRUE(doc.repo.model.status.documentModified);   // older version
  EXPECT_TRUE(doc.repo.model.status.readShort.empty());  // every layout's file is whole
}

INSTANTIATE_TEST_SUITE_P(
    Table, InstanceVersions,
    ::testing::Values(
        InstanceCase{"2.49",
                     "0123ABCD-1A2B-3C4D-5E6F-0A1B2C3D4E5F ,1 ,2 ,3 ,0.1 ,0.2 ,0.3 ,4 ,5 ,"
                     "0.5 ,0.25 ,1 ,2 ,9 ,0 ,0 ,1 ,0 ,0 ,0 ,1.5 ,33 ,\n",
                     {1, 2, 3},
                     {0.1f, 0.2f, 0.3f},
                     4,
                     5,
                     0,
                     0.5f,
                     0.25f,
                     {1, 2, 9},
                     1.5f,
                     33,
                     true},
        InstanceCase{"2.40",
                     "0123ABCD-1A2B-3C4D-5E6F-0A1B2C3D4E5F ,1 ,2 ,3 ,0.1 ,0.2 ,0.3 ,4 ,5 ,"
                     "0.5 ,1 ,2 ,9 ,0 ,0 ,1 ,0 ,0 ,0 ,1.5 ,33 ,\n",
                     {1, 2, 3},
                     {0.1f, 0.2f, 0.3f},
                     4,
                     5,
                     0,
                     0.5f,
                     0.5f,
                     {1, 2, 9},
                     1.5f,
                     33,
                     true},
        InstanceCase{"2.37",
                     "0123ABCD-1A2B-3C4D-5E6F-0A1B2C3D4E5F ,1 ,2 ,3 ,0.1 ,0.2 ,0.3 ,4 ,"
                     "0.5 ,1 ,2 ,9 ,0 ,0 ,1 ,0 ,0 ,0 ,1.5 ,33 ,\n",
                     {1, 2, 3},
                     {0.1f, 0.2f, 0.3f},
                     4,
                     -1,
                     0,
                     0.5f,
                     0.5f,
                     {1, 2, 9},
                     1.5f,
                     33,
                     true},
        InstanceCase{"2.36",
                     "0123ABCD-1A2B-3C4D-5E6F-0A1B2C3D4E5F ,1 ,2 ,3 ,0.1 ,0.2 ,0.3 ,4 ,"
                     "0.5 ,1 ,2 ,9 ,0 ,0 ,1 ,0 ,0 ,0 ,1.5 ,33 ,7 ,7 ,7 ,7 ,ab ,cd ,ef ,\n",
                     {1, 2, 3},
                     {0.1f, 0.2f, 0.3f},
                     4,
                     -1,
                     0,
                     0.5f,
                     0.5f,
                     {1, 2, 9},
                     1.5f,
                     33,
                     true},
        InstanceCase{"2.30",
                     "1 ,2 ,3 ,0.1 ,0.2 ,0.3 ,4 ,"
                     "0.5 ,1 ,2 ,9 ,0 ,0 ,1 ,0 ,0 ,0 ,1.5 ,33 ,7 ,7 ,7 ,7 ,7 ,ab ,cd ,\n",
                     {1, 2, 3},
                     {0.1f, 0.2f, 0.3f},
                     4,
                     -1,
                     0,
                     0.5f,
                     0.5f,
                     {1, 2, 9},
                     1.5f,
                     33,
                     false},
        InstanceCase{"2.25",
                     "1 ,2 ,3 ,0.1 ,0.2 ,0.3 ,4 ,0.5 ,1 ,2 ,9 ,0 ,0 ,1 ,0 ,0 ,0 ,1.5 ,33 ,7 ,\n",
                     {1, 2, 3},
                     {0.1f, 0.2f, 0.3f},
                     4,
                     -1,
                     0,
                     0.5f,
                     0.5f,
                     {1, 2, 9},
                     1.5f,
                     33,
                     false},
        InstanceCase{"2.20",
                     "1 ,2 ,3 ,0.1 ,0.2 ,0.3 ,4 ,0.5 ,1 ,2 ,9 ,0 ,0 ,1 ,0 ,0 ,0 ,1.5 ,33 ,\n",
                     {1, 2, 3},
                     {0.1f, 0.2f, 0.3f},
                     4,
                     -1,
                     0,
                     0.5f,
                     0.5f,
                     {1, 2, 9},
                     1.5f,
                     33,
                     false},
        // Up to 2.15 the hinge is dropped.
        InstanceCase{"2.15",
                     "1 ,2 ,3 ,0.1 ,0.2 ,0.3 ,4 ,0.5 ,1 ,2 ,9 ,6 ,6 ,6 ,34 ,\n",
                     {1, 2, 3},
                     {0.1f, 0.2f, 0.3f},
                     4,
                     -1,
                     0,
                     0.5f,
                     0.5f,
                     {1, 2, 9},
                     0,
                     34,
                     false},
        InstanceCase{"2.14",
                     "1 ,2 ,3 ,0.1 ,0.2 ,0.3 ,4 ,0.5 ,1 ,2 ,9 ,6 ,6 ,6 ,\n",
                     {1, 2, 3},
                     {0.1f, 0.2f, 0.3f},
                     4,
                     -1,
                     0,
                     0.5f,
                     0.5f,
                     {1, 2, 3},
                     0,
                     0,
                     false},
        InstanceCase{"2.10",
                     "1 ,2 ,3 ,0.1 ,0.2 ,0.3 ,4 ,0 ,1 ,2 ,9 ,6 ,6 ,6 ,6 ,6 ,6 ,\n",
                     {1, 2, 3},
                     {0.1f, 0.2f, 0.3f},
                     4,
                     -1,
                     0,
                     1,
                     1,
                     {1, 2, 3},
                     0,
                     0,
                     false},
        // Before 2.0 angles are degrees in the order 3, 1, 2, turned the other way; up to 1.0
        // there is no motion line at all.
        InstanceCase{"1.50",
                     "1 ,2 ,3 ,30 ,10 ,20 ,4 ,0.5 ,1 ,2 ,3 ,6 ,6 ,6 ,6 ,6 ,6 ,\n",
                     {1, 2, 3},
                     {-0.17453292f, -0.34906584f, -0.52359878f},
                     4,
                     -1,
                     0,
                     0.5f,
                     0.5f,
                     {1, 2, 3},
                     0,
                     0,
                     false},
        InstanceCase{"1.00",
                     "1 ,2 ,3 ,30 ,10 ,20 ,4 ,\n",
                     {1, 2, 3},
                     {-0.17453292f, -0.34906584f, -0.52359878f},
                     4,
                     -1,
                     0,
                     0.5f,
                     0.5f,
                     {1, 2, 3},
                     0,
                     0,
                     false}));

TEST(ReadAssembly, CleansUpInstancesAndMarksTheDocument) {
  Opened doc{std::string{"ASM\n2.510000 ,\n1 ,\nmeshes\\hull.wld\n 1 ,\n"} +
             "00000000-0000-0000-0000-000000000000 ,0 ,0 ,0 ,7 ,-7 ,0 ,0 ,-1 ,0 ,"
             "0 ,0 ,0 ,0 ,0.001 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,\n 0 ,\n" +
             trailer};
  ASSERT_TRUE(doc.ok);
  const Instance& t = doc.module(0).instances.at(0);
  EXPECT_FALSE(t.guid.isNull());  // a null GUID is replaced
  EXPECT_FLOAT_EQ(t.orientation[0], 7 - 6.2831855f);
  EXPECT_FLOAT_EQ(t.orientation[1], -(7 - 6.2831855f));  // the sign is kept
  EXPECT_EQ(t.endLocation, t.location);                  // a plain instance does not move
  EXPECT_EQ(t.extendRate, 1);
  EXPECT_EQ(t.retractRate, 1);
  EXPECT_TRUE(doc.repo.model.status.documentModified);
}

TEST(ReadAssembly, DuplicateModulesAndCollocatedInstancesGo) {
  auto instance = [](const char* guidTail, float x, float angle, int group) {
    return std::string{"0123ABCD-1A2B-3C4D-5E6F-0A1B2C3D4E"} + guidTail + " ," + std::to_string(x) +
           " ,0 ,0 ," + std::to_string(angle) + " ,0 ,0 ," + std::to_string(group) +
           " ,-1 ,0 ,1 ,1 ," + std::to_string(x) + " ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,\n";
  };
  Opened doc{std::string{"ASM\n2.510000 ,\n3 ,\nmeshes\\hull.wld\n 3 ,\n"} +
             instance("01", 0, 0, 0) + instance("02", 0.9f, 0.05f, 0) +  // collocated with 01
             instance("03", 1.5f, 0, 0) +   // 1.5 from 01, 0.6 from 02 (gone): stays
             "meshes\\empty.wld\n 0 ,\n" +  // no instances: the entry disappears
             "MESHES\\HULL.WLD\n 3 ,\n" + instance("04", 10, 0, 150) +
             instance("05", 10, 0, 151) +        // same place, other building group: stays
             instance("06", 10.5f, 0.2f, 150) +  // near 04 but turned too far: stays
             " 0 ,\n" + trailer};
  ASSERT_TRUE(doc.ok);
  ASSERT_EQ(doc.repo.model.document.wldfiles, 1);
  std::vector<std::string> kept;
  for (const Instance& t : doc.module(0).instances) kept.push_back(formatGuid(t.guid).substr(34));
  EXPECT_EQ(kept, (std::vector<std::string>{"01", "03", "04", "05", "06"}));
  EXPECT_EQ(doc.captions(),
            (std::vector<std::string>{"File not loaded!", "File not found!", "Duplicate WLD in ASM",
                                      "Duplicate instance (collocated) in ASM"}));
  EXPECT_EQ(doc.repo.ui.boxes[2].text, "MESHES\\HULL.WLD");
  EXPECT_EQ(doc.repo.ui.boxes[3].text, "meshes\\hull.wld");
  EXPECT_TRUE(doc.repo.model.status.documentModified);
}

TEST(ReadAssembly, LightsWithoutASequenceGoAndExtraLightsAreReadPast) {
  std::string lights = " 258 ,\n";
  for (int i = 0; i < 258; ++i) {
    lights += "1 ,2 ,3 ,0 ,3 ,4 ,ffffffff ," + std::to_string(i == 1 ? 0 : i + 1) + " ,1 ,1 ,0 ,\n";
  }
  Opened doc{std::string{"ASM\n2.510000 ,\n1 ,\nmeshes\\hull.wld\n 1 ,\n"} + guidA +
             "0 ,0 ,0 ,0 ,0 ,0 ,0 ,-1 ,0 ,1 ,1 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,\n" + lights +
             trailer};
  ASSERT_TRUE(doc.ok);
  const Model& model = doc.repo.model;
  EXPECT_EQ(model.document.lightCount, 255);
  EXPECT_EQ(model.document.lights[1].sequence, 3u);  // the next line took the dropped light's slot
  EXPECT_EQ(model.document.lights[0].normal, (std::array<float, 3>{0, 0.6f, 0.8f}));
  EXPECT_EQ(doc.captions(), (std::vector<std::string>{"File changed!"}));
  EXPECT_EQ(doc.repo.ui.boxes[0].text, "Deleted invisible light...");
  EXPECT_EQ(model.document.emptyWeight, 1500.5f);  // the trailer after 258 lines is still in step
  EXPECT_EQ(model.document.modelId, 7);
}

struct RefusalCase {
  std::string text;
  std::string caption;
  std::string message;
};

class RefusedDocuments : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusedDocuments, AreClosedWithTheirMessage) {
  const RefusalCase& c = GetParam();
  Opened doc{c.text};
  EXPECT_FALSE(doc.ok);
  ASSERT_FALSE(doc.repo.ui.boxes.empty());
  EXPECT_EQ(doc.repo.ui.boxes.back().caption, c.caption);
  EXPECT_EQ(doc.repo.ui.boxes.back().text, c.message);
  EXPECT_EQ(doc.repo.model.document.wldfiles, 0);
  EXPECT_EQ(doc.repo.model.document.documentPath, "");
  EXPECT_FALSE(isAssembly(doc.repo.model.document));
  EXPECT_EQ(windowTitleFor(doc.editor.model()), "Tessarim");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedDocuments,
    ::testing::Values(
        RefusalCase{"ASM\n2.520000 ,\n0 ,\n", "Newer file version found!",
                    "This file was last saved using TESSARIM v2.52...\n\nYou must download a "
                    "TESSARIM v2.52 or "
                    "higher..."},
        RefusalCase{"ASM\n2.510000 ,\n257 ,\n", "Error!",
                    "This file exceeds the memory allocated for WLD files list!\n\nFiles: 257"},
        RefusalCase{"WLD\n2.510000 ,\n", "Incompatible file!",
                    "This file does not appear to be a valid assembly file...\n\nWLD"},
        RefusalCase{"ASM\n2.510000 ,\n1 ,\nmeshes\\hull.wld\n 1 ,\n0123ABCD-1A2B-3C4D-ZZ ,\n",
                    "Error!", "Invalid GUID for instance 0: meshes\\hull.wld"}));

TEST(ReadAssembly, MissingFileOffersRetryThenCloses) {
  TempRepo repo;
  repo.model.document.kind = DocumentKind::asmfile;
  repo.model.document.documentPath = "absent.asm";
  repo.ui.answers = {MessageAnswer::retry, MessageAnswer::cancel};
  EXPECT_FALSE(readAssembly(repo.session));
  ASSERT_EQ(repo.ui.boxes.size(), 2u);
  EXPECT_EQ(repo.ui.boxes[0].text,
            "No such file or directory while attempting to load the following file...\n\n\"" +
                (repo.root / "absent.asm").string() + "\"");
  EXPECT_EQ(repo.ui.boxes[0].buttons, MessageButtons::retryCancel);
  EXPECT_EQ(repo.model.document.documentPath, "");
}

TEST(ReadAssembly, MissingMeshCanBeReplacedOrDropped) {
  for (bool replace : {true, false}) {
    TempRepo repo;
    repo.write("meshes/new-hull.wld", testing::triangleWld());
    repo.write("a.asm",
               std::string{"ASM\n2.510000 ,\n1 ,\nold\\hull.wld\n 1 ,\n"} + guidA +
                   "0 ,0 ,0 ,0 ,0 ,0 ,0 ,-1 ,0 ,1 ,1 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,\n 0 ,\n" +
                   trailer);
    repo.model.document.kind = DocumentKind::asmfile;
    repo.model.document.documentPath = "a.asm";
    if (replace) repo.ui.openResults = {{(repo.root / "meshes/new-hull.wld").string()}};
    ASSERT_TRUE(readAssembly(repo.session));
    EXPECT_EQ(repo.ui.boxes.at(1).text,
              "The embedded file...\n\nold\\hull.wld\n\ncould not be found.");
    EXPECT_EQ(repo.ui.boxes.at(1).icon, MessageIcon::information);
    EXPECT_EQ(repo.model.document.wldfiles, replace ? 1 : 0);
    if (replace) {
      EXPECT_EQ(repo.model.document.module[0].filename, "meshes\\new-hull.wld");
    }
    EXPECT_TRUE(repo.model.status.documentModified);
  }
}

TEST(MergeAssembly, AddsInstancesInGroup1000AndKeepsTheOpenDocument) {
  Opened doc{std::string{"ASM\n2.510000 ,\n1 ,\nmeshes\\hull.wld\n 1 ,\n"} + guidA +
             "0 ,0 ,0 ,0 ,0 ,0 ,3 ,-1 ,0 ,1 ,1 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,\n"
             " 1 ,\n1 ,2 ,3 ,0 ,0 ,1 ,ffffffff ,1 ,1 ,1 ,0 ,\n" +
             trailer};
  ASSERT_TRUE(doc.ok);
  Model& model = doc.repo.model;
  model.document.components.push_back(Component{});
  doc.repo.write("other.asm",
                 std::string{"ASM\n2.510000 ,\n2 ,\nmeshes\\hull.wld\n 1 ,\n"} +
                     "0123ABCD-1A2B-3C4D-5E6F-0A1B2C3D4E60 ,50 ,0 ,0 ,0 ,0 ,0 ,3 ,-1 ,0 ,"
                     "1 ,1 ,50 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,\n"
                     "meshes\\deck.wld\n 1 ,\n"
                     "0123ABCD-1A2B-3C4D-5E6F-0A1B2C3D4E61 ,9 ,0 ,0 ,0 ,0 ,0 ,3 ,-1 ,0 ,"
                     "1 ,1 ,9 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,\n"
                     " 1 ,\n4 ,5 ,6 ,0 ,0 ,1 ,ffffffff ,2 ,1 ,1 ,0 ,\n"
                     " 99.000000 ,\nother.pal\n -3 , 0 ,\n");
  ASSERT_TRUE(mergeAssembly(doc.repo.session, (doc.repo.root / "other.asm").string()));
  ASSERT_EQ(model.document.wldfiles, 2);
  ASSERT_EQ(doc.module(0).instances.size(), 2u);
  EXPECT_EQ(doc.module(0).instances[0].group, 3);
  EXPECT_EQ(doc.module(0).instances[1].group, 1000);
  EXPECT_EQ(doc.module(1).filename, "meshes\\deck.wld");
  EXPECT_EQ(doc.module(1).instances.at(0).group, 1000);
  EXPECT_EQ(model.document.lightCount, 2);
  EXPECT_EQ(model.document.emptyWeight, 1500.5f);
  EXPECT_EQ(model.document.modelId, 7);
  EXPECT_EQ(model.document.schemeFile, "");
  EXPECT_EQ(model.document.components.size(), 1u);
  EXPECT_EQ(model.document.documentPath, "a.asm");
  EXPECT_TRUE(model.status.documentModified);
}

TEST(ReadAssembly, AMeshFromANewerEditorClosesTheDocument) {
  TempRepo repo;
  repo.write("newer.wld", "2.40 \n0 ,\n0 ,\n");
  repo.write("a.asm",
             std::string{"ASM\n2.510000 ,\n1 ,\nnewer.wld\n 1 ,\n"} + guidA +
                 "0 ,0 ,0 ,0 ,0 ,0 ,0 ,-1 ,0 ,1 ,1 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,\n 0 ,\n" +
                 trailer);
  repo.model.document.kind = DocumentKind::asmfile;
  repo.model.document.documentPath = "a.asm";
  EXPECT_FALSE(readAssembly(repo.session));
  EXPECT_EQ(repo.ui.boxes.back().caption, "Newer file version found!");
  EXPECT_EQ(repo.model.document.wldfiles,
            0);  // nothing left that a save could write over the newer file
  EXPECT_EQ(repo.model.document.documentPath, "");
}

TEST(ReadAssembly, ACityKeepsASlotForItsGroundGrid) {
  std::string text = "CTY\n2.510000 ,\n256 ,\n";
  Opened doc{text, true};
  EXPECT_FALSE(doc.ok);
  EXPECT_EQ(doc.repo.ui.boxes.back().text,
            "This file exceeds the memory allocated for WLD files list!\n\nFiles: 256");
  EXPECT_EQ(doc.repo.model.document.wldfiles, 0);
}

TEST(MergeAssembly, AFullCityTakesNoMoreModulesAndKeepsItsGridLast) {
  TempRepo repo;
  Model& model = repo.model;
  model.document.kind = DocumentKind::ctyfile;
  model.document.documentPath = "c.cty";
  for (int m = 0; m < 255; ++m) {
    model.document.module[m].filename = "m" + std::to_string(m) + ".wld";
    model.document.module[m].instances.push_back(Instance{});
  }
  model.document.module[255].instances.push_back(Instance{});  // the ground grid
  model.document.wldfiles = 256;
  repo.write("new.wld", testing::triangleWld());
  repo.write("other.asm",
             std::string{"ASM\n2.510000 ,\n1 ,\nnew.wld\n 1 ,\n"} + guidA +
                 "0 ,0 ,0 ,0 ,0 ,0 ,0 ,-1 ,0 ,1 ,1 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,\n 0 ,\n" +
                 trailer);
  ASSERT_TRUE(mergeAssembly(repo.session, (repo.root / "other.asm").string()));
  EXPECT_EQ(model.document.wldfiles, 256);
  EXPECT_EQ(model.document.module[255].filename, "");  // still the ground grid
  EXPECT_EQ(model.document.module[255].polygons.size(), 676u);
  EXPECT_EQ(repo.ui.boxes.back().text,
            "Adding this new type will exceed the maximum allowable types!");
}

TEST(MergeAssembly, AMissingMeshIsLeftOutEvenWhenAReplacementIsChosen) {
  TempRepo repo;
  repo.write("meshes/hull.wld", testing::triangleWld());
  repo.model.document.kind = DocumentKind::asmfile;
  repo.model.document.documentPath = "a.asm";
  repo.write("other.asm",
             std::string{"ASM\n2.510000 ,\n1 ,\ngone.wld\n 1 ,\n"} + guidA +
                 "0 ,0 ,0 ,0 ,0 ,0 ,0 ,-1 ,0 ,1 ,1 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,\n 0 ,\n" +
                 trailer);
  repo.ui.openResults = {{(repo.root / "meshes/hull.wld").string()}};
  ASSERT_TRUE(mergeAssembly(repo.session, (repo.root / "other.asm").string()));
  EXPECT_EQ(repo.model.document.wldfiles, 0);
  EXPECT_EQ(repo.ui.boxes.at(1).caption, "File not found!");
}

TEST(ReadAssembly, AVersionThatIsNotAFiniteNumberReadsAsTheOldest) {
  // Read as version 0 throughout: no motion line, degrees; saving and reading back then agrees.
  for (const char* version : {"nan", "1e308"}) {
    SCOPED_TRACE(version);
    Opened doc{std::string{"ASM\n"} + version +
               " ,\n0 ,0 ,0 ,0 ,\n1 ,\nmeshes\\hull\n 1 ,\n1 ,2 ,3 ,90 ,0 ,0 ,4 ,\n"};
    ASSERT_TRUE(doc.ok);
    EXPECT_EQ(doc.repo.ui.boxes.at(0).caption, "Older file version found!");
    EXPECT_EQ(doc.repo.ui.boxes.at(0).text,
              "This file was last saved using CALVORAN v0.00...\n\nThe file will automatically be "
              "updated to v2.51 at this time...");
    const Instance& t = doc.module(0).instances.at(0);
    EXPECT_FLOAT_EQ(t.orientation[2], -90 * 0.017453292f);
    EXPECT_EQ(t.extendRate, 0.5f);
  }
}

TEST(ReadAssembly, EmptyAssemblyOpens) {
  Opened doc{std::string{"ASM\n2.510000 ,\n0 ,\n 0 ,\n"} + trailer};
  EXPECT_TRUE(doc.ok);
  EXPECT_EQ(doc.repo.model.document.wldfiles, 0);
  EXPECT_TRUE(doc.repo.ui.boxes.empty());
}

std::string instanceAt(int x) {
  const std::string at = std::to_string(x);
  return std::string{guidA} + at + " ,2 ,3 ,0 ,0 ,0 ,0 ,-1 ,0 ,1 ,1 ," + at +
         " ,2 ,3 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,\n";
}
constexpr const char* lightLine = "1.0 ,2.0 ,3.0 ,0.0 ,0.0 ,2.0 ,ff00ff00 ,7 ,2.5 ,1.0 ,12 ,\n";

// An assembly with a record of every kind: two entries with three instances, a light, the
// trailer.
std::string wholeAssembly() {
  return "ASM\n2.510000 ,\n2 ,\nmeshes\\hull.wld\n 2 ,\n" + instanceAt(1) + instanceAt(9) +
         "meshes\\deck.wld\n 1 ,\n" + instanceAt(4) + " 1 ,\n" + lightLine + trailer;
}

// Reads texts as the assembly "a.asm" of a repository in memory holding hull.wld and deck.wld.
struct MemoryAssembly : testing::MemoryRepo {
  MemoryAssembly() {
    put("meshes\\hull.wld", testing::triangleWld());
    put("meshes\\deck.wld", testing::triangleWld(5));
  }
  bool read(std::string_view text) {
    put("a.asm", text);
    repo.ui.boxes.clear();
    repo.model.document.kind = DocumentKind::asmfile;
    repo.model.document.documentPath = "a.asm";
    return readAssembly(session);
  }
  std::size_t instances() const {
    std::size_t n = 0;
    for (int m = 0; m < repo.model.document.wldfiles; ++m)
      n += repo.model.document.module[m].instances.size();
    return n;
  }
};

// Whatever the cut, the file is reported and noted as ending early, or it reads as the whole
// file.
TEST(ReadAssembly, EveryCutOfAFileIsReportedOrReadsWhole) {
  MemoryAssembly a;
  const std::string whole = wholeAssembly();
  ASSERT_TRUE(a.read(whole));
  ASSERT_TRUE(a.repo.ui.boxes.empty());
  const std::string expected = formatAssembly(a.repo.model, false).bytes;
  for (std::size_t n = 0; n < whole.size(); ++n) {
    SCOPED_TRACE(n);
    if (!a.read(std::string_view{whole}.substr(0, n))) {
      ASSERT_LT(n, 3u);  // only a cut inside "ASM" makes it no assembly
      ASSERT_EQ(a.repo.ui.boxes.back().caption, "Incompatible file!");
      continue;
    }
    // A name cut short is not looked for, and a GUID cut short is not a malformed one.
    ASSERT_FALSE(a.shown("File not found!"));
    ASSERT_FALSE(a.shown("Error!"));
    if (const ShortFile* note = a.note("a.asm")) {
      ASSERT_EQ(note->detail.rfind("ends early: ", 0), 0u) << note->detail;
      ASSERT_EQ(contentLostOnLoad(a.repo.model),
                std::vector<std::string>{"a.asm: " + note->detail});
      ASSERT_EQ(a.repo.ui.boxes.back().caption, "File cut short!");
      ASSERT_EQ(a.repo.ui.boxes.back().text,
                "This file " + note->detail + "...\n\na.asm\n\nOnly what it holds was read.");
    } else {
      ASSERT_EQ(formatAssembly(a.repo.model, false).bytes, expected);
      ASSERT_TRUE(a.repo.ui.boxes.empty()) << a.repo.ui.boxes[0].text;
    }
  }
  ASSERT_TRUE(a.read(whole));
  EXPECT_TRUE(contentLostOnLoad(a.repo.model).empty());  // read whole again: the note goes
}

TEST(ReadAssembly, ACutSaysWhichRecordsItLost) {
  const std::string whole = wholeAssembly();
  auto upTo = [&](const std::string& text, std::size_t more) {
    return whole.substr(0, whole.find(text) + more);
  };
  const struct {
    std::string text;
    const char* detail;
    int modules;
    std::size_t instances;
    int lights;
  } cases[] = {
      {upTo("meshes\\deck", 8), "ends early: 1 of 2 mesh entries", 1, 2, 0},
      {upTo("meshes\\deck.wld\n", 16), "ends early: 1 of 2 mesh entries", 1, 2, 0},
      {upTo(instanceAt(9), 20), "ends early: 1 of 2 instances of meshes\\hull.wld", 1, 1, 0},
      {upTo(instanceAt(9), 60), "ends early: 1 of 2 instances of meshes\\hull.wld", 1, 1, 0},
      {upTo(lightLine, 0), "ends early: 0 of 1 lights", 2, 3, 0},
      {upTo(lightLine, 30), "ends early: 0 of 1 lights", 2, 3, 0},
      {upTo(trailer, 5), "ends early: in its trailer", 2, 3, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    MemoryAssembly a;
    ASSERT_TRUE(a.read(c.text));
    ASSERT_NE(a.note("a.asm"), nullptr);
    EXPECT_EQ(a.note("a.asm")->detail, c.detail);
    EXPECT_EQ(a.repo.model.document.wldfiles, c.modules);
    EXPECT_EQ(a.instances(), c.instances);
    EXPECT_EQ(a.repo.model.document.lightCount, c.lights);
    EXPECT_FALSE(a.repo.model.status.documentModified);  // nothing asks for it to be saved
  }
}

TEST(MergeAssembly, AFileCutShortIsReportedWithoutANoteOnTheOpenDocument) {
  MemoryAssembly a;
  ASSERT_TRUE(a.read(wholeAssembly()));
  a.put("other.asm", "ASM\n2.510000 ,\n1 ,\nmeshes\\deck.wld\n 1 ,\n" + instanceAt(30) + " 1 ,\n");
  const std::string host = hostPathOf(a.repo.repository, "other.asm");
  ASSERT_TRUE(mergeAssembly(a.session, host));
  EXPECT_EQ(a.instances(), 4u);
  EXPECT_EQ(a.repo.model.document.lightCount, 1);
  EXPECT_EQ(a.repo.ui.boxes.back().text, "This file ends early: 0 of 1 lights...\n\n" + host +
                                             "\n\nOnly what it holds was read.");
  // The merged file is not saved: the open document lost nothing of its own files.
  EXPECT_TRUE(contentLostOnLoad(a.repo.model).empty());
}

TEST(ReadAssembly, TruncationsAndHugeCountsReadWithoutHarm) {
  const std::string whole =
      std::string{"ASM\n2.510000 ,\n2 ,\nmeshes\\hull.wld\n 2 ,\n"} + guidA +
      "1 ,2 ,3 ,0 ,0 ,0 ,0 ,-1 ,0 ,1 ,1 ,1 ,2 ,3 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,\n" + guidA +
      "9 ,2 ,3 ,0 ,0 ,0 ,0 ,-1 ,0 ,1 ,1 ,9 ,2 ,3 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,\n" +
      "meshes\\deck.wld\n 2000000000 ,\n" + guidA + "1 ,";
  for (std::size_t n = 0; n <= whole.size(); n += 3) {
    Opened doc{whole.substr(0, n)};
    const Model& model = doc.repo.model;
    ASSERT_LE(model.document.wldfiles, 2);
    for (int m = 0; m < model.document.wldfiles; ++m)
      ASSERT_LE(model.document.module[m].instances.size(), 2u);
  }
}

}  // namespace
}  // namespace tessarim
