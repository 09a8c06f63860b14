#include "model/rts_graph.hpp"

#include <algorithm>

namespace tessarim {

int findNodeById(const RtsGraph& graph, std::int32_t id) {
  for (std::size_t k = 0; k < graph.nodes.size(); ++k) {
    if (graph.nodes[k].id == id) return static_cast<int>(k);
  }
  return -1;
}

int findNodeByPosition(const RtsGraph& graph, float x, float y) {
  for (std::size_t k = 0; k < graph.nodes.size(); ++k) {
    if (graph.nodes[k].x == x && graph.nodes[k].y == y) return static_cast<int>(k);
  }
  return -1;
}

void addNode(RtsGraph& graph, float x, float y, std::uint32_t flags, std::int32_t data) {
  if (findNodeByPosition(graph, x, y) >= 0) return;
  RtsNode node;
  node.id = graph.nextId++;
  node.x = x;
  node.y = y;
  node.flags = flags;
  node.data = data;
  graph.nodes.push_back(node);
}

void removeNode(RtsGraph& graph, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= graph.nodes.size()) return;
  const std::int32_t id = graph.nodes[static_cast<std::size_t>(index)].id;
  graph.nodes.erase(graph.nodes.begin() + index);
  for (auto& node : graph.nodes) {
    for (auto& link : node.links) {
      if (link.neighbour != id) continue;
      link = RtsLink{};
      if (node.neighbourCount > 0) --node.neighbourCount;
    }
  }
  if (graph.selectedNode == id) {
    graph.selectedNode = -1;
    graph.selectedFlags = 0;
  }
}

std::optional<std::string> connectNodes(RtsGraph& graph, std::int32_t from, std::int32_t to,
                                        std::uint8_t weight) {
  const int source = findNodeById(graph, from);
  // Callers pass a node they hold; an unknown one has nothing to link.
  if (source < 0) return std::nullopt;
  const RtsNode& node = graph.nodes[static_cast<std::size_t>(source)];
  // The order of the checks matters: a full node refuses even a link it already has.
  if (node.neighbourCount >= maxRtsLinks) {
    return "Trying to add more neighbours then the maximum per node";
  }
  const int target = findNodeById(graph, to);
  if (target < 0) {
    auto hasLink = [&](const RtsLink& l) { return l.neighbour != -1 && l.neighbour == to; };
    if (std::any_of(node.links.begin(), node.links.end(), hasLink)) return std::nullopt;
    return "Could not find the child node";
  }
  return connectNodeIndices(graph, source, target, weight);
}

std::optional<std::string> connectNodeIndices(RtsGraph& graph, int from, int to,
                                              std::uint8_t weight) {
  RtsNode& node = graph.nodes[static_cast<std::size_t>(from)];
  const std::int32_t toId = graph.nodes[static_cast<std::size_t>(to)].id;
  if (node.neighbourCount >= maxRtsLinks) {
    return "Trying to add more neighbours then the maximum per node";
  }
  auto hasLink = [&](const RtsLink& l) { return l.neighbour != -1 && l.neighbour == toId; };
  if (std::any_of(node.links.begin(), node.links.end(), hasLink)) return std::nullopt;
  for (auto& link : node.links) {
    if (link.neighbour != -1) continue;
    link.neighbour = toId;
    link.weight = weight;
    link.streetId = 0;
    ++node.neighbourCount;
    break;
  }
  return std::nullopt;
}

void toggleNodeFlags(RtsGraph& graph, std::int32_t id, std::uint32_t flag) {
  const int k = findNodeById(graph, id);
  if (k < 0) return;
  RtsNode& node = graph.nodes[static_cast<std::size_t>(k)];
  node.flags ^= flag;
  if (graph.selectedNode == id) graph.selectedFlags = node.flags;
}

void clearNodes(RtsGraph& graph) {
  graph.nodes.clear();
}

}  // namespace tessarim
