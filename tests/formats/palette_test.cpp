#include "formats/palette.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <system_error>

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

}  // namespace
}  // namespace tessarim
