#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <functional>

#include "qt_settings_store.hpp"
#include "qt_ui.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

// Runs `act` on the next modal widget once it is shown.
void whenModal(std::function<void(QWidget*)> act) {
  auto* poll = new QTimer;
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, [poll, act] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      poll->stop();
      poll->deleteLater();
      act(modal);
    }
  });
  poll->start();
}

TEST(QtUi, MessageBoxShowsTheExactTextCaptionIconAndButtons) {
  QtUi ui;
  QString title, text;
  QMessageBox::Icon icon{};
  QMessageBox::StandardButtons buttons;
  whenModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_TRUE(box);
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    buttons = box->standardButtons();
    box->button(QMessageBox::No)->click();
  });
  const auto answer = ui.messageBox("Save changes to ships\\a.asm?", "TESSARIM",
                                    MessageIcon::question, MessageButtons::yesNoCancel);
  EXPECT_EQ(answer, MessageAnswer::no);
  EXPECT_EQ(title, "TESSARIM");
  EXPECT_EQ(text, "Save changes to ships\\a.asm?");
  EXPECT_EQ(icon, QMessageBox::Question);
  EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

TEST(QtUi, OpenDialogStartsInTheGivenFolderAndMatchesAnyLetterCase) {
  testing::TempRepo repo;
  const auto upper = repo.write("ships/A.ASM", "ASM");
  const auto lower = repo.write("ships/b.asm", "ASM");
  repo.write("ships/notes.txt", "x");
  QtUi ui;
  QStringList listed;
  QString filter;
  whenModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_TRUE(dialog);
    filter = dialog->selectedNameFilter();
    EXPECT_EQ(dialog->directory().absolutePath().toStdString(), (repo.root / "ships").string());
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_TRUE(name);
    name->setText(QString::fromStdString(lower.string()));
    QTest::keyClick(name, Qt::Key_Return);
  });
  const auto chosen = ui.openFile({"Supported files (*.wld,*.asm,*.cty)", "*.WLD;*.ASM;*.CTY"},
                                  (repo.root / "ships").string() + "/", false);
  ASSERT_EQ(chosen.size(), 1u);
  EXPECT_EQ(chosen[0], lower.string());
  EXPECT_TRUE(filter.startsWith("Supported files (*.wld,*.asm,*.cty)"));
  EXPECT_EQ(caseFreePatterns("*.WLD;*.ASM"), "*.[wW][lL][dD] *.[aA][sS][mM]");
}

TEST(QtUi, SaveDialogAddsTheDefaultExtensionAndCancelGivesNothing) {
  testing::TempRepo repo;
  QtUi ui;
  whenModal([&](QWidget* modal) {
    auto* name = modal->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_TRUE(name);
    name->setText("fresh");
    QTest::keyClick(name, Qt::Key_Return);
  });
  auto chosen = ui.saveFile({"Mesh files (*.wld)", "*.WLD"}, repo.root.string(), "wld");
  ASSERT_TRUE(chosen);
  EXPECT_EQ(*chosen, (repo.root / "fresh.wld").string());

  whenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
  EXPECT_FALSE(ui.saveFile({"Mesh files (*.wld)", "*.WLD"}, repo.root.string(), "wld"));
}

TEST(QtUi, ColourChooserStartsAtTheColourAndHandsBackTheCustomRow) {
  QtUi ui;
  std::array<std::uint32_t, 16> custom{};
  for (std::uint32_t i = 0; i < 16; ++i) custom[i] = i * 0x010101;
  custom[2] = 0x00332211;  // 0x00BBGGRR: red 0x11, green 0x22, blue 0x33
  QColor shown, shownCustom;
  whenModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QColorDialog*>(modal);
    ASSERT_TRUE(dialog);
    shown = dialog->currentColor();
    shownCustom = QColorDialog::customColor(2);
    QColorDialog::setCustomColor(5, QColor(0x40, 0x50, 0x60));
    dialog->setCurrentColor(QColor(0x99, 0x66, 0x33));
    dialog->accept();
  });
  const auto chosen = ui.chooseColour(0x0071CEF9, custom);
  EXPECT_EQ(shown, QColor(0xF9, 0xCE, 0x71));
  EXPECT_EQ(shownCustom, QColor(0x11, 0x22, 0x33));
  ASSERT_TRUE(chosen);
  EXPECT_EQ(*chosen, 0x00336699u);
  EXPECT_EQ(custom[5], 0x00605040u);

  // Cancelled: nothing chosen, but an edited custom row still comes back.
  whenModal([](QWidget* modal) {
    QColorDialog::setCustomColor(6, QColor(1, 2, 3));
    qobject_cast<QDialog*>(modal)->reject();
  });
  EXPECT_FALSE(ui.chooseColour(0, custom));
  EXPECT_EQ(custom[6], 0x00030201u);
}

TEST(QtSettingsStore, ValuesKeepTheirTypeAndRecentNamesLiveUnderTheirKey) {
  {
    QtSettingsStore store;
    store.settings().clear();
    store.writeString(mainKey, "RepoPath", "/data/assets/");
    store.writeNumber(mainKey, "Background Color", 0xF9CE71);
    store.writeString(recentKey, "MRU\\ASM0", "ships\\a.asm");
  }
  QtSettingsStore store;  // a new instance reads what the last one wrote
  EXPECT_EQ(store.readString(mainKey, "RepoPath"), "/data/assets/");
  EXPECT_EQ(store.readNumber(mainKey, "Background Color"), 0xF9CE71u);
  EXPECT_FALSE(store.readNumber(mainKey, "RepoPath"));          // a string is not a number
  EXPECT_FALSE(store.readString(mainKey, "Background Color"));  // nor the other way round
  EXPECT_FALSE(store.readString(mainKey, "Missing"));
  EXPECT_EQ(store.readString(recentKey, "MRU\\ASM0"), "ships\\a.asm");
  EXPECT_FALSE(store.readString(mainKey, "MRU\\ASM0"));
  EXPECT_EQ(store.settings().organizationName(), "Quorvane Industries");
  EXPECT_EQ(store.settings().value("Background Color").toString(), "dword:00F9CE71");
}

}  // namespace
}  // namespace tessarim
