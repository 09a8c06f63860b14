#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "commands/edit_commands.hpp"
#include "commands/menu_fixture.hpp"
#include "formats/assembly.hpp"
#include "formats/component_file.hpp"
#include "formats/wld.hpp"
#include "model/geometry.hpp"
#include "support/cli_run.hpp"
#include "support/documents.hpp"
#include "support/polygons.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

using Ids = std::vector<std::vector<int>>;  // per module, the ids of its instances in order

struct Ref {
  int module, instance;
};

// An assembly of three meshes "a", "b" and "c": a holds instances 0, 1, 2 with groups 0, 5, 0;
// b holds 10 with group 0; c holds 20, 21 with groups 7, 5. An instance's id is its x location.
struct DeleteDuplicate : testing::MenuTest {
  DeleteDuplicate() {
    openAssembly(3);
    const char* names[] = {"a", "b", "c"};
    const std::vector<std::vector<int>> groups = {{0, 5, 0}, {0}, {7, 5}};
    for (int m = 0; m < 3; ++m) {
      Module& module = model.document.module[m];
      module.filename = std::string{"meshes\\"} + names[m] + ".wld";
      module.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
      module.polygons = {testing::face({0, 1, 2})};
      module.instances.clear();
      for (std::size_t i = 0; i < groups[m].size(); ++i) {
        Instance& t = module.instances.emplace_back();
        t.guid = newGuid();
        t.location = {static_cast<float>(10 * m + static_cast<int>(i)), 0, 0};
        t.group = static_cast<std::int16_t>(groups[m][i]);
        t.extendRate = t.retractRate = 1;
      }
    }
  }

  Ids ids() const {
    Ids out;
    for (int m = 0; m < model.document.wldfiles; ++m) {
      std::vector<int>& row = out.emplace_back();
      for (const Instance& t : model.document.module[m].instances)
        row.push_back(static_cast<int>(t.location[0]));
    }
    return out;
  }
  std::vector<std::string> filenames() const {
    std::vector<std::string> out;
    for (int m = 0; m < model.document.wldfiles; ++m)
      out.push_back(model.document.module[m].filename);
    return out;
  }
  // What saving would write: the assembly, its component file and every mesh.
  std::string saved() {
    std::string bytes = formatAssembly(model, false).bytes + formatComponents(model);
    for (int m = 0; m < model.document.wldfiles; ++m) bytes += formatWld(model.document.module[m]);
    return bytes;
  }
  void select(int module, int instance, std::vector<Ref> listed = {}, int group = -1) {
    Selection& s = model.selection;
    s.currentModule = static_cast<std::int16_t>(module);
    s.currentInstance = static_cast<std::int16_t>(instance);
    s.currentPolygon = -1;
    s.currentGroup = static_cast<std::int16_t>(group);
    s.selectedPolygons.clear();
    s.selectedInstances.clear();
    for (Ref r : listed)
      s.selectedInstances.push_back(
          {static_cast<std::int16_t>(r.module), static_cast<std::int16_t>(r.instance)});
  }
};

struct Fresh : DeleteDuplicate {
  void TestBody() override {}
};

struct Expected {
  std::vector<std::string> filenames;
  Ids ids;
  int currentModule, currentInstance, currentGroup;
};

TEST(DeleteInstances, ErasesWithTheirModulesAndLeavesTheSelectionAsTheCaseSays) {
  const std::vector<std::string> all = {"meshes\\a.wld", "meshes\\b.wld", "meshes\\c.wld"};
  const std::vector<std::string> noB = {"meshes\\a.wld", "meshes\\c.wld"};
  struct Case {
    const char* name;
    int module, instance;
    std::vector<Ref> listed;
    int group;
    int groupOfB;  // the group of b's only instance
    Expected expected;
  } cases[] = {
      // clang-format off
      {"one of group 0 resets to module 0", 0, 0, {}, -1, 0,
       {all, {{1, 2}, {10}, {20, 21}}, 0, -1, -1}},
      {"the last instance takes its module", 1, 0, {}, -1, 0,
       {noB, {{0, 1, 2}, {20, 21}}, 0, -1, -1}},
      {"group 5: the last group-5 instance in table order becomes current", 0, 1, {}, -1, 0,
       {all, {{0, 2}, {10}, {20, 21}}, 2, 1, -1}},
      {"the group follow-up looks at the renumbered table", 1, 0, {}, -1, 5,
       {noB, {{0, 1, 2}, {20, 21}}, 1, 1, -1}},
      {"group 7 with no other member resets", 2, 0, {}, -1, 0,
       {all, {{0, 1, 2}, {10}, {21}}, 0, -1, -1}},
      // Literally: c1 goes; a0 goes and a2 becomes a1; b goes and c becomes module 1; a1 (a2).
      // A list has no group follow-up.
      {"a list, across modules and a removed one", -2, -1, {{2, 1}, {0, 0}, {1, 0}, {0, 2}}, -1, 5,
       {noB, {{1}, {20}}, 0, -1, -1}},
      {"a list emptying every module", -2, -1, {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {2, 0}, {2, 1}}, -1, 0,
       {{}, {}, -1, -1, -1}},
      {"a stale list entry names nothing", -2, -1, {{0, 9}, {7, 0}, {1, 0}}, -1, 0,
       {noB, {{0, 1, 2}, {20, 21}}, 0, -1, -1}},
      {"browsed group 5: every member, from every module", 0, 1, {{0, 1}, {2, 1}}, 5, 0,
       {all, {{0, 2}, {10}, {20}}, 0, -1, -1}},
      {"browsed group 5 takes a module it empties", 0, 1, {}, 5, 5,
       {noB, {{0, 2}, {20}}, 0, -1, -1}},
      {"browsed group 0 is no group: the current instance", 0, 2, {}, 0, 0,
       {all, {{0, 1}, {10}, {20, 21}}, 0, -1, -1}},
      // clang-format on
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fresh f;
    f.model.document.module[1].instances[0].group = static_cast<std::int16_t>(c.groupOfB);
    f.select(c.module, c.instance, c.listed, c.group);
    const std::string before = f.saved();
    ASSERT_EQ(issueCommand(f.editor, cmd::deleteSelection), CommandOutcome::done);
    EXPECT_EQ(f.filenames(), c.expected.filenames);
    EXPECT_EQ(f.ids(), c.expected.ids);
    const Selection& s = f.model.selection;
    EXPECT_EQ(s.currentModule, c.expected.currentModule);
    EXPECT_EQ(s.currentInstance, c.expected.currentInstance);
    EXPECT_EQ(s.currentGroup, c.expected.currentGroup);
    EXPECT_EQ(s.currentPolygon, -1);
    EXPECT_TRUE(s.selectedInstances.empty());
    EXPECT_TRUE(f.model.status.documentModified);
    EXPECT_TRUE(f.model.status.geometryDirty);

    ASSERT_EQ(issueCommand(f.editor, cmd::undoEdit), CommandOutcome::done);
    EXPECT_EQ(f.saved(), before);
    EXPECT_EQ(f.model.selection.currentModule, c.listed.empty() ? c.module : -2);
  }
}

// A surviving current instance of a browsed group's deletion is followed through the renumbered
// table, and so are the listed ones.
TEST_F(DeleteDuplicate, GroupDeletionFollowsWhatSurvives) {
  select(2, 0, {{2, 0}, {0, 1}, {1, 0}}, 5);
  model.document.module[1].instances[0].group = 5;  // b goes whole
  ASSERT_EQ(issueCommand(editor, cmd::deleteSelection), CommandOutcome::done);
  EXPECT_EQ(ids(), (Ids{{0, 2}, {20}}));
  EXPECT_EQ(model.selection.currentModule, -2) << "a list is left";
  EXPECT_EQ(model.selection.currentInstance, 0) << "c0, now in module 1";
  ASSERT_EQ(model.selection.selectedInstances.size(), 1u);
  EXPECT_EQ(model.selection.selectedInstances[0].module, 1);
  EXPECT_EQ(model.selection.selectedInstances[0].instance, 0);
}

// A literal walk of the listed deletion, as the rules state it: each polygon in list order, each
// orphaned corner vertex removed at once with every higher index renumbered, and the later list
// entries above the deleted index decremented.
void literalDeletePolygon(Module& m, std::uint32_t polygon) {
  if (polygon >= m.polygons.size()) return;
  const Polygon gone = m.polygons[polygon];
  m.polygons.erase(m.polygons.begin() + polygon);
  // The deleted polygon's corners are renumbered with the rest as vertices go.
  std::vector<std::int64_t> corners(gone.vertexIndex.begin(),
                                    gone.vertexIndex.begin() + cornerCount(gone));
  for (std::size_t c = 0; c < corners.size(); ++c) {
    const std::int64_t v = corners[c];
    if (v < 0 || v >= static_cast<std::int64_t>(m.vertices.size())) continue;
    bool used = false;
    for (const Polygon& p : m.polygons) {
      for (int k = 0; k < cornerCount(p); ++k) used = used || p.vertexIndex[k] == v;
    }
    if (used) continue;
    m.vertices.erase(m.vertices.begin() + v);
    for (Polygon& p : m.polygons) {
      for (int k = 0; k < cornerCount(p); ++k) {
        if (p.vertexIndex[k] > v) --p.vertexIndex[k];
      }
    }
    for (std::int64_t& k : corners) k = k == v ? -1 : k > v ? k - 1 : k;
  }
}

void literalDeleteListed(Module& m, std::vector<std::uint32_t> list) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    const std::uint32_t d = list[i];
    literalDeletePolygon(m, d);
    for (std::size_t j = i + 1; j < list.size(); ++j) {
      if (list[j] > d) --list[j];
    }
  }
}

std::vector<std::vector<std::uint32_t>> cornersOf(const Module& m) {
  std::vector<std::vector<std::uint32_t>> out;
  for (const Polygon& p : m.polygons) {
    std::vector<std::uint32_t>& row = out.emplace_back(p.vertexIndex.begin(), p.vertexIndex.end());
    row.push_back(p.sides);
    row.push_back(static_cast<std::uint32_t>(p.colour[0]));  // the polygon's id
  }
  return out;
}
std::vector<float> vertexIds(const Module& m) {
  std::vector<float> out;
  for (const Vertex& v : m.vertices) out.push_back(v.x);
  return out;
}

// The listed deletion against the literal walk over random modules and random list orders: the
// same surviving polygons in the same order, the same vertex list and the same renumbering. The
// modules have vertices no polygon uses, repeated corners and corners past the vertex list; the
// lists have entries past the end.
TEST(DeletePolygons, MatchesTheLiteralWalkOverRandomModules) {
  std::mt19937 random(20240611);
  auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  for (int round = 0; round < 400; ++round) {
    Module m;
    const int vertices = below(14);
    for (int v = 0; v < vertices; ++v) m.vertices.push_back({static_cast<float>(v), 0, 0});
    const int polygons = below(16);
    for (int p = 0; p < polygons; ++p) {
      Polygon& q = m.polygons.emplace_back();
      q.sides = below(2) == 0 ? 3 : 4;
      const int reach = vertices + (below(10) == 0 ? 3 : 0);
      for (std::uint32_t& c : q.vertexIndex) c = static_cast<std::uint32_t>(below(reach + 1));
      q.colour[0] = static_cast<float>(p);
    }
    std::vector<std::uint32_t> list;
    for (int p = 0; p < polygons; ++p) {
      if (below(2) == 0) list.push_back(static_cast<std::uint32_t>(p));
    }
    if (below(4) == 0) list.push_back(static_cast<std::uint32_t>(polygons + below(3)));
    std::shuffle(list.begin(), list.end(), random);
    if (list.empty()) continue;

    Module literal = m;
    literalDeleteListed(literal, list);

    Fresh f;
    f.model.document.kind = DocumentKind::wldfile;
    f.model.document.wldfiles = 1;
    f.model.document.module[0] = m;
    f.model.selection = {};
    f.model.selection.currentModule = 0;
    f.model.selection.currentPolygon = -2;
    f.model.selection.selectedPolygons = list;
    const bool named = std::any_of(list.begin(), list.end(),
                                   [&](std::uint32_t p) { return p < m.polygons.size(); });
    ASSERT_EQ(f.run(cmd::deleteSelection), named) << round;
    const Module& ours = f.model.document.module[0];
    ASSERT_EQ(cornersOf(ours), cornersOf(literal)) << round;
    ASSERT_EQ(vertexIds(ours), vertexIds(literal)) << round;
    if (!named) continue;

    // The step keeps only what went: taking it back and doing it again renumbers both ways.
    ASSERT_TRUE(f.run(cmd::undoEdit)) << round;
    ASSERT_EQ(cornersOf(ours), cornersOf(m)) << round;
    ASSERT_EQ(vertexIds(ours), vertexIds(m)) << round;
    ASSERT_TRUE(f.run(cmd::redoEdit)) << round;
    ASSERT_EQ(cornersOf(ours), cornersOf(literal)) << round;
    ASSERT_EQ(vertexIds(ours), vertexIds(literal)) << round;
  }
}

// Module 0: vertices v0..v5 (x = id) under P0 (0 1 2), P1 (1 3 4 2), P2 (3 5 4); v5 is shared by
// nothing else and a seventh vertex v6 by nobody.
struct PolygonDelete : DeleteDuplicate {
  PolygonDelete() {
    Module& m = model.document.module[0];
    m.vertices.clear();
    for (int v = 0; v < 7; ++v) m.vertices.push_back({static_cast<float>(v), 0, 0});
    m.polygons = {testing::face({0, 1, 2}), testing::face({1, 3, 4, 2}), testing::face({3, 5, 4})};
    for (int p = 0; p < 3; ++p) m.polygons[p].colour = {static_cast<float>(p), 1, 1, 1};
  }
};

struct FreshPolygons : PolygonDelete {
  void TestBody() override {}
};

TEST(DeletePolygons, RemoveTheirOrphanedVerticesAndUndoBringsBackTheBytes) {
  struct Case {
    const char* name;
    int current;
    std::vector<std::uint32_t> listed;
    std::vector<std::vector<std::uint32_t>> corners;  // per surviving polygon: corners, sides, id
    std::vector<float> vertices;
  } cases[] = {
      // clang-format off
      {"the current polygon", 0, {},
       {{0, 2, 3, 1, 4, 1}, {2, 4, 3, 0, 3, 2}}, {1, 2, 3, 4, 5, 6}},
      {"the list, not the current polygon", 0, {2},
       {{0, 1, 2, 0, 3, 0}, {1, 3, 4, 2, 4, 1}}, {0, 1, 2, 3, 4, 6}},
      {"a shared vertex goes with the last user", -2, {2, 1},
       {{0, 1, 2, 0, 3, 0}}, {0, 1, 2, 6}},
      {"the whole mesh; the unused vertex stays", -2, {1, 0, 2},
       {}, {6}},
      // The commands never repeat an entry; a repeated one still names its polygon once.
      {"a repeated entry", -2, {0, 0},
       {{0, 2, 3, 1, 4, 1}, {2, 4, 3, 0, 3, 2}}, {1, 2, 3, 4, 5, 6}},
      // clang-format on
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FreshPolygons f;
    f.model.selection.currentPolygon = c.current;
    f.model.selection.selectedPolygons = c.listed;
    const Module& m = f.model.document.module[0];
    const std::string before = f.saved();
    ASSERT_EQ(issueCommand(f.editor, cmd::deleteSelection), CommandOutcome::done);
    EXPECT_EQ(cornersOf(m), c.corners);
    EXPECT_EQ(vertexIds(m), c.vertices);
    EXPECT_EQ(f.model.selection.currentPolygon, -1);
    EXPECT_TRUE(f.model.selection.selectedPolygons.empty());
    EXPECT_EQ(m.modified, 1);
    EXPECT_EQ(f.ids(), (Ids{{0, 1, 2}, {10}, {20, 21}})) << "instances untouched";

    ASSERT_EQ(issueCommand(f.editor, cmd::undoEdit), CommandOutcome::done);
    EXPECT_EQ(f.saved(), before);
    EXPECT_EQ(f.model.selection.currentPolygon, c.current);
  }
}

// The handlers themselves refuse, changing nothing, a selection naming nothing that exists, as
// one left stale by a change outside would.
TEST_F(DeleteDuplicate, SelectionsNamingNothingAreRefusedAndNothingChanges) {
  struct Case {
    const char* name;
    int module, instance, polygon;
    std::vector<std::uint32_t> polygons;
    std::vector<Ref> listed;
    int group;
    bool deletes, duplicates;
  } cases[] = {
      {"no selection", -1, -1, -1, {}, {}, -1, false, false},
      {"an instance past the module's end", 0, 3, -1, {}, {}, -1, false, false},
      {"a module past the table", 5, 0, -1, {}, {}, -1, false, false},
      {"a polygon past the end", 0, 0, 4, {}, {}, -1, false, true},
      {"listed polygons past the end", 0, 0, -2, {1, 7}, {}, -1, false, true},
      {"listed instances that are gone", -2, -1, -1, {}, {{0, 3}, {4, 0}}, -1, false, false},
      {"a browsed group nobody has", 0, 0, -1, {}, {}, 9, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (int number : {cmd::deleteSelection, cmd::duplicate}) {
      Fresh f;
      f.select(c.module, c.instance, c.listed, c.group);
      f.model.selection.currentPolygon = c.polygon;
      f.model.selection.selectedPolygons = c.polygons;
      const Selection selected = f.model.selection;
      const std::string before = f.saved();
      const bool expected = number == cmd::duplicate ? c.duplicates : c.deletes;
      EXPECT_EQ(f.run(number), expected) << number;
      if (expected) continue;
      EXPECT_EQ(f.saved(), before) << number;
      EXPECT_FALSE(f.editor.history.canUndo()) << number;
      EXPECT_FALSE(f.model.status.documentModified) << number;
      EXPECT_EQ(f.model.selection.currentModule, selected.currentModule) << number;
      EXPECT_EQ(f.model.selection.selectedPolygons, selected.selectedPolygons) << number;
    }
  }
}

// A mesh document has no instances to delete: only its polygons are.
TEST_F(DeleteDuplicate, InAMeshOnlyPolygonsAreDeleted) {
  model.document.kind = DocumentKind::wldfile;
  model.document.wldfiles = 1;
  select(0, 0, {}, 5);
  EXPECT_EQ(issueCommand(editor, cmd::deleteSelection), CommandOutcome::refused);
  EXPECT_EQ(issueCommand(editor, cmd::duplicate), CommandOutcome::greyed);
  select(0, 0);
  model.selection.currentPolygon = 0;
  ASSERT_EQ(issueCommand(editor, cmd::deleteSelection), CommandOutcome::done);
  EXPECT_TRUE(model.document.module[0].polygons.empty());
  EXPECT_TRUE(model.document.module[0].vertices.empty());
  EXPECT_EQ(model.document.wldfiles, 1);
}

// Fields a copy must keep; the GUID is checked apart.
void expectSameButGuid(const Instance& copy, const Instance& source, int group) {
  EXPECT_NE(copy.guid, source.guid);
  EXPECT_FALSE(copy.guid.isNull());
  EXPECT_EQ(copy.location, source.location);
  EXPECT_EQ(copy.extendRate, source.extendRate);
  EXPECT_EQ(copy.colourKey, source.colourKey);
  EXPECT_EQ(copy.type, source.type);
  EXPECT_EQ(copy.group, group);
}

TEST_F(DeleteDuplicate, DuplicateCopiesTheCurrentInstanceInPlaceAndMakesItCurrent) {
  Instance& source = model.document.module[2].instances[1];
  source.type = 47;
  source.colourKey = 3;
  select(2, 1);
  const std::string before = saved();
  ASSERT_EQ(issueCommand(editor, cmd::duplicate), CommandOutcome::done);
  const auto& list = model.document.module[2].instances;
  ASSERT_EQ(list.size(), 3u);
  expectSameButGuid(list[2], list[1], 5);
  EXPECT_EQ(model.selection.currentModule, 2);
  EXPECT_EQ(model.selection.currentInstance, 2);
  EXPECT_TRUE(model.document.components.empty()) << "not a component module";
  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(saved(), before);
}

TEST_F(DeleteDuplicate, DuplicateCopiesEachListedInstanceAndTheListNamesTheCopies) {
  model.document.module[1].componentType = 3;  // a component module: each copy gets its record
  select(-2, -1, {{1, 0}, {0, 2}, {1, 0}});
  const std::string before = saved();
  ASSERT_EQ(issueCommand(editor, cmd::duplicate), CommandOutcome::done);
  EXPECT_EQ(ids(), (Ids{{0, 1, 2, 2}, {10, 10, 10}, {20, 21}}));
  const auto& listed = model.selection.selectedInstances;
  ASSERT_EQ(listed.size(), 3u);
  EXPECT_EQ(listed[0].module, 1);
  EXPECT_EQ(listed[0].instance, 1);
  EXPECT_EQ(listed[1].module, 0);
  EXPECT_EQ(listed[1].instance, 3);
  EXPECT_EQ(listed[2].instance, 2);
  const auto& b = model.document.module[1].instances;
  expectSameButGuid(b[1], b[0], 0);
  EXPECT_NE(b[2].guid, b[1].guid);
  ASSERT_EQ(model.document.components.size(), 2u);
  EXPECT_EQ(model.document.components[0].guid, b[1].guid);
  EXPECT_EQ(model.document.components[1].guid, b[2].guid);
  EXPECT_TRUE(model.document.components[0].dependencies.empty());
  EXPECT_TRUE(model.settings.view.systemsView);
  EXPECT_TRUE(model.settings.view.systemShown[3]);

  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(saved(), before);
  EXPECT_TRUE(model.document.components.empty());
}

// In a city the browsed group is copied whole under the lowest group number nobody uses.
TEST_F(DeleteDuplicate, DuplicateInACityCopiesTheBrowsedGroup) {
  model.document.kind = DocumentKind::ctyfile;
  model.document.module[1].instances[0].group = 1;
  model.document.module[0].instances[2].group = 3;  // groups in use: 0, 1, 3, 5, 7
  select(0, 1, {}, 5);
  ASSERT_EQ(issueCommand(editor, cmd::duplicate), CommandOutcome::done);
  EXPECT_EQ(ids(), (Ids{{0, 1, 2, 1}, {10}, {20, 21, 21}}));
  const auto& a = model.document.module[0].instances;
  const auto& c = model.document.module[2].instances;
  expectSameButGuid(a[3], a[1], 2);
  expectSameButGuid(c[2], c[1], 2);
  EXPECT_EQ(model.selection.currentGroup, 2);
  EXPECT_EQ(model.selection.currentModule, 2) << "the last copy is current";
  EXPECT_EQ(model.selection.currentInstance, 2);
}

// The batch front end opens with no selection: Delete and Duplicate are greyed, the run stops
// and no file is written.
TEST(DeleteDuplicateApply, WithNothingSelectedTheFilesStayAsTheyWere) {
  testing::TempRepo repo;
  repo.write("meshes/hull.wld", testing::triangleWld());
  Model scratch;
  scratch.document.kind = DocumentKind::asmfile;
  scratch.document.wldfiles = 1;
  scratch.document.module[0].filename = "meshes\\hull.wld";
  Instance& instance = scratch.document.module[0].instances.emplace_back();
  instance.guid = newGuid();
  instance.extendRate = instance.retractRate = 1;
  const std::string boat = formatAssembly(scratch, false).bytes;
  repo.write("ships/boat.asm", boat);
  for (const char* command : {"&Delete", "Du&plicate"}) {
    const testing::CliRun r =
        testing::runCliWith({"--repo", repo.root.string(), "apply",
                             (repo.root / "ships/boat.asm").string(), command, "--save"});
    EXPECT_EQ(r.status, 2) << command;
    EXPECT_NE(r.err.find("is greyed now; stopped, nothing written"), std::string::npos) << r.err;
    EXPECT_EQ(repo.read("ships/boat.asm"), boat);
    EXPECT_EQ(repo.read("meshes/hull.wld"), testing::triangleWld());
  }
}

}  // namespace
}  // namespace tessarim
