#include "commands/instance_code_commands.hpp"

#include <algorithm>
#include <utility>

#include "commands/command_table.hpp"
#include "commands/menu_context.hpp"
#include "commands/view_commands.hpp"
#include "editing/edit_history.hpp"
#include "editor/editor.hpp"
#include "model/model.hpp"

namespace tessarim {
namespace {

// The modules the sort may move: all but a city's ground grid, which stays last.
int sortableModules(const Document& d) {
  return isCity(d) ? d.wldfiles - 1 : d.wldfiles;
}

// A module without instances has no first instance to rank; it ranks as an ordinary one.
int moduleRank(const Module& m) {
  return m.instances.empty() ? 0 : drawRank(m.instances.front());
}

template <class Key>
bool bubbleSort(Model& model, Edit& edit, int count, Key key) {
  bool moved = false;
  for (bool swapped = true; swapped;) {
    swapped = false;
    for (int i = 0; i + 1 < count; ++i) {
      const Document& d = model.document;
      if (!(key(d.module[i + 1]) < key(d.module[i]))) continue;
      Document& doc = edit.document();  // the whole table renumbers
      std::swap(doc.module[i], doc.module[i + 1]);
      Selection& s = model.selection;
      if (s.currentModule == i) {
        s.currentModule = static_cast<std::int16_t>(i + 1);
      } else if (s.currentModule == i + 1) {
        s.currentModule = static_cast<std::int16_t>(i);
      }
      for (InstanceRef& r : s.selectedInstances) {
        if (r.module == i) {
          r.module = static_cast<std::int16_t>(i + 1);
        } else if (r.module == i + 1) {
          r.module = static_cast<std::int16_t>(i);
        }
      }
      swapped = moved = true;
    }
  }
  return moved;
}

// Writes one code into every instance the command acts on, then puts the modules in draw order:
// one edit. Types and groups are read by the drawing every frame, so nothing is rebuilt for them.
template <class Write>
bool writeCodes(Editor& editor, const char* name, const std::vector<InstanceRef>& refs, bool resort,
                Write write, int browseGroup = -1) {
  if (refs.empty()) return false;
  Model& model = editor.model();
  Edit edit(model, editor.history, name);
  for (const InstanceRef r : refs) write(edit.placements(r.module)[r.instance]);
  if (browseGroup > 0) model.selection.currentGroup = static_cast<std::int16_t>(browseGroup);
  if (resort) sortModulesByDrawOrder(model, edit);
  edit.report(Change::modified | Change::selection);
  edit.commit();
  return true;
}

}  // namespace

int drawRank(const Instance& t) {
  int rank = 0;
  switch (t.type) {
    case 91:
      rank = -6;
      break;
    case 92:
      rank = -5;
      break;
    case 9:
    case 99:
      rank = -4;
      break;
    case 31:
      rank = -3;
      break;
    case 6:
      rank = -2;
      break;
    case 3:
    case 5:
      rank = -1;
      break;
    default:
      break;
  }
  if (t.group == 998 || t.type == 47) rank = -3;
  switch (t.type) {
    case 51:
    case 57:
    case 116:
    case 200:
    case 205:
    case 210:
    case 215:
    case 220:
    case 225:
    case 251:
      rank = 1;
      break;
    default:
      break;
  }
  if (t.group >= 451 && t.group <= 474) rank = 1;
  if (t.type == 116) rank = 1;
  return rank;
}

bool sortModulesByDrawOrder(Model& model, Edit& edit) {
  const Document& d = model.document;
  if (isCity(d) && d.rtsEnabled) return false;
  const int count = sortableModules(d);
  const bool byKey = bubbleSort(model, edit, count, [](const Module& m) { return m.sortKey; });
  const bool byRank = bubbleSort(model, edit, count, moduleRank);
  return byKey || byRank;
}

bool setInstanceType(Editor& editor, const Command& command) {
  return writeCodes(editor, "Set Type", selectedInstanceRefs(editor.model()), true,
                    [&](Instance& t) { t.type = static_cast<std::uint8_t>(command.code); });
}

bool setInstanceGroup(Editor& editor, const Command& command) {
  Model& model = editor.model();
  const int browsed = model.selection.currentGroup;
  std::vector<InstanceRef> refs;
  if (browsed > 0) {
    for (int m = 0; m < model.document.wldfiles; ++m) {
      const auto& instances = model.document.module[m].instances;
      for (std::size_t i = 0; i < instances.size() && i <= 0x7FFF; ++i) {
        if (instances[i].group == browsed)
          refs.push_back({static_cast<std::int16_t>(m), static_cast<std::int16_t>(i)});
      }
    }
  } else {
    refs = selectedInstanceRefs(model);
  }
  const auto code = static_cast<std::int16_t>(command.code);
  return writeCodes(
      editor, "Set Group", refs, true, [&](Instance& t) { t.group = code; },
      browsed > 0 ? code : -1);
}

bool assignPeoplePackage(Editor& editor, const Command& command) {
  if (!setInstanceGroup(editor, command)) return false;
  // The package's slot is the one its Display item shows.
  for (const Command& row : commandTable()) {
    if (row.handler == setPeopleDisplay && row.code == command.code) {
      setPeopleDisplay(editor, row);
      break;
    }
  }
  return true;
}

bool setColourKey(Editor& editor, const Command& command) {
  return writeCodes(editor, "Set Color Key", selectedInstanceRefs(editor.model()), false,
                    [&](Instance& t) { t.colourKey = static_cast<std::int16_t>(command.code); });
}

bool optimizeOrder(Editor& editor, const Command&) {
  Model& model = editor.model();
  Edit edit(model, editor.history, "Optimize Order");
  sortModulesByDrawOrder(model, edit);
  edit.report(Change::selection);
  edit.commit();
  return true;
}

bool canOptimizeOrder(const MenuContext& c, const Command&) {
  return c.n >= 2;
}
}  // namespace tessarim
