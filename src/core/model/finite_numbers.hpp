#pragma once

// Stored numbers that are not finite (infinite or not a number), counted by what they are. No
// file holds such a number, so an edit that would leave one is refused. Values derived on the
// fly (matrices, radii, centroids, the motion phase, runtime fields) are not counted: nothing
// stores them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/model.hpp"

namespace tessarim {

enum class NumberKind : std::uint8_t {
  vertexCoordinates,
  texelCoordinates,  // both sets, with their angles
  polygonColours,
  instancePlacements,  // places, angles, ends, hinges and rates
  equipmentValues,     // a component module's figures, the component file's values
  lightPositions,
  lightSettings,
  connectorEnds,
  skeletonOffset,
  streetNodePositions,
  animationKeys,
};
inline constexpr int numberKindCount = 11;

// How many numbers of each kind are not finite.
struct NonFiniteCount {
  std::array<std::size_t, numberKindCount> of{};

  std::size_t& operator[](NumberKind kind) { return of[static_cast<std::size_t>(kind)]; }
  std::size_t operator[](NumberKind kind) const { return of[static_cast<std::size_t>(kind)]; }
  bool any() const;
  NonFiniteCount& operator+=(const NonFiniteCount& other);
};

void countNonFinite(const std::vector<Vertex>& vertices, NonFiniteCount& count);
void countNonFinite(const Polygon& polygon, NonFiniteCount& count);
void countNonFinite(const std::vector<Polygon>& polygons, NonFiniteCount& count);
void countNonFinite(const std::vector<Instance>& instances, NonFiniteCount& count);
void countNonFinite(const ComponentSpec& spec, NonFiniteCount& count);
// The module's lists and its own figures.
void countNonFinite(const Module& module, NonFiniteCount& count);
void countNonFinite(const std::array<Light, maxLights>& lights, NonFiniteCount& count);
void countNonFinite(const std::vector<Connector>& connectors, NonFiniteCount& count);
void countNonFinite(const std::vector<Component>& components, NonFiniteCount& count);
void countNonFinite(const std::array<AnimationSlot, animationSlotCount>& slots,
                    NonFiniteCount& count);
void countNonFinite(const RtsGraph& graph, NonFiniteCount& count);
void countNonFinite(const MotionState& motion, NonFiniteCount& count);
// The document's own numbers, apart from its modules'.
void countDocumentNonFinite(const Document& document, NonFiniteCount& count);

// Numbers of one kind an edit made not finite, in one module (-1: the document's own).
struct NonFiniteNumbers {
  NumberKind kind;
  int module = -1;
};

// Adds each kind `after` counts more of than `before`, with `module`.
void addNonFiniteGrowth(const NonFiniteCount& before, const NonFiniteCount& after, int module,
                        std::vector<NonFiniteNumbers>& found);

// What the numbers are, in words, with the modules named as the document stores them: "the
// vertex coordinates and texel coordinates of meshes\box.wld and the light positions". Modules
// with the same kinds share a phrase, which names three of them and counts the rest ("and 2
// other meshes"); phrases keep the order their numbers were found in.
std::string describeNumbers(const Document& document, const std::vector<NonFiniteNumbers>& found);

}  // namespace tessarim
