#pragma once

// The city ground's pieces: a day image and, for some, a light (night) image each, read from the
// repository's thumbnail folder when a city's textures are loaded.

#include <array>
#include <set>
#include <string>

#include "model/city_records.hpp"

namespace tessarim {

struct Editor;
class TextureStore;

// Pieces 0..72 have images; piece 73 has none.
inline constexpr int piecesWithImages = 73;

struct GroundPieceStems {
  const char* day = nullptr;    // file stem; nullptr for piece 73
  const char* light = nullptr;  // nullptr when the piece has no light image
};

GroundPieceStems groundPieceStems(int piece);

// The stored-form path of a piece's image: repository folder text, thumbnail folder, stem, ".png".
std::string groundPieceFile(const std::string& repositoryText, const char* stem);

// What the loader remembers between passes.
struct GroundPieceState {
  std::array<bool, groundPieceCount> day{}, light{};  // the store holds the image
  // Files already reported missing: each is reported once in a session, not at every reload (a
  // window resize or a MIP filtering switch reloads), and tried again silently in case it appears.
  std::set<std::string> reported;
};

// For a city, every piece whose day image is not held: its day image and, when it has one, its
// light image. A file that cannot be read is reported with its path as the text ("Could not find
// RTS Day" / "Could not find RTS Night") and its slot stays empty.
void loadGroundPieces(Editor& editor, GroundPieceState& state, TextureStore& store);

// Drops every held piece image (textures released, device gone).
void releaseGroundPieces(GroundPieceState& state, TextureStore& store);

}  // namespace tessarim
