#pragma once

#include <array>

namespace tessarim {

struct Editor;
struct Command;

// Where the menu refresh writes; the window applies each call to every item of that number.
class MenuSink {
 public:
  virtual ~MenuSink() = default;
  // Position 0..13 on the menu bar; the bar is redrawn after a change.
  virtual void setPopupEnabled(int popupPosition, bool enabled) = 0;
  virtual void setItemEnabled(int number, bool enabled) = 0;
  virtual void setItemChecked(int number, bool checked) = 0;
};

// Menu-bar positions of the popups whose enabling depends on the document.
inline constexpr std::array<int, 6> modelPopupPositions{5, 6, 7, 8, 9, 10};

// Whether the row's menu item would be enabled now (greyed-as-built rows never are).
bool commandEnabled(const Editor& editor, const Command& command);

// Marks the menu as built; the refresh may run from now on.
void initMenuState(Editor& editor);

// Called every frame with its elapsed seconds; at most every 0.3 s of frame time it collapses a
// one-entry instance list into the current instance, writes the model-dependent popups that
// changed and every rule-bound item's enabled and checked state, and leaves texel view when it
// is no longer possible.
void refreshMenuState(Editor& editor, float elapsedSeconds, MenuSink& sink);

}  // namespace tessarim
