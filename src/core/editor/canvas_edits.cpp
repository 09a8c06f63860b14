#include "editor/canvas_edits.hpp"

#include <cmath>

#include "editing/edit_history.hpp"
#include "editor/editor.hpp"
#include "model/geometry.hpp"
#include "model/model.hpp"

namespace tessarim {
namespace {

// The module whose texels the canvas edits, when it holds a current polygon or a polygon
// selection that still exists; -1 otherwise.
int canvasModule(const Model& model) {
  const Selection& s = model.selection;
  const int m = s.currentModule;
  if (m < 0 || m >= model.document.wldfiles) return -1;
  const std::size_t count = model.document.module[m].polygons.size();
  if (s.currentPolygon >= 0) return static_cast<std::size_t>(s.currentPolygon) < count ? m : -1;
  if (s.currentPolygon != -2 || s.selectedPolygons.empty()) return -1;
  for (const std::uint32_t p : s.selectedPolygons) {
    if (p >= count) return -1;
  }
  return m;
}

struct Vec2 {
  float u = 0, v = 0;
};

// An edge's direction in canvas proportions: a 2048-pixel side counts as 1.
Vec2 scaledEdge(const Canvas& canvas, float u0, float v0, float u1, float v1) {
  Vec2 d{(u1 - u0) * canvas.width / 2048, (v1 - v0) * canvas.height / 2048};
  const float length = std::hypot(d.u, d.v);
  if (length > 0) d = {d.u / length, d.v / length};
  return d;
}

// The turn that brings direction a onto direction b; none when the cosine is out of range (an
// edge without length gives NaN).
bool turnBetween(Vec2 a, Vec2 b, float& angle) {
  const float dot = a.u * b.u + a.v * b.v;
  if (!(dot >= -1 && dot <= 1)) return false;
  angle = std::acos(dot);
  if (a.u * b.v - a.v * b.u <= 0) angle = -angle;
  return true;
}

bool sourcePolygonExists(const Editor& editor, int m) {
  const int p = editor.editing.sourcePolygon;
  return p >= 0 && static_cast<std::size_t>(p) < editor.model().document.module[m].polygons.size();
}

}  // namespace

int canvasSet(const Editor& editor) {
  return editor.model().settings.view.texelMapIndex == 4 ? 1 : 0;
}

bool moveCanvasTexels(Editor& editor, Edit& edit, float dx, float dy) {
  Model& model = editor.model();
  const int m = canvasModule(model);
  if (m < 0 || (dx == 0 && dy == 0)) return false;
  const int set = canvasSet(editor);
  const Canvas canvas = canvasOf(model.document.module[m], set);
  if (canvas.width <= 0 || canvas.height <= 0) return false;
  const float rate = editor.frame.camera.texelZoom;
  const float du = dx * rate * 0.512f / canvas.width, dv = dy * rate * 0.512f / canvas.height;
  std::vector<Polygon>& polygons = edit.polygons(m);
  const auto shift = [&](Polygon& p) {
    for (Texel& t : texelsOf(p, set)) {
      t.u += du;
      t.v += dv;
    }
  };
  const Selection& s = model.selection;
  if (s.currentPolygon >= 0) {
    shift(polygons[s.currentPolygon]);
  } else {
    for (const std::uint32_t p : s.selectedPolygons) shift(polygons[p]);
  }
  editor.editing.sourceEdgeSet = false;
  return true;
}

bool turnCanvasTexels(Editor& editor, Edit& edit, float angle) {
  Model& model = editor.model();
  const int m = canvasModule(model);
  if (m < 0 || angle == 0) return false;
  edit.polygons(m);  // the texels live in the polygons
  if (model.selection.currentPolygon >= 0) {
    rotatePolygonTexels(model.document.module[m], canvasSet(editor), model.selection.currentPolygon,
                        angle, true);
  } else {
    rotateSelectedTexels(model, m, angle, true);
  }
  return true;
}

void canvasRightClick(Editor& editor, float screenX, float screenY) {
  Model& model = editor.model();
  EditingState& editing = editor.editing;
  const Selection& s = model.selection;
  const int m = s.currentModule;
  if (m < 0 || m >= model.document.wldfiles || s.currentPolygon < 0 ||
      static_cast<std::size_t>(s.currentPolygon) >= model.document.module[m].polygons.size())
    return;
  const Camera& camera = editor.frame.camera;
  const int set = canvasSet(editor);
  const Module& module = model.document.module[m];
  const EdgePick edge = pickEdge(module, s.currentPolygon, set, screenX, screenY, camera.viewport,
                                 camera.view, camera.projection);
  if (edge.edge < 0) return;
  if (!editing.sourceEdgeSet) {
    editing.sourceEdgeSet = true;
    editing.sourcePolygon = s.currentPolygon;
    editing.sourceEdge = edge.edge;
    editing.sourceEdgeTexels = {edge.start.u, edge.start.v, edge.end.u, edge.end.v};
    noteChanges(model, Change::selection);
    return;
  }
  // Snapping onto the source polygon itself means nothing.
  if (s.currentPolygon == editing.sourcePolygon || !sourcePolygonExists(editor, m)) return;

  const Canvas canvas = canvasOf(module, set);
  const std::array<float, 4>& from = editing.sourceEdgeTexels;
  float angle = 0;
  if (!turnBetween(scaledEdge(canvas, from[0], from[1], from[2], from[3]),
                   scaledEdge(canvas, edge.start.u, edge.start.v, edge.end.u, edge.end.v), angle))
    return;
  Edit edit(model, editor.history, "Edge Snap");
  std::vector<Polygon>& polygons = edit.polygons(m);
  rotatePolygonTexels(model.document.module[m], set, editing.sourcePolygon, angle, true);
  // Now parallel and running the same way, the two edges coincide when their first ends do.
  std::array<Texel, 4>& texels = texelsOf(polygons[editing.sourcePolygon], set);
  const Texel start = texels[editing.sourceEdge];
  const float du = edge.start.u - start.u, dv = edge.start.v - start.v;
  for (Texel& t : texels) {
    t.u += du;
    t.v += dv;
  }
  editing.sourceEdgeSet = false;
  edit.report(Change::selection);
  edit.commit();
}

bool straightenSourceEdge(Editor& editor, const Command&) {
  Model& model = editor.model();
  EditingState& editing = editor.editing;
  const int m = model.selection.currentModule;
  if (!editing.sourceEdgeSet || m < 0 || m >= model.document.wldfiles ||
      !sourcePolygonExists(editor, m))
    return false;
  const int set = canvasSet(editor);
  const std::array<float, 4>& from = editing.sourceEdgeTexels;
  float angle = 0;
  const bool turns = turnBetween(
      scaledEdge(canvasOf(model.document.module[m], set), from[0], from[1], from[2], from[3]),
      {0, 1}, angle);
  editing.sourceEdgeSet = false;
  if (!turns) {
    noteChanges(model, Change::selection);
    return true;
  }
  Edit edit(model, editor.history, "Straighten Source Edge");
  edit.polygons(m);
  rotatePolygonTexels(model.document.module[m], set, editing.sourcePolygon, angle, true);
  edit.report(Change::selection);
  edit.commit();
  return true;
}

}  // namespace tessarim
