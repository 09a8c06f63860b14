#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace tessarim {

// The files of one export, written whole or not at all: each goes to a temporary file beside its
// target, commit renames them all into place, and a set dropped before commit removes its
// temporaries, so a failed export leaves every earlier file as it was and no truncated one.
class StagedFiles {
 public:
  StagedFiles() = default;
  StagedFiles(const StagedFiles&) = delete;
  StagedFiles& operator=(const StagedFiles&) = delete;
  ~StagedFiles();

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
    std::string target;
    std::string temporary;
    std::string name;
  };
  bool fail(int error, const Entry& entry);
  void discard();

  std::vector<Entry> entries_;
  std::FILE* current_ = nullptr;
  bool committed_ = false;
  std::string error_;
  std::string failedName_;
};

}  // namespace tessarim
