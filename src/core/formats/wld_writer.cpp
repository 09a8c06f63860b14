#include "formats/document_saving.hpp"
#include "formats/file_io.hpp"
#include "formats/text_writer.hpp"
#include "formats/wld.hpp"
#include "model/model.hpp"
#include "model/paths.hpp"
#include "model/session.hpp"
#include "platform/ui.hpp"

namespace tessarim {
namespace {

std::uint32_t colourByte(float c) {
  if (c >= 1) return 255;
  if (!(c > 0)) return 0;
  return static_cast<std::uint32_t>(c * 255.0f + 0.5f);
}

std::uint32_t packColour(const std::array<float, 4>& c) {
  return colourByte(c[3]) << 24 | colourByte(c[0]) << 16 | colourByte(c[1]) << 8 | colourByte(c[2]);
}

void writeName(TextWriter& out, const std::string& name) {
  out.text(name.empty() ? std::string_view{"unused"} : std::string_view{name}).text("\n");
}

// "%f ," without going through the format interpreter: this is the hot loop of every save.
void number(TextWriter& out, float value) {
  out.fixed(value, 6).text(" ,");
}

}  // namespace

std::string formatWld(const Module& m) {
  TextWriter out{true};
  out.reserve(64 + m.vertices.size() * 32 + m.polygons.size() * 220);
  out.print("%.2f \n", wldVersion);
  out.print("%i ,\n", m.vertices.size());
  for (const Vertex& v : m.vertices) {
    out.text(" ").fixed(v.x, 4, true).text(" ,").fixed(v.y, 4, true).text(" ,");
    out.fixed(v.z, 4, true).text(" ,\n");
  }
  out.print("%i ,\n", m.polygons.size());
  out.print(" %i ,%i ,%i ,%i ,%i ,%i ,%i ,%i ,\n", m.canvasWidth, m.canvasHeight, m.canvasWidth2,
            m.canvasHeight2, m.sortKey, m.baseHidden, m.scaleClass, m.newScaleFamily);
  for (const Polygon& p : m.polygons) {
    const int sides = p.sides < 4 ? p.sides : 4;
    out.text(" ").integer(p.sides).text(" ,");
    for (int c = 0; c < sides; ++c) out.text(" ").integer(p.vertexIndex[c]).text(" ,");
    out.text(" ").hex(packColour(p.colour)).text(" ,");
    for (int c = 0; c < sides; ++c) {
      number(out, p.texels[c].u);
      number(out, p.texels[c].v);
    }
    for (int c = 0; c < sides; ++c) {
      number(out, p.texels2[c].u);
      number(out, p.texels2[c].v);
    }
    number(out, p.texelAngle);
    number(out, p.texelAngle2);
    out.text(" ").integer(p.smooth).text(" ,\n");
  }
  for (int slot : {textfile, lightfile, overlayfile, heightfile, visibilityfile, reflectfile,
                   grimefile, detailfile, controlfile}) {
    writeName(out, m.maps[slot]);
  }
  out.print("%i ,\n", m.componentType);
  if (m.componentType > 0) {
    const ComponentSpec& c = m.component;
    out.print("%i ,%f ,%f ,%i ,%i ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,\n", c.kind, c.serviceLife,
              c.cycleHit, c.hitPointsPhysical, c.hitPointsEnergy, c.weight, c.cost, c.pickup,
              c.dropout, c.maxPressure, c.loadDraw, c.minTemperature, c.maxTemperature,
              c.maxCapacity);
    writeName(out, c.make);
    writeName(out, c.model);
    writeName(out, c.descriptor);
  }
  return out.take();
}

FileToSave wldFileToSave(const Session& session, const Module& module) {
  const std::string path = resolvePath(session.repository, module.filename);
  return {path, module.filename, formatWld(module), path, false, MessageIcon::error};
}

void noteWldSaved(Session& session, Module& module) {
  module.version = wldVersion;
  module.fileTime =
      fileModificationTime(resolvePath(session.repository, module.filename)).value_or(0);
  module.modified = 0;
  forgetReadShort(session.model, module.filename);  // the file now holds what the module holds
}

bool writeWld(Session& session, int index) {
  Module& m = session.model.document.module[index];
  if (!m.modified) return true;
  const std::vector<FileToSave> files{wldFileToSave(session, m)};
  if (!confirmLostContent(session, files) || !saveAllOrNothing(session, files)) return false;
  noteWldSaved(session, m);
  return true;
}

}  // namespace tessarim
