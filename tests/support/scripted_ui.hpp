#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui.hpp"

namespace tessarim::testing {

// Records every message box and answers from a script; an unscripted box gets its first button.
class ScriptedUi : public Ui {
 public:
  struct Box {
    std::string text;
    std::string caption;
    MessageIcon icon;
    MessageButtons buttons;
  };

  MessageAnswer messageBox(std::string_view text, std::string_view caption, MessageIcon icon,
                           MessageButtons buttons) override {
    boxes.push_back({std::string{text}, std::string{caption}, icon, buttons});
    if (!answers.empty()) {
      auto a = answers.front();
      answers.pop_front();
      return a;
    }
    switch (buttons) {
      case MessageButtons::yesNo:
      case MessageButtons::yesNoCancel:
        return MessageAnswer::yes;
      case MessageButtons::retryCancel:
        return MessageAnswer::retry;
      default:
        return MessageAnswer::ok;
    }
  }
  // File dialogs record what they were offered and answer from their scripts; none: cancel.
  struct FileCall {
    FileFilter filter;
    std::string startPath;
  };
  std::vector<std::string> openFile(const FileFilter& filter, std::string_view startPath,
                                    bool) override {
    openCalls.push_back({filter, std::string{startPath}});
    return openResults.empty() ? std::vector<std::string>{} : next(openResults);
  }
  std::optional<std::string> saveFile(const FileFilter& filter, std::string_view startPath,
                                      std::string_view) override {
    saveCalls.push_back({filter, std::string{startPath}});
    if (saveResults.empty()) return std::nullopt;
    return next(saveResults);
  }

  // Records the chooser's start and custom colours, applies `customEdit` to them (as a user
  // editing the custom row would) and answers the next scripted colour; none scripted: cancel.
  std::optional<std::uint32_t> chooseColour(std::uint32_t initial,
                                            std::array<std::uint32_t, 16>& customColours) override {
    colourCalls.push_back({initial, customColours});
    if (customEdit) customEdit(customColours);
    if (colourResults.empty()) return std::nullopt;
    return next(colourResults);
  }

  // The Modifiers dialog: records the values each opening shows, then plays the scripted
  // presses in order until a "Cancel" or the end of the script, which closes it as "Cancel" does.
  // An "Accept" with typed values puts them in the dialog first; without, it takes what it shows.
  struct ModifiersPress {
    ModifiersButton button;
    std::optional<ModifierValues> typed;
  };
  void modifiersDialog(ModifierValues& values,
                       const std::function<void(const ModifierValues&)>& accepted) override {
    modifiersOpenings.push_back(values);
    while (!modifiersPresses.empty()) {
      const ModifiersPress press = next(modifiersPresses);
      if (press.button == ModifiersButton::cancel) return;
      if (press.button == ModifiersButton::reset) {
        resetModifierNumbers(values);
        continue;
      }
      if (press.typed) values = *press.typed;
      accepted(values);
    }
  }
  std::vector<ModifierValues> modifiersOpenings;
  std::deque<ModifiersPress> modifiersPresses;

  struct ColourCall {
    std::uint32_t initial;
    std::array<std::uint32_t, 16> custom;
  };
  std::vector<ColourCall> colourCalls;
  std::deque<std::optional<std::uint32_t>> colourResults;
  std::function<void(std::array<std::uint32_t, 16>&)> customEdit;

  std::vector<FileCall> openCalls, saveCalls;
  std::vector<Box> boxes;
  std::deque<MessageAnswer> answers;
  std::deque<std::vector<std::string>> openResults;
  std::deque<std::optional<std::string>> saveResults;

 private:
  template <class T>
  static T next(std::deque<T>& q) {
    T v = std::move(q.front());
    q.pop_front();
    return v;
  }
};

// A user who mends the cause of a message (frees a file, removes a folder) before answering it.
class MendingUi : public ScriptedUi {
 public:
  std::function<void()> mend;
  MessageAnswer messageBox(std::string_view text, std::string_view caption, MessageIcon icon,
                           MessageButtons buttons) override {
    if (mend) mend();
    return ScriptedUi::messageBox(text, caption, icon, buttons);
  }
};

}  // namespace tessarim::testing
