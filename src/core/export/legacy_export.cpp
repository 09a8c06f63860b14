// The legacy generation of the runtime set: each module written once, polygon by polygon, as
// 32-byte vertices; a DIX of fixed 100-byte record slots; the city grid and animation side files.

#include <algorithm>
#include <bit>

#include "export/byte_writer.hpp"
#include "export/runtime_files.hpp"
#include "formats/text_writer.hpp"
#include "maths/maths.hpp"
#include "model/geometry.hpp"
#include "model/instance_types.hpp"
#include "model/scale_class.hpp"
#include "platform/ui.hpp"
#include "scene/geometry_builder.hpp"

namespace tessarim {
namespace {

constexpr float legacyFormatValue = 2.51f;
constexpr std::size_t firstSlot = 99;
constexpr std::size_t slotSize = 100;
constexpr std::int16_t exportHiddenGroup = 997;

bool hasHiddenInstance(const Module& module) {
  return std::any_of(module.instances.begin(), module.instances.end(),
                     [](const Instance& t) { return t.group == exportHiddenGroup; });
}

// Lights, triangulators and other marker instances the game places itself.
bool writesRecord(const Instance& instance) {
  return !isPlacedByGame(instance.type);
}

void putVertex(ByteWriter& out, const Module& module, const Polygon& p,
               const std::array<float, 3>& normal, int corner, float k) {
  const Vertex& v = module.vertices[p.vertexIndex[corner]];
  out.f32(v.x * k);
  out.f32(v.y * k);
  out.f32(v.z * k);
  out.f32x3(normal);
  out.f32(p.texels[corner].u);
  out.f32(p.texels[corner].v);
}

void putLights(ByteWriter& out, const Model& model) {
  const int count = std::clamp<int>(model.document.lightCount, 0, maxLights);
  out.u16(static_cast<std::uint16_t>(count));
  for (int i = 0; i < count; ++i) {
    const Light& light = model.document.lights[i];
    out.f32x3(light.position);
    out.f32x3(light.normal);
    out.u32(light.colour);
    out.u32(light.sequence);
    out.f32(light.secondsPerCycle);
    out.f32(light.effectType);
  }
}

bool keyFrameUsed(const KeyFrame& key) {
  if (key.start != 0 || (key.end != 0 && key.end != -1)) return true;
  for (const auto& joint : key.joints) {
    if (joint[0] != 0 || joint[1] != 0 || joint[2] != 0) return true;
  }
  return key.offset[0] != 0 || key.offset[1] != 0 || key.offset[2] != 0;
}

bool holdsAnimation(const Model& model) {
  for (const AnimationSlot& slot : model.document.animationSlots) {
    if (std::any_of(slot.begin(), slot.end(), keyFrameUsed)) return true;
  }
  return false;
}

// The 15 slots of 10 keys, each key its start, end, 16 joints of yaw, pitch and roll, and the
// skeleton offset: 212 bytes a key, 31800 in all.
std::string animationBlock(const Model& model) {
  ByteWriter out;
  for (const AnimationSlot& slot : model.document.animationSlots) {
    for (const KeyFrame& key : slot) {
      out.f32(key.start);
      out.f32(key.end);
      for (const auto& joint : key.joints) out.f32x3(joint);
      out.f32x3(key.offset);
    }
  }
  return out.str();
}

// The 26 x 26 grid cell by cell, each cell its turn byte and then its piece byte: 1352 bytes.
std::string gridBlock(const Model& model) {
  ByteWriter out;
  for (const RtspsCell& cell : model.document.rtspsGrid) {
    out.u8(cell.turn);
    out.u8(cell.piece);
  }
  return out.str();
}

struct ModuleRange {
  std::uint32_t firstVertex = 0;
  std::uint32_t triangles = 0;
};

// DIX record of one instance (little-endian; widths in a city in parentheses):
//
//   offset   size   field
//   0        2 (4)  the module's first vertex in the DAW
//   2 (4)    2 (4)  the module's triangle count
//   4 (8)    12     location x k
//   16 (20)  12     orientation (yaw, pitch, roll)
//   28 (32)  4      the module's boundingRadius; 0 for types 8, 53 and 54
//   32 (36)  12     (endLocation - location) x k; zeros for type 0
//   44 (48)  2      the module's sortKey
//   46 (50)  12     the module's centroid turned by the instance's yaw, pitch and roll, x k
//   58 (62)  1      type
//   59 (63)  4      extendRate
//   63 (67)  12     hingeAxis
//   75 (79)  12     hingeOffset x k
//   87 (91)  4      hingeAngle
//   91 (95)  2      group
//   93 (97)  1      1 when the module names a light map
//   94 (98)  4      retractRate
//
// Outside a city the record is 98 bytes and the last two bytes of its 100-byte slot stay zero.
// In a city it is 102 bytes, two more than a slot: the slot holds its first 100 bytes, and the
// last two (the upper half of retractRate) go to a table after the light count, two bytes per
// record in record order. So every slot holds only its own record and no byte is lost, where
// records written back to back would overwrite the start of the next one.
std::string record(const Module& module, const Instance& instance, ModuleRange range, float k,
                   bool city) {
  ByteWriter out;
  if (city) {
    out.u32(range.firstVertex);
    out.u32(range.triangles);
  } else {
    out.u16(static_cast<std::uint16_t>(range.firstVertex));
    out.u16(static_cast<std::uint16_t>(range.triangles));
  }
  out.f32x3(instance.location, k);
  out.f32x3(instance.orientation);
  const bool markerType = instance.type == instance_type::farm1 ||
                          instance.type == instance_type::noBoundingSphere ||
                          instance.type == instance_type::cargoBay;
  out.f32(markerType ? 0.0f : module.boundingRadius);
  if (instance.type == instance_type::unassigned) {
    out.zeros(12);
  } else {
    out.f32x3({instance.endLocation[0] - instance.location[0],
               instance.endLocation[1] - instance.location[1],
               instance.endLocation[2] - instance.location[2]},
              k);
  }
  out.u16(static_cast<std::uint16_t>(module.sortKey));
  const Matrix turn = rotationYawPitchRoll(instance.orientation[0], instance.orientation[1],
                                           instance.orientation[2]);
  const Vec3 centre =
      transformNormal({module.centroid[0], module.centroid[1], module.centroid[2]}, turn);
  out.f32x3({centre.x, centre.y, centre.z}, k);
  out.u8(instance.type);
  out.f32(instance.extendRate);
  out.f32x3(instance.hingeAxis);
  out.f32x3(instance.hingeOffset, k);
  out.f32(instance.hingeAngle);
  out.u16(static_cast<std::uint16_t>(instance.group));
  out.u8(module.maps[lightfile].empty() ? 0 : 1);
  out.f32(instance.retractRate);
  return out.str();
}

}  // namespace

ExportResult exportLegacySet(Session& session, SceneGeometry& scene, const ExportOptions& options) {
  Model& model = session.model;
  Ui& ui = session.ui;
  const bool city = isCity(model.document);
  const bool placed = city || isAssembly(model.document);
  const std::optional<RuntimeName> daw = runtimeName(session, ".daw");
  if (!daw) return {};
  computeStatistics(model);
  // The vertices carry the corner normals of a fresh build, and the triangle counts follow it.
  reportRemovedPolygons(ui, buildGeometry(model, scene).removedPolygons);

  const int modules = city     ? std::max(0, model.document.wldfiles - 1)
                      : placed ? model.document.wldfiles
                               : 1;
  std::vector<ModuleRange> ranges(static_cast<std::size_t>(modules));
  ExportResult result;
  result.legacy = true;
  std::int64_t vertices = 0, conversions = 0;
  ByteWriter dawOut;
  dawOut.zeros(city ? 4 : 2);
  for (int m = 0; m < modules; ++m) {
    Module& module = model.document.module[m];
    if (hasHiddenInstance(module)) continue;
    double kilometres = unitKilometres(module.scaleClass);
    if (kilometres == 1) {
      ui.messageBox(module.filename, "Scale not assigned!", MessageIcon::none, MessageButtons::ok);
      if (city) {
        module.scaleClass = 2;
        module.modified = 1;
        kilometres = unitKilometres(module.scaleClass);
      }
    }
    const auto k = static_cast<float>(kilometres);
    std::int64_t triangles = 0;
    // A module without instances was not built: its corners carry no normal.
    const std::vector<PolygonShading>& built = scene.polygons[m];
    for (std::size_t i = 0; i < module.polygons.size(); ++i) {
      const Polygon& p = module.polygons[i];
      const auto normals =
          i < built.size() ? built[i].cornerNormals : std::array<std::array<float, 3>, 4>{};
      for (int c : {2, 1, 0}) putVertex(dawOut, module, p, normals[c], c, k);
      ++triangles;
      if (p.sides == 4) {
        for (int c : {0, 3, 2}) putVertex(dawOut, module, p, normals[c], c, k);
        ++triangles;
        ++conversions;
      }
    }
    ranges[m] = {static_cast<std::uint32_t>(vertices), static_cast<std::uint32_t>(triangles)};
    vertices += triangles * 3;
    result.triangles += triangles;
  }
  // Outside a city every first vertex and triangle count of the DIX is below this total.
  if (!fitsFormat(session, "the vertex count of the DAW file", vertices,
                  city ? UINT32_MAX : UINT16_MAX))
    return {};
  if (city) {
    dawOut.patchU32(0, static_cast<std::uint32_t>(vertices));
  } else {
    dawOut.patchU16(0, static_cast<std::uint16_t>(vertices));
  }
  putLights(dawOut, model);

  StagedFiles files{session.repository};
  if (!files.add(daw->host, daw->name, dawOut.str())) {
    showSaveError(session, files);
    return {};
  }
  result.files.push_back(daw->name);

  int records = 0;
  if (placed) {
    const std::optional<RuntimeName> dix = runtimeName(session, ".dix");
    if (!dix) return {};
    ByteWriter out;
    out.zeros(firstSlot);
    std::string spill;  // city records' last two bytes
    for (int m = 0; m < modules; ++m) {
      const Module& module = model.document.module[m];
      if (module.maps[textfile].empty()) {
        ui.messageBox("No texture assigned", "Export warning", MessageIcon::error,
                      MessageButtons::ok);
      }
      const auto k = static_cast<float>(unitKilometres(module.scaleClass));
      if (k == 1) {
        showScaleFailed(session);
        return {};
      }
      for (std::size_t i = 0; i < module.instances.size(); ++i) {
        const Instance& instance = module.instances[i];
        if (!writesRecord(instance)) continue;
        if (options.developerMode && model.selection.currentModule == m &&
            model.selection.currentInstance == static_cast<int>(i)) {
          ui.messageBox(formatText("Found component at index %i", records), "Found!",
                        MessageIcon::none, MessageButtons::ok);
        }
        const std::string bytes = record(module, instance, ranges[m], k, city);
        out.bytes(std::string_view{bytes}.substr(0, slotSize));
        out.zeros(slotSize - std::min(bytes.size(), slotSize));
        if (bytes.size() > slotSize) spill += bytes.substr(slotSize);
        ++records;
      }
    }
    if (!fitsFormat(session, "the record count of the DIX file", records, UINT16_MAX)) return {};
    out.u16(static_cast<std::uint16_t>(std::clamp<int>(model.document.lightCount, 0, maxLights)));
    out.bytes(spill);
    out.patchU16(0, static_cast<std::uint16_t>(records));
    out.patchU32(2, std::bit_cast<std::uint32_t>(legacyFormatValue));
    if (!files.add(dix->host, dix->name, out.str())) {
      showSaveError(session, files);
      return {};
    }
    result.files.push_back(dix->name);
  }

  if (city && !model.document.rtsEnabled) {
    const std::optional<RuntimeName> rts = runtimeName(session, ".rts");
    if (!rts) return {};
    if (!files.add(rts->host, rts->name, gridBlock(model))) {
      showSaveError(session, files);
      return {};
    }
    result.files.push_back(rts->name);
  }
  if (isAssembly(model.document) && !city && holdsAnimation(model)) {
    const std::optional<RuntimeName> ani = runtimeName(session, ".ani");
    if (!ani) return {};
    if (!files.add(ani->host, ani->name, animationBlock(model))) {
      showSaveError(session, files);
      return {};
    }
    result.files.push_back(ani->name);
  }

  if (!files.commit()) {
    showSaveError(session, files);
    return {};
  }
  result.written = true;
  ui.messageBox(
      formatText("Saved to \"%S\" with...\n\nVertices:\t\t%i\nTriangles:\t%i\nConversions:\t%i\n"
                 "Components:\t%i\nLights:\t\t%i\n\nErrors:\n%S",
                 daw->name, vertices, result.triangles, conversions, records,
                 model.document.lightCount, std::string{}),
      "Complete!", MessageIcon::none, MessageButtons::ok);
  return result;
}

}  // namespace tessarim
