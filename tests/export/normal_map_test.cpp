#include "export/normal_map.hpp"

#include <gtest/gtest.h>

namespace tessarim {
namespace {

RgbaImage grey(int width, int height, std::vector<std::uint8_t> values) {
  RgbaImage image{width, height, {}};
  for (std::uint8_t v : values) image.pixels.insert(image.pixels.end(), {v, v, v, 255});
  return image;
}

using Pixel = std::array<int, 4>;
Pixel pixel(const RgbaImage& image, int i) {
  const auto* p = &image.pixels[static_cast<std::size_t>(i) * 4];
  return {p[0], p[1], p[2], p[3]};
}

TEST(NormalMap, SlopesTiltTheNormalAgainstTheRiseWithMirroredEdges) {
  // Heights 0, 0.4, 0.8 along a row, then the same down a column.
  const RgbaImage row = computeNormalMap(grey(3, 1, {0, 102, 204}));
  const RgbaImage column = computeNormalMap(grey(1, 3, {0, 102, 204}));
  // Inside: slope 0.4 a pixel, n = (-0.4, 0, 1) / |..|. At an edge the pixel beyond is the edge
  // pixel itself, so the slope halves: n = (-0.2, 0, 1) / |..|.
  const Pixel edge{102, 128, 253, 255}, inside{80, 128, 246, 255};
  EXPECT_EQ(pixel(row, 0), edge);
  EXPECT_EQ(pixel(row, 1), inside);
  EXPECT_EQ(pixel(row, 2), edge);
  EXPECT_EQ(pixel(column, 1), (Pixel{128, 80, 246, 255}));

  const RgbaImage flat = computeNormalMap(grey(2, 2, {77, 77, 77, 77}));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(pixel(flat, i), (Pixel{128, 128, 255, 255}));
}

TEST(NormalMap, AmplitudeScalesTheHeight) {
  EXPECT_EQ(pixel(computeNormalMap(grey(3, 1, {0, 51, 102}), 2), 1), (Pixel{80, 128, 246, 255}));
}

}  // namespace
}  // namespace tessarim
