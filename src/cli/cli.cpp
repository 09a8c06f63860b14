#include "cli.hpp"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <memory>
#include <new>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <span>

#include "batch_ui.hpp"
#include "commands/command_lookup.hpp"
#include "commands/command_table.hpp"
#include "commands/dispatch.hpp"
#include "editor/editor.hpp"
#include "editor/lifecycle.hpp"
#include "export/runtime_export.hpp"
#include "formats/assembly.hpp"
#include "formats/file_io.hpp"
#include "formats/text_writer.hpp"
#include "formats/wld.hpp"
#include "model/model.hpp"
#include "model/paths.hpp"
#include "model/session.hpp"
#include "platform/clock.hpp"
#include "platform/settings_store.hpp"

namespace tessarim {
namespace {

constexpr const char* usage =
    "usage: tessarim-cli [--repo DIR] [--answer yes|no|cancel|ok] [--city] COMMAND ...\n"
    "  info FILE          print what FILE (.wld, .asm or .cty) holds and the messages loading it\n"
    "                     raised, as JSON\n"
    "  resave FILE [OUT]  read FILE and write it and its meshes in the current version (the\n"
    "                     document itself to OUT when given)\n"
    "  check DIR          load every .wld, .asm and .cty file below DIR and report, per file, the\n"
    "                     messages loading raised, as JSON; nothing is written\n"
    "  export FILE        write the runtime set of FILE (DAW, and for .asm and .cty files DIX,\n"
    "                     normal maps and side files) beside it; print the files written as JSON\n"
    "  apply FILE COMMAND... [--save [OUT]]\n"
    "                     run menu commands on FILE in order, as the menu would, each named by\n"
    "                     its number or its label (any case, \"&\" marks optional); with --save\n"
    "                     write the whole document (itself to OUT when given) and its meshes;\n"
    "                     print what ran as JSON\n";

enum class Kind { wld, asmfile, cty, other };

struct Options {
  std::string repo = ".";
  std::optional<MessageAnswer> answer;
  bool city = false;
  std::vector<std::string> rest;
};

std::optional<MessageAnswer> parseAnswer(const std::string& s) {
  if (s == "yes") return MessageAnswer::yes;
  if (s == "no") return MessageAnswer::no;
  if (s == "cancel") return MessageAnswer::cancel;
  if (s == "ok") return MessageAnswer::ok;
  return std::nullopt;
}

Kind kindOf(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  if (ext == ".wld") return Kind::wld;
  if (ext == ".asm") return Kind::asmfile;
  if (ext == ".cty") return Kind::cty;
  return Kind::other;
}

const char* kindName(Kind kind) {
  switch (kind) {
    case Kind::wld:
      return "wld";
    case Kind::asmfile:
      return "asm";
    case Kind::cty:
      return "cty";
    case Kind::other:
      break;
  }
  return "other";
}

// The stored form of a host path given on the command line (relative to the working folder).
std::string documentName(const RepositoryFolder& repository, const std::string& hostPath) {
  std::string name = std::filesystem::absolute(hostPath).lexically_normal().string();
  makeRelative(repository, name);
  return name;
}

struct Batch {
  Model model;
  RepositoryFolder repository;
  BatchUi ui;
  MemorySettingsStore store;  // a batch run never touches the user's settings
  SystemClock clock;
  Session session{model, repository, ui, store, clock};
  float version = 0;

  Batch(std::ostream& err, const Options& options) : ui(err, options.answer) {
    repository =
        makeRepositoryFolder(std::filesystem::absolute(options.repo).lexically_normal().string());
    // Nobody can be asked whether to give up what loading lost: no command writes it.
    session.lostContent = LostContent::refuse;
  }

  // Opens the document as the editor's Open command does. Running out of memory is reported
  // like any other reason a file could not be loaded.
  bool load(const std::string& file, Kind kind, bool cityMesh) {
    try {
      return read(file, kind, cityMesh);
    } catch (const std::bad_alloc&) {
      clearDocument(model);
      reportOutOfMemory(ui, file);
      return false;
    } catch (const std::exception& e) {
      // A reason of this file's own (the system refusing it half way): said about this file, so
      // that `check` goes on with the others.
      clearDocument(model);
      ui.messageBox(
          formatText("%S while attempting to load the following file...\n\n\"%S\"", e.what(), file),
          "File not loaded!", MessageIcon::warning, MessageButtons::ok);
      return false;
    }
  }

  bool read(const std::string& file, Kind kind, bool cityMesh) {
    model.document.documentPath = documentName(repository, file);
    if (kind == Kind::wld) {
      model.document.wldfiles = 1;
      model.document.module[0].filename = model.document.documentPath;
      return readWld(session, 0, WldReadOptions{false, false, cityMesh}, &version);
    }
    model.document.kind = kind == Kind::cty ? DocumentKind::ctyfile : DocumentKind::asmfile;
    DocumentReadInfo info;
    const bool ok = readAssembly(session, &info);
    version = info.version;
    return ok;
  }
};

// The version as the file wrote it: the float's shortest decimal form, not its binary expansion.
double asWritten(float version) {
  char text[32];
  auto end = std::to_chars(text, text + sizeof text, version).ptr;
  double value = 0;
  std::from_chars(text, end, value);
  return value;
}

// Names and messages may hold bytes that are not UTF-8 (a Latin-1 file name): those are replaced
// so the output stays valid JSON.
void printJson(std::ostream& out, const nlohmann::ordered_json& j) {
  out << j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

// The files of the document that ended early, as "name: what was missing".
std::vector<std::string> cutShortLines(const Model& model) {
  std::vector<std::string> lost = contentLostOnLoad(model);
  lost.erase(lost.begin(),
             lost.begin() + static_cast<std::ptrdiff_t>(model.status.droppedOnLoad.size()));
  return lost;
}

nlohmann::ordered_json messagesJson(const BatchUi& ui) {
  auto list = nlohmann::ordered_json::array();
  for (const auto& shown : ui.shown())
    list.push_back({{"caption", shown.caption}, {"text", shown.text}});
  return list;
}

int info(const Options& options, std::ostream& out, std::ostream& err) {
  if (options.rest.size() != 2) {
    err << usage;
    return 2;
  }
  const std::string& file = options.rest[1];
  const Kind kind = kindOf(file);
  if (kind == Kind::other) {
    err << "tessarim-cli: " << file << ": not a document this tool reads\n";
    return 1;
  }
  Batch batch{err, options};
  bool ok = batch.load(file, kind, options.city);
  const Model& model = batch.model;
  nlohmann::ordered_json j;
  j["kind"] = kindName(kind);
  j["version"] = asWritten(batch.version);
  j["messages"] = messagesJson(batch.ui);
  j["modules"] = nlohmann::ordered_json::array();
  if (ok) {
    for (int i = 0; i < model.document.wldfiles; ++i) {
      const Module& m = model.document.module[i];
      j["modules"].push_back(nlohmann::ordered_json{{"filename", m.filename},
                                                    {"vertices", m.vertices.size()},
                                                    {"polygons", m.polygons.size()},
                                                    {"scaleClass", m.scaleClass},
                                                    {"instances", m.instances.size()}});
    }
  }
  if (kind != Kind::wld) {
    j["lights"] = ok ? model.document.lightCount : 0;
    j["connectors"] = ok ? model.document.connectors.size() : 0;
    j["components"] = ok ? model.document.components.size() : 0;
    j["streetNodes"] = ok ? model.document.streetNodes.nodes.size() : 0;
    j["modified"] = ok && model.status.documentModified;
  }
  // Entries loading had to leave out and files that ended early: saving would lose them.
  if (kind != Kind::wld)
    j["leftOut"] = ok ? model.status.droppedOnLoad : std::vector<std::string>{};
  j["cutShort"] = ok ? cutShortLines(model) : std::vector<std::string>{};
  printJson(out, j);
  if (!ok) {
    err << "tessarim-cli: " << file << ": not loaded\n";
    return 1;
  }
  return 0;
}

// The document the command names, loaded whole; nothing after saying why it could not be.
// A document that lost entries while loading (a missing mesh, a name outside the repository)
// is not written in any form, whatever --answer says: the files would lose them for good. A
// run that writes nothing may still load it.
std::unique_ptr<Batch> loadDocument(const Options& options, const std::string& file, Kind kind,
                                    std::ostream& err, bool forWriting = true) {
  if (kind == Kind::other) {
    err << "tessarim-cli: " << file << ": not a document this tool reads\n";
    return nullptr;
  }
  auto batch = std::make_unique<Batch>(err, options);
  if (!batch->load(file, kind, options.city)) {
    err << "tessarim-cli: " << file << ": not loaded\n";
    return nullptr;
  }
  const std::vector<std::string> lost = contentLostOnLoad(batch->model);
  if (forWriting && !lost.empty()) {
    err << "tessarim-cli: " << file << ": nothing written: loading lost content\n";
    for (const std::string& line : lost) err << "  " << line << '\n';
    return nullptr;
  }
  return batch;
}

// Writes the whole document in the current version, every mesh rewritten: the document itself
// to `out` when given, else where it was read from.
bool writeWhole(Session& session, Kind kind, const std::optional<std::string>& out) {
  Model& model = session.model;
  for (int i = 0; i < model.document.wldfiles; ++i) model.document.module[i].modified = 1;
  if (kind == Kind::cty && model.document.wldfiles > 0)
    model.document.module[model.document.wldfiles - 1].modified = 0;  // generated
  if (kind == Kind::wld) {
    if (out) model.document.module[0].filename = documentName(session.repository, *out);
    return writeWld(session, 0);
  }
  if (out) model.document.documentPath = documentName(session.repository, *out);
  model.status.documentModified = true;
  return writeAssembly(session, true, false);
}

// Why OUT cannot take a document of this kind, before anything is read: it must carry the
// kind's extension (a mesh written over by an assembly is lost) and be a regular file or not
// exist yet (a rename would replace a pipe or a device node by a file). Empty when it can.
std::string outputRefusal(const std::string& out, Kind kind) {
  if (out.empty() || out.front() == '-') return "not a file name";
  if (kindOf(out) != kind)
    return std::string{"not a ."} + kindName(kind) + " file, the document's kind";
  std::error_code ec;
  const auto status = std::filesystem::status(out, ec);
  if (status.type() == std::filesystem::file_type::directory) return "a folder";
  if (std::filesystem::exists(status) && status.type() != std::filesystem::file_type::regular)
    return "not a regular file";
  return {};
}

// Two names of one file: the same file where both exist, else the same place.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  if (std::filesystem::equivalent(a, b, ec) && !ec) return true;
  return std::filesystem::weakly_canonical(a, ec) == std::filesystem::weakly_canonical(b, ec);
}

// The mesh of the loaded document that writeWhole also writes to OUT's place, by its stored name.
std::optional<std::string> meshAt(const Batch& batch, Kind kind, const std::string& out) {
  if (kind == Kind::wld) return std::nullopt;  // OUT is the mesh itself
  const Document& document = batch.model.document;
  const int stored = kind == Kind::cty ? document.wldfiles - 1 : document.wldfiles;
  for (int i = 0; i < stored; ++i) {
    const std::string& name = document.module[i].filename;
    if (sameFile(resolvePath(batch.repository, name), out)) return name;
  }
  return std::nullopt;
}

// Says why OUT is refused; true when it is.
bool refuseOutput(std::ostream& err, const std::string& out, const std::string& reason) {
  err << "tessarim-cli: " << out << ": nothing written: the output is " << reason << '\n';
  return true;
}

bool outputClashes(std::ostream& err, const Batch& batch, Kind kind, const std::string& out) {
  const auto mesh = meshAt(batch, kind, out);
  return mesh && refuseOutput(err, out,
                              "the mesh " + *mesh +
                                  " of the document, which the same "
                                  "save writes");
}

int resave(const Options& options, std::ostream& err) {
  if (options.rest.size() != 2 && options.rest.size() != 3) {
    err << usage;
    return 2;
  }
  const std::string& file = options.rest[1];
  const Kind kind = kindOf(file);
  std::optional<std::string> out;
  if (options.rest.size() == 3) {
    out = options.rest[2];
    const std::string refusal = kind == Kind::other ? "" : outputRefusal(*out, kind);
    if (!refusal.empty() && refuseOutput(err, *out, refusal)) return 2;
  }
  auto batch = loadDocument(options, file, kind, err);
  if (!batch) return 1;
  if (out && outputClashes(err, *batch, kind, *out)) return 2;
  if (!writeWhole(batch->session, kind, out)) {
    err << "tessarim-cli: " << file << ": not saved\n";
    return 1;
  }
  return 0;
}

int check(const Options& options, std::ostream& out, std::ostream& err) {
  if (options.rest.size() != 2) {
    err << usage;
    return 2;
  }
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::is_directory(options.rest[1], ec)) {
    err << "tessarim-cli: " << options.rest[1] << " is not a folder\n";
    return 2;
  }
  std::vector<fs::path> files;
  for (fs::recursive_directory_iterator
           it{options.rest[1], fs::directory_options::skip_permission_denied, ec},
       end;
       !ec && it != end; it.increment(ec)) {
    if (it->is_regular_file(ec) && kindOf(it->path()) != Kind::other) files.push_back(it->path());
  }
  std::sort(files.begin(), files.end());
  auto report = nlohmann::ordered_json::array();
  bool allLoaded = true;
  for (const fs::path& path : files) {
    Batch batch{err, options};
    const Kind kind = kindOf(path);
    bool ok = batch.load(path.string(), kind, options.city);
    allLoaded = allLoaded && ok && contentLostOnLoad(batch.model).empty();
    report.push_back(nlohmann::ordered_json{{"file", path.generic_string()},
                                            {"kind", kindName(kind)},
                                            {"loaded", ok},
                                            {"messages", messagesJson(batch.ui)},
                                            {"leftOut", batch.model.status.droppedOnLoad},
                                            {"cutShort", cutShortLines(batch.model)}});
  }
  printJson(out, report);
  return allLoaded ? 0 : 1;
}

int exportSet(const Options& options, std::ostream& out, std::ostream& err) {
  if (options.rest.size() != 2) {
    err << usage;
    return 2;
  }
  const std::string& file = options.rest[1];
  const Kind kind = kindOf(file);
  auto batch = loadDocument(options, file, kind, err);
  if (!batch) return 1;
  // A single mesh is drawn, and so exported, through the one placement the editor gives it.
  Module& first = batch->model.document.module[0];
  if (kind == Kind::wld && first.instances.empty()) {
    Instance instance;
    instance.extendRate = instance.retractRate = 0.5f;
    first.instances.push_back(instance);
  }
  auto scene = std::make_unique<SceneGeometry>();
  const ExportResult result = exportRuntimeSet(batch->session, *scene);
  if (!result.written) {
    err << "tessarim-cli: " << file << ": not exported\n";
    return 1;
  }
  nlohmann::ordered_json j;
  j["generation"] = result.legacy ? "legacy" : "current";
  j["triangles"] = result.triangles;
  j["files"] = result.files;
  printJson(out, j);
  return 0;
}

// A row as messages name it: its number and the label the menu shows.
std::string describe(const Command& row) {
  return std::to_string(row.number) + " \"" + plainLabel(row.label) + '"';
}

// Where the menu bar shows a row, as "VIEW > Sliders"; rows only keys issue have no place.
std::string placeOf(const Command& row) {
  if (row.menuPath.empty()) return "keys only";
  std::string place = plainLabel(row.menuPath);
  for (std::size_t at = place.find('|'); at != std::string::npos; at = place.find('|', at))
    place.replace(at, 1, " > ");
  return place;
}

const char* outcomeName(CommandOutcome outcome) {
  switch (outcome) {
    case CommandOutcome::done:
      return "done";
    case CommandOutcome::refused:
      return "refused";
    case CommandOutcome::greyed:
      return "greyed";
    case CommandOutcome::unknown:
      break;
  }
  return "unknown";
}

// Every command is resolved before the document is even read, so that a typing error costs
// nothing and changes nothing.
std::optional<std::vector<const Command*>> resolveCommands(std::span<const std::string> names,
                                                           std::ostream& err) {
  std::vector<const Command*> rows;
  bool all = true;
  for (const std::string& name : names) {
    const CommandLookup found = lookUpCommand(name);
    if (!found.candidates.empty()) {
      err << "tessarim-cli: apply: \"" << name << "\" names several commands; give the number:";
      for (std::size_t i = 0; i < found.candidates.size(); ++i) {
        err << (i == 0 ? " " : ", ") << found.candidates[i]->number << " ("
            << placeOf(*found.candidates[i]) << ')';
      }
      err << '\n';
      all = false;
    } else if (found.row == nullptr) {
      err << "tessarim-cli: apply: no command \"" << name << "\"\n";
      all = false;
    } else if (needsUser(*found.row)) {
      err << "tessarim-cli: apply: " << describe(*found.row)
          << " needs the user at the window (a dialog or the mouse)\n";
      all = false;
    } else {
      rows.push_back(found.row);
    }
  }
  if (!all) return std::nullopt;
  return rows;
}

// Where --save stands and what follows it; nothing when the arguments cannot be an apply.
struct ApplyArguments {
  std::span<const std::string> commands;
  bool save = false;
  std::optional<std::string> target;
};

std::optional<ApplyArguments> parseApply(const std::vector<std::string>& rest) {
  const auto saveAt = std::find(rest.begin(), rest.end(), "--save");
  if (rest.size() < 3 || saveAt - rest.begin() < 3) return std::nullopt;
  ApplyArguments parsed;
  parsed.commands = std::span<const std::string>(rest.begin() + 2, saveAt);
  if (saveAt == rest.end()) return parsed;
  parsed.save = true;
  if (rest.end() - saveAt > 2) return std::nullopt;
  if (saveAt + 1 != rest.end()) parsed.target = *(saveAt + 1);
  return parsed;
}

std::string joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

// apply FILE COMMAND... [--save [OUT]]
int apply(const Options& options, std::ostream& out, std::ostream& err) {
  const auto arguments = parseApply(options.rest);
  if (!arguments) {
    err << usage;
    return 2;
  }
  const std::string& file = options.rest[1];
  const bool save = arguments->save;
  const std::optional<std::string>& target = arguments->target;
  const Kind kind = kindOf(file);
  if (target && kind != Kind::other) {
    const std::string refusal = outputRefusal(*target, kind);
    if (!refusal.empty() && refuseOutput(err, *target, refusal)) return 2;
  }

  const auto rows = resolveCommands(arguments->commands, err);
  if (!rows) return 2;

  auto batch = loadDocument(options, file, kind, err, save);
  if (!batch) return 1;
  if (target && outputClashes(err, *batch, kind, *target)) return 2;
  const std::string loadedPath = batch->model.document.documentPath;
  const DocumentKind loadedKind = batch->model.document.kind;
  auto editor = std::make_unique<Editor>(batch->session);  // it holds scene buffers: off the stack
  Session& session = editor->session;  // the commands' copy, whose log they fill
  const WriteLog& log = session.writes;
  // The commands find the document as Open leaves it in the editor.
  afterDocumentOpened(batch->model);
  nlohmann::ordered_json j;
  j["file"] = file;
  j["commands"] = nlohmann::ordered_json::array();
  auto report = [&](const char* saved) {
    j["saved"] = saved ? nlohmann::ordered_json(saved) : nlohmann::ordered_json();
    j["written"] = log.written;
    j["messages"] = messagesJson(batch->ui);
    printJson(out, j);
  };
  // What a stop says of the files: those written so far stay written.
  auto stopped = [&] {
    return log.written.empty() ? std::string{"stopped, nothing written"}
                               : "stopped; written before: " + joined(log.written);
  };
  bool failed = false;
  for (const Command* row : *rows) {
    const std::size_t failuresBefore = log.failed.size();
    const CommandOutcome outcome = issueCommand(*editor, row->number);
    // A command that could not write what it was asked to write failed, whatever its handler
    // returned: only its messages would tell.
    const bool commandFailed = log.failed.size() > failuresBefore;
    j["commands"].push_back(
        nlohmann::ordered_json{{"number", row->number},
                               {"label", row->label},
                               {"outcome", commandFailed ? "failed" : outcomeName(outcome)}});
    if (commandFailed) {
      err << "tessarim-cli: apply: " << describe(*row) << " failed: not written: "
          << joined({log.failed.begin() + static_cast<std::ptrdiff_t>(failuresBefore),
                     log.failed.end()})
          << '\n';
      failed = true;
    } else if (outcome == CommandOutcome::refused) {
      err << "tessarim-cli: apply: " << describe(*row) << " ended early\n";
    } else if (outcome != CommandOutcome::done) {
      // A resolved row has a handler: unknown is only guarded against here.
      err << "tessarim-cli: apply: " << describe(*row)
          << (outcome == CommandOutcome::greyed ? " is greyed now" : " does nothing") << "; "
          << stopped() << '\n';
      report(nullptr);
      return 2;
    }
  }

  const std::string& written = target ? *target : file;
  if (save) {
    // A command may have closed the document: writing the empty one would wipe the file.
    const Document& document = batch->model.document;
    if (document.documentPath != loadedPath || document.kind != loadedKind) {
      err << "tessarim-cli: " << file << ": not saved: a command closed the document";
      if (!log.written.empty()) err << " (written before: " << joined(log.written) << ')';
      err << '\n';
      report(nullptr);
      return 1;
    }
    if (target && outputClashes(err, *batch, kind, *target)) {
      report(nullptr);
      return 2;
    }
    if (!writeWhole(session, kind, target)) {
      err << "tessarim-cli: " << written << ": not saved\n";
      report(nullptr);
      return 1;
    }
  }
  report(save ? written.c_str() : nullptr);
  return failed ? 1 : 0;
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--repo" && i + 1 < args.size()) {
      options.repo = args[++i];
    } else if (a == "--answer" && i + 1 < args.size()) {
      options.answer = parseAnswer(args[++i]);
      if (!options.answer) {
        err << "tessarim-cli: --answer takes yes, no, cancel or ok\n";
        return 2;
      }
    } else if (a == "--city") {
      options.city = true;
    } else if (a == "--help" || a == "-h") {
      out << usage;
      return 0;
    } else if (!a.empty() && a[0] == '-' && options.rest.empty()) {
      err << "tessarim-cli: unknown option " << a << '\n' << usage;
      return 2;
    } else {
      options.rest.push_back(a);
    }
  }
  std::error_code ec;
  if (!std::filesystem::is_directory(options.repo, ec)) {
    err << "tessarim-cli: repository folder " << options.repo << " does not exist\n";
    return 2;
  }
  if (options.rest.empty()) {
    err << usage;
    return 2;
  }
  const std::string& command = options.rest[0];
  try {
    if (command == "info") return info(options, out, err);
    if (command == "resave") return resave(options, err);
    if (command == "check") return check(options, out, err);
    if (command == "export") return exportSet(options, out, err);
    if (command == "apply") return apply(options, out, err);
  } catch (const std::exception& e) {
    err << "tessarim-cli: " << e.what() << '\n';
    return 1;
  }
  err << "tessarim-cli: unknown command " << command << '\n' << usage;
  return 2;
}

}  // namespace tessarim
