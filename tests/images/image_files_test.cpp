#include "images/image_files.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace tessarim {
namespace {

void put32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) s[at + k] = static_cast<char>(v >> (8 * k));
}

// A DDS header for a width x height surface with the pixel format fields given.
std::string ddsHeader(int width, int height, std::uint32_t flags, std::uint32_t fourCc,
                      std::uint32_t bits, std::array<std::uint32_t, 4> masks) {
  std::string s(128, '\0');
  std::memcpy(s.data(), "DDS ", 4);
  put32(s, 4, 124);
  put32(s, 12, static_cast<std::uint32_t>(height));
  put32(s, 16, static_cast<std::uint32_t>(width));
  put32(s, 76, 32);
  put32(s, 80, flags);
  put32(s, 84, fourCc);
  put32(s, 88, bits);
  for (int k = 0; k < 4; ++k) put32(s, 92 + 4 * k, masks[k]);
  return s;
}

TEST(Dds, UncompressedPixelsByTheirMasks) {
  std::string file = ddsHeader(2, 1, 0x41, 0, 32, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000});
  file += std::string("\x30\x20\x10\x80\x01\x02\x03\xFF", 8);  // B G R A per pixel
  const auto image = decodeDds(file);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 2);
  EXPECT_EQ(image->pixels, (std::vector<std::uint8_t>{0x10, 0x20, 0x30, 0x80, 3, 2, 1, 255}));

  std::string grey = ddsHeader(1, 1, 0x20000, 0, 8, {0xFF, 0, 0, 0}) + "\x7F";
  EXPECT_EQ(decodeDds(grey)->pixels, (std::vector<std::uint8_t>{0x7F, 0x7F, 0x7F, 255}));
}

TEST(Dds, Dxt1BlocksDecodeTheirFourColours) {
  // One 4 x 4 block: colour 0 pure red (0xF800), colour 1 pure blue (0x001F); every index 0
  // but the last pixel's, which is 1.
  std::string file = ddsHeader(4, 4, 0x4, 0x31545844, 0, {0, 0, 0, 0});
  file += std::string("\x00\xF8\x1F\x00\x00\x00\x00\x40", 8);
  const auto image = decodeDds(file);
  ASSERT_TRUE(image);
  EXPECT_EQ(std::vector<std::uint8_t>(image->pixels.begin(), image->pixels.begin() + 4),
            (std::vector<std::uint8_t>{255, 0, 0, 255}));
  EXPECT_EQ(std::vector<std::uint8_t>(image->pixels.end() - 4, image->pixels.end()),
            (std::vector<std::uint8_t>{0, 0, 255, 255}));
}

TEST(Dds, HostileFilesAreRefused) {
  EXPECT_FALSE(decodeDds("DDS "));
  std::string huge = ddsHeader(100000, 100000, 0x41, 0, 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000});
  EXPECT_FALSE(decodeDds(huge));
  std::string truncated =
      ddsHeader(64, 64, 0x41, 0, 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}) + "1234";
  EXPECT_FALSE(decodeDds(truncated));
  std::string unknown = ddsHeader(4, 4, 0x4, 0x12345678, 0, {0, 0, 0, 0}) + std::string(16, '\0');
  EXPECT_FALSE(decodeDds(unknown));
}

// The same header marked as a volume of `depth` slices.
std::string volumeHeader(int width, int height, int depth, std::uint32_t pfFlags,
                         std::uint32_t fourCc, std::uint32_t bits,
                         std::array<std::uint32_t, 4> masks) {
  std::string s = ddsHeader(width, height, pfFlags, fourCc, bits, masks);
  put32(s, 8, 0x800000 | 0x1007);  // depth, caps, height, width, pixel format
  put32(s, 24, static_cast<std::uint32_t>(depth));
  put32(s, 112, 0x200000);  // volume
  return s;
}

TEST(DdsVolume, SlicesFollowOneAnother) {
  // 1 x 1 x 3 grey slices.
  const auto grey = decodeDdsVolume(volumeHeader(1, 1, 3, 0x20000, 0, 8, {0xFF, 0, 0, 0}) +
                                    std::string("\x10\x80\xF0", 3));
  ASSERT_TRUE(grey);
  EXPECT_EQ(grey->depth, 3);
  EXPECT_EQ(grey->pixels, (std::vector<std::uint8_t>{0x10, 0x10, 0x10, 255, 0x80, 0x80, 0x80, 255,
                                                     0xF0, 0xF0, 0xF0, 255}));
  // 4 x 4 x 2 DXT1: slice 0 all red, slice 1 all blue; each slice is its own block.
  const auto blocks = decodeDdsVolume(volumeHeader(4, 4, 2, 0x4, 0x31545844, 0, {0, 0, 0, 0}) +
                                      std::string("\x00\xF8\x1F\x00\x00\x00\x00\x00", 8) +
                                      std::string("\x00\xF8\x1F\x00\x55\x55\x55\x55", 8));
  ASSERT_TRUE(blocks);
  ASSERT_EQ(blocks->pixels.size(), 4u * 4 * 2 * 4);
  EXPECT_EQ(std::vector<std::uint8_t>(blocks->pixels.begin(), blocks->pixels.begin() + 4),
            (std::vector<std::uint8_t>{255, 0, 0, 255}));
  EXPECT_EQ(std::vector<std::uint8_t>(blocks->pixels.end() - 4, blocks->pixels.end()),
            (std::vector<std::uint8_t>{0, 0, 255, 255}));
}

TEST(DdsVolume, HostileOrFlatFilesAreRefused) {
  const std::array<std::uint32_t, 4> grey{0xFF, 0, 0, 0};
  EXPECT_FALSE(decodeDdsVolume(ddsHeader(1, 1, 0x20000, 0, 8, grey) + "x"));  // not a volume
  EXPECT_FALSE(
      decodeDdsVolume(volumeHeader(1, 1, 3, 0x20000, 0, 8, grey) + "xy"));  // a slice short
  EXPECT_FALSE(decodeDdsVolume(volumeHeader(16384, 16384, 16384, 0x20000, 0, 8, grey) + "x"));
  EXPECT_FALSE(decodeDdsVolume(volumeHeader(1, 1, 0, 0x20000, 0, 8, grey)));
}

TEST(Pfm, RowsAreStoredBottomUpAndClamped) {
  std::string file = "PF\n1 2\n-1.0\n";
  const float values[6] = {1.0f, 0.5f, 0.0f, 2.0f, -1.0f, 0.25f};  // bottom row first
  file.append(reinterpret_cast<const char*>(values), sizeof values);
  const auto image = decodePfm(file);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels, (std::vector<std::uint8_t>{255, 0, 64, 255, 255, 128, 0, 255}));
  EXPECT_FALSE(decodePfm("PF\n1 2\n-1.0\n1234"));
  EXPECT_FALSE(decodePfm("P6\n1 1\n255\n"));
}

TEST(Resample, BilinearBetweenTexelCentresWithClampedEdges) {
  // One row: black, white. Scaled to four texels the centres fall at -0.25, 0.25, 0.75, 1.25.
  const RgbaImage two{2, 1, {0, 0, 0, 255, 255, 255, 255, 255}};
  const RgbaImage four = resampledImage(two, 4, 2);
  ASSERT_EQ(four.pixels.size(), 4u * 2 * 4);
  const int expected[4] = {0, 64, 191, 255};
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(four.pixels[(y * 4 + x) * 4], expected[x]) << x << "," << y;
      EXPECT_EQ(four.pixels[(y * 4 + x) * 4 + 3], 255);
    }
  }
  // Shrinking a checker averages it.
  const RgbaImage checker{2, 2, {0, 0, 0, 0, 200, 200, 200, 200, 200, 200, 200, 200, 0, 0, 0, 0}};
  EXPECT_EQ(resampledImage(checker, 1, 1).pixels, (std::vector<std::uint8_t>{100, 100, 100, 100}));
}

// TGA and HDR: the second pixel of a 2 x 1 image, and nothing from a header cut short or bytes of
// another kind.
TEST(TgaOrHdr, DecodesBothFormatsAndRefusesWhatIsNeither) {
  // Uncompressed true-colour TGA, bottom-up rows, B G R.
  const std::string tga = std::string("\0\0\x02\0\0\0\0\0\0\0\0\0\x02\0\x01\0\x18\0", 18) +
                          std::string("\x1E\x14\x0A\x32\x64\xC8", 6);
  // Radiance HDR, flat RGBE pixels: (0, 0, 0) and (1, 0.5, 0).
  const std::string hdr = std::string("#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 1 +X 2\n") +
                          std::string("\x00\x00\x00\x00\x80\x40\x00\x81", 8);
  struct Case {
    std::string bytes;
    int r, g, b, tolerance;
  } cases[] = {{tga, 200, 100, 50, 0}, {hdr, 255, 186, 0, 2}};
  for (const Case& c : cases) {
    const auto image = decodeTgaOrHdr(c.bytes);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->width, 2);
    ASSERT_EQ(image->height, 1);
    const std::uint8_t* p = &image->pixels[4];
    EXPECT_NEAR(p[0], c.r, c.tolerance);
    EXPECT_NEAR(p[1], c.g, c.tolerance);
    EXPECT_NEAR(p[2], c.b, c.tolerance);
    EXPECT_EQ(p[3], 255);
  }
  EXPECT_FALSE(decodeTgaOrHdr(hdr.substr(0, 30)));  // the header cut short
  EXPECT_FALSE(decodeTgaOrHdr(""));
  EXPECT_FALSE(decodeTgaOrHdr("DDS not a map at all"));
}

}  // namespace
}  // namespace tessarim
