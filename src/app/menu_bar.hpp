#pragma once

#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "commands/menu_state.hpp"

class QAction;
class QMenu;
class QMenuBar;

namespace tessarim {

struct RecentLists;

// The menu bar built from the command table, and the menu refresh's view of it.
class MenuBar : public MenuSink {
 public:
  MenuBar(QMenuBar* bar, std::function<void(int)> issue);

  void setPopupEnabled(int popupPosition, bool enabled) override;
  void setItemEnabled(int number, bool enabled) override;
  void setItemChecked(int number, bool checked) override;

  // Refills the three recent-file submenus when the lists changed since the last call.
  void showRecent(const RecentLists& lists);

  QMenu* popup(int position) const { return popups_.at(static_cast<std::size_t>(position)); }
  int popupCount() const { return static_cast<int>(popups_.size()); }
  const std::vector<QAction*>& actions(int number) const;

 private:
  QMenu* menuFor(const std::string& path);

  QMenuBar* bar_;
  std::function<void(int)> issue_;
  std::vector<QMenu*> popups_;
  std::map<std::string, QMenu*> menus_;
  std::unordered_map<int, std::vector<QAction*>> actions_;
  std::array<QMenu*, 3> recent_{};
  std::array<std::vector<int>, 3> shownRecent_;  // command ids on show, to notice changes
};

}  // namespace tessarim
