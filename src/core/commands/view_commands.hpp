#pragma once

namespace tessarim {

struct Editor;
struct Command;
struct Model;

// The on/off options that a menu item flips; the `code` of a toggle row.
enum class Toggle : int {
  texelView,
  wireframes,
  showNormals,
  boundingSpheres,
  cameraShake,
  statistics,
  lightingSliders,
  wetnessSlider,
  grimeSlider,
  fogSlider,
  windowTintSlider,
  ageSlider,
  stubbleSlider,
  productionLighting,
  sortDrawingOrder,
  exteriorPlates,
  otherDestructable,
  mipFiltering,
  productionWarnings,
  backfaceCulling,
  graphPaper,
  flattenX,
  flattenY,
  flattenZ,
  reentryEffect,
  previewExport,
  autoCentering,
  liveUpdates,
  showLights,
  animateLights,
  showUnassignedInertial,
  textureAllBuildings,
  randomizeFillRotation,
  showBumpLayer,
  zonalScaling,
  systemsShowOnly,
  sudoSu,
};

bool& toggleFlag(Model& model, Toggle toggle);
bool toggleFlag(const Model& model, Toggle toggle);

// VIEW, LIGHTS, GROUP, RTSPS, SYSTEMS, MOTION and HELP items that only flip or set a view or
// editing option. Each reads its option from the row's code.
bool flipOption(Editor& editor, const Command& command);  // a plain toggle
bool toggleTexelView(Editor& editor, const Command& command);
bool stepTexelMap(Editor& editor, const Command& command);
bool toggleProductionLighting(Editor& editor, const Command& command);
bool toggleOtherDestructable(Editor& editor, const Command& command);
bool toggleMipFiltering(Editor& editor, const Command& command);
bool refreshGeometry(Editor& editor, const Command& command);
bool setAllModules(Editor& editor, const Command& command);    // code 1 all, 0 current only
bool setExtendedView(Editor& editor, const Command& command);  // code 1 extended, 0 retracted
bool toggleEndMode(Editor& editor, const Command& command);    // code: an EndMode
bool setSkeleton(Editor& editor, const Command& command);      // code 1 male, 0 female
bool setAgility(Editor& editor, const Command& command);       // code: hundredths
bool copySequence(Editor& editor, const Command& command);
bool setPeopleDisplay(Editor& editor, const Command& command);  // slot and code
bool setRtsEditMode(Editor& editor, const Command& command);    // code: an RtsEditMode
bool raiseContactSheetRefresh(Editor& editor, const Command& command);
bool showNoSystems(Editor& editor, const Command& command);
bool showAllSystems(Editor& editor, const Command& command);
bool toggleSystem(Editor& editor, const Command& command);  // code: system 1..11
bool toggleShowOnly(Editor& editor, const Command& command);

}  // namespace tessarim
