#include "formats/file_replacement.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

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

TEST(FileReplacement, ATargetThatIsNotARegularFileStaysWhatItWas) {
  TempRepo repo;
  ASSERT_EQ(::mkfifo((repo.root / "pipe.wld").c_str(), 0644), 0);
  // A device node like the system's null device, made here (it needs the privilege to).
  const bool device = ::mknod((repo.root / "null.wld").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  fs::create_symlink(repo.root / "pipe.wld", repo.root / "link.wld");
  for (const char* name : {"pipe.wld", "null.wld", "link.wld"}) {
    if (std::string{name} == "null.wld" && !device) continue;
    EXPECT_EQ(writeFileAtomically((repo.root / name).string(), "new"), "Not a regular file")
        << name;
  }
  EXPECT_TRUE(fs::is_fifo(repo.root / "pipe.wld"));
  EXPECT_TRUE(fs::is_symlink(repo.root / "link.wld"));
  EXPECT_EQ(fs::is_character_file(repo.root / "null.wld"), device);
  EXPECT_EQ(filesIn(repo.root).size(), device ? 3u : 2u);  // no temporary left behind
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
