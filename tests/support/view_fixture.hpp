#pragma once

// An editor with an assembly in memory and a camera built by the frame step, for tests that
// press keys and click in the view.

#include <gtest/gtest.h>

#include "commands/menu_state.hpp"
#include "editor/editor.hpp"
#include "editor/frame.hpp"
#include "maths/maths.hpp"
#include "model/model.hpp"
#include "support/temp_repo.hpp"

namespace tessarim::testing {

struct NoMenu : MenuSink {
  void setPopupEnabled(int, bool) override {}
  void setItemEnabled(int, bool) override {}
  void setItemChecked(int, bool) override {}
};

// Module 0 ("hull"): two 2 x 2 squares side by side sharing the edge x = 0, placed twice, at
// x = -4 and x = 4. Module 1 ("fin"): one square placed once at y = 5. Scale class 0: one unit
// is a kilometre. The view looks at the origin from the front.
struct ViewFixture : ::testing::Test {
  ViewFixture() {
    Model& m = repo.model;
    m.document.kind = DocumentKind::asmfile;
    m.document.documentPath = "ships\\view.asm";
    m.document.wldfiles = 2;
    Module& hull = m.document.module[0];
    hull.filename = "meshes\\hull.wld";
    hull.vertices = {{-2, -1, 0}, {-2, 1, 0}, {0, 1, 0}, {0, -1, 0}, {2, 1, 0}, {2, -1, 0}};
    hull.polygons = {quad({0, 1, 2, 3}), quad({3, 2, 4, 5})};
    hull.instances.resize(2);
    hull.instances[0].location = {-4, 0, 0};
    hull.instances[1].location = {4, 0, 0};
    Module& fin = m.document.module[1];
    fin.filename = "meshes\\fin.wld";
    fin.vertices = {{-1, -1, 0}, {-1, 1, 0}, {1, 1, 0}, {1, -1, 0}};
    fin.polygons = {quad({0, 1, 2, 3})};
    fin.instances.resize(1);
    fin.instances[0].location = {0, 5, 0};
    noteChanges(m, Change::geometry);
    initMenuState(editor);
    frame();
  }

  static Polygon quad(std::array<std::uint32_t, 4> corners) {
    Polygon p;
    p.sides = 4;
    p.vertexIndex = corners;
    p.colour = {0.5f, 0.5f, 0.5f, 1};
    return p;
  }

  // One frame: the menus follow the selection, the camera and the instances' places are built.
  void frame(float seconds = 0.01f) {
    refreshMenuState(editor, seconds, menu);
    frameMove(frameParts(editor), seconds);
  }

  // Where a point of a module, placed by one of its instances, lies on the screen.
  Vec3 screenOf(int module, int instance, Vec3 point) {
    const Camera& c = editor.frame.camera;
    return project(point, c.viewport, c.projection, c.view,
                   model.document.module[module].instances[instance].worldMatrix);
  }

  void select(int module, int instance, int polygon = -1) {
    model.selection.currentModule = static_cast<std::int16_t>(module);
    model.selection.currentInstance = static_cast<std::int16_t>(instance);
    model.selection.currentPolygon = polygon;
    model.selection.selectedPolygons.clear();
    model.selection.selectedInstances.clear();
  }

  TempRepo repo;
  Model& model = repo.model;
  Editor editor{Session{repo.model, repo.repository, repo.ui, repo.store, repo.clock}};
  NoMenu menu;
};

}  // namespace tessarim::testing
