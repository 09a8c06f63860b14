#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/modifier_values.hpp"

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

  // The "Modifiers" dialog over the stored `values`, which it shows and keeps up to date: each
  // "Accept" reads the edits into them and calls `accepted`, the dialog staying open; "Reset"
  // resets their numbers and shows them again; "Cancel" closes. A front end without dialogs
  // closes at once.
  virtual void modifiersDialog(ModifierValues& values,
                               const std::function<void(const ModifierValues&)>& accepted) {
    (void)values;
    (void)accepted;
  }

  MessageAnswer message(std::string_view text, std::string_view caption,
                        MessageIcon icon = MessageIcon::none) {
    return messageBox(text, caption, icon, MessageButtons::ok);
  }
};

}  // namespace tessarim
