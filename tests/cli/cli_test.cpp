#include "cli.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "support/cli_run.hpp"
#include "support/documents.hpp"
#include "support/polygons.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

using testing::CliRun;

CliRun run(const std::vector<std::string>& args) {
  return testing::runCliWith(args);
}

std::string fixture(const std::string& name) {
  std::ifstream in(std::string{TESSARIM_FIXTURES} + "/wld/" + name, std::ios::binary);
  return std::string{std::istreambuf_iterator<char>(in), {}};
}

TEST(Cli, InfoReportsTheMeshAndTheMessagesInOrder) {
  testing::TempRepo repo;
  repo.write("meshes/old.wld",
             "2.20 \n4 ,\n 0 ,0 ,0 ,\n 1 ,0 ,0 ,\n 0 ,1 ,0 ,\n 5 ,5 ,5 ,\n1 ,\n 1 ,1 ,1 ,0 ,\n"
             " 3 , 0 , 1 , 2 , 336699 ,0 ,0 ,0 ,0 ,0 ,0 , 0 ,\nunused\nunused\n");
  CliRun r = run({"--repo", repo.root.string(), "info", (repo.root / "meshes/old.wld").string()});
  EXPECT_EQ(r.status, 0) << r.err;
  auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["kind"], "wld");
  EXPECT_EQ(j["version"].get<double>(), 2.2);  // as the file wrote it
  ASSERT_EQ(j["messages"].size(), 1u);
  EXPECT_EQ(j["messages"][0]["caption"], "Integrity Check");
  EXPECT_EQ(j["messages"][0]["text"], "Removed 1 unused vertices from the file!");
  ASSERT_EQ(j["modules"].size(), 1u);
  EXPECT_EQ(j["modules"][0]["filename"], "meshes\\old.wld");
  EXPECT_EQ(j["modules"][0]["vertices"], 3);
  EXPECT_EQ(j["modules"][0]["polygons"], 1);
  EXPECT_EQ(j["modules"][0]["scaleClass"], 0);
  EXPECT_EQ(j["modules"][0]["instances"], 0);
  EXPECT_EQ(r.err, "Integrity Check: Removed 1 unused vertices from the file!\n");
}

TEST(Cli, ResaveWritesTheCurrentVersionToOut) {
  testing::TempRepo repo;
  repo.write("v226.wld", fixture("v226.wld"));
  CliRun r = run({"--repo", repo.root.string(), "resave", (repo.root / "v226.wld").string(),
                  (repo.root / "copy.wld").string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(repo.read("v226.wld"), fixture("v226.wld"));
  std::string written = repo.read("copy.wld");
  EXPECT_EQ(written.substr(0, 7), "2.32 \r\n");
  // Reading the copy gives it back byte for byte.
  CliRun again = run({"--repo", repo.root.string(), "resave", (repo.root / "copy.wld").string()});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(repo.read("copy.wld"), written);
}

TEST(Cli, FailuresExitNonZeroWithAMessage) {
  testing::TempRepo repo;
  repo.write("newer.wld", "2.40 \n0 ,\n");
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* errorContains;
  } cases[] = {
      {{"--repo", repo.root.string(), "info", (repo.root / "absent.wld").string()},
       1,
       "File not loaded!: "},
      {{"--repo", repo.root.string(), "resave", (repo.root / "newer.wld").string()},
       1,
       "Newer file version found!: "},
      {{"--repo", (repo.root / "nowhere").string(), "info", "x.wld"}, 2, "does not exist"},
      {{"--repo", repo.root.string(), "frobnicate"}, 2, "unknown command"},
      {{"--answer", "maybe", "info", "x.wld"}, 2, "--answer takes"},
      {{}, 2, "usage:"},
  };
  for (const Case& c : cases) {
    CliRun r = run(c.args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.errorContains), std::string::npos) << r.err;
  }
  EXPECT_EQ(repo.read("newer.wld"), "2.40 \n0 ,\n");
}

constexpr const char* smallAssembly =
    "ASM\n2.500000 ,\n1 ,\nmeshes\\hull.wld\n 1 ,\n0123ABCD-1A2B-3C4D-5E6F-0A1B2C3D4E5F ,1 ,2 ,3 "
    ",0 ,0 ,0 ,0 ,"
    "-1 ,0 ,1 ,1 ,1 ,2 ,3 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,\n 1 ,\n0 ,0 ,0 ,0 ,0 ,1 ,ffffffff ,5 ,1 ,1 ,0 "
    ",\n"
    " 0.000000 ,\nunused\n 0 , 0 ,\n";

TEST(Cli, InfoAndResaveHandleAssemblies) {
  testing::TempRepo repo;
  repo.write("meshes/hull.wld", testing::triangleWld());
  repo.write("ships/a.asm", smallAssembly);
  CliRun r = run({"--repo", repo.root.string(), "info", (repo.root / "ships/a.asm").string()});
  ASSERT_EQ(r.status, 0) << r.err;
  auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["kind"], "asm");
  EXPECT_EQ(j["version"].get<double>(), 2.5);
  EXPECT_EQ(j["messages"][0]["caption"], "Older file version found!");
  EXPECT_EQ(j["modules"][0]["filename"], "meshes\\hull.wld");
  EXPECT_EQ(j["modules"][0]["instances"], 1);
  EXPECT_EQ(j["lights"], 1);
  EXPECT_EQ(j["connectors"], 0);
  EXPECT_EQ(j["streetNodes"], 0);

  CliRun saved = run({"--repo", repo.root.string(), "resave", (repo.root / "ships/a.asm").string(),
                      (repo.root / "ships/b.asm").string()});
  ASSERT_EQ(saved.status, 0) << saved.err;
  EXPECT_EQ(repo.read("ships/a.asm"), smallAssembly);
  EXPECT_EQ(repo.read("ships/b.asm").substr(0, 17), "ASM\r\n2.510000 ,\r\n");
  EXPECT_EQ(repo.read("meshes/hull.wld"),
            testing::triangleWld());  // rewritten in the current version
}

TEST(Cli, CheckReportsEveryDocumentBelowAFolderAndWritesNothing) {
  testing::TempRepo repo;
  repo.write("meshes/hull.wld", testing::triangleWld());
  repo.write(
      "meshes/stray.wld",
      "2.32 \n4 ,\n 0 ,0 ,0 ,\n 1 ,0 ,0 ,\n 0 ,1 ,0 ,\n 5 ,5 ,5 ,\n1 ,\n 1 ,1 ,1 ,1 ,0 ,0 ,1 ,0 ,\n"
      " 3 , 0 , 1 , 2 , ff000000 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 , 0 ,\n");
  repo.write("ships/a.asm", smallAssembly);
  repo.write("ships/new.ASM", "ASM\n2.600000 ,\n");
  repo.write("notes.txt", "not a document");
  CliRun r = run({"--repo", repo.root.string(), "check", repo.root.string()});
  EXPECT_EQ(r.status, 1);  // one document could not be loaded
  auto j = nlohmann::json::parse(r.out);
  ASSERT_EQ(j.size(), 4u);
  std::map<std::string, nlohmann::json> byName;
  for (auto& entry : j)
    byName[std::filesystem::path{entry["file"].get<std::string>()}.filename().string()] = entry;
  EXPECT_TRUE(byName["hull.wld"]["loaded"]);
  EXPECT_TRUE(byName["hull.wld"]["messages"].empty());
  EXPECT_EQ(byName["stray.wld"]["messages"][0]["text"], "Removed 1 unused vertices from the file!");
  EXPECT_EQ(byName["a.asm"]["messages"][0]["caption"], "Older file version found!");
  EXPECT_FALSE(byName["new.ASM"]["loaded"]);
  EXPECT_EQ(byName["new.ASM"]["messages"][0]["caption"], "Newer file version found!");
  EXPECT_EQ(repo.read("ships/a.asm"), smallAssembly);
}

TEST(Cli, ExportWritesTheRuntimeSetBesideTheDocument) {
  testing::TempRepo repo;
  repo.write("meshes/hull.wld", testing::triangleWld());
  repo.write("ships/a.asm", smallAssembly);
  Module current;
  current.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  current.polygons = {testing::face({0, 1, 2})};
  current.polygons[0].colour = {1, 1, 1, 1};
  current.canvasWidth = current.canvasHeight = current.canvasWidth2 = current.canvasHeight2 = 2048;
  current.scaleClass = 9;
  current.newScaleFamily = 1;
  repo.write("meshes/new.wld", formatWld(current));

  CliRun legacy =
      run({"--repo", repo.root.string(), "export", (repo.root / "ships/a.asm").string()});
  ASSERT_EQ(legacy.status, 0) << legacy.err;
  auto j = nlohmann::json::parse(legacy.out);
  EXPECT_EQ(j["generation"], "legacy");
  EXPECT_EQ(j["triangles"], 1);
  EXPECT_EQ(j["files"], (nlohmann::json{"ships\\a.daw", "ships\\a.dix"}));
  EXPECT_EQ(repo.read("ships/a.daw").size(), 2u + 3 * 32 + 2 + 40);  // one triangle, one light
  EXPECT_NE(legacy.err.find("Complete!: Saved to \"ships\\a.daw\" with..."), std::string::npos)
      << legacy.err;

  CliRun single =
      run({"--repo", repo.root.string(), "export", (repo.root / "meshes/new.wld").string()});
  ASSERT_EQ(single.status, 0) << single.err;
  j = nlohmann::json::parse(single.out);
  EXPECT_EQ(j["generation"], "current");
  EXPECT_EQ(j["files"], (nlohmann::json{"meshes\\new.daw"}));
  EXPECT_EQ(repo.read("meshes/new.daw").size(), 4u + 3 * 68);

  CliRun refused =
      run({"--repo", repo.root.string(), "export", (repo.root / "ships/absent.asm").string()});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("not loaded"), std::string::npos) << refused.err;
}

}  // namespace
}  // namespace tessarim
