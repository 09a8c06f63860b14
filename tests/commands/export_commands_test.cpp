#include "commands/export_commands.hpp"

#include <gtest/gtest.h>

#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "editor/editor.hpp"
#include "support/polygons.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

using testing::face;

// A city of one house and its terrain, written beside a scratch repository.
struct CityExport : ::testing::Test {
  CityExport() {
    Model& m = repo.model;
    m.document.kind = DocumentKind::ctyfile;
    m.document.documentPath = "town.cty";
    for (const char* name : {"house.wld", ""}) {
      Module& module = m.document.module[m.document.wldfiles++];
      module.filename = name;
      module.scaleClass = 2;
      module.vertices = {{0, 0, 0}, {3, 0, 0}, {0, 3, 0}};
      module.polygons = {face({0, 1, 2})};
      module.instances.resize(1);
    }
  }
  testing::TempRepo repo;
  Editor editor{Session{repo.model, repo.repository, repo.ui, repo.store, repo.clock}};
};

// The scale the export gives an unassigned city module is an edit Undo Edit takes back; an
// export that assigns nothing leaves no step.
TEST_F(CityExport, TheScaleTheExportAssignsIsOneUndoableEdit) {
  dispatchCommand(editor, cmd::exportDawSet);
  EXPECT_EQ(editor.history.size(), 0u);

  Module& house = repo.model.document.module[0];
  house.scaleClass = 0;
  dispatchCommand(editor, cmd::exportDawSet);
  ASSERT_EQ(house.scaleClass, 2);
  ASSERT_EQ(editor.history.size(), 1u);
  EXPECT_EQ(editor.history.step(0).name, "Assign Scale");
  EXPECT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(house.scaleClass, 0);
  EXPECT_EQ(issueCommand(editor, cmd::redoEdit), CommandOutcome::done);
  EXPECT_EQ(house.scaleClass, 2);
}

}  // namespace
}  // namespace tessarim
