#include "images/image_files.hpp"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tessarim {
namespace {

std::uint32_t le32(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

std::uint16_t le16(std::string_view b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                    static_cast<unsigned char>(b[at + 1]) << 8);
}

constexpr int maxSide = 16384;

// The byte a channel mask selects, scaled to 0..255; 255 when the mask is empty (no channel).
std::uint8_t channel(std::uint32_t pixel, std::uint32_t mask, std::uint8_t absent) {
  if (mask == 0) return absent;
  const int shift = std::countr_zero(mask);
  const std::uint32_t max = mask >> shift;
  return static_cast<std::uint8_t>(((pixel & mask) >> shift) * 255 / max);
}

void colour565(std::uint16_t c, std::uint8_t* rgb) {
  rgb[0] = static_cast<std::uint8_t>((c >> 11 & 31) * 255 / 31);
  rgb[1] = static_cast<std::uint8_t>((c >> 5 & 63) * 255 / 63);
  rgb[2] = static_cast<std::uint8_t>((c & 31) * 255 / 31);
}

// One 4 x 4 colour block (8 bytes) into rgba (16 pixels).
void colourBlock(std::string_view b, std::size_t at, bool threeColour, std::uint8_t (*out)[4]) {
  const std::uint16_t c0 = le16(b, at), c1 = le16(b, at + 2);
  std::uint8_t p[4][4] = {};
  colour565(c0, p[0]);
  colour565(c1, p[1]);
  p[0][3] = p[1][3] = p[2][3] = p[3][3] = 255;
  for (int k = 0; k < 3; ++k) {
    if (c0 > c1 || !threeColour) {
      p[2][k] = static_cast<std::uint8_t>((2 * p[0][k] + p[1][k]) / 3);
      p[3][k] = static_cast<std::uint8_t>((p[0][k] + 2 * p[1][k]) / 3);
    } else {
      p[2][k] = static_cast<std::uint8_t>((p[0][k] + p[1][k]) / 2);
      p[3][k] = 0;
    }
  }
  if (threeColour && c0 <= c1) p[3][3] = 0;
  const std::uint32_t indices = le32(b, at + 4);
  for (int i = 0; i < 16; ++i) std::memcpy(out[i], p[indices >> (2 * i) & 3], 4);
}

bool isDdsHeader(std::string_view b) {
  return b.size() >= 128 && b.substr(0, 4) == "DDS " && le32(b, 4) == 124;
}

// Bytes of one width x height surface in the header's pixel format; nothing for a format that
// is not read.
std::optional<std::size_t> surfaceBytes(std::string_view b, int width, int height) {
  const std::uint32_t pfFlags = le32(b, 80), fourCc = le32(b, 84), bits = le32(b, 88);
  if (pfFlags & 0x4) {
    if (fourCc != 0x31545844 && fourCc != 0x33545844 && fourCc != 0x35545844) return std::nullopt;
    const std::size_t blockBytes = fourCc == 0x31545844 ? 8 : 16;
    return static_cast<std::size_t>((width + 3) / 4) * static_cast<std::size_t>((height + 3) / 4) *
           blockBytes;
  }
  if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return std::nullopt;
  return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * (bits / 8);
}

// One surface in the header's pixel format, starting at byte `data`.
std::optional<RgbaImage> decodeSurface(std::string_view b, std::size_t data, int width,
                                       int height) {
  const std::uint32_t pfFlags = le32(b, 80), fourCc = le32(b, 84), bits = le32(b, 88);
  const std::uint32_t rMask = le32(b, 92), gMask = le32(b, 96), bMask = le32(b, 100),
                      aMask = le32(b, 104);
  if (data > b.size()) return std::nullopt;
  const std::size_t remaining = b.size() - data;
  RgbaImage image;
  image.width = width;
  image.height = height;
  const std::size_t pixels = static_cast<std::size_t>(width) * height;

  if (pfFlags & 0x4) {  // block compressed
    const bool dxt1 = fourCc == 0x31545844, dxt3 = fourCc == 0x33545844,
               dxt5 = fourCc == 0x35545844;
    if (!dxt1 && !dxt3 && !dxt5) return std::nullopt;
    const std::size_t blockBytes = dxt1 ? 8 : 16;
    const std::size_t bw = (width + 3) / 4, bh = (height + 3) / 4;
    if (remaining < bw * bh * blockBytes) return std::nullopt;
    image.pixels.assign(pixels * 4, 0);
    for (std::size_t by = 0; by < bh; ++by) {
      for (std::size_t bx = 0; bx < bw; ++bx) {
        const std::size_t at = data + (by * bw + bx) * blockBytes;
        std::uint8_t block[16][4];
        colourBlock(b, dxt1 ? at : at + 8, dxt1, block);
        if (dxt3) {
          for (int i = 0; i < 16; ++i) {
            const int nibble = static_cast<unsigned char>(b[at + i / 2]) >> (4 * (i % 2)) & 15;
            block[i][3] = static_cast<std::uint8_t>(nibble * 17);
          }
        } else if (dxt5) {
          const int a0 = static_cast<unsigned char>(b[at]),
                    a1 = static_cast<unsigned char>(b[at + 1]);
          std::uint64_t codes = 0;
          for (int i = 0; i < 6; ++i)
            codes |= static_cast<std::uint64_t>(static_cast<unsigned char>(b[at + 2 + i]))
                     << (8 * i);
          for (int i = 0; i < 16; ++i) {
            const int code = static_cast<int>(codes >> (3 * i) & 7);
            int a;
            if (code == 0)
              a = a0;
            else if (code == 1)
              a = a1;
            else if (a0 > a1)
              a = ((8 - code) * a0 + (code - 1) * a1) / 7;
            else if (code < 6)
              a = ((6 - code) * a0 + (code - 1) * a1) / 5;
            else
              a = code == 6 ? 0 : 255;
            block[i][3] = static_cast<std::uint8_t>(a);
          }
        }
        for (int i = 0; i < 16; ++i) {
          const std::size_t x = bx * 4 + i % 4, y = by * 4 + i / 4;
          if (x < static_cast<std::size_t>(width) && y < static_cast<std::size_t>(height))
            std::memcpy(&image.pixels[(y * width + x) * 4], block[i], 4);
        }
      }
    }
    return image;
  }

  if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return std::nullopt;
  const std::size_t step = bits / 8;
  if (remaining / step < pixels) return std::nullopt;
  image.pixels.resize(pixels * 4);
  const bool luminance = (pfFlags & 0x20000) != 0,
             alphaOnly = (pfFlags & 0x2) != 0 && (pfFlags & 0x40) == 0 && !luminance;
  for (std::size_t i = 0; i < pixels; ++i) {
    std::uint32_t pixel = 0;
    for (std::size_t k = 0; k < step; ++k)
      pixel |= static_cast<std::uint32_t>(static_cast<unsigned char>(b[data + i * step + k]))
               << (8 * k);
    std::uint8_t* out = &image.pixels[i * 4];
    if (alphaOnly) {
      out[0] = out[1] = out[2] = 0;
      out[3] = channel(pixel, aMask ? aMask : 0xFF, 255);
    } else if (luminance) {
      out[0] = out[1] = out[2] = channel(pixel, rMask ? rMask : 0xFF, 0);
      out[3] = channel(pixel, (pfFlags & 0x1) ? aMask : 0, 255);
    } else {
      out[0] = channel(pixel, rMask, 0);
      out[1] = channel(pixel, gMask, 0);
      out[2] = channel(pixel, bMask, 0);
      out[3] = channel(pixel, (pfFlags & 0x1) ? aMask : 0, 255);
    }
  }
  return image;
}

}  // namespace

std::optional<RgbaImage> decodeDds(std::string_view b) {
  if (!isDdsHeader(b)) return std::nullopt;
  const int height = static_cast<int>(le32(b, 12)), width = static_cast<int>(le32(b, 16));
  if (width <= 0 || height <= 0 || width > maxSide || height > maxSide) return std::nullopt;
  return decodeSurface(b, 128, width, height);
}

std::optional<RgbaVolume> decodeDdsVolume(std::string_view b) {
  if (!isDdsHeader(b)) return std::nullopt;
  const std::uint32_t flags = le32(b, 8), caps2 = le32(b, 112);
  if (!(flags & 0x800000) || !(caps2 & 0x200000)) return std::nullopt;  // depth, volume
  const int height = static_cast<int>(le32(b, 12)), width = static_cast<int>(le32(b, 16)),
            depth = static_cast<int>(le32(b, 24));
  if (width <= 0 || height <= 0 || depth <= 0 || width > maxSide || height > maxSide ||
      depth > maxSide)
    return std::nullopt;
  const auto slice = surfaceBytes(b, width, height);
  // Level 0 holds its slices one after another; every byte is there before anything is made.
  if (!slice || (b.size() - 128) / *slice < static_cast<std::size_t>(depth)) return std::nullopt;
  RgbaVolume volume{width, height, depth, {}};
  const std::size_t sliceTexels =
      static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  volume.pixels.reserve(sliceTexels * 4 * static_cast<std::size_t>(depth));
  for (int z = 0; z < depth; ++z) {
    const auto image = decodeSurface(b, 128 + static_cast<std::size_t>(z) * *slice, width, height);
    if (!image) return std::nullopt;
    volume.pixels.insert(volume.pixels.end(), image->pixels.begin(), image->pixels.end());
  }
  return volume;
}

std::optional<RgbaImage> decodePfm(std::string_view b) {
  // Header: "PF" or "Pf", width, height, scale, each separated by white space, one byte after.
  std::size_t at = 0;
  auto token = [&]() -> std::string_view {
    while (at < b.size() && std::isspace(static_cast<unsigned char>(b[at]))) ++at;
    const std::size_t start = at;
    while (at < b.size() && !std::isspace(static_cast<unsigned char>(b[at]))) ++at;
    return b.substr(start, at - start);
  };
  const std::string_view magic = token();
  if (magic != "PF" && magic != "Pf") return std::nullopt;
  const int channels = magic == "PF" ? 3 : 1;
  int width = 0, height = 0;
  const std::string_view w = token(), h = token(), s = token();
  if (std::from_chars(w.data(), w.data() + w.size(), width).ec != std::errc{} ||
      std::from_chars(h.data(), h.data() + h.size(), height).ec != std::errc{}) {
    return std::nullopt;
  }
  double scale = 0;
  if (std::from_chars(s.data(), s.data() + s.size(), scale).ec != std::errc{} || scale == 0)
    return std::nullopt;
  if (width <= 0 || height <= 0 || width > maxSide || height > maxSide || at >= b.size())
    return std::nullopt;
  ++at;  // the single white-space byte before the data
  const std::size_t count = static_cast<std::size_t>(width) * height * channels;
  if ((b.size() - at) / 4 < count) return std::nullopt;
  const bool little = scale < 0;
  RgbaImage image;
  image.width = width;
  image.height = height;
  image.pixels.resize(static_cast<std::size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y) {
    const int row = height - 1 - y;  // stored bottom up
    for (int x = 0; x < width; ++x) {
      std::uint8_t* out = &image.pixels[(static_cast<std::size_t>(row) * width + x) * 4];
      for (int c = 0; c < 3; ++c) {
        const std::size_t index =
            (static_cast<std::size_t>(y) * width + x) * channels + (channels == 3 ? c : 0);
        std::uint32_t bitsValue = le32(b, at + index * 4);
        if (!little)
          bitsValue = (bitsValue >> 24) | (bitsValue >> 8 & 0xFF00) | (bitsValue << 8 & 0xFF0000) |
                      (bitsValue << 24);
        const float value = std::bit_cast<float>(bitsValue);
        const float clamped = std::isfinite(value) ? std::clamp(value, 0.0f, 1.0f) : 0.0f;
        out[c] = static_cast<std::uint8_t>(clamped * 255 + 0.5f);
      }
      out[3] = 255;
    }
  }
  return image;
}

RgbaImage resampledImage(const RgbaImage& image, int width, int height) {
  RgbaImage out{width, height,
                std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
  if (image.width <= 0 || image.height <= 0 || width <= 0 || height <= 0) return out;
  if (image.width == width && image.height == height) return image;
  const float sx = static_cast<float>(image.width) / static_cast<float>(width),
              sy = static_cast<float>(image.height) / static_cast<float>(height);
  auto at = [&](int x, int y, int c) {
    x = std::clamp(x, 0, image.width - 1);
    y = std::clamp(y, 0, image.height - 1);
    return static_cast<float>(
        image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4 + c]);
  };
  for (int y = 0; y < height; ++y) {
    const float fy = (static_cast<float>(y) + 0.5f) * sy - 0.5f;
    const int y0 = static_cast<int>(std::floor(fy));
    const float ty = fy - static_cast<float>(y0);
    for (int x = 0; x < width; ++x) {
      const float fx = (static_cast<float>(x) + 0.5f) * sx - 0.5f;
      const int x0 = static_cast<int>(std::floor(fx));
      const float tx = fx - static_cast<float>(x0);
      std::uint8_t* p = &out.pixels[(static_cast<std::size_t>(y) * width + x) * 4];
      for (int c = 0; c < 4; ++c) {
        const float top = at(x0, y0, c) + (at(x0 + 1, y0, c) - at(x0, y0, c)) * tx;
        const float bottom = at(x0, y0 + 1, c) + (at(x0 + 1, y0 + 1, c) - at(x0, y0 + 1, c)) * tx;
        p[c] = static_cast<std::uint8_t>(std::lround(top + (bottom - top) * ty));
      }
    }
  }
  return out;
}

}  // namespace tessarim
