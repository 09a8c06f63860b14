#include "commands/command_table.hpp"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "commands/city_commands.hpp"
#include "commands/edit_commands.hpp"
#include "commands/file_commands.hpp"
#include "commands/instance_commands.hpp"
#include "commands/menu_fixture.hpp"
#include "commands/module_commands.hpp"
#include "commands/motion_commands.hpp"
#include "commands/polygon_commands.hpp"
#include "commands/scale_commands.hpp"
#include "commands/view_commands.hpp"
#include "model/view_options.hpp"

namespace tessarim {
namespace {

using testing::MenuTest;

std::string_view popupOf(const Command& c) {
  return c.menuPath.substr(0, c.menuPath.find('|'));
}

TEST(CommandTable, FourteenPopupsInMenuBarOrderThenKeyOnlyRows) {
  std::vector<std::string_view> popups;
  bool keyOnlySeen = false;
  for (const Command& c : commandTable()) {
    if (c.menuPath.empty()) {
      keyOnlySeen = true;
      continue;
    }
    EXPECT_FALSE(keyOnlySeen) << "menu row after the key-only rows: " << c.label;
    if (popups.empty() || popups.back() != popupOf(c)) popups.push_back(popupOf(c));
  }
  const std::vector<std::string_view> expected{
      "&FILE",   "&EDIT",   "&VIEW",  "&POLYGON", "&MODULE",     "&INSTANCE", "&GROUP",
      "M&OTION", "&LIGHTS", "&RTSPS", "&SYSTEMS", "&REPOSITORY", "M&ACRO",    "&HELP"};
  EXPECT_EQ(popups, expected);  // each popup once, in one run
}

struct Spot {
  int number;
  std::string_view label;
  std::string_view path;
  std::string_view hint;
  KeyBinding key;   // keys[0]
  KeyBinding key2;  // keys[1]
};

TEST(CommandTable, RowsOfEveryPopupAndTheTrickyKeys) {
  const Spot spots[] = {
      {40017, "&New...", "&FILE", "Ctrl+N", {Key::n, ctrl}, {}},
      {40077, "A&SE file...", "&FILE|&Import", "", {}, {}},
      {40006, "E&xit", "&FILE", "Alt+F4", {}, {}},  // the hint is not a binding
      {40024, "&Delete", "&EDIT", "Del", {Key::del, 0}, {}},
      {41256, "Interior Flag", "&EDIT|Type", "", {}, {}},
      {40030, "&Mesh/Texel", "&VIEW", "V", {Key::v, 0}, {}},
      {40152, "&Time-of-Day Slider", "&VIEW|Sliders", "L", {}, {}},
      {41049, "Backface &Culling", "&VIEW", "C", {Key::c, 0}, {}},
      {40262, "Next polygon", "&POLYGON", "}", {Key::none, 0, U'}'}, {}},
      {40306, "&Change polygon...", "&POLYGON", "Ctrl+C", {Key::c, ctrl}, {Key::p, ctrl}},
      {40109, "Next type", "&MODULE", "Shift+Num *", {Key::numMultiply, shift}, {}},
      {41153, "&Assign Texture...", "&MODULE|&Texture|Detail &Control Map", "", {}, {}},
      {40107, "Next instance", "&INSTANCE", "Num *", {Key::numMultiply, 0}, {}},
      {41313, "Nozzle", "&INSTANCE|Engine|Engine 1|Accelerate", "", {}, {}},
      {40145, "Next Building/Group", "&GROUP", "]", {Key::none, 0, U']'}, {}},
      {40477, "Display Random", "&GROUP|People Packages", "=", {Key::none, 0, U'='}, {}},
      {40518, "Jump Up && Land", "M&OTION|&Animation", "", {}, {}},
      {40187, "Remove light...", "&LIGHTS", "Ctrl+F8", {Key::f8, ctrl}, {}},
      {40150, "Rotate", "&RTSPS", "R", {}, {}},
      {40737, "Copy", "&RTSPS", "C", {}, {}},
      {40876, "Texture", "&RTSPS", "Shift+R", {Key::r, shift}, {}},
      {41360, "Move", "&RTSPS|RTS Node Edit mode", "U", {Key::u, 0}, {}},
      {41206, "Communication", "&SYSTEMS", "", {}, {}},
      {40861, "Folder...", "&REPOSITORY|&Delete", "Ctrl+Shift+Del", {Key::del, ctrl | shift}, {}},
      {41149,
       "Move polys to new WLD, prompt for name, re-insert",
       "M&ACRO",
       "Alt+F2",
       {Key::f2, alt},
       {}},
      {41068,
       "Copy polys to new WLD, prompt for name, re-insert",
       "M&ACRO",
       "Ctrl+Alt+F2",
       {Key::f2, ctrl | alt},
       {}},
      {41156, "Extrude", "M&ACRO", "Alt+F4", {Key::f4, alt}, {}},
      {41135, "G&enerate Overlay", "&POLYGON|Texel", "", {}, {}},
      {41378, "Select half of the polys", "M&ACRO", "", {}, {}},
      {41254, "sudo su", "&HELP", "", {}, {}},
      {40879, "Grid Rotate", "", "R", {Key::r, 0}, {}},
      {40999, "Time-of-Day Slider", "", "L", {Key::l, 0}, {}},
  };
  for (const Spot& s : spots) {
    SCOPED_TRACE(s.number);
    const Command* c = findCommand(s.number);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->label, s.label);
    EXPECT_EQ(c->menuPath, s.path);
    EXPECT_EQ(c->hint, s.hint);
    for (int k = 0; k < 2; ++k) {
      const KeyBinding& want = k == 0 ? s.key : s.key2;
      EXPECT_EQ(c->keys[k].key, want.key);
      EXPECT_EQ(c->keys[k].modifiers, want.modifiers);
      EXPECT_EQ(c->keys[k].character, want.character);
    }
  }
}

TEST(CommandTable, FileEndsWithASeparatorAndExitAndGroupsAreSeparated) {
  std::vector<const Command*> file;
  for (const Command& c : commandTable()) {
    if (c.menuPath == "&FILE") file.push_back(&c);
  }
  ASSERT_GE(file.size(), 3u);
  EXPECT_TRUE(file[file.size() - 2]->separator);
  EXPECT_EQ(file.back()->number, 40006);
  for (std::size_t i = 1; i < file.size(); ++i) {
    if (file[i]->number == 40023) {
      EXPECT_TRUE(file[i - 1]->separator) << "before &Properties";
    }
  }
}

TEST(CommandTable, NoKeyOrCharacterIsBoundTwice) {
  std::set<std::pair<Key, int>> keys;
  std::set<char32_t> characters;
  int bindings = 0;
  for (const Command& c : commandTable()) {
    for (const KeyBinding& k : c.keys) {
      if (k.character != 0) {
        EXPECT_TRUE(characters.insert(k.character).second) << c.number;
      } else if (k.key != Key::none) {
        ++bindings;
        EXPECT_TRUE(keys.insert({k.key, k.modifiers}).second) << c.number;
      }
    }
  }
  EXPECT_EQ(characters.size(), 5u);
  EXPECT_GT(bindings, 70);
}

TEST(CommandTable, FamilyItemsCarryTheirCodes) {
  struct Family {
    int number;
    CommandRule check;
    int code;
  };
  const Family families[] = {
      {40133, &instanceTypeIs, 0},    {41379, &instanceTypeIs, 250}, {40705, &instanceTypeIs, 8},
      {41164, &colourKeyIs, -1},      {41180, &colourKeyIs, 7},      {41172, &colourKeyIs, 8},
      {40283, &groupIs, 1000},        {40298, &groupIs, 15},         {41394, &instanceGroupIs, 715},
      {40811, &instanceGroupIs, 681}, {41221, &documentTypeIs, 0},   {41273, &documentTypeIs, 1002},
      {41348, &cityTypeIs, -19},      {41245, &scaleClassIs, 7},     {41038, &scaleClassIs, 11},
      {40347, &animationSlotIs, -1},  {40627, &animationSlotIs, 10}, {40356, &agilityIs, 0},
      {41334, &rtsEditModeIs, 5},     {41371, &rtsNodeFlagSet, 2},   {40070, &shadingIs, 1},
      {41125, &systemShownIs, 10},
  };
  for (const Family& f : families) {
    const Command* c = findCommand(f.number);
    ASSERT_NE(c, nullptr) << f.number;
    EXPECT_EQ(c->checked, f.check) << f.number;
    EXPECT_EQ(c->code, f.code) << f.number;
  }
  // A display item knows its people slot as well as its code.
  const Command* frames = findCommand(40625);
  EXPECT_EQ(frames->slot, framesSlot);
  EXPECT_EQ(frames->code, 451);
}

TEST(CommandTable, CheckableExactlyWhenACheckMarkFamilyIsNamed) {
  for (const Command& c : commandTable()) {
    EXPECT_EQ(c.checkable, c.checked != nullptr) << c.number << " " << c.label;
    if (c.separator) {
      EXPECT_EQ(c.number, 0);
    }
  }
}

TEST(CommandTable, FindCommandPrefersTheRowWithAHandler) {
  // 40627 is a walk loop and a sitting item; 40720 two pattern items; the first row wins.
  EXPECT_EQ(findCommand(40720)->label, "Manage/Select White Pattern...");
  EXPECT_EQ(findCommand(40016)->handler, &closeDocument);
  EXPECT_EQ(findCommand(40017)->handler, &newDocument);
  EXPECT_EQ(findCommand(40006)->handler, &exitProgram);
  EXPECT_EQ(findCommand(12345), nullptr);
  const Command* zero = findCommand(0);  // the number-less items, never a separator
  ASSERT_NE(zero, nullptr);
  EXPECT_FALSE(zero->separator);
}

TEST_F(MenuTest, KeysMatchTheirModifiersExactly) {
  struct Case {
    KeyPress press;
    int number;
  };
  const Case cases[] = {
      {{Key::c, 0}, 41049},
      {{Key::c, shift}, 40840},
      {{Key::c, ctrl}, 40306},
      {{Key::p, ctrl}, 40306},
      {{Key::c, alt}, 0},
      {{Key::c, ctrl | shift}, 0},
      {{Key::numMultiply, 0}, 40107},
      {{Key::numMultiply, shift}, 40109},
      {{Key::numMultiply, ctrl}, 0},
      {{Key::f4, alt}, 41156},
      {{Key::f4, ctrl}, 40016},
      {{Key::f4, 0}, 0},
      {{Key::f2, alt}, 41149},
      {{Key::f2, ctrl | alt}, 41068},
      {{Key::l, 0}, 40999},
      {{Key::r, 0}, 40879},
      {{Key::t, shift}, 40875},
      {{Key::r, shift}, 40876},
      {{Key::n, ctrl}, 40017},
      {{Key::n, ctrl | shift}, 0},
      {{Key::del, ctrl | shift}, 40861},
      {{Key::none, 0}, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(acceleratorCommand(editor, c.press), c.number)
        << static_cast<int>(c.press.key) << "+" << int{c.press.modifiers};
  }
  EXPECT_EQ(characterCommand(editor, U'['), 40146);
  EXPECT_EQ(characterCommand(editor, U'{'), 40263);
  EXPECT_EQ(characterCommand(editor, U'='), 40477);
  EXPECT_EQ(characterCommand(editor, U'a'), 0);
}

TEST_F(MenuTest, KeysWithoutHandlersIssueNumbersThatDoNothing) {
  const KeyPress presses[] = {{Key::f2, 0},    {Key::f11, ctrl}, {Key::s, ctrl | shift},
                              {Key::a, shift}, {Key::d, shift},  {Key::w, shift},
                              {Key::x, shift}};
  std::set<int> numbers;
  for (const KeyPress& p : presses) {
    const int number = acceleratorCommand(editor, p);
    ASSERT_NE(number, 0);
    numbers.insert(number);
    const Command* c = findCommand(number);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->handler, nullptr) << number;
    for (const Command& row : commandTable()) {
      if (row.number == number) {
        EXPECT_TRUE(row.menuPath.empty()) << number;
      }
    }
  }
  EXPECT_EQ(numbers.size(), 7u);
}

TEST_F(MenuTest, AGreyedItemIsNotIssuedByItsKey) {
  // Before any refresh nothing is greyed.
  EXPECT_EQ(acceleratorCommand(editor, {Key::del, 0}), 40024);
  EXPECT_EQ(characterCommand(editor, U'}'), 40262);
  refresh();  // no document: Delete and Next polygon are greyed
  EXPECT_FALSE(sink.enabled.at(40024));
  EXPECT_EQ(acceleratorCommand(editor, {Key::del, 0}), 0);
  EXPECT_EQ(characterCommand(editor, U'}'), 0);
  EXPECT_EQ(acceleratorCommand(editor, {Key::n, ctrl}), 40017);  // never greyed

  openAssembly();
  refresh();
  EXPECT_EQ(acceleratorCommand(editor, {Key::del, 0}), 40024);
  EXPECT_EQ(characterCommand(editor, U'}'), 40262);
}

}  // namespace
}  // namespace tessarim
