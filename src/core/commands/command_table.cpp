#include "commands/command_table.hpp"

#include <algorithm>
#include <array>

#include "commands/camera_commands.hpp"
#include "commands/city_commands.hpp"
#include "commands/colour_commands.hpp"
#include "commands/edit_commands.hpp"
#include "commands/export_commands.hpp"
#include "commands/file_commands.hpp"
#include "commands/instance_commands.hpp"
#include "commands/light_commands.hpp"
#include "commands/macro_commands.hpp"
#include "commands/menu_content.hpp"
#include "commands/module_commands.hpp"
#include "commands/motion_commands.hpp"
#include "commands/polygon_commands.hpp"
#include "commands/repository_commands.hpp"
#include "commands/view_commands.hpp"
#include "editor/editor.hpp"
#include "equipment/motion.hpp"
#include "model/records.hpp"
#include "model/view_options.hpp"

namespace tessarim {
namespace {

// A key as the menus print it: modifiers "Ctrl+", "Shift+", "Alt+" (in any order) and a key
// name. An unknown name throws, which stops the table from compiling.
constexpr KeyBinding parseKey(std::string_view text) {
  KeyBinding b;
  for (;;) {
    if (text.starts_with("Ctrl+")) {
      b.modifiers = static_cast<std::uint8_t>(b.modifiers | ctrl);
      text.remove_prefix(5);
    } else if (text.starts_with("Shift+")) {
      b.modifiers = static_cast<std::uint8_t>(b.modifiers | shift);
      text.remove_prefix(6);
    } else if (text.starts_with("Alt+")) {
      b.modifiers = static_cast<std::uint8_t>(b.modifiers | alt);
      text.remove_prefix(4);
    } else {
      break;
    }
  }
  if (text.size() == 1 && text[0] >= 'A' && text[0] <= 'Z') {
    b.key = static_cast<Key>(static_cast<int>(Key::a) + (text[0] - 'A'));
  } else if (text.size() >= 2 && text.size() <= 3 && text[0] == 'F') {
    int n = 0;
    for (char c : text.substr(1)) {
      if (c < '0' || c > '9') throw "not a key";
      n = n * 10 + (c - '0');
    }
    if (n < 1 || n > 12) throw "not a key";
    b.key = static_cast<Key>(static_cast<int>(Key::f1) + n - 1);
  } else if (text == "Ins") {
    b.key = Key::insert;
  } else if (text == "Del") {
    b.key = Key::del;
  } else if (text == "Space") {
    b.key = Key::space;
  } else if (text == "Num *") {
    b.key = Key::numMultiply;
  } else if (text == "Num /") {
    b.key = Key::numDivide;
  } else {
    throw "not a key";
  }
  return b;
}

// A row under construction; each call reads like a column of the command list.
struct Row : Command {
  constexpr Row(int n, std::string_view text, std::string_view path) {
    number = static_cast<std::uint16_t>(n);
    label = text;
    menuPath = path;
  }
  // The key binding, also shown as the hint.
  constexpr Row&& key(std::string_view text) && {
    hint = text;
    keys[0] = parseKey(text);
    return std::move(*this);
  }
  constexpr Row&& alsoKey(std::string_view text) && {
    keys[1] = parseKey(text);
    return std::move(*this);
  }
  constexpr Row&& typed(char32_t c, std::string_view text) && {
    hint = text;
    keys[0].character = c;
    return std::move(*this);
  }
  // A hint that is not a binding.
  constexpr Row&& shows(std::string_view text) && {
    hint = text;
    return std::move(*this);
  }
  constexpr Row&& run(CommandHandler h) && {
    handler = h;
    return std::move(*this);
  }
  constexpr Row&& value(int c) && {
    code = c;
    return std::move(*this);
  }
  constexpr Row&& when(CommandRule rule) && {
    enabled = rule;
    return std::move(*this);
  }
  constexpr Row&& checks(CommandRule rule) && {
    checked = rule;
    checkable = true;
    return std::move(*this);
  }
  // Flips a view option; the row's check mark, if any, is set apart.
  constexpr Row&& flips(bool ViewOptions::*option) && {
    handler = flipViewOption;
    viewOption = option;
    return std::move(*this);
  }
  constexpr Row&& inSlot(int s) && {
    slot = static_cast<std::int8_t>(s);
    return std::move(*this);
  }
  constexpr Row&& greyedOut() && {
    greyed = true;
    return std::move(*this);
  }
};

constexpr Row item(int n, std::string_view label, std::string_view path) {
  return Row{n, label, path};
}

constexpr Command separator(std::string_view path) {
  Command c;
  c.menuPath = path;
  c.separator = true;
  return c;
}

// A plain view option: the item flips it and its check mark shows it.
constexpr Row toggle(int n, std::string_view label, std::string_view path,
                     bool ViewOptions::*option) {
  return Row{n, label, path}.flips(option).checks(viewOptionOn);
}
constexpr Row colour(int n, std::string_view label, std::string_view path, ViewColour c) {
  return Row{n, label, path}.run(chooseViewColour).value(static_cast<int>(c));
}
constexpr Row family(int n, std::string_view label, std::string_view path, CommandRule c,
                     int code) {
  return Row{n, label, path}.value(code).checks(c);
}
constexpr Row typeItem(int n, std::string_view label, std::string_view path, int code) {
  return family(n, label, path, instanceTypeIs, code);
}
constexpr Row groupItem(int n, std::string_view label, std::string_view path, int code) {
  return family(n, label, path, groupIs, code);
}
// People packages: "Assign" sets the instance's group (and the slot's display value), "Display"
// and "Show None" only the display value.
constexpr Row assignItem(int n, std::string_view label, std::string_view path, int code) {
  return family(n, label, path, instanceGroupIs, code);
}
constexpr Row displayItem(int n, std::string_view label, std::string_view path, int slot,
                          int code) {
  return family(n, label, path, peopleDisplayIs, code).inSlot(slot).run(setPeopleDisplay);
}
constexpr Row mapAssign(int n, std::string_view path, int slot) {
  return item(n, "&Assign Texture...", path)
      .value(slot)
      .when(slot == controlfile ? canAssignControlMap : canAssignMap);
}
constexpr Row mapUnassign(int n, std::string_view path, int slot) {
  return item(n, "&Unassign Texture", path).value(slot).when(mapAssigned);
}

using V = ViewColour;

constexpr std::string_view file = "&FILE";
constexpr std::string_view fileImport = "&FILE|&Import";
constexpr std::string_view fileExport = "&FILE|Expor&t";
constexpr std::string_view edit = "&EDIT";
constexpr std::string_view editType = "&EDIT|Type";
constexpr std::string_view editPods = "&EDIT|Type|PODS";
constexpr std::string_view view = "&VIEW";
constexpr std::string_view viewMotion = "&VIEW|&Motion/Installed Groups";
constexpr std::string_view viewSliders = "&VIEW|Sliders";
constexpr std::string_view viewModules = "&VIEW|Mo&dules";
constexpr std::string_view viewFlatten = "&VIEW|Flatten";
constexpr std::string_view viewPeople = "&VIEW|People";
constexpr std::string_view viewVehicles = "&VIEW|Vehicles";
constexpr std::string_view polygon = "&POLYGON";
constexpr std::string_view polygonColor = "&POLYGON|Co&lor";
constexpr std::string_view polygonMasking = "&POLYGON|Co&lor|Masking";
constexpr std::string_view polygonShading = "&POLYGON|&Shading";
constexpr std::string_view polygonTexel = "&POLYGON|Texel";
constexpr std::string_view module = "&MODULE";
constexpr std::string_view moduleScale = "&MODULE|Assign &Scale";
constexpr std::string_view texture = "&MODULE|&Texture";
constexpr std::string_view textureMatch = "&MODULE|&Texture|Match &Textures";
constexpr std::string_view baseMap = "&MODULE|&Texture|&Base Map";
constexpr std::string_view overlayMap = "&MODULE|&Texture|&Overlay Map";
constexpr std::string_view lightMap = "&MODULE|&Texture|&Light Map";
constexpr std::string_view reflectivityMap = "&MODULE|&Texture|&Reflectivity Map";
constexpr std::string_view heightMap = "&MODULE|&Texture|&Height Map";
constexpr std::string_view grimeMap = "&MODULE|&Texture|&Grime Map";
constexpr std::string_view visibilityMap = "&MODULE|&Texture|&Visibility Map";
constexpr std::string_view detailMap = "&MODULE|&Texture|&Detail Map";
constexpr std::string_view controlMap = "&MODULE|&Texture|Detail &Control Map";
constexpr std::string_view instance = "&INSTANCE";
constexpr std::string_view colourKey = "&INSTANCE|Color Key";
constexpr std::string_view airfoil64 = "&INSTANCE|Airfoil|64A410";
constexpr std::string_view airfoil63 = "&INSTANCE|Airfoil|63A010";
constexpr std::string_view engine1 = "&INSTANCE|Engine|Engine 1";
constexpr std::string_view engine1Accelerate = "&INSTANCE|Engine|Engine 1|Accelerate";
constexpr std::string_view engine1Decelerate = "&INSTANCE|Engine|Engine 1|Decelerate";
constexpr std::string_view engine2 = "&INSTANCE|Engine|Engine 2";
constexpr std::string_view engine2Accelerate = "&INSTANCE|Engine|Engine 2|Accelerate";
constexpr std::string_view engine2Decelerate = "&INSTANCE|Engine|Engine 2|Decelerate";
constexpr std::string_view engine3 = "&INSTANCE|Engine|Engine 3";
constexpr std::string_view engine3Accelerate = "&INSTANCE|Engine|Engine 3|Accelerate";
constexpr std::string_view engine3Decelerate = "&INSTANCE|Engine|Engine 3|Decelerate";
constexpr std::string_view flightControl = "&INSTANCE|Flight Control";
constexpr std::string_view interior = "&INSTANCE|Interior";
constexpr std::string_view interiorTransparency = "&INSTANCE|Interior|Transparency";
constexpr std::string_view interiorDisplays = "&INSTANCE|Interior|Displays";
constexpr std::string_view interiorControls = "&INSTANCE|Interior|Vehicle Controls";
constexpr std::string_view interiorStandIns = "&INSTANCE|Interior|Stand-ins";
constexpr std::string_view landingGear = "&INSTANCE|Landing Gear";
constexpr std::string_view weapons = "&INSTANCE|Weapons";
constexpr std::string_view peopleParts = "&INSTANCE|People Parts";
constexpr std::string_view upperArm = "&INSTANCE|People Parts|Arms|Upper";
constexpr std::string_view forearm = "&INSTANCE|People Parts|Arms|Forearm";
constexpr std::string_view hand = "&INSTANCE|People Parts|Arms|Hand";
constexpr std::string_view thigh = "&INSTANCE|People Parts|Legs|Thigh";
constexpr std::string_view shin = "&INSTANCE|People Parts|Legs|Shin";
constexpr std::string_view foot = "&INSTANCE|People Parts|Legs|Foot";
constexpr std::string_view buildings = "&INSTANCE|Building Types";
constexpr std::string_view miningSpecific = "&INSTANCE|Building Types|Mining Specific";
constexpr std::string_view farmSpecific = "&INSTANCE|Building Types|Farm Specific";
constexpr std::string_view townshipSpecific = "&INSTANCE|Building Types|Township Specific";
constexpr std::string_view airfieldSpecific = "&INSTANCE|Building Types|Airfield Specific";
constexpr std::string_view salvageSpecific = "&INSTANCE|Building Types|Salvage Specific";
constexpr std::string_view placeholder = "&INSTANCE|Building Types|Skip for Placeholder";
constexpr std::string_view advertising = "&INSTANCE|Advertising";
constexpr std::string_view dockSpecific = "&INSTANCE|Dock Specific";
constexpr std::string_view group = "&GROUP";
constexpr std::string_view inertial = "&GROUP|Inertial Groups";
constexpr std::string_view vehiclePackages = "&GROUP|Vehicle Packages";
constexpr std::string_view people = "&GROUP|People Packages";
constexpr std::string_view headEyes = "&GROUP|People Packages|Head/Eyes";
constexpr std::string_view hair = "&GROUP|People Packages|Hair Overlay";
constexpr std::string_view nose = "&GROUP|People Packages|Nose Overlay";
constexpr std::string_view ear = "&GROUP|People Packages|Ear Overlay";
constexpr std::string_view jawLines = "&GROUP|People Packages|Jaw Lines";
constexpr std::string_view jawOverlay = "&GROUP|People Packages|Jaw Overlay";
constexpr std::string_view shirts = "&GROUP|People Packages|Shirts";
constexpr std::string_view pants = "&GROUP|People Packages|Pants";
constexpr std::string_view shoes = "&GROUP|People Packages|Shoes";
constexpr std::string_view frames = "&GROUP|People Packages|Accessories|Frames";
constexpr std::string_view sunglasses = "&GROUP|People Packages|Accessories|Sunglasses";
constexpr std::string_view spacesuit = "&GROUP|People Packages|Spacesuit";
constexpr std::string_view motion = "M&OTION";
constexpr std::string_view skeleton = "M&OTION|Skeleton";
constexpr std::string_view agility = "M&OTION|Agility";
constexpr std::string_view animation = "M&OTION|&Animation";
constexpr std::string_view sitting = "M&OTION|&Animation|Sitting";
constexpr std::string_view lights = "&LIGHTS";
constexpr std::string_view rtsps = "&RTSPS";
constexpr std::string_view contactSheets = "&RTSPS|Contact Sheets";
constexpr std::string_view parking = "&RTSPS|Parking Legality";
constexpr std::string_view nodeMode = "&RTSPS|RTS Node Edit mode";
constexpr std::string_view nodeFlags = "&RTSPS|RTS Node Flags";
constexpr std::string_view systems = "&SYSTEMS";
constexpr std::string_view repository = "&REPOSITORY";
constexpr std::string_view repositoryDelete = "&REPOSITORY|&Delete";
constexpr std::string_view repositoryRename = "&REPOSITORY|Rename";
constexpr std::string_view repositoryMove = "&REPOSITORY|Move";
constexpr std::string_view macro = "M&ACRO";
constexpr std::string_view help = "&HELP";
constexpr std::string_view keyOnly = "";

// Keys whose numbers have neither a handler nor a menu item: they issue a number and nothing
// happens. The numbers are unused ones just above Exit, chosen here.
constexpr int unboundF2 = 40007;
constexpr int unboundCtrlF11 = 40008;
constexpr int unboundCtrlShiftS = 40009;
constexpr int unboundShiftA = 40010;
constexpr int unboundShiftD = 40011;
constexpr int unboundShiftW = 40012;
constexpr int unboundShiftX = 40013;

constexpr auto endSnap = static_cast<int>(EndMode::snapToZero);
constexpr auto endReverse = static_cast<int>(EndMode::reverse);

// clang-format off
constexpr Command rows[] = {
    // FILE
    item(40017, "&New...", file).key("Ctrl+N").run(newDocument),
    item(40015, "&Open...", file).key("Ctrl+O").run(openDocument),
    item(40016, "&Close", file).key("Ctrl+F4").run(closeDocument).when(documentOpen),
    item(40018, "&Save", file).key("Ctrl+S").run(saveDocument).when(somethingModified),
    item(40025, "Save &As...", file).key("F12").run(saveDocumentAs).when(documentOpen),
    separator(file),
    item(40021, "&DAW or DAW/DIX set...", fileImport).greyedOut(),
    item(40077, "A&SE file...", fileImport).when(canImportAse),
    item(41211, "Wavefront OBJ file...", fileImport).when(canImportObj),
    item(40022, "&Texture Alignment", fileExport).when(moduleHasPolygons),
    item(40194, "Floor/Depth Maps", fileExport).when(cityOpen),
    item(40717, "&RTS Contact Sheet", fileExport).when(canExportContactSheet),
    item(41020, "DD&S set", fileExport).greyedOut(),
    separator(fileExport),
    item(40170, "&WLD file...", fileExport).when(canExportWld),
    item(40698, "&ASM file...", fileExport).when(canExportAsm),
    item(41262, "Wavefront OBJ...", fileExport),
    item(40076, "&DAW or DAW/DIX set", fileExport).run(exportRuntimeSetCommand).when(anyModules),
    item(41210, "Nameplate.png", fileExport),
    separator(file),
    item(40023, "&Properties", file).key("Shift+I").when(documentOpen),
    separator(file),
    item(40127, "&Windtunnel", file).key("F9").when(assemblyOpen),
    item(40144, "I&nertial Moments", file).key("F10").when(canComputeInertialMoments),
    item(41298, "&Volumetrics", file).key("F11").when(anyModule),
    // The recent-file submenus go in here, before the last two entries.
    separator(file),
    // Alt+F4 is Extrude's key; the hint stays as the menu has always printed it.
    item(40006, "E&xit", file).shows("Alt+F4").run(exitProgram),

    // EDIT
    item(40020, "&Undo", edit).key("Ctrl+Z").run(undoChanges).when(somethingModified),
    separator(edit),
    item(40024, "&Delete", edit).key("Del").when(canDelete),
    item(40225, "Select All", edit).key("Ctrl+A").when(anyModules),
    item(41374, "&Invert Selection", edit),
    separator(edit),
    item(40092, "&Modifiers...", edit).key("Shift+M").when(canApplyModifiers),
    item(40997, "&Swap X and Y Axes", edit),
    item(41376, "Swap Y and Z Axes", edit),
    separator(edit),
    item(41256, "Interior Flag", editType).checks(interiorFlagSet),
    separator(editType),
    family(41221, "Prototype", editType, documentTypeIs, 0),
    family(41217, content::vehicleModels[0], editType, documentTypeIs, 1),
    family(41218, content::vehicleModels[1], editType, documentTypeIs, 2),
    family(41225, content::vehicleModels[2], editType, documentTypeIs, 3),
    family(41219, content::vehicleModels[3], editType, documentTypeIs, 4),
    family(41220, content::vehicleModels[4], editType, documentTypeIs, 5),
    family(41228, content::vehicleModels[5], editType, documentTypeIs, 6),
    family(41229, content::vehicleModels[6], editType, documentTypeIs, 7),
    family(41230, content::vehicleModels[7], editType, documentTypeIs, 8),
    family(41257, content::vehicleModels[8], editType, documentTypeIs, 21),
    family(41227, content::vehicleModels[9], editType, documentTypeIs, 22),
    family(41255, content::vehicleModels[10], editType, documentTypeIs, 24),
    family(41275, content::vehicleModels[11], editType, documentTypeIs, 27),
    family(41349, content::vehicleModels[12], editType, documentTypeIs, 29),  // marks only
    item(41350, content::pods[0], editPods),
    item(41351, content::pods[1], editPods),
    item(41352, content::pods[2], editPods),
    item(41353, content::pods[3], editPods),
    item(41354, content::pods[4], editPods),
    item(41355, content::pods[5], editPods),
    separator(editType),
    family(41272, "People (Man)", editType, documentTypeIs, 1001),
    family(41273, "People (Woman)", editType, documentTypeIs, 1002),
    separator(editType),
    family(41335, content::cityDistricts[0], editType, cityTypeIs, -1),
    family(41340, content::cityDistricts[1], editType, cityTypeIs, -2),
    family(41341, content::cityDistricts[2], editType, cityTypeIs, -3),
    family(41336, content::cityDistricts[3], editType, cityTypeIs, -4),
    family(41337, content::cityDistricts[4], editType, cityTypeIs, -5),
    family(41338, content::cityDistricts[5], editType, cityTypeIs, -6),
    family(41372, content::cityDistricts[6], editType, cityTypeIs, -8),
    family(41377, content::cityDistricts[7], editType, cityTypeIs, -9),
    family(41342, content::cityDistricts[8], editType, cityTypeIs, -10),
    family(41343, content::cityDistricts[9], editType, cityTypeIs, -11),
    family(41265, content::cityDistricts[10], editType, cityTypeIs, -12),
    family(41339, content::cityDistricts[11], editType, cityTypeIs, -13),
    family(41344, content::cityDistricts[12], editType, cityTypeIs, -14),
    family(41345, content::cityDistricts[13], editType, cityTypeIs, -16),
    family(41346, content::cityDistricts[14], editType, cityTypeIs, -17),
    family(41347, content::cityDistricts[15], editType, cityTypeIs, -18),
    family(41348, content::cityDistricts[16], editType, cityTypeIs, -19),
    separator(edit),
    item(41163, "Properties...", edit).when(assemblyOpen),
    separator(edit),
    item(42001, "Undo Edit", edit).key("Ctrl+Shift+Z").run(undoEdit).when(canUndoEdit),
    item(42002, "Redo Edit", edit).key("Ctrl+Y").run(redoEdit).when(canRedoEdit),

    // VIEW
    toggle(40030, "&Mesh/Texel", view, &ViewOptions::texelView).key("V").run(toggleTexelView).when(canShowTexels),
    item(40031, "&Color/Overlay", view).key("T").run(stepTexelMap).when(texelViewOn),
    separator(view),
    toggle(40053, "&Wireframes", view, &ViewOptions::wireframes),
    toggle(40181, "&Normals", view, &ViewOptions::showNormals).key("N"),
    toggle(40213, "&Bounding Spheres", view, &ViewOptions::boundingSpheres).key("B"),
    toggle(40120, "&Quake (Anti-alias)", view, &ViewOptions::cameraShake),
    toggle(40171, "S&tatistics", view, &ViewOptions::statistics),
    separator(view),
    family(40227, "&Extended/Equipped", viewMotion, extendedViewIs, 1).key("Ctrl+E").run(setExtendedView).when(canExtendOrRetract),
    family(40228, "&Retracted/Removed", viewMotion, extendedViewIs, 0).key("Ctrl+R").run(setExtendedView).when(canExtendOrRetract),
    item(40796, "&Blinking", viewMotion),
    // L issues the key-only twin 40999; the hint is text only.
    toggle(40152, "&Time-of-Day Slider", viewSliders, &ViewOptions::lightingSliders).shows("L").when(systemsViewOff),
    toggle(40987, "&Wetness Slider", viewSliders, &ViewOptions::wetnessSlider).checks(sliderOptionOn).when(lightingSlidersOn),
    toggle(40725, "&Grime Slider", viewSliders, &ViewOptions::grimeSlider),
    toggle(41159, "&Fog Slider", viewSliders, &ViewOptions::fogSlider).checks(sliderOptionOn).when(lightingSlidersOn),
    toggle(40988, "&Window Tint Slider", viewSliders, &ViewOptions::windowTintSlider).when(cityOpen),
    toggle(40804, "&Age Slider", viewSliders, &ViewOptions::ageSlider).when(assemblyOpen),
    toggle(40816, "St&ubble/Freckle Slider", viewSliders, &ViewOptions::stubbleSlider).when(assemblyOpen),
    item(41198, "Snap Sunlight Vector", view).key("Ctrl+L").run(snapSunlight),
    toggle(41155, "Production &Lighting", view, &ViewOptions::productionLighting).run(toggleProductionLighting),
    toggle(41146, "&Sort Drawing Order", view, &ViewOptions::sortDrawingOrder),
    family(40104, "Current Only", viewModules, allModulesIs, 0).run(setAllModules).when(assemblyOrCityOpen),
    family(40105, "All", viewModules, allModulesIs, 1).run(setAllModules).when(assemblyOrCityOpen),
    separator(viewModules),
    toggle(41047, "Exterior Plates", viewModules, &ViewOptions::exteriorPlates).when(assemblyOpen),
    toggle(41048, "Other Destructable Modules", viewModules, &ViewOptions::otherDestructable).run(toggleOtherDestructable).when(assemblyOpen),
    toggle(40259, "MIP &Filtering", view, &ViewOptions::mipFiltering).run(toggleMipFiltering),
    toggle(41032, "&Production Warnings", view, &ViewOptions::productionWarnings),
    toggle(41049, "Backface &Culling", view, &ViewOptions::backfaceCulling).key("C").when(systemsViewOff),
    toggle(41050, "Graphpaper", view, &ViewOptions::graphPaper).key("G"),
    item(41086, "X", viewFlatten).value(0).run(flipFlatten).checks(flattenIs),
    item(41088, "Y", viewFlatten).value(1).run(flipFlatten).checks(flattenIs),
    item(41087, "Z", viewFlatten).value(2).run(flipFlatten).checks(flattenIs),
    toggle(41244, "Reentry Effect", view, &ViewOptions::reentryEffect),
    toggle(41297, "Preview Export", view, &ViewOptions::previewExport),
    toggle(41304, "Auto Centering", view, &ViewOptions::autoCentering),
    separator(view),
    item(40113, "R&eset", view).key("Space").run(resetView),
    item(40114, "Re&fresh", view).key("F5").run(refreshGeometry),
    separator(view),
    colour(40090, "&Background Color...", view, V::background),
    colour(41034, "Sunlight Color...", view, V::sunlight),
    colour(41268, "Skin...", viewPeople, V::skin),
    colour(41269, "Hair/Lips...", viewPeople, V::hairLips),
    colour(41270, "Eyes...", viewPeople, V::eyes),
    colour(41209, "Trim Color...", viewVehicles, V::trim),
    item(40250, "Dynamic Logo...", viewVehicles),
    colour(41232, "Dynamic Text Color...", viewVehicles, V::dynamicText),

    // POLYGON
    item(40262, "Next polygon", polygon).typed(U'}', "}").when(instanceChosen),
    item(40263, "Previous Polygon", polygon).typed(U'{', "{").when(instanceChosen),
    item(41279, "Expand Selection", polygon).key("Shift+E"),
    separator(polygon),
    item(40307, "Add new polygon...", polygon).key("Ins").when(canAddPolygon),
    item(40306, "&Change polygon...", polygon).key("Ctrl+C").alsoKey("Ctrl+P").when(polygonChosen),
    item(40079, "&Backface", polygon).key("Ctrl+B").when(canBackface),
    item(40369, "&Split", polygon).when(canSplit),
    separator(polygon),
    item(40033, "&Adjust...", polygonColor).when(anyModule),
    item(41061, "Variegate", polygonColor).when(anyModule),
    item(40049, "&Colorize...", polygonColor).when(canColorize),
    separator(polygonColor),
    item(40304, "White Alpha/Skin...", polygonMasking).when(instanceChosen),
    item(40305, "Black Alpha/Hair/Lips...", polygonMasking).when(instanceChosen),
    colour(40835, "Eyes (Not Saved)...", polygonMasking, V::eyes).when(instanceChosen),
    item(40871, "Interior Illumination...", polygonColor).when(canLightInterior),
    family(40071, "Lambertian", polygonShading, shadingIs, 0).when(anyModule),
    family(40070, "&Gouraud", polygonShading, shadingIs, 1).when(anyModule),
    item(40163, "&Generate", polygonTexel).key("Ctrl+G").when(canGenerateTexels),
    item(41135, "G&enerate Overlay", polygonTexel).when(canGenerateTexels),
    item(40619, "&Mirror", polygonTexel).when(singleModule),
    item(41138, "M&irror Overlay", polygonTexel).when(singleModule),

    // MODULE
    item(40109, "Next type", module).key("Shift+Num *").when(canStepType),
    item(40110, "Previous type", module).key("Shift+Num /").when(canStepType),
    item(41200, "Expand Selection", module).when(singleModule),
    separator(module),
    item(40089, "Add new module...", module).key("Shift+Ins").when(canAddModule),
    family(40169, "Unassigned (Legacy)", moduleScale, scaleClassIs, 0).when(singleModule),
    separator(moduleScale),
    family(40164, "Ships, Docks, Ground Elements, New Buildings", moduleScale, scaleClassIs, 1).when(legacyScaleModule),
    family(40166, "Legacy Buildings and Large Ships", moduleScale, scaleClassIs, 2).when(legacyScaleModule),
    family(40167, "Small Vehicles", moduleScale, scaleClassIs, 3).when(legacyScaleModule),
    family(40168, "Interiors", moduleScale, scaleClassIs, 4).when(legacyScaleModule),
    family(41245, "Detailed Interiors", moduleScale, scaleClassIs, 7).when(legacyScaleModule),
    family(40190, "Panels and Legacy Monitors", moduleScale, scaleClassIs, 5).when(legacyScaleModule),
    family(41235, "Next Generation Monitors", moduleScale, scaleClassIs, 12).when(legacyScaleModule),
    family(41239, "Next Generation Tablet Only", moduleScale, scaleClassIs, 13).when(legacyScaleModule),
    separator(moduleScale),
    family(41035, "Structures (1 foot)", moduleScale, scaleClassIs, 8).when(newScaleModule),
    family(41036, "Vehicles (1 foot)", moduleScale, scaleClassIs, 9).when(newScaleModule),
    family(41037, "Vehicles HD (1 inch)", moduleScale, scaleClassIs, 10).when(newScaleModule),
    family(41038, "People (1/4 inch)", moduleScale, scaleClassIs, 11).when(newScaleModule),
    item(40172, "O&ptimize Order", texture).when(canOptimizeOrder),
    item(40177, "City/User Buildings", textureMatch),
    item(40178, "Orbital Facilities", textureMatch),
    item(40180, "Ships and Vehicles", textureMatch),
    item(40191, "Interiors (Cleared)", textureMatch),
    item(41197, "Auto Assign", texture).when(canAutoAssign),
    item(41196, "Clear All", texture).when(canClearMaps),
    separator(texture),
    mapAssign(40075, baseMap, textfile),
    mapUnassign(40176, baseMap, textfile),
    item(41066, "&Hide Texture", baseMap).value(textfile).when(mapAssigned).checks(baseHiddenSet),
    mapAssign(41084, overlayMap, overlayfile),
    mapUnassign(41083, overlayMap, overlayfile),
    mapAssign(41081, lightMap, lightfile),
    mapUnassign(41082, lightMap, lightfile),
    mapAssign(41077, reflectivityMap, reflectfile),
    mapUnassign(41078, reflectivityMap, reflectfile),
    mapAssign(41079, heightMap, heightfile),
    mapUnassign(41080, heightMap, heightfile),
    mapAssign(41136, grimeMap, grimefile),
    mapUnassign(41137, grimeMap, grimefile),
    mapAssign(41141, visibilityMap, visibilityfile),
    mapUnassign(41142, visibilityMap, visibilityfile),
    mapAssign(41151, detailMap, detailfile),
    mapUnassign(41152, detailMap, detailfile),
    mapAssign(41153, controlMap, controlfile),
    mapUnassign(41154, controlMap, controlfile),
    separator(texture),
    item(41291, "&Flip", texture).when(canFlipTextures),
    item(40097, "C&anvas Color...", texture),
    toggle(41067, "&Live Updates", texture, &ViewOptions::liveUpdates),
    separator(module),
    item(40706, "Average Origin (Weighted)", module).when(canAverageOrigin),
    item(41208, "Average Origin (Centered)", module).when(canAverageOrigin),
    item(41063, "Flip Around X Axis", module).key("Ctrl+F").when(singleModule),
    item(41381, "Flip Around Y Axis", module),
    separator(module),
    item(40197, "Edit &Component...", module).key("S").when(singleModule),

    // INSTANCE
    item(40107, "Next instance", instance).key("Num *"),
    item(40108, "Previous instance", instance).key("Num /"),
    item(41201, "Expand Selection", instance).when(singleModule),
    item(40156, "Du&plicate", instance).key("Ctrl+Ins").when(canDuplicate),
    separator(instance),
    family(41164, "Not Colorized", colourKey, colourKeyIs, -1),
    separator(colourKey),
    family(41165, "Immutable 1", colourKey, colourKeyIs, 0),
    family(41166, "Immutable 2", colourKey, colourKeyIs, 1),
    family(41167, "Immutable 3", colourKey, colourKeyIs, 2),
    family(41168, "Immutable 4", colourKey, colourKeyIs, 3),
    family(41169, "Immutable 5", colourKey, colourKeyIs, 4),
    family(41170, "Immutable 6", colourKey, colourKeyIs, 5),
    family(41171, "Immutable 7", colourKey, colourKeyIs, 6),
    family(41180, "Immutable 8", colourKey, colourKeyIs, 7),
    separator(colourKey),
    family(41172, "Mutable 1", colourKey, colourKeyIs, 8),
    family(41173, "Mutable 2", colourKey, colourKeyIs, 9),
    family(41174, "Mutable 3", colourKey, colourKeyIs, 10),
    family(41175, "Mutable 4", colourKey, colourKeyIs, 11),
    family(41176, "Mutable 5", colourKey, colourKeyIs, 12),
    family(41177, "Mutable 6", colourKey, colourKeyIs, 13),
    family(41178, "Mutable 7", colourKey, colourKeyIs, 14),
    family(41179, "Mutable 8", colourKey, colourKeyIs, 15),
    separator(colourKey),
    item(41183, "New Scheme...", colourKey),
    item(41181, "Load Scheme...", colourKey),
    item(41182, "Edit Scheme...", colourKey),
    separator(colourKey),
    item(40722, "Manage/Select Alphamaps...", colourKey).greyedOut(),
    item(40720, "Manage/Select White Pattern...", colourKey).greyedOut(),
    item(40720, "Manage/Select Black Pattern...", colourKey).greyedOut(),
    separator(instance),
    typeItem(40133, "Unassigned", instance, 0),
    typeItem(41276, "Exterior Transparency", instance, 57),
    typeItem(41045, "Exterior Plate", instance, 24),
    typeItem(40312, "Headlight", instance, 43),
    typeItem(41046, "Indestructable", instance, 25),
    typeItem(41021, "Outside Cockpit/Dome Light", instance, 31),
    typeItem(40143, "Door/Bay Doors", instance, 30),
    typeItem(40313, "Brakelight", instance, 44),
    typeItem(41000, "Windshield Wiper", instance, 47),
    typeItem(40249, "Dynamic", instance, 42),
    typeItem(41053, "Post Processing Test", instance, 27),
    typeItem(41207, "No Bounding Sphere", instance, 53),
    typeItem(41379, "No Backface Culling", instance, 250),
    separator(instance),
    typeItem(40245, "Left Wing", airfoil64, 17),
    typeItem(40246, "Right Wing", airfoil64, 18),
    typeItem(41258, "Canard", airfoil64, 67),
    typeItem(40247, "Tail", airfoil63, 19),
    typeItem(40235, "Nacelle", engine1, 20),
    typeItem(41312, "Cone", engine1Accelerate, 200),
    typeItem(41313, "Nozzle", engine1Accelerate, 201),
    typeItem(41315, "Cone", engine1Decelerate, 205),
    typeItem(41316, "Nozzle", engine1Decelerate, 206),
    typeItem(40236, "Nacelle", engine2, 21),
    typeItem(41318, "Cone", engine2Accelerate, 210),
    item(0, "Nozzle", engine2Accelerate),  // code 211 is reserved for it; it carries no number
    typeItem(41321, "Cone", engine2Decelerate, 215),
    item(0, "Nozzle", engine2Decelerate),  // code 216 reserved
    typeItem(40237, "Nacelle", engine3, 22),
    typeItem(41324, "Cone", engine3Accelerate, 220),
    item(0, "Nozzle", engine3Accelerate),  // code 221 reserved
    typeItem(41327, "Cone", engine3Decelerate, 225),
    typeItem(41328, "Nozzle", engine3Decelerate, 226),
    typeItem(40135, content::flightControls[0], flightControl, 10),
    typeItem(40238, content::flightControls[1], flightControl, 11),
    typeItem(40136, content::flightControls[2], flightControl, 12),
    typeItem(40138, content::flightControls[3], flightControl, 13),
    typeItem(40254, content::flightControls[4], flightControl, 14),
    typeItem(40255, content::flightControls[5], flightControl, 15),
    typeItem(40998, content::flightControls[6], flightControl, 16),
    typeItem(41277, content::flightControls[7], flightControl, 68),
    typeItem(41191, content::flightControls[8], flightControl, 61),
    typeItem(41192, content::flightControls[9], flightControl, 62),
    typeItem(41193, content::flightControls[10], flightControl, 63),
    typeItem(41190, content::flightControls[11], flightControl, 64),
    typeItem(41398, content::flightControls[12], flightControl, 69),
    typeItem(40192, "Windhield/Exterior Windows", interiorTransparency, 5),
    typeItem(41145, "Between Viewer and Exterior", interiorTransparency, 3),
    typeItem(40264, content::displays[0], interiorDisplays, 52),
    typeItem(40189, content::displays[1], interiorDisplays, 4),
    typeItem(40212, content::displays[2], interiorDisplays, 51),
    typeItem(41287, content::displays[3], interiorDisplays, 251),
    typeItem(41234, content::displays[4], interiorDisplays, 55),
    typeItem(41242, content::displays[5], interiorDisplays, 58),
    typeItem(41249, content::displays[6], interiorDisplays, 59),
    typeItem(41250, content::displays[7], interiorDisplays, 60),
    typeItem(41022, content::vehicleControls[0], interiorControls, 33),
    typeItem(40685, content::vehicleControls[1], interiorControls, 36),
    typeItem(41246, content::vehicleControls[2], interiorControls, 49),
    typeItem(40360, content::vehicleControls[3], interiorControls, 35),
    typeItem(40207, content::vehicleControls[4], interiorControls, 50),
    typeItem(41278, content::vehicleControls[5], interiorControls, 34),
    typeItem(40684, content::vehicleControls[6], interiorControls, 37),
    typeItem(41240, content::vehicleControls[7], interiorControls, 39),
    typeItem(41252, content::vehicleControls[8], interiorControls, 65),
    typeItem(41253, content::vehicleControls[9], interiorControls, 66),
    typeItem(40199, "Chair", interior, 32),
    typeItem(40374, "Mirror", interior, 46),
    typeItem(41194, "Mostly Enclosed", interior, 38),
    typeItem(41233, "Cargo Bay", interior, 54),
    typeItem(41236, "Occupant", interior, 56),
    typeItem(41243, "General Animation", interior, 48),
    typeItem(40631, content::standIns[0], interiorStandIns, 252),
    typeItem(40632, content::standIns[1], interiorStandIns, 253),
    typeItem(40633, content::standIns[2], interiorStandIns, 254),
    typeItem(40132, "Main Gear", landingGear, 1),
    typeItem(41261, "Nose Gear", landingGear, 2),
    typeItem(41305, "Main Wheel", landingGear, 6),
    typeItem(41306, "Nose Wheel", landingGear, 9),
    typeItem(40242, "Launcher/Emmiter", weapons, 28),
    typeItem(40243, "Ordinance", weapons, 29),
    typeItem(40316, "Head", peopleParts, 101),
    typeItem(41286, "Helmet Glass", peopleParts, 116),
    typeItem(40315, "Torso", peopleParts, 100),
    typeItem(40335, "Hips", peopleParts, 102),
    typeItem(40504, "Hip Accessory", peopleParts, 115),
    typeItem(40318, "Left", upperArm, 103),
    typeItem(40319, "Right", upperArm, 104),
    typeItem(40320, "Left", forearm, 105),
    typeItem(40321, "Right", forearm, 106),
    typeItem(41290, "Left Monitor", forearm, 117),
    typeItem(40333, "Left", hand, 107),
    typeItem(40334, "Right", hand, 108),
    typeItem(40336, "Left", thigh, 109),
    typeItem(40337, "Right", thigh, 110),
    typeItem(40338, "Left", shin, 111),
    typeItem(40339, "Right", shin, 112),
    typeItem(40330, "Left", foot, 113),
    typeItem(40331, "Right", foot, 114),
    typeItem(40200, "Seed Building", buildings, 7),
    typeItem(41263, "Foundation", buildings, 99),
    typeItem(40218, content::buildingTypes[0], buildings, 81),
    typeItem(40205, content::buildingTypes[1], buildings, 75),
    typeItem(40206, content::buildingTypes[2], buildings, 76),
    typeItem(40209, content::buildingTypes[3], buildings, 77),
    typeItem(40210, content::buildingTypes[4], buildings, 78),
    typeItem(40288, "Skip for Depth", buildings, 85),
    typeItem(40289, "Skip for DAW", buildings, 86),
    typeItem(40201, content::mining[0], miningSpecific, 71),
    typeItem(40202, content::mining[1], miningSpecific, 72),
    typeItem(40203, content::mining[2], miningSpecific, 73),
    typeItem(40204, content::mining[3], miningSpecific, 74),
    typeItem(40216, content::farm[0], farmSpecific, 8),
    typeItem(40215, content::farm[1], farmSpecific, 79),
    typeItem(40217, content::farm[2], farmSpecific, 80),
    typeItem(40219, content::township[0], townshipSpecific, 82),
    typeItem(40221, content::township[1], townshipSpecific, 83),
    typeItem(40222, content::township[2], townshipSpecific, 84),
    typeItem(40700, content::airfield[0], airfieldSpecific, 93),
    typeItem(40705, content::airfield[1], airfieldSpecific, 8),
    typeItem(40702, content::airfield[2], airfieldSpecific, 90),
    typeItem(40703, content::airfield[3], airfieldSpecific, 94),
    typeItem(40993, content::salvage[0], salvageSpecific, 95),
    typeItem(40995, content::salvage[1], salvageSpecific, 97),
    typeItem(40994, content::salvage[2], salvageSpecific, 96),
    typeItem(40996, content::salvage[3], salvageSpecific, 98),
    item(40704, "Estate Specific", buildings).greyedOut(),
    typeItem(40371, "Small", placeholder, 87),
    typeItem(40372, "Medium", placeholder, 88),
    typeItem(40373, "Large", placeholder, 89),
    separator(buildings),
    item(40231, "Clear Building Number", buildings).when(buildingChosen),
    typeItem(40157, "Scrolling Lightmap", advertising, 40),
    typeItem(40357, "Scrolling Colormap", advertising, 45),
    typeItem(40158, "Static", advertising, 41),
    typeItem(40223, content::docks[0], dockSpecific, 91),
    typeItem(40224, content::docks[1], dockSpecific, 92),
    typeItem(41295, "Tumbler", dockSpecific, 130),
    typeItem(41294, "Big Ring", dockSpecific, 131),
    separator(instance),
    item(40728, "Manage Logos...", instance).greyedOut(),

    // GROUP
    item(40145, "Next Building/Group", group).typed(U']', "]").when(assemblyOrCityOpen),
    item(40146, "Previous Building/Group", group).typed(U'[', "[").when(assemblyOrCityOpen),
    item(41202, "Expand Selection", group).when(canExpandGroup),
    separator(group),
    groupItem(40265, "Unassigned", group, 0),
    groupItem(40283, "Unassigned (Imported)", group, 1000),
    groupItem(40629, "Room From Floor", group, 999),
    toggle(41393, "Show Unassigned", inertial, &ViewOptions::showUnassignedInertial),
    separator(inertial),
    assignItem(41383, "Left Engine", inertial, 700),
    assignItem(41384, "Right Engine", inertial, 701),
    assignItem(41385, "Center Engine", inertial, 702),
    assignItem(41386, "Left Wing", inertial, 710),
    assignItem(41387, "Right Wing", inertial, 711),
    assignItem(41388, "H-Stab", inertial, 712),
    assignItem(41389, "V-Stab", inertial, 713),
    assignItem(41390, "Fuselage", inertial, 714),
    assignItem(41394, "Fairing", inertial, 715),
    assignItem(41391, "Cargo Door 1", inertial, 720),
    assignItem(41392, "Cargo Door 2", inertial, 721),
    assignItem(41395, "Nose Gear", inertial, 730),
    assignItem(41396, "Left Main Gear", inertial, 731),
    assignItem(41397, "Right Main Gear", inertial, 732),
    groupItem(40266, content::vehiclePackages[0], vehiclePackages, 1),
    groupItem(40267, content::vehiclePackages[1], vehiclePackages, 2),
    groupItem(40268, content::vehiclePackages[2], vehiclePackages, 3),
    groupItem(40269, content::vehiclePackages[3], vehiclePackages, 4),
    groupItem(40270, content::vehiclePackages[4], vehiclePackages, 5),
    groupItem(40271, content::vehiclePackages[5], vehiclePackages, 6),
    groupItem(40272, content::vehiclePackages[6], vehiclePackages, 7),
    groupItem(40273, content::vehiclePackages[7], vehiclePackages, 8),
    groupItem(40274, content::vehiclePackages[8], vehiclePackages, 9),
    groupItem(40275, content::vehiclePackages[9], vehiclePackages, 10),
    groupItem(40276, content::vehiclePackages[10], vehiclePackages, 11),
    groupItem(40277, content::vehiclePackages[11], vehiclePackages, 12),
    groupItem(40285, content::vehiclePackages[12], vehiclePackages, 13),
    groupItem(40286, content::vehiclePackages[13], vehiclePackages, 14),
    groupItem(40298, content::vehiclePackages[14], vehiclePackages, 15),
    groupItem(40299, content::vehiclePackages[15], vehiclePackages, 16),
    displayItem(40430, "Show None", headEyes, headSlot, 150),
    separator(headEyes),
    assignItem(40743, content::assignPackage[0], headEyes, 151),
    displayItem(40744, content::displayPackage[0], headEyes, headSlot, 151),
    assignItem(40745, content::assignPackage[1], headEyes, 152),
    displayItem(40746, content::displayPackage[1], headEyes, headSlot, 152),
    assignItem(40747, content::assignPackage[2], headEyes, 153),
    displayItem(40748, content::displayPackage[2], headEyes, headSlot, 153),
    assignItem(40749, content::assignPackage[3], headEyes, 154),
    displayItem(40750, content::displayPackage[3], headEyes, headSlot, 154),
    assignItem(40751, content::assignPackage[4], headEyes, 155),
    displayItem(40752, content::displayPackage[4], headEyes, headSlot, 155),
    displayItem(40431, "Show None", hair, hairSlot, 175),
    separator(hair),
    assignItem(40487, content::assignPackage[0], hair, 176),
    displayItem(40488, content::displayPackage[0], hair, hairSlot, 176),
    assignItem(40489, content::assignPackage[1], hair, 177),
    displayItem(40490, content::displayPackage[1], hair, hairSlot, 177),
    assignItem(40491, content::assignPackage[2], hair, 178),
    displayItem(40492, content::displayPackage[2], hair, hairSlot, 178),
    assignItem(40493, content::assignPackage[3], hair, 179),
    displayItem(40494, content::displayPackage[3], hair, hairSlot, 179),
    assignItem(40495, content::assignPackage[4], hair, 180),
    displayItem(40496, content::displayPackage[4], hair, hairSlot, 180),
    separator(hair),
    // Hair styles still to come: greyed, and without numbers of their own.
    item(0, content::hairStyles[0], hair).greyedOut(),
    item(0, content::hairStyles[1], hair).greyedOut(),
    item(0, content::hairStyles[2], hair).greyedOut(),
    item(0, content::hairStyles[3], hair).greyedOut(),
    item(0, content::hairStyles[4], hair).greyedOut(),
    item(0, content::hairStyles[5], hair).greyedOut(),
    item(0, content::hairStyles[6], hair).greyedOut(),
    item(0, content::hairStyles[7], hair).greyedOut(),
    item(0, content::hairStyles[8], hair).greyedOut(),
    item(0, content::hairStyles[9], hair).greyedOut(),
    item(0, content::hairStyles[10], hair).greyedOut(),
    item(0, content::hairStyles[11], hair).greyedOut(),
    item(0, content::hairStyles[12], hair).greyedOut(),
    item(0, content::hairStyles[13], hair).greyedOut(),
    item(0, content::hairStyles[14], hair).greyedOut(),
    item(0, content::hairStyles[15], hair).greyedOut(),
    item(0, content::hairStyles[16], hair).greyedOut(),
    displayItem(40418, "Show None", nose, noseSlot, 100),
    separator(nose),
    assignItem(40391, content::assignPackage[0], nose, 101),
    displayItem(40392, content::displayPackage[0], nose, noseSlot, 101),
    assignItem(40393, content::assignPackage[1], nose, 102),
    displayItem(40394, content::displayPackage[1], nose, noseSlot, 102),
    assignItem(40395, content::assignPackage[2], nose, 103),
    displayItem(40396, content::displayPackage[2], nose, noseSlot, 103),
    assignItem(40397, content::assignPackage[3], nose, 104),
    displayItem(40398, content::displayPackage[3], nose, noseSlot, 104),
    assignItem(40399, content::assignPackage[4], nose, 105),
    displayItem(40400, content::displayPackage[4], nose, noseSlot, 105),
    displayItem(40759, "Show None", ear, earSlot, 225),
    separator(ear),
    assignItem(40760, content::assignPackage[0], ear, 226),
    displayItem(40761, content::displayPackage[0], ear, earSlot, 226),
    assignItem(40762, content::assignPackage[1], ear, 227),
    displayItem(40763, content::displayPackage[1], ear, earSlot, 227),
    assignItem(40767, content::assignPackage[2], ear, 228),
    displayItem(40768, content::displayPackage[2], ear, earSlot, 228),
    assignItem(40769, content::assignPackage[3], ear, 229),
    displayItem(40770, content::displayPackage[3], ear, earSlot, 229),
    assignItem(40771, content::assignPackage[4], ear, 230),
    displayItem(40772, content::displayPackage[4], ear, earSlot, 230),
    // Three sets of three packages; the ninth pair does nothing yet.
    displayItem(40773, "Show None", jawLines, jawLinesSlot, 675),
    separator(jawLines),
    assignItem(40774, content::assignPackage[0], jawLines, 676),
    displayItem(40775, content::displayPackage[0], jawLines, jawLinesSlot, 676),
    assignItem(40776, content::assignPackage[1], jawLines, 677),
    displayItem(40777, content::displayPackage[1], jawLines, jawLinesSlot, 677),
    assignItem(40778, content::assignPackage[2], jawLines, 678),
    displayItem(40779, content::displayPackage[2], jawLines, jawLinesSlot, 678),
    separator(jawLines),
    assignItem(40780, content::assignPackage[3], jawLines, 679),
    displayItem(40781, content::displayPackage[3], jawLines, jawLinesSlot, 679),
    assignItem(40782, content::assignPackage[4], jawLines, 680),
    displayItem(40783, content::displayPackage[4], jawLines, jawLinesSlot, 680),
    assignItem(40811, content::assignPackage[5], jawLines, 681),
    displayItem(40810, content::displayPackage[5], jawLines, jawLinesSlot, 681),
    separator(jawLines),
    assignItem(40812, content::assignPackage[6], jawLines, 682),
    displayItem(40813, content::displayPackage[6], jawLines, jawLinesSlot, 682),
    assignItem(40814, content::assignPackage[7], jawLines, 683),
    displayItem(40815, content::displayPackage[7], jawLines, jawLinesSlot, 683),
    item(40818, content::assignPackage[8], jawLines),
    item(40819, content::displayPackage[8], jawLines),
    displayItem(40456, "Show None", jawOverlay, jawOverlaySlot, 125),
    separator(jawOverlay),
    assignItem(40446, content::assignPackage[0], jawOverlay, 126),
    displayItem(40447, content::displayPackage[0], jawOverlay, jawOverlaySlot, 126),
    assignItem(40448, content::assignPackage[1], jawOverlay, 127),
    displayItem(40449, content::displayPackage[1], jawOverlay, jawOverlaySlot, 127),
    assignItem(40450, content::assignPackage[2], jawOverlay, 128),
    displayItem(40451, content::displayPackage[2], jawOverlay, jawOverlaySlot, 128),
    assignItem(40452, content::assignPackage[3], jawOverlay, 129),
    displayItem(40453, content::displayPackage[3], jawOverlay, jawOverlaySlot, 129),
    assignItem(40454, content::assignPackage[4], jawOverlay, 130),
    displayItem(40455, content::displayPackage[4], jawOverlay, jawOverlaySlot, 130),
    assignItem(40680, content::assignBare, shirts, 250),
    displayItem(40681, content::displayBare, shirts, shirtsSlot, 250),
    assignItem(40639, content::assignPackage[0], shirts, 251),
    displayItem(40640, content::displayPackage[0], shirts, shirtsSlot, 251),
    assignItem(40642, content::assignPackage[1], shirts, 252),
    displayItem(40643, content::displayPackage[1], shirts, shirtsSlot, 252),
    assignItem(40679, content::assignBare, pants, 300),
    displayItem(40678, content::displayBare, pants, pantsSlot, 300),
    assignItem(40667, content::assignPackage[0], pants, 316),
    displayItem(40668, content::displayPackage[0], pants, pantsSlot, 316),
    assignItem(40669, content::assignPackage[1], pants, 317),
    displayItem(40671, content::displayPackage[1], pants, pantsSlot, 317),
    displayItem(40415, "Show None", shoes, shoesSlot, 400),
    separator(shoes),
    assignItem(40676, content::assignPackage[0], shoes, 401),
    displayItem(40677, content::displayPackage[0], shoes, shoesSlot, 401),
    displayItem(40626, "Show None", frames, framesSlot, 450),
    separator(frames),
    assignItem(40624, content::assignPackage[0], frames, 451),
    displayItem(40625, content::displayPackage[0], frames, framesSlot, 451),
    assignItem(40784, content::assignPackage[1], frames, 452),
    displayItem(40785, content::displayPackage[1], frames, framesSlot, 452),
    assignItem(40786, content::assignPackage[2], frames, 453),
    displayItem(40787, content::displayPackage[2], frames, framesSlot, 453),
    assignItem(40788, content::assignPackage[3], frames, 454),
    displayItem(40789, content::displayPackage[3], frames, framesSlot, 454),
    assignItem(40790, content::assignPackage[4], frames, 455),
    displayItem(40791, content::displayPackage[4], frames, framesSlot, 455),
    assignItem(40624, content::assignPackage[0], sunglasses, 451),
    displayItem(40625, content::displayPackage[0], sunglasses, framesSlot, 451),
    displayItem(41282, "Show None", spacesuit, spacesuitSlot, 500),
    separator(spacesuit),
    assignItem(41284, content::assignPackage[0], spacesuit, 501),
    displayItem(41285, content::displayPackage[0], spacesuit, spacesuitSlot, 501),
    separator(people),
    item(40477, "Display Random", people).typed(U'=', "="),
    separator(group),
    groupItem(40990, "Simulator Specific", group, 998),
    groupItem(41241, "Opt-out Exclude Export", group, 997),
    groupItem(41296, "Opt-in Include Export", group, 996),
    separator(group),
    item(41199, "Refresh From ASM...", group).when(canRefreshFromAsm),
    item(40715, "Building Name...", group).when(buildingChosen),

    // MOTION
    item(40128, "Snap &Motion Extent", motion).when(canSnapMotion),
    item(41019, "&Clear Motion", motion).when(canClearMotion),
    item(40134, "&Hinge properties...", motion).key("F7").when(canEditHinge),
    item(40278, "Calculate Normal", motion),
    separator(motion),
    family(40310, "Adv 0-1 then snap 0", motion, endModeIs, endSnap).run(toggleEndMode).when(canSetEndMode),
    family(40311, "Adv 0-1 then reverse", motion, endModeIs, endReverse).run(toggleEndMode).when(canSetEndMode),
    separator(motion),
    item(40348, "Hierarchy Sort", motion),
    family(40352, "Human Male", skeleton, skeletonIs, 1).run(setSkeleton),
    family(40353, "Human Female", skeleton, skeletonIs, 0).run(setSkeleton),
    separator(skeleton),
    item(40457, "Reset Joints", skeleton),
    item(40503, "Reset Offset", skeleton),
    family(40354, content::agility[0], agility, agilityIs, 100).run(setAgility),
    family(40355, content::agility[1], agility, agilityIs, 50).run(setAgility),
    family(40356, content::agility[2], agility, agilityIs, 0).run(setAgility),
    family(40347, "None", animation, animationSlotIs, -1),
    separator(animation),
    family(40520, "Put Arm on Hip", animation, animationSlotIs, 0),
    family(40497, "Start Walking (Lead with Left)", animation, animationSlotIs, 1),
    family(40514, "Straight Forward Walk Loop (Left)", animation, animationSlotIs, 2),
    family(40515, "Stop Walking (From Right Loops)", animation, animationSlotIs, 3),
    family(40516, "Straight Forward Walk Loop (Right)", animation, animationSlotIs, 4),
    family(40517, "Stop Walking (From Left Loops)", animation, animationSlotIs, 5),
    family(40518, "Jump Up && Land", animation, animationSlotIs, 6),
    family(40519, "Standing (Interruptable)", animation, animationSlotIs, 7),
    family(40616, "Turn in Place (15\u00b0 Left)", animation, animationSlotIs, 8),
    family(40617, "Turn in Place (15\u00b0 Right)", animation, animationSlotIs, 9),
    family(40627, "Turn 2.5\u00b0 Left Walk Loop (Right)", animation, animationSlotIs, 10),
    family(40628, "Turn 2.5\u00b0 Left Walk Loop (Left)", animation, animationSlotIs, 11),
    family(40687, "Turn 2.5\u00b0 Right Walk Loop (Right)", animation, animationSlotIs, 12),
    family(40688, "Turn 2.5\u00b0 Right Walk Loop (Left)", animation, animationSlotIs, 13),
    family(40694, "Hold Arm on Hip (Interruptable)", animation, animationSlotIs, 14),
    separator(animation),
    family(40628, content::sitting[0], sitting, animationSlotIs, 11),
    family(40627, content::sitting[1], sitting, animationSlotIs, 10),
    item(40693, content::otherSequences[0], animation),
    item(40618, content::otherSequences[1], animation),
    item(40506, content::otherSequences[2], animation),
    item(40513, content::otherSequences[3], animation),
    item(40345, content::otherSequences[4], animation),
    item(40349, content::otherSequences[5], animation),
    item(40346, content::otherSequences[6], animation),
    item(40604, content::otherSequences[7], animation),
    item(40605, content::otherSequences[8], animation),
    item(40606, content::otherSequences[9], animation),
    item(40607, content::otherSequences[10], animation),
    item(40610, content::otherSequences[11], animation),
    item(40611, content::otherSequences[12], animation),
    item(40612, content::otherSequences[13], animation),
    item(40613, content::otherSequences[14], animation),
    separator(animation),
    item(40501, "Clear Sequence", animation).when(animating),
    item(40695, "Copy Sequence", animation).run(copySequence).when(animating),
    item(40696, "Paste Sequence", animation).when(canPasteSequence),

    // LIGHTS
    toggle(40103, "Display", lights, &ViewOptions::showLights),
    toggle(40101, "Animate", lights, &ViewOptions::animateLights),
    separator(lights),
    item(40183, "Add new light...", lights).key("Shift+F8").when(canAddLight),
    item(40184, "Change light...", lights).key("F8").when(canChangeLight),
    item(40187, "Remove light...", lights).key("Ctrl+F8").when(canChangeLight),
    separator(lights),
    item(40258, "Clear All Lights", lights).when(anyLights),

    // RTSPS
    item(40155, "Select RTSPS &Grid", rtsps).key("F3"),
    separator(rtsps),
    item(40876, "Texture", rtsps).key("Shift+R"),
    // R issues the grid rotation 40879 and C is Backface Culling's; these two hints are text.
    item(40150, "Rotate", rtsps).shows("R"),
    item(40737, "Copy", rtsps).shows("C"),
    item(40738, "Paste", rtsps).key("P"),
    toggle(40742, "Randomize Fill Rotation", rtsps, &ViewOptions::randomizeFillRotation),
    separator(rtsps),
    item(40733, "Group 1...", contactSheets),
    item(40734, "Group 2...", contactSheets),
    item(40735, "Group 3...", contactSheets),
    item(40736, "Group 4...", contactSheets),
    separator(contactSheets),
    item(40078, "&Refresh", contactSheets).key("Shift+F5").run(raiseContactSheetRefresh).when(canRefreshContactSheet),
    item(40866, "Terrain...", rtsps),
    item(3000, content::legality[0], parking), item(3001, content::legality[1], parking),
    item(3002, content::legality[2], parking), item(3003, content::legality[3], parking),
    item(3004, content::legality[4], parking), item(3005, content::legality[5], parking),
    item(3006, content::legality[6], parking), item(3007, content::legality[7], parking),
    item(3008, content::legality[8], parking), item(3009, content::legality[9], parking),
    item(3010, content::legality[10], parking), item(3011, content::legality[11], parking),
    item(3012, content::legality[12], parking), item(3013, content::legality[13], parking),
    item(3014, content::legality[14], parking), item(3015, content::legality[15], parking),
    item(3016, content::legality[16], parking), item(3017, content::legality[17], parking),
    item(3018, content::legality[18], parking), item(3019, content::legality[19], parking),
    item(3020, content::legality[20], parking), item(3021, content::legality[21], parking),
    item(3022, content::legality[22], parking),
    separator(parking),
    item(40974, "Create new legality layer", parking),
    item(40973, "Relearn based on this CTY file", parking),
    item(40972, "Clear all training data", parking),
    // Toggles the city's zonal-scaling flag and rebuilds the grid; greyed as built.
    item(40162, "&Zonal Scaling", rtsps).checks(zonalScalingOn).greyedOut(),
    toggle(40282, "Show Bump Layer", rtsps, &ViewOptions::showBumpLayer).greyedOut(),
    item(40729, "Clear RTSPS Grid", rtsps),
    item(41303, "Load From Production", rtsps),
    separator(rtsps),
    family(41330, "Select", nodeMode, rtsEditModeIs, rtsSelect).key("O").run(setRtsEditMode),
    family(41331, "Add", nodeMode, rtsEditModeIs, rtsAdd).key("I").run(setRtsEditMode),
    family(41332, "Remove", nodeMode, rtsEditModeIs, rtsRemove).run(setRtsEditMode),
    family(41361, "Select Connection", nodeMode, rtsEditModeIs, rtsSelectConnection).key("J").run(setRtsEditMode),
    family(41334, "Connect", nodeMode, rtsEditModeIs, rtsConnect).key("Y").run(setRtsEditMode),
    family(41357, "Find Path", nodeMode, rtsEditModeIs, rtsFindPath).run(setRtsEditMode).when(canFindPath),
    // Move carries no check mark.
    item(41360, "Move", nodeMode).key("U").value(rtsMove).run(setRtsEditMode),
    family(41370, "Edge Node Outbound", nodeFlags, rtsNodeFlagSet, 1),
    family(41371, "Edge Node Inbound", nodeFlags, rtsNodeFlagSet, 2),
    item(41356, "Load RTS Nodes from Production", rtsps),
    item(41358, "Save RTS Nodes to Production", rtsps),
    item(41359, "Delete RTS Nodes from Production", rtsps),
    item(41399, "Street Properties", rtsps),

    // SYSTEMS
    item(41098, "Show None", systems).run(showNoSystems),
    separator(systems),
    family(41113, "Propulsion", systems, systemShownIs, 1).run(toggleSystem),
    family(41101, "Hydraulic", systems, systemShownIs, 2).run(toggleSystem),
    family(41099, "Cooling", systems, systemShownIs, 3).run(toggleSystem),
    family(41109, "Oxidizer", systems, systemShownIs, 4).run(toggleSystem),
    family(41107, "Fuel", systems, systemShownIs, 5).run(toggleSystem),
    family(41103, "Electrical", systems, systemShownIs, 6).run(toggleSystem),
    family(41140, "Control Voltage", systems, systemShownIs, 7).run(toggleSystem),
    family(41105, "Data", systems, systemShownIs, 8).run(toggleSystem),
    family(41123, "Weapons", systems, systemShownIs, 9).run(toggleSystem),
    family(41125, "Defense", systems, systemShownIs, 10).run(toggleSystem),
    family(41206, "Communication", systems, systemShownIs, 11).run(toggleSystem),
    separator(systems),
    item(41097, "Show All", systems).run(showAllSystems),
    toggle(41118, "Show Only", systems, &ViewOptions::systemsShowOnly).run(toggleShowOnly),

    // REPOSITORY
    item(41030, "Revert", repository).greyedOut(),
    item(40852, "Revert All", repository),
    separator(repository),
    item(41028, "&1. Stage Local Changes", repository),
    item(41029, "&2. Commit Local Changes", repository),
    item(41024, "&3. View Remote Commits", repository),
    item(41025, "&4. Pull Remote Commits", repository),
    item(41026, "&5. View Local Commits", repository),
    item(41027, "&6. Push Local Commits", repository),
    separator(repository),
    item(41007, "Show History", repository).when(documentInRepository),
    item(41033, "Show Differences", repository).when(documentInRepository),
    item(41031, "Annotate Changes", repository).when(documentInRepository),
    separator(repository),
    item(40027, "&Files...", repositoryDelete).key("Ctrl+Del"),
    item(40861, "Folder...", repositoryDelete).key("Ctrl+Shift+Del"),
    item(41003, "File...", repositoryRename),
    item(40858, "&Folder...", repositoryRename),
    item(41004, "Files...", repositoryMove),
    item(40859, "&Folder...", repositoryMove),
    separator(repository),
    item(41373, "Compress Database", repository),
    item(41005, "Check for Usages", repository).greyedOut(),
    item(41006, "Look for Orphans", repository).greyedOut(),

    // MACRO
    item(41062, "Flip X then Backface", macro).key("Alt+F1").when(singleModule),
    item(41149, "Move polys to new WLD, prompt for name, re-insert", macro).key("Alt+F2").when(canMovePolygonsToNewModule),
    item(41068, "Copy polys to new WLD, prompt for name, re-insert", macro).key("Ctrl+Alt+F2").when(canMovePolygonsToNewModule),
    item(41070, "Clone, Mirror X Module, Retain Texels", macro).key("Alt+F3").when(canCloneMirror),
    item(41288, "Clone, Mirror X Module, Mirror U Texel", macro).key("Ctrl+Alt+F3"),
    item(41156, "Extrude", macro).key("Alt+F4").when(singleModule),
    item(41161, "Move instance to new WLD, prompt for name, re-insert", macro).key("Alt+F5").when(canMoveInstanceToNewModule),
    item(41203, "Replace all module instances with new WLD", macro).key("Alt+F6").when(singleModule),
    item(41247, "Create Texture, Assign Base Map, Generate Texels", macro).key("Alt+F7").when(singleModule),
    separator(macro),
    item(41378, "Select half of the polys", macro),
    item(41380, "Clone, Mirror Y Module, Retain Texels", macro),

    // HELP
    item(40019, "&About Tessarim", help).key("F1"),
    item(41041, "Create Memory Dump", help),
    separator(help),
    item(41254, "sudo su", help).run(flipSudoSu).checks(sudoSuOn),

    // Commands that only keys issue.
    item(40294, "Camera Yaw Left", keyOnly).key("A").run(turnCamera),
    item(40295, "Camera Yaw Right", keyOnly).key("D").run(turnCamera),
    item(40296, "Camera Pitch Up", keyOnly).key("W").run(turnCamera),
    item(40297, "Camera Pitch Down", keyOnly).key("X").run(turnCamera),
    item(40999, "Time-of-Day Slider", keyOnly).key("L").flips(&ViewOptions::lightingSliders),
    item(40840, "Texture Every Building", keyOnly).key("Shift+C").flips(&ViewOptions::textureAllBuildings),
    item(40875, "Grid Texture Forward", keyOnly).key("Shift+T"),
    item(40879, "Grid Rotate", keyOnly).key("R"),
    item(41147, "Straighten Source Edge", keyOnly).key("E"),
    item(unboundF2, "", keyOnly).key("F2"),
    item(unboundCtrlF11, "", keyOnly).key("Ctrl+F11"),
    item(unboundCtrlShiftS, "", keyOnly).key("Ctrl+Shift+S"),
    item(unboundShiftA, "", keyOnly).key("Shift+A"),
    item(unboundShiftD, "", keyOnly).key("Shift+D"),
    item(unboundShiftW, "", keyOnly).key("Shift+W"),
    item(unboundShiftX, "", keyOnly).key("Shift+X"),
    // Document type numbers that no menu item carries.
    item(41231, "", keyOnly).value(9),
    item(41224, "", keyOnly).value(19),
};
// clang-format on

constexpr int keyCount = static_cast<int>(Key::numDivide) + 1;
constexpr int modifierCount = 8;

// Number issued by each key and modifier state; built while compiling, where a key bound twice
// stops the build.
constexpr auto keyNumbers = [] {
  std::array<std::uint16_t, keyCount * modifierCount> numbers{};
  for (const Command& c : rows) {
    for (const KeyBinding& k : c.keys) {
      if (k.key == Key::none) continue;
      auto& slot = numbers[static_cast<int>(k.key) * modifierCount + k.modifiers];
      if (slot != 0) throw "a key is bound twice";
      slot = c.number;
    }
  }
  return numbers;
}();

struct CharacterBinding {
  char32_t character = 0;
  std::uint16_t number = 0;
};

constexpr auto characterNumbers = [] {
  std::array<CharacterBinding, 5> bindings{};
  std::size_t n = 0;
  for (const Command& c : rows) {
    if (c.keys[0].character == 0) continue;
    if (n == bindings.size()) throw "more typed characters than expected";
    bindings[n++] = {c.keys[0].character, c.number};
  }
  return bindings;
}();

int unlessGreyed(const Editor& editor, int number) {
  return number != 0 && !editor.menu.greyed[static_cast<std::size_t>(number)] ? number : 0;
}

}  // namespace

bool needsUser(const Command& command) {
  return command.label.ends_with("...") || command.pointer;
}

std::span<const Command> commandTable() {
  return rows;
}

const Command* findCommand(int number) {
  const Command* first = nullptr;
  for (const Command& c : rows) {
    if (c.separator || c.number != number) continue;
    if (c.handler != nullptr) return &c;
    if (first == nullptr) first = &c;
  }
  return first;
}

int acceleratorCommand(const Editor& editor, KeyPress press) {
  if (press.key == Key::none || press.modifiers >= modifierCount) return 0;
  return unlessGreyed(editor,
                      keyNumbers[static_cast<int>(press.key) * modifierCount + press.modifiers]);
}

int characterCommand(const Editor& editor, char32_t character) {
  for (const CharacterBinding& b : characterNumbers) {
    if (b.character == character) return unlessGreyed(editor, b.number);
  }
  return 0;
}

}  // namespace tessarim
