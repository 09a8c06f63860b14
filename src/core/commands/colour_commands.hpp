#pragma once

namespace tessarim {

struct Editor;
struct Command;

// The VIEW colour items: each opens the colour chooser with the user's custom colours (kept in the
// "Custom Colors Path" palette, written back whatever the answer) and on OK stores its colour.
// The `code` of the row says which colour (ViewColour).
enum class ViewColour : int { background, sunlight, skin, hairLips, eyes, trim, dynamicText };

bool chooseViewColour(Editor& editor, const Command& command);

}  // namespace tessarim
