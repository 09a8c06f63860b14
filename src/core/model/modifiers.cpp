#include "model/modifiers.hpp"

#include <cmath>

#include "maths/maths.hpp"
#include "model/geometry.hpp"
#include "model/scale_class.hpp"

namespace tessarim {
namespace {

// Instance offsets are typed in units of scale class 1.
constexpr double offsetKilometres = 0.00034822;

bool rotates(const ModifierValues& v) {
  return v.rx != 0 || v.ry != 0 || v.rz != 0;
}
bool offsets(const ModifierValues& v) {
  return v.ox != 0 || v.oy != 0 || v.oz != 0;
}
bool scales(const ModifierValues& v) {
  return v.sx != 1 || v.sy != 1 || v.sz != 1;
}
bool movesTexels(const ModifierValues& v) {
  return v.ou != 0 || v.ov != 0;
}

// A texel scale that only mirrors is allowed without the expert option.
bool mirrors(const ModifierValues& v) {
  return (v.su == -1 && v.sv == 1) || (v.su == -1 && v.sv == -1) || (v.su == 1 && v.sv == -1);
}
bool scalesTexels(const ModifierValues& v, bool sudoSu) {
  return (v.su != 1 || v.sv != 1) && (sudoSu || mirrors(v));
}
// The expert option leaves texels where they are after a geometry scale; a reflection alone
// (every factor of size 1) needs nothing.
bool texelsFollowScale(const ModifierValues& v, bool sudoSu) {
  return !sudoSu && !(std::abs(v.sx) == 1 && std::abs(v.sy) == 1 && std::abs(v.sz) == 1);
}

float snapped(float x, bool round) {
  return round ? std::round(x) : x;
}

// Every texel of the set turned by angle radians about the centre of the set's canvas, in pixels
// so that a canvas that is not square keeps the shape. A set without a canvas stays.
void turnAboutCanvasCentre(Module& module, int set, float angle) {
  const Canvas canvas = canvasOf(module, set);
  if (canvas.width <= 0 || canvas.height <= 0) return;
  const float cs = std::cos(angle), sn = std::sin(angle);
  const float cu = canvas.width / 2, cv = canvas.height / 2;
  for (Polygon& p : module.polygons) {
    for (Texel& t : texelsOf(p, set)) {
      const float u = t.u * canvas.width - cu;
      const float v = t.v * canvas.height - cv;
      t = {(u * cs - v * sn + cu) / canvas.width, (v * cs + u * sn + cv) / canvas.height};
    }
  }
}

}  // namespace

VertexModification vertexModification(const ModifierValues& v, bool sudoSu) {
  VertexModification m;
  m.vertices = rotates(v) || offsets(v) || scales(v) || v.round;
  m.polygons =
      v.rc != 0 || movesTexels(v) || scalesTexels(v, sudoSu) || texelsFollowScale(v, sudoSu);
  return m;
}

void modifyVertices(Module& module, const ModifierValues& v, bool sudoSu) {
  const bool hasPolygons = !module.polygons.empty(), hasVertices = !module.vertices.empty();
  const auto touched = [&](bool something) {
    if (something) module.modified = 1;
  };

  if (v.rc != 0) {
    turnAboutCanvasCentre(module, 0, -v.rc);
    turnAboutCanvasCentre(module, 1, -v.rc);
    touched(hasPolygons);
  }
  if (movesTexels(v)) {
    for (Polygon& p : module.polygons) {
      for (Texel& t : p.texels) t = {t.u + v.ou, t.v + v.ov};
    }
    touched(hasPolygons);
  }
  if (rotates(v)) {
    const Matrix turn = rotationYawPitchRoll(v.rx, v.ry, v.rz);
    for (Vertex& x : module.vertices) {
      const Vec3 p = transformCoord({x.x, x.y, x.z}, turn);
      x = {p.x, p.y, p.z};
    }
    touched(hasVertices);
  }
  if (offsets(v)) {
    for (Vertex& x : module.vertices) x = {x.x + v.ox, x.y + v.oy, x.z + v.oz};
    touched(hasVertices);
  }
  if (scales(v) || v.round) {
    for (Vertex& x : module.vertices)
      x = {snapped(x.x * v.sx, v.round), snapped(x.y * v.sy, v.round),
           snapped(x.z * v.sz, v.round)};
    touched(hasVertices);
  }

  if (scalesTexels(v, sudoSu)) {
    for (Polygon& p : module.polygons) {
      for (Texel& t : p.texels) t = {t.u * v.su, t.v * v.sv};
    }
    touched(hasPolygons);
  }
  if (!texelsFollowScale(v, sudoSu)) return;
  if (v.sx != v.sy || v.sy != v.sz) {
    regenerateAllTexels(module);
    return;
  }
  for (Polygon& p : module.polygons) {
    for (Texel& t : p.texels) t = {t.u * v.sx, t.v * v.sx};
    for (Texel& t : p.texels2) t = {t.u * v.sx, t.v * v.sx};
  }
  touched(hasPolygons);
}

bool modifiesInstances(const ModifierValues& v) {
  return offsets(v) || v.round || scales(v) || v.rx != 0 || v.skew;
}

void modifyInstance(const Module& module, Instance& instance, const ModifierValues& v,
                    const Matrix& skew) {
  const double perUnit = offsetKilometres / unitKilometres(module.scaleClass);
  const std::array<float, 3> o{static_cast<float>(v.ox * perUnit),
                               static_cast<float>(v.oy * perUnit),
                               static_cast<float>(v.oz * perUnit)};
  for (int k = 0; k < 3; ++k) {
    instance.location[k] = snapped(instance.location[k] + o[k], v.round);
    instance.endLocation[k] = snapped(instance.endLocation[k] + o[k], v.round);
  }
  std::array<float, 3>& at = instance.location;
  if (scales(v)) at = {at[0] * v.sx, at[1] * v.sy, at[2] * v.sz};
  if (v.rx != 0) {
    const Vec3 p = transformCoord({at[0], at[1], at[2]}, rotationZ(-v.rx));
    at = {p.x, p.y, p.z};
    instance.orientation[2] -= v.rx;
  }
  if (v.skew) {
    const Vec3 p = transformCoord({at[0], at[1], at[2]}, skew);
    at = {snapped(p.x, v.round), snapped(p.y, v.round), snapped(p.z, v.round)};
  }
}

}  // namespace tessarim
