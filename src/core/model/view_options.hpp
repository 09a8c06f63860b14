#pragma once

#include <array>
#include <cstdint>

namespace tessarim {

// People-package display slots. Pants are the seventh slot: the visibility rule that hides the
// thighs under long trousers reads that slot by position.
enum PeopleSlot : int {
  headSlot,
  hairSlot,
  noseSlot,
  earSlot,
  jawLinesSlot,
  jawOverlaySlot,
  pantsSlot,
  shirtsSlot,
  shoesSlot,
  framesSlot,
  spacesuitSlot,
  peopleSlotCount,
};

inline constexpr int systemCount = 11;  // ship systems 1..11 of the SYSTEMS menu

// Street-node edit modes of the RTSPS menu.
enum RtsEditMode : std::uint8_t {
  rtsSelect = 1,
  rtsAdd,
  rtsRemove,
  rtsSelectConnection,
  rtsConnect,
  rtsFindPath,
  rtsMove,
};

// The view and editing options that menu commands toggle and the menu's check marks show, with
// the values they have when the program starts.
struct ViewOptions {
  bool liveUpdates = false;  // watch texture files for changes

  // VIEW menu.
  bool texelView = false;          // the current module's texel canvas instead of the 3D scene
  std::uint8_t texelMapIndex = 0;  // 0..7: the map the texel view shows
  bool wireframes = false;
  bool showNormals = false;
  bool boundingSpheres = false;
  bool cameraShake = false;      // "Quake": random depth jitter of the camera
  bool statistics = true;        // the status text over the viewport
  bool lightingSliders = false;  // time-of-day: the ambient slider and the lighting it drives
  bool wetnessSlider = true;     // applies only with the lighting sliders
  bool grimeSlider = false;
  bool fogSlider = true;  // applies only with the lighting sliders
  bool windowTintSlider = false;
  bool ageSlider = false;
  bool stubbleSlider = false;
  bool productionLighting = false;
  bool sortDrawingOrder = false;
  bool allModules = true;         // normals of every instance, else of the current one only
  bool exteriorPlates = true;     // instances of type 24 shown
  bool otherDestructable = true;  // off: only instances of type 25 shown
  bool mipFiltering = true;
  bool productionWarnings = false;  // only the menu's check mark shows it
  bool backfaceCulling = true;
  bool graphPaper = false;
  bool reentryEffect = false;
  bool previewExport = false;
  bool autoCentering = false;
  // The texel view and the systems view hide the ambient, grime, wetness and fog sliders.
  bool slidersHidden = false;
  // Request: the renderer releases every loaded texture at the next frame (MIP filtering off).
  bool releaseTextures = false;

  // LIGHTS menu.
  bool showLights = false;
  bool animateLights = true;

  // GROUP menu. Instances of inertial groups (700..799) stay visible while this is on; on at
  // start so that a vehicle's parts are not hidden before anyone asks.
  bool showUnassignedInertial = true;
  // The package each people slot draws; a slot starts at its "Show None" code (shirts and pants,
  // which have none, start bare).
  std::array<std::int16_t, peopleSlotCount> peopleDisplay{150, 175, 100, 225, 675, 125,
                                                          300, 250, 400, 450, 500};

  // City options.
  bool textureAllBuildings = false;  // textures on every building, not only the browsed one
  bool randomizeFillRotation = false;
  bool showBumpLayer = false;        // nothing reads it
  bool contactSheetRefresh = false;  // request raised by "Contact Sheets" > "Refresh"
  // Street-node edit mode; the program starts in Select, the mode that changes nothing.
  std::uint8_t rtsEditMode = rtsSelect;

  // SYSTEMS menu: the systems overlay, the shown flag of each system (index 1..11) and the
  // show-only flag.
  bool systemsView = false;
  std::array<bool, systemCount + 1> systemShown{};
  bool systemsShowOnly = false;

  // Figure state of the MOTION menu, kept here until the animation editor owns it. The start
  // values (male skeleton, median agility) are this editor's choice.
  std::uint8_t skeletonKind = 1;    // 1 male, 0 female
  float agility = 0.5f;             // 1.0, 0.5 or 0.0
  std::int8_t animationSlot = -1;   // current animation slot 0..14, -1 none
  std::int8_t copySourceSlot = -1;  // slot remembered by "Copy Sequence", -1 none
  // The animation panel's "Inv": turning a body part turns its child joints back, so that they
  // keep their pose; off, every instance of the same part follows the turn.
  bool counterRotateChildren = false;

  // Current connector index of the component editor, -1 none; kept here until that editor
  // exists, so that the Delete rule can read it.
  std::int32_t currentConnector = -1;

  bool operator==(const ViewOptions&) const = default;
};

}  // namespace tessarim
