#pragma once

#include <cstdint>

namespace tessarim {

// A coloured line vertex as the device reads it: position, then 32-bit ARGB.
struct LineVertex {
  float x, y, z;
  std::uint32_t colour;
};
static_assert(sizeof(LineVertex) == 16, "the device reads 16-byte line vertices");

}  // namespace tessarim
