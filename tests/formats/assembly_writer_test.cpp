#include <gtest/gtest.h>

#include <filesystem>

#include "formats/assembly.hpp"
#include "support/documents.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

using testing::TempRepo;

void addPlacedModule(Model& model, const std::string& name, std::vector<Instance> instances) {
  Module& m = model.document.module[model.document.wldfiles++];
  m.filename = name;
  m.instances = std::move(instances);
}

Instance sampleInstance() {
  Instance t;
  t.guid = Guid{0x0123ABCD, 0x1A2B, 0x3C4D, {0x5E, 0x6F, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}};
  t.location = {1.5f, -2, 3};
  t.orientation = {0.25f, 0, -0.5f};
  t.group = 12;
  t.colourKey = -1;
  t.volume = 2;
  t.extendRate = 0.5f;
  t.retractRate = 0.25f;
  t.endLocation = {1.5f, -2, 4};
  t.hingeAxis = {0, 0, 1};
  t.hingeOffset = {0, 0.5f, 0};
  t.hingeAngle = 1;
  t.type = 33;
  return t;
}

TEST(WriteAssembly, WritesTheCurrentVersionByteForByte) {
  TempRepo repo;
  Model& model = repo.model;
  model.document.kind = DocumentKind::asmfile;
  addPlacedModule(model, "meshes\\hull.wld", {sampleInstance()});
  model.document.lightCount = 1;
  model.document.lights[0] =
      Light{{1, 2, 3}, {0, 0, 1}, 0xff00ff00u, 4294967295u, 0, 2.5f, 1, 0, 12};
  model.document.emptyWeight = 1500.5f;
  model.document.schemeFile = "schemes\\red.pal";
  model.document.modelId = -3;
  model.document.interiorFlag = true;
  EXPECT_EQ(formatAssembly(model, false).bytes,
            "ASM\r\n2.510000 ,\r\n1 ,\r\nmeshes\\hull.wld\r\n 1 ,\r\n"
            "0123ABCD-1A2B-3C4D-5E6F-0A1B2C3D4E5F ,1.500000 ,-2.000000 ,3.000000 ,0.250000 "
            ",0.000000 ,-0.500000 ,"
            "12 ,-1 ,2.000000 ,0.500000 ,0.250000 ,1.500000 ,-2.000000 ,4.000000 ,0.000000 "
            ",0.000000 ,1.000000 ,"
            "0.000000 ,0.500000 ,0.000000 ,1.000000 ,33 ,\r\n"
            " 1 ,\r\n1.000000 ,2.000000 ,3.000000 ,0.000000 ,0.000000 ,1.000000 ,ff00ff00 "
            ",4294967295 ,2.500000 ,"
            "1.000000 ,12 ,\r\n"
            " 1500.500000 ,\r\nschemes\\red.pal\r\n -3 , 1 ,\r\n");
}

TEST(WriteAssembly, SelectionOnlyWritesOneEntryPerSelectedInstanceAndNoLights) {
  TempRepo repo;
  Model& model = repo.model;
  Instance a = sampleInstance(), b = sampleInstance();
  b.location = {9, 9, 9};
  addPlacedModule(model, "hull.wld", {a, b});
  addPlacedModule(model, "deck.wld", {a});
  model.document.lightCount = 1;
  model.selection.selectedInstances = {{1, 0}, {0, 1}};
  std::string bytes = formatAssembly(model, true).bytes;
  EXPECT_EQ(bytes.substr(0, bytes.find("0123")),
            "ASM\r\n2.510000 ,\r\n2 ,\r\ndeck.wld\r\n 1 ,\r\n");
  EXPECT_NE(bytes.find("hull.wld\r\n 1 ,\r\n0123ABCD-1A2B-3C4D-5E6F-0A1B2C3D4E5F ,9.000000 ,"),
            std::string::npos);
  EXPECT_NE(bytes.find("\r\n 0 ,\r\n 0.000000 ,\r\nunused\r\n 0 , 0 ,\r\n"), std::string::npos);
}

TEST(WriteAssembly, RoundTripIsByteIdenticalAndAnUnchangedDocumentIsNotRewritten) {
  TempRepo repo;
  repo.write("meshes/hull.wld", testing::triangleWld());
  Model& model = repo.model;
  model.document.kind = DocumentKind::asmfile;
  model.document.documentPath = "ships\\a.asm";
  std::filesystem::create_directories(repo.root / "ships");
  addPlacedModule(model, "meshes\\hull.wld", {sampleInstance()});
  model.status.documentModified = true;
  ASSERT_TRUE(writeAssembly(repo.session, true, false));
  const std::string first = repo.read("ships/a.asm");
  EXPECT_FALSE(model.status.documentModified);
  EXPECT_NE(model.status.documentTime, 0);
  EXPECT_FALSE(std::filesystem::exists(repo.root / "ships/a.cmp"));  // no components: no file

  ASSERT_TRUE(readAssembly(repo.session));
  EXPECT_FALSE(model.status.documentModified);
  model.status.documentModified = true;
  ASSERT_TRUE(writeAssembly(repo.session, true, false));
  EXPECT_EQ(repo.read("ships/a.asm"), first);

  repo.write("ships/a.asm", "sentinel");
  ASSERT_TRUE(writeAssembly(repo.session, true, false));  // nothing modified
  EXPECT_EQ(repo.read("ships/a.asm"), "sentinel");
}

TEST(WriteAssembly, AComponentFileThatCouldNotBeWrittenKeepsTheDocumentModified) {
  TempRepo repo;
  Model& model = repo.model;
  model.document.kind = DocumentKind::asmfile;
  model.document.documentPath = "a.asm";
  addPlacedModule(model, "hull.wld", {sampleInstance()});
  model.document.components.push_back(Component{sampleInstance().guid, {}, "Pump", {}, 0, {}, 0});
  repo.write("a.cmp/blocker", "a folder where the component file should go");
  model.status.documentModified = true;
  repo.ui.answers = {MessageAnswer::cancel};
  EXPECT_FALSE(writeAssembly(repo.session, false, false));
  EXPECT_TRUE(model.status.documentModified);
  EXPECT_EQ(repo.ui.boxes.at(0).caption, "File not saved!");
}

TEST(WriteAssembly, MissingPathIsReported) {
  TempRepo repo;
  repo.model.status.documentModified = true;
  EXPECT_FALSE(writeAssembly(repo.session, false, false));
  ASSERT_EQ(repo.ui.boxes.size(), 1u);
  EXPECT_EQ(repo.ui.boxes[0].text, "No file was specified for saving\n\n\"\"");
  EXPECT_EQ(repo.ui.boxes[0].caption, "File not saved!");
}

}  // namespace
}  // namespace tessarim
