#include "commands/scale_commands.hpp"

#include <gtest/gtest.h>

#include <array>

#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "commands/menu_fixture.hpp"
#include "support/polygons.hpp"

namespace tessarim {
namespace {

using Point = std::array<float, 3>;

constexpr double kmShips = 0.00034822;      // class 1
constexpr double kmLegacy = 0.0039;         // class 2
constexpr double kmStructures = 0.0003048;  // class 8

// An assembly of hull (class 1, placed twice) and fin (class 2, placed once), both one triangle
// with a vertex at x = 1.
struct AssignScale : testing::MenuTest {
  AssignScale() {
    openAssembly(2);
    for (int m = 0; m < 2; ++m) {
      Module& module = model.document.module[m];
      module.scaleClass = static_cast<std::int16_t>(m + 1);
      module.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
      module.polygons = {testing::face({0, 1, 2})};
      module.canvasWidth = module.canvasHeight = 2048;
    }
    model.document.module[0].instances[0].location = {3, 4, 5};
    model.document.module[0].instances.push_back(model.document.module[0].instances[0]);
    model.document.module[1].instances[0].location = {2, 0, 0};
  }

  const Module& module(int m) const { return model.document.module[m]; }
};

// With nothing listed, the current module is rescaled to keep its real size, its instances'
// places with it; the current pair enters the list and stays. Undo Edit restores all of it.
TEST_F(AssignScale, TheCurrentPairIsEnteredAndItsModuleKeepsItsSize) {
  ASSERT_EQ(issueCommand(editor, cmd::scaleLegacyBuildings), CommandOutcome::done);
  const double e = kmShips / kmLegacy;
  EXPECT_EQ(module(0).scaleClass, 2);
  EXPECT_FLOAT_EQ(module(0).vertices[1].x, static_cast<float>(e));
  for (const Instance& t : module(0).instances) {
    EXPECT_FLOAT_EQ(t.location[0], static_cast<float>(3 * e));
    EXPECT_FLOAT_EQ(t.location[2], static_cast<float>(5 * e));
  }
  EXPECT_EQ(module(1).vertices[1].x, 1) << "another module is left alone";
  ASSERT_EQ(model.selection.selectedInstances.size(), 1u);
  EXPECT_EQ(model.selection.selectedInstances[0].module, 0);
  EXPECT_EQ(model.selection.selectedInstances[0].instance, 0);
  EXPECT_TRUE(model.status.documentModified);
  EXPECT_TRUE(model.status.geometryDirty);

  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(module(0).scaleClass, 1);
  EXPECT_EQ(module(0).vertices[1].x, 1);
  EXPECT_EQ(module(0).instances[1].location, (Point{3, 4, 5}));
  EXPECT_TRUE(model.selection.selectedInstances.empty());
  EXPECT_EQ(model.selection.currentModule, 0);
}

// Every listed pair's module is rescaled, a module listed twice only once; the list stays.
TEST_F(AssignScale, AModuleListedTwiceIsRescaledOnce) {
  model.selection.currentModule = -2;
  model.selection.currentInstance = -1;
  model.selection.selectedInstances = {{0, 0}, {1, 0}, {0, 1}};
  const Command* structures = findCommand(cmd::scaleStructures);
  ASSERT_NE(structures, nullptr);
  ASSERT_TRUE(structures->handler(editor, *structures));
  EXPECT_EQ(module(0).scaleClass, 8);
  EXPECT_EQ(module(1).scaleClass, 8);
  EXPECT_FLOAT_EQ(module(0).vertices[1].x, static_cast<float>(kmShips / kmStructures));
  EXPECT_FLOAT_EQ(module(1).vertices[1].x, static_cast<float>(kmLegacy / kmStructures));
  EXPECT_FLOAT_EQ(module(1).instances[0].location[0],
                  static_cast<float>(2 * kmLegacy / kmStructures));
  EXPECT_EQ(model.selection.selectedInstances.size(), 3u);

  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(module(0).scaleClass, 1);
  EXPECT_EQ(module(1).scaleClass, 2);
  EXPECT_EQ(module(1).vertices[1].x, 1);
}

// A selection naming no module scales nothing.
TEST_F(AssignScale, NothingToScaleIsRefused) {
  model.selection.currentModule = -2;
  model.selection.selectedInstances = {{7, 0}};
  const Command* ships = findCommand(cmd::scaleShipsDocks);
  EXPECT_FALSE(ships->handler(editor, *ships));
  EXPECT_EQ(editor.history.size(), 0u);
}

}  // namespace
}  // namespace tessarim
