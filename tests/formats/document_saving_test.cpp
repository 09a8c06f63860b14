#include "formats/document_saving.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "formats/assembly.hpp"
#include "formats/wld.hpp"
#include "support/documents.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

namespace fs = std::filesystem;
using testing::TempRepo;

// Two meshes and the assembly placing them, all modified, with the files as they were before.
struct SavedAssembly : TempRepo {
  SavedAssembly() {
    write("meshes/hull.wld", "old hull");
    write("meshes/mast.wld", "old mast");
    write("ships/boat.asm", "old boat");
    model.document.kind = DocumentKind::asmfile;
    model.document.documentPath = "ships\\boat.asm";
    for (const char* name : {"meshes\\hull.wld", "meshes\\mast.wld"}) {
      Module& m = model.document.module[model.document.wldfiles++];
      m.filename = name;
      m.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
      m.modified = 1;
      m.instances.emplace_back();
    }
    model.status.documentModified = true;
  }
  bool untouched() const {
    return read("meshes/hull.wld") == "old hull" && read("meshes/mast.wld") == "old mast" &&
           read("ships/boat.asm") == "old boat" && testing::filesIn(root / "meshes").size() == 2 &&
           testing::filesIn(root / "ships").size() == 1;
  }
};

TEST(DocumentSaving, AMemberThatCannotBeWrittenLeavesEveryFileAsItWas) {
  SavedAssembly repo;
  fs::permissions(repo.root / "meshes/mast.wld", fs::perms::owner_read);
  repo.ui.answers = {MessageAnswer::cancel};
  EXPECT_FALSE(writeAssembly(repo.session, true, false));
  ASSERT_EQ(repo.ui.boxes.size(), 1u);
  EXPECT_EQ(repo.ui.boxes[0].text, "Permission denied error when saving the following file...\n\n" +
                                       (repo.root / "meshes/mast.wld").string());
  EXPECT_TRUE(repo.untouched());
  EXPECT_TRUE(repo.model.status.documentModified);
  EXPECT_EQ(repo.model.document.module[0].modified, 1);  // nothing of the set was saved
  EXPECT_EQ(repo.session.writes.failed,
            (std::vector<std::string>{"meshes\\hull.wld", "meshes\\mast.wld", "ships\\boat.asm"}));
  EXPECT_TRUE(repo.session.writes.written.empty());
}

TEST(DocumentSaving, RetryWritesTheWholeSet) {
  SavedAssembly repo;
  testing::MendingUi ui;
  Session session{repo.model, repo.repository, ui, repo.store, repo.clock};
  fs::permissions(repo.root / "meshes/mast.wld", fs::perms::owner_read);
  ui.mend = [&] {
    fs::permissions(repo.root / "meshes/mast.wld", fs::perms::owner_read | fs::perms::owner_write);
  };
  ui.answers = {MessageAnswer::retry};
  ASSERT_TRUE(writeAssembly(session, true, false));
  EXPECT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(repo.read("meshes/mast.wld"), formatWld(repo.model.document.module[1]));
  EXPECT_EQ(repo.read("meshes/hull.wld"), formatWld(repo.model.document.module[0]));
  EXPECT_EQ(repo.read("ships/boat.asm"), formatAssembly(repo.model, false).bytes);
  EXPECT_FALSE(repo.model.status.documentModified);
  EXPECT_EQ(repo.model.document.module[1].modified, 0);
  EXPECT_EQ(session.writes.written,
            (std::vector<std::string>{"meshes\\hull.wld", "meshes\\mast.wld", "ships\\boat.asm"}));
}

TEST(DocumentSaving, AFileThatEndedEarlyIsWrittenOnlyWhenTheUserSaysSo) {
  SavedAssembly repo;
  noteReadShort(repo.model, "meshes\\mast.wld", "ends early: 3 of 6 polygons");
  repo.model.document.module[0].modified = 0;  // only the short mesh and the document change
  const std::string question =
      "These files ended early when they were read:\n\nmeshes\\mast.wld: ends early: 3 of 6 "
      "polygons\n\nSaving writes only what was read of them. Save anyway?";

  repo.ui.answers = {MessageAnswer::no};
  EXPECT_FALSE(writeAssembly(repo.session, true, false));
  ASSERT_EQ(repo.ui.boxes.size(), 1u);
  EXPECT_EQ(repo.ui.boxes[0].text, question);
  EXPECT_EQ(repo.ui.boxes[0].caption, "Content will be lost!");
  EXPECT_TRUE(repo.untouched());

  // A mesh not written loses nothing: the question names only what the save writes.
  repo.model.document.module[1].modified = 0;
  repo.ui.boxes.clear();
  ASSERT_TRUE(writeAssembly(repo.session, true, false));
  EXPECT_TRUE(repo.ui.boxes.empty());
  EXPECT_EQ(repo.read("meshes/mast.wld"), "old mast");

  repo.model.document.module[1].modified = 1;
  repo.ui.answers = {MessageAnswer::yes};
  ASSERT_TRUE(writeWld(repo.session, 1));
  EXPECT_EQ(repo.ui.boxes.at(0).text, question);
  EXPECT_EQ(repo.read("meshes/mast.wld"), formatWld(repo.model.document.module[1]));
  EXPECT_TRUE(repo.model.status.readShort.empty());  // the file holds what the mesh holds now
}

TEST(DocumentSaving, ASessionNobodyCanAskNeverWritesADocumentThatLostContent) {
  for (const bool droppedEntry : {true, false}) {
    SavedAssembly repo;
    repo.session.lostContent = LostContent::refuse;
    if (droppedEntry)
      repo.model.status.droppedOnLoad = {"meshes\\lost.wld (1 instance)"};
    else
      noteReadShort(repo.model, "meshes\\hull.wld", "ends early: 0 of 1 lights");
    repo.ui.answers = {MessageAnswer::yes, MessageAnswer::yes};
    EXPECT_FALSE(writeAssembly(repo.session, true, false));
    EXPECT_FALSE(writeWld(repo.session, 1));  // a mesh of it on its own too
    ASSERT_EQ(repo.ui.boxes.size(), 2u);
    EXPECT_EQ(repo.ui.boxes[0].caption, "File not saved!");
    EXPECT_EQ(repo.ui.boxes[0].buttons, MessageButtons::ok);
    EXPECT_EQ(repo.ui.boxes[0].text,
              std::string{"Loading lost content of \"ships\\boat.asm\":\n\n"} +
                  (droppedEntry ? "meshes\\lost.wld (1 instance)"
                                : "meshes\\hull.wld: ends early: 0 of 1 lights") +
                  "\n\nNothing was written: a batch run never saves a document without what "
                  "loading lost.");
    EXPECT_TRUE(repo.untouched());
    EXPECT_EQ(repo.session.writes.failed.size(), 4u);
  }
}

}  // namespace
}  // namespace tessarim
