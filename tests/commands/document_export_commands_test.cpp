#include "commands/document_export_commands.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "editor/status_text.hpp"
#include "equipment/motion.hpp"
#include "formats/assembly.hpp"
#include "formats/wld.hpp"
#include "support/editor_fixture.hpp"

namespace tessarim {
namespace {

// The fixture's assembly open as the editor leaves it after a frame: hull.wld placed at the
// origin and at (3, 0, 0), fin.wld (the same triangle 5 units along x) at the origin, all of
// class 1, without maps.
struct DocumentExport : ::testing::Test, testing::EditorFixture {
  DocumentExport() {
    ui.openResults.push_back({host("ships/boat.asm")});
    EXPECT_EQ(issueCommand(editor, cmd::open), CommandOutcome::done);
    motionStep(model, 0, 0, identityMatrix());
    ui.boxes.clear();
  }

  void select(std::vector<InstanceRef> list) {
    model.selection.currentModule = -2;
    model.selection.currentInstance = -1;
    model.selection.selectedInstances = std::move(list);
  }

  std::string documentBytes() { return formatAssembly(model, false).bytes; }
};

struct ExportWld : DocumentExport {};

Polygon triangle(std::uint32_t first) {
  Polygon p;
  p.sides = 3;
  p.vertexIndex = {first, first + 1, first + 2, 0};
  p.colour = {1, 1, 1, 1};
  p.texelAngle = p.texelAngle2 = -1;
  return p;
}

TEST_F(ExportWld, TheMergedMeshIsWrittenAndBecomesTheDocument) {
  select({{0, 1}, {1, 0}});
  ui.saveResults.push_back(host("meshes/merged.wld"));
  ASSERT_EQ(issueCommand(editor, cmd::exportWld), CommandOutcome::done);

  // The hull at 3 and the fin (5 along) less their average location 1.5, rounded to 2.
  Module expected;
  expected.vertices = {{1, 0, 0}, {2, 0, 0}, {1, 1, 0}, {3, 0, 0}, {4, 0, 0}, {3, 1, 0}};
  expected.polygons = {triangle(0), triangle(3)};
  expected.canvasWidth = expected.canvasHeight = 2048;
  expected.canvasWidth2 = expected.canvasHeight2 = 2048;
  expected.scaleClass = 1;
  EXPECT_EQ(read("meshes/merged.wld"), formatWld(expected));
  ASSERT_EQ(ui.saveCalls.size(), 1u);
  EXPECT_EQ(ui.saveCalls[0].filter.description, "Mesh files (*.wld)");
  EXPECT_EQ(ui.saveCalls[0].filter.pattern, "*.WLD");
  EXPECT_TRUE(ui.boxes.empty());

  // A single mesh now, saved, named by the chosen file.
  const Document& d = model.document;
  EXPECT_EQ(d.kind, DocumentKind::wldfile);
  EXPECT_EQ(d.wldfiles, 1);
  EXPECT_EQ(d.documentPath, "meshes\\merged.wld");
  EXPECT_EQ(d.module[0].filename, "meshes\\merged.wld");
  EXPECT_EQ(d.module[0].modified, 0);
  EXPECT_EQ(d.module[0].vertices.size(), 6u);
  EXPECT_EQ(d.module[0].polygons.size(), 2u);
  EXPECT_EQ(d.module[0].instances.size(), 1u);
  EXPECT_TRUE(d.module[1].filename.empty());
  EXPECT_FALSE(model.status.documentModified);
  EXPECT_EQ(model.selection.currentModule, 0);
  EXPECT_EQ(model.selection.currentInstance, 0);
  EXPECT_EQ(model.selection.currentPolygon, -1);
  EXPECT_TRUE(model.selection.selectedInstances.empty());
  EXPECT_TRUE(model.status.geometryDirty);
  EXPECT_EQ(windowTitleFor(model), "Tessarim - meshes\\merged.wld");
}

TEST_F(ExportWld, VariedMapsAndMixedClassesAreWarnedOfInOrder) {
  model.document.module[0].maps[textfile] = "maps\\hull.png";
  model.document.module[1].maps[textfile] = "maps\\fin.png";
  model.document.module[0].maps[detailfile] = "maps\\d1.png";
  model.document.module[1].maps[detailfile] = "maps\\d2.png";
  model.document.module[1].scaleClass = 3;
  select({{0, 0}, {1, 0}});
  ASSERT_EQ(issueCommand(editor, cmd::exportWld), CommandOutcome::refused);  // dialog cancelled

  const char* texts[] = {
      "We have two or more variations of the color map!",
      "We have two or more variations of the detail texture!",
      "We have to unassigned/legacy scale for the export because modules are of mixed scales!"};
  ASSERT_EQ(ui.boxes.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ui.boxes[i].text, texts[i]);
    EXPECT_EQ(ui.boxes[i].caption, "Export warning!");
    EXPECT_EQ(ui.boxes[i].icon, MessageIcon::warning);
    EXPECT_EQ(ui.boxes[i].buttons, MessageButtons::ok);
  }
}

TEST_F(ExportWld, CancellingLeavesTheDocumentWithTheCurrentInstanceSelected) {
  model.selection.currentModule = 1;
  model.selection.currentInstance = 0;
  const std::string before = documentBytes();
  EXPECT_EQ(issueCommand(editor, cmd::exportWld), CommandOutcome::refused);

  EXPECT_EQ(documentBytes(), before);
  EXPECT_TRUE(isAssembly(model.document));
  EXPECT_EQ(model.document.documentPath, "ships\\boat.asm");
  ASSERT_EQ(model.selection.selectedInstances.size(), 1u);
  EXPECT_EQ(model.selection.selectedInstances[0].module, 1);
  EXPECT_EQ(model.selection.selectedInstances[0].instance, 0);
}

// The assembly has unsaved edits: they are offered for saving before it is replaced, and
// cancelling keeps it as it is.
TEST_F(ExportWld, UnsavedEditsAreOfferedForSavingFirst) {
  model.document.module[0].instances[1].location = {4, 0, 0};
  model.status.documentModified = true;
  select({{0, 1}, {1, 0}});
  ui.saveResults.push_back(host("meshes/merged.wld"));
  ui.answers.push_back(MessageAnswer::cancel);
  EXPECT_EQ(issueCommand(editor, cmd::exportWld), CommandOutcome::refused);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Save changes to ships\\boat.asm?");
  EXPECT_EQ(ui.boxes[0].buttons, MessageButtons::yesNoCancel);
  EXPECT_TRUE(isAssembly(model.document));
  EXPECT_TRUE(model.status.documentModified);
  EXPECT_FALSE(std::filesystem::exists(root / "meshes/merged.wld"));

  // Yes saves the assembly, then the export goes on.
  ui.saveResults.push_back(host("meshes/merged.wld"));
  ui.answers.push_back(MessageAnswer::yes);
  EXPECT_EQ(issueCommand(editor, cmd::exportWld), CommandOutcome::done);
  EXPECT_NE(read("ships/boat.asm").find("4.000000 ,0.000000 ,0.000000 ,"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(root / "meshes/merged.wld"));
  EXPECT_EQ(model.document.kind, DocumentKind::wldfile);
}

TEST_F(ExportWld, AFailedWriteIsShownAndTheMergedMeshStaysOpenUnsaved) {
  select({{0, 1}, {1, 0}});
  ui.saveResults.push_back(host("missing/merged.wld"));
  ui.answers = {MessageAnswer::retry, MessageAnswer::cancel};
  EXPECT_EQ(issueCommand(editor, cmd::exportWld), CommandOutcome::done);

  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[1].text,
            "No such file or directory error when saving the following file...\n\n" +
                host("missing/merged.wld"));
  EXPECT_EQ(ui.boxes[1].caption, "File not saved!");
  EXPECT_EQ(ui.boxes[1].buttons, MessageButtons::retryCancel);
  EXPECT_EQ(model.document.kind, DocumentKind::wldfile);
  EXPECT_EQ(model.document.documentPath, "missing\\merged.wld");
  EXPECT_EQ(model.document.module[0].polygons.size(), 2u);
  EXPECT_EQ(model.document.module[0].modified, 1);
}

// The merged mesh is a record of its own until it replaces the document: a full module table
// is merged like any other.
TEST_F(ExportWld, AFullModuleTableMerges) {
  Document& d = model.document;
  for (int m = d.wldfiles; m < maxModules; ++m) {
    d.module[m] = d.module[m % 2];
    d.module[m].filename = "meshes\\copy" + std::to_string(m) + ".wld";
  }
  d.wldfiles = maxModules;
  select({{0, 0}, {maxModules - 1, 0}});
  ui.saveResults.push_back(host("meshes/merged.wld"));
  ASSERT_EQ(issueCommand(editor, cmd::exportWld), CommandOutcome::done);
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_EQ(d.wldfiles, 1);
  EXPECT_EQ(d.module[0].polygons.size(), 2u);
  EXPECT_EQ(d.module[0].modified, 0);
}

struct ExportAsm : DocumentExport {
  // The assembly at relative, read as the editor reads one.
  std::unique_ptr<Model> readBack(const std::string& relative) {
    auto back = std::make_unique<Model>();
    back->document.kind = DocumentKind::asmfile;
    back->document.documentPath = relative;
    Session s{*back, repository, readingUi, store, clock};
    EXPECT_TRUE(readAssembly(s));
    return back;
  }

  const Instance& instance(int m, int i) { return model.document.module[m].instances[i]; }

  testing::ScriptedUi readingUi;
};

TEST_F(ExportAsm, TheMultiSelectedInstancesAreWrittenAndTheDocumentIsUntouched) {
  select({{1, 0}, {0, 1}});
  const std::string before = documentBytes();
  const Selection selection = model.selection;
  ui.saveResults.push_back(host("ships/part.asm"));
  ASSERT_EQ(issueCommand(editor, cmd::exportAsm), CommandOutcome::done);
  EXPECT_EQ(ui.saveCalls.at(0).filter.description, "Assembler files (*.asm)");
  EXPECT_EQ(ui.saveCalls.at(0).filter.pattern, "*.ASM");

  auto back = readBack("ships\\part.asm");
  const Document& d = back->document;
  ASSERT_EQ(d.wldfiles, 2);
  EXPECT_EQ(d.module[0].filename, "meshes\\fin.wld");
  EXPECT_EQ(d.module[1].filename, "meshes\\hull.wld");
  ASSERT_EQ(d.module[0].instances.size(), 1u);
  ASSERT_EQ(d.module[1].instances.size(), 1u);
  EXPECT_EQ(d.module[0].instances[0].guid, instance(1, 0).guid);
  EXPECT_EQ(d.module[1].instances[0].guid, instance(0, 1).guid);
  EXPECT_EQ(d.module[1].instances[0].location, (std::array<float, 3>{3, 0, 0}));
  EXPECT_EQ(d.lightCount, 0);
  EXPECT_TRUE(readingUi.boxes.empty());

  EXPECT_EQ(documentBytes(), before);
  EXPECT_EQ(model.document.documentPath, "ships\\boat.asm");
  EXPECT_FALSE(model.status.documentModified);
  ASSERT_EQ(model.selection.selectedInstances.size(), 2u);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(model.selection.selectedInstances[i].module, selection.selectedInstances[i].module);
    EXPECT_EQ(model.selection.selectedInstances[i].instance,
              selection.selectedInstances[i].instance);
  }
  EXPECT_EQ(windowTitleFor(model), "Tessarim - ships\\boat.asm");
}

TEST_F(ExportAsm, TheBrowsedGroupIsWrittenWhateverIsSelected) {
  model.document.module[0].instances[0].group = 5;
  model.document.module[0].instances[1].group = 7;
  model.document.module[1].instances[0].group = 5;
  select({{0, 1}, {1, 0}});
  model.selection.currentGroup = 5;
  ui.saveResults.push_back(host("ships/group.asm"));
  ASSERT_EQ(issueCommand(editor, cmd::exportAsm), CommandOutcome::done);

  auto back = readBack("ships\\group.asm");
  const Document& d = back->document;
  ASSERT_EQ(d.wldfiles, 2);
  EXPECT_EQ(d.module[0].filename, "meshes\\hull.wld");
  ASSERT_EQ(d.module[0].instances.size(), 1u);
  EXPECT_EQ(d.module[0].instances[0].guid, instance(0, 0).guid);
  EXPECT_EQ(d.module[1].filename, "meshes\\fin.wld");
  ASSERT_EQ(d.module[1].instances.size(), 1u);
  EXPECT_EQ(d.module[1].instances[0].guid, instance(1, 0).guid);
  EXPECT_EQ(model.selection.currentGroup, 5);
}

TEST_F(ExportAsm, CancellingWritesNothingAndAFailedWriteIsReported) {
  select({{0, 0}, {1, 0}});
  EXPECT_EQ(issueCommand(editor, cmd::exportAsm), CommandOutcome::refused);

  ui.saveResults.push_back(host("missing/part.asm"));
  ui.answers = {MessageAnswer::retry, MessageAnswer::cancel};
  const std::string before = documentBytes();
  EXPECT_EQ(issueCommand(editor, cmd::exportAsm), CommandOutcome::done);
  ASSERT_EQ(ui.boxes.size(), 2u);
  for (const auto& box : ui.boxes) {
    EXPECT_EQ(box.text,
              "No such file or directory error when saving the following file...\n\n"
              "\"missing\\part.asm\"");
    EXPECT_EQ(box.caption, "File not saved!");
    EXPECT_EQ(box.icon, MessageIcon::warning);
    EXPECT_EQ(box.buttons, MessageButtons::retryCancel);
  }
  EXPECT_FALSE(std::filesystem::exists(root / "missing"));
  EXPECT_EQ(documentBytes(), before);
  EXPECT_FALSE(model.status.documentModified);
}

}  // namespace
}  // namespace tessarim
