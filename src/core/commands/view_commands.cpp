#include "commands/view_commands.hpp"

#include "commands/command_table.hpp"
#include "commands/menu_context.hpp"
#include "editor/editor.hpp"
#include "model/model.hpp"

namespace tessarim {

bool flipViewOption(Editor& editor, const Command& command) {
  bool& option = editor.view().*command.viewOption;
  option = !option;
  return true;
}

bool viewOptionOn(const MenuContext& c, const Command& command) {
  return c.view.*command.viewOption;
}

bool systemsViewOff(const MenuContext& c, const Command&) {
  return !c.view.systemsView;
}

bool lightingSlidersOn(const MenuContext& c, const Command&) {
  return c.view.lightingSliders;
}

bool sliderOptionOn(const MenuContext& c, const Command& command) {
  return c.view.lightingSliders && c.view.*command.viewOption;
}

namespace {

bool& flattenFlag(Settings& s, int axis) {
  return axis == 0 ? s.flattenX : axis == 1 ? s.flattenY : s.flattenZ;
}

}  // namespace

bool flipFlatten(Editor& editor, const Command& command) {
  bool& flag = flattenFlag(editor.model().settings, command.code);
  flag = !flag;
  return true;
}

bool flattenIs(const MenuContext& c, const Command& command) {
  const Settings& s = c.model.settings;
  return command.code == 0 ? s.flattenX : command.code == 1 ? s.flattenY : s.flattenZ;
}

bool flipSudoSu(Editor& editor, const Command&) {
  editor.model().settings.sudoSu = !editor.model().settings.sudoSu;
  return true;
}

bool sudoSuOn(const MenuContext& c, const Command&) {
  return c.model.settings.sudoSu;
}

bool toggleTexelView(Editor& editor, const Command&) {
  ViewOptions& v = editor.view();
  v.texelView = !v.texelView;
  v.slidersHidden = v.texelView || v.systemsView;
  noteChanges(editor.model(), Change::geometry);
  return true;
}

bool canShowTexels(const MenuContext& c, const Command&) {
  return c.instance != nullptr && c.selectedInstances == 0 && !c.module->maps[textfile].empty() &&
         !(c.city && c.currentModule == c.n - 1);
}

bool stepTexelMap(Editor& editor, const Command&) {
  ViewOptions& v = editor.view();
  v.texelMapIndex = static_cast<std::uint8_t>((v.texelMapIndex + 1) % 8);
  // The texel view's vertices carry the overlay texels for map 4, so they are rebuilt.
  noteChanges(editor.model(), Change::geometry);
  return true;
}

bool texelViewOn(const MenuContext& c, const Command&) {
  return c.view.texelView;
}

bool toggleProductionLighting(Editor& editor, const Command&) {
  ViewOptions& v = editor.view();
  v.productionLighting = !v.productionLighting;
  if (v.productionLighting) v.lightingSliders = true;
  return true;
}

bool toggleOtherDestructable(Editor& editor, const Command&) {
  ViewOptions& v = editor.view();
  v.otherDestructable = !v.otherDestructable;
  if (!v.otherDestructable) v.exteriorPlates = false;
  return true;
}

bool toggleMipFiltering(Editor& editor, const Command&) {
  ViewOptions& v = editor.view();
  v.mipFiltering = !v.mipFiltering;
  if (!v.mipFiltering) {
    v.releaseTextures = true;
    noteChanges(editor.model(), Change::textures);
  }
  return true;
}

bool refreshGeometry(Editor& editor, const Command&) {
  noteChanges(editor.model(), Change::geometry);
  return true;
}

bool setAllModules(Editor& editor, const Command& command) {
  editor.view().allModules = command.code != 0;
  return true;
}

bool allModulesIs(const MenuContext& c, const Command& command) {
  return c.view.allModules == (command.code != 0);
}

bool setPeopleDisplay(Editor& editor, const Command& command) {
  editor.view().peopleDisplay[command.slot] = static_cast<std::int16_t>(command.code);
  return true;
}

bool peopleDisplayIs(const MenuContext& c, const Command& command) {
  return c.view.peopleDisplay[command.slot] == command.code;
}

bool showNoSystems(Editor& editor, const Command&) {
  ViewOptions& v = editor.view();
  v.systemShown = {};
  v.systemsView = false;
  // The flags the menu refresh parked when the overlay came on are given back.
  MenuRefreshState& menu = editor.menu;
  if (menu.systemsViewParked) {
    v.lightingSliders = menu.parkedLightingSliders;
    v.backfaceCulling = menu.parkedBackfaceCulling;
    menu.systemsViewParked = false;
  }
  v.slidersHidden = v.texelView;
  return true;
}

bool showAllSystems(Editor& editor, const Command&) {
  ViewOptions& v = editor.view();
  v.systemsView = true;
  for (int s = 1; s <= systemCount; ++s) v.systemShown[s] = true;
  return true;
}

bool toggleSystem(Editor& editor, const Command& command) {
  ViewOptions& v = editor.view();
  v.systemsView = true;
  v.systemShown[command.code] = !v.systemShown[command.code];
  return true;
}

bool systemShownIs(const MenuContext& c, const Command& command) {
  return c.view.systemShown[command.code];
}

bool toggleShowOnly(Editor& editor, const Command&) {
  ViewOptions& v = editor.view();
  v.systemsView = true;
  v.systemsShowOnly = !v.systemsShowOnly;
  if (v.systemsShowOnly && editor.model().selection.currentGroup == 0) {
    for (int s = 1; s <= systemCount; ++s) v.systemShown[s] = true;
  }
  return true;
}
}  // namespace tessarim
