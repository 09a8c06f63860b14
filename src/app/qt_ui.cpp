#include "qt_ui.hpp"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include "modifiers_dialog.hpp"

namespace tessarim {
namespace {

QString text(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QFileDialog* makeDialog(QWidget* parent, const FileFilter& filter, std::string_view startPath) {
  auto* dialog = new QFileDialog(parent);
  // Qt's own dialog behaves the same on every desktop, and the tests can drive it.
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  // The description already names the patterns; the case-free ones behind it stay hidden.
  dialog->setOption(QFileDialog::HideNameFilterDetails);
  dialog->setNameFilter(text(filter.description) + " (" + caseFreePatterns(filter.pattern) + ")");
  QFileInfo start(text(startPath));
  if (start.isDir()) {
    dialog->setDirectory(start.absoluteFilePath());
  } else {
    dialog->setDirectory(start.absolutePath());
    dialog->selectFile(start.fileName());
  }
  return dialog;
}

// Gives the keyboard back to the window when a dialog closes. A window manager does this by
// itself; without one (a bare X server) the keys would go nowhere until the next click.
class KeysBackTo {
 public:
  explicit KeysBackTo(QWidget* window) : window_(window) {}
  KeysBackTo(const KeysBackTo&) = delete;
  KeysBackTo& operator=(const KeysBackTo&) = delete;
  ~KeysBackTo() {
    if (window_) window_->activateWindow();
  }

 private:
  QWidget* window_;
};

}  // namespace

QString caseFreePatterns(std::string_view pattern) {
  QString out;
  for (char c : pattern) {
    if (c == ';') {
      out += ' ';
    } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
      const QChar q(c);
      out += '[' + q.toLower() + q.toUpper() + ']';
    } else {
      out += QChar(c);
    }
  }
  return out;
}

MessageAnswer QtUi::messageBox(std::string_view message, std::string_view caption, MessageIcon icon,
                               MessageButtons buttons) {
  const KeysBackTo keys(parent_);
  QMessageBox box(parent_);
  box.setWindowTitle(text(caption));
  box.setText(text(message));
  switch (icon) {
    case MessageIcon::none:
      box.setIcon(QMessageBox::NoIcon);
      break;
    case MessageIcon::information:
      box.setIcon(QMessageBox::Information);
      break;
    case MessageIcon::warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case MessageIcon::error:
      box.setIcon(QMessageBox::Critical);
      break;
    case MessageIcon::question:
      box.setIcon(QMessageBox::Question);
      break;
  }
  QMessageBox::StandardButtons set;
  QMessageBox::StandardButton escape = QMessageBox::NoButton;
  switch (buttons) {
    case MessageButtons::ok:
      set = QMessageBox::Ok;
      escape = QMessageBox::Ok;
      break;
    case MessageButtons::okCancel:
      set = QMessageBox::Ok | QMessageBox::Cancel;
      escape = QMessageBox::Cancel;
      break;
    case MessageButtons::yesNo:
      set = QMessageBox::Yes | QMessageBox::No;
      escape = QMessageBox::No;
      break;
    case MessageButtons::yesNoCancel:
      set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
      escape = QMessageBox::Cancel;
      break;
    case MessageButtons::retryCancel:
      set = QMessageBox::Retry | QMessageBox::Cancel;
      escape = QMessageBox::Cancel;
      break;
  }
  box.setStandardButtons(set);
  box.setEscapeButton(escape);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return MessageAnswer::yes;
    case QMessageBox::No:
      return MessageAnswer::no;
    case QMessageBox::Retry:
      return MessageAnswer::retry;
    case QMessageBox::Cancel:
      return MessageAnswer::cancel;
    default:
      return MessageAnswer::ok;
  }
}

std::vector<std::string> QtUi::openFile(const FileFilter& filter, std::string_view startPath,
                                        bool multiple) {
  const KeysBackTo keys(parent_);
  std::unique_ptr<QFileDialog> dialog{makeDialog(parent_, filter, startPath)};
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setFileMode(multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  std::vector<std::string> chosen;
  if (dialog->exec() == QDialog::Accepted) {
    for (const QString& file : dialog->selectedFiles()) chosen.push_back(file.toStdString());
  }
  return chosen;
}

std::optional<std::string> QtUi::saveFile(const FileFilter& filter, std::string_view startPath,
                                          std::string_view defaultExtension) {
  const KeysBackTo keys(parent_);
  std::unique_ptr<QFileDialog> dialog{makeDialog(parent_, filter, startPath)};
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  dialog->setDefaultSuffix(text(defaultExtension));
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return std::nullopt;
  return dialog->selectedFiles().front().toStdString();
}

std::optional<std::uint32_t> QtUi::chooseColour(std::uint32_t initial,
                                                std::array<std::uint32_t, 16>& customColours) {
  const auto toQt = [](std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>(bgr >> 8 & 0xFF),
                  static_cast<int>(bgr >> 16 & 0xFF));
  };
  const auto fromQt = [](const QColor& c) {
    return static_cast<std::uint32_t>(c.blue()) << 16 | static_cast<std::uint32_t>(c.green()) << 8 |
           static_cast<std::uint32_t>(c.red());
  };
  // Qt keeps one row of custom colours for the whole program; it is loaded from the caller's
  // palette and read back after the dialog, so the palette file stays the one source.
  for (int i = 0; i < 16; ++i) QColorDialog::setCustomColor(i, toQt(customColours[i]));
  const KeysBackTo keys(parent_);
  QColorDialog dialog(toQt(initial), parent_);
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  for (int i = 0; i < 16; ++i) customColours[i] = fromQt(QColorDialog::customColor(i));
  if (!accepted) return std::nullopt;
  return fromQt(dialog.selectedColor());
}

void QtUi::modifiersDialog(ModifierValues& values,
                           const std::function<void(const ModifierValues&)>& accepted) {
  const KeysBackTo keys(parent_);
  ModifiersDialog dialog(values, accepted, parent_);
  dialog.exec();
}

}  // namespace tessarim
