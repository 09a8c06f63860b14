#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScreen>
#include <QSettings>
#include <QSurfaceFormat>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <string_view>

#include "editor/editor.hpp"
#include "editor/lifecycle.hpp"
#include "main_window.hpp"
#include "model/model.hpp"
#include "platform/clock.hpp"
#include "qt_settings_store.hpp"
#include "qt_ui.hpp"
#include "viewport.hpp"

namespace {

// `tessarim --init-repository DIR`: makes DIR the repository and its "temp" folder the temporary
// folder, only when the user's settings name no repository yet. Nothing else is touched.
int initRepository(const QString& folder) {
  tessarim::QtSettingsStore store;
  if (store.readString(tessarim::mainKey, "RepoPath").value_or("").empty()) {
    const QString repository = QDir(folder).absolutePath() + '/';
    store.writeString(tessarim::mainKey, "RepoPath", repository.toStdString());
    store.writeString(tessarim::mainKey, "TempPath", (repository + "temp/").toStdString());
    std::fprintf(stderr, "Repository set to %s\n", qPrintable(repository));
  } else {
    std::fprintf(stderr, "Repository kept: %s\n",
                 store.readString(tessarim::mainKey, "RepoPath").value_or("").c_str());
  }
  store.settings().sync();
  return store.settings().status() == QSettings::NoError ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer sinceStart;
  sinceStart.start();
  if (argc == 3 && std::string_view{argv[1]} == "--init-repository") {
    QCoreApplication settingsOnly(argc, argv);  // no display needed to write settings
    return initRepository(QString::fromLocal8Bit(argv[2]));
  }
  QSurfaceFormat format;
  format.setVersion(3, 3);
  format.setProfile(QSurfaceFormat::CoreProfile);
  QSurfaceFormat::setDefaultFormat(format);
  QApplication application(argc, argv);
  const QStringList arguments = QApplication::arguments();

  tessarim::QtSettingsStore store;
  tessarim::QtUi ui;
  tessarim::SystemClock clock;
  auto model = std::make_unique<tessarim::Model>();
  tessarim::RepositoryFolder repository;  // set by startEditor from the user's settings
  tessarim::Editor editor{tessarim::Session{*model, repository, ui, store, clock}};
  const std::string document = arguments.size() > 1 ? arguments[1].toStdString() : std::string{};
  if (!tessarim::startEditor(editor, document)) return 0;

  tessarim::MainWindow window(editor);
  ui.setParent(&window);
  tessarim::openStartupDocument(editor);

  // TESSARIM_FIRST_FRAME=report prints the start-up time; =quit also ends after that frame,
  // saving a picture of the window to TESSARIM_SCREENSHOT when that names a file.
  const QByteArray firstFrame = qgetenv("TESSARIM_FIRST_FRAME");
  const QString screenshot = qEnvironmentVariable("TESSARIM_SCREENSHOT");
  if (!firstFrame.isEmpty()) {
    window.viewport().onFirstFrame = [&] {
      std::fprintf(stderr, "first frame after %.1f ms\n",
                   static_cast<double>(sinceStart.nsecsElapsed()) / 1e6);
      if (firstFrame != "quit") return;
      QTimer::singleShot(200, &application, [&] {
        // What the screen shows, composed by the window system, rather than a repaint.
        if (!screenshot.isEmpty()) window.screen()->grabWindow(window.winId()).save(screenshot);
        QApplication::quit();
      });
    };
  }
  window.frame();
  window.show();
  return QApplication::exec();
}
