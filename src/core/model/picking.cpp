#include <cmath>

#include "model/geometry.hpp"

namespace tessarim {
namespace {

// World units per canvas pixel of the flat texel layout: a 2048-pixel canvas spans 10 units.
constexpr float flatScale = 0.0048828125f;

// A polygon's corners as picking sees them: the vertices, or the texels laid flat on z = 0
// with v pointing down the screen.
struct CornerSource {
  const Module& module;
  bool texelMode;
  int set;
  Canvas canvas;

  Vec3 operator()(const Polygon& p, int c) const {
    if (texelMode) {
      const Texel& t = texelsOf(p, set)[c];
      return {t.u * flatScale * canvas.width, -t.v * flatScale * canvas.height, 0};
    }
    const Vertex& v = module.vertices[p.vertexIndex[c]];
    return {v.x, v.y, v.z};
  }
};

// (o - c0) . ((c1 - c0) × (c2 - c0)) > 0: the eye is on the side opposite polygonNormal. Written
// out here because it runs for every polygon and the vector helpers are not inlined.
bool seenFromBehind(Vec3 o, Vec3 c0, Vec3 c1, Vec3 c2) {
  const float ax = c1.x - c0.x, ay = c1.y - c0.y, az = c1.z - c0.z;
  const float bx = c2.x - c0.x, by = c2.y - c0.y, bz = c2.z - c0.z;
  const float nx = ay * bz - az * by, ny = az * bx - ax * bz, nz = ax * by - ay * bx;
  return (o.x - c0.x) * nx + (o.y - c0.y) * ny + (o.z - c0.z) * nz > 0;
}

// transformCoord(p, m).z without the x and y it has no use for.
float viewDepth(Vec3 p, const Matrix& m) {
  const float z = p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2];
  const float w = p.x * m[0][3] + p.y * m[1][3] + p.z * m[2][3] + m[3][3];
  return w != 0 && w != 1 ? z / w : z;
}

}  // namespace

PickResult pick(const Module& module, const Matrix& worldMatrix, float screenX, float screenY,
                bool texelMode, int texelSet, const Viewport& viewport, const Matrix& view,
                const Matrix& projection) {
  PickResult result;
  // The viewport fills the window, so its origin does not enter the ray.
  const Vec3 viewRay{(2 * screenX / viewport.width - 1) / projection[0][0],
                     (1 - 2 * screenY / viewport.height) / projection[1][1], -1};
  const Matrix m = texelMode ? view : multiply(worldMatrix, view);
  const auto toModel = inverse(m);
  if (!toModel) return result;
  const Vec3 origin{(*toModel)[3][0], (*toModel)[3][1], (*toModel)[3][2]};
  const Vec3 direction = transformNormal(viewRay, *toModel);
  const int set = texelSet == 1 ? 1 : 0;
  const CornerSource corner{module, texelMode, set, canvasOf(module, set)};

  const auto record = [&](int polygon, float w1, float w2, float distance, Vec3 point, Vec3 normal,
                          bool second) {
    result.polygon = polygon;
    result.weight1 = w1;
    result.weight2 = w2;
    result.distance = distance;
    result.hitPoint = point;
    result.normal = normal;
    result.secondTriangle = second;
    ++result.hitCount;
  };
  // Ties go to the later triangle.
  const auto counts = [&](const RayHit& hit) {
    return result.hitCount == 0 || hit.distance <= result.distance;
  };

  for (std::size_t i = 0; i < module.polygons.size(); ++i) {
    const Polygon& p = module.polygons[i];
    const Vec3 c0 = corner(p, 0), c1 = corner(p, 1), c2 = corner(p, 2);
    if (!texelMode && seenFromBehind(origin, c0, c1, c2)) continue;
    // A polygon whose first three corners are all behind the eye is skipped whole. Looked at
    // only when a triangle is hit, which few are.
    const auto behindEye = [&] {
      return !texelMode && viewDepth(c0, m) > 0 && viewDepth(c1, m) > 0 && viewDepth(c2, m) > 0;
    };
    const int index = static_cast<int>(i);
    if (auto hit = intersectRayTriangle(c1, c2, c0, origin, direction); hit && counts(*hit)) {
      if (behindEye()) continue;
      const Vec3 point = c1 + (c2 - c1) * hit->u + (c0 - c1) * hit->v;
      record(index, hit->v, hit->u, hit->distance, point,
             cross(normalise(c2 - c0), normalise(c1 - c0)), false);
    }
    if (p.sides != 4) continue;
    const Vec3 c3 = corner(p, 3);
    // The second triangle's corner order differs between the modes; callers rely on the weights
    // each order gives.
    const Vec3 p0 = texelMode ? c0 : c3, p1 = texelMode ? c2 : c0, p2 = texelMode ? c3 : c2;
    if (auto hit = intersectRayTriangle(p0, p1, p2, origin, direction); hit && counts(*hit)) {
      if (behindEye()) continue;
      const Vec3 point = p0 + (p1 - p0) * hit->u + (p2 - p0) * hit->v;
      const Vec3 normal = texelMode ? cross(normalise(c0 - c2), normalise(c3 - c2))
                                    : cross(normalise(c3 - c0), normalise(c2 - c0));
      record(index, 1 - hit->v, 1 - hit->u, hit->distance, point, normal, true);
    }
  }
  return result;
}

EdgePick pickEdge(const Module& module, int polygon, int texelSet, float screenX, float screenY,
                  const Viewport& viewport, const Matrix& view, const Matrix& projection,
                  std::vector<LineVertex>* line) {
  EdgePick result;
  if (line) line->clear();
  if (polygon < 0 || static_cast<std::size_t>(polygon) >= module.polygons.size()) return result;
  const Polygon& p = module.polygons[polygon];
  const int set = texelSet == 1 ? 1 : 0;
  const CornerSource corner{module, true, set, canvasOf(module, set)};
  const int n = cornerCount(p);
  const Matrix world = identityMatrix();

  float best = 9999;
  for (int e = 0; e < n; ++e) {
    const Vec3 mid = (corner(p, e) + corner(p, (e + 1) % n)) * 0.5f;
    const Vec3 s = project(mid, viewport, projection, view, world);
    const float dx = s.x - screenX, dy = s.y - screenY;
    // The projected depth (0..1) counts as a third axis.
    const float distance = std::sqrt(dx * dx + dy * dy + s.z * s.z);
    if (distance < best) {  // strictly: of two edges at one distance the first is kept
      best = distance;
      result.edge = e;
    }
  }
  if (result.edge < 0) return result;
  const int a = result.edge, b = (result.edge + 1) % n;
  result.start = texelsOf(p, set)[a];
  result.end = texelsOf(p, set)[b];
  if (line) {
    constexpr std::uint32_t green = 0x0000FF00;
    const Vec3 s = corner(p, a), t = corner(p, b);
    *line = {{s.x, s.y, 0, green}, {t.x, t.y, 0, green}};
  }
  return result;
}

}  // namespace tessarim
