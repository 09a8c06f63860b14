#include "editor/recent_files.hpp"

#include <algorithm>

#include "editor/editor.hpp"
#include "model/model.hpp"
#include "model/text_compare.hpp"
#include "platform/settings_store.hpp"

namespace tessarim {
namespace {

std::string valueName(const RecentList& list, int index) {
  return "MRU\\" + std::string{list.kind} + std::to_string(index);
}

}  // namespace

RecentList& RecentLists::byId(int firstId) {
  if (firstId == asmList.firstId) return asmList;
  if (firstId == cty.firstId) return cty;
  return wld;
}

void addRecent(Editor& editor, int list, std::string_view name, bool save) {
  Session& session = editor.session;
  RecentList& recent = editor.recent.byId(list);
  std::string relative{name};
  makeRelative(session.repository, relative);
  if (!relative.empty()) {
    recent.entries.insert(recent.entries.begin(), RecentEntry{relative, recent.nextId++});
    auto later = std::remove_if(recent.entries.begin() + 1, recent.entries.end(), [&](auto& e) {
      std::string other = e.name;
      makeRelative(session.repository, other);
      return equalIgnoringCase(other, relative);
    });
    recent.entries.erase(later, recent.entries.end());
    if (recent.entries.size() > recentCapacity) recent.entries.resize(recentCapacity);
  }
  if (save) saveRecent(session.store, recent);
}

void saveRecent(SettingsStore& store, const RecentList& list) {
  for (std::size_t i = 0; i < list.entries.size(); ++i) {
    store.writeString(recentKey, valueName(list, static_cast<int>(i)), list.entries[i].name);
  }
}

void loadRecent(Editor& editor, int list) {
  for (int i = recentCapacity - 1; i >= 0; --i) {
    auto name = editor.session.store.readString(recentKey, valueName(editor.recent.byId(list), i));
    if (name && !name->empty()) addRecent(editor, list, *name, false);
  }
}

}  // namespace tessarim
