#include "commands/motion_commands.hpp"

#include <cmath>

#include "commands/command_table.hpp"
#include "commands/menu_context.hpp"
#include "editing/edit_history.hpp"
#include "editor/editor.hpp"
#include "equipment/motion.hpp"
#include "maths/maths.hpp"
#include "model/geometry.hpp"

namespace tessarim {

bool setExtendedView(Editor& editor, const Command& command) {
  editor.model().motion.extended = command.code != 0;
  return true;
}

bool extendedViewIs(const MenuContext& c, const Command& command) {
  return c.model.motion.extended == (command.code != 0);
}

bool canExtendOrRetract(const MenuContext& c, const Command&) {
  return c.assembly && !c.animating() && c.model.motion.endMode == EndMode::none;
}

bool toggleEndMode(Editor& editor, const Command& command) {
  MotionState& motion = editor.model().motion;
  const auto mode = static_cast<EndMode>(command.code);
  if (motion.endMode == mode) {
    motion.endMode = EndMode::none;
  } else {
    motion.endMode = mode;
    motion.extended = true;
  }
  return true;
}

bool endModeIs(const MenuContext& c, const Command& command) {
  return static_cast<int>(c.model.motion.endMode) == command.code;
}

bool canSetEndMode(const MenuContext& c, const Command&) {
  return c.assembly && !c.animating();
}

// The skeleton is saved with the document: choosing one, even the same again, modifies it.
bool setSkeleton(Editor& editor, const Command& command) {
  Edit edit(editor.model(), editor.history, "Skeleton");
  edit.part(editor.view().skeletonKind, Change::menus) = static_cast<std::uint8_t>(command.code);
  edit.report(Change::modified | Change::title | Change::menus);
  edit.commit();
  return true;
}

bool skeletonIs(const MenuContext& c, const Command& command) {
  return c.view.skeletonKind == command.code;
}

bool setAgility(Editor& editor, const Command& command) {
  editor.view().agility = static_cast<float>(command.code) / 100;
  return true;
}

bool agilityIs(const MenuContext& c, const Command& command) {
  return std::lround(c.view.agility * 100) == command.code;
}

bool copySequence(Editor& editor, const Command&) {
  ViewOptions& v = editor.view();
  v.copySourceSlot = v.animationSlot;
  return true;
}

bool animating(const MenuContext& c, const Command&) {
  return c.animating();
}

bool canEditHinge(const MenuContext& c, const Command&) {
  return c.assembly && !c.animating() &&
         (c.currentModule == -2 ||
          (c.instance != nullptr && c.instance->type != 0 && !isBodyPart(c.instance->type)));
}

bool canSnapMotion(const MenuContext& c, const Command&) {
  return c.assembly && !c.animating() &&
         (c.currentModule == -2 || (c.instance != nullptr && c.instance->type != 0));
}

bool canClearMotion(const MenuContext& c, const Command&) {
  return c.assembly && !c.animating() && c.instance != nullptr && c.instance->type != 0;
}

bool canPasteSequence(const MenuContext& c, const Command&) {
  return c.animating() && c.view.copySourceSlot != -1;
}

bool animationSlotIs(const MenuContext& c, const Command& command) {
  return c.view.animationSlot == command.code;
}

bool calculateNormal(Editor& editor, const Command&) {
  Model& model = editor.model();
  const Selection& sel = model.selection;
  if (sel.currentModule < 0 || sel.currentModule >= model.document.wldfiles) return false;
  const Module& module = model.document.module[sel.currentModule];
  if (sel.currentInstance < 0 ||
      static_cast<std::size_t>(sel.currentInstance) >= module.instances.size())
    return false;
  const Matrix& world = module.instances[sel.currentInstance].worldMatrix;
  const Camera& camera = editor.frame.camera;
  const FrameInput& pointer = editor.frame.input;
  const PickResult hit = pick(module, world, pointer.pointerX, pointer.pointerY, false, 0,
                              camera.viewport, camera.view, camera.projection);
  if (hit.hitCount == 0) return false;
  const Vec3 axis = normalise(transformNormal(polygonNormal(module, hit.polygon), world));
  Edit edit(model, editor.history, "Calculate Normal");
  edit.placements(sel.currentModule)[sel.currentInstance].hingeAxis = {axis.x, axis.y, axis.z};
  edit.commit();
  return true;
}
namespace {

// Long enough for every motion to reach its end.
constexpr float settleSeconds = 999;

void settleMotion(Editor& editor) {
  motionStep(editor.model(), settleSeconds, editor.frame.clockSeconds, editor.frame.camera.view);
}

}  // namespace

bool retractPose(Editor& editor) {
  const bool extended = editor.model().motion.extended;
  editor.model().motion.extended = false;
  settleMotion(editor);
  return extended;
}

void restorePose(Editor& editor, bool extended) {
  editor.model().motion.extended = extended;
  settleMotion(editor);
}

}  // namespace tessarim
