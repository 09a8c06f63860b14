#include "formats/palette.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <system_error>

#include "support/fifo_watchdog.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

using testing::ScriptedUi;
using testing::TempRepo;

// Records where the open-file dialog was asked to start.
class DialogUi : public ScriptedUi {
 public:
  std::vector<std::string> openFile(const FileFilter& filter, std::string_view startPath,
                                    bool multiple) override {
    filters.push_back(filter.description + "|" + filter.pattern);
    startPaths.emplace_back(startPath);
    return ScriptedUi::openFile(filter, startPath, multiple);
  }
  std::vector<std::string> filters;
  std::vector<std::string> startPaths;
};

struct PaletteRepo : TempRepo {
  DialogUi dialogs;
  Session palette{model, repository, dialogs, store, clock};
};

std::string bytes(int first, int count) {
  std::string s;
  for (int i = 0; i < count; ++i) s += static_cast<char>(first + i);
  return s;
}

TEST(Palette, GreyRampTruncatesLevels) {
  const Palette expected = {0x000000, 0x0F0F0F, 0x1F1F1F, 0x2F2F2F, 0x3F3F3F, 0x4F4F4F,
                            0x5F5F5F, 0x6F6F6F, 0x7F7F7F, 0x8F8F8F, 0x9F9F9F, 0xAFAFAF,
                            0xBFBFBF, 0xCFCFCF, 0xDFDFDF, 0xEFEFEF};
  EXPECT_EQ(greyRamp(), expected);
}

TEST(Palette, ReadsSixteenLittleEndianColoursFromTheFirst64Bytes) {
  PaletteRepo repo;
  repo.write("pal/ship.pal", bytes(0, 64) + "trailing bytes are ignored");
  std::string path = "pal\\ship.pal";
  Palette colours{};
  readPalette(repo.palette, path, colours, true);
  EXPECT_EQ(colours[0], 0x03020100u);
  EXPECT_EQ(colours[15], 0x3F3E3D3Cu);
  EXPECT_EQ(path, "pal\\ship.pal");
  EXPECT_TRUE(repo.dialogs.boxes.empty());
  EXPECT_TRUE(repo.dialogs.startPaths.empty());
  EXPECT_TRUE(repo.store.values.empty());
}

TEST(Palette, ShortFileReplacesOnlyTheBytesItHolds) {
  PaletteRepo repo;
  repo.write("short.pal", bytes(0x10, 10));
  std::string path = "short.pal";
  Palette colours;
  colours.fill(0xAABBCCDD);
  readPalette(repo.palette, path, colours, false);
  EXPECT_EQ(colours[0], 0x13121110u);
  EXPECT_EQ(colours[1], 0x17161514u);
  EXPECT_EQ(colours[2], 0xAABB1918u);
  EXPECT_EQ(colours[3], 0xAABBCCDDu);
  EXPECT_TRUE(repo.dialogs.boxes.empty());
}

TEST(Palette, EmptyPathGivesTheGreyRampSilently) {
  PaletteRepo repo;
  std::string path;
  Palette colours{};
  readPalette(repo.palette, path, colours, true);
  EXPECT_EQ(colours, greyRamp());
  EXPECT_TRUE(path.empty());
  EXPECT_TRUE(repo.dialogs.boxes.empty());
  EXPECT_TRUE(repo.dialogs.startPaths.empty());
}

TEST(Palette, MissingFileWithTheDialogCancelledIsReported) {
  PaletteRepo repo;
  repo.store.writeString(mainKey, "TempPath", (repo.root / "temp").string());
  std::string path = "pal\\gone.pal";
  Palette colours{};
  readPalette(repo.palette, path, colours, true);
  EXPECT_EQ(colours, greyRamp());
  EXPECT_EQ(path, "pal\\gone.pal");
  ASSERT_EQ(repo.dialogs.startPaths.size(), 1u);
  EXPECT_EQ(repo.dialogs.filters[0], "Palette (*.pal)|*.PAL");
  EXPECT_EQ(repo.dialogs.startPaths[0], (repo.root / "temp" / "custom.pal").string());
  ASSERT_EQ(repo.dialogs.boxes.size(), 1u);
  EXPECT_EQ(repo.dialogs.boxes[0].text, std::generic_category().message(ENOENT) +
                                            " error while opening the following file...\n\n"
                                            "pal\\gone.pal");
  EXPECT_EQ(repo.dialogs.boxes[0].caption, "Error!");
  EXPECT_FALSE(repo.store.readString(mainKey, "Custom Colors Path"));
}

TEST(Palette, MissingFileWithAChosenFileReadsItAndRemembersOnRequest) {
  for (bool remember : {true, false}) {
    SCOPED_TRACE(remember);
    PaletteRepo repo;
    auto chosen = repo.write("pal/chosen.pal", bytes(0x40, 64));
    repo.dialogs.openResults.push_back({chosen.string()});
    std::string path = "pal\\gone.pal";
    Palette colours{};
    readPalette(repo.palette, path, colours, remember);
    EXPECT_EQ(colours[0], 0x43424140u);
    EXPECT_EQ(path, "pal\\chosen.pal");
    EXPECT_TRUE(repo.dialogs.boxes.empty());
    // Without a TempPath setting the dialog starts in the repository folder.
    ASSERT_EQ(repo.dialogs.startPaths.size(), 1u);
    EXPECT_EQ(repo.dialogs.startPaths[0], repo.repository.host + "custom.pal");
    EXPECT_EQ(repo.store.readString(mainKey, "Custom Colors Path"),
              remember ? std::optional<std::string>{"pal\\chosen.pal"} : std::nullopt);
  }
}

// A palette goes where its name says: never through a link leading out of the repository folder,
// or out of its own folder for a file the user keeps elsewhere; a scheme named by the document
// stays in the repository folder. A refused file is reported and logged, and nothing changes.
TEST(Palette, AFileIsWrittenOnlyWhereItsNameSays) {
  enum Kind { regular, linkOut, pipe };
  struct Case {
    const char* name;
    bool remember;     // the user's own palette; else the document's scheme
    const char* file;  // below the scratch folder; the repository is its "repo"
    Kind kind;
    const char* target;  // where a link points, below the scratch folder
    std::string error;   // the reason the write is refused; empty: it is written
  } cases[] = {
      {"own palette linked out", true, "repo/custom.pal", linkOut, "outside/custom.pal",
       "Link leading out of the repository folder"},
      {"own palette elsewhere, linked out of its folder", true, "outside/mine.pal", linkOut,
       "other/mine.pal", "Link leading out of the file's folder"},
      {"scheme linked out", false, "repo/ships/boat.pal", linkOut, "outside/boat.pal",
       "Link leading out of the repository folder"},
      {"scheme outside the repository", false, "outside/boat.pal", regular, "",
       "Outside the repository folder"},
      {"a pipe", true, "repo/custom.pal", pipe, "", "Not a regular file"},
      {"own palette elsewhere", true, "outside/mine.pal", regular, "", ""},
      {"own palette linked within its folder", true, "outside/mine.pal", linkOut,
       "outside/kept.pal", ""},
      {"scheme in the repository", false, "repo/ships/boat.pal", regular, "", ""},
  };
  for (const Case& c : cases) {
    TempRepo scratch;
    scratch.repository = makeRepositoryFolder((scratch.root / "repo").string());
    const std::filesystem::path file = scratch.root / c.file;
    std::filesystem::create_directories(file.parent_path());
    if (c.kind == linkOut) {
      scratch.write(c.target, "twelve bytes");
      std::filesystem::create_symlink(scratch.root / c.target, file);
    } else if (c.kind == pipe) {
      ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
    } else if (c.error.empty()) {
      scratch.write(c.file, "old");
    }
    std::string path = toStoredForm(file.string());
    makeRelative(scratch.repository, path);
    const std::string named = path;
    const auto before = testing::entriesBelow(scratch.root);

    writePalette(scratch.session, path, greyRamp(), c.remember);
    EXPECT_EQ(path, named) << c.name;
    if (c.error.empty()) {
      EXPECT_EQ(scratch.read(c.kind == linkOut ? c.target : c.file).size(), 64u) << c.name;
      EXPECT_EQ(scratch.session.writes.written, std::vector<std::string>{named}) << c.name;
      EXPECT_TRUE(scratch.session.writes.failed.empty()) << c.name;
      EXPECT_TRUE(scratch.ui.boxes.empty()) << c.name;
      continue;
    }
    EXPECT_EQ(testing::entriesBelow(scratch.root), before) << c.name;
    EXPECT_TRUE(scratch.session.writes.written.empty()) << c.name;
    EXPECT_EQ(scratch.session.writes.failed, std::vector<std::string>{named}) << c.name;
    EXPECT_EQ(scratch.ui.saveCalls.size(), 1u) << c.name << ": the user may choose another file";
    ASSERT_EQ(scratch.ui.boxes.size(), 1u) << c.name;
    EXPECT_EQ(scratch.ui.boxes[0].text,
              c.error + " error while saving the following file...\n\n" + named)
        << c.name;
  }
}

// A pipe in a palette's place is refused without waiting for a writer.
TEST(Palette, APipeIsNotRead) {
  PaletteRepo repo;
  ASSERT_EQ(::mkfifo((repo.root / "custom.pal").c_str(), 0644), 0);
  std::string path = "custom.pal";
  Palette colours{};
  testing::FifoWatchdog watchdog{repo.root / "custom.pal"};
  readPalette(repo.palette, path, colours, true);
  EXPECT_FALSE(watchdog.fired()) << "the read waited on the pipe";
  EXPECT_EQ(colours, greyRamp());
  ASSERT_EQ(repo.dialogs.boxes.size(), 1u);
  EXPECT_EQ(repo.dialogs.boxes[0].text,
            "Not a regular file error while opening the following file...\n\ncustom.pal");
}

}  // namespace
}  // namespace tessarim
