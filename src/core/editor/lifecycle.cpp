#include "editor/lifecycle.hpp"

#include <filesystem>
#include <memory>
#include <new>
#include <system_error>

#include "editor/editor.hpp"
#include "editor/recent_files.hpp"
#include "formats/assembly.hpp"
#include "formats/file_io.hpp"
#include "formats/text_writer.hpp"
#include "formats/wld.hpp"
#include "model/geometry.hpp"
#include "model/guid.hpp"
#include "model/model.hpp"
#include "model/paths.hpp"
#include "model/text_compare.hpp"
#include "platform/clock.hpp"
#include "platform/settings_store.hpp"
#include "platform/ui.hpp"

namespace tessarim {
namespace {

std::string readText(SettingsStore& store, std::string_view name) {
  return store.readString(mainKey, name).value_or("");
}

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() &&
         equalIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

// Start-up's default instance: at the origin, unrotated, half a phase per second each way.
Instance defaultInstance() {
  Instance instance;
  instance.extendRate = 0.5f;
  instance.retractRate = 0.5f;
  instance.endLocation = instance.location;
  return instance;
}

// The renderer drops every texture it holds and loads them again.
void releaseTextures(Model& model) {
  noteChanges(model, Change::textures | Change::title | Change::menus);
}

void removeRecentEntry(Editor& editor, RecentList& list, int commandId) {
  std::erase_if(list.entries, [&](const RecentEntry& e) { return e.commandId == commandId; });
  saveRecent(editor.session.store, list);
}

}  // namespace

namespace {

// A mesh the user opened joins the recent list once its file was found: a file that was not
// found loses its name in the reading.
void rememberOpenedMesh(Editor& editor) {
  const std::string& name = editor.model().document.module[0].filename;
  if (!name.empty()) addRecent(editor, editor.recent.wld.firstId, name, true);
}

}  // namespace

bool readSingleMesh(Editor& editor, const std::string& name) {
  Model& model = editor.model();
  model.document.kind = DocumentKind::wldfile;
  model.document.documentPath = name;
  model.document.wldfiles = 1;
  resetModule(model, 0);
  model.document.module[0].filename = name;
  WldReadOptions options;
  options.interactive = true;
  const bool read = readWld(editor.session, 0, options);
  rememberOpenedMesh(editor);
  return read;
}

void afterSingleMeshRead(Model& model) {
  giveFreshInstance(model);
  computeStatistics(model);
  noteChanges(model, Change::geometry);
  releaseTextures(model);
  model.selection.currentModule = 0;
  model.selection.currentInstance = 0;
  model.selection.currentPolygon = -1;
  model.selection.currentGroup = -1;
  model.document.lightCount = 0;
}

void afterDocumentOpened(Model& model) {
  if (!placesModules(model.document)) {
    afterSingleMeshRead(model);
    return;
  }
  noteChanges(model, Change::textures);
  model.selection.currentGroup = isCity(model.document) ? 0 : -1;
}

bool readDocumentFile(Editor& editor) {
  Model& model = editor.model();
  // A refused document is closed: its kind and name are taken before.
  const int list =
      isCity(model.document) ? editor.recent.cty.firstId : editor.recent.asmList.firstId;
  const std::string name = model.document.documentPath;
  DocumentReadInfo info;
  const bool read = readAssembly(editor.session, &info);
  if (info.recognised) addRecent(editor, list, name, true);
  noteChanges(model, Change::title);
  return read;
}

bool readDocumentWhileBusy(Editor& editor) {
  editor.window.busy = true;
  const bool read = readDocumentFile(editor);
  editor.window.busy = false;
  return read;
}

namespace {

// The open document, moved aside while another is read into the model.
class SetAside {
 public:
  explicit SetAside(Model& model) : model_(model), kept_(std::make_unique<Model>()) {
    std::swap(model_, *kept_);
    // What belongs to the program rather than to the document stays in place, and the read
    // starts from the document's kind, name and options, which a reader may leave as they are.
    model_.settings = kept_->settings;
    const Document& was = kept_->document;
    Document& next = model_.document;
    next.kind = was.kind;
    next.documentPath = was.documentPath;
    next.rtsEnabled = was.rtsEnabled;
    next.emptyWeight = was.emptyWeight;
    next.modelId = was.modelId;
    next.interiorFlag = was.interiorFlag;
  }
  SetAside(const SetAside&) = delete;
  SetAside& operator=(const SetAside&) = delete;

  // The document as it was; what the failed read built is freed.
  void putBack() {
    std::swap(model_, *kept_);
    kept_.reset();
  }

 private:
  Model& model_;
  std::unique_ptr<Model> kept_;
};

}  // namespace

ReadOutcome readInPlace(Editor& editor, std::string_view shownName,
                        const std::function<bool()>& read) {
  Model& model = editor.model();
  SetAside previous{model};
  try {
    return read() ? ReadOutcome::read : ReadOutcome::refused;
  } catch (const std::bad_alloc&) {
    previous.putBack();
    editor.window.busy = false;
    reportOutOfMemory(editor.session.ui, shownName);
    return ReadOutcome::outOfMemory;
  }
}

bool startEditor(Editor& editor, std::string_view commandLine) {
  SettingsStore& store = editor.session.store;
  UserSettings& user = editor.user;
  user.terrain1 = readText(store, "Terrain 1");
  user.terrain2 = readText(store, "Terrain 2");
  user.terrainA = readText(store, "Terrain A");
  user.windowColormap = readText(store, "Window Colormap");

  user.repoPath = readText(store, "RepoPath");
  if (user.repoPath.empty()) {
    editor.session.ui.message("Could not find RepoPath registry entry value!", "Tessarim",
                              MessageIcon::error);
    return false;
  }
  std::error_code error;
  std::filesystem::current_path(toHostForm(user.repoPath), error);
  if (error) {
    editor.session.ui.message("Could not change to the RepoPath folder!", "Tessarim",
                              MessageIcon::error);
    return false;
  }
  Model& model = editor.model();
  editor.session.repository = makeRepositoryFolder(toHostForm(user.repoPath));

  user.imageEditorPath = readText(store, "ImageEditorPath");
  editor.tracks = store.readNumber(mainKey, "Tracks").value_or(0);
  editor.smacks = store.readNumber(mainKey, "Smacks").value_or(0);
  // Megabytes the edit history may keep; the oldest steps go beyond it.
  const std::uint32_t historyMegabytes =
      store.readNumber(mainKey, "Edit History MB").value_or(EditHistory::defaultLimit >> 20);
  editor.history.setLimit(std::size_t{historyMegabytes} << 20);
  editor.lastTickMilliseconds = editor.session.clock.nowMilliseconds();
  user.tempPath = readText(store, "TempPath");

  clearDocument(model);
  model.document.module[0].instances.push_back(defaultInstance());

  std::string path{commandLine};
  if (!path.empty() && path.front() == '"') {
    const auto end = path.find('"', 1);
    path = path.substr(1, end == std::string::npos ? std::string::npos : end - 1);
  }
  makeRelative(editor.session.repository, path);
  model.document.documentPath = path;
  if (path.size() > 4) {
    if (endsWithIgnoringCase(path, ".ASM")) {
      model.document.kind = DocumentKind::asmfile;
      model.selection.currentModule = -1;
      model.selection.currentInstance = -1;
    } else if (endsWithIgnoringCase(path, ".CTY")) {
      model.document.kind = DocumentKind::ctyfile;
      model.selection.currentInstance = -1;
    } else {
      model.document.wldfiles = 1;
      model.selection.currentModule = 0;
      model.selection.currentInstance = 0;
      model.document.module[0].filename = path;
    }
  }

  user.backgroundColor = store.readNumber(mainKey, "Background Color").value_or(0xF9CE71);
  user.sunlightColor = store.readNumber(mainKey, "Sunlight Color").value_or(0xFFFFFF);
  user.bitmapsFile = formatText("%S\\bitmaps.fdb", editor.session.repository.text);
  user.legalityFile = formatText("%S\\legality.tdb", editor.session.repository.text);
  user.customColorsPath = readText(store, "Custom Colors Path");
  return true;
}

void openStartupDocument(Editor& editor) {
  Model& model = editor.model();
  if (placesModules(model.document)) {
    const ReadOutcome outcome =
        readInPlace(editor, model.document.documentPath, [&] { return readDocumentFile(editor); });
    if (outcome == ReadOutcome::read && isCity(model.document)) {
      releaseTextures(model);
      model.selection.currentGroup = 0;
      model.selection.currentModule = static_cast<std::int16_t>(model.document.wldfiles - 1);
    }
  } else if (model.document.wldfiles == 1) {
    const std::string name = model.document.module[0].filename;
    const ReadOutcome outcome =
        readInPlace(editor, name, [&] { return readSingleMesh(editor, name); });
    if (outcome != ReadOutcome::outOfMemory) {
      giveFreshInstance(model);
      computeStatistics(model);
    }
  }
  noteChanges(model, Change::geometry);
  for (int list : {10000, 11000, 12000}) loadRecent(editor, list);
}

bool anythingModified(const Model& model) {
  if (model.status.documentModified) return true;
  for (int i = 0; i < model.document.wldfiles; ++i) {
    if (model.document.module[i].modified) return true;
  }
  return false;
}

bool promptSave(Editor& editor) {
  Model& model = editor.model();
  if (model.document.documentPath.empty()) return true;
  const auto answer =
      editor.session.ui.messageBox(formatText("Save changes to %S?", model.document.documentPath),
                                   "TESSARIM", MessageIcon::question, MessageButtons::yesNoCancel);
  if (answer == MessageAnswer::cancel) return false;
  if (answer != MessageAnswer::yes) return true;
  editor.window.busy = true;
  bool saved;
  if (placesModules(model.document)) {
    saved = writeAssembly(editor.session, true, false);
  } else {
    const int current = model.selection.currentModule < 0 ? 0 : model.selection.currentModule;
    saved = writeWld(editor.session, current);
  }
  editor.window.busy = false;
  // A failed save must not let the caller discard the edits it was asked to keep.
  return saved;
}

bool saveIfWanted(Editor& editor) {
  return !anythingModified(editor.model()) || promptSave(editor);
}

void closeToEmpty(Editor& editor) {
  editor.history.clear();
  Model& model = editor.model();
  model.document.lightCount = 0;
  model.document.lights = {};
  for (int i = 1; i < model.document.wldfiles; ++i) resetModule(model, i);
  model.document.wldfiles = 0;
  model.selection = Selection{};
  model.selection.currentModule = 0;
  Module& first = model.document.module[0];
  first.instances.clear();
  first.polygons.clear();
  first.vertices.clear();
  first.scaleClass = 0;
  first.filename.clear();
  first.maps[textfile].clear();
  first.maps[overlayfile].clear();
  first.boundingRadius = 0;
  first.centroid = {};
  first.canvasWidth = 2048;
  first.canvasHeight = 2048;
  // What was not saved was given up in the prompt; keeping the flags would offer to save a
  // document that no longer exists.
  first.modified = 0;
  model.status.documentModified = false;
  releaseTextures(model);
  noteChanges(model, Change::geometry);
  model.document.documentPath.clear();
  noteChanges(model, Change::title);
  clearNodes(model.document.streetNodes);
}

void giveFreshInstance(Model& model) {
  Instance instance = defaultInstance();
  instance.guid = newGuid();
  model.document.module[0].instances.assign(1, instance);
}

bool reloadModule(Session& session, int index, bool interactive) {
  Model& model = session.model;
  // Kept whole until the file is read: running out of memory on the way puts it back.
  Module kept = std::move(model.document.module[index]);
  resetModule(model, index);
  model.document.module[index].filename = kept.filename;
  WldReadOptions options;
  options.interactive = interactive;
  options.city = isCity(model.document);
  bool read = false;
  try {
    read = readWld(session, index, options);
  } catch (const std::bad_alloc&) {
    model.document.module[index] = std::move(kept);
    reportOutOfMemory(session.ui, model.document.module[index].filename);
    return false;
  }
  // The instances belong to the document, not to the mesh file.
  model.document.module[index].instances = std::move(kept.instances);
  return read;
}

std::string fullPath(const Editor& editor, std::string_view storedName) {
  if (isAbsoluteName(storedName)) return toHostForm(storedName);
  return editor.session.repository.host + toHostForm(storedName);
}

std::string relativeName(const Editor& editor, std::string_view hostPath) {
  std::string name = toStoredForm(hostPath);
  makeRelative(editor.session.repository, name);
  return name;
}

bool openRecent(Editor& editor, int commandId) {
  Model& model = editor.model();
  RecentList& list = editor.recent.byId(commandId / 1000 * 1000);
  auto entry = std::find_if(list.entries.begin(), list.entries.end(),
                            [&](const RecentEntry& e) { return e.commandId == commandId; });
  if (entry == list.entries.end()) return false;
  const std::string text = entry->name;
  if (!saveIfWanted(editor)) return false;
  editor.history.clear();

  if (list.firstId == editor.recent.wld.firstId) {
    const ReadOutcome outcome =
        readInPlace(editor, text, [&] { return readSingleMesh(editor, text); });
    if (outcome == ReadOutcome::outOfMemory) return true;
    if (outcome != ReadOutcome::read) {
      removeRecentEntry(editor, editor.recent.byId(commandId / 1000 * 1000), commandId);
      model.document.wldfiles = 0;
    }
    afterSingleMeshRead(model);
    return true;
  }

  const bool city = list.firstId == editor.recent.cty.firstId;
  std::string name = text;
  makeRelative(editor.session.repository, name);
  const ReadOutcome outcome = readInPlace(editor, name, [&] {
    model.document.kind = city ? DocumentKind::ctyfile : DocumentKind::asmfile;
    model.document.documentPath = name;
    return readDocumentWhileBusy(editor);
  });
  if (outcome == ReadOutcome::outOfMemory) return true;
  const bool read = outcome == ReadOutcome::read;
  noteChanges(model, Change::geometry);
  releaseTextures(model);
  model.selection.currentGroup = city ? 0 : -1;
  model.selection.currentInstance = -1;
  model.selection.currentPolygon = -1;
  model.selection.currentModule = city ? static_cast<std::int16_t>(model.document.wldfiles - 1) : 0;
  if (!read) {
    // The entry names a file that cannot be opened: the list should not keep offering it.
    RecentList& again = editor.recent.byId(list.firstId);
    std::erase_if(again.entries,
                  [&](const RecentEntry& e) { return equalIgnoringCase(e.name, text); });
    saveRecent(editor.session.store, again);
  }
  return true;
}

bool windowClosing(Editor& editor) {
  if (anythingModified(editor.model()) && !promptSave(editor)) return false;
  clearNodes(editor.model().document.streetNodes);
  return true;
}

void focusChanged(Editor& editor, bool gained) {
  editor.window.hasFocus = gained;
  if (gained && !editor.model().settings.view.liveUpdates) checkOutsideChanges(editor);
}

void timerTick(Editor& editor) {
  SettingsStore& store = editor.session.store;
  const std::int64_t now = editor.session.clock.nowMilliseconds();
  if (now > editor.lastTickMilliseconds) {
    // Whole seconds only; the rest carries into the next tick so that no time is lost.
    const auto seconds = (now - editor.lastTickMilliseconds) / 1000;
    editor.lastTickMilliseconds += seconds * 1000;
    if (seconds > 0) {
      editor.tracks += static_cast<std::uint32_t>(seconds);
      store.writeNumber(mainKey, "Tracks", editor.tracks);
    }
  } else {
    editor.lastTickMilliseconds = now;  // the clock went back: count from here
  }
  if (editor.commandActivity) {
    editor.commandActivity = false;
    ++editor.smacks;
    store.writeNumber(mainKey, "Smacks", editor.smacks);
  }
  if (!editor.window.hasFocus) checkOutsideChanges(editor);
}

void checkOutsideChanges(Editor& editor) {
  Model& model = editor.model();
  // A message shown below lets the window handle events; a nested check would read files twice.
  if (editor.window.busy || editor.checkingOutside) return;
  editor.checkingOutside = true;
  Ui& ui = editor.session.ui;

  for (int i = 0; i < model.document.wldfiles; ++i) {
    Module& module = model.document.module[i];
    if (module.filename.empty()) continue;
    const auto time = fileModificationTime(resolvePath(editor.session.repository, module.filename));
    if (!time || *time == module.fileTime) continue;
    if (module.modified) {
      ui.message(
          formatText(
              "The following file has been modified outside of TESSARIM...\n\n%s\n\nAny unsaved "
              "changes to that file have been lost.",
              module.filename),
          "Modification Detected", MessageIcon::information);
    }
    model.status.modulesReloaded = true;
    reloadModule(editor.session, i, false);
    noteChanges(model, Change::geometry);
    // The kept steps describe content the file no longer holds.
    editor.history.clear();
  }

  if (model.settings.view.liveUpdates && !model.status.modulesReloaded) {
    for (int i = 0; i < model.document.wldfiles; ++i) {
      Module& module = model.document.module[i];
      for (int slot = 0; slot < mapSlotCount; ++slot) {
        // A name leading out of the repository is never followed, so there is no file to watch.
        if (module.maps[slot].empty() ||
            !staysInRepository(editor.session.repository, module.maps[slot]))
          continue;
        const auto time =
            fileModificationTime(resolvePath(editor.session.repository, module.maps[slot]));
        if (!time) {
          module.maps[slot].clear();
          module.mapTimes[slot] = 0;
          module.modified = 1;
          releaseTextures(model);
        } else if (module.mapTimes[slot] != 0 && *time != module.mapTimes[slot]) {
          module.mapTimes[slot] = 0;
          releaseTextures(model);
        }
      }
    }
  }

  if ((placesModules(model.document)) && !model.document.documentPath.empty()) {
    const auto time =
        fileModificationTime(resolvePath(editor.session.repository, model.document.documentPath));
    if (time && *time != model.status.documentTime) {
      if (model.status.documentModified) {
        ui.message(
            formatText(
                "The following file has been modified outside of TESSARIM...\n\n%s\n\nAny changes "
                "you just made have been lost.",
                model.document.documentPath),
            "Modification Detected", MessageIcon::information);
      }
      readInPlace(editor, model.document.documentPath,
                  [&] { return readDocumentWhileBusy(editor); });
      noteChanges(model, Change::geometry);
      editor.history.clear();
    }
  }

  // The texture pass records the time of the file it last tried (0: there was none), so a map
  // that changed, vanished or appeared since then is read again; a missing one stays quiet.
  if (!editor.user.windowColormap.empty()) {
    const FileTime now =
        fileModificationTime(resolvePath(editor.session.repository, editor.user.windowColormap))
            .value_or(0);
    if (now != editor.user.windowColormapTime) {
      releaseTextures(model);
      editor.user.windowColormapTime = 0;
    }
  }
  editor.checkingOutside = false;
}

}  // namespace tessarim
