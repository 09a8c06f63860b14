#include "commands/polygon_commands.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "commands/colour_commands.hpp"
#include "commands/command_table.hpp"
#include "commands/menu_context.hpp"
#include "editing/edit_history.hpp"
#include "editor/editor.hpp"
#include "editor/frame.hpp"
#include "editor/polygon_entry.hpp"
#include "formats/palette.hpp"
#include "model/geometry.hpp"
#include "platform/ui.hpp"

namespace tessarim {
namespace {

// The polygons of the current module a command acts on: all of them, or the listed ones (each
// once, those past the list's end left out).
struct PolygonScope {
  int module = -1;
  bool all = false;
  std::vector<std::uint32_t> listed;

  bool empty(const Module& m) const { return all ? m.polygons.empty() : listed.empty(); }
};

const Module* loadedModule(const Model& model, int index) {
  return index >= 0 && index < model.document.wldfiles ? &model.document.module[index] : nullptr;
}

// currentPolygon >= 0: that polygon; -2: the selected polygons; -1: every polygon (unless
// withAll is false). Nothing without a loaded current module.
std::optional<PolygonScope> currentScope(const Model& model, bool withAll = true) {
  const Selection& sel = model.selection;
  const Module* m = loadedModule(model, sel.currentModule);
  if (m == nullptr) return std::nullopt;
  PolygonScope scope;
  scope.module = sel.currentModule;
  const std::size_t count = m->polygons.size();
  if (sel.currentPolygon == -1) {
    scope.all = withAll;
  } else if (sel.currentPolygon >= 0) {
    if (static_cast<std::size_t>(sel.currentPolygon) < count)
      scope.listed.push_back(static_cast<std::uint32_t>(sel.currentPolygon));
  } else if (sel.currentPolygon == -2) {
    for (std::uint32_t i : sel.selectedPolygons) {
      if (i < count) scope.listed.push_back(i);
    }
    std::sort(scope.listed.begin(), scope.listed.end());
    scope.listed.erase(std::unique(scope.listed.begin(), scope.listed.end()), scope.listed.end());
  }
  return scope;
}

// Keeps what the scope changes, the smallest part that holds it, and runs change on each of its
// polygons.
template <class Fn>
void changeScope(Edit& edit, const PolygonScope& scope, Fn change) {
  if (scope.all) {
    for (Polygon& p : edit.polygons(scope.module)) change(p);
  } else {
    std::vector<Polygon>& list = edit.polygons(scope.module, scope.listed);
    for (std::uint32_t i : scope.listed) change(list[i]);
  }
}

// The colour commands' polygons: the current module's scope, or with several instances
// selected every polygon of each listed instance's module, once per entry.
std::vector<PolygonScope> colourScopes(const Model& model) {
  std::vector<PolygonScope> scopes;
  if (model.selection.currentModule == -2) {
    for (const InstanceRef r : model.selection.selectedInstances) {
      const Module* m = loadedModule(model, r.module);
      if (m == nullptr || m->polygons.empty()) continue;
      scopes.push_back({r.module, true, {}});
    }
  } else if (auto scope = currentScope(model);
             scope && !scope->empty(model.document.module[scope->module])) {
    scopes.push_back(*scope);
  }
  return scopes;
}

// Corners as the file writes them: at most four.
int usedCorners(const Polygon& p) {
  return std::min<int>(p.sides, 4);
}

void reverseCorners(Polygon& p) {
  const int n = usedCorners(p);
  std::reverse(p.vertexIndex.begin(), p.vertexIndex.begin() + n);
  std::reverse(p.texels.begin(), p.texels.begin() + n);
}

bool mirrorTexels(Editor& editor, int set, const char* name) {
  Model& model = editor.model();
  const std::optional<PolygonScope> scope = currentScope(model);
  if (!scope || model.selection.currentPolygon == -2) return false;
  if (scope->empty(model.document.module[scope->module])) return false;
  Edit edit(model, editor.history, name);
  changeScope(edit, *scope, [&](Polygon& p) {
    std::array<Texel, 4>& texels = texelsOf(p, set);
    for (int c = 0; c < usedCorners(p); ++c) texels[c].u = 1 - texels[c].u;
  });
  edit.commit();
  return true;
}

bool generateSet(Editor& editor, int set, const char* name) {
  Model& model = editor.model();
  const std::optional<PolygonScope> scope = currentScope(model);
  if (!scope || scope->empty(model.document.module[scope->module])) return false;
  Edit edit(model, editor.history, name);
  if (scope->all) {
    edit.polygons(scope->module);
  } else {
    edit.polygons(scope->module, scope->listed);
  }
  generateTexels(model, scope->module, set, model.selection.currentPolygon);
  edit.commit();
  return true;
}

}  // namespace

bool canAddPolygon(const MenuContext& c, const Command&) {
  return c.open && (c.mesh || c.single());
}

bool polygonChosen(const MenuContext& c, const Command&) {
  return c.currentPolygon >= 0;
}

bool addPolygon(Editor& editor, const Command&) {
  return startPolygonAdd(editor);
}

bool changePolygon(Editor& editor, const Command&) {
  return startPolygonChange(editor);
}

bool canColorize(const MenuContext& c, const Command&) {
  return c.currentModule == -2 || c.hasPolygons();
}

bool colorize(Editor& editor, const Command&) {
  Model& model = editor.model();
  std::vector<int> modules;
  for (const PolygonScope& scope : colourScopes(model)) modules.push_back(scope.module);
  if (modules.empty()) return false;
  if (editor.session.ui.messageBox("Are you sure you want to colorize the entire mesh?",
                                   "Confirm Colorize", MessageIcon::question,
                                   MessageButtons::yesNo) != MessageAnswer::yes)
    return true;
  Edit edit(model, editor.history, "Colorize");
  // Mid-range colours (64..191 of 255), so that neighbouring polygons tell apart.
  const auto channel = [&] {
    return static_cast<float>(64 + static_cast<int>(frameRandom(editor.frame) * 0.003906369)) /
           255.0f;
  };
  for (const int m : modules) {
    for (Polygon& p : edit.polygons(m)) {
      p.colour = {channel(), channel(), channel(), 1.0f};
    }
  }
  edit.commit();
  return true;
}

bool adjustColour(Editor& editor, const Command&) {
  Model& model = editor.model();
  const std::vector<PolygonScope> scopes = colourScopes(model);
  if (scopes.empty()) return false;
  // The chooser starts at the mean colour of what it will paint.
  std::array<double, 3> sum{};
  std::size_t count = 0;
  for (const PolygonScope& scope : scopes) {
    const std::vector<Polygon>& polygons = model.document.module[scope.module].polygons;
    const auto add = [&](const Polygon& p) {
      for (int c = 0; c < 3; ++c) sum[c] += p.colour[c];
      ++count;
    };
    if (scope.all) {
      for (const Polygon& p : polygons) add(p);
    } else {
      for (std::uint32_t i : scope.listed) add(polygons[i]);
    }
  }
  std::array<float, 3> mean{};
  for (int c = 0; c < 3; ++c) mean[c] = static_cast<float>(sum[c] / static_cast<double>(count));

  Session& session = editor.session;
  Palette custom = greyRamp();
  readPalette(session, editor.user.customColorsPath, custom, true);
  const std::optional<std::uint32_t> chosen =
      session.ui.chooseColour(chooserFromFloats(mean), custom);
  writePalette(session, editor.user.customColorsPath, custom, true);
  if (!chosen) return true;

  const std::array<float, 3> rgb = floatsFromChooser(*chosen);
  Edit edit(model, editor.history, "Adjust");
  for (const PolygonScope& scope : scopes) {
    changeScope(edit, scope, [&](Polygon& p) { p.colour = {rgb[0], rgb[1], rgb[2], 1.0f}; });
  }
  edit.commit();
  return true;
}

bool variegate(Editor& editor, const Command&) {
  Model& model = editor.model();
  const std::vector<PolygonScope> scopes = colourScopes(model);
  if (scopes.empty()) return false;
  Edit edit(model, editor.history, "Variegate");
  // A shade below one step of 255 per polygon: flat areas take a faint grain.
  for (const PolygonScope& scope : scopes) {
    changeScope(edit, scope, [&](Polygon& p) {
      const float d = 2.0f * static_cast<float>(frameRandom(editor.frame)) / 16711425.0f;
      for (int c = 0; c < 3; ++c) p.colour[c] = std::clamp(p.colour[c] + d, 0.0f, 1.0f);
    });
  }
  edit.commit();
  return true;
}

bool backface(Editor& editor, const Command&) {
  Model& model = editor.model();
  const std::optional<PolygonScope> scope = currentScope(model);
  if (!scope || scope->empty(model.document.module[scope->module])) return false;
  Edit edit(model, editor.history, "Backface");
  changeScope(edit, *scope, reverseCorners);
  edit.commit();
  return true;
}

bool canBackface(const MenuContext& c, const Command&) {
  return !(c.city && c.currentGroup == 0) && !(c.currentPolygon >= 0 && !c.hasPolygons());
}

bool splitPolygon(Editor& editor, const Command&) {
  Model& model = editor.model();
  const Selection& sel = model.selection;
  const Module* m = loadedModule(model, sel.currentModule);
  if (m == nullptr || sel.currentPolygon < 0 ||
      static_cast<std::size_t>(sel.currentPolygon) >= m->polygons.size())
    return false;
  const auto at = static_cast<std::uint32_t>(sel.currentPolygon);
  const Polygon& quad = m->polygons[at];
  if (quad.sides != 4) return false;
  Polygon second;
  second.sides = 3;
  second.vertexIndex = {quad.vertexIndex[2], quad.vertexIndex[3], quad.vertexIndex[0], 0};
  second.texels = {quad.texels[2], quad.texels[3], quad.texels[0], Texel{}};
  second.colour = quad.colour;
  second.texelAngle = quad.texelAngle;
  second.smooth = quad.smooth;

  Edit edit(model, editor.history, "Split");
  std::vector<Polygon>& list = edit.polygons(sel.currentModule, std::span(&at, 1));
  list[at].sides = 3;
  list.push_back(second);
  edit.commit();
  computeStatistics(model);
  return true;
}

bool canSplit(const MenuContext& c, const Command&) {
  return c.polygon != nullptr && c.polygon->sides == 4;
}

bool generateBaseTexels(Editor& editor, const Command&) {
  return generateSet(editor, 0, "Generate");
}

bool generateOverlayTexels(Editor& editor, const Command&) {
  return generateSet(editor, 1, "Generate Overlay");
}

bool canGenerateTexels(const MenuContext& c, const Command&) {
  return c.hasPolygons() && c.module->scaleClass > 0;
}

bool mirrorBaseTexels(Editor& editor, const Command&) {
  return mirrorTexels(editor, 0, "Mirror");
}

bool mirrorOverlayTexels(Editor& editor, const Command&) {
  return mirrorTexels(editor, 1, "Mirror Overlay");
}

bool setShading(Editor& editor, const Command& command) {
  Model& model = editor.model();
  const auto smooth = static_cast<std::uint8_t>(command.code != 0 ? 1 : 0);
  const auto shade = [smooth](Polygon& p) { p.smooth = smooth; };
  const char* name = smooth ? "Gouraud" : "Lambertian";
  const std::vector<InstanceRef>& listed = model.selection.selectedInstances;
  if (!listed.empty()) {
    Edit edit(model, editor.history, name);
    bool any = false;
    for (const InstanceRef& ref : listed) {
      if (loadedModule(model, ref.module) == nullptr) continue;
      for (Polygon& p : edit.polygons(ref.module)) shade(p);
      any = true;
    }
    if (!any) return false;
    edit.commit();
    return true;
  }
  const std::optional<PolygonScope> scope = currentScope(model);
  if (!scope || scope->empty(model.document.module[scope->module])) return false;
  Edit edit(model, editor.history, name);
  changeScope(edit, *scope, shade);
  edit.commit();
  return true;
}

bool shadingIs(const MenuContext& c, const Command& command) {
  return c.polygon != nullptr && (c.polygon->smooth != 0) == (command.code != 0);
}

}  // namespace tessarim
