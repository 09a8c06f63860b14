#include <cmath>
#include <numbers>

#include "model/geometry.hpp"
#include "model/scale_class.hpp"

namespace tessarim {
namespace {

constexpr float halfPi = std::numbers::pi_v<float> / 2;

Vec3 position(const Module& m, std::uint32_t index) {
  const Vertex& v = m.vertices[index];
  return {v.x, v.y, v.z};
}

// Mean of a polygon's texels of one set, in pixels.
Texel pixelCentre(const Polygon& p, int set, Canvas canvas) {
  const auto& texels = texelsOf(p, set);
  const int n = cornerCount(p);
  float u = 0, v = 0;
  for (int c = 0; c < n; ++c) {
    u += texels[c].u * canvas.width;
    v += texels[c].v * canvas.height;
  }
  return {u / static_cast<float>(n), v / static_cast<float>(n)};
}

// Turns in pixels, so that a non-square canvas keeps the shape.
void rotateAbout(Polygon& p, int set, Canvas canvas, Texel centre, float angle) {
  const float cs = std::cos(angle), sn = std::sin(angle);
  auto& texels = texelsOf(p, set);
  for (int c = 0; c < cornerCount(p); ++c) {
    const float u = texels[c].u * canvas.width - centre.u;
    const float v = texels[c].v * canvas.height - centre.v;
    texels[c] = {(u * cs - v * sn + centre.u) / canvas.width,
                 (v * cs + u * sn + centre.v) / canvas.height};
  }
}

void accumulateAngle(float& angle, float by) {
  if (angle == -1) return;
  angle += by;
  if (angle > twoPi) {
    angle -= twoPi;
  } else if (angle < -twoPi) {
    angle += twoPi;
  }
}

// Turns the polygon's plane onto z = 0 facing +z and takes the corners' x and y as texels.
void generatePolygon(Module& m, Polygon& p, int set) {
  auto& texels = texelsOf(p, set);
  float& angle = texelAngleOf(p, set);
  const int n = cornerCount(p);
  const Canvas canvas = canvasOf(m, set);
  const float density = static_cast<float>(texelDensity(m.scaleClass)) * (set == 1 ? 2.0f : 1.0f);

  Texel oldCentre{};
  for (int c = 0; c < n; ++c) {
    if (std::isnan(texels[c].u) || std::isnan(texels[c].v)) texels[c] = {0, 0};
    oldCentre.u += texels[c].u;
    oldCentre.v += texels[c].v;
  }
  oldCentre = {oldCentre.u / static_cast<float>(n), oldCentre.v / static_cast<float>(n)};

  std::array<Vec3, 4> offset{};
  Vec3 centre{};
  for (int c = 0; c < n; ++c) centre = centre + position(m, p.vertexIndex[c]);
  centre = centre * (1.0f / static_cast<float>(n));
  for (int c = 0; c < n; ++c) offset[c] = position(m, p.vertexIndex[c]) - centre;

  Matrix r = identityMatrix();
  const auto rotated = [&](int c) { return transformNormal(offset[c], r); };
  const auto normal = [&] { return cross(rotated(0) - rotated(1), rotated(2) - rotated(1)); };
  Vec3 nrm = normal();
  if (nrm.x != 0) {
    const float theta = nrm.z != 0 ? -std::atan(nrm.x / nrm.z) : (nrm.x > 0 ? -halfPi : halfPi);
    r = multiply(r, rotationY(theta));
    nrm = normal();
  }
  if (nrm.y != 0) {
    const float phi = nrm.z != 0 ? std::atan(nrm.y / nrm.z) : (nrm.y < 0 ? -halfPi : halfPi);
    r = multiply(r, rotationX(phi));
    nrm = normal();
  }
  if (nrm.z < 0) {
    r = multiply(r, rotationX(std::numbers::pi_v<float>));
    nrm = cross(normalise(rotated(0) - rotated(1)), normalise(rotated(2) - rotated(1)));
  }
  const float q = nrm.z > 0 ? 1.0f : -1.0f;

  for (int c = 0; c < n; ++c) {
    const Vec3 flat = rotated(c);
    const float u = q * flat.x + centre.x;
    const float v = -(q * flat.y + centre.y);
    texels[c] = {density * u / canvas.width + 0.5f, density * v / canvas.height + 0.5f};
  }

  // A set generated for the first time stays where the plane puts it; later generations keep
  // the artist's angle and place.
  if (angle == -1) {
    angle = 0;
    return;
  }
  rotateAbout(p, set, canvas, pixelCentre(p, set, canvas), angle);
  Texel now{};
  for (int c = 0; c < n; ++c) {
    now.u += texels[c].u;
    now.v += texels[c].v;
  }
  const float du = oldCentre.u - now.u / static_cast<float>(n);
  const float dv = oldCentre.v - now.v / static_cast<float>(n);
  for (int c = 0; c < n; ++c) texels[c] = {texels[c].u + du, texels[c].v + dv};
}

}  // namespace

void generateTexels(Model& model, int moduleIndex, int set, int target) {
  Module& m = model.document.module[moduleIndex];
  const auto valid = [&](int i) {
    return i >= 0 && static_cast<std::size_t>(i) < m.polygons.size();
  };
  bool changed = false;
  if (target == allPolygons) {
    for (Polygon& p : m.polygons) generatePolygon(m, p, set);
    changed = !m.polygons.empty();
  } else if (target == selectedPolygonsTarget) {
    for (std::uint32_t i : model.selection.selectedPolygons) {
      if (!valid(i)) continue;
      generatePolygon(m, m.polygons[i], set);
      changed = true;
    }
  } else if (valid(target)) {
    generatePolygon(m, m.polygons[target], set);
    changed = true;
  }
  if (changed) m.modified = 1;
}

void regenerateAllTexels(Module& module) {
  for (Polygon& p : module.polygons) {
    for (int set : {0, 1}) {
      if (texelAngleOf(p, set) == -1) {
        texelsOf(p, set) = {};
      } else {
        generatePolygon(module, p, set);
      }
    }
  }
  if (!module.polygons.empty()) module.modified = 1;
}

void rotatePolygonTexels(Module& module, int set, int polygon, float angle, bool accumulate) {
  if (polygon < 0 || static_cast<std::size_t>(polygon) >= module.polygons.size()) return;
  Polygon& p = module.polygons[polygon];
  const Canvas canvas = canvasOf(module, set);
  rotateAbout(p, set, canvas, pixelCentre(p, set, canvas), angle);
  if (accumulate) accumulateAngle(texelAngleOf(p, set), angle);
  module.modified = 1;
}

void rotateSelectedTexels(Model& model, int moduleIndex, float angle, bool accumulate) {
  Module& m = model.document.module[moduleIndex];
  const Canvas canvas = canvasOf(m, 0);
  std::vector<Polygon*> targets;
  for (std::uint32_t i : model.selection.selectedPolygons) {
    if (i < m.polygons.size()) targets.push_back(&m.polygons[i]);
  }
  if (targets.empty()) return;
  // The mean of the polygons' own centres, so that a quad weighs no more than a triangle.
  Texel centre{};
  for (const Polygon* p : targets) {
    const Texel own = pixelCentre(*p, 0, canvas);
    centre.u += own.u;
    centre.v += own.v;
  }
  centre = {centre.u / static_cast<float>(targets.size()),
            centre.v / static_cast<float>(targets.size())};
  for (Polygon* p : targets) {
    rotateAbout(*p, 0, canvas, centre, angle);
    if (accumulate) accumulateAngle(p->texelAngle, angle);
  }
  m.modified = 1;
}

}  // namespace tessarim
