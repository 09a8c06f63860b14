#include "equipment/motion.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "maths/maths.hpp"
#include "model/model.hpp"

namespace tessarim {
namespace {

// Rotations written out here, independently of the maths module, with the right-hand rule.
Vec3 aboutX(Vec3 v, float a) {
  return {v.x, v.y * std::cos(a) - v.z * std::sin(a), v.y * std::sin(a) + v.z * std::cos(a)};
}
Vec3 aboutY(Vec3 v, float a) {
  return {v.x * std::cos(a) + v.z * std::sin(a), v.y, -v.x * std::sin(a) + v.z * std::cos(a)};
}
Vec3 aboutZ(Vec3 v, float a) {
  return {v.x * std::cos(a) - v.y * std::sin(a), v.x * std::sin(a) + v.y * std::cos(a), v.z};
}
// Roll, then pitch, then yaw.
Vec3 oriented(Vec3 v, const std::array<float, 3>& ypr) {
  return aboutY(aboutX(aboutZ(v, ypr[2]), ypr[1]), ypr[0]);
}
// Rodrigues: v cos a + (n × v) sin a + n (n · v)(1 - cos a), n the unit axis.
Vec3 aboutAxis(Vec3 v, Vec3 axis, float a) {
  Vec3 n = axis * (1.0f / std::sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z));
  Vec3 c{n.y * v.z - n.z * v.y, n.z * v.x - n.x * v.z, n.x * v.y - n.y * v.x};
  float d = n.x * v.x + n.y * v.y + n.z * v.z;
  return v * std::cos(a) + c * std::sin(a) + n * (d * (1 - std::cos(a)));
}
Vec3 vec(const std::array<float, 3>& a) {
  return {a[0], a[1], a[2]};
}

void expectNear(Vec3 got, Vec3 want, float tolerance = 1e-4f) {
  EXPECT_NEAR(got.x, want.x, tolerance);
  EXPECT_NEAR(got.y, want.y, tolerance);
  EXPECT_NEAR(got.z, want.z, tolerance);
}

struct Scene {
  Model model;
  Scene() {
    model.document.kind = DocumentKind::asmfile;
    model.document.wldfiles = 1;
  }
  Instance& add(std::uint8_t type) {
    Instance t;
    t.type = type;
    t.extendRate = t.retractRate = 1;
    model.document.module[0].instances.push_back(t);
    return model.document.module[0].instances.back();
  }
  Instance& at(std::size_t i) { return model.document.module[0].instances[i]; }
  void step(float dt = 0, double clock = 0, const Matrix& view = identityMatrix()) {
    motionStep(model, dt, clock, view);
  }
};

TEST(MotionStep, HingedPartsSwingAboutTheirOffsetAlongTheirExtent) {
  const Vec3 p{0.5f, -1.25f, 2};
  for (float phase : {0.0f, 0.5f, 1.0f}) {
    Scene scene;
    Instance& t = scene.add(30);
    t.location = {10, 20, 30};
    t.endLocation = {14, 20, 26};
    t.orientation = {0.3f, 0, 0};
    t.hingeAxis = {1, 2, 2};
    t.hingeOffset = {1, 0, -2};
    t.hingeAngle = 1.2f;
    t.motionPhase = phase;
    scene.step();
    const Vec3 h = vec(t.hingeOffset);
    Vec3 want = aboutAxis(oriented(p - h, t.orientation), vec(t.hingeAxis), 1.2f * phase) +
                vec(t.location) + (vec(t.endLocation) - vec(t.location)) * phase + h;
    expectNear(transformCoord(p, t.worldMatrix), want);
    EXPECT_EQ(t.savedMatrix, t.worldMatrix);
  }
}

TEST(MotionStep, PlainInstancesStayOnTheirLocationAndScaleToKilometres) {
  Scene scene;
  scene.model.document.module[0].scaleClass = 2;  // 0.0039 km per unit
  Instance& t = scene.add(0);
  t.location = {100, 200, 300};
  t.endLocation = {999, 999, 999};
  t.hingeOffset = {5, 5, 5};
  t.orientation = {0, 0, 0.5f};
  scene.model.motion.extended = true;
  scene.step(0.5f);
  expectNear(transformCoord({1, 0, 0}, t.worldMatrix),
             (aboutZ({1, 0, 0}, 0.5f) + Vec3{100, 200, 300}) * 0.0039f, 1e-6f);
  scene.model.settings.flattenY = true;
  scene.step();
  EXPECT_FLOAT_EQ(transformCoord({1, 7, 0}, t.worldMatrix).y, 0);
}

TEST(MotionStep, EndModesOverSeveralFrames) {
  struct Case {
    EndMode mode;
    std::vector<float> phases;
    std::vector<bool> extended;  // after each frame
  } cases[] = {
      {EndMode::none, {0.375f, 0.75f, 1, 1}, {true, true, true, true}},
      {EndMode::snapToZero, {0.375f, 0.75f, 0.125f, 0.5f}, {true, true, true, true}},
      {EndMode::reverse,
       {0.375f, 0.75f, 0.875f, 0.5f, 0.125f, 0.25f},
       {true, true, false, false, false, true}},
  };
  for (const Case& c : cases) {
    Scene scene;
    Instance& t = scene.add(30);
    t.extendRate = t.retractRate = 0.375f;  // binary fractions: no rounding at the turns
    scene.model.motion.extended = true;
    scene.model.motion.endMode = c.mode;
    for (std::size_t frame = 0; frame < c.phases.size(); ++frame) {
      scene.step(1);
      EXPECT_NEAR(t.motionPhase, c.phases[frame], 1e-5f)
          << static_cast<int>(c.mode) << " frame " << frame;
      EXPECT_EQ(scene.model.motion.extended, c.extended[frame])
          << static_cast<int>(c.mode) << " frame " << frame;
    }
  }
}

TEST(MotionStep, TypesWithTheirOwnPhaseRules) {
  Scene scene;
  scene.add(40).motionPhase = 0.995f;
  scene.add(130);
  scene.add(131);
  scene.add(105).motionPhase = 0.25f;  // a body part below the torso has no phase
  scene.add(34).hingeAngle = 2;
  scene.step(1, 100);
  EXPECT_NEAR(scene.at(0).motionPhase, 0.005f, 1e-5f);
  EXPECT_NEAR(scene.at(1).motionPhase, std::fmod(100 * 0.057022728, 1.0), 1e-5);
  EXPECT_NEAR(scene.at(2).motionPhase, std::fmod(100 * 0.0252376, 1.0), 1e-5);
  EXPECT_EQ(scene.at(3).motionPhase, 0.25f);
  EXPECT_FLOAT_EQ(scene.at(4).hingeAngle, 0.5235988f);
}

TEST(MotionStep, BodyPartsTurnAboutTheirParentsAndFollowTheSkeletonOffset) {
  for (bool prog : {false, true}) {
    Scene scene;
    scene.model.motion.skeletonOffset = {3, -4, 5};
    scene.model.motion.prog = prog;
    Instance& forearm = scene.add(105);  // listed before its parents
    forearm.location = {2, 1, 1.5f};
    forearm.orientation = {0, 0, 0.7f};
    Instance& upperArm = scene.add(103);
    upperArm.location = {1, 1, 2};
    upperArm.orientation = {0, -0.4f, 0};
    Instance& torso = scene.add(100);
    torso.location = {0, 0, 3};
    torso.orientation = {0.9f, 0, 0};
    scene.step();
    const Vec3 p{0.25f, 0.5f, -0.5f};
    Vec3 want = oriented(p, scene.at(0).orientation) +
                (vec(scene.at(0).location) - vec(scene.at(1).location));
    want = oriented(want, scene.at(1).orientation) +
           (vec(scene.at(1).location) - vec(scene.at(2).location));
    want = oriented(want, scene.at(2).orientation) + vec(scene.at(2).location);
    if (!prog) want = want + Vec3{3, -4, 5};
    expectNear(transformCoord(p, scene.at(0).worldMatrix), want);
    // The torso itself: its own turn at its own place.
    expectNear(transformCoord(p, scene.at(2).worldMatrix), oriented(p, scene.at(2).orientation) +
                                                               vec(scene.at(2).location) +
                                                               (prog ? Vec3{} : Vec3{3, -4, 5}));
  }
}

TEST(MotionStep, RecordsTheDistanceFromTheEyeAndLeavesSingleMeshesAlone) {
  Scene scene;
  scene.add(0).location = {3, 4, 0};
  scene.step(0, 0, translation(0, 0, -12));
  EXPECT_FLOAT_EQ(scene.at(0).eyeDistance, 13);

  scene.model.document.kind = DocumentKind::wldfile;
  scene.at(0).location = {0, 0, 0};
  scene.step(0, 0, translation(0, 0, -12));
  EXPECT_FLOAT_EQ(scene.at(0).eyeDistance, 13);  // not an assembly: nothing moves
}

}  // namespace
}  // namespace tessarim
