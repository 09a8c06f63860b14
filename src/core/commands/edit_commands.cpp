#include "commands/edit_commands.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "commands/command_table.hpp"
#include "commands/menu_context.hpp"
#include "editing/edit_history.hpp"
#include "editor/editor.hpp"
#include "model/geometry.hpp"
#include "model/ground_grid.hpp"
#include "model/guid.hpp"
#include "render/camera.hpp"

namespace tessarim {

bool undoEdit(Editor& editor, const Command&) {
  return editor.history.undo(editor.model());
}

bool canUndoEdit(const MenuContext& c, const Command&) {
  return c.editor.history.canUndo();
}

bool redoEdit(Editor& editor, const Command&) {
  return editor.history.redo(editor.model());
}

bool canRedoEdit(const MenuContext& c, const Command&) {
  return c.editor.history.canRedo();
}

bool canDelete(const MenuContext& c, const Command&) {
  return c.currentPolygon != -1 || c.currentGroup >= 1 ||
         (c.document &&
          (c.currentModule == -2 || c.instance != nullptr || c.view.currentConnector >= 0));
}

namespace {

bool validInstance(const Document& d, int m, int i) {
  return m >= 0 && m < d.wldfiles && i >= 0 &&
         static_cast<std::size_t>(i) < d.module[m].instances.size();
}

InstanceRef instanceRef(std::size_t m, std::size_t i) {
  return {static_cast<std::int16_t>(m), static_cast<std::int16_t>(i)};
}

// Removes the named polygons (each once; indices past the end name nothing) and the vertices
// that only they used. The result is that of deleting them one at a time in list order with the
// later entries renumbered after each, without the quadratic cost: the remaining polygons keep
// their order, a vertex goes when a deleted polygon used it and no remaining one does (vertices
// no polygon used stay), and every corner index drops by the removed vertices below it. False
// when the list names no polygon.
bool deletePolygons(Edit& edit, Module& module, int m, std::span<const std::uint32_t> named) {
  const std::size_t count = module.polygons.size();
  std::vector<std::uint8_t> doomed(count, 0);
  bool any = false;
  for (const std::uint32_t p : named) {
    if (p < count) doomed[p] = any = true;
  }
  if (!any) return false;

  // Per vertex: bit 1, a corner of a deleted polygon; bit 2, a corner of a remaining one.
  const std::size_t vertexCount = module.vertices.size();
  std::vector<std::uint8_t> use(vertexCount, 0);
  for (std::size_t p = 0; p < count; ++p) {
    const Polygon& polygon = module.polygons[p];
    const std::uint8_t bit = doomed[p] ? 1 : 2;
    for (int c = 0; c < cornerCount(polygon); ++c) {
      if (polygon.vertexIndex[c] < vertexCount) use[polygon.vertexIndex[c]] |= bit;
    }
  }
  for (std::uint8_t& u : use) u = u == 1;  // now: the vertex goes
  edit.removeFromModule(m, doomed, use);
  return true;
}

}  // namespace

InstanceRef Renumbering::operator()(InstanceRef r) const {
  if (r.module < 0 || static_cast<std::size_t>(r.module) >= module.size() || r.instance < 0)
    return {};
  const std::vector<int>& in = index[r.module];
  if (static_cast<std::size_t>(r.instance) >= in.size() || in[r.instance] < 0) return {};
  return instanceRef(module[r.module], in[r.instance]);
}

Renumbering eraseInstances(Edit& edit, Document& d,
                           const std::vector<std::vector<std::uint8_t>>& doomed) {
  const int modules = d.wldfiles;
  auto marked = [&](int m, std::size_t i) {
    return static_cast<std::size_t>(m) < doomed.size() && i < doomed[m].size() && doomed[m][i];
  };
  std::vector<std::size_t> survivors(modules, 0);
  std::vector<std::uint8_t> touched(modules, 0);
  bool removesModule = false;
  for (int m = 0; m < modules; ++m) {
    for (std::size_t i = 0; i < d.module[m].instances.size(); ++i) {
      if (marked(m, i)) {
        touched[m] = 1;
      } else {
        ++survivors[m];
      }
    }
    removesModule = removesModule || (touched[m] && survivors[m] == 0);
  }
  if (removesModule) edit.document();

  Renumbering r;
  r.module.assign(modules, -1);
  r.index.resize(modules);
  int nextModule = 0;
  for (int m = 0; m < modules; ++m) {
    std::vector<int>& index = r.index[m];
    index.resize(d.module[m].instances.size());
    for (std::size_t i = 0, next = 0; i < index.size(); ++i)
      index[i] = marked(m, i) ? -1 : static_cast<int>(next++);
    if (touched[m]) {
      std::vector<Instance>& list = removesModule ? d.module[m].instances : edit.instances(m);
      std::size_t next = 0;
      for (std::size_t i = 0; i < list.size(); ++i) {
        if (index[i] >= 0) list[next++] = std::move(list[i]);
      }
      list.resize(next);
      if (next == 0) continue;
    }
    r.module[m] = nextModule++;
  }
  if (removesModule) {
    for (int m = 0; m < modules; ++m) {
      if (r.module[m] >= 0 && r.module[m] != m) d.module[r.module[m]] = std::move(d.module[m]);
    }
    for (int m = nextModule; m < modules; ++m) d.module[m] = Module{};
    d.wldfiles = static_cast<std::uint16_t>(nextModule);
  }
  return r;
}

std::optional<Renumbering> eraseGroup(Edit& edit, Document& d, int group, int modules) {
  std::vector<std::vector<std::uint8_t>> doomed(d.wldfiles);
  bool any = false;
  for (int m = 0; m < modules; ++m) {
    const std::vector<Instance>& list = d.module[m].instances;
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (list[i].group != group) continue;
      doomed[m].resize(list.size(), 0);
      doomed[m][i] = any = true;
    }
  }
  if (!any) return std::nullopt;
  return eraseInstances(edit, d, doomed);
}

namespace {

// A delete that leaves no instance current: module 0, nothing current within it.
void resetAfterDelete(Selection& s) {
  s.currentModule = 0;
  s.currentInstance = -1;
  s.currentPolygon = -1;
  s.currentGroup = -1;
}

// The current instance, or the listed ones in list order, each erased with its module when that
// is left empty. After one instance of a group (> 0), the last instance of that group in table
// order becomes current.
bool deleteInstances(Editor& editor, Edit& edit) {
  Model& model = editor.model();
  Document& d = model.document;
  Selection& s = model.selection;
  std::vector<std::vector<std::uint8_t>> doomed(d.wldfiles);
  bool any = false;
  auto mark = [&](InstanceRef r) {
    if (!validInstance(d, r.module, r.instance)) return;
    std::vector<std::uint8_t>& row = doomed[r.module];
    row.resize(d.module[r.module].instances.size(), 0);
    row[r.instance] = any = true;
  };
  const bool listed = !s.selectedInstances.empty();
  int group = 0;
  if (listed) {
    // Each entry names its instance once: the literal walk with its decrements would make a
    // repeated entry name the next instance instead.
    for (const InstanceRef r : s.selectedInstances) mark(r);
  } else {
    // With no current instance, a current connector would be next; the component editor that
    // deletes connectors does not exist yet.
    mark({s.currentModule, s.currentInstance});
    if (any) group = d.module[s.currentModule].instances[s.currentInstance].group;
  }
  if (!any) return false;
  eraseInstances(edit, d, doomed);

  s.selectedInstances.clear();
  InstanceRef follow;
  if (group > 0) {
    for (int m = 0; m < d.wldfiles; ++m) {
      const std::vector<Instance>& list = d.module[m].instances;
      for (std::size_t i = 0; i < std::min(list.size(), addressableInstances); ++i) {
        if (list[i].group == group) follow = instanceRef(m, i);
      }
    }
  }
  if (follow.module >= 0) {
    s.currentModule = follow.module;
    s.currentInstance = follow.instance;
    autoCentre(editor.frame.camera, model);
  } else {
    resetAfterDelete(s);
  }
  return true;
}

// Every instance of the browsed group, from every module; the current instance and the list
// follow what survives.
bool deleteGroup(Edit& edit, Model& model) {
  Document& d = model.document;
  Selection& s = model.selection;
  const std::optional<Renumbering> erased = eraseGroup(edit, d, s.currentGroup, d.wldfiles);
  if (!erased) return false;
  const Renumbering& moved = *erased;
  const InstanceRef current = moved({s.currentModule, s.currentInstance});
  if (current.module >= 0) {
    s.currentModule = current.module;
    s.currentInstance = current.instance;
  } else {
    s.currentInstance = -1;
  }
  std::erase_if(s.selectedInstances, [&](InstanceRef& r) {
    r = moved(r);
    return r.module < 0;
  });
  s.currentGroup = -1;
  return true;
}

}  // namespace

bool deleteSelection(Editor& editor, const Command&) {
  Model& model = editor.model();
  Document& d = model.document;
  Selection& s = model.selection;
  const bool polygonSelection = !s.selectedPolygons.empty() || s.currentPolygon != -1;
  Edit edit(model, editor.history, "Delete");
  if (s.currentGroup < 1 && placesModules(d) && !polygonSelection) {
    if (!deleteInstances(editor, edit)) return false;
  } else if (s.currentGroup < 1) {
    const int m = s.currentModule;
    if (m < 0 || m >= d.wldfiles) return false;
    // The list when there is one, else the current polygon alone.
    const std::uint32_t single[] = {static_cast<std::uint32_t>(s.currentPolygon)};
    const bool listed = !s.selectedPolygons.empty();
    if (!listed && s.currentPolygon < 0) return false;
    if (!deletePolygons(edit, d.module[m], m,
                        listed ? std::span<const std::uint32_t>(s.selectedPolygons) : single))
      return false;
    s.selectedPolygons.clear();
    s.currentPolygon = -1;
  } else {
    // Groups are codes of placed instances: a mesh has none to erase.
    if (!placesModules(d) || !deleteGroup(edit, model)) return false;
  }
  if (s.currentModule > d.wldfiles - 1) s.currentModule = static_cast<std::int16_t>(d.wldfiles - 1);
  edit.report(Change::selection);
  edit.commit();
  return true;
}

bool canDuplicate(const MenuContext& c, const Command&) {
  return c.document &&
         (c.selectedInstances > 0 || (c.instance != nullptr && c.currentPolygon == -1));
}

void addComponentRecord(Edit& edit, Model& model, const Module& module, const Guid& guid) {
  if (module.componentType <= 0 || !isAssembly(model.document)) return;
  Component& record = edit.part(model.document.components, Change::modified).emplace_back();
  record.guid = guid;
  ViewOptions& view = model.settings.view;
  view.systemsView = true;
  if (module.componentType <= systemCount) view.systemShown[module.componentType] = true;
}

namespace {

// A city's browsed group copied whole under the lowest group number no instance uses; the last
// copy becomes current and its group the browsed one.
bool duplicateGroup(Edit& edit, Model& model) {
  Document& d = model.document;
  Selection& s = model.selection;
  std::vector<std::uint8_t> used(addressableInstances, 0);  // group codes 0..32767
  std::vector<std::size_t> copies(d.wldfiles, 0);
  for (int m = 0; m < d.wldfiles; ++m) {
    for (const Instance& t : d.module[m].instances) {
      if (t.group >= 0) used[t.group] = 1;
      if (t.group == s.currentGroup) ++copies[m];
    }
  }
  int group = 0;
  while (group < static_cast<int>(used.size()) && used[group]) ++group;
  if (group == static_cast<int>(used.size())) return false;
  bool any = false;
  for (int m = 0; m < d.wldfiles; ++m) {
    if (copies[m] == 0) continue;
    any = true;
    if (d.module[m].instances.size() + copies[m] > addressableInstances) return false;
  }
  if (!any) return false;
  InstanceRef last;
  for (int m = 0; m < d.wldfiles; ++m) {
    if (copies[m] == 0) continue;
    std::vector<Instance>& list = edit.instances(m);
    const std::size_t count = list.size();
    for (std::size_t i = 0; i < count; ++i) {
      if (list[i].group != s.currentGroup) continue;
      Instance copy = list[i];
      copy.guid = newGuid();
      copy.group = static_cast<std::int16_t>(group);
      list.push_back(copy);
      last = instanceRef(m, list.size() - 1);
    }
  }
  s.currentModule = last.module;
  s.currentInstance = last.instance;
  s.currentGroup = static_cast<std::int16_t>(group);
  return true;
}

// Each named instance copied in place: appended to its module with a new GUID. Stale entries
// are skipped; false when none is left or a copy would land past the addressable indices.
bool duplicateInstances(Edit& edit, Model& model, std::span<InstanceRef> refs) {
  Document& d = model.document;
  std::vector<std::size_t> copies(d.wldfiles, 0);
  bool any = false;
  for (const InstanceRef r : refs) {
    if (!validInstance(d, r.module, r.instance)) continue;
    any = true;
    if (d.module[r.module].instances.size() + ++copies[r.module] > addressableInstances)
      return false;
  }
  if (!any) return false;
  for (InstanceRef& r : refs) {
    if (!validInstance(d, r.module, r.instance)) continue;
    std::vector<Instance>& list = edit.instances(r.module);
    Instance copy = list[r.instance];
    copy.guid = newGuid();
    list.push_back(copy);
    addComponentRecord(edit, model, d.module[r.module], copy.guid);
    r = instanceRef(r.module, list.size() - 1);
  }
  return true;
}

}  // namespace

bool duplicateSelection(Editor& editor, const Command&) {
  Model& model = editor.model();
  Selection& s = model.selection;
  if (!placesModules(model.document)) return false;
  Edit edit(model, editor.history, "Duplicate");
  if (isCity(model.document) && s.currentGroup > 0) {
    if (!duplicateGroup(edit, model)) return false;
  } else if (s.selectedInstances.empty()) {
    InstanceRef current{s.currentModule, s.currentInstance};
    if (!duplicateInstances(edit, model, std::span(&current, 1))) return false;
    s.currentModule = current.module;
    s.currentInstance = current.instance;
  } else {
    if (!duplicateInstances(edit, model, s.selectedInstances)) return false;
  }
  edit.report(Change::selection);
  edit.commit();
  autoCentre(editor.frame.camera, model);
  return true;
}

bool documentTypeIs(const MenuContext& c, const Command& command) {
  return c.assembly && c.model.document.modelId == command.code;
}

bool cityTypeIs(const MenuContext& c, const Command& command) {
  return c.city && c.model.document.modelId == command.code;
}

bool interiorFlagSet(const MenuContext& c, const Command&) {
  return c.assembly && c.model.document.interiorFlag;
}

bool setDocumentType(Editor& editor, const Command& command) {
  Model& model = editor.model();
  if (!placesModules(model.document)) return false;  // a mesh file holds no type code
  Edit edit(model, editor.history, "Set Document Type");
  if (isCity(model.document)) {
    // A city's type decides the area its ground grid spans: the grid is built again.
    const int grid = model.document.wldfiles - 1;
    edit.module(grid);
    edit.part(model.tileRecords, {});
    edit.part(model.document.modelId, Change::modified | Change::menus | Change::title) =
        static_cast<std::int16_t>(command.code);
    buildGroundGrid(model, grid);
  } else {
    // Type codes choose other maps for the same modules: they load again.
    edit.part(model.document.modelId, Change::modified | Change::textures | Change::menus |
                                          Change::title) = static_cast<std::int16_t>(command.code);
  }
  edit.commit();
  return true;
}

bool toggleInteriorFlag(Editor& editor, const Command&) {
  Model& model = editor.model();
  if (!isAssembly(model.document)) return false;
  Edit edit(model, editor.history, "Interior Flag");
  bool& flag =
      edit.part(model.document.interiorFlag, Change::modified | Change::menus | Change::title);
  flag = !flag;
  edit.commit();
  return true;
}

bool swapXYAxes(Editor& editor, const Command&) {
  constexpr float quarterTurn = 1.5707964f;
  Model& model = editor.model();
  Edit edit(model, editor.history, "Swap X and Y Axes");
  bool any = false;
  for (int m = 0; m < model.document.wldfiles; ++m) {
    if (model.document.module[m].instances.empty()) continue;
    any = true;
    for (Instance& t : edit.placements(m)) {
      t.location = {t.location[1], -t.location[0], t.location[2]};
      t.orientation[2] -= quarterTurn;
    }
  }
  if (!any) return false;
  edit.commit();
  return true;
}

bool swapYZAxes(Editor& editor, const Command&) {
  Model& model = editor.model();
  if (model.document.wldfiles == 0) return false;
  Edit edit(model, editor.history, "Swap Y and Z Axes");
  for (int m = 0; m < model.document.wldfiles; ++m) {
    for (Vertex& v : edit.vertices(m)) std::swap(v.y, v.z);
  }
  edit.commit();
  return true;
}

}  // namespace tessarim
