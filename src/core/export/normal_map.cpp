#include "export/normal_map.hpp"

#include <cmath>
#include <cstddef>

namespace tessarim {
namespace {

// Rec. 709 luma weights: a grey image keeps its value.
float luminance(const std::uint8_t* rgba) {
  return (0.2126f * rgba[0] + 0.7152f * rgba[1] + 0.0722f * rgba[2]) / 255.0f;
}

int mirror(int i, int n) {
  if (i < 0) return -i - 1;
  if (i >= n) return 2 * n - i - 1;
  return i;
}

std::uint8_t encode(float component) {
  return static_cast<std::uint8_t>((component + 1) * 0.5f * 255 + 0.5f);
}

}  // namespace

RgbaImage computeNormalMap(const RgbaImage& heightImage, float amplitude) {
  const int w = heightImage.width, h = heightImage.height;
  std::vector<float> height(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  for (std::size_t i = 0; i < height.size(); ++i) {
    height[i] = luminance(&heightImage.pixels[i * 4]) * amplitude;
  }
  auto at = [&](int x, int y) {
    return height[static_cast<std::size_t>(mirror(y, h)) * static_cast<std::size_t>(w) +
                  static_cast<std::size_t>(mirror(x, w))];
  };
  RgbaImage out{w, h, std::vector<std::uint8_t>(heightImage.pixels.size())};
  std::uint8_t* pixel = out.pixels.data();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x, pixel += 4) {
      const float du = (at(x + 1, y) - at(x - 1, y)) * 0.5f;
      const float dv = (at(x, y + 1) - at(x, y - 1)) * 0.5f;
      const float length = std::sqrt(du * du + dv * dv + 1);
      pixel[0] = encode(-du / length);
      pixel[1] = encode(-dv / length);
      pixel[2] = encode(1 / length);
      pixel[3] = 255;
    }
  }
  return out;
}

}  // namespace tessarim
