// Viewport figures on this machine's renderer (run under a display, e.g. xvfb-run -a):
//   - frame time of a generated assembly of about 500,000 triangles in the start view;
//   - rebuild and upload after an edit (frame move with the geometry dirty, then a frame);
//   - texture loading of 256 modules with 2048 x 2048 base maps (decode, upload, mip chain).
// A plain program rather than a Google Benchmark: it needs a window and a GL context.

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <cstdio>
#include <filesystem>

#include "commands/menu_state.hpp"
#include "editor/editor.hpp"
#include "editor/frame.hpp"
#include "model/geometry.hpp"
#include "model/model.hpp"
#include "platform/clock.hpp"
#include "platform/settings_store.hpp"
#include "viewport.hpp"
#include "wld_mesh.hpp"

namespace tessarim::bench {
namespace {

struct NoMenu : MenuSink {
  void setPopupEnabled(int, bool) override {}
  void setItemEnabled(int, bool) override {}
  void setItemChecked(int, bool) override {}
};

struct Bench {
  Bench() {
    model->document.kind = DocumentKind::asmfile;
    model->document.documentPath = "bench.asm";
  }
  void move(float dt = 0.016f) {
    refreshMenuState(editor, dt, menu);
    frameMove(frameParts(editor), dt);
  }
  // Draws one frame and reads it back, which waits until the renderer has finished it.
  void draw() { viewport->grabFramebuffer(); }
  void open() {
    initMenuState(editor);
    viewport = std::make_unique<ViewportWidget>(editor);
    viewport->resize(1280, 720);
    viewport->show();
    QApplication::processEvents();
  }

  std::unique_ptr<Model> model = std::make_unique<Model>();
  RepositoryFolder repository =
      makeRepositoryFolder(std::filesystem::temp_directory_path().string());
  SilentUi ui;
  MemorySettingsStore store;
  ManualClock clock;
  Editor editor{Session{*model, repository, ui, store, clock}};
  NoMenu menu;
  std::unique_ptr<ViewportWidget> viewport;
};

double milliseconds(const QElapsedTimer& t) {
  return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

void frameFigures() {
  Bench b;
  b.model->document.wldfiles = 1;
  Module& m = b.model->document.module[0];
  m = makeMesh({.polygons = 100'000, .gridSide = 244, .duplicates = 0});
  m.filename = "sheet.wld";
  m.scaleClass = 1;
  std::int64_t perInstance = 0;
  for (const Polygon& p : m.polygons) perInstance += p.sides == 4 ? 2 : 1;
  const int instances = static_cast<int>((500'000 + perInstance - 1) / perInstance);
  m.instances.resize(static_cast<std::size_t>(instances));
  for (int i = 0; i < instances; ++i) m.instances[i].location = {0, 0, static_cast<float>(i) * 40};
  computeStatistics(*b.model);
  b.model->status.geometryDirty = true;
  b.model->settings.view.statistics = false;
  b.open();
  b.move();
  b.draw();
  b.draw();

  constexpr int frames = 20;
  QElapsedTimer t;
  t.start();
  for (int i = 0; i < frames; ++i) {
    b.move();
    b.draw();
  }
  const double frame = milliseconds(t) / frames;
  // The read-back alone: the same frame with every instance hidden.
  b.model->settings.view.previewExport = true;
  b.draw();
  t.restart();
  for (int i = 0; i < frames; ++i) b.draw();
  const double readBack = milliseconds(t) / frames;
  b.model->settings.view.previewExport = false;

  constexpr int rebuilds = 5;
  double rebuild = 0, rebuildDraw = 0;
  for (int i = 0; i < rebuilds; ++i) {
    b.model->document.module[0].vertices[0].x += 0.01f;  // an edit
    b.model->status.geometryDirty = true;
    t.restart();
    b.move();
    rebuild += milliseconds(t);
    b.draw();
    rebuildDraw += milliseconds(t);
  }
  std::printf("scene: %d instances x %lld triangles = %lld triangles, 1280 x 720\n", instances,
              static_cast<long long>(perInstance), static_cast<long long>(perInstance) * instances);
  std::printf(
      "frame (frame move, draw, read back): %.1f ms; read back of an empty frame: %.1f ms\n", frame,
      readBack);
  std::printf(
      "rebuild (frame move with the geometry dirty): %.1f ms; rebuild, upload and draw: %.1f ms\n",
      rebuild / rebuilds, rebuildDraw / rebuilds);
}

void textureFigures() {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / "tessarim-texture-bench";
  std::filesystem::create_directories(folder);
  QImage image(2048, 2048, QImage::Format_RGB32);
  for (int y = 0; y < 2048; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < 2048; ++x) line[x] = qRgb(x & 255, y & 255, (x ^ y) & 255);
  }
  Bench b;
  b.model->document.wldfiles = maxModules;
  for (int m = 0; m < maxModules; ++m) {
    std::string name = "base";
    name += std::to_string(m);
    name += ".png";
    const std::filesystem::path path = folder / name;
    if (!std::filesystem::exists(path)) image.save(QString::fromStdString(path.string()));
    Module& module = b.model->document.module[m];
    module.filename = name + ".wld";
    module.maps[textfile] = path.string();
    module.canvasWidth = module.canvasHeight = 2048;
  }
  b.model->settings.view.statistics = false;
  b.open();
  b.move();
  b.draw();  // the first frame after the reset loads every map
  QElapsedTimer t;
  t.start();
  b.model->settings.view.releaseTextures = true;  // as MIP filtering's toggle asks
  b.move();
  b.draw();
  const double load = milliseconds(t);
  int loaded = 0;
  for (int m = 0; m < maxModules; ++m) loaded += hasMap(b.editor.frame, m, textfile);
  std::printf(
      "textures: %d of 256 base maps of 2048 x 2048 (PNG) loaded with mip chains in %.0f ms (%.1f "
      "ms each); "
      "%d messages\n",
      loaded, load, load / maxModules, b.ui.boxes);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace tessarim::bench

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  tessarim::bench::frameFigures();
  tessarim::bench::textureFigures();
  return 0;
}
