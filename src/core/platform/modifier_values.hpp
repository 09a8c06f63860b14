#pragma once

namespace tessarim {

// What the "Modifiers" dialog holds: a transformation of the current module's vertices and
// texels, or of instance placements. The numbers keep their last accepted values for as long as
// the program runs; the flags are the dialog's check boxes.
struct ModifierValues {
  float sx = 1, sy = 1, sz = 1;  // geometry scale
  float su = 1, sv = 1;          // texel scale, set 0
  float ox = 0, oy = 0, oz = 0;  // offset: model units for vertices, class-1 units for instances
  float ou = 0, ov = 0;          // texel offset, set 0
  float rx = 0, ry = 0, rz = 0;  // radians: yaw about y, pitch about x, roll about z
  float rc = 0;                  // canvas rotation, radians
  bool round = false;            // snap coordinates to whole units
  bool vertex = true;            // vertices and texels of the module; clear: instances
  bool skew = false;             // the city skew, instances only
};

// "Reset": every number back to its default; the check boxes stay as they are.
inline void resetModifierNumbers(ModifierValues& values) {
  ModifierValues fresh;
  fresh.round = values.round;
  fresh.vertex = values.vertex;
  fresh.skew = values.skew;
  values = fresh;
}

enum class ModifiersButton { accept, cancel, reset };

}  // namespace tessarim
