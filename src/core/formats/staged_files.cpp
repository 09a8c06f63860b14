#include "formats/staged_files.hpp"

#include <cerrno>
#include <filesystem>
#include <set>
#include <system_error>

namespace tessarim {

bool StagedFiles::fail(int error, const std::string& name) {
  error_ = systemErrorText(error != 0 ? error : EIO);
  failedName_ = name;
  entries_.clear();  // each removes its temporary
  return false;
}

bool StagedFiles::begin(const std::string& hostPath, std::string name) {
  entries_.push_back(Entry{FileReplacement{hostPath, repository_}, std::move(name)});
  const Entry& entry = entries_.back();
  if (entry.file.error() != 0) return fail(entry.file.error(), entry.name);
  return true;
}

bool StagedFiles::append(std::string_view bytes) {
  if (entries_.empty()) return fail(EBADF, {});
  Entry& entry = entries_.back();
  return entry.file.write(bytes) || fail(entry.file.error(), entry.name);
}

bool StagedFiles::finish() {
  if (entries_.empty()) return fail(EBADF, {});
  Entry& entry = entries_.back();
  return entry.file.finish() || fail(entry.file.error(), entry.name);
}

bool StagedFiles::commit() {
  // A folder in a target's place is the refusal a rename most often meets beside a temporary
  // that was just written there: find it before the first file is replaced.
  for (const Entry& entry : entries_) {
    std::error_code ec;
    if (std::filesystem::is_directory(entry.file.target(), ec)) return fail(EISDIR, entry.name);
  }
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].file.commit(true)) continue;
    const int error = entries_[i].file.error();
    const std::string name = entries_[i].name;
    // Back to the previous set, newest first. A file that cannot be put back keeps its
    // previous contents beside it under a temporary name rather than losing them.
    for (std::size_t j = i; j-- > 0;) {
      if (!entries_[j].file.restore()) entries_[j].file.leavePrevious();
    }
    return fail(error, name);
  }
  std::set<std::string> folders;
  for (Entry& entry : entries_) {
    entry.file.release();
    const std::string folder = std::filesystem::path{entry.file.target()}.parent_path().string();
    if (folders.insert(folder).second) entry.file.syncFolder();
  }
  entries_.clear();
  return true;
}

}  // namespace tessarim
