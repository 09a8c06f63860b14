#include "render/instance_draw.hpp"

#include <gtest/gtest.h>

#include "editor/frame.hpp"
#include "model/model.hpp"
#include "render/user_settings.hpp"

namespace tessarim {
namespace {

struct Placed {
  Model model;
  FrameState frame;
  UserSettings user;
  // Module 0 with one instance of the given group and type.
  Instance& place(int group, int type) {
    model.document.wldfiles = 1;
    model.document.module[0].instances.resize(1);
    Instance& t = model.document.module[0].instances[0];
    t.group = static_cast<std::int16_t>(group);
    t.type = static_cast<std::uint8_t>(type);
    return t;
  }
  bool visible() { return isInstanceVisible(model, 0, 0, false); }
  InstanceDrawPlan plan() { return planInstance(model, DrawContext{frame, user}, 0, 0); }
};

TEST(Visibility, AssemblyGroupsFollowTheExtendedViewAndTheDisplaySelections) {
  struct Case {
    int group, type;
    bool extended, visible;
  } cases[] = {
      {0, 0, false, true},    {996, 0, false, true},  {999, 0, false, true}, {1000, 0, true, true},
      {998, 0, false, false}, {998, 0, true, true},   {3, 0, true, true},    {3, 0, false, false},
      {4, 0, false, true},    {4, 0, true, false},    {750, 0, false, true}, {997, 0, false, true},
      {300, 0, false, true},  {301, 0, false, false},  // 300: the pants slot's start code
      {0, 54, false, false},  {0, 54, true, true},
  };
  for (const Case& c : cases) {
    Placed p;
    p.model.document.kind = DocumentKind::asmfile;
    p.model.motion.extended = c.extended;
    p.place(c.group, c.type);
    EXPECT_EQ(p.visible(), c.visible)
        << "group " << c.group << " type " << c.type << " extended " << c.extended;
  }
}

TEST(Visibility, ViewSwitchesHideAndOnlyTheDeselectFlagDeselects) {
  Placed p;
  p.model.document.kind = DocumentKind::asmfile;
  Instance& t = p.place(0, 24);
  p.model.selection.currentModule = 0;
  p.model.selection.currentInstance = 0;
  EXPECT_TRUE(p.visible());
  p.model.settings.view.exteriorPlates = false;
  EXPECT_FALSE(p.visible());
  EXPECT_EQ(p.model.selection.currentInstance, 0);  // drawing never changes the selection
  EXPECT_FALSE(isInstanceVisible(p.model, 0, 0, true));
  EXPECT_EQ(p.model.selection.currentModule, -1);
  EXPECT_EQ(p.model.selection.currentInstance, -1);

  p.model.settings.view.exteriorPlates = true;
  p.model.settings.view.otherDestructable = false;
  EXPECT_FALSE(p.visible());
  t.type = 25;
  EXPECT_TRUE(p.visible());

  p.model.settings.view.previewExport = true;  // only group 996
  EXPECT_FALSE(p.visible());
  t.group = 996;
  EXPECT_TRUE(p.visible());

  p.model.settings.view.previewExport = false;
  p.model.settings.view.systemsShowOnly = true;  // ordinary modules hide
  EXPECT_FALSE(p.visible());
  p.model.document.module[0].componentType = 3;
  EXPECT_FALSE(p.visible());  // its system is not shown
  p.model.settings.view.systemShown[3] = true;
  EXPECT_TRUE(p.visible());
}

TEST(Visibility, LongTrousersHideTheThighs) {
  Placed p;
  p.place(0, 109);
  EXPECT_TRUE(p.visible());
  p.model.settings.view.peopleDisplay[pantsSlot] = 320;
  EXPECT_FALSE(p.visible());
}

TEST(InstancePlan, ThePathFollowsDocumentTypeGroupAndFamily) {
  struct Case {
    bool city;
    int module, group, type;
    bool newFamily;
    ShadingPath path;
  } cases[] = {
      {true, 0, 0, 0, false, ShadingPath::cityBuilding},
      {true, 1, 0, 0, false, ShadingPath::terrain},
      {false, 0, 0, 45, false, ShadingPath::scrolling},
      {false, 0, 0, 105, false, ShadingPath::people},
      {false, 0, 501, 105, false, ShadingPath::standard},
      {false, 0, 160, 0, false, ShadingPath::ageBlend},
      {false, 0, 0, 0, true, ShadingPath::vehicle},
      {false, 0, 0, 0, false, ShadingPath::standard},
  };
  for (const Case& c : cases) {
    Placed p;
    p.model.document.kind = c.city ? DocumentKind::ctyfile : DocumentKind::wldfile;
    p.model.document.wldfiles = 2;
    for (int m = 0; m < 2; ++m) {
      p.model.document.module[m].instances.resize(1);
      p.model.document.module[m].instances[0].group = static_cast<std::int16_t>(c.group);
      p.model.document.module[m].instances[0].type = static_cast<std::uint8_t>(c.type);
      p.model.document.module[m].newScaleFamily = c.newFamily;
    }
    p.model.settings.view.textureAllBuildings = true;
    EXPECT_EQ(planInstance(p.model, DrawContext{p.frame, p.user}, c.module, 0).path, c.path)
        << "case type " << c.type << " group " << c.group;
  }
  // Without the vehicle program, the new scale family draws on the main program.
  Placed p;
  p.place(0, 0);
  p.model.document.module[0].newScaleFamily = 1;
  EXPECT_EQ(planInstance(p.model, DrawContext{p.frame, p.user, false}, 0, 0).path,
            ShadingPath::standard);
}

TEST(InstancePlan, StandardPassParametersAndBlendStates) {
  Placed p;
  p.model.document.kind = DocumentKind::asmfile;
  Instance& t = p.place(0, 5);
  p.frame.mapsLoaded[0] = 1 << textfile | 1 << lightfile;
  p.frame.flicker = true;
  p.frame.sceneExtent = 2;
  p.frame.sliders.fog = 0.5f;
  InstanceDrawPlan plan = p.plan();
  EXPECT_EQ(plan.blend, Blend::alpha);
  EXPECT_EQ(plan.main.pass, 4);
  EXPECT_EQ(plan.main.clouduv, (Float4{1, 1, 0.9f, 5}));
  EXPECT_EQ(plan.main.ambient,
            (Float4{0, 0, 0, 16}));  // sliders off: no ambient; fog end (1 - 0.5) x 16 x 2

  p.model.settings.view.lightingSliders = true;
  p.frame.ambient = 0.5f;
  p.user.sunlightColor = 0xFF8000;
  t.type = 51;
  plan = p.plan();
  EXPECT_EQ(plan.blend, Blend::additive);
  EXPECT_TRUE(plan.depthAlways);
  EXPECT_NEAR(plan.main.ambient[0], 0.5f, 1e-6);
  EXPECT_NEAR(plan.main.ambient[1], 0.5f * 128 / 255, 1e-6);

  t.type = 250;
  EXPECT_FALSE(p.plan().cull);
  t.type = 59;  // the light map blinks on in the second half of every two seconds
  p.frame.clockSeconds = 1.5;
  EXPECT_EQ(p.plan().main.clouduv[1], 1);
  p.frame.clockSeconds = 2.5;
  EXPECT_EQ(p.plan().main.clouduv[1], 0);
}

TEST(InstancePlan, BlendingByTypeAndPath) {
  struct Case {
    bool city, newFamily;
    int type;
    Blend blend;
  } cases[] = {
      {false, false, 0, Blend::none},      {false, false, 3, Blend::alpha},
      {false, false, 57, Blend::alpha},    {false, false, 205, Blend::alpha},
      {false, false, 206, Blend::none},    {false, false, 116, Blend::alpha},
      {false, false, 51, Blend::additive}, {true, false, 0, Blend::alpha},
      {true, false, 51, Blend::additive},  {false, true, 0, Blend::alpha},
      {false, true, 251, Blend::additive},
  };
  for (const Case& c : cases) {
    Placed p;
    p.model.document.kind = c.city ? DocumentKind::ctyfile : DocumentKind::asmfile;
    p.place(0, c.type);
    p.model.document.wldfiles = 2;  // a city's buildings are all but its last module
    p.model.document.module[0].newScaleFamily = c.newFamily;
    EXPECT_EQ(p.plan().blend, c.blend)
        << "type " << c.type << (c.city ? " in a city" : "") << (c.newFamily ? " new family" : "");
  }
}

TEST(InstancePlan, HighlightsFollowTheSelection) {
  Placed p;
  p.model.document.kind = DocumentKind::asmfile;
  p.place(0, 0);
  p.model.document.module[0].polygons.resize(3);
  Selection& s = p.model.selection;
  EXPECT_FALSE(p.plan().highlighted);
  s.currentModule = 0;
  s.currentInstance = 0;
  EXPECT_TRUE(p.plan().highlightWhole);
  s.currentPolygon = 2;
  EXPECT_EQ(p.plan().highlightPolygons, std::vector<int>{2});
  s.currentPolygon = -2;
  s.selectedPolygons = {0, 1};
  EXPECT_EQ(p.plan().highlightPolygons, (std::vector<int>{0, 1}));
  p.model.settings.view.wireframes = true;
  const InstanceDrawPlan plan = p.plan();
  EXPECT_TRUE(plan.wireframeOnly && plan.pulseWireframe);
  EXPECT_EQ(pulseColour(0.75f), (Float4{0.5f, 0.25f, 0.25f, 1}));
}

TEST(InstancePlan, ListedInstancesAreHighlightedWithOrWithoutTheSortedKeys) {
  Placed p;
  p.model.document.kind = DocumentKind::asmfile;
  p.model.document.wldfiles = 3;
  for (int m = 0; m < 3; ++m) p.model.document.module[m].instances.resize(300);
  Selection& s = p.model.selection;
  s.currentModule = s.currentInstance = -2;
  s.selectedInstances = {{2, 299}, {0, 5}, {1, 0}, {0, 256}};
  std::vector<std::uint32_t> keys;
  sortedSelection(s, keys);
  const DrawContext sorted{p.frame, p.user, true, &keys}, plain{p.frame, p.user};
  for (int m = 0; m < 3; ++m) {
    for (int i = 0; i < 300; ++i) {
      const bool listed =
          (m == 2 && i == 299) || (m == 0 && (i == 5 || i == 256)) || (m == 1 && i == 0);
      EXPECT_EQ(planInstance(p.model, sorted, m, i).highlightWhole, listed) << m << ' ' << i;
      EXPECT_EQ(planInstance(p.model, plain, m, i).highlightWhole, listed) << m << ' ' << i;
    }
  }
}

TEST(InstancePlan, ACityTexturesOnlyTheBrowsedBuilding) {
  Placed p;
  p.model.document.kind = DocumentKind::ctyfile;
  p.model.document.wldfiles = 2;
  p.model.document.module[0].instances.resize(2);
  p.model.document.module[0].instances[0].group = 4;
  p.model.document.module[0].instances[1].group = 5;
  p.model.selection.currentGroup = 5;
  p.frame.mapsLoaded[0] = 1 << textfile;
  const DrawContext context{p.frame, p.user};
  EXPECT_FALSE(planInstance(p.model, context, 0, 0).textured);
  EXPECT_TRUE(planInstance(p.model, context, 0, 1).textured);
}

TEST(DrawOrder, SortedByKeyWithGlassPushedBack) {
  Model model;
  model.document.wldfiles = 3;
  model.document.module[0].sortKey = 7;
  model.document.module[1].sortKey = 2;
  model.document.module[2].newScaleFamily = 1;
  for (int m = 0; m < 3; ++m) {
    model.document.module[m].polygons.resize(1);
    model.document.module[m].instances.resize(1);
  }
  model.document.module[2].instances.resize(3);
  model.document.module[2].instances[0].type = 3;  // glass: eye distance + 3 x extent
  model.document.module[2].instances[0].eyeDistance = 1;
  model.document.module[2].instances[1].type = 27;  // glow: never in the scene pass
  model.document.module[2].instances[2].eyeDistance = 5;
  std::vector<DrawItem> order;
  drawOrder(model, 2, order);
  ASSERT_EQ(order.size(), 4u);
  EXPECT_EQ(order[0].module, 0);  // unsorted: module by module
  model.settings.view.sortDrawingOrder = true;
  drawOrder(model, 2, order);
  std::vector<float> keys;
  for (const DrawItem& item : order) keys.push_back(item.key);
  EXPECT_EQ(keys, (std::vector<float>{2, 5, 7, 7}));
}

}  // namespace
}  // namespace tessarim
