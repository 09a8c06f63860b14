#pragma once

// The texture load pass of a frame: every map a module names and the renderer does not hold is
// decoded and handed over; the canvases follow the maps' sizes; one notification lists the maps
// that could not be read and the canvases that do not match.

#include <array>
#include <optional>
#include <string>

#include "editor/frame.hpp"
#include "editor/ground_pieces.hpp"
#include "images/png_image.hpp"
#include "model/model.hpp"

namespace tessarim {

struct Editor;

// Textures of the whole scene that the user's settings name, not a module.
enum class SceneTexture { terrain, windowColormap };
inline constexpr int sceneTextureCount = 2;

// Where the pass reads images and puts textures. The viewport decodes with the image readers it
// has and uploads to its device; tests hand out fixed images.
class TextureStore {
 public:
  virtual ~TextureStore() = default;
  // The image of a map file (slot -1: a scene texture); nothing when it cannot be read.
  virtual std::optional<RgbaImage> decode(const std::string& hostPath, int slot) = 0;
  // slot 0..8 a map slot, normalMapSlot the map computed from the height map.
  virtual void upload(int module, int slot, const RgbaImage& image) = 0;
  virtual void release(int module, int slot) = 0;
  virtual void uploadScene(SceneTexture which, const RgbaImage& image) = 0;
  virtual void releaseScene(SceneTexture which) = 0;
  // A city ground piece's day or light image, and dropping all of them.
  virtual void uploadPiece(int piece, bool light, const RgbaImage& image) = 0;
  virtual void releasePieces() = 0;
};

// What the pass remembers of each slot between passes.
struct TextureNames {
  // The file name each held texture was read from; a module naming another file gets it
  // reloaded. Empty: nothing held.
  std::array<std::array<std::string, mapSlotCount>, maxModules> loaded;
  // Names that could not be read; they are not tried again (and not announced again) until the
  // module names another file or the textures are released.
  std::array<std::array<std::string, mapSlotCount>, maxModules> failed;
  // The module's map time when each held texture was loaded; a module whose time no longer
  // matches (the outside-change check clears it) gets the file read again.
  std::array<std::array<FileTime, mapSlotCount>, maxModules> loadedTime{};
  // The same for the scene textures, by SceneTexture.
  std::array<std::string, sceneTextureCount> sceneLoaded, sceneFailed;
  FileTime windowColormapTime = 0;
  GroundPieceState groundPieces;
};

// Runs the pass when the textures-loaded flag is clear; then sets the flag and clears
// modulesReloaded. A map that cannot be read keeps its name in the module and is drawn as
// missing. The terrain image ("Terrain 1") and the window colour map are loaded in the same
// pass; one that cannot be read is announced once and the scene is drawn without it.
void loadMissingTextures(Editor& editor, TextureNames& names, TextureStore& store);

// Releases every texture the store holds for every module (device gone, or MIP filtering
// changed), so that the next pass loads them again.
void releaseAllTextures(FrameState& frame, TextureNames& names, TextureStore& store);

}  // namespace tessarim
