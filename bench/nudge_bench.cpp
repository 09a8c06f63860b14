// An arrow key nudging one instance in a 500,000-triangle scene (1,000 placements of a
// 500-triangle module), and the frame that follows it: what the nudge leaves to rebuild and
// upload. Beside it, the full rebuild a geometry change costs in the same scene.

#include <benchmark/benchmark.h>

#include <memory>

#include "bench_editor.hpp"
#include "editor/editor.hpp"
#include "editor/frame.hpp"
#include "editor/keyboard_edits.hpp"
#include "model/model.hpp"
#include "platform/clock.hpp"
#include "platform/settings_store.hpp"
#include "scene/geometry_builder.hpp"
#include "wld_mesh.hpp"

namespace tessarim {
namespace {

struct Scene : bench::EditorBench {
  Scene() {
    Model& m = *model;
    m.document.kind = DocumentKind::asmfile;
    m.document.documentPath = "ships\\bench.asm";
    m.document.wldfiles = 1;
    m.document.module[0] = bench::makeGridModule(17);  // 16 x 16 quads: 512 triangles
    m.document.module[0].instances.resize(1000);
    for (std::size_t i = 0; i < 1000; ++i) {
      Instance& t = m.document.module[0].instances[i];
      t.location = {static_cast<float>(i % 40) * 20, static_cast<float>(i / 40) * 20, 0};
    }
    m.selection.currentModule = 0;
    m.selection.currentInstance = 500;
    noteChanges(m, Change::geometry);
    frameMove(frameParts(editor), 0.016f);
  }
};

void BM_NudgeAndFrame(benchmark::State& state) {
  Scene s;
  const std::uint64_t revision = s.editor.frame.sceneRevision;
  for (auto _ : state) {
    viewKeyDown(s.editor, ViewKey::right, {});
    frameMove(frameParts(s.editor), 0.016f);
  }
  state.counters["triangles"] = static_cast<double>(s.editor.scene.vertices.size() / 3);
  // Rebuilds the nudges caused: each one would be uploaded again.
  state.counters["rebuilds"] = static_cast<double>(s.editor.frame.sceneRevision - revision);
}
BENCHMARK(BM_NudgeAndFrame)->Unit(benchmark::kMillisecond);

// What any change of the drawn vertices costs in the same scene.
void BM_FullRebuild(benchmark::State& state) {
  Scene s;
  for (auto _ : state) buildGeometry(*s.model, s.editor.scene);
}
BENCHMARK(BM_FullRebuild)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessarim

BENCHMARK_MAIN();
