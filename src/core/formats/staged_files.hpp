#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "formats/file_replacement.hpp"

namespace tessarim {

// The files of one export, written whole or not at all: each goes to a temporary file beside its
// target, and commit renames them all into place. When a rename fails, the files already
// replaced get their previous contents back (and files that did not exist before go again); a
// set dropped before commit removes its temporaries. So a failed export leaves every file as it
// was.
class StagedFiles {
 public:
  StagedFiles() = default;
  // Files the program names itself, each held to where its name says (linkTargetOf).
  explicit StagedFiles(const RepositoryFolder& repository) : repository_(&repository) {}
  StagedFiles(const StagedFiles&) = delete;
  StagedFiles& operator=(const StagedFiles&) = delete;

  // Each returns false on failure, with the system's reason in error() and the failing file's
  // name (as given) in failedName().
  bool begin(const std::string& hostPath, std::string name);  // starts the next file
  bool append(std::string_view bytes);                        // to the file begun last
  bool finish();                                              // writes it out and closes it
  bool add(const std::string& hostPath, std::string name, std::string_view content) {
    return begin(hostPath, std::move(name)) && append(content) && finish();
  }
  bool commit();

  const std::string& error() const { return error_; }
  const std::string& failedName() const { return failedName_; }

 private:
  struct Entry {
    FileReplacement file;
    std::string name;
  };
  bool fail(int error, const std::string& name);

  const RepositoryFolder* repository_ = nullptr;
  std::vector<Entry> entries_;
  std::string error_;
  std::string failedName_;
};

}  // namespace tessarim
