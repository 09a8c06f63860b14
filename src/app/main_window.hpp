#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <memory>

namespace tessarim {

struct Editor;
class MenuBar;
class ViewportWidget;

// The editor's window: menu bar, viewport, the frame loop, the once-a-second timer and the
// window events the document lifecycle listens to.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(Editor& editor);
  ~MainWindow() override;

  // Runs a command number as the menu or a key would.
  void issue(int number);
  // One pass of the frame loop: frame move, then a redraw of the viewport.
  void frame();

  MenuBar& menus() { return *menuBar_; }
  ViewportWidget& viewport() { return *viewport_; }

 signals:
  // Every number the menu, a key or a recent entry issued, handled or not.
  void commandIssued(int number);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void tick();
  // The recent submenus and the title as the model now has them.
  void showDocumentState();
  void afterHandling();

  Editor& editor_;
  std::unique_ptr<MenuBar> menuBar_;
  ViewportWidget* viewport_;
  QTimer frameTimer_;
  QTimer secondTimer_;
  QElapsedTimer frameClock_;
  bool redraw_ = true;  // the view may look different since it was last drawn
};

}  // namespace tessarim
