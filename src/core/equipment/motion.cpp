#include "equipment/motion.hpp"

#include <cmath>
#include <optional>

#include "maths/maths.hpp"
#include "model/model.hpp"
#include "model/scale_class.hpp"

namespace tessarim {
namespace {

constexpr float fixedPivot = 0.5235988f;  // 30 degrees

// Advances one phase; true when a reverse end mode turned it around.
bool advancePhase(Instance& t, float dt, double clockSeconds, const MotionState& state) {
  float& phase = t.motionPhase;
  switch (t.type) {
    case instance_type::scrollingLightMap:
    case instance_type::scrollingColourMap:
      phase += 0.01f * dt;
      if (phase >= 1) phase -= 1;
      return false;
    case instance_type::tumbler:
      phase = static_cast<float>(std::fmod(clockSeconds * 0.057022728, 1.0));
      return false;
    case instance_type::bigRing:
      phase = static_cast<float>(std::fmod(clockSeconds * 0.0252376, 1.0));
      return false;
    default:
      break;
  }
  if (isBodyPart(t.type) && t.type != instance_type::torso) return false;
  phase += state.extended ? dt * t.extendRate : -dt * t.retractRate;
  if (phase >= 1) {
    switch (state.endMode) {
      case EndMode::snapToZero:
        phase -= 1;
        return false;
      case EndMode::reverse:
        phase = 1 - (phase - 1);
        return true;
      case EndMode::none:
        phase = 1;
        return false;
    }
  } else if (phase < 0) {
    if (state.endMode == EndMode::reverse) {
      phase = -phase;
      return true;
    }
    phase = 0;
  }
  return false;
}

Vec3 vec(const std::array<float, 3>& a) {
  return {a[0], a[1], a[2]};
}

// M followed by a move by d: only the translation row changes for an affine M.
Matrix moved(Matrix m, Vec3 d) {
  m[3][0] += d.x;
  m[3][1] += d.y;
  m[3][2] += d.z;
  return m;
}

// The first instance of each body-part type, and its chain once worked out this frame.
struct BodyParts {
  const Instance* byType[instance_type::bodyPartCount] = {};
  std::optional<Matrix> chainOf[instance_type::bodyPartCount];
};

// The body part's rotations about its own pivot, carried by its parent's: its own rotation, the
// step from the parent's pivot to its own, then the parent's chain, up to the root's place.
Matrix bodyPartChain(const Instance& t, BodyParts& parts, int depth = 0) {
  const int slot = t.type - instance_type::firstBodyPart;
  const bool first = parts.byType[slot] == &t;
  if (first && parts.chainOf[slot]) return *parts.chainOf[slot];
  const int parentType = bodyPartParent(t.type);
  const Instance* parent = parentType >= instance_type::firstBodyPart
                               ? parts.byType[parentType - instance_type::firstBodyPart]
                               : nullptr;
  Matrix chain;
  if (!parent || parent == &t || depth > 20) {
    chain = moved(t.rotationMatrix, vec(t.location));
  } else {
    chain = multiply(moved(t.rotationMatrix, vec(t.location) - vec(parent->location)),
                     bodyPartChain(*parent, parts, depth + 1));
  }
  if (first) parts.chainOf[slot] = chain;
  return chain;
}

}  // namespace

int bodyPartParent(int type) {
  switch (type) {
    case instance_type::head:
    case instance_type::hips:
    case instance_type::leftUpperArm:
    case instance_type::rightUpperArm:
    case instance_type::helmetGlass:
      return instance_type::torso;
    case instance_type::leftForearm:
    case instance_type::leftMonitor:
      return instance_type::leftUpperArm;
    case instance_type::rightForearm:
      return instance_type::rightUpperArm;
    case instance_type::leftHand:
      return instance_type::leftForearm;
    case instance_type::rightHand:
      return instance_type::rightForearm;
    case instance_type::leftThigh:
    case instance_type::rightThigh:
    case instance_type::hipAccessory:
      return instance_type::hips;
    case instance_type::leftShin:
      return instance_type::leftThigh;
    case instance_type::rightShin:
      return instance_type::rightThigh;
    case instance_type::leftFoot:
      return instance_type::leftShin;
    case instance_type::rightFoot:
      return instance_type::rightShin;
    default:
      return -1;
  }
}

bool motionStep(Model& model, float dt, double clockSeconds, const Matrix& sceneView) {
  if (!placesModules(model.document)) return false;
  MotionState& state = model.motion;
  bool flip = false;
  BodyParts parts;
  for (int m = 0; m < model.document.wldfiles; ++m) {
    for (Instance& t : model.document.module[m].instances) {
      flip = advancePhase(t, dt, clockSeconds, state) || flip;
      if (hasFixedPivot(t.type)) t.hingeAngle = fixedPivot;
      if (isBodyPart(t.type) && !parts.byType[t.type - instance_type::firstBodyPart])
        parts.byType[t.type - instance_type::firstBodyPart] = &t;
      // Untyped instances and body parts turn about (1, 0, 0) through their own origin and stay
      // on their location; the others follow their hinge and their motion extent. Every rotation
      // is known before any placement, as body parts carry their parents'.
      const bool plain = t.type == instance_type::unassigned || isBodyPart(t.type);
      const Vec3 axis = plain ? Vec3{1, 0, 0} : vec(t.hingeAxis);
      t.rotationMatrix =
          multiply(rotationYawPitchRoll(t.orientation[0], t.orientation[1], t.orientation[2]),
                   rotationAxis(axis, t.hingeAngle * t.motionPhase));
    }
  }

  for (int m = 0; m < model.document.wldfiles; ++m) {
    const Module& module = model.document.module[m];
    const float k = static_cast<float>(unitKilometres(module.scaleClass));
    const float scale[3] = {model.settings.flattenX ? 0 : k, model.settings.flattenY ? 0 : k,
                            model.settings.flattenZ ? 0 : k};
    for (Instance& t : model.document.module[m].instances) {
      const bool plain = t.type == instance_type::unassigned || isBodyPart(t.type);
      const Vec3 offset = plain ? Vec3{} : vec(t.hingeOffset);
      Matrix placed;
      if (isBodyPart(t.type)) {
        placed = bodyPartChain(t, parts);
        if (!state.prog) placed = moved(placed, vec(state.skeletonOffset));
      } else {
        const Vec3 position =
            plain
                ? vec(t.location)
                : vec(t.location) + (vec(t.endLocation) - vec(t.location)) * t.motionPhase + offset;
        // Turning about the offset: the move by -offset, turned, lands at position - offset R.
        placed = moved(t.rotationMatrix, position - transformNormal(offset, t.rotationMatrix));
      }
      for (auto& row : placed) {
        for (int c = 0; c < 3; ++c) row[c] *= scale[c];
      }
      t.worldMatrix = placed;
      t.savedMatrix = placed;
      t.eyeDistance = length(transformCoord({placed[3][0], placed[3][1], placed[3][2]}, sceneView));
    }
  }
  if (flip) state.extended = !state.extended;
  return flip;
}

}  // namespace tessarim
