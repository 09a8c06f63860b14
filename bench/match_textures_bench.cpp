// "Match Textures" against catalogues of 5,000, 10,000 and 20,000 records: the match alone and
// the whole command with its catalogue and listing written. Both should grow linearly with the
// records (Complexity reports the fitted order).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench_editor.hpp"
#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "commands/texture_commands.hpp"
#include "editor/editor.hpp"
#include "model/model.hpp"
#include "model/paths.hpp"
#include "platform/clock.hpp"
#include "platform/settings_store.hpp"
#include "wld_mesh.hpp"

namespace tessarim {
namespace {

namespace fs = std::filesystem;

constexpr int modules = 256;

std::string recordName(int k) {
  return "textures\\buildings\\district" + std::to_string(k % 97) + "\\facade" + std::to_string(k) +
         ".png";
}

// n records, every third with a light map.
std::string catalogue(int n) {
  std::string bytes(static_cast<std::size_t>(n + 1) * 400, '\0');
  bytes[0] = static_cast<char>(n & 0xFF);
  bytes[1] = static_cast<char>(n >> 8 & 0xFF);
  for (int k = 1; k <= n; ++k) {
    const std::string name = recordName(k);
    std::memcpy(&bytes[static_cast<std::size_t>(k) * 400], name.data(), name.size());
    bytes[static_cast<std::size_t>(k) * 400 + 399] = k % 3 == 0 ? 1 : 0;
  }
  return bytes;
}

// A full table: half the modules name records spread over the catalogue (in another letter case
// and extension), the other half textures it does not hold yet.
void fillModules(Model& model, int n) {
  model.document.kind = DocumentKind::asmfile;
  model.document.wldfiles = modules;
  for (int m = 0; m < modules; ++m) {
    Module& module = model.document.module[m];
    module.instances.resize(1);
    std::string base = m % 2 == 0 ? recordName(1 + m * (n - 1) / modules)
                                  : "textures\\new\\plate" + std::to_string(m) + ".png";
    if (m % 2 == 0) {
      for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      base.replace(base.size() - 4, 4, ".dds");
    }
    module.maps[textfile] = base;
    if (m % 4 == 1) module.maps[lightfile] = "textures\\new\\light.png";
  }
}

void BM_MatchCatalogue(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  auto model = std::make_unique<Model>();
  fillModules(*model, n);
  const std::string existing = catalogue(n);
  for (auto _ : state) {
    CatalogueMatch match = matchCatalogue(*model, MatchCatalogue::buildings, existing);
    benchmark::DoNotOptimize(match);
  }
  state.SetComplexityN(n);
}
BENCHMARK(BM_MatchCatalogue)
    ->Arg(5'000)
    ->Arg(10'000)
    ->Arg(20'000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

struct Repository : bench::EditorBench {
  Repository() {
    root = fs::temp_directory_path() / ("tessarim-match-bench-" + std::to_string(::getpid()));
    fs::create_directories(root);
    repository = makeRepositoryFolder(root.string());
  }
  ~Repository() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  fs::path root;
};

// The command as the menu runs it: read the catalogue, match, replace catalogue and listing.
// The first run appends the new textures; the timed runs find every module in the catalogue.
void BM_MatchTexturesCommand(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  Repository r;
  fillModules(*r.model, n);
  std::ofstream(r.root / "buildings.dat", std::ios::binary) << catalogue(n);
  if (issueCommand(r.editor, cmd::matchCityBuildings) != CommandOutcome::done) {
    state.SkipWithError("Match Textures did not run");
    return;
  }
  for (auto _ : state) {
    if (issueCommand(r.editor, cmd::matchCityBuildings) != CommandOutcome::done)
      state.SkipWithError("Match Textures did not run");
  }
  if (r.ui.boxes != 0) state.SkipWithError(r.ui.lastCaption.c_str());
  state.SetComplexityN(n);
  state.counters["listingBytes"] = static_cast<double>(fs::file_size(r.root / "buildings.txt"));
}
BENCHMARK(BM_MatchTexturesCommand)
    ->Arg(5'000)
    ->Arg(10'000)
    ->Arg(20'000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessarim

BENCHMARK_MAIN();
