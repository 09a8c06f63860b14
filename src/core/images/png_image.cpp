#include "images/png_image.hpp"

#include <png.h>

#include <cstring>

namespace tessarim {
namespace {

constexpr png_uint_32 maxPngSide = 16384;

// libpng's simplified interface reports through the image record rather than longjmp, so no
// C++ object is ever jumped over.
void setError(const png_image& image, std::string* error) {
  if (error) *error = image.message[0] ? image.message : "not a PNG image";
}

}  // namespace

std::optional<RgbaImage> decodePng(std::string_view bytes, std::string* error) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
    setError(image, error);
    png_image_free(&image);
    return std::nullopt;
  }
  // A hostile header could ask for any size; no texture the renderer takes is larger.
  if (image.width > maxPngSide || image.height > maxPngSide) {
    if (error) *error = "the image is larger than 16384 x 16384 pixels";
    png_image_free(&image);
    return std::nullopt;
  }
  image.format = PNG_FORMAT_RGBA;
  RgbaImage out;
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  out.pixels.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr)) {
    setError(image, error);
    png_image_free(&image);
    return std::nullopt;
  }
  return out;
}

std::optional<std::string> encodePng(const RgbaImage& image, std::string* error) {
  png_image info;
  std::memset(&info, 0, sizeof info);
  info.version = PNG_IMAGE_VERSION;
  info.width = static_cast<png_uint_32>(image.width);
  info.height = static_cast<png_uint_32>(image.height);
  info.format = PNG_FORMAT_RGBA;
  if (image.width <= 0 || image.height <= 0 || image.pixels.size() != PNG_IMAGE_SIZE(info)) {
    if (error) *error = "the pixel array does not match the image size";
    return std::nullopt;
  }
  // The first call measures, the second writes.
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&info, nullptr, &size, 0, image.pixels.data(), 0, nullptr)) {
    setError(info, error);
    return std::nullopt;
  }
  std::string bytes(size, '\0');
  if (!png_image_write_to_memory(&info, bytes.data(), &size, 0, image.pixels.data(), 0, nullptr)) {
    setError(info, error);
    return std::nullopt;
  }
  bytes.resize(size);
  return bytes;
}

}  // namespace tessarim
