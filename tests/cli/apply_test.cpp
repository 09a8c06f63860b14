#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "cli.hpp"
#include "commands/command_lookup.hpp"
#include "commands/command_numbers.hpp"
#include "formats/assembly.hpp"
#include "formats/wld.hpp"
#include "support/cli_run.hpp"
#include "support/documents.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

namespace fs = std::filesystem;
using testing::CliRun;
using testing::TempRepo;

// An assembly placing meshes/hull.wld once, in the current version with a clean instance, so
// that loading it leaves it unmodified; its lines end in LF where the writer writes CRLF, so any
// write shows. The bytes are made once, so that two repositories can hold the same ones.
std::string boatAssembly() {
  Model scratch;
  scratch.document.kind = DocumentKind::asmfile;
  scratch.document.wldfiles = 1;
  scratch.document.module[0].filename = "meshes\\hull.wld";
  Instance& instance = scratch.document.module[0].instances.emplace_back();
  instance.guid = newGuid();
  instance.extendRate = instance.retractRate = 1;
  std::string bytes = formatAssembly(scratch, false).bytes;
  std::erase(bytes, '\r');
  return bytes;
}

std::string olderMesh() {
  std::ifstream in(std::string{TESSARIM_FIXTURES} + "/wld/v226.wld", std::ios::binary);
  return std::string{std::istreambuf_iterator<char>(in), {}};
}

// The repository every test works in: the assembly, its mesh, and a mesh of an older version,
// which any write brings to the current one.
void fill(TempRepo& repo, const std::string& boat) {
  repo.write("meshes/hull.wld", testing::triangleWld());
  repo.write("meshes/old.wld", olderMesh());
  repo.write("ships/boat.asm", boat);
}

// Every file below a folder with its bytes.
std::map<std::string, std::string> snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    files[entry.path().lexically_relative(folder).generic_string()] =
        std::string{std::istreambuf_iterator<char>(in), {}};
  }
  return files;
}

CliRun apply(const TempRepo& repo, const std::string& file, std::vector<std::string> rest,
             std::vector<std::string> options = {}) {
  std::vector<std::string> args = {"--repo", repo.root.string()};
  args.insert(args.end(), options.begin(), options.end());
  args.push_back("apply");
  args.push_back((repo.root / file).string());
  args.insert(args.end(), rest.begin(), rest.end());
  return testing::runCliWith(args);
}

TEST(Apply, RefusesWithoutWritingAnything) {
  TempRepo repo;
  fill(repo, boatAssembly());
  const auto before = snapshot(repo.root);
  const std::string out = (repo.root / "ships/out.asm").string();
  struct Case {
    std::vector<std::string> commands;
    const char* error;
  } cases[] = {
      {{"99999"}, "tessarim-cli: apply: no command \"99999\"\n"},
      {{"Make Coffee"}, "tessarim-cli: apply: no command \"Make Coffee\"\n"},
      {{"save as..."},
       "tessarim-cli: apply: 40025 \"Save As...\" needs the user at the window (a dialog or the "
       "mouse)\n"},
      {{"40025"},
       "tessarim-cli: apply: 40025 \"Save As...\" needs the user at the window (a dialog or the "
       "mouse)\n"},
      {{"refresh"},
       "tessarim-cli: apply: \"refresh\" names several commands; give the number: 40114 (VIEW), "
       "40078 (RTSPS > Contact Sheets)\n"},
      // Nothing runs before every command is known: Save would otherwise write the marked file.
      {{"Human Male", "Save", "Make Coffee"}, "tessarim-cli: apply: no command \"Make Coffee\"\n"},
      // The document is as it was read, so Save is greyed when its turn comes.
      {{"Statistics", "&Save", "Human Male"},
       "tessarim-cli: apply: 40018 \"Save\" is greyed now; stopped, nothing written\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> rest = c.commands;
    rest.insert(rest.end(), {"--save", out});
    CliRun r = apply(repo, "ships/boat.asm", rest);
    EXPECT_EQ(r.status, 2) << c.commands.front();
    EXPECT_EQ(r.err, c.error);
    EXPECT_EQ(snapshot(repo.root), before) << c.commands.front();
  }
}

TEST(Apply, ReportsTheGreyedCommandAsTheLastThatRan) {
  TempRepo repo;
  fill(repo, boatAssembly());
  CliRun r = apply(repo, "ships/boat.asm", {"Statistics", "40018", "Human Male"});
  ASSERT_EQ(r.status, 2);
  auto j = nlohmann::json::parse(r.out);
  ASSERT_EQ(j["commands"].size(), 2u);
  EXPECT_EQ(j["commands"][1],
            (nlohmann::json{{"number", cmd::save}, {"label", "&Save"}, {"outcome", "greyed"}}));
  EXPECT_TRUE(j["saved"].is_null());
}

TEST(Apply, LabelsAndNumbersNameTheSameRow) {
  TempRepo repo;
  fill(repo, boatAssembly());
  CliRun r = apply(repo, "ships/boat.asm",
                   {"statistics", "40171", "STATISTICS", "S&tatistics", "human male", "40352"});
  ASSERT_EQ(r.status, 0) << r.err;
  auto j = nlohmann::json::parse(r.out);
  const nlohmann::json statistics = {
      {"number", cmd::statistics}, {"label", "S&tatistics"}, {"outcome", "done"}};
  const nlohmann::json male = {
      {"number", cmd::skeletonMale}, {"label", "Human Male"}, {"outcome", "done"}};
  EXPECT_EQ(j["commands"],
            (nlohmann::json{statistics, statistics, statistics, statistics, male, male}));
}

// The commands find the document as Open leaves it in the editor: a city with its ground group
// current, so the contact sheets' "&Refresh" can be issued.
TEST(Apply, TheDocumentIsSelectedAsOpenLeavesIt) {
  TempRepo repo;
  repo.write("towns/harbour.cty", "CTY\n2.510000 ,\n0 ,\n");
  CliRun r = apply(repo, "towns/harbour.cty", {std::to_string(cmd::refreshContactSheets)});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(nlohmann::json::parse(r.out)["commands"][0]["outcome"], "done");
}

TEST(Apply, LabelsAreComparedAsTheMenuShowsThem) {
  const struct {
    const char* label;
    const char* plain;
  } cases[] = {
      {"S&tatistics", "Statistics"},
      {"Jump Up && Land", "Jump Up & Land"},
      {"&&&Go", "&Go"},
      {"Human Male", "Human Male"},
  };
  for (const auto& c : cases) EXPECT_EQ(plainLabel(c.label), c.plain) << c.label;
}

// --save writes exactly what resave writes: the document, to OUT when given, and its meshes.
TEST(Apply, SaveWritesWhatResaveWrites) {
  const std::string boat = boatAssembly();
  const struct {
    const char* file;
    std::vector<std::string> commands;
    const char* out;  // empty: the document itself
  } cases[] = {
      // The skeleton is a view choice, not stored: the document is marked modified, and its
      // bytes are those of a plain resave.
      {"ships/boat.asm", {"Human Male"}, "ships/applied.asm"},
      {"ships/boat.asm", {"Human Male"}, ""},
      {"meshes/old.wld", {"Statistics"}, ""},
      {"meshes/old.wld", {"Statistics"}, "meshes/new.wld"},
  };
  for (const auto& c : cases) {
    TempRepo applied, resaved;
    fill(applied, boat);
    fill(resaved, boat);
    std::vector<std::string> rest = c.commands;
    rest.push_back("--save");
    std::string out;
    if (*c.out) rest.push_back(out = (applied.root / c.out).string());
    CliRun r = apply(applied, c.file, rest);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(nlohmann::json::parse(r.out)["saved"],
              *c.out ? out : (applied.root / c.file).string());

    std::vector<std::string> args = {"--repo", resaved.root.string(), "resave",
                                     (resaved.root / c.file).string()};
    if (*c.out) args.push_back((resaved.root / c.out).string());
    ASSERT_EQ(testing::runCliWith(args).status, 0);
    EXPECT_EQ(snapshot(applied.root), snapshot(resaved.root)) << c.file << " -> " << c.out;
  }
  // Written in place, both documents change, so the comparisons above saw writes.
  TempRepo repo;
  fill(repo, boat);
  ASSERT_EQ(apply(repo, "meshes/old.wld", {"Statistics", "--save"}).status, 0);
  ASSERT_EQ(apply(repo, "ships/boat.asm", {"Statistics", "--save"}).status, 0);
  EXPECT_NE(repo.read("meshes/old.wld"), olderMesh());
  EXPECT_NE(repo.read("ships/boat.asm"), boat);
}

// Geometry commands need nobody at the window: the mesh is written flipped in x with its winding
// reversed back.
TEST(Apply, FlipAndBackfaceWriteTheMirroredMesh) {
  TempRepo repo;
  fill(repo, boatAssembly());
  CliRun r = apply(repo, "meshes/hull.wld", {"Flip Around X Axis", "Backface", "--save"});
  ASSERT_EQ(r.status, 0) << r.err;
  Module expected;
  expected.vertices = {{-0.0f, 0, 0}, {-1, 0, 0}, {-0.0f, 1, 0}};
  Polygon& p = expected.polygons.emplace_back();
  p.sides = 3;
  p.vertexIndex = {2, 1, 0, 0};
  p.colour = {1, 1, 1, 1};
  p.texelAngle = p.texelAngle2 = -1;
  expected.canvasWidth = expected.canvasHeight = 2048;
  expected.canvasWidth2 = expected.canvasHeight2 = 2048;
  expected.scaleClass = 1;
  EXPECT_EQ(repo.read("meshes/hull.wld"), formatWld(expected));
}

TEST(Apply, WithoutSaveNothingIsWritten) {
  TempRepo repo;
  fill(repo, boatAssembly());
  const auto before = snapshot(repo.root);
  for (const char* file : {"ships/boat.asm", "meshes/old.wld"}) {
    CliRun r = apply(repo, file, {"Human Male", "Statistics"});
    ASSERT_EQ(r.status, 0) << r.err;
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["file"], (repo.root / file).string());
    EXPECT_TRUE(j["saved"].is_null());
  }
  EXPECT_EQ(snapshot(repo.root), before);
}

// Close on a modified document asks to save it first; the answer decides what the run does.
TEST(Apply, AnAnswerCanEndACommandEarlyOrCloseTheDocument) {
  const std::string boat = boatAssembly();
  const struct {
    const char* answer;
    int status;
    const char* outcome;
    const char* error;  // after the question
    bool written;
  } cases[] = {
      {"cancel", 0, "refused", "tessarim-cli: apply: 40016 \"Close\" ended early\n", true},
      {"no", 1, "done", "tessarim-cli: %FILE%: not saved: a command closed the document\n", false},
  };
  for (const auto& c : cases) {
    TempRepo repo;
    fill(repo, boat);
    const std::string file = (repo.root / "ships/boat.asm").string();
    CliRun r =
        apply(repo, "ships/boat.asm",
              {"Human Male", "Close", "Statistics", "--save", (repo.root / "out.asm").string()},
              {"--answer", c.answer});
    EXPECT_EQ(r.status, c.status) << c.answer;
    std::string error = c.error;
    if (auto at = error.find("%FILE%"); at != std::string::npos) error.replace(at, 6, file);
    EXPECT_EQ(r.err, "TESSARIM: Save changes to ships\\boat.asm?\n" + error);
    auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["commands"][1]["outcome"], c.outcome);
    EXPECT_EQ(j["commands"].size(), 3u);  // the run went on after Close
    EXPECT_EQ(j["messages"].size(), 1u);
    EXPECT_EQ(fs::exists(repo.root / "out.asm"), c.written) << c.answer;
    EXPECT_EQ(repo.read("ships/boat.asm"), boat);
  }
}

}  // namespace
}  // namespace tessarim
