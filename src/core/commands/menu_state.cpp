#include "commands/menu_state.hpp"

#include <cassert>
#include <cmath>
#include <vector>

#include "commands/command_table.hpp"
#include "commands/view_commands.hpp"
#include "editor/editor.hpp"
#include "equipment/motion.hpp"
#include "model/model.hpp"

namespace tessarim {
namespace {

constexpr float refreshInterval = 0.3f;  // seconds of frame time between refreshes

// The selection and document facts every rule reads, taken once per refresh.
struct Facts {
  const Model& model;
  const ViewOptions& view;
  int n = 0;  // loaded modules
  bool open = false, assembly = false, city = false, mesh = false, document = false;
  int currentModule = -1, currentInstance = -1, currentPolygon = -1, currentGroup = -1;
  int selectedInstances = 0;
  const Module* module = nullptr;      // the single current module
  const Instance* instance = nullptr;  // its current instance
  const Polygon* polygon = nullptr;    // its current polygon
  bool modified = false;

  explicit Facts(const Model& m) : model(m), view(m.settings.view) {
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
    selectedInstances = sel.selectedInstanceCount;
    if (currentModule >= 0 && currentModule < n) {
      module = &m.document.module[currentModule];
      if (currentInstance >= 0 &&
          static_cast<std::size_t>(currentInstance) < module->instances.size()) {
        instance = &module->instances[currentInstance];
      }
      if (currentPolygon >= 0 &&
          static_cast<std::size_t>(currentPolygon) < module->polygons.size()) {
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

  bool single() const { return module != nullptr; }
  bool hasPolygons() const { return module != nullptr && !module->polygons.empty(); }
  bool animating() const { return view.animationSlot != -1; }
};

bool enabled(MenuEnable rule, int code, const Facts& f) {
  const Model& m = f.model;
  switch (rule) {
    case MenuEnable::always:
      return true;
    case MenuEnable::somethingModified:
      return f.modified;
    case MenuEnable::documentOpen:
      return f.open;
    case MenuEnable::assemblyOrCity:
      return f.document;
    case MenuEnable::assembly:
      return f.assembly;
    case MenuEnable::city:
      return f.city;
    case MenuEnable::anyModules:
      return f.n > 0;
    case MenuEnable::singleModule:
      return f.single();
    case MenuEnable::anyModule:
      return f.currentModule != -1;
    case MenuEnable::addModule:
      return f.open && f.document && !(f.city && f.currentGroup == 0 && f.instance == nullptr);
    case MenuEnable::addPolygon:
      return f.open && (f.mesh || f.single());
    case MenuEnable::changePolygon:
      return f.currentPolygon >= 0;
    case MenuEnable::deleteSelection:
      return f.currentPolygon != -1 || f.currentGroup >= 1 ||
             (f.document &&
              (f.currentModule == -2 || f.instance != nullptr || f.view.currentConnector >= 0));
    case MenuEnable::duplicate:
      return f.document &&
             (f.selectedInstances > 0 || (f.instance != nullptr && f.currentPolygon == -1));
    case MenuEnable::modifiers:
      return f.n > 0 && f.currentModule != -2;
    case MenuEnable::meshTexel:
      return f.instance != nullptr && f.selectedInstances == 0 &&
             !f.module->maps[textfile].empty() && !(f.city && f.currentModule == f.n - 1);
    case MenuEnable::colorOverlay:
      return f.view.texelView;
    case MenuEnable::colorize:
      return f.currentModule == -2 || f.hasPolygons();
    case MenuEnable::moduleWithPolygons:
      return f.hasPolygons();
    case MenuEnable::backface:
      return !(f.city && f.currentGroup == 0) && !(f.currentPolygon >= 0 && !f.hasPolygons());
    case MenuEnable::split:
      return f.polygon != nullptr && f.polygon->sides == 4;
    case MenuEnable::generateTexels:
      return f.hasPolygons() && f.module->scaleClass > 0;
    case MenuEnable::textureFlip:
      return f.currentModule == -1 && f.n > 0;
    case MenuEnable::instanceChosen:
      return f.n > 0 && f.currentInstance != -1;
    case MenuEnable::interiorIllumination:
      return f.city && f.n > 0 && f.currentInstance != -1;
    case MenuEnable::aseImport:
      return f.open && f.mesh && f.n > 0 && m.document.module[0].vertices.empty();
    case MenuEnable::objImport:
      return !f.open && f.n == 0;
    case MenuEnable::wldExport:
      return f.document && ((f.instance != nullptr && f.currentPolygon == -1) ||
                            (f.currentModule == -2 && f.selectedInstances > 0));
    case MenuEnable::asmExport:
      return f.selectedInstances > 1 || f.currentGroup >= 1;
    case MenuEnable::polygonsToNewModule:
      return f.instance != nullptr &&
             (f.currentPolygon >= 0 ||
              (f.currentPolygon == -2 && !m.selection.selectedPolygons.empty()));
    case MenuEnable::cloneMirror:
      return f.assembly && f.instance != nullptr;
    case MenuEnable::instanceToNewModule:
      return f.document && f.instance != nullptr;
    case MenuEnable::averageOrigin:
      return f.assembly && f.single();
    case MenuEnable::nextType:
      return f.document && f.currentModule != -2;
    case MenuEnable::expandGroup:
      return f.instance != nullptr && f.instance->group >= 1;
    case MenuEnable::refreshFromAsm:
      return f.currentGroup != -1 && f.single();
    case MenuEnable::assignMap:
      return f.n > 0 && f.currentModule != -1;
    case MenuEnable::assignControlMap:
      return f.n > 0 && f.single() && !f.module->maps[detailfile].empty();
    case MenuEnable::mapAssigned:
      return f.single() && !f.module->maps[code].empty();
    case MenuEnable::clearMaps:
      return f.n > 0 && f.currentModule != -2;
    case MenuEnable::autoAssign:
      return f.single() && !f.module->maps[textfile].empty();
    case MenuEnable::optimizeOrder:
      return f.n >= 2;
    case MenuEnable::legacyScale:
      return f.single() && f.module->newScaleFamily == 0;
    case MenuEnable::unassignedScale:
      return f.single();
    case MenuEnable::newScale:
      return f.single() && f.module->newScaleFamily != 0;
    case MenuEnable::hinge:
      return f.assembly && !f.animating() &&
             (f.currentModule == -2 ||
              (f.instance != nullptr && f.instance->type != 0 && !isBodyPart(f.instance->type)));
    case MenuEnable::snapMotion:
      return f.assembly && !f.animating() &&
             (f.currentModule == -2 || (f.instance != nullptr && f.instance->type != 0));
    case MenuEnable::clearMotion:
      return f.assembly && !f.animating() && f.instance != nullptr && f.instance->type != 0;
    case MenuEnable::animationSlot:
      return f.animating();
    case MenuEnable::pasteSequence:
      return f.animating() && f.view.copySourceSlot != -1;
    case MenuEnable::endMode:
      return f.assembly && !f.animating();
    case MenuEnable::extendRetract:
      return f.assembly && !f.animating() && m.motion.endMode == EndMode::none;
    case MenuEnable::addLight:
      return f.instance != nullptr;
    case MenuEnable::changeLight:
      return m.document.lightCount > 0 && f.instance != nullptr;
    case MenuEnable::clearLights:
      return m.document.lightCount > 0;
    case MenuEnable::contactSheet:
      return f.city && !m.document.rtsEnabled;
    case MenuEnable::contactSheetRefresh:
      return f.city && f.currentGroup == 0;
    case MenuEnable::building:
      return f.city && f.currentGroup >= 1;
    case MenuEnable::inertialMoments:
      return f.assembly && f.n > 0 && m.document.emptyWeight > 0;
    case MenuEnable::systemsViewOff:
      return !f.view.systemsView;
    case MenuEnable::lightingSliders:
      return f.view.lightingSliders;
    // A selected node is where a path search starts.
    case MenuEnable::findPath:
      return m.document.streetNodes.selectedNode >= 0;
    case MenuEnable::repositoryFile:
      return f.document || f.single();
  }
  return true;
}

bool checked(const Command& c, const Facts& f) {
  const Model& m = f.model;
  const ViewOptions& v = f.view;
  const int code = c.code;
  switch (c.check) {
    case MenuCheck::none:
      return false;
    case MenuCheck::flag:
      return toggleFlag(m, static_cast<Toggle>(code));
    case MenuCheck::sliderFlag:
      return v.lightingSliders && toggleFlag(m, static_cast<Toggle>(code));
    case MenuCheck::instanceType:
      return f.instance != nullptr && f.instance->type == code;
    case MenuCheck::colourKey:
      return f.instance != nullptr && f.instance->colourKey == code;
    case MenuCheck::group:
      return f.currentGroup == code || (f.instance != nullptr && f.instance->group == code);
    case MenuCheck::instanceGroup:
      return f.instance != nullptr && f.instance->group == code;
    case MenuCheck::peopleDisplay:
      return v.peopleDisplay[c.slot] == code;
    case MenuCheck::system:
      return v.systemShown[code];
    case MenuCheck::animationSlot:
      return v.animationSlot == code;
    case MenuCheck::skeleton:
      return v.skeletonKind == code;
    case MenuCheck::agility:
      return std::lround(v.agility * 100) == code;
    case MenuCheck::documentType:
      return f.assembly && m.document.modelId == code;
    case MenuCheck::cityType:
      return f.city && m.document.modelId == code;
    case MenuCheck::interiorFlag:
      return f.assembly && m.document.interiorFlag;
    case MenuCheck::scaleClass:
      return f.single() && f.module->scaleClass == code;
    case MenuCheck::shading:
      return f.polygon != nullptr && (f.polygon->smooth != 0) == (code != 0);
    case MenuCheck::rtsEditMode:
      return v.rtsEditMode == code;
    case MenuCheck::rtsNodeFlag:
      return (m.document.streetNodes.selectedFlags & static_cast<std::uint32_t>(code)) != 0;
    case MenuCheck::allModules:
      return v.allModules == (code != 0);
    case MenuCheck::extendedView:
      return m.motion.extended == (code != 0);
    case MenuCheck::endMode:
      return static_cast<int>(m.motion.endMode) == code;
    case MenuCheck::baseHidden:
      return f.single() && f.module->baseHidden != 0;
  }
  return false;
}

// The menu rows the refresh writes: items with an enabling rule or a check mark, each number
// once. Built on first use.
struct Written {
  std::vector<const Command*> enabling;
  std::vector<const Command*> checking;
};

const Written& written() {
  static const Written w = [] {
    Written out;
    std::bitset<65536> seenEnable, seenCheck;
    for (const Command& c : commandTable()) {
      if (c.separator || c.number == 0 || c.menuPath.empty()) continue;
      if (c.enable != MenuEnable::always && !seenEnable[c.number]) {
        seenEnable[c.number] = true;
        out.enabling.push_back(&c);
      }
      if (c.check != MenuCheck::none && !seenCheck[c.number]) {
        seenCheck[c.number] = true;
        out.checking.push_back(&c);
      }
    }
    return out;
  }();
  return w;
}

// Step 2: the popups whose enabling depends on the document, written only on change.
void writePopups(Editor& editor, MenuSink& sink) {
  const Model& m = editor.model();
  const bool assembly = isAssembly(m.document), city = isCity(m.document);
  const int cm = m.selection.currentModule, ci = m.selection.currentInstance;
  const std::array<bool, 6> want{
      (assembly || city) && cm != -1,
      assembly || city,
      assembly && (cm == -2 || (cm >= 0 && ci >= 0)),
      assembly || city,
      city,
      assembly,
  };
  for (std::size_t i = 0; i < want.size(); ++i) {
    auto& remembered = editor.menu.menuBarState[i];
    if (remembered == want[i]) continue;
    remembered = want[i];
    sink.setPopupEnabled(modelPopupPositions[i], want[i]);
  }
}

// Step 3: a multi-selection of one instance becomes the current instance.
void collapseSelection(Selection& sel) {
  if (sel.currentModule != -2 || sel.selectedInstanceCount != 1) return;
  sel.currentModule = sel.selectedInstances[0].module;
  sel.currentInstance = sel.selectedInstances[0].instance;
  sel.selectedInstanceCount = 0;
}

}  // namespace

bool commandEnabled(const Editor& editor, const Command& command) {
  if (command.greyed) return false;
  if (command.enable == MenuEnable::always) return true;
  return enabled(command.enable, command.code, Facts(editor.model()));
}

void initMenuState(Editor& editor) {
  editor.menu.initialized = true;
}

void refreshMenuState(Editor& editor, float elapsedSeconds, MenuSink& sink) {
  assert(editor.menu.initialized && "Menu");
  MenuRefreshState& menu = editor.menu;
  menu.menuRefreshClock += elapsedSeconds;
  if (menu.menuRefreshClock <= refreshInterval) return;
  menu.menuRefreshClock -= refreshInterval;

  writePopups(editor, sink);
  Model& model = editor.model();
  collapseSelection(model.selection);

  const Facts facts(model);
  // A mesh's modified state lives in its module; the document flag follows it.
  if (facts.mesh) model.status.documentModified = facts.modified;

  const Written& w = written();
  for (const Command* c : w.checking) sink.setItemChecked(c->number, checked(*c, facts));
  for (const Command* c : w.enabling) {
    const bool on = enabled(c->enable, c->code, facts);
    menu.greyed[c->number] = !on;
    sink.setItemEnabled(c->number, on);
  }

  // Step 6: texel view ends when its item would be greyed.
  ViewOptions& view = model.settings.view;
  if (view.texelView && !enabled(MenuEnable::meshTexel, 0, facts)) {
    view.texelView = false;
    view.slidersHidden = view.systemsView;
    model.status.geometryDirty = true;
  }

  // Step 7: the systems overlay parks the time-of-day and culling flags while it is on.
  if (view.systemsView && !menu.systemsViewParked) {
    menu.systemsViewParked = true;
    menu.parkedLightingSliders = view.lightingSliders;
    menu.parkedBackfaceCulling = view.backfaceCulling;
    view.lightingSliders = false;
    view.backfaceCulling = false;
    view.slidersHidden = true;
  } else if (!view.systemsView && menu.systemsViewParked) {
    // Switched off by something other than "Show None": the parked flags come back as well.
    menu.systemsViewParked = false;
    view.lightingSliders = menu.parkedLightingSliders;
    view.backfaceCulling = menu.parkedBackfaceCulling;
    view.slidersHidden = view.texelView;
  }
}

}  // namespace tessarim
