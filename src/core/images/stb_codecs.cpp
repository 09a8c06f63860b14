// TGA and HDR maps, read with stb's image reader: the two map formats that neither libpng nor
// the program's own readers cover.
#include <climits>
#include <cstddef>

#include "images/image_files.hpp"

// stb's code is not held to this project's warnings.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wsign-conversion"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wdouble-promotion"
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#define STBI_ONLY_HDR
#define STBI_NO_STDIO
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace tessarim {

std::optional<RgbaImage> decodeTgaOrHdr(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
  int width = 0, height = 0, channels = 0;
  stbi_uc* pixels =
      stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                            static_cast<int>(bytes.size()), &width, &height, &channels, 4);
  if (!pixels) return std::nullopt;
  RgbaImage out{
      width, height,
      std::vector<std::uint8_t>(pixels, pixels + static_cast<std::size_t>(width) * height * 4)};
  stbi_image_free(pixels);
  return out;
}

}  // namespace tessarim
