#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "platform/modifier_values.hpp"

class QCheckBox;
class QLineEdit;

namespace tessarim {

// The "Modifiers" dialog over the stored values. "Accept" reads the edits into them and calls
// back, the dialog staying open; "Reset" resets their numbers and fills the edits again;
// "Cancel" or Escape closes. An edit that does not start with a number stops an "Accept" with a
// message, the values untouched.
class ModifiersDialog : public QDialog {
 public:
  ModifiersDialog(ModifierValues& values, std::function<void(const ModifierValues&)> accepted,
                  QWidget* parent = nullptr);

 private:
  struct Field {
    QLineEdit* edit;
    float ModifierValues::*value;
    bool angle;  // degrees in the edit, radians in the value
  };

  void fill();
  void acceptEdits();
  void reset();

  ModifierValues& values_;
  std::function<void(const ModifierValues&)> accepted_;
  std::vector<Field> fields_;
  QCheckBox* round_ = nullptr;
  QCheckBox* vertex_ = nullptr;
  QCheckBox* skew_ = nullptr;
};

}  // namespace tessarim
