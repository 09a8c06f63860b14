#pragma once

// An editor for the command benchmarks: the model on the heap (too large for the stack) and
// silent seams; and one Undo Edit measured apart from its command.

#include <benchmark/benchmark.h>

#include <memory>

#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "editor/editor.hpp"
#include "model/model.hpp"
#include "platform/clock.hpp"
#include "platform/settings_store.hpp"
#include "wld_mesh.hpp"

namespace tessarim::bench {

struct EditorBench {
  std::unique_ptr<Model> model = std::make_unique<Model>();
  RepositoryFolder repository;
  SilentUi ui;
  MemorySettingsStore store;
  ManualClock clock;
  Editor editor{Session{*model, repository, ui, store, clock}};
};

// Runs `command` once, then measures one Undo Edit of it per iteration; the command is redone
// outside the measured time.
inline void measureUndo(benchmark::State& state, Editor& editor, int command) {
  if (issueCommand(editor, command) != CommandOutcome::done) {
    state.SkipWithError("the command did not run");
    return;
  }
  for (auto _ : state) {
    if (issueCommand(editor, cmd::undoEdit) != CommandOutcome::done)
      state.SkipWithError("Undo Edit did not run");
    state.PauseTiming();
    issueCommand(editor, cmd::redoEdit);
    state.ResumeTiming();
  }
}

}  // namespace tessarim::bench
