// The current generation of the runtime set: the DAW holds every vertex of the scene as the
// geometry builder laid it out (68 bytes each, positions in kilometres), the DIX the modules
// with their maps and the instances with the ranges of their triangles.

#include <bit>
#include <cstring>
#include <set>

#include "export/byte_writer.hpp"
#include "export/normal_map.hpp"
#include "export/runtime_files.hpp"
#include "formats/file_io.hpp"
#include "formats/text_writer.hpp"
#include "images/png_image.hpp"
#include "model/geometry.hpp"
#include "model/scale_class.hpp"
#include "platform/ui.hpp"
#include "scene/geometry_builder.hpp"

namespace tessarim {
namespace {

static_assert(std::endian::native == std::endian::little,
              "DAW records are copied from the scene's floats as the host holds them");

constexpr std::size_t dawRecordSize = 68;
constexpr std::size_t dawChunkVertices = 16384;

// The scene vertex as a DAW record: the same seven elements, positions times k and the colour
// as bytes R, G, B, A.
void putDawRecord(char* out, const RenderVertex& v, float k) {
  const float position[3] = {v.x * k, v.y * k, v.z * k};
  std::memcpy(out, position, 12);
  std::memcpy(out + 12, &v.nx, 12);
  out[24] = static_cast<char>(v.colour >> 16);
  out[25] = static_cast<char>(v.colour >> 8);
  out[26] = static_cast<char>(v.colour);
  out[27] = static_cast<char>(v.colour >> 24);
  std::memcpy(out + 28, &v.u, dawRecordSize - 28);  // texels, tangent, binormal
}

// Streams the scene into the DAW, module by module, a chunk at a time.
bool stageDaw(StagedFiles& files, const RuntimeName& daw, const Model& model,
              const SceneGeometry& scene) {
  if (!files.begin(daw.host, daw.name)) return false;
  char header[4];
  const auto count = static_cast<std::uint32_t>(scene.vertices.size());
  std::memcpy(header, &count, 4);
  if (!files.append({header, 4})) return false;
  std::string chunk;
  for (int m = 0; m < model.document.wldfiles; ++m) {
    const Module& module = model.document.module[m];
    const float k = static_cast<float>(unitKilometres(module.scaleClass));
    for (std::size_t instance = 0; instance < module.instances.size(); ++instance) {
      const InstanceRun run = instanceRun(scene, m, instance);
      const std::size_t first = static_cast<std::size_t>(run.firstSceneVertex);
      const std::size_t end = first + static_cast<std::size_t>(run.triangleCount) * 3;
      for (std::size_t at = first; at < end; at += dawChunkVertices) {
        const std::size_t n = std::min(dawChunkVertices, end - at);
        chunk.resize(n * dawRecordSize);
        for (std::size_t i = 0; i < n; ++i)
          putDawRecord(&chunk[i * dawRecordSize], scene.vertices[at + i], k);
        if (!files.append(chunk)) return false;
      }
    }
  }
  return files.finish();
}

// The three low bytes of the key's scheme colour, lowest first; white when the instance has no
// key (or one outside the scheme).
void putColourKey(ByteWriter& out, const Model& model, std::int16_t key) {
  if (key < 0 || key >= schemeColourCount) {
    out.u8(255);
    out.u8(255);
    out.u8(255);
    return;
  }
  const std::uint32_t colour = model.document.schemeColours[static_cast<std::size_t>(key)];
  out.u8(static_cast<std::uint8_t>(colour));
  out.u8(static_cast<std::uint8_t>(colour >> 8));
  out.u8(static_cast<std::uint8_t>(colour >> 16));
}

// Stages "<height map>.map" beside the height map. A height map that cannot be read adds a line
// to the report's error list instead.
bool stageNormalMap(Session& session, StagedFiles& files, const std::string& heightName,
                    std::string& errors, std::vector<std::string>& written) {
  std::string reason;
  std::optional<RgbaImage> height;
  // A name that leads out of the repository is neither read nor written beside.
  const std::string mapName = formatText("%s.map", heightName);
  const std::optional<std::string> heightFile = repositoryFile(session.repository, heightName);
  const std::optional<std::string> mapFile = repositoryFile(session.repository, mapName);
  if (!heightFile || !mapFile) {
    reason = "the file lies outside the repository folder";
  } else if (auto bytes = readFileText(*heightFile, &reason)) {
    height = decodePng(*bytes, &reason);
  }
  if (!height) {
    errors += formatText("Normal map not written for \"%S\": %S\n", heightName, reason);
    return true;
  }
  std::optional<std::string> png = encodePng(computeNormalMap(*height), &reason);
  if (!png) {
    errors += formatText("Normal map not written for \"%S\": %S\n", heightName, reason);
    return true;
  }
  if (!files.add(*mapFile, mapName, *png)) return false;
  written.push_back(mapName);
  return true;
}

}  // namespace

ExportResult exportCurrentSet(Session& session, SceneGeometry& scene, const ExportOptions&) {
  Model& model = session.model;
  Ui& ui = session.ui;
  const std::optional<RuntimeName> daw = runtimeName(session, ".daw");
  if (!daw) return {};
  computeStatistics(model);
  ExportResult result;
  const GeometryBuild built = buildGeometry(model, scene);
  reportRemovedPolygons(ui, built.removedPolygons);
  result.triangles = built.triangles;
  if (!fitsFormat(session, "the vertex count of the DAW file",
                  static_cast<std::int64_t>(scene.vertices.size()), UINT32_MAX)) {
    return {};
  }

  StagedFiles files{session.repository};
  if (!stageDaw(files, *daw, model, scene)) {
    showSaveError(session, files);
    return {};
  }
  result.files.push_back(daw->name);

  const bool placed = placesModules(model.document);
  if (!placed) {
    if (!files.commit()) {
      showSaveError(session, files);
      return {};
    }
    result.written = true;
    return result;
  }

  const std::optional<RuntimeName> dix = runtimeName(session, ".dix");
  if (!dix) return {};
  // The city's last module is its generated terrain, which the game draws itself.
  const int modules =
      isCity(model.document) ? std::max(0, model.document.wldfiles - 1) : model.document.wldfiles;
  ByteWriter out;
  out.f32(model.status.encompassingRadius);
  out.u16(static_cast<std::uint16_t>(modules));
  std::string errors;
  std::set<std::string> normalMaps;
  int components = 0;
  for (int m = 0; m < modules; ++m) {
    const Module& module = model.document.module[m];
    const std::string& heightName = module.maps[heightfile];
    if (!heightName.empty() && normalMaps.insert(heightName).second) {
      if (!stageNormalMap(session, files, heightName, errors, result.files)) {
        showSaveError(session, files);
        return {};
      }
    }
    const float k = static_cast<float>(unitKilometres(module.scaleClass));
    if (k == 1) {
      showScaleFailed(session);
      return {};
    }
    for (const std::string& name : module.maps) {
      if (!fitsNameField(session, name)) return {};
    }
    if (!fitsNameField(session, module.filename) ||
        !fitsFormat(session, formatText("the instance count of \"%S\"", module.filename),
                    static_cast<std::int64_t>(module.instances.size()), UINT16_MAX)) {
      return {};
    }
    out.name(module.filename);
    out.f32(module.boundingRadius);
    out.name(module.baseHidden ? std::string_view{} : std::string_view{module.maps[textfile]});
    for (int slot = overlayfile; slot < mapSlotCount; ++slot) out.name(module.maps[slot]);
    out.u16(static_cast<std::uint16_t>(module.instances.size()));
    for (std::size_t i = 0; i < module.instances.size(); ++i) {
      const Instance& instance = module.instances[i];
      const InstanceRun run = instanceRun(scene, m, i);
      if (!fitsFormat(session,
                      formatText("the triangle count of an instance of \"%S\"", module.filename),
                      run.triangleCount, UINT16_MAX)) {
        return {};
      }
      out.u32(static_cast<std::uint32_t>(run.firstSceneVertex));
      out.u16(static_cast<std::uint16_t>(run.triangleCount));
      out.f32x3(instance.location, k);
      out.f32x3(instance.orientation);
      out.f32x3({instance.endLocation[0] - instance.location[0],
                 instance.endLocation[1] - instance.location[1],
                 instance.endLocation[2] - instance.location[2]},
                k);
      putColourKey(out, model, instance.colourKey);
      out.u8(instance.type);
      out.f32(instance.extendRate);
      out.f32x3(instance.hingeAxis);
      out.f32x3(instance.hingeOffset, k);
      out.f32(instance.hingeAngle);
      ++components;
    }
  }
  if (!files.add(dix->host, dix->name, out.str()) || !files.commit()) {
    showSaveError(session, files);
    return {};
  }
  result.files.push_back(dix->name);
  result.written = true;
  ui.messageBox(
      formatText("Saved to \"%S\" with...\n\nComponents:\t%i\nPrimitives:\t\t%i\nLights:\t\t%i\n\n"
                 "Errors:\n%S",
                 dix->name, components, result.triangles, model.document.lightCount, errors),
      "Complete!", MessageIcon::none, MessageButtons::ok);
  return result;
}

}  // namespace tessarim
