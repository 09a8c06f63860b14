#include "cli.hpp"

#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>

#include "app/paths.hpp"
#include "app/session.hpp"
#include "batch_ui.hpp"
#include "formats/wld.hpp"
#include "model/model.hpp"
#include "platform/clock.hpp"
#include "platform/settings_store.hpp"

namespace tessarim {
namespace {

constexpr const char* usage =
    "usage: tessarim-cli [--repo DIR] [--answer yes|no|cancel|ok] [--city] COMMAND ...\n"
    "  info FILE          print what FILE holds and the messages loading it raised, as JSON\n"
    "  resave FILE [OUT]  read FILE and write it in the current version (to OUT when given)\n";

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

std::string lowerExtension(const std::string& path) {
  std::string ext = std::filesystem::path{path}.extension().string();
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return ext;
}

// The stored form of a host path given on the command line (relative to the working folder).
std::string documentName(const Model& model, const std::string& hostPath) {
  std::string name = std::filesystem::absolute(hostPath).lexically_normal().string();
  makeRelative(model.repository, name);
  return name;
}

struct Batch {
  Model model;
  BatchUi ui;
  MemorySettingsStore store;  // a batch run never touches the user's settings
  SystemClock clock;
  Session session{model, ui, store, clock};

  Batch(std::ostream& err, const Options& options) : ui(err, options.answer) {
    model.repository = makeRepositoryFolder(std::filesystem::absolute(options.repo).lexically_normal().string());
  }
};

// Loads a single mesh as module 0, as opening it in the editor does.
bool loadMesh(Batch& batch, const std::string& file, bool city, float* version) {
  Model& model = batch.model;
  model.settings.documentPath = documentName(model, file);
  model.wldfiles = 1;
  model.module[0].filename = model.settings.documentPath;
  return readWld(batch.session, 0, WldReadOptions{false, false, city}, version);
}

int info(const Options& options, std::ostream& out, std::ostream& err) {
  if (options.rest.size() != 2) {
    err << usage;
    return 2;
  }
  const std::string& file = options.rest[1];
  Batch batch{err, options};
  if (lowerExtension(file) != ".wld") {
    err << "tessarim-cli: " << file << ": not a document this tool reads\n";
    return 1;
  }
  float version = 0;
  bool ok = loadMesh(batch, file, options.city, &version);
  nlohmann::ordered_json j;
  j["kind"] = "wld";
  j["version"] = version;
  j["messages"] = nlohmann::json::array();
  for (const auto& shown : batch.ui.shown()) {
    j["messages"].push_back({{"caption", shown.caption}, {"text", shown.text}});
  }
  j["modules"] = nlohmann::json::array();
  if (ok) {
    for (int i = 0; i < batch.model.wldfiles; ++i) {
      const Module& m = batch.model.module[i];
      j["modules"].push_back(nlohmann::ordered_json{{"filename", m.filename},
                                                    {"vertices", m.vertices.size()},
                                                    {"polygons", m.polygons.size()},
                                                    {"scaleClass", m.scaleClass},
                                                    {"instances", m.instances.size()}});
    }
  }
  out << j.dump(2) << '\n';
  if (!ok) {
    err << "tessarim-cli: " << file << ": not loaded\n";
    return 1;
  }
  return 0;
}

int resave(const Options& options, std::ostream& err) {
  if (options.rest.size() != 2 && options.rest.size() != 3) {
    err << usage;
    return 2;
  }
  const std::string& file = options.rest[1];
  Batch batch{err, options};
  if (lowerExtension(file) != ".wld") {
    err << "tessarim-cli: " << file << ": not a document this tool reads\n";
    return 1;
  }
  if (!loadMesh(batch, file, options.city, nullptr)) {
    err << "tessarim-cli: " << file << ": not loaded\n";
    return 1;
  }
  Module& m = batch.model.module[0];
  if (options.rest.size() == 3) m.filename = documentName(batch.model, options.rest[2]);
  m.modified = 1;
  if (!writeWld(batch.session, 0)) {
    err << "tessarim-cli: " << m.filename << ": not saved\n";
    return 1;
  }
  return 0;
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
  } catch (const std::exception& e) {
    err << "tessarim-cli: " << e.what() << '\n';
    return 1;
  }
  err << "tessarim-cli: unknown command " << command << '\n' << usage;
  return 2;
}

}  // namespace tessarim
