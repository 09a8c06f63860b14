#include "model/model.hpp"

namespace tessarim {

void resetModule(Model& model, int index) { model.module[index] = Module{}; }

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

void markModified(Model& model, int moduleIndex) { model.module[moduleIndex].modified = 1; }

void markDocumentModified(Model& model) { model.status.documentModified = true; }

}  // namespace tessarim
