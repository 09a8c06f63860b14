#include "formats/rts_section.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <unordered_map>

#include "formats/text_scanner.hpp"
#include "formats/text_writer.hpp"
#include "platform/ui.hpp"

namespace tessarim {
namespace {

// Files before 2.47 place nodes by map column and row.
constexpr float mapUnit = 0.0012019231f;  // 1/832 of the map
float columnToX(std::int32_t column) {
  return static_cast<float>(column) * mapUnit + 0.00121875f;
}
float rowToY(std::int32_t row) {
  return 0.99878126f - static_cast<float>(row) * mapUnit;
}

// "0,0,0": no node line of any version is shorter, so a count can hold at most this many.
constexpr std::size_t shortestNodeLine = 5;

struct NodeLine {
  float x = 0, y = 0;
  std::uint32_t flags = 0;
  std::int32_t data = 0;
};

struct LinkEntry {
  float x = 0, y = 0;
  std::uint8_t weight = 1;  // files before 2.46 carry no weight
};

// Marks where a record starts. A record that takes no input would be read again with the same
// result for as long as its count lasts, so the loops stop there.
class RecordScan {
 public:
  explicit RecordScan(TextScanner& in) : in_(in), before_(in.remaining()) {}
  bool consumedNothing() const { return in_.remaining() == before_; }

 private:
  TextScanner& in_;
  std::size_t before_;
};

// A node line: true when its position was read. Values after the position that a short line
// lacks stay 0.
bool readNodeLine(TextScanner& in, float version, NodeLine& node) {
  if (version >= 2.48f) {
    return in.scan("%f, %f, %u, %d \n", &node.x, &node.y, &node.flags, &node.data) >= 2;
  }
  std::int32_t ignored = 0;
  if (version >= 2.47f) return in.scan("%f, %f, %d \n", &node.x, &node.y, &ignored) >= 2;
  std::int32_t column = 0, row = 0;
  if (in.scan("%d, %d, %d \n", &column, &row, &ignored) < 2) return false;
  node.x = columnToX(column);
  node.y = rowToY(row);
  return true;
}

// The position line that opens a node's link block.
bool readBlockHeader(TextScanner& in, float version, float& x, float& y) {
  if (version >= 2.47f) return in.scan("%f, %f \n", &x, &y) == 2;
  std::int16_t column = 0, row = 0;
  if (in.scan("%hd, %hd \n", &column, &row) != 2) return false;
  x = columnToX(column);
  y = rowToY(row);
  return true;
}

// A link entry: true when the neighbour's position and, where the version has one, the weight
// were read. The street id of newer files is read past; links made here carry street id 0.
bool readLinkEntry(TextScanner& in, float version, LinkEntry& link) {
  std::int32_t streetId = 0;
  if (version >= 2.51f) {
    return in.scan("%f, %f, %d, %d", &link.x, &link.y, &link.weight, &streetId) >= 3;
  }
  if (version >= 2.47f) return in.scan("%f, %f, %d", &link.x, &link.y, &link.weight) == 3;
  std::int32_t column = 0, row = 0;
  if (version >= 2.46f) {
    if (in.scan("%d, %d, %d", &column, &row, &link.weight) != 3) return false;
  } else if (in.scan("%d, %d", &column, &row) != 2) {
    return false;
  }
  link.x = columnToX(column);
  link.y = rowToY(row);
  return true;
}

// Exact-position lookup while reading; the graph's own lookup is a linear scan, which would
// make a large file quadratic. Negative zero equals zero, and NaN equals nothing, as with ==.
class PositionIndex {
 public:
  void reserve(std::size_t n) { map_.reserve(n); }
  int find(float x, float y) const {
    auto k = key(x, y);
    if (!k) return -1;
    auto it = map_.find(*k);
    return it == map_.end() ? -1 : it->second;
  }
  void add(float x, float y, int index) {
    if (auto k = key(x, y)) map_.emplace(*k, index);
  }

 private:
  static std::optional<std::uint64_t> key(float x, float y) {
    if (std::isnan(x) || std::isnan(y)) return std::nullopt;
    if (x == 0) x = 0;
    if (y == 0) y = 0;
    return std::uint64_t{std::bit_cast<std::uint32_t>(x)} << 32 | std::bit_cast<std::uint32_t>(y);
  }
  std::unordered_map<std::uint64_t, int> map_;
};

void show(Ui& ui, std::string_view text, std::string_view caption) {
  ui.messageBox(text, caption, MessageIcon::none, MessageButtons::ok);
}

int usedLinks(const RtsNode& node) {
  return static_cast<int>(std::count_if(node.links.begin(), node.links.end(),
                                        [](const RtsLink& l) { return l.neighbour != -1; }));
}

}  // namespace

void readNodeSection(RtsGraph& graph, TextScanner& in, float version, Ui& ui, EarlyEnd* early) {
  clearNodes(graph);
  PositionIndex byPosition;
  EarlyEnd own{in};
  EarlyEnd& end = early ? *early : own;

  std::int64_t nodeCount = 0;
  in.scan("%d ,\n", &nodeCount);
  end.check("ends early: before its street nodes");
  if (nodeCount > 0) {
    const auto fits = in.remaining() / shortestNodeLine;
    const auto n = std::min(static_cast<std::uint64_t>(nodeCount), std::uint64_t{fits});
    graph.nodes.reserve(static_cast<std::size_t>(n));
    byPosition.reserve(static_cast<std::size_t>(n));
  }
  for (std::int64_t k = 0; k < nodeCount; ++k) {
    RecordScan record{in};
    NodeLine line;
    const bool read = readNodeLine(in, version, line);
    if (end.check(k, nodeCount, "street nodes") || record.consumedNothing()) break;
    if (!read) continue;
    if (byPosition.find(line.x, line.y) >= 0) {
      show(ui, "Trying to add a node at offset that is already in the list", "Duplicate node");
      continue;
    }
    // The index has already ruled out a node at this position, which is all addNode checks.
    RtsNode node;
    node.id = graph.nextId++;
    node.x = line.x;
    node.y = line.y;
    node.flags = line.flags;
    node.data = line.data;
    byPosition.add(node.x, node.y, static_cast<int>(graph.nodes.size()));
    graph.nodes.push_back(node);
  }

  std::int64_t blockCount = 0;
  in.scan("%d ,\n", &blockCount);
  end.check("ends early: before its street links");
  for (std::int64_t b = 0; b < blockCount; ++b) {
    RecordScan block{in};
    float x = 0, y = 0;
    const bool placed = readBlockHeader(in, version, x, y);
    std::int64_t linkCount = 0;
    in.scan("%d ,\n", &linkCount);
    // A position the file ends inside names no node: it is not looked for.
    if (end.check(b, blockCount, "linked street nodes") || block.consumedNothing()) break;
    int from = -1;
    if (placed) {
      from = byPosition.find(x, y);
      if (from < 0) {
        show(ui, "Can't find a node we just added, this shouldn't happen", "Could not find node");
      }
    }
    // A node has room for four links. Entries past the fourth are still read, so that the file
    // stays in step, and connect refuses them; the section goes on rather than ending here.
    if (linkCount > maxRtsLinks) {
      show(ui, "CTY file contains more neighbours then allowed...", "Neighbour limit exceeded!");
    }
    for (std::int64_t k = 0; k < linkCount; ++k) {
      RecordScan entry{in};
      LinkEntry link;
      const bool read = readLinkEntry(in, version, link);
      if (end.check(b, blockCount, "linked street nodes") || entry.consumedNothing()) return;
      if (!read) continue;
      const int to = byPosition.find(link.x, link.y);
      if (to < 0) {
        show(ui, "Node referenced neighbour that does not exist...", "Neighbour doesn't exist");
        return;
      }
      if (from < 0) continue;
      // A full node's refusal was announced above, or the file gave the node a second block.
      (void)connectNodeIndices(graph, from, to, link.weight);
    }
  }
}

std::optional<std::string> writeNodeSection(const RtsGraph& graph, TextWriter& out) {
  std::unordered_map<std::int32_t, std::size_t> byId;
  byId.reserve(graph.nodes.size());
  for (std::size_t k = 0; k < graph.nodes.size(); ++k) byId.emplace(graph.nodes[k].id, k);
  for (const auto& node : graph.nodes) {
    for (const auto& link : node.links) {
      if (link.neighbour != -1 && !byId.contains(link.neighbour)) {
        return "Referenced a neighbor that does not exist";
      }
    }
  }

  out.print("%u ,\n", graph.nodes.size());
  for (const auto& node : graph.nodes) {
    out.print("%f, %f, %u, %i \n", node.x, node.y, node.flags, node.data);
  }
  // Link counts come from the entries themselves, so the file always lists what it announces.
  const auto linked = std::count_if(graph.nodes.begin(), graph.nodes.end(),
                                    [](const RtsNode& n) { return usedLinks(n) > 0; });
  out.print("%i ,\n", linked);
  for (const auto& node : graph.nodes) {
    const int count = usedLinks(node);
    if (count == 0) continue;
    out.print("%f, %f \n", node.x, node.y);
    out.print("%i ,\n", count);
    for (const auto& link : node.links) {
      if (link.neighbour == -1) continue;
      const RtsNode& neighbour = graph.nodes[byId.at(link.neighbour)];
      out.print("%f, %f, %i, %i \n", neighbour.x, neighbour.y, link.weight, link.streetId);
    }
  }
  return std::nullopt;
}

}  // namespace tessarim
