#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "commands/command_numbers.hpp"
#include "commands/dispatch.hpp"
#include "commands/menu_fixture.hpp"
#include "commands/modifiers_commands.hpp"
#include "formats/assembly.hpp"
#include "formats/component_file.hpp"
#include "formats/wld.hpp"
#include "maths/maths.hpp"
#include "model/city_corners.hpp"
#include "model/geometry.hpp"
#include "support/polygons.hpp"
#include "support/saved_bytes.hpp"

namespace tessarim {
namespace {

using Point = std::array<float, 3>;

constexpr float quarterTurn = 1.5707964f;

// What a save would write: every module's WLD text, the assembly (with its lights) and the
// component file (with its connectors).
using Saved = testing::SavedBytes;

// An open assembly. Module 0 (class 8, canvases 256 x 256 and 128 x 64) holds a quad and a
// triangle with texels of their own in both sets and is placed twice, the first time as a part
// that extends; module 1 (class 1, 2048-pixel canvases as read meshes have) is placed once. One
// light and one connector. Module 0 and its first instance are current.
struct Modifiers : testing::MenuTest {
  Modifiers() {
    openAssembly(2);
    Module& m = module(0);
    m.scaleClass = 8;
    m.canvasWidth = m.canvasHeight = 256;
    m.canvasWidth2 = 128;
    m.canvasHeight2 = 64;
    m.vertices = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5f, 0.5f, 1}};
    m.polygons = {testing::face({0, 1, 2, 3}), testing::face({0, 1, 4})};
    for (std::size_t p = 0; p < m.polygons.size(); ++p) {
      for (int c = 0; c < 4; ++c) {
        const float t = static_cast<float>(p * 4 + c) / 8;
        m.polygons[p].texels[c] = {t, 1 - t};
        m.polygons[p].texels2[c] = {t / 2, t / 4};
      }
    }
    m.instances.resize(2);
    Instance& part = m.instances[0];
    part.endLocation = {0, 0, 2};
    part.extendRate = part.retractRate = 1;
    part.motionPhase = 0.3f;
    m.instances[1].location = m.instances[1].endLocation = {3, 0, 0};
    Module& other = module(1);
    other.scaleClass = 1;
    other.vertices = {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}};
    other.polygons = {testing::face({0, 1, 2})};
    other.canvasWidth = other.canvasHeight = other.canvasWidth2 = other.canvasHeight2 = 2048;
    other.instances[0].location = other.instances[0].endLocation = {5, 6, 7};
    model.document.lightCount = 1;
    model.document.lights[0].position = {1, 2, 3};
    model.document.connectors.resize(1);
    model.document.connectors[0].farEnd = {1, 1, 1};
  }

  Module& module(int index) { return model.document.module[index]; }

  Saved saved() { return testing::savedBytes(model); }

  void select(int currentModule, int currentInstance) {
    testing::selectInstance(model, currentModule, currentInstance);
  }

  void accept(const ModifierValues& values) { ASSERT_TRUE(applyModifiers(editor, values)); }
};

// The fixture afresh for each case of a table.
struct Fresh : Modifiers {
  void TestBody() override {}
};

ModifierValues vertexValues() {
  return {};
}
ModifierValues instanceValues() {
  ModifierValues v;
  v.vertex = false;
  return v;
}

void expectPoint(const Point& got, const Point& want, float tolerance = 1e-5f) {
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(got[k], want[k], tolerance) << "axis " << k;
}

TEST_F(Modifiers, StoredDefaultsChangeNothingButTheMotionIsStillSettled) {
  const struct {
    int currentModule;
    bool vertex;
  } cases[] = {{-1, true}, {-1, false}, {0, true}, {0, false}};
  for (const auto& c : cases) {
    Fresh f;
    f.select(c.currentModule, -1);
    f.model.motion.extended = true;
    const Saved before = f.saved();
    ModifierValues typed;
    typed.vertex = c.vertex;
    f.ui.modifiersPresses = {{ModifiersButton::accept, typed}};
    ASSERT_EQ(issueCommand(f.editor, cmd::modifiers), CommandOutcome::done);

    EXPECT_EQ(f.saved(), before) << c.currentModule << " " << c.vertex;
    EXPECT_EQ(f.editor.history.size(), 0u) << "no edit to undo";
    EXPECT_FALSE(f.model.status.documentModified);
    EXPECT_EQ(f.module(0).modified, 0);
    EXPECT_EQ(f.module(0).instances[0].motionPhase, 1) << "extended again after the retraction";
    EXPECT_TRUE(f.model.motion.extended);
  }
}

TEST_F(Modifiers, UniformScaleDoublesEveryVertexAndEveryTexelOfBothSets) {
  const Module before = module(0);
  const std::string other = formatWld(module(1));
  ModifierValues v = vertexValues();
  v.sx = v.sy = v.sz = 2;
  accept(v);
  const Module& m = module(0);
  for (std::size_t i = 0; i < before.vertices.size(); ++i) {
    EXPECT_EQ(m.vertices[i].x, before.vertices[i].x * 2) << i;
    EXPECT_EQ(m.vertices[i].y, before.vertices[i].y * 2) << i;
    EXPECT_EQ(m.vertices[i].z, before.vertices[i].z * 2) << i;
  }
  for (std::size_t p = 0; p < m.polygons.size(); ++p) {
    for (int c = 0; c < 4; ++c) {
      EXPECT_EQ(m.polygons[p].texels[c].u, before.polygons[p].texels[c].u * 2) << p << c;
      EXPECT_EQ(m.polygons[p].texels[c].v, before.polygons[p].texels[c].v * 2) << p << c;
      EXPECT_EQ(m.polygons[p].texels2[c].u, before.polygons[p].texels2[c].u * 2) << p << c;
      EXPECT_EQ(m.polygons[p].texels2[c].v, before.polygons[p].texels2[c].v * 2) << p << c;
    }
  }
  EXPECT_EQ(m.modified, 1);
  EXPECT_EQ(formatWld(module(1)), other) << "only the current module";
  EXPECT_EQ(editor.history.size(), 1u);
}

TEST_F(Modifiers, ScaleThatIsNotUniformGeneratesTheTexelsAgain) {
  Module want = module(0);
  for (Vertex& x : want.vertices) x.x *= 2;
  regenerateAllTexels(want);
  ModifierValues v = vertexValues();
  v.sx = 2;
  accept(v);
  ASSERT_EQ(formatWld(module(0)), formatWld(want));
  EXPECT_NE(module(0).polygons[0].texels[1].u, 1.0f / 8) << "the old texels are gone";
}

TEST_F(Modifiers, TexelScaleMirrorsWithoutTheExpertOptionAndScalesOnlyWithIt) {
  const struct {
    float su, sv;
    bool sudo;
    float timesU, timesV;
  } cases[] = {
      {-1, 1, false, -1, 1}, {-1, -1, false, -1, -1}, {1, -1, false, 1, -1},    {2, 2, false, 1, 1},
      {-1, 2, false, 1, 1},  {2, 2, true, 2, 2},      {0.5f, 1, true, 0.5f, 1},
  };
  for (const auto& c : cases) {
    Fresh f;
    f.model.settings.sudoSu = c.sudo;
    const Module before = f.module(0);
    ModifierValues v = vertexValues();
    v.su = c.su;
    v.sv = c.sv;
    f.accept(v);
    for (std::size_t p = 0; p < before.polygons.size(); ++p) {
      for (int k = 0; k < 4; ++k) {
        const Polygon& now = f.module(0).polygons[p];
        EXPECT_EQ(now.texels[k].u, before.polygons[p].texels[k].u * c.timesU) << c.su << c.sv;
        EXPECT_EQ(now.texels[k].v, before.polygons[p].texels[k].v * c.timesV) << c.su << c.sv;
        EXPECT_EQ(now.texels2[k].u, before.polygons[p].texels2[k].u) << "set 1 stays";
        EXPECT_EQ(now.texels2[k].v, before.polygons[p].texels2[k].v) << "set 1 stays";
      }
    }
  }

  // With the expert option a geometry scale leaves the texels where they were.
  Fresh f;
  f.model.settings.sudoSu = true;
  const Module before = f.module(0);
  ModifierValues v = vertexValues();
  v.sx = v.sy = v.sz = 2;
  f.accept(v);
  EXPECT_EQ(f.module(0).vertices[4].z, 2);
  EXPECT_EQ(f.module(0).polygons[1].texels[2].u, before.polygons[1].texels[2].u);
  EXPECT_EQ(f.module(0).polygons[1].texels2[2].v, before.polygons[1].texels2[2].v);
}

TEST_F(Modifiers, RoundAloneSnapsEveryCoordinateHalvesAwayFromZero) {
  module(0).vertices = {{1.4f, -2.5f, 2.5f}, {0.5f, -0.4f, 7}};
  const auto texels = module(0).polygons[0].texels;
  ModifierValues v = vertexValues();
  v.round = true;
  accept(v);
  const std::vector<Point> want{{1, -3, 3}, {1, 0, 7}};
  for (std::size_t i = 0; i < want.size(); ++i) {
    const Vertex& x = module(0).vertices[i];
    EXPECT_EQ((Point{x.x, x.y, x.z}), want[i]) << i;
  }
  EXPECT_EQ(module(0).polygons[0].texels[3].u, texels[3].u) << "a scale of 1 keeps the texels";
  EXPECT_EQ(module(0).modified, 1);
}

TEST_F(Modifiers, InstanceModeInASingleMeshChangesNothing) {
  model.document.kind = DocumentKind::wldfile;
  model.document.wldfiles = 1;
  for (int current : {-1, 0}) {
    select(current, -1);
    const Saved before = saved();
    ModifierValues v = instanceValues();
    v.ox = 1;
    v.sx = 2;
    v.rx = quarterTurn;
    v.round = true;
    accept(v);
    EXPECT_EQ(saved(), before) << current;
    EXPECT_EQ(module(0).modified, 0);
    EXPECT_EQ(editor.history.size(), 0u);
  }
}

// An offset of one unit of class 1 is 0.00034822 km: 0.00034822 / 0.0003048 units of class 8.
TEST_F(Modifiers, InstanceOffsetIsTakenInUnitsOfClassOne) {
  const float class8 = static_cast<float>(0.00034822 / 0.0003048);
  const struct {
    int currentModule, currentInstance;
    float first, second, other;  // how far each instance moves in x
    bool connectorsAndLights;
  } cases[] = {
      {0, -1, class8, class8, 0, false},
      {0, 1, 0, class8, 0, false},
      {-1, -1, class8, class8, 1, true},
  };
  for (const auto& c : cases) {
    Fresh f;
    f.select(c.currentModule, c.currentInstance);
    const Saved before = f.saved();
    const std::vector<Instance> was = f.module(0).instances;
    ModifierValues v = instanceValues();
    v.ox = 1;
    f.accept(v);
    const auto& now = f.module(0).instances;
    EXPECT_EQ(now[0].location, (Point{c.first, 0, 0})) << c.currentModule << c.currentInstance;
    EXPECT_EQ(now[0].endLocation, (Point{c.first, 0, 2}));
    EXPECT_EQ(now[1].location, (Point{3 + c.second, 0, 0}));
    EXPECT_EQ(now[1].endLocation, (Point{3 + c.second, 0, 0}));
    EXPECT_EQ(f.module(1).instances[0].location, (Point{5 + c.other, 6, 7}));
    EXPECT_EQ(f.saved().wld, before.wld) << "meshes stay";
    EXPECT_EQ(f.model.document.connectors[0].farEnd != (Point{1, 1, 1}), c.connectorsAndLights);
    EXPECT_EQ(f.model.document.lights[0].position != (Point{1, 2, 3}), c.connectorsAndLights);
    EXPECT_TRUE(f.model.status.documentModified);
    EXPECT_EQ(f.module(0).modified, 0);
  }
}

// The scale multiplies the location (not the end), the turn takes (x, y) to (y, -x) for a
// quarter and lowers the roll; "Round" snaps the moved location and end before both.
TEST_F(Modifiers, InstanceScaleTurnAndRoundApplyToThePlacement) {
  select(0, 1);
  Instance& t = module(0).instances[1];
  t.location = {3.4f, 1, 0.5f};
  t.endLocation = {3.4f, 1, 2.6f};
  t.orientation = {0.1f, 0.2f, 0.3f};
  ModifierValues v = instanceValues();
  v.sx = 2;
  v.sy = 3;
  v.sz = 4;
  v.rx = quarterTurn;
  v.round = true;
  accept(v);
  expectPoint(t.location, {3, -6, 4});  // rounded (3, 1, 1), scaled (6, 3, 4), turned
  EXPECT_EQ(t.endLocation, (Point{3, 1, 3}));
  EXPECT_FLOAT_EQ(t.orientation[2], 0.3f - quarterTurn);
  EXPECT_EQ(t.orientation[0], 0.1f);
}

// Quarter turns about all three axes: roll (z) takes (1, 2, 3) to (-2, 1, 3), pitch (x) to
// (-2, -3, 1), yaw (y) to (1, -3, 2). Any other order ends elsewhere.
TEST_F(Modifiers, RotationTurnsByRollThenPitchThenYaw) {
  module(0).vertices[4] = {1, 2, 3};
  ModifierValues v = vertexValues();
  v.rx = v.ry = v.rz = quarterTurn;
  accept(v);
  const Vertex& x = module(0).vertices[4];
  expectPoint({x.x, x.y, x.z}, {1, -3, 2});
}

// -90 degrees about the canvas centre in pixels: set 0 (256 x 256) takes (0.75, 0.5) to
// (0.5, 0.25); set 1 (128 x 64) takes (0.75, 0.5), 32 pixels right of its centre, to 32 pixels
// above it: (0.5, 0).
TEST_F(Modifiers, CanvasRotationTurnsBothSetsAboutTheirOwnCanvasCentre) {
  Polygon& p = module(0).polygons[0];
  p.texels[0] = p.texels2[0] = {0.75f, 0.5f};
  ModifierValues v = vertexValues();
  v.rc = quarterTurn;
  accept(v);
  EXPECT_NEAR(p.texels[0].u, 0.5f, 1e-6);
  EXPECT_NEAR(p.texels[0].v, 0.25f, 1e-6);
  EXPECT_NEAR(p.texels2[0].u, 0.5f, 1e-6);
  EXPECT_NEAR(p.texels2[0].v, 0, 1e-6);
}

TEST_F(Modifiers, TexelOffsetMovesAllFourPairsOfSetZero) {
  const Module before = module(0);
  ModifierValues v = vertexValues();
  v.ou = 0.25f;
  v.ov = -0.5f;
  accept(v);
  for (std::size_t p = 0; p < before.polygons.size(); ++p) {
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(module(0).polygons[p].texels[k].u, before.polygons[p].texels[k].u + 0.25f);
      EXPECT_EQ(module(0).polygons[p].texels[k].v, before.polygons[p].texels[k].v - 0.5f);
      EXPECT_EQ(module(0).polygons[p].texels2[k].u, before.polygons[p].texels2[k].u);
    }
  }
  EXPECT_EQ(module(0).vertices[4].z, 1) << "the geometry stays";
}

// In a city the skew takes each location through the corner map of its type; the last module,
// the ground, keeps its instances.
TEST_F(Modifiers, SkewTakesCityInstancesThroughTheCornerMap) {
  const CityCorner corner = cityCornersKm(-9)[0];  // upper-left goes to (-1.014, 1.014)
  for (bool round : {false, true}) {
    Fresh f;
    f.model.document.kind = DocumentKind::ctyfile;
    f.model.document.modelId = -9;
    f.select(-1, -1);
    for (int m : {0, 1}) {
      for (Instance& t : f.module(m).instances) t.location = {corner.x, corner.y, 0};
    }
    ModifierValues v = instanceValues();
    v.skew = true;
    v.round = round;
    f.accept(v);
    for (const Instance& t : f.module(0).instances) {
      if (round) {
        EXPECT_EQ(t.location, (Point{-1, 1, 0}));
      } else {
        expectPoint(t.location, {-1.014f, 1.014f, 0}, 1e-4f);
      }
    }
    EXPECT_EQ(f.module(1).instances[0].location, (Point{corner.x, corner.y, 0}));
  }
}

TEST_F(Modifiers, WithoutACurrentModuleConnectorsAndLightsFollow) {
  select(-1, -1);
  ModifierValues v = instanceValues();
  v.ox = 1;
  v.oy = 2;
  v.oz = 3;
  v.sx = 2;
  accept(v);
  const Connector& c = model.document.connectors[0];
  const double foot = 0.0003048, unit = 0.00034822;
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(c.farEnd[k], static_cast<float>(1 + (k + 1) * foot)) << k;
    EXPECT_EQ(c.nearEnd[k], static_cast<float>((k + 1) * foot)) << k;
    const double scale = k == 0 ? 2 : 1;
    EXPECT_EQ(model.document.lights[0].position[k],
              static_cast<float>((k + 1 + (k + 1) * unit) * scale))
        << k;
  }
  EXPECT_TRUE(model.status.documentModified);

  // In vertex mode the meshes change and the connectors and lights still follow.
  Fresh f;
  f.select(-1, -1);
  v.vertex = true;
  f.accept(v);
  EXPECT_EQ(f.model.document.connectors[0].farEnd, c.farEnd);
  EXPECT_EQ(f.model.document.lights[0].position, model.document.lights[0].position);
  EXPECT_EQ(f.module(1).vertices[1].x, 6) << "(2 + 1) x 2";
}

TEST_F(Modifiers, UndoEditRevertsOneAcceptToTheBytesASaveWrites) {
  select(-1, -1);
  model.motion.extended = true;
  const Saved original = saved();
  ModifierValues first = vertexValues();
  first.ox = 1;
  first.sx = 2;
  first.rc = 0.3f;
  first.ou = 0.1f;
  first.rz = 0.2f;
  ModifierValues second = instanceValues();
  second.oy = 4;
  second.rx = 0.5f;
  ui.modifiersPresses = {{ModifiersButton::accept, first}, {ModifiersButton::accept, second}};
  ASSERT_EQ(issueCommand(editor, cmd::modifiers), CommandOutcome::done);
  ASSERT_EQ(editor.history.size(), 2u) << "one edit per Accept";
  const Saved both = saved();

  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  const Saved afterFirst = saved();
  EXPECT_NE(afterFirst.wld, original.wld) << "the first Accept stays";
  EXPECT_NE(afterFirst.assembly, both.assembly);
  ASSERT_EQ(issueCommand(editor, cmd::undoEdit), CommandOutcome::done);
  EXPECT_EQ(saved(), original);
  ASSERT_EQ(issueCommand(editor, cmd::redoEdit), CommandOutcome::done);
  EXPECT_EQ(saved(), afterFirst);
}

TEST_F(Modifiers, TheDialogKeepsItsNumbersUntilResetAndTicksVertexAtEveryOpening) {
  ModifierValues typed = instanceValues();
  typed.sx = 1.5f;
  typed.rx = 0.25f;
  typed.ov = 3;
  typed.round = true;
  typed.skew = true;
  ui.modifiersPresses = {{ModifiersButton::accept, typed}, {ModifiersButton::cancel, {}}};
  ASSERT_EQ(issueCommand(editor, cmd::modifiers), CommandOutcome::done);
  ui.modifiersPresses = {{ModifiersButton::reset, {}}, {ModifiersButton::cancel, {}}};
  ASSERT_EQ(issueCommand(editor, cmd::modifiers), CommandOutcome::done);
  ASSERT_EQ(issueCommand(editor, cmd::modifiers), CommandOutcome::done);

  ASSERT_EQ(ui.modifiersOpenings.size(), 3u);
  const ModifierValues& first = ui.modifiersOpenings[0];
  EXPECT_EQ(first.sx, 1);
  EXPECT_TRUE(first.vertex);
  const ModifierValues& second = ui.modifiersOpenings[1];
  EXPECT_EQ(second.sx, 1.5f);
  EXPECT_EQ(second.rx, 0.25f);
  EXPECT_EQ(second.ov, 3);
  EXPECT_TRUE(second.vertex) << "ticked again";
  EXPECT_FALSE(second.round);
  EXPECT_FALSE(second.skew);
  const ModifierValues& third = ui.modifiersOpenings[2];
  EXPECT_EQ(third.sx, 1) << "reset";
  EXPECT_EQ(third.rx, 0);
  EXPECT_EQ(third.ov, 0);
  EXPECT_EQ(editor.history.size(), 1u);
}

TEST_F(Modifiers, RefusedWhenTheSelectionNamesNothingLoaded) {
  const Saved before = saved();
  ModifierValues v = vertexValues();
  v.sx = 2;
  const struct {
    int currentModule, currentInstance;
  } stale[] = {{2, -1}, {7, 0}, {0, 2}, {0, -3}, {-3, -1}};
  for (const auto& s : stale) {
    select(s.currentModule, s.currentInstance);
    EXPECT_FALSE(applyModifiers(editor, v)) << s.currentModule << " " << s.currentInstance;
  }
  EXPECT_EQ(saved(), before);
  EXPECT_EQ(editor.history.size(), 0u);

  select(-2, -2);
  EXPECT_EQ(issueCommand(editor, cmd::modifiers), CommandOutcome::greyed);
  select(0, 0);
  model.document.wldfiles = 0;
  EXPECT_EQ(issueCommand(editor, cmd::modifiers), CommandOutcome::greyed);
  EXPECT_TRUE(ui.modifiersOpenings.empty());
}

TEST(ModifierNumbers, ShownAndReadAsPercentFWithAnglesInDegrees) {
  EXPECT_EQ(modifierNumberText(1), "1.000000");
  EXPECT_EQ(modifierNumberText(-0.00034822f), "-0.000348");
  EXPECT_EQ(modifierAngleText(quarterTurn), "89.999997");
  EXPECT_EQ(modifierRadians(90), static_cast<float>(90 * 0.017453292));

  const struct {
    const char* text;
    std::optional<float> value;
  } cases[] = {
      {"2.5", 2.5f}, {"  -1e2", -100.0f}, {"3abc", 3.0f}, {"0.000348", 0.000348f},
      {"", {}},      {"abc", {}},         {"-", {}},      {"nan", {}},
      {"inf", {}},   {"1e99", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(readModifierNumber(c.text), c.value) << c.text;

  // A number beyond the largest float reads as infinite; the dialog says it is too large.
  for (const char* text : {"1e39", " -1E39", "+.5e40xyz", "1e99"})
    EXPECT_TRUE(modifierNumberTooLarge(text)) << text;
  for (const char* text : {"3.4e38", "inf", "-Infinity", "nan", "abc", "", "1e-50"})
    EXPECT_FALSE(modifierNumberTooLarge(text)) << text;
}

}  // namespace
}  // namespace tessarim
