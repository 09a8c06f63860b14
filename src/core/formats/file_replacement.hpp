#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "model/paths.hpp"

namespace tessarim {

// A new version of one file: written under a temporary name beside the target and renamed over
// it, so that a failure at any point leaves the previous file intact.
//
// - A target this user may not write (read-only, or another owner's) is refused, even where the
//   folder would let a rename replace it; so is one that is not a regular file (a folder, a
//   pipe, a device node), which a rename would replace by a file.
// - Given the repository folder, the target is a file the program names itself, and one that a
//   link would take somewhere its name does not say (linkTargetOf) is refused.
// - The new file takes over the permission bits of the one it replaces (and its owner where the
//   system allows).
// - The rename is followed by a sync of the folder, so the new name survives a crash, and by the
//   removal of temporaries an interrupted save of the same target left behind.
class FileReplacement {
 public:
  explicit FileReplacement(std::string target, const RepositoryFolder* repository = nullptr);
  FileReplacement(FileReplacement&& other) noexcept;
  FileReplacement& operator=(FileReplacement&&) = delete;
  ~FileReplacement();  // an uncommitted temporary and a kept previous version are removed

  // Each returns false once anything failed; error() then tells the errno value.
  bool write(std::string_view bytes);
  bool finish();  // flushed to disk and closed
  // Renames the finished file over the target. keepPrevious holds on to the file it replaces
  // until release(), so that restore() can put it back.
  bool commit(bool keepPrevious = false);
  bool restore();                              // undoes a commit made with keepPrevious
  void release();                              // lets go of the kept previous version
  void leavePrevious() { previous_.clear(); }  // the kept previous version stays on disk
  void syncFolder() const;

  int error() const { return error_; }
  const std::string& target() const { return target_; }

 private:
  bool fail(int error);

  std::string target_;
  std::string temporary_;
  std::string previous_;  // a hard link to the replaced file while it is kept
  std::FILE* file_ = nullptr;
  bool hadTarget_ = false;
  bool committed_ = false;
  std::uint32_t mode_ = 0;  // permission bits of the replaced file
  std::uint32_t owner_ = 0, group_ = 0;
  int error_ = 0;
};

// Errors of a target that is no place to write, beside the errno values.
inline constexpr int notRegularFileError = -1;  // it exists but is not a regular file
inline constexpr int linkOutOfRepositoryError = -2;
inline constexpr int linkOutOfFolderError = -3;
inline constexpr int outsideRepositoryError = -4;  // a name read from a document leads out

// The error of a file the program names itself that a link would take somewhere its name does
// not say (linkTargetOf); 0 when it goes where named.
int linkError(const RepositoryFolder& repository, const std::string& hostPath);

// The system's text for an errno value, or ours for the errors above.
std::string systemErrorText(int error);

// Replaces the file with content. Returns the system's error text, empty on success. repository
// as for FileReplacement.
std::string writeFileAtomically(const std::string& hostPath, std::string_view content,
                                const RepositoryFolder* repository = nullptr);

// The temporaries a save of target leaves beside it while it runs: "<name>.tmp<digits>".
bool isTemporaryOf(std::string_view fileName, std::string_view targetName);

}  // namespace tessarim
