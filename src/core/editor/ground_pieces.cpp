#include "editor/ground_pieces.hpp"

#include "editor/editor.hpp"
#include "editor/texture_pass.hpp"
#include "model/paths.hpp"
#include "platform/ui.hpp"

namespace tessarim {
namespace {

constexpr const char* thumbnailFolder = "groundpieces\\RTS\\thumbs\\";

// Day and light stems by piece index; the light stems are shared where pieces share lighting.
constexpr GroundPieceStems stems[piecesWithImages] = {
    {"f1a"},
    {"f1b"},
    {"f1c"},
    {"f2a"},
    {"f2b"},
    {"f2c"},
    {"f3a"},
    {"f3b"},
    {"f4a"},
    {"f4b"},
    {"f5a"},
    {"f6a"},
    {"f6b"},
    {"f6c"},
    {"f6d"},
    {"f6e"},
    {"f7a"},
    {"f7b"},
    {"f7c"},
    {"f8a"},
    {"f8b"},
    {"f8c"},
    {"f9a"},
    {"f9b"},
    {"f10a"},
    {"f10b"},
    {"f10c"},
    {"f10d"},
    {"f11a"},
    {"f33_Exit-above", "f33_Exit-aboveLIGHT"},
    {"f12b"},
    {"f33_Exit-below", "f33_Exit-belowLIGHT"},
    {"f13b"},
    {"f31_Exit-above", "f31_Exit-aboveLIGHT"},
    {"f14b"},
    {"f15a", "f15aLIGHT"},
    {"f15b", "f15bLIGHT"},
    {"f15c", "f15cLIGHT"},
    {"f15d", "f15dLIGHT"},
    {"f15e", "f15eLIGHT"},
    {"f31_Exit-above-above", "f31_Exit-above-aboveLIGHT"},
    {"f17"},
    {"f18"},
    {"f19"},
    {"f20"},
    {"f21"},
    {"f22"},
    {"f23"},
    {"f24"},
    {"f25", "f25LIGHT"},
    {"f26"},
    {"f27"},
    {"f28"},
    {"f29"},
    {"f30"},
    {"f15f", "f15fLIGHT"},
    {"f15g", "f15gLIGHT"},
    {"f31", "f31LIGHT"},
    {"f32x"},
    {"f33", "f33LIGHT"},
    {"f34", "f34LIGHT"},
    {"city2playerN"},
    {"city2playerS"},
    {"f3218", "f32LIGHT"},
    {"f3236", "f32LIGHT"},
    {"f31aim", "f31LIGHT"},
    {"f31stripe1", "f31LIGHT"},
    {"f31stripe2", "f31LIGHT"},
    {"f31stripe3", "f31LIGHT"},
    {"f8bpark"},
    {"f9bpark"},
    {"PolarCompassQuadrant"},
    {"f31_Exit-above-above-NOSTRIPE", "f31_Exit-above-aboveLIGHT"},
};

// Reads one image into the store; false when it cannot be read (reported once per file).
bool loadOne(Editor& editor, GroundPieceState& state, TextureStore& store, int piece, bool light) {
  const GroundPieceStems s = stems[piece];
  const std::string shown =
      groundPieceFile(editor.session.repository.text, light ? s.light : s.day);
  const std::string relative = std::string(thumbnailFolder) + (light ? s.light : s.day) + ".png";
  const auto image = store.decode(resolvePath(editor.session.repository, relative), -1);
  if (!image || image->width <= 0 || image->height <= 0) {
    if (state.reported.insert(shown).second) {
      editor.session.ui.message(shown,
                                light ? "Could not find RTS Night" : "Could not find RTS Day",
                                MessageIcon::warning);
    }
    return false;
  }
  if (light) {
    // Light images are kept as RGB: whatever alpha the file has is not a light's.
    RgbaImage opaque = *image;
    for (std::size_t k = 3; k < opaque.pixels.size(); k += 4) opaque.pixels[k] = 255;
    store.uploadPiece(piece, true, opaque);
  } else {
    store.uploadPiece(piece, false, *image);
  }
  return true;
}

}  // namespace

GroundPieceStems groundPieceStems(int piece) {
  return piece >= 0 && piece < piecesWithImages ? stems[piece] : GroundPieceStems{};
}

std::string groundPieceFile(const std::string& repositoryText, const char* stem) {
  return repositoryText + thumbnailFolder + stem + ".png";
}

void loadGroundPieces(Editor& editor, GroundPieceState& state, TextureStore& store) {
  if (!isCity(editor.model().document)) return;
  for (int piece = 0; piece < piecesWithImages; ++piece) {
    if (state.day[piece]) continue;
    state.day[piece] = loadOne(editor, state, store, piece, false);
    if (stems[piece].light && !state.light[piece])
      state.light[piece] = loadOne(editor, state, store, piece, true);
  }
}

void releaseGroundPieces(GroundPieceState& state, TextureStore& store) {
  store.releasePieces();
  state.day.fill(false);
  state.light.fill(false);
}

}  // namespace tessarim
