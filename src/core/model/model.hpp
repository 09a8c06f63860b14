#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/changes.hpp"
#include "model/city_records.hpp"
#include "model/equipment_records.hpp"
#include "model/motion_state.hpp"
#include "model/records.hpp"
#include "model/rts_graph.hpp"
#include "model/view_options.hpp"

namespace tessarim {

inline constexpr int maxModules = 256;
inline constexpr int maxLights = 255;
inline constexpr int maxBuildingNames = 255;
inline constexpr int buildingNameCapacity = 32;  // bytes, so at most 31 characters
inline constexpr int schemeColourCount = 16;

// What kind of file the document is: one mesh, or an assembly or city placing meshes.
enum class DocumentKind : std::uint8_t { wldfile, asmfile, ctyfile };

// What a document holds and saving writes. Clearing is assigning a fresh one; a copy is a
// snapshot.
struct Document {
  DocumentKind kind = DocumentKind::wldfile;
  std::string documentPath;   // stored form; empty: no document
  float documentVersion = 0;  // the version the open assembly or city file gave
  std::array<Module, maxModules> module;
  std::uint16_t wldfiles = 0;
  std::array<Light, maxLights> lights{};
  std::int16_t lightCount = 0;
  std::vector<Connector> connectors;
  std::vector<Component> components;
  std::string schemeFile;
  std::array<std::uint32_t, schemeColourCount> schemeColours{};  // 0x00BBGGRR, as in .pal files
  std::array<AnimationSlot, animationSlotCount> animationSlots{};
  std::array<std::string, maxBuildingNames> buildingNames;
  RtspsGrid rtspsGrid{};
  RtsGraph streetNodes;
  bool rtsEnabled = false;
  float emptyWeight = 0;  // pounds
  std::int16_t modelId = 0;
  bool interiorFlag = false;
};

inline bool isAssembly(const Document& document) {
  return document.kind == DocumentKind::asmfile;
}
inline bool isCity(const Document& document) {
  return document.kind == DocumentKind::ctyfile;
}
// An assembly or a city: modules placed by instances rather than one mesh.
inline bool placesModules(const Document& document) {
  return document.kind != DocumentKind::wldfile;
}

// View and editing options of the running editor; not saved with the document.
struct Settings {
  bool sudoSu = false;  // the expert option: scale-class changes keep coordinates and texels
  bool flattenX = false, flattenY = false, flattenZ = false;
  ViewOptions view;
};

struct InstanceRef {
  std::int16_t module = -1;
  std::int16_t instance = -1;
};

struct Selection {
  std::int16_t currentModule = -1;    // -2: several instances, see selectedInstances
  std::int16_t currentInstance = -1;  // -2 with currentModule -2 after select-all or invert
  std::int32_t currentPolygon = -1;   // -2: several polygons, see selectedPolygons
  std::int16_t currentGroup = -1;     // 1..255; -1 or 0: none
  std::vector<std::uint32_t> selectedPolygons;
  // Insertion order. It grows with the selection: a bulk selection in a large city holds
  // every instance it names.
  std::vector<InstanceRef> selectedInstances;
};

// A file that ended early, by its stored name, with what was missing ("ends early: 3 of 6
// polygons").
struct ShortFile {
  std::string name;
  std::string detail;
};

struct DocumentStatus {
  bool documentModified = false;
  FileTime documentTime = 0;
  // Kept by the report: set through noteChanges, cleared by whoever acted on them.
  bool geometryDirty = false;
  bool texturesLoaded = false;
  Changes pending;               // reported since the editor last followed them (title, menus)
  bool modulesReloaded = false;  // a module was read since the last frame
  float encompassingRadius = 0;  // kilometres: the document's reach from its origin
  // What loading left out of the open document, one line per embedded file with its instances:
  // saving writes the document without them.
  std::vector<std::string> droppedOnLoad;
  // Files of the document that ended before the records their counts promised: saving writes
  // only what was read of them.
  std::vector<ShortFile> readShort;
};

// One open document with what the editor keeps beside it: the selection, the view options and
// the state the geometry build and the frame step derive from it.
struct Model {
  Document document;
  Settings settings;
  DocumentStatus status;
  Selection selection;
  MotionState motion;
  std::vector<TileRecord> tileRecords;  // of the last built ground grid
  GridCursor gridCursor;
};

void resetModule(Model& model, int index);
void clearMaps(Model& model, int index);
// Index of the first loaded module whose filename matches byte for byte, or -1.
int findModuleByName(const Model& model, std::string_view name);
void addInstance(Model& model, int moduleIndex, const Instance& instance);
// Keeps the selection within what the document holds: a mesh's module is 0, a multi-instance
// selection makes the current module -2 (one instance in the texel view, which shows one
// module), a polygon past the module's end is none.
void repairSelection(Model& model);
// Reports changes: the geometry and texture flags follow at once, the rest waits in `pending`
// for the editor.
void noteChanges(Model& model, Changes changes);
// Back to no document: a fresh document (kind, path, modules, every collection and trailer
// value), no selection and no ground-grid cells.
void clearDocument(Model& model);
// Loading found that the file `name` ended early; an earlier note of the same file is replaced.
void noteReadShort(Model& model, std::string_view name, std::string detail);
// The file `name` now holds what the document holds (it was written, or read again whole).
void forgetReadShort(Model& model, std::string_view name);
// What loading lost of the open document, a line each: the entries it left out, then the files
// of the document (itself or a loaded module) that ended early. Empty when a save writes
// everything the files held.
std::vector<std::string> contentLostOnLoad(const Model& model);

// The selected instances: the multi-instance selection when there is one, otherwise the current
// module and instance as a one-element selection (none when either is not a valid index).
std::vector<InstanceRef> selectedInstanceRefs(const Model& model);

}  // namespace tessarim
