#include "commands/menu_state.hpp"

#include <bitset>
#include <cassert>
#include <vector>

#include "commands/command_table.hpp"
#include "commands/menu_context.hpp"
#include "commands/view_commands.hpp"
#include "editor/editor.hpp"
#include "model/model.hpp"

namespace tessarim {
namespace {

constexpr float refreshInterval = 0.3f;  // seconds of frame time between refreshes

// The menu rows the refresh writes: items with an enabling rule or a check mark, each number
// once. Built on first use.
struct Written {
  std::vector<const Command*> enabling;
  std::vector<const Command*> checking;
};

const Written& written() {
  static const Written w = [] {
    Written out;
    std::bitset<65536> seenEnable, seenCheck;
    for (const Command& c : commandTable()) {
      if (c.separator || c.number == 0 || c.menuPath.empty()) continue;
      if (c.enabled != nullptr && !seenEnable[c.number]) {
        seenEnable[c.number] = true;
        out.enabling.push_back(&c);
      }
      if (c.checked != nullptr && !seenCheck[c.number]) {
        seenCheck[c.number] = true;
        out.checking.push_back(&c);
      }
    }
    return out;
  }();
  return w;
}

// Step 2: the popups whose enabling depends on the document, written only on change.
void writePopups(Editor& editor, MenuSink& sink) {
  const Model& m = editor.model();
  const bool assembly = isAssembly(m.document), city = isCity(m.document);
  const int cm = m.selection.currentModule, ci = m.selection.currentInstance;
  const std::array<bool, 6> want{
      (assembly || city) && cm != -1,
      assembly || city,
      assembly && (cm == -2 || (cm >= 0 && ci >= 0)),
      assembly || city,
      city,
      assembly,
  };
  for (std::size_t i = 0; i < want.size(); ++i) {
    auto& remembered = editor.menu.menuBarState[i];
    if (remembered == want[i]) continue;
    remembered = want[i];
    sink.setPopupEnabled(modelPopupPositions[i], want[i]);
  }
}

// Step 3: a multi-selection of one instance becomes the current instance.
void collapseSelection(Selection& sel) {
  if (sel.currentModule != -2 || sel.selectedInstances.size() != 1) return;
  sel.currentModule = sel.selectedInstances[0].module;
  sel.currentInstance = sel.selectedInstances[0].instance;
  sel.selectedInstances.clear();
}

}  // namespace

bool commandEnabled(const Editor& editor, const Command& command) {
  if (command.greyed) return false;
  if (command.enabled == nullptr) return true;
  return command.enabled(MenuContext(editor), command);
}

void initMenuState(Editor& editor) {
  editor.menu.initialized = true;
}

void refreshMenuState(Editor& editor, float elapsedSeconds, MenuSink& sink) {
  assert(editor.menu.initialized && "Menu");
  MenuRefreshState& menu = editor.menu;
  menu.menuRefreshClock += elapsedSeconds;
  if (menu.menuRefreshClock <= refreshInterval) return;
  menu.menuRefreshClock -= refreshInterval;

  writePopups(editor, sink);
  Model& model = editor.model();
  collapseSelection(model.selection);

  const MenuContext context(editor);
  // A mesh's modified state lives in its module; the document flag follows it.
  if (context.mesh) model.status.documentModified = context.modified;

  const Written& w = written();
  for (const Command* c : w.checking) sink.setItemChecked(c->number, c->checked(context, *c));
  for (const Command* c : w.enabling) {
    const bool on = c->enabled(context, *c);
    menu.greyed[c->number] = !on;
    sink.setItemEnabled(c->number, on);
  }

  // Step 6: texel view ends when its item would be greyed.
  ViewOptions& view = model.settings.view;
  if (view.texelView && !canShowTexels(context, Command{})) {
    view.texelView = false;
    view.slidersHidden = view.systemsView;
    noteChanges(model, Change::geometry);
  }

  // Step 7: the systems overlay parks the time-of-day and culling flags while it is on.
  if (view.systemsView && !menu.systemsViewParked) {
    menu.systemsViewParked = true;
    menu.parkedLightingSliders = view.lightingSliders;
    menu.parkedBackfaceCulling = view.backfaceCulling;
    view.lightingSliders = false;
    view.backfaceCulling = false;
    view.slidersHidden = true;
  } else if (!view.systemsView && menu.systemsViewParked) {
    // Switched off by something other than "Show None": the parked flags come back as well.
    menu.systemsViewParked = false;
    view.lightingSliders = menu.parkedLightingSliders;
    view.backfaceCulling = menu.parkedBackfaceCulling;
    view.slidersHidden = view.texelView;
  }
}

}  // namespace tessarim
