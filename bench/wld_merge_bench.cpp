// Export WLD file's merge of many placed instances into one module: a city block of sheets laid
// edge to edge, so that every border vertex is shared with a neighbour.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "export/wld_merge.hpp"
#include "maths/maths.hpp"
#include "model/model.hpp"
#include "wld_mesh.hpp"

namespace tessarim::bench {
namespace {

// side x side instances of a sheet of 2,500 quads (50 units across), each one sheet further on.
void mergeSheets(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  auto document = std::make_unique<Document>();
  document->kind = DocumentKind::asmfile;
  document->wldfiles = 1;
  Module& sheet = document->module[0];
  sheet = makeGridModule(51);
  std::vector<InstanceRef> list;
  for (int i = 0; i < side * side; ++i) {
    Instance t;
    t.location = {static_cast<float>(i % side) * 50, static_cast<float>(i / side) * 50, 0};
    t.worldMatrix = translation(t.location[0], t.location[1], 0);
    sheet.instances.push_back(t);
    list.push_back({0, static_cast<std::int16_t>(i)});
  }
  const RepositoryFolder repository = makeRepositoryFolder("/repo");
  std::size_t vertices = 0;
  for (auto _ : state) {
    const WldMerge merge = mergeInstances(*document, list, repository);
    vertices = merge.module.vertices.size();
    benchmark::DoNotOptimize(merge.module.polygons.data());
  }
  state.counters["quads"] = static_cast<double>(sheet.polygons.size()) * side * side;
  state.counters["vertices"] = static_cast<double>(vertices);
}
BENCHMARK(mergeSheets)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessarim::bench

BENCHMARK_MAIN();
