#include "commands/module_commands.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "commands/menu_fixture.hpp"
#include "formats/assembly.hpp"
#include "formats/wld.hpp"
#include "maths/maths.hpp"
#include "support/polygons.hpp"

namespace tessarim {
namespace {

using Point = std::array<float, 3>;

constexpr float quarterTurn = 1.5707964f;

// An open assembly of two modules. Module 0 spans x 10..20 with its vertex mean at x 14 and is
// placed twice: once plainly, once turned a quarter about y and moved; module 1 once.
struct ModuleCommands : testing::MenuTest {
  ModuleCommands() {
    openAssembly(2);
    Module& m = model.document.module[0];
    m.vertices = {{10, -1, 2}, {12, 3, 2}, {20, -1, 5}, {14, 3, 3}};
    m.polygons = {testing::face({0, 1, 2}), testing::face({1, 3, 2})};
    m.instances.resize(2);
    Instance& turned = m.instances[1];
    turned.location = {1, 2, 3};
    turned.orientation = {quarterTurn, 0, 0};
    turned.endLocation = {1, 2, 7};
    turned.hingeOffset = {0.25f, 0, 0};
    Module& other = model.document.module[1];
    other.vertices = {{1, 2, 3}};
    other.polygons = {testing::face({0, 0, 0})};
    other.instances[0].location = {5, 6, 7};
    other.instances[0].orientation = {0.1f, 0.2f, 0.3f};
  }

  Module& module(int index) { return model.document.module[index]; }
  std::vector<Vertex> vertices(int index) { return module(index).vertices; }

  // Where each vertex of module 0 lies for each of its instances: location + vertex turned.
  std::vector<Vec3> worldPoints() {
    std::vector<Vec3> out;
    for (const Instance& t : module(0).instances) {
      const Matrix turn =
          rotationYawPitchRoll(t.orientation[0], t.orientation[1], t.orientation[2]);
      for (const Vertex& v : module(0).vertices) {
        out.push_back(transformCoord({v.x, v.y, v.z}, turn) +
                      Vec3{t.location[0], t.location[1], t.location[2]});
      }
    }
    return out;
  }

  std::string assemblyBytes() { return formatAssembly(model, false).bytes; }
};

// The fixture afresh for each case of a table.
struct Fresh : ModuleCommands {
  void TestBody() override {}
};

void expectNear(const std::vector<Vec3>& a, const std::vector<Vec3>& b, float tolerance) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_NEAR(a[i].x, b[i].x, tolerance) << i;
    EXPECT_NEAR(a[i].y, b[i].y, tolerance) << i;
    EXPECT_NEAR(a[i].z, b[i].z, tolerance) << i;
  }
}

TEST_F(ModuleCommands, FlipsNegateOneAxisOfTheCurrentModuleOnly) {
  const struct {
    int command;
    float Vertex::*axis;
  } cases[] = {{cmd::flipAroundX, &Vertex::x}, {cmd::flipAroundY, &Vertex::y}};
  for (const auto& c : cases) {
    Fresh f;
    const std::vector<Vertex> before = f.vertices(0);
    const auto corners = f.module(0).polygons[0].vertexIndex;
    const std::string wld = formatWld(f.module(0)), other = formatWld(f.module(1));
    ASSERT_EQ(issueCommand(f.editor, c.command), CommandOutcome::done);
    for (std::size_t i = 0; i < before.size(); ++i) {
      Vertex want = before[i];
      want.*c.axis = -(want.*c.axis);
      EXPECT_EQ(f.vertices(0)[i].x, want.x);
      EXPECT_EQ(f.vertices(0)[i].y, want.y);
      EXPECT_EQ(f.vertices(0)[i].z, want.z);
    }
    EXPECT_EQ(f.module(0).polygons[0].vertexIndex, corners) << "the winding stays";
    EXPECT_EQ(f.module(0).modified, 1);
    EXPECT_EQ(formatWld(f.module(1)), other);
    ASSERT_EQ(issueCommand(f.editor, cmd::undoEdit), CommandOutcome::done);
    EXPECT_EQ(formatWld(f.module(0)), wld);
  }
  Fresh none;
  none.model.selection.currentModule = -1;
  EXPECT_EQ(issueCommand(none.editor, cmd::flipAroundY), CommandOutcome::refused);
  EXPECT_EQ(issueCommand(none.editor, cmd::flipAroundX), CommandOutcome::greyed);
}

// The origin moves to the rounded vertex mean or bounds centre; every instance moves by it as it
// is turned, so each vertex stays where the assembly shows it.
TEST_F(ModuleCommands, AverageOriginMovesTheMeshAndCompensatesTheInstances) {
  const struct {
    int command;
    bool sudo;
    Point origin;
    Point turnedLocation, turnedEnd, turnedOffset;
  } cases[] = {
      // Weighted: mean (14, 1, 3); centred: (15, 1, 3.5) rounded to (15, 1, 4). A quarter turn
      // about y takes (x, y, z) to (z, y, -x).
      {cmd::averageOriginWeighted, false, {14, 1, 3}, {4, 3, -11}, {4, 3, -7}, {-3, -1, 14}},
      {cmd::averageOriginCentered, false, {15, 1, 4}, {5, 3, -12}, {5, 3, -8}, {-4, -1, 15}},
      {cmd::averageOriginCentered, true, {15, 1, 4}, {5, 3, -12}, {5, 3, -8}, {-3.75f, -1, 15}},
  };
  for (const auto& c : cases) {
    Fresh f;
    f.model.settings.sudoSu = c.sudo;
    f.model.motion.extended = true;
    const std::vector<Vertex> before = f.vertices(0);
    const std::vector<Vec3> world = f.worldPoints();
    const std::string wld = formatWld(f.module(0)), assembly = f.assemblyBytes();
    ASSERT_EQ(issueCommand(f.editor, c.command), CommandOutcome::done) << c.command;

    for (std::size_t i = 0; i < before.size(); ++i) {
      EXPECT_EQ(f.vertices(0)[i].x, before[i].x - c.origin[0]) << i;
      EXPECT_EQ(f.vertices(0)[i].y, before[i].y - c.origin[1]) << i;
      EXPECT_EQ(f.vertices(0)[i].z, before[i].z - c.origin[2]) << i;
    }
    const Instance& plain = f.module(0).instances[0];
    EXPECT_EQ(plain.location, c.origin);
    EXPECT_EQ(plain.endLocation, c.origin);
    EXPECT_EQ(plain.hingeOffset, (Point{-c.origin[0], -c.origin[1], -c.origin[2]}));
    const Instance& turned = f.module(0).instances[1];
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(turned.location[k], c.turnedLocation[k], 1e-5) << k;
      EXPECT_NEAR(turned.endLocation[k], c.turnedEnd[k], 1e-5) << k;
      EXPECT_NEAR(turned.hingeOffset[k], c.turnedOffset[k], 1e-5) << k;
    }
    expectNear(f.worldPoints(), world, 1e-5f);
    EXPECT_EQ(f.module(1).instances[0].location, (Point{5, 6, 7})) << "other modules stay";
    EXPECT_TRUE(f.model.motion.extended) << "the Extended view comes back";
    EXPECT_TRUE(f.model.status.documentModified);
    EXPECT_EQ(f.module(0).modified, 1);

    ASSERT_EQ(issueCommand(f.editor, cmd::undoEdit), CommandOutcome::done);
    EXPECT_EQ(formatWld(f.module(0)), wld);
    EXPECT_EQ(f.assemblyBytes(), assembly);
  }
}

TEST_F(ModuleCommands, AverageOriginWantsAnAssemblyAndAModuleWithVertices) {
  module(0).vertices.clear();
  EXPECT_EQ(issueCommand(editor, cmd::averageOriginWeighted), CommandOutcome::refused);
  model.document.kind = DocumentKind::wldfile;
  EXPECT_EQ(issueCommand(editor, cmd::averageOriginCentered), CommandOutcome::greyed);
}

TEST_F(ModuleCommands, SwapXYTurnsEveryInstanceAndLeavesTheMeshes) {
  const std::vector<Vertex> before = vertices(0);
  const std::string wld = formatWld(module(0)), assembly = assemblyBytes();
  model.selection.currentPolygon = 1;
  const Selection selected = model.selection;
  ASSERT_EQ(issueCommand(editor, cmd::swapXY), CommandOutcome::done);

  const struct {
    int module, instance;
    Point location;
    float roll;
  } cases[] = {
      {0, 0, {0, 0, 0}, -quarterTurn},
      {0, 1, {2, -1, 3}, -quarterTurn},
      {1, 0, {6, -5, 7}, 0.3f - quarterTurn},
  };
  for (const auto& c : cases) {
    const Instance& t = module(c.module).instances[c.instance];
    EXPECT_EQ(t.location, c.location) << c.module << " " << c.instance;
    EXPECT_FLOAT_EQ(t.orientation[2], c.roll) << c.module << " " << c.instance;
  }
  EXPECT_EQ(module(1).instances[0].orientation[0], 0.1f);
  EXPECT_EQ(formatWld(module(0)), wld) << "the geometry stays";
  EXPECT_TRUE(model.status.documentModified);
  EXPECT_EQ(model.selection.currentPolygon, selected.currentPolygon);

  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(assemblyBytes(), assembly);
}

TEST_F(ModuleCommands, SwapYZSwapsEveryVertexAndMarksEveryModule) {
  const std::vector<Vertex> first = vertices(0), second = vertices(1);
  const auto corners = module(0).polygons[0].vertexIndex;
  const std::string wld = formatWld(module(1));
  ASSERT_EQ(issueCommand(editor, cmd::swapYZ), CommandOutcome::done);
  const struct {
    int module;
    const std::vector<Vertex>& before;
  } cases[] = {{0, first}, {1, second}};
  for (const auto& c : cases) {
    ASSERT_EQ(vertices(c.module).size(), c.before.size());
    for (std::size_t i = 0; i < c.before.size(); ++i) {
      const Vertex& v = module(c.module).vertices[i];
      EXPECT_EQ((Point{v.x, v.y, v.z}), (Point{c.before[i].x, c.before[i].z, c.before[i].y}));
    }
    EXPECT_EQ(module(c.module).modified, 1) << c.module;
  }
  EXPECT_EQ(module(0).polygons[0].vertexIndex, corners);
  EXPECT_TRUE(model.status.geometryDirty);
  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(formatWld(module(1)), wld);
}

}  // namespace
}  // namespace tessarim
