#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessarim {

// An 8-bit RGBA image, rows top to bottom, four bytes per pixel in the order R, G, B, A.
struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};

// Any PNG the library reads (grey, palette, 16-bit, with or without alpha) as RGBA; nothing
// when the bytes are not a readable PNG (the library's reason in error).
std::optional<RgbaImage> decodePng(std::string_view bytes, std::string* error = nullptr);

// The image as an RGBA PNG file's bytes; nothing when the library refuses it.
std::optional<std::string> encodePng(const RgbaImage& image, std::string* error = nullptr);

}  // namespace tessarim
