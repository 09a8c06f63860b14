#pragma once

// What the viewport's keys do that no accelerator claims: the typed polygon entry, nudging and
// turning the selection or the texels on the canvas, and the zoom keys.

#include "render/frame_state.hpp"

namespace tessarim {

struct Editor;

enum class ViewKey {
  left,
  right,
  up,
  down,
  pageUp,
  pageDown,
  enter,
  backspace,
  escape,
  keypad0,
  keypadDecimal,
  keypadPlus,
  keypadMinus,
};

// A key went down. While a typed entry runs only the entry's keys act; the others are left to
// be typed (false).
bool viewKeyDown(Editor& editor, ViewKey key, KeyModifiers held);
// A typed character, for the typed entry.
void viewCharacter(Editor& editor, char32_t character);

// The angle one step from `angle` on the lattice of `step`: (nearest whole of (angle + delta) /
// step) x step, so that repeated steps always land on multiples of the step.
float snapAngle(float angle, float delta, float step);

// The distance one arrow key moves an instance, in model units: one unit, more when zoomed out.
int instanceMoveStep(float eyeDistance);

}  // namespace tessarim
