// One frame of motion over a generated assembly of 20,000 instances: hinged parts, sliding parts,
// plain parts and a figure of body parts.

#include <benchmark/benchmark.h>

#include <memory>

#include "equipment/motion.hpp"
#include "maths/maths.hpp"
#include "model/model.hpp"

namespace tessarim {
namespace {

std::unique_ptr<Model> assembly(int instances) {
  auto model = std::make_unique<Model>();
  model->document.kind = DocumentKind::asmfile;
  model->document.wldfiles = 200;
  for (int i = 0; i < instances; ++i) {
    Instance t;
    const int kind = i % 4;
    t.type = static_cast<std::uint8_t>(kind == 0   ? 0
                                       : kind == 1 ? 30
                                       : kind == 2 ? 34
                                                   : 100 + (i / 4) % 18);
    t.location = {static_cast<float>(i % 100), static_cast<float>(i / 100), 0};
    t.endLocation = {t.location[0], t.location[1], 5};
    t.orientation = {0.1f * static_cast<float>(i % 7), 0.2f, 0.3f};
    t.hingeAxis = {0, 0, 1};
    t.hingeOffset = {0.5f, 0, 0};
    t.hingeAngle = 1;
    t.extendRate = t.retractRate = 0.5f;
    model->document.module[i % 200].instances.push_back(t);
  }
  model->motion.extended = true;
  model->motion.endMode = EndMode::reverse;
  return model;
}

void motionFrame(benchmark::State& state) {
  auto model = assembly(static_cast<int>(state.range(0)));
  const Matrix view = lookAtRH({0, 0, 50}, {0, 0, 0}, {0, 1, 0});
  double clock = 0;
  for (auto _ : state) {
    clock += 0.016;
    benchmark::DoNotOptimize(motionStep(*model, 0.016f, clock, view));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(motionFrame)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessarim

BENCHMARK_MAIN();
