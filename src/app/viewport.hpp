#pragma once

#include <QOpenGLFunctions_3_3_Core>
#include <QOpenGLWidget>
#include <functional>

namespace tessarim {

struct Editor;

// The 3D view. Its GL context's life maps onto the renderer's device callbacks: created and
// reset on initialisation, reset on resize, lost and destroyed before the context goes.
class ViewportWidget : public QOpenGLWidget, protected QOpenGLFunctions_3_3_Core {
  Q_OBJECT

 public:
  explicit ViewportWidget(Editor& editor, QWidget* parent = nullptr);
  ~ViewportWidget() override;

  // Called once after the first frame has been drawn.
  std::function<void()> onFirstFrame;

 protected:
  void initializeGL() override;
  void resizeGL(int width, int height) override;
  void paintGL() override;

 private:
  void deviceCreated();
  void deviceReset(int width, int height);
  void deviceLost();
  void deviceDestroyed();
  void frameRender();
  void presentOpaque();

  Editor& editor_;
  bool deviceLive_ = false;
  bool firstFrameDrawn_ = false;
};

}  // namespace tessarim
