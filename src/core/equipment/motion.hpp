#pragma once

#include <array>
#include <cstdint>

#include "maths/matrix.hpp"
#include "model/instance_types.hpp"
#include "model/motion_state.hpp"

namespace tessarim {

struct Model;

// The parent joint of a body-part type, or -1 for the torso, types without a parent and types
// that are not body parts.
int bodyPartParent(int type);

// One frame of motion over every instance of an open assembly or city: phases advance by dt
// seconds (clockSeconds is the program's running time, for the cycling types), hinged types
// 33..36 get their fixed pivot angle, and every instance's rotation, world, saved matrix and eye
// distance are rebuilt. sceneView takes the scene into eye space (scene world times view).
// A reverse end mode that turned a phase around toggles model.motion.extended once, after all
// instances; the result says whether it did.
bool motionStep(Model& model, float dt, double clockSeconds, const Matrix& sceneView);

}  // namespace tessarim
