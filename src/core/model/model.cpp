#include "model/model.hpp"

#include <algorithm>

namespace tessarim {

void resetModule(Model& model, int index) {
  model.module[index] = Module{};
}

void clearMaps(Model& model, int index) {
  for (auto& name : model.module[index].maps) name.clear();
}

int findModuleByName(const Model& model, std::string_view name) {
  for (int i = 0; i < model.wldfiles; ++i) {
    if (model.module[i].filename == name) return i;
  }
  return -1;
}

void addInstance(Model& model, int moduleIndex, const Instance& instance) {
  model.module[moduleIndex].instances.push_back(instance);
}

void markModified(Model& model, int moduleIndex) {
  model.module[moduleIndex].modified = 1;
}

void markDocumentModified(Model& model) {
  model.status.documentModified = true;
}

void clearDocument(Model& model) {
  for (int i = 0; i < model.wldfiles; ++i) resetModule(model, i);
  model.wldfiles = 0;
  model.lightCount = 0;
  model.lights = {};
  model.connectors.clear();
  model.components.clear();
  model.schemeFile.clear();
  model.schemeColours = {};
  model.animationSlots = {};
  for (auto& name : model.buildingNames) name.clear();
  model.rtspsGrid = {};
  model.streetNodes.nodes.clear();
  model.streetNodes.selectedNode = -1;
  model.tileRecords.clear();
  model.settings.asmfile = false;
  model.settings.ctyfile = false;
  model.settings.rtsEnabled = false;
  model.settings.emptyWeight = 0;
  model.settings.modelId = 0;
  model.settings.interiorFlag = false;
  model.settings.documentPath.clear();
  model.selection = Selection{};
  model.status.documentModified = false;
  model.status.droppedOnLoad.clear();
  model.status.documentTime = 0;
  model.status.geometryDirty = true;
}

std::vector<InstanceRef> selectedInstanceRefs(const Model& model) {
  const Selection& s = model.selection;
  std::vector<InstanceRef> refs;
  auto valid = [&](InstanceRef r) {
    return r.module >= 0 && r.module < model.wldfiles && r.instance >= 0 &&
           static_cast<std::size_t>(r.instance) < model.module[r.module].instances.size();
  };
  if (s.currentModule == -2 || s.selectedInstanceCount > 0) {
    const int count = std::min<int>(s.selectedInstanceCount, maxSelectedInstances);
    for (int i = 0; i < count; ++i) {
      if (valid(s.selectedInstances[i])) refs.push_back(s.selectedInstances[i]);
    }
  } else if (valid(InstanceRef{s.currentModule, s.currentInstance})) {
    refs.push_back({s.currentModule, s.currentInstance});
  }
  return refs;
}

}  // namespace tessarim
