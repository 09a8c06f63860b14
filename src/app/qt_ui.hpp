#pragma once

#include <QString>

#include "platform/ui.hpp"

class QWidget;

namespace tessarim {

// Message boxes, file dialogs, the colour chooser and the program's dialogs as Qt widgets, modal
// over the main window.
class QtUi : public Ui {
 public:
  void setParent(QWidget* parent) { parent_ = parent; }

  MessageAnswer messageBox(std::string_view text, std::string_view caption, MessageIcon icon,
                           MessageButtons buttons) override;
  std::vector<std::string> openFile(const FileFilter& filter, std::string_view startPath,
                                    bool multiple) override;
  std::optional<std::string> saveFile(const FileFilter& filter, std::string_view startPath,
                                      std::string_view defaultExtension) override;
  std::optional<std::uint32_t> chooseColour(std::uint32_t initial,
                                            std::array<std::uint32_t, 16>& customColours) override;
  void modifiersDialog(ModifierValues& values,
                       const std::function<void(const ModifierValues&)>& accepted) override;

 private:
  QWidget* parent_ = nullptr;
};

// "*.WLD;*.ASM" as a Qt name filter that matches any letter case: "*.[wW][lL][dD] *.[aA][sS][mM]".
QString caseFreePatterns(std::string_view pattern);

}  // namespace tessarim
