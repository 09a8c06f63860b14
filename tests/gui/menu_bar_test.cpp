#include "menu_bar.hpp"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <map>

#include "commands/command_numbers.hpp"
#include "commands/command_table.hpp"
#include "commands/file_commands.hpp"
#include "editor/recent_files.hpp"
#include "window_fixture.hpp"

namespace tessarim {
namespace {

using testing::WindowFixture;

QString expectedText(const Command& row) {
  QString text = QString::fromUtf8(row.label.data(), static_cast<qsizetype>(row.label.size()));
  if (!row.hint.empty())
    text += '\t' + QString::fromUtf8(row.hint.data(), static_cast<qsizetype>(row.hint.size()));
  return text;
}

// The menu reached from the bar by the titles of a row's path.
QMenu* menuAt(QMenuBar* bar, std::string_view path) {
  QList<QAction*> level = bar->actions();
  QMenu* menu = nullptr;
  while (!path.empty()) {
    const auto cut = path.find('|');
    const QString title = QString::fromUtf8(path.substr(0, cut).data(),
                                            static_cast<qsizetype>(path.substr(0, cut).size()));
    menu = nullptr;
    for (QAction* action : level) {
      if (action->menu() && action->text() == title) menu = action->menu();
    }
    if (!menu) return nullptr;
    level = menu->actions();
    path = cut == std::string_view::npos ? std::string_view{} : path.substr(cut + 1);
  }
  return menu;
}

TEST(MenuBar, FourteenPopupsInOrder) {
  WindowFixture f;
  const QStringList expected{"&FILE",     "&EDIT",       "&VIEW",   "&POLYGON", "&MODULE",
                             "&INSTANCE", "&GROUP",      "M&OTION", "&LIGHTS",  "&RTSPS",
                             "&SYSTEMS",  "&REPOSITORY", "M&ACRO",  "&HELP"};
  QStringList titles;
  for (QAction* action : f.window->menuBar()->actions()) titles << action->text();
  EXPECT_EQ(titles, expected);
}

TEST(MenuBar, EveryTableRowIsAnItemWithItsLabelHintAndPlaceInOrder) {
  WindowFixture f;
  std::map<QMenu*, int> lastIndex;
  int rows = 0;
  for (const Command& row : commandTable()) {
    if (row.menuPath.empty() || row.separator) continue;
    ++rows;
    QMenu* menu = menuAt(f.window->menuBar(), row.menuPath);
    ASSERT_TRUE(menu) << row.menuPath;
    const QList<QAction*> items = menu->actions();
    int found = -1;
    for (int i = lastIndex.count(menu) ? lastIndex[menu] + 1 : 0; i < items.size(); ++i) {
      if (!items[i]->menu() && items[i]->text() == expectedText(row)) {
        found = i;
        break;
      }
    }
    ASSERT_GE(found, 0) << row.number << " " << row.label << " in " << row.menuPath;
    lastIndex[menu] = found;
    const auto& same = f.window->menus().actions(row.number);
    EXPECT_TRUE(std::find(same.begin(), same.end(), items[found]) != same.end()) << row.number;
    EXPECT_EQ(items[found]->isCheckable(), row.checkable) << row.number;
    EXPECT_TRUE(items[found]->shortcut().isEmpty())
        << "hints are text, not bindings: " << row.number;
  }
  EXPECT_GT(rows, 400);
}

TEST(MenuBar, RecentListsSitBeforeFilesLastTwoItemsAndIssueTheirIds) {
  WindowFixture f;
  QMenu* file = f.window->menus().popup(0);
  const QList<QAction*> items = file->actions();
  ASSERT_GE(items.size(), 5);
  const auto n = items.size();
  EXPECT_EQ(items[n - 5]->text(), "Recent WLD");
  EXPECT_EQ(items[n - 4]->text(), "Recent ASM");
  EXPECT_EQ(items[n - 3]->text(), "Recent CTY");
  EXPECT_TRUE(items[n - 2]->isSeparator());
  EXPECT_EQ(items[n - 1]->text(), "E&xit\tAlt+F4");

  addRecent(f.editor, cmd::recentAsmFirst, "ships\\R&D.asm", false);
  f.window->menus().showRecent(f.editor.recent);
  QMenu* recentAsm = items[n - 4]->menu();
  ASSERT_EQ(recentAsm->actions().size(), 1);
  EXPECT_EQ(recentAsm->actions()[0]->text(), "ships\\R&&D.asm");
  QSignalSpy issued(f.window.get(), &MainWindow::commandIssued);
  f.ui.answers.push_back(MessageAnswer::cancel);  // the file is not there: do not retry
  recentAsm->actions()[0]->trigger();
  ASSERT_EQ(issued.size(), 1);
  EXPECT_EQ(issued[0][0].toInt(), cmd::recentAsmFirst);
}

}  // namespace
}  // namespace tessarim
