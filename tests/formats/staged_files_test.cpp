#include "formats/staged_files.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

namespace fs = std::filesystem;
using testing::filesIn;
using testing::TempRepo;

TEST(StagedFiles, ARenameFailingMidwayPutsBackEveryFileAlreadyReplaced) {
  TempRepo repo;
  repo.write("ships/hull.daw", "old daw");
  repo.write("maps/hull_h.png.map", "old map");
  StagedFiles files;
  ASSERT_TRUE(files.add((repo.root / "ships/hull.daw").string(), "ships\\hull.daw", "new daw"));
  ASSERT_TRUE(files.add((repo.root / "ships/hull.dix").string(), "ships\\hull.dix", "new dix"));
  ASSERT_TRUE(
      files.add((repo.root / "maps/hull_h.png.map").string(), "maps\\hull_h.png.map", "new map"));
  // The last file's folder goes away between staging and commit: its rename fails after the
  // first two have been made.
  fs::remove_all(repo.root / "maps");

  EXPECT_FALSE(files.commit());
  EXPECT_EQ(files.failedName(), "maps\\hull_h.png.map");
  EXPECT_EQ(files.error(), systemErrorText(ENOENT));
  EXPECT_EQ(repo.read("ships/hull.daw"), "old daw");
  EXPECT_EQ(filesIn(repo.root / "ships"),
            std::set<std::string>{"hull.daw"});  // no new DIX, no temporaries
}

TEST(StagedFiles, ACommittedSetReplacesEveryFileAndLeavesNothingElse) {
  TempRepo repo;
  repo.write("ships/hull.daw", "old daw");
  StagedFiles files;
  ASSERT_TRUE(files.add((repo.root / "ships/hull.daw").string(), "ships\\hull.daw", "new daw"));
  ASSERT_TRUE(files.add((repo.root / "ships/hull.dix").string(), "ships\\hull.dix", "new dix"));
  EXPECT_TRUE(files.commit());
  EXPECT_EQ(repo.read("ships/hull.daw"), "new daw");
  EXPECT_EQ(repo.read("ships/hull.dix"), "new dix");
  EXPECT_EQ(filesIn(repo.root / "ships"), (std::set<std::string>{"hull.daw", "hull.dix"}));
}

TEST(StagedFiles, AReadOnlyTargetStopsTheSetBeforeAnythingIsReplaced) {
  TempRepo repo;
  repo.write("ships/hull.daw", "old daw");
  const auto dix = repo.write("ships/hull.dix", "old dix");
  fs::permissions(dix, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  StagedFiles files;
  ASSERT_TRUE(files.add((repo.root / "ships/hull.daw").string(), "ships\\hull.daw", "new daw"));
  EXPECT_FALSE(files.add(dix.string(), "ships\\hull.dix", "new dix"));
  EXPECT_EQ(files.error(), systemErrorText(EACCES));
  EXPECT_EQ(files.failedName(), "ships\\hull.dix");
  EXPECT_EQ(repo.read("ships/hull.daw"), "old daw");
  EXPECT_EQ(filesIn(repo.root / "ships"), (std::set<std::string>{"hull.daw", "hull.dix"}));
}

}  // namespace
}  // namespace tessarim
