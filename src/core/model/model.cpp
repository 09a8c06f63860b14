#include "model/model.hpp"

#include <algorithm>

namespace tessarim {

void resetModule(Model& model, int index) {
  model.document.module[index] = Module{};
}

void clearMaps(Model& model, int index) {
  for (auto& name : model.document.module[index].maps) name.clear();
}

int findModuleByName(const Model& model, std::string_view name) {
  for (int i = 0; i < model.document.wldfiles; ++i) {
    if (model.document.module[i].filename == name) return i;
  }
  return -1;
}

void addInstance(Model& model, int moduleIndex, const Instance& instance) {
  model.document.module[moduleIndex].instances.push_back(instance);
}

void repairSelection(Model& model) {
  Selection& s = model.selection;
  if (model.settings.view.texelView && s.selectedInstances.size() > 1) {
    const InstanceRef first = s.selectedInstances[0];
    s.selectedInstances.clear();
    s.currentModule = first.module;
    s.currentInstance = first.instance;
  }
  if (!placesModules(model.document)) s.currentModule = 0;
  if (!s.selectedInstances.empty()) s.currentModule = -2;
  if (s.currentModule >= 0 && s.currentPolygon >= 0 &&
      static_cast<std::size_t>(s.currentPolygon) >=
          model.document.module[s.currentModule].polygons.size()) {
    s.currentPolygon = -1;
  }
}

void noteChanges(Model& model, Changes changes) {
  if (changes.has(Change::geometry)) model.status.geometryDirty = true;
  if (changes.has(Change::textures)) model.status.texturesLoaded = false;
  model.status.pending |= changes;
}

void clearDocument(Model& model) {
  model.document = Document{};
  model.tileRecords.clear();
  model.selection = Selection{};
  model.status.documentModified = false;
  model.status.droppedOnLoad.clear();
  model.status.readShort.clear();
  model.status.documentTime = 0;
  noteChanges(model, Change::geometry | Change::selection | Change::title | Change::menus);
}

void noteReadShort(Model& model, std::string_view name, std::string detail) {
  forgetReadShort(model, name);
  model.status.readShort.push_back({std::string{name}, std::move(detail)});
}

void forgetReadShort(Model& model, std::string_view name) {
  std::erase_if(model.status.readShort, [&](const ShortFile& f) { return f.name == name; });
}

std::vector<std::string> contentLostOnLoad(const Model& model) {
  std::vector<std::string> lines = model.status.droppedOnLoad;
  const Document& d = model.document;
  for (const ShortFile& f : model.status.readShort) {
    // A note outlives a module that left the document: only the files a save would write count.
    if (f.name == d.documentPath || findModuleByName(model, f.name) >= 0)
      lines.push_back(f.name + ": " + f.detail);
  }
  return lines;
}

std::vector<InstanceRef> selectedInstanceRefs(const Model& model) {
  const Selection& s = model.selection;
  std::vector<InstanceRef> refs;
  auto valid = [&](InstanceRef r) {
    return r.module >= 0 && r.module < model.document.wldfiles && r.instance >= 0 &&
           static_cast<std::size_t>(r.instance) < model.document.module[r.module].instances.size();
  };
  if (s.currentModule == -2 || !s.selectedInstances.empty()) {
    for (const InstanceRef r : s.selectedInstances) {
      if (valid(r)) refs.push_back(r);
    }
  } else if (valid(InstanceRef{s.currentModule, s.currentInstance})) {
    refs.push_back({s.currentModule, s.currentInstance});
  }
  return refs;
}

}  // namespace tessarim
