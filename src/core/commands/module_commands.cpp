#include "commands/module_commands.hpp"

#include <algorithm>
#include <cmath>

#include "commands/command_table.hpp"
#include "commands/menu_context.hpp"
#include "commands/motion_commands.hpp"
#include "commands/selection_commands.hpp"
#include "editing/edit_history.hpp"
#include "editor/editor.hpp"
#include "maths/maths.hpp"
#include "model/geometry.hpp"

namespace tessarim {
namespace {

Vec3 rounded(Vec3 v) {
  return {std::round(v.x), std::round(v.y), std::round(v.z)};
}

Vec3 vec(const std::array<float, 3>& a) {
  return {a[0], a[1], a[2]};
}

void store(std::array<float, 3>& a, Vec3 v) {
  a = {v.x, v.y, v.z};
}

enum class OriginKind { weighted, centered };

// The mean of the vertices, or the centre of their bounds; the module has vertices.
Vec3 originOf(const std::vector<Vertex>& vertices, OriginKind kind) {
  if (kind == OriginKind::weighted) {
    double x = 0, y = 0, z = 0;
    for (const Vertex& v : vertices) {
      x += v.x;
      y += v.y;
      z += v.z;
    }
    const auto n = static_cast<double>(vertices.size());
    return {static_cast<float>(x / n), static_cast<float>(y / n), static_cast<float>(z / n)};
  }
  Vertex lo = vertices.front(), hi = vertices.front();
  for (const Vertex& v : vertices) {
    lo = {std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)};
    hi = {std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
  }
  return {(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2};
}

// The origin moves to c: the vertices by -c, and each instance by c as it is placed (turned by
// its yaw, pitch and roll), so the world positions stay. Motions are measured at their
// retracted end while it runs.
bool averageOrigin(Editor& editor, OriginKind kind, const char* name) {
  Model& model = editor.model();
  const int index = model.selection.currentModule;
  if (index < 0 || index >= model.document.wldfiles ||
      model.document.module[index].vertices.empty())
    return false;
  const bool extended = retractPose(editor);

  Edit edit(model, editor.history, name);
  std::vector<Vertex>& vertices = edit.vertices(index);
  const Vec3 c = rounded(originOf(vertices, kind));
  for (Vertex& v : vertices) v = {v.x - c.x, v.y - c.y, v.z - c.z};
  const bool exact = model.settings.sudoSu;
  for (Instance& t : edit.placements(index)) {
    const Vec3 location = vec(t.location);
    const Matrix turn = rotationYawPitchRoll(t.orientation[0], t.orientation[1], t.orientation[2]);
    Vec3 placed = transformCoord(c, turn) + location;
    if (exact) {
      const Vec3 d = placed - location;
      store(t.location, placed);
      store(t.endLocation, vec(t.endLocation) + d);
      store(t.hingeOffset, vec(t.hingeOffset) - d);
    } else {
      placed = rounded(placed);
      const Vec3 d = placed - location;
      store(t.location, placed);
      store(t.endLocation, rounded(vec(t.endLocation) + d));
      store(t.hingeOffset, rounded(vec(t.hingeOffset) - d));
    }
  }
  edit.commit();

  restorePose(editor, extended);
  recentreOnCurrentInstance(editor);
  computeStatistics(model);
  return true;
}

bool flipAxis(Editor& editor, float Vertex::*axis, const char* name) {
  Model& model = editor.model();
  const int index = model.selection.currentModule;
  if (index < 0 || index >= model.document.wldfiles) return false;
  Edit edit(model, editor.history, name);
  for (Vertex& v : edit.vertices(index)) v.*axis = -(v.*axis);
  edit.commit();
  return true;
}

}  // namespace

bool averageOriginWeighted(Editor& editor, const Command&) {
  return averageOrigin(editor, OriginKind::weighted, "Average Origin (Weighted)");
}

bool averageOriginCentered(Editor& editor, const Command&) {
  return averageOrigin(editor, OriginKind::centered, "Average Origin (Centered)");
}

bool canAverageOrigin(const MenuContext& c, const Command&) {
  return c.assembly && c.single();
}

bool flipAroundX(Editor& editor, const Command&) {
  return flipAxis(editor, &Vertex::x, "Flip Around X Axis");
}

bool flipAroundY(Editor& editor, const Command&) {
  return flipAxis(editor, &Vertex::y, "Flip Around Y Axis");
}

}  // namespace tessarim
