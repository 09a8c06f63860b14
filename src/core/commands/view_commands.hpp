#pragma once

namespace tessarim {

struct Editor;
struct Command;
struct MenuContext;

// VIEW, LIGHTS, GROUP, RTSPS, SYSTEMS and HELP items that only flip or set a view or editing
// option.
bool flipViewOption(Editor& editor, const Command& command);  // the row's viewOption
bool viewOptionOn(const MenuContext& context, const Command& command);
bool flipFlatten(Editor& editor, const Command& command);  // code: 0 X, 1 Y, 2 Z
bool flattenIs(const MenuContext& context, const Command& command);
bool flipSudoSu(Editor& editor, const Command& command);
bool sudoSuOn(const MenuContext& context, const Command& command);
bool toggleTexelView(Editor& editor, const Command& command);
bool stepTexelMap(Editor& editor, const Command& command);
bool toggleProductionLighting(Editor& editor, const Command& command);
bool toggleOtherDestructable(Editor& editor, const Command& command);
bool toggleMipFiltering(Editor& editor, const Command& command);
bool refreshGeometry(Editor& editor, const Command& command);
bool setAllModules(Editor& editor, const Command& command);     // code 1 all, 0 current only
bool setPeopleDisplay(Editor& editor, const Command& command);  // slot and code
bool showNoSystems(Editor& editor, const Command& command);
bool showAllSystems(Editor& editor, const Command& command);
bool toggleSystem(Editor& editor, const Command& command);  // code: system 1..11
bool toggleShowOnly(Editor& editor, const Command& command);

// When its items are enabled and checked.
bool canShowTexels(const MenuContext& context, const Command& command);
bool texelViewOn(const MenuContext& context, const Command& command);
bool systemsViewOff(const MenuContext& context, const Command& command);
bool lightingSlidersOn(const MenuContext& context, const Command& command);
bool sliderOptionOn(const MenuContext& context, const Command& command);
bool peopleDisplayIs(const MenuContext& context, const Command& command);
bool systemShownIs(const MenuContext& context, const Command& command);
bool allModulesIs(const MenuContext& context, const Command& command);

}  // namespace tessarim
