#include "scene/geometry_builder.hpp"

#include <algorithm>
#include <bit>
#include <string>

#include "model/geometry.hpp"

namespace tessarim {
namespace {

constexpr std::uint32_t normalLineColour = 0x00FFFF00;
constexpr float normalLineLength = 5;            // model units
constexpr float texelViewScale = 0.0048828125f;  // 10 / 2048: a 2048-texel canvas spans 10 units

std::uint32_t colourByte(float c) {
  if (!(c > 0)) return 0;  // NaN as well
  if (c >= 1) return 255;
  return static_cast<std::uint32_t>(c * 255 + 0.5f);
}

std::uint32_t argb(const std::array<float, 4>& rgba) {
  return colourByte(rgba[3]) << 24 | colourByte(rgba[0]) << 16 | colourByte(rgba[1]) << 8 |
         colourByte(rgba[2]);
}

bool cornersExist(const Module& m, const Polygon& p) {
  for (int c = 0; c < cornerCount(p); ++c) {
    if (p.vertexIndex[c] >= m.vertices.size()) return false;
  }
  return true;
}

// Drops the polygons whose normal is zero, keeping the order of the rest; normals receives the
// normal of each polygon kept. Returns how many were dropped.
int removeInvalidPolygons(Module& m, std::vector<Vec3>& normals) {
  normals.clear();
  normals.reserve(m.polygons.size());
  std::size_t kept = 0;
  for (std::size_t i = 0; i < m.polygons.size(); ++i) {
    const Vec3 n = cornersExist(m, m.polygons[i]) ? polygonNormal(m, static_cast<int>(i)) : Vec3{};
    if (n == Vec3{}) continue;
    if (kept != i) m.polygons[kept] = m.polygons[i];
    normals.push_back(n);
    ++kept;
  }
  const int removed = static_cast<int>(m.polygons.size() - kept);
  if (removed > 0) {
    m.polygons.resize(kept);
    m.modified = 1;
  }
  return removed;
}

// -0 and +0 are one position.
std::uint32_t coordinateBits(float f) {
  return std::bit_cast<std::uint32_t>(f == 0 ? 0.0f : f);
}

bool samePosition(const Vertex& a, const Vertex& b) {
  return coordinateBits(a.x) == coordinateBits(b.x) && coordinateBits(a.y) == coordinateBits(b.y) &&
         coordinateBits(a.z) == coordinateBits(b.z);
}

std::size_t positionHash(const Vertex& v) {
  std::uint64_t h = coordinateBits(v.x) * 0x9E3779B97F4A7C15ull;
  h ^= coordinateBits(v.y) * 0xC2B2AE3D27D4EB4Full;
  h ^= coordinateBits(v.z) * 0x165667B19E3779F9ull;
  return static_cast<std::size_t>(h ^ (h >> 31));
}

// Gives every vertex the index of its distinct position, in one pass over an open-addressed
// table; returns the number of distinct positions.
std::uint32_t groupPositions(const std::vector<Vertex>& vertices, GeometryScratch& s) {
  std::size_t size = 16;
  while (size < vertices.size() * 2) size *= 2;
  s.table.assign(size, 0);
  s.positionGroup.resize(vertices.size());
  const std::size_t mask = size - 1;
  std::uint32_t groups = 0;
  for (std::uint32_t i = 0; i < vertices.size(); ++i) {
    for (std::size_t slot = positionHash(vertices[i]) & mask;; slot = (slot + 1) & mask) {
      const std::uint32_t entry = s.table[slot];
      if (entry == 0) {
        s.table[slot] = i + 1;
        s.positionGroup[i] = groups++;
        break;
      }
      if (samePosition(vertices[entry - 1], vertices[i])) {
        s.positionGroup[i] = s.positionGroup[entry - 1];
        break;
      }
    }
  }
  return groups;
}

// Corner normals and friend counts. A corner's friends are the polygons with a corner at the
// same position (the polygon itself included), whether or not they share the vertex record.
// The smoothed normal of a Gouraud corner is the average of its friends' polygon normals,
// normalised; it falls back to the polygon's own normal where they cancel out.
void computeCornerNormals(const Module& m, GeometryScratch& s, std::vector<PolygonShading>& out) {
  const std::uint32_t groups = groupPositions(m.vertices, s);
  s.groupSums.assign(groups, Vec3{});
  s.groupCounts.assign(groups, 0);
  for (std::size_t i = 0; i < m.polygons.size(); ++i) {
    const Polygon& p = m.polygons[i];
    std::array<std::uint32_t, 4> seen{};
    int seenCount = 0;
    for (int c = 0; c < cornerCount(p); ++c) {
      const std::uint32_t g = s.positionGroup[p.vertexIndex[c]];
      if (std::find(seen.begin(), seen.begin() + seenCount, g) != seen.begin() + seenCount)
        continue;
      seen[seenCount++] = g;
      s.groupSums[g] = s.groupSums[g] + s.normals[i];
      ++s.groupCounts[g];
    }
  }
  for (std::size_t i = 0; i < m.polygons.size(); ++i) {
    const Polygon& p = m.polygons[i];
    PolygonShading& shading = out[i];
    const Vec3 own = s.normals[i];
    for (int c = 0; c < 4; ++c) {
      Vec3 n = own;
      std::int32_t friends = 0;
      if (c < cornerCount(p)) {
        const std::uint32_t g = s.positionGroup[p.vertexIndex[c]];
        friends = s.groupCounts[g];
        if (p.smooth) {
          const Vec3 average = normalise(s.groupSums[g]);
          if (!(average == Vec3{})) n = average;
        }
      }
      shading.cornerNormals[c] = {n.x, n.y, n.z};
      shading.cornerFriends[c] =
          static_cast<std::int16_t>(std::min<std::int32_t>(friends, INT16_MAX));
    }
  }
}

// The run of vertices for one polygon: (0, 1, 2), then (2, 3, 0) for a quad.
void emitTriangles(const std::array<RenderVertex, 4>& corners, bool quad,
                   std::vector<RenderVertex>& out) {
  out.push_back(corners[0]);
  out.push_back(corners[1]);
  out.push_back(corners[2]);
  if (quad) {
    out.push_back(corners[2]);
    out.push_back(corners[3]);
    out.push_back(corners[0]);
  }
}

// The first instance's run of the module in the 3D view, appended to out, and the module's
// normal lines.
void buildModuleRun(const Module& m, std::vector<PolygonShading>& shading,
                    std::vector<RenderVertex>& out, std::vector<LineVertex>& lines) {
  const std::size_t start = out.size();
  lines.clear();
  lines.reserve(m.polygons.size() * 8);
  for (std::size_t i = 0; i < m.polygons.size(); ++i) {
    const Polygon& p = m.polygons[i];
    const TangentFrame frame = computeTangentFrame(m, static_cast<int>(i));
    const std::uint32_t colour = argb(p.colour);
    std::array<RenderVertex, 4> corners{};
    for (int c = 0; c < cornerCount(p); ++c) {
      const Vertex& v = m.vertices[p.vertexIndex[c]];
      const auto& n = shading[i].cornerNormals[c];
      corners[c] = RenderVertex{v.x,
                                v.y,
                                v.z,
                                n[0],
                                n[1],
                                n[2],
                                colour,
                                p.texels[c].u,
                                p.texels[c].v,
                                p.texels2[c].u,
                                p.texels2[c].v,
                                frame.tangent.x,
                                frame.tangent.y,
                                frame.tangent.z,
                                frame.binormal.x,
                                frame.binormal.y,
                                frame.binormal.z};
      lines.push_back({v.x, v.y, v.z, normalLineColour});
      lines.push_back({v.x + normalLineLength * n[0], v.y + normalLineLength * n[1],
                       v.z + normalLineLength * n[2], normalLineColour});
    }
    shading[i].firstVertex = static_cast<std::uint32_t>(out.size() - start);
    emitTriangles(corners, p.sides == 4, out);
  }
}

// The first instance's run in the texel view, appended to out: every polygon flat at its texels
// of the shown set.
void buildTexelRun(const Module& m, int set, std::vector<PolygonShading>& shading,
                   std::vector<RenderVertex>& out) {
  const std::size_t start = out.size();
  for (std::size_t i = 0; i < m.polygons.size(); ++i) {
    const Polygon& p = m.polygons[i];
    const std::uint32_t colour = argb(p.colour);
    const auto& shown = texelsOf(p, set);
    std::array<RenderVertex, 4> corners{};
    for (int c = 0; c < cornerCount(p); ++c) {
      const Vec3 at = texelViewPosition(m, set, shown[c]);
      // Not lit: the normal, tangent and binormal stay zero.
      corners[c] = RenderVertex{
          at.x,           at.y,           at.z, 0, 0, 0, colour, shown[c].u, shown[c].v,
          p.texels2[c].u, p.texels2[c].v, 0,    0, 0, 0, 0,      0};
    }
    shading[i].firstVertex = static_cast<std::uint32_t>(out.size() - start);
    emitTriangles(corners, p.sides == 4, out);
  }
}

void buildCanvasQuad(const Model& model, int set, std::uint32_t colour, SceneGeometry& scene) {
  scene.hasCanvasQuad = false;
  const int current = model.selection.currentModule;
  if (current < 0 || current >= model.document.wldfiles) return;
  const Canvas canvas = canvasOf(model.document.module[current], set);
  const float w = texelViewScale * canvas.width, h = texelViewScale * canvas.height;
  auto corner = [colour](float x, float y, float u, float v) {
    return RenderVertex{x, y, 0, 0, 0, 0, colour, u, v, u, v, 0, 0, 0, 0, 0, 0};
  };
  const RenderVertex topLeft = corner(0, 0, 0, 0), topRight = corner(w, 0, 1, 0);
  const RenderVertex bottomRight = corner(w, -h, 1, 1), bottomLeft = corner(0, -h, 0, 1);
  scene.canvasQuad = {topLeft, topRight, bottomRight, bottomRight, bottomLeft, topLeft,
                      topLeft, topRight, bottomRight, bottomLeft,  topLeft,    topLeft};
  scene.hasCanvasQuad = true;
}

}  // namespace

Vec3 texelViewPosition(const Module& module, int set, Texel texel) {
  const Canvas canvas = canvasOf(module, set);
  return {texel.u * (texelViewScale * canvas.width), -texel.v * (texelViewScale * canvas.height),
          0};
}

std::array<Vec3, 2> texelViewEdge(const Module& module, int set,
                                  const std::array<float, 4>& texels) {
  return {texelViewPosition(module, set, {texels[0], texels[1]}),
          texelViewPosition(module, set, {texels[2], texels[3]})};
}

TangentFrame computeTangentFrame(const Module& module, int polygon) {
  const Polygon& p = module.polygons[polygon];
  auto position = [&](int c) {
    const Vertex& v = module.vertices[p.vertexIndex[c]];
    return Vec3{v.x, v.y, v.z};
  };
  const Vec3 e1 = position(1) - position(0), e2 = position(2) - position(0);
  const float du1 = p.texels[1].u - p.texels[0].u, dv1 = p.texels[1].v - p.texels[0].v;
  const float du2 = p.texels[2].u - p.texels[0].u, dv2 = p.texels[2].v - p.texels[0].v;
  const float determinant = du1 * dv2 - du2 * dv1;
  if (determinant == 0) return {};
  const float r = 1 / determinant;
  return {normalise((e1 * dv2 - e2 * dv1) * r), normalise((e2 * du1 - e1 * du2) * r)};
}

GeometryBuild buildGeometry(Model& model, SceneGeometry& scene, const GeometryOptions& options) {
  const int set = options.texelView && options.texelMapIndex == 4 ? 1 : 0;
  GeometryScratch& s = scene.scratch;

  std::size_t expected = 0;  // an upper bound: invalid polygons are not counted out yet
  for (int m = 0; m < model.document.wldfiles; ++m) {
    const Module& module = model.document.module[m];
    std::size_t run = 0;
    for (const Polygon& p : module.polygons) run += p.sides == 4 ? 6 : 3;
    expected += run * module.instances.size();
  }
  scene.vertices.clear();
  scene.vertices.reserve(expected);

  std::int64_t triangles = 0;
  int removed = 0;
  for (int m = 0; m < maxModules; ++m) {
    Module& module = model.document.module[m];
    std::vector<LineVertex>& lines = scene.normalLines[m];
    std::vector<PolygonShading>& shading = scene.polygons[m];
    std::vector<InstanceRun>& runs = scene.instanceRuns[m];
    lines.clear();
    runs.clear();
    if (m >= model.document.wldfiles || module.instances.empty()) {
      shading.clear();
      continue;
    }

    // The first instance's run is built in place; the others copy it. The normal lines are the
    // module's, drawn once per instance with its world matrix, so they are built once.
    const std::size_t start = scene.vertices.size();
    if (options.texelView) {
      shading.resize(module.polygons.size());
      buildTexelRun(module, set, shading, scene.vertices);
    } else {
      removed += removeInvalidPolygons(module, s.normals);
      shading.resize(module.polygons.size());
      computeCornerNormals(module, s, shading);
      buildModuleRun(module, shading, scene.vertices, lines);
    }
    const std::size_t run = scene.vertices.size() - start;
    for (std::size_t i = 0; i < module.instances.size(); ++i) {
      runs.push_back(
          {static_cast<std::int32_t>(start + i * run), static_cast<std::int32_t>(run / 3)});
      // Element by element: a vector may not insert a range of itself. The array is reserved,
      // so nothing moves meanwhile.
      if (i > 0) {
        for (std::size_t v = start; v < start + run; ++v)
          scene.vertices.push_back(scene.vertices[v]);
      }
      triangles += static_cast<std::int64_t>(run / 3);
    }
  }

  scene.lightSprites.clear();
  for (int i = 0; i < std::clamp<int>(model.document.lightCount, 0, maxLights); ++i) {
    const Light& light = model.document.lights[i];
    scene.lightSprites.push_back(
        {light.position[0], light.position[1], light.position[2], light.colour});
  }
  if (options.texelView) {
    buildCanvasQuad(model, set, argb(options.canvasColour), scene);
  } else {
    scene.hasCanvasQuad = false;
  }
  return {triangles, removed};
}

void reportRemovedPolygons(Ui& ui, int removed) {
  if (removed <= 0) return;
  ui.messageBox(std::to_string(removed) +
                    " polygon(s) were automatically removed because they were invalid based on "
                    "surface normal calculation!",
                "Error!", MessageIcon::warning, MessageButtons::ok);
}

}  // namespace tessarim
