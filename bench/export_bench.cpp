// The geometry builder and the runtime export on generated assemblies: ten meshes of jittered
// terrain-like sheets, every polygon Gouraud-shaded, about 125,000 to 500,000 triangles in all
// (the old fixed limit was 40,000). The build's complexity is fitted over the three sizes; the
// export reports bytes per second over every file it writes (the DAW holds 68 bytes a vertex).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "export/runtime_export.hpp"
#include "model/model.hpp"
#include "model/session.hpp"
#include "platform/clock.hpp"
#include "platform/settings_store.hpp"
#include "scene/geometry_builder.hpp"
#include "wld_mesh.hpp"

namespace tessarim::bench {
namespace {

namespace fs = std::filesystem;

// Ten meshes: an instance of the current DIX holds at most 65,535 triangles.
constexpr int meshes = 10;

// About `triangles` triangles: makeMesh gives 1.4 triangles a polygon (two fifths are quads).
std::unique_ptr<Model> assembly(std::int64_t triangles) {
  auto model = std::make_unique<Model>();
  model->document.kind = DocumentKind::asmfile;
  model->document.documentPath = "bench.asm";
  const Module sheet = makeMesh(
      {.polygons = static_cast<int>(triangles * 5 / 7 / meshes), .gridSide = 244, .duplicates = 0});
  for (int m = 0; m < meshes; ++m) {
    Module& module = model->document.module[model->document.wldfiles++];
    module = sheet;
    module.filename = "meshes\\sheet" + std::to_string(m) + ".wld";
    module.newScaleFamily = 1;
    for (Polygon& p : module.polygons) p.smooth = 1;
    Instance t;
    t.location = {static_cast<float>(m % 5) * 700, static_cast<float>(m / 5) * 700, 0};
    module.instances.push_back(t);
  }
  return model;
}

void buildGeometryBench(benchmark::State& state) {
  auto model = assembly(state.range(0));
  auto scene = std::make_unique<SceneGeometry>();
  GeometryBuild built = buildGeometry(*model, *scene);  // arrays at their size
  std::int64_t triangles = built.triangles;
  int removed = built.removedPolygons;
  for (auto _ : state) {
    built = buildGeometry(*model, *scene);
    triangles = built.triangles;
    removed += built.removedPolygons;
    benchmark::DoNotOptimize(scene->vertices.data());
  }
  state.counters["triangles"] = static_cast<double>(triangles);
  state.counters["removed polygons"] = removed;
  state.SetComplexityN(triangles);
  state.SetItemsProcessed(state.iterations() * triangles);
}
BENCHMARK(buildGeometryBench)
    ->Arg(125'000)
    ->Arg(250'000)
    ->Arg(500'000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

void exportRuntimeSetBench(benchmark::State& state) {
  auto model = assembly(state.range(0));
  const fs::path root = fs::temp_directory_path() / "tessarim-export-bench";
  fs::remove_all(root);
  fs::create_directories(root);
  RepositoryFolder repository = makeRepositoryFolder(root.string());
  SilentUi ui;
  MemorySettingsStore store;
  ManualClock clock;
  Session session{*model, repository, ui, store, clock};
  auto scene = std::make_unique<SceneGeometry>();
  ExportResult result;
  for (auto _ : state) {
    result = exportRuntimeSet(session, *scene);
    if (!result.written) {
      state.SkipWithError("the export refused the set");
      break;
    }
  }
  std::uintmax_t bytes = 0;
  for (const auto& entry : fs::directory_iterator(root)) bytes += entry.file_size();
  state.counters["triangles"] = static_cast<double>(result.triangles);
  state.counters["fileMB"] = static_cast<double>(bytes) / 1e6;
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
  fs::remove_all(root);
}
BENCHMARK(exportRuntimeSetBench)->Arg(500'000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tessarim::bench

BENCHMARK_MAIN();
