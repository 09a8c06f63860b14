#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>

#include "model/model.hpp"
#include "model/paths.hpp"
#include "model/session.hpp"
#include "platform/clock.hpp"
#include "platform/settings_store.hpp"
#include "support/scripted_ui.hpp"

namespace tessarim::testing {

// A fresh repository folder with a model, scripted seams and a session over them.
struct TempRepo {
  TempRepo() {
    std::random_device rd;
    root = std::filesystem::temp_directory_path() /
           ("tessarim-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(root);
    repository = makeRepositoryFolder(root.string());
  }
  ~TempRepo() {
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
  TempRepo(const TempRepo&) = delete;
  TempRepo& operator=(const TempRepo&) = delete;

  std::filesystem::path write(const std::string& relative, const std::string& bytes) {
    auto path = root / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::string read(const std::string& relative) const {
    std::ifstream in(root / relative, std::ios::binary);
    return std::string{std::istreambuf_iterator<char>(in), {}};
  }

  std::filesystem::path root;
  Model model;
  RepositoryFolder repository;
  ScriptedUi ui;
  MemorySettingsStore store;
  ManualClock clock;
  Session session{model, repository, ui, store, clock};
};

// The names of the entries of a folder.
inline std::set<std::string> filesIn(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

// Every entry below a folder: a regular file with its bytes, a link with where it points, and
// anything else by its kind. Nothing but regular files is opened, so a pipe never blocks it.
inline std::map<std::string, std::string> entriesBelow(const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().lexically_relative(folder).generic_string();
    const fs::file_status status = entry.symlink_status();
    if (fs::is_symlink(status)) {
      entries[name] = "<link to " + fs::read_symlink(entry.path()).string() + ">";
    } else if (fs::is_regular_file(status)) {
      std::ifstream in(entry.path(), std::ios::binary);
      entries[name] = std::string{std::istreambuf_iterator<char>(in), {}};
    } else {
      entries[name] = fs::is_directory(status) ? "<dir>"
                      : fs::is_fifo(status)    ? "<fifo>"
                                               : "<other>";
    }
  }
  return entries;
}

}  // namespace tessarim::testing
