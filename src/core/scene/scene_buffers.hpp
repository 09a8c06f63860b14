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
  std::vector<LineVertex> lightSprites;  // one point per light
  // Texel view only: vertices 0..5 the canvas as two triangles, 6..11 its border as a line
  // strip that closes on itself (the last vertex repeats the first).
  std::array<RenderVertex, 12> canvasQuad{};
  bool hasCanvasQuad = false;
  GeometryScratch scratch;
};

}  // namespace tessarim
