#include "editor/texture_pass.hpp"

#include <filesystem>
#include <system_error>

#include "editor/editor.hpp"
#include "export/normal_map.hpp"
#include "formats/text_writer.hpp"
#include "images/image_files.hpp"
#include "model/geometry.hpp"
#include "model/paths.hpp"
#include "platform/ui.hpp"

namespace tessarim {
namespace {

constexpr int terrainSize = 2048;

void markLoaded(FrameState& frame, int module, int slot, bool loaded) {
  const auto bit = static_cast<std::uint16_t>(1u << slot);
  frame.mapsLoaded[module] =
      loaded ? frame.mapsLoaded[module] | bit : frame.mapsLoaded[module] & ~bit;
}

void dropSlot(FrameState& frame, TextureNames& names, TextureStore& store, int module, int slot) {
  if (hasMap(frame, module, slot)) store.release(module, slot);
  markLoaded(frame, module, slot, false);
  names.loaded[module][slot].clear();
  if (slot == heightfile) {
    if (hasMap(frame, module, normalMapSlot)) store.release(module, normalMapSlot);
    markLoaded(frame, module, normalMapSlot, false);
  }
}

FileTime modificationTime(const std::string& hostPath) {
  std::error_code error;
  const auto time = std::filesystem::last_write_time(hostPath, error);
  return error ? 0 : static_cast<FileTime>(time.time_since_epoch().count());
}

void resizeCanvas0(Model& model, Module& m, int width, int height) {
  // In developer mode ("sudo su") the texels keep their values when the canvas changes size.
  if (!model.settings.sudoSu) {
    for (Polygon& p : m.polygons) {
      for (Texel& t : p.texels) {
        if (width != m.canvasWidth && m.canvasWidth != 0)
          t.u *= static_cast<float>(m.canvasWidth) / static_cast<float>(width);
        if (height != m.canvasHeight && m.canvasHeight != 0)
          t.v *= static_cast<float>(m.canvasHeight) / static_cast<float>(height);
      }
    }
  }
  m.canvasWidth = width;
  m.canvasHeight = height;
  m.modified = 1;
  noteChanges(model, Change::geometry);
}

void resizeCanvas1(Model& model, Module& m, int width, int height) {
  for (Polygon& p : m.polygons) {
    for (Texel& t : p.texels2) {
      if (width != 0)
        t.u = (t.u - 0.5f) * static_cast<float>(m.canvasWidth2) / static_cast<float>(width) + 0.5f;
      if (height != 0)
        t.v =
            (t.v - 0.5f) * static_cast<float>(m.canvasHeight2) / static_cast<float>(height) + 0.5f;
    }
  }
  m.canvasWidth2 = width;
  m.canvasHeight2 = height;
  m.modified = 1;
  noteChanges(model, Change::geometry);
}

std::string listLine(const std::string& map, const Module& m) {
  return map + " (" + m.filename + ")\n";
}

void dropScene(TextureNames& names, TextureStore& store, SceneTexture which) {
  std::string& loaded = names.sceneLoaded[static_cast<int>(which)];
  if (!loaded.empty()) store.releaseScene(which);
  loaded.clear();
}

// Loads one scene texture unless it is held and current. Returns its size, or nothing when no
// image is held afterwards. A file that cannot be read is announced once per name; it is tried
// again at every pass, since a file that appears later is not noticed otherwise.
std::optional<std::pair<int, int>> loadScene(Editor& editor, TextureNames& names,
                                             TextureStore& store, SceneTexture which,
                                             const std::string& name, bool stale,
                                             FileTime& loadedTime) {
  const int k = static_cast<int>(which);
  if (name.empty() || names.sceneLoaded[k] != name || stale) dropScene(names, store, which);
  if (name.empty()) {
    names.sceneFailed[k].clear();
    return std::nullopt;
  }
  if (!names.sceneLoaded[k].empty()) return std::nullopt;  // held: the caller keeps its size
  const std::string host = resolvePath(editor.session.repository, name);
  std::optional<RgbaImage> image = store.decode(host, -1);
  if (!image || image->width <= 0 || image->height <= 0) {
    if (names.sceneFailed[k] != name) {
      names.sceneFailed[k] = name;
      editor.session.ui.message("Could not find resource...\n\n" + name + "\n\nFile not loaded!",
                                "Texture map notification!", MessageIcon::warning);
    }
    loadedTime =
        modificationTime(host);  // a file that cannot be read is not tried again until it changes
    return std::nullopt;
  }
  names.sceneFailed[k].clear();
  // The terrain is sampled at one texel per 2048th of its extent whatever the file's size.
  if (which == SceneTexture::terrain) *image = resampledImage(*image, terrainSize, terrainSize);
  store.uploadScene(which, *image);
  names.sceneLoaded[k] = name;
  loadedTime = modificationTime(host);
  return std::pair{image->width, image->height};
}

void loadSceneTextures(Editor& editor, TextureNames& names, TextureStore& store) {
  FileTime terrainTime = 0;
  loadScene(editor, names, store, SceneTexture::terrain, editor.user.terrain1, false, terrainTime);

  // The outside-change check clears the user's time when the file changed.
  const bool stale = editor.user.windowColormapTime != names.windowColormapTime;
  const auto size = loadScene(editor, names, store, SceneTexture::windowColormap,
                              editor.user.windowColormap, stale, names.windowColormapTime);
  const bool held = !names.sceneLoaded[static_cast<int>(SceneTexture::windowColormap)].empty();
  if (editor.user.windowColormap.empty()) names.windowColormapTime = 0;
  editor.user.windowColormapTime = names.windowColormapTime;
  if (size) {
    editor.frame.windowTexelScale = {static_cast<float>(size->first) / 2048.0f,
                                     static_cast<float>(size->second) / 2048.0f};
  } else if (!held) {
    editor.frame.windowTexelScale = {0, 0};
  }
}

}  // namespace

void releaseAllTextures(FrameState& frame, TextureNames& names, TextureStore& store) {
  for (int m = 0; m < maxModules; ++m) {
    for (int slot = 0; slot <= normalMapSlot; ++slot) {
      if (hasMap(frame, m, slot)) store.release(m, slot);
    }
    frame.mapsLoaded[m] = 0;
    for (auto& name : names.loaded[m]) name.clear();
    for (auto& name : names.failed[m]) name.clear();
  }
  for (int k = 0; k < sceneTextureCount; ++k) {
    dropScene(names, store, static_cast<SceneTexture>(k));
    names.sceneFailed[k].clear();
  }
  names.windowColormapTime = 0;
  frame.windowTexelScale = {0, 0};
  releaseGroundPieces(names.groundPieces, store);
}

void loadMissingTextures(Editor& editor, TextureNames& names, TextureStore& store) {
  Model& model = editor.model();
  FrameState& frame = editor.frame;
  if (model.status.texturesLoaded) return;

  std::string missing, mismatched;
  int missingCount = 0, mismatchCount = 0;
  const int modules =
      isCity(model.document) ? model.document.wldfiles - 1 : model.document.wldfiles;
  for (int mi = 0; mi < maxModules; ++mi) {
    Module& m = model.document.module[mi];
    // Slots of modules no longer in the document, and maps renamed since they were read.
    for (int slot = 0; slot < mapSlotCount; ++slot) {
      const bool inUse = mi < modules && !m.maps[slot].empty();
      // A time that no longer matches: the file changed since it was read.
      const bool stale = m.mapTimes[slot] != names.loadedTime[mi][slot];
      if (hasMap(frame, mi, slot) && (!inUse || names.loaded[mi][slot] != m.maps[slot] || stale)) {
        dropSlot(frame, names, store, mi, slot);
      }
      // A file that could not be read is tried again once it changes (Live Updates).
      if (!inUse || names.failed[mi][slot] != m.maps[slot] || stale) names.failed[mi][slot].clear();
    }
    if (mi >= modules) continue;

    bool settled = false;
    for (int slot = 0; slot < mapSlotCount; ++slot) {
      const std::string& name = m.maps[slot];
      if (name.empty() || hasMap(frame, mi, slot) || names.failed[mi][slot] == name) continue;
      // A name that leads out of the repository was announced when its mesh was read, and is
      // not followed.
      const std::optional<std::string> file = repositoryFile(editor.session.repository, name);
      if (!file) {
        names.failed[mi][slot] = name;
        m.mapTimes[slot] = names.loadedTime[mi][slot] = 0;
        continue;
      }
      const std::string& host = *file;
      std::optional<RgbaImage> image = store.decode(host, slot);
      if (!image || image->width <= 0 || image->height <= 0) {
        ++missingCount;
        missing += listLine(name, m);
        names.failed[mi][slot] = name;
        // The time of a file that exists but cannot be read, so that saving it again is noticed.
        m.mapTimes[slot] = modificationTime(host);
        names.loadedTime[mi][slot] = m.mapTimes[slot];
        continue;
      }
      m.mapTimes[slot] = modificationTime(host);
      const int w = image->width, h = image->height;
      if (slot == textfile) {
        if (w != m.canvasWidth || h != m.canvasHeight) resizeCanvas0(model, m, w, h);
        settled = true;
      } else if (slot == overlayfile) {
        if (w != m.canvasWidth2 || h != m.canvasHeight2) resizeCanvas1(model, m, w, h);
      } else if (w != m.canvasWidth || h != m.canvasHeight) {
        if (!settled) {
          resizeCanvas0(model, m, w, h);
          settled = true;
        } else {
          ++mismatchCount;
          mismatched += listLine(name, m);
          continue;
        }
      }
      store.upload(mi, slot, *image);
      markLoaded(frame, mi, slot, true);
      names.loaded[mi][slot] = name;
      names.loadedTime[mi][slot] = m.mapTimes[slot];
      if (slot == heightfile) {
        store.upload(mi, normalMapSlot, computeNormalMap(*image, 1));
        markLoaded(frame, mi, normalMapSlot, true);
      }
    }
  }

  loadGroundPieces(editor, names.groundPieces, store);

  if (missingCount > 0 || mismatchCount > 0) {
    std::string text;
    if (missingCount > 0)
      text +=
          formatText("Could not find %i texel map(s) or file(s) are in use...\n\n", missingCount) +
          missing;
    if (mismatchCount > 0)
      text += formatText("A total of %i canvas size(s) do not match...\n\n", mismatchCount) +
              mismatched;
    editor.session.ui.message(text, "Texture map notification!", MessageIcon::warning);
  }
  loadSceneTextures(editor, names, store);
  model.status.texturesLoaded = true;
  model.status.modulesReloaded = false;
}

}  // namespace tessarim
