#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui.hpp"

namespace tessarim::fuzzing {

// Answers every box with its first button, but Cancel for Retry/Cancel so that a failing write
// is not retried forever, and cancels every file dialog.
class SilentUi : public Ui {
 public:
  MessageAnswer messageBox(std::string_view, std::string_view, MessageIcon,
                           MessageButtons buttons) override {
    switch (buttons) {
      case MessageButtons::yesNo:
      case MessageButtons::yesNoCancel:
        return MessageAnswer::yes;
      case MessageButtons::retryCancel:
        return MessageAnswer::cancel;
      default:
        return MessageAnswer::ok;
    }
  }
  std::vector<std::string> openFile(const FileFilter&, std::string_view, bool) override {
    return {};
  }
  std::optional<std::string> saveFile(const FileFilter&, std::string_view,
                                      std::string_view) override {
    return std::nullopt;
  }
};

}  // namespace tessarim::fuzzing
