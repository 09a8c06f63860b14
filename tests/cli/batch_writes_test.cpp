// What the batch front end writes: only what the run was asked to write, all of a save or none of
// it, and a failure is never reported as success. Each case is a small reproduction, and every
// file is checked byte for byte afterwards.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "commands/command_numbers.hpp"
#include "formats/file_replacement.hpp"
#include "support/cli_run.hpp"
#include "support/documents.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

namespace fs = std::filesystem;
using testing::CliRun;
using testing::TempRepo;

// Every entry below a folder: file contents, and for anything else its kind.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
  std::map<std::string, std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().lexically_relative(folder).generic_string();
    if (entry.is_symlink()) {
      entries[name] = "<link to " + fs::read_symlink(entry.path()).string() + ">";
    } else if (entry.is_regular_file()) {
      std::ifstream in(entry.path(), std::ios::binary);
      entries[name] = std::string{std::istreambuf_iterator<char>(in), {}};
    } else if (entry.is_directory()) {
      entries[name] = "<folder>";
    } else if (entry.is_fifo()) {
      entries[name] = "<fifo>";
    } else {
      entries[name] = entry.is_character_file() ? "<device>" : "<other>";
    }
  }
  return entries;
}

// An assembly in the current version placing each entry once; its lines end in LF where the
// writer writes CR LF, so any write of it shows.
std::string assemblyOf(const std::vector<std::string>& entries) {
  std::string text = "ASM\n2.510000 ,\n" + std::to_string(entries.size()) + " ,\n";
  int n = 0;
  for (const std::string& entry : entries) {
    char guid[64];
    std::snprintf(guid, sizeof guid, "0123ABC%d-1A2B-3C4D-5E6F-0A1B2C3D4E5F", n);
    text += entry + "\n 1 ,\n" + guid +
            " ,1 ,2 ,3 ,0 ,0 ,0 ,0 ,-1 ,0 ,1 ,1 ,1 ,2 ,3 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,0 ,\n";
    ++n;
  }
  return text + " 0 ,\n 0.000000 ,\nunused\n 0 , 0 ,\n";
}

// A mesh with LF line ends where the writer writes CR LF, so any write of it shows.
std::string meshText(float shift) {
  std::string text = testing::triangleWld(shift);
  std::erase(text, '\r');
  return text;
}

// The repository of these tests: two meshes and an assembly placing both; a second assembly
// names a mesh that is missing.
struct Repo : TempRepo {
  Repo() {
    write("meshes/hull.wld", meshText(0));
    write("meshes/mast.wld", meshText(3));
    write("ships/boat.asm", assemblyOf({"meshes\\hull.wld", "meshes\\mast.wld"}));
    write("ships/wreck.asm", assemblyOf({"meshes\\hull.wld", "meshes\\lost.wld"}));
  }
  std::string path(const std::string& relative) const { return (root / relative).string(); }
  CliRun run(std::vector<std::string> args) const {
    args.insert(args.begin(), {"--repo", root.string()});
    return testing::runCliWith(args);
  }
};

bool says(const CliRun& r, const std::string& text) {
  return r.err.find(text) != std::string::npos;
}

TEST(BatchWrites, ADocumentThatLostContentIsWrittenByNoPathWhateverTheAnswer) {
  const struct {
    std::vector<std::string> args;
    std::vector<int> statuses;  // for no answer, cancel, yes, no
  } cases[] = {
      {{"resave", "ships/wreck.asm"}, {1, 1, 1, 1}},
      {{"resave", "ships/wreck.asm", "ships/copy.asm"}, {1, 1, 1, 1}},
      {{"export", "ships/wreck.asm"}, {1, 1, 1, 1}},
      {{"apply", "ships/wreck.asm", "Statistics", "--save"}, {1, 1, 1, 1}},
      {{"apply", "ships/wreck.asm", "&Save"}, {1, 1, 1, 1}},
      {{"apply", "ships/wreck.asm", "DAW or DAW/DIX set"}, {1, 1, 1, 1}},
      // Close asks to save first: unanswered or cancelled it ends early, answered No it closes
      // without writing, answered Yes the save it starts is refused.
      {{"apply", "ships/wreck.asm", "&Close"}, {0, 0, 1, 0}},
  };
  const char* answers[] = {nullptr, "cancel", "yes", "no"};
  for (const auto& c : cases) {
    for (int a = 0; a < 4; ++a) {
      Repo repo;
      const auto before = snapshot(repo.root);
      std::vector<std::string> args;
      if (answers[a]) args = {"--answer", answers[a]};
      for (const std::string& arg : c.args)
        args.push_back(arg.ends_with(".asm") ? repo.path(arg) : arg);
      const CliRun r = repo.run(args);
      const std::string shown = c.args[0] + " " + c.args.back() + " " +
                                (answers[a] ? answers[a] : "unanswered") + ":\n" + r.err;
      EXPECT_EQ(r.status, c.statuses[a]) << shown;
      EXPECT_EQ(snapshot(repo.root), before) << shown;
      if (c.args[0] == "apply" && r.status == 1 && c.args.back() != "--save") {
        EXPECT_EQ(nlohmann::json::parse(r.out)["commands"][0]["outcome"], "failed") << shown;
        EXPECT_TRUE(says(r, "meshes\\lost.wld (1 instance)")) << shown;
      }
    }
  }
}

TEST(BatchWrites, AFileCutShortIsListedAndItsDocumentIsNeverWritten) {
  const struct {
    const char* cut;       // the file cut short, to half its length
    const char* document;  // a document holding it
    const char* name;      // as the lists name it
  } cases[] = {
      {"meshes/mast.wld", "meshes/mast.wld", "meshes\\mast.wld"},
      {"meshes/mast.wld", "ships/boat.asm", "meshes\\mast.wld"},
      {"ships/boat.asm", "ships/boat.asm", "ships\\boat.asm"},
  };
  for (const auto& c : cases) {
    Repo repo;
    const std::string whole = repo.read(c.cut);
    repo.write(c.cut, whole.substr(0, whole.size() / 2));
    const auto before = snapshot(repo.root);
    const std::string shown = std::string{c.cut} + " in " + c.document;

    const CliRun info = repo.run({"info", repo.path(c.document)});
    EXPECT_EQ(info.status, 0) << shown;
    const auto cutShort = nlohmann::json::parse(info.out)["cutShort"];
    ASSERT_EQ(cutShort.size(), 1u) << shown << info.out;
    EXPECT_TRUE(cutShort[0].get<std::string>().starts_with(c.name + std::string{": ends early: "}))
        << cutShort;
    EXPECT_TRUE(says(info, "File cut short!: This file ends early: ")) << info.err;

    const CliRun check = repo.run({"check", repo.root.string()});
    EXPECT_EQ(check.status, 1) << shown;
    for (const auto& entry : nlohmann::json::parse(check.out)) {
      if (entry["file"].get<std::string>().ends_with(c.cut)) {
        EXPECT_EQ(entry["cutShort"], cutShort) << shown;
      }
    }
    for (const auto& args :
         {std::vector<std::string>{"resave", repo.path(c.document)},
          std::vector<std::string>{"export", repo.path(c.document)},
          std::vector<std::string>{"--answer", "yes", "apply", repo.path(c.document), "Statistics",
                                   "--save"}}) {
      const CliRun r = repo.run(args);
      EXPECT_EQ(r.status, 1) << shown << " " << args[0];
      EXPECT_TRUE(
          says(r, "nothing written: loading lost content\n  " + cutShort[0].get<std::string>()))
          << r.err;
    }
    EXPECT_EQ(snapshot(repo.root), before) << shown;
  }
}

TEST(BatchWrites, AnOutputThatIsNotARegularFileOrNotOfTheKindIsRefusedBeforeAnythingIsWritten) {
  Repo repo;
  fs::create_directories(repo.root / "out");
  ASSERT_EQ(::mkfifo(repo.path("out/pipe.asm").c_str(), 0644), 0);
  // A device node like the system's null device, made in the test's own folder where allowed.
  const bool device =
      ::mknod(repo.path("out/null.asm").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  fs::create_directories(repo.root / "out/folder.asm");
  fs::create_symlink(repo.root / "out/pipe.asm", repo.root / "out/link.asm");
  const auto before = snapshot(repo.root);
  const struct {
    const char* out;
    const char* reason;
  } cases[] = {
      {"out/pipe.asm", "not a regular file"},
      {"out/null.asm", "not a regular file"},
      {"out/link.asm", "not a regular file"},
      {"out/folder.asm", "a folder"},
      // An assembly written over a mesh would lose the mesh, and the assembly its entry.
      {"meshes/hull.wld", "not a .asm file, the document's kind"},
      {"out/boat.cty", "not a .asm file, the document's kind"},
      {"out/boat", "not a .asm file, the document's kind"},
  };
  for (const auto& c : cases) {
    if (std::string{c.out} == "out/null.asm" && !device) continue;
    const std::string out = repo.path(c.out);
    const std::string expected =
        "tessarim-cli: " + out + ": nothing written: the output is " + c.reason + "\n";
    for (const auto& args : {std::vector<std::string>{"resave", repo.path("ships/boat.asm"), out},
                             std::vector<std::string>{"apply", repo.path("ships/boat.asm"),
                                                      "Statistics", "--save", out}}) {
      const CliRun r = repo.run(args);
      EXPECT_EQ(r.status, 2) << c.out << " " << args[0];
      EXPECT_EQ(r.err, expected) << args[0];
      EXPECT_EQ(r.out, "") << args[0];
    }
  }
  EXPECT_EQ(snapshot(repo.root), before);
}

TEST(BatchWrites, AnOutputTheSameSaveWritesAsAMeshIsRefused) {
  Repo repo;
  // An entry whose name looks like an assembly's, and OUT naming it another way.
  fs::rename(repo.root / "meshes/mast.wld", repo.root / "meshes/mast.asm");
  repo.write("ships/boat.asm", assemblyOf({"meshes\\hull.wld", "meshes\\mast.asm"}));
  fs::create_directory_symlink(repo.root / "meshes", repo.root / "linked");
  const auto before = snapshot(repo.root);
  for (const char* out : {"meshes/mast.asm", "ships/../meshes/mast.asm", "linked/mast.asm"}) {
    const CliRun r = repo.run({"resave", repo.path("ships/boat.asm"), repo.path(out)});
    EXPECT_EQ(r.status, 2) << out;
    EXPECT_TRUE(says(r,
                     ": nothing written: the output is the mesh meshes\\mast.asm of the "
                     "document, which the same save writes"))
        << r.err;
  }
  EXPECT_EQ(snapshot(repo.root), before);
}

TEST(BatchWrites, ASaveOptionIsNeverTakenForAnOutputName) {
  Repo repo;
  const auto before = snapshot(repo.root);
  for (const auto& rest : {std::vector<std::string>{"Statistics", "--save", "--save"},
                           std::vector<std::string>{"Statistics", "--save", "a.asm", "b.asm"}}) {
    std::vector<std::string> args = {"apply", repo.path("ships/boat.asm")};
    args.insert(args.end(), rest.begin(), rest.end());
    const CliRun r = repo.run(args);
    EXPECT_EQ(r.status, 2) << rest.back();
  }
  EXPECT_FALSE(fs::exists("--save"));
  EXPECT_EQ(snapshot(repo.root), before);
}

TEST(BatchWrites, AFailureInsideApplyIsReportedAndExitsOne) {
  const struct {
    const char* name;
    std::vector<std::string> commands;
    void (*spoil)(Repo&);
    const char* message;
  } cases[] = {
      {"a save the system refuses",
       {"Human Male", "&Save"},
       [](Repo& repo) { fs::permissions(repo.root / "ships/boat.asm", fs::perms::owner_read); },
       "File not saved!: Permission denied error when saving the following file..."},
      {"a runtime export that cannot write",
       {"DAW or DAW/DIX set"},
       [](Repo& repo) { fs::create_directories(repo.root / "ships/boat.dix"); },
       "Is a directory error while saving the following file"},
      {"a catalogue that cannot be written",
       {"City/User Buildings"},
       [](Repo& repo) { repo.write("buildings.dat", "ab"); },
       "Match Bitmaps: Could not create load match file"},
  };
  for (const auto& c : cases) {
    Repo repo;
    c.spoil(repo);
    const auto before = snapshot(repo.root);
    std::vector<std::string> args = {"apply", repo.path("ships/boat.asm")};
    args.insert(args.end(), c.commands.begin(), c.commands.end());
    args.push_back("Statistics");
    const CliRun r = repo.run(args);
    EXPECT_EQ(r.status, 1) << c.name << "\n" << r.err;
    EXPECT_TRUE(says(r, c.message)) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    const std::size_t failed = c.commands.size() - 1;
    EXPECT_EQ(j["commands"][failed]["outcome"], "failed") << c.name;
    EXPECT_EQ(j["commands"][failed + 1]["outcome"], "done") << c.name;  // the run went on
    EXPECT_EQ(j["written"], nlohmann::json::array()) << c.name;
    EXPECT_EQ(snapshot(repo.root), before) << c.name;
  }
}

TEST(BatchWrites, TheReportSaysWhatWasWritten) {
  Repo repo;
  CliRun r = repo.run({"apply", repo.path("ships/boat.asm"), "Human Male", "&Save", "&Save"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "tessarim-cli: apply: 40018 \"Save\" is greyed now; stopped; written before: "
            "ships\\boat.asm\n");
  EXPECT_EQ(nlohmann::json::parse(r.out)["written"], nlohmann::json::array({"ships\\boat.asm"}));

  // A question nobody answered keeps the file; answered Yes, Close saves it, and --save then
  // says it did not write again.
  Repo closing;
  const auto before = snapshot(closing.root);
  r = closing.run({"apply", closing.path("meshes/hull.wld"), "Variegate", "&Close"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(nlohmann::json::parse(r.out)["commands"][1]["outcome"], "refused");
  EXPECT_EQ(snapshot(closing.root), before);
  r = closing.run({"--answer", "yes", "apply", closing.path("meshes/hull.wld"), "Variegate",
                   "&Close", "--save"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(says(r,
                   ": not saved: a command closed the document (written before: "
                   "meshes\\hull.wld)\n"))
      << r.err;
  EXPECT_NE(closing.read("meshes/hull.wld"), before.at("meshes/hull.wld"));
}

TEST(BatchWrites, ASaveOfSeveralFilesReplacesAllOrNone) {
  Repo repo;
  // The assembly comes last in the set, so a save that went file by file replaced the first
  // mesh and the assembly before it met the read-only one.
  fs::permissions(repo.root / "meshes/mast.wld", fs::perms::owner_read);
  const auto before = snapshot(repo.root);
  for (const auto& args :
       {std::vector<std::string>{"resave", repo.path("ships/boat.asm")},
        std::vector<std::string>{"apply", repo.path("ships/boat.asm"), "Statistics", "--save"}}) {
    const CliRun r = repo.run(args);
    EXPECT_EQ(r.status, 1) << args[0];
    EXPECT_TRUE(says(r,
                     "File not saved!: Permission denied error when saving the following "
                     "file...\n\n" +
                         repo.path("meshes/mast.wld")))
        << r.err;
    EXPECT_EQ(snapshot(repo.root), before) << args[0];
  }
  // Every member is written once the set can be.
  fs::permissions(repo.root / "meshes/mast.wld", fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_EQ(repo.run({"resave", repo.path("ships/boat.asm")}).status, 0);
  for (const char* file : {"meshes/hull.wld", "meshes/mast.wld", "ships/boat.asm"})
    EXPECT_NE(repo.read(file), before.at(file)) << file;
}

}  // namespace
}  // namespace tessarim
