// Commands on a 500,000-polygon module: Backface over 100,000 selected polygons, Split of one
// quad (a step that keeps only the split quad and the count of polygons, beside the same split
// keeping the whole polygon list), Duplicate of its instance, and one Undo Edit of each.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "bench_editor.hpp"
#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "editing/edit_history.hpp"
#include "editor/editor.hpp"
#include "model/model.hpp"
#include "platform/clock.hpp"
#include "platform/settings_store.hpp"
#include "wld_mesh.hpp"

namespace tessarim {
namespace {

constexpr int selected = 100'000;

struct Module500k : bench::EditorBench {
  Module500k() {
    Model& m = *model;
    m.document.kind = DocumentKind::asmfile;
    m.document.documentPath = "ships\\bench.asm";
    m.document.wldfiles = 1;
    m.document.module[0] = bench::makeGridModule(708);  // 707 x 707 quads: 499,849 polygons
    m.document.module[0].instances.resize(1);
    m.selection.currentModule = 0;
    m.selection.currentInstance = 0;
  }
  // Every fifth polygon, in the order a selection made by clicks may hold them.
  void selectSpread() {
    Selection& s = model->selection;
    s.currentPolygon = -2;
    s.selectedPolygons.clear();
    for (std::uint32_t i = 0; i < selected; ++i)
      s.selectedPolygons.push_back((i * 5 + 7) % 499'849);
  }
  double stepMB() const { return static_cast<double>(editor.history.bytes()) / (1 << 20); }
};

void BM_Backface100kSelected(benchmark::State& state) {
  Module500k d;
  d.selectSpread();
  for (auto _ : state) {
    if (issueCommand(d.editor, cmd::backface) != CommandOutcome::done)
      state.SkipWithError("Backface did not run");
    state.PauseTiming();
    d.editor.history.clear();  // frees the kept polygons outside the measured time
    state.ResumeTiming();
  }
  issueCommand(d.editor, cmd::backface);
  state.counters["stepMB"] = d.stepMB();
}
BENCHMARK(BM_Backface100kSelected)->Unit(benchmark::kMillisecond);

void BM_UndoBackface100kSelected(benchmark::State& state) {
  Module500k d;
  d.selectSpread();
  bench::measureUndo(state, d.editor, cmd::backface);
}
BENCHMARK(BM_UndoBackface100kSelected)->Unit(benchmark::kMillisecond);

void BM_SplitQuad(benchmark::State& state) {
  Module500k d;
  d.model->selection.currentPolygon = 250'000;
  for (auto _ : state) {
    if (issueCommand(d.editor, cmd::split) != CommandOutcome::done)
      state.SkipWithError("Split did not run");
    state.PauseTiming();
    issueCommand(d.editor, cmd::undoEdit);
    d.editor.history.clear();
    state.ResumeTiming();
  }
  issueCommand(d.editor, cmd::split);
  state.counters["stepMB"] = d.stepMB();
}
BENCHMARK(BM_SplitQuad)->Unit(benchmark::kMillisecond);

void BM_UndoSplitQuad(benchmark::State& state) {
  Module500k d;
  d.model->selection.currentPolygon = 250'000;
  bench::measureUndo(state, d.editor, cmd::split);
}
BENCHMARK(BM_UndoSplitQuad)->Unit(benchmark::kMillisecond);

// A copy of the instance: the module's geometry is shared, not copied.
void BM_DuplicateInstance(benchmark::State& state) {
  Module500k d;
  for (auto _ : state) {
    if (issueCommand(d.editor, cmd::duplicate) != CommandOutcome::done)
      state.SkipWithError("Duplicate did not run");
    state.PauseTiming();
    issueCommand(d.editor, cmd::undoEdit);
    d.editor.history.clear();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DuplicateInstance)->Unit(benchmark::kMillisecond);

void BM_UndoDuplicateInstance(benchmark::State& state) {
  Module500k d;
  bench::measureUndo(state, d.editor, cmd::duplicate);
}
BENCHMARK(BM_UndoDuplicateInstance)->Unit(benchmark::kMillisecond);

// The same change with the whole polygon list kept: what the step would cost without the
// one-by-one part.
void BM_SplitKeepingTheWholeList(benchmark::State& state) {
  Module500k d;
  const auto split = [&] {
    Edit edit(*d.model, d.editor.history, "Split");
    std::vector<Polygon>& list = edit.polygons(0);
    Polygon second = list[250'000];
    second.sides = 3;
    list[250'000].sides = 3;
    list.push_back(second);
    edit.commit();
  };
  for (auto _ : state) {
    split();
    state.PauseTiming();
    d.editor.history.undo(*d.model);
    d.editor.history.clear();
    state.ResumeTiming();
  }
  split();
  state.counters["stepMB"] = d.stepMB();
}
BENCHMARK(BM_SplitKeepingTheWholeList)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessarim

BENCHMARK_MAIN();
