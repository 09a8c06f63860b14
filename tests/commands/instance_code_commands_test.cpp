#include "commands/instance_code_commands.hpp"

#include <gtest/gtest.h>

#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "platform/ui.hpp"
#include "support/view_fixture.hpp"

namespace tessarim {
namespace {

struct InstanceCodes : testing::ViewFixture {
  Module& hull() { return model.document.module[0]; }
  Module& fin() { return model.document.module[1]; }
};

TEST(DrawRank, TypesAndGroupsDecideWhereAModuleDraws) {
  struct Case {
    int type, group, rank;
  } cases[] = {{91, 0, -6},  {92, 0, -5},  {9, 0, -4},    {99, 0, -4}, {31, 0, -3},
               {47, 0, -3},  {0, 998, -3}, {6, 998, -3},  {6, 0, -2},  {3, 0, -1},
               {5, 0, -1},   {51, 0, 1},   {116, 998, 1}, {251, 0, 1}, {0, 451, 1},
               {91, 474, 1}, {0, 475, 0},  {0, 0, 0},     {200, 0, 1}, {31, 998, -3}};
  for (const Case& c : cases) {
    Instance t;
    t.type = static_cast<std::uint8_t>(c.type);
    t.group = static_cast<std::int16_t>(c.group);
    EXPECT_EQ(drawRank(t), c.rank) << "type " << c.type << " group " << c.group;
  }
}

TEST_F(InstanceCodes, ATypeOfTheFirstRankMovesItsModuleToTheFrontAndUndoPutsItBack) {
  select(1, 0);
  ASSERT_EQ(issueCommand(editor, cmd::dock1), CommandOutcome::done);  // type 91
  EXPECT_EQ(hull().filename, "meshes\\fin.wld");
  EXPECT_EQ(hull().instances[0].type, 91);
  EXPECT_EQ(model.selection.currentModule, 0) << "the selection stays with its module";
  EXPECT_EQ(fin().filename, "meshes\\hull.wld");
  EXPECT_TRUE(model.status.documentModified);

  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(hull().filename, "meshes\\hull.wld");
  EXPECT_EQ(fin().instances[0].type, 0);
  EXPECT_EQ(model.selection.currentModule, 1);
}

TEST_F(InstanceCodes, CodesGoIntoEveryListedInstanceOrTheCurrentOne) {
  select(-2, -2);
  model.selection.selectedInstances = {{0, 1}, {1, 0}};
  ASSERT_EQ(issueCommand(editor, cmd::immutable3), CommandOutcome::done);
  EXPECT_EQ(hull().instances[0].colourKey, -1);
  EXPECT_EQ(hull().instances[1].colourKey, 2);
  EXPECT_EQ(fin().instances[0].colourKey, 2);

  select(0, 0);
  ASSERT_EQ(issueCommand(editor, cmd::groupUnassignedImported), CommandOutcome::done);
  EXPECT_EQ(hull().instances[0].group, 1000);
  EXPECT_EQ(hull().instances[1].group, 0);

  select(-1, -1);
  EXPECT_EQ(issueCommand(editor, cmd::exteriorPlate), CommandOutcome::refused);
  EXPECT_EQ(issueCommand(editor, cmd::immutable3), CommandOutcome::refused);
  EXPECT_EQ(editor.history.size(), 2u) << "a refused command leaves no step";
}

TEST_F(InstanceCodes, ABrowsedGroupIsRenumberedWholeAndStaysBrowsed) {
  hull().instances[0].group = fin().instances[0].group = 7;
  select(0, 0);
  model.selection.currentGroup = 7;
  ASSERT_EQ(issueCommand(editor, cmd::roomFromFloor), CommandOutcome::done);  // group 999
  EXPECT_EQ(hull().instances[0].group, 999);
  EXPECT_EQ(fin().instances[0].group, 999);
  EXPECT_EQ(hull().instances[1].group, 0);
  EXPECT_EQ(model.selection.currentGroup, 999);
}

TEST_F(InstanceCodes, OptimizeOrderSortsByKeyThenRankAndKeepsACitysGridLast) {
  model.document.wldfiles = 4;
  const char* names[] = {"a", "b", "c", "grid"};
  const int keys[] = {3, 1, 1, 0};
  for (int m = 0; m < 4; ++m) {
    model.document.module[m].filename = names[m];
    model.document.module[m].sortKey = static_cast<std::int16_t>(keys[m]);
    model.document.module[m].instances.resize(1);
  }
  model.document.module[2].instances[0].type = 9;  // ranks -4: before b, whose key it shares
  model.document.kind = DocumentKind::ctyfile;
  select(0, 0);
  ASSERT_EQ(issueCommand(editor, cmd::optimizeOrder), CommandOutcome::done);
  EXPECT_EQ(model.document.module[0].filename, "c");
  EXPECT_EQ(model.document.module[1].filename, "b");
  EXPECT_EQ(model.document.module[2].filename, "a");
  EXPECT_EQ(model.document.module[3].filename, "grid");
  EXPECT_EQ(model.selection.currentModule, 2);

  model.document.rtsEnabled = true;  // zonal scaling: the order is left alone
  model.document.module[0].sortKey = 9;
  issueCommand(editor, cmd::optimizeOrder);
  EXPECT_EQ(model.document.module[0].filename, "c");
}

}  // namespace
}  // namespace tessarim

namespace tessarim {
namespace {

TEST_F(InstanceCodes, DocumentTypeAndInteriorFlagAreEditsOfTheAssembly) {
  ASSERT_EQ(issueCommand(editor, cmd::typePeopleWoman), CommandOutcome::done);
  EXPECT_EQ(model.document.modelId, 1002);
  EXPECT_FALSE(model.status.texturesLoaded);
  ASSERT_EQ(issueCommand(editor, cmd::interiorFlag), CommandOutcome::done);
  EXPECT_TRUE(model.document.interiorFlag);
  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(model.document.modelId, 0);
  EXPECT_FALSE(model.document.interiorFlag);
  model.document.kind = DocumentKind::wldfile;
  EXPECT_EQ(issueCommand(editor, cmd::typePeopleMan), CommandOutcome::refused);
}

TEST_F(InstanceCodes, ColorizeAsksFirstAndVariegateAddsLessThanOneStep) {
  select(0, 0);
  repo.ui.answers.push_back(MessageAnswer::no);
  ASSERT_EQ(issueCommand(editor, cmd::colorize), CommandOutcome::done);
  ASSERT_EQ(repo.ui.boxes.size(), 1u);
  EXPECT_EQ(repo.ui.boxes[0].text, "Are you sure you want to colorize the entire mesh?");
  EXPECT_EQ(repo.ui.boxes[0].caption, "Confirm Colorize");
  EXPECT_EQ(hull().polygons[0].colour, (std::array<float, 4>{0.5f, 0.5f, 0.5f, 1}));
  repo.ui.answers.push_back(MessageAnswer::yes);
  ASSERT_EQ(issueCommand(editor, cmd::colorize), CommandOutcome::done);
  for (const Polygon& p : hull().polygons) {
    for (int c = 0; c < 3; ++c) {
      EXPECT_GE(p.colour[c], 64 / 255.0f);
      EXPECT_LE(p.colour[c], 191 / 255.0f);
    }
    EXPECT_EQ(p.colour[3], 1);
  }
  EXPECT_EQ(fin().polygons[0].colour[0], 0.5f) << "only the current module";

  select(1, 0, 0);
  ASSERT_EQ(issueCommand(editor, cmd::variegate), CommandOutcome::done);
  const Polygon& grained = fin().polygons[0];
  EXPECT_GE(grained.colour[0], 0.5f);
  EXPECT_LT(grained.colour[0], 0.5f + 1 / 255.0f);
  EXPECT_EQ(grained.colour[0], grained.colour[1]) << "one amount for the three channels";
  EXPECT_EQ(grained.colour[3], 1);
}

}  // namespace
}  // namespace tessarim
