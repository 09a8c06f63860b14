#pragma once

// The numeric transformations of the "Modifiers" dialog over one module or one instance.

#include "maths/matrix.hpp"
#include "model/records.hpp"
#include "platform/modifier_values.hpp"

namespace tessarim {

// The lists of a module that modifyVertices changes with these values, for a caller that keeps
// them before the change.
struct VertexModification {
  bool vertices = false;
  bool polygons = false;  // texels
};
VertexModification vertexModification(const ModifierValues& values, bool sudoSu);

// The vertex-mode transformation, in this order: canvas rotation (both texel sets, by -rc about
// the canvas centre), texel offset (set 0), rotation (roll, then pitch, then yaw), offset, scale
// with "Round", texel scale (set 0; without sudoSu only a mirror), then the texels follow a
// geometry scale: uniform scales them, any other regenerates them (not with sudoSu). Each step
// that runs on something marks the module modified.
void modifyVertices(Module& module, const ModifierValues& values, bool sudoSu);

// Whether modifyInstance moves or turns an instance with these values.
bool modifiesInstances(const ModifierValues& values);

// The instance-mode transformation of one instance of `module`: the offset (in units of scale
// class 1) moves location and endLocation, "Round" snaps them, the scale multiplies location,
// rx turns location about z by -rx and takes rx from the roll, and "Skew" takes location through
// `skew` (the city corner transform) and snaps it again with "Round".
void modifyInstance(const Module& module, Instance& instance, const ModifierValues& values,
                    const Matrix& skew);

}  // namespace tessarim
