#pragma once

#include <QOpenGLFunctions_3_3_Core>
#include <QOpenGLWidget>
#include <array>
#include <functional>
#include <memory>

class QLabel;
class QSlider;

namespace tessarim {

struct Editor;
class SceneRenderer;

// The 3D view. Its GL context's life maps onto the renderer's device callbacks: created and
// reset on initialisation, reset on resize, lost and destroyed before the context goes. Mouse
// input is collected for the next frame move; the lighting sliders sit over the bottom-left.
class ViewportWidget : public QOpenGLWidget, protected QOpenGLFunctions_3_3_Core {
  Q_OBJECT

 public:
  explicit ViewportWidget(Editor& editor, QWidget* parent = nullptr);
  ~ViewportWidget() override;

  // Called once after the first frame has been drawn.
  std::function<void()> onFirstFrame;
  // Called after a click was handled, so the window follows what it changed.
  std::function<void()> onPointerHandled;
  // The renderer's description, for the frame statistics line.
  QString rendererName() const;

 protected:
  void initializeGL() override;
  void resizeGL(int width, int height) override;
  void paintGL() override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void deviceCreated();
  void deviceReset(int width, int height);
  void deviceLost();
  void deviceDestroyed();
  void frameRender();
  void drawStatus();
  void placeSliders();
  void updateSliders();
  void reportProblems();
  void presentOpaque();

  Editor& editor_;
  std::unique_ptr<SceneRenderer> renderer_;
  std::array<QSlider*, 7> sliders_{};
  std::array<QLabel*, 7> captions_{};
  bool deviceLive_ = false;
  bool firstFrameDrawn_ = false;
  double frameRate_ = 0;
  qint64 lastPaint_ = 0;
};

}  // namespace tessarim
