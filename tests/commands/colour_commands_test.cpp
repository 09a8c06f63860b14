#include "commands/colour_commands.hpp"

#include <gtest/gtest.h>

#include "commands/command_numbers.hpp"
#include "commands/command_table.hpp"
#include "commands/dispatch.hpp"
#include "commands/file_commands.hpp"
#include "formats/palette.hpp"
#include "platform/settings_store.hpp"
#include "support/editor_fixture.hpp"

namespace tessarim {
namespace {

using testing::EditorFixture;

std::string paletteBytes(const Palette& colours) {
  std::string bytes;
  for (std::uint32_t c : colours) {
    for (int b = 0; b < 4; ++b) bytes += static_cast<char>(c >> (8 * b) & 0xFF);
  }
  return bytes;
}

struct ColourChoice : EditorFixture, ::testing::Test {
  ColourChoice() {
    custom = greyRamp();
    custom[3] = 0x00112233;
    write("custom.pal", paletteBytes(custom));
    editor.user.customColorsPath = "custom.pal";
    ui.customEdit = [](std::array<std::uint32_t, 16>& colours) { colours[15] = 0x00ABCDEF; };
  }
  void choose(int number) {
    const Command* command = findCommand(number);
    ASSERT_TRUE(command && command->handler) << number;
    EXPECT_TRUE(command->handler(editor, *command));
  }
  std::optional<std::uint32_t> stored(const char* name) {
    auto at = store.values.find(std::string(mainKey) + "/" + name);
    return at == store.values.end() ? std::nullopt : at->second.number;
  }
  Palette custom;
};

TEST_F(ColourChoice, BackgroundAndSunlightGoToTheSettingsAndKeepTheirAlpha) {
  editor.user.backgroundColor = 0x80F9CE71;
  ui.colourResults = {0x00336699u, std::nullopt};
  choose(cmd::backgroundColor);
  ASSERT_EQ(ui.colourCalls.size(), 1u);
  EXPECT_EQ(ui.colourCalls[0].initial, 0x0071CEF9u) << "the chooser takes 0x00BBGGRR";
  EXPECT_EQ(ui.colourCalls[0].custom, custom) << "the user's custom colours";
  EXPECT_EQ(editor.user.backgroundColor, 0x80996633u);
  EXPECT_EQ(stored("Background Color"), 0x80996633u);

  // Cancelled: nothing changes, but the custom colours the user edited are kept.
  choose(cmd::sunlightColor);
  EXPECT_EQ(editor.user.sunlightColor, 0xFFFFFFu);
  EXPECT_FALSE(stored("Sunlight Color"));
  Palette edited = custom;
  edited[15] = 0x00ABCDEF;
  EXPECT_EQ(read("custom.pal"), paletteBytes(edited));
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ColourChoice, ViewColoursTakeTheChosenChannelsOver255) {
  struct Case {
    int number;
    std::array<float, 3> ViewColours::*colour;
  } cases[] = {
      {cmd::skinColor, &ViewColours::skin}, {cmd::hairLipsColor, &ViewColours::hairLips},
      {cmd::eyesColor, &ViewColours::eyes}, {cmd::maskEyes, &ViewColours::eyes},
      {cmd::trimColor, &ViewColours::trim}, {cmd::dynamicTextColor, &ViewColours::dynamicText}};
  for (const Case& c : cases) {
    editor.frame.colours.*c.colour = {0.87f, 0.5f, 1.0f};
    ui.colourResults = {0x00FF8000u};
    ui.colourCalls.clear();
    choose(c.number);
    ASSERT_EQ(ui.colourCalls.size(), 1u) << c.number;
    EXPECT_EQ(ui.colourCalls[0].initial, 0x00FF7FDDu)
        << c.number << ": each channel x 255, truncated";
    const std::array<float, 3> expected{0, 128 / 255.0f, 1};
    EXPECT_EQ(editor.frame.colours.*c.colour, expected) << c.number;
  }
  EXPECT_TRUE(store.values.empty()) << "view colours are not stored";
}

TEST_F(ColourChoice, WithoutACustomPaletteTheGreyRampIsShownAndTheUserSavesOne) {
  editor.user.customColorsPath.clear();
  ui.saveResults = {host("mine.pal")};
  ui.colourResults = {std::nullopt};
  choose(cmd::backgroundColor);
  ASSERT_EQ(ui.colourCalls.size(), 1u);
  EXPECT_EQ(ui.colourCalls[0].custom, greyRamp());
  EXPECT_EQ(editor.user.customColorsPath, "mine.pal");
  ASSERT_TRUE(store.values.count(std::string(mainKey) + "/Custom Colors Path"));
  EXPECT_EQ(*store.values[std::string(mainKey) + "/Custom Colors Path"].text, "mine.pal");
  Palette edited = greyRamp();
  edited[15] = 0x00ABCDEF;
  EXPECT_EQ(read("mine.pal"), paletteBytes(edited));
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ColourChoice, APaletteThatCannotBeWrittenIsReported) {
  std::filesystem::create_directories(root / "folder.pal");
  editor.user.customColorsPath = "folder.pal";
  ui.openResults = {{host("custom.pal")}};  // reading: the user picks another file
  ui.colourResults = {std::nullopt};
  choose(cmd::backgroundColor);
  EXPECT_EQ(editor.user.customColorsPath, "custom.pal");
  ASSERT_EQ(ui.colourCalls.size(), 1u);
  EXPECT_EQ(ui.colourCalls[0].custom, custom);

  editor.user.customColorsPath = "folder.pal";
  ui.openResults.clear();
  ui.boxes.clear();
  // Reading fails (grey ramp, reported), writing fails and no file is chosen.
  choose(cmd::backgroundColor);
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[1].caption, "Error!");
  EXPECT_TRUE(
      ui.boxes[1].text.starts_with("Is a directory error while saving the following file...\n\n"))
      << ui.boxes[1].text;
  EXPECT_TRUE(ui.boxes[1].text.ends_with("folder.pal")) << ui.boxes[1].text;
}

// The boat assembly open, its two meshes with one polygon each.
struct SchemeAndAdjust : ColourChoice {
  SchemeAndAdjust() {
    ui.openResults.push_back({host("ships/boat.asm")});
    EXPECT_TRUE(openDocument(editor, none));
    ui.customEdit = nullptr;
  }
  Document& document() { return model.document; }
};

TEST_F(SchemeAndAdjust, LoadSchemeReadsWhatTheFileHoldsAndUndoEditPutsTheOldSchemeBack) {
  const Palette before = document().schemeColours;
  write("ships/short.pal", std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A"));
  ui.openResults = {{host("ships/short.pal")}};
  ASSERT_EQ(issueCommand(editor, cmd::loadScheme), CommandOutcome::done);
  ASSERT_EQ(ui.openCalls.size(), 2u);
  EXPECT_EQ(ui.openCalls[1].startPath, host("ships/boat.pal")) << "beside the document";
  EXPECT_EQ(document().schemeFile, "ships\\short.pal");
  Palette expected = before;
  expected[0] = 0x04030201;
  expected[1] = 0x08070605;
  expected[2] = (before[2] & 0xFFFF0000u) | 0x0A09;  // ten bytes: the rest stays
  EXPECT_EQ(document().schemeColours, expected);
  EXPECT_TRUE(model.status.documentModified);

  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(document().schemeFile, "");
  EXPECT_EQ(document().schemeColours, before);
}

TEST_F(SchemeAndAdjust, NewSchemeStartsGreyAndSavesTheEditedColoursToTheChosenFile) {
  document().schemeFile = "ships\\old.pal";
  ui.customEdit = [](std::array<std::uint32_t, 16>& colours) { colours[4] = 0x000000FF; };
  ui.colourResults = {0x00000000u};
  ui.saveResults = {host("ships/fresh.pal")};
  ASSERT_EQ(issueCommand(editor, cmd::newScheme), CommandOutcome::done);
  ASSERT_EQ(ui.colourCalls.size(), 1u);
  EXPECT_EQ(ui.colourCalls[0].custom, greyRamp());
  Palette edited = greyRamp();
  edited[4] = 0x000000FF;
  EXPECT_EQ(document().schemeColours, edited);
  EXPECT_EQ(document().schemeFile, "ships\\fresh.pal");
  EXPECT_EQ(read("ships/fresh.pal"), paletteBytes(edited));
  EXPECT_TRUE(model.status.documentModified);

  // Edit Scheme cancelled: the chooser's changes are dropped and nothing is written.
  model.status.documentModified = false;
  ui.customEdit = [](std::array<std::uint32_t, 16>& colours) { colours[4] = 0; };
  ASSERT_EQ(issueCommand(editor, cmd::editScheme), CommandOutcome::done);
  EXPECT_EQ(document().schemeColours, edited);
  EXPECT_EQ(read("ships/fresh.pal"), paletteBytes(edited));
  EXPECT_FALSE(model.status.documentModified);
}

TEST_F(SchemeAndAdjust, AdjustStartsAtTheMeanColourAndPaintsEveryPolygonOfTheScope) {
  document().module[0].polygons[0].colour = {0.2f, 0.4f, 0.6f, 0.5f};
  document().module[1].polygons[0].colour = {0.4f, 0.6f, 0.8f, 0.5f};
  model.selection.currentModule = -2;
  model.selection.currentInstance = -1;
  model.selection.selectedInstances = {{0, 0}, {1, 0}};
  ui.colourResults = {0x00FF8000u};
  ASSERT_EQ(issueCommand(editor, cmd::adjustColor), CommandOutcome::done);
  ASSERT_EQ(ui.colourCalls.size(), 1u);
  EXPECT_EQ(ui.colourCalls[0].initial, 0x00B27F4Cu) << "the mean (0.3, 0.5, 0.7) x 255, truncated";
  EXPECT_EQ(ui.colourCalls[0].custom, custom) << "the user's custom colours";
  const std::array<float, 4> painted{0, 128 / 255.0f, 1, 1};
  EXPECT_EQ(document().module[0].polygons[0].colour, painted);
  EXPECT_EQ(document().module[1].polygons[0].colour, painted);

  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  const std::array<float, 4> first{0.2f, 0.4f, 0.6f, 0.5f};
  EXPECT_EQ(document().module[0].polygons[0].colour, first);

  // Cancelled: nothing painted.
  model.selection.currentModule = 1;
  model.selection.currentPolygon = 0;
  ASSERT_EQ(issueCommand(editor, cmd::adjustColor), CommandOutcome::done);
  const std::array<float, 4> second{0.4f, 0.6f, 0.8f, 0.5f};
  EXPECT_EQ(document().module[1].polygons[0].colour, second);
}

}  // namespace
}  // namespace tessarim
