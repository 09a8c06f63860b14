#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "maths/maths.hpp"
#include "model/model.hpp"
#include "model/vertex_layouts.hpp"

namespace tessarim {

// Reused working arrays of the geometry builder, so that a rebuild allocates nothing once the
// arrays have reached the scene's size.
struct GeometryScratch {
  std::vector<Vec3> normals;                 // per polygon
  std::vector<std::uint32_t> positionGroup;  // per vertex: index of its distinct position
  std::vector<std::uint32_t> table;          // open-addressed vertex indices + 1; 0 is empty
  std::vector<Vec3> groupSums;               // per position group: summed polygon normals
  std::vector<std::int32_t> groupCounts;     // per position group: polygons with a corner there
};

// What the build derived of one polygon. Kept with the scene rather than the document: it is
// rebuilt with the scene and never saved.
struct PolygonShading {
  std::array<std::array<float, 3>, 4> cornerNormals{};
  std::array<std::int16_t, 4> cornerFriends{};  // polygons sharing the corner's position
  std::uint32_t firstVertex = 0;                // first vertex in its instance's run
};

// Where the build put one instance's triangles in the scene's vertices.
struct InstanceRun {
  std::int32_t firstSceneVertex = 0;
  std::int32_t triangleCount = 0;  // wider than the runtime files allow
};

// What the geometry builder fills and the renderer uploads as it is. The arrays grow with the
// scene; nothing in them is capped.
struct SceneGeometry {
  std::vector<RenderVertex>
      vertices;  // triangle list: every instance's triangles, module by module
  std::array<std::vector<LineVertex>, maxModules> normalLines;  // line list per module slot
  // Per module slot, polygon by polygon as of the last build: the 3D view's corner normals and
  // friend counts (kept through texel-view builds) and the last build's vertex runs. Empty for
  // a slot without instances.
  std::array<std::vector<PolygonShading>, maxModules> polygons;
  // Per module slot, instance by instance as of the last build; empty for a slot not built.
  std::array<std::vector<InstanceRun>, maxModules> instanceRuns;
  std::vector<LineVertex> lightSprites;  // one point per light
  // Texel view only: vertices 0..5 the canvas as two triangles, 6..11 its border as a line
  // strip that closes on itself (the last vertex repeats the first).
  std::array<RenderVertex, 12> canvasQuad{};
  bool hasCanvasQuad = false;
  GeometryScratch scratch;
};

// The instance's run as of the last build; an empty run for one added since (it is drawn after
// the next build).
inline InstanceRun instanceRun(const SceneGeometry& scene, int module, std::size_t instance) {
  const std::vector<InstanceRun>& runs = scene.instanceRuns[module];
  return instance < runs.size() ? runs[instance] : InstanceRun{};
}

}  // namespace tessarim
