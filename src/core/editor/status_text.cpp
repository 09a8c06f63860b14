#include "editor/status_text.hpp"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "editing/editing_state.hpp"
#include "editor/frame.hpp"
#include "formats/text_writer.hpp"
#include "maths/maths.hpp"
#include "model/geometry.hpp"
#include "model/model.hpp"
#include "model/rts_graph.hpp"
#include "model/scale_class.hpp"

namespace tessarim {
namespace {

constexpr float lineStep = 20;

struct Column {
  std::vector<StatusLine>& lines;
  float y = 0;
  void add(std::string text, std::uint32_t colour = statusCyan,
           StatusFont font = StatusFont::small) {
    lines.push_back({std::move(text), colour, font, 2, y});
    y += lineStep;
  }
};

std::string guidText(const Guid& g) {
  return formatText("%08lX-%04hX-%04hX-%02hhX%02hhX-%02hhX%02hhX%02hhX%02hhX%02hhX%02hhX", g.data1,
                    g.data2, g.data3, g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4],
                    g.data4[5], g.data4[6], g.data4[7]);
}

Vec3 cornerPosition(const Module& m, const Polygon& p, int c) {
  const Vertex& v = m.vertices[p.vertexIndex[c]];
  return {v.x, v.y, v.z};
}

float axis(Vec3 v, int a) {
  return a == 0 ? v.x : a == 1 ? v.y : v.z;
}

void polygonLines(const Model& model, const SceneGeometry& scene, const EditingState& editing,
                  Column& out) {
  const Selection& s = model.selection;
  const Module& m = model.document.module[s.currentModule];
  const Polygon& p = m.polygons[s.currentPolygon];
  // As of the last build: a polygon added since has no friends counted yet.
  const std::vector<PolygonShading>& built = scene.polygons[s.currentModule];
  const std::array<std::int16_t, 4> friends =
      static_cast<std::size_t>(s.currentPolygon) < built.size()
          ? built[s.currentPolygon].cornerFriends
          : std::array<std::int16_t, 4>{};
  const ViewOptions& view = model.settings.view;
  const GridCursor& cursor = model.gridCursor;
  const bool sector = isCity(model.document) && cursor.i >= 0 && cursor.i < gridSize &&
                      cursor.j >= 0 && cursor.j < gridSize;
  // Group 0 is a city's "no building browsed".
  if (s.currentGroup > 0 || !sector) {
    out.add(formatText("Polygon: %d (Vertices: %i)", s.currentPolygon, p.sides));
  } else {
    const RtspsCell& cell = model.document.rtspsGrid[cursor.i * gridSize + cursor.j];
    out.add(formatText("Sector: %i, %i (%i@%i)", cursor.i, cursor.j, cell.turn, cell.piece));
    const int node = findNodeByPosition(model.document.streetNodes, cursor.u, cursor.v);
    if (node >= 0) {
      const RtsNode& n = model.document.streetNodes.nodes[node];
      out.add(
          formatText("Node: %f, %f (ID: %i) Clicked: %f, %f", n.x, n.y, n.id, cursor.u, cursor.v));
    }
  }
  const bool placed = placesModules(model.document);
  if (!placed) {
    out.add(formatText("GRID-T: %i GRID-S: %i", static_cast<int>(p.colour[0] * 63.75f),
                       static_cast<int>(p.colour[1] * 63.75f)));
  }
  // The terrain of a city lists no corners.
  if (isCity(model.document) && s.currentModule == model.document.wldfiles - 1) {
    if (editing.sourceEdgeSet)
      out.add(formatText("Source edge selected %i", editing.sourceEdge), statusLightCyan);
    return;
  }
  const bool instanceOk =
      s.currentInstance >= 0 && static_cast<std::size_t>(s.currentInstance) < m.instances.size();
  const Matrix world = instanceOk ? m.instances[s.currentInstance].worldMatrix : identityMatrix();
  const int sides = cornerCount(p);
  for (int k = 1; k <= sides; ++k) {
    const int c = k - 1;
    if (p.vertexIndex[c] >= m.vertices.size()) continue;
    out.add(formatText("Vertex: %i (Index: %i, friends %i)", k, p.vertexIndex[c], friends[c]),
            statusLightCyan);
    if (view.texelView) {
      const bool overlay = view.texelMapIndex == 4;
      const Texel t = overlay ? p.texels2[c] : p.texels[c];
      const Canvas canvas = canvasOf(m, overlay ? 1 : 0);
      out.add(formatText("u %+.4f (%.0fpx)", t.u, t.u * canvas.width), statusWhite);
      out.add(formatText("v %+.4f (%.0fpx)", t.v, t.v * canvas.height), statusWhite);
      continue;
    }
    const Vec3 here = cornerPosition(m, p, c);
    const Vec3 placedAt = transformCoord(here, world);
    const Vec3 delta = k > 1 ? here - cornerPosition(m, p, c - 1) : Vec3{};
    static constexpr const char* formats[3] = {"x %+.4f (%+.6f)%S", "y %+.4f (%+.6f)%S",
                                               "z %+.4f (%+.6f)%S"};
    for (int a = 0; a < 3; ++a) {
      std::string angle;
      if (k > 1) {
        const float others = std::hypot(axis(delta, (a + 1) % 3), axis(delta, (a + 2) % 3));
        angle = formatText(" %+.3f", std::atan(axis(delta, a) / others) * 57.295776f);
      }
      out.add(formatText(formats[a], axis(here, a), axis(placedAt, a), angle), statusWhite);
    }
  }
  if (view.texelView) return;
  for (int j = 1; j <= sides; ++j) {
    const Vec3 d = j < sides ? normalise(cornerPosition(m, p, j - 1) - cornerPosition(m, p, j))
                             : normalise(cornerPosition(m, p, sides - 1) - cornerPosition(m, p, 0));
    out.add(formatText("-> v%i x%+.3f y%.3f z%.3f", j, d.x, d.y, d.z));
  }
}

void instanceLines(const Model& model, Column& out) {
  const Selection& s = model.selection;
  const bool placed = placesModules(model.document);
  if (s.selectedInstances.size() > 1) {
    out.add(formatText("You currently have %i instances selected!",
                       static_cast<int>(s.selectedInstances.size())));
    if (s.currentGroup > 0) out.add(formatText("Group: %i", s.currentGroup));
    return;
  }
  if (!placed) {
    out.add("You currently have all instances selected!");
    return;
  }
  const bool current = s.currentModule >= 0 && s.currentModule < model.document.wldfiles &&
                       s.currentInstance >= 0 &&
                       static_cast<std::size_t>(s.currentInstance) <
                           model.document.module[s.currentModule].instances.size();
  if (!current) {
    const int c = model.settings.view.currentConnector;
    if (c >= 0 && static_cast<std::size_t>(c) < model.document.connectors.size()) {
      const Connector& connector = model.document.connectors[c];
      out.add("Connector: " + guidText(connector.guid));
      out.add("Depends on: " + guidText(connector.dependency));
      out.add(formatText("For system: %i", connector.system));
    } else {
      out.add("No modules selected...");
    }
    return;
  }
  const Module& m = model.document.module[s.currentModule];
  const Instance& t = m.instances[s.currentInstance];
  if (m.componentType > 0) {
    out.add("Component: " + guidText(t.guid));
  } else {
    out.add(
        formatText("Instance: %S (%i, %.3f)", guidText(t.guid), s.currentInstance, t.eyeDistance));
  }
  out.add(formatText("Location: %f %f %f", t.location[0], t.location[1], t.location[2]));
  if (t.group > 0) out.add(formatText("Group: %i", t.group));
}

void texelHelp(const Model& model, const FrameState& frame, Column& out) {
  const FrameInput& in = frame.input;
  out.add(in.controlHeld ? "LMB Ctrl = Multi-Select"
          : in.shiftHeld ? "LMB Shift = Rotate"
                         : "LMB Select",
          statusMagenta);
  out.add(in.controlHeld ? "RMB Ctrl = Edge Snap "
          : in.shiftHeld ? "RMB Shift = Move Polygon"
                         : "RMB Move Canvas",
          statusMagenta);
  const int current = model.selection.currentModule;
  if (current < 0 || current >= model.document.wldfiles) return;
  const Module& m = model.document.module[current];
  struct Shown {
    const char* label;
    int slot;
  };
  static constexpr Shown shown[8] = {
      {"T Color Map", textfile},           {"T Light Map", lightfile},
      {"T Reflect Map", reflectfile},      {"T Height Map", heightfile},
      {"T Overlay Map", overlayfile},      {"T Grime Map", grimefile},
      {"T Visiblity Map", visibilityfile}, {"T Detail Map And Alpha", detailfile}};
  const Shown& s = shown[model.settings.view.texelMapIndex % 8];
  out.add(s.label, statusWhite);
  if (!m.maps[s.slot].empty()) out.add(m.maps[s.slot], statusWhite);
  if (s.slot == detailfile && !m.maps[controlfile].empty())
    out.add(m.maps[controlfile], statusWhite);
}

// Corners of a typed entry that hold all three coordinates.
int typedCorners(const PolygonEntry& e) {
  return std::clamp(e.vertexIndex, 0, std::clamp(e.sides, 0, 4));
}

// The typed entry's panel at the right edge, sliding in with the entry: the sides, the target,
// then per corner its coordinates (the field being typed with a blinking caret) and its note.
void entryPanel(const Model& model, const FrameState& frame, const EditingState& editing,
                const StatusInputs& in, std::vector<StatusLine>& lines) {
  const PolygonEntry& e = editing.entry;
  const float x = static_cast<float>(in.width) - 170 * editing.entrySlide;
  float y = 40;
  auto add = [&](std::string text, std::uint32_t colour = statusCyan) {
    lines.push_back({std::move(text), colour, StatusFont::small, x, y});
    y += lineStep;
  };
  const bool caret = frame.blinkRising;
  if (e.vertexIndex < 0) {
    add(formatText(caret ? "Number of sides: %S_" : "Number of sides: %S", editing.entryText));
  } else {
    add(formatText("Number of sides: %i", e.sides));
  }
  const int polygons = e.module >= 0 && e.module < model.document.wldfiles
                           ? static_cast<int>(model.document.module[e.module].polygons.size())
                           : 0;
  if (e.polygonIndex < polygons) {
    add(formatText("Modify polygon %i->%i", e.polygonIndex, polygons), statusLightCyan);
  } else {
    add(formatText("Adding polygon %i", e.polygonIndex), statusLightCyan);
  }
  if (e.vertexIndex < 0) return;
  static constexpr const char* done[3] = {"Vertex %i axis X: %+.4f", "Vertex %i axis Y: %+.4f",
                                          "Vertex %i axis Z: %+.4f"};
  static constexpr const char* typing[2][3] = {
      {"Vertex %i axis X: %S", "Vertex %i axis Y: %S", "Vertex %i axis Z: %S"},
      {"Vertex %i axis X: %S_", "Vertex %i axis Y: %S_", "Vertex %i axis Z: %S_"}};
  const int finished = typedCorners(e);
  for (int c = 0; c < finished; ++c) {
    for (int a = 0; a < 3; ++a) add(formatText(done[a], c + 1, axis(e.vertices[c], a)));
    // A change entry empties the notes; the row stays so that every corner's block lines up.
    add(e.notes[c], statusLightCyan);
  }
  if (finished < std::clamp(e.sides, 0, 4)) {
    const int current = std::clamp(e.axis, 0, 2);
    for (int a = 0; a < current; ++a)
      add(formatText(done[a], finished + 1, axis(e.vertices[finished], a)));
    add(formatText(typing[caret ? 1 : 0][current], finished + 1, editing.entryText));
  }
}

// Corner numbers where the graph paper's world puts the current polygon's corners, or during a
// typed entry the corners typed so far.
void cornerNumbers(const Model& model, const FrameState& frame, const EditingState& editing,
                   const StatusInputs& in, std::vector<StatusLine>& lines) {
  const Selection& s = model.selection;
  if (s.currentModule < 0 || s.currentModule >= model.document.wldfiles) return;
  const Module& m = model.document.module[s.currentModule];
  const Matrix world = graphPaperWorld(model, frame);
  const Viewport viewport{0, 0, static_cast<float>(in.width), static_cast<float>(in.height), 0, 1};
  auto number = [&](Vec3 corner, int k) {
    const Vec3 at = project(corner, viewport, frame.camera.projection, frame.camera.view, world);
    lines.push_back({formatText("%i", k), statusYellow, StatusFont::large, at.x, at.y});
  };
  if (editing.entryActive) {
    for (int c = 0; c < typedCorners(editing.entry); ++c) number(editing.entry.vertices[c], c + 1);
    return;
  }
  if (s.currentPolygon < 0 || static_cast<std::size_t>(s.currentPolygon) >= m.polygons.size())
    return;
  const Polygon& p = m.polygons[s.currentPolygon];
  for (int c = 0; c < cornerCount(p); ++c) {
    if (p.vertexIndex[c] >= m.vertices.size()) continue;
    number(cornerPosition(m, p, c), c + 1);
  }
}

}  // namespace

std::vector<StatusLine> statusLines(const Model& model, const FrameState& frame,
                                    const SceneGeometry& scene, const EditingState& editing,
                                    const StatusInputs& inputs) {
  std::vector<StatusLine> lines;
  Column out{lines};
  const Selection& s = model.selection;
  const ViewOptions& view = model.settings.view;
  const bool moduleOk = s.currentModule >= 0 && s.currentModule < model.document.wldfiles;
  const bool instanceOk = moduleOk && s.currentInstance >= 0 &&
                          static_cast<std::size_t>(s.currentInstance) <
                              model.document.module[s.currentModule].instances.size();
  const bool polygonOk = moduleOk && s.currentPolygon >= 0 &&
                         static_cast<std::size_t>(s.currentPolygon) <
                             model.document.module[s.currentModule].polygons.size();

  out.add(inputs.frameStatistics, statusYellow, StatusFont::large);
  if (!view.texelView && instanceOk && polygonOk) {
    const Module& m = model.document.module[s.currentModule];
    const Polygon& p = m.polygons[s.currentPolygon];
    const Vec3 d = frame.camera.direction;
    const Vec3 n = normalise(transformNormal(polygonNormal(m, s.currentPolygon),
                                             m.instances[s.currentInstance].worldMatrix));
    const float facing = dot(d, n);
    out.add(formatText(
        "Headlight %.3f %.3f %.3f  Normal %.3f %.3f %.3f  Dot %.3f (%.3f)  Shading: %s", d.x, d.y,
        d.z, n.x, n.y, n.z, facing, std::pow(1 - facing, 5.0f), p.smooth ? "Gouraud" : "Lambert"));
  }
  out.add(inputs.deviceStatistics);

  if (isAssembly(model.document) && moduleOk && s.selectedInstances.empty()) {
    const Module& m = model.document.module[s.currentModule];
    out.add(formatText("%S%S (%i)", m.filename, m.modified ? "*" : "", s.currentModule));
  } else if (isCity(model.document) && instanceOk) {
    const Module& m = model.document.module[s.currentModule];
    if (s.currentGroup == -1) {
      out.add(formatText("%S%S (%i)", m.filename, m.modified ? "*" : "",
                         m.instances[s.currentInstance].type));
    } else if (s.currentGroup == 0) {
      out.add(model.document.rtsEnabled ? "Building: 0 (RTS 2 km\xC2\xB2 Grid)"
                                        : "Building: 0 (RTS 4 km\xC2\xB2 Grid)");
    } else if (s.currentGroup < maxBuildingNames &&
               !model.document.buildingNames[s.currentGroup].empty()) {
      out.add(formatText("Building: %i (%S)", s.currentGroup,
                         model.document.buildingNames[s.currentGroup]));
    } else {
      out.add(formatText("Building: %i", s.currentGroup));
    }
  }
  out.add(formatText("Memory in use by Tessarim is %i MB", inputs.residentBytes / 1000000));
  const FrameInput& in = frame.input;
  const Camera& c = frame.camera;
  if (view.texelView) {
    out.add(formatText("tzoom%f Z%i X%i Y%i", c.texelZoom, c.texelZoomPosition, in.cursorX,
                       in.cursorY));
  } else {
    out.add(formatText("allx%f zoom%f Z%i X%i Y%i graphZ%i", frame.sceneExtent, c.eyeDistance,
                       c.zoomPosition, in.cursorX, in.cursorY, c.graphHeight));
  }

  if (polygonOk) {
    polygonLines(model, scene, editing, out);
  } else if (s.currentPolygon == -2) {
    out.add("Use left/right mouse button to pick a polygon/module...");
    out.add(formatText("You currently have %i polygons selected!",
                       static_cast<int>(s.selectedPolygons.size())));
  } else if (model.document.wldfiles > 0) {
    out.add("Use left/right mouse button to pick a polygon/module...");
    instanceLines(model, out);
  } else {
    out.add("No meshes in memory...");
  }
  if (view.texelView) {
    texelHelp(model, frame, out);
    if (editing.sourceEdgeSet) out.add("E Straighten Edge", statusPink);
  }
  if (editing.entryActive) entryPanel(model, frame, editing, inputs, lines);
  if (view.graphPaper) cornerNumbers(model, frame, editing, inputs, lines);
  return lines;
}

std::int64_t residentMemoryBytes() {
  std::FILE* file = std::fopen("/proc/self/statm", "r");
  if (!file) return 0;
  long total = 0, resident = 0;
  const int read = std::fscanf(file, "%ld %ld", &total, &resident);
  std::fclose(file);
  if (read != 2) return 0;
  return static_cast<std::int64_t>(resident) * sysconf(_SC_PAGESIZE);
}

std::string windowTitleFor(const Model& model) {
  const Document& d = model.document;
  // The modified mark is part of the statistics.
  const bool marked = model.settings.view.statistics;
  if (placesModules(d)) {
    if (d.documentPath.empty()) return "Tessarim";
    return formatText("Tessarim - %S%S", d.documentPath,
                      marked && model.status.documentModified ? "*" : "");
  }
  if (d.wldfiles == 0 || d.module[0].filename.empty()) return "Tessarim";
  return formatText("Tessarim - %S%S", d.module[0].filename,
                    marked && d.module[0].modified ? "*" : "");
}

}  // namespace tessarim
