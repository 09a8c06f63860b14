#include "maths/maths.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace tessarim {
namespace {

constexpr float halfPi = 1.5707964f;

void expectNear(Vec3 got, Vec3 want, float tolerance = 1e-5f) {
  EXPECT_NEAR(got.x, want.x, tolerance);
  EXPECT_NEAR(got.y, want.y, tolerance);
  EXPECT_NEAR(got.z, want.z, tolerance);
}

void expectNear(const Matrix& got, const Matrix& want, float tolerance = 1e-5f) {
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(got[i][j], want[i][j], tolerance) << i << "," << j;
  }
}

TEST(Maths, AxisRotationsTurnRowVectorsCounterClockwise) {
  struct Case {
    Matrix m;
    Vec3 in, out;
  } cases[] = {
      {rotationX(halfPi), {0, 1, 0}, {0, 0, 1}}, {rotationX(halfPi), {0, 0, 1}, {0, -1, 0}},
      {rotationY(halfPi), {0, 0, 1}, {1, 0, 0}}, {rotationY(halfPi), {1, 0, 0}, {0, 0, -1}},
      {rotationZ(halfPi), {1, 0, 0}, {0, 1, 0}}, {rotationZ(halfPi), {0, 1, 0}, {-1, 0, 0}},
  };
  for (const Case& c : cases) expectNear(transformCoord(c.in, c.m), c.out);
}

TEST(Maths, YawPitchRollAppliesRollThenPitchThenYaw) {
  // (0, 0, 1): roll about z leaves it; pitch +90° about x takes it to (0, -1, 0); yaw about y
  // leaves that. In the other order (yaw first) it would end at (1, 0, 0).
  expectNear(transformCoord({0, 0, 1}, rotationYawPitchRoll(halfPi, halfPi, 0)), {0, -1, 0});
  // (1, 0, 0): roll +90° gives (0, 1, 0), pitch +90° gives (0, 0, 1), yaw +90° gives (1, 0, 0).
  expectNear(transformCoord({1, 0, 0}, rotationYawPitchRoll(halfPi, halfPi, halfPi)), {1, 0, 0});
  const float y = 0.3f, p = -1.1f, r = 2.0f;
  expectNear(rotationYawPitchRoll(y, p, r),
             multiply(multiply(rotationZ(r), rotationX(p)), rotationY(y)));
}

TEST(Maths, RotationAboutAnAxis) {
  expectNear(rotationAxis({0, 0, 2}, 0.7f), rotationZ(0.7f));
  expectNear(rotationAxis({-3, 0, 0}, 0.7f), rotationX(-0.7f));
  // Half a turn about the diagonal of the xy plane swaps x and y and flips z.
  expectNear(transformCoord({1, 0, 0}, rotationAxis({1, 1, 0}, 3.14159265f)), {0, 1, 0});
  expectNear(transformCoord({0, 0, 1}, rotationAxis({1, 1, 0}, 3.14159265f)), {0, 0, -1});
}

TEST(Maths, InverseUndoesATransform) {
  Matrix m = multiply(multiply(scaling(2, 3, 4), rotationYawPitchRoll(0.4f, -0.2f, 1.3f)),
                      translation(5, -6, 7));
  expectNear(multiply(m, inverse(m).value()), identityMatrix());
  Vec3 p{1.5f, -2.5f, 0.25f};
  expectNear(transformCoord(transformCoord(p, m), *inverse(m)), p);
  EXPECT_FALSE(inverse(scaling(1, 0, 1)).has_value());
}

TEST(Maths, RightHandedViewAndProjection) {
  Matrix view = lookAtRH({0, 0, 5}, {0, 0, 0}, {0, 1, 0});
  expectNear(transformCoord({0, 0, 5}, view), {0, 0, 0});
  expectNear(transformCoord({0, 0, 0}, view), {0, 0, -5});  // the camera looks down -z
  expectNear(transformCoord({1, 2, 5}, view), {1, 2, 0});
  Matrix side = lookAtRH({5, 0, 0}, {0, 0, 0}, {0, 1, 0});
  expectNear(transformCoord({0, 0, -1}, side), {1, 0, -5});  // looking down -x, -z is to the right

  Matrix projection = perspectiveFovRH(halfPi, 2, 1, 101);
  expectNear(transformCoord({0, 0, -1}, projection), {0, 0, 0});
  expectNear(transformCoord({0, 0, -101}, projection), {0, 0, 1});
  expectNear(transformCoord({2, 1, -1}, projection), {1, 1, 0});  // 90° vertical, twice as wide
}

TEST(Maths, ProjectAndUnprojectThroughAViewport) {
  Viewport vp{10, 20, 800, 600, 0, 1};
  Matrix view = lookAtRH({0, 0, 5}, {0, 0, 0}, {0, 1, 0});
  Matrix projection = perspectiveFovRH(halfPi, 800.0f / 600.0f, 1, 100);
  Matrix world = translation(0.5f, 0, 0);
  expectNear(project({-0.5f, 0, 0}, vp, projection, view, world),
             {410, 320, project({0, 0, 0}, vp, projection, view, identityMatrix()).z});
  Vec3 screen = project({0.3f, -0.7f, 1.2f}, vp, projection, view, world);
  expectNear(unproject(screen, vp, projection, view, world), {0.3f, -0.7f, 1.2f}, 1e-4f);
  // A point on the top edge of the view.
  expectNear(project({0, 4, 1}, vp, projection, view, identityMatrix()),
             {410, 20, project({0, 4, 1}, vp, projection, view, identityMatrix()).z});
}

TEST(Maths, RayMeetsATriangleFromEitherSideAndNeverBehind) {
  const Vec3 p0{0, 0, 0}, p1{1, 0, 0}, p2{0, 1, 0};
  auto front = intersectRayTriangle(p0, p1, p2, {0.25f, 0.5f, 5}, {0, 0, -1});
  ASSERT_TRUE(front);
  EXPECT_FLOAT_EQ(front->u, 0.25f);
  EXPECT_FLOAT_EQ(front->v, 0.5f);
  EXPECT_FLOAT_EQ(front->distance, 5);
  auto back = intersectRayTriangle(p0, p1, p2, {0.25f, 0.25f, -2}, {0, 0, 2});
  ASSERT_TRUE(back);
  EXPECT_FLOAT_EQ(back->distance, 1);  // in units of the direction's length
  EXPECT_FALSE(intersectRayTriangle(p0, p1, p2, {0.25f, 0.25f, 5}, {0, 0, 1}));   // behind
  EXPECT_FALSE(intersectRayTriangle(p0, p1, p2, {0.75f, 0.75f, 5}, {0, 0, -1}));  // outside
  EXPECT_FALSE(intersectRayTriangle(p0, p1, p2, {0.25f, 0.25f, 5}, {1, 0, 0}));   // parallel
  // u weighs the second corner given and v the third: here (0, 1, 0) and (0, 0, 0).
  auto turned = intersectRayTriangle(p1, p2, p0, {0.25f, 0.5f, 5}, {0, 0, -1});
  ASSERT_TRUE(turned);
  EXPECT_FLOAT_EQ(turned->u, 0.5f);
  EXPECT_FLOAT_EQ(turned->v, 0.25f);
}

}  // namespace
}  // namespace tessarim
