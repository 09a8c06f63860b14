#include "model/paths.hpp"

#include <gtest/gtest.h>

#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

TEST(Paths, AbsoluteNames) {
  for (auto [name, absolute] : {std::pair{"\\Assets\\a.wld", true},
                                {"/tmp/a.wld", true},
                                {"C:\\a.wld", true},
                                {"c:a.wld", true},
                                {"ships\\a.wld", false},
                                {"a", false},
                                {"", false}}) {
    EXPECT_EQ(isAbsoluteName(name), absolute) << name;
  }
}

TEST(Paths, MakeRelativeDropsTheDriveAndTheRepositoryFolder) {
  const RepositoryFolder windows = makeRepositoryFolder("C:\\Assets\\");
  const RepositoryFolder host = makeRepositoryFolder("/home/artist/game");
  struct Case {
    const RepositoryFolder& repository;
    const char* path;
    const char* expected;
  } cases[] = {
      {windows, "C:\\Assets\\ships\\a.asm", "ships\\a.asm"},
      {windows, "D:\\Other\\a.asm", "\\Other\\a.asm"},
      {windows, "ships\\a.asm", "ships\\a.asm"},
      {host, "/home/artist/game/ships/a.wld", "ships\\a.wld"},
      {host, "/elsewhere/a.wld", "\\elsewhere\\a.wld"},
      {host, "textures\\x.dds", "textures\\x.dds"},
      // A subfolder named like the repository is part of the name.
      {windows, "textures\\Assets\\x.dds", "textures\\Assets\\x.dds"},
      {host, "/mnt/home/artist/game/x.wld", "\\mnt\\home\\artist\\game\\x.wld"},
  };
  for (const Case& c : cases) {
    std::string path = c.path;
    makeRelative(c.repository, path);
    EXPECT_EQ(path, c.expected) << c.path;
  }
}

TEST(Paths, ResolvePathMapsToTheHostAndFindsNamesWrittenInAnotherCase) {
  testing::TempRepo repo;
  repo.write("Ships/Hull.WLD", "x");
  const std::string root = repo.root.string() + "/";
  EXPECT_EQ(resolvePath(repo.repository, "ships\\hull.wld"), root + "Ships/Hull.WLD");
  EXPECT_EQ(resolvePath(repo.repository, "ships\\new.wld"), root + "ships/new.wld");
  EXPECT_EQ(resolvePath(repo.repository, "\\tmp\\x.wld"), "/tmp/x.wld");
}

TEST(Paths, NamesThatLeadOutOfTheRepositoryAreNotFollowed) {
  testing::TempRepo repo;
  repo.write("ships/hull.wld", "x");
  const auto outside = repo.root.parent_path() / ("outside-" + repo.root.filename().string());
  std::filesystem::create_directories(outside);
  std::filesystem::create_symlink(outside, repo.root / "link");
  const std::string inRepo = repo.root.string() + "/ships/hull.wld";
  struct Case {
    std::string name;
    bool inside;
  } cases[] = {
      {"ships\\hull.wld", true},
      {"ships\\new\\..\\hull.wld", true},  // climbs back into the repository
      {"new\\hull.wld", true},             // need not exist yet
      {"..\\hull.wld", false},
      {"ships\\..\\..\\hull.wld", false},
      {"\\etc\\passwd", false},
      {"/etc/passwd", false},
      {inRepo, true},             // an absolute name inside the repository
      {"link\\hull.wld", false},  // a link leading out
      {"", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(staysInRepository(repo.repository, c.name), c.inside) << c.name;
  EXPECT_EQ(repositoryFile(repo.repository, "..\\x.png"), std::nullopt);
  EXPECT_EQ(repositoryFile(repo.repository, "ships\\hull.wld"),
            repo.root.string() + "/ships/hull.wld");
  std::filesystem::remove_all(outside);
}

}  // namespace
}  // namespace tessarim
