#include "editor/pointer_edits.hpp"

#include <memory>

#include "editing/edit_history.hpp"
#include "editor/editor.hpp"
#include "model/geometry.hpp"
#include "model/model.hpp"

namespace tessarim {
namespace {

// Turns the texels the texel view shows: of every selected polygon about their common centre, or
// of the current polygon (the overlay's set while the overlay is shown).
void turnCanvasTexels(Editor& editor, float angle) {
  Model& model = editor.model();
  const Selection& s = model.selection;
  const int m = s.currentModule;
  if (angle == 0 || m < 0 || m >= model.document.wldfiles) return;
  const bool several = s.currentPolygon == -2 && !s.selectedPolygons.empty();
  const bool one = s.currentPolygon >= 0 && static_cast<std::size_t>(s.currentPolygon) <
                                                model.document.module[m].polygons.size();
  if (!several && !one) return;
  if (!editor.gesture)
    editor.gesture = std::make_unique<Edit>(model, editor.history, "Turn Texels");
  editor.gesture->polygons(m);  // the texels live in the polygons
  Module& module = model.document.module[m];
  if (several) {
    rotateSelectedTexels(model, m, angle, true);
  } else {
    const int set = model.settings.view.texelMapIndex == 4 ? 1 : 0;
    rotatePolygonTexels(module, set, s.currentPolygon, angle, true);
  }
  // The drag shows as it goes; the edit is committed when the button comes up.
  noteChanges(model, Change::geometry);
}

}  // namespace

void pointerMoved(Editor& editor, float dx, float dy) {
  FrameInput& in = editor.frame.input;
  const Model& model = editor.model();
  if (in.leftHeld) {
    if (model.settings.view.texelView && in.shiftHeld && model.document.modelId != 7) {
      // Finer turns the closer the canvas is zoomed in.
      turnCanvasTexels(editor, dx * editor.frame.camera.texelZoom * 0.03141593f);
    } else {
      in.leftDx += dx;
      in.leftDy += dy;
    }
  }
  if (in.rightHeld) {
    in.rightDx += dx;
    in.rightDy += dy;
  }
}

void leftReleased(Editor& editor) {
  editor.frame.input.leftHeld = false;
  endGesture(editor);
}

void endGesture(Editor& editor) {
  if (!editor.gesture) return;
  editor.gesture->commit();
  editor.gesture.reset();
}

}  // namespace tessarim
