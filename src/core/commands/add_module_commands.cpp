#include "commands/add_module_commands.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commands/command_table.hpp"
#include "commands/edit_commands.hpp"
#include "commands/menu_context.hpp"
#include "editing/edit_history.hpp"
#include "editor/editor.hpp"
#include "editor/lifecycle.hpp"
#include "formats/assembly.hpp"
#include "formats/wld.hpp"
#include "maths/matrix.hpp"
#include "model/city_corners.hpp"
#include "model/geometry.hpp"
#include "model/ground_grid.hpp"
#include "model/guid.hpp"
#include "model/scale_class.hpp"
#include "model/text_compare.hpp"
#include "platform/settings_store.hpp"
#include "platform/ui.hpp"
#include "render/camera.hpp"

namespace tessarim {
namespace {

constexpr int importedGroup = 1000;      // what merged instances arrive with
constexpr int firstFreeSearchEnd = 255;  // building numbers 1..254; the search stops here
constexpr double gridCellKilometres = 0.0039;
constexpr double gridUnitsPerKilometre = 256.41028;

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         equalIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

int loadedModuleNamed(const Document& d, std::string_view name) {
  for (int m = 0; m < d.wldfiles; ++m) {
    if (equalIgnoringCase(d.module[m].filename, name)) return m;
  }
  return -1;
}

// The lowest building number from 1 up that no instance outside module `skip` (-1: none) uses;
// with 1..254 all taken the search ends at 255.
int freeBuildingNumber(const Document& d, int skip) {
  std::array<bool, firstFreeSearchEnd> used{};
  for (int m = 0; m < d.wldfiles; ++m) {
    if (m == skip) continue;
    for (const Instance& t : d.module[m].instances) {
      if (t.group >= 1 && t.group < firstFreeSearchEnd) used[t.group] = true;
    }
  }
  int g = 1;
  while (g < firstFreeSearchEnd && used[g]) ++g;
  return g;
}

void informFailed(Ui& ui, std::string_view text) {
  ui.messageBox(text, "Failed!", MessageIcon::information, MessageButtons::ok);
}

// A place carried from a module of class `from` into one of class `to`: it keeps its length in
// kilometres. A side of 1 km per unit (an unassigned class) has no real size; the user is told,
// and the factor takes that side as 1, which it already is.
double carryFactor(Ui& ui, int from, int to, std::string_view fromIssue, std::string_view toIssue) {
  const double kmFrom = unitKilometres(from);
  const double kmTo = unitKilometres(to);
  if (kmFrom == 1) informFailed(ui, fromIssue);
  if (kmTo == 1) informFailed(ui, toIssue);
  return kmFrom / kmTo;
}

void scale(std::array<float, 3>& v, double f) {
  for (float& c : v) c = static_cast<float>(c * f);
}

// A chosen WLD file: a new instance of the module of that name, or a new module.
bool addWld(Editor& editor, const std::string& name) {
  Session& session = editor.session;
  Model& model = session.model;
  Document& d = model.document;
  Selection& s = model.selection;
  const bool city = isCity(d);
  const int group = s.currentGroup;
  const int previous = s.currentModule >= 0 && s.currentModule < d.wldfiles ? s.currentModule : -1;
  const int previousClass = previous >= 0 ? d.module[previous].scaleClass : 0;
  const Instance* current =
      previous >= 0 && s.currentInstance >= 0 &&
              static_cast<std::size_t>(s.currentInstance) < d.module[previous].instances.size()
          ? &d.module[previous].instances[s.currentInstance]
          : nullptr;

  Edit edit(model, editor.history, "Add new module");
  Instance instance;
  int target = loadedModuleNamed(d, name);
  if (target >= 0) {
    if (d.module[target].instances.size() >= addressableInstances) return false;
    if (current != nullptr) {
      instance = *current;
      if (instance.type == 100) instance.type = 0;
    }
    const int targetClass = d.module[target].scaleClass;
    if (previous >= 0 && previousClass != targetClass) {
      scale(instance.location,
            carryFactor(session.ui, previousClass, targetClass, "Scale issue with merge 1!",
                        "Scale issue with merge 2!"));
    }
  } else {
    if (d.wldfiles >= maxModules) {
      informFailed(session.ui, "Adding this new type will exceed the maximum allowable types!");
      edit.report(Change::modified);
      edit.commit();
      return true;
    }
    Module loaded;
    loaded.filename = name;
    // The reader has told the user why a file could not be read; no module is added for it.
    if (loadWldModule(session, loaded, WldReadOptions{false, false, city}) != WldLoad::ok)
      return false;
    loaded.instances.clear();
    if (d.wldfiles > 0 && group != 0 && current != nullptr) instance = *current;

    Document& doc = edit.document();
    // A city's ground grid stays the last module: the new one takes its slot.
    const bool moveGrid = city && doc.wldfiles > 0;
    target = moveGrid ? doc.wldfiles - 1 : doc.wldfiles;
    if (moveGrid) doc.module[doc.wldfiles] = std::move(doc.module[target]);
    doc.module[target] = std::move(loaded);
    ++doc.wldfiles;
    if (moveGrid) {
      edit.part(model.tileRecords, {});
      buildGroundGrid(model, doc.wldfiles - 1);
    }
    const int newClass = doc.module[target].scaleClass;
    if (previous >= 0 && previousClass != newClass) {
      scale(instance.location,
            carryFactor(session.ui, previousClass, newClass, "Scale issue with merge 3!",
                        "Scale issue with merge 4!"));
    }
  }
  instance.guid = newGuid();
  instance.worldMatrix = identityMatrix();

  if (city && group == 0) {
    // A building of its own, standing on the grid's selected cell.
    const int building = freeBuildingNumber(d, target);
    instance.group = static_cast<std::int16_t>(building);
    s.currentGroup = static_cast<std::int16_t>(building);
    const double k = gridCellKilometres / unitKilometres(d.module[target].scaleClass);
    instance.location = {static_cast<float>(k * model.gridCursor.i),
                         static_cast<float>(k * model.gridCursor.j), 0};
  } else if (group < 50 || group > 99) {
    s.currentGroup = -1;
  }

  std::vector<Instance>& list = edit.instances(target);
  list.push_back(instance);
  addComponentRecord(edit, model, d.module[target], instance.guid);
  s.currentModule = static_cast<std::int16_t>(target);
  s.currentInstance = static_cast<std::int16_t>(list.size() - 1);
  s.currentPolygon = -1;
  // A list of instances would make the selection a multiple one again: the new instance is
  // the one current.
  s.selectedInstances.clear();
  edit.report(Change::selection | Change::textures);
  edit.commit();
  computeStatistics(model);
  autoCentre(editor.frame.camera, model);
  return true;
}

// The city position under the grid cursor, in units of 0.0039 km: the city area's corners
// interpolated at the cursor's map position.
CityCorner cursorPosition(const Model& model) {
  const auto [ul, ll, ur, lr] = cityCorners(model.document.modelId, model.document.rtsEnabled);
  const float u = model.gridCursor.u;
  const float v = model.gridCursor.v;
  auto mix = [](float a, float b, float t) { return a + (b - a) * t; };
  const CityCorner upper{mix(ul.x, ur.x, u), mix(ul.y, ur.y, u)};
  const CityCorner lower{mix(ll.x, lr.x, u), mix(ll.y, lr.y, u)};
  return {mix(upper.x, lower.x, v), mix(upper.y, lower.y, v)};
}

// A chosen assembly, merged into the open document. In a city with the grid browsed (group 0)
// its instances become a new building under the grid cursor; they end selected by their group.
bool mergeAsm(Editor& editor, const std::string& hostPath) {
  Session& session = editor.session;
  Model& model = session.model;
  Selection& s = model.selection;
  const bool city = isCity(model.document);
  const int group = s.currentGroup;

  Edit edit(model, editor.history, "Add new module");
  Document& d = edit.document();
  if (city) edit.part(model.tileRecords, {});
  // The reader keeps a city's ground grid last and builds it again after the merge.
  if (!mergeAssembly(session, hostPath)) return false;
  s.currentModule = 0;
  if (city && group == 0) s.currentModule = static_cast<std::int16_t>(d.wldfiles - 2);

  if (city && group == 0) {
    const CityCorner at = cursorPosition(model);
    for (int m = 0; m < d.wldfiles; ++m) {
      const double k = unitKilometres(d.module[m].scaleClass) * gridUnitsPerKilometre;
      const float dx = static_cast<float>(at.x / k);
      const float dy = static_cast<float>(at.y / k);
      for (Instance& t : d.module[m].instances) {
        if (t.group != importedGroup) continue;
        t.location[0] += dx;
        t.location[1] += dy;
        t.endLocation[0] += dx;
        t.endLocation[1] += dy;
      }
    }
    s.currentGroup = static_cast<std::int16_t>(freeBuildingNumber(d, -1));
  } else {
    s.currentGroup = -1;
  }

  // Each imported instance becomes current in turn: the last one is where the view goes.
  const bool regroup = city && s.currentGroup != 0;
  for (int m = 0; m < d.wldfiles; ++m) {
    std::vector<Instance>& list = d.module[m].instances;
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (list[i].group != importedGroup) continue;
      if (regroup) list[i].group = s.currentGroup;
      if (i < addressableInstances) {
        s.currentModule = static_cast<std::int16_t>(m);
        s.currentInstance = static_cast<std::int16_t>(i);
      }
    }
  }
  autoCentre(editor.frame.camera, model);

  s.currentPolygon = -1;
  s.currentInstance = -1;
  s.selectedInstances.clear();
  for (int m = 0; m < d.wldfiles; ++m) {
    const std::vector<Instance>& list = d.module[m].instances;
    for (std::size_t i = 0; i < list.size() && i < addressableInstances; ++i) {
      if (list[i].group == s.currentGroup)
        s.selectedInstances.push_back({static_cast<std::int16_t>(m), static_cast<std::int16_t>(i)});
    }
  }
  if (!s.selectedInstances.empty()) s.currentModule = -2;
  edit.report(Change::selection | Change::textures);
  edit.commit();
  computeStatistics(model);
  return true;
}

}  // namespace

bool addNewModule(Editor& editor, const Command&) {
  Session& session = editor.session;
  if (!placesModules(session.model.document)) return false;
  // Until something was imported, the content lies in the repository.
  std::string start = session.store.readString(mainKey, "Last Import").value_or("");
  if (start.empty()) start = session.repository.host;
  const auto chosen =
      session.ui.openFile(FileFilter{"Supported files (*.wld,*.asm)", "*.WLD;*.ASM"}, start, false);
  if (chosen.empty()) return false;
  const std::string& path = chosen.front();
  session.store.writeString(mainKey, "Last Import", path);
  if (endsWithIgnoringCase(path, ".WLD")) return addWld(editor, relativeName(editor, path));
  return mergeAsm(editor, path);
}

bool refreshFromAsm(Editor& editor, const Command&) {
  Model& model = editor.model();
  Document& d = model.document;
  Selection& s = model.selection;
  if (!placesModules(d) || s.currentGroup == -1) return false;
  // The ground grid is the city's floor, not a building of group 0: it stays.
  const int modules = isCity(d) ? d.wldfiles - 1 : d.wldfiles;
  Edit edit(model, editor.history, "Refresh From ASM");
  const std::optional<Renumbering> erased = eraseGroup(edit, d, s.currentGroup, modules);
  if (!erased) return false;
  const Renumbering& moved = *erased;
  const InstanceRef current = moved({s.currentModule, s.currentInstance});
  if (current.module >= 0) {
    s.currentModule = current.module;
    s.currentInstance = current.instance;
  } else {
    // The current module follows its record when it survives; otherwise the one now in its
    // place, if any.
    const int m = s.currentModule;
    if (m >= 0 && static_cast<std::size_t>(m) < moved.module.size() && moved.module[m] >= 0) {
      s.currentModule = static_cast<std::int16_t>(moved.module[m]);
    } else {
      s.currentPolygon = -1;
    }
    if (s.currentModule > d.wldfiles - 1)
      s.currentModule = static_cast<std::int16_t>(d.wldfiles - 1);
    s.currentInstance = -1;
  }
  std::erase_if(s.selectedInstances, [&](InstanceRef& r) {
    r = moved(r);
    return r.module < 0;
  });
  edit.report(Change::selection);
  edit.commit();
  computeStatistics(model);
  return true;
}

bool canAddModule(const MenuContext& c, const Command&) {
  return c.open && c.document && !(c.city && c.currentGroup == 0 && c.instance == nullptr);
}

bool canRefreshFromAsm(const MenuContext& c, const Command&) {
  return c.currentGroup != -1 && c.single();
}

}  // namespace tessarim
