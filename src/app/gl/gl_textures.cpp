#include "gl/gl_textures.hpp"

#include <QImage>
#include <QImageReader>
#include <QString>
#include <cstring>
#include <fstream>
#include <utility>

#include "images/image_files.hpp"

namespace tessarim {
namespace {

bool endsWith(const std::string& s, const char* suffix) {
  const std::size_t n = std::strlen(suffix);
  if (s.size() < n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != suffix[i]) return false;
  }
  return true;
}

std::optional<std::string> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string{std::istreambuf_iterator<char>(in), {}};
}

// How each map slot samples: colour maps as they are, grey maps (L8) as luminance, alpha maps
// (A8) as alpha.
void setSwizzle(QOpenGLFunctions_3_3_Core& gl, int slot) {
  GLint swizzle[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA};
  if (slot == heightfile || slot == reflectfile || slot == grimefile || slot == detailfile) {
    swizzle[0] = swizzle[1] = swizzle[2] = GL_RED;
    swizzle[3] = GL_ONE;
  } else if (slot == visibilityfile || slot == controlfile) {
    swizzle[0] = swizzle[1] = swizzle[2] = GL_ZERO;
    swizzle[3] = GL_ALPHA;
  }
  gl.glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, swizzle);
}

}  // namespace

std::optional<RgbaImage> decodeImageFile(const std::string& hostPath) {
  using Decoder = std::optional<RgbaImage> (*)(std::string_view);
  const std::pair<const char*, Decoder> ownReaders[] = {
      {".dds", decodeDds}, {".pfm", decodePfm}, {".tga", decodeTgaOrHdr}, {".hdr", decodeTgaOrHdr}};
  for (const auto& [suffix, decode] : ownReaders) {
    if (!endsWith(hostPath, suffix)) continue;
    const auto bytes = readBytes(hostPath);
    if (!bytes) return std::nullopt;
    return decode(*bytes);
  }
  QImageReader reader(QString::fromStdString(hostPath));
  reader.setAutoTransform(false);
  QImage image = reader.read();
  if (image.isNull()) return std::nullopt;
  image = image.convertToFormat(QImage::Format_RGBA8888);
  RgbaImage out;
  out.width = image.width();
  out.height = image.height();
  out.pixels.resize(static_cast<std::size_t>(out.width) * out.height * 4);
  for (int y = 0; y < out.height; ++y) {
    std::memcpy(out.pixels.data() + static_cast<std::size_t>(y) * out.width * 4,
                image.constScanLine(y), static_cast<std::size_t>(out.width) * 4);
  }
  return out;
}

GLuint makeTexture(QOpenGLFunctions_3_3_Core& gl, const RgbaImage& image, bool mipmaps) {
  GLuint id = 0;
  gl.glGenTextures(1, &id);
  gl.glBindTexture(GL_TEXTURE_2D, id);
  gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.width, image.height, 0, GL_RGBA,
                  GL_UNSIGNED_BYTE, image.pixels.data());
  gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 4);  // the default the window's text drawing expects
  if (mipmaps) gl.glGenerateMipmap(GL_TEXTURE_2D);
  gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                     mipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
  gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, mipmaps ? 1000 : 0);
  return id;
}

std::optional<RgbaVolume> decodeVolumeFile(const std::string& hostPath) {
  const auto bytes = readBytes(hostPath);
  if (!bytes) return std::nullopt;
  return decodeDdsVolume(*bytes);
}

GLuint makeVolumeTexture(QOpenGLFunctions_3_3_Core& gl, const RgbaVolume& volume) {
  GLuint id = 0;
  gl.glGenTextures(1, &id);
  gl.glBindTexture(GL_TEXTURE_3D, id);
  gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  gl.glTexImage3D(GL_TEXTURE_3D, 0, GL_RGBA8, volume.width, volume.height, volume.depth, 0, GL_RGBA,
                  GL_UNSIGNED_BYTE, volume.pixels.data());
  gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  gl.glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  gl.glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  gl.glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  gl.glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  // The depth is the animation's phase 0..1: no wrap from the last slice back to the first.
  gl.glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
  gl.glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAX_LEVEL, 0);
  gl.glBindTexture(GL_TEXTURE_3D, 0);
  return id;
}

std::optional<RgbaImage> GlTextureStore::decode(const std::string& hostPath, int) {
  return decodeImageFile(hostPath);
}

void GlTextureStore::upload(int module, int slot, const RgbaImage& image) {
  release(module, slot);
  // Height and computed normal maps have one level; the others follow MIP filtering.
  const bool chain = mipmaps && slot != heightfile && slot != normalMapSlot;
  const GLuint id = makeTexture(gl_, image, chain);
  if (slot < mapSlotCount) setSwizzle(gl_, slot);
  textures_[module][slot] = id;
}

void GlTextureStore::release(int module, int slot) {
  GLuint& id = textures_[module][slot];
  if (id != 0) gl_.glDeleteTextures(1, &id);
  id = 0;
}

void GlTextureStore::uploadScene(SceneTexture which, const RgbaImage& image) {
  releaseScene(which);
  scene_[static_cast<int>(which)] = makeTexture(gl_, image, mipmaps);
}

void GlTextureStore::releaseScene(SceneTexture which) {
  GLuint& id = scene_[static_cast<int>(which)];
  if (id != 0) gl_.glDeleteTextures(1, &id);
  id = 0;
}

void GlTextureStore::uploadPiece(int piece, bool light, const RgbaImage& image) {
  if (piece < 0 || piece >= groundPieceCount) return;
  GLuint& id = pieces_[piece][light ? 1 : 0];
  if (id != 0) gl_.glDeleteTextures(1, &id);
  // Light images always carry their mip chain; day images follow MIP filtering like maps.
  id = makeTexture(gl_, image, light || mipmaps);
}

void GlTextureStore::releasePieces() {
  for (auto& pair : pieces_) {
    for (GLuint& id : pair) {
      if (id != 0) gl_.glDeleteTextures(1, &id);
      id = 0;
    }
  }
}

}  // namespace tessarim
