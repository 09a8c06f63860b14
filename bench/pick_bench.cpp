// Picking the instance under the cursor in a scene of 500,000 triangles, in the two shapes a scene
// takes: one large module placed once, and a small module placed many times over the view.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <utility>
#include <vector>

#include "maths/maths.hpp"
#include "model/geometry.hpp"
#include "model/model.hpp"
#include "wld_mesh.hpp"

namespace tessarim::bench {
namespace {

constexpr float pi = std::numbers::pi_v<float>;

const Viewport viewport{0, 0, 1280, 720, 0, 1};

Matrix projection() {
  return perspectiveFovRH(pi / 4, 1280.0f / 720.0f, 1, 5000);
}

// Mouse positions over a 4 x 4 grid about the window's centre, taken in turn.
std::vector<std::pair<float, float>> cursorPoints() {
  std::vector<std::pair<float, float>> points;
  for (int i = 0; i < 16; ++i)
    points.push_back(
        {400.0f + 160.0f * static_cast<float>(i % 4), 180.0f + 120.0f * static_cast<float>(i / 4)});
  return points;
}

void run(benchmark::State& state, const Model& model, const Matrix& view) {
  const Matrix proj = projection();
  const auto points = cursorPoints();
  std::size_t next = 0;
  int hits = 0;
  for (auto _ : state) {
    const auto [x, y] = points[next++ % points.size()];
    const InstancePick r = pickInstance(model, x, y, viewport, view, proj);
    hits += r.module >= 0;
    benchmark::DoNotOptimize(r);
  }
  state.counters["hitShare"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}

// 250,000 quads (a flat sheet 500 units across, facing +z) placed once, seen from above and to
// one side with the whole sheet in view: every cursor point is over it.
void pickOneLargeInstance(benchmark::State& state) {
  auto model = std::make_unique<Model>();
  model->document.kind = DocumentKind::asmfile;
  model->document.wldfiles = 1;
  Module& sheet = model->document.module[0];
  sheet = makeGridModule(501);
  Instance t;
  t.worldMatrix = identityMatrix();
  sheet.instances = {t};
  run(state, *model, lookAtRH({250, -150, 450}, {250, 250, 0}, {0, 0, 1}));
}
BENCHMARK(pickOneLargeInstance)->Unit(benchmark::kMicrosecond);

// A closed ball of unit radius: 10 bands of 25 cells, two outward-facing triangles a cell (those
// at the poles have no area), 500 triangles.
Module ball() {
  constexpr int bands = 10, slices = 25;
  Module m;
  for (int b = 0; b <= bands; ++b) {
    const float polar = pi * static_cast<float>(b) / bands;
    for (int s = 0; s < slices; ++s) {
      const float around = 2 * pi * static_cast<float>(s) / slices;
      m.vertices.push_back({std::sin(polar) * std::cos(around), std::sin(polar) * std::sin(around),
                            std::cos(polar)});
    }
  }
  const auto at = [](int b, int s) { return static_cast<std::uint32_t>(b * slices + s % slices); };
  Polygon p;
  p.sides = 3;
  for (int b = 0; b < bands; ++b) {
    for (int s = 0; s < slices; ++s) {
      p.vertexIndex = {at(b, s), at(b + 1, s + 1), at(b + 1, s), 0};
      m.polygons.push_back(p);
      p.vertexIndex = {at(b, s), at(b, s + 1), at(b + 1, s + 1), 0};
      m.polygons.push_back(p);
    }
  }
  return m;
}

// The ball placed 1,000 times over a 40 x 25 grid filling the view, each turned, stretched and
// set at its own depth.
void pickAmongManyInstances(benchmark::State& state) {
  auto model = std::make_unique<Model>();
  model->document.kind = DocumentKind::asmfile;
  model->document.wldfiles = 1;
  Module& module = model->document.module[0];
  module = ball();
  for (int i = 0; i < 1000; ++i) {
    const float column = static_cast<float>(i % 40), row = static_cast<float>(i / 40);
    const float k = 0.7f + 0.05f * static_cast<float>(i % 7);
    Instance t;
    t.worldMatrix = multiply(
        multiply(scaling(k, k * 0.8f, k * 1.2f),
                 rotationYawPitchRoll(0.37f * column, 0.5f * row, 0.11f * static_cast<float>(i))),
        translation(-41 + 2.1f * column, -24 + 2 * row, static_cast<float>(i % 5) - 2));
    module.instances.push_back(t);
  }
  run(state, *model, lookAtRH({0, 0, 60}, {0, 0, 0}, {0, 1, 0}));
}
BENCHMARK(pickAmongManyInstances)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tessarim::bench

BENCHMARK_MAIN();
