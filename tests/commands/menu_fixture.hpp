#pragma once

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "commands/command_table.hpp"
#include "commands/menu_state.hpp"
#include "editor/editor.hpp"
#include "model/model.hpp"
#include "platform/clock.hpp"
#include "platform/settings_store.hpp"
#include "support/scripted_ui.hpp"

namespace tessarim::testing {

// Keeps the last state written for every popup and item, and the popup writes in order.
struct RecordingSink : MenuSink {
  void setPopupEnabled(int popupPosition, bool on) override {
    popupWrites.push_back({popupPosition, on});
  }
  void setItemEnabled(int number, bool on) override { enabled[number] = on; }
  void setItemChecked(int number, bool on) override { checked[number] = on; }

  std::vector<std::pair<int, bool>> popupWrites;
  std::map<int, bool> enabled;
  std::map<int, bool> checked;
};

// An editor over an empty model, its menu initialised.
struct MenuTest : ::testing::Test {
  MenuTest() { initMenuState(editor); }

  // One refresh, whatever the clock held.
  void refresh() { refreshMenuState(editor, 1.0f, sink); }

  // Runs the row's handler as the dispatcher would.
  bool run(int number) {
    const Command* c = findCommand(number);
    EXPECT_NE(c, nullptr) << number;
    EXPECT_NE(c->handler, nullptr) << number;
    return c->handler(editor, *c);
  }

  // An open assembly with `modules` modules of one instance each, module 0 current.
  void openAssembly(int modules = 1) {
    model.document.kind = DocumentKind::asmfile;
    model.document.documentPath = "ships\\boat.asm";
    model.document.wldfiles = static_cast<std::uint16_t>(modules);
    for (int i = 0; i < modules; ++i) model.document.module[i].instances.resize(1);
    model.selection.currentModule = 0;
    model.selection.currentInstance = 0;
  }

  Model model;
  RepositoryFolder repository;
  ScriptedUi ui;
  MemorySettingsStore store;
  ManualClock clock;
  Editor editor{Session{model, repository, ui, store, clock}};
  RecordingSink sink;
};

}  // namespace tessarim::testing
