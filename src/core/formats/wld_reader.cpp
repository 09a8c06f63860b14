#include <algorithm>
#include <cmath>
#include <cstdint>

#include "formats/file_io.hpp"
#include "formats/text_scanner.hpp"
#include "formats/text_writer.hpp"
#include "formats/wld.hpp"
#include "model/model.hpp"
#include "model/paths.hpp"
#include "model/session.hpp"
#include "model/text_compare.hpp"
#include "platform/ui.hpp"

namespace tessarim {
namespace {

constexpr std::size_t lineBufferSize = 261;  // a name line holds at most 260 characters

bool isUnused(std::string_view s) {
  return equalIgnoringCase(s, "unused");
}

// A name line of a map slot: whitespace skipped, the rest of the line, "unused" for none.
// Stored repository-relative with its extension replaced by ".png". A name the file ends inside
// is none: what was read of it may name another file.
std::string readMapName(TextScanner& in, const RepositoryFolder& repository) {
  in.skipWhitespace();
  auto line = in.readLine(lineBufferSize);
  if (!line || in.ranOut() || isUnused(*line)) return {};
  std::string name{*line};
  makeRelative(repository, name);
  // A name too short to carry an extension keeps all of its characters.
  if (name.size() >= 4) name.resize(name.size() - 4);
  return name + ".png";
}

std::string readText(TextScanner& in) {
  auto line = in.readLine(lineBufferSize);
  if (!line || in.ranOut() || isUnused(*line)) return {};
  return std::string{*line};
}

float colourChannel(std::uint32_t packed, int shift) {
  return static_cast<float>((packed >> shift) & 0xFF) / 255.0f;
}

struct Centre {
  double sum[3] = {0, 0, 0};
  std::size_t count = 0;
  float minX = 0, maxX = 0, minY = 0, maxY = 0;

  void add(const Vertex& v) {
    sum[0] += v.x;
    sum[1] += v.y;
    sum[2] += v.z;
    ++count;
    // The bounding rectangle starts at the origin; a new minimum cannot also be a new maximum.
    if (v.x < minX)
      minX = v.x;
    else if (v.x > maxX)
      maxX = v.x;
    if (v.y < minY)
      minY = v.y;
    else if (v.y > maxY)
      maxY = v.y;
  }

  std::array<float, 3> centre(bool city) const {
    std::array<double, 3> c{0, 0, 0};
    if (city) {
      c = {(double{minX} + maxX) / 2, (double{minY} + maxY) / 2, 0};
    } else if (count > 0) {
      for (int i = 0; i < 3; ++i) c[i] = sum[i] / static_cast<double>(count);
    }
    return {static_cast<float>(std::round(c[0])), static_cast<float>(std::round(c[1])),
            static_cast<float>(std::round(c[2]))};
  }
};

// Truncation toward zero; values no int can hold become the integer-indefinite value, as the
// processor's own conversion gives.
std::int32_t truncateToInt(float x) {
  if (!(x > -2147483904.0f && x < 2147483648.0f)) return INT32_MIN;
  return static_cast<std::int32_t>(x);
}

void readHeader(TextScanner& in, Module& m, float v, bool city) {
  m.scaleClass = 1;
  m.newScaleFamily = 0;
  m.canvasWidth = m.canvasHeight = m.canvasWidth2 = m.canvasHeight2 = 2048;
  std::int32_t sortKey = 0, baseHidden = 0, scaleClass = 1, newScaleFamily = 0;
  if (v > 2.31f) {
    in.scan("%d ,%d ,%d ,%d ,%d ,%d ,%d ,%d ,", &m.canvasWidth, &m.canvasHeight, &m.canvasWidth2,
            &m.canvasHeight2, &sortKey, &baseHidden, &scaleClass, &newScaleFamily);
  } else if (v > 2.27f) {
    in.scan("%d ,%d ,%d ,%d ,%d ,%d ,%d ,", &m.canvasWidth, &m.canvasHeight, &m.canvasWidth2,
            &m.canvasHeight2, &sortKey, &baseHidden, &scaleClass);
  } else if (v > 2.24f) {
    in.scan("%d ,%d ,%d ,%d ,%d ,", &m.canvasWidth, &m.canvasHeight, &sortKey, &baseHidden,
            &scaleClass);
  } else if (v > 0) {
    float a = 1, b = 1;  // fractions of a 2048 canvas
    if (v > 2.2f) {
      in.scan("%f ,%f ,%d ,%d ,%d ,", &a, &b, &sortKey, &baseHidden, &scaleClass);
    } else {
      in.scan("%f ,%f ,%d ,%d ,", &a, &b, &sortKey, &baseHidden);
      scaleClass = city ? 2 : 0;
    }
    m.canvasWidth = truncateToInt(a * 2048.0f);
    m.canvasHeight = truncateToInt(b * 2048.0f);
  } else {
    scaleClass = 0;
  }
  m.sortKey = static_cast<std::int16_t>(sortKey);
  m.baseHidden = baseHidden == 1;
  m.scaleClass = static_cast<std::int16_t>(scaleClass);
  m.newScaleFamily = newScaleFamily == 1;
}

// Reads one polygon line; corners beyond the fourth are read past so the line stays in step.
void readPolygon(TextScanner& in, Polygon& p, float v) {
  // Each field below is one "%d ,", "%hd ,", "%x ," or "%f ," scan of its own; a pair of texel
  // numbers is one "%f ,%f ," scan, so its second number is read only after a whole first.
  std::int32_t sides = 0;
  in.integerComma(sides);
  p.sides = static_cast<std::uint8_t>(sides);
  for (int c = 0; c < p.sides; ++c) {
    std::int32_t index = 0;
    in.integerComma(index);
    if (c < 4) p.vertexIndex[c] = static_cast<std::uint32_t>(index);
  }
  if (v < 2) {
    std::int32_t ignored;
    in.integerComma(ignored);
    p.colour = {0, 0, 0, 1};
  } else {
    std::uint32_t packed = 0;
    in.integerComma(packed, 16);
    p.colour = {colourChannel(packed, 16), colourChannel(packed, 8), colourChannel(packed, 0), 1};
  }
  if (v <= 0) {
    p.texelAngle = p.texelAngle2 = -1;
    return;
  }
  auto readTexels = [&](std::array<Texel, 4>& texels) {
    for (int c = 0; c < p.sides; ++c) {
      Texel t;
      if (in.floatComma(t.u) == 2) in.floatComma(t.v);
      if (c < 4) texels[c] = t;
    }
  };
  readTexels(p.texels);
  if (v > 2.27f) readTexels(p.texels2);
  if (v >= 2.23f)
    in.floatComma(p.texelAngle);
  else
    p.texelAngle = -1;
  if (v > 2.27f)
    in.floatComma(p.texelAngle2);
  else
    p.texelAngle2 = -1;
  if (v > 2.24f && v <= 2.27f) {
    float ignored[3];
    if (in.floatComma(ignored[0]) == 2) in.floatComma(ignored[1]);
    in.floatComma(ignored[2]);
  }
  std::int32_t smooth = 0;
  in.integerComma(smooth);
  p.smooth = smooth != 0;
}

void readComponent(TextScanner& in, Module& m, bool allFourteen) {
  ComponentSpec& c = m.component;
  if (allFourteen) {
    in.scan("%d ,%f ,%f ,%d ,%d ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,\n", &c.kind, &c.serviceLife,
            &c.cycleHit, &c.hitPointsPhysical, &c.hitPointsEnergy, &c.weight, &c.cost, &c.pickup,
            &c.dropout, &c.maxPressure, &c.loadDraw, &c.minTemperature, &c.maxTemperature,
            &c.maxCapacity);
  } else {
    in.scan("%d ,%f ,%f ,%d ,%d ,%f ,%f ,%f ,%f ,%f ,%f ,\n", &c.kind, &c.serviceLife, &c.cycleHit,
            &c.hitPointsPhysical, &c.hitPointsEnergy, &c.weight, &c.cost, &c.pickup,
            &c.minTemperature, &c.maxTemperature, &c.maxCapacity);
  }
  c.make = readText(in);
  c.model = readText(in);
  c.descriptor = readText(in);
}

// Polygons need 3 or 4 corners on vertices of the file; anything else would be read or drawn
// out of bounds later, so it goes, with a notice.
int removeInvalidPolygons(Module& m) {
  const auto vertexCount = m.vertices.size();
  auto invalid = [&](const Polygon& p) {
    if (p.sides < 3 || p.sides > 4) return true;
    for (int c = 0; c < p.sides; ++c) {
      if (p.vertexIndex[c] >= vertexCount) return true;
    }
    return false;
  };
  auto before = m.polygons.size();
  m.polygons.erase(std::remove_if(m.polygons.begin(), m.polygons.end(), invalid), m.polygons.end());
  return static_cast<int>(before - m.polygons.size());
}

}  // namespace

namespace {

// Map names that lead out of the repository stay in the module, so that saving keeps them, but
// are never followed: one notice names them all.
void noticeMapsOutside(Module& m, Ui& ui, const RepositoryFolder& repository) {
  std::string outside;
  for (const std::string& name : m.maps) {
    if (!name.empty() && !staysInRepository(repository, name)) outside += name + "\n";
  }
  if (outside.empty()) return;
  ui.message(
      formatText(
          "%S names map files outside the repository folder:\n\n%SThey are kept in the file but "
          "not read.",
          m.filename, outside),
      "Heads-up!");
}

WldParseResult parse(FileWindow& window, Module& m, Ui& ui, const RepositoryFolder& repository,
                     const WldReadOptions& options, float* fileVersion, std::string* endsEarly) {
  TextScanner in{window};
  // A whole file of its version reaches the end of its last field: the comma that closes a
  // number written with one, otherwise the line end. A file that ends before (its counts
  // promising more than it holds, or cut inside a field) is read as far as it goes and reported.
  EarlyEnd early{in};
  m.modified = 0;
  float v = 0;
  // A WLD file begins with its version: anything else (an empty file, another kind of text,
  // UTF-16, zero bytes, a number too large to be one) is not a mesh, and is neither read as the
  // oldest version nor overwritten.
  const bool versioned = in.scan(" %f ", &v) == 1 && std::isfinite(v);
  if (!versioned || !window.rejection().empty()) {
    if (!window.rejection().empty()) {
      reportRejectedText(ui, window, m.filename);
    } else {
      ui.messageBox(
          formatText("This file does not appear to be a valid WLD file...\n\n%S", m.filename),
          "Incompatible file!", MessageIcon::warning, MessageButtons::ok);
    }
    return WldParseResult::notWld;
  }
  m.version = v;
  if (fileVersion) *fileVersion = v;
  if (v > wldVersion) {
    ui.messageBox(
        formatText("This file was last saved using TESSARIM v%.2f...\n\nYou must download a "
                   "TESSARIM v%.2f or higher...",
                   v, v),
        "Newer file version found!", MessageIcon::error, MessageButtons::ok);
    return WldParseResult::newerVersion;
  }
  if (v < wldVersion && options.interactive) {
    ui.messageBox(formatText("This file was last saved using TESSARIM v%.2f...\n\nThe file will "
                             "automatically be updated to v%.2f at this time...",
                             v, wldVersion),
                  "Older file version found!", MessageIcon::warning, MessageButtons::ok);
    m.modified = 1;
  }

  // A record that consumes nothing would repeat forever with the same result, so a list stops
  // there instead of growing to a count the file cannot hold.
  std::int32_t count = 0;
  in.scan(" %d ,", &count);
  early.check("ends early: before its vertices");
  m.vertices.clear();
  // What is left of the file bounds what a count can claim, before anything is reserved.
  m.vertices.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(
      static_cast<std::uint64_t>(std::max(count, 0)), in.remaining() / 6 + 1)));
  Centre centre;
  for (std::int32_t i = 0; i < count; ++i) {
    const std::uint64_t before = in.remaining();
    Vertex vertex;
    if (in.floatComma(vertex.x) == 2 && in.floatComma(vertex.y) == 2)
      in.floatComma(vertex.z);                     // "%f ,%f ,%f ,"
    if (early.check(i, count, "vertices")) break;  // a vertex cut short is not kept
    if (in.remaining() == before) break;
    m.vertices.push_back(vertex);
    centre.add(vertex);
  }
  m.centroid = centre.centre(options.city);

  count = 0;
  in.scan(" %d ,", &count);
  m.polygons.clear();
  m.polygons.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(
      static_cast<std::uint64_t>(std::max(count, 0)), in.remaining() / 16 + 1)));
  readHeader(in, m, v, options.city);
  early.check("ends early: before its polygons");
  for (std::int32_t i = 0; i < count; ++i) {
    const std::uint64_t before = in.remaining();
    Polygon p;
    readPolygon(in, p, v);
    if (early.check(i, count, "polygons")) break;
    if (in.remaining() == before) break;
    m.polygons.push_back(p);
  }

  // The names the version holds, and those read whole.
  int names = 0, namesRead = 0;
  auto readMap = [&](int slot) {
    m.maps[slot] = readMapName(in, repository);
    ++names;
    if (!in.ranOut()) ++namesRead;
  };
  if (v > 1.99f) readMap(textfile);
  if (v > 2.17f) readMap(lightfile);
  in.skipWhitespace();
  if (v > 2.21f && v < 2.24f) in.readLine(lineBufferSize);
  if (v > 2.23f && v < 2.28f) {
    std::int32_t a, b;
    in.scan("%d, %d\n", &a, &b);
  }
  if (v > 2.24f) readMap(overlayfile);
  if (v > 2.25f) {
    for (int slot : {heightfile, visibilityfile, reflectfile, grimefile}) readMap(slot);
  }
  if (v > 2.29f) readMap(detailfile);
  if (v > 2.3f) readMap(controlfile);
  if (!m.maps[controlfile].empty() && m.maps[detailfile].empty()) {
    m.maps[controlfile].clear();
    ui.message("Removed a detail control file with no detail file", "Heads-up!");
    m.modified = 1;
  }

  if (v > 2.1f && v < 2.17f) {
    std::int32_t ignored;
    in.scan("%d ,\n", &ignored);
  }
  if (namesRead < names)
    early.check(namesRead, names, "map names");
  else
    early.check("ends early: after its map names");

  if (v > 2.26f) {
    std::int32_t system = 0;
    in.scan("%d ,\n", &system);
    if (system < 1) {
      m.componentType = 0;
      m.component = ComponentSpec{};
    } else {
      m.componentType = system;
      if (options.skipComponentModules) return WldParseResult::componentSkipped;
      readComponent(in, m, v > 2.28f);
    }
  } else {
    m.componentType = 0;
    m.component = ComponentSpec{};
  }
  early.check("ends early: in its component fields");
  // Text that no WLD file holds, found anywhere on the way: what was read cannot be trusted.
  if (!window.rejection().empty()) {
    reportRejectedText(ui, window, m.filename);
    return WldParseResult::notWld;
  }
  m.version = wldVersion;
  noticeMapsOutside(m, ui, repository);

  if (int dropped = removeInvalidPolygons(m); dropped > 0) {
    ui.message(formatText("Removed %i polygons that did not have 3 or 4 corners on vertices of the "
                          "file!",
                          dropped),
               "Integrity Check");
    m.modified = 1;
  }
  if (int removed = removeUnusedVertices(m); removed > 0) {
    ui.message(formatText("Removed %i unused vertices from the file!", removed), "Integrity Check");
    m.modified = 1;
  }
  if (int removed = removeDuplicateVertices(m); removed > 0) {
    ui.message(formatText("Removed %i duplicate vertices from the file!", removed),
               "Integrity Check");
    m.modified = 1;
  }
  // Last, after what the pass made of what was read.
  if (!early.detail().empty()) reportEndedEarly(ui, m.filename, early.detail());
  if (endsEarly) *endsEarly = early.detail();
  return WldParseResult::ok;
}

}  // namespace

WldParseResult parseWld(std::string_view text, Module& m, Ui& ui,
                        const RepositoryFolder& repository, const WldReadOptions& options,
                        float* fileVersion, std::string* endsEarly) {
  FileWindow window{text};
  return parse(window, m, ui, repository, options, fileVersion, endsEarly);
}

bool readWld(Session& session, int index, const WldReadOptions& options, float* fileVersion) {
  return loadWldModule(session, session.model.document.module[index], options, fileVersion) ==
         WldLoad::ok;
}

WldLoad loadWldModule(Session& session, Module& m, const WldReadOptions& options,
                      float* fileVersion) {
  if (m.filename.empty()) {
    session.ui.messageBox(formatText("No file was specified for loading\n\n\"%S\"", m.filename),
                          "File not loaded!", MessageIcon::warning, MessageButtons::ok);
    return WldLoad::noFile;
  }
  FileSource& files = session.files;
  std::string path = files.locate(hostPathOf(session.repository, m.filename));
  auto time = files.modificationTime(path);
  auto window = time ? files.open(path) : std::nullopt;
  if (!window) {
    session.ui.messageBox(
        formatText("Could not find the WLD file or the file is in use...\n\n%S", path),
        "File not loaded!", MessageIcon::warning, MessageButtons::ok);
    m.filename.clear();
    return WldLoad::noFile;
  }
  m.fileTime = *time;
  session.model.status.modulesReloaded = true;

  std::string endsEarly;
  const WldParseResult result =
      parse(*window, m, session.ui, session.repository, options, fileVersion, &endsEarly);
  if (window->failed()) {
    session.ui.messageBox(
        formatText("Could not find the WLD file or the file is in use...\n\n%S", path),
        "File not loaded!", MessageIcon::warning, MessageButtons::ok);
    m = Module{};
    return WldLoad::noFile;
  }
  if (result == WldParseResult::ok) {
    // Saving the module would write only what was read: the model keeps the note until the file
    // is written or read again whole.
    if (endsEarly.empty())
      forgetReadShort(session.model, m.filename);
    else
      noteReadShort(session.model, m.filename, endsEarly);
    return WldLoad::ok;
  }
  if (result == WldParseResult::componentSkipped) return WldLoad::componentSkipped;
  // Refused rather than ending the program: other documents may hold unsaved edits. What was
  // read of it goes, so nothing of a file that is not a mesh could be saved over it.
  std::string name = m.filename;
  m = Module{};
  m.filename = name;
  return result == WldParseResult::newerVersion ? WldLoad::newerVersion : WldLoad::refused;
}

}  // namespace tessarim
