#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessarim {

struct Editor;
class SettingsStore;

struct RecentEntry {
  std::string name;  // stored form
  int commandId = 0;
};

// One of the three recent-file submenus, newest first, at most ten entries.
struct RecentList {
  int firstId = 0;  // 10000 WLD, 11000 ASM, 12000 CTY
  std::string_view kind;
  int nextId = 0;
  std::vector<RecentEntry> entries;
};

inline constexpr int recentCapacity = 10;

struct RecentLists {
  RecentList wld{10000, "WLD", 10000, {}};
  RecentList asmList{11000, "ASM", 11000, {}};
  RecentList cty{12000, "CTY", 12000, {}};

  // The list whose first command id is 10000, 11000 or 12000.
  RecentList& byId(int firstId);
};

// Puts the name (made repository-relative) on top, drops later entries equal to it ignoring
// letter case, keeps ten, and when asked writes the list to the settings store.
void addRecent(Editor& editor, int list, std::string_view name, bool save);
void saveRecent(SettingsStore& store, const RecentList& list);
// Fills a list from the settings store, entry 0 on top.
void loadRecent(Editor& editor, int list);

}  // namespace tessarim
