#include <gtest/gtest.h>

#include <QAction>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include "commands/command_numbers.hpp"
#include "commands/command_table.hpp"
#include "commands/file_commands.hpp"
#include "commands/menu_state.hpp"
#include "menu_bar.hpp"
#include "window_fixture.hpp"

// Keys reach the shown window, viewport included, so these run on a real (virtual) display.
namespace tessarim {
namespace {

using testing::WindowFixture;

class Keys : public ::testing::Test {
 protected:
  void SetUp() override {
    // A polygon of a placed module is current, so that every command these keys name is enabled
    // whenever the window's own frames refresh the menu.
    f.ui.openResults.push_back({f.host("ships/boat.asm")});
    ASSERT_TRUE(openDocument(f.editor, f.none));
    f.model.selection.currentModule = 0;
    f.model.selection.currentInstance = 0;
    f.model.selection.currentPolygon = 0;
    refreshMenuState(f.editor, 0.31f, f.window->menus());
    f.window->show();
    f.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.window.get()));
  }
  // The numbers a key press issued.
  std::vector<int> press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                         QChar text = {}) {
    QSignalSpy issued(f.window.get(), &MainWindow::commandIssued);
    if (text.isNull()) {
      QTest::keyClick(f.window.get(), static_cast<Qt::Key>(key), modifiers);
    } else {
      QKeyEvent down(QEvent::KeyPress, key, modifiers, QString(text));
      QApplication::sendEvent(f.window->focusWidget() ? f.window->focusWidget() : f.window.get(),
                              &down);
    }
    std::vector<int> numbers;
    for (const auto& call : issued) numbers.push_back(call[0].toInt());
    return numbers;
  }
  WindowFixture f;
};

TEST_F(Keys, BindingsIssueTheirNumbersWithExactModifiers) {
  struct Case {
    int key;
    Qt::KeyboardModifiers modifiers;
    std::vector<int> issued;
  } cases[] = {
      {Qt::Key_F4, Qt::AltModifier, {cmd::extrude}},        // Extrude, not Exit
      {Qt::Key_C, Qt::NoModifier, {cmd::backfaceCulling}},  // culling, not RTSPS Copy
      {Qt::Key_C, Qt::ControlModifier, {cmd::changePolygon}},
      {Qt::Key_P, Qt::ControlModifier, {cmd::changePolygon}},
      {Qt::Key_F2, Qt::AltModifier, {cmd::movePolygonsToNewWld}},
      {Qt::Key_F2, Qt::ControlModifier | Qt::AltModifier, {cmd::copyPolygonsToNewWld}},
      {Qt::Key_R, Qt::NoModifier, {cmd::gridRotate}},
      {Qt::Key_L, Qt::NoModifier, {cmd::timeOfDaySliderKey}},
      {Qt::Key_Asterisk, Qt::ShiftModifier | Qt::KeypadModifier, {cmd::nextType}},
      {Qt::Key_Asterisk, Qt::KeypadModifier, {cmd::nextInstance}},
      {Qt::Key_O,
       Qt::ControlModifier | Qt::ShiftModifier,
       {}},  // Ctrl+O is Open; more modifiers, nothing
      {Qt::Key_Q, Qt::NoModifier, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(press(c.key, c.modifiers), c.issued)
        << QKeySequence(c.key | c.modifiers.toInt()).toString().toStdString();
  }
  // A bound key whose number has no handler is issued and does nothing.
  f.editor.commandActivity = false;
  const auto unhandled = press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_EQ(unhandled.size(), 1u);
  const Command* row = findCommand(unhandled[0]);
  EXPECT_TRUE(!row || !row->handler);
  EXPECT_FALSE(f.editor.commandActivity);
}

TEST_F(Keys, TypedCharactersIssueTheirNumbers) {
  const std::pair<QChar, int> cases[] = {{']', cmd::nextGroup},
                                         {'[', cmd::previousGroup},
                                         {'}', cmd::nextPolygon},
                                         {'{', cmd::previousPolygon},
                                         {'=', cmd::displayRandom}};
  for (auto [character, number] : cases) {
    EXPECT_EQ(press(0, Qt::NoModifier, character), std::vector<int>{number})
        << character.toLatin1();
  }
}

TEST_F(Keys, AGreyedItemsKeyDoesNothing) {
  f.ui.openResults.push_back({f.host("meshes/hull.wld")});
  ASSERT_TRUE(openDocument(f.editor, f.none));
  for (int i = 0; i < 2; ++i) refreshMenuState(f.editor, 0.31f, f.window->menus());
  EXPECT_FALSE(f.window->menus().actions(cmd::save).front()->isEnabled());
  EXPECT_TRUE(press(Qt::Key_S, Qt::ControlModifier).empty());

  f.model.document.module[0].modified = 1;
  refreshMenuState(f.editor, 0.31f, f.window->menus());
  EXPECT_TRUE(f.window->menus().actions(cmd::save).front()->isEnabled());
  EXPECT_EQ(press(Qt::Key_S, Qt::ControlModifier), std::vector<int>{cmd::save});
  EXPECT_EQ(f.model.document.module[0].modified, 0);  // saved
}

// The texel view's mouse help names the held key even while the mouse rests.
TEST_F(Keys, HeldModifiersReachTheFrameWithoutMouseMoves) {
  QTest::keyPress(f.window->windowHandle(), Qt::Key_Shift, Qt::ShiftModifier);
  f.window->frame();
  EXPECT_TRUE(f.editor.frame.input.shiftHeld);
  EXPECT_FALSE(f.editor.frame.input.controlHeld);
  QTest::keyRelease(f.window->windowHandle(), Qt::Key_Shift, Qt::NoModifier);
  f.window->frame();
  EXPECT_FALSE(f.editor.frame.input.shiftHeld);
}

}  // namespace
}  // namespace tessarim
