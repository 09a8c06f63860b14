#pragma once

#include <cstddef>
#include <cstdint>

namespace tessarim {

// A coloured line vertex as the device reads it: position, then 32-bit ARGB.
struct LineVertex {
  float x, y, z;
  std::uint32_t colour;
};
static_assert(sizeof(LineVertex) == 16, "the device reads 16-byte line vertices");

// The scene vertex: the device's vertex declaration and the current runtime mesh file both use
// these seven elements in this order, so the field order is part of two formats.
struct RenderVertex {
  float x, y, z;         // model units
  float nx, ny, nz;      // unit normal
  std::uint32_t colour;  // ARGB, alpha in the top byte
  float u, v;            // texel set 0: base, light and most maps
  float u2, v2;          // texel set 1: overlay map
  float tx, ty, tz;      // tangent
  float bx, by, bz;      // binormal
};
static_assert(sizeof(RenderVertex) == 68, "the device and the runtime files read 68-byte vertices");
static_assert(offsetof(RenderVertex, nx) == 12 && offsetof(RenderVertex, colour) == 24 &&
                  offsetof(RenderVertex, u) == 28 && offsetof(RenderVertex, u2) == 36 &&
                  offsetof(RenderVertex, tx) == 44 && offsetof(RenderVertex, bx) == 56,
              "RenderVertex elements sit where the vertex declaration puts them");

}  // namespace tessarim
