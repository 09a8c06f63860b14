#pragma once

// What drawing one instance means: whether it shows, its highlight and wireframe, its blend
// state and the shading path with the parameters that path's program receives. The renderer
// carries the plan out; nothing here touches a device.

#include <array>
#include <cstdint>
#include <vector>

#include "maths/matrix.hpp"

namespace tessarim {

struct Model;
struct Selection;
struct FrameState;
struct UserSettings;

// The visibility rule. With deselect set, an invisible current instance stops being current.
bool isInstanceVisible(Model& model, int moduleIndex, int instanceIndex, bool deselect);

enum class ShadingPath {
  cityBuilding,  // A: main pass P2
  scrolling,     // B: fixed function, texture scrolled in v
  people,        // C: main pass P1
  terrain,       // D: main pass P0 per ground tile
  ageBlend,      // E: fixed function, two rows of one texture blended by age
  vehicle,       // F: the vehicle program
  standard,      // G: main pass P4
};

enum class Blend {
  none,
  alpha,     // source alpha, inverse source alpha
  additive,  // source colour, one
};

using Float4 = std::array<float, 4>;

// The main program's parameters by their names in the program.
struct MainParams {
  int pass = 4;
  Float4 clouduv{}, ambient{}, sunlight{}, spotDir{}, shiplight{}, radiosity{}, features{},
      blackAlpha{};
  float motion = 0;
};

// The vehicle program's parameters.
struct VehicleParams {
  Float4 cameraPosition{}, colAmbient{}, colSunlight{}, vecSunlight{}, tDim{}, colInstance{},
      cameraDirectionWorld{};
  std::array<bool, 7> flags{};
};

struct InstanceDrawPlan {
  bool visible = false;
  bool textured = true;  // base and light maps bound (a city textures only the browsed building)
  // Grey wireframe highlight (0.4 + 0.6 blink) of the polygons named here, or of the whole
  // instance.
  bool highlightWhole = false;
  std::vector<int> highlightPolygons;
  bool highlighted = false;
  bool wireframeOnly = false;   // drawn as lines only, no fill
  bool pulseWireframe = false;  // the wireframe in the pulse colour (highlighted)
  Blend blend = Blend::none;
  bool depthAlways = false;
  bool cull = true;  // counter-clockwise triangles culled
  ShadingPath path = ShadingPath::standard;
  MainParams main;
  VehicleParams vehicle;
  float textureScroll = 0;  // path B: v offset of stages 0 and 1
  float ageAlpha = 0;       // path E: texture-factor alpha, 0..1
};

// Everything the plan reads besides the model.
struct DrawContext {
  const FrameState& frame;
  const UserSettings& user;
  bool vehicleProgram = true;  // the vehicle program exists; without it path G draws instead
  // The selected instances as sortedSelection made them for this frame; without them each
  // instance looks through the selection itself.
  const std::vector<std::uint32_t>* selectedKeys = nullptr;
};

// The selected instances as sorted keys (module in the high half), so that a large selection is
// looked up per instance without walking it.
void sortedSelection(const Selection& selection, std::vector<std::uint32_t>& keys);

// The plan for one instance; changes nothing.
InstanceDrawPlan planInstance(const Model& model, const DrawContext& context, int moduleIndex,
                              int instanceIndex);

struct DrawItem {
  std::int16_t module, instance;
  float key;
};
// The order of the 3D pass. Type 27 (glow) is left out. Sorted: modules with polygons only, by
// key ascending (the module's sortKey, or for the new scale family the eye distance pushed back
// by extent x 1, 2 or 3 for types 9, 6 and 3). The list is reused from frame to frame.
void drawOrder(const Model& model, float extent, std::vector<DrawItem>& order);

// The colour of the pulsing wireframe: red 1 - blink x 2/3, green and blue blink / 3.
Float4 pulseColour(float blink);

}  // namespace tessarim
