#include "formats/file_replacement.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

namespace fs = std::filesystem;
using testing::filesIn;
using testing::TempRepo;

TEST(FileReplacement, ReplacedFileKeepsItsPermissionBits) {
  TempRepo repo;
  const auto path = repo.write("a.wld", "old");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(writeFileAtomically(path.string(), "new"), "");
  EXPECT_EQ(repo.read("a.wld"), "new");
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(FileReplacement, ReadOnlyTargetIsRefusedEvenWhereTheFolderAllowsARename) {
  TempRepo repo;
  const auto path = repo.write("a.wld", "old");
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(writeFileAtomically(path.string(), "new"), systemErrorText(EACCES));
  EXPECT_EQ(repo.read("a.wld"), "old");
  EXPECT_EQ(filesIn(repo.root), std::set<std::string>{"a.wld"});
}

TEST(FileReplacement, TemporariesOfAnInterruptedSaveGoAtTheNextSaveOfThatFile) {
  TempRepo repo;
  repo.write("a.wld", "old");
  // What a save killed before its rename leaves, beside files that only look alike.
  for (const char* name :
       {"a.wld.tmp123456", "a.wld.tmp7", "a.wld.tmpx", "a.wld.tmp1234567", "b.wld.tmp1"}) {
    repo.write(name, "partial");
  }
  EXPECT_EQ(writeFileAtomically((repo.root / "a.wld").string(), "new"), "");
  EXPECT_EQ(filesIn(repo.root),
            (std::set<std::string>{"a.wld", "a.wld.tmpx", "a.wld.tmp1234567", "b.wld.tmp1"}));
}

TEST(FileReplacement, SavingThroughALinkUpdatesTheLinkedFile) {
  TempRepo repo;
  repo.write("shared/a.wld", "old");
  fs::create_symlink(repo.root / "shared/a.wld", repo.root / "a.wld");
  EXPECT_EQ(writeFileAtomically((repo.root / "a.wld").string(), "new"), "");
  EXPECT_TRUE(fs::is_symlink(repo.root / "a.wld"));
  EXPECT_EQ(repo.read("shared/a.wld"), "new");
}

TEST(FileReplacement, ACommitKeptWithItsPreviousVersionCanBeUndone) {
  TempRepo repo;
  repo.write("a.daw", "old");
  FileReplacement existing{(repo.root / "a.daw").string()};
  FileReplacement fresh{(repo.root / "a.dix").string()};
  for (FileReplacement* f : {&existing, &fresh}) {
    ASSERT_TRUE(f->write("new") && f->finish() && f->commit(true));
  }
  EXPECT_EQ(repo.read("a.daw"), "new");
  EXPECT_TRUE(fresh.restore());
  EXPECT_TRUE(existing.restore());
  EXPECT_EQ(repo.read("a.daw"), "old");
  EXPECT_EQ(filesIn(repo.root), std::set<std::string>{"a.daw"});
}

}  // namespace
}  // namespace tessarim
