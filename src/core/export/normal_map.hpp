#pragma once

#include "images/png_image.hpp"

namespace tessarim {

// The tangent-space normal map of a height map of the same size. Height is the pixel's
// luminance (0..1, alpha ignored) times amplitude; the slope at a pixel is the central
// difference of its neighbours, with mirrored addressing at the edges (the pixel beyond an edge
// is the edge pixel itself). The normal (-dh/du, -dh/dv, 1), normalised, is stored as
// R, G, B = (n + 1) / 2 x 255 with u to the right and v downwards, the same directions as the
// tangent and binormal of the geometry; alpha is opaque.
RgbaImage computeNormalMap(const RgbaImage& height, float amplitude = 1);

}  // namespace tessarim
