// Module geometry: picking a polygon of a 100,000-polygon module under the mouse, the statistics
// pass over an assembly of 20,000 instances, and texel generation for every polygon of a
// 100,000-polygon module.

#include <benchmark/benchmark.h>

#include <memory>
#include <numbers>

#include "maths/maths.hpp"
#include "model/geometry.hpp"
#include "model/model.hpp"
#include "wld_mesh.hpp"

namespace tessarim::bench {
namespace {

// The terrain-like sheet of the WLD benchmarks, 610 units across: 59,536 vertices, every cell
// covered by one or two of the 100,000 polygons.
Module sheet() {
  return makeMesh({.polygons = 100'000, .gridSide = 244, .duplicates = 0});
}

void pickPolygon(benchmark::State& state) {
  const Module mesh = sheet();
  // The sheet's polygons face -z: the eye looks up at it from below and to one side, as an
  // artist orbiting a hull would, with the whole sheet in a 1280 x 720 view.
  const Viewport viewport{0, 0, 1280, 720, 0, 1};
  const Matrix view = lookAtRH({0, -450, -420}, {0, 0, 0}, {0, 0, -1});
  const Matrix projection =
      perspectiveFovRH(std::numbers::pi_v<float> / 4, 1280.0f / 720.0f, 1, 5000);
  const Matrix world = identityMatrix();
  // Mouse positions over a grid of the window's middle, taken in turn.
  std::vector<std::pair<float, float>> points;
  for (int i = 0; i < 16; ++i)
    points.push_back(
        {320.0f + 160.0f * static_cast<float>(i % 4), 180.0f + 120.0f * static_cast<float>(i / 4)});
  std::size_t next = 0;
  int hits = 0;
  for (auto _ : state) {
    const auto [x, y] = points[next++ % points.size()];
    const PickResult r = pick(mesh, world, x, y, false, 0, viewport, view, projection);
    hits += r.hitCount > 0;
    benchmark::DoNotOptimize(r);
  }
  state.counters["hitShare"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(mesh.polygons.size()));
}
BENCHMARK(pickPolygon)->Unit(benchmark::kMicrosecond);

void statistics(benchmark::State& state) {
  // 256 modules of 200 to 2,000 vertices, 20,000 instances spread over them.
  auto model = std::make_unique<Model>();
  model->document.kind = DocumentKind::asmfile;
  model->document.wldfiles = maxModules;
  std::size_t vertices = 0;
  for (int m = 0; m < maxModules; ++m) {
    Module& module = model->document.module[m];
    module.scaleClass = static_cast<std::int16_t>(1 + m % 13);
    module.vertices = makeVertexCloud(200 + static_cast<std::size_t>(m * 7 % 1801), 0);
    vertices += module.vertices.size();
  }
  for (int i = 0; i < 20'000; ++i) {
    Instance t;
    t.location = {static_cast<float>(i % 150) * 2, static_cast<float>(i / 150) * 2,
                  static_cast<float>(i % 7)};
    model->document.module[i % maxModules].instances.push_back(t);
  }
  for (auto _ : state) {
    computeStatistics(*model);
    benchmark::DoNotOptimize(model->status.encompassingRadius);
  }
  state.counters["vertices"] = static_cast<double>(vertices);
}
BENCHMARK(statistics)->Unit(benchmark::kMicrosecond);

void generateAllTexels(benchmark::State& state) {
  auto model = std::make_unique<Model>();
  model->document.wldfiles = 1;
  model->document.module[0] = sheet();
  for (auto _ : state) {
    // After the first pass every angle is set, so each pass also turns and places the texels.
    generateTexels(*model, 0, 0, allPolygons);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() *
                          static_cast<std::int64_t>(model->document.module[0].polygons.size()));
}
BENCHMARK(generateAllTexels)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessarim::bench

BENCHMARK_MAIN();
