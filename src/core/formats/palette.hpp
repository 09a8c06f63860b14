#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tessarim {

struct Session;

inline constexpr int paletteColourCount = 16;
using Palette = std::array<std::uint32_t, paletteColourCount>;  // 0x00BBGGRR

// The colours when no palette file can be read: colour i is the grey of level i * 15.9375,
// truncated (0, 15, 31, ... 239).
Palette greyRamp();

// Reads the palette file named by path (stored form; 64 bytes, sixteen little-endian colours).
// When a named file cannot be opened the user may choose another one, which path then names (and,
// with remember set, the "Custom Colors Path" setting); failing that the colours become the grey
// ramp and the failure is reported. An empty path gives the grey ramp without a word.
void readPalette(Session& session, std::string& path, Palette& colours, bool remember);

// Writes the sixteen colours as the palette file named by path. When the path is empty or the file
// cannot be made the user may choose one (starting at "custom.pal" in the temporary folder with
// remember set, else beside the document), which path then names; a file that still cannot be
// written is reported. With remember set a chosen path becomes the "Custom Colors Path" setting.
// Without it, path is the document's scheme: a name that leads out of the repository folder is
// not written, as every name read from a document. No file is written through a link that leads
// somewhere its name does not say (linkTargetOf). The session's write log keeps what became of
// the file named.
void writePalette(Session& session, std::string& path, const Palette& colours, bool remember);

}  // namespace tessarim
