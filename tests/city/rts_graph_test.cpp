#include "model/rts_graph.hpp"

#include <gtest/gtest.h>

namespace tessarim {
namespace {

// Nodes 1..n along a line; ids equal position in the list plus one.
RtsGraph lineOfNodes(int n) {
  RtsGraph g;
  for (int k = 0; k < n; ++k) addNode(g, 0.1f * static_cast<float>(k), 0.5f, 0, 0);
  return g;
}

TEST(RtsGraph, AddTakesIdsFromTheCounterAndRefusesAnOccupiedPosition) {
  RtsGraph g;
  addNode(g, 0.25f, 0.5f, edgeNodeInbound, 7);
  addNode(g, 0.25f, 0.5f, 0, 0);      // same position: ignored
  addNode(g, 0.25f, 0.50001f, 0, 0);  // a different float is a different position
  ASSERT_EQ(g.nodes.size(), 2u);
  EXPECT_EQ(g.nodes[0].id, 1);
  EXPECT_EQ(g.nodes[0].flags, edgeNodeInbound);
  EXPECT_EQ(g.nodes[0].data, 7);
  EXPECT_EQ(g.nodes[0].neighbourCount, 0);
  EXPECT_EQ(g.nodes[1].id, 2);

  EXPECT_EQ(findNodeByPosition(g, 0.25f, 0.50001f), 1);
  EXPECT_EQ(findNodeByPosition(g, 0.25f, 0.5000001f), -1);
  EXPECT_EQ(findNodeById(g, 2), 1);
  EXPECT_EQ(findNodeById(g, 3), -1);

  clearNodes(g);
  addNode(g, 0.25f, 0.5f, 0, 0);
  EXPECT_EQ(g.nodes.size(), 1u);
  EXPECT_EQ(g.nodes[0].id, 3) << "ids keep counting after a clear";
}

TEST(RtsGraph, ConnectFillsTheFirstFreeEntryAndRefusesAFifthNeighbour) {
  RtsGraph g = lineOfNodes(6);
  for (int to = 2; to <= 5; ++to) {
    EXPECT_EQ(connectNodes(g, 1, to, static_cast<std::uint8_t>(to)), std::nullopt);
  }
  const RtsNode& n = g.nodes[0];
  EXPECT_EQ(n.neighbourCount, 4);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(n.links[k].neighbour, k + 2);
    EXPECT_EQ(n.links[k].weight, k + 2);
    EXPECT_EQ(n.links[k].streetId, 0);
  }
  EXPECT_EQ(connectNodes(g, 1, 6, 3), "Trying to add more neighbours then the maximum per node");
  // A full node refuses before it looks for the link it already has.
  EXPECT_EQ(connectNodes(g, 1, 2, 3), "Trying to add more neighbours then the maximum per node");
  EXPECT_EQ(g.nodes[0].neighbourCount, 4);
}

TEST(RtsGraph, ConnectIgnoresAnExistingLinkAndRefusesAMissingChild) {
  RtsGraph g = lineOfNodes(2);
  EXPECT_EQ(connectNodes(g, 1, 2, 6), std::nullopt);
  EXPECT_EQ(connectNodes(g, 1, 2, 1), std::nullopt);
  EXPECT_EQ(g.nodes[0].neighbourCount, 1);
  EXPECT_EQ(g.nodes[0].links[0].weight, 6) << "the first link stays as it was";
  EXPECT_EQ(g.nodes[0].links[1].neighbour, -1);

  EXPECT_EQ(connectNodes(g, 1, 99, 1), "Could not find the child node");
  EXPECT_EQ(connectNodes(g, 1, -1, 1), "Could not find the child node");
  EXPECT_EQ(g.nodes[0].neighbourCount, 1);
}

TEST(RtsGraph, RemoveClearsEveryLinkToTheNodeAndKeepsTheOrder) {
  RtsGraph g = lineOfNodes(4);
  ASSERT_FALSE(connectNodes(g, 1, 2, 5));
  ASSERT_FALSE(connectNodes(g, 1, 3, 5));
  ASSERT_FALSE(connectNodes(g, 4, 3, 5));
  ASSERT_FALSE(connectNodes(g, 3, 1, 5));
  g.selectedNode = 3;
  g.selectedFlags = edgeNodeOutbound;

  removeNode(g, 2);  // id 3

  ASSERT_EQ(g.nodes.size(), 3u);
  EXPECT_EQ(g.nodes[0].id, 1);
  EXPECT_EQ(g.nodes[1].id, 2);
  EXPECT_EQ(g.nodes[2].id, 4);
  EXPECT_EQ(g.nodes[0].neighbourCount, 1);
  EXPECT_EQ(g.nodes[0].links[0].neighbour, 2);
  EXPECT_EQ(g.nodes[0].links[1].neighbour, -1);
  EXPECT_EQ(g.nodes[0].links[1].weight, 255);
  EXPECT_EQ(g.nodes[2].neighbourCount, 0);
  EXPECT_EQ(g.selectedNode, -1);
  EXPECT_EQ(g.selectedFlags, 0u);

  // The freed entry is the first free one again.
  ASSERT_FALSE(connectNodes(g, 1, 4, 2));
  EXPECT_EQ(g.nodes[0].links[1].neighbour, 4);

  removeNode(g, 3);  // out of range: nothing
  removeNode(g, -1);
  EXPECT_EQ(g.nodes.size(), 3u);
}

TEST(RtsGraph, ToggleFlipsOneFlagAndTheShownFlagsFollowTheSelectedNode) {
  RtsGraph g = lineOfNodes(2);
  g.selectedNode = 2;
  toggleNodeFlags(g, 2, edgeNodeOutbound);
  toggleNodeFlags(g, 2, edgeNodeInbound);
  toggleNodeFlags(g, 2, edgeNodeOutbound);
  EXPECT_EQ(g.nodes[1].flags, edgeNodeInbound);
  EXPECT_EQ(g.selectedFlags, edgeNodeInbound);

  toggleNodeFlags(g, 1, edgeNodeOutbound);
  EXPECT_EQ(g.nodes[0].flags, edgeNodeOutbound);
  EXPECT_EQ(g.selectedFlags, edgeNodeInbound);
}

}  // namespace
}  // namespace tessarim
