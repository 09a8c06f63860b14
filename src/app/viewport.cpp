#include "viewport.hpp"

#include <QOpenGLContext>

#include "commands/editor.hpp"
#include "model/model.hpp"
#include "render/frame.hpp"

namespace tessarim {

ViewportWidget::ViewportWidget(Editor& editor, QWidget* parent) : QOpenGLWidget(parent), editor_(editor) {
  QSurfaceFormat format;
  format.setVersion(3, 3);
  format.setProfile(QSurfaceFormat::CoreProfile);
  format.setDepthBufferSize(24);
  format.setStencilBufferSize(8);
  setFormat(format);
  setFocusPolicy(Qt::StrongFocus);
}

ViewportWidget::~ViewportWidget() {
  if (deviceLive_) {
    makeCurrent();
    deviceLost();
    deviceDestroyed();
    doneCurrent();
  }
}

void ViewportWidget::initializeGL() {
  initializeOpenGLFunctions();
  // A widget moved to another window gets a new context; the old one's resources go with it.
  connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] {
    if (!deviceLive_) return;
    makeCurrent();
    deviceLost();
    deviceDestroyed();
    doneCurrent();
  });
  deviceCreated();
  deviceReset(width(), height());
}

void ViewportWidget::resizeGL(int w, int h) {
  if (!deviceLive_) return;
  deviceLost();
  deviceReset(w, h);
}

void ViewportWidget::paintGL() {
  frameRender();
  if (!firstFrameDrawn_) {
    firstFrameDrawn_ = true;
    if (onFirstFrame) onFirstFrame();
  }
}

void ViewportWidget::deviceCreated() { deviceLive_ = true; }

void ViewportWidget::deviceReset(int, int) {
  // Everything held by the device reloads and rebuilds on the next frame.
  editor_.model().status.texturesLoaded = false;
  editor_.model().status.geometryDirty = true;
}

void ViewportWidget::deviceLost() {}

void ViewportWidget::deviceDestroyed() { deviceLive_ = false; }

void ViewportWidget::frameRender() {
  const auto rgba = clearColour(editor_.user.backgroundColor, editor_.frame.ambient);
  glClearColor(rgba[0] / 255.0f, rgba[1] / 255.0f, rgba[2] / 255.0f, rgba[3] / 255.0f);
  glClearDepth(1.0);
  glClearStencil(0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);

  presentOpaque();
  // Nothing to load yet: the maps are drawn once textures come to the viewport.
  editor_.model().status.texturesLoaded = true;
  editor_.model().status.modulesReloaded = false;
}

void ViewportWidget::presentOpaque() {
  // The frame's alpha only matters while drawing; the window composes the widget by its alpha,
  // so the finished frame is made opaque, as a presented back buffer is.
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_TRUE);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

}  // namespace tessarim
