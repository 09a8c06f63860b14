#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessarim {

namespace cmd {

// The recent-file entries' command numbers: each list numbers its entries from its first number
// on, and the dispatcher sends the whole range to the recent lists.
inline constexpr int recentWldFirst = 10000;
inline constexpr int recentAsmFirst = 11000;
inline constexpr int recentCtyFirst = 12000;
inline constexpr int recentFirst = recentWldFirst;
inline constexpr int recentLast = 12999;

}  // namespace cmd

struct Editor;
class SettingsStore;

struct RecentEntry {
  std::string name;  // stored form
  int commandId = 0;
};

// One of the three recent-file submenus, newest first, at most ten entries.
struct RecentList {
  int firstId = 0;  // cmd::recentWldFirst, recentAsmFirst or recentCtyFirst
  std::string_view kind;
  int nextId = 0;
  std::vector<RecentEntry> entries;
};

inline constexpr int recentCapacity = 10;

struct RecentLists {
  RecentList wld{cmd::recentWldFirst, "WLD", cmd::recentWldFirst, {}};
  RecentList asmList{cmd::recentAsmFirst, "ASM", cmd::recentAsmFirst, {}};
  RecentList cty{cmd::recentCtyFirst, "CTY", cmd::recentCtyFirst, {}};

  // The list whose first command id is firstId (one of the three above).
  RecentList& byId(int firstId);
};

// Puts the name (made repository-relative) on top, drops later entries equal to it ignoring
// letter case, keeps ten, and when asked writes the list to the settings store.
void addRecent(Editor& editor, int list, std::string_view name, bool save);
void saveRecent(SettingsStore& store, const RecentList& list);
// Fills a list from the settings store, entry 0 on top.
void loadRecent(Editor& editor, int list);

}  // namespace tessarim
