#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessarim {

enum class MessageIcon { none, information, warning, error, question };
enum class MessageButtons { ok, okCancel, yesNo, yesNoCancel, retryCancel };
enum class MessageAnswer { ok, cancel, yes, no, retry };

struct FileFilter {
  std::string description;  // "Supported files (*.wld,*.asm,*.cty)"
  std::string pattern;      // "*.WLD;*.ASM;*.CTY"
};

// What the program asks of the user. The editor shows real dialogs; tests and the batch
// front end answer from a script or a default.
class Ui {
 public:
  virtual ~Ui() = default;
  virtual MessageAnswer messageBox(std::string_view text, std::string_view caption,
                                   MessageIcon icon, MessageButtons buttons) = 0;
  // Host paths of the chosen files; empty when cancelled.
  virtual std::vector<std::string> openFile(const FileFilter& filter, std::string_view startPath,
                                            bool multiple) = 0;
  // Host path of the chosen file; nothing when cancelled.
  virtual std::optional<std::string> saveFile(const FileFilter& filter, std::string_view startPath,
                                              std::string_view defaultExtension) = 0;

  // The colour chooser, fully opened, starting at `initial`; colours are 0x00BBGGRR. The sixteen
  // custom colours are shown and may be changed by the user whatever the answer. Nothing when
  // cancelled; a front end without dialogs cancels.
  virtual std::optional<std::uint32_t> chooseColour(std::uint32_t initial,
                                                    std::array<std::uint32_t, 16>& customColours) {
    (void)initial;
    (void)customColours;
    return std::nullopt;
  }

  MessageAnswer message(std::string_view text, std::string_view caption,
                        MessageIcon icon = MessageIcon::none) {
    return messageBox(text, caption, icon, MessageButtons::ok);
  }
};

}  // namespace tessarim
