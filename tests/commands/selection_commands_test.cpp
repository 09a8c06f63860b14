#include "commands/selection_commands.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "commands/menu_fixture.hpp"
#include "render/camera.hpp"
#include "support/polygons.hpp"

namespace tessarim {
namespace {

using Pairs = std::vector<std::pair<int, int>>;

struct SelectionCommands : testing::MenuTest {
  // An open document whose modules m0.wld, m1.wld... hold these many instances; module 0's first
  // instance is current. In a city the last module stands for the ground grid.
  void open(DocumentKind kind, const std::vector<int>& instanceCounts) {
    clearDocument(model);
    editor.history.clear();
    Document& d = model.document;
    d.kind = kind;
    d.documentPath = kind == DocumentKind::ctyfile ? "cities\\town.cty" : "ships\\boat.asm";
    d.wldfiles = 0;
    for (int count : instanceCounts) {
      Module& m = d.module[d.wldfiles];
      m.filename = "m" + std::to_string(d.wldfiles) + ".wld";
      m.instances.resize(static_cast<std::size_t>(count));
      ++d.wldfiles;
    }
    select(0, 0);
  }
  void select(int module, int instance, int polygon = -1) {
    sel.currentModule = static_cast<std::int16_t>(module);
    sel.currentInstance = static_cast<std::int16_t>(instance);
    sel.currentPolygon = polygon;
    sel.selectedPolygons.clear();
    sel.selectedInstances.clear();
  }
  void groups(int module, std::initializer_list<int> codes) {
    int i = 0;
    for (int code : codes)
      model.document.module[module].instances[i++].group = static_cast<std::int16_t>(code);
  }
  void polygons(int module, int count) { model.document.module[module].polygons.resize(count); }

  CommandOutcome issue(int number) { return issueCommand(editor, number); }

  Pairs selected() const {
    Pairs out;
    for (const InstanceRef r : sel.selectedInstances) out.emplace_back(r.module, r.instance);
    return out;
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (int m = 0; m < model.document.wldfiles; ++m)
      out.push_back(model.document.module[m].filename);
    return out;
  }
  // Module, instance, polygon, group: the current values.
  std::array<int, 4> current() const {
    return {sel.currentModule, sel.currentInstance, sel.currentPolygon, sel.currentGroup};
  }

  Selection& sel = model.selection;
};

TEST_F(SelectionCommands, InstanceStepsWrapAtBothEndsAndLeaveTheGroup) {
  const struct {
    int start, number, expected;
  } cases[] = {
      {2, cmd::nextInstance, 0},  {0, cmd::previousInstance, 2},  {0, cmd::nextInstance, 1},
      {-1, cmd::nextInstance, 0}, {-1, cmd::previousInstance, 2},
  };
  open(DocumentKind::asmfile, {3});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.start);
    select(0, c.start);
    sel.currentGroup = 7;
    EXPECT_EQ(issue(c.number), CommandOutcome::done);
    EXPECT_EQ(current(), (std::array{0, c.expected, -1, -1}));
  }
}

TEST_F(SelectionCommands, PolygonStepsWrapAndLeaveAMultiSelection) {
  const struct {
    int start, number, expected;
  } cases[] = {
      {2, cmd::nextPolygon, 0},      {0, cmd::previousPolygon, 2},  {1, cmd::nextPolygon, 2},
      {-1, cmd::nextPolygon, 0},     {-1, cmd::previousPolygon, 2}, {-2, cmd::nextPolygon, -1},
      {-2, cmd::previousPolygon, 2},
  };
  open(DocumentKind::asmfile, {1});
  polygons(0, 3);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.start);
    select(0, 0, c.start);
    if (c.start == -2) sel.selectedPolygons = {0, 1};
    EXPECT_EQ(issue(c.number), CommandOutcome::done);
    EXPECT_EQ(sel.currentPolygon, c.expected);
    EXPECT_TRUE(sel.selectedPolygons.empty());
  }
  select(0, -1, 1);
  EXPECT_EQ(issue(cmd::nextPolygon), CommandOutcome::greyed);
}

// Only the one module without instances that the step meets goes; the index stays, or becomes 0
// past the end.
TEST_F(SelectionCommands, TypeStepsRemoveTheEmptyModuleTheyLandOn) {
  const struct {
    std::vector<int> instances;
    int start, number;
    std::vector<std::string> after;
    int module, instance;
  } cases[] = {
      {{1, 0, 1}, 0, cmd::nextType, {"m0.wld", "m2.wld"}, 1, 0},
      {{1, 0, 0}, 0, cmd::nextType, {"m0.wld", "m2.wld"}, 1, -1},
      {{1, 1, 0}, 0, cmd::previousType, {"m0.wld", "m1.wld"}, 0, 0},
      {{1, 1, 1}, 2, cmd::nextType, {"m0.wld", "m1.wld", "m2.wld"}, 0, 0},
      {{1, 1, 1}, -1, cmd::nextType, {"m0.wld", "m1.wld", "m2.wld"}, 0, 0},
      {{1, 1, 1}, 0, cmd::previousType, {"m0.wld", "m1.wld", "m2.wld"}, 2, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number == cmd::nextType ? "next" : "previous");
    SCOPED_TRACE(c.start);
    open(DocumentKind::asmfile, c.instances);
    select(c.start, c.start < 0 ? -1 : 0, 0);
    polygons(0, 1);
    sel.currentGroup = 5;
    EXPECT_EQ(issue(c.number), CommandOutcome::done);
    EXPECT_EQ(names(), c.after);
    EXPECT_EQ(current(), (std::array{c.module, c.instance, -1, -1}));
    const bool removed = c.after.size() < c.instances.size();
    if (removed) {
      EXPECT_TRUE(model.document.module[c.after.size()].filename.empty());
    }
    EXPECT_EQ(editor.history.size(), removed ? 1u : 0u);
    EXPECT_EQ(model.status.documentModified, removed);
  }
}

TEST_F(SelectionCommands, UndoEditBringsTheRemovedModuleBack) {
  open(DocumentKind::asmfile, {1, 0, 2});
  sel.currentGroup = 4;
  ASSERT_EQ(issue(cmd::nextType), CommandOutcome::done);
  ASSERT_EQ(names(), (std::vector<std::string>{"m0.wld", "m2.wld"}));
  EXPECT_TRUE(model.status.pending.has(Change::textures));

  EXPECT_EQ(issue(cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(names(), (std::vector<std::string>{"m0.wld", "m1.wld", "m2.wld"}));
  EXPECT_EQ(model.document.module[2].instances.size(), 2u);
  EXPECT_EQ(current(), (std::array{0, 0, -1, 4}));
}

TEST_F(SelectionCommands, GroupStepFindsTheFirstInstanceOfTheLastModuleHoldingTheGroup) {
  for (int number : {cmd::nextGroup, cmd::previousGroup}) {
    SCOPED_TRACE(number);
    open(DocumentKind::asmfile, {3, 1, 4});
    groups(0, {7, 3, 3});
    groups(1, {7});
    groups(2, {7, 7, 3, 3});
    // Several instances picked: the group's instance takes their place.
    sel.selectedInstances = {{0, 0}, {1, 0}};
    sel.currentModule = -2;
    sel.currentGroup = static_cast<std::int16_t>(number == cmd::nextGroup ? 2 : 4);
    EXPECT_EQ(issue(number), CommandOutcome::done);
    EXPECT_EQ(current(), (std::array{2, 2, -1, 3}));
    EXPECT_TRUE(sel.selectedInstances.empty());
  }
}

TEST_F(SelectionCommands, GroupStepsTryGroupZeroOrTheLastGroupFirstWhenNoneIsBrowsed) {
  const struct {
    int number;
    std::array<int, 4> expected;
  } cases[] = {
      {cmd::nextGroup, {1, 0, -1, 0}},
      {cmd::previousGroup, {0, 1, -1, 255}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    open(DocumentKind::asmfile, {2, 1});
    groups(0, {5, 255});
    groups(1, {0});
    sel.currentGroup = -1;
    EXPECT_EQ(issue(c.number), CommandOutcome::done);
    EXPECT_EQ(current(), c.expected);
  }
}

// With nothing in any other browsed group, a step goes all the way round: group 0 is not among
// the browsed codes, and the current instance stays.
TEST_F(SelectionCommands, GroupStepsComeBackToTheStartWhenNoOtherGroupIsInUse) {
  for (int number : {cmd::nextGroup, cmd::previousGroup}) {
    SCOPED_TRACE(number);
    open(DocumentKind::asmfile, {2, 1});
    groups(0, {1, 0});
    groups(1, {1});
    select(1, 0);
    sel.currentGroup = 1;
    EXPECT_EQ(issue(number), CommandOutcome::done);
    EXPECT_EQ(current(), (std::array{1, 0, -1, 1}));
  }
}

// Without any instance the search must still end: where it started, or at 1 for a start of 0.
TEST_F(SelectionCommands, GroupStepsEndWhenNoInstanceExists) {
  const struct {
    int start, number, expected;
  } cases[] = {
      {-1, cmd::nextGroup, -1},         {-1, cmd::previousGroup, -1}, {1000, cmd::nextGroup, 1000},
      {1000, cmd::previousGroup, 1000}, {0, cmd::nextGroup, 1},       {0, cmd::previousGroup, 1},
  };
  open(DocumentKind::ctyfile, {0, 0});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.start);
    sel.currentGroup = static_cast<std::int16_t>(c.start);
    EXPECT_EQ(issue(c.number), CommandOutcome::done);
    EXPECT_EQ(sel.currentGroup, c.expected);
  }
}

TEST_F(SelectionCommands, SelectAllTakesEveryPolygonOfAMesh) {
  model.document.kind = DocumentKind::wldfile;
  model.document.documentPath = "meshes\\hull.wld";
  model.document.wldfiles = 1;
  polygons(0, 4);
  select(-1, -1, 2);
  EXPECT_EQ(issue(cmd::selectAll), CommandOutcome::done);
  EXPECT_EQ(current(), (std::array{0, 0, -2, -1}));
  EXPECT_EQ(sel.selectedPolygons, (std::vector<std::uint32_t>{0, 1, 2, 3}));
  EXPECT_TRUE(sel.selectedInstances.empty());

  clearDocument(model);
  EXPECT_EQ(issue(cmd::selectAll), CommandOutcome::greyed);
}

TEST_F(SelectionCommands, SelectAllTakesEveryInstanceOfAnAssemblyOrCityButTheGrid) {
  const struct {
    DocumentKind kind;
    Pairs expected;
  } cases[] = {
      {DocumentKind::asmfile, {{0, 0}, {0, 1}, {2, 0}, {3, 0}}},
      {DocumentKind::ctyfile, {{0, 0}, {0, 1}, {2, 0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    open(c.kind, {2, 0, 1, 1});
    polygons(0, 3);
    select(0, 0, -2);
    sel.selectedPolygons = {1, 2};
    EXPECT_EQ(issue(cmd::selectAll), CommandOutcome::done);
    EXPECT_EQ(selected(), c.expected);
    EXPECT_EQ(current(), (std::array{-2, -2, -1, -1}));
    EXPECT_TRUE(sel.selectedPolygons.empty());
  }
}

// The texel view shows one module: Select All takes its polygons there, and Invert does nothing.
TEST_F(SelectionCommands, InTheTexelViewSelectAllTakesPolygonsAndInvertIsRefused) {
  open(DocumentKind::asmfile, {1, 2});
  polygons(1, 3);
  select(1, 1);
  model.settings.view.texelView = true;
  EXPECT_EQ(issue(cmd::invertSelection), CommandOutcome::refused);
  EXPECT_EQ(current(), (std::array{1, 1, -1, -1}));
  EXPECT_EQ(issue(cmd::selectAll), CommandOutcome::done);
  EXPECT_EQ(current(), (std::array{1, 1, -2, -1}));
  EXPECT_EQ(sel.selectedPolygons, (std::vector<std::uint32_t>{0, 1, 2}));
}

TEST_F(SelectionCommands, InvertSelectsWhatWasNotSelectedAndSkipsTheGrid) {
  open(DocumentKind::ctyfile, {2, 1, 1});
  polygons(0, 2);
  select(0, 0, 1);  // the current instance is not a selected one
  EXPECT_EQ(issue(cmd::invertSelection), CommandOutcome::done);
  EXPECT_EQ(selected(), (Pairs{{0, 0}, {0, 1}, {1, 0}}));
  EXPECT_EQ(current(), (std::array{-2, -2, -1, -1}));

  sel.selectedInstances = {{0, 1}};
  EXPECT_EQ(issue(cmd::invertSelection), CommandOutcome::done);
  EXPECT_EQ(selected(), (Pairs{{0, 0}, {1, 0}}));

  sel.selectedInstances = {{0, 0}, {0, 1}, {1, 0}};
  EXPECT_EQ(issue(cmd::invertSelection), CommandOutcome::done);
  EXPECT_TRUE(selected().empty());
  EXPECT_EQ(current(), (std::array{-2, -2, -1, -1}));

  clearDocument(model);
  model.document.wldfiles = 1;  // a mesh
  EXPECT_EQ(issue(cmd::invertSelection), CommandOutcome::refused);
}

TEST_F(SelectionCommands, InstanceExpansionsSelectByModuleTypeAndGroup) {
  const struct {
    int number;
    Pairs expected;
    int group;
  } cases[] = {
      {cmd::expandModuleSelection, {{0, 0}, {0, 1}}, -1},
      {cmd::expandInstanceSelection, {{0, 1}, {1, 0}, {2, 1}}, -1},  // type 9
      {cmd::expandGroupSelection, {{0, 1}, {1, 0}, {2, 0}}, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    open(DocumentKind::asmfile, {2, 1, 2});
    const std::array<std::pair<int, int>, 5> typeAndGroup{{{4, 2}, {9, 5}, {9, 5}, {4, 5}, {9, 2}}};
    int k = 0;
    for (int m = 0; m < 3; ++m) {
      for (Instance& instance : model.document.module[m].instances) {
        instance.type = static_cast<std::uint8_t>(typeAndGroup[k].first);
        instance.group = static_cast<std::int16_t>(typeAndGroup[k++].second);
      }
    }
    select(0, 1);
    EXPECT_EQ(issue(c.number), CommandOutcome::done);
    EXPECT_EQ(selected(), c.expected);
    EXPECT_EQ(current(), (std::array{-2, -1, -1, c.group}));
  }
}

TEST_F(SelectionCommands, ExpansionEdgesModuleWithoutInstancesAndInstanceWithoutGroup) {
  open(DocumentKind::asmfile, {0, 1});
  select(0, -1);
  EXPECT_EQ(issue(cmd::expandModuleSelection), CommandOutcome::done);
  EXPECT_TRUE(selected().empty());
  EXPECT_EQ(current(), (std::array{-2, -1, -1, -1}));

  select(1, 0);  // group 0
  EXPECT_EQ(issue(cmd::expandGroupSelection), CommandOutcome::greyed);
}

TEST_F(SelectionCommands, SelectHalfPicksAboutHalfInAscendingOrder) {
  open(DocumentKind::asmfile, {1});
  polygons(0, 1000);
  std::vector<std::vector<std::uint32_t>> picks;
  for (int use = 0; use < 2; ++use) {
    select(0, 0, 3);
    EXPECT_EQ(issue(cmd::selectHalfPolygons), CommandOutcome::done);
    const auto& p = sel.selectedPolygons;
    EXPECT_EQ(sel.currentPolygon, -2);
    EXPECT_TRUE(std::adjacent_find(p.begin(), p.end(), std::greater_equal<>()) == p.end())
        << "not strictly ascending";
    EXPECT_TRUE(p.empty() || p.back() < 1000);
    EXPECT_GE(p.size(), 350u);
    EXPECT_LE(p.size(), 650u);
    picks.push_back(p);
  }
  EXPECT_NE(picks[0], picks[1]);
}

// A selection naming a module, instance or polygon that does not exist is left as it is.
TEST_F(SelectionCommands, IndicesPastWhatExistsChangeNothing) {
  const struct {
    std::array<int, 3> selection;  // module, instance, polygon
    std::vector<int> refusing;
  } cases[] = {
      {{5, 0, -1},
       {cmd::nextPolygon, cmd::previousPolygon, cmd::expandPolygonSelection, cmd::nextInstance,
        cmd::previousInstance, cmd::nextType, cmd::previousType, cmd::expandModuleSelection,
        cmd::expandInstanceSelection, cmd::expandGroupSelection, cmd::selectHalfPolygons}},
      {{0, 7, -1},
       {cmd::nextInstance, cmd::previousInstance, cmd::expandInstanceSelection,
        cmd::expandGroupSelection}},
      {{0, 0, 9}, {cmd::nextPolygon, cmd::previousPolygon, cmd::expandPolygonSelection}},
  };
  for (const auto& c : cases) {
    for (int number : c.refusing) {
      SCOPED_TRACE(number);
      open(DocumentKind::asmfile, {2, 1});
      polygons(0, 3);
      select(c.selection[0], c.selection[1], c.selection[2]);
      const std::array<int, 4> before = current();
      EXPECT_FALSE(run(number));
      EXPECT_EQ(current(), before);
      EXPECT_EQ(model.document.wldfiles, 2);
      EXPECT_TRUE(sel.selectedPolygons.empty());
      EXPECT_TRUE(sel.selectedInstances.empty());
    }
  }
}

// Navigation starts the camera's glide to the new current instance only with auto centering on.
TEST_F(SelectionCommands, NavigationRecentresOnlyWithAutoCentering) {
  for (bool autoCentering : {false, true}) {
    for (int number : {cmd::nextInstance, cmd::nextType, cmd::nextGroup}) {
      SCOPED_TRACE(number);
      SCOPED_TRACE(autoCentering);
      open(DocumentKind::asmfile, {2, 1});
      groups(0, {3, 3});
      groups(1, {4});
      model.document.module[1].instances[0].location = {6, 0, 0};
      model.document.module[1].scaleClass = 1;
      sel.currentGroup = 3;
      model.settings.view.autoCentering = autoCentering;
      Camera& camera = editor.frame.camera;
      camera.transition = 1;
      camera.groupCentre = {};
      EXPECT_EQ(issue(number), CommandOutcome::done);
      EXPECT_EQ(camera.transition, autoCentering ? 0.0f : 1.0f);
      // Next type and the group step land on module 1's instance, away from the origin.
      if (autoCentering && number != cmd::nextInstance) {
        EXPECT_GT(camera.groupCentre.x, 0);
      }
    }
  }
}

}  // namespace
}  // namespace tessarim
