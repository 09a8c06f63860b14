#include "render/camera.hpp"

#include <cmath>

#include "model/model.hpp"
#include "model/scale_class.hpp"

namespace tessarim {

float eyeDistanceFor(int zoomPosition, float extent) {
  const double p = zoomPosition;
  const double p2 = p * p, p4 = p2 * p2;
  return static_cast<float>(p4 * p4 * 6.103518e-29 * extent);
}

float texelZoomFor(int position) {
  return 20.0f - static_cast<float>(std::pow(position / 1980.0, 0.25)) * 19.8f;
}

Matrix viewportProjection(float aspect) {
  return perspectiveFovRH(pi / 4, aspect, 0.000064f, 64.0f);
}

void resetCamera(Camera& camera, bool texelView) {
  if (texelView) {
    camera.canvasX = camera.canvasY = 0;
    return;
  }
  camera.sceneRotation = rotationZ(pi);
  camera.yaw = camera.pitch = camera.roll = 0;
  camera.pan = camera.panStart = camera.panTarget = camera.dragPan = Vec3{};
}

void autoCentre(Camera& camera, const Model& model) {
  if (!model.settings.view.autoCentering) return;
  const Selection& s = model.selection;
  if (s.currentModule < 0 || s.currentModule >= model.document.wldfiles || s.currentInstance < 0)
    return;
  const Module& module = model.document.module[s.currentModule];
  if (static_cast<std::size_t>(s.currentInstance) >= module.instances.size()) return;
  camera.panStart = camera.pan;  // the drag pan is already in the blended pan
  camera.dragPan = Vec3{};
  camera.transition = 0;
  if (!isCity(model.document) || s.currentGroup > 0) {
    const Instance& instance = module.instances[s.currentInstance];
    const float k = static_cast<float>(unitKilometres(module.scaleClass));
    camera.groupCentre =
        Vec3{instance.location[0] + module.centroid[0], instance.location[1] + module.centroid[1],
             instance.location[2] + module.centroid[2]} *
        k;
  }
  camera.graphHeight = 0;
}

}  // namespace tessarim
