#include "formats/rts_section.hpp"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "formats/text_scanner.hpp"
#include "formats/text_writer.hpp"
#include "support/scripted_ui.hpp"

namespace tessarim {
namespace {

struct Expected {
  float x, y;
  std::uint32_t flags;
  std::int32_t data;
};

// (from index, to index, weight) for every used link entry, in node and entry order.
using Link = std::tuple<int, int, int>;

std::vector<Link> linksOf(const RtsGraph& g) {
  std::vector<Link> out;
  for (std::size_t k = 0; k < g.nodes.size(); ++k) {
    for (const auto& l : g.nodes[k].links) {
      if (l.neighbour == -1) continue;
      EXPECT_EQ(l.streetId, 0) << "links read from a file carry street id 0";
      out.emplace_back(static_cast<int>(k), findNodeById(g, l.neighbour), l.weight);
    }
  }
  return out;
}

struct Reading {
  RtsGraph graph;
  testing::ScriptedUi ui;
  std::string rest;  // what the scanner leaves

  Reading(std::string_view text, float version) {
    TextScanner in{text};
    readNodeSection(graph, in, version, ui);
    in.skipWhitespace();
    rest = std::string{text.substr(text.size() - in.remaining())};
  }
};

// Columns and rows of files before 2.47 become map positions: 12, 7 -> (0.0156418, 0.9903678).
constexpr float x12 = 0.0156418272f, x13 = 0.0168437503f, x10 = 0.013237981f;
constexpr float y7 = 0.9903677983f, y3 = 0.9951754907f;

struct VersionCase {
  const char* name;
  const char* version;  // as the city file states it
  const char* text;
  std::vector<Expected> nodes;
  std::vector<Link> links;
};

class RtsSectionVersions : public ::testing::TestWithParam<VersionCase> {};

TEST_P(RtsSectionVersions, ReadsTheLayoutOfEachVersion) {
  const VersionCase& c = GetParam();
  // Scanned as the city reader does, so that each row also checks its boundary: 2.51 as a float
  // lies below 2.51 as a double.
  TextScanner versionText{c.version};
  float version = 0;
  ASSERT_EQ(versionText.scan("%f", &version), 1);
  Reading r{c.text, version};
  EXPECT_TRUE(r.ui.boxes.empty());
  ASSERT_EQ(r.graph.nodes.size(), c.nodes.size());
  for (std::size_t k = 0; k < c.nodes.size(); ++k) {
    const RtsNode& n = r.graph.nodes[k];
    EXPECT_NEAR(n.x, c.nodes[k].x, 1e-6) << k;
    EXPECT_NEAR(n.y, c.nodes[k].y, 1e-6) << k;
    EXPECT_EQ(n.flags, c.nodes[k].flags) << k;
    EXPECT_EQ(n.data, c.nodes[k].data) << k;
    EXPECT_EQ(n.id, static_cast<std::int32_t>(k) + 1);
  }
  EXPECT_EQ(linksOf(r.graph), c.links);
  EXPECT_EQ(r.rest, "TAIL") << "the section ends where the file's next item begins";
}

INSTANTIATE_TEST_SUITE_P(
    Rts, RtsSectionVersions,
    ::testing::Values(
        VersionCase{"v2_51_street_id_read_past",
                    "2.51",
                    "2 ,\n0.250000, 0.500000, 3, -7 \n0.750000, 0.125000, 0, 9 \n"
                    "1 ,\n0.250000, 0.500000 \n1 ,\n0.750000, 0.125000, 6, 42 \nTAIL",
                    {{0.25f, 0.5f, 3, -7}, {0.75f, 0.125f, 0, 9}},
                    {{0, 1, 6}}},
        VersionCase{"v2_48_weight_without_street_id",
                    "2.48",
                    "2 ,\n0.25, 0.5, 1, 4 \n0.75, 0.125, 2, 5 \n"
                    "1 ,\n0.75, 0.125 \n1 ,\n0.25, 0.5, 2 \nTAIL",
                    {{0.25f, 0.5f, 1, 4}, {0.75f, 0.125f, 2, 5}},
                    {{1, 0, 2}}},
        VersionCase{"v2_47_third_value_ignored",
                    "2.47",
                    "2 ,\n0.25, 0.5, 99 \n0.75, 0.125, 98 \n"
                    "1 ,\n0.25, 0.5 \n1 ,\n0.75, 0.125, 8 \nTAIL",
                    {{0.25f, 0.5f, 0, 0}, {0.75f, 0.125f, 0, 0}},
                    {{0, 1, 8}}},
        VersionCase{"v2_46_columns_and_rows_with_weight",
                    "2.46",
                    "2 ,\n12, 7, 5 \n13, 7, 5 \n1 ,\n12, 7 \n1 ,\n13, 7, 3 \nTAIL",
                    {{x12, y7, 0, 0}, {x13, y7, 0, 0}},
                    {{0, 1, 3}}},
        // The link "12, 7" of a 2.45 file names the node at (0.01564, 0.99036), weight 1.
        VersionCase{"v2_45_columns_and_rows_weight_one",
                    "2.45",
                    "2 ,\n12, 7, 0 \n10, 3, 0 \n1 ,\n10, 3 \n1 ,\n12, 7\nTAIL",
                    {{x12, y7, 0, 0}, {x10, y3, 0, 0}},
                    {{1, 0, 1}}}),
    [](const auto& row) { return std::string{row.param.name}; });

struct MessageCase {
  const char* name;
  const char* text;
  std::size_t nodes;
  std::vector<Link> links;
  const char* message;
  const char* caption;
};

class RtsSectionMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(RtsSectionMessages, ShowsOneOkBoxAndGoesOnAsTheFileAllows) {
  const MessageCase& c = GetParam();
  Reading r{c.text, 2.51f};
  ASSERT_EQ(r.ui.boxes.size(), 1u);
  EXPECT_EQ(r.ui.boxes[0].text, c.message);
  EXPECT_EQ(r.ui.boxes[0].caption, c.caption);
  EXPECT_EQ(r.ui.boxes[0].icon, MessageIcon::none);
  EXPECT_EQ(r.ui.boxes[0].buttons, MessageButtons::ok);
  EXPECT_EQ(r.graph.nodes.size(), c.nodes);
  EXPECT_EQ(linksOf(r.graph), c.links);
}

INSTANTIATE_TEST_SUITE_P(
    Rts, RtsSectionMessages,
    ::testing::Values(
        MessageCase{"duplicate_node_is_skipped",
                    "3 ,\n0.1, 0.1, 1, 0 \n0.1, 0.1, 2, 0 \n0.2, 0.2, 0, 0 \n"
                    "1 ,\n0.1, 0.1 \n1 ,\n0.2, 0.2, 4, 0 \n",
                    2,
                    {{0, 1, 4}},
                    "Trying to add a node at offset that is already in the list",
                    "Duplicate node"},
        MessageCase{"unknown_block_node_reading_continues",
                    "2 ,\n0.1, 0.1, 0, 0 \n0.2, 0.2, 0, 0 \n"
                    "2 ,\n0.9, 0.9 \n1 ,\n0.1, 0.1, 7, 0 \n0.1, 0.1 \n1 ,\n0.2, 0.2, 4, 0 \n",
                    2,
                    {{0, 1, 4}},
                    "Can't find a node we just added, this shouldn't happen",
                    "Could not find node"},
        // Six links: four are kept, two are read past, and the next block still lines up.
        MessageCase{"fifth_and_sixth_links_are_read_past",
                    "7 ,\n0.1, 0.1, 0, 0 \n0.2, 0.2, 0, 0 \n0.3, 0.3, 0, 0 \n0.4, 0.4, 0, 0 \n"
                    "0.5, 0.5, 0, 0 \n0.6, 0.6, 0, 0 \n0.7, 0.7, 0, 0 \n"
                    "2 ,\n0.1, 0.1 \n6 ,\n0.2, 0.2, 1, 0 \n0.3, 0.3, 2, 0 \n0.4, 0.4, 3, 0 \n"
                    "0.5, 0.5, 4, 0 \n0.6, 0.6, 5, 0 \n0.7, 0.7, 6, 0 \n"
                    "0.2, 0.2 \n1 ,\n0.7, 0.7, 8, 0 \n",
                    7,
                    {{0, 1, 1}, {0, 2, 2}, {0, 3, 3}, {0, 4, 4}, {1, 6, 8}},
                    "CTY file contains more neighbours then allowed...",
                    "Neighbour limit exceeded!"},
        MessageCase{"unknown_neighbour_ends_the_section",
                    "2 ,\n0.1, 0.1, 0, 0 \n0.2, 0.2, 0, 0 \n"
                    "2 ,\n0.1, 0.1 \n2 ,\n0.2, 0.2, 3, 0 \n0.9, 0.9, 3, 0 \n"
                    "0.2, 0.2 \n1 ,\n0.1, 0.1, 3, 0 \n",
                    2,
                    {{0, 1, 3}},
                    "Node referenced neighbour that does not exist...",
                    "Neighbour doesn't exist"}),
    [](const auto& row) { return std::string{row.param.name}; });

TEST(RtsSection, ReadingReplacesTheNodesAndIdsContinue) {
  RtsGraph g;
  addNode(g, 0.5f, 0.5f, 0, 0);
  addNode(g, 0.6f, 0.5f, 0, 0);
  testing::ScriptedUi ui;
  TextScanner in{"1 ,\n0.5, 0.5, 0, 0 \n0 ,\n"};
  readNodeSection(g, in, 2.51f, ui);
  ASSERT_EQ(g.nodes.size(), 1u);
  EXPECT_EQ(g.nodes[0].id, 3);
}

// 0.25, 0.5 -> 0.75, 0.125 with weight 6 and street id 42, plus a back link; node 3 has none.
RtsGraph sampleGraph() {
  RtsGraph g;
  addNode(g, 0.25f, 0.5f, edgeNodeOutbound, 7);
  addNode(g, 0.75f, 0.125f, 0, -2);
  addNode(g, 0.5f, 0.5f, edgeNodeInbound, 0);
  EXPECT_FALSE(connectNodes(g, 1, 2, 6));
  EXPECT_FALSE(connectNodes(g, 1, 3, 3));
  EXPECT_FALSE(connectNodes(g, 3, 1, 1));
  g.nodes[0].links[0].streetId = 42;
  return g;
}

TEST(RtsSection, WritesTheCurrentVersion) {
  TextWriter out;
  EXPECT_EQ(writeNodeSection(sampleGraph(), out), std::nullopt);
  EXPECT_EQ(out.str(),
            "3 ,\n"
            "0.250000, 0.500000, 1, 7 \n"
            "0.750000, 0.125000, 0, -2 \n"
            "0.500000, 0.500000, 2, 0 \n"
            "2 ,\n"
            "0.250000, 0.500000 \n"
            "2 ,\n"
            "0.750000, 0.125000, 6, 42 \n"
            "0.500000, 0.500000, 3, 0 \n"
            "0.500000, 0.500000 \n"
            "1 ,\n"
            "0.250000, 0.500000, 1, 0 \n");
}

TEST(RtsSection, RefusesALinkToAMissingNodeBeforeWritingAnything) {
  RtsGraph g = sampleGraph();
  g.nodes[2].links[1] = {99, 3, 0};
  g.nodes[2].neighbourCount = 2;
  TextWriter out;
  EXPECT_EQ(writeNodeSection(g, out), "Referenced a neighbor that does not exist");
  EXPECT_EQ(out.str(), "");
}

TEST(RtsSection, WriteThenReadGivesTheSameNodesLinksAndWeights) {
  RtsGraph g;
  // Positions that "%f" rounds, and a link entry left free by a removal.
  const float coords[][2] = {{0.1234567f, 0.7654321f},
                             {0.3333333f, 0.6666667f},
                             {0.0012019f, 0.9987813f},
                             {0.5f, 0.5f},
                             {0.9f, 0.1f}};
  for (const auto& c : coords) addNode(g, c[0], c[1], 0, 0);
  g.nodes[1].flags = edgeNodeOutbound | edgeNodeInbound;
  g.nodes[2].data = 123456;
  for (auto [from, to, weight] : {Link{1, 4, 5}, {1, 2, 8}, {1, 5, 2}, {2, 3, 0}, {5, 1, 7}}) {
    ASSERT_FALSE(connectNodes(g, from, to, static_cast<std::uint8_t>(weight)));
  }
  removeNode(g, 3);  // id 4: frees entry 0 of node 1

  TextWriter first{true};
  ASSERT_FALSE(writeNodeSection(g, first));
  Reading r{first.str(), 2.51f};
  EXPECT_TRUE(r.ui.boxes.empty());

  ASSERT_EQ(r.graph.nodes.size(), g.nodes.size());
  for (std::size_t k = 0; k < g.nodes.size(); ++k) {
    EXPECT_NEAR(r.graph.nodes[k].x, g.nodes[k].x, 1e-6);
    EXPECT_NEAR(r.graph.nodes[k].y, g.nodes[k].y, 1e-6);
    EXPECT_EQ(r.graph.nodes[k].flags, g.nodes[k].flags);
    EXPECT_EQ(r.graph.nodes[k].data, g.nodes[k].data);
  }
  EXPECT_EQ(linksOf(r.graph), (std::vector<Link>{{0, 1, 8}, {0, 3, 2}, {1, 2, 0}, {3, 0, 7}}));

  TextWriter second{true};
  ASSERT_FALSE(writeNodeSection(r.graph, second));
  EXPECT_EQ(second.str(), first.str());
}

struct HostileCase {
  const char* name;
  const char* text;
  std::size_t nodes;
  std::size_t links;
  std::vector<std::string> captions;
};

class RtsSectionHostile : public ::testing::TestWithParam<HostileCase> {};

TEST_P(RtsSectionHostile, StopsWithinTheInputAndKeepsWhatItRead) {
  const HostileCase& c = GetParam();
  Reading r{c.text, 2.51f};
  EXPECT_EQ(r.graph.nodes.size(), c.nodes);
  EXPECT_EQ(linksOf(r.graph).size(), c.links);
  EXPECT_LE(r.graph.nodes.capacity(), std::string_view{c.text}.size())
      << "no reservation beyond what the input can hold";
  std::vector<std::string> captions;
  for (const auto& b : r.ui.boxes) captions.push_back(b.caption);
  EXPECT_EQ(captions, c.captions);
}

INSTANTIATE_TEST_SUITE_P(
    Rts, RtsSectionHostile,
    ::testing::Values(
        HostileCase{"empty", "", 0, 0, {}},
        HostileCase{"huge_node_count_nothing_behind", "4000000000 ,\n", 0, 0, {}},
        HostileCase{"count_beyond_64_bits", "99999999999999999999 ,\n0.1, 0.1, 0, 0 \n", 1, 0, {}},
        HostileCase{"negative_counts", "-3 ,\n0.1, 0.1, 0, 0 \n-2 ,\n", 0, 0, {}},
        HostileCase{"garbage_after_a_node", "3 ,\n0.1, 0.2, 0, 0 \nxyz 1 2 3", 1, 0, {}},
        HostileCase{"short_node_lines", "3 ,\n0.1, 0.2 \n0.3 \n", 1, 0, {}},
        HostileCase{"huge_block_count", "1 ,\n0.1, 0.1, 0, 0 \n999999999 ,\n", 1, 0, {}},
        HostileCase{"huge_link_count_one_entry",
                    "2 ,\n0.1, 0.1, 0, 0 \n0.2, 0.2, 0, 0 \n1 ,\n0.1, 0.1 \n2000000000 ,\n"
                    "0.2, 0.2, 3, 0 \n",
                    2,
                    1,
                    {"Neighbour limit exceeded!"}},
        // Positions compare as floats: -0 is the same position as 0.
        HostileCase{"negative_zero_is_zero",
                    "2 ,\n-0.0, 0.5, 0, 0 \n0.0, 0.5, 0, 0 \n0 ,\n",
                    1,
                    0,
                    {"Duplicate node"}},
        // NaN equals nothing, so such nodes can be neither found nor linked.
        HostileCase{"nan_positions",
                    "2 ,\nnan, nan, 0, 0 \nnan, nan, 0, 0 \n1 ,\nnan, nan \n1 ,\nnan, nan, 1, 0 \n",
                    2,
                    0,
                    {"Could not find node", "Neighbour doesn't exist"}},
        HostileCase{"second_block_for_a_full_node",
                    "5 ,\n0.1, 0.1, 0, 0 \n0.2, 0.2, 0, 0 \n0.3, 0.3, 0, 0 \n0.4, 0.4, 0, 0 \n"
                    "0.5, 0.5, 0, 0 \n2 ,\n0.1, 0.1 \n4 ,\n0.2, 0.2, 1, 0 \n0.3, 0.3, 1, 0 \n"
                    "0.4, 0.4, 1, 0 \n0.5, 0.5, 1, 0 \n0.1, 0.1 \n1 ,\n0.1, 0.1, 1, 0 \n",
                    5,
                    4,
                    {}}),
    [](const auto& row) { return std::string{row.param.name}; });

}  // namespace
}  // namespace tessarim
