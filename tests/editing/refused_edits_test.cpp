#include "editor/refused_edits.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "commands/menu_fixture.hpp"
#include "commands/modifiers_commands.hpp"
#include "editor/keyboard_edits.hpp"
#include "editor/pointer_edits.hpp"
#include "editor/polygon_entry.hpp"
#include "formats/assembly.hpp"
#include "formats/component_file.hpp"
#include "formats/wld.hpp"
#include "support/cli_run.hpp"
#include "support/polygons.hpp"
#include "support/saved_bytes.hpp"
#include "support/temp_repo.hpp"

namespace tessarim {
namespace {

constexpr float huge = 3e38f;

// What a save would write: every module's WLD text, the assembly (with its lights) and the
// component file (with its connectors).
using Saved = testing::SavedBytes;

// Every stored number of the records an edit may change, in order.
std::vector<float> numbers(const Model& model) {
  std::vector<float> n;
  const auto add = [&](const auto& values) { n.insert(n.end(), values.begin(), values.end()); };
  const Document& d = model.document;
  for (int m = 0; m < d.wldfiles; ++m) {
    for (const Vertex& v : d.module[m].vertices) add(std::array{v.x, v.y, v.z});
    for (const Polygon& p : d.module[m].polygons) {
      add(p.colour);
      for (const auto* set : {&p.texels, &p.texels2}) {
        for (const Texel& t : *set) add(std::array{t.u, t.v});
      }
      add(std::array{p.texelAngle, p.texelAngle2});
    }
    for (const Instance& t : d.module[m].instances) {
      add(t.location);
      add(t.orientation);
      add(t.endLocation);
      add(t.hingeAxis);
      add(t.hingeOffset);
      add(std::array{t.hingeAngle, t.extendRate, t.retractRate, t.volume});
    }
  }
  for (int i = 0; i < d.lightCount; ++i) add(d.lights[i].position);
  for (const Connector& c : d.connectors) {
    add(c.farEnd);
    add(c.nearEnd);
  }
  return n;
}

// An open assembly. meshes\box.wld (class 2, of the legacy scales; 256 x 256 canvases) holds a
// 10-unit quad and a triangle with generated texels and is placed once at the origin;
// meshes\lid.wld (class 1) holds a triangle placed once at (5, 6, 7). One light, one
// connector. The box and its instance are current.
struct Refusals : testing::MenuTest {
  Refusals() {
    openAssembly(2);
    Module& box = module(0);
    box.filename = "meshes\\box.wld";
    box.scaleClass = 2;
    box.canvasWidth = box.canvasHeight = box.canvasWidth2 = box.canvasHeight2 = 256;
    box.vertices = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}, {5, 5, 10}};
    box.polygons = {testing::face({0, 1, 2, 3}), testing::face({0, 1, 4})};
    for (Polygon& p : box.polygons) {
      for (int c = 0; c < 4; ++c) {
        const float t = static_cast<float>(c) / 4;
        p.texels[c] = {t, 1 - t};
      }
    }
    Module& lid = module(1);
    lid.filename = "meshes\\lid.wld";
    lid.scaleClass = 1;
    lid.vertices = {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}};
    lid.polygons = {testing::face({0, 1, 2})};
    lid.instances[0].location = lid.instances[0].endLocation = {5, 6, 7};
    model.document.lightCount = 1;
    model.document.lights[0].position = {10, 2, 3};
    model.document.connectors.resize(1);
    model.document.connectors[0].farEnd = {1, 1, 1};
    editor.frame.camera.texelZoom = 1;
  }

  Module& module(int index) { return model.document.module[index]; }

  Saved saved() { return testing::savedBytes(model); }

  void select(int currentModule, int currentInstance) {
    testing::selectInstance(model, currentModule, currentInstance);
  }

  bool modify(const ModifierValues& values) { return applyModifiers(editor, values); }
};

// The fixture afresh for each case of a table.
struct Fresh : Refusals {
  void TestBody() override {}
};

ModifierValues instanceValues() {
  ModifierValues v;
  v.vertex = false;
  return v;
}

constexpr KeyModifiers ctrl{true, false, false}, shift{false, true, false};

TEST_F(Refusals, EditsWhoseResultIsNotFiniteChangeNothingAndSayWhich) {
  const struct {
    const char* what;
    std::function<void(Fresh&)> arrange;  // the finite input the edit overflows
    std::function<void(Fresh&)> act;
    const char* message;
  } cases[] = {
      {"Modifiers: Scale X 3e38 on x = 10; the texels are generated again from the vertices",
       [](Fresh&) {},
       [](Fresh& f) {
         ModifierValues v;
         v.sx = huge;
         EXPECT_FALSE(f.modify(v));
       },
       "The vertex coordinates and texel coordinates of meshes\\box.wld would not be finite "
       "numbers. Modifiers changed nothing."},
      {"Modifiers: Offset X 3e38 on x = 3e38", [](Fresh& f) { f.module(0).vertices[1].x = huge; },
       [](Fresh& f) {
         ModifierValues v;
         v.ox = huge;
         f.modify(v);
       },
       "The vertex coordinates of meshes\\box.wld would not be finite numbers. Modifiers changed "
       "nothing."},
      {"Modifiers: an instance offset of 3e38 class-1 units on a placement at 3e38",
       [](Fresh& f) {
         f.module(1).instances[0].location[0] = huge;
         f.select(1, 0);
       },
       [](Fresh& f) {
         ModifierValues v = instanceValues();
         v.ox = huge;
         f.modify(v);
       },
       "The instance placements of meshes\\lid.wld would not be finite numbers. Modifiers "
       "changed nothing."},
      {"Modifiers: every placement and the lights scaled by 3e38",
       [](Fresh& f) { f.select(-1, -1); },
       [](Fresh& f) {
         ModifierValues v = instanceValues();
         v.sx = huge;
         f.modify(v);
       },
       "The instance placements of meshes\\lid.wld and the light positions would not be finite "
       "numbers. Modifiers changed nothing."},
      {"Modifiers: a canvas turn of a texel far off the canvas",
       [](Fresh& f) { f.module(0).polygons[1].texels[2].u = 1e37f; },
       [](Fresh& f) {
         ModifierValues v;
         v.rc = 0.5f;
         f.modify(v);
       },
       "The texel coordinates of meshes\\box.wld would not be finite numbers. Modifiers changed "
       "nothing."},
      {"Assign Scale: the legacy buildings' unit to the interiors' is about 594 times as many",
       [](Fresh& f) { f.module(0).vertices[2].y = 1e36f; },
       [](Fresh& f) {
         EXPECT_EQ(issueCommand(f.editor, cmd::scaleInteriors), CommandOutcome::refused);
       },
       "The vertex coordinates of meshes\\box.wld would not be finite numbers. Assign Scale "
       "changed nothing."},
      {"Average Origin (Centered): the centre of bounds at 3e38 is summed first",
       [](Fresh& f) {
         for (Vertex& v : f.module(0).vertices) v.x += huge;
       },
       [](Fresh& f) {
         EXPECT_EQ(issueCommand(f.editor, cmd::averageOriginCentered), CommandOutcome::refused);
       },
       "The vertex coordinates and instance placements of meshes\\box.wld would not be finite "
       "numbers. Average Origin (Centered) changed nothing."},
      {"Ctrl+Keypad 0: a group spread over the float range turns about its mean",
       [](Fresh& f) {
         f.module(0).instances.resize(3);
         const float ys[] = {3.4e38f, 3.4e38f, -3.4e38f};
         for (int i = 0; i < 3; ++i) {
           f.module(0).instances[i].group = 1;
           f.module(0).instances[i].location[1] = ys[i];
         }
         f.model.selection.currentGroup = 1;
       },
       [](Fresh& f) { viewKeyDown(f.editor, ViewKey::keypad0, ctrl); },
       "The instance placements of meshes\\box.wld would not be finite numbers. Turn changed "
       "nothing."},
      {"A Shift drag turning texels far off the canvas: the drag is one edit",
       [](Fresh& f) {
         f.module(0).polygons[0].texels[1].v = 1e37f;
         f.model.settings.view.texelView = true;
         f.model.selection.currentPolygon = 0;
       },
       [](Fresh& f) {
         const Saved before = f.saved();
         pointerPressed(f.editor, PointerButton::left, 10, 10, shift);
         pointerMovedTo(f.editor, 20, 10, shift);
         EXPECT_NE(f.saved(), before) << "shown as it goes";
         pointerReleased(f.editor, PointerButton::left, 20, 10, shift);
       },
       "The texel coordinates of meshes\\box.wld would not be finite numbers. Turn Texels changed "
       "nothing."},
      {"A typed polygon with a coordinate of 40 digits", [](Fresh&) {},
       [](Fresh& f) {
         ASSERT_TRUE(startPolygonAdd(f.editor));
         const std::vector<std::string> fields = {
             "3", std::string(40, '9'), "0", "0", "1", "0", "0", "0", "1", "0"};
         for (const std::string& field : fields) {
           for (const char c : field) viewCharacter(f.editor, static_cast<char32_t>(c));
           viewKeyDown(f.editor, ViewKey::enter, {});
         }
         ASSERT_EQ(f.editor.editing.entry.vertexIndex, 3);
         viewKeyDown(f.editor, ViewKey::enter, {});  // every corner is in
         EXPECT_TRUE(f.editor.editing.entryActive) << "left open to be corrected";
       },
       "The vertex coordinates of meshes\\box.wld would not be finite numbers. Add Polygon "
       "changed nothing."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Fresh f;
    c.arrange(f);
    const Saved before = f.saved();
    const std::vector<float> records = numbers(f.model);
    const Selection selected = f.model.selection;
    c.act(f);

    ASSERT_EQ(f.ui.boxes.size(), 1u);
    EXPECT_EQ(f.ui.boxes[0].caption, "Not changed!");
    EXPECT_EQ(f.ui.boxes[0].text, c.message);
    EXPECT_EQ(numbers(f.model), records);
    EXPECT_EQ(f.saved(), before);
    EXPECT_EQ(f.editor.history.size(), 0u);
    EXPECT_EQ(issueCommand(f.editor, cmd::undoEdit), CommandOutcome::greyed);
    EXPECT_FALSE(f.model.status.documentModified);
    EXPECT_EQ(f.module(0).modified, 0);
    EXPECT_EQ(f.module(1).modified, 0);
    EXPECT_EQ(f.model.selection.currentModule, selected.currentModule);
    EXPECT_EQ(f.model.selection.currentPolygon, selected.currentPolygon);
    EXPECT_TRUE(std::isfinite(f.model.status.encompassingRadius)) << "taken from what is kept";
  }
}

// Large but finite results are edits like any other; the same factor again is refused when the
// result would pass the largest float, and the first edit stays to be undone.
TEST_F(Refusals, LargeFiniteResultsAreMadeAndTheStepThatOverflowsIsNot) {
  ModifierValues v;
  v.sx = v.sy = v.sz = 1e20f;
  ui.modifiersPresses = {{ModifiersButton::accept, v}, {ModifiersButton::accept, v}};
  ASSERT_EQ(issueCommand(editor, cmd::modifiers), CommandOutcome::done);

  EXPECT_EQ(module(0).vertices[1].x, 10 * 1e20f);
  EXPECT_EQ(module(0).vertices[4].z, 10 * 1e20f);
  EXPECT_EQ(module(0).polygons[0].texels[1].u, 0.25f * 1e20f) << "uniform: the texels follow";
  ASSERT_EQ(ui.boxes.size(), 1u) << "the second Accept only";
  EXPECT_EQ(ui.boxes[0].text,
            "The vertex coordinates and texel coordinates of meshes\\box.wld would not be finite "
            "numbers. Modifiers changed nothing.");
  EXPECT_EQ(editor.history.size(), 1u);
  EXPECT_TRUE(model.status.documentModified);
  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(module(0).vertices[1].x, 10);
}

// The batch front end prints the message, reports the command as refused and saves the mesh as
// it was read.
TEST(RefusedEditsInABatch, AreReportedAndTheSavedMeshIsTheOneRead) {
  Module big;
  big.scaleClass = 2;
  big.vertices = {{0, 0, 0}, {1e36f, 0, 0}, {0, 1, 0}};
  big.polygons = {testing::face({0, 1, 2})};
  big.polygons[0].colour = {1, 1, 1, 1};
  big.polygons[0].texelAngle = big.polygons[0].texelAngle2 = -1;
  big.canvasWidth = big.canvasHeight = big.canvasWidth2 = big.canvasHeight2 = 256;
  testing::TempRepo applied, resaved;
  for (testing::TempRepo* repo : {&applied, &resaved})
    repo->write("meshes/big.wld", formatWld(big));

  const testing::CliRun r = testing::runCliWith({"--repo", applied.root.string(), "apply",
                                                 (applied.root / "meshes/big.wld").string(),
                                                 std::to_string(cmd::scaleInteriors), "--save"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Not changed!: The vertex coordinates of meshes\\big.wld would not be "
                       "finite numbers. Assign Scale changed nothing.\n"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(nlohmann::json::parse(r.out)["commands"][0]["outcome"], "refused");

  ASSERT_EQ(testing::runCliWith({"--repo", resaved.root.string(), "resave",
                                 (resaved.root / "meshes/big.wld").string()})
                .status,
            0);
  EXPECT_EQ(applied.read("meshes/big.wld"), resaved.read("meshes/big.wld"));
}

}  // namespace
}  // namespace tessarim
