#include "model/selection.hpp"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <utility>
#include <vector>

#include "model/model.hpp"

namespace tessarim {
namespace {

constexpr int lastBrowsedGroup = 255;  // group navigation browses the codes up to this one

void noteSelection(Model& model) {
  noteChanges(model, Change::selection | Change::menus);
}

// The current module when it names a loaded one.
const Module* currentModule(const Model& model) {
  const int m = model.selection.currentModule;
  return m >= 0 && m < model.document.wldfiles ? &model.document.module[m] : nullptr;
}

const Instance* currentInstance(const Model& model) {
  const Module* module = currentModule(model);
  const int i = model.selection.currentInstance;
  return module != nullptr && i >= 0 && static_cast<std::size_t>(i) < module->instances.size()
             ? &module->instances[i]
             : nullptr;
}

// Instance indices are 16-bit: the selection reaches a module's first 32768 instances.
int indexableInstances(const Module& module) {
  return static_cast<int>(
      std::min<std::size_t>(module.instances.size(), std::numeric_limits<std::int16_t>::max() + 1));
}

// One step of a current index over `count` entries: up past the end wraps to 0, down below 0 to
// the last. Up from -2 (several) is -1 (none).
int stepIndex(int index, int direction, int count) {
  if (direction > 0) return index + 1 >= count ? 0 : index + 1;
  return index - 1 < 0 ? count - 1 : index - 1;
}

// Every instance, in table order, that `take(module, instance)` accepts. A city's last module is
// its ground grid, left out unless asked for.
template <class Take>
std::vector<InstanceRef> collectInstances(const Document& d, bool withGrid, Take take) {
  std::vector<InstanceRef> refs;
  const int modules = isCity(d) && !withGrid ? d.wldfiles - 1 : d.wldfiles;
  for (int m = 0; m < modules; ++m) {
    const int count = indexableInstances(d.module[m]);
    for (int i = 0; i < count; ++i) {
      if (take(m, i)) refs.push_back({static_cast<std::int16_t>(m), static_cast<std::int16_t>(i)});
    }
  }
  return refs;
}

// The three instance expansions: the list is the selection and no instance is current.
void selectListed(Model& model, std::vector<InstanceRef> refs) {
  Selection& sel = model.selection;
  sel.selectedInstances = std::move(refs);
  sel.currentModule = -2;
  sel.currentInstance = -1;
  noteSelection(model);
}

// The next group code to try: up, above the browsed codes back to 1; down, at 0 or below (or from
// a code above them) to the last browsed code. Up from -1 tries 0, the instances without a group.
int stepGroupCode(int code, int direction) {
  if (direction > 0) return code + 1 > lastBrowsedGroup ? 1 : code + 1;
  return code - 1 <= 0 || code - 1 > lastBrowsedGroup ? lastBrowsedGroup : code - 1;
}

// Where browsing group `code` lands: the first instance of that group in the last module that
// holds one. Module -1 when no instance has it.
InstanceRef findGroup(const Document& d, int code) {
  InstanceRef found;
  for (int m = 0; m < d.wldfiles; ++m) {
    const Module& module = d.module[m];
    const int count = indexableInstances(module);
    for (int i = 0; i < count; ++i) {
      if (module.instances[i].group == code) {
        found = {static_cast<std::int16_t>(m), static_cast<std::int16_t>(i)};
        break;
      }
    }
  }
  return found;
}

std::size_t cornerCount(const Polygon& p) {
  return std::min<std::size_t>(p.sides, p.vertexIndex.size());
}

}  // namespace

bool stepCurrentPolygon(Model& model, int direction) {
  Selection& sel = model.selection;
  const Module* module = currentModule(model);
  if (module == nullptr) return false;
  const int count = static_cast<int>(module->polygons.size());
  if (count == 0 || sel.currentPolygon < -2 || sel.currentPolygon >= count) return false;
  sel.currentPolygon = stepIndex(sel.currentPolygon, direction, count);
  sel.selectedPolygons.clear();  // a step never ends on -2, the only value that uses the list
  noteSelection(model);
  return true;
}

bool stepCurrentInstance(Model& model, int direction) {
  Selection& sel = model.selection;
  const Module* module = currentModule(model);
  if (module == nullptr) return false;
  const int count = indexableInstances(*module);
  if (count == 0 || sel.currentInstance < -1 || sel.currentInstance >= count) return false;
  sel.currentInstance = static_cast<std::int16_t>(stepIndex(sel.currentInstance, direction, count));
  sel.currentGroup = -1;
  noteSelection(model);
  return true;
}

// The selection after a type step lands on module m: its first instance, no polygon, no group.
void landOnModule(Model& model, int m) {
  Selection& sel = model.selection;
  sel.currentModule = static_cast<std::int16_t>(m);
  const bool placed = m >= 0 && !model.document.module[m].instances.empty();
  sel.currentInstance = static_cast<std::int16_t>(placed ? 0 : -1);
  sel.currentPolygon = -1;
  sel.selectedPolygons.clear();
  sel.currentGroup = -1;
  noteSelection(model);
}

std::optional<int> typeStepTarget(const Model& model, int direction) {
  const Selection& sel = model.selection;
  const int count = model.document.wldfiles;
  // Instances picked one by one keep the module as -1 until the dispatcher sets -2; the step
  // would be lost under them.
  if (count == 0 || sel.currentModule < -1 || sel.currentModule >= count ||
      !sel.selectedInstances.empty())
    return std::nullopt;
  return stepIndex(sel.currentModule, direction, count);
}

bool stepCurrentGroup(Model& model, int direction) {
  Selection& sel = model.selection;
  // Group 0 would never come round again: the steps skip it.
  const int start = sel.currentGroup == 0 ? 1 : sel.currentGroup;
  int code = sel.currentGroup;
  // A start outside the browsed codes is never met again; one try of every code ends the search.
  for (int tries = 0; tries <= lastBrowsedGroup; ++tries) {
    code = stepGroupCode(code, direction);
    if (code == start) break;
    const InstanceRef found = findGroup(model.document, code);
    if (found.module < 0) continue;
    // The group's instance is the selection now; polygon indices belong to the module they were
    // picked in.
    if (found.module != sel.currentModule) {
      sel.currentPolygon = -1;
      sel.selectedPolygons.clear();
    }
    sel.selectedInstances.clear();
    sel.currentModule = found.module;
    sel.currentInstance = found.instance;
    sel.currentGroup = static_cast<std::int16_t>(code);
    noteSelection(model);
    return true;
  }
  sel.currentGroup = static_cast<std::int16_t>(start);
  noteSelection(model);
  return true;
}

bool selectEverything(Model& model) {
  Selection& sel = model.selection;
  const Document& d = model.document;
  if (!placesModules(d) || model.settings.view.texelView) {
    // A mesh, or the one module the texel view shows: its polygons.
    const int m = sel.currentModule < 0 ? 0 : sel.currentModule;
    if (m >= d.wldfiles) return false;
    if (sel.currentModule < 0) {
      sel.currentModule = 0;
      sel.currentInstance = 0;
    }
    const auto count = static_cast<std::uint32_t>(d.module[m].polygons.size());
    sel.selectedPolygons.resize(count);
    for (std::uint32_t p = 0; p < count; ++p) sel.selectedPolygons[p] = p;
    sel.currentPolygon = -2;
    sel.selectedInstances.clear();
  } else {
    sel.selectedPolygons.clear();
    sel.currentPolygon = -1;
    sel.selectedInstances = collectInstances(d, false, [](int, int) { return true; });
    sel.currentModule = -2;
    sel.currentInstance = -2;
  }
  noteSelection(model);
  return true;
}

bool invertInstanceSelection(Model& model) {
  const Document& d = model.document;
  if (!placesModules(d) || model.settings.view.texelView) return false;
  Selection& sel = model.selection;
  std::vector<std::vector<char>> was(d.wldfiles);
  for (int m = 0; m < d.wldfiles; ++m) was[m].assign(d.module[m].instances.size(), 0);
  for (const InstanceRef r : sel.selectedInstances) {
    if (r.module >= 0 && r.module < d.wldfiles && r.instance >= 0 &&
        static_cast<std::size_t>(r.instance) < was[r.module].size())
      was[r.module][r.instance] = 1;
  }
  // The current instance counts as unselected: it is taken with the rest.
  sel.selectedInstances = collectInstances(d, false, [&](int m, int i) { return !was[m][i]; });
  sel.selectedPolygons.clear();
  sel.currentPolygon = -1;
  sel.currentModule = -2;
  sel.currentInstance = -2;
  noteSelection(model);
  return true;
}

bool addNeighbourPolygons(Model& model) {
  Selection& sel = model.selection;
  const Module* module = currentModule(model);
  if (module == nullptr) return false;
  const std::vector<Polygon>& polygons = module->polygons;
  const std::size_t count = polygons.size();
  std::vector<std::uint32_t>& list = sel.selectedPolygons;
  if (sel.currentPolygon >= 0) {
    if (static_cast<std::size_t>(sel.currentPolygon) >= count) return false;
    list.assign(1, static_cast<std::uint32_t>(sel.currentPolygon));
    sel.currentPolygon = -2;
  } else if (sel.currentPolygon != -2 ||
             std::any_of(list.begin(), list.end(), [&](std::uint32_t p) { return p >= count; })) {
    return false;
  }

  std::vector<char> listed(count, 0);
  for (const std::uint32_t p : list) listed[p] = 1;
  // Every corner as (vertex index, polygon), sorted: a seed finds the polygons on its vertices
  // without walking the whole module once per seed.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> corners;
  corners.reserve(count * 4);
  for (std::uint32_t p = 0; p < count; ++p) {
    for (std::size_t c = 0; c < cornerCount(polygons[p]); ++c)
      corners.emplace_back(polygons[p].vertexIndex[c], p);
  }
  std::sort(corners.begin(), corners.end());

  // Only the polygons selected before the command are seeds: one command adds one ring.
  const std::size_t seeds = list.size();
  std::vector<std::uint32_t> neighbours;
  for (std::size_t s = 0; s < seeds; ++s) {
    const Polygon& seed = polygons[list[s]];
    neighbours.clear();
    for (std::size_t c = 0; c < cornerCount(seed); ++c) {
      const std::uint32_t v = seed.vertexIndex[c];
      for (auto it = std::lower_bound(corners.begin(), corners.end(), std::pair{v, 0u});
           it != corners.end() && it->first == v; ++it) {
        if (!listed[it->second]) neighbours.push_back(it->second);
      }
    }
    // They join in polygon order, as a walk over the module's polygons meets them.
    std::sort(neighbours.begin(), neighbours.end());
    for (const std::uint32_t p : neighbours) {
      if (listed[p]) continue;
      listed[p] = 1;
      list.push_back(p);
    }
  }
  noteSelection(model);
  return true;
}

bool selectInstancesOfModule(Model& model) {
  if (currentModule(model) == nullptr) return false;
  const int current = model.selection.currentModule;
  selectListed(model,
               collectInstances(model.document, true, [&](int m, int) { return m == current; }));
  return true;
}

bool selectInstancesOfType(Model& model) {
  const Instance* instance = currentInstance(model);
  if (instance == nullptr) return false;
  const int type = instance->type;
  const Document& d = model.document;
  selectListed(model, collectInstances(d, true, [&](int m, int i) {
                 return d.module[m].instances[i].type == type;
               }));
  return true;
}

bool selectInstancesOfGroup(Model& model) {
  const Instance* instance = currentInstance(model);
  if (instance == nullptr) return false;
  const int group = instance->group;
  const Document& d = model.document;
  model.selection.currentGroup = static_cast<std::int16_t>(group);
  selectListed(model, collectInstances(d, true, [&](int m, int i) {
                 return d.module[m].instances[i].group == group;
               }));
  return true;
}

bool selectRandomHalf(Model& model, std::mt19937& engine) {
  const Module* module = currentModule(model);
  if (module == nullptr) return false;
  Selection& sel = model.selection;
  sel.currentPolygon = -2;
  sel.selectedPolygons.clear();
  const auto count = static_cast<std::uint32_t>(module->polygons.size());
  for (std::uint32_t p = 0; p < count; ++p) {
    if ((engine() & 1) != 0) sel.selectedPolygons.push_back(p);
  }
  noteSelection(model);
  return true;
}

}  // namespace tessarim
