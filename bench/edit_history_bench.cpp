// One history step of an edit of a 500,000-polygon module: the commit (the module kept before
// the change), an undo and a redo, and the memory the step keeps; and the part of a commit that
// looks for numbers that are not finite in the kept module.

#include <benchmark/benchmark.h>

#include "editing/edit_history.hpp"
#include "model/finite_numbers.hpp"
#include "model/model.hpp"
#include "wld_mesh.hpp"

namespace tessarim {
namespace {

struct Document500k {
  Document500k() {
    model->document.kind = DocumentKind::asmfile;
    model->document.wldfiles = 1;
    model->document.module[0] = bench::makeGridModule(708);  // 707 x 707 quads: 499,849 polygons
    model->document.module[0].instances.resize(1);
  }
  std::unique_ptr<Model> model = std::make_unique<Model>();
  EditHistory history;
};

void BM_EditCommit(benchmark::State& state) {
  Document500k d;
  for (auto _ : state) {
    Edit edit(*d.model, d.history, "Move");
    edit.module(0).vertices[0].x += 1;
    edit.commit();
    state.PauseTiming();
    d.history.clear();  // frees the kept module outside the measured time
    state.ResumeTiming();
  }
  Edit edit(*d.model, d.history, "Move");
  edit.module(0).vertices[0].x += 1;
  edit.commit();
  state.counters["polygons"] = static_cast<double>(d.model->document.module[0].polygons.size());
  state.counters["stepMB"] = static_cast<double>(d.history.bytes()) / (1 << 20);
}
BENCHMARK(BM_EditCommit)->Unit(benchmark::kMillisecond);

// The same change keeping only the vertex list, as an edit of vertices alone does.
void BM_VertexEditCommit(benchmark::State& state) {
  Document500k d;
  for (auto _ : state) {
    Edit edit(*d.model, d.history, "Move");
    edit.vertices(0)[0].x += 1;
    edit.commit();
    state.PauseTiming();
    d.history.clear();
    state.ResumeTiming();
  }
  Edit edit(*d.model, d.history, "Move");
  edit.vertices(0)[0].x += 1;
  edit.commit();
  state.counters["stepMB"] = static_cast<double>(d.history.bytes()) / (1 << 20);
}
BENCHMARK(BM_VertexEditCommit)->Unit(benchmark::kMillisecond);

// What a commit keeping the whole module reads to tell that the edit left every number finite.
void BM_FiniteCheck(benchmark::State& state) {
  Document500k d;
  for (auto _ : state) {
    NonFiniteCount count;
    countNonFinite(d.model->document.module[0], count);
    benchmark::DoNotOptimize(count);
  }
}
BENCHMARK(BM_FiniteCheck)->Unit(benchmark::kMillisecond);

void BM_UndoRedo(benchmark::State& state) {
  Document500k d;
  {
    Edit edit(*d.model, d.history, "Move");
    edit.module(0).vertices[0].x += 1;
    edit.commit();
  }
  for (auto _ : state) {
    d.history.undo(*d.model);
    d.history.redo(*d.model);
  }
}
BENCHMARK(BM_UndoRedo)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tessarim

BENCHMARK_MAIN();
