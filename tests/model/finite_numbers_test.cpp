#include "model/finite_numbers.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace tessarim {
namespace {

constexpr float inf = std::numeric_limits<float>::infinity();
constexpr float nan = std::numeric_limits<float>::quiet_NaN();

NonFiniteCount counted(const Module& m) {
  NonFiniteCount n;
  countNonFinite(m, n);
  return n;
}

TEST(FiniteNumbers, StoredNumbersAreCountedByKindAndDerivedOnesNotAtAll) {
  Module m;
  m.vertices.resize(2);
  m.polygons.resize(1);
  m.instances.resize(1);
  // Computed for the view and never written: a huge mesh may make them infinite.
  m.boundingRadius = inf;
  m.centroid = {nan, 0, 0};
  Instance& t = m.instances[0];
  t.worldMatrix[0][0] = inf;
  t.savedMatrix[1][1] = nan;
  t.rotationMatrix[2][2] = inf;
  t.motionPhase = nan;
  t.eyeDistance = inf;
  EXPECT_FALSE(counted(m).any());

  m.vertices[1].z = -inf;
  m.polygons[0].texels2[3].v = nan;
  m.polygons[0].texelAngle = inf;
  m.polygons[0].colour[2] = nan;
  t.endLocation[1] = inf;
  t.hingeAngle = nan;
  m.component.maxPressure = inf;
  const NonFiniteCount n = counted(m);
  EXPECT_EQ(n[NumberKind::vertexCoordinates], 1u);
  EXPECT_EQ(n[NumberKind::texelCoordinates], 2u);
  EXPECT_EQ(n[NumberKind::polygonColours], 1u);
  EXPECT_EQ(n[NumberKind::instancePlacements], 2u);
  EXPECT_EQ(n[NumberKind::equipmentValues], 1u);

  auto d = std::make_unique<Document>();
  d->lights[200].position[0] = inf;  // every slot: the count may be set after the edit
  d->lights[0].normal[1] = nan;
  d->lights[0].phase = inf;  // runtime
  d->connectors.resize(1);
  d->connectors[0].nearEnd[2] = nan;
  d->streetNodes.nodes.resize(1);
  d->streetNodes.nodes[0].y = inf;
  d->animationSlots[3][2].joints[15][0] = nan;
  d->emptyWeight = inf;
  NonFiniteCount own;
  countDocumentNonFinite(*d, own);
  EXPECT_EQ(own[NumberKind::lightPositions], 1u);
  EXPECT_EQ(own[NumberKind::lightSettings], 1u);
  EXPECT_EQ(own[NumberKind::connectorEnds], 1u);
  EXPECT_EQ(own[NumberKind::streetNodePositions], 1u);
  EXPECT_EQ(own[NumberKind::animationKeys], 1u);
  EXPECT_EQ(own[NumberKind::equipmentValues], 1u);
  EXPECT_EQ(own[NumberKind::vertexCoordinates], 0u) << "the modules are not the document's own";
}

TEST(FiniteNumbers, GrowthIsWhatTheAfterCountHoldsMore) {
  NonFiniteCount before, after;
  before[NumberKind::vertexCoordinates] = 2;
  after[NumberKind::vertexCoordinates] = 2;  // as many as there were: not the edit's
  after[NumberKind::lightPositions] = 1;
  before[NumberKind::polygonColours] = 3;  // fewer: removed
  std::vector<NonFiniteNumbers> found;
  addNonFiniteGrowth(before, after, 4, found);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].kind, NumberKind::lightPositions);
  EXPECT_EQ(found[0].module, 4);
}

TEST(FiniteNumbers, DescribedByKindAndModuleWithModulesOfTheSameKindsTogether) {
  auto d = std::make_unique<Document>();
  for (int m = 0; m < 6; ++m) d->module[m].filename = "meshes\\m" + std::to_string(m) + ".wld";
  d->module[6].filename.clear();
  using K = NumberKind;
  const struct {
    std::vector<NonFiniteNumbers> found;
    const char* text;
  } cases[] = {
      {{{K::vertexCoordinates, 0}}, "the vertex coordinates of meshes\\m0.wld"},
      {{{K::vertexCoordinates, 0}, {K::texelCoordinates, 0}, {K::vertexCoordinates, 0}},
       "the vertex coordinates and texel coordinates of meshes\\m0.wld"},
      {{{K::instancePlacements, 1}, {K::lightPositions, -1}, {K::connectorEnds, -1}},
       "the instance placements of meshes\\m1.wld and the light positions and connector ends"},
      {{{K::vertexCoordinates, 2}, {K::texelCoordinates, 3}, {K::vertexCoordinates, 4}},
       "the vertex coordinates of meshes\\m2.wld and meshes\\m4.wld and the texel coordinates of "
       "meshes\\m3.wld"},
      {{{K::instancePlacements, 0},
        {K::instancePlacements, 1},
        {K::instancePlacements, 2},
        {K::instancePlacements, 3},
        {K::instancePlacements, 4}},
       "the instance placements of meshes\\m0.wld, meshes\\m1.wld, meshes\\m2.wld and 2 other "
       "meshes"},
      {{{K::skeletonOffset, -1}, {K::vertexCoordinates, 6}},
       "the skeleton offset coordinates and the vertex coordinates of an unnamed mesh"},
  };
  for (const auto& c : cases) EXPECT_EQ(describeNumbers(*d, c.found), c.text);
}

}  // namespace
}  // namespace tessarim
