#include "commands/file_commands.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "editor/lifecycle.hpp"
#include "editor/status_text.hpp"
#include "support/editor_fixture.hpp"
#include "support/memory_limit.hpp"

namespace tessarim {
namespace {

using testing::EditorFixture;

void openFile(EditorFixture& f, const std::string& relative) {
  f.ui.openResults.push_back({f.host(relative)});
  ASSERT_TRUE(openDocument(f.editor, f.none));
}

TEST(OpenDocument, EachKindEntersItsState) {
  EditorFixture f;
  openFile(f, "meshes/hull.wld");
  Model& model = f.model;
  EXPECT_FALSE(placesModules(model.document));
  EXPECT_EQ(model.document.documentPath, "meshes\\hull.wld");
  EXPECT_EQ(model.document.wldfiles, 1);
  EXPECT_EQ(model.document.module[0].polygons.size(), 1u);
  ASSERT_EQ(model.document.module[0].instances.size(), 1u);
  EXPECT_FALSE(model.document.module[0].instances[0].guid.isNull());
  EXPECT_EQ(windowTitleFor(f.editor.model()), "Tessarim - meshes\\hull.wld");
  EXPECT_EQ(model.selection.currentModule, 0);
  EXPECT_EQ(model.selection.currentInstance, 0);
  EXPECT_EQ(f.editor.recent.wld.entries.at(0).name, "meshes\\hull.wld");

  openFile(f, "ships/boat.asm");
  EXPECT_TRUE(isAssembly(model.document));
  EXPECT_EQ(model.document.documentPath, "ships\\boat.asm");
  EXPECT_EQ(model.document.wldfiles, 2);
  EXPECT_EQ(model.document.module[0].instances.size(), 2u);
  EXPECT_EQ(model.selection.currentModule, -1);
  EXPECT_EQ(model.selection.currentInstance, -1);
  EXPECT_EQ(model.selection.currentGroup, -1);
  EXPECT_EQ(windowTitleFor(f.editor.model()), "Tessarim - ships\\boat.asm");
  EXPECT_TRUE(model.status.geometryDirty);
  EXPECT_TRUE(f.ui.boxes.empty()) << f.ui.boxes[0].text;
}

TEST(NewDocument, ACityIsWrittenWithItsGroundGridAndReopens) {
  EditorFixture f;
  f.ui.saveResults.push_back(f.host("towns/new.cty"));
  std::filesystem::create_directories(f.root / "towns");
  ASSERT_TRUE(newDocument(f.editor, f.none));
  Model& model = f.model;
  EXPECT_TRUE(isCity(model.document));
  EXPECT_EQ(model.document.documentPath, "towns\\new.cty");
  EXPECT_EQ(windowTitleFor(f.editor.model()), "Tessarim - towns\\new.cty");
  EXPECT_EQ(f.editor.recent.cty.entries.at(0).name, "towns\\new.cty");
  EXPECT_EQ(f.store.readString(recentKey, "MRU\\CTY0"), "towns\\new.cty");
  ASSERT_TRUE(std::filesystem::exists(f.root / "towns/new.cty"));

  ASSERT_TRUE(closeDocument(f.editor, f.none));
  openFile(f, "towns/new.cty");
  EXPECT_TRUE(isCity(model.document));
  EXPECT_GE(model.document.wldfiles, 1);
  EXPECT_EQ(model.selection.currentModule, model.document.wldfiles - 1);  // the ground grid
  EXPECT_EQ(model.selection.currentGroup, 0);
}

TEST(NewDocument, AMeshIsWrittenAtOnceAndCancellingTheDialogChangesNothing) {
  EditorFixture f;
  EXPECT_FALSE(newDocument(f.editor, f.none));  // dialog cancelled
  EXPECT_TRUE(f.model.document.documentPath.empty());

  f.ui.saveResults.push_back(f.host("meshes/blank.wld"));
  ASSERT_TRUE(newDocument(f.editor, f.none));
  EXPECT_EQ(f.model.document.module[0].filename, "meshes\\blank.wld");
  EXPECT_EQ(f.model.document.wldfiles, 1);
  EXPECT_TRUE(std::filesystem::exists(f.root / "meshes/blank.wld"));
  EXPECT_EQ(f.model.document.module[0].modified, 0);  // written
}

struct PromptCase {
  const char* name;
  MessageAnswer answer;
  bool proceeds;
  bool saved;
};

class SavePrompt : public ::testing::TestWithParam<PromptCase> {};

TEST_P(SavePrompt, AnswerDecidesWhetherTheEditIsSavedAndTheCloseProceeds) {
  const PromptCase& c = GetParam();
  EditorFixture f;
  openFile(f, "meshes/hull.wld");
  const std::string before = f.read("meshes/hull.wld");
  f.model.document.module[0].vertices[1].x = 7;
  f.model.document.module[0].modified = 1;
  f.ui.answers.push_back(c.answer);

  EXPECT_EQ(closeDocument(f.editor, f.none), c.proceeds);
  ASSERT_EQ(f.ui.boxes.size(), 1u);
  EXPECT_EQ(f.ui.boxes[0].text, "Save changes to meshes\\hull.wld?");
  EXPECT_EQ(f.ui.boxes[0].caption, "TESSARIM");
  EXPECT_EQ(f.ui.boxes[0].icon, MessageIcon::question);
  EXPECT_EQ(f.ui.boxes[0].buttons, MessageButtons::yesNoCancel);
  EXPECT_EQ(f.read("meshes/hull.wld") != before, c.saved);
  EXPECT_EQ(f.model.document.documentPath.empty(), c.proceeds);
  if (!c.proceeds) {
    EXPECT_EQ(f.model.document.module[0].vertices[1].x, 7);  // the edit is still there
  }
}

INSTANTIATE_TEST_SUITE_P(Answers, SavePrompt,
                         ::testing::Values(PromptCase{"Yes", MessageAnswer::yes, true, true},
                                           PromptCase{"No", MessageAnswer::no, true, false},
                                           PromptCase{"Cancel", MessageAnswer::cancel, false,
                                                      false}),
                         [](const auto& test) { return std::string{test.param.name}; });

TEST(SavePrompt, AFailedSaveCancelsTheCloseAndKeepsTheEdits) {
  EditorFixture f;
  openFile(f, "ships/boat.asm");
  f.model.status.documentModified = true;
  // The document's folder is gone, so the save cannot succeed.
  f.model.document.documentPath = "gone\\boat.asm";
  f.ui.answers = {MessageAnswer::yes, MessageAnswer::cancel};  // save, then give up retrying
  EXPECT_FALSE(closeDocument(f.editor, f.none));
  EXPECT_EQ(f.model.document.documentPath, "gone\\boat.asm");
  EXPECT_EQ(f.model.document.wldfiles, 2);
  EXPECT_TRUE(f.model.status.documentModified);
}

TEST(CloseDocument, WithoutADocumentNeverAsks) {
  EditorFixture f;
  f.model.status.documentModified = true;  // modified but nothing to save it to
  EXPECT_TRUE(closeDocument(f.editor, f.none));
  EXPECT_TRUE(f.ui.boxes.empty());
  EXPECT_FALSE(anythingModified(f.model));
  EXPECT_EQ(windowTitleFor(f.editor.model()), "Tessarim");
}

TEST(SaveDocumentAs, AMeshGetsItsNewNameAndTitle) {
  EditorFixture f;
  openFile(f, "meshes/hull.wld");
  f.ui.saveResults.push_back(f.host("meshes/copy.wld"));
  ASSERT_TRUE(saveDocumentAs(f.editor, f.none));
  EXPECT_EQ(f.read("meshes/copy.wld"), f.read("meshes/hull.wld"));
  EXPECT_EQ(f.model.document.module[0].filename, "meshes\\copy.wld");
  EXPECT_EQ(f.model.document.documentPath, "meshes\\copy.wld");
  EXPECT_EQ(windowTitleFor(f.editor.model()), "Tessarim - meshes\\copy.wld");
}

TEST(UndoChanges, RereadsOnlyModifiedModulesAndClampsTheSelection) {
  EditorFixture f;
  openFile(f, "ships/boat.asm");
  Model& model = f.model;
  model.document.module[1].vertices[0].x = 50;
  model.document.module[1].polygons.push_back(model.document.module[1].polygons[0]);
  model.document.module[1].modified = 1;
  model.document.module[0].vertices[0].x = 60;  // changed without the flag: not re-read
  model.selection.currentModule = 1;
  model.selection.currentInstance = 4;
  model.selection.currentPolygon = 1;
  model.selection.selectedPolygons = {0};

  ASSERT_TRUE(undoChanges(f.editor, f.none));
  EXPECT_EQ(model.document.module[1].vertices[0].x, 5);
  EXPECT_EQ(model.document.module[1].polygons.size(), 1u);
  EXPECT_EQ(model.document.module[1].instances.size(), 1u);  // instances belong to the document
  EXPECT_EQ(model.document.module[0].vertices[0].x, 60);
  EXPECT_EQ(model.selection.currentModule, 1);
  EXPECT_EQ(model.selection.currentInstance, 0);
  EXPECT_EQ(model.selection.currentPolygon, 0);
  EXPECT_TRUE(model.selection.selectedPolygons.empty());
}

TEST(UndoChanges, AModifiedDocumentIsReadAgain) {
  EditorFixture f;
  openFile(f, "ships/boat.asm");
  f.model.document.module[0].instances.pop_back();
  f.model.status.documentModified = true;
  f.model.selection.currentModule = 0;
  f.model.selection.currentInstance = 1;
  ASSERT_TRUE(undoChanges(f.editor, f.none));
  EXPECT_EQ(f.model.document.module[0].instances.size(), 2u);
  EXPECT_FALSE(f.model.status.documentModified);
  EXPECT_EQ(f.model.selection.currentInstance, 1);
}

TEST(SaveDocument, SavingWithoutAnEntryThatCouldNotBeLoadedIsAskedFirst) {
  EditorFixture f;
  const std::string original = f.read("ships/boat.asm");
  std::filesystem::remove(f.root / "meshes/fin.wld");
  openFile(f, "ships/boat.asm");  // the replacement dialog is cancelled: the entry is dropped
  ASSERT_EQ(f.model.document.wldfiles, 1);
  EXPECT_EQ(f.model.status.droppedOnLoad, std::vector<std::string>{"meshes\\fin.wld (1 instance)"});
  ASSERT_TRUE(f.model.status.documentModified);

  f.ui.boxes.clear();
  f.ui.answers = {MessageAnswer::no};
  saveDocument(f.editor, f.none);
  ASSERT_EQ(f.ui.boxes.size(), 1u);
  EXPECT_EQ(f.ui.boxes[0].caption, "Entries will be dropped!");
  EXPECT_EQ(f.ui.boxes[0].buttons, MessageButtons::yesNo);
  EXPECT_EQ(
      f.ui.boxes[0].text,
      "These embedded files could not be loaded:\n\nmeshes\\fin.wld (1 instance)\n\nSaving writes "
      "\"ships\\boat.asm\" without them and their instances. Save anyway?");
  EXPECT_EQ(f.read("ships/boat.asm"), original);
  EXPECT_TRUE(f.model.status.documentModified);

  f.ui.answers = {MessageAnswer::yes};
  saveDocument(f.editor, f.none);
  EXPECT_NE(f.read("ships/boat.asm"), original);
  EXPECT_FALSE(f.model.status.documentModified);
  EXPECT_TRUE(f.model.status.droppedOnLoad.empty());  // the file now holds what the document holds
}

TEST(OpenDocument, AFileThatIsNotAMeshLeavesNoDocumentToSaveOverIt) {
  EditorFixture f;
  f.write("meshes/notes.wld", "remember the milk\n");
  openFile(f, "meshes/notes.wld");
  EXPECT_EQ(f.model.document.wldfiles, 0);
  EXPECT_EQ(f.model.document.documentPath, "");
  EXPECT_EQ(windowTitleFor(f.editor.model()), "Tessarim");
  saveDocument(f.editor, f.none);
  EXPECT_EQ(f.read("meshes/notes.wld"), "remember the milk\n");
}

TEST(OpenDocument, RunningOutOfMemoryPutsTheOpenDocumentBack) {
  if (!testing::addressLimitWorks)
    GTEST_SKIP() << "address space limits do not work under the sanitizers";
  EditorFixture f;
  {
    std::ofstream out(f.root / "meshes/huge.wld", std::ios::binary);
    out << "2.32 \n8000000 ,\n";
    std::string lines;
    for (int i = 0; i < 1000; ++i) lines += "1,2,3,\n";
    for (int i = 0; i < 8000; ++i) out << lines;
  }
  openFile(f, "ships/boat.asm");
  f.model.document.module[0].instances[1].location = {9, 9, 9};  // an unsaved edit
  f.model.status.documentModified = true;
  f.ui.answers = {MessageAnswer::no};  // not saved before the open
  const std::string failure = testing::withAddressLimit(64 << 20, [&]() -> std::string {
    f.ui.boxes.clear();
    f.ui.openResults.push_back({f.host("meshes/huge.wld")});
    openDocument(f.editor, f.none);
    const Model& model = f.model;
    std::string problems;
    if (model.document.documentPath != "ships\\boat.asm" || !isAssembly(model.document) ||
        model.document.wldfiles != 2) {
      problems += "the document was not put back: " + model.document.documentPath + "\n";
    } else if (model.document.module[0].instances[1].location[0] != 9 ||
               !model.status.documentModified) {
      problems += "the unsaved edit was lost\n";
    }
    if (f.ui.boxes.empty() || f.ui.boxes.back().text !=
                                  "There is not enough memory to open the following "
                                  "file...\n\n" +
                                      f.host("meshes/huge.wld")) {
      problems += "no message about the memory\n";
    }
    return problems;
  });
  EXPECT_EQ(failure, "");
}

}  // namespace
}  // namespace tessarim
