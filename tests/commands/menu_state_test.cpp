#include "commands/menu_state.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "commands/menu_fixture.hpp"
#include "support/polygons.hpp"

namespace tessarim {
namespace {

using testing::MenuTest;

TEST_F(MenuTest, RefreshRunsOnceMoreThanATenthOfASecondOverThreeTenthsHasPassed) {
  for (int frame = 1; frame <= 3; ++frame) {
    refreshMenuState(editor, 0.1f, sink);
    EXPECT_TRUE(sink.enabled.empty()) << "frame " << frame;
  }
  refreshMenuState(editor, 0.1f, sink);
  EXPECT_FALSE(sink.enabled.empty());
  EXPECT_NEAR(editor.menu.menuRefreshClock, 0.1f, 1e-6f);  // the remainder carries over
  EXPECT_EQ(sink.popupWrites.size(), 6u);
}

TEST_F(MenuTest, PopupsAreWrittenOnlyWhenTheyChange) {
  refresh();
  const std::vector<std::pair<int, bool>> first{{5, false}, {6, false}, {7, false},
                                                {8, false}, {9, false}, {10, false}};
  EXPECT_EQ(sink.popupWrites, first);

  sink.popupWrites.clear();
  refresh();
  EXPECT_TRUE(sink.popupWrites.empty());

  openAssembly();  // INSTANCE, GROUP, MOTION, LIGHTS and SYSTEMS come on; RTSPS stays off
  refresh();
  const std::vector<std::pair<int, bool>> opened{
      {5, true}, {6, true}, {7, true}, {8, true}, {10, true}};
  EXPECT_EQ(sink.popupWrites, opened);

  sink.popupWrites.clear();
  model.document.kind = DocumentKind::ctyfile;  // a city: MOTION and SYSTEMS go, RTSPS comes
  refresh();
  const std::vector<std::pair<int, bool>> city{{7, false}, {9, true}, {10, false}};
  EXPECT_EQ(sink.popupWrites, city);
}

TEST_F(MenuTest, OneMultiSelectedInstanceBecomesTheCurrentOne) {
  openAssembly(3);
  model.selection.currentModule = -2;
  model.selection.currentInstance = -1;
  model.selection.selectedInstances = {{2, 0}};
  model.document.module[2].instances[0].type = 30;
  refresh();
  EXPECT_EQ(model.selection.currentModule, 2);
  EXPECT_EQ(model.selection.currentInstance, 0);
  EXPECT_TRUE(model.selection.selectedInstances.empty());
  // The rules already saw the collapsed selection.
  EXPECT_TRUE(sink.checked.at(40143));  // Door/Bay Doors, type 30
  EXPECT_TRUE(sink.enabled.at(41019));  // Clear Motion needs a current typed instance

  model.selection.currentModule = -2;  // two entries stay a multi-selection
  model.selection.selectedInstances = {{2, 0}, {1, 0}};
  refresh();
  EXPECT_EQ(model.selection.currentModule, -2);
  EXPECT_EQ(model.selection.selectedInstances.size(), 2u);
}

struct RuleCase {
  std::string name;
  std::function<void(Model&)> setup;  // runs on an open assembly of two modules, module 0 current
  int number;
  bool enabled;
};

class EnablingRules : public MenuTest, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(EnablingRules, FollowTheModel) {
  openAssembly(2);
  GetParam().setup(model);
  refresh();
  EXPECT_EQ(sink.enabled.at(GetParam().number), GetParam().enabled);
}

Polygon quad() {
  return testing::face({0, 1, 2, 3});
}

// One case per line, so that the table reads as one.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Menu, EnablingRules,
    ::testing::Values(
        RuleCase{"SaveGreyWhenNothingChanged", [](Model&) {}, 40018, false},
        RuleCase{"SaveWhenAModuleChanged", [](Model& m) { m.document.module[1].modified = 1; }, 40018, true},
        RuleCase{"UndoWhenTheDocumentChanged", [](Model& m) { m.status.documentModified = true; }, 40020, true},
        RuleCase{"CloseNeedsADocument", [](Model& m) { m.document.documentPath.clear(); }, 40016, false},
        RuleCase{"SplitAQuad", [](Model& m) { m.document.module[0].polygons = {quad()}; m.selection.currentPolygon = 0; }, 40369, true},
        RuleCase{"SplitNotATriangle", [](Model& m) { m.document.module[0].polygons = {testing::face({0, 1, 2})}; m.selection.currentPolygon = 0; }, 40369, false},
        RuleCase{"DeleteAConnector", [](Model& m) { m.selection.currentModule = -1; m.selection.currentInstance = -1; m.settings.view.currentConnector = 0; }, 40024, true},
        RuleCase{"DeleteNothing", [](Model& m) { m.selection.currentModule = -1; m.selection.currentInstance = -1; }, 40024, false},
        RuleCase{"DuplicateNotWithAPolygon", [](Model& m) { m.selection.currentPolygon = 0; }, 40156, false},
        RuleCase{"ModifiersNotForSeveral", [](Model& m) { m.selection.currentModule = -2; }, 40092, false},
        RuleCase{"MeshTexelNeedsABaseMap", [](Model&) {}, 40030, false},
        RuleCase{"MeshTexelWithABaseMap", [](Model& m) { m.document.module[0].maps[textfile] = "a.png"; }, 40030, true},
        RuleCase{"MeshTexelNotOnTheCityGrid", [](Model& m) { m.document.kind = DocumentKind::ctyfile; m.selection.currentModule = 1; m.document.module[1].maps[textfile] = "g.png"; }, 40030, false},
        RuleCase{"GenerateNeedsAScaleClass", [](Model& m) { m.document.module[0].polygons = {quad()}; }, 40163, false},
        RuleCase{"GenerateWithAScaleClass", [](Model& m) { m.document.module[0].polygons = {quad()}; m.document.module[0].scaleClass = 1; }, 40163, true},
        RuleCase{"TextureFlipWithNoModuleCurrent", [](Model& m) { m.selection.currentModule = -1; }, 41291, true},
        RuleCase{"DetailControlNeedsADetailMap", [](Model&) {}, 41153, false},
        RuleCase{"DetailControlWithADetailMap", [](Model& m) { m.document.module[0].maps[detailfile] = "d.png"; }, 41153, true},
        RuleCase{"UnassignAnEmptySlot", [](Model&) {}, 41083, false},
        RuleCase{"UnassignASetSlot", [](Model& m) { m.document.module[0].maps[overlayfile] = "o.png"; }, 41083, true},
        RuleCase{"LegacyScaleOnALegacyModule", [](Model&) {}, 40164, true},
        RuleCase{"NewScaleOnALegacyModule", [](Model&) {}, 41035, false},
        RuleCase{"LegacyScaleOnANewModule", [](Model& m) { m.document.module[0].newScaleFamily = 1; }, 40164, false},
        RuleCase{"HingeNotForBodyParts", [](Model& m) { m.document.module[0].instances[0].type = 105; }, 40134, false},
        RuleCase{"HingeForADoor", [](Model& m) { m.document.module[0].instances[0].type = 30; }, 40134, true},
        RuleCase{"HingeNotWhileAnimating", [](Model& m) { m.document.module[0].instances[0].type = 30; m.settings.view.animationSlot = 2; }, 40134, false},
        RuleCase{"PasteNeedsACopy", [](Model& m) { m.settings.view.animationSlot = 2; }, 40696, false},
        RuleCase{"PasteAfterACopy", [](Model& m) { m.settings.view.animationSlot = 2; m.settings.view.copySourceSlot = 1; }, 40696, true},
        RuleCase{"ExtendedNotInAnEndMode", [](Model& m) { m.motion.endMode = EndMode::reverse; }, 40227, false},
        RuleCase{"ChangeLightNeedsALight", [](Model&) {}, 40184, false},
        RuleCase{"ChangeLightWithALight", [](Model& m) { m.document.lightCount = 1; }, 40184, true},
        RuleCase{"InertialMomentsNeedAWeight", [](Model&) {}, 40144, false},
        RuleCase{"InertialMomentsWithAWeight", [](Model& m) { m.document.emptyWeight = 1200; }, 40144, true},
        RuleCase{"WetnessNeedsTheLightingSliders", [](Model&) {}, 40987, false},
        RuleCase{"WetnessWithTheLightingSliders", [](Model& m) { m.settings.view.lightingSliders = true; }, 40987, true},
        RuleCase{"CullingGreyInTheSystemsView", [](Model& m) { m.settings.view.systemsView = true; }, 41049, false},
        RuleCase{"FindPathNeedsAStartNode", [](Model&) {}, 41357, false},
        RuleCase{"FindPathFromASelectedNode", [](Model& m) { m.document.streetNodes.selectedNode = 0; }, 41357, true},
        RuleCase{"BuildingNameOutsideACity", [](Model& m) { m.selection.currentGroup = 3; }, 40715, false},
        RuleCase{"BuildingNameInACity", [](Model& m) { m.document.kind = DocumentKind::ctyfile; m.selection.currentGroup = 3; }, 40715, true},
        RuleCase{"ContactSheetNotWithZonalScaling", [](Model& m) { m.document.kind = DocumentKind::ctyfile; m.document.rtsEnabled = true; }, 40717, false},
        RuleCase{"CopyPolysFromASelection", [](Model& m) { m.selection.currentPolygon = -2; m.selection.selectedPolygons = {0}; }, 41068, true},
        RuleCase{"CopyPolysNeedsPolygons", [](Model& m) { m.selection.currentPolygon = -2; }, 41068, false},
        RuleCase{"AsmExportOfAGroup", [](Model& m) { m.selection.currentGroup = 1; }, 40698, true},
        RuleCase{"ObjImportNotOverADocument", [](Model&) {}, 41211, false}),
    [](const ::testing::TestParamInfo<RuleCase>& c) { return c.param.name; });
// clang-format on

TEST_F(MenuTest, AMeshIsModifiedThroughItsModule) {
  model.document.documentPath = "hull.wld";
  model.document.wldfiles = 1;
  model.document.module[0].modified = 1;
  refresh();
  EXPECT_TRUE(sink.enabled.at(40018));
  EXPECT_TRUE(model.status.documentModified);  // copied from the module
  model.document.module[0].modified = 0;
  refresh();
  EXPECT_FALSE(sink.enabled.at(40018));
  EXPECT_FALSE(model.status.documentModified);
}

TEST_F(MenuTest, CheckMarksFollowTheirFamilies) {
  openAssembly();
  Instance& t = model.document.module[0].instances[0];
  t.type = 24;
  t.colourKey = 9;
  t.group = 704;
  model.document.module[0].scaleClass = 3;
  model.document.modelId = 1002;
  model.selection.currentGroup = 5;
  model.settings.view.peopleDisplay[framesSlot] = 452;
  model.settings.view.fogSlider = true;  // shown only with the lighting sliders
  refresh();
  const std::pair<int, bool> marks[] = {
      {41045, true},   // Exterior Plate, type 24
      {40133, false},  // Unassigned type
      {41173, true},   // Mutable 2, colour key 9
      {41164, false},  // Not Colorized
      {40270, true},   // package code 5 is the browsed group
      {40265, false},  // group 0
      {40785, true},   // frames package 452 displayed
      {40626, false},  // frames "Show None"
      {40784, false},  // its "Assign" item shows the instance's group, 704
      {40167, true},   // scale class 3
      {41273, true},   // People (Woman) in an assembly
      {41335, false},  // a city item in an assembly
      {40171, true},   // statistics start on
      {40053, false},  // wireframes start off
      {41159, false},  // fog without the lighting sliders
      {40105, true},   // Modules: All
      {40104, false},  // Modules: Current Only
      {40228, true},   // Retracted/Removed
      {40352, true},   // male skeleton
      {40355, true},   // median agility
      {40347, true},   // no animation slot
      {41330, true},   // street-node Select mode
      {41370, false},  // no node flags
      {40071, false},  // no polygon: neither shading item
      {40070, false},
  };
  for (auto [number, on] : marks) EXPECT_EQ(sink.checked.at(number), on) << number;

  model.settings.view.lightingSliders = true;
  model.document.module[0].polygons = {testing::face({0, 1, 2})};
  model.document.module[0].polygons[0].smooth = 1;
  model.selection.currentPolygon = 0;
  refresh();
  EXPECT_TRUE(sink.checked.at(41159));
  EXPECT_TRUE(sink.checked.at(40070));
  EXPECT_FALSE(sink.checked.at(40071));
}

TEST_F(MenuTest, TexelViewEndsWhenItsItemWouldBeGreyed) {
  openAssembly();
  model.document.module[0].maps[textfile] = "a.png";
  model.settings.view.texelView = true;
  model.settings.view.slidersHidden = true;
  refresh();
  EXPECT_TRUE(model.settings.view.texelView);
  EXPECT_FALSE(model.status.geometryDirty);

  model.selection.currentModule = -1;  // nothing current any more
  refresh();
  EXPECT_FALSE(model.settings.view.texelView);
  EXPECT_FALSE(model.settings.view.slidersHidden);
  EXPECT_TRUE(model.status.geometryDirty);
}

TEST_F(MenuTest, TheSystemsViewParksTimeOfDayAndCullingUntilShowNone) {
  openAssembly();
  model.settings.view.lightingSliders = true;
  run(41103);  // Electrical: the overlay comes on
  refresh();
  ViewOptions& v = model.settings.view;
  EXPECT_FALSE(v.lightingSliders);
  EXPECT_FALSE(v.backfaceCulling);
  EXPECT_TRUE(v.slidersHidden);
  EXPECT_FALSE(sink.enabled.at(40152));
  EXPECT_FALSE(sink.enabled.at(41049));
  EXPECT_TRUE(sink.checked.at(41103));

  v.backfaceCulling = true;  // a later refresh does not park again
  refresh();
  EXPECT_TRUE(v.backfaceCulling);
  v.backfaceCulling = false;

  run(41098);  // Show None
  EXPECT_FALSE(v.systemsView);
  EXPECT_TRUE(v.lightingSliders);
  EXPECT_TRUE(v.backfaceCulling);
  EXPECT_FALSE(v.slidersHidden);
  refresh();
  EXPECT_TRUE(sink.enabled.at(41049));
  EXPECT_FALSE(sink.checked.at(41103));
}

}  // namespace
}  // namespace tessarim
