#pragma once

#include <array>
#include <cstdint>

namespace tessarim {

struct Editor;
struct Command;
struct MenuContext;

// The colour chooser exchanges 0x00BBGGRR. It starts from float channels each x 255, truncated;
// a chosen colour becomes each channel / 255.
std::uint32_t chooserFromFloats(const std::array<float, 3>& colour);
std::array<float, 3> floatsFromChooser(std::uint32_t bgr);

// The VIEW colour items: each opens the colour chooser with the user's custom colours (kept in the
// "Custom Colors Path" palette, written back whatever the answer) and on OK stores its colour.
// The `code` of the row says which colour (ViewColour).
enum class ViewColour : int { background, sunlight, skin, hairLips, eyes, trim, dynamicText };

bool chooseViewColour(Editor& editor, const Command& command);

// The document's colour scheme: sixteen colours from a palette file, which the instances' colour
// keys choose. New starts from the grey ramp without a file and goes on as Edit; Load reads a
// chosen file; Edit changes the colours in the chooser and writes them to the scheme's file.
bool canChangeScheme(const MenuContext& context, const Command& command);
bool newScheme(Editor& editor, const Command& command);
bool loadScheme(Editor& editor, const Command& command);
bool editScheme(Editor& editor, const Command& command);

}  // namespace tessarim
