#pragma once

#include <QOpenGLFunctions_3_3_Core>
#include <array>
#include <optional>
#include <string>

#include "editor/texture_pass.hpp"
#include "images/image_files.hpp"
#include "images/png_image.hpp"
#include "model/model.hpp"

namespace tessarim {

// Decodes a map file: the core's readers for DDS, PFM, TGA and HDR, Qt's for PNG, BMP, DIB, JPG
// and PPM. Nothing when the file cannot be read.
std::optional<RgbaImage> decodeImageFile(const std::string& hostPath);

// The loaded map textures of every module slot, on the current GL context.
class GlTextureStore : public TextureStore {
 public:
  explicit GlTextureStore(QOpenGLFunctions_3_3_Core& gl) : gl_(gl) {}

  std::optional<RgbaImage> decode(const std::string& hostPath, int slot) override;
  void upload(int module, int slot, const RgbaImage& image) override;
  void release(int module, int slot) override;
  void uploadScene(SceneTexture which, const RgbaImage& image) override;
  void releaseScene(SceneTexture which) override;
  void uploadPiece(int piece, bool light, const RgbaImage& image) override;
  void releasePieces() override;

  GLuint texture(int module, int slot) const { return textures_[module][slot]; }
  // 0 while none is held.
  GLuint sceneTexture(SceneTexture which) const { return scene_[static_cast<int>(which)]; }
  // A ground piece's day or light image; 0 while none is held.
  GLuint piece(int index, bool light) const {
    return index >= 0 && index < groundPieceCount ? pieces_[index][light ? 1 : 0] : 0;
  }
  bool mipmaps = true;  // full mip chains (MIP filtering on) or one level

 private:
  QOpenGLFunctions_3_3_Core& gl_;
  std::array<std::array<GLuint, mapSlotCount + 1>, maxModules> textures_{};
  std::array<GLuint, sceneTextureCount> scene_{};
  std::array<std::array<GLuint, 2>, groundPieceCount> pieces_{};  // day, light
};

// A texture from RGBA pixels: linear filtering, repeat, optional mip chain.
GLuint makeTexture(QOpenGLFunctions_3_3_Core& gl, const RgbaImage& image, bool mipmaps);

// A DDS volume file read whole; nothing when it cannot be read.
std::optional<RgbaVolume> decodeVolumeFile(const std::string& hostPath);

// A 3D texture of one level: linear filtering, repeat across the slices' plane, depth clamped.
GLuint makeVolumeTexture(QOpenGLFunctions_3_3_Core& gl, const RgbaVolume& volume);

}  // namespace tessarim
