#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>

#include "model/geometry.hpp"
#include "model/model.hpp"
#include "support/polygons.hpp"

namespace tessarim {
namespace {

constexpr float pi = 3.14159265f;

using testing::face;

// An eye 10 units up the z axis looking at the origin with a 90° view over 200 x 200 pixels: the
// plane z = 0 spans -10..10 both ways, 10 pixels a unit.
struct Camera {
  Viewport viewport{0, 0, 200, 200, 0, 1};
  Matrix view = lookAtRH({0, 0, 10}, {0, 0, 0}, {0, 1, 0});
  Matrix projection = perspectiveFovRH(pi / 2, 1, 1, 100);
  static float sx(float x) { return 100 + 10 * x; }
  static float sy(float y) { return 100 - 10 * y; }

  InstancePick at(const Model& model, float x, float y) const {
    return pickInstance(model, sx(x), sy(y), viewport, view, projection);
  }
};

// A 2 x 2 square about the origin facing +z: polygon 1; polygon 0 is a small triangle off to the
// side, so that the polygon index shows which polygon was taken.
Module square() {
  Module m;
  m.vertices = {{1, -1, 0}, {-1, -1, 0}, {-1, 1, 0}, {1, 1, 0}, {30, 30, 0}, {31, 30, 0}};
  m.polygons = {face({4, 5, 3}), face({0, 1, 2, 3})};
  return m;
}

Instance placed(const Matrix& world) {
  Instance t;
  t.worldMatrix = world;
  return t;
}

std::unique_ptr<Model> assembly(int modules) {
  auto model = std::make_unique<Model>();
  model->document.kind = DocumentKind::asmfile;
  model->document.wldfiles = static_cast<std::uint16_t>(modules);
  return model;
}

TEST(PickInstance, TheNearestInstanceWinsAndOfTwoAtOneDistanceTheLater) {
  struct Case {
    float z0, z1;  // heights of the two placements
    bool twoModules;
    int module, instance;
    float distance;
  } cases[] = {
      {0, 2, false, 0, 1, 8}, {2, 0, false, 0, 0, 8}, {1, 1, false, 0, 1, 9},
      {-3, 4, true, 1, 0, 6}, {4, -3, true, 0, 0, 6}, {1, 1, true, 1, 0, 9},
  };
  const Camera cam;
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.z0 << " " << c.z1 << " " << c.twoModules);
    auto model = assembly(c.twoModules ? 2 : 1);
    Module* modules = model->document.module.data();
    modules[0] = square();
    modules[0].instances = {placed(translation(0, 0, c.z0))};
    Module& second = c.twoModules ? (modules[1] = square()) : modules[0];
    second.instances.push_back(placed(translation(0, 0, c.z1)));
    const InstancePick r = cam.at(*model, 0.2f, 0.3f);
    EXPECT_EQ(r.module, c.module);
    EXPECT_EQ(r.instance, c.instance);
    EXPECT_EQ(r.polygon, 1);
    EXPECT_NEAR(r.distance, c.distance, 1e-4);
  }
}

TEST(PickInstance, AnInstanceMovedOutOfTheRayIsNotHit) {
  auto model = assembly(1);
  Module& m = model->document.module[0] = square();
  m.instances = {placed(identityMatrix()), placed(translation(0, 0, 3))};
  const Camera cam;
  EXPECT_EQ(cam.at(*model, 0, 0).instance, 1);
  m.instances[1].worldMatrix = translation(5, 0, 3);
  EXPECT_EQ(cam.at(*model, 0, 0).instance, 0);
  // Where it now is drawn it is hit.
  const Vec3 s = project({}, cam.viewport, cam.projection, cam.view, m.instances[1].worldMatrix);
  EXPECT_EQ(pickInstance(*model, s.x, s.y, cam.viewport, cam.view, cam.projection).instance, 1);
}

TEST(PickInstance, AnInstancePlacedAroundTheEyeIsHitAheadOfIt) {
  // The square lies 15 units below the module's origin, which is placed behind the eye: the eye
  // is inside the module's bounding ball and looks away from its centre.
  auto model = assembly(1);
  Module& m = model->document.module[0] = square();
  for (Vertex& v : m.vertices) v.z -= 15;
  m.instances = {placed(translation(0, 0, 15))};
  const InstancePick r = Camera{}.at(*model, 0.2f, 0.3f);
  EXPECT_EQ(r.instance, 0);
  EXPECT_NEAR(r.distance, 10, 1e-4);
}

TEST(PickInstance, NothingUnderThePointIsModuleMinusOne) {
  struct Case {
    const char* what;
    std::function<void(Model&)> build;
  } cases[] = {
      {"no modules", [](Model&) {}},
      {"only a module without polygons",
       [](Model& model) {
         model.document.wldfiles = 1;
         Module& m = model.document.module[0];
         m.vertices = square().vertices;
         m.instances = {placed(translation(0, 0, 2))};
       }},
      {"the square beside the ray",
       [](Model& model) {
         model.document.wldfiles = 1;
         model.document.module[0] = square();
         model.document.module[0].instances = {placed(translation(3, 0, 0))};
       }},
      {"the square turned away",
       [](Model& model) {
         model.document.wldfiles = 1;
         model.document.module[0] = square();
         model.document.module[0].instances = {placed(rotationX(pi))};
       }},
      {"the square behind the eye",
       [](Model& model) {
         model.document.wldfiles = 1;
         model.document.module[0] = square();
         model.document.module[0].instances = {placed(translation(0, 0, 12))};
       }},
      {"a module with polygons but no instances",
       [](Model& model) {
         model.document.wldfiles = 1;
         model.document.module[0] = square();
       }},
  };
  const Camera cam;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto model = assembly(0);
    c.build(*model);
    const InstancePick r = cam.at(*model, 0.2f, 0.3f);
    EXPECT_EQ(r.module, -1);
    EXPECT_EQ(r.instance, -1);
    EXPECT_EQ(r.polygon, -1);
  }
}

TEST(PickInstance, AModuleWithoutPolygonsIsPassedOverForTheNextOne) {
  auto model = assembly(2);
  Module& empty = model->document.module[0];
  empty.vertices = square().vertices;
  empty.instances = {placed(translation(0, 0, 2))};
  model->document.module[1] = square();
  model->document.module[1].instances = {placed(identityMatrix())};
  const InstancePick r = Camera{}.at(*model, 0.2f, 0.3f);
  EXPECT_EQ(r.module, 1);
  EXPECT_EQ(r.instance, 0);
}

TEST(PickInstance, AStretchedTurnedInstanceIsHitWhereItIsDrawn) {
  // Stretched six times along x, turned 30° about z and moved: the square's corner (1, 1) is
  // drawn about 6 units from the placement, far outside a ball of the unstretched square's size.
  // The module's stored bounding radius is stale and must not matter. Just past the corner the
  // backdrop is hit.
  auto model = assembly(1);
  Module& m = model->document.module[0] = square();
  m.boundingRadius = 0.001f;
  const Matrix world =
      multiply(multiply(scaling(6, 0.5f, 1), rotationZ(pi / 6)), translation(-2, -1, 0));
  // Behind it, a backdrop filling the view.
  m.instances = {placed(multiply(scaling(40, 40, 1), translation(0, 0, -20))), placed(world)};
  const Camera cam;
  struct Case {
    Vec3 point;  // in the square's model space
    int instance;
  } cases[] = {{{0.95f, 0.9f, 0}, 1}, {{-0.9f, -0.95f, 0}, 1}, {{1.05f, 0.9f, 0}, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.point.x);
    const Vec3 s = project(c.point, cam.viewport, cam.projection, cam.view, world);
    const InstancePick r = pickInstance(*model, s.x, s.y, cam.viewport, cam.view, cam.projection);
    EXPECT_EQ(r.module, 0);
    EXPECT_EQ(r.instance, c.instance);
    EXPECT_EQ(r.polygon, 1);
    EXPECT_NEAR(r.distance, c.instance == 1 ? 10 : 30, 1e-3);
  }
}

// Random triangles in a box that need not hold the module's origin.
Module randomModule(std::mt19937& rng) {
  std::uniform_real_distribution<float> offset(-4, 4), spread(-1.5f, 1.5f);
  std::uniform_int_distribution<int> count(1, 40);
  const Vec3 centre{offset(rng), offset(rng), offset(rng)};
  Module m;
  const int polygons = count(rng);
  for (int i = 0; i < polygons; ++i) {
    for (int c = 0; c < 3; ++c)
      m.vertices.push_back(
          {centre.x + spread(rng), centre.y + spread(rng), centre.z + spread(rng)});
    m.polygons.push_back(face({3 * i, 3 * i + 1, 3 * i + 2}));
  }
  return m;
}

// The bounding balls only spare work: the answer is that of trying every instance with pick.
TEST(PickInstance, AgreesWithPickingEveryInstance) {
  std::mt19937 rng(7031);
  std::uniform_real_distribution<float> unit(0, 1), angle(-pi, pi), scale(0.2f, 4);
  std::uniform_int_distribution<int> moduleCount(1, 4), instanceCount(0, 12), percent(0, 99);
  const Camera cam;
  int hits = 0, trials = 0;
  for (int trial = 0; trial < 150; ++trial) {
    auto model = assembly(moduleCount(rng));
    for (int m = 0; m < model->document.wldfiles; ++m) {
      Module& module = model->document.module[m] = randomModule(rng);
      const int n = instanceCount(rng);
      for (int i = 0; i < n; ++i) {
        // One in ten repeats the previous placement: a tie.
        if (i > 0 && percent(rng) < 10) {
          module.instances.push_back(module.instances.back());
          continue;
        }
        module.instances.push_back(placed(
            multiply(multiply(scaling(scale(rng), scale(rng), scale(rng)),
                              rotationYawPitchRoll(angle(rng), angle(rng), angle(rng))),
                     translation(16 * unit(rng) - 8, 16 * unit(rng) - 8, 6 * unit(rng) - 5))));
      }
    }
    for (int k = 0; k < 20; ++k) {
      const float x = 200 * unit(rng), y = 200 * unit(rng);
      InstancePick want;
      for (int m = 0; m < model->document.wldfiles; ++m) {
        const Module& module = model->document.module[m];
        for (std::size_t i = 0; i < module.instances.size(); ++i) {
          const PickResult r = pick(module, module.instances[i].worldMatrix, x, y, false, 0,
                                    cam.viewport, cam.view, cam.projection);
          if (r.hitCount > 0 && (want.module < 0 || r.distance <= want.distance))
            want = {m, static_cast<int>(i), r.polygon, r.distance};
        }
      }
      const InstancePick got = pickInstance(*model, x, y, cam.viewport, cam.view, cam.projection);
      SCOPED_TRACE(::testing::Message() << "trial " << trial << " ray " << k);
      EXPECT_EQ(got.module, want.module);
      EXPECT_EQ(got.instance, want.instance);
      EXPECT_EQ(got.polygon, want.polygon);
      EXPECT_EQ(got.distance, want.distance);
      hits += want.module >= 0;
      ++trials;
    }
  }
  EXPECT_GT(hits, trials / 4);
}

}  // namespace
}  // namespace tessarim
