#include "editor/lifecycle.hpp"

#include <gtest/gtest.h>

#include "commands/command_numbers.hpp"
#include "commands/file_commands.hpp"
#include "editor/status_text.hpp"
#include "formats/file_io.hpp"
#include "support/editor_fixture.hpp"

namespace tessarim {
namespace {

using testing::EditorFixture;

// Start-up makes the repository the current directory; tests put the old one back.
struct KeepCurrentDirectory {
  std::filesystem::path saved = std::filesystem::current_path();
  ~KeepCurrentDirectory() { std::filesystem::current_path(saved); }
};

TEST(StartEditor, MissingOrUnusableRepositoryEndsTheProgramWithItsMessage) {
  KeepCurrentDirectory keep;
  EditorFixture f;
  EXPECT_FALSE(startEditor(f.editor, ""));
  f.store.writeString(mainKey, "RepoPath", (f.root / "missing").string());
  EXPECT_FALSE(startEditor(f.editor, ""));
  ASSERT_EQ(f.ui.boxes.size(), 2u);
  EXPECT_EQ(f.ui.boxes[0].text, "Could not find RepoPath registry entry value!");
  EXPECT_EQ(f.ui.boxes[1].text, "Could not change to the RepoPath folder!");
  for (const auto& box : f.ui.boxes) {
    EXPECT_EQ(box.caption, "Tessarim");
    EXPECT_EQ(box.icon, MessageIcon::error);
  }
}

TEST(StartEditor, ReadsSettingsAndOpensTheQuotedCommandLineDocument) {
  KeepCurrentDirectory keep;
  EditorFixture f;
  f.store.writeString(mainKey, "RepoPath", f.root.string() + "/");
  f.store.writeNumber(mainKey, "Background Color", 0x123456);
  f.store.writeNumber(mainKey, "Tracks", 40);
  f.store.writeNumber(mainKey, "Edit History MB", 64);
  f.store.writeString(mainKey, "Sunlight Color", "not a number");  // another type: the default
  f.store.writeString(recentKey, "MRU\\WLD0", "meshes\\hull.wld");
  f.store.writeString(recentKey, "MRU\\WLD1", "meshes\\fin.wld");

  ASSERT_TRUE(startEditor(f.editor, "\"" + f.host("ships/boat.asm") + "\" ignored"));
  EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical(f.root));
  EXPECT_TRUE(isAssembly(f.model.document));
  EXPECT_EQ(f.model.document.documentPath, "ships\\boat.asm");
  EXPECT_EQ(f.editor.user.backgroundColor, 0x123456u);
  EXPECT_EQ(f.editor.user.sunlightColor, 0xFFFFFFu);
  EXPECT_EQ(f.editor.tracks, 40u);
  EXPECT_EQ(f.editor.history.limit(), std::size_t{64} << 20);

  openStartupDocument(f.editor);
  EXPECT_EQ(f.model.document.wldfiles, 2);
  EXPECT_EQ(windowTitleFor(f.editor.model()), "Tessarim - ships\\boat.asm");
  ASSERT_EQ(f.editor.recent.wld.entries.size(), 2u);
  EXPECT_EQ(f.editor.recent.wld.entries[0].name, "meshes\\hull.wld");
  EXPECT_EQ(f.editor.recent.asmList.entries.at(0).name, "ships\\boat.asm");
}

TEST(OpenRecent, AFailedMeshEntryIsRemovedAndACityIdOpensACity) {
  EditorFixture f;
  addRecent(f.editor, cmd::recentWldFirst, "meshes\\gone.wld", true);
  addRecent(f.editor, cmd::recentWldFirst, "meshes\\hull.wld", true);
  const int gone = f.editor.recent.wld.entries[1].commandId;
  EXPECT_TRUE(openRecent(f.editor, gone));
  ASSERT_EQ(f.editor.recent.wld.entries.size(), 1u);
  EXPECT_EQ(f.editor.recent.wld.entries[0].name, "meshes\\hull.wld");
  EXPECT_EQ(f.store.readString(recentKey, "MRU\\WLD0"), "meshes\\hull.wld");
  EXPECT_EQ(f.model.document.wldfiles, 0);
  EXPECT_EQ(f.ui.boxes.at(0).caption, "File not loaded!");

  EXPECT_TRUE(openRecent(f.editor, f.editor.recent.wld.entries[0].commandId));
  EXPECT_EQ(f.model.document.wldfiles, 1);
  EXPECT_EQ(windowTitleFor(f.editor.model()), "Tessarim - meshes\\hull.wld");

  // A city made here, then listed under the same name in the assembly list too.
  std::filesystem::create_directories(f.root / "towns");
  f.ui.saveResults.push_back(f.host("towns/t.cty"));
  f.model.document.module[0].modified = 0;
  ASSERT_TRUE(newDocument(f.editor, f.none));
  addRecent(f.editor, cmd::recentAsmFirst, "towns\\t.cty", false);
  ASSERT_TRUE(closeDocument(f.editor, f.none));
  f.model.document.kind = DocumentKind::wldfile;
  EXPECT_TRUE(openRecent(f.editor, f.editor.recent.cty.entries[0].commandId));
  EXPECT_TRUE(isCity(f.model.document));
  EXPECT_FALSE(isAssembly(f.model.document));
  EXPECT_EQ(f.model.selection.currentModule, f.model.document.wldfiles - 1);
}

TEST(OutsideChanges, ModuleChangedElsewhereIsReadAgainOnTheNextTickWithoutFocus) {
  EditorFixture f;
  f.ui.openResults.push_back({f.host("ships/boat.asm")});
  ASSERT_TRUE(openDocument(f.editor, f.none));
  f.model.status.geometryDirty = false;

  f.touch("meshes/fin.wld", testing::triangleWld(9));
  f.editor.window.hasFocus = true;
  timerTick(f.editor);  // with the focus, the check waits
  EXPECT_EQ(f.model.document.module[1].vertices[0].x, 5);

  f.editor.window.hasFocus = false;
  timerTick(f.editor);
  EXPECT_EQ(f.model.document.module[1].vertices[0].x, 9);
  EXPECT_EQ(f.model.document.module[1].instances.size(), 1u);
  EXPECT_TRUE(f.model.status.geometryDirty);
  EXPECT_TRUE(f.ui.boxes.empty());  // nothing unsaved was lost

  f.model.document.module[1].modified = 1;
  f.touch("meshes/fin.wld", testing::triangleWld(11));
  timerTick(f.editor);
  ASSERT_EQ(f.ui.boxes.size(), 1u);
  EXPECT_EQ(f.ui.boxes[0].text,
            "The following file has been modified outside of TESSARIM...\n\nmeshes\\fin.wld\n\n"
            "Any unsaved changes to that file have been lost.");
  EXPECT_EQ(f.ui.boxes[0].caption, "Modification Detected");
  EXPECT_EQ(f.ui.boxes[0].icon, MessageIcon::information);
  EXPECT_EQ(f.model.document.module[1].vertices[0].x, 11);
}

TEST(OutsideChanges, LiveUpdatesDropAMissingMapButLeaveANameOutsideTheRepository) {
  EditorFixture f;
  f.ui.openResults.push_back({f.host("ships/boat.asm")});
  ASSERT_TRUE(openDocument(f.editor, f.none));
  f.model.settings.view.liveUpdates = true;
  f.model.status.modulesReloaded = false;
  f.model.document.module[0].maps[textfile] = "textures\\gone.png";
  f.model.document.module[0].maps[lightfile] = "..\\elsewhere\\light.png";
  checkOutsideChanges(f.editor);
  EXPECT_EQ(f.model.document.module[0].maps[textfile],
            "");  // missing: dropped, as Live Updates does
  EXPECT_EQ(f.model.document.module[0].maps[lightfile], "..\\elsewhere\\light.png");
}

TEST(OutsideChanges, DocumentChangedElsewhereIsReadAgainAndABusyEditorWaits) {
  EditorFixture f;
  f.ui.openResults.push_back({f.host("ships/boat.asm")});
  ASSERT_TRUE(openDocument(f.editor, f.none));
  f.model.document.module[0].instances.pop_back();
  f.model.status.documentModified = true;
  f.touch("ships/boat.asm", f.read("ships/boat.asm"));

  f.editor.window.busy = true;
  checkOutsideChanges(f.editor);
  EXPECT_EQ(f.model.document.module[0].instances.size(), 1u);
  f.editor.window.busy = false;

  focusChanged(f.editor, true);  // gaining the focus checks too
  EXPECT_TRUE(f.editor.window.hasFocus);
  EXPECT_EQ(f.model.document.module[0].instances.size(), 2u);
  ASSERT_EQ(f.ui.boxes.size(), 1u);
  EXPECT_EQ(f.ui.boxes[0].text,
            "The following file has been modified outside of TESSARIM...\n\nships\\boat.asm\n\n"
            "Any changes you just made have been lost.");
}

TEST(OutsideChanges, WindowColourMapIsReadAgainWhenItChangesOrAppears) {
  EditorFixture f;
  f.editor.user.windowColormap = "maps\\windows.png";
  const auto check = [&] {
    f.model.status.texturesLoaded = true;
    checkOutsideChanges(f.editor);
    return f.model.status.texturesLoaded;
  };
  EXPECT_TRUE(check()) << "missing before and still missing: no reload every tick";

  f.write("maps/windows.png", "first");
  EXPECT_FALSE(check()) << "a map that appears is read";
  EXPECT_EQ(f.editor.user.windowColormapTime, 0);

  f.editor.user.windowColormapTime = *fileModificationTime(f.host("maps/windows.png"));
  EXPECT_TRUE(check()) << "unchanged since the pass read it";
  f.touch("maps/windows.png", "second");
  EXPECT_FALSE(check());

  f.editor.user.windowColormapTime = *fileModificationTime(f.host("maps/windows.png"));
  std::filesystem::remove(f.host("maps/windows.png"));
  EXPECT_FALSE(check()) << "a map that vanished is dropped";
}

TEST(TimerTick, TracksCountsWholeSecondsAndSmacksCountsActiveTicks) {
  EditorFixture f;
  f.editor.window.hasFocus = true;
  f.clock.now = 1000;
  f.editor.lastTickMilliseconds = 1000;
  f.editor.tracks = 7;
  f.clock.now = 3500;
  timerTick(f.editor);
  EXPECT_EQ(f.store.readNumber(mainKey, "Tracks"), 9u);
  EXPECT_FALSE(f.store.readNumber(mainKey, "Smacks"));  // no command, nothing written

  f.clock.now = 4100;  // the half second carried makes this a whole one
  f.editor.commandActivity = true;
  timerTick(f.editor);
  EXPECT_EQ(f.store.readNumber(mainKey, "Tracks"), 10u);
  EXPECT_EQ(f.store.readNumber(mainKey, "Smacks"), 1u);
  EXPECT_FALSE(f.editor.commandActivity);
}

TEST(WindowClosing, CancelKeepsTheWindowAndExitOnlyAsks) {
  EditorFixture f;
  f.ui.openResults.push_back({f.host("ships/boat.asm")});
  ASSERT_TRUE(openDocument(f.editor, f.none));
  f.model.status.documentModified = true;
  EXPECT_TRUE(exitProgram(f.editor, f.none));
  EXPECT_TRUE(f.editor.closeRequested);
  EXPECT_TRUE(f.ui.boxes.empty());  // Exit only asks the window to close
  f.ui.answers.push_back(MessageAnswer::cancel);
  EXPECT_FALSE(windowClosing(f.editor));
  EXPECT_TRUE(f.model.status.documentModified);
  f.ui.answers.push_back(MessageAnswer::no);
  EXPECT_TRUE(windowClosing(f.editor));
}

}  // namespace
}  // namespace tessarim
