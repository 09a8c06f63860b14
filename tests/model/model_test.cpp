#include "model/model.hpp"

#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "formats/guid_text.hpp"
#include "formats/module_table.hpp"
#include "model/scale_class.hpp"
#include "support/documents.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

TEST(ScaleClasses, TableValuesAndUnknownClasses) {
  EXPECT_EQ(unitKilometres(2), 0.0039);
  EXPECT_EQ(texelDensity(2), 12.8);
  EXPECT_EQ(unitKilometres(11), 0.00000635);
  EXPECT_EQ(texelDensity(6), 67.51653);
  EXPECT_EQ(scaleClassLabel(6), "");
  for (int unknown : {-1, 14, 32767}) {
    EXPECT_EQ(unitKilometres(unknown), 1);
    EXPECT_EQ(texelDensity(unknown), 0);
  }
}

TEST(Model, NewInstanceAndModuleDefaults) {
  Instance instance;
  EXPECT_EQ(instance.colourKey, -1);
  EXPECT_TRUE(instance.guid.isNull());
  Model model;
  EXPECT_EQ(model.selection.currentModule, -1);
  EXPECT_EQ(model.document.wldfiles, 0);
  model.document.module[3].maps[grimefile] = "x.png";
  model.document.module[3].vertices.push_back({1, 2, 3});
  resetModule(model, 3);
  EXPECT_EQ(model.document.module[3].maps[grimefile], "");
  EXPECT_TRUE(model.document.module[3].vertices.empty());
  EXPECT_EQ(model.document.module[3].canvasWidth, 0);
}

TEST(Model, FindModuleByNameIsExactAndLimitedToLoadedModules) {
  Model model;
  model.document.module[0].filename = "a\\hull.wld";
  model.document.module[1].filename = "a\\deck.wld";
  model.document.module[2].filename = "a\\mast.wld";
  model.document.wldfiles = 2;
  EXPECT_EQ(findModuleByName(model, "a\\deck.wld"), 1);
  EXPECT_EQ(findModuleByName(model, "A\\DECK.WLD"), -1);
  EXPECT_EQ(findModuleByName(model, "a\\mast.wld"), -1);
}

TEST(Model, TheTwoHundredFiftySeventhModuleIsRefused) {
  testing::TempRepo repo;
  repo.write("m.wld", testing::triangleWld());
  repo.model.document.wldfiles = 255;
  EXPECT_EQ(addModule(repo.session, "m.wld"), 255);
  EXPECT_EQ(repo.model.document.wldfiles, 256);
  EXPECT_EQ(repo.model.document.module[255].version, 2.32f);
  EXPECT_EQ(addModule(repo.session, "m.wld"), -1);
  EXPECT_EQ(repo.model.document.wldfiles, 256);
  ASSERT_EQ(repo.ui.boxes.size(), 1u);
  EXPECT_EQ(repo.ui.boxes[0].text, "Adding this new type will exceed the maximum allowable types!");
  EXPECT_EQ(repo.ui.boxes[0].caption, "Failed!");
}

// Closing a document leaves nothing of it behind, not even in module slots past the ones in use,
// while the view options, which are the editor's, stay.
TEST(Model, ClearingGivesAFreshDocumentAndKeepsTheViewOptions) {
  auto model = std::make_unique<Model>();
  Document& d = model->document;
  d.kind = DocumentKind::ctyfile;
  d.documentPath = "towns\\t.cty";
  d.documentVersion = 2.5f;
  d.wldfiles = 2;
  d.module[0].filename = "a.wld";
  d.module[5].polygons.resize(3);  // a slot past wldfiles that still held a mesh
  d.lightCount = 1;
  d.lights[0].position = {1, 2, 3};
  d.connectors.resize(1);
  d.components.resize(1);
  d.schemeFile = "s.pal";
  d.schemeColours[2] = 0xFF;
  d.buildingNames[3] = "Mill";
  d.rtspsGrid[7].turn = 2;
  d.streetNodes.nodes.resize(4);
  d.streetNodes.selectedNode = 2;
  d.rtsEnabled = d.interiorFlag = true;
  d.emptyWeight = 900;
  d.modelId = 12;
  model->selection.currentModule = 1;
  model->status.documentModified = true;
  model->status.droppedOnLoad = {"lost.wld"};
  model->settings.view.wireframes = !ViewOptions{}.wireframes;

  clearDocument(*model);

  EXPECT_EQ(d.kind, DocumentKind::wldfile);
  EXPECT_EQ(d.documentPath, "");
  EXPECT_EQ(d.documentVersion, 0);
  EXPECT_EQ(d.wldfiles, 0);
  EXPECT_EQ(d.module[0].filename, "");
  EXPECT_TRUE(d.module[5].polygons.empty());
  EXPECT_EQ(d.lightCount, 0);
  EXPECT_EQ(d.lights[0].position, (std::array<float, 3>{}));
  EXPECT_TRUE(d.connectors.empty());
  EXPECT_TRUE(d.components.empty());
  EXPECT_EQ(d.schemeFile, "");
  EXPECT_EQ(d.schemeColours[2], 0u);
  EXPECT_EQ(d.buildingNames[3], "");
  EXPECT_EQ(d.rtspsGrid[7].turn, 0);
  EXPECT_TRUE(d.streetNodes.nodes.empty());
  EXPECT_EQ(d.streetNodes.selectedNode, -1);
  EXPECT_FALSE(d.rtsEnabled || d.interiorFlag);
  EXPECT_EQ(d.emptyWeight, 0);
  EXPECT_EQ(d.modelId, 0);
  EXPECT_EQ(model->selection.currentModule, -1);
  EXPECT_FALSE(model->status.documentModified);
  EXPECT_TRUE(model->status.droppedOnLoad.empty());
  EXPECT_TRUE(model->status.geometryDirty);
  EXPECT_EQ(model->settings.view.wireframes, !ViewOptions{}.wireframes);
}

TEST(Guid, FormatsInTheStudioForm) {
  Guid g{0x0123ABCD, 0x1A2B, 0x3C4D, {0x5E, 0x6F, 0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}};
  EXPECT_EQ(formatGuid(g), "0123ABCD-1A2B-3C4D-5E6F-0A1B2C3D4E5F");
  EXPECT_FALSE(newGuid().isNull());
  EXPECT_NE(newGuid(), newGuid());
}

}  // namespace
}  // namespace tessarim
