#include "model/finite_numbers.hpp"

#include <algorithm>
#include <cmath>
#include <span>
#include <utility>

namespace tessarim {
namespace {

std::size_t notFinite(float x) {
  return std::isfinite(x) ? 0 : 1;
}

std::size_t notFinite(std::span<const float> xs) {
  std::size_t n = 0;
  for (const float x : xs) n += notFinite(x);
  return n;
}

std::size_t notFinite(const std::array<Texel, 4>& texels) {
  std::size_t n = 0;
  for (const Texel& t : texels) n += notFinite(t.u) + notFinite(t.v);
  return n;
}

const char* noun(NumberKind kind) {
  switch (kind) {
    case NumberKind::vertexCoordinates:
      return "vertex coordinates";
    case NumberKind::texelCoordinates:
      return "texel coordinates";
    case NumberKind::polygonColours:
      return "polygon colours";
    case NumberKind::instancePlacements:
      return "instance placements";
    case NumberKind::equipmentValues:
      return "equipment values";
    case NumberKind::lightPositions:
      return "light positions";
    case NumberKind::lightSettings:
      return "light settings";
    case NumberKind::connectorEnds:
      return "connector ends";
    case NumberKind::skeletonOffset:
      return "skeleton offset coordinates";
    case NumberKind::streetNodePositions:
      return "street node positions";
    case NumberKind::animationKeys:
      return "animation keys";
  }
  return "values";
}

// "a", "a and b", "a, b and c".
std::string joined(const std::vector<std::string>& parts) {
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) text += i + 1 == parts.size() ? " and " : ", ";
    text += parts[i];
  }
  return text;
}

}  // namespace

bool NonFiniteCount::any() const {
  return std::any_of(of.begin(), of.end(), [](std::size_t n) { return n != 0; });
}

NonFiniteCount& NonFiniteCount::operator+=(const NonFiniteCount& other) {
  for (std::size_t k = 0; k < of.size(); ++k) of[k] += other.of[k];
  return *this;
}

void countNonFinite(const std::vector<Vertex>& vertices, NonFiniteCount& count) {
  std::size_t n = 0;
  for (const Vertex& v : vertices) n += notFinite(v.x) + notFinite(v.y) + notFinite(v.z);
  count[NumberKind::vertexCoordinates] += n;
}

void countNonFinite(const Polygon& p, NonFiniteCount& count) {
  count[NumberKind::texelCoordinates] += notFinite(p.texels) + notFinite(p.texels2) +
                                         notFinite(p.texelAngle) + notFinite(p.texelAngle2);
  count[NumberKind::polygonColours] += notFinite(p.colour);
}

void countNonFinite(const std::vector<Polygon>& polygons, NonFiniteCount& count) {
  for (const Polygon& p : polygons) countNonFinite(p, count);
}

void countNonFinite(const std::vector<Instance>& instances, NonFiniteCount& count) {
  std::size_t n = 0;
  for (const Instance& t : instances) {
    n += notFinite(t.location) + notFinite(t.orientation) + notFinite(t.endLocation) +
         notFinite(t.hingeAxis) + notFinite(t.hingeOffset) + notFinite(t.hingeAngle) +
         notFinite(t.extendRate) + notFinite(t.retractRate) + notFinite(t.volume);
  }
  count[NumberKind::instancePlacements] += n;
}

void countNonFinite(const ComponentSpec& c, NonFiniteCount& count) {
  count[NumberKind::equipmentValues] += notFinite(
      std::array{c.serviceLife, c.cycleHit, c.weight, c.cost, c.pickup, c.dropout, c.maxPressure,
                 c.loadDraw, c.minTemperature, c.maxTemperature, c.maxCapacity});
}

void countNonFinite(const Module& m, NonFiniteCount& count) {
  countNonFinite(m.vertices, count);
  countNonFinite(m.polygons, count);
  countNonFinite(m.instances, count);
  countNonFinite(m.component, count);
}

void countNonFinite(const std::array<Light, maxLights>& lights, NonFiniteCount& count) {
  for (const Light& l : lights) {
    count[NumberKind::lightPositions] += notFinite(l.position);
    count[NumberKind::lightSettings] +=
        notFinite(l.normal) + notFinite(l.secondsPerCycle) + notFinite(l.effectType);
  }
}

void countNonFinite(const std::vector<Connector>& connectors, NonFiniteCount& count) {
  for (const Connector& c : connectors) {
    count[NumberKind::connectorEnds] += notFinite(c.farEnd) + notFinite(c.nearEnd);
    count[NumberKind::equipmentValues] += notFinite(c.values);
  }
}

void countNonFinite(const std::vector<Component>& components, NonFiniteCount& count) {
  for (const Component& c : components)
    count[NumberKind::equipmentValues] += notFinite(c.setState) + notFinite(c.values);
}

void countNonFinite(const std::array<AnimationSlot, animationSlotCount>& slots,
                    NonFiniteCount& count) {
  std::size_t n = 0;
  for (const AnimationSlot& slot : slots) {
    for (const KeyFrame& key : slot) {
      n += notFinite(key.start) + notFinite(key.end) + notFinite(key.offset);
      for (const auto& joint : key.joints) n += notFinite(joint);
    }
  }
  count[NumberKind::animationKeys] += n;
}

void countNonFinite(const RtsGraph& graph, NonFiniteCount& count) {
  for (const RtsNode& node : graph.nodes)
    count[NumberKind::streetNodePositions] += notFinite(node.x) + notFinite(node.y);
}

void countNonFinite(const MotionState& motion, NonFiniteCount& count) {
  count[NumberKind::skeletonOffset] += notFinite(motion.skeletonOffset);
}

void countDocumentNonFinite(const Document& d, NonFiniteCount& count) {
  countNonFinite(d.lights, count);
  countNonFinite(d.connectors, count);
  countNonFinite(d.components, count);
  countNonFinite(d.animationSlots, count);
  countNonFinite(d.streetNodes, count);
  count[NumberKind::equipmentValues] += notFinite(d.emptyWeight);
}

void addNonFiniteGrowth(const NonFiniteCount& before, const NonFiniteCount& after, int module,
                        std::vector<NonFiniteNumbers>& found) {
  for (int k = 0; k < numberKindCount; ++k) {
    const auto kind = static_cast<NumberKind>(k);
    if (after[kind] > before[kind]) found.push_back({kind, module});
  }
}

std::string describeNumbers(const Document& document, const std::vector<NonFiniteNumbers>& found) {
  // Each owner (a module, or -1 for the document) with its kinds, in the order found.
  std::vector<std::pair<int, std::vector<NumberKind>>> owners;
  for (const NonFiniteNumbers& f : found) {
    auto at = std::find_if(owners.begin(), owners.end(),
                           [&](const auto& o) { return o.first == f.module; });
    if (at == owners.end()) at = owners.insert(owners.end(), {f.module, {}});
    if (std::find(at->second.begin(), at->second.end(), f.kind) == at->second.end())
      at->second.push_back(f.kind);
  }
  // Modules with the same kinds share one phrase.
  struct Group {
    std::vector<NumberKind> kinds;
    std::vector<int> modules;  // none: the document's own numbers
  };
  std::vector<Group> groups;
  for (const auto& owner : owners) {
    const int module = owner.first;
    const std::vector<NumberKind>& kinds = owner.second;
    auto at = std::find_if(groups.begin(), groups.end(), [&](const Group& g) {
      return module >= 0 && !g.modules.empty() && g.kinds == kinds;
    });
    if (at == groups.end()) at = groups.insert(groups.end(), {kinds, {}});
    if (module >= 0) at->modules.push_back(module);
  }
  std::vector<std::string> phrases;
  for (const Group& g : groups) {
    std::vector<std::string> nouns;
    for (const NumberKind k : g.kinds) nouns.emplace_back(noun(k));
    std::string phrase = "the " + joined(nouns);
    if (!g.modules.empty()) {
      constexpr std::size_t named = 3;
      std::vector<std::string> names;
      for (std::size_t i = 0; i < g.modules.size() && i < named; ++i) {
        const int m = g.modules[i];
        const bool known = m < maxModules && !document.module[m].filename.empty();
        names.push_back(known ? document.module[m].filename : "an unnamed mesh");
      }
      if (const std::size_t rest = g.modules.size() - names.size(); rest > 0)
        names.push_back(std::to_string(rest) + (rest == 1 ? " other mesh" : " other meshes"));
      phrase += " of " + joined(names);
    }
    phrases.push_back(std::move(phrase));
  }
  return joined(phrases);
}

}  // namespace tessarim
