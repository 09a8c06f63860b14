#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "model/geometry.hpp"

namespace tessarim {
namespace {

// World units per canvas pixel of the flat texel layout: a 2048-pixel canvas spans 10 units.
constexpr float flatScale = 0.0048828125f;

// A polygon's corners in the flat texel layout: the set's texels on z = 0 with v pointing down
// the screen.
struct FlatCorners {
  int set;
  Canvas canvas;

  Vec3 operator()(const Polygon& p, int c) const {
    const Texel& t = texelsOf(p, set)[c];
    return {t.u * flatScale * canvas.width, -t.v * flatScale * canvas.height, 0};
  }
};

// transformCoord(p, m).z without the x and y it has no use for.
float viewDepth(Vec3 p, const Matrix& m) {
  const float z = p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2];
  const float w = p.x * m[0][3] + p.y * m[1][3] + p.z * m[2][3] + m[3][3];
  return w != 0 && w != 1 ? z / w : z;
}

// The pick ray in the space of the corners tested: toView takes that space to view space.
struct Ray {
  Matrix toView;
  Vec3 origin, direction;
};

// The view-space direction through the pixel. The viewport fills the window, so its origin does
// not enter the ray.
Vec3 viewRayThrough(float screenX, float screenY, const Viewport& viewport,
                    const Matrix& projection) {
  return {(2 * screenX / viewport.width - 1) / projection[0][0],
          (1 - 2 * screenY / viewport.height) / projection[1][1], -1};
}

std::optional<Ray> rayThrough(const Matrix& toView, Vec3 viewRay) {
  const auto fromView = inverse(toView);
  if (!fromView) return std::nullopt;
  return Ray{toView,
             {(*fromView)[3][0], (*fromView)[3][1], (*fromView)[3][2]},
             transformNormal(viewRay, *fromView)};
}

// Ties go to the later triangle.
bool counts(const PickResult& result, float distance) {
  return result.hitCount == 0 || distance <= result.distance;
}

void record(PickResult& result, int polygon, float w1, float w2, float distance, Vec3 point,
            Vec3 normal, bool second) {
  result.polygon = polygon;
  result.weight1 = w1;
  result.weight2 = w2;
  result.distance = distance;
  result.hitPoint = point;
  result.normal = normal;
  result.secondTriangle = second;
  ++result.hitCount;
}

PickResult pickTexels(const Module& module, int set, const Ray& ray) {
  PickResult result;
  const FlatCorners corner{set, canvasOf(module, set)};
  for (std::size_t i = 0; i < module.polygons.size(); ++i) {
    const Polygon& p = module.polygons[i];
    const Vec3 c0 = corner(p, 0), c1 = corner(p, 1), c2 = corner(p, 2);
    const int index = static_cast<int>(i);
    if (auto hit = intersectRayTriangle(c1, c2, c0, ray.origin, ray.direction);
        hit && counts(result, hit->distance)) {
      const Vec3 point = c1 + (c2 - c1) * hit->u + (c0 - c1) * hit->v;
      record(result, index, hit->v, hit->u, hit->distance, point,
             cross(normalise(c2 - c0), normalise(c1 - c0)), false);
    }
    if (p.sides != 4) continue;
    const Vec3 c3 = corner(p, 3);
    if (auto hit = intersectRayTriangle(c0, c2, c3, ray.origin, ray.direction);
        hit && counts(result, hit->distance)) {
      const Vec3 point = c0 + (c2 - c0) * hit->u + (c3 - c0) * hit->v;
      record(result, index, 1 - hit->v, 1 - hit->u, hit->distance, point,
             cross(normalise(c0 - c2), normalise(c3 - c2)), true);
    }
  }
  return result;
}

// Geometry picking tests every polygon of what may be a very large module, so it runs a block of
// polygons at a time: their corners are gathered into lanes, then the facing test and both
// ray-triangle tests run over all lanes without a branch, which the compiler turns into vector
// arithmetic. Each lane repeats the scalar operations in their order (no reassociation, IEEE
// division), so its outcome is bit for bit that of the scalar facing test and of
// intersectRayTriangle.
constexpr int laneCount = 32;

struct CornerLanes {
  float x[laneCount] = {}, y[laneCount] = {}, z[laneCount] = {};

  void set(int lane, const Vertex& v) {
    x[lane] = v.x;
    y[lane] = v.y;
    z[lane] = v.z;
  }
};

// One triangle per lane; hit is 0 or 1.
struct HitLanes {
  float u[laneCount], v[laneCount], distance[laneCount];
  int hit[laneCount];
};

// Möller and Trumbore as intersectRayTriangle has it, for the triangles (p0, p1, p2) of every lane.
void intersectLanes(const CornerLanes& p0, const CornerLanes& p1, const CornerLanes& p2, Vec3 o,
                    Vec3 d, HitLanes& out) {
  constexpr float largest = std::numeric_limits<float>::max();
  for (int l = 0; l < laneCount; ++l) {
    const float e1x = p1.x[l] - p0.x[l], e1y = p1.y[l] - p0.y[l], e1z = p1.z[l] - p0.z[l];
    const float e2x = p2.x[l] - p0.x[l], e2y = p2.y[l] - p0.y[l], e2z = p2.z[l] - p0.z[l];
    const float px = d.y * e2z - d.z * e2y, py = d.z * e2x - d.x * e2z, pz = d.x * e2y - d.y * e2x;
    const float det = e1x * px + e1y * py + e1z * pz;
    const float tx = o.x - p0.x[l], ty = o.y - p0.y[l], tz = o.z - p0.z[l];
    const float u = (tx * px + ty * py + tz * pz) / det;
    const float qx = ty * e1z - tz * e1y, qy = tz * e1x - tx * e1z, qz = tx * e1y - ty * e1x;
    const float v = (d.x * qx + d.y * qy + d.z * qz) / det;
    const float distance = (e2x * qx + e2y * qy + e2z * qz) / det;
    out.u[l] = u;
    out.v[l] = v;
    out.distance[l] = distance;
    // Bitwise, not short-circuit: every lane takes the same path. A det that is 0, infinite or
    // not a number fails the second term.
    out.hit[l] = (det != 0) & (std::fabs(det) <= largest) & (u >= 0) & (u <= 1) & (v >= 0) &
                 (u + v <= 1) & (distance >= 0);
  }
}

PickResult pickGeometry(const Module& module, const Ray& ray) {
  PickResult result;
  const Vec3 o = ray.origin;
  const auto& vertices = module.vertices;
  const auto vertex = [&](const Polygon& p, int c) {
    const Vertex& v = vertices[p.vertexIndex[c]];
    return Vec3{v.x, v.y, v.z};
  };
  CornerLanes c0, c1, c2, c3;
  HitLanes first, second;
  int quad[laneCount] = {};
  int candidate[laneCount] = {};
  const std::size_t total = module.polygons.size();
  for (std::size_t block = 0; block < total; block += laneCount) {
    const int lanes = static_cast<int>(std::min<std::size_t>(laneCount, total - block));
    for (int l = 0; l < lanes; ++l) {
      const Polygon& p = module.polygons[block + l];
      c0.set(l, vertices[p.vertexIndex[0]]);
      c1.set(l, vertices[p.vertexIndex[1]]);
      c2.set(l, vertices[p.vertexIndex[2]]);
      quad[l] = p.sides == 4;
      // A triangle's fourth corner may name no vertex; its lane repeats corner 0 and is ignored.
      c3.set(l, vertices[p.vertexIndex[quad[l] ? 3 : 0]]);
    }
    intersectLanes(c1, c2, c0, o, ray.direction, first);
    intersectLanes(c3, c0, c2, o, ray.direction, second);
    int any = 0;
    for (int l = 0; l < laneCount; ++l) {
      // Skipped when the eye is behind the polygon, (o - c0) . ((c1 - c0) × (c2 - c0)) > 0: on
      // the side opposite polygonNormal.
      const float ax = c1.x[l] - c0.x[l], ay = c1.y[l] - c0.y[l], az = c1.z[l] - c0.z[l];
      const float bx = c2.x[l] - c0.x[l], by = c2.y[l] - c0.y[l], bz = c2.z[l] - c0.z[l];
      const float nx = ay * bz - az * by, ny = az * bx - ax * bz, nz = ax * by - ay * bx;
      const int facing = !((o.x - c0.x[l]) * nx + (o.y - c0.y[l]) * ny + (o.z - c0.z[l]) * nz > 0);
      candidate[l] = facing & (first.hit[l] | (quad[l] & second.hit[l]));
      any |= candidate[l];
    }
    if (!any) continue;
    // Few polygons are hit: these follow the scalar order of the picking rules.
    for (int l = 0; l < lanes; ++l) {
      if (!candidate[l]) continue;
      const Polygon& p = module.polygons[block + l];
      const Vec3 v0 = vertex(p, 0), v1 = vertex(p, 1), v2 = vertex(p, 2);
      // A polygon whose first three corners are all behind the eye is skipped whole.
      if (viewDepth(v0, ray.toView) > 0 && viewDepth(v1, ray.toView) > 0 &&
          viewDepth(v2, ray.toView) > 0)
        continue;
      const int index = static_cast<int>(block) + l;
      if (first.hit[l] && counts(result, first.distance[l])) {
        const Vec3 point = v1 + (v2 - v1) * first.u[l] + (v0 - v1) * first.v[l];
        record(result, index, first.v[l], first.u[l], first.distance[l], point,
               cross(normalise(v2 - v0), normalise(v1 - v0)), false);
      }
      if (quad[l] && second.hit[l] && counts(result, second.distance[l])) {
        const Vec3 v3 = vertex(p, 3);
        const Vec3 point = v3 + (v0 - v3) * second.u[l] + (v2 - v3) * second.v[l];
        record(result, index, 1 - second.v[l], 1 - second.u[l], second.distance[l], point,
               cross(normalise(v3 - v0), normalise(v2 - v0)), true);
      }
    }
  }
  return result;
}

// The farthest any vertex lies from the module's origin, in model units. Taken from the vertices
// as they are: boundingRadius is in kilometres and only as fresh as the last statistics pass.
// A vertex that is not a number is passed over; it cannot be part of a hit.
float reach(const Module& module) {
  // Eight running maxima, so that the loop vectorises.
  constexpr std::size_t ways = 8;
  float farthest[ways] = {};
  const auto& vertices = module.vertices;
  const std::size_t whole = vertices.size() - vertices.size() % ways;
  for (std::size_t i = 0; i < whole; i += ways) {
    for (std::size_t k = 0; k < ways; ++k) {
      const Vertex& v = vertices[i + k];
      const float d = v.x * v.x + v.y * v.y + v.z * v.z;
      farthest[k] = d > farthest[k] ? d : farthest[k];
    }
  }
  for (std::size_t i = whole; i < vertices.size(); ++i) {
    const Vertex& v = vertices[i];
    const float d = v.x * v.x + v.y * v.y + v.z * v.z;
    farthest[0] = d > farthest[0] ? d : farthest[0];
  }
  return std::sqrt(*std::max_element(farthest, farthest + ways));
}

// Whether the ray may meet the ball of the given radius about the origin at or beyond its own
// origin. The ball is a part in ten thousand larger, so that rounding never loses a hit on its rim.
bool mayMeetBall(const Ray& ray, float radius) {
  const double r = static_cast<double>(radius) * (1 + 1e-4);
  const double ox = ray.origin.x, oy = ray.origin.y, oz = ray.origin.z;
  const double dx = ray.direction.x, dy = ray.direction.y, dz = ray.direction.z;
  const double fromCentre = ox * ox + oy * oy + oz * oz;
  if (fromCentre <= r * r) return true;
  if (!(ox * dx + oy * dy + oz * dz < 0)) return false;  // heading away from the ball
  // The square of the ray's distance from the centre, times |d|².
  const double cx = oy * dz - oz * dy, cy = oz * dx - ox * dz, cz = ox * dy - oy * dx;
  return cx * cx + cy * cy + cz * cz <= r * r * (dx * dx + dy * dy + dz * dz);
}

}  // namespace

PickResult pick(const Module& module, const Matrix& worldMatrix, float screenX, float screenY,
                bool texelMode, int texelSet, const Viewport& viewport, const Matrix& view,
                const Matrix& projection) {
  const Vec3 viewRay = viewRayThrough(screenX, screenY, viewport, projection);
  const auto ray = rayThrough(texelMode ? view : multiply(worldMatrix, view), viewRay);
  if (!ray) return {};
  return texelMode ? pickTexels(module, texelSet == 1 ? 1 : 0, *ray) : pickGeometry(module, *ray);
}

InstancePick pickInstance(const Model& model, float screenX, float screenY,
                          const Viewport& viewport, const Matrix& view, const Matrix& projection) {
  InstancePick best;
  const Vec3 viewRay = viewRayThrough(screenX, screenY, viewport, projection);
  const int modules = std::min<int>(model.document.wldfiles, maxModules);
  for (int m = 0; m < modules; ++m) {
    const Module& module = model.document.module[m];
    if (module.polygons.empty() || module.instances.empty()) continue;
    const float radius = reach(module);
    for (std::size_t i = 0; i < module.instances.size(); ++i) {
      const auto ray = rayThrough(multiply(module.instances[i].worldMatrix, view), viewRay);
      if (!ray || !mayMeetBall(*ray, radius)) continue;
      const PickResult hit = pickGeometry(module, *ray);
      // Every instance's distance is along the same view ray, so they compare; ties go to the
      // later instance.
      if (hit.hitCount == 0 || (best.module >= 0 && hit.distance > best.distance)) continue;
      best = {m, static_cast<int>(i), hit.polygon, hit.distance};
    }
  }
  return best;
}

EdgePick pickEdge(const Module& module, int polygon, int texelSet, float screenX, float screenY,
                  const Viewport& viewport, const Matrix& view, const Matrix& projection,
                  std::vector<LineVertex>* line) {
  EdgePick result;
  if (line) line->clear();
  if (polygon < 0 || static_cast<std::size_t>(polygon) >= module.polygons.size()) return result;
  const Polygon& p = module.polygons[polygon];
  const int set = texelSet == 1 ? 1 : 0;
  const FlatCorners corner{set, canvasOf(module, set)};
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
