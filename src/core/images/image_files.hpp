#pragma once

// Readers for the map formats the platform's image readers lack (PNG: png_image.hpp). Hostile
// input: every size is checked against the bytes before anything is allocated.

#include <optional>
#include <string_view>
#include <vector>

#include "images/png_image.hpp"

namespace tessarim {

// DirectDraw Surface, top level of a 2D surface: uncompressed 8-bit luminance or alpha, 24- and
// 32-bit RGB(A) by their channel masks, and the block formats DXT1, DXT3 and DXT5.
std::optional<RgbaImage> decodeDds(std::string_view bytes);

// A 3D texture: depth slices of width x height RGBA texels, slice after slice, rows top down.
struct RgbaVolume {
  int width = 0, height = 0, depth = 0;
  std::vector<std::uint8_t> pixels;
};

// The top level of a DirectDraw Surface volume, in the pixel formats decodeDds reads.
std::optional<RgbaVolume> decodeDdsVolume(std::string_view bytes);

// Portable float map ("PF" colour, "Pf" grey): values clamped to 0..1, rows stored bottom up,
// a negative scale for little-endian numbers.
std::optional<RgbaImage> decodePfm(std::string_view bytes);

// Truevision TGA (uncompressed or run-length coded; colour, grey or colour-mapped) or Radiance
// HDR (mapped to 8 bits by a gamma of 2.2 at a scale of 1), whichever the bytes are.
std::optional<RgbaImage> decodeTgaOrHdr(std::string_view bytes);

// The image resampled to width x height with bilinear filtering (texel centres aligned, edges
// clamped), as a texture loader that is given a fixed size does.
RgbaImage resampledImage(const RgbaImage& image, int width, int height);

}  // namespace tessarim
