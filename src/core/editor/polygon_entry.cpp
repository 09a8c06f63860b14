#include "editor/polygon_entry.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "editing/edit_history.hpp"
#include "editor/editor.hpp"
#include "editor/frame.hpp"
#include "model/geometry.hpp"
#include "model/model.hpp"

namespace tessarim {
namespace {

constexpr std::size_t maxEntryText = 79;

// The module the entry builds into, while it still exists; a revert or an outside change may
// have taken it away since the entry began.
Module* entryModule(Editor& editor) {
  const int m = editor.editing.entry.module;
  Model& model = editor.model();
  if (m < 0 || m >= model.document.wldfiles) return nullptr;
  return &model.document.module[m];
}

float& field(PolygonEntry& e) {
  Vec3& v = e.vertices[e.vertexIndex];
  return e.axis == 0 ? v.x : e.axis == 1 ? v.y : v.z;
}

// The text shown for a stored value: empty for exactly 0, so that typing starts afresh.
std::string fieldText(float value) {
  if (value == 0) return {};
  char text[64];
  std::snprintf(text, sizeof text, "%+.4f", static_cast<double>(value));
  return text;
}

// Unreadable text leaves the stored value as it was.
void readField(EditingState& editing) {
  const char* begin = editing.entryText.c_str();
  char* end = nullptr;
  const float value = std::strtof(begin, &end);
  if (end != begin) field(editing.entry) = value;
}

void refillText(EditingState& editing) {
  const PolygonEntry& e = editing.entry;
  if (e.vertexIndex >= 0 && e.vertexIndex < e.sides) {
    editing.entryText = fieldText(field(editing.entry));
  } else {
    editing.entryText.clear();
  }
}

void matchCorner(const Module& module, PolygonEntry& e, int corner) {
  const Vec3 v = e.vertices[corner];
  const int match = findVertex(module, v.x, v.y, v.z);
  e.matchedVertices[corner] = match;
  e.notes[corner] = match >= 0 ? "Found match with vertex " + std::to_string(match) + "!"
                               : "Will add new vertex to polygon mesh...";
}

void endEntry(Editor& editor) {
  editor.editing.entryActive = false;
  editor.editing.entryText.clear();
  noteChanges(editor.model(), Change::selection);  // the panel goes
}

// The entered polygon joins the module in one edit: a changed polygon leaves its place (with
// the vertices only it used) and comes back at the end of the list with its colour and shading.
void commitEntry(Editor& editor) {
  Model& model = editor.model();
  PolygonEntry e = editor.editing.entry;
  const int m = e.module;
  if (entryModule(editor) == nullptr) return endEntry(editor);
  Module& module = model.document.module[m];
  const bool change =
      e.polygonIndex >= 0 && static_cast<std::size_t>(e.polygonIndex) < module.polygons.size();
  Edit edit(model, editor.history, change ? "Change Polygon" : "Add Polygon");
  edit.vertices(m);
  edit.polygons(m);
  Polygon polygon;
  polygon.sides = static_cast<std::uint8_t>(e.sides);
  if (change) {
    const Polygon& old = module.polygons[e.polygonIndex];
    polygon.colour = old.colour;
    polygon.smooth = old.smooth;
    std::vector<int> refs(e.matchedVertices.begin(), e.matchedVertices.end());
    refs = deletePolygon(module, e.polygonIndex, std::move(refs));
    for (int k = 0; k < 4; ++k) e.matchedVertices[k] = refs[k];
  } else {
    // A colour of the mid range, so that a new polygon stands out from black and white.
    for (int c = 0; c < 3; ++c) {
      polygon.colour[c] =
          static_cast<float>(64 + static_cast<int>(frameRandom(editor.frame) * 0.003906369)) /
          255.0f;
    }
    polygon.colour[3] = 1;
  }
  for (int k = 0; k < e.sides; ++k) {
    int index = e.matchedVertices[k];
    if (index < 0 || static_cast<std::size_t>(index) >= module.vertices.size()) {
      module.vertices.push_back({e.vertices[k].x, e.vertices[k].y, e.vertices[k].z});
      index = static_cast<int>(module.vertices.size() - 1);
    }
    polygon.vertexIndex[k] = static_cast<std::uint32_t>(index);
  }
  polygon.texelAngle = polygon.texelAngle2 = -1;  // neither set is generated yet
  module.polygons.push_back(polygon);
  Selection& s = model.selection;
  s.currentModule = static_cast<std::int16_t>(m);
  s.currentPolygon = static_cast<std::int32_t>(module.polygons.size() - 1);
  s.selectedPolygons.clear();
  edit.report(Change::selection);
  edit.commit();
  // Refused, the entry stays open for its fields to be corrected.
  if (edit.refused()) return;
  computeStatistics(model);
  endEntry(editor);
}

// Accepts the field being entered: the sides, a coordinate, or, with every corner in, the
// polygon.
void accept(Editor& editor) {
  EditingState& editing = editor.editing;
  PolygonEntry& e = editing.entry;
  Module* module = entryModule(editor);
  if (module == nullptr) return endEntry(editor);
  if (e.vertexIndex < 0) {
    const int sides = std::atoi(editing.entryText.c_str());
    e.sides = sides <= 3 ? 3 : 4;
    e.vertexIndex = 0;
    e.axis = 0;
  } else if (e.vertexIndex >= e.sides) {
    return commitEntry(editor);
  } else {
    readField(editing);
    if (++e.axis == 3) {
      matchCorner(*module, e, e.vertexIndex);
      e.axis = 0;
      ++e.vertexIndex;
    }
  }
  refillText(editing);
}

void back(Editor& editor) {
  EditingState& editing = editor.editing;
  PolygonEntry& e = editing.entry;
  if (e.vertexIndex < 0) return endEntry(editor);
  if (e.vertexIndex < e.sides) readField(editing);
  if (--e.axis < 0) {
    e.axis = 2;
    --e.vertexIndex;
  }
  if (e.vertexIndex < 0) {
    e.vertices = {};
    e.matchedVertices = {-1, -1, -1, -1};
    e.axis = 0;
    editing.entryText = std::to_string(e.sides);
    return;
  }
  char text[64];
  std::snprintf(text, sizeof text, "%+.4f", static_cast<double>(field(e)));
  editing.entryText = text;
}

bool beginEntry(Editor& editor) {
  const Model& model = editor.model();
  const Selection& s = model.selection;
  if (editor.editing.entryActive || s.currentModule < 0 ||
      s.currentModule >= model.document.wldfiles)
    return false;
  editor.editing.entry = PolygonEntry{};
  editor.editing.entry.module = s.currentModule;
  editor.editing.entry.instance = s.currentInstance;
  editor.editing.entryText.clear();
  editor.editing.entryActive = true;
  noteChanges(editor.model(), Change::selection);  // the panel shows
  return true;
}

}  // namespace

bool startPolygonAdd(Editor& editor) {
  if (!beginEntry(editor)) return false;
  PolygonEntry& e = editor.editing.entry;
  e.vertexIndex = -1;
  e.polygonIndex = static_cast<int>(editor.model().document.module[e.module].polygons.size());
  return true;
}

bool startPolygonChange(Editor& editor) {
  const Model& model = editor.model();
  const Selection& s = model.selection;
  if (s.currentModule < 0 || s.currentModule >= model.document.wldfiles || s.currentPolygon < 0)
    return false;
  const Module& module = model.document.module[s.currentModule];
  if (static_cast<std::size_t>(s.currentPolygon) >= module.polygons.size()) return false;
  const Polygon& p = module.polygons[s.currentPolygon];
  const int sides = cornerCount(p);
  for (int k = 0; k < sides; ++k) {
    if (p.vertexIndex[k] >= module.vertices.size()) return false;
  }
  if (!beginEntry(editor)) return false;
  PolygonEntry& e = editor.editing.entry;
  e.polygonIndex = s.currentPolygon;
  e.sides = sides;
  for (int k = 0; k < sides; ++k) {
    const Vertex& v = module.vertices[p.vertexIndex[k]];
    e.vertices[k] = {v.x, v.y, v.z};
    e.matchedVertices[k] = static_cast<int>(p.vertexIndex[k]);
  }
  e.vertexIndex = sides;
  return true;
}

void entryCharacter(Editor& editor, char32_t c) {
  EditingState& editing = editor.editing;
  if (!editing.entryActive) return;
  const bool accepted = (c >= U'0' && c <= U'9') || c == U'+' || c == U'-' || c == U'.';
  if (!accepted || editing.entryText.size() >= maxEntryText) return;
  editing.entryText.push_back(static_cast<char>(c));
  noteChanges(editor.model(), Change::selection);
}

void entryKey(Editor& editor, EntryKey key) {
  EditingState& editing = editor.editing;
  if (!editing.entryActive) return;
  switch (key) {
    case EntryKey::accept:
      accept(editor);
      break;
    case EntryKey::back:
      back(editor);
      break;
    case EntryKey::cancel:
      endEntry(editor);
      break;
    case EntryKey::backspace:
      if (!editing.entryText.empty()) editing.entryText.pop_back();
      break;
    case EntryKey::depthUp:
    case EntryKey::depthDown: {
      const Selection& s = editor.model().selection;
      if (s.currentModule < 0) break;
      editor.frame.camera.graphHeight += key == EntryKey::depthUp ? 1 : -1;
      break;
    }
  }
  noteChanges(editor.model(), Change::selection);
}

bool entryGraphPaperClick(Editor& editor, float screenX, float screenY) {
  EditingState& editing = editor.editing;
  PolygonEntry& e = editing.entry;
  const Model& model = editor.model();
  const Selection& s = model.selection;
  if (!editing.entryActive || !model.settings.view.graphPaper || !s.selectedInstances.empty() ||
      s.currentInstance < 0 || e.vertexIndex < 0 || e.vertexIndex >= e.sides)
    return false;
  const Module* module = entryModule(editor);
  if (module == nullptr || static_cast<std::size_t>(s.currentInstance) >= module->instances.size())
    return false;
  const Camera& camera = editor.frame.camera;
  const auto toPaper = inverse(multiply(graphPaperWorld(model, editor.frame), camera.view));
  if (!toPaper) return false;
  const Vec3 viewRay{(2 * screenX / camera.viewport.width - 1) / camera.projection[0][0],
                     (1 - 2 * screenY / camera.viewport.height) / camera.projection[1][1], -1};
  const Vec3 origin{(*toPaper)[3][0], (*toPaper)[3][1], (*toPaper)[3][2]};
  const Vec3 direction = transformNormal(viewRay, *toPaper);
  const Vec3 a{-500, -500, 0}, b{500, -500, 0}, c{500, 500, 0}, d{-500, 500, 0};
  auto hit = intersectRayTriangle(a, b, c, origin, direction);
  if (!hit) hit = intersectRayTriangle(a, c, d, origin, direction);
  if (!hit) return false;
  const float distance = hit->distance;
  const Vec3 point = origin + direction * distance;
  // The paper lies at the entry depth: its plane is z = 0 of its own world.
  e.vertices[e.vertexIndex] = {static_cast<float>(static_cast<std::int16_t>(std::lround(point.x))),
                               static_cast<float>(static_cast<std::int16_t>(std::lround(point.y))),
                               static_cast<float>(camera.graphHeight)};
  matchCorner(*module, e, e.vertexIndex);
  e.axis = 0;
  if (++e.vertexIndex == e.sides) {
    commitEntry(editor);
  } else {
    refillText(editing);
    noteChanges(editor.model(), Change::selection);
  }
  return true;
}

}  // namespace tessarim
