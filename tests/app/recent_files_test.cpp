#include "editor/recent_files.hpp"

#include <gtest/gtest.h>

#include "commands/command_numbers.hpp"
#include "support/editor_fixture.hpp"

namespace tessarim {
namespace {

std::vector<std::string> names(const RecentList& list) {
  std::vector<std::string> out;
  for (const auto& e : list.entries) out.push_back(e.name);
  return out;
}

TEST(RecentFiles, RepeatedNameMovesToTopAndEleventhPushesOutTheOldest) {
  testing::EditorFixture repo;
  for (int i = 0; i < 10; ++i)
    addRecent(repo.editor, cmd::recentAsmFirst, "a" + std::to_string(i) + ".asm", false);
  addRecent(repo.editor, cmd::recentAsmFirst, "A3.ASM", false);
  auto list = names(repo.editor.recent.asmList);
  ASSERT_EQ(list.size(), 10u);
  EXPECT_EQ(list[0], "A3.ASM");
  EXPECT_EQ(std::count(list.begin(), list.end(), "a3.asm"), 0);
  EXPECT_EQ(list[9], "a0.asm");
  addRecent(repo.editor, cmd::recentAsmFirst, "new.asm", true);
  list = names(repo.editor.recent.asmList);
  EXPECT_EQ(list[0], "new.asm");
  EXPECT_EQ(list[9], "a1.asm");  // a0 pushed out
  EXPECT_EQ(repo.editor.recent.asmList.entries[0].commandId, cmd::recentAsmFirst + 11);
  EXPECT_EQ(repo.store.readString(recentKey, "MRU\\ASM0"), "new.asm");
  EXPECT_EQ(repo.store.readString(recentKey, "MRU\\ASM9"), "a1.asm");
}

TEST(RecentFiles, NamesAreStoredRepositoryRelativeAndLoadNewestOnTop) {
  testing::EditorFixture repo;
  addRecent(repo.editor, cmd::recentWldFirst, (repo.root / "meshes/a.wld").string(), false);
  EXPECT_EQ(repo.editor.recent.wld.entries[0].name, "meshes\\a.wld");

  testing::EditorFixture other;
  other.store.writeString(recentKey, "MRU\\CTY0", "newest.cty");
  other.store.writeString(recentKey, "MRU\\CTY1", "older.cty");
  loadRecent(other.editor, cmd::recentCtyFirst);
  EXPECT_EQ(names(other.editor.recent.cty), (std::vector<std::string>{"newest.cty", "older.cty"}));
}

}  // namespace
}  // namespace tessarim
