#include "editing/edit_history.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "commands/menu_state.hpp"
#include "formats/assembly.hpp"
#include "formats/wld.hpp"
#include "support/editor_fixture.hpp"

namespace tessarim {
namespace {

using testing::EditorFixture;

// An assembly of two meshes opened as the editor opens it, with no edit made yet.
struct HistoryTest : ::testing::Test {
  HistoryTest() {
    addRecent(f.editor, cmd::recentAsmFirst, "ships\\boat.asm", false);
    dispatchCommand(f.editor, f.editor.recent.asmList.entries[0].commandId);
  }

  // Moves every vertex of a module by dx: one edit.
  void shift(int module, float dx, const char* name = "Shift") {
    Edit edit(f.model, f.editor.history, name);
    for (Vertex& v : edit.module(module).vertices) v.x += dx;
    edit.commit();
  }

  EditorFixture f;
};

TEST_F(HistoryTest, UndoAndRedoSwapTheKeptModuleAndTheSavedBytesFollow) {
  const std::string before = formatWld(f.model.document.module[0]);
  const Selection selected = f.model.selection;
  f.model.status.geometryDirty = false;
  shift(0, 2);
  const std::string after = formatWld(f.model.document.module[0]);
  ASSERT_NE(after, before);
  EXPECT_EQ(f.model.document.module[0].modified, 1);
  EXPECT_TRUE(f.model.status.documentModified);
  EXPECT_TRUE(f.model.status.geometryDirty) << "the commit reports the geometry";

  f.model.selection.currentModule = 1;  // a later selection does not stick to the undo
  ASSERT_EQ(issueCommand(f.editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(formatWld(f.model.document.module[0]), before);
  EXPECT_EQ(f.model.selection.currentModule, selected.currentModule);
  EXPECT_EQ(issueCommand(f.editor, cmd::undoEdit), CommandOutcome::greyed) << "nothing left";

  ASSERT_EQ(issueCommand(f.editor, cmd::redoEdit), CommandOutcome::done);
  EXPECT_EQ(formatWld(f.model.document.module[0]), after);
  EXPECT_EQ(issueCommand(f.editor, cmd::redoEdit), CommandOutcome::greyed);

  // A new edit after an undo drops the step that could have been redone.
  issueCommand(f.editor, cmd::undoEdit);
  shift(1, 1);
  EXPECT_FALSE(f.editor.history.canRedo());
  EXPECT_EQ(f.editor.history.size(), 1u);
}

TEST_F(HistoryTest, SavingKeepsTheHistoryAndUndoingPastASaveModifiesAgain) {
  shift(0, 2);
  ASSERT_EQ(issueCommand(f.editor, cmd::save), CommandOutcome::done);
  EXPECT_FALSE(f.model.status.documentModified);
  EXPECT_EQ(f.model.document.module[0].modified, 0);
  ASSERT_TRUE(f.editor.history.canUndo());
  const FileTime saved = f.model.document.module[0].fileTime;
  issueCommand(f.editor, cmd::undoEdit);
  EXPECT_TRUE(f.model.status.documentModified);
  EXPECT_EQ(f.model.document.module[0].modified, 1);
  EXPECT_EQ(f.model.document.module[0].fileTime, saved) << "not taken for a change outside";
}

TEST_F(HistoryTest, RevertingToTheSavedFilesClearsTheHistory) {
  shift(0, 2);
  ASSERT_EQ(issueCommand(f.editor, cmd::undo), CommandOutcome::done);
  EXPECT_FALSE(f.editor.history.canUndo());
  EXPECT_EQ(f.editor.history.bytes(), 0u);
}

TEST_F(HistoryTest, RollingBackPutsEverythingBackAndKeepsNoStep) {
  const std::string before = formatWld(f.model.document.module[1]);
  {
    Edit edit(f.model, f.editor.history, "Abandoned");
    edit.module(1).vertices.clear();
    edit.document().lightCount = 3;
  }  // neither committed nor rolled back: rolled back
  EXPECT_EQ(formatWld(f.model.document.module[1]), before);
  EXPECT_EQ(f.model.document.lightCount, 0);
  EXPECT_EQ(f.editor.history.size(), 0u);
}

TEST_F(HistoryTest, AnEditThatChangesNothingLeavesNoStep) {
  Edit edit(f.model, f.editor.history, "Same");
  edit.part(f.model.document.emptyWeight, contentChanges) = f.model.document.emptyWeight;
  EXPECT_TRUE(edit.commit().empty());
  EXPECT_EQ(f.editor.history.size(), 0u);
  EXPECT_FALSE(f.model.status.documentModified);
}

TEST_F(HistoryTest, TheMemoryBoundDropsTheOldestSteps) {
  shift(0, 1, "first");
  const std::size_t step = f.editor.history.bytes();
  ASSERT_GT(step, sizeof(Module));
  shift(0, 1, "second");
  shift(0, 1, "third");
  f.editor.history.setLimit(2 * step + step / 2);
  ASSERT_EQ(f.editor.history.size(), 2u);
  EXPECT_EQ(f.editor.history.step(0).name, "second");
  EXPECT_LE(f.editor.history.bytes(), f.editor.history.limit());
  EXPECT_TRUE(f.editor.history.undo(f.model));
  EXPECT_TRUE(f.editor.history.undo(f.model));
  EXPECT_FALSE(f.editor.history.undo(f.model)) << "the first step was dropped";
  // One step alone over the bound is not kept either.
  f.editor.history.setLimit(step / 2);
  shift(0, 1);
  EXPECT_EQ(f.editor.history.size(), 0u);
}

TEST_F(HistoryTest, ValuePartsAndWholeDocumentsSwapToo) {
  {
    Edit edit(f.model, f.editor.history, "Weight");
    edit.part(f.model.document.emptyWeight, contentChanges) = 1200;
    edit.commit();
  }
  {
    Edit edit(f.model, f.editor.history, "Drop a module");
    Document& d = edit.document();
    d.module[1] = Module{};
    d.wldfiles = 1;
    edit.module(0).instances.clear();  // inside the kept document: not kept twice
    edit.commit();
  }
  EXPECT_EQ(f.editor.history.size(), 2u);
  f.editor.history.undo(f.model);
  EXPECT_EQ(f.model.document.wldfiles, 2);
  EXPECT_EQ(f.model.document.module[0].instances.size(), 2u);
  EXPECT_EQ(f.model.document.module[1].filename, "meshes\\fin.wld");
  f.editor.history.undo(f.model);
  EXPECT_EQ(f.model.document.emptyWeight, 0);
  f.editor.history.redo(f.model);
  EXPECT_EQ(f.model.document.emptyWeight, 1200);
}

// A list kept alone, then its whole module in the same edit: undo and redo still give each
// state back exactly.
TEST_F(HistoryTest, ListsKeptAloneSwapBackWithTheirModule) {
  Module& m = f.model.document.module[0];
  const std::string before = formatWld(m);
  const std::size_t instances = m.instances.size();
  {
    Edit edit(f.model, f.editor.history, "Lists");
    edit.vertices(0)[0].x += 5;
    edit.polygons(0).front().colour[0] = 0.25f;
    edit.module(0).instances.clear();  // the whole module, after its lists changed
    edit.vertices(0)[1].y += 1;        // inside the kept module: not kept again
    edit.commit();
  }
  const std::string after = formatWld(m);
  EXPECT_EQ(f.editor.history.step(0).parts.size(), 3u);
  f.editor.history.undo(f.model);
  EXPECT_EQ(formatWld(m), before);
  EXPECT_EQ(m.instances.size(), instances);
  f.editor.history.redo(f.model);
  EXPECT_EQ(formatWld(m), after);
  EXPECT_TRUE(m.instances.empty());
}

// Some polygons kept one by one with the list's length: changed ones swap back, appended ones go
// and come again, and a whole list kept after them still is.
TEST_F(HistoryTest, PolygonsKeptOneByOneSwapBackWithTheAppendedCount) {
  Module& m = f.model.document.module[0];
  m.polygons.resize(4, m.polygons.front());
  for (int i = 0; i < 4; ++i) m.polygons[i].colour[0] = static_cast<float>(i) / 8;
  const std::string before = formatWld(m);
  {
    Edit edit(f.model, f.editor.history, "Some");
    const std::uint32_t touched[] = {2, 0, 2, 9};  // twice, and past the end
    std::vector<Polygon>& list = edit.polygons(0, touched);
    list[0].colour[1] = 0.5f;
    list[2].vertexIndex = {2, 1, 0, 0};
    list.push_back(list[2]);
    list.push_back(list[0]);
    edit.polygons(0)[1].smooth = 1;  // the whole list, after it changed
    edit.polygons(0).pop_back();
    edit.commit();
  }
  const std::string after = formatWld(m);
  ASSERT_NE(after, before);
  EXPECT_EQ(f.editor.history.step(0).parts.size(), 2u);
  for (int round = 0; round < 2; ++round) {
    f.editor.history.undo(f.model);
    EXPECT_EQ(formatWld(m), before) << round;
    EXPECT_EQ(m.polygons.size(), 4u);
    f.editor.history.redo(f.model);
    EXPECT_EQ(formatWld(m), after) << round;
    EXPECT_EQ(m.polygons.size(), 5u);
  }
}

constexpr float inf = std::numeric_limits<float>::infinity();
constexpr float nan = std::numeric_limits<float>::quiet_NaN();

// Each kind of kept part is checked at the commit: an edit that leaves a number that is not
// finite puts everything back, the modified marks its handler set too, and keeps no step.
TEST_F(HistoryTest, AnEditThatLeavesANumberThatIsNotFiniteIsRolledBackAndSaysWhy) {
  const struct {
    const char* name;
    std::function<void(Edit&, Model&)> change;
    const char* message;
  } cases[] = {
      {"Whole Module", [](Edit& e, Model&) { e.module(0).vertices[1].x = inf; },
       "The vertex coordinates of meshes\\hull.wld would not be finite numbers. Whole Module "
       "changed nothing."},
      {"Vertices", [](Edit& e, Model&) { e.vertices(1)[0].y = -inf; },
       "The vertex coordinates of meshes\\fin.wld would not be finite numbers. Vertices changed "
       "nothing."},
      {"Some Polygons",
       [](Edit& e, Model&) {
         const std::uint32_t touched[] = {0};
         std::vector<Polygon>& list = e.polygons(0, touched);
         list[0].colour[0] = inf;
         list.push_back(list[0]);
         list.back().colour[0] = 0;
         list.back().texels2[1].u = nan;  // appended: read as well
       },
       "The texel coordinates and polygon colours of meshes\\hull.wld would not be finite "
       "numbers. Some Polygons changed nothing."},
      {"Placements", [](Edit& e, Model&) { e.placements(0)[1].location[2] = -inf; },
       "The instance placements of meshes\\hull.wld would not be finite numbers. Placements "
       "changed nothing."},
      {"Lights",
       [](Edit& e, Model& m) {
         e.part(m.document.lightCount, contentChanges) = 1;
         e.part(m.document.lights, contentChanges)[0].position[0] = inf;
       },
       "The light positions would not be finite numbers. Lights changed nothing."},
      {"Equipment",
       [](Edit& e, Model& m) { e.moduleValue(1, m.document.module[1].component).cost = nan; },
       "The equipment values of meshes\\fin.wld would not be finite numbers. Equipment changed "
       "nothing."},
      {"Skeleton",
       [](Edit& e, Model& m) { e.part(m.motion, placementChanges).skeletonOffset[1] = inf; },
       "The skeleton offset coordinates would not be finite numbers. Skeleton changed nothing."},
      {"Document",
       [](Edit& e, Model&) {
         Document& d = e.document();
         d.module[0].vertices[0].z = inf;
         d.module[1].instances[0].orientation[0] = nan;
         d.connectors.resize(1);
         d.connectors[0].farEnd[0] = inf;
       },
       "The vertex coordinates of meshes\\hull.wld, the instance placements of "
       "meshes\\fin.wld and the connector ends would not be finite numbers. Document changed "
       "nothing."},
  };
  const std::string hull = formatWld(f.model.document.module[0]);
  const std::string fin = formatWld(f.model.document.module[1]);
  const std::string assembly = formatAssembly(f.model, false).bytes;
  const Selection selected = f.model.selection;
  for (const auto& c : cases) {
    f.model.status.geometryDirty = false;
    Edit edit(f.model, f.editor.history, c.name);
    edit.vertices(0)[0].x += 1;               // a finite change beside, put back too
    f.model.document.module[0].modified = 1;  // as handlers mark what they change
    f.model.selection.currentInstance = 1;
    c.change(edit, f.model);
    EXPECT_TRUE(edit.commit().empty()) << c.name;
    EXPECT_TRUE(edit.refused());
    EXPECT_EQ(f.editor.history.takeRefusal(), c.message);
    EXPECT_EQ(f.editor.history.takeRefusal(), "") << "taken once";
    EXPECT_EQ(formatWld(f.model.document.module[0]), hull) << c.name;
    EXPECT_EQ(formatWld(f.model.document.module[1]), fin) << c.name;
    EXPECT_EQ(formatAssembly(f.model, false).bytes, assembly) << c.name;
    EXPECT_EQ(f.model.document.lightCount, 0);
    EXPECT_EQ(f.model.motion.skeletonOffset[1], 0);
    EXPECT_EQ(f.model.document.module[0].modified, 0) << c.name;
    EXPECT_FALSE(f.model.status.documentModified) << c.name;
    EXPECT_EQ(f.model.selection.currentInstance, selected.currentInstance);
    EXPECT_TRUE(f.model.status.geometryDirty) << "what a drag showed is drawn again";
    EXPECT_EQ(f.editor.history.size(), 0u) << c.name;
  }
}

// Only what an edit adds counts: numbers a file already held (or an earlier edit moved about)
// do not refuse an edit that leaves no more of them.
TEST_F(HistoryTest, NumbersNotFiniteBeforeTheEditDoNotRefuseIt) {
  Document& d = f.model.document;
  d.module[0].polygons[0].colour[3] = nan;
  d.module[1].vertices[2].z = inf;
  const auto run = [&](const char* name, const std::function<void(Edit&)>& change) {
    Edit edit(f.model, f.editor.history, name);
    change(edit);
    edit.commit();
    return !edit.refused();
  };
  const std::uint32_t first[] = {0};
  EXPECT_TRUE(run("Colour", [&](Edit& e) { e.polygons(0, first)[0].colour[0] = 0.5f; }));
  EXPECT_TRUE(run("Colours", [&](Edit& e) { e.polygons(0)[0].colour[1] = 0.5f; }));
  EXPECT_TRUE(run("Move", [&](Edit& e) { e.vertices(1)[0].x += 1; }));
  // Removing the first module moves the second to its place, with what it held.
  EXPECT_TRUE(run("Remove", [&](Edit& e) {
    Document& doc = e.document();
    doc.module[0] = std::move(doc.module[1]);
    doc.module[1] = Module{};
    doc.wldfiles = 1;
  }));
  EXPECT_EQ(f.editor.history.size(), 4u);
  EXPECT_FALSE(run("More", [&](Edit& e) { e.vertices(0)[1].x = nan; }));
  EXPECT_EQ(f.editor.history.takeRefusal(),
            "The vertex coordinates of meshes\\fin.wld would not be finite numbers. More changed "
            "nothing.");
  EXPECT_EQ(f.editor.history.size(), 4u);
}

TEST_F(HistoryTest, OpeningClosingAndNewClearTheHistory) {
  shift(0, 1);
  f.ui.answers.push_back(MessageAnswer::no);  // do not save
  ASSERT_EQ(issueCommand(f.editor, cmd::close), CommandOutcome::done);
  EXPECT_EQ(f.editor.history.size(), 0u);
}

}  // namespace
}  // namespace tessarim
