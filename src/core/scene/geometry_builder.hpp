#pragma once

// The geometry builder: turns the model into the scene's triangle list, the modules' normal
// lines and the light sprites, and records where each instance's and polygon's triangles start.

#include <array>
#include <cstdint>

#include "maths/maths.hpp"
#include "model/model.hpp"
#include "platform/ui.hpp"
#include "scene/scene_buffers.hpp"

namespace tessarim {

// The view options the build depends on; the renderer passes its own.
struct GeometryOptions {
  bool texelView = false;  // lay every polygon flat at its texels instead of its positions
  int texelMapIndex = 0;   // 4: the texel view shows the overlay, laid out by texel set 1
  std::array<float, 4> canvasColour{};  // red, green, blue, alpha 0..1 of the texel canvas
};

struct TangentFrame {
  Vec3 tangent;
  Vec3 binormal;
};

// The direction of growing u (tangent) and of growing v (binormal) over the polygon's first
// three corners and their set-0 texels, normalised; zero vectors when the texels have no area.
TangentFrame computeTangentFrame(const Module& module, int polygon);

// Where the texel view lays the texel (u, v) of the module's texel set (1: the overlay's set 1,
// otherwise set 0): where the built polygons' corners lie, so a line drawn there meets them.
Vec3 texelViewPosition(const Module& module, int set, Texel texel);

// The texel view's end points of an edge given by its two texels (u0, v0, u1, v1).
std::array<Vec3, 2> texelViewEdge(const Module& module, int set,
                                  const std::array<float, 4>& texels);

struct GeometryBuild {
  std::int64_t triangles = 0;
  int removedPolygons = 0;  // polygons with a zero normal, taken out of their modules
};

// Rebuilds the scene from every module slot in order. In the 3D view, polygons with a zero
// normal are removed first (their module marked modified; the caller reports them once, with
// reportRemovedPolygons), and every polygon's corner normals and friend counts are kept in
// scene.polygons. Each instance's triangles follow its module's polygons in order: one triangle
// (corners 0, 1, 2) per polygon and a second (2, 3, 0) for a quad.
GeometryBuild buildGeometry(Model& model, SceneGeometry& scene,
                            const GeometryOptions& options = {});

// The message for what a build removed; nothing when it removed nothing.
void reportRemovedPolygons(Ui& ui, int removed);

}  // namespace tessarim
