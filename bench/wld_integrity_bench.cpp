// The duplicate-vertex part of the integrity pass, which every WLD read runs: its core at sizes
// beyond what one module can index (to show how it grows) and the whole pass on modules.

#include <benchmark/benchmark.h>

#include <map>
#include <unordered_set>

#include "formats/wld.hpp"
#include "wld_mesh.hpp"

namespace tessarim::bench {
namespace {

constexpr double duplicateShare = 0.15;

struct Cloud {
  std::vector<Vertex> vertices;
  std::size_t survivors = 0;
};

const Cloud& cloud(std::size_t n) {
  static std::map<std::size_t, Cloud> made;
  auto [it, fresh] = made.try_emplace(n);
  if (fresh) it->second.vertices = makeVertexCloud(n, duplicateShare, &it->second.survivors);
  return it->second;
}

void BM_DuplicateVertexTargets(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const Cloud& c = cloud(n);
  {
    // Every planted duplicate merges, and nothing else does.
    auto target = duplicateVertexTargets(c.vertices);
    std::unordered_set<std::uint32_t> kept(target.begin(), target.end());
    if (kept.size() != c.survivors) {
      state.SkipWithError("unexpected number of survivors");
      return;
    }
  }
  for (auto _ : state) {
    auto target = duplicateVertexTargets(c.vertices);
    benchmark::DoNotOptimize(target.data());
  }
  state.SetComplexityN(static_cast<std::int64_t>(n));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(n));
  state.counters["duplicates"] = static_cast<double>(n - c.survivors);
}
BENCHMARK(BM_DuplicateVertexTargets)
    ->Arg(50'000)
    ->Arg(100'000)
    ->Arg(200'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// removeDuplicateVertices edits the module, so each iteration starts from a fresh copy made
// outside the timing.
void BM_RemoveDuplicateVertices(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  std::size_t survivors = 0;
  const Module original = makeCloudModule(n, duplicateShare, &survivors);
  for (auto _ : state) {
    state.PauseTiming();
    Module m = original;
    state.ResumeTiming();
    int removed = removeDuplicateVertices(m);
    benchmark::DoNotOptimize(removed);
    state.PauseTiming();
    bool ok = m.vertices.size() == survivors && static_cast<std::size_t>(removed) == n - survivors;
    { Module freed = std::move(m); }
    state.ResumeTiming();
    if (!ok) {
      state.SkipWithError("unexpected number of removed vertices");
      break;
    }
  }
  state.SetComplexityN(static_cast<std::int64_t>(n));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(n));
  state.counters["polygons"] = static_cast<double>(original.polygons.size());
}
BENCHMARK(BM_RemoveDuplicateVertices)
    ->Arg(16'384)
    ->Arg(32'768)
    ->Arg(65'536)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace tessarim::bench

BENCHMARK_MAIN();
