#include "commands/modifiers_commands.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "commands/menu_context.hpp"
#include "commands/motion_commands.hpp"
#include "editing/edit_history.hpp"
#include "editor/editor.hpp"
#include "editor/refused_edits.hpp"
#include "formats/text_scanner.hpp"
#include "formats/text_writer.hpp"
#include "model/city_corners.hpp"
#include "model/geometry.hpp"
#include "model/modifiers.hpp"
#include "platform/ui.hpp"

namespace tessarim {
namespace {

// Connectors are placed in feet, lights in units of scale class 1.
constexpr double connectorKilometres = 0.0003048;
constexpr double lightKilometres = 0.00034822;

constexpr Changes documentChanges = Change::modified | Change::title | Change::menus;

void modifyModule(Edit& edit, Model& model, int index, const ModifierValues& values) {
  const bool sudoSu = model.settings.sudoSu;
  const Module& module = model.document.module[index];
  const VertexModification touches = vertexModification(values, sudoSu);
  if (touches.vertices && !module.vertices.empty()) edit.vertices(index);
  if (touches.polygons && !module.polygons.empty()) edit.polygons(index);
  modifyVertices(model.document.module[index], values, sudoSu);
}

// Every instance of the module, or only the one numbered `only`.
void modifyPlacements(Edit& edit, Model& model, int index, int only, const ModifierValues& values,
                      const Matrix& skew) {
  const Module& module = model.document.module[index];
  if (!modifiesInstances(values) || module.instances.empty()) return;
  std::vector<Instance>& instances = edit.placements(index);
  if (only >= 0) {
    modifyInstance(module, instances[only], values, skew);
    return;
  }
  for (Instance& instance : instances) modifyInstance(module, instance, values, skew);
}

void moveConnectorsAndLights(Edit& edit, Document& document, const ModifierValues& v) {
  const bool offset = v.ox != 0 || v.oy != 0 || v.oz != 0;
  if (offset && !document.connectors.empty()) {
    const std::array<double, 3> by{v.ox * connectorKilometres, v.oy * connectorKilometres,
                                   v.oz * connectorKilometres};
    for (Connector& c : edit.part(document.connectors, documentChanges)) {
      for (int k = 0; k < 3; ++k) {
        c.farEnd[k] = static_cast<float>(c.farEnd[k] + by[k]);
        c.nearEnd[k] = static_cast<float>(c.nearEnd[k] + by[k]);
      }
    }
  }
  const int lights = std::clamp<int>(document.lightCount, 0, maxLights);
  const bool scale = v.sx != 1 || v.sy != 1 || v.sz != 1;
  if (lights == 0 || !(offset || scale)) return;
  const std::array<double, 3> by{v.ox * lightKilometres, v.oy * lightKilometres,
                                 v.oz * lightKilometres};
  const std::array<float, 3> times{v.sx, v.sy, v.sz};
  auto& kept = edit.part(document.lights, documentChanges);
  for (int i = 0; i < lights; ++i) {
    for (int k = 0; k < 3; ++k) {
      float& p = kept[i].position[k];
      p = static_cast<float>((p + by[k]) * times[k]);
    }
  }
}

}  // namespace

bool openModifiers(Editor& editor, const Command&) {
  const Model& model = editor.model();
  if (model.document.wldfiles == 0 || model.selection.currentModule == -2) return false;
  ModifierValues& stored = editor.modifiers;
  stored.vertex = true;
  stored.round = false;
  stored.skew = false;
  editor.session.ui.modifiersDialog(
      stored, [&editor](const ModifierValues& values) { applyModifiers(editor, values); });
  return true;
}

bool applyModifiers(Editor& editor, const ModifierValues& values) {
  Model& model = editor.model();
  Document& document = model.document;
  const int n = document.wldfiles;
  const int current = model.selection.currentModule;
  const int instance = model.selection.currentInstance;
  if (n == 0 || current < -1 || current >= n) return false;
  if (current >= 0 && instance != -1 &&
      (instance < 0 ||
       static_cast<std::size_t>(instance) >= document.module[current].instances.size()))
    return false;

  const bool extended = retractPose(editor);

  Edit edit(model, editor.history, "Modifiers");
  const bool places = placesModules(document);
  // Every city type's corners admit the map; should one not, the skew leaves locations alone.
  const Matrix skew = values.skew
                          ? cityCornerTransform(document.modelId, true).value_or(identityMatrix())
                          : identityMatrix();
  if (current == -1) {
    for (int m = 0; m < n; ++m) {
      if (values.vertex) {
        modifyModule(edit, model, m, values);
      } else if (isAssembly(document) || (isCity(document) && m != n - 1)) {
        modifyPlacements(edit, model, m, -1, values, skew);
      }
    }
    if (places) moveConnectorsAndLights(edit, document, values);
  } else if (values.vertex) {
    modifyModule(edit, model, current, values);
  } else if (places) {
    modifyPlacements(edit, model, current, instance, values, skew);
  }
  edit.report(Change::geometry);
  edit.commit();

  restorePose(editor, extended);
  computeStatistics(model);
  // Shown here, while the dialog stays open for other values.
  return !showRefusedEdit(editor);
}

std::string modifierNumberText(float value) {
  return formatText("%f", value);
}

std::string modifierAngleText(float radians) {
  return formatText("%f", radians * 57.295776);
}

float modifierRadians(float degrees) {
  return static_cast<float>(degrees * 0.017453292);
}

std::optional<float> readModifierNumber(std::string_view text) {
  float value = 0;
  TextScanner scanner(text);
  if (scanner.scan("%f", &value) != 1 || !std::isfinite(value)) return std::nullopt;
  return value;
}

bool modifierNumberTooLarge(std::string_view text) {
  float value = 0;
  TextScanner scanner(text);
  if (scanner.scan("%f", &value) != 1 || !std::isinf(value)) return false;
  // "inf" and "infinity" are read as infinite too, but they are words.
  const std::size_t first = text.find_first_not_of(" \t\n\v\f\r+-");
  return first != std::string_view::npos &&
         ((text[first] >= '0' && text[first] <= '9') || text[first] == '.');
}

bool canApplyModifiers(const MenuContext& c, const Command&) {
  return c.n > 0 && c.currentModule != -2;
}

}  // namespace tessarim
