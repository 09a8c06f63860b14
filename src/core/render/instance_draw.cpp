#include "render/instance_draw.hpp"

#include <algorithm>
#include <cmath>

#include "maths/maths.hpp"
#include "model/instance_types.hpp"
#include "model/model.hpp"
#include "render/frame_state.hpp"
#include "render/user_settings.hpp"

namespace tessarim {
namespace {

bool within(int value, int low, int high) {
  return value >= low && value <= high;
}

// The see-through layers sort after the rest of a vehicle, in this order; other types add 0.
float glassLayer(int type) {
  switch (type) {
    case instance_type::noseWheel:
      return 1;
    case instance_type::mainWheel:
      return 2;
    case instance_type::betweenViewerAndExterior:
      return 3;
    default:
      return 0;
  }
}

Float4 rgbOf(std::uint32_t argb, float scale, float w) {
  return {static_cast<float>((argb >> 16) & 0xFF) / 255 * scale,
          static_cast<float>((argb >> 8) & 0xFF) / 255 * scale,
          static_cast<float>(argb & 0xFF) / 255 * scale, w};
}

Float4 withW(const std::array<float, 3>& c, float w) {
  return {c[0], c[1], c[2], w};
}

// The package and people-display selections an instance's group may match.
bool groupDisplayed(const ViewOptions& view, int group) {
  return std::find(view.peopleDisplay.begin(), view.peopleDisplay.end(), group) !=
         view.peopleDisplay.end();
}

bool assemblyGroupVisible(const Model& model, int g) {
  const ViewOptions& view = model.settings.view;
  const bool extended = model.motion.extended;
  bool stays = false;
  if (g == 0 || g == 996 || g == 999 || g == 1000) {
    stays = true;
  } else if (within(g, 700, 799)) {
    stays = view.showUnassignedInertial;
  } else if (g == 997) {
    stays = !view.previewExport;
  } else if (g == 998) {
    stays = extended;
  } else if (g < 50) {
    stays = (g % 2 != 0) == extended;
  }
  return stays || groupDisplayed(view, g);
}

std::uint32_t selectionKey(int m, int i) {
  return static_cast<std::uint32_t>(m & 0xFFFF) << 16 | static_cast<std::uint32_t>(i & 0xFFFF);
}

bool instanceSelected(const Selection& s, const DrawContext& context, int m, int i) {
  if (context.selectedKeys != nullptr)
    return std::binary_search(context.selectedKeys->begin(), context.selectedKeys->end(),
                              selectionKey(m, i));
  for (const InstanceRef r : s.selectedInstances) {
    if (r.module == m && r.instance == i) return true;
  }
  return false;
}

void planHighlight(const Model& model, const DrawContext& context, int m, int i,
                   InstanceDrawPlan& plan) {
  const Selection& s = model.selection;
  const bool current = s.currentModule == m && s.currentInstance == i;
  const bool placed = placesModules(model.document);
  if (current && s.currentPolygon >= 0) {
    plan.highlightPolygons.push_back(s.currentPolygon);
  } else if (current && s.currentPolygon == -2) {
    plan.highlightPolygons.assign(s.selectedPolygons.begin(), s.selectedPolygons.end());
  } else if (current && placed && s.currentPolygon == -1) {
    plan.highlightWhole = true;
  } else if (!s.selectedInstances.empty() && instanceSelected(s, context, m, i)) {
    plan.highlightWhole = true;
  }
  plan.highlighted = plan.highlightWhole || !plan.highlightPolygons.empty();
}

ShadingPath choosePath(const Model& model, const DrawContext& context, int m, const Instance& t) {
  const bool city = isCity(model.document);
  const bool terrain = city && m == model.document.wldfiles - 1;
  if (city && !terrain) return ShadingPath::cityBuilding;
  if (t.type == instance_type::scrollingColourMap && !city) return ShadingPath::scrolling;
  if (isPeopleType(t.type) && t.group != 501) return ShadingPath::people;
  if (terrain) return ShadingPath::terrain;
  if (within(t.group, 151, 174) || within(t.group, 676, 699)) return ShadingPath::ageBlend;
  if (model.document.module[m].newScaleFamily && context.vehicleProgram)
    return ShadingPath::vehicle;
  return ShadingPath::standard;
}

float fogEnd(const DrawContext& c, const ViewOptions& view) {
  return view.fogSlider ? (1 - c.frame.sliders.fog) * 16 * c.frame.sceneExtent : 3000.0f;
}

Float4 sunAmbient(const DrawContext& c, const ViewOptions& view, float w) {
  return view.lightingSliders ? rgbOf(c.user.sunlightColor, c.frame.ambient, w)
                              : Float4{0, 0, 0, w};
}

void planParams(const Model& model, const DrawContext& c, int m, const Instance& t,
                InstanceDrawPlan& plan) {
  const ViewOptions& view = model.settings.view;
  const FrameState& f = c.frame;
  const Float4 sunlight{f.sunlight[0], f.sunlight[1], f.sunlight[2], 1};
  const Float4 spot{f.camera.direction.x, f.camera.direction.y, f.camera.direction.z, 0};
  MainParams& p = plan.main;
  // An untextured instance (a city's other buildings) draws as if it had no maps.
  auto has = [&](int slot) { return plan.textured && hasMap(f, m, slot); };
  const bool lightMap = has(lightfile);
  const bool windshieldReentry = t.type == instance_type::windshield && view.reentryEffect;
  switch (plan.path) {
    case ShadingPath::cityBuilding: {
      p.pass = 2;
      const float dark = 1 - f.ambient;
      p.clouduv = {
          dark * dark, 1, 0,
          static_cast<float>(f.sliders.position[static_cast<int>(SliderId::ambient)]) * 2.55f};
      p.ambient = sunAmbient(c, view, 0);
      p.sunlight = sunlight;
      p.spotDir = spot;
      p.motion = t.type == instance_type::scrollingColourMap ? t.motionPhase : 0;
      if (plan.blend == Blend::none) plan.blend = Blend::alpha;  // additive types stay additive
      break;
    }
    case ShadingPath::scrolling:
      plan.textureScroll = t.motionPhase;
      break;
    case ShadingPath::people: {
      p.pass = 1;
      const bool suit = t.group == 501;
      const bool alpha = within(t.group, 451, 474) || t.type == instance_type::helmetGlass;
      p.radiosity = withW(f.colours.hairLips, f.sliders.stubble);
      p.shiplight = withW(f.colours.skin, f.sliders.age);
      p.ambient = withW(suit ? f.colours.trim : f.colours.eyes, alpha ? 1.0f : 0.0f);
      p.features = {1, suit && t.type != instance_type::helmetGlass ? 1.0f : 0.0f,
                    t.type == instance_type::leftMonitor && f.flicker ? 0.9f : 1.0f, 0};
      if (alpha) plan.blend = Blend::alpha;
      break;
    }
    case ShadingPath::terrain:
      p.pass = 0;
      p.sunlight = sunlight;
      p.ambient = sunAmbient(c, view, 0);
      break;
    case ShadingPath::ageBlend:
      plan.ageAlpha = f.sliders.age;
      break;
    case ShadingPath::vehicle: {
      VehicleParams& v = plan.vehicle;
      const Matrix& worldView = f.camera.view;
      const auto inverseView = inverse(worldView);
      const Vec3 eye = inverseView ? transformCoord({}, *inverseView) : Vec3{};
      v.cameraPosition = {eye.x, eye.y, eye.z, view.wetnessSlider ? f.sliders.wetness : 0};
      const float w = view.fogSlider ? (1 - f.sliders.fog) * 16 * f.sceneExtent : 3000.0f;
      v.colAmbient =
          view.lightingSliders ? rgbOf(c.user.backgroundColor, f.ambient, w) : Float4{1, 1, 1, w};
      v.colSunlight = view.lightingSliders ? rgbOf(c.user.sunlightColor, f.ambient, 1) : Float4{};
      v.vecSunlight = sunlight;
      v.tDim = {0, 0, has(grimefile) ? f.sliders.grime : 0, 0};
      const Module& module = model.document.module[m];
      const bool firstIsWindshield =
          !module.instances.empty() && module.instances[0].type == instance_type::windshield;
      v.flags = {has(reflectfile),
                 has(heightfile) && has(normalMapSlot),
                 has(textfile) && !module.baseHidden,
                 has(overlayfile) || (firstIsWindshield && view.reentryEffect),
                 lightMap,
                 has(detailfile) && has(controlfile),
                 has(detailfile)};
      if (t.colourKey >= 0 && t.colourKey < schemeColourCount) {
        const std::uint32_t bgr = model.document.schemeColours[t.colourKey];  // 0x00BBGGRR
        v.colInstance = {static_cast<float>(bgr & 0xFF) / 255,
                         static_cast<float>((bgr >> 8) & 0xFF) / 255,
                         static_cast<float>((bgr >> 16) & 0xFF) / 255, static_cast<float>(t.type)};
      } else {
        v.colInstance = {1, 1, 1, static_cast<float>(t.type)};
      }
      Vec3 d = normalise(transformCoord(eye, t.worldMatrix));
      v.cameraDirectionWorld = {d.x, d.y, -d.z, isLayeredGlass(t.type) ? 1.0f : 0.0f};
      if (plan.blend == Blend::none) plan.blend = Blend::alpha;  // additive types stay additive
      break;
    }
    case ShadingPath::standard: {
      p.pass = 4;
      float y = lightMap ? 1.0f : 0.0f;
      const double cycle = std::fmod(f.clockSeconds, 2.0);
      if (windshieldReentry) {
        y = f.reentryPhase / 63;
      } else if (t.type == instance_type::scrollingLightMap) {
        y = t.motionPhase;
      } else if (t.type == instance_type::display7) {
        y = lightMap && cycle > 1 ? 1.0f : 0.0f;
      } else if (t.type == instance_type::display8) {
        y = lightMap && cycle < 1 ? 1.0f : 0.0f;
      }
      p.clouduv = {has(textfile) ? 1.0f : 0.0f, y, f.flicker ? 0.9f : 1.0f,
                   static_cast<float>(t.type)};
      p.ambient = sunAmbient(c, view, fogEnd(c, view));
      p.blackAlpha = withW(f.colours.trim, 0);
      p.sunlight = sunlight;
      p.spotDir = spot;
      p.features = {1, 0, 0, 0};
      // Glass and thrust cones are blended by the alpha this pass gives them.
      const bool glass = isLayeredGlass(t.type) || t.type == instance_type::exteriorTransparency;
      if (plan.blend == Blend::none && (glass || isThrustCone(t.type))) plan.blend = Blend::alpha;
      break;
    }
  }
}

}  // namespace

bool isInstanceVisible(Model& model, int m, int i, bool deselect) {
  const Instance& t = model.document.module[m].instances[i];
  const ViewOptions& view = model.settings.view;
  const Module& module = model.document.module[m];
  const int g = t.group;
  bool visible = true;
  const bool thigh = t.type == instance_type::leftThigh || t.type == instance_type::rightThigh;
  if (g == 0 && thigh && within(view.peopleDisplay[pantsSlot], 316, 330)) visible = false;
  if (isAssembly(model.document)) {
    if (!assemblyGroupVisible(model, g)) visible = false;
    if (t.type == instance_type::cargoBay && !model.motion.extended) visible = false;
  }
  if (!view.exteriorPlates && t.type == instance_type::exteriorPlate) visible = false;
  if (!view.otherDestructable && t.type != instance_type::indestructable) visible = false;
  if (module.componentType > 0) {
    if (isAssembly(model.document) &&
        !(module.componentType <= systemCount && view.systemShown[module.componentType])) {
      visible = false;
    }
  } else if (view.systemsShowOnly) {
    visible = false;
  }
  if (view.previewExport && g != 996) visible = false;
  if (!visible && deselect && model.selection.currentModule == m &&
      model.selection.currentInstance == i) {
    model.selection.currentModule = -1;
    model.selection.currentInstance = -1;
  }
  return visible;
}

void sortedSelection(const Selection& selection, std::vector<std::uint32_t>& keys) {
  keys.clear();
  for (const InstanceRef r : selection.selectedInstances)
    keys.push_back(selectionKey(r.module, r.instance));
  std::sort(keys.begin(), keys.end());
}

InstanceDrawPlan planInstance(const Model& model, const DrawContext& context, int m, int i) {
  InstanceDrawPlan plan;
  // The rule without the deselect flag changes nothing, so a const model may be asked.
  plan.visible = isInstanceVisible(const_cast<Model&>(model), m, i, false);
  if (!plan.visible) return plan;
  const Instance& t = model.document.module[m].instances[i];
  const Selection& s = model.selection;
  const ViewOptions& view = model.settings.view;
  if (isCity(model.document) && !view.textureAllBuildings) {
    int currentGroup = s.currentGroup;
    if (s.currentModule >= 0 && s.currentModule < model.document.wldfiles &&
        s.currentInstance >= 0 &&
        static_cast<std::size_t>(s.currentInstance) <
            model.document.module[s.currentModule].instances.size()) {
      const int instanceGroup =
          model.document.module[s.currentModule].instances[s.currentInstance].group;
      plan.textured = t.group == currentGroup || t.group == instanceGroup;
    } else {
      plan.textured = t.group == currentGroup;
    }
  }
  planHighlight(model, context, m, i, plan);
  plan.wireframeOnly = view.wireframes;
  plan.pulseWireframe = plan.highlighted;
  if (t.type == instance_type::windshield || t.type == instance_type::helmetGlass)
    plan.blend = Blend::alpha;
  if (isAdditiveDisplay(t.type)) {
    plan.blend = Blend::additive;
    plan.depthAlways = true;
  }
  plan.cull = view.backfaceCulling && t.type != instance_type::noBackfaceCulling;
  plan.path = choosePath(model, context, m, t);
  planParams(model, context, m, t, plan);
  return plan;
}

void drawOrder(const Model& model, float extent, std::vector<DrawItem>& order) {
  order.clear();
  const bool sorted = model.settings.view.sortDrawingOrder;
  for (int m = 0; m < model.document.wldfiles; ++m) {
    const Module& module = model.document.module[m];
    if (sorted && module.polygons.empty()) continue;
    for (std::size_t i = 0; i < module.instances.size(); ++i) {
      const Instance& t = module.instances[i];
      if (t.type == instance_type::glow) continue;
      float key = module.sortKey;
      if (module.newScaleFamily) {
        key = t.eyeDistance + extent * glassLayer(t.type);
      }
      order.push_back({static_cast<std::int16_t>(m), static_cast<std::int16_t>(i), key});
    }
  }
  if (sorted) {
    std::sort(order.begin(), order.end(),
              [](const DrawItem& a, const DrawItem& b) { return a.key < b.key; });
  }
}

Float4 pulseColour(float blink) {
  return {1 - blink * 2 / 3, blink / 3, blink / 3, 1};
}

}  // namespace tessarim
