// Delete of 100,000 polygons listed in no particular order from a 500,000-polygon module, one
// Undo Edit of it, and Duplicate of 1,000 listed instances.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "bench_editor.hpp"
#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "editor/editor.hpp"
#include "model/model.hpp"
#include "platform/clock.hpp"
#include "platform/settings_store.hpp"
#include "wld_mesh.hpp"

namespace tessarim {
namespace {

constexpr std::uint32_t gridPolygons = 499'849;  // makeGridModule(708): 707 x 707 quads
constexpr std::uint32_t selected = 100'000;

struct Bench : bench::EditorBench {
  Bench() { model->document.kind = DocumentKind::asmfile; }
};

// The grid module with 100,000 polygons selected, spread over it in a scattered order (a
// multiplier prime to the count visits distinct polygons).
void selectScattered(Bench& b) {
  Model& m = *b.model;
  m.document.wldfiles = 1;
  m.document.module[0] = bench::makeGridModule(708);
  m.document.module[0].instances.resize(1);
  m.selection.currentModule = 0;
  m.selection.currentInstance = 0;
  m.selection.currentPolygon = -2;
  for (std::uint32_t i = 0; i < selected; ++i)
    m.selection.selectedPolygons.push_back(
        static_cast<std::uint32_t>(std::uint64_t{i} * 104'729 % gridPolygons));
}

void BM_Delete100kPolygons(benchmark::State& state) {
  Bench b;
  selectScattered(b);
  for (auto _ : state) {
    if (issueCommand(b.editor, cmd::deleteSelection) != CommandOutcome::done)
      state.SkipWithError("Delete did not run");
    state.PauseTiming();
    issueCommand(b.editor, cmd::undoEdit);  // the module and the selection as they were
    state.ResumeTiming();
  }
  issueCommand(b.editor, cmd::deleteSelection);
  const Module& m = b.model->document.module[0];
  state.counters["polygonsLeft"] = static_cast<double>(m.polygons.size());
  state.counters["verticesLeft"] = static_cast<double>(m.vertices.size());
  state.counters["stepMB"] = static_cast<double>(b.editor.history.bytes()) / (1 << 20);
}
BENCHMARK(BM_Delete100kPolygons)->Unit(benchmark::kMillisecond);

void BM_UndoDelete100kPolygons(benchmark::State& state) {
  Bench b;
  selectScattered(b);
  bench::measureUndo(state, b.editor, cmd::deleteSelection);
}
BENCHMARK(BM_UndoDelete100kPolygons)->Unit(benchmark::kMillisecond);

// 20 modules of 50 instances each, every instance listed.
void BM_Duplicate1000Instances(benchmark::State& state) {
  Bench b;
  Model& m = *b.model;
  m.document.wldfiles = 20;
  for (int k = 0; k < 20; ++k) {
    m.document.module[k] = bench::makeGridModule(11);
    m.document.module[k].instances.resize(50);
    for (int i = 0; i < 50; ++i)
      m.selection.selectedInstances.push_back(
          {static_cast<std::int16_t>(k), static_cast<std::int16_t>(i)});
  }
  m.selection.currentModule = -2;
  for (auto _ : state) {
    if (issueCommand(b.editor, cmd::duplicate) != CommandOutcome::done)
      state.SkipWithError("Duplicate did not run");
    state.PauseTiming();
    issueCommand(b.editor, cmd::undoEdit);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Duplicate1000Instances)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tessarim

BENCHMARK_MAIN();
