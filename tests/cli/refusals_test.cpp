// What a careless or hostile repository does to the batch front end: each case is a small
// reproduction, and every file is checked byte for byte afterwards.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "cli.hpp"
#include "formats/file_replacement.hpp"
#include "support/cli_run.hpp"
#include "support/documents.hpp"
#include "support/memory_limit.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

namespace fs = std::filesystem;
using testing::TempRepo;

using testing::CliRun;

CliRun run(const std::vector<std::string>& args) {
  return testing::runCliWith(args);
}

// Every entry below a folder: file contents, and for anything else its kind.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
  std::map<std::string, std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().lexically_relative(folder).string();
    if (entry.is_regular_file()) {
      std::ifstream in(entry.path(), std::ios::binary);
      entries[name] = std::string{std::istreambuf_iterator<char>(in), {}};
    } else {
      entries[name] = entry.is_directory() ? "<folder>" : "<other>";
    }
  }
  return entries;
}

// An assembly placing hull.wld and one more entry, one instance each.
std::string assemblyNaming(const std::string& other) {
  const char* instance =
      "0123ABCD-1A2B-3C4D-5E6F-0A1B2C3D4E5F ,1 ,2 ,3 ,0 ,0 ,0 ,0 ,-1 ,0 ,1 ,1 ,1 ,2 ,3 ,0 ,0 ,0 ,0 "
      ",0 ,0 ,0 ,0 ,\n";
  return std::string{"ASM\n2.510000 ,\n2 ,\nmeshes\\hull.wld\n 1 ,\n"} + instance + other +
         "\n 1 ,\n" + std::string{instance}.replace(0, 8, "0123ABCE") +
         " 0 ,\n 0.000000 ,\nunused\n 0 , 0 ,\n";
}

// The scratch folder holds the repository folder "repo" and files outside it.
struct Scratch : TempRepo {
  Scratch() {
    write("repo/meshes/hull.wld", testing::triangleWld());
    write("outside.wld", testing::triangleWld(2));
    write("repo/notes.txt", "remember the milk\n");
    write("repo/towns/harbour.cty", "CTY\n2.510000 ,\n0 ,\n");
    fs::create_directories(root / "repo/meshes/folder.wld");
    ::mkfifo((root / "repo/meshes/pipe.wld").c_str(), 0644);
  }
  std::string repo() const { return (root / "repo").string(); }
};

TEST(CliRefusals, ADocumentThatLostAnEntryWhileLoadingIsNeverWritten) {
  Scratch scratch;
  struct Case {
    std::string entry;
    const char* message;  // what loading said about it
  } cases[] = {
      {"..\\outside.wld", "File refused!: The embedded file...\n\n..\\outside.wld\n\nlies outside"},
      {(scratch.root / "outside.wld").string(),
       "lies outside the repository folder and is not read."},
      {"notes.txt",
       "Incompatible file!: This file does not appear to be a valid WLD file...\n\nnotes.txt"},
      {"towns\\harbour.cty",
       "Incompatible file!: This file does not appear to be a valid WLD file"},
      {"meshes\\absent.wld",
       "File not found!: The embedded file...\n\nmeshes\\absent.wld\n\ncould not be found."},
      {"meshes\\folder.wld", "File not found!: The embedded file...\n\nmeshes\\folder.wld"},
      {"meshes\\pipe.wld", "File not found!: The embedded file...\n\nmeshes\\pipe.wld"},
  };
  for (const Case& c : cases) {
    scratch.write("repo/ships/a.asm", assemblyNaming(c.entry));
    const auto before = snapshot(scratch.root);
    for (const char* answer : {"cancel", "yes"}) {
      for (const char* command : {"resave", "export"}) {
        CliRun r = run({"--repo", scratch.repo(), "--answer", answer, command,
                        scratch.repo() + "/ships/a.asm"});
        EXPECT_EQ(r.status, 1) << c.entry << " " << command << " " << answer;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("nothing written: loading lost content"), std::string::npos) << r.err;
        EXPECT_EQ(snapshot(scratch.root), before) << c.entry << " " << command << " " << answer;
      }
    }
    CliRun info = run({"--repo", scratch.repo(), "info", scratch.repo() + "/ships/a.asm"});
    std::string stored = c.entry;  // names are kept with backslashes
    std::replace(stored.begin(), stored.end(), '/', '\\');
    EXPECT_EQ(nlohmann::json::parse(info.out)["leftOut"],
              nlohmann::json::array({stored + " (1 instance)"}))
        << info.out;
  }
}

TEST(CliRefusals, AFileThatIsNotAMeshIsNeitherReadNorOverwritten) {
  Scratch scratch;
  scratch.write("repo/empty.wld", "");
  scratch.write("repo/zeros.wld", std::string(100000, '\0'));
  const auto before = snapshot(scratch.root);
  for (const char* file : {"notes.txt", "empty.wld", "zeros.wld", "towns/harbour.cty"}) {
    // Read as a mesh whatever its name says, as an entry of an assembly would be.
    const std::string renamed =
        std::string{file} + (std::string{file}.ends_with(".wld") ? "" : ".wld");
    if (renamed != file)
      fs::copy_file(scratch.root / "repo" / file, scratch.root / "repo" / renamed);
    CliRun r = run({"--repo", scratch.repo(), "resave", scratch.repo() + "/" + renamed});
    EXPECT_EQ(r.status, 1) << file;
    EXPECT_NE(r.err.find("Incompatible file!"), std::string::npos) << r.err;
    if (renamed != file) fs::remove(scratch.root / "repo" / renamed);
  }
  EXPECT_EQ(snapshot(scratch.root), before);
}

TEST(CliRefusals, AReadOnlyFileIsAFailedSaveNotAReplacedOne) {
  Scratch scratch;
  const fs::path mesh = scratch.root / "repo/meshes/hull.wld";
  const fs::path daw = scratch.root / "repo/meshes/hull.daw";
  scratch.write("repo/meshes/hull.daw", "previous runtime file");
  for (const fs::path& path : {mesh, daw})
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
  const auto before = snapshot(scratch.root);
  CliRun resave = run({"--repo", scratch.repo(), "resave", mesh.string()});
  EXPECT_EQ(resave.status, 1);
  EXPECT_NE(resave.err.find("File not saved!: " + systemErrorText(EACCES) +
                            " error when saving the following file"),
            std::string::npos)
      << resave.err;
  CliRun exported = run({"--repo", scratch.repo(), "export", mesh.string()});
  EXPECT_EQ(exported.status, 1);
  EXPECT_NE(exported.err.find(systemErrorText(EACCES)), std::string::npos) << exported.err;
  EXPECT_EQ(snapshot(scratch.root), before);
  for (const fs::path& path : {mesh, daw}) {
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read);
  }
}

TEST(CliRefusals, AnotherOwnersFileIsNotReplacedThroughAWritableFolder) {
  // Run as an ordinary user against a file of root's, in a folder anyone may write.
  if (::geteuid() != 0 || std::system("command -v setpriv >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "needs root and setpriv";
  }
  Scratch scratch;
  fs::permissions(scratch.root, fs::perms::all);
  fs::permissions(scratch.root / "repo", fs::perms::all);
  fs::permissions(scratch.root / "repo/meshes", fs::perms::all);
  const auto before = snapshot(scratch.root);
  const std::string command = "setpriv --reuid=nobody --regid=nogroup --clear-groups " +
                              std::string{TESSARIM_CLI} + " --repo " + scratch.repo() + " resave " +
                              scratch.repo() + "/meshes/hull.wld 2>/dev/null";
  const int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_EQ(snapshot(scratch.root), before);
  EXPECT_EQ(fs::status(scratch.root / "repo/meshes/hull.wld").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                fs::perms::others_read);
}

TEST(CliRefusals, NoNormalMapIsWrittenBesideAHeightMapOutsideTheRepository) {
  Scratch scratch;
  Module mesh;
  mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  mesh.polygons = {Polygon{}};
  mesh.polygons[0].sides = 3;
  mesh.polygons[0].vertexIndex = {0, 1, 2, 0};
  mesh.canvasWidth = mesh.canvasHeight = mesh.canvasWidth2 = mesh.canvasHeight2 = 2048;
  mesh.scaleClass = 9;
  mesh.newScaleFamily = 1;
  mesh.maps[heightfile] = "..\\maps\\h.png";
  scratch.write("repo/meshes/new.wld", formatWld(mesh));
  scratch.write("maps/h.png", "not read");
  // Normal maps come with the runtime set of an assembly.
  std::string assembly = assemblyNaming("meshes\\hull.wld");
  assembly.replace(assembly.find("meshes\\hull.wld"), 15, "meshes\\new.wld");
  scratch.write("repo/ships/a.asm", assembly);
  CliRun r = run({"--repo", scratch.repo(), "export", scratch.repo() + "/ships/a.asm"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(fs::exists(scratch.root / "maps/h.png.map"));
  EXPECT_NE(
      r.err.find(
          "Normal map not written for \"..\\maps\\h.png\": the file lies outside the repository"),
      std::string::npos)
      << r.err;
}

TEST(CliRefusals, ReadingTakesAWindowOfTheFileNotTheWholeFile) {
  if (!testing::addressLimitWorks)
    GTEST_SKIP() << "address space limits do not work under the sanitizers";
  Scratch scratch;
  // A small mesh followed by 160 MB of blank lines: only windows of it are ever held.
  {
    std::ofstream out(scratch.root / "repo/meshes/padded.wld", std::ios::binary);
    out << testing::triangleWld();
    std::string blanks;
    for (int i = 0; i < 1024; ++i) blanks += std::string(1023, ' ') + '\n';
    for (int i = 0; i < 160; ++i) out << blanks;
  }
  const std::string failure = testing::withAddressLimit(96 << 20, [&]() -> std::string {
    CliRun r = run({"--repo", scratch.repo(), "info", scratch.repo() + "/meshes/padded.wld"});
    return r.status == 0 ? "" : "status " + std::to_string(r.status) + ": " + r.err;
  });
  EXPECT_EQ(failure, "");
}

TEST(CliRefusals, RunningOutOfMemoryIsReportedAndCheckGoesOn) {
  if (!testing::addressLimitWorks)
    GTEST_SKIP() << "address space limits do not work under the sanitizers";
  Scratch scratch;
  // Eight million vertices in 56 MB of text: about 100 MB in the model.
  {
    std::ofstream out(scratch.root / "repo/meshes/huge.wld", std::ios::binary);
    out << "2.32 \n8000000 ,\n";
    const std::string lines = [] {
      std::string s;
      for (int i = 0; i < 1000; ++i) s += "1,2,3,\n";
      return s;
    }();
    for (int i = 0; i < 8000; ++i) out << lines;
  }
  const std::string failure = testing::withAddressLimit(64 << 20, [&]() -> std::string {
    std::string problems;
    const std::string huge = scratch.repo() + "/meshes/huge.wld";
    CliRun info = run({"--repo", scratch.repo(), "info", huge});
    if (info.status != 1) problems += "info status " + std::to_string(info.status) + "\n";
    if (info.err.find(
            "File not loaded!: There is not enough memory to open the following file...\n\n" +
            huge) == std::string::npos) {
      problems += "info said: " + info.err + "\n";
    }
    CliRun check = run({"--repo", scratch.repo(), "check", scratch.repo() + "/meshes"});
    try {
      auto report = nlohmann::json::parse(check.out);
      if (report.size() != 2u)
        problems += "check reported " + std::to_string(report.size()) + " files\n";
      for (const auto& entry : report) {
        const bool isHuge = entry["file"].get<std::string>().ends_with("huge.wld");
        if (entry["loaded"].get<bool>() == isHuge) problems += "check: " + entry.dump() + "\n";
      }
    } catch (const std::exception& e) {
      problems += std::string{"check printed no report: "} + e.what() + "\n";
    }
    return problems;
  });
  EXPECT_EQ(failure, "");
}

TEST(CliRefusals, JsonStaysValidWhateverBytesANameHolds) {
  TempRepo repo;
  const std::string latin1 = "caf\xE9.wld";
  repo.write("meshes/" + latin1, testing::triangleWld());
  repo.write("meshes/plain.wld", testing::triangleWld());

  CliRun info =
      run({"--repo", repo.root.string(), "info", (repo.root / "meshes" / latin1).string()});
  EXPECT_EQ(info.status, 0) << info.err;
  auto j = nlohmann::json::parse(info.out);
  EXPECT_EQ(j["modules"][0]["filename"], "meshes\\caf\xEF\xBF\xBD.wld");  // the byte replaced

  CliRun check = run({"--repo", repo.root.string(), "check", repo.root.string()});
  EXPECT_EQ(check.status, 0) << check.err;
  auto report = nlohmann::json::parse(check.out);
  ASSERT_EQ(report.size(), 2u);  // the other file's report is not lost
  for (const auto& entry : report) EXPECT_TRUE(entry["loaded"]) << entry;
}

}  // namespace
}  // namespace tessarim
