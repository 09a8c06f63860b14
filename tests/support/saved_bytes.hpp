#pragma once

#include <string>
#include <vector>

#include "formats/assembly.hpp"
#include "formats/component_file.hpp"
#include "formats/wld.hpp"
#include "model/model.hpp"

namespace tessarim::testing {

// What a save of the open document would write: each mesh, and for an assembly or city the
// document and its component file.
struct SavedBytes {
  std::vector<std::string> wld;
  std::string assembly, components;
  friend bool operator==(const SavedBytes&, const SavedBytes&) = default;
};

inline SavedBytes savedBytes(Model& model) {
  SavedBytes s;
  for (int i = 0; i < model.document.wldfiles; ++i)
    s.wld.push_back(formatWld(model.document.module[i]));
  if (placesModules(model.document)) {
    s.assembly = formatAssembly(model, false).bytes;
    s.components = formatComponents(model);
  }
  return s;
}

inline void selectInstance(Model& model, int currentModule, int currentInstance) {
  model.selection.currentModule = static_cast<std::int16_t>(currentModule);
  model.selection.currentInstance = static_cast<std::int16_t>(currentInstance);
}

}  // namespace tessarim::testing
