#include "commands/colour_commands.hpp"

#include <array>
#include <cstdint>
#include <optional>

#include "commands/command_table.hpp"
#include "editor/editor.hpp"
#include "formats/palette.hpp"
#include "platform/settings_store.hpp"
#include "platform/ui.hpp"

namespace tessarim {
namespace {

// The chooser exchanges 0x00BBGGRR, the settings keep 0xAARRGGBB: the same swap both ways.
std::uint32_t swapRedAndBlue(std::uint32_t colour) {
  return (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
}

// Float channels as the chooser takes them: each x 255, truncated.
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

}  // namespace

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

}  // namespace tessarim
