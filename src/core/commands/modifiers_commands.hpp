#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/modifier_values.hpp"

namespace tessarim {

struct Editor;
struct Command;
struct MenuContext;

// "&Modifiers...": the dialog over the editor's stored values, "Vertex" ticked and the other two
// boxes clear at every opening; each "Accept" is one edit. False when no module is loaded or
// several instances are selected.
bool openModifiers(Editor& editor, const Command& command);
bool canApplyModifiers(const MenuContext& context, const Command& command);

// One "Accept": with the assembly retracted, the values transform the current module's vertices
// and texels ("Vertex") or instances: with no current module every module (a city's ground
// module keeps its instances), and then the connectors and lights; with a current module that
// module, or its current instance alone. One edit; false, changing nothing, when the selection
// names nothing loaded or when the result would not be finite (which is said).
bool applyModifiers(Editor& editor, const ModifierValues& values);

// The dialog's edits show and read numbers as "%f"; angles are shown in degrees and kept in
// radians.
std::string modifierNumberText(float value);
std::string modifierAngleText(float radians);
float modifierRadians(float degrees);
// The number "%f" reads at the start of the text (leading blanks skipped, anything after it
// ignored); nothing when the text does not start with a finite number.
std::optional<float> readModifierNumber(std::string_view text);
// The text starts with a number too large for the dialog to hold ("1e39"), which "%f" reads as
// infinite: the dialog says so rather than that it is no number.
bool modifierNumberTooLarge(std::string_view text);

}  // namespace tessarim
