#pragma once

namespace tessarim {

struct Editor;
struct Command;
struct MenuContext;

// MODULE > "Assign Scale": gives the module of every selected instance the row's scale class,
// keeping its real size (each module once, however many of its instances are listed). With no
// list the current module and instance are entered into it as its only entry, and stay there.
// One edit; false when there is no module to scale.
bool assignScaleClass(Editor& editor, const Command& command);
bool legacyScaleModule(const MenuContext& context, const Command& command);
bool newScaleModule(const MenuContext& context, const Command& command);
bool scaleClassIs(const MenuContext& context, const Command& command);

}  // namespace tessarim
