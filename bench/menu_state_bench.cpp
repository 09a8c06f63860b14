// One menu refresh over an open assembly of 200 modules with lights, a current instance and a
// current polygon: every rule-bound item's enabled and checked state written to a sink that
// only counts.

#include <benchmark/benchmark.h>

#include <memory>

#include "commands/menu_state.hpp"
#include "editor/editor.hpp"
#include "model/model.hpp"
#include "platform/clock.hpp"
#include "platform/settings_store.hpp"
#include "platform/ui.hpp"

namespace tessarim {
namespace {

struct CountingSink : MenuSink {
  void setPopupEnabled(int, bool on) override { count += on ? 1 : 2; }
  void setItemEnabled(int, bool on) override { count += on ? 1 : 2; }
  void setItemChecked(int, bool on) override { count += on ? 1 : 2; }
  long count = 0;
};

// Answers nothing; the refresh shows no messages.
class SilentUi : public Ui {
 public:
  MessageAnswer messageBox(std::string_view, std::string_view, MessageIcon,
                           MessageButtons) override {
    return MessageAnswer::ok;
  }
  std::vector<std::string> openFile(const FileFilter&, std::string_view, bool) override {
    return {};
  }
  std::optional<std::string> saveFile(const FileFilter&, std::string_view,
                                      std::string_view) override {
    return std::nullopt;
  }
};

struct Scene {
  Model model;
  RepositoryFolder repository;
  SilentUi ui;
  MemorySettingsStore store;
  ManualClock clock;
  Editor editor{Session{model, repository, ui, store, clock}};

  Scene() {
    model.document.kind = DocumentKind::asmfile;
    model.document.documentPath = "ships\\boat.asm";
    model.document.wldfiles = 200;
    for (int m = 0; m < 200; ++m) {
      model.document.module[m].instances.resize(3);
      model.document.module[m].polygons.resize(50);
      model.document.module[m].maps[textfile] = "base.png";
    }
    model.document.module[7].polygons[4].sides = 4;
    model.document.lightCount = 12;
    model.selection.currentModule = 7;
    model.selection.currentInstance = 1;
    model.selection.currentPolygon = 4;
    initMenuState(editor);
  }
};

void menuRefresh(benchmark::State& state) {
  auto scene = std::make_unique<Scene>();
  CountingSink sink;
  for (auto _ : state) {
    refreshMenuState(scene->editor, 0.31f, sink);  // just over the interval: refreshes every call
  }
  benchmark::DoNotOptimize(sink.count);
}
BENCHMARK(menuRefresh)->Unit(benchmark::kMicrosecond);

// The common case: a frame that only advances the clock.
void menuRefreshSkipped(benchmark::State& state) {
  auto scene = std::make_unique<Scene>();
  CountingSink sink;
  for (auto _ : state) {
    scene->editor.menu.menuRefreshClock = 0;
    refreshMenuState(scene->editor, 0.016f, sink);
  }
  benchmark::DoNotOptimize(sink.count);
}
BENCHMARK(menuRefreshSkipped);

}  // namespace
}  // namespace tessarim

BENCHMARK_MAIN();
