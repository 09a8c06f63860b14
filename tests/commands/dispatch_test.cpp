#include "commands/dispatch.hpp"

#include <gtest/gtest.h>

#include "commands/command_numbers.hpp"
#include "support/editor_fixture.hpp"

namespace tessarim {
namespace {

using testing::EditorFixture;

TEST(DispatchCommand, RoutesRecentRangesAndTableNumbersAndCountsOnlyHandledOnes) {
  EditorFixture f;
  addRecent(f.editor, cmd::recentAsmFirst, "ships\\boat.asm", false);
  dispatchCommand(f.editor,
                  0x10000 | f.editor.recent.asmList.entries[0].commandId);  // high bits ignored
  EXPECT_TRUE(isAssembly(f.model.document));
  EXPECT_EQ(f.model.document.wldfiles, 2);
  EXPECT_TRUE(f.editor.commandActivity);

  f.editor.commandActivity = false;
  dispatchCommand(f.editor, cmd::parkingLegalityFirst + 5);  // a parking-legality item: no handler
  dispatchCommand(f.editor, cmd::unboundCtrlShiftS);         // a key with no command behind it
  dispatchCommand(f.editor, cmd::recentLast);                // an id no recent entry has
  EXPECT_FALSE(f.editor.commandActivity);
  EXPECT_TRUE(f.ui.boxes.empty());

  f.model.status.documentModified = true;
  f.ui.answers.push_back(MessageAnswer::cancel);
  dispatchCommand(f.editor, cmd::close);  // Close, cancelled at the prompt
  EXPECT_FALSE(f.editor.commandActivity);
  EXPECT_EQ(f.model.document.wldfiles, 2);
}

TEST(DispatchCommand, RuntimeExportWritesTheSetBesideTheDocument) {
  EditorFixture f;
  addRecent(f.editor, cmd::recentAsmFirst, "ships\\boat.asm", false);
  dispatchCommand(f.editor, f.editor.recent.asmList.entries[0].commandId);
  f.editor.commandActivity = false;
  dispatchCommand(f.editor, cmd::exportDawSet);
  EXPECT_TRUE(f.editor.commandActivity);
  ASSERT_FALSE(f.ui.boxes.empty());
  EXPECT_EQ(f.ui.boxes.back().caption, "Complete!");
  EXPECT_TRUE(std::filesystem::exists(f.root / "ships/boat.daw"));
  EXPECT_TRUE(std::filesystem::exists(f.root / "ships/boat.dix"));
}

}  // namespace
}  // namespace tessarim
