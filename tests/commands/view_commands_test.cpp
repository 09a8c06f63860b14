#include "commands/view_commands.hpp"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "commands/command_numbers.hpp"
#include "commands/menu_fixture.hpp"

namespace tessarim {
namespace {

using testing::MenuTest;

// Every plain toggle row flips its own option, twice back to the start, and its check mark
// follows; nothing else in the options changes.
TEST_F(MenuTest, PlainTogglesFlipTheirOptionAndTheCheckMarkFollows) {
  openAssembly();
  int toggles = 0;
  for (const Command& c : commandTable()) {
    if (c.handler != &flipViewOption || c.menuPath.empty()) continue;
    ++toggles;
    SCOPED_TRACE(c.label);
    ViewOptions& view = model.settings.view;
    const ViewOptions untouched = view;
    const bool before = view.*c.viewOption;
    EXPECT_TRUE(c.handler(editor, c));
    EXPECT_EQ(view.*c.viewOption, !before);
    ViewOptions expected = untouched;
    expected.*c.viewOption = !before;
    EXPECT_TRUE(view == expected) << "another option changed";
    const bool sliders = view.lightingSliders;
    if (c.checked == &sliderOptionOn) view.lightingSliders = true;
    refresh();
    EXPECT_EQ(sink.checked.at(c.number), !before);
    view.lightingSliders = sliders;
    c.handler(editor, c);
    EXPECT_EQ(view.*c.viewOption, before);
  }
  EXPECT_GE(toggles, 26);  // with the four settings below, the thirty of the menus
}

// The options outside the view flip as plain toggles do.
TEST_F(MenuTest, FlattenAndSudoSuFlipTheirSettingsAndShowThem) {
  const struct {
    int number;
    bool Settings::*flag;
  } cases[] = {{cmd::flattenX, &Settings::flattenX},
               {cmd::flattenY, &Settings::flattenY},
               {cmd::flattenZ, &Settings::flattenZ},
               {cmd::sudoSu, &Settings::sudoSu}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    const Settings before = model.settings;
    run(c.number);
    EXPECT_TRUE(model.settings.*c.flag);
    for (const auto& other : cases) {
      if (other.flag != c.flag) {
        EXPECT_EQ(model.settings.*other.flag, before.*other.flag);
      }
    }
    refresh();
    EXPECT_TRUE(sink.checked.at(c.number));
    run(c.number);
    EXPECT_FALSE(model.settings.*c.flag);
  }
}

TEST_F(MenuTest, KeyLAndTheTimeOfDayItemFlipTheSameOption) {
  run(40999);
  EXPECT_TRUE(model.settings.view.lightingSliders);
  run(40152);
  EXPECT_FALSE(model.settings.view.lightingSliders);
}

TEST_F(MenuTest, TogglesWithSideEffects) {
  ViewOptions& v = model.settings.view;
  run(41155);  // production lighting brings the lighting sliders with it
  EXPECT_TRUE(v.productionLighting);
  EXPECT_TRUE(v.lightingSliders);
  run(41155);
  EXPECT_FALSE(v.productionLighting);
  EXPECT_TRUE(v.lightingSliders);

  run(41048);  // other destructables off takes the exterior plates along
  EXPECT_FALSE(v.otherDestructable);
  EXPECT_FALSE(v.exteriorPlates);
  run(41048);
  EXPECT_TRUE(v.otherDestructable);
  EXPECT_FALSE(v.exteriorPlates);

  model.status.texturesLoaded = true;
  run(40259);  // MIP filtering off releases the textures
  EXPECT_FALSE(v.mipFiltering);
  EXPECT_TRUE(v.releaseTextures);
  EXPECT_FALSE(model.status.texturesLoaded);

  run(40030);  // texel view hides the sliders and rebuilds the buffers
  EXPECT_TRUE(v.texelView);
  EXPECT_TRUE(v.slidersHidden);
  EXPECT_TRUE(model.status.geometryDirty);
}

TEST_F(MenuTest, ColorOverlayStepsThroughEightMapsAndWraps) {
  for (int step = 1; step <= 8; ++step) {
    model.status.geometryDirty = false;
    run(40031);
    EXPECT_EQ(model.settings.view.texelMapIndex, step % 8);
    EXPECT_TRUE(model.status.geometryDirty);
  }
}

TEST_F(MenuTest, EndModesExcludeEachOtherAndExtendTheView) {
  run(40310);
  EXPECT_EQ(model.motion.endMode, EndMode::snapToZero);
  EXPECT_TRUE(model.motion.extended);
  run(40311);
  EXPECT_EQ(model.motion.endMode, EndMode::reverse);
  run(40311);
  EXPECT_EQ(model.motion.endMode, EndMode::none);
  run(40228);
  EXPECT_FALSE(model.motion.extended);
  run(40227);
  EXPECT_TRUE(model.motion.extended);
}

TEST_F(MenuTest, FamilySettersTakeTheRowsCode) {
  ViewOptions& v = model.settings.view;
  run(40353);  // Human Female changes the document
  EXPECT_EQ(v.skeletonKind, 0);
  EXPECT_TRUE(model.status.documentModified);
  run(40356);
  EXPECT_FLOAT_EQ(v.agility, 0.0f);
  run(40354);
  EXPECT_FLOAT_EQ(v.agility, 1.0f);
  run(40104);
  EXPECT_FALSE(v.allModules);
  run(41361);
  EXPECT_EQ(v.rtsEditMode, rtsSelectConnection);
  run(41360);
  EXPECT_EQ(v.rtsEditMode, rtsMove);
  run(40490);  // display hair package 177
  EXPECT_EQ(v.peopleDisplay[hairSlot], 177);
  run(40431);  // hair "Show None"
  EXPECT_EQ(v.peopleDisplay[hairSlot], 175);
  run(40678);  // display bare pants
  EXPECT_EQ(v.peopleDisplay[pantsSlot], 300);
  v.animationSlot = 4;
  run(40695);
  EXPECT_EQ(v.copySourceSlot, 4);
  run(40078);
  EXPECT_TRUE(v.contactSheetRefresh);
  run(40114);
  EXPECT_TRUE(model.status.geometryDirty);
}

TEST_F(MenuTest, SystemsItemsSwitchTheOverlayOn) {
  ViewOptions& v = model.settings.view;
  run(41099);  // Cooling, system 3
  EXPECT_TRUE(v.systemsView);
  EXPECT_TRUE(v.systemShown[3]);
  run(41099);
  EXPECT_FALSE(v.systemShown[3]);
  EXPECT_TRUE(v.systemsView);

  model.selection.currentGroup = 2;  // show-only sets every system only for group 0
  run(41118);
  EXPECT_TRUE(v.systemsShowOnly);
  EXPECT_FALSE(v.systemShown[1]);
  run(41118);
  model.selection.currentGroup = 0;
  run(41118);
  for (int s = 1; s <= systemCount; ++s) EXPECT_TRUE(v.systemShown[s]) << s;

  run(41098);
  for (int s = 1; s <= systemCount; ++s) EXPECT_FALSE(v.systemShown[s]) << s;
  EXPECT_FALSE(v.systemsView);
  run(41097);
  EXPECT_TRUE(v.systemsView);
  EXPECT_TRUE(v.systemShown[11]);
}

}  // namespace
}  // namespace tessarim
