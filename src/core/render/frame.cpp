#include "render/frame.hpp"

#include <algorithm>
#include <cmath>

#include "commands/editor.hpp"
#include "commands/menu_state.hpp"
#include "export/geometry_builder.hpp"
#include "model/model.hpp"

namespace tessarim {
namespace {

// Keeps the selection within what the document holds before anything reads it this frame.
void checkSelection(Model& model) {
  Selection& selection = model.selection;
  if (!model.settings.asmfile && !model.settings.ctyfile) selection.currentModule = 0;
  if (selection.selectedInstanceCount > 0) selection.currentModule = -2;
  if (selection.currentModule >= 0 && selection.currentPolygon >= 0 &&
      static_cast<std::size_t>(selection.currentPolygon) >= model.module[selection.currentModule].polygons.size()) {
    selection.currentPolygon = -1;
  }
}

}  // namespace

void frameMove(Editor& editor, float elapsedSeconds, MenuSink& menu) {
  Model& model = editor.model();
  checkSelection(model);
  refreshMenuState(editor, elapsedSeconds, menu);
  if (model.status.geometryDirty) {
    GeometryOptions options;
    options.texelView = model.settings.view.texelView;
    options.texelMapIndex = model.settings.view.texelMapIndex;
    buildGeometry(model, editor.session.ui, editor.scene, options);
    model.status.geometryDirty = false;
  }
}

std::array<std::uint8_t, 4> clearColour(std::uint32_t background, float ambient) {
  std::array<std::uint8_t, 4> rgba{};
  const int shifts[4] = {16, 8, 0, 24};
  for (int i = 0; i < 4; ++i) {
    const float channel = static_cast<float>((background >> shifts[i]) & 0xFF) / 255.0f * ambient;
    rgba[i] = static_cast<std::uint8_t>(std::lround(std::clamp(channel, 0.0f, 1.0f) * 255.0f));
  }
  return rgba;
}

}  // namespace tessarim
