#pragma once

// Operations on a module's geometry: normals, statistics, scale classes, generated texels,
// polygon deletion, vertex lookup and picking. Texel set 1 is asked for with set 1; any other
// set number means set 0.

#include <array>
#include <vector>

#include "maths/maths.hpp"
#include "model/model.hpp"
#include "model/records.hpp"
#include "model/vertex_layouts.hpp"

namespace tessarim {

inline constexpr float twoPi = 6.2831855f;  // texel angles stay within -twoPi..twoPi

// The corners a polygon uses: 4 for a quad, otherwise 3.
inline int cornerCount(const Polygon& p) {
  return p.sides == 4 ? 4 : 3;
}

inline std::array<Texel, 4>& texelsOf(Polygon& p, int set) {
  return set == 1 ? p.texels2 : p.texels;
}
inline const std::array<Texel, 4>& texelsOf(const Polygon& p, int set) {
  return set == 1 ? p.texels2 : p.texels;
}
inline float& texelAngleOf(Polygon& p, int set) {
  return set == 1 ? p.texelAngle2 : p.texelAngle;
}

// The set's texel canvas in pixels.
struct Canvas {
  float width = 0, height = 0;
};
inline Canvas canvasOf(const Module& m, int set) {
  return set == 1 ? Canvas{static_cast<float>(m.canvasWidth2), static_cast<float>(m.canvasHeight2)}
                  : Canvas{static_cast<float>(m.canvasWidth), static_cast<float>(m.canvasHeight)};
}

// normalise(normalise(c0 - c1) × normalise(c2 - c1)) over the first three corners.
Vec3 polygonNormal(const Module& module, int polygon);

// Every loaded module's centroid (mean vertex) and bounding radius (kilometres), then
// status.encompassingRadius: the farthest reach of any instance from the document origin.
void computeStatistics(Model& model);

// Gives the modules of the selected instances (or the current module when no instance is
// selected) the scale class newClass, keeping their real size unless settings.sudoSu is on.
void assignScale(Model& model, int newClass);

inline constexpr int allPolygons = -1;
inline constexpr int selectedPolygonsTarget = -2;  // the polygons in selection.selectedPolygons

// Lays the target polygons (an index, allPolygons or selectedPolygonsTarget) flat into texel set
// `set` at the scale class's density (twice that for set 1).
void generateTexels(Model& model, int moduleIndex, int set, int target);
// Every polygon, both sets: zeroed where the set's angle is -1, otherwise generated again.
void regenerateAllTexels(Module& module);
// Turns one polygon's texels of a set by angle radians about their own centre (in pixels); with
// accumulate the set's angle follows, unless it is -1.
void rotatePolygonTexels(Module& module, int set, int polygon, float angle, bool accumulate);
// Turns set 0 of every selected polygon about their common centre.
void rotateSelectedTexels(Model& model, int moduleIndex, float angle, bool accumulate);

// Removes the polygon and the vertices only it used; vertexRefs (vertex indices held by the
// caller) come back renumbered, with -1 for removed vertices.
std::vector<int> deletePolygon(Module& module, int polygon, std::vector<int> vertexRefs);

// The first vertex within 0.001 of (x, y, z) on every axis, or -1 (always for a point that is
// not finite).
int findVertex(const Module& module, float x, float y, float z);

struct PickResult {
  int hitCount = 0;  // accepted hits, replacements included; 0: nothing was hit
  int polygon = -1;
  // First triangle: the weights of corners 0 and 2. Second triangle: 1 minus the weights of
  // corners 2 and 0 (geometry) or of corners 3 and 2 (texel layout).
  float weight1 = 0, weight2 = 0;
  float distance = 3.4028235e38f;  // in lengths of the ray direction
  Vec3 hitPoint;                   // model space, or the flat texel layout
  Vec3 normal;                     // cross product of two unit edges, not normalised again
  bool secondTriangle = false;
};

// The polygon under the screen point (pixels). Geometry mode tests the module placed by
// worldMatrix and skips polygons facing away or wholly behind the viewer; texel mode tests the
// flat layout of texel set texelSet in view space and skips nothing.
PickResult pick(const Module& module, const Matrix& worldMatrix, float screenX, float screenY,
                bool texelMode, int texelSet, const Viewport& viewport, const Matrix& view,
                const Matrix& projection);

struct InstancePick {
  int module = -1;  // -1: nothing under the point
  int instance = -1;
  int polygon = -1;
  float distance = 3.4028235e38f;  // along the view ray, in lengths of its direction
};

// The instance whose geometry-mode pick (placed by its worldMatrix) hits nearest under the screen
// point, over every instance of every loaded module; of two at the same distance the later one
// wins (modules in order, then instances). An instance whose bounding ball (about the module's
// origin, reaching its farthest vertex) the ray misses is not tested.
InstancePick pickInstance(const Model& model, float screenX, float screenY,
                          const Viewport& viewport, const Matrix& view, const Matrix& projection);

struct EdgePick {
  int edge = -1;     // edge i runs from corner i to the next; -1: none within reach
  Texel start, end;  // the set's texels at the edge's two ends
};

// The edge of the polygon's flat texel layout whose midpoint lies nearest the screen point.
// With line, the edge is written there as a two-vertex line, replacing its contents.
EdgePick pickEdge(const Module& module, int polygon, int texelSet, float screenX, float screenY,
                  const Viewport& viewport, const Matrix& view, const Matrix& projection,
                  std::vector<LineVertex>* line = nullptr);

}  // namespace tessarim
