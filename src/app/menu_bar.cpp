#include "menu_bar.hpp"

#include <QMenu>
#include <QMenuBar>

#include "commands/command_table.hpp"
#include "editor/recent_files.hpp"

namespace tessarim {
namespace {

QString qtText(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A file name shown as a menu entry: its ampersands are not mnemonics.
QString entryText(const std::string& name) {
  return QString::fromStdString(name).replace('&', "&&");
}

}  // namespace

MenuBar::MenuBar(QMenuBar* bar, std::function<void(int)> issue)
    : bar_(bar), issue_(std::move(issue)) {
  for (const Command& row : commandTable()) {
    if (row.menuPath.empty()) continue;
    QMenu* menu = menuFor(std::string{row.menuPath});
    if (row.separator) {
      menu->addSeparator();
      continue;
    }
    QString label = qtText(row.label);
    if (!row.hint.empty()) label += '\t' + qtText(row.hint);
    QAction* action = menu->addAction(label);
    action->setCheckable(row.checkable);
    action->setEnabled(!row.greyed);
    const int number = row.number;
    QObject::connect(action, &QAction::triggered, bar_, [this, number] { issue_(number); });
    actions_[number].push_back(action);
  }

  // The recent lists go before FILE's last two entries, the separator and Exit.
  QMenu* file = popups_.front();
  const auto items = file->actions();
  QAction* before = items.size() >= 2 ? items[items.size() - 2] : nullptr;
  const char* titles[3] = {"Recent WLD", "Recent ASM", "Recent CTY"};
  for (int i = 0; i < 3; ++i) {
    recent_[i] = new QMenu(QString::fromLatin1(titles[i]), file);
    file->insertMenu(before, recent_[i]);
  }
}

QMenu* MenuBar::menuFor(const std::string& path) {
  if (auto found = menus_.find(path); found != menus_.end()) return found->second;
  const auto bar = path.rfind('|');
  QMenu* menu;
  if (bar == std::string::npos) {
    menu = bar_->addMenu(qtText(path));
    popups_.push_back(menu);
  } else {
    QMenu* parent = menuFor(path.substr(0, bar));
    menu = parent->addMenu(qtText(std::string_view{path}.substr(bar + 1)));
  }
  menus_.emplace(path, menu);
  return menu;
}

void MenuBar::setPopupEnabled(int popupPosition, bool enabled) {
  if (popupPosition >= 0 && popupPosition < popupCount())
    popup(popupPosition)->menuAction()->setEnabled(enabled);
}

void MenuBar::setItemEnabled(int number, bool enabled) {
  for (QAction* action : actions(number)) action->setEnabled(enabled);
}

void MenuBar::setItemChecked(int number, bool checked) {
  for (QAction* action : actions(number)) action->setChecked(checked);
}

const std::vector<QAction*>& MenuBar::actions(int number) const {
  static const std::vector<QAction*> none;
  auto found = actions_.find(number);
  return found == actions_.end() ? none : found->second;
}

void MenuBar::showRecent(const RecentLists& lists) {
  const RecentList* all[3] = {&lists.wld, &lists.asmList, &lists.cty};
  for (int i = 0; i < 3; ++i) {
    std::vector<int> ids;
    for (const RecentEntry& entry : all[i]->entries) ids.push_back(entry.commandId);
    if (ids == shownRecent_[i]) continue;
    shownRecent_[i] = ids;
    recent_[i]->clear();
    for (const RecentEntry& entry : all[i]->entries) {
      QAction* action = recent_[i]->addAction(entryText(entry.name));
      const int id = entry.commandId;
      QObject::connect(action, &QAction::triggered, bar_, [this, id] { issue_(id); });
    }
  }
}

}  // namespace tessarim
