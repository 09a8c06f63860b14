#include <gtest/gtest.h>

#include <QImage>
#include <QMenuBar>
#include <QTest>
#include <filesystem>

#include "app/lifecycle.hpp"
#include "commands/editor.hpp"
#include "main_window.hpp"
#include "model/model.hpp"
#include "support/temp_repo.hpp"
#include "viewport.hpp"

namespace tessarim {
namespace {

// The sample repository copied, and the editor started on its assembly as the program does.
struct StartedEditor {
  StartedEditor() {
    std::filesystem::copy(TESSARIM_DEMO, repo.root, std::filesystem::copy_options::recursive);
    repo.store.writeString(mainKey, "RepoPath", repo.root.string() + "/");
    EXPECT_TRUE(startEditor(editor, (repo.root / "ships/crate-stack.asm").string()));
    window = std::make_unique<MainWindow>(editor);
    openStartupDocument(editor);
    bool drawn = false;
    window->viewport().onFirstFrame = [&drawn] { drawn = true; };
    window->frame();
    window->show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return drawn; }, 10000));
  }
  ~StartedEditor() { std::filesystem::current_path(saved); }

  std::filesystem::path saved = std::filesystem::current_path();
  testing::TempRepo repo;
  Editor editor{Session{repo.model, repo.ui, repo.store, repo.clock}};
  std::unique_ptr<MainWindow> window;
};

TEST(Viewport, ClearsToTheBackgroundColourScaledByAmbient) {
  StartedEditor started;
  EXPECT_EQ(started.window->windowTitle(), "Tessarim - ships\\crate-stack.asm");
  EXPECT_TRUE(started.repo.ui.boxes.empty()) << started.repo.ui.boxes[0].text;  // the sample is clean

  QImage frame = started.window->viewport().grabFramebuffer();
  ASSERT_FALSE(frame.isNull());
  const QRgb centre = frame.pixel(frame.width() / 2, frame.height() / 2);
  EXPECT_EQ(qRed(centre), 0xF9);
  EXPECT_EQ(qGreen(centre), 0xCE);
  EXPECT_EQ(qBlue(centre), 0x71);

  started.editor.frame.ambient = 0.5f;
  started.window->viewport().update();
  QTest::qWait(100);
  frame = started.window->viewport().grabFramebuffer();
  const QRgb dimmed = frame.pixel(frame.width() / 2, frame.height() / 2);
  EXPECT_EQ(qRed(dimmed), 0x7D);  // 249 x 0.5 = 124.5, rounded up
  EXPECT_EQ(qGreen(dimmed), 0x67);
  EXPECT_EQ(qBlue(dimmed), 0x39);

  // The window shows the frame opaque: its alpha (0 in this colour) must not let the window's
  // own background through.
  started.editor.frame.ambient = 1;
  started.window->viewport().update();
  QTest::qWait(100);
  const QImage window = started.window->grab().toImage();
  const QPoint middle = started.window->viewport().geometry().center();
  EXPECT_EQ(window.pixel(middle) & 0xFFFFFF, 0xF9CE71u);
  std::filesystem::create_directories(TESSARIM_SCREENSHOTS);
  window.save(QString(TESSARIM_SCREENSHOTS) + "/window.png");
}

}  // namespace
}  // namespace tessarim
