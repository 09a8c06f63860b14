// Read and write throughput of the WLD format on a 500,000-polygon mesh, in memory and through
// files. Rates are per byte of WLD text and per second of CPU time, which other work on the
// machine disturbs least; the file write goes by the wall clock, since it includes waiting for
// the disk.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "formats/file_io.hpp"
#include "formats/file_replacement.hpp"
#include "formats/wld.hpp"
#include "model/model.hpp"
#include "model/paths.hpp"
#include "model/session.hpp"
#include "platform/clock.hpp"
#include "platform/settings_store.hpp"
#include "wld_mesh.hpp"

namespace tessarim::bench {
namespace {

namespace fs = std::filesystem;

// Built once: generating and formatting the mesh takes longer than one measured read.
struct Fixture {
  MeshShape shape;
  Module mesh = makeMesh(shape);
  std::string fileBytes = formatWld(mesh);  // CR LF, as saved
  std::string text = lfOnly(fileBytes);     // what a read hands to the parser

  static std::string lfOnly(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
      if (c != '\r') out += c;
    }
    return out;
  }
};

const Fixture& fixture() {
  static const Fixture f;
  return f;
}

// A repository folder of its own under the system's temporary folder, removed at exit.
struct TempRepository {
  fs::path dir;
  TempRepository() {
    dir = fs::temp_directory_path() / ("tessarim-wld-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  ~TempRepository() {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }
};

struct Bench {
  SilentUi ui;
  MemorySettingsStore store;
  ManualClock clock;
  std::unique_ptr<Model> model = std::make_unique<Model>();
  TempRepository repo;
  RepositoryFolder repository = makeRepositoryFolder(repo.dir.string());
  Session session{*model, repository, ui, store, clock};
};

void setRates(benchmark::State& state, std::size_t bytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes));
  // Decimal megabytes, next to the library's binary ones.
  state.counters["MB"] = benchmark::Counter(static_cast<double>(bytes) / 1e6,
                                            benchmark::Counter::kIsIterationInvariantRate);
  state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}

// The parse must have read the whole mesh and merged only the planted duplicates.
bool readAsExpected(benchmark::State& state, const Module& m, int boxes) {
  const Fixture& f = fixture();
  if (m.polygons.size() != f.mesh.polygons.size() ||
      m.vertices.size() != survivingVertices(f.shape) || boxes != 1) {
    state.SkipWithError("the mesh did not read back as generated");
    return false;
  }
  return true;
}

void BM_ParseWld(benchmark::State& state) {
  const Fixture& f = fixture();
  SilentUi ui;
  const RepositoryFolder repository = makeRepositoryFolder(fs::temp_directory_path().string());
  for (auto _ : state) {
    auto m = std::make_unique<Module>();
    ui.boxes = 0;
    auto result = parseWld(f.text, *m, ui, repository, WldReadOptions{});
    benchmark::DoNotOptimize(result);
    // Freeing the previous mesh is not part of reading this one.
    state.PauseTiming();
    bool ok = readAsExpected(state, *m, ui.boxes);
    m.reset();
    state.ResumeTiming();
    if (!ok) break;
  }
  setRates(state, f.text.size());
}
BENCHMARK(BM_ParseWld)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_ReadWldFile(benchmark::State& state) {
  const Fixture& f = fixture();
  Bench b;
  const std::string name = "mesh.wld";
  if (auto error = writeFileAtomically(resolvePath(b.repository, name), f.fileBytes);
      !error.empty()) {
    state.SkipWithError(error.c_str());
    return;
  }
  Module& m = b.model->document.module[0];
  for (auto _ : state) {
    state.PauseTiming();
    resetModule(*b.model, 0);
    m.filename = name;
    b.ui.boxes = 0;
    state.ResumeTiming();
    bool read = readWld(b.session, 0, WldReadOptions{});
    benchmark::DoNotOptimize(read);
    state.PauseTiming();
    bool ok = read && readAsExpected(state, m, b.ui.boxes);
    state.ResumeTiming();
    if (!ok) {
      if (!read) state.SkipWithError("readWld failed");
      break;
    }
  }
  setRates(state, f.fileBytes.size());
}
BENCHMARK(BM_ReadWldFile)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_FormatWld(benchmark::State& state) {
  const Fixture& f = fixture();
  for (auto _ : state) {
    std::string bytes = formatWld(f.mesh);
    benchmark::DoNotOptimize(bytes.data());
    state.PauseTiming();
    bool same = bytes.size() == f.fileBytes.size();
    { std::string freed = std::move(bytes); }
    state.ResumeTiming();
    if (!same) {
      state.SkipWithError("formatting is not deterministic");
      break;
    }
  }
  setRates(state, f.fileBytes.size());
}
BENCHMARK(BM_FormatWld)->Unit(benchmark::kMillisecond)->MinTime(3);

// Includes what every save does after formatting: a temporary file, fsync and rename.
void BM_WriteWldFile(benchmark::State& state) {
  const Fixture& f = fixture();
  Bench b;
  Module& m = b.model->document.module[0];
  m = f.mesh;
  m.filename = "mesh.wld";
  const std::string path = resolvePath(b.repository, m.filename);
  for (auto _ : state) {
    m.modified = 1;  // an unmodified module is not written at all
    bool written = writeWld(b.session, 0);
    benchmark::DoNotOptimize(written);
    if (!written || b.ui.boxes != 0) {
      state.SkipWithError(("writeWld failed: " + b.ui.lastCaption).c_str());
      break;
    }
  }
  std::error_code ec;
  if (!state.error_occurred() && fs::file_size(path, ec) != f.fileBytes.size()) {
    state.SkipWithError("the file has the wrong size");
  }
  setRates(state, f.fileBytes.size());
}
BENCHMARK(BM_WriteWldFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace
}  // namespace tessarim::bench

BENCHMARK_MAIN();
