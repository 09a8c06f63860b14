#include "viewport.hpp"

#include <QDateTime>
#include <QFont>
#include <QFontDatabase>
#include <QLabel>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QPainter>
#include <QSlider>
#include <QWheelEvent>
#include <optional>

#include "editor/editor.hpp"
#include "editor/frame.hpp"
#include "editor/pointer_edits.hpp"
#include "editor/status_text.hpp"
#include "gl/scene_renderer.hpp"
#include "model/model.hpp"
#include "platform/ui.hpp"
#include "render/sliders.hpp"

namespace tessarim {
namespace {

QColor colourOf(std::uint32_t argb) {
  return QColor(static_cast<int>(argb >> 16 & 0xFF), static_cast<int>(argb >> 8 & 0xFF),
                static_cast<int>(argb & 0xFF), static_cast<int>(argb >> 24));
}

// Fonts of the plates, registered from TempPath. Only the nameplate uses them, so a missing file
// is said once on the error stream rather than stopping the start with a box.
void registerPlateFonts(const Editor& editor) {
  static bool done = false;
  if (done) return;
  done = true;
  for (const char* file : {"LicensePlate.ttf", "rcaf6-GIMP.ttf"}) {
    const QString path = QString::fromStdString(editor.user.tempPath) + "/" + file;
    if (QFontDatabase::addApplicationFont(path) < 0) {
      qWarning("Could not load the plate font %s; plates are drawn without it.", qPrintable(path));
    }
  }
}

}  // namespace

ViewportWidget::ViewportWidget(Editor& editor, QWidget* parent)
    : QOpenGLWidget(parent), editor_(editor), renderer_(std::make_unique<SceneRenderer>()) {
  QSurfaceFormat format;
  format.setVersion(3, 3);
  format.setProfile(QSurfaceFormat::CoreProfile);
  format.setDepthBufferSize(24);
  format.setStencilBufferSize(8);
  setFormat(format);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);

  for (int k = 0; k < sliderCount; ++k) {
    const SliderLayout& layout = sliderLayouts[k];
    captions_[k] = new QLabel(this);
    captions_[k]->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    captions_[k]->resize(layout.captionWidth, captionHeight);
    sliders_[k] = new QSlider(Qt::Horizontal, this);
    sliders_[k]->setRange(layout.minimum, layout.maximum);
    sliders_[k]->setValue(editor_.frame.sliders.position[k]);
    sliders_[k]->resize(sliderWidth, sliderHeight);
    sliders_[k]->setFocusPolicy(Qt::NoFocus);
    connect(sliders_[k], &QSlider::valueChanged, this, [this, k](int value) {
      editor_.frame.sliders.position[k] = value;
      update();
    });
  }
  updateSliders();
}

ViewportWidget::~ViewportWidget() {
  // The context outlives this part of the widget: its goodbye must not call back into it.
  if (context()) disconnect(context(), nullptr, this, nullptr);
  if (deviceLive_) {
    makeCurrent();
    deviceLost();
    deviceDestroyed();
    doneCurrent();
  }
}

QString ViewportWidget::rendererName() const {
  return QString::fromStdString(renderer_->rendererName());
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

void ViewportWidget::deviceCreated() {
  registerPlateFonts(editor_);
  renderer_->create(editor_.user.tempPath);
  deviceLive_ = true;
}

void ViewportWidget::deviceReset(int width, int height) {
  const qreal scale = devicePixelRatioF();
  const int w = static_cast<int>(width * scale), h = static_cast<int>(height * scale);
  renderer_->reset(w, h, defaultFramebufferObject());
  editor_.frame.camera.aspect =
      static_cast<float>(std::max(w, 1)) / static_cast<float>(std::max(h, 1));
  editor_.frame.camera.projection = viewportProjection(editor_.frame.camera.aspect);
  // Pointers speak in the widget's own pixels.
  editor_.frame.camera.viewport = {
      0, 0, static_cast<float>(std::max(width, 1)), static_cast<float>(std::max(height, 1)), 0, 1};
  // Everything held by the device reloads and rebuilds on the next frame.
  noteChanges(editor_.model(), Change::textures | Change::geometry);
  placeSliders();
}

void ViewportWidget::deviceLost() {}

void ViewportWidget::deviceDestroyed() {
  renderer_->destroy();
  editor_.frame.mapsLoaded = {};
  deviceLive_ = false;
}

void ViewportWidget::frameRender() {
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  if (lastPaint_ != 0 && now > lastPaint_)
    frameRate_ = 1000.0 / static_cast<double>(now - lastPaint_);
  lastPaint_ = now;

  renderer_->render(editor_);
  reportProblems();
  presentOpaque();
  if (editor_.model().settings.view.statistics) drawStatus();
  updateSliders();
}

void ViewportWidget::reportProblems() {
  for (const std::string& problem : renderer_->takeProblems()) {
    editor_.session.ui.message(problem, "HLSL Error", MessageIcon::warning);
  }
}

void ViewportWidget::drawStatus() {
  StatusInputs inputs;
  inputs.frameStatistics = QStringLiteral("%1 fps (%2x%3), %4")
                               .arg(frameRate_, 0, 'f', 2)
                               .arg(width())
                               .arg(height())
                               .arg(rendererName())
                               .toStdString();
  inputs.deviceStatistics = "OpenGL 3.3 core, vertical sync on";
  inputs.residentBytes = residentMemoryBytes();
  inputs.width = width();
  inputs.height = height();
  const std::vector<StatusLine> lines =
      statusLines(editor_.model(), editor_.frame, editor_.scene, editor_.editing, inputs);

  QPainter painter(this);
  QFont large(QStringLiteral("Arial"));
  large.setPointSize(10);
  large.setWeight(QFont::Medium);
  QFont small(QStringLiteral("DejaVu Sans Mono"));
  small.setPointSize(9);
  small.setWeight(QFont::Medium);
  small.setStyleHint(QFont::Monospace);
  const int largeAscent = QFontMetrics(large).ascent(), smallAscent = QFontMetrics(small).ascent();
  for (const StatusLine& line : lines) {
    const bool isLarge = line.font == StatusFont::large;
    painter.setFont(isLarge ? large : small);
    painter.setPen(colourOf(line.colour));
    painter.drawText(
        QPointF(line.x, line.y + static_cast<float>(isLarge ? largeAscent : smallAscent)),
        QString::fromStdString(line.text));
  }
}

void ViewportWidget::placeSliders() {
  const int originY = height() - sliderPanelOffset;
  for (int k = 0; k < sliderCount; ++k) {
    const SliderLayout& layout = sliderLayouts[k];
    captions_[k]->move(layout.captionX, originY + layout.captionY);
    sliders_[k]->move(layout.sliderX, originY + layout.sliderY);
  }
}

void ViewportWidget::updateSliders() {
  const ViewOptions& view = editor_.model().settings.view;
  for (int k = 0; k < sliderCount; ++k) {
    const bool shown = sliderShown(static_cast<SliderId>(k), view);
    if (captions_[k]->isVisible() != shown) {
      captions_[k]->setVisible(shown);
      sliders_[k]->setVisible(shown);
    }
    const QString caption = QString::fromStdString(editor_.frame.sliders.caption[k]);
    if (captions_[k]->text() != caption) captions_[k]->setText(caption);
  }
}

void ViewportWidget::presentOpaque() {
  // The frame's alpha only matters while drawing; the window composes the widget by its alpha,
  // so the finished frame is made opaque, as a presented back buffer is.
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_TRUE);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
}

namespace {

KeyModifiers modifiersOf(const QInputEvent& event) {
  const Qt::KeyboardModifiers held = event.modifiers();
  return {held.testFlag(Qt::ControlModifier), held.testFlag(Qt::ShiftModifier),
          held.testFlag(Qt::AltModifier)};
}

std::optional<PointerButton> buttonOf(const QMouseEvent& event) {
  if (event.button() == Qt::LeftButton) return PointerButton::left;
  if (event.button() == Qt::RightButton) return PointerButton::right;
  return std::nullopt;
}

}  // namespace

void ViewportWidget::mousePressEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  if (const auto button = buttonOf(*event)) {
    pointerPressed(editor_, *button, static_cast<float>(at.x()), static_cast<float>(at.y()),
                   modifiersOf(*event));
  }
  QOpenGLWidget::mousePressEvent(event);
}

void ViewportWidget::mouseReleaseEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  if (const auto button = buttonOf(*event)) {
    pointerReleased(editor_, *button, static_cast<float>(at.x()), static_cast<float>(at.y()),
                    modifiersOf(*event));
    if (onPointerHandled) onPointerHandled();
  }
  QOpenGLWidget::mouseReleaseEvent(event);
}

void ViewportWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  pointerMovedTo(editor_, static_cast<float>(at.x()), static_cast<float>(at.y()),
                 modifiersOf(*event));
  QOpenGLWidget::mouseMoveEvent(event);
}

void ViewportWidget::wheelEvent(QWheelEvent* event) {
  wheelTurned(editor_, event->angleDelta().y());
  event->accept();
}

void ViewportWidget::leaveEvent(QEvent* event) {
  pointerLeft(editor_);
  QOpenGLWidget::leaveEvent(event);
}

}  // namespace tessarim
