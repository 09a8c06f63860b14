#include "formats/component_file.hpp"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "formats/file_io.hpp"
#include "formats/file_replacement.hpp"
#include "formats/guid_text.hpp"
#include "formats/text_scanner.hpp"
#include "formats/text_writer.hpp"
#include "model/model.hpp"
#include "model/paths.hpp"
#include "model/session.hpp"
#include "platform/ui.hpp"

namespace tessarim {
namespace {

// The shortest text a GUID can be read from: "0-0-0-00-000000,".
constexpr std::size_t shortestGuid = 16;
// The shortest dependency line: "0,0,0,0,".
constexpr std::size_t shortestDependency = 8;

// Counts come from the file: never reserve more records than the rest of the input could hold.
template <class T>
void reserveAtMost(std::vector<T>& list, std::int32_t count, std::size_t remaining,
                   std::size_t shortestRecord) {
  if (count <= 0) return;
  list.reserve(std::min(static_cast<std::size_t>(count), remaining / shortestRecord));
}

// A GUID the file ends inside is not a malformed one: the file was cut there, and the record
// holding it is not kept.
void readConnectors(TextScanner& in, float w, std::vector<Connector>& connectors,
                    bool& documentModified, std::string& failure, EarlyEnd& early) {
  std::int32_t count = 0;
  in.scan("%d ,\n", &count);
  early.check("ends early: before its connectors");
  reserveAtMost(connectors, count, in.remaining(), 2 * shortestGuid);
  for (std::int32_t i = 0; i < count; ++i) {
    Connector c;
    auto guid = readGuid(in);
    if (early.check(i, count, "connectors")) return;
    if (!guid) {
      failure = formatText("Invalid GUID for connector: %i", i);
      return;
    }
    c.guid = *guid;
    auto dependency = readGuid(in);
    if (early.check(i, count, "connectors")) return;
    if (!dependency) {
      failure = formatText("Invalid GUID for connector dependency: %i", i);
      return;
    }
    c.dependency = *dependency;
    auto& [fx, fy, fz] = c.farEnd;
    auto& [nx, ny, nz] = c.nearEnd;
    if (w > 1.04f) {
      in.scan("%f ,%f ,%f ,%f ,%f ,%f ,%d ,%f ,%f ,%f ,%f ,%d ,\n", &fx, &fy, &fz, &nx, &ny, &nz,
              &c.system, &c.values[0], &c.values[1], &c.values[2], &c.values[3], &c.value);
      if (early.check(i, count, "connectors")) return;
      if (w <= 1.05f) {
        // 1.05 stored the end points a thousand times larger.
        for (float* v : {&fx, &fy, &fz, &nx, &ny, &nz}) *v = static_cast<float>(*v * 0.001);
        documentModified = true;
      }
    } else {
      // 1.04 had no second value.
      in.scan("%f ,%f ,%f ,%f ,%f ,%f ,%d ,%f ,%f ,%f ,%d ,\n", &fx, &fy, &fz, &nx, &ny, &nz,
              &c.system, &c.values[0], &c.values[2], &c.values[3], &c.value);
      if (early.check(i, count, "connectors")) return;
    }
    connectors.push_back(c);
  }
}

void readDependencies(TextScanner& in, std::int32_t componentIndex, Component& c,
                      std::string& failure) {
  std::int32_t count = 0;
  in.scan("%d ,\n", &count);
  reserveAtMost(c.dependencies, count, in.remaining(), shortestDependency);
  for (std::int32_t j = 0; j < count; ++j) {
    Dependency d;
    std::int32_t loopCount = 0;
    std::int32_t flag = 0;
    const std::size_t before = in.remaining();
    in.scan("%d ,%d ,%d ,%d ,\n", &loopCount, &d.second, &d.first, &flag);
    // A count larger than the file: every further entry would read nothing.
    if (in.remaining() == before) return;
    d.flag = flag == 1 ? 1 : 0;
    reserveAtMost(d.loop, loopCount, in.remaining(), shortestGuid);
    for (std::int32_t k = 0; k < loopCount; ++k) {
      auto guid = readGuid(in);
      if (!guid) {
        // Cut short, the component is not kept: the caller says where the file ends.
        if (!in.ranOut())
          failure = formatText("Invalid GUID for component %i dependency %i loop: %i",
                               componentIndex, j, k);
        return;
      }
      d.loop.push_back(*guid);
    }
    c.dependencies.push_back(std::move(d));
  }
}

void readComponentList(TextScanner& in, float w, std::vector<Component>& components,
                       std::string& failure, EarlyEnd& early) {
  std::int32_t count = 0;
  in.scan("%d ,\n", &count);
  early.check("ends early: before its components");
  reserveAtMost(components, count, in.remaining(), 2 * shortestGuid);
  for (std::int32_t i = 0; i < count; ++i) {
    // The copy of the component module's description and placement is for other readers.
    in.scan(w > 1.04f
                ? "%*d ,%*d ,%*f ,%*f ,%*f ,%*f ,%*f ,%*d ,%*d ,%*f ,%*f ,%*f ,%*f ,%*f ,%*f ,"
                  "%*f ,%*f ,%*f ,\n"
                : "%*d ,%*d ,%*f ,%*f ,%*f ,%*f ,%*f ,%*d ,%*d ,%*f ,%*f ,%*f ,%*f ,%*f ,%*f ,\n");
    for (int line = 0; line < 3; ++line) in.scan("%*99[^\n]\n");

    Component c;
    auto guid = readGuid(in);
    if (early.check(i, count, "components")) return;
    if (!guid) {
      failure = formatText("Invalid GUID for component: %i", i);
      return;
    }
    c.guid = *guid;
    auto attachment = readGuid(in);
    if (early.check(i, count, "components")) return;
    if (!attachment) {
      failure = formatText("Invalid GUID for component attachment: %i", i);
      return;
    }
    c.attachment = *attachment;
    // The name is the rest of the line, commas and all.
    in.scan("%99[^\n]\n", &c.name);
    auto& v = c.values;
    if (w > 1.04f) {
      in.scan("%f ,%f ,%f ,%f, %f, %f, %f, %f ,%d ,\n", &c.setState, &v[0], &v[1], &v[2], &v[3],
              &v[4], &v[5], &v[6], &c.value);
    } else {
      // 1.04 had no fourth value.
      in.scan("%f ,%f ,%f ,%f, %f, %f, %f ,%d ,\n", &c.setState, &v[0], &v[1], &v[2], &v[4], &v[5],
              &v[6], &c.value);
    }
    readDependencies(in, i, c, failure);
    if (early.check(i, count, "components")) return;
    if (!failure.empty()) return;
    components.push_back(std::move(c));
  }
}

struct Placement {
  std::int32_t system = 0;
  const ComponentSpec* componentSpec = nullptr;
  const std::array<float, 3>* location = nullptr;
};

Placement findPlacement(const Model& model, const Guid& guid) {
  for (int m = 0; m < model.document.wldfiles; ++m) {
    const Module& module = model.document.module[m];
    for (const Instance& instance : module.instances) {
      if (instance.guid == guid)
        return {module.componentType, &module.component, &instance.location};
    }
  }
  return {};
}

// An empty line would be skipped by the reader's line scans, so empty texts are "unused".
void writeText(TextWriter& out, const std::string& text) {
  out.text(text.empty() ? std::string_view{"unused"} : std::string_view{text}).text("\n");
}

}  // namespace

std::string componentPath(std::string_view asmName) {
  std::string path{asmName.substr(0, asmName.size() - std::min<std::size_t>(asmName.size(), 4))};
  return path + ".cmp";
}

ComponentParseResult parseComponents(std::string_view text, std::vector<Connector>& connectors,
                                     std::vector<Component>& components, bool& documentModified,
                                     Ui& ui, std::string_view path, std::string* endsEarly) {
  FileWindow window{text};
  return parseComponents(window, connectors, components, documentModified, ui, path, endsEarly);
}

ComponentParseResult parseComponents(FileWindow& text, std::vector<Connector>& connectors,
                                     std::vector<Component>& components, bool& documentModified,
                                     Ui& ui, std::string_view path, std::string* endsEarly) {
  connectors.clear();
  components.clear();
  TextScanner in{text};
  // A whole file reaches the end of its last field: the comma that closes a number written with
  // one, otherwise the line end. A file that ends before is read as far as it goes and reported.
  EarlyEnd early{in};
  float w = 0;
  const bool versionBegun = in.scan("%f ,\n", &w) == 1;
  if (!std::isfinite(w)) w = 0;  // not a finite number: as unsupported as the oldest version
  // A version the file ends inside is no version to refuse: the rest of the file is missing.
  const bool versionCut = versionBegun && early.check("ends early: before its connectors");
  if (w < 1.04f && text.rejection().empty() && !versionCut) {
    ui.messageBox("Component file version is not supported!", "Error!", MessageIcon::error,
                  MessageButtons::ok);
    return ComponentParseResult::unsupportedVersion;
  }
  std::string failure;
  if (text.rejection().empty() && !versionCut)
    readConnectors(in, w, connectors, documentModified, failure, early);
  if (failure.empty() && text.rejection().empty() && !versionCut)
    readComponentList(in, w, components, failure, early);
  if (!text.rejection().empty()) {
    reportRejectedText(ui, text, path);
    connectors.clear();
    components.clear();
    return ComponentParseResult::notComponentFile;
  }
  if (failure.empty()) {
    if (!early.detail().empty()) reportEndedEarly(ui, path, early.detail());
    if (endsEarly) *endsEarly = early.detail();
    return ComponentParseResult::ok;
  }
  ui.messageBox(failure, "Error!", MessageIcon::error, MessageButtons::ok);
  connectors.clear();
  components.clear();
  return ComponentParseResult::malformedGuid;
}

bool readComponents(Session& session, std::string_view asmName) {
  Model& model = session.model;
  model.document.connectors.clear();
  model.document.components.clear();
  const std::string path =
      session.files.locate(hostPathOf(session.repository, componentPath(asmName)));
  auto window = session.files.open(path);
  if (!window) return true;
  std::string endsEarly;
  const ComponentParseResult result =
      parseComponents(*window, model.document.connectors, model.document.components,
                      model.status.documentModified, session.ui, path, &endsEarly);
  if (window->failed()) {
    session.ui.messageBox(formatText("%S while attempting to load the following file...\n\n\"%S\"",
                                     systemErrorText(EIO), path),
                          "File not loaded!", MessageIcon::warning, MessageButtons::ok);
    return false;
  }
  if (!endsEarly.empty()) {
    // Saved with its assembly, the file is noted under the assembly's name, beside what the
    // assembly itself lacks.
    std::string detail = componentPath(asmName) + " " + endsEarly;
    for (const ShortFile& f : model.status.readShort) {
      if (f.name == asmName) detail = f.detail + "; " + detail;
    }
    noteReadShort(model, asmName, std::move(detail));
  }
  return result == ComponentParseResult::ok || result == ComponentParseResult::unsupportedVersion;
}

std::string formatComponents(const Model& model) {
  TextWriter out{true};
  out.print(" %.2f ,\n", componentFileVersion);
  out.print(" %i ,\n", model.document.connectors.size());
  for (const Connector& c : model.document.connectors) {
    writeGuid(out, c.guid);
    writeGuid(out, c.dependency);
    out.print("%f ,%f ,%f ,%f ,%f ,%f ,%i ,%f ,%f ,%f ,%f ,%i ,\n", c.farEnd[0], c.farEnd[1],
              c.farEnd[2], c.nearEnd[0], c.nearEnd[1], c.nearEnd[2], c.system, c.values[0],
              c.values[1], c.values[2], c.values[3], c.value);
  }
  out.print(" %i ,\n", model.document.components.size());
  static const ComponentSpec noSpec;
  static const std::array<float, 3> noLocation{};
  for (const Component& c : model.document.components) {
    // Editing deletes a component with its instance, so the lookup normally succeeds; should it
    // not, the block is still written, with zeros for the copied values, so no data is lost.
    const Placement p = findPlacement(model, c.guid);
    const ComponentSpec& s = p.componentSpec ? *p.componentSpec : noSpec;
    const std::array<float, 3>& at = p.location ? *p.location : noLocation;
    out.print("%i ,%i ,%f ,%f ,%f ,%f, %f, %i, %i ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,%f ,\n", s.kind,
              p.system, at[0], at[1], at[2], s.serviceLife, s.cycleHit, s.hitPointsPhysical,
              s.hitPointsEnergy, s.weight, s.cost, s.pickup, s.dropout, s.maxPressure, s.loadDraw,
              s.minTemperature, s.maxTemperature, s.maxCapacity);
    writeText(out, s.make);
    writeText(out, s.model);
    writeText(out, s.descriptor);

    writeGuid(out, c.guid);
    writeGuid(out, c.attachment);
    out.text(c.name).text("\n");
    const auto& v = c.values;
    out.print("%f ,%f ,%f ,%f, %f, %f, %f, %f ,%i ,\n", c.setState, v[0], v[1], v[2], v[3], v[4],
              v[5], v[6], c.value);
    out.print("  %i ,\n", c.dependencies.size());
    for (const Dependency& d : c.dependencies) {
      out.print("   %i ,%i ,%i ,%i ,\n", d.loop.size(), d.second, d.first, d.flag ? 1 : 0);
      for (const Guid& g : d.loop) {
        out.text("    ");
        writeGuid(out, g);
        out.text("\n");
      }
    }
  }
  return out.take();
}

}  // namespace tessarim
