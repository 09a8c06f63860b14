#include "export/staged_files.hpp"

#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

namespace tessarim {

StagedFiles::~StagedFiles() {
  if (!committed_) discard();
}

void StagedFiles::discard() {
  if (current_) {
    std::fclose(current_);
    current_ = nullptr;
  }
  std::error_code ignored;
  for (const Entry& entry : entries_) std::filesystem::remove(entry.temporary, ignored);
  entries_.clear();
}

bool StagedFiles::fail(int error, const Entry& entry) {
  error_ = std::generic_category().message(error != 0 ? error : EIO);
  failedName_ = entry.name;
  discard();
  return false;
}

bool StagedFiles::begin(const std::string& hostPath, std::string name) {
  static thread_local std::mt19937 engine{std::random_device{}()};
  Entry entry{hostPath, hostPath + ".tmp" + std::to_string(engine() % 1000000), std::move(name)};
  current_ = std::fopen(entry.temporary.c_str(), "wb");
  if (!current_) return fail(errno, entry);
  entries_.push_back(std::move(entry));
  return true;
}

bool StagedFiles::append(std::string_view bytes) {
  if (!current_) return fail(EBADF, entries_.empty() ? Entry{} : entries_.back());
  if (std::fwrite(bytes.data(), 1, bytes.size(), current_) != bytes.size()) {
    return fail(errno, entries_.back());
  }
  return true;
}

bool StagedFiles::finish() {
  if (!current_) return fail(EBADF, entries_.empty() ? Entry{} : entries_.back());
  int error = 0;
  if (std::fflush(current_) != 0) error = errno;
#if defined(__unix__) || defined(__APPLE__)
  // On disk before the rename, so that a crash cannot leave an empty file under the real name.
  if (error == 0 && ::fsync(::fileno(current_)) != 0) error = errno;
#endif
  if (std::fclose(current_) != 0 && error == 0) error = errno;
  current_ = nullptr;
  if (error != 0) return fail(error, entries_.back());
  return true;
}

bool StagedFiles::commit() {
  if (current_) return fail(EBADF, entries_.back());
  // A folder in a target's place is the one refusal a rename meets beside a temporary that was
  // just written there: find it before the first file is replaced.
  for (const Entry& entry : entries_) {
    std::error_code ec;
    if (std::filesystem::is_directory(entry.target, ec)) return fail(EISDIR, entry);
  }
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    std::error_code ec;
    std::filesystem::rename(entries_[i].temporary, entries_[i].target, ec);
    if (ec) {
      // The files renamed so far are complete; the rest keep their previous contents.
      Entry failed = entries_[i];
      entries_.erase(entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(i));
      return fail(ec.value(), failed);
    }
  }
  entries_.clear();
  committed_ = true;
  return true;
}

}  // namespace tessarim
