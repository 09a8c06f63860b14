#pragma once

#include <cstdint>
#include <initializer_list>

#include "model/records.hpp"

namespace tessarim::testing {

// A polygon on the given corners, in winding order.
inline Polygon face(std::initializer_list<int> corners) {
  Polygon p;
  p.sides = static_cast<std::uint8_t>(corners.size());
  int c = 0;
  for (int i : corners) p.vertexIndex[c++] = static_cast<std::uint32_t>(i);
  return p;
}

}  // namespace tessarim::testing
