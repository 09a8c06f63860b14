#include <algorithm>
#include <cerrno>
#include <cmath>

#include "formats/assembly.hpp"
#include "formats/city_section.hpp"
#include "formats/component_file.hpp"
#include "formats/file_io.hpp"
#include "formats/file_replacement.hpp"
#include "formats/guid_text.hpp"
#include "formats/instance_lines.hpp"
#include "formats/palette.hpp"
#include "formats/rts_section.hpp"
#include "formats/text_scanner.hpp"
#include "formats/text_writer.hpp"
#include "formats/wld.hpp"
#include "model/geometry.hpp"
#include "model/ground_grid.hpp"
#include "model/model.hpp"
#include "model/paths.hpp"
#include "model/session.hpp"
#include "model/text_compare.hpp"
#include "platform/ui.hpp"

namespace tessarim {
namespace {

constexpr std::size_t nameLineBuffer = 261;  // a name line holds at most 260 characters
constexpr int groupOfMergedInstances = 1000;

std::string lastPathComponent(std::string_view name) {
  auto at = name.find_last_of("\\/");
  return std::string{at == std::string_view::npos ? name : name.substr(at + 1)};
}

// One assembly or city file being read into the model.
struct Reader {
  Session& s;
  Model& model;
  FileWindow& window;
  TextScanner in;
  // A whole file of its version reaches the end of its last field: the comma that closes a
  // number written with one, otherwise the line end. A file that ends before is read as far as
  // it goes and reported; the document notes it.
  EarlyEnd early;
  bool merge;
  bool city;
  std::string shownName;         // the file, as messages name it
  bool recognised = false;       // the file is of the kind expected
  bool mergingIntoCity = false;  // the ground grid is out of the table while entries are added
  float v = 0;
  bool modified = false;  // becomes documentModified

  Reader(Session& session, FileWindow& text, bool merging, std::string shown)
      : s(session),
        model(session.model),
        window(text),
        in(text),
        early(in),
        merge(merging),
        city(!merging && isCity(session.model.document)),
        shownName(std::move(shown)) {}

  // A refused document is closed; a refused merge leaves the open document as it was.
  bool refuse() {
    if (!merge) clearDocument(model);
    return false;
  }

  bool readHeader();
  bool readEntries(int count);
  bool readEntry(int entry, int entries);
  void readLights();
  void readAssemblyTrailer();
  bool readSchemeAndComponents();
  void readCitySection();
  void reportEarlyEnd();
  bool run();
};

bool Reader::readHeader() {
  std::string word;
  in.scan("%99s", &word);
  const bool cityExpected = city;
  if (!equalIgnoringCase(word, cityExpected ? "CTY" : "ASM")) {
    s.ui.messageBox(
        formatText(cityExpected ? "This file does not appear to be a valid city file...\n\n%S"
                                : "This file does not appear to be a valid assembly file...\n\n%S",
                   word),
        "Incompatible file!", MessageIcon::warning, MessageButtons::ok);
    return false;
  }
  recognised = true;
  in.scan(" %f ,", &v);
  // A version that is not a finite number is the oldest: one layout throughout.
  if (!std::isfinite(v)) v = 0;
  if (!merge) model.document.documentVersion = v;
  if (v < assemblyVersion) {
    s.ui.messageBox(
        formatText(v < 2.0f ? "This file was last saved using CALVORAN v%.2f...\n\nThe file will "
                              "automatically be updated to v%.2f at this time..."
                            : "This file was last saved using TESSARIM v%.2f...\n\nThe file will "
                              "automatically be updated to v%.2f at this time...",
                   v, assemblyVersion),
        "Older file version found!", MessageIcon::warning, MessageButtons::ok);
    modified = true;
  } else if (v > assemblyVersion) {
    // Refused rather than ending the program: the user may have unsaved edits elsewhere.
    s.ui.messageBox(
        formatText("This file was last saved using TESSARIM v%.2f...\n\nYou must download a "
                   "TESSARIM v%.2f or higher...",
                   v, v),
        "Newer file version found!", MessageIcon::error, MessageButtons::ok);
    return false;
  }
  if (v < 2.0f) {
    if (city) {
      s.ui.messageBox("Unsupported 2452", "Unsupported 2452", MessageIcon::error,
                      MessageButtons::ok);
      return false;
    }
    std::int32_t ignored[4];
    in.scan("%d ,", &ignored[0]);
    in.scan("%d ,", &ignored[1]);
    in.scan("%d ,", &ignored[2]);
    in.scan("%d ,", &ignored[3]);
  }
  return true;
}

bool Reader::readEntries(int count) {
  for (int entry = 0; entry < count; ++entry) {
    const std::uint64_t before = in.remaining();
    if (!readEntry(entry, count)) return false;
    if (!early.detail().empty()) break;      // the file ends here
    if (in.remaining() == before) break;     // nothing left to read: the rest would repeat this
    if (!window.rejection().empty()) break;  // the file is refused: no more questions about it
  }
  return true;
}

bool Reader::readEntry(int entry, int entries) {
  in.skipWhitespace();
  bool lineEnded = false;
  auto line = in.readLine(nameLineBuffer, &lineEnded);
  // A name the file ends inside may name another file: it is not looked for.
  if (early.check(entry, entries, "mesh entries")) return true;
  std::string name{line.value_or("")};
  // The name line is taken with its line end, and its last character is cut as that line end.
  if (!lineEnded && !name.empty()) name.pop_back();
  if (v < 2.0f) name += ".WLD";
  makeRelative(s.repository, name);

  Module working;
  working.filename = name;
  const bool cityModule = isCity(model.document);
  WldLoad load = WldLoad::refused;
  // Checked where the file will really be found, letter case matched and links resolved.
  if (name.empty() ||
      isInsideRepository(s.repository, s.files.locate(hostPathOf(s.repository, name)))) {
    load = loadWldModule(s, working, WldReadOptions{merge, false, cityModule});
  } else {
    s.ui.messageBox(
        formatText(
            "The embedded file...\n\n%S\n\nlies outside the repository folder and is not read.",
            name),
        "File refused!", MessageIcon::warning, MessageButtons::ok);
  }
  bool drop = false;
  if (load != WldLoad::ok) {
    // A mesh saved by a newer editor cannot be shown or saved back without losing what it
    // holds: the document is refused; a merge leaves that mesh out.
    if (load == WldLoad::newerVersion && !merge) return false;
    drop = merge;
    // A missing mesh, and one that is refused, may be replaced by another file of the user's.
    if (load == WldLoad::noFile || (load == WldLoad::refused && !merge)) {
      if (load == WldLoad::noFile) {
        s.ui.messageBox(formatText("The embedded file...\n\n%S\n\ncould not be found.", name),
                        "File not found!", MessageIcon::information, MessageButtons::ok);
      }
      modified = true;
      auto chosen =
          s.ui.openFile(FileFilter{"Mesh files (*.wld)", "*.WLD"}, lastPathComponent(name), false);
      if (chosen.empty()) {
        drop = true;
      } else if (!merge) {
        std::string replacement = chosen.front();
        makeRelative(s.repository, replacement);
        working = Module{};
        working.filename = replacement;
        const WldLoad again = loadWldModule(s, working, WldReadOptions{false, false, cityModule});
        if (again == WldLoad::newerVersion) return false;
        drop = again != WldLoad::ok;
      }
    }
  }

  std::int32_t count = 0;
  in.scan(" %d ,", &count);
  if (early.check(entry, entries, "mesh entries")) return true;
  std::vector<Instance> instances;
  // Room for what the count claims, as far as the rest of the file can hold it; past a few
  // thousand the list grows as instances are really read.
  instances.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(
      {static_cast<std::uint64_t>(std::max(count, 0)), in.remaining() / 8 + 1, 4096})));
  for (std::int32_t i = 0; i < count; ++i) {
    const std::uint64_t before = in.remaining();
    Instance instance;
    bool guidRead = true, cleaned = false;
    if (city)
      readCityInstance(in, v, instance, cleaned);
    else
      guidRead = readAssemblyInstance(in, v, instance, cleaned);
    // An instance the file ends inside is not kept, and a GUID cut short is not a malformed one.
    if (in.ranOut()) {
      early.check(i, count, formatText("instances of %S", name));
      break;
    }
    modified = modified || cleaned;
    if (!guidRead) {
      s.ui.messageBox(formatText("Invalid GUID for instance %i: %S", i, working.filename), "Error!",
                      MessageIcon::error, MessageButtons::ok);
      return false;
    }
    if (in.remaining() == before) break;
    instances.push_back(instance);
  }
  // An entry without instances disappears, also when its count promised some the file lacks:
  // saved with none, it would vanish only at the next reading.
  if (instances.empty()) drop = true;
  if (drop) {
    // The document loses this entry when it is saved: batch saves refuse, the editor asks.
    if (!merge && !instances.empty()) {
      model.status.droppedOnLoad.push_back(
          instances.size() == 1 ? formatText("%S (1 instance)", name)
                                : formatText("%S (%i instances)", name, instances.size()));
    }
    return true;
  }

  if (!merge) {
    working.instances = std::move(instances);
    model.document.module[model.document.wldfiles++] = std::move(working);
    return true;
  }
  for (Instance& instance : instances) instance.group = groupOfMergedInstances;
  if (int existing = findModuleByName(model, working.filename); existing >= 0) {
    auto& target = model.document.module[existing].instances;
    target.insert(target.end(), instances.begin(), instances.end());
  } else if (model.document.wldfiles < maxModules - (mergingIntoCity ? 1 : 0)) {
    working.instances = std::move(instances);
    model.document.module[model.document.wldfiles++] = std::move(working);
    noteChanges(model, Change::textures);
  } else {
    s.ui.messageBox("Adding this new type will exceed the maximum allowable types!", "Failed!",
                    MessageIcon::information, MessageButtons::ok);
  }
  return true;
}

void Reader::readLights() {
  if (!merge) model.document.lightCount = 0;
  if (!(v > 2.16f)) return;
  std::int32_t count = 0;
  in.scan("%d ,\n", &count);
  early.check("ends early: before its lights");
  // Every line the file holds is read, so what follows stays in step, but only 255 are kept.
  for (std::int32_t i = 0; i < count; ++i) {
    const std::uint64_t before = in.remaining();
    Light light;
    in.scan("%f ,%f ,%f ,%f ,%f ,%f ,%x ,%u ,%f ,%f ,%hd ,\n", &light.position[0],
            &light.position[1], &light.position[2], &light.normal[0], &light.normal[1],
            &light.normal[2], &light.colour, &light.sequence, &light.secondsPerCycle,
            &light.effectType, &light.attached);
    if (early.check(i, count, "lights")) break;  // a light cut short is not kept
    if (in.remaining() == before) break;
    float length = std::sqrt(light.normal[0] * light.normal[0] + light.normal[1] * light.normal[1] +
                             light.normal[2] * light.normal[2]);
    if (length > 0) {
      for (float& n : light.normal) n /= length;
    }
    if (v < 2.25f) {
      for (float& p : light.position) p *= 0.0039f;
    }
    if (light.sequence == 0) {
      s.ui.message("Deleted invisible light...", "File changed!");
      modified = true;
      continue;
    }
    if (model.document.lightCount < maxLights)
      model.document.lights[model.document.lightCount++] = light;
  }
}

void Reader::readAssemblyTrailer() {
  model.document.animationSlots = {};
  if (v > 2.38f) {
    in.scan(" %f ,\n", &model.document.emptyWeight);
    std::string scheme;
    // A name the file ends inside may name another file.
    if (in.scan("%260[^\n]", &scheme) != 1 || in.ranOut() || equalIgnoringCase(scheme, "unused"))
      scheme.clear();
    else
      makeRelative(s.repository, scheme);
    model.document.schemeFile = scheme;
  } else {
    model.document.emptyWeight = 0;
    model.document.schemeFile.clear();
  }
  model.document.modelId = 0;
  model.document.interiorFlag = false;
  if (v > 2.4f) {
    std::int32_t flag = 0;
    in.scan(" %d , %d ,\n", &model.document.modelId, &flag);
    model.document.interiorFlag = flag != 0;
  } else if (v == 2.4f) {
    in.scan(" %d ,\n", &model.document.modelId);
  }
  early.check("ends early: in its trailer");
}

// The colour scheme and the component file the trailer leads to.
bool Reader::readSchemeAndComponents() {
  if (!model.document.schemeFile.empty() &&
      !staysInRepository(s.repository, model.document.schemeFile)) {
    s.ui.message(
        formatText(
            "%S names a colour scheme outside the repository folder:\n\n%S\n\nIt is kept in the "
            "file but not read.",
            model.document.documentPath, model.document.schemeFile),
        "Heads-up!");
    std::string none;
    readPalette(s, none, model.document.schemeColours, false);
  } else {
    readPalette(s, model.document.schemeFile, model.document.schemeColours, false);
  }
  model.document.connectors.clear();
  model.document.components.clear();
  if (v > 2.35f && !readComponents(s, model.document.documentPath)) return false;
  return true;
}

void Reader::readCitySection() {
  std::string word;
  in.scan("%99s\n", &word);
  // A city ends with the section; only another word in its place says it has none.
  early.check("ends early: before its RTS section");
  if (equalIgnoringCase(word, "RTS")) {
    readCityGridSection(s, in, v, modified, early);
  } else {
    // Without the section the city still needs its ground grid: it is always the last module,
    // and the writer leaves the last module out of the file.
    addGroundGrid(model);
  }
}

void Reader::reportEarlyEnd() {
  if (early.detail().empty()) return;
  reportEndedEarly(s.ui, merge ? shownName : model.document.documentPath, early.detail());
  // A merged file is not saved; what it lacks is simply not added.
  if (!merge) noteReadShort(model, model.document.documentPath, early.detail());
}

bool Reader::run() {
  if (!readHeader()) return refuse();
  std::int16_t count = 0;
  in.scan(" %hd ,", &count);
  early.check("ends early: before its mesh entries");
  // A city's ground grid takes one slot of the table besides the modules it lists.
  if (count > maxModules - (city ? 1 : 0)) {
    s.ui.messageBox(
        formatText("This file exceeds the memory allocated for WLD files list!\n\nFiles: %i",
                   count),
        "Error!", MessageIcon::error, MessageButtons::ok);
    return refuse();
  }

  // A city's ground grid stays the last module while others are merged in.
  Module grid;
  mergingIntoCity = merge && isCity(model.document) && model.document.wldfiles > 0;
  if (mergingIntoCity) grid = std::move(model.document.module[--model.document.wldfiles]);
  if (!merge) {
    for (int i = 0; i < model.document.wldfiles; ++i) resetModule(model, i);
    model.document.wldfiles = 0;
  }
  if (!readEntries(count)) {
    if (mergingIntoCity) model.document.module[model.document.wldfiles++] = std::move(grid);
    return refuse();
  }
  if (mergingIntoCity) model.document.module[model.document.wldfiles++] = std::move(grid);
  if (!window.rejection().empty()) {
    reportRejectedText(s.ui, window, merge ? shownName : model.document.documentPath);
    return refuse();
  }

  if (mergeDuplicateModules(s) > 0) modified = true;
  if (removeCollocatedInstances(s) > 0) modified = true;
  readLights();

  if (!merge) {
    if (city)
      readCitySection();
    else
      readAssemblyTrailer();
  } else if (mergingIntoCity) {
    buildGroundGrid(model, model.document.wldfiles - 1);
  }
  if (!window.rejection().empty()) {
    reportRejectedText(s.ui, window, merge ? shownName : model.document.documentPath);
    return refuse();
  }
  reportEarlyEnd();
  if (!merge && !city && !readSchemeAndComponents()) return refuse();
  if (modified || merge) model.status.documentModified = true;
  computeStatistics(model);
  noteChanges(model, Change::geometry);
  model.status.modulesReloaded = true;
  return true;
}

bool readDocument(Session& s, bool merge, std::string_view mergeHostPath, DocumentReadInfo* info) {
  Model& model = s.model;
  std::optional<FileWindow> window;
  std::string recentName;
  std::string shownPath;  // for a read that fails on the way
  if (!merge) {
    model.status.documentModified = false;
    model.status.droppedOnLoad.clear();
    model.status.readShort.clear();  // its files are all read again
    for (;;) {
      if (model.document.documentPath.empty()) {
        s.ui.messageBox(
            formatText("No file was specified for loading\n\n\"%S\"", model.document.documentPath),
            "File not loaded!", MessageIcon::warning, MessageButtons::ok);
        return false;
      }
      std::string path = s.files.locate(hostPathOf(s.repository, model.document.documentPath));
      std::string error = systemErrorText(ENOENT);
      auto time = s.files.modificationTime(path);
      if (auto opened = time ? s.files.open(path, &error) : std::nullopt) {
        window.emplace(std::move(*opened));
        model.status.documentTime = *time;
        shownPath = path;
        break;
      }
      auto answer = s.ui.messageBox(
          formatText("%S while attempting to load the following file...\n\n\"%S\"", error, path),
          "File not loaded!", MessageIcon::warning, MessageButtons::retryCancel);
      if (answer != MessageAnswer::retry) {
        clearDocument(model);
        return false;
      }
    }
    recentName = model.document.documentPath;
  } else {
    if (mergeHostPath.empty()) {
      s.ui.messageBox(formatText("No file was specified for loading\n\n\"%s\"", mergeHostPath),
                      "File not loaded!", MessageIcon::warning, MessageButtons::ok);
      return false;
    }
    if (auto opened = s.files.open(std::string{mergeHostPath})) window.emplace(std::move(*opened));
    if (!window) {
      // The open document keeps its path and title: it may hold unsaved edits.
      s.ui.messageBox(
          formatText("Could not find the mesh file or file is in use...\n\n\"%s\"", mergeHostPath),
          "File not loaded!", MessageIcon::warning, MessageButtons::ok);
      return false;
    }
    recentName = std::string{mergeHostPath};
    shownPath = recentName;
  }

  Reader reader{s, *window, merge, recentName};
  const bool read = reader.run();
  if (info) *info = DocumentReadInfo{reader.recognised, reader.recognised ? reader.v : 0};
  if (read && window->failed()) {
    // Only part of the file could be read: what came of it must not pass for the document.
    s.ui.messageBox(formatText("%S while attempting to load the following file...\n\n\"%S\"",
                               systemErrorText(EIO), shownPath),
                    "File not loaded!", MessageIcon::warning, MessageButtons::ok);
    if (!merge) clearDocument(model);
    return false;
  }
  return read;
}

}  // namespace

bool readAssembly(Session& session, DocumentReadInfo* info) {
  return readDocument(session, false, {}, info);
}

bool mergeAssembly(Session& session, std::string_view hostPath, DocumentReadInfo* info) {
  return readDocument(session, true, hostPath, info);
}

}  // namespace tessarim
