#pragma once

#include <string>

#include "formats/wld.hpp"
#include "model/records.hpp"

namespace tessarim::testing {

// The text of a small valid mesh: one triangle on three vertices, offset by `shift` in x.
inline std::string triangleWld(float shift = 0, int scaleClass = 1) {
  Module m;
  m.vertices = {{shift, 0, 0}, {shift + 1, 0, 0}, {shift, 1, 0}};
  Polygon p;
  p.sides = 3;
  p.vertexIndex = {0, 1, 2, 0};
  p.colour = {1, 1, 1, 1};
  p.texelAngle = p.texelAngle2 = -1;
  m.polygons = {p};
  m.canvasWidth = m.canvasHeight = m.canvasWidth2 = m.canvasHeight2 = 2048;
  m.scaleClass = static_cast<std::int16_t>(scaleClass);
  return formatWld(m);
}

}  // namespace tessarim::testing
