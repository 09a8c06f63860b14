#include "commands/view_commands.hpp"

#include "commands/command_table.hpp"
#include "editor/editor.hpp"
#include "model/model.hpp"

namespace tessarim {

namespace {

// One switch for both constnesses.
template <class M>
auto& flagIn(M& model, Toggle toggle) {
  auto& settings = model.settings;
  auto& v = settings.view;
  switch (toggle) {
    case Toggle::texelView:
      return v.texelView;
    case Toggle::wireframes:
      return v.wireframes;
    case Toggle::showNormals:
      return v.showNormals;
    case Toggle::boundingSpheres:
      return v.boundingSpheres;
    case Toggle::cameraShake:
      return v.cameraShake;
    case Toggle::statistics:
      return v.statistics;
    case Toggle::lightingSliders:
      return v.lightingSliders;
    case Toggle::wetnessSlider:
      return v.wetnessSlider;
    case Toggle::grimeSlider:
      return v.grimeSlider;
    case Toggle::fogSlider:
      return v.fogSlider;
    case Toggle::windowTintSlider:
      return v.windowTintSlider;
    case Toggle::ageSlider:
      return v.ageSlider;
    case Toggle::stubbleSlider:
      return v.stubbleSlider;
    case Toggle::productionLighting:
      return v.productionLighting;
    case Toggle::sortDrawingOrder:
      return v.sortDrawingOrder;
    case Toggle::exteriorPlates:
      return v.exteriorPlates;
    case Toggle::otherDestructable:
      return v.otherDestructable;
    case Toggle::mipFiltering:
      return v.mipFiltering;
    case Toggle::productionWarnings:
      return v.productionWarnings;
    case Toggle::backfaceCulling:
      return v.backfaceCulling;
    case Toggle::graphPaper:
      return v.graphPaper;
    case Toggle::flattenX:
      return settings.flattenX;
    case Toggle::flattenY:
      return settings.flattenY;
    case Toggle::flattenZ:
      return settings.flattenZ;
    case Toggle::reentryEffect:
      return v.reentryEffect;
    case Toggle::previewExport:
      return v.previewExport;
    case Toggle::autoCentering:
      return v.autoCentering;
    case Toggle::liveUpdates:
      return v.liveUpdates;
    case Toggle::showLights:
      return v.showLights;
    case Toggle::animateLights:
      return v.animateLights;
    case Toggle::showUnassignedInertial:
      return v.showUnassignedInertial;
    case Toggle::textureAllBuildings:
      return v.textureAllBuildings;
    case Toggle::randomizeFillRotation:
      return v.randomizeFillRotation;
    case Toggle::showBumpLayer:
      return v.showBumpLayer;
    case Toggle::zonalScaling:
      return model.document.rtsEnabled;
    case Toggle::systemsShowOnly:
      return v.systemsShowOnly;
    case Toggle::sudoSu:
      return settings.sudoSu;
  }
  return v.statistics;  // not reached: every toggle is listed above
}

ViewOptions& viewOf(Editor& editor) {
  return editor.model().settings.view;
}

}  // namespace

bool& toggleFlag(Model& model, Toggle toggle) {
  return flagIn(model, toggle);
}
bool toggleFlag(const Model& model, Toggle toggle) {
  return flagIn(model, toggle);
}

bool flipOption(Editor& editor, const Command& command) {
  bool& flag = toggleFlag(editor.model(), static_cast<Toggle>(command.code));
  flag = !flag;
  return true;
}

bool toggleTexelView(Editor& editor, const Command&) {
  ViewOptions& v = viewOf(editor);
  v.texelView = !v.texelView;
  v.slidersHidden = v.texelView || v.systemsView;
  editor.model().status.geometryDirty = true;
  return true;
}

bool stepTexelMap(Editor& editor, const Command&) {
  ViewOptions& v = viewOf(editor);
  v.texelMapIndex = static_cast<std::uint8_t>((v.texelMapIndex + 1) % 8);
  // The texel view's vertices carry the overlay texels for map 4, so they are rebuilt.
  editor.model().status.geometryDirty = true;
  return true;
}

bool toggleProductionLighting(Editor& editor, const Command&) {
  ViewOptions& v = viewOf(editor);
  v.productionLighting = !v.productionLighting;
  if (v.productionLighting) v.lightingSliders = true;
  return true;
}

bool toggleOtherDestructable(Editor& editor, const Command&) {
  ViewOptions& v = viewOf(editor);
  v.otherDestructable = !v.otherDestructable;
  if (!v.otherDestructable) v.exteriorPlates = false;
  return true;
}

bool toggleMipFiltering(Editor& editor, const Command&) {
  ViewOptions& v = viewOf(editor);
  v.mipFiltering = !v.mipFiltering;
  if (!v.mipFiltering) {
    v.releaseTextures = true;
    editor.model().status.texturesLoaded = false;
  }
  return true;
}

bool refreshGeometry(Editor& editor, const Command&) {
  editor.model().status.geometryDirty = true;
  return true;
}

bool setAllModules(Editor& editor, const Command& command) {
  viewOf(editor).allModules = command.code != 0;
  return true;
}

bool setExtendedView(Editor& editor, const Command& command) {
  editor.model().motion.extended = command.code != 0;
  return true;
}

bool toggleEndMode(Editor& editor, const Command& command) {
  MotionState& motion = editor.model().motion;
  const auto mode = static_cast<EndMode>(command.code);
  if (motion.endMode == mode) {
    motion.endMode = EndMode::none;
  } else {
    motion.endMode = mode;
    motion.extended = true;
  }
  return true;
}

bool setSkeleton(Editor& editor, const Command& command) {
  viewOf(editor).skeletonKind = static_cast<std::uint8_t>(command.code);
  markDocumentModified(editor.model());
  return true;
}

bool setAgility(Editor& editor, const Command& command) {
  viewOf(editor).agility = static_cast<float>(command.code) / 100;
  return true;
}

bool copySequence(Editor& editor, const Command&) {
  ViewOptions& v = viewOf(editor);
  v.copySourceSlot = v.animationSlot;
  return true;
}

bool setPeopleDisplay(Editor& editor, const Command& command) {
  viewOf(editor).peopleDisplay[command.slot] = static_cast<std::int16_t>(command.code);
  return true;
}

bool setRtsEditMode(Editor& editor, const Command& command) {
  viewOf(editor).rtsEditMode = static_cast<std::uint8_t>(command.code);
  return true;
}

bool raiseContactSheetRefresh(Editor& editor, const Command&) {
  viewOf(editor).contactSheetRefresh = true;
  return true;
}

bool showNoSystems(Editor& editor, const Command&) {
  ViewOptions& v = viewOf(editor);
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
  ViewOptions& v = viewOf(editor);
  v.systemsView = true;
  for (int s = 1; s <= systemCount; ++s) v.systemShown[s] = true;
  return true;
}

bool toggleSystem(Editor& editor, const Command& command) {
  ViewOptions& v = viewOf(editor);
  v.systemsView = true;
  v.systemShown[command.code] = !v.systemShown[command.code];
  return true;
}

bool toggleShowOnly(Editor& editor, const Command&) {
  ViewOptions& v = viewOf(editor);
  v.systemsView = true;
  v.systemsShowOnly = !v.systemsShowOnly;
  if (v.systemsShowOnly && editor.model().selection.currentGroup == 0) {
    for (int s = 1; s <= systemCount; ++s) v.systemShown[s] = true;
  }
  return true;
}

}  // namespace tessarim
