#include "commands/colour_commands.hpp"

#include <array>
#include <cstdint>
#include <optional>

#include "commands/command_table.hpp"
#include "commands/menu_context.hpp"
#include "editing/edit_history.hpp"
#include "editor/editor.hpp"
#include "formats/palette.hpp"
#include "model/paths.hpp"
#include "platform/settings_store.hpp"
#include "platform/ui.hpp"

namespace tessarim {
namespace {

// The chooser exchanges 0x00BBGGRR, the settings keep 0xAARRGGBB: the same swap both ways.
std::uint32_t swapRedAndBlue(std::uint32_t colour) {
  return (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
}

std::array<float, 3>* floatColour(FrameState& frame, ViewColour which) {
  ViewColours& c = frame.colours;
  switch (which) {
    case ViewColour::skin:
      return &c.skin;
    case ViewColour::hairLips:
      return &c.hairLips;
    case ViewColour::eyes:
      return &c.eyes;
    case ViewColour::trim:
      return &c.trim;
    case ViewColour::dynamicText:
      return &c.dynamicText;
    default:
      return nullptr;
  }
}

// The colours are read when drawing; the file's name is saved with the document.
constexpr Changes schemeColourChanges = Change::geometry | Change::menus;
constexpr Changes schemeFileChanges = Change::modified | Change::title | Change::menus;

// The chooser edits the sixteen colours as its custom row; on OK they become the scheme and are
// written to its file at once (a scheme without a file asks for one).
void editSchemeColours(Editor& editor, Edit& edit) {
  Session& session = editor.session;
  Document& document = editor.model().document;
  Palette colours = document.schemeColours;
  // It starts at the current instance's key colour, the one the user most likely came to change.
  const Selection& sel = editor.model().selection;
  std::uint32_t initial = colours[0];
  if (sel.currentModule >= 0 && sel.currentModule < document.wldfiles && sel.currentInstance >= 0) {
    const auto& instances = document.module[sel.currentModule].instances;
    if (static_cast<std::size_t>(sel.currentInstance) < instances.size()) {
      const int key = instances[sel.currentInstance].colourKey;
      if (key >= 0 && key < paletteColourCount) initial = colours[key];
    }
  }
  if (!session.ui.chooseColour(initial, colours)) return;
  edit.part(document.schemeColours, schemeColourChanges) = colours;
  std::string path = document.schemeFile;
  writePalette(session, path, colours, false);
  if (path != document.schemeFile) edit.part(document.schemeFile, schemeFileChanges) = path;
}

}  // namespace

std::uint32_t chooserFromFloats(const std::array<float, 3>& c) {
  const auto byte = [](float v) {
    return static_cast<std::uint32_t>(v <= 0 ? 0 : v >= 1 ? 255 : static_cast<int>(v * 255));
  };
  return byte(c[2]) << 16 | byte(c[1]) << 8 | byte(c[0]);
}

std::array<float, 3> floatsFromChooser(std::uint32_t bgr) {
  return {static_cast<float>(bgr & 0xFF) / 255.0f, static_cast<float>(bgr >> 8 & 0xFF) / 255.0f,
          static_cast<float>(bgr >> 16 & 0xFF) / 255.0f};
}

bool chooseViewColour(Editor& editor, const Command& command) {
  Session& session = editor.session;
  UserSettings& user = editor.user;
  const auto which = static_cast<ViewColour>(command.code);
  std::uint32_t* registryColour = which == ViewColour::background ? &user.backgroundColor
                                  : which == ViewColour::sunlight ? &user.sunlightColor
                                                                  : nullptr;
  std::array<float, 3>* colour = floatColour(editor.frame, which);
  if (!registryColour && !colour) return false;

  Palette custom = greyRamp();
  readPalette(session, user.customColorsPath, custom, true);
  const std::uint32_t initial =
      registryColour ? swapRedAndBlue(*registryColour) : chooserFromFloats(*colour);
  const std::optional<std::uint32_t> chosen = session.ui.chooseColour(initial, custom);
  writePalette(session, user.customColorsPath, custom, true);
  if (!chosen) return true;

  if (registryColour) {
    // The dialog has no alpha: the stored colour keeps its own.
    *registryColour = (*registryColour & 0xFF000000u) | swapRedAndBlue(*chosen);
    session.store.writeNumber(
        mainKey, which == ViewColour::background ? "Background Color" : "Sunlight Color",
        *registryColour);
  } else {
    *colour = floatsFromChooser(*chosen);
  }
  return true;
}

bool canChangeScheme(const MenuContext& c, const Command&) {
  return c.document;
}

bool newScheme(Editor& editor, const Command&) {
  Model& model = editor.model();
  if (!placesModules(model.document)) return false;
  Edit edit(model, editor.history, "New Scheme");
  edit.part(model.document.schemeFile, schemeFileChanges).clear();
  edit.part(model.document.schemeColours, schemeColourChanges) = greyRamp();
  editSchemeColours(editor, edit);
  edit.commit();
  return true;
}

bool loadScheme(Editor& editor, const Command&) {
  Session& session = editor.session;
  Model& model = editor.model();
  Document& document = model.document;
  if (!placesModules(document)) return false;
  std::string start = document.schemeFile;
  if (start.empty()) {
    // Beside the document, under its name: too short a name has no such place.
    if (document.documentPath.size() <= 4) return false;
    start = document.documentPath.substr(0, document.documentPath.size() - 3) + "pal";
  }
  const std::vector<std::string> chosen = session.ui.openFile(
      FileFilter{"Palette (*.pal)", "*.PAL"}, resolvePath(session.repository, start), false);
  if (chosen.empty()) return true;
  std::string path = chosen.front();
  makeRelative(session.repository, path);
  Palette colours = document.schemeColours;
  readPalette(session, path, colours, false);
  Edit edit(model, editor.history, "Load Scheme");
  edit.part(document.schemeFile, schemeFileChanges) = path;
  edit.part(document.schemeColours, schemeColourChanges) = colours;
  edit.commit();
  return true;
}

bool editScheme(Editor& editor, const Command&) {
  Model& model = editor.model();
  if (!placesModules(model.document)) return false;
  Edit edit(model, editor.history, "Edit Scheme");
  editSchemeColours(editor, edit);
  edit.commit();
  return true;
}

}  // namespace tessarim
