#include "commands/texture_commands.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "commands/command_table.hpp"
#include "commands/menu_context.hpp"
#include "editing/edit_history.hpp"
#include "editor/editor.hpp"
#include "editor/lifecycle.hpp"
#include "formats/file_io.hpp"
#include "formats/file_replacement.hpp"
#include "formats/palette.hpp"
#include "formats/staged_files.hpp"
#include "formats/text_writer.hpp"
#include "model/model.hpp"
#include "model/paths.hpp"
#include "model/text_compare.hpp"
#include "platform/settings_store.hpp"
#include "platform/ui.hpp"

namespace tessarim {
namespace {

constexpr std::size_t longestMapName = 259;

bool validModule(const Model& model, int index) {
  return index >= 0 && index < model.document.wldfiles;
}

// The single current module, or -1.
int currentModule(const Model& model) {
  const int m = model.selection.currentModule;
  return validModule(model, m) ? m : -1;
}

// The modules an Assign or Unassign acts on: the current module, or the module of every listed
// instance in list order (a module listed twice comes twice). Stale entries are left out.
std::vector<int> mapScope(const Model& model) {
  if (const int m = currentModule(model); m >= 0) return {m};
  std::vector<int> scope;
  if (model.selection.currentModule != -2) return scope;
  for (const InstanceRef& r : selectedInstanceRefs(model)) scope.push_back(r.module);
  return scope;
}

int slotOf(const Command& command) {
  return command.code >= 0 && command.code < mapSlotCount ? command.code : -1;
}

// Where the file dialog starts: the slot's own file when the single current module names one,
// else the first map the current module names, in the order base, overlay, light, height,
// reflectivity, grime, detail, detail control, visibility.
std::string assignStart(const Editor& editor, int slot) {
  const Model& model = editor.model();
  const int m = currentModule(model);
  if (m < 0) return {};
  const Module& module = model.document.module[m];
  if (!module.maps[slot].empty()) return fullPath(editor, module.maps[slot]);
  static constexpr int order[] = {textfile,  overlayfile, lightfile,   heightfile,    reflectfile,
                                  grimefile, detailfile,  controlfile, visibilityfile};
  for (int s : order) {
    if (!module.maps[s].empty()) return fullPath(editor, module.maps[s]);
  }
  return {};
}

// Releasing and loading are the texture pass's: once asked, it drops every texture whose slot no
// longer names its file (both of the height slot) and loads the names it does not hold. So an
// emptied slot asks for the pass too, though it has nothing to load.
void reportMapChange(Edit& edit) {
  edit.report(Change::textures);
}

}  // namespace

bool assignMap(Editor& editor, const Command& command) {
  Model& model = editor.model();
  const int slot = slotOf(command);
  const std::vector<int> scope = mapScope(model);
  if (slot < 0 || scope.empty()) return false;
  const std::vector<std::string> chosen = editor.session.ui.openFile(
      {"Portable Network Graphics (*.png)", "*.PNG"}, assignStart(editor, slot), false);
  if (chosen.empty()) return false;
  const std::string name = relativeName(editor, chosen.front());
  // The mesh file keeps a name in a field of 260 characters: a longer one would come back cut.
  if (name.size() > longestMapName) {
    editor.session.ui.message(
        "This file name is longer than 259 characters and cannot be kept in a mesh:\n\n" + name,
        "Texture map notification!", MessageIcon::warning);
    return false;
  }
  Edit edit(model, editor.history, "Assign Texture");
  for (int m : scope) edit.moduleValue(m, model.document.module[m].maps[slot]) = name;
  reportMapChange(edit);
  edit.commit();
  return true;
}

bool unassignMap(Editor& editor, const Command& command) {
  Model& model = editor.model();
  const int slot = slotOf(command);
  const int m = currentModule(model);
  if (slot < 0 || m < 0 || model.document.module[m].maps[slot].empty()) return false;
  Edit edit(model, editor.history, "Unassign Texture");
  edit.moduleValue(m, model.document.module[m].maps[slot]).clear();
  reportMapChange(edit);
  edit.commit();
  return true;
}

bool toggleBaseHidden(Editor& editor, const Command&) {
  Model& model = editor.model();
  const int m = currentModule(model);
  if (m < 0 || model.document.module[m].maps[textfile].empty()) return false;
  Edit edit(model, editor.history, "Hide Texture");
  std::uint8_t& hidden = edit.moduleValue(m, model.document.module[m].baseHidden);
  hidden = hidden == 1 ? 0 : 1;
  edit.commit();
  return true;
}

bool clearAllMaps(Editor& editor, const Command&) {
  Model& model = editor.model();
  const int m = currentModule(model);
  if (m < 0) return false;
  Edit edit(model, editor.history, "Clear All");
  edit.moduleValue(m, model.document.module[m].maps);
  clearMaps(model, m);
  reportMapChange(edit);
  edit.commit();
  return true;
}

std::string mapSetStem(const std::string& baseName) {
  const std::size_t p = baseName.find_last_of("-base.png");
  if (p == std::string::npos || p < 8) return baseName;
  return baseName.substr(0, p - 8);
}

bool autoAssignMaps(Editor& editor, const Command&) {
  Model& model = editor.model();
  const int m = currentModule(model);
  if (m < 0 || model.document.module[m].maps[textfile].empty()) return false;
  struct Suffix {
    int slot;
    const char* text;
  };
  static constexpr Suffix suffixes[] = {
      {overlayfile, "-overlay.png"}, {lightfile, "-light.png"},        {heightfile, "-height.png"},
      {reflectfile, "-reflect.png"}, {visibilityfile, "-visible.png"}, {grimefile, "-grime.png"},
      {detailfile, "-detail.png"},   {controlfile, "-control.png"},
  };
  const std::string stem = mapSetStem(model.document.module[m].maps[textfile]);
  Edit edit(model, editor.history, "Auto Assign");
  for (const Suffix& s : suffixes) {
    if (!model.document.module[m].maps[s.slot].empty()) continue;
    const std::string candidate = stem + s.text;
    if (candidate.size() > longestMapName) continue;
    // A name that leads out of the repository is never followed, so it is not taken either.
    const std::optional<std::string> file = repositoryFile(editor.session.repository, candidate);
    std::error_code ec;
    if (!file || !std::filesystem::is_regular_file(*file, ec)) continue;
    edit.moduleValue(m, model.document.module[m].maps[s.slot]) = candidate;
    reportMapChange(edit);
  }
  edit.commit();
  return true;
}

namespace {

constexpr std::size_t recordSize = 400;
constexpr std::size_t recordNameSize = 260;
constexpr std::size_t lightFlagOffset = 399;
constexpr int largestCount = 32767;  // the count is a signed 16-bit number
constexpr std::size_t shortPrefix = 92;

struct CatalogueNames {
  const char* file;
  const char* listing;
  const char* caseLine;
  const char* lightLine;      // records 1 to 9
  const char* lightLineWide;  // records 10 and above
};

// clang-format off
constexpr CatalogueNames catalogueNames[] = {
    {"buildings.dat", "buildings.txt",
     "\t\tcase %i: wcscpy_s(hullfile, 199, L\"textures\\\\Cities\\\\",
     "\t\t\twcscpy_s(lightfile, 199, L\"textures\\\\cities\\\\",
     "\t\t\t wcscpy_s(lightfile, 199, L\"textures\\\\cities\\\\"},
    {"docks.dat", "docks.txt",
     "\t\tcase %i: wcscpy_s(hullfile, 199, L\"textures\\\\Docks\\\\",
     "\t\t\twcscpy_s(lightfile, 199, L\"textures\\\\Docks\\\\",
     "\t\t\t wcscpy_s(lightfile, 199, L\"textures\\\\Docks\\\\"},
    {"ships.dat", "ships.txt",
     "\t\tcase %i: wcscpy_s(hullfile, 199, L\"textures\\\\Ships\\\\",
     "\t\t\twcscpy_s(lightfile, 199, L\"textures\\\\Ships\\\\",
     "\t\t\t wcscpy_s(lightfile, 199, L\"textures\\\\Ships\\\\"},
    {"interiors.dat", "interiors.txt",
     "\t\tcase %i: wcscpy_s(hullfile, 199, L\"textures\\\\Cockpits\\\\",
     "\t\t\twcscpy_s(lightfile, 199, L\"textures\\\\Cockpits\\\\",
     "\t\t\t wcscpy_s(lightfile, 199, L\"textures\\\\Cockpits\\\\"},
};
// clang-format on

const CatalogueNames& namesOf(MatchCatalogue which) {
  return catalogueNames[static_cast<int>(which)];
}

// A record's name: its field up to the first zero byte.
std::string_view recordName(const std::string& catalogue, int k) {
  const char* field = catalogue.data() + static_cast<std::size_t>(k) * recordSize;
  return {field, strnlen(field, recordNameSize)};
}

// A name as the match compares it: less its last four characters (the extension), letter case
// aside. A name of fewer than four characters has no extension to drop and is compared whole.
std::string_view matchKey(std::string_view name) {
  if (name.size() >= 4) name.remove_suffix(4);
  return name;
}

// Records whose name begins with a backslash and "i" carry a leading part of fixed length that
// module names do not have.
std::string_view recordKey(std::string_view name) {
  if (name.size() >= 2 && name[0] == '\\' && (name[1] == 'i' || name[1] == 'I'))
    name.remove_prefix(std::min(name.size(), shortPrefix));
  return matchKey(name);
}

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// Names hashed and compared without letter case, so that records are looked up without copies.
struct FoldedHash {
  std::size_t operator()(std::string_view s) const {
    std::uint64_t h = 14695981039346656037u;
    for (char c : s) h = (h ^ static_cast<unsigned char>(lower(c))) * 1099511628211u;
    return static_cast<std::size_t>(h);
  }
};
struct FoldedEqual {
  bool operator()(std::string_view a, std::string_view b) const { return equalIgnoringCase(a, b); }
};

bool optedOut(const Module& module) {
  return std::any_of(module.instances.begin(), module.instances.end(),
                     [](const Instance& t) { return t.group == 997; });
}

void appendListing(std::string& out, const CatalogueNames& names, int k, std::string_view name,
                   bool light) {
  // The last path component up to its first full stop; none without a backslash.
  std::string_view component;
  if (const std::size_t slash = name.rfind('\\'); slash != std::string_view::npos) {
    component = name.substr(slash + 1);
    component = component.substr(0, component.find('.'));
  }
  const std::string_view caseLine = names.caseLine;
  const std::size_t number = caseLine.find("%i");
  char digits[8];
  const auto printed = std::to_chars(std::begin(digits), std::end(digits), k);
  out.append(caseLine.substr(0, number));
  out.append(digits, printed.ptr);
  out.append(caseLine.substr(number + 2));
  out.append(component);
  out += ".dds\");\r\n";
  if (light) {
    out += k < 10 ? names.lightLine : names.lightLineWide;
    out.append(component);
    out += "LIGHT.dds\");\r\n";
  }
  out += k < 10 ? "\t\t\tbreak;\r\n" : "\t\t\t break;\r\n";
}

// The record count a header holds: two bytes, little-endian, signed.
int countOf(std::string_view header) {
  return static_cast<std::int16_t>(static_cast<unsigned char>(header[0]) |
                                   static_cast<unsigned char>(header[1]) << 8);
}

// Why a file of `size` bytes that begins with `head` is no catalogue: a 400-byte header, then as
// many 400-byte records as the header counts, and nothing else. Empty when it can be one.
std::string catalogueFault(std::string_view head, std::uint64_t size) {
  if (size == 0) return "Not a catalogue: the file is empty";
  if (size < recordSize) {
    return formatText("Not a catalogue: the file holds only %llu of its header's 400 bytes", size);
  }
  const int count = countOf(head);
  if (count < 0) return formatText("Not a catalogue: its header counts %i records", count);
  const std::uint64_t held = size / recordSize - 1;
  const std::uint64_t over = size % recordSize;
  if (held == static_cast<std::uint64_t>(count) && over == 0) return {};
  if (over == 0) {
    return formatText("Not a catalogue: its header counts %i records, but the file holds %llu",
                      count, held);
  }
  return formatText(
      "Not a catalogue: its header counts %i records, but the file holds %llu and %llu bytes more",
      count, held, over);
}

}  // namespace

CatalogueMatch matchCatalogue(const Model& model, MatchCatalogue which,
                              const std::string& existing) {
  CatalogueMatch result;
  std::string& file = result.catalogue;
  int n = 0;
  if (existing.empty()) {
    file.assign(recordSize, '\0');
  } else {
    result.refusal = catalogueFault(existing, existing.size());
    if (!result.refusal.empty()) return result;
    n = countOf(existing);
    file = existing;
  }

  const Document& d = model.document;
  const int modules = isCity(d) ? d.wldfiles - 1 : d.wldfiles;
  // The base map as a record holds it: at most 259 characters, and none past a zero byte,
  // which ends the name in the file.
  auto fieldOf = [](const Module& module) {
    const std::string_view name{module.maps[textfile]};
    return name.substr(0, std::min(name.find('\0'), recordNameSize - 1));
  };
  // The first record that matches each module's name; 0 while none does. The keys are views of
  // the modules' names, so the records are scanned once without copying any.
  std::unordered_map<std::string_view, int, FoldedHash, FoldedEqual> first;
  first.reserve(maxModules);
  for (int m = 0; m < modules; ++m) {
    const Module& module = d.module[m];
    if (!optedOut(module) && !module.maps[textfile].empty())
      first.try_emplace(matchKey(fieldOf(module)), 0);
  }
  for (int k = 1; k <= n; ++k) {
    const auto found = first.find(recordKey(recordName(file, k)));
    if (found != first.end() && found->second == 0) found->second = k;
  }

  for (int m = 0; m < modules; ++m) {
    const Module& module = d.module[m];
    if (optedOut(module)) continue;
    int key = -1;
    if (!module.maps[textfile].empty()) {
      const std::string_view field = fieldOf(module);
      const bool light = !module.maps[lightfile].empty();
      int& matched = first.find(matchKey(field))->second;
      if (matched > 0) {
        key = matched;
        if (light) file[static_cast<std::size_t>(key) * recordSize + lightFlagOffset] = 1;
      } else {
        if (n == largestCount) {
          result.full = true;
          return result;
        }
        key = ++n;
        file.resize(static_cast<std::size_t>(n + 1) * recordSize, '\0');
        char* record = file.data() + static_cast<std::size_t>(n) * recordSize;
        std::memcpy(record, field.data(), field.size());
        record[lightFlagOffset] = light ? 1 : 0;
        // Later modules compare with the new record as the file holds it.
        const auto added = first.find(recordKey(field));
        if (added != first.end() && added->second == 0) added->second = n;
      }
    }
    if (module.sortKey != key) result.keys.push_back({m, static_cast<std::int16_t>(key)});
  }
  file[0] = static_cast<char>(n & 0xFF);
  file[1] = static_cast<char>(n >> 8 & 0xFF);

  const CatalogueNames& names = namesOf(which);
  result.listing.reserve(static_cast<std::size_t>(n) * 160);
  for (int k = 1; k <= n; ++k) {
    appendListing(result.listing, names, k, recordName(file, k),
                  file[static_cast<std::size_t>(k) * recordSize + lightFlagOffset] == 1);
  }
  return result;
}

namespace {

void reportMatchFailure(Ui& ui, const std::string& fileName, const std::string& reason) {
  ui.message("Could not create load match file " + fileName + "...\n\n" + reason, "Match Bitmaps",
             MessageIcon::error);
}

// The catalogue's bytes; empty when there is none. Nothing, with the reason, when it cannot be
// read or is no catalogue (catalogueFault). An empty file is refused rather than taken for a new
// catalogue: the match never writes one, so it is a catalogue that lost its records, and numbering
// anew over it would give modules other keys than the game's listing holds. Deleting it starts
// anew.
std::optional<std::string> readCatalogue(const RepositoryFolder& repository,
                                         const std::string& hostPath, std::string& reason) {
  int error = linkError(repository, hostPath);
  std::uint64_t size = 0;
  std::FILE* in = error == 0 ? openRegularFile(hostPath, error, &size) : nullptr;
  if (!in) {
    if (error == ENOENT) return std::string{};
    reason = systemErrorText(error);
    return std::nullopt;
  }
  // A file larger than any catalogue is refused on its header alone.
  constexpr std::uint64_t largestFile = (largestCount + 1) * recordSize;
  std::string bytes(size > largestFile ? 2 : static_cast<std::size_t>(size), '\0');
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), in));
  const bool failed = std::ferror(in) != 0;
  std::fclose(in);
  if (failed) {
    reason = systemErrorText(EIO);
    return std::nullopt;
  }
  reason = catalogueFault(bytes, size > largestFile && bytes.size() == 2 ? size : bytes.size());
  if (!reason.empty()) return std::nullopt;
  return bytes;
}

}  // namespace

bool matchTextures(Editor& editor, const Command& command) {
  if (command.code < 0 || command.code > static_cast<int>(MatchCatalogue::interiors)) return false;
  const auto which = static_cast<MatchCatalogue>(command.code);
  Model& model = editor.model();
  Ui& ui = editor.session.ui;
  const CatalogueNames& names = namesOf(which);
  const std::string cataloguePath = editor.session.repository.host + names.file;
  const std::string listingPath = editor.session.repository.host + names.listing;

  WriteLog& log = editor.session.writes;
  // Neither file is written when either is not: both are logged as failed.
  const auto refuse = [&] {
    log.failed.push_back(cataloguePath);
    log.failed.push_back(listingPath);
    return false;
  };

  std::string error;
  std::optional<std::string> existing =
      readCatalogue(editor.session.repository, cataloguePath, error);
  if (!existing) {
    reportMatchFailure(ui, cataloguePath, error);
    return refuse();
  }
  // The interiors are numbered anew every time: their catalogue starts empty, though a file in
  // its place is replaced only when it is one.
  if (which == MatchCatalogue::interiors) existing->clear();
  const CatalogueMatch match = matchCatalogue(model, which, *existing);
  if (!match.refusal.empty()) {
    reportMatchFailure(ui, cataloguePath, match.refusal);
    return refuse();
  }
  if (match.full) {
    ui.message(formatText("The catalogue %s already holds %i textures, as many as it can number.",
                          cataloguePath, largestCount),
               "Match Bitmaps", MessageIcon::error);
    return refuse();
  }

  // Catalogue and listing are replaced together or not at all, so that the listing always
  // describes the catalogue beside it and a failure leaves both as they were.
  editor.window.busy = true;
  StagedFiles files{editor.session.repository};
  const bool written = files.add(cataloguePath, cataloguePath, match.catalogue) &&
                       files.add(listingPath, listingPath, match.listing) && files.commit();
  editor.window.busy = false;
  if (!written) {
    reportMatchFailure(ui, files.failedName(), files.error());
    return refuse();
  }
  log.written.push_back(cataloguePath);
  log.written.push_back(listingPath);

  // The files written stay written; Undo Edit takes back the modules' keys only.
  Edit edit(model, editor.history, "Match Textures");
  for (const CatalogueMatch::Key& k : match.keys) {
    Module& module = model.document.module[k.module];
    if (which == MatchCatalogue::interiors || module.maps[textfile].empty()) {
      // Numbering the interiors, or a module without a base map, is not a change of its mesh.
      edit.part(module.sortKey, Change::menus) = k.sortKey;
    } else {
      edit.moduleValue(k.module, module.sortKey) = k.sortKey;
    }
  }
  edit.commit();
  return true;
}

bool flipTexels(Editor& editor, const Command&) {
  Model& model = editor.model();
  if (model.document.wldfiles == 0 || model.selection.currentModule != -1) return false;
  Edit edit(model, editor.history, "Flip");
  for (int m = 0; m < model.document.wldfiles; ++m) {
    for (Polygon& p : edit.polygons(m)) {
      const int corners = std::min<int>(p.sides, 4);
      for (int c = 0; c < corners; ++c) p.texels[c].v = 1 - p.texels[c].v;
    }
  }
  edit.commit();
  return true;
}

namespace {

// A float channel as the settings keep it: x 255, rounded to nearest, within 0..255.
std::uint32_t settingsByte(float v) {
  return static_cast<std::uint32_t>(std::clamp(std::lround(v * 255.0f), 0L, 255L));
}

}  // namespace

bool chooseCanvasColour(Editor& editor, const Command&) {
  Session& session = editor.session;
  std::array<float, 4>& colour = editor.frame.canvasColour;
  // The chooser starts at each channel x 255, truncated, as 0x00BBGGRR.
  const auto start = [](float v) {
    return static_cast<std::uint32_t>(std::clamp(static_cast<int>(v * 255), 0, 255));
  };
  const std::uint32_t initial = start(colour[2]) << 16 | start(colour[1]) << 8 | start(colour[0]);

  Palette custom = greyRamp();
  readPalette(session, editor.user.customColorsPath, custom, true);
  const std::optional<std::uint32_t> chosen = session.ui.chooseColour(initial, custom);
  writePalette(session, editor.user.customColorsPath, custom, true);
  if (chosen) {
    constexpr float byteToFloat = 0.003921569f;
    colour = {static_cast<float>(*chosen & 0xFF) * byteToFloat,
              static_cast<float>(*chosen >> 8 & 0xFF) * byteToFloat,
              static_cast<float>(*chosen >> 16 & 0xFF) * byteToFloat, 1.0f};
    session.store.writeNumber(mainKey, "Canvas Color",
                              settingsByte(colour[3]) << 24 | settingsByte(colour[0]) << 16 |
                                  settingsByte(colour[1]) << 8 | settingsByte(colour[2]));
  }
  // The canvas is built with the geometry: build it again so that the colour shows now.
  noteChanges(editor.model(), Change::geometry);
  return chosen.has_value();
}

bool canAssignMap(const MenuContext& c, const Command&) {
  return c.n > 0 && c.currentModule != -1;
}

bool canAssignControlMap(const MenuContext& c, const Command&) {
  return c.n > 0 && c.single() && !c.module->maps[detailfile].empty();
}

bool mapAssigned(const MenuContext& c, const Command& command) {
  return c.single() && !c.module->maps[command.code].empty();
}

bool baseHiddenSet(const MenuContext& c, const Command&) {
  return c.single() && c.module->baseHidden != 0;
}

bool canClearMaps(const MenuContext& c, const Command&) {
  return c.n > 0 && c.currentModule != -2;
}

bool canAutoAssign(const MenuContext& c, const Command&) {
  return c.single() && !c.module->maps[textfile].empty();
}

bool canFlipTextures(const MenuContext& c, const Command&) {
  return c.currentModule == -1 && c.n > 0;
}
}  // namespace tessarim
