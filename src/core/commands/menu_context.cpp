#include "commands/menu_context.hpp"

#include "editor/editor.hpp"

namespace tessarim {

MenuContext::MenuContext(const Editor& e)
    : editor(e), model(e.model()), view(e.model().settings.view) {
  const Model& m = model;
  const Selection& sel = m.selection;
  n = m.document.wldfiles;
  open = !m.document.documentPath.empty();
  assembly = isAssembly(m.document);
  city = isCity(m.document);
  mesh = !assembly && !city;
  document = assembly || city;
  currentModule = sel.currentModule;
  currentInstance = sel.currentInstance;
  currentPolygon = sel.currentPolygon;
  currentGroup = sel.currentGroup;
  selectedInstances = static_cast<int>(sel.selectedInstances.size());
  if (currentModule >= 0 && currentModule < n) {
    module = &m.document.module[currentModule];
    if (currentInstance >= 0 &&
        static_cast<std::size_t>(currentInstance) < module->instances.size()) {
      instance = &module->instances[currentInstance];
    }
    if (currentPolygon >= 0 && static_cast<std::size_t>(currentPolygon) < module->polygons.size()) {
      polygon = &module->polygons[currentPolygon];
    }
  }
  if (document) {
    modified = m.status.documentModified;
    for (int i = 0; i < n && !modified; ++i) modified = m.document.module[i].modified != 0;
  } else {
    modified = m.document.module[0].modified != 0;
  }
}

}  // namespace tessarim
