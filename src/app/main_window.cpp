#include "main_window.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <new>
#include <utility>

#include "commands/dispatch.hpp"
#include "commands/menu_state.hpp"
#include "editor/editor.hpp"
#include "editor/frame.hpp"
#include "editor/keyboard_edits.hpp"
#include "editor/lifecycle.hpp"
#include "editor/status_text.hpp"
#include "key_mapping.hpp"
#include "menu_bar.hpp"
#include "model/model.hpp"
#include "platform/ui.hpp"
#include "scene/geometry_builder.hpp"
#include "viewport.hpp"

namespace tessarim {

MainWindow::MainWindow(Editor& editor) : editor_(editor) {
  setWindowTitle(QStringLiteral("Tessarim"));
  menuBar_ = std::make_unique<MenuBar>(menuBar(), [this](int number) { issue(number); });
  initMenuState(editor_);
  viewport_ = new ViewportWidget(editor_, this);
  viewport_->onPointerHandled = [this] { afterHandling(); };
  setCentralWidget(viewport_);
  resize(800, 600);

  // Keys reach the accelerators whichever child has the focus.
  qApp->installEventFilter(this);

  // About sixty frames a second; each frame moves by the time that really passed.
  frameTimer_.setInterval(16);
  connect(&frameTimer_, &QTimer::timeout, this, &MainWindow::frame);
  frameTimer_.start();
  frameClock_.start();

  secondTimer_.setInterval(1000);
  secondTimer_.setSingleShot(true);
  connect(&secondTimer_, &QTimer::timeout, this, &MainWindow::tick);
  secondTimer_.start();
}

MainWindow::~MainWindow() {
  qApp->removeEventFilter(this);
}

void MainWindow::issue(int number) {
  emit commandIssued(number);
  dispatchCommand(editor_, number);
  afterHandling();
}

void MainWindow::showDocumentState() {
  menuBar_->showRecent(editor_.recent);
  const QString title = QString::fromStdString(windowTitleFor(editor_.model()));
  if (windowTitle() != title) setWindowTitle(title);
}

void MainWindow::afterHandling() {
  redraw_ = true;
  showDocumentState();
  if (editor_.closeRequested) {
    editor_.closeRequested = false;
    close();
  }
}

void MainWindow::frame() {
  const float elapsed = static_cast<float>(frameClock_.restart()) / 1000.0f;
  // Ctrl and Shift are taken once a frame, so the mouse help follows them while the mouse rests.
  FrameInput& in = editor_.frame.input;
  const Qt::KeyboardModifiers keys = QGuiApplication::keyboardModifiers();
  const bool shift = keys.testFlag(Qt::ShiftModifier), control = keys.testFlag(Qt::ControlModifier);
  if (shift != in.shiftHeld || control != in.controlHeld) {
    in.shiftHeld = shift;
    in.controlHeld = control;
    redraw_ = true;
  }
  try {
    refreshMenuState(editor_, elapsed, *menuBar_);
    frameMove(frameParts(editor_), elapsed);
  } catch (const std::bad_alloc&) {
    // The drawing buffers of a document too large for the memory left: the document stays as
    // it is, the view goes empty until the next change asks for the buffers again.
    editor_.scene = SceneGeometry{};
    editor_.model().status.geometryDirty = false;
    frameTimer_.stop();  // no frame runs under the message
    editor_.session.ui.messageBox("There is not enough memory to draw this document.",
                                  "Out of memory!", MessageIcon::error, MessageButtons::ok);
    frameTimer_.start();
  }
  if (const int removed = std::exchange(editor_.frame.removedPolygons, 0); removed > 0) {
    frameTimer_.stop();
    reportRemovedPolygons(editor_.session.ui, removed);
    frameTimer_.start();
  }
  // Whatever a change reported since the last frame is drawn; the title follows the document.
  auto& status = editor_.model().status;
  if (!std::exchange(status.pending, Changes{}).empty()) redraw_ = true;
  showDocumentState();
  // An idle window draws nothing: a software renderer would spend a core on unchanged frames.
  if (redraw_ || editor_.frame.animating || status.geometryDirty || !status.texturesLoaded) {
    redraw_ = false;
    viewport_->update();
  }
}

void MainWindow::tick() {
  // Stopped while it runs: a message it shows must not let the next tick in.
  timerTick(editor_);
  afterHandling();
  secondTimer_.start();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (windowClosing(editor_)) {
    event->accept();
  } else {
    event->ignore();
  }
}

void MainWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange) {
    focusChanged(editor_, isActiveWindow());
    afterHandling();
  }
  QMainWindow::changeEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::MouseMove || type == QEvent::MouseButtonPress ||
      type == QEvent::MouseButtonRelease || type == QEvent::Wheel || type == QEvent::Resize) {
    redraw_ = true;
  }
  if (type != QEvent::KeyPress || !isActiveWindow() || QApplication::activeModalWidget() ||
      QApplication::activePopupWidget()) {
    return QMainWindow::eventFilter(watched, event);
  }
  auto* key = static_cast<QKeyEvent*>(event);
  int number = acceleratorCommand(editor_, keyPressOf(*key));
  const QString typed = key->text();
  if (number == 0 && typed.size() == 1) number = characterCommand(editor_, typed.front().unicode());
  if (number != 0) {
    issue(number);
    return true;
  }
  // What no accelerator claims edits in the view: its keys first, then typed characters.
  const Qt::KeyboardModifiers held = key->modifiers();
  const KeyModifiers modifiers{held.testFlag(Qt::ControlModifier), held.testFlag(Qt::ShiftModifier),
                               held.testFlag(Qt::AltModifier)};
  bool taken = false;
  if (const std::optional<ViewKey> viewKey = viewKeyOf(*key))
    taken = viewKeyDown(editor_, *viewKey, modifiers);
  if (!taken && typed.size() == 1 && editor_.editing.entryActive) {
    viewCharacter(editor_, typed.front().unicode());
    taken = true;
  }
  if (!taken) return QMainWindow::eventFilter(watched, event);
  afterHandling();
  return true;
}

}  // namespace tessarim
