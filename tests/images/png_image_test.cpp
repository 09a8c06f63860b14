#include "images/png_image.hpp"

#include <gtest/gtest.h>

#include <fstream>

namespace tessarim {
namespace {

std::string fixture(const std::string& name) {
  std::ifstream in(std::string{TESSARIM_FIXTURES} + "/png/" + name, std::ios::binary);
  return std::string{std::istreambuf_iterator<char>(in), {}};
}

TEST(PngImage, RgbaSurvivesEncodingAndDecoding) {
  const RgbaImage image{2, 2, {1, 2, 3, 4, 250, 251, 252, 253, 0, 0, 0, 0, 255, 128, 64, 255}};
  const std::optional<std::string> png = encodePng(image);
  ASSERT_TRUE(png);
  EXPECT_EQ(png->substr(1, 3), "PNG");
  const std::optional<RgbaImage> back = decodePng(*png);
  ASSERT_TRUE(back);
  EXPECT_EQ(std::tuple(back->width, back->height), std::tuple(2, 2));
  EXPECT_EQ(back->pixels, image.pixels);
}

TEST(PngImage, GreyImagesBecomeOpaqueRgba) {
  const std::optional<RgbaImage> image = decodePng(fixture("grey-2x1.png"));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels, (std::vector<std::uint8_t>{10, 10, 10, 255, 200, 200, 200, 255}));
}

TEST(PngImage, RefusesWhatItCannotOrShouldNotRead) {
  struct Case {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"not a PNG", "GIF89a and then some"},
      {"cut short", fixture("grey-2x1.png").substr(0, 40)},
      {"too large to allocate", fixture("huge-header.png")},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(decodePng(c.bytes, &error)) << c.name;
    EXPECT_FALSE(error.empty()) << c.name;
  }
  std::string error;
  EXPECT_FALSE(encodePng(RgbaImage{2, 2, std::vector<std::uint8_t>(3)}, &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace tessarim
