#pragma once

// What every command's enabled and checked rules read: the editor, with the selection and
// document facts taken once per menu refresh.

#include "model/model.hpp"

namespace tessarim {

struct Editor;
struct Command;

struct MenuContext {
  const Editor& editor;
  const Model& model;
  const ViewOptions& view;
  int n = 0;  // loaded modules
  bool open = false, assembly = false, city = false, mesh = false, document = false;
  int currentModule = -1, currentInstance = -1, currentPolygon = -1, currentGroup = -1;
  int selectedInstances = 0;
  const Module* module = nullptr;      // the single current module
  const Instance* instance = nullptr;  // its current instance
  const Polygon* polygon = nullptr;    // its current polygon
  bool modified = false;               // the document, or the single mesh, differs from its files

  explicit MenuContext(const Editor& editor);

  bool single() const { return module != nullptr; }
  bool hasPolygons() const { return module != nullptr && !module->polygons.empty(); }
  bool animating() const { return view.animationSlot != -1; }
};

// A row's enabled or checked rule.
using CommandRule = bool (*)(const MenuContext& context, const Command& command);

// Rules of the document's shape that items of many menus share.
inline bool documentOpen(const MenuContext& c, const Command&) {
  return c.open;
}
inline bool assemblyOpen(const MenuContext& c, const Command&) {
  return c.assembly;
}
inline bool cityOpen(const MenuContext& c, const Command&) {
  return c.city;
}
inline bool assemblyOrCityOpen(const MenuContext& c, const Command&) {
  return c.document;
}
inline bool anyModules(const MenuContext& c, const Command&) {
  return c.n > 0;
}
inline bool singleModule(const MenuContext& c, const Command&) {
  return c.single();
}
// A module or a multi-instance selection is current.
inline bool anyModule(const MenuContext& c, const Command&) {
  return c.currentModule != -1;
}

}  // namespace tessarim
