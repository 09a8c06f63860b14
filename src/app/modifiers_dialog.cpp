#include "modifiers_dialog.hpp"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <string>
#include <utility>

#include "commands/modifiers_commands.hpp"

namespace tessarim {
namespace {

struct EditSpec {
  const char* label;
  const char* name;  // object name, and the field's name in a message
  float ModifierValues::*value;
  bool angle;
};

QLineEdit* addEdit(QFormLayout* form, const char* label, const char* name) {
  auto* edit = new QLineEdit;
  edit->setObjectName(name);
  form->addRow(label, edit);
  return edit;
}

}  // namespace

ModifiersDialog::ModifiersDialog(ModifierValues& values,
                                 std::function<void(const ModifierValues&)> accepted,
                                 QWidget* parent)
    : QDialog(parent), values_(values), accepted_(std::move(accepted)) {
  setWindowTitle("Modifiers");
  auto* groups = new QHBoxLayout;

  // Each group: three edits, its check box, then its texel or canvas edits.
  const auto group = [&](const char* title, std::initializer_list<EditSpec> axes, QCheckBox* box,
                         std::initializer_list<EditSpec> after) {
    auto* frame = new QGroupBox(title);
    auto* form = new QFormLayout(frame);
    for (const EditSpec& e : axes)
      fields_.push_back({addEdit(form, e.label, e.name), e.value, e.angle});
    form->addRow(box);
    for (const EditSpec& e : after)
      fields_.push_back({addEdit(form, e.label, e.name), e.value, e.angle});
    groups->addWidget(frame);
  };
  using V = ModifierValues;
  round_ = new QCheckBox("Round");
  vertex_ = new QCheckBox("Vertex");
  skew_ = new QCheckBox("Skew");
  group("Scale",
        {{"X", "Scale X", &V::sx, false},
         {"Y", "Scale Y", &V::sy, false},
         {"Z", "Scale Z", &V::sz, false}},
        round_, {{"U", "Scale U", &V::su, false}, {"V", "Scale V", &V::sv, false}});
  group("Offset",
        {{"X", "Offset X", &V::ox, false},
         {"Y", "Offset Y", &V::oy, false},
         {"Z", "Offset Z", &V::oz, false}},
        vertex_, {{"U", "Offset U", &V::ou, false}, {"V", "Offset V", &V::ov, false}});
  group("Rotation",
        {{"X", "Rotation X", &V::rx, true},
         {"Y", "Rotation Y", &V::ry, true},
         {"Z", "Rotation Z", &V::rz, true}},
        skew_, {{"Canvas", "Canvas", &V::rc, true}});

  auto* accept = new QPushButton("Accept");
  auto* cancel = new QPushButton("Cancel");
  auto* reset = new QPushButton("Reset");
  connect(accept, &QPushButton::clicked, this, [this] { acceptEdits(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(reset, &QPushButton::clicked, this, [this] { this->reset(); });
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* b : {accept, cancel, reset}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  // Return accepts; the dialog stays open for the next values.
  accept->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups);
  layout->addLayout(buttons);

  round_->setChecked(values_.round);
  vertex_->setChecked(values_.vertex);
  skew_->setChecked(values_.skew);
  fill();
}

void ModifiersDialog::fill() {
  for (const Field& f : fields_) {
    const float v = values_.*f.value;
    f.edit->setText(QString::fromStdString(f.angle ? modifierAngleText(v) : modifierNumberText(v)));
  }
}

void ModifiersDialog::acceptEdits() {
  ModifierValues read = values_;
  for (const Field& f : fields_) {
    const std::string text = f.edit->text().toStdString();
    const std::optional<float> v = readModifierNumber(text);
    if (!v) {
      QMessageBox::warning(
          this, "Modifiers",
          f.edit->objectName() +
              (modifierNumberTooLarge(text) ? " is too large a number." : " is not a number."));
      f.edit->setFocus();
      f.edit->selectAll();
      return;
    }
    read.*f.value = f.angle ? modifierRadians(*v) : *v;
  }
  read.round = round_->isChecked();
  read.vertex = vertex_->isChecked();
  read.skew = skew_->isChecked();
  values_ = read;
  accepted_(values_);
}

void ModifiersDialog::reset() {
  resetModifierNumbers(values_);
  fill();
}

}  // namespace tessarim
