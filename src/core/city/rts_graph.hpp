#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessarim {

class TextScanner;
class TextWriter;
class Ui;

// A link to a neighbouring node; a free entry has neighbour -1.
struct RtsLink {
  std::int32_t neighbour = -1;
  std::uint8_t weight = 255;
  std::int32_t streetId = 0;
};

inline constexpr int maxRtsLinks = 4;

// A street node. Positions are city-map coordinates: 0..1 from the left and from the upper edge.
struct RtsNode {
  std::int32_t id = 0;
  float x = 0, y = 0;
  std::uint8_t neighbourCount = 0;
  std::array<RtsLink, maxRtsLinks> links{};
  std::uint32_t flags = 0;  // bit 0 edge node outbound, bit 1 edge node inbound
  std::int32_t data = 0;
};

// The city's street network. Nodes keep their creation order; ids come from a counter that
// continues across loads.
struct RtsGraph {
  std::vector<RtsNode> nodes;
  std::int32_t nextId = 1;
  std::int32_t speed = 3;     // 1..8; a link's weight is 9 - speed
  std::int32_t modelId = 0;   // the city's model ID, for the production service
  std::int32_t selectedNode = -1;
};

}  // namespace tessarim
