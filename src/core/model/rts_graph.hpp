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
  std::int32_t speed = 3;    // 1..8; a link's weight is 9 - speed
  std::int32_t modelId = 0;  // the city's model ID, for the production service
  std::int32_t selectedNode = -1;
  std::uint32_t selectedFlags = 0;  // the selected node's flags, as the menu shows them
};

inline constexpr std::uint32_t edgeNodeOutbound = 1u << 0;
inline constexpr std::uint32_t edgeNodeInbound = 1u << 1;

// Index of the node with this id, or -1.
int findNodeById(const RtsGraph& graph, std::int32_t id);
// Index of the node at exactly (x, y), or -1. Positions identify nodes in files and clicks.
int findNodeByPosition(const RtsGraph& graph, float x, float y);
// Appends a node with the next id and no links; nothing when a node already sits at (x, y).
void addNode(RtsGraph& graph, float x, float y, std::uint32_t flags, std::int32_t data);
// Removes the node at index and every link that points to it; a selected node is deselected.
void removeNode(RtsGraph& graph, int index);
// Links from -> to in the first free entry of from. The error text when it cannot; nothing when
// the link was made or already existed.
std::optional<std::string> connectNodes(RtsGraph& graph, std::int32_t from, std::int32_t to,
                                        std::uint8_t weight);
// The same for two nodes known by their list positions, without looking them up.
std::optional<std::string> connectNodeIndices(RtsGraph& graph, int from, int to,
                                              std::uint8_t weight);
// XORs flag (edgeNodeOutbound or edgeNodeInbound) into the node's flags.
void toggleNodeFlags(RtsGraph& graph, std::int32_t id, std::uint32_t flag);
// Empties the node list; ids keep counting from where they were.
void clearNodes(RtsGraph& graph);

}  // namespace tessarim
