#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "maths/matrix.hpp"
#include "model/guid.hpp"

namespace tessarim {

// Model units; the module's scale class converts them to kilometres.
struct Vertex {
  float x = 0, y = 0, z = 0;
};

// Fractions of the module's texel canvas.
struct Texel {
  float u = 0, v = 0;
};

// One face with 3 or 4 corners. A default polygon is zero-filled.
struct Polygon {
  std::uint8_t sides = 0;
  std::array<std::uint32_t, 4> vertexIndex{};
  std::array<float, 4> colour{};   // red, green, blue, alpha, 0..1
  std::array<Texel, 4> texels{};   // set 0, base-map family
  std::array<Texel, 4> texels2{};  // set 1, overlay family
  float texelAngle = 0;            // radians; -1: set 0 is not generated
  float texelAngle2 = 0;           // the same for set 1
  std::uint8_t smooth = 0;
  std::array<std::int16_t, 2> gridCell{};  // ground-grid cell x, y
};

// Texture-map slots in the order used by menus and memory (the WLD file orders them differently).
enum MapSlot : int {
  textfile = 0,
  overlayfile = 1,
  lightfile = 2,
  heightfile = 3,
  visibilityfile = 4,
  reflectfile = 5,
  grimefile = 6,
  detailfile = 7,
  controlfile = 8,
};
inline constexpr int mapSlotCount = 9;

// Equipment description of a component module; `componentType` of the module is its system.
struct ComponentSpec {
  std::int32_t kind = 0;
  float serviceLife = 0;  // hours
  float cycleHit = 0;     // hours
  std::int32_t hitPointsPhysical = 0;
  std::int32_t hitPointsEnergy = 0;
  float weight = 0;  // pounds
  float cost = 0;    // dollars
  float pickup = 0;
  float dropout = 0;
  float maxPressure = 0;
  float loadDraw = 0;
  float minTemperature = 0;  // kelvin
  float maxTemperature = 0;  // kelvin
  float maxCapacity = 0;
  std::string make;
  std::string model;
  std::string descriptor;
};

// One placement of a module.
struct Instance {
  Guid guid;
  std::uint8_t type = 0;
  std::array<float, 3> location{};     // model units, at phase 0
  std::array<float, 3> orientation{};  // yaw, pitch, roll, radians
  float extendRate = 0;                // phase per second
  float retractRate = 0;               // phase per second
  float motionPhase = 0;               // 0..1; not stored
  std::array<float, 3> endLocation{};  // position at phase 1
  float volume = 0;
  std::array<float, 3> hingeAxis{};
  std::array<float, 3> hingeOffset{};
  float hingeAngle = 0;  // radians at phase 1
  std::int16_t group = 0;
  std::int16_t colourKey = -1;  // -1 not colourised, 0..7 immutable, 8..15 mutable
  Matrix worldMatrix{};
  Matrix savedMatrix{};
  Matrix rotationMatrix{};
  float eyeDistance = 0;
};

// Modification time of a file as a count of the file system's clock; 0 when unknown.
using FileTime = std::int64_t;

// One loaded WLD mesh.
struct Module {
  std::int16_t scaleClass = 0;
  float version = 0;
  std::string filename;  // stored form: repository-relative, backslash separators
  std::array<std::string, mapSlotCount> maps;
  FileTime fileTime = 0;
  std::array<FileTime, mapSlotCount> mapTimes{};
  std::uint8_t baseHidden = 0;
  std::int32_t canvasWidth = 0, canvasHeight = 0;    // texel canvas of set 0, pixels
  std::int32_t canvasWidth2 = 0, canvasHeight2 = 0;  // texel canvas of set 1, pixels
  float boundingRadius = 0;                          // kilometres; not stored
  std::array<float, 3> centroid{};                   // not stored
  std::int32_t componentType = 0;  // system of `component`; > 0 makes a component module
  ComponentSpec component;
  std::vector<Instance> instances;
  std::vector<Polygon> polygons;
  std::vector<Vertex> vertices;
  std::int16_t sortKey = 0;
  std::uint8_t modified = 0;
  std::uint8_t newScaleFamily = 0;
};

}  // namespace tessarim
