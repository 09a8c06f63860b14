#include "editor/pointer_edits.hpp"

#include <algorithm>
#include <cmath>
#include <memory>

#include "editing/edit_history.hpp"
#include "editor/canvas_edits.hpp"
#include "editor/editor.hpp"
#include "editor/polygon_entry.hpp"
#include "editor/refused_edits.hpp"
#include "formats/text_writer.hpp"
#include "model/geometry.hpp"
#include "model/instance_types.hpp"
#include "model/model.hpp"
#include "platform/ui.hpp"

namespace tessarim {
namespace {

bool validInstance(const Model& model, int m, int i) {
  return m >= 0 && m < model.document.wldfiles && i >= 0 &&
         static_cast<std::size_t>(i) < model.document.module[m].instances.size();
}

// A drag's edit, begun at its first change and committed when its button comes up.
Edit& gestureEdit(Editor& editor, const char* name) {
  if (!editor.gesture)
    editor.gesture = std::make_unique<Edit>(editor.model(), editor.history, name);
  return *editor.gesture;
}

// The polygon of the current instance under the point: in the texel view its texels laid flat,
// otherwise its vertices where the instance is drawn. -1 when nothing is hit.
int polygonUnder(Editor& editor, float x, float y) {
  Model& model = editor.model();
  Selection& s = model.selection;
  // A single mesh has one instance, whatever the selection says.
  if (!placesModules(model.document)) s.currentInstance = 0;
  if (!s.selectedInstances.empty() || !validInstance(model, s.currentModule, s.currentInstance))
    return -1;
  const Module& module = model.document.module[s.currentModule];
  const Camera& camera = editor.frame.camera;
  const bool texel = model.settings.view.texelView;
  const PickResult hit = pick(module, module.instances[s.currentInstance].worldMatrix, x, y, texel,
                              canvasSet(editor), camera.viewport, camera.view, camera.projection);
  return hit.hitCount > 0 ? hit.polygon : -1;
}

void clearPolygonSelection(Editor& editor) {
  Selection& s = editor.model().selection;
  s.currentPolygon = -1;
  s.selectedPolygons.clear();
  editor.editing.sourceEdgeSet = false;
}

// Ctrl and a click: the polygon joins the selection, or leaves it.
void togglePolygon(Selection& s, int hit) {
  const auto polygon = static_cast<std::uint32_t>(hit);
  if (s.currentPolygon >= 0) {
    if (s.currentPolygon == hit) {
      s.currentPolygon = -1;
    } else {
      s.selectedPolygons = {static_cast<std::uint32_t>(s.currentPolygon), polygon};
      s.currentPolygon = -2;
    }
    return;
  }
  auto& list = s.selectedPolygons;
  if (const auto at = std::find(list.begin(), list.end(), polygon); at != list.end()) {
    list.erase(at);
    if (list.size() == 1) {
      s.currentPolygon = static_cast<std::int32_t>(list.front());
      list.clear();
    } else if (list.empty()) {
      s.currentPolygon = -1;
    }
  } else {
    list.push_back(polygon);
  }
}

std::string vectorText(Vec3 v) {
  return formatText("D3DXVECTOR3(%.6ff, %.6ff, %.6ff);", v.x, v.y, v.z);
}

// A developer's aid for a one-polygon hull map: the quad's corners in the world and the eye,
// written as the runtime's camera set-up takes them.
void showScreenCorners(Editor& editor, const Module& module, const Instance& t) {
  const Polygon& p = module.polygons.front();
  const auto corner = [&](int k) {
    const std::uint32_t index = p.vertexIndex[static_cast<std::size_t>(k)];
    if (index >= module.vertices.size()) return Vec3{};
    const Vertex& v = module.vertices[index];
    return transformCoord({v.x, v.y, v.z}, t.worldMatrix);
  };
  const Vec3 ll = corner(0), lr = corner(1), ur = corner(2), ul = corner(3);
  const auto toWorld = inverse(editor.frame.camera.view);
  const Vec3 eye = toWorld ? Vec3{(*toWorld)[3][0], (*toWorld)[3][1], (*toWorld)[3][2]} : Vec3{};
  const Vec3 normal = normalise(cross(lr - ll, ul - ll));
  const float near = std::fabs(dot(eye - ll, normal));
  const std::string text = "\nll = " + vectorText(ll) + "\nlr = " + vectorText(lr) +
                           "\nul = " + vectorText(ul) + "\nur = " + vectorText(ur) +
                           "\n//pe = " + vectorText(eye) +
                           formatText("\nfNearplane = %.6ff;", near);
  editor.session.ui.message(text, "Error!", MessageIcon::warning);
}

void toggleInstance(Selection& s, InstanceRef picked) {
  auto& list = s.selectedInstances;
  const auto same = [](InstanceRef a, InstanceRef b) {
    return a.module == b.module && a.instance == b.instance;
  };
  const InstanceRef previous{s.currentModule, s.currentInstance};
  if (list.empty() && previous.module >= 0 && previous.instance >= 0 && !same(previous, picked))
    list.push_back(previous);
  const auto at =
      std::find_if(list.begin(), list.end(), [&](InstanceRef r) { return same(r, picked); });
  if (at != list.end()) {
    list.erase(at);
  } else {
    list.push_back(picked);
  }
  s.currentModule = s.currentInstance = -1;
}

void selectGroup(const Model& model, Selection& s, int group) {
  s.selectedInstances.clear();
  for (int m = 0; m < model.document.wldfiles; ++m) {
    const auto& instances = model.document.module[m].instances;
    for (std::size_t i = 0; i < instances.size(); ++i) {
      if (instances[i].group == group)
        s.selectedInstances.push_back({static_cast<std::int16_t>(m), static_cast<std::int16_t>(i)});
    }
  }
  s.currentGroup = static_cast<std::int16_t>(group);
  s.currentInstance = -1;
  s.currentModule = s.selectedInstances.empty() ? -1 : -2;
}

// Where the pointer is and which modifiers it came with.
void notePointer(FrameInput& in, float x, float y, KeyModifiers held) {
  in.pointerX = x;
  in.pointerY = y;
  in.cursorX = static_cast<int>(x);
  in.cursorY = static_cast<int>(y);
  in.cursorInside = true;
  in.controlHeld = held.ctrl;
  in.shiftHeld = held.shift;
}

}  // namespace

void pointerPressed(Editor& editor, PointerButton button, float x, float y, KeyModifiers held) {
  FrameInput& in = editor.frame.input;
  (button == PointerButton::left ? in.leftHeld : in.rightHeld) = true;
  in.movedSincePress = false;
  notePointer(in, x, y, held);
}

void pointerMovedTo(Editor& editor, float x, float y, KeyModifiers held) {
  FrameInput& in = editor.frame.input;
  const float dx = x - in.pointerX, dy = y - in.pointerY;
  notePointer(in, x, y, held);
  if (dx == 0 && dy == 0) return;
  in.movedSincePress = true;
  Model& model = editor.model();
  const bool canvasShift = model.settings.view.texelView && held.shift;
  if (in.leftHeld) {
    if (canvasShift && model.document.modelId != 7) {
      // Finer turns the closer the canvas is zoomed in.
      if (turnCanvasTexels(editor, gestureEdit(editor, "Turn Texels"),
                           dx * editor.frame.camera.texelZoom * 0.03141593f))
        noteChanges(model, Change::geometry);  // the drag shows as it goes
    } else {
      in.leftDx += dx;
      in.leftDy += dy;
    }
  }
  if (in.rightHeld) {
    if (canvasShift) {
      if (moveCanvasTexels(editor, gestureEdit(editor, "Move Texels"), dx, dy))
        noteChanges(model, Change::geometry);
    } else {
      in.rightDx += dx;
      in.rightDy += dy;
    }
  }
}

void pointerReleased(Editor& editor, PointerButton button, float x, float y, KeyModifiers held) {
  FrameInput& in = editor.frame.input;
  bool& down = button == PointerButton::left ? in.leftHeld : in.rightHeld;
  const bool click = down && !in.movedSincePress;
  down = false;
  endGesture(editor);
  if (!click) return;
  if (button == PointerButton::left) {
    leftClick(editor, x, y, held);
  } else {
    rightClick(editor, x, y, held);
  }
  showRefusedEdit(editor);  // a click that completes a typed polygon or snaps an edge
}

void pointerLeft(Editor& editor) {
  FrameInput& in = editor.frame.input;
  in.cursorInside = false;
  in.leftHeld = in.rightHeld = false;
  endGesture(editor);
}

void wheelTurned(Editor& editor, int delta) {
  editor.frame.input.wheelDelta += delta;
}

void leftClick(Editor& editor, float x, float y, KeyModifiers held) {
  if (editor.editing.entryActive && entryGraphPaperClick(editor, x, y)) return;
  Model& model = editor.model();
  Selection& s = model.selection;
  const int hit = polygonUnder(editor, x, y);
  if (hit < 0) {
    clearPolygonSelection(editor);
  } else if (held.ctrl && s.currentPolygon != -1) {
    togglePolygon(s, hit);
  } else {
    if (hit == s.currentPolygon) editor.editing.sourceEdgeSet = false;
    s.currentPolygon = hit;
    s.selectedPolygons.clear();
  }
  repairSelection(model);
  noteChanges(model, Change::selection | Change::menus);
}

void rightClick(Editor& editor, float x, float y, KeyModifiers held) {
  Model& model = editor.model();
  if (model.settings.view.texelView) return canvasRightClick(editor, x, y);
  Selection& s = model.selection;
  const Camera& camera = editor.frame.camera;
  const InstancePick picked =
      pickInstance(model, x, y, camera.viewport, camera.view, camera.projection);
  const bool any = validInstance(model, picked.module, picked.instance);
  const InstanceRef ref{static_cast<std::int16_t>(picked.module),
                        static_cast<std::int16_t>(picked.instance)};
  if (any) {
    const Module& module = model.document.module[picked.module];
    const Instance& t = module.instances[picked.instance];
    if (t.type == instance_type::hullMap && module.polygons.size() == 1)
      return showScreenCorners(editor, module, t);
  }
  if (held.ctrl) {
    if (any) toggleInstance(s, ref);
  } else if (held.shift) {
    if (any) {
      selectGroup(model, s, model.document.module[picked.module].instances[picked.instance].group);
    } else {
      s.selectedInstances.clear();
      s.currentModule = s.currentInstance = -1;
      s.currentGroup = -1;
    }
  } else {
    s.selectedInstances.clear();
    s.selectedPolygons.clear();
    s.currentPolygon = -1;
    s.currentGroup = -1;
    s.currentModule = any ? ref.module : -1;
    s.currentInstance = any ? ref.instance : -1;
    if (any) autoCentre(editor.frame.camera, model);
  }
  // The city's ground grid is building 0.
  if (isCity(model.document) && model.document.wldfiles > 0 &&
      s.currentModule == model.document.wldfiles - 1)
    s.currentGroup = 0;
  repairSelection(model);
  noteChanges(model, Change::selection | Change::menus);
}

void endGesture(Editor& editor) {
  if (!editor.gesture) return;
  editor.gesture->commit();
  editor.gesture.reset();
  showRefusedEdit(editor);
}

}  // namespace tessarim
