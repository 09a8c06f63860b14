#include "commands/polygon_commands.hpp"

#include "commands/command_table.hpp"
#include "commands/menu_context.hpp"
#include "editor/polygon_entry.hpp"

namespace tessarim {

bool canAddPolygon(const MenuContext& c, const Command&) {
  return c.open && (c.mesh || c.single());
}

bool polygonChosen(const MenuContext& c, const Command&) {
  return c.currentPolygon >= 0;
}

bool addPolygon(Editor& editor, const Command&) {
  return startPolygonAdd(editor);
}

bool changePolygon(Editor& editor, const Command&) {
  return startPolygonChange(editor);
}

bool canColorize(const MenuContext& c, const Command&) {
  return c.currentModule == -2 || c.hasPolygons();
}

bool canBackface(const MenuContext& c, const Command&) {
  return !(c.city && c.currentGroup == 0) && !(c.currentPolygon >= 0 && !c.hasPolygons());
}

bool canSplit(const MenuContext& c, const Command&) {
  return c.polygon != nullptr && c.polygon->sides == 4;
}

bool canGenerateTexels(const MenuContext& c, const Command&) {
  return c.hasPolygons() && c.module->scaleClass > 0;
}

bool shadingIs(const MenuContext& c, const Command& command) {
  return c.polygon != nullptr && (c.polygon->smooth != 0) == (command.code != 0);
}

}  // namespace tessarim
