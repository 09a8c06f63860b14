// Loading and saving large generated assemblies and cities, with their mesh files, from a
// temporary repository folder. Counters: bytes per second over every file read or written, and
// the process's peak resident memory after the run.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <random>

#include "formats/assembly.hpp"
#include "formats/wld.hpp"
#include "model/model.hpp"
#include "model/paths.hpp"
#include "model/rts_graph.hpp"
#include "model/session.hpp"
#include "platform/clock.hpp"
#include "platform/settings_store.hpp"
#include "wld_mesh.hpp"

namespace tessarim::bench {
namespace {

namespace fs = std::filesystem;

struct Repo {
  fs::path root;
  Model model;
  RepositoryFolder repository;
  SilentUi ui;
  MemorySettingsStore store;
  ManualClock clock;
  Session session{model, repository, ui, store, clock};
  std::size_t bytes = 0;  // document and meshes

  explicit Repo(const char* name) {
    root = fs::temp_directory_path() / name;
    fs::remove_all(root);
    fs::create_directories(root / "meshes");
    repository = makeRepositoryFolder(root.string());
  }
  ~Repo() { fs::remove_all(root); }

  // Writes the document and every mesh as they stand in the model, and counts their bytes.
  void save() {
    for (int m = 0; m < model.document.wldfiles; ++m) model.document.module[m].modified = 1;
    if (isCity(model.document)) model.document.module[model.document.wldfiles - 1].modified = 0;
    model.status.documentModified = true;
    if (!writeAssembly(session, true, false))
      throw std::runtime_error("save failed: " + ui.lastCaption);
    bytes = 0;
    for (auto& entry : fs::recursive_directory_iterator(root)) {
      if (entry.is_regular_file()) bytes += entry.file_size();
    }
  }
};

// A small building block: a box of 12 triangles.
Module boxModule(const std::string& name, float size) {
  Module m;
  m.filename = name;
  for (int i = 0; i < 8; ++i)
    m.vertices.push_back({i & 1 ? size : 0, i & 2 ? size : 0, i & 4 ? size : 0});
  const int faces[12][3] = {{0, 1, 3}, {0, 3, 2}, {4, 6, 7}, {4, 7, 5}, {0, 4, 5}, {0, 5, 1},
                            {2, 3, 7}, {2, 7, 6}, {0, 2, 6}, {0, 6, 4}, {1, 5, 7}, {1, 7, 3}};
  for (auto& f : faces) {
    Polygon p;
    p.sides = 3;
    p.vertexIndex = {static_cast<std::uint16_t>(f[0]), static_cast<std::uint16_t>(f[1]),
                     static_cast<std::uint16_t>(f[2]), 0};
    p.colour = {0.5f, 0.5f, 0.5f, 1};
    p.texelAngle = p.texelAngle2 = -1;
    m.polygons.push_back(p);
  }
  m.canvasWidth = m.canvasHeight = m.canvasWidth2 = m.canvasHeight2 = 2048;
  m.scaleClass = 1;
  return m;
}

// Instances on a jittered lattice two units apart: none collocated, as in a real assembly.
Instance placed(std::mt19937& rng, int index, bool city) {
  std::uniform_real_distribution<float> jitter{-0.4f, 0.4f};
  Instance t;
  if (!city) t.guid = newGuid();
  t.location = {static_cast<float>(index % 150) * 2 + jitter(rng),
                static_cast<float>(index / 150) * 2 + jitter(rng), city ? 0 : jitter(rng)};
  t.orientation = {0, 0, static_cast<float>(index % 360) * 0.017453292f};
  t.endLocation = t.location;
  t.extendRate = t.retractRate = 1;
  t.group = static_cast<std::int16_t>(index % 200);
  return t;
}

void fill(Repo& repo, int modules, int instances, bool city) {
  Model& model = repo.model;
  std::mt19937 rng{7};
  for (int m = 0; m < modules; ++m) {
    model.document.module[m] =
        boxModule("meshes\\part" + std::to_string(m) + ".wld", 1.0f + static_cast<float>(m % 5));
  }
  model.document.wldfiles = static_cast<std::uint16_t>(modules);
  for (int i = 0; i < instances; ++i)
    model.document.module[i % modules].instances.push_back(placed(rng, i, city));
}

void addCity(Repo& repo, int nodes) {
  Model& model = repo.model;
  for (int c = 0; c < gridSize * gridSize; ++c)
    model.document.rtspsGrid[c] = {static_cast<std::uint8_t>(c % 8),
                                   static_cast<std::uint8_t>(c % 74)};
  Module& grid = model.document.module[model.document.wldfiles++];
  grid.instances.push_back(Instance{});
  model.document.modelId = -16;
  model.document.rtsEnabled = true;
  for (int i = 0; i < 255; ++i) model.document.buildingNames[i] = "Building " + std::to_string(i);
  RtsGraph& graph = model.document.streetNodes;
  const int side = 71;  // 71 x 71 > 5000
  for (int i = 0; i < nodes; ++i) {
    addNode(graph, static_cast<float>(i % side) / side, static_cast<float>(i / side) / side, 0, i);
  }
  for (int i = 0; i + 1 < nodes; ++i) {
    connectNodes(graph, graph.nodes[i].id, graph.nodes[i + 1].id, 5);
    if (i + side < nodes) connectNodes(graph, graph.nodes[i].id, graph.nodes[i + side].id, 3);
  }
}

void reportMemory(benchmark::State& state, std::size_t bytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peakRssMB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  state.counters["fileMB"] = static_cast<double>(bytes) / 1e6;
}

void loadAssembly(benchmark::State& state) {
  const int instances = static_cast<int>(state.range(0));
  Repo repo{"tessarim-bench-asm"};
  repo.model.document.kind = DocumentKind::asmfile;
  repo.model.document.documentPath = "big.asm";
  fill(repo, 256, instances, false);
  repo.save();
  for (auto _ : state) {
    Model& model = repo.model;
    model.document.kind = DocumentKind::asmfile;
    if (!readAssembly(repo.session) || model.document.wldfiles != 256)
      state.SkipWithError("load failed");
  }
  reportMemory(state, repo.bytes);
  state.SetComplexityN(instances);
}
BENCHMARK(loadAssembly)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void saveAssembly(benchmark::State& state) {
  Repo repo{"tessarim-bench-asm-save"};
  repo.model.document.kind = DocumentKind::asmfile;
  repo.model.document.documentPath = "big.asm";
  fill(repo, 256, 20000, false);
  repo.save();
  for (auto _ : state) repo.save();
  reportMemory(state, repo.bytes);
}
BENCHMARK(saveAssembly)->Unit(benchmark::kMillisecond);

void loadCity(benchmark::State& state) {
  const int nodes = static_cast<int>(state.range(0));
  Repo repo{"tessarim-bench-cty"};
  repo.model.document.kind = DocumentKind::ctyfile;
  repo.model.document.documentPath = "big.cty";
  fill(repo, 255, 10000, true);
  addCity(repo, nodes);
  repo.save();
  for (auto _ : state) {
    if (!readAssembly(repo.session) ||
        repo.model.document.streetNodes.nodes.size() != static_cast<std::size_t>(nodes)) {
      state.SkipWithError("load failed");
    }
  }
  reportMemory(state, repo.bytes);
  state.SetComplexityN(nodes);
}
BENCHMARK(loadCity)
    ->Arg(1250)
    ->Arg(2500)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace tessarim::bench
BENCHMARK_MAIN();
