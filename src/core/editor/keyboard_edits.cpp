#include "editor/keyboard_edits.hpp"

#include <algorithm>
#include <cmath>
#include <optional>

#include "editing/edit_history.hpp"
#include "editor/canvas_edits.hpp"
#include "editor/editor.hpp"
#include "editor/pointer_edits.hpp"
#include "editor/polygon_entry.hpp"
#include "editor/refused_edits.hpp"
#include "equipment/motion.hpp"
#include "model/instance_types.hpp"
#include "model/model.hpp"
#include "model/scale_class.hpp"

namespace tessarim {
namespace {

constexpr float fineAngle = 0.017453292f;  // 1 degree, with Alt
constexpr float coarseAngle = 0.2617994f;  // 15 degrees, with Ctrl
constexpr float quarterTurn = 1.5707964f;  // a group turns about the vertical by this
constexpr float extentReach = 199999;      // a motion extent stays within this of the origin
constexpr float canvasFineTurn = 0.0031415927f;
constexpr int zoomStep = 120;

enum Angle { yaw = 0, pitch = 1, roll = 2 };

// What a key does to instances: a move along an axis, or a turn of one angle.
struct Nudge {
  int axis = -1;  // 0 X, 1 Y, 2 Z; -1 none
  float sign = 0;
  int angle = -1;  // yaw, pitch or roll; -1 none
};

Nudge moveOf(ViewKey key) {
  switch (key) {
    case ViewKey::left:
      return {0, -1};
    case ViewKey::right:
      return {0, 1};
    case ViewKey::up:
      return {1, 1};
    case ViewKey::down:
      return {1, -1};
    case ViewKey::pageUp:
      return {2, 1};
    case ViewKey::pageDown:
      return {2, -1};
    default:
      return {};
  }
}

Nudge turnOf(ViewKey key) {
  switch (key) {
    case ViewKey::left:
      return {-1, 1, pitch};
    case ViewKey::right:
      return {-1, -1, pitch};
    case ViewKey::up:
      return {-1, 1, yaw};
    case ViewKey::down:
      return {-1, -1, yaw};
    case ViewKey::keypad0:
      return {-1, 1, roll};
    case ViewKey::keypadDecimal:
      return {-1, -1, roll};
    default:
      return {};
  }
}

bool isKeypadTurn(ViewKey key) {
  return key == ViewKey::keypad0 || key == ViewKey::keypadDecimal;
}

bool validInstance(const Model& model, int m, int i) {
  return m >= 0 && m < model.document.wldfiles && i >= 0 &&
         static_cast<std::size_t>(i) < model.document.module[m].instances.size();
}

// Keys while a typed entry runs; the rest of the keyboard waits for it to end.
std::optional<EntryKey> entryKeyOf(ViewKey key) {
  switch (key) {
    case ViewKey::enter:
    case ViewKey::down:
      return EntryKey::accept;
    case ViewKey::up:
      return EntryKey::back;
    case ViewKey::escape:
      return EntryKey::cancel;
    case ViewKey::backspace:
      return EntryKey::backspace;
    case ViewKey::pageUp:
      return EntryKey::depthUp;
    case ViewKey::pageDown:
      return EntryKey::depthDown;
    default:
      return std::nullopt;
  }
}

void canvasKeyDown(Editor& editor, ViewKey key, KeyModifiers held) {
  Model& model = editor.model();
  if (const Nudge move = moveOf(key); move.axis == 0 || move.axis == 1) {
    Edit edit(model, editor.history, "Move Texels");
    // v grows down the canvas, so Up moves the texels up the picture.
    if (move.axis == 0) {
      moveCanvasTexels(editor, edit, move.sign, 0);
    } else {
      moveCanvasTexels(editor, edit, 0, -move.sign);
    }
    edit.report(Change::selection);
    edit.commit();
    return;
  }
  if (!isKeypadTurn(key) || (!held.ctrl && !held.alt)) return;
  const float sign = key == ViewKey::keypad0 ? -1.0f : 1.0f;
  const float angle = held.ctrl ? coarseAngle : canvasFineTurn * editor.frame.camera.texelZoom;
  Edit edit(model, editor.history, "Turn Texels");
  turnCanvasTexels(editor, edit, sign * angle);
  edit.commit();
}

// Instances of the document as one edit sees them: each module's list is kept before its first
// change.
class Placements {
 public:
  explicit Placements(Edit& edit) : edit_(edit) {}
  Instance& at(int m, int i) { return edit_.placements(m)[static_cast<std::size_t>(i)]; }

 private:
  Edit& edit_;
};

// The same angle of every other instance of a body part follows it: clothing and accessories
// worn over the body turn with it.
void copyToSameType(Model& model, Placements& places, int m, int i, int angle) {
  const Instance& source = model.document.module[m].instances[i];
  const float value = source.orientation[angle];
  const int type = source.type;
  for (int om = 0; om < model.document.wldfiles; ++om) {
    const auto& instances = model.document.module[om].instances;
    for (std::size_t oi = 0; oi < instances.size(); ++oi) {
      if ((om == m && static_cast<int>(oi) == i) || instances[oi].type != type) continue;
      places.at(om, static_cast<int>(oi)).orientation[angle] = value;
    }
  }
}

// Turns the child joints back by the step, so that they keep their pose in the world.
void counterRotateChildren(Model& model, Placements& places, int type, int angle, float delta,
                           float step) {
  for (int m = 0; m < model.document.wldfiles; ++m) {
    const auto& instances = model.document.module[m].instances;
    for (std::size_t i = 0; i < instances.size(); ++i) {
      if (bodyPartParent(instances[i].type) != type) continue;
      float& a = places.at(m, static_cast<int>(i)).orientation[angle];
      a = snapAngle(a, -delta, step);
    }
  }
}

void moveGroup(Model& model, Placements& places, int group, int axis, float distance) {
  for (int m = 0; m < model.document.wldfiles; ++m) {
    const auto& instances = model.document.module[m].instances;
    for (std::size_t i = 0; i < instances.size(); ++i) {
      if (instances[i].group != group) continue;
      Instance& t = places.at(m, static_cast<int>(i));
      t.location[axis] += distance;
      t.endLocation[axis] += distance;
    }
  }
}

// An assembly's group turns a quarter about the vertical through its members' mean place,
// rounded to whole units; a city's buildings each turn their roll instead.
void turnGroup(Model& model, Placements& places, int group, float sign, float step) {
  std::vector<std::pair<int, int>> members;
  double sx = 0, sy = 0;
  for (int m = 0; m < model.document.wldfiles; ++m) {
    const auto& instances = model.document.module[m].instances;
    for (std::size_t i = 0; i < instances.size(); ++i) {
      if (instances[i].group != group) continue;
      members.emplace_back(m, static_cast<int>(i));
      sx += instances[i].location[0];
      sy += instances[i].location[1];
    }
  }
  if (members.empty()) return;
  if (isCity(model.document)) {
    for (const auto& [m, i] : members) {
      float& a = places.at(m, i).orientation[roll];
      a = snapAngle(a, sign * step, step);
    }
    return;
  }
  const auto n = static_cast<double>(members.size());
  // Rounded as doubles: a centre beyond the range of long is still a centre.
  const float cx = static_cast<float>(std::round(sx / n));
  const float cy = static_cast<float>(std::round(sy / n));
  const auto turn = [&](std::array<float, 3>& p) {
    const float dx = p[0] - cx, dy = p[1] - cy;
    // A quarter turn: exact, so that four of them bring every member back.
    p[0] = cx - sign * dy;
    p[1] = cy + sign * dx;
  };
  for (const auto& [m, i] : members) {
    Instance& t = places.at(m, i);
    turn(t.location);
    turn(t.endLocation);
    t.orientation[roll] += sign * quarterTurn;
  }
}

void nudgeList(Model& model, Placements& places, const Nudge& move, const Nudge& turn,
               float angleStep, bool fine) {
  const Selection& s = model.selection;
  const ViewOptions& view = model.settings.view;
  std::vector<InstanceRef> refs;
  for (const InstanceRef r : s.selectedInstances) {
    if (validInstance(model, r.module, r.instance)) refs.push_back(r);
  }
  if (move.axis >= 0) {
    // Every listed instance moves the same distance in the world: one unit of the coarsest.
    double coarsest = 0;
    for (const InstanceRef r : refs)
      coarsest = std::max(coarsest, unitKilometres(model.document.module[r.module].scaleClass));
    for (const InstanceRef r : refs) {
      const double own = unitKilometres(model.document.module[r.module].scaleClass);
      if (own <= 0) continue;
      places.at(r.module, r.instance).location[move.axis] +=
          move.sign * static_cast<float>(coarsest / own) * (fine ? 0.1f : 1.0f);
    }
    return;
  }
  for (const InstanceRef r : refs) {
    float& a = places.at(r.module, r.instance).orientation[turn.angle];
    a = snapAngle(a, turn.sign * angleStep, angleStep);
  }
  if (view.counterRotateChildren) return;
  for (const InstanceRef r : refs) {
    if (isBodyPart(model.document.module[r.module].instances[r.instance].type))
      copyToSameType(model, places, r.module, r.instance, turn.angle);
  }
}

void nudgeCurrent(Editor& editor, Edit& edit, Placements& places, const Nudge& move,
                  const Nudge& turn, float angleStep, int step) {
  Model& model = editor.model();
  const Selection& s = model.selection;
  const int m = s.currentModule, i = s.currentInstance;
  if (!validInstance(model, m, i)) return;
  const Instance& t = model.document.module[m].instances[i];
  if (move.axis >= 0) {
    if (t.type == instance_type::torso) {
      // The torso carries the figure: the skeleton's offset moves instead.
      edit.part(model.motion, placementChanges).skeletonOffset[move.axis] += move.sign;
      return;
    }
    const float distance =
        move.sign * static_cast<float>(step) * (model.settings.sudoSu ? 0.1f : 1);
    Instance& placed = places.at(m, i);
    if (model.motion.extended && placed.type != instance_type::unassigned) {
      float& e = placed.endLocation[move.axis];
      e = std::clamp(e + distance, -extentReach, extentReach);
    } else {
      placed.location[move.axis] += distance;
    }
    return;
  }
  const float delta = turn.sign * angleStep;
  float& a = places.at(m, i).orientation[turn.angle];
  a = snapAngle(a, delta, angleStep);
  if (!isBodyPart(t.type)) return;
  if (model.settings.view.counterRotateChildren) {
    counterRotateChildren(model, places, t.type, turn.angle, delta, angleStep);
  } else {
    copyToSameType(model, places, m, i, turn.angle);
  }
}

void instanceKeyDown(Editor& editor, ViewKey key, KeyModifiers held) {
  Model& model = editor.model();
  const Selection& s = model.selection;
  const bool turning = held.ctrl || held.alt;
  const float angleStep = held.alt ? fineAngle : coarseAngle;
  // Page Up and Page Down move whatever is held with them.
  const bool pageKey = key == ViewKey::pageUp || key == ViewKey::pageDown;
  const Nudge move = !turning || pageKey ? moveOf(key) : Nudge{};
  const Nudge turn = turning && !pageKey ? turnOf(key) : Nudge{};
  if (move.axis < 0 && turn.angle < 0) return;
  const int step = instanceMoveStep(editor.frame.camera.eyeDistance);
  const bool fine = model.settings.sudoSu;

  Edit edit(model, editor.history, turn.angle >= 0 ? "Turn" : "Move");
  Placements places(edit);
  if (s.currentGroup != -1) {
    if (!turning && move.axis >= 0) {
      moveGroup(model, places, s.currentGroup, move.axis,
                move.sign * static_cast<float>(step) * (fine ? 0.1f : 1));
    } else if (turning && isKeypadTurn(key)) {
      turnGroup(model, places, s.currentGroup, turn.sign, angleStep);
    }
  } else if (!s.selectedInstances.empty()) {
    nudgeList(model, places, move, turn, angleStep, fine);
  } else {
    nudgeCurrent(editor, edit, places, move, turn, angleStep, step);
  }
  edit.commit();
}

}  // namespace

float snapAngle(float angle, float delta, float step) {
  return static_cast<float>(std::lround((angle + delta) / step)) * step;
}

int instanceMoveStep(float eyeDistance) {
  const float scaled = eyeDistance * 11.627907f;
  return scaled >= 1 && scaled < 1e9f ? static_cast<int>(scaled) : 1;
}

bool viewKeyDown(Editor& editor, ViewKey key, KeyModifiers held) {
  endGesture(editor);  // a drag still under way is one edit, before this one
  if (editor.editing.entryActive) {
    const std::optional<EntryKey> entry = entryKeyOf(key);
    if (entry) entryKey(editor, *entry);
    showRefusedEdit(editor);
    return entry.has_value();
  }
  Model& model = editor.model();
  const ViewOptions& view = model.settings.view;
  if (key == ViewKey::keypadPlus || key == ViewKey::keypadMinus) {
    const int step = key == ViewKey::keypadPlus ? -zoomStep : zoomStep;
    Camera& camera = editor.frame.camera;
    (view.texelView ? camera.texelZoomPosition : camera.zoomPosition) += step;
    return true;
  }
  if (view.texelView) {
    canvasKeyDown(editor, key, held);
  } else if (placesModules(model.document)) {
    instanceKeyDown(editor, key, held);
  }
  showRefusedEdit(editor);
  return true;
}

void viewCharacter(Editor& editor, char32_t character) {
  entryCharacter(editor, character);
}

}  // namespace tessarim
