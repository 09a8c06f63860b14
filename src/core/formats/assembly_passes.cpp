#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "formats/assembly.hpp"
#include "model/model.hpp"
#include "model/session.hpp"
#include "model/text_compare.hpp"
#include "platform/ui.hpp"

namespace tessarim {
namespace {

bool inBuildingGroups(std::int16_t group) {
  return group >= 100 && group <= 995;
}

bool collocated(const Instance& a, const Instance& b) {
  if (inBuildingGroups(a.group) && inBuildingGroups(b.group) && a.group != b.group) return false;
  auto distance = [](const std::array<float, 3>& p, const std::array<float, 3>& q) {
    float dx = p[0] - q[0], dy = p[1] - q[1], dz = p[2] - q[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
  };
  return distance(a.location, b.location) < 1.0f && distance(a.orientation, b.orientation) < 0.1f;
}

struct CellKey {
  std::int64_t x, y, z;
  bool operator==(const CellKey&) const = default;
};
struct CellHash {
  std::size_t operator()(const CellKey& k) const {
    std::uint64_t h = static_cast<std::uint64_t>(k.x) * 0x9E3779B97F4A7C15ull;
    h = (h ^ static_cast<std::uint64_t>(k.y)) * 0xC2B2AE3D27D4EB4Full;
    h = (h ^ static_cast<std::uint64_t>(k.z)) * 0x165667B19E3779F9ull;
    return static_cast<std::size_t>(h ^ (h >> 31));
  }
};

// Unit cells: instances closer than 1 unit lie in neighbouring cells. Far-off coordinates share
// the outermost cells, which stays correct (the distance decides) at some cost in time.
std::int64_t cellOf(float c) {
  double f = std::floor(static_cast<double>(c));
  return static_cast<std::int64_t>(std::clamp(f, -4.0e18, 4.0e18));
}

}  // namespace

int mergeDuplicateModules(Session& session) {
  Model& model = session.model;
  int merged = 0;
  for (int i = 0; i < model.document.wldfiles; ++i) {
    for (int j = i + 1; j < model.document.wldfiles;) {
      if (!equalIgnoringCase(model.document.module[i].filename,
                             model.document.module[j].filename)) {
        ++j;
        continue;
      }
      session.ui.messageBox(model.document.module[j].filename, "Duplicate WLD in ASM",
                            MessageIcon::information, MessageButtons::ok);
      auto& target = model.document.module[i].instances;
      auto& source = model.document.module[j].instances;
      target.insert(target.end(), source.begin(), source.end());
      for (int k = j; k + 1 < model.document.wldfiles; ++k)
        model.document.module[k] = std::move(model.document.module[k + 1]);
      --model.document.wldfiles;
      resetModule(model, model.document.wldfiles);
      model.status.documentModified = true;
      ++merged;
    }
  }
  return merged;
}

// Removing, for each instance u in order, every later instance collocated with it is a greedy
// pass: an instance goes when an earlier surviving instance is collocated with it. A grid of unit
// cells finds those candidates without comparing every pair.
int removeCollocatedInstances(Session& session) {
  Model& model = session.model;
  int removed = 0;
  for (int m = 0; m < model.document.wldfiles; ++m) {
    auto& instances = model.document.module[m].instances;
    std::unordered_map<CellKey, std::vector<std::uint32_t>, CellHash> grid;
    std::vector<char> keep(instances.size(), 1);
    int removedHere = 0;
    for (std::size_t v = 0; v < instances.size(); ++v) {
      const auto& loc = instances[v].location;
      if (!(std::isfinite(loc[0]) && std::isfinite(loc[1]) && std::isfinite(loc[2]))) continue;
      CellKey home{cellOf(loc[0]), cellOf(loc[1]), cellOf(loc[2])};
      bool gone = false;
      for (std::int64_t dx = -1; dx <= 1 && !gone; ++dx) {
        for (std::int64_t dy = -1; dy <= 1 && !gone; ++dy) {
          for (std::int64_t dz = -1; dz <= 1 && !gone; ++dz) {
            auto found = grid.find(CellKey{home.x + dx, home.y + dy, home.z + dz});
            if (found == grid.end()) continue;
            for (std::uint32_t u : found->second) {
              if (collocated(instances[u], instances[v])) {
                gone = true;
                break;
              }
            }
          }
        }
      }
      if (gone) {
        keep[v] = 0;
        ++removedHere;
      } else {
        grid[home].push_back(static_cast<std::uint32_t>(v));
      }
    }
    if (removedHere == 0) continue;
    for (int k = 0; k < removedHere; ++k) {
      session.ui.messageBox(model.document.module[m].filename,
                            "Duplicate instance (collocated) in ASM", MessageIcon::information,
                            MessageButtons::ok);
    }
    std::size_t out = 0;
    for (std::size_t v = 0; v < instances.size(); ++v) {
      if (keep[v]) instances[out++] = instances[v];
    }
    instances.resize(out);
    model.status.documentModified = true;
    removed += removedHere;
  }
  return removed;
}

}  // namespace tessarim
