#include "modifiers_dialog.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <map>
#include <vector>

#include "commands/modifiers_commands.hpp"
#include "qt_ui.hpp"

namespace tessarim {
namespace {

// Runs `act` on the next modal widget once it is shown; a modal `skip` is passed over.
void whenModal(std::function<void(QWidget*)> act, QWidget* skip = nullptr) {
  auto* poll = new QTimer;
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, [poll, act, skip] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != skip) {
      poll->stop();
      poll->deleteLater();
      act(modal);
    }
  });
  poll->start();
}

QPushButton* button(QWidget* dialog, const QString& text) {
  for (auto* b : dialog->findChildren<QPushButton*>()) {
    if (b->text() == text) return b;
  }
  return nullptr;
}

QCheckBox* box(QWidget* dialog, const QString& text) {
  for (auto* b : dialog->findChildren<QCheckBox*>()) {
    if (b->text() == text) return b;
  }
  return nullptr;
}

// Every edit's text by its name.
std::map<QString, QString> edits(QWidget* dialog) {
  std::map<QString, QString> out;
  for (auto* e : dialog->findChildren<QLineEdit*>()) out[e->objectName()] = e->text();
  return out;
}

const std::map<QString, QString> defaults{
    {"Scale X", "1.000000"},    {"Scale Y", "1.000000"},    {"Scale Z", "1.000000"},
    {"Scale U", "1.000000"},    {"Scale V", "1.000000"},    {"Offset X", "0.000000"},
    {"Offset Y", "0.000000"},   {"Offset Z", "0.000000"},   {"Offset U", "0.000000"},
    {"Offset V", "0.000000"},   {"Rotation X", "0.000000"}, {"Rotation Y", "0.000000"},
    {"Rotation Z", "0.000000"}, {"Canvas", "0.000000"},
};

TEST(ModifiersDialog, ShowsTheValuesAcceptsStayingOpenResetsAndCancels) {
  QtUi ui;
  ModifierValues stored;
  stored.sx = 2;
  stored.rx = modifierRadians(45);
  std::vector<ModifierValues> calls;
  bool openAfterAccept = false;
  QString title;
  QStringList groups;
  std::map<QString, QString> shown, afterReset;
  bool vertexShown = false, roundShown = true, roundAfterReset = false;

  whenModal([&](QWidget* dialog) {
    title = dialog->windowTitle();
    for (auto* g : dialog->findChildren<QGroupBox*>()) groups << g->title();
    shown = edits(dialog);
    QCheckBox* round = box(dialog, "Round");
    QCheckBox* vertex = box(dialog, "Vertex");
    QPushButton* accept = button(dialog, "Accept");
    QPushButton* reset = button(dialog, "Reset");
    QPushButton* cancel = button(dialog, "Cancel");
    if (!round || !vertex || !box(dialog, "Skew") || !accept || !reset || !cancel) {
      dialog->close();
      return;
    }
    vertexShown = vertex->isChecked();
    roundShown = round->isChecked();

    dialog->findChild<QLineEdit*>("Scale Y")->setText("3");
    dialog->findChild<QLineEdit*>("Offset U")->setText(" -0.5");
    dialog->findChild<QLineEdit*>("Rotation X")->setText("90");
    dialog->findChild<QLineEdit*>("Canvas")->setText("-30.0");
    round->setChecked(true);
    vertex->setChecked(false);
    accept->click();
    openAfterAccept = dialog->isVisible();

    reset->click();
    afterReset = edits(dialog);
    roundAfterReset = round->isChecked();
    QTest::keyClick(dialog->findChild<QLineEdit*>("Offset X"), Qt::Key_Return);
    cancel->click();
  });
  ui.modifiersDialog(stored, [&](const ModifierValues& v) { calls.push_back(v); });

  EXPECT_EQ(title, "Modifiers");
  EXPECT_EQ(groups, (QStringList{"Scale", "Offset", "Rotation"}));
  std::map<QString, QString> want = defaults;
  want["Scale X"] = "2.000000";
  want["Rotation X"] = QString::fromStdString(modifierAngleText(modifierRadians(45)));
  EXPECT_EQ(shown, want);
  EXPECT_TRUE(vertexShown);
  EXPECT_FALSE(roundShown);

  ASSERT_EQ(calls.size(), 2u) << "Accept and Return call back; Reset and Cancel do not";
  const ModifierValues& v = calls[0];
  EXPECT_EQ(v.sx, 2);
  EXPECT_EQ(v.sy, 3);
  EXPECT_EQ(v.ou, -0.5f);
  EXPECT_EQ(v.rx, modifierRadians(90));
  EXPECT_EQ(v.rc, modifierRadians(-30));
  EXPECT_TRUE(v.round);
  EXPECT_FALSE(v.vertex);
  EXPECT_TRUE(openAfterAccept);

  EXPECT_EQ(calls[1].sy, 1) << "Return accepts what Reset filled in";
  EXPECT_EQ(calls[1].rx, 0);
  EXPECT_TRUE(calls[1].round);
  EXPECT_EQ(afterReset, defaults);
  EXPECT_TRUE(roundAfterReset) << "Reset leaves the check boxes";
  EXPECT_EQ(stored.sy, 1) << "the stored numbers are reset too";
  EXPECT_EQ(stored.rx, 0);
  EXPECT_TRUE(stored.round);
}

// A number too large for the dialog (it would read as infinite) is named as such.
TEST(ModifiersDialog, AFieldThatIsNotANumberStopsTheAcceptWithAMessage) {
  const struct {
    const char* field;
    const char* text;
    const char* message;
  } cases[] = {
      {"Offset Z", "up", "Offset Z is not a number."},
      {"Scale Y", "-1e39", "Scale Y is too large a number."},
  };
  for (const auto& c : cases) {
    QtUi ui;
    ModifierValues stored;
    int calls = 0;
    QString message;
    QString focused;  // the selected text of the failing field
    whenModal([&](QWidget* dialog) {
      whenModal(
          [&](QWidget* modal) {
            if (auto* m = qobject_cast<QMessageBox*>(modal)) message = m->text();
            qobject_cast<QDialog*>(modal)->accept();
          },
          dialog);
      dialog->findChild<QLineEdit*>("Scale X")->setText("4");
      dialog->findChild<QLineEdit*>(c.field)->setText(c.text);
      QPushButton* accept = button(dialog, "Accept");
      if (accept) accept->click();  // shows the message and waits for it
      focused = dialog->findChild<QLineEdit*>(c.field)->selectedText();
      qobject_cast<QDialog*>(dialog)->reject();
    });
    ui.modifiersDialog(stored, [&](const ModifierValues&) { ++calls; });
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(stored.sx, 1) << "nothing is read when one field fails";
    EXPECT_EQ(focused, c.text) << "the field is selected for typing again";
  }
}

}  // namespace
}  // namespace tessarim
