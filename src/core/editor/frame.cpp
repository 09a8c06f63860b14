#include "editor/frame.hpp"

#include <algorithm>
#include <cmath>

#include "editor/editor.hpp"
#include "editor/status_text.hpp"
#include "equipment/motion.hpp"
#include "model/geometry.hpp"
#include "model/instance_types.hpp"
#include "model/model.hpp"
#include "model/scale_class.hpp"
#include "scene/geometry_builder.hpp"

namespace tessarim {
namespace {

// Connector colours by system (0xAARRGGBB), black for unassigned and communications.
constexpr std::array<std::uint32_t, 12> systemColours{
    0xFF000000, 0xFF00FF00, 0xFFB22222, 0xFF00FFFF, 0xFF87CEEB, 0xFFFFFF00,
    0xFF0000FF, 0xFF9932CC, 0xFFFFA500, 0xFFFF0000, 0xFF8470FF, 0xFF000000};

void advanceReentryClock(FrameState& f, float elapsed) {
  f.reentryPhase += elapsed * 12;
  if (f.reentryPhase > 63) f.reentryPhase = 0.01f;
  f.reentryCountdown -= elapsed * 12;
  if (f.reentryCountdown <= 0) {
    f.reentryPhase = static_cast<float>(frameRandom(f)) * 0.0019226661f;
    f.reentryCountdown = static_cast<float>(frameRandom(f)) * 0.00024414808f;
  }
}

void applyZoom(FrameState& f, const Model& model) {
  Camera& c = f.camera;
  c.texelZoomPosition = std::clamp(c.texelZoomPosition, 0, 1980);
  c.texelZoom = texelZoomFor(c.texelZoomPosition);
  c.zoomPosition = std::clamp(c.zoomPosition, 600, 4000);
  if (!std::isfinite(f.sceneExtent)) f.sceneExtent = computeSceneExtent(model);
  c.eyeDistance = eyeDistanceFor(c.zoomPosition, f.sceneExtent);
}

void buildLineList(FrameState& f, std::uint32_t sunlightColour) {
  const float reach = f.sceneExtent * 2;
  f.lineList.assign({LineVertex{0, 0, 0, 0xFF000000},
                     LineVertex{f.sunlight[0] * reach, f.sunlight[1] * reach, f.sunlight[2] * reach,
                                sunlightColour | 0xFF000000}});
  f.lineListSunlight = f.sunlight;
  ++f.lineRevision;
}

void rebuildGeometry(const FrameParts& parts) {
  Model& model = parts.model;
  FrameState& f = parts.frame;
  const bool texelView = model.settings.view.texelView;
  if (!texelView) motionStep(model, 0, f.clockSeconds, f.camera.view);
  GeometryOptions options;
  options.texelView = texelView;
  options.texelMapIndex = model.settings.view.texelMapIndex;
  options.canvasColour = f.canvasColour;
  f.removedPolygons += buildGeometry(model, parts.scene, options).removedPolygons;
  model.status.geometryDirty = false;
  ++f.sceneRevision;
}

// Two points per connector; the revision steps only when a line changed, so that unchanged
// lines are not uploaded again.
void buildConnectorLines(FrameState& f, const Model& model) {
  std::vector<LineVertex>& next = f.connectorScratch;
  next.clear();
  const Settings& s = model.settings;
  for (const Connector& c : model.document.connectors) {
    const std::uint32_t colour = c.system >= 0 && c.system < static_cast<int>(systemColours.size())
                                     ? systemColours[c.system]
                                     : 0xFF000000;
    for (const auto& end : {c.farEnd, c.nearEnd}) {
      next.push_back(
          {s.flattenX ? 0 : end[0], s.flattenY ? 0 : end[1], s.flattenZ ? 0 : end[2], colour});
    }
  }
  const bool same =
      next.size() == f.connectorLines.size() &&
      std::equal(next.begin(), next.end(), f.connectorLines.begin(),
                 [](const LineVertex& a, const LineVertex& b) {
                   return a.x == b.x && a.y == b.y && a.z == b.z && a.colour == b.colour;
                 });
  if (same) return;
  f.connectorLines.swap(next);
  ++f.lineRevision;
}

// The world of the 3D view: the pan first, then the held angles, then the scene rotation.
void buildCamera(FrameState& f, const Model& model, float elapsed) {
  Camera& c = f.camera;
  const ViewOptions& view = model.settings.view;
  if (view.texelView) {
    const int current = model.selection.currentModule;
    float width = 0, height = 0;
    if (current >= 0 && current < model.document.wldfiles) {
      const Canvas canvas =
          canvasOf(model.document.module[current], view.texelMapIndex == 4 ? 1 : 0);
      width = canvas.width;
      height = canvas.height;
    }
    if (f.input.rightHeld && !f.input.shiftHeld) {
      c.canvasX += f.input.rightDx * 0.0005f * c.texelZoom;
      c.canvasY -= f.input.rightDy * 0.0005f * c.texelZoom;
    }
    // Centred: a 2048-texel canvas spans 5 units either side of the origin.
    const float x = c.canvasX + 5 - width * 0.0024414063f;
    const float y = c.canvasY - (5 - height * 0.0024414063f);
    c.world = multiply(translation(x, y, 0), translation(-5, 5, 0));
  } else {
    c.transition = std::min(c.transition + elapsed, 1.0f);
    if (model.selection.currentGroup > 0) c.panTarget = c.groupCentre * -1;
    if (f.input.rightHeld) {
      const auto inverseWorld = inverse(c.world);
      if (inverseWorld) {
        const Vec3 delta{-f.input.rightDx * 0.0005f * c.eyeDistance,
                         f.input.rightDy * 0.0005f * c.eyeDistance, 0};
        c.dragPan = c.dragPan + transformNormal(delta, *inverseWorld);
      }
    }
    c.pan = (c.panTarget - c.panStart) * c.transition + c.panStart + c.dragPan;
    Vec3 pan = c.pan;
    if (view.cameraShake) pan.z += static_cast<float>(frameRandom(f)) * 1.5259255e-8f;
    c.world = multiply(
        multiply(translation(pan.x, pan.y, pan.z), rotationYawPitchRoll(c.yaw, c.pitch, c.roll)),
        c.sceneRotation);
  }
  // An empty scene has no extent: the eye keeps a small distance so that the view stays defined.
  const float d = std::max(view.texelView ? c.texelZoom : c.eyeDistance, 1e-6f);
  c.lookAt = lookAtRH({0, 0, d}, {0, 0, 0}, {0, view.texelView ? 1.0f : -1.0f, 0});
  c.view = multiply(c.world, c.lookAt);
  c.projection = viewportProjection(c.aspect);
}

void advanceBlink(FrameState& f, float elapsed) {
  if (f.blinkRising) {
    f.blink += 2 * elapsed;
    if (f.blink >= 1) {
      f.blink = 1;
      f.blinkRising = false;
    }
  } else {
    f.blink -= 2 * elapsed;
    if (f.blink <= 0) {
      f.blink = 0;
      f.blinkRising = true;
    }
  }
}

void animateLights(Model& model, float elapsed) {
  for (int i = 0; i < std::clamp<int>(model.document.lightCount, 0, maxLights); ++i) {
    Light& light = model.document.lights[i];
    light.phase += elapsed * 32;
    if (light.phase > light.secondsPerCycle) {
      light.phase -= light.secondsPerCycle;
      light.cursor >>= 1;
      if (light.cursor == 0) light.cursor = 0x40000000;
    }
  }
}

// Whether anything on screen changes by itself, so that the window draws every frame.
bool sceneAnimates(const FrameParts& parts, bool moved) {
  const Model& model = parts.model;
  const FrameState& f = parts.frame;
  const ViewOptions& view = model.settings.view;
  const Selection& s = model.selection;
  // A typed entry's caret blinks and its panel slides in.
  if (moved || f.camera.transition < 1 || view.reentryEffect || parts.editing.entryActive)
    return true;
  const bool placed = placesModules(model.document);
  // The selection highlight pulses with the blink clock.
  if (s.currentPolygon != -1 || !s.selectedInstances.empty() || (placed && s.currentInstance >= 0))
    return true;
  if (view.showLights && view.animateLights && model.document.lightCount > 0) return true;
  return false;
}

// Monitors, screens and thrust cones flicker; their instances keep the view drawing.
bool flickers(const Model& model) {
  for (int m = 0; m < model.document.wldfiles; ++m) {
    for (const Instance& t : model.document.module[m].instances) {
      if (isFlickerType(t.type)) return true;
    }
  }
  return false;
}

// Runs the motion step; says whether any phase moved.
bool stepMotion(Model& model, FrameState& f, float elapsed) {
  if (!placesModules(model.document)) {
    // A single mesh is never moved: its one instance sits at the origin in kilometres.
    Module& m = model.document.module[0];
    const float k = static_cast<float>(unitKilometres(m.scaleClass));
    const Settings& s = model.settings;
    for (Instance& t : m.instances) {
      t.worldMatrix = scaling(s.flattenX ? 0 : k, s.flattenY ? 0 : k, s.flattenZ ? 0 : k);
      t.eyeDistance = length(transformCoord({}, f.camera.view));
    }
    return false;
  }
  f.phases.clear();
  for (int m = 0; m < model.document.wldfiles; ++m) {
    for (const Instance& t : model.document.module[m].instances) f.phases.push_back(t.motionPhase);
  }
  motionStep(model, elapsed, f.clockSeconds, f.camera.view);
  std::size_t i = 0;
  bool moved = false;
  for (int m = 0; m < model.document.wldfiles && !moved; ++m) {
    for (const Instance& t : model.document.module[m].instances) {
      if (t.motionPhase != f.phases[i++]) {
        moved = true;
        break;
      }
    }
  }
  return moved;
}

}  // namespace

int frameRandom(FrameState& frame) {
  frame.randomState = frame.randomState * 214013u + 2531011u;
  return static_cast<int>((frame.randomState >> 16) & 0x7FFF);
}

float computeSceneExtent(const Model& model) {
  float extent = 0;
  for (int i = 0; i < model.document.wldfiles; ++i) {
    const Module& m = model.document.module[i];
    const float k = static_cast<float>(unitKilometres(m.scaleClass));
    float farthest = 0;
    for (const Vertex& v : m.vertices)
      farthest = std::max(farthest, v.x * v.x + v.y * v.y + v.z * v.z);
    const float radius = std::sqrt(farthest) * k;
    for (const Instance& t : m.instances) {
      const float reach = std::hypot(t.location[0], t.location[1], t.location[2]) * k + radius;
      extent = std::max(extent, reach);
    }
  }
  return extent;
}

FrameParts frameParts(Editor& editor) {
  return {editor.model(), editor.frame, editor.scene, editor.editing, editor.user.sunlightColor};
}

void frameMove(const FrameParts& parts, float elapsedSeconds) {
  Model& model = parts.model;
  FrameState& f = parts.frame;
  FrameInput& in = f.input;
  const ViewOptions& view = model.settings.view;
  f.clockSeconds += elapsedSeconds;
  f.lastElapsed = elapsedSeconds;

  applySliders(f.sliders, view, f.ambient);
  if (view.reentryEffect) advanceReentryClock(f, elapsedSeconds);
  // Animation playback joins here with the animation panel.

  // A new document: its extent sets the scale of the camera.
  if (model.status.modulesReloaded || f.documentSeen != model.document.documentPath ||
      f.modulesSeen != model.document.wldfiles) {
    f.documentSeen = model.document.documentPath;
    f.modulesSeen = model.document.wldfiles;
    f.sceneExtent = computeSceneExtent(model);
    ++f.lineRevision;
  }

  Camera& c = f.camera;
  const int wheel = in.wheelDelta * 65536 / 393216;  // 20 per notch of 120
  if (view.texelView) {
    c.texelZoomPosition += wheel;
  } else {
    c.zoomPosition -= wheel;
  }
  in.wheelDelta = 0;
  if (in.leftHeld && !view.texelView && model.document.modelId != 7) {
    const float dx = in.leftDx, dy = in.leftDy;
    const float angle = std::sqrt(dx * dx + dy * dy) * 0.01f;
    if (angle > 0)
      c.sceneRotation = multiply(c.sceneRotation, rotationAxis(normalise({-dy, -dx, 0}), angle));
  }
  if (!in.cursorInside) in.leftHeld = in.rightHeld = false;
  applyZoom(f, model);

  if (model.status.geometryDirty || f.sunlight != f.lineListSunlight) {
    buildLineList(f, parts.sunlightColour);
    if (model.status.geometryDirty) rebuildGeometry(parts);
  }
  if (!model.document.connectors.empty() || !f.connectorLines.empty())
    buildConnectorLines(f, model);

  buildCamera(f, model, elapsedSeconds);
  if (in.resetRequested) {
    resetCamera(c, view.texelView);
    in.resetRequested = false;
    buildCamera(f, model, 0);
  }
  if (const auto inverseWorld = inverse(c.world)) {
    c.direction = normalise(transformNormal({0, 0, 1}, *inverseWorld));
  }
  advanceBlink(f, elapsedSeconds);
  advanceEntrySlide(parts.editing, elapsedSeconds);
  if (view.animateLights) animateLights(model, elapsedSeconds);
  // Street nodes take the elapsed time here once the street-node graph is drawn.
  const bool moved = stepMotion(model, f, elapsedSeconds);
  f.animating = sceneAnimates(parts, moved) || flickers(model);
  in.leftDx = in.leftDy = in.rightDx = in.rightDy = 0;
}

Matrix graphPaperWorld(const Model& model, const FrameState& frame) {
  const Selection& s = model.selection;
  if (s.currentModule < 0 || s.currentModule >= model.document.wldfiles) return identityMatrix();
  const Module& m = model.document.module[s.currentModule];
  const float k = static_cast<float>(unitKilometres(m.scaleClass));
  // Instance matrices already carry the module's scale, so the quad is placed by them alone.
  const bool instanceOk =
      s.currentInstance >= 0 && static_cast<std::size_t>(s.currentInstance) < m.instances.size();
  const Matrix placed = instanceOk ? m.instances[s.currentInstance].worldMatrix : scaling(k, k, k);
  return multiply(translation(0, 0, static_cast<float>(frame.camera.graphHeight)), placed);
}

void advanceFlicker(FrameState& f, float elapsed) {
  f.flickerClock += elapsed;
  if (f.flickerClock > 0.033333335f) {
    f.flickerClock = 0;
    f.flicker = !f.flicker;
    f.flickerCounter = (f.flickerCounter + 1) % 10;
  }
}

std::array<std::uint8_t, 4> clearColour(std::uint32_t background, float ambient) {
  std::array<std::uint8_t, 4> rgba{};
  const int shifts[4] = {16, 8, 0, 24};
  for (int i = 0; i < 4; ++i) {
    const float channel = static_cast<float>((background >> shifts[i]) & 0xFF) / 255.0f * ambient;
    rgba[i] = static_cast<std::uint8_t>(std::lround(std::clamp(channel, 0.0f, 1.0f) * 255.0f));
  }
  return rgba;
}

}  // namespace tessarim
