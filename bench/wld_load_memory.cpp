// Peak memory and time of reading the 500,000-polygon mesh (or, with --grid, a flat grid of
// SIDE x SIDE vertices) against the memory the loaded module holds. A child process generates
// and saves the file, so the generator's own peak is not in the parent's high-water mark; the
// parent then reads the file once.
//
// Usage: wld_load_memory [--grid SIDE] [folder]
//        (default folder: a new one under the system temporary folder)

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "formats/file_io.hpp"
#include "formats/file_replacement.hpp"
#include "formats/wld.hpp"
#include "model/model.hpp"
#include "model/paths.hpp"
#include "model/session.hpp"
#include "platform/clock.hpp"
#include "platform/settings_store.hpp"
#include "wld_mesh.hpp"

namespace fs = std::filesystem;
using namespace tessarim;

namespace {

// Bytes; Linux reports the high-water mark in kilobytes.
long long peakResident() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<long long>(usage.ru_maxrss) * 1024;
}

long long currentResident() {
  long long pages = 0, resident = 0;
  std::ifstream statm{"/proc/self/statm"};
  statm >> pages >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

double mb(long long bytes) {
  return static_cast<double>(bytes) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  int gridSide = 0;  // 0: the 500,000-polygon mesh
  if (argc >= 3 && std::string_view{argv[1]} == "--grid") {
    gridSide = std::atoi(argv[2]);
    if (gridSide < 2) {
      std::fprintf(stderr, "--grid needs a side of at least 2\n");
      return 2;
    }
    argc -= 2;
    argv += 2;
  }
  if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
    std::fprintf(stderr, "usage: wld_load_memory [--grid SIDE] [FOLDER]\n");
    return 2;
  }
  const bool ownFolder = argc < 2;
  const fs::path dir =
      ownFolder ? fs::temp_directory_path() / ("tessarim-wld-memory-" + std::to_string(getpid()))
                : fs::path{argv[1]};
  fs::create_directories(dir);
  const std::string name = "mesh.wld";
  const fs::path file = dir / name;

  pid_t child = fork();
  if (child < 0) {
    std::perror("fork");
    return 1;
  }
  if (child == 0) {
    std::string error = writeFileAtomically(
        file.string(),
        formatWld(gridSide > 0 ? bench::makeGridModule(gridSide) : bench::makeMesh()));
    if (!error.empty()) std::fprintf(stderr, "writing %s: %s\n", file.c_str(), error.c_str());
    _exit(error.empty() ? 0 : 1);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "generating the mesh failed\n");
    return 1;
  }

  bench::SilentUi ui;
  MemorySettingsStore store;
  ManualClock clock;
  auto model = std::make_unique<Model>();
  RepositoryFolder repository = makeRepositoryFolder(dir.string());
  Session session{*model, repository, ui, store, clock};
  Module& m = model->document.module[0];
  m.filename = name;

  const long long peakBefore = peakResident();
  const long long residentBefore = currentResident();
  const auto start = std::chrono::steady_clock::now();
  const bool read = readWld(session, 0, WldReadOptions{});
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  const long long peakAfter = peakResident();
  const long long residentAfter = currentResident();

  const auto fileSize = static_cast<long long>(fs::file_size(file));
  const auto modelSize = static_cast<long long>(bench::moduleBytes(m));
  const long long growth = peakAfter - peakBefore;
  std::printf("file:                 %9.1f MB\n", mb(fileSize));
  std::printf("read:                 %9.0f ms\n", took.count());
  std::printf("polygons, vertices:   %9zu, %zu\n", m.polygons.size(), m.vertices.size());
  std::printf("model in memory:      %9.1f MB  (polygons %.1f MB at %zu bytes, vertices %.1f MB)\n",
              mb(modelSize), mb(static_cast<long long>(m.polygons.capacity() * sizeof(Polygon))),
              sizeof(Polygon), mb(static_cast<long long>(m.vertices.capacity() * sizeof(Vertex))));
  std::printf("peak RSS before/after:%9.1f / %.1f MB\n", mb(peakBefore), mb(peakAfter));
  std::printf("peak RSS growth:      %9.1f MB\n", mb(growth));
  std::printf("RSS growth kept:      %9.1f MB\n", mb(residentAfter - residentBefore));
  std::printf("peak growth / model:  %9.2f\n",
              static_cast<double>(growth) / static_cast<double>(modelSize));

  if (ownFolder) {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }
  // The mesh holds duplicates, announced once; the grid loads without a word.
  return read && ui.boxes == (gridSide > 0 ? 0 : 1) ? 0 : 1;
}
