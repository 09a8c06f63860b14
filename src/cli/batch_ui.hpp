#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.hpp"

namespace tessarim {

// Message boxes go to a stream as "caption: text" and are answered without asking: with the
// chosen answer when the box offers it, otherwise with Cancel or else No where the box has them
// (a question nobody answered writes and drops nothing, and a failing save is not retried
// forever), else OK. File dialogs are cancelled.
class BatchUi : public Ui {
 public:
  explicit BatchUi(std::ostream& err, std::optional<MessageAnswer> answer = std::nullopt)
      : err_(err), answer_(answer) {}

  MessageAnswer messageBox(std::string_view text, std::string_view caption, MessageIcon icon,
                           MessageButtons buttons) override;
  std::vector<std::string> openFile(const FileFilter&, std::string_view, bool) override {
    return {};
  }
  std::optional<std::string> saveFile(const FileFilter&, std::string_view,
                                      std::string_view) override {
    return std::nullopt;
  }

  struct Shown {
    std::string caption;
    std::string text;
  };
  const std::vector<Shown>& shown() const { return shown_; }

 private:
  std::ostream& err_;
  std::optional<MessageAnswer> answer_;
  std::vector<Shown> shown_;
};

}  // namespace tessarim
