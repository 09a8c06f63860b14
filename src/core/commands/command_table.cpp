#include "commands/command_table.hpp"

#include <algorithm>
#include <array>

#include "commands/add_module_commands.hpp"
#include "commands/camera_commands.hpp"
#include "commands/city_commands.hpp"
#include "commands/colour_commands.hpp"
#include "commands/command_numbers.hpp"
#include "commands/document_export_commands.hpp"
#include "commands/edit_commands.hpp"
#include "commands/export_commands.hpp"
#include "commands/file_commands.hpp"
#include "commands/instance_code_commands.hpp"
#include "commands/instance_commands.hpp"
#include "commands/light_commands.hpp"
#include "commands/macro_commands.hpp"
#include "commands/menu_content.hpp"
#include "commands/modifiers_commands.hpp"
#include "commands/module_commands.hpp"
#include "commands/motion_commands.hpp"
#include "commands/polygon_commands.hpp"
#include "commands/repository_commands.hpp"
#include "commands/scale_commands.hpp"
#include "commands/selection_commands.hpp"
#include "commands/texture_commands.hpp"
#include "commands/view_commands.hpp"
#include "editor/canvas_edits.hpp"
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
  // Acts where the mouse points.
  constexpr Row&& atPointer() && {
    pointer = true;
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
  return family(n, label, path, instanceTypeIs, code).run(setInstanceType);
}
constexpr Row groupItem(int n, std::string_view label, std::string_view path, int code) {
  return family(n, label, path, groupIs, code).run(setInstanceGroup);
}
// People packages: "Assign" sets the instance's group (and the slot's display value), "Display"
// and "Show None" only the display value.
constexpr Row assignItem(int n, std::string_view label, std::string_view path, int code) {
  return family(n, label, path, instanceGroupIs, code).run(assignPeoplePackage);
}
constexpr Row displayItem(int n, std::string_view label, std::string_view path, int slot,
                          int code) {
  return family(n, label, path, peopleDisplayIs, code).inSlot(slot).run(setPeopleDisplay);
}
constexpr Row mapAssign(int n, std::string_view path, int slot) {
  return item(n, "&Assign Texture...", path)
      .run(assignMap)
      .value(slot)
      .when(slot == controlfile ? canAssignControlMap : canAssignMap);
}
constexpr Row mapUnassign(int n, std::string_view path, int slot) {
  return item(n, "&Unassign Texture", path).run(unassignMap).value(slot).when(mapAssigned);
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

constexpr auto endSnap = static_cast<int>(EndMode::snapToZero);
constexpr auto endReverse = static_cast<int>(EndMode::reverse);

// clang-format off
constexpr Command rows[] = {
    // FILE
    item(cmd::newDocument, "&New...", file).key("Ctrl+N").run(newDocument),
    item(cmd::open, "&Open...", file).key("Ctrl+O").run(openDocument),
    item(cmd::close, "&Close", file).key("Ctrl+F4").run(closeDocument).when(documentOpen),
    item(cmd::save, "&Save", file).key("Ctrl+S").run(saveDocument).when(somethingModified),
    item(cmd::saveAs, "Save &As...", file).key("F12").run(saveDocumentAs).when(documentOpen),
    separator(file),
    item(cmd::importDawSet, "&DAW or DAW/DIX set...", fileImport).greyedOut(),
    item(cmd::importAse, "A&SE file...", fileImport).when(canImportAse),
    item(cmd::importObj, "Wavefront OBJ file...", fileImport).when(canImportObj),
    item(cmd::exportTextureAlignment, "&Texture Alignment", fileExport).when(moduleHasPolygons),
    item(cmd::exportFloorDepthMaps, "Floor/Depth Maps", fileExport).when(cityOpen),
    item(cmd::exportContactSheet, "&RTS Contact Sheet", fileExport).when(canExportContactSheet),
    item(cmd::exportDdsSet, "DD&S set", fileExport).greyedOut(),
    separator(fileExport),
    item(cmd::exportWld, "&WLD file...", fileExport).run(exportMergedWld).when(canExportWld),
    item(cmd::exportAsm, "&ASM file...", fileExport).run(exportSelectionAsm).when(canExportAsm),
    item(cmd::exportObj, "Wavefront OBJ...", fileExport),
    item(cmd::exportDawSet, "&DAW or DAW/DIX set", fileExport).run(exportRuntimeSetCommand).when(anyModules),
    item(cmd::exportNameplate, "Nameplate.png", fileExport),
    separator(file),
    item(cmd::properties, "&Properties", file).key("Shift+I").when(documentOpen),
    separator(file),
    item(cmd::windtunnel, "&Windtunnel", file).key("F9").when(assemblyOpen),
    item(cmd::inertialMoments, "I&nertial Moments", file).key("F10").when(canComputeInertialMoments),
    item(cmd::volumetrics, "&Volumetrics", file).key("F11").when(anyModule),
    // The recent-file submenus go in here, before the last two entries.
    separator(file),
    // Alt+F4 is Extrude's key; the hint stays as the menu has always printed it.
    item(cmd::exit, "E&xit", file).shows("Alt+F4").run(exitProgram),

    // EDIT
    item(cmd::undo, "&Undo", edit).key("Ctrl+Z").run(undoChanges).when(somethingModified),
    separator(edit),
    item(cmd::deleteSelection, "&Delete", edit).key("Del").run(deleteSelection).when(canDelete),
    item(cmd::selectAll, "Select All", edit).key("Ctrl+A").run(selectAll).when(anyModules),
    item(cmd::invertSelection, "&Invert Selection", edit).run(invertSelection),
    separator(edit),
    item(cmd::modifiers, "&Modifiers...", edit).key("Shift+M").run(openModifiers).when(canApplyModifiers),
    item(cmd::swapXY, "&Swap X and Y Axes", edit).run(swapXYAxes),
    item(cmd::swapYZ, "Swap Y and Z Axes", edit).run(swapYZAxes),
    separator(edit),
    item(cmd::interiorFlag, "Interior Flag", editType).run(toggleInteriorFlag).checks(interiorFlagSet),
    separator(editType),
    family(cmd::typePrototype, "Prototype", editType, documentTypeIs, 0).run(setDocumentType),
    family(cmd::vehicleModel1, content::vehicleModels[0], editType, documentTypeIs, 1).run(setDocumentType),
    family(cmd::vehicleModel2, content::vehicleModels[1], editType, documentTypeIs, 2).run(setDocumentType),
    family(cmd::vehicleModel3, content::vehicleModels[2], editType, documentTypeIs, 3).run(setDocumentType),
    family(cmd::vehicleModel4, content::vehicleModels[3], editType, documentTypeIs, 4).run(setDocumentType),
    family(cmd::vehicleModel5, content::vehicleModels[4], editType, documentTypeIs, 5).run(setDocumentType),
    family(cmd::vehicleModel6, content::vehicleModels[5], editType, documentTypeIs, 6).run(setDocumentType),
    family(cmd::vehicleModel7, content::vehicleModels[6], editType, documentTypeIs, 7).run(setDocumentType),
    family(cmd::vehicleModel8, content::vehicleModels[7], editType, documentTypeIs, 8).run(setDocumentType),
    family(cmd::vehicleModel9, content::vehicleModels[8], editType, documentTypeIs, 21).run(setDocumentType),
    family(cmd::vehicleModel10, content::vehicleModels[9], editType, documentTypeIs, 22).run(setDocumentType),
    family(cmd::vehicleModel11, content::vehicleModels[10], editType, documentTypeIs, 24).run(setDocumentType),
    family(cmd::vehicleModel12, content::vehicleModels[11], editType, documentTypeIs, 27).run(setDocumentType),
    family(cmd::vehicleModel13, content::vehicleModels[12], editType, documentTypeIs, 29),  // marks only
    item(cmd::pod1, content::pods[0], editPods),
    item(cmd::pod2, content::pods[1], editPods),
    item(cmd::pod3, content::pods[2], editPods),
    item(cmd::pod4, content::pods[3], editPods),
    item(cmd::pod5, content::pods[4], editPods),
    item(cmd::pod6, content::pods[5], editPods),
    separator(editType),
    family(cmd::typePeopleMan, "People (Man)", editType, documentTypeIs, 1001).run(setDocumentType),
    family(cmd::typePeopleWoman, "People (Woman)", editType, documentTypeIs, 1002).run(setDocumentType),
    separator(editType),
    family(cmd::cityDistrict1, content::cityDistricts[0], editType, cityTypeIs, -1).run(setDocumentType),
    family(cmd::cityDistrict2, content::cityDistricts[1], editType, cityTypeIs, -2).run(setDocumentType),
    family(cmd::cityDistrict3, content::cityDistricts[2], editType, cityTypeIs, -3).run(setDocumentType),
    family(cmd::cityDistrict4, content::cityDistricts[3], editType, cityTypeIs, -4).run(setDocumentType),
    family(cmd::cityDistrict5, content::cityDistricts[4], editType, cityTypeIs, -5).run(setDocumentType),
    family(cmd::cityDistrict6, content::cityDistricts[5], editType, cityTypeIs, -6).run(setDocumentType),
    family(cmd::cityDistrict7, content::cityDistricts[6], editType, cityTypeIs, -8).run(setDocumentType),
    family(cmd::cityDistrict8, content::cityDistricts[7], editType, cityTypeIs, -9).run(setDocumentType),
    family(cmd::cityDistrict9, content::cityDistricts[8], editType, cityTypeIs, -10).run(setDocumentType),
    family(cmd::cityDistrict10, content::cityDistricts[9], editType, cityTypeIs, -11).run(setDocumentType),
    family(cmd::cityDistrict11, content::cityDistricts[10], editType, cityTypeIs, -12).run(setDocumentType),
    family(cmd::cityDistrict12, content::cityDistricts[11], editType, cityTypeIs, -13).run(setDocumentType),
    family(cmd::cityDistrict13, content::cityDistricts[12], editType, cityTypeIs, -14).run(setDocumentType),
    family(cmd::cityDistrict14, content::cityDistricts[13], editType, cityTypeIs, -16).run(setDocumentType),
    family(cmd::cityDistrict15, content::cityDistricts[14], editType, cityTypeIs, -17).run(setDocumentType),
    family(cmd::cityDistrict16, content::cityDistricts[15], editType, cityTypeIs, -18).run(setDocumentType),
    family(cmd::cityDistrict17, content::cityDistricts[16], editType, cityTypeIs, -19).run(setDocumentType),
    separator(edit),
    item(cmd::assemblyProperties, "Properties...", edit).when(assemblyOpen),
    separator(edit),
    item(cmd::undoEdit, "Undo Edit", edit).key("Ctrl+Shift+Z").run(undoEdit).when(canUndoEdit),
    item(cmd::redoEdit, "Redo Edit", edit).key("Ctrl+Y").run(redoEdit).when(canRedoEdit),

    // VIEW
    toggle(cmd::meshTexel, "&Mesh/Texel", view, &ViewOptions::texelView).key("V").run(toggleTexelView).when(canShowTexels),
    item(cmd::colorOverlay, "&Color/Overlay", view).key("T").run(stepTexelMap).when(texelViewOn),
    separator(view),
    toggle(cmd::wireframes, "&Wireframes", view, &ViewOptions::wireframes),
    toggle(cmd::normals, "&Normals", view, &ViewOptions::showNormals).key("N"),
    toggle(cmd::boundingSpheres, "&Bounding Spheres", view, &ViewOptions::boundingSpheres).key("B"),
    toggle(cmd::quake, "&Quake (Anti-alias)", view, &ViewOptions::cameraShake),
    toggle(cmd::statistics, "S&tatistics", view, &ViewOptions::statistics),
    separator(view),
    family(cmd::extendedEquipped, "&Extended/Equipped", viewMotion, extendedViewIs, 1).key("Ctrl+E").run(setExtendedView).when(canExtendOrRetract),
    family(cmd::retractedRemoved, "&Retracted/Removed", viewMotion, extendedViewIs, 0).key("Ctrl+R").run(setExtendedView).when(canExtendOrRetract),
    item(cmd::blinking, "&Blinking", viewMotion),
    // L issues the key-only twin 40999; the hint is text only.
    toggle(cmd::timeOfDaySlider, "&Time-of-Day Slider", viewSliders, &ViewOptions::lightingSliders).shows("L").when(systemsViewOff),
    toggle(cmd::wetnessSlider, "&Wetness Slider", viewSliders, &ViewOptions::wetnessSlider).checks(sliderOptionOn).when(lightingSlidersOn),
    toggle(cmd::grimeSlider, "&Grime Slider", viewSliders, &ViewOptions::grimeSlider),
    toggle(cmd::fogSlider, "&Fog Slider", viewSliders, &ViewOptions::fogSlider).checks(sliderOptionOn).when(lightingSlidersOn),
    toggle(cmd::windowTintSlider, "&Window Tint Slider", viewSliders, &ViewOptions::windowTintSlider).when(cityOpen),
    toggle(cmd::ageSlider, "&Age Slider", viewSliders, &ViewOptions::ageSlider).when(assemblyOpen),
    toggle(cmd::stubbleSlider, "St&ubble/Freckle Slider", viewSliders, &ViewOptions::stubbleSlider).when(assemblyOpen),
    item(cmd::snapSunlight, "Snap Sunlight Vector", view).key("Ctrl+L").run(snapSunlight),
    toggle(cmd::productionLighting, "Production &Lighting", view, &ViewOptions::productionLighting).run(toggleProductionLighting),
    toggle(cmd::sortDrawingOrder, "&Sort Drawing Order", view, &ViewOptions::sortDrawingOrder),
    family(cmd::currentModuleOnly, "Current Only", viewModules, allModulesIs, 0).run(setAllModules).when(assemblyOrCityOpen),
    family(cmd::allModules, "All", viewModules, allModulesIs, 1).run(setAllModules).when(assemblyOrCityOpen),
    separator(viewModules),
    toggle(cmd::exteriorPlates, "Exterior Plates", viewModules, &ViewOptions::exteriorPlates).when(assemblyOpen),
    toggle(cmd::otherDestructable, "Other Destructable Modules", viewModules, &ViewOptions::otherDestructable).run(toggleOtherDestructable).when(assemblyOpen),
    toggle(cmd::mipFiltering, "MIP &Filtering", view, &ViewOptions::mipFiltering).run(toggleMipFiltering),
    toggle(cmd::productionWarnings, "&Production Warnings", view, &ViewOptions::productionWarnings),
    toggle(cmd::backfaceCulling, "Backface &Culling", view, &ViewOptions::backfaceCulling).key("C").when(systemsViewOff),
    toggle(cmd::graphPaper, "Graphpaper", view, &ViewOptions::graphPaper).key("G"),
    item(cmd::flattenX, "X", viewFlatten).value(0).run(flipFlatten).checks(flattenIs),
    item(cmd::flattenY, "Y", viewFlatten).value(1).run(flipFlatten).checks(flattenIs),
    item(cmd::flattenZ, "Z", viewFlatten).value(2).run(flipFlatten).checks(flattenIs),
    toggle(cmd::reentryEffect, "Reentry Effect", view, &ViewOptions::reentryEffect),
    toggle(cmd::previewExport, "Preview Export", view, &ViewOptions::previewExport),
    toggle(cmd::autoCentering, "Auto Centering", view, &ViewOptions::autoCentering),
    separator(view),
    item(cmd::resetView, "R&eset", view).key("Space").run(resetView),
    item(cmd::refreshView, "Re&fresh", view).key("F5").run(refreshGeometry),
    separator(view),
    colour(cmd::backgroundColor, "&Background Color...", view, V::background),
    colour(cmd::sunlightColor, "Sunlight Color...", view, V::sunlight),
    colour(cmd::skinColor, "Skin...", viewPeople, V::skin),
    colour(cmd::hairLipsColor, "Hair/Lips...", viewPeople, V::hairLips),
    colour(cmd::eyesColor, "Eyes...", viewPeople, V::eyes),
    colour(cmd::trimColor, "Trim Color...", viewVehicles, V::trim),
    item(cmd::dynamicLogo, "Dynamic Logo...", viewVehicles),
    colour(cmd::dynamicTextColor, "Dynamic Text Color...", viewVehicles, V::dynamicText),

    // POLYGON
    item(cmd::nextPolygon, "Next polygon", polygon).typed(U'}', "}").run(nextPolygon).when(instanceChosen),
    item(cmd::previousPolygon, "Previous Polygon", polygon).typed(U'{', "{").run(previousPolygon).when(instanceChosen),
    item(cmd::expandPolygonSelection, "Expand Selection", polygon).key("Shift+E").run(expandPolygonSelection),
    separator(polygon),
    item(cmd::addPolygon, "Add new polygon...", polygon).key("Ins").run(addPolygon).when(canAddPolygon),
    item(cmd::changePolygon, "&Change polygon...", polygon).key("Ctrl+C").alsoKey("Ctrl+P").run(changePolygon).when(polygonChosen),
    item(cmd::backface, "&Backface", polygon).key("Ctrl+B").run(backface).when(canBackface),
    item(cmd::split, "&Split", polygon).run(splitPolygon).when(canSplit),
    separator(polygon),
    item(cmd::adjustColor, "&Adjust...", polygonColor).run(adjustColour).when(anyModule),
    item(cmd::variegate, "Variegate", polygonColor).run(variegate).when(anyModule),
    item(cmd::colorize, "&Colorize...", polygonColor).run(colorize).when(canColorize),
    separator(polygonColor),
    item(cmd::maskWhiteAlpha, "White Alpha/Skin...", polygonMasking).when(instanceChosen),
    item(cmd::maskBlackAlpha, "Black Alpha/Hair/Lips...", polygonMasking).when(instanceChosen),
    colour(cmd::maskEyes, "Eyes (Not Saved)...", polygonMasking, V::eyes).when(instanceChosen),
    item(cmd::interiorIllumination, "Interior Illumination...", polygonColor).when(canLightInterior),
    family(cmd::shadingLambertian, "Lambertian", polygonShading, shadingIs, 0).run(setShading).when(anyModule),
    family(cmd::shadingGouraud, "&Gouraud", polygonShading, shadingIs, 1).run(setShading).when(anyModule),
    item(cmd::generateTexels, "&Generate", polygonTexel).key("Ctrl+G").run(generateBaseTexels).when(canGenerateTexels),
    item(cmd::generateOverlayTexels, "G&enerate Overlay", polygonTexel).run(generateOverlayTexels).when(canGenerateTexels),
    item(cmd::mirrorTexels, "&Mirror", polygonTexel).run(mirrorBaseTexels).when(singleModule),
    item(cmd::mirrorOverlayTexels, "M&irror Overlay", polygonTexel).run(mirrorOverlayTexels).when(singleModule),

    // MODULE
    item(cmd::nextType, "Next type", module).key("Shift+Num *").run(nextType).when(canStepType),
    item(cmd::previousType, "Previous type", module).key("Shift+Num /").run(previousType).when(canStepType),
    item(cmd::expandModuleSelection, "Expand Selection", module).run(expandModuleSelection).when(singleModule),
    separator(module),
    item(cmd::addModule, "Add new module...", module).key("Shift+Ins").run(addNewModule).when(canAddModule),
    family(cmd::scaleUnassigned, "Unassigned (Legacy)", moduleScale, scaleClassIs, 0).run(assignScaleClass).when(singleModule),
    separator(moduleScale),
    family(cmd::scaleShipsDocks, "Ships, Docks, Ground Elements, New Buildings", moduleScale, scaleClassIs, 1).run(assignScaleClass).when(legacyScaleModule),
    family(cmd::scaleLegacyBuildings, "Legacy Buildings and Large Ships", moduleScale, scaleClassIs, 2).run(assignScaleClass).when(legacyScaleModule),
    family(cmd::scaleSmallVehicles, "Small Vehicles", moduleScale, scaleClassIs, 3).run(assignScaleClass).when(legacyScaleModule),
    family(cmd::scaleInteriors, "Interiors", moduleScale, scaleClassIs, 4).run(assignScaleClass).when(legacyScaleModule),
    family(cmd::scaleDetailedInteriors, "Detailed Interiors", moduleScale, scaleClassIs, 7).run(assignScaleClass).when(legacyScaleModule),
    family(cmd::scalePanels, "Panels and Legacy Monitors", moduleScale, scaleClassIs, 5).run(assignScaleClass).when(legacyScaleModule),
    family(cmd::scaleNextGenerationMonitors, "Next Generation Monitors", moduleScale, scaleClassIs, 12).run(assignScaleClass).when(legacyScaleModule),
    family(cmd::scaleNextGenerationTablet, "Next Generation Tablet Only", moduleScale, scaleClassIs, 13).run(assignScaleClass).when(legacyScaleModule),
    separator(moduleScale),
    family(cmd::scaleStructures, "Structures (1 foot)", moduleScale, scaleClassIs, 8).run(assignScaleClass).when(newScaleModule),
    family(cmd::scaleVehicles, "Vehicles (1 foot)", moduleScale, scaleClassIs, 9).run(assignScaleClass).when(newScaleModule),
    family(cmd::scaleVehiclesHd, "Vehicles HD (1 inch)", moduleScale, scaleClassIs, 10).run(assignScaleClass).when(newScaleModule),
    family(cmd::scalePeople, "People (1/4 inch)", moduleScale, scaleClassIs, 11).run(assignScaleClass).when(newScaleModule),
    item(cmd::optimizeOrder, "O&ptimize Order", texture).run(optimizeOrder).when(canOptimizeOrder),
    item(cmd::matchCityBuildings, "City/User Buildings", textureMatch).run(matchTextures).value(static_cast<int>(MatchCatalogue::buildings)),
    item(cmd::matchOrbitalFacilities, "Orbital Facilities", textureMatch).run(matchTextures).value(static_cast<int>(MatchCatalogue::docks)),
    item(cmd::matchShipsAndVehicles, "Ships and Vehicles", textureMatch).run(matchTextures).value(static_cast<int>(MatchCatalogue::ships)),
    item(cmd::matchInteriors, "Interiors (Cleared)", textureMatch).run(matchTextures).value(static_cast<int>(MatchCatalogue::interiors)),
    item(cmd::autoAssignTextures, "Auto Assign", texture).run(autoAssignMaps).when(canAutoAssign),
    item(cmd::clearAllTextures, "Clear All", texture).run(clearAllMaps).when(canClearMaps),
    separator(texture),
    mapAssign(cmd::assignBaseMap, baseMap, textfile),
    mapUnassign(cmd::unassignBaseMap, baseMap, textfile),
    item(cmd::hideBaseMap, "&Hide Texture", baseMap).run(toggleBaseHidden).value(textfile).when(mapAssigned).checks(baseHiddenSet),
    mapAssign(cmd::assignOverlayMap, overlayMap, overlayfile),
    mapUnassign(cmd::unassignOverlayMap, overlayMap, overlayfile),
    mapAssign(cmd::assignLightMap, lightMap, lightfile),
    mapUnassign(cmd::unassignLightMap, lightMap, lightfile),
    mapAssign(cmd::assignReflectivityMap, reflectivityMap, reflectfile),
    mapUnassign(cmd::unassignReflectivityMap, reflectivityMap, reflectfile),
    mapAssign(cmd::assignHeightMap, heightMap, heightfile),
    mapUnassign(cmd::unassignHeightMap, heightMap, heightfile),
    mapAssign(cmd::assignGrimeMap, grimeMap, grimefile),
    mapUnassign(cmd::unassignGrimeMap, grimeMap, grimefile),
    mapAssign(cmd::assignVisibilityMap, visibilityMap, visibilityfile),
    mapUnassign(cmd::unassignVisibilityMap, visibilityMap, visibilityfile),
    mapAssign(cmd::assignDetailMap, detailMap, detailfile),
    mapUnassign(cmd::unassignDetailMap, detailMap, detailfile),
    mapAssign(cmd::assignControlMap, controlMap, controlfile),
    mapUnassign(cmd::unassignControlMap, controlMap, controlfile),
    separator(texture),
    item(cmd::flipTexture, "&Flip", texture).run(flipTexels).when(canFlipTextures),
    item(cmd::canvasColor, "C&anvas Color...", texture).run(chooseCanvasColour),
    toggle(cmd::liveUpdates, "&Live Updates", texture, &ViewOptions::liveUpdates),
    separator(module),
    item(cmd::averageOriginWeighted, "Average Origin (Weighted)", module).run(averageOriginWeighted).when(canAverageOrigin),
    item(cmd::averageOriginCentered, "Average Origin (Centered)", module).run(averageOriginCentered).when(canAverageOrigin),
    item(cmd::flipAroundX, "Flip Around X Axis", module).key("Ctrl+F").run(flipAroundX).when(singleModule),
    item(cmd::flipAroundY, "Flip Around Y Axis", module).run(flipAroundY),
    separator(module),
    item(cmd::editComponent, "Edit &Component...", module).key("S").when(singleModule),

    // INSTANCE
    item(cmd::nextInstance, "Next instance", instance).key("Num *").run(nextInstance),
    item(cmd::previousInstance, "Previous instance", instance).key("Num /").run(previousInstance),
    item(cmd::expandInstanceSelection, "Expand Selection", instance).run(expandInstanceSelection).when(singleModule),
    item(cmd::duplicate, "Du&plicate", instance).key("Ctrl+Ins").run(duplicateSelection).when(canDuplicate),
    separator(instance),
    family(cmd::notColorized, "Not Colorized", colourKey, colourKeyIs, -1).run(setColourKey),
    separator(colourKey),
    family(cmd::immutable1, "Immutable 1", colourKey, colourKeyIs, 0).run(setColourKey),
    family(cmd::immutable2, "Immutable 2", colourKey, colourKeyIs, 1).run(setColourKey),
    family(cmd::immutable3, "Immutable 3", colourKey, colourKeyIs, 2).run(setColourKey),
    family(cmd::immutable4, "Immutable 4", colourKey, colourKeyIs, 3).run(setColourKey),
    family(cmd::immutable5, "Immutable 5", colourKey, colourKeyIs, 4).run(setColourKey),
    family(cmd::immutable6, "Immutable 6", colourKey, colourKeyIs, 5).run(setColourKey),
    family(cmd::immutable7, "Immutable 7", colourKey, colourKeyIs, 6).run(setColourKey),
    family(cmd::immutable8, "Immutable 8", colourKey, colourKeyIs, 7).run(setColourKey),
    separator(colourKey),
    family(cmd::mutable1, "Mutable 1", colourKey, colourKeyIs, 8).run(setColourKey),
    family(cmd::mutable2, "Mutable 2", colourKey, colourKeyIs, 9).run(setColourKey),
    family(cmd::mutable3, "Mutable 3", colourKey, colourKeyIs, 10).run(setColourKey),
    family(cmd::mutable4, "Mutable 4", colourKey, colourKeyIs, 11).run(setColourKey),
    family(cmd::mutable5, "Mutable 5", colourKey, colourKeyIs, 12).run(setColourKey),
    family(cmd::mutable6, "Mutable 6", colourKey, colourKeyIs, 13).run(setColourKey),
    family(cmd::mutable7, "Mutable 7", colourKey, colourKeyIs, 14).run(setColourKey),
    family(cmd::mutable8, "Mutable 8", colourKey, colourKeyIs, 15).run(setColourKey),
    separator(colourKey),
    item(cmd::newScheme, "New Scheme...", colourKey).run(newScheme).when(canChangeScheme),
    item(cmd::loadScheme, "Load Scheme...", colourKey).run(loadScheme).when(canChangeScheme),
    item(cmd::editScheme, "Edit Scheme...", colourKey).run(editScheme).when(canChangeScheme),
    separator(colourKey),
    item(cmd::manageAlphamaps, "Manage/Select Alphamaps...", colourKey).greyedOut(),
    item(cmd::managePatterns, "Manage/Select White Pattern...", colourKey).greyedOut(),
    item(cmd::managePatterns, "Manage/Select Black Pattern...", colourKey).greyedOut(),
    separator(instance),
    typeItem(cmd::typeUnassigned, "Unassigned", instance, 0),
    typeItem(cmd::exteriorTransparency, "Exterior Transparency", instance, 57),
    typeItem(cmd::exteriorPlate, "Exterior Plate", instance, 24),
    typeItem(cmd::headlight, "Headlight", instance, 43),
    typeItem(cmd::indestructable, "Indestructable", instance, 25),
    typeItem(cmd::outsideCockpitLight, "Outside Cockpit/Dome Light", instance, 31),
    typeItem(cmd::doors, "Door/Bay Doors", instance, 30),
    typeItem(cmd::brakelight, "Brakelight", instance, 44),
    typeItem(cmd::windshieldWiper, "Windshield Wiper", instance, 47),
    typeItem(cmd::dynamicType, "Dynamic", instance, 42),
    typeItem(cmd::postProcessingTest, "Post Processing Test", instance, 27),
    typeItem(cmd::noBoundingSphere, "No Bounding Sphere", instance, 53),
    typeItem(cmd::noBackfaceCulling, "No Backface Culling", instance, 250),
    separator(instance),
    typeItem(cmd::leftWing, "Left Wing", airfoil64, 17),
    typeItem(cmd::rightWing, "Right Wing", airfoil64, 18),
    typeItem(cmd::canard, "Canard", airfoil64, 67),
    typeItem(cmd::tail, "Tail", airfoil63, 19),
    typeItem(cmd::engine1Nacelle, "Nacelle", engine1, 20),
    typeItem(cmd::engine1AccelerateCone, "Cone", engine1Accelerate, 200),
    typeItem(cmd::engine1AccelerateNozzle, "Nozzle", engine1Accelerate, 201),
    typeItem(cmd::engine1DecelerateCone, "Cone", engine1Decelerate, 205),
    typeItem(cmd::engine1DecelerateNozzle, "Nozzle", engine1Decelerate, 206),
    typeItem(cmd::engine2Nacelle, "Nacelle", engine2, 21),
    typeItem(cmd::engine2AccelerateCone, "Cone", engine2Accelerate, 210),
    item(0, "Nozzle", engine2Accelerate),  // code 211 is reserved for it; it carries no number
    typeItem(cmd::engine2DecelerateCone, "Cone", engine2Decelerate, 215),
    item(0, "Nozzle", engine2Decelerate),  // code 216 reserved
    typeItem(cmd::engine3Nacelle, "Nacelle", engine3, 22),
    typeItem(cmd::engine3AccelerateCone, "Cone", engine3Accelerate, 220),
    item(0, "Nozzle", engine3Accelerate),  // code 221 reserved
    typeItem(cmd::engine3DecelerateCone, "Cone", engine3Decelerate, 225),
    typeItem(cmd::engine3DecelerateNozzle, "Nozzle", engine3Decelerate, 226),
    typeItem(cmd::flightControl1, content::flightControls[0], flightControl, 10),
    typeItem(cmd::flightControl2, content::flightControls[1], flightControl, 11),
    typeItem(cmd::flightControl3, content::flightControls[2], flightControl, 12),
    typeItem(cmd::flightControl4, content::flightControls[3], flightControl, 13),
    typeItem(cmd::flightControl5, content::flightControls[4], flightControl, 14),
    typeItem(cmd::flightControl6, content::flightControls[5], flightControl, 15),
    typeItem(cmd::flightControl7, content::flightControls[6], flightControl, 16),
    typeItem(cmd::flightControl8, content::flightControls[7], flightControl, 68),
    typeItem(cmd::flightControl9, content::flightControls[8], flightControl, 61),
    typeItem(cmd::flightControl10, content::flightControls[9], flightControl, 62),
    typeItem(cmd::flightControl11, content::flightControls[10], flightControl, 63),
    typeItem(cmd::flightControl12, content::flightControls[11], flightControl, 64),
    typeItem(cmd::flightControl13, content::flightControls[12], flightControl, 69),
    typeItem(cmd::exteriorWindows, "Windhield/Exterior Windows", interiorTransparency, 5),
    typeItem(cmd::betweenViewerAndExterior, "Between Viewer and Exterior", interiorTransparency, 3),
    typeItem(cmd::interiorDisplay1, content::displays[0], interiorDisplays, 52),
    typeItem(cmd::interiorDisplay2, content::displays[1], interiorDisplays, 4),
    typeItem(cmd::interiorDisplay3, content::displays[2], interiorDisplays, 51),
    typeItem(cmd::interiorDisplay4, content::displays[3], interiorDisplays, 251),
    typeItem(cmd::interiorDisplay5, content::displays[4], interiorDisplays, 55),
    typeItem(cmd::interiorDisplay6, content::displays[5], interiorDisplays, 58),
    typeItem(cmd::interiorDisplay7, content::displays[6], interiorDisplays, 59),
    typeItem(cmd::interiorDisplay8, content::displays[7], interiorDisplays, 60),
    typeItem(cmd::vehicleControl1, content::vehicleControls[0], interiorControls, 33),
    typeItem(cmd::vehicleControl2, content::vehicleControls[1], interiorControls, 36),
    typeItem(cmd::vehicleControl3, content::vehicleControls[2], interiorControls, 49),
    typeItem(cmd::vehicleControl4, content::vehicleControls[3], interiorControls, 35),
    typeItem(cmd::vehicleControl5, content::vehicleControls[4], interiorControls, 50),
    typeItem(cmd::vehicleControl6, content::vehicleControls[5], interiorControls, 34),
    typeItem(cmd::vehicleControl7, content::vehicleControls[6], interiorControls, 37),
    typeItem(cmd::vehicleControl8, content::vehicleControls[7], interiorControls, 39),
    typeItem(cmd::vehicleControl9, content::vehicleControls[8], interiorControls, 65),
    typeItem(cmd::vehicleControl10, content::vehicleControls[9], interiorControls, 66),
    typeItem(cmd::chair, "Chair", interior, 32),
    typeItem(cmd::interiorMirror, "Mirror", interior, 46),
    typeItem(cmd::mostlyEnclosed, "Mostly Enclosed", interior, 38),
    typeItem(cmd::cargoBay, "Cargo Bay", interior, 54),
    typeItem(cmd::occupant, "Occupant", interior, 56),
    typeItem(cmd::generalAnimation, "General Animation", interior, 48),
    typeItem(cmd::standIn1, content::standIns[0], interiorStandIns, 252),
    typeItem(cmd::standIn2, content::standIns[1], interiorStandIns, 253),
    typeItem(cmd::standIn3, content::standIns[2], interiorStandIns, 254),
    typeItem(cmd::mainGear, "Main Gear", landingGear, 1),
    typeItem(cmd::noseGear, "Nose Gear", landingGear, 2),
    typeItem(cmd::mainWheel, "Main Wheel", landingGear, 6),
    typeItem(cmd::noseWheel, "Nose Wheel", landingGear, 9),
    typeItem(cmd::launcher, "Launcher/Emmiter", weapons, 28),
    typeItem(cmd::ordinance, "Ordinance", weapons, 29),
    typeItem(cmd::head, "Head", peopleParts, 101),
    typeItem(cmd::helmetGlass, "Helmet Glass", peopleParts, 116),
    typeItem(cmd::torso, "Torso", peopleParts, 100),
    typeItem(cmd::hips, "Hips", peopleParts, 102),
    typeItem(cmd::hipAccessory, "Hip Accessory", peopleParts, 115),
    typeItem(cmd::leftUpperArm, "Left", upperArm, 103),
    typeItem(cmd::rightUpperArm, "Right", upperArm, 104),
    typeItem(cmd::leftForearm, "Left", forearm, 105),
    typeItem(cmd::rightForearm, "Right", forearm, 106),
    typeItem(cmd::leftMonitor, "Left Monitor", forearm, 117),
    typeItem(cmd::leftHand, "Left", hand, 107),
    typeItem(cmd::rightHand, "Right", hand, 108),
    typeItem(cmd::leftThigh, "Left", thigh, 109),
    typeItem(cmd::rightThigh, "Right", thigh, 110),
    typeItem(cmd::leftShin, "Left", shin, 111),
    typeItem(cmd::rightShin, "Right", shin, 112),
    typeItem(cmd::leftFoot, "Left", foot, 113),
    typeItem(cmd::rightFoot, "Right", foot, 114),
    typeItem(cmd::seedBuilding, "Seed Building", buildings, 7),
    typeItem(cmd::foundation, "Foundation", buildings, 99),
    typeItem(cmd::building1, content::buildingTypes[0], buildings, 81),
    typeItem(cmd::building2, content::buildingTypes[1], buildings, 75),
    typeItem(cmd::building3, content::buildingTypes[2], buildings, 76),
    typeItem(cmd::building4, content::buildingTypes[3], buildings, 77),
    typeItem(cmd::building5, content::buildingTypes[4], buildings, 78),
    typeItem(cmd::skipForDepth, "Skip for Depth", buildings, 85),
    typeItem(cmd::skipForDaw, "Skip for DAW", buildings, 86),
    typeItem(cmd::mining1, content::mining[0], miningSpecific, 71),
    typeItem(cmd::mining2, content::mining[1], miningSpecific, 72),
    typeItem(cmd::mining3, content::mining[2], miningSpecific, 73),
    typeItem(cmd::mining4, content::mining[3], miningSpecific, 74),
    typeItem(cmd::farm1, content::farm[0], farmSpecific, 8),
    typeItem(cmd::farm2, content::farm[1], farmSpecific, 79),
    typeItem(cmd::farm3, content::farm[2], farmSpecific, 80),
    typeItem(cmd::township1, content::township[0], townshipSpecific, 82),
    typeItem(cmd::township2, content::township[1], townshipSpecific, 83),
    typeItem(cmd::township3, content::township[2], townshipSpecific, 84),
    typeItem(cmd::airfield1, content::airfield[0], airfieldSpecific, 93),
    typeItem(cmd::airfield2, content::airfield[1], airfieldSpecific, 8),
    typeItem(cmd::airfield3, content::airfield[2], airfieldSpecific, 90),
    typeItem(cmd::airfield4, content::airfield[3], airfieldSpecific, 94),
    typeItem(cmd::salvage1, content::salvage[0], salvageSpecific, 95),
    typeItem(cmd::salvage2, content::salvage[1], salvageSpecific, 97),
    typeItem(cmd::salvage3, content::salvage[2], salvageSpecific, 96),
    typeItem(cmd::salvage4, content::salvage[3], salvageSpecific, 98),
    item(cmd::estateSpecific, "Estate Specific", buildings).greyedOut(),
    typeItem(cmd::placeholderSmall, "Small", placeholder, 87),
    typeItem(cmd::placeholderMedium, "Medium", placeholder, 88),
    typeItem(cmd::placeholderLarge, "Large", placeholder, 89),
    separator(buildings),
    item(cmd::clearBuildingNumber, "Clear Building Number", buildings).when(buildingChosen),
    typeItem(cmd::scrollingLightmap, "Scrolling Lightmap", advertising, 40),
    typeItem(cmd::scrollingColormap, "Scrolling Colormap", advertising, 45),
    typeItem(cmd::staticAdvertising, "Static", advertising, 41),
    typeItem(cmd::dock1, content::docks[0], dockSpecific, 91),
    typeItem(cmd::dock2, content::docks[1], dockSpecific, 92),
    typeItem(cmd::tumbler, "Tumbler", dockSpecific, 130),
    typeItem(cmd::bigRing, "Big Ring", dockSpecific, 131),
    separator(instance),
    item(cmd::manageLogos, "Manage Logos...", instance).greyedOut(),

    // GROUP
    item(cmd::nextGroup, "Next Building/Group", group).typed(U']', "]").run(nextGroup).when(assemblyOrCityOpen),
    item(cmd::previousGroup, "Previous Building/Group", group).typed(U'[', "[").run(previousGroup).when(assemblyOrCityOpen),
    item(cmd::expandGroupSelection, "Expand Selection", group).run(expandGroupSelection).when(canExpandGroup),
    separator(group),
    groupItem(cmd::groupUnassigned, "Unassigned", group, 0),
    groupItem(cmd::groupUnassignedImported, "Unassigned (Imported)", group, 1000),
    groupItem(cmd::roomFromFloor, "Room From Floor", group, 999),
    toggle(cmd::showUnassignedInertial, "Show Unassigned", inertial, &ViewOptions::showUnassignedInertial),
    separator(inertial),
    assignItem(cmd::inertialLeftEngine, "Left Engine", inertial, 700),
    assignItem(cmd::inertialRightEngine, "Right Engine", inertial, 701),
    assignItem(cmd::inertialCenterEngine, "Center Engine", inertial, 702),
    assignItem(cmd::inertialLeftWing, "Left Wing", inertial, 710),
    assignItem(cmd::inertialRightWing, "Right Wing", inertial, 711),
    assignItem(cmd::inertialHStab, "H-Stab", inertial, 712),
    assignItem(cmd::inertialVStab, "V-Stab", inertial, 713),
    assignItem(cmd::inertialFuselage, "Fuselage", inertial, 714),
    assignItem(cmd::inertialFairing, "Fairing", inertial, 715),
    assignItem(cmd::inertialCargoDoor1, "Cargo Door 1", inertial, 720),
    assignItem(cmd::inertialCargoDoor2, "Cargo Door 2", inertial, 721),
    assignItem(cmd::inertialNoseGear, "Nose Gear", inertial, 730),
    assignItem(cmd::inertialLeftMainGear, "Left Main Gear", inertial, 731),
    assignItem(cmd::inertialRightMainGear, "Right Main Gear", inertial, 732),
    groupItem(cmd::vehiclePackage1Equipped, content::vehiclePackages[0], vehiclePackages, 1),
    groupItem(cmd::vehiclePackage1NotInstalled, content::vehiclePackages[1], vehiclePackages, 2),
    groupItem(cmd::vehiclePackage2Equipped, content::vehiclePackages[2], vehiclePackages, 3),
    groupItem(cmd::vehiclePackage2NotInstalled, content::vehiclePackages[3], vehiclePackages, 4),
    groupItem(cmd::vehiclePackage3Equipped, content::vehiclePackages[4], vehiclePackages, 5),
    groupItem(cmd::vehiclePackage3NotInstalled, content::vehiclePackages[5], vehiclePackages, 6),
    groupItem(cmd::vehiclePackage4Equipped, content::vehiclePackages[6], vehiclePackages, 7),
    groupItem(cmd::vehiclePackage4NotInstalled, content::vehiclePackages[7], vehiclePackages, 8),
    groupItem(cmd::vehiclePackage5Equipped, content::vehiclePackages[8], vehiclePackages, 9),
    groupItem(cmd::vehiclePackage5NotInstalled, content::vehiclePackages[9], vehiclePackages, 10),
    groupItem(cmd::vehiclePackage6Equipped, content::vehiclePackages[10], vehiclePackages, 11),
    groupItem(cmd::vehiclePackage6NotInstalled, content::vehiclePackages[11], vehiclePackages, 12),
    groupItem(cmd::vehiclePackage7Equipped, content::vehiclePackages[12], vehiclePackages, 13),
    groupItem(cmd::vehiclePackage7NotInstalled, content::vehiclePackages[13], vehiclePackages, 14),
    groupItem(cmd::vehiclePackage8Equipped, content::vehiclePackages[14], vehiclePackages, 15),
    groupItem(cmd::vehiclePackage8NotInstalled, content::vehiclePackages[15], vehiclePackages, 16),
    displayItem(cmd::headShowNone, "Show None", headEyes, headSlot, 150),
    separator(headEyes),
    assignItem(cmd::headAssign1, content::assignPackage[0], headEyes, 151),
    displayItem(cmd::headDisplay1, content::displayPackage[0], headEyes, headSlot, 151),
    assignItem(cmd::headAssign2, content::assignPackage[1], headEyes, 152),
    displayItem(cmd::headDisplay2, content::displayPackage[1], headEyes, headSlot, 152),
    assignItem(cmd::headAssign3, content::assignPackage[2], headEyes, 153),
    displayItem(cmd::headDisplay3, content::displayPackage[2], headEyes, headSlot, 153),
    assignItem(cmd::headAssign4, content::assignPackage[3], headEyes, 154),
    displayItem(cmd::headDisplay4, content::displayPackage[3], headEyes, headSlot, 154),
    assignItem(cmd::headAssign5, content::assignPackage[4], headEyes, 155),
    displayItem(cmd::headDisplay5, content::displayPackage[4], headEyes, headSlot, 155),
    displayItem(cmd::hairShowNone, "Show None", hair, hairSlot, 175),
    separator(hair),
    assignItem(cmd::hairAssign1, content::assignPackage[0], hair, 176),
    displayItem(cmd::hairDisplay1, content::displayPackage[0], hair, hairSlot, 176),
    assignItem(cmd::hairAssign2, content::assignPackage[1], hair, 177),
    displayItem(cmd::hairDisplay2, content::displayPackage[1], hair, hairSlot, 177),
    assignItem(cmd::hairAssign3, content::assignPackage[2], hair, 178),
    displayItem(cmd::hairDisplay3, content::displayPackage[2], hair, hairSlot, 178),
    assignItem(cmd::hairAssign4, content::assignPackage[3], hair, 179),
    displayItem(cmd::hairDisplay4, content::displayPackage[3], hair, hairSlot, 179),
    assignItem(cmd::hairAssign5, content::assignPackage[4], hair, 180),
    displayItem(cmd::hairDisplay5, content::displayPackage[4], hair, hairSlot, 180),
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
    displayItem(cmd::noseShowNone, "Show None", nose, noseSlot, 100),
    separator(nose),
    assignItem(cmd::noseAssign1, content::assignPackage[0], nose, 101),
    displayItem(cmd::noseDisplay1, content::displayPackage[0], nose, noseSlot, 101),
    assignItem(cmd::noseAssign2, content::assignPackage[1], nose, 102),
    displayItem(cmd::noseDisplay2, content::displayPackage[1], nose, noseSlot, 102),
    assignItem(cmd::noseAssign3, content::assignPackage[2], nose, 103),
    displayItem(cmd::noseDisplay3, content::displayPackage[2], nose, noseSlot, 103),
    assignItem(cmd::noseAssign4, content::assignPackage[3], nose, 104),
    displayItem(cmd::noseDisplay4, content::displayPackage[3], nose, noseSlot, 104),
    assignItem(cmd::noseAssign5, content::assignPackage[4], nose, 105),
    displayItem(cmd::noseDisplay5, content::displayPackage[4], nose, noseSlot, 105),
    displayItem(cmd::earShowNone, "Show None", ear, earSlot, 225),
    separator(ear),
    assignItem(cmd::earAssign1, content::assignPackage[0], ear, 226),
    displayItem(cmd::earDisplay1, content::displayPackage[0], ear, earSlot, 226),
    assignItem(cmd::earAssign2, content::assignPackage[1], ear, 227),
    displayItem(cmd::earDisplay2, content::displayPackage[1], ear, earSlot, 227),
    assignItem(cmd::earAssign3, content::assignPackage[2], ear, 228),
    displayItem(cmd::earDisplay3, content::displayPackage[2], ear, earSlot, 228),
    assignItem(cmd::earAssign4, content::assignPackage[3], ear, 229),
    displayItem(cmd::earDisplay4, content::displayPackage[3], ear, earSlot, 229),
    assignItem(cmd::earAssign5, content::assignPackage[4], ear, 230),
    displayItem(cmd::earDisplay5, content::displayPackage[4], ear, earSlot, 230),
    // Three sets of three packages; the ninth pair does nothing yet.
    displayItem(cmd::jawLinesShowNone, "Show None", jawLines, jawLinesSlot, 675),
    separator(jawLines),
    assignItem(cmd::jawLinesAssign1, content::assignPackage[0], jawLines, 676),
    displayItem(cmd::jawLinesDisplay1, content::displayPackage[0], jawLines, jawLinesSlot, 676),
    assignItem(cmd::jawLinesAssign2, content::assignPackage[1], jawLines, 677),
    displayItem(cmd::jawLinesDisplay2, content::displayPackage[1], jawLines, jawLinesSlot, 677),
    assignItem(cmd::jawLinesAssign3, content::assignPackage[2], jawLines, 678),
    displayItem(cmd::jawLinesDisplay3, content::displayPackage[2], jawLines, jawLinesSlot, 678),
    separator(jawLines),
    assignItem(cmd::jawLinesAssign4, content::assignPackage[3], jawLines, 679),
    displayItem(cmd::jawLinesDisplay4, content::displayPackage[3], jawLines, jawLinesSlot, 679),
    assignItem(cmd::jawLinesAssign5, content::assignPackage[4], jawLines, 680),
    displayItem(cmd::jawLinesDisplay5, content::displayPackage[4], jawLines, jawLinesSlot, 680),
    assignItem(cmd::jawLinesAssign6, content::assignPackage[5], jawLines, 681),
    displayItem(cmd::jawLinesDisplay6, content::displayPackage[5], jawLines, jawLinesSlot, 681),
    separator(jawLines),
    assignItem(cmd::jawLinesAssign7, content::assignPackage[6], jawLines, 682),
    displayItem(cmd::jawLinesDisplay7, content::displayPackage[6], jawLines, jawLinesSlot, 682),
    assignItem(cmd::jawLinesAssign8, content::assignPackage[7], jawLines, 683),
    displayItem(cmd::jawLinesDisplay8, content::displayPackage[7], jawLines, jawLinesSlot, 683),
    item(cmd::jawLinesAssign9, content::assignPackage[8], jawLines),
    item(cmd::jawLinesDisplay9, content::displayPackage[8], jawLines),
    displayItem(cmd::jawOverlayShowNone, "Show None", jawOverlay, jawOverlaySlot, 125),
    separator(jawOverlay),
    assignItem(cmd::jawOverlayAssign1, content::assignPackage[0], jawOverlay, 126),
    displayItem(cmd::jawOverlayDisplay1, content::displayPackage[0], jawOverlay, jawOverlaySlot, 126),
    assignItem(cmd::jawOverlayAssign2, content::assignPackage[1], jawOverlay, 127),
    displayItem(cmd::jawOverlayDisplay2, content::displayPackage[1], jawOverlay, jawOverlaySlot, 127),
    assignItem(cmd::jawOverlayAssign3, content::assignPackage[2], jawOverlay, 128),
    displayItem(cmd::jawOverlayDisplay3, content::displayPackage[2], jawOverlay, jawOverlaySlot, 128),
    assignItem(cmd::jawOverlayAssign4, content::assignPackage[3], jawOverlay, 129),
    displayItem(cmd::jawOverlayDisplay4, content::displayPackage[3], jawOverlay, jawOverlaySlot, 129),
    assignItem(cmd::jawOverlayAssign5, content::assignPackage[4], jawOverlay, 130),
    displayItem(cmd::jawOverlayDisplay5, content::displayPackage[4], jawOverlay, jawOverlaySlot, 130),
    assignItem(cmd::shirtsAssignBare, content::assignBare, shirts, 250),
    displayItem(cmd::shirtsDisplayBare, content::displayBare, shirts, shirtsSlot, 250),
    assignItem(cmd::shirtsAssign1, content::assignPackage[0], shirts, 251),
    displayItem(cmd::shirtsDisplay1, content::displayPackage[0], shirts, shirtsSlot, 251),
    assignItem(cmd::shirtsAssign2, content::assignPackage[1], shirts, 252),
    displayItem(cmd::shirtsDisplay2, content::displayPackage[1], shirts, shirtsSlot, 252),
    assignItem(cmd::pantsAssignBare, content::assignBare, pants, 300),
    displayItem(cmd::pantsDisplayBare, content::displayBare, pants, pantsSlot, 300),
    assignItem(cmd::pantsAssign1, content::assignPackage[0], pants, 316),
    displayItem(cmd::pantsDisplay1, content::displayPackage[0], pants, pantsSlot, 316),
    assignItem(cmd::pantsAssign2, content::assignPackage[1], pants, 317),
    displayItem(cmd::pantsDisplay2, content::displayPackage[1], pants, pantsSlot, 317),
    displayItem(cmd::shoesShowNone, "Show None", shoes, shoesSlot, 400),
    separator(shoes),
    assignItem(cmd::shoesAssign1, content::assignPackage[0], shoes, 401),
    displayItem(cmd::shoesDisplay1, content::displayPackage[0], shoes, shoesSlot, 401),
    displayItem(cmd::framesShowNone, "Show None", frames, framesSlot, 450),
    separator(frames),
    assignItem(cmd::framesAssign1, content::assignPackage[0], frames, 451),
    displayItem(cmd::framesDisplay1, content::displayPackage[0], frames, framesSlot, 451),
    assignItem(cmd::framesAssign2, content::assignPackage[1], frames, 452),
    displayItem(cmd::framesDisplay2, content::displayPackage[1], frames, framesSlot, 452),
    assignItem(cmd::framesAssign3, content::assignPackage[2], frames, 453),
    displayItem(cmd::framesDisplay3, content::displayPackage[2], frames, framesSlot, 453),
    assignItem(cmd::framesAssign4, content::assignPackage[3], frames, 454),
    displayItem(cmd::framesDisplay4, content::displayPackage[3], frames, framesSlot, 454),
    assignItem(cmd::framesAssign5, content::assignPackage[4], frames, 455),
    displayItem(cmd::framesDisplay5, content::displayPackage[4], frames, framesSlot, 455),
    assignItem(cmd::framesAssign1, content::assignPackage[0], sunglasses, 451),
    displayItem(cmd::framesDisplay1, content::displayPackage[0], sunglasses, framesSlot, 451),
    displayItem(cmd::spacesuitShowNone, "Show None", spacesuit, spacesuitSlot, 500),
    separator(spacesuit),
    assignItem(cmd::spacesuitAssign1, content::assignPackage[0], spacesuit, 501),
    displayItem(cmd::spacesuitDisplay1, content::displayPackage[0], spacesuit, spacesuitSlot, 501),
    separator(people),
    item(cmd::displayRandom, "Display Random", people).typed(U'=', "="),
    separator(group),
    groupItem(cmd::simulatorSpecific, "Simulator Specific", group, 998),
    groupItem(cmd::optOutExport, "Opt-out Exclude Export", group, 997),
    groupItem(cmd::optInExport, "Opt-in Include Export", group, 996),
    separator(group),
    item(cmd::refreshFromAsm, "Refresh From ASM...", group).run(refreshFromAsm).when(canRefreshFromAsm),
    item(cmd::buildingName, "Building Name...", group).when(buildingChosen),

    // MOTION
    item(cmd::snapMotionExtent, "Snap &Motion Extent", motion).when(canSnapMotion),
    item(cmd::clearMotion, "&Clear Motion", motion).when(canClearMotion),
    item(cmd::hingeProperties, "&Hinge properties...", motion).key("F7").when(canEditHinge),
    item(cmd::calculateNormal, "Calculate Normal", motion).run(calculateNormal).atPointer(),
    separator(motion),
    family(cmd::advanceThenSnap, "Adv 0-1 then snap 0", motion, endModeIs, endSnap).run(toggleEndMode).when(canSetEndMode),
    family(cmd::advanceThenReverse, "Adv 0-1 then reverse", motion, endModeIs, endReverse).run(toggleEndMode).when(canSetEndMode),
    separator(motion),
    item(cmd::hierarchySort, "Hierarchy Sort", motion),
    family(cmd::skeletonMale, "Human Male", skeleton, skeletonIs, 1).run(setSkeleton),
    family(cmd::skeletonFemale, "Human Female", skeleton, skeletonIs, 0).run(setSkeleton),
    separator(skeleton),
    item(cmd::resetJoints, "Reset Joints", skeleton),
    item(cmd::resetOffset, "Reset Offset", skeleton),
    family(cmd::agility95, content::agility[0], agility, agilityIs, 100).run(setAgility),
    family(cmd::agility50, content::agility[1], agility, agilityIs, 50).run(setAgility),
    family(cmd::agility5, content::agility[2], agility, agilityIs, 0).run(setAgility),
    family(cmd::animationNone, "None", animation, animationSlotIs, -1),
    separator(animation),
    family(cmd::putArmOnHip, "Put Arm on Hip", animation, animationSlotIs, 0),
    family(cmd::startWalking, "Start Walking (Lead with Left)", animation, animationSlotIs, 1),
    family(cmd::walkLoopLeft, "Straight Forward Walk Loop (Left)", animation, animationSlotIs, 2),
    family(cmd::stopWalkingFromRight, "Stop Walking (From Right Loops)", animation, animationSlotIs, 3),
    family(cmd::walkLoopRight, "Straight Forward Walk Loop (Right)", animation, animationSlotIs, 4),
    family(cmd::stopWalkingFromLeft, "Stop Walking (From Left Loops)", animation, animationSlotIs, 5),
    family(cmd::jumpUpAndLand, "Jump Up && Land", animation, animationSlotIs, 6),
    family(cmd::standing, "Standing (Interruptable)", animation, animationSlotIs, 7),
    family(cmd::turnInPlaceLeft, "Turn in Place (15\u00b0 Left)", animation, animationSlotIs, 8),
    family(cmd::turnInPlaceRight, "Turn in Place (15\u00b0 Right)", animation, animationSlotIs, 9),
    family(cmd::turnLeftWalkLoopRight, "Turn 2.5\u00b0 Left Walk Loop (Right)", animation, animationSlotIs, 10),
    family(cmd::turnLeftWalkLoopLeft, "Turn 2.5\u00b0 Left Walk Loop (Left)", animation, animationSlotIs, 11),
    family(cmd::turnRightWalkLoopRight, "Turn 2.5\u00b0 Right Walk Loop (Right)", animation, animationSlotIs, 12),
    family(cmd::turnRightWalkLoopLeft, "Turn 2.5\u00b0 Right Walk Loop (Left)", animation, animationSlotIs, 13),
    family(cmd::holdArmOnHip, "Hold Arm on Hip (Interruptable)", animation, animationSlotIs, 14),
    separator(animation),
    family(cmd::turnLeftWalkLoopLeft, content::sitting[0], sitting, animationSlotIs, 11),
    family(cmd::turnLeftWalkLoopRight, content::sitting[1], sitting, animationSlotIs, 10),
    item(cmd::sequence1, content::otherSequences[0], animation),
    item(cmd::sequence2, content::otherSequences[1], animation),
    item(cmd::sequence3, content::otherSequences[2], animation),
    item(cmd::sequence4, content::otherSequences[3], animation),
    item(cmd::sequence5, content::otherSequences[4], animation),
    item(cmd::sequence6, content::otherSequences[5], animation),
    item(cmd::sequence7, content::otherSequences[6], animation),
    item(cmd::sequence8, content::otherSequences[7], animation),
    item(cmd::sequence9, content::otherSequences[8], animation),
    item(cmd::sequence10, content::otherSequences[9], animation),
    item(cmd::sequence11, content::otherSequences[10], animation),
    item(cmd::sequence12, content::otherSequences[11], animation),
    item(cmd::sequence13, content::otherSequences[12], animation),
    item(cmd::sequence14, content::otherSequences[13], animation),
    item(cmd::sequence15, content::otherSequences[14], animation),
    separator(animation),
    item(cmd::clearSequence, "Clear Sequence", animation).when(animating),
    item(cmd::copySequence, "Copy Sequence", animation).run(copySequence).when(animating),
    item(cmd::pasteSequence, "Paste Sequence", animation).when(canPasteSequence),

    // LIGHTS
    toggle(cmd::displayLights, "Display", lights, &ViewOptions::showLights),
    toggle(cmd::animateLights, "Animate", lights, &ViewOptions::animateLights),
    separator(lights),
    item(cmd::addLight, "Add new light...", lights).key("Shift+F8").when(canAddLight),
    item(cmd::changeLight, "Change light...", lights).key("F8").when(canChangeLight),
    item(cmd::removeLight, "Remove light...", lights).key("Ctrl+F8").when(canChangeLight),
    separator(lights),
    item(cmd::clearAllLights, "Clear All Lights", lights).when(anyLights),

    // RTSPS
    item(cmd::selectRtspsGrid, "Select RTSPS &Grid", rtsps).key("F3"),
    separator(rtsps),
    item(cmd::rtspsTexture, "Texture", rtsps).key("Shift+R"),
    // R issues the grid rotation 40879 and C is Backface Culling's; these two hints are text.
    item(cmd::rtspsRotate, "Rotate", rtsps).shows("R"),
    item(cmd::rtspsCopy, "Copy", rtsps).shows("C"),
    item(cmd::rtspsPaste, "Paste", rtsps).key("P"),
    toggle(cmd::randomizeFillRotation, "Randomize Fill Rotation", rtsps, &ViewOptions::randomizeFillRotation),
    separator(rtsps),
    item(cmd::contactSheetGroup1, "Group 1...", contactSheets),
    item(cmd::contactSheetGroup2, "Group 2...", contactSheets),
    item(cmd::contactSheetGroup3, "Group 3...", contactSheets),
    item(cmd::contactSheetGroup4, "Group 4...", contactSheets),
    separator(contactSheets),
    item(cmd::refreshContactSheets, "&Refresh", contactSheets).key("Shift+F5").run(raiseContactSheetRefresh).when(canRefreshContactSheet),
    item(cmd::terrain, "Terrain...", rtsps),
    item(cmd::parkingLegalityFirst, content::legality[0], parking),
    item(cmd::parkingLegalityFirst + 1, content::legality[1], parking),
    item(cmd::parkingLegalityFirst + 2, content::legality[2], parking),
    item(cmd::parkingLegalityFirst + 3, content::legality[3], parking),
    item(cmd::parkingLegalityFirst + 4, content::legality[4], parking),
    item(cmd::parkingLegalityFirst + 5, content::legality[5], parking),
    item(cmd::parkingLegalityFirst + 6, content::legality[6], parking),
    item(cmd::parkingLegalityFirst + 7, content::legality[7], parking),
    item(cmd::parkingLegalityFirst + 8, content::legality[8], parking),
    item(cmd::parkingLegalityFirst + 9, content::legality[9], parking),
    item(cmd::parkingLegalityFirst + 10, content::legality[10], parking),
    item(cmd::parkingLegalityFirst + 11, content::legality[11], parking),
    item(cmd::parkingLegalityFirst + 12, content::legality[12], parking),
    item(cmd::parkingLegalityFirst + 13, content::legality[13], parking),
    item(cmd::parkingLegalityFirst + 14, content::legality[14], parking),
    item(cmd::parkingLegalityFirst + 15, content::legality[15], parking),
    item(cmd::parkingLegalityFirst + 16, content::legality[16], parking),
    item(cmd::parkingLegalityFirst + 17, content::legality[17], parking),
    item(cmd::parkingLegalityFirst + 18, content::legality[18], parking),
    item(cmd::parkingLegalityFirst + 19, content::legality[19], parking),
    item(cmd::parkingLegalityFirst + 20, content::legality[20], parking),
    item(cmd::parkingLegalityFirst + 21, content::legality[21], parking),
    item(cmd::parkingLegalityFirst + 22, content::legality[22], parking),
    separator(parking),
    item(cmd::createLegalityLayer, "Create new legality layer", parking),
    item(cmd::relearnLegality, "Relearn based on this CTY file", parking),
    item(cmd::clearLegalityTraining, "Clear all training data", parking),
    // Toggles the city's zonal-scaling flag and rebuilds the grid; greyed as built.
    item(cmd::zonalScaling, "&Zonal Scaling", rtsps).checks(zonalScalingOn).greyedOut(),
    toggle(cmd::showBumpLayer, "Show Bump Layer", rtsps, &ViewOptions::showBumpLayer).greyedOut(),
    item(cmd::clearRtspsGrid, "Clear RTSPS Grid", rtsps),
    item(cmd::loadGridFromProduction, "Load From Production", rtsps),
    separator(rtsps),
    family(cmd::rtsNodeSelect, "Select", nodeMode, rtsEditModeIs, rtsSelect).key("O").run(setRtsEditMode),
    family(cmd::rtsNodeAdd, "Add", nodeMode, rtsEditModeIs, rtsAdd).key("I").run(setRtsEditMode),
    family(cmd::rtsNodeRemove, "Remove", nodeMode, rtsEditModeIs, rtsRemove).run(setRtsEditMode),
    family(cmd::rtsNodeSelectConnection, "Select Connection", nodeMode, rtsEditModeIs, rtsSelectConnection).key("J").run(setRtsEditMode),
    family(cmd::rtsNodeConnect, "Connect", nodeMode, rtsEditModeIs, rtsConnect).key("Y").run(setRtsEditMode),
    family(cmd::rtsNodeFindPath, "Find Path", nodeMode, rtsEditModeIs, rtsFindPath).run(setRtsEditMode).when(canFindPath),
    // Move carries no check mark.
    item(cmd::rtsNodeMove, "Move", nodeMode).key("U").value(rtsMove).run(setRtsEditMode),
    family(cmd::edgeNodeOutbound, "Edge Node Outbound", nodeFlags, rtsNodeFlagSet, 1),
    family(cmd::edgeNodeInbound, "Edge Node Inbound", nodeFlags, rtsNodeFlagSet, 2),
    item(cmd::loadRtsNodes, "Load RTS Nodes from Production", rtsps),
    item(cmd::saveRtsNodes, "Save RTS Nodes to Production", rtsps),
    item(cmd::deleteRtsNodes, "Delete RTS Nodes from Production", rtsps),
    item(cmd::streetProperties, "Street Properties", rtsps),

    // SYSTEMS
    item(cmd::showNoSystems, "Show None", systems).run(showNoSystems),
    separator(systems),
    family(cmd::systemPropulsion, "Propulsion", systems, systemShownIs, 1).run(toggleSystem),
    family(cmd::systemHydraulic, "Hydraulic", systems, systemShownIs, 2).run(toggleSystem),
    family(cmd::systemCooling, "Cooling", systems, systemShownIs, 3).run(toggleSystem),
    family(cmd::systemOxidizer, "Oxidizer", systems, systemShownIs, 4).run(toggleSystem),
    family(cmd::systemFuel, "Fuel", systems, systemShownIs, 5).run(toggleSystem),
    family(cmd::systemElectrical, "Electrical", systems, systemShownIs, 6).run(toggleSystem),
    family(cmd::systemControlVoltage, "Control Voltage", systems, systemShownIs, 7).run(toggleSystem),
    family(cmd::systemData, "Data", systems, systemShownIs, 8).run(toggleSystem),
    family(cmd::systemWeapons, "Weapons", systems, systemShownIs, 9).run(toggleSystem),
    family(cmd::systemDefense, "Defense", systems, systemShownIs, 10).run(toggleSystem),
    family(cmd::systemCommunication, "Communication", systems, systemShownIs, 11).run(toggleSystem),
    separator(systems),
    item(cmd::showAllSystems, "Show All", systems).run(showAllSystems),
    toggle(cmd::showOnlySystems, "Show Only", systems, &ViewOptions::systemsShowOnly).run(toggleShowOnly),

    // REPOSITORY
    item(cmd::revert, "Revert", repository).greyedOut(),
    item(cmd::revertAll, "Revert All", repository),
    separator(repository),
    item(cmd::stageLocalChanges, "&1. Stage Local Changes", repository),
    item(cmd::commitLocalChanges, "&2. Commit Local Changes", repository),
    item(cmd::viewRemoteCommits, "&3. View Remote Commits", repository),
    item(cmd::pullRemoteCommits, "&4. Pull Remote Commits", repository),
    item(cmd::viewLocalCommits, "&5. View Local Commits", repository),
    item(cmd::pushLocalCommits, "&6. Push Local Commits", repository),
    separator(repository),
    item(cmd::showHistory, "Show History", repository).when(documentInRepository),
    item(cmd::showDifferences, "Show Differences", repository).when(documentInRepository),
    item(cmd::annotateChanges, "Annotate Changes", repository).when(documentInRepository),
    separator(repository),
    item(cmd::deleteFiles, "&Files...", repositoryDelete).key("Ctrl+Del"),
    item(cmd::deleteFolder, "Folder...", repositoryDelete).key("Ctrl+Shift+Del"),
    item(cmd::renameFile, "File...", repositoryRename),
    item(cmd::renameFolder, "&Folder...", repositoryRename),
    item(cmd::moveFiles, "Files...", repositoryMove),
    item(cmd::moveFolder, "&Folder...", repositoryMove),
    separator(repository),
    item(cmd::compressDatabase, "Compress Database", repository),
    item(cmd::checkForUsages, "Check for Usages", repository).greyedOut(),
    item(cmd::lookForOrphans, "Look for Orphans", repository).greyedOut(),

    // MACRO
    item(cmd::flipXThenBackface, "Flip X then Backface", macro).key("Alt+F1").when(singleModule),
    item(cmd::movePolygonsToNewWld, "Move polys to new WLD, prompt for name, re-insert", macro).key("Alt+F2").when(canMovePolygonsToNewModule),
    item(cmd::copyPolygonsToNewWld, "Copy polys to new WLD, prompt for name, re-insert", macro).key("Ctrl+Alt+F2").when(canMovePolygonsToNewModule),
    item(cmd::cloneMirrorX, "Clone, Mirror X Module, Retain Texels", macro).key("Alt+F3").when(canCloneMirror),
    item(cmd::cloneMirrorXMirrorU, "Clone, Mirror X Module, Mirror U Texel", macro).key("Ctrl+Alt+F3"),
    item(cmd::extrude, "Extrude", macro).key("Alt+F4").when(singleModule),
    item(cmd::moveInstanceToNewWld, "Move instance to new WLD, prompt for name, re-insert", macro).key("Alt+F5").when(canMoveInstanceToNewModule),
    item(cmd::replaceModuleInstances, "Replace all module instances with new WLD", macro).key("Alt+F6").when(singleModule),
    item(cmd::createTextureAndTexels, "Create Texture, Assign Base Map, Generate Texels", macro).key("Alt+F7").when(singleModule),
    separator(macro),
    item(cmd::selectHalfPolygons, "Select half of the polys", macro).run(selectHalfPolygons),
    item(cmd::cloneMirrorY, "Clone, Mirror Y Module, Retain Texels", macro),

    // HELP
    item(cmd::about, "&About Tessarim", help).key("F1"),
    item(cmd::createMemoryDump, "Create Memory Dump", help),
    separator(help),
    item(cmd::sudoSu, "sudo su", help).run(flipSudoSu).checks(sudoSuOn),

    // Commands that only keys issue.
    item(cmd::cameraYawLeft, "Camera Yaw Left", keyOnly).key("A").run(turnCamera),
    item(cmd::cameraYawRight, "Camera Yaw Right", keyOnly).key("D").run(turnCamera),
    item(cmd::cameraPitchUp, "Camera Pitch Up", keyOnly).key("W").run(turnCamera),
    item(cmd::cameraPitchDown, "Camera Pitch Down", keyOnly).key("X").run(turnCamera),
    item(cmd::timeOfDaySliderKey, "Time-of-Day Slider", keyOnly).key("L").flips(&ViewOptions::lightingSliders),
    item(cmd::textureAllBuildings, "Texture Every Building", keyOnly).key("Shift+C").flips(&ViewOptions::textureAllBuildings),
    item(cmd::gridTextureForward, "Grid Texture Forward", keyOnly).key("Shift+T"),
    item(cmd::gridRotate, "Grid Rotate", keyOnly).key("R"),
    item(cmd::straightenSourceEdge, "Straighten Source Edge", keyOnly).key("E").run(straightenSourceEdge),
    item(cmd::unboundF2, "", keyOnly).key("F2"),
    item(cmd::unboundCtrlF11, "", keyOnly).key("Ctrl+F11"),
    item(cmd::unboundCtrlShiftS, "", keyOnly).key("Ctrl+Shift+S"),
    item(cmd::unboundShiftA, "", keyOnly).key("Shift+A"),
    item(cmd::unboundShiftD, "", keyOnly).key("Shift+D"),
    item(cmd::unboundShiftW, "", keyOnly).key("Shift+W"),
    item(cmd::unboundShiftX, "", keyOnly).key("Shift+X"),
    // Document type numbers that no menu item carries.
    item(cmd::documentType9, "", keyOnly).value(9),
    item(cmd::documentType19, "", keyOnly).value(19),
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
