#pragma once

// Typed polygon entry: a 3- or 4-sided polygon built corner by corner from typed coordinates or
// clicks on the graph paper, added to the current module or replacing its current polygon. The
// polygon reaches the document in one edit when its last field is accepted.

namespace tessarim {

struct Editor;

// Keys the entry takes; everything else is ignored while it runs.
enum class EntryKey { accept, back, cancel, backspace, depthUp, depthDown };

// Starts adding a polygon to the current module at the sides prompt. False when no module is
// current or an entry already runs.
bool startPolygonAdd(Editor& editor);
// Starts changing the current polygon with every field filled in from it.
bool startPolygonChange(Editor& editor);

// A typed character: digits, '+', '-' and '.' extend the field's text (at most 79 characters).
void entryCharacter(Editor& editor, char32_t character);
void entryKey(Editor& editor, EntryKey key);

// A click at the screen point while the graph paper is shown: the corner being entered takes
// the hit point rounded to whole units, at the entry depth. False when the paper was missed or
// the click is not for the entry.
bool entryGraphPaperClick(Editor& editor, float screenX, float screenY);

}  // namespace tessarim
