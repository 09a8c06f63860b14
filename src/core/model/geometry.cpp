#include "model/geometry.hpp"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "model/scale_class.hpp"

namespace tessarim {
namespace {

Vec3 position(const Module& m, std::uint32_t index) {
  const Vertex& v = m.vertices[index];
  return {v.x, v.y, v.z};
}

// Classes outside the table behave as class 0, so they count as unassigned too.
bool assigned(int scaleClass) {
  return scaleClass > 0 && scaleClass < scaleClassCount;
}

void scaleTriple(std::array<float, 3>& t, double e) {
  for (float& c : t) c = static_cast<float>(c * e);
}

}  // namespace

Vec3 polygonNormal(const Module& module, int polygon) {
  const Polygon& p = module.polygons[polygon];
  const Vec3 c0 = position(module, p.vertexIndex[0]);
  const Vec3 c1 = position(module, p.vertexIndex[1]);
  const Vec3 c2 = position(module, p.vertexIndex[2]);
  return normalise(cross(normalise(c0 - c1), normalise(c2 - c1)));
}

void computeStatistics(Model& model) {
  double encompassing = 0;
  for (int i = 0; i < model.document.wldfiles; ++i) {
    Module& m = model.document.module[i];
    const double k = unitKilometres(m.scaleClass);
    double sx = 0, sy = 0, sz = 0, farthest = 0;  // farthest: squared model units
    for (const Vertex& v : m.vertices) {
      sx += v.x;
      sy += v.y;
      sz += v.z;
      farthest = std::max(farthest, double{v.x} * v.x + double{v.y} * v.y + double{v.z} * v.z);
    }
    const double n = m.vertices.empty() ? 1 : static_cast<double>(m.vertices.size());
    m.centroid = {static_cast<float>(sx / n), static_cast<float>(sy / n),
                  static_cast<float>(sz / n)};
    m.boundingRadius = static_cast<float>(std::sqrt(farthest) * k);
    for (const Instance& t : m.instances) {
      const double reach =
          std::hypot(double{t.location[0]}, double{t.location[1]}, double{t.location[2]}) * k +
          m.boundingRadius;
      encompassing = std::max(encompassing, reach);
    }
  }
  model.status.encompassingRadius = static_cast<float>(encompassing);
}

void assignScale(Model& model, int newClass) {
  std::vector<int> targets;
  for (const InstanceRef& ref : selectedInstanceRefs(model)) {
    if (std::find(targets.begin(), targets.end(), ref.module) == targets.end())
      targets.push_back(ref.module);
  }
  const int current = model.selection.currentModule;
  if (targets.empty() && current >= 0 && current < model.document.wldfiles)
    targets.push_back(current);

  const bool sudo = model.settings.sudoSu;
  const bool placed = placesModules(model.document);
  for (int index : targets) {
    Module& m = model.document.module[index];
    const int old = m.scaleClass;
    const bool bothAssigned = assigned(old) && assigned(newClass);
    // Keeps the module's real size: the same kilometres in the new unit.
    const double e = bothAssigned && !sudo ? unitKilometres(old) / unitKilometres(newClass) : 1.0;

    for (Vertex& v : m.vertices) {
      v.x = static_cast<float>(v.x * e);
      v.y = static_cast<float>(v.y * e);
      v.z = static_cast<float>(v.z * e);
    }
    if (placed) {
      for (Instance& t : m.instances) {
        scaleTriple(t.location, e);
        scaleTriple(t.endLocation, e);
        scaleTriple(t.hingeOffset, e);
      }
      model.status.documentModified = true;
    }
    m.scaleClass = static_cast<std::int16_t>(newClass);
    if (!sudo) {
      if (!bothAssigned) {
        // After the class change, so that the texels take the density of the class the module
        // now has, as the rescaling below does.
        regenerateAllTexels(m);
      } else {
        const double f = texelDensity(newClass) * e / texelDensity(old);
        for (Polygon& p : m.polygons) {
          for (int c = 0; c < cornerCount(p); ++c) {
            p.texels[c].u = static_cast<float>(p.texels[c].u * f);
            p.texels[c].v = static_cast<float>(p.texels[c].v * f);
          }
        }
      }
    }
    m.modified = 1;
  }
  // The current module and instance are left as they were: nothing above selects another.
  computeStatistics(model);
  noteChanges(model, Change::geometry);
}

std::vector<int> deletePolygon(Module& module, int polygon, std::vector<int> vertexRefs) {
  if (polygon < 0 || static_cast<std::size_t>(polygon) >= module.polygons.size()) return vertexRefs;
  const Polygon removed = module.polygons[polygon];
  module.polygons.erase(module.polygons.begin() + polygon);
  module.modified = 1;

  // Highest first, so that removing one corner's vertex does not renumber those still to come.
  std::array<std::uint32_t, 4> corners{};
  const int n = cornerCount(removed);
  for (int c = 0; c < n; ++c) corners[c] = removed.vertexIndex[c];
  std::sort(corners.begin(), corners.begin() + n, std::greater<>{});
  const auto last = std::unique(corners.begin(), corners.begin() + n);

  for (auto it = corners.begin(); it != last; ++it) {
    const std::uint32_t vertex = *it;
    if (vertex >= module.vertices.size()) continue;
    const bool used =
        std::any_of(module.polygons.begin(), module.polygons.end(), [&](const Polygon& p) {
          for (int c = 0; c < cornerCount(p); ++c) {
            if (p.vertexIndex[c] == vertex) return true;
          }
          return false;
        });
    if (used) continue;
    module.vertices.erase(module.vertices.begin() + vertex);
    for (Polygon& p : module.polygons) {
      for (int c = 0; c < cornerCount(p); ++c) {
        if (p.vertexIndex[c] > vertex) --p.vertexIndex[c];
      }
    }
    for (int& ref : vertexRefs) {
      if (ref == static_cast<int>(vertex)) {
        ref = -1;
      } else if (ref > static_cast<int>(vertex)) {
        --ref;
      }
    }
  }
  return vertexRefs;
}

int findVertex(const Module& module, float x, float y, float z) {
  // 0.001 between the decimal coordinates the user sees: the float rounding of both points is
  // allowed for, so that 1 and 1.001 match although their floats are 0.00100005 apart.
  const auto near = [](float a, float b) {
    const double slack = std::max(std::fabs(a), std::fabs(b)) * double{FLT_EPSILON};
    return std::fabs(double{a} - double{b}) <= 0.001 + slack;
  };
  // An infinite point's slack would reach every vertex.
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return -1;
  for (std::size_t i = 0; i < module.vertices.size(); ++i) {
    const Vertex& v = module.vertices[i];
    if (near(v.x, x) && near(v.y, y) && near(v.z, z)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace tessarim
