#include "formats/file_replacement.hpp"

#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#define TESSARIM_POSIX 1
#endif

namespace tessarim {
namespace fs = std::filesystem;

namespace {

std::string temporaryName(const std::string& target) {
  static thread_local std::mt19937 engine{std::random_device{}()};
  return target + ".tmp" + std::to_string(engine() % 1000000);
}

// Removes what an interrupted save of target left beside it.
void removeLeftoverTemporaries(const std::string& target, const std::string& keep) {
  const fs::path path{target};
  const std::string name = path.filename().string();
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path{"."};
  std::error_code ec;
  for (fs::directory_iterator it{folder, ec}, end; !ec && it != end; it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    std::error_code ignored;
    if (isTemporaryOf(entry, name) && it->path().string() != keep && it->is_regular_file(ignored)) {
      fs::remove(it->path(), ignored);
    }
  }
}

}  // namespace

std::string systemErrorText(int error) {
  switch (error) {
    case notRegularFileError:
      return "Not a regular file";
    case linkOutOfRepositoryError:
      return "Link leading out of the repository folder";
    case linkOutOfFolderError:
      return "Link leading out of the file's folder";
    case outsideRepositoryError:
      return "Outside the repository folder";
    default:
      break;
  }
  return std::generic_category().message(error);
}

int linkError(const RepositoryFolder& repository, const std::string& hostPath) {
  switch (linkTargetOf(repository, hostPath)) {
    case LinkTarget::outOfRepository:
      return linkOutOfRepositoryError;
    case LinkTarget::outOfFolder:
      return linkOutOfFolderError;
    default:
      return 0;
  }
}

bool isTemporaryOf(std::string_view fileName, std::string_view targetName) {
  constexpr std::string_view marker = ".tmp";
  if (fileName.size() <= targetName.size() + marker.size() ||
      fileName.substr(0, targetName.size()) != targetName ||
      fileName.substr(targetName.size(), marker.size()) != marker) {
    return false;
  }
  const std::string_view digits = fileName.substr(targetName.size() + marker.size());
  if (digits.size() > 6) return false;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

FileReplacement::FileReplacement(std::string target, const RepositoryFolder* repository)
    : target_(std::move(target)) {
  if (const int error = repository ? linkError(*repository, target_) : 0) {
    fail(error);
    return;
  }
  std::error_code ec;
  // Saving through a link updates the file it links to rather than replacing the link.
  if (fs::is_symlink(target_, ec)) {
    fs::path linked = fs::canonical(target_, ec);
    if (!ec) target_ = linked.string();
  }
#ifdef TESSARIM_POSIX
  struct stat existing {};
  if (::stat(target_.c_str(), &existing) == 0) {
    if (S_ISDIR(existing.st_mode)) {
      fail(EISDIR);
      return;
    }
    if (!S_ISREG(existing.st_mode)) {
      fail(notRegularFileError);
      return;
    }
    // The folder may allow a rename over the file, but the file itself says it is not to be
    // changed. A privileged user passes access(), so the bits are looked at as well.
    if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
        ::access(target_.c_str(), W_OK) != 0) {
      fail(EACCES);
      return;
    }
    hadTarget_ = true;
    mode_ = existing.st_mode & 07777;
    owner_ = existing.st_uid;
    group_ = existing.st_gid;
  }
#else
  hadTarget_ = fs::exists(target_, ec);
  if (hadTarget_ && !fs::is_regular_file(target_, ec)) {
    fail(fs::is_directory(target_, ec) ? EISDIR : notRegularFileError);
    return;
  }
#endif
  for (int attempt = 0; attempt < 8 && !file_; ++attempt) {
    temporary_ = temporaryName(target_);
    file_ = std::fopen(temporary_.c_str(), "wbx");  // never an existing file
    if (!file_ && errno != EEXIST) break;
  }
  if (!file_) {
    const int error = errno;
    temporary_.clear();
    fail(error);
  }
}

FileReplacement::FileReplacement(FileReplacement&& other) noexcept
    : target_(std::move(other.target_)),
      temporary_(std::exchange(other.temporary_, {})),
      previous_(std::exchange(other.previous_, {})),
      file_(std::exchange(other.file_, nullptr)),
      hadTarget_(other.hadTarget_),
      committed_(other.committed_),
      mode_(other.mode_),
      owner_(other.owner_),
      group_(other.group_),
      error_(other.error_) {}

FileReplacement::~FileReplacement() {
  if (file_) std::fclose(file_);
  std::error_code ignored;
  if (!committed_ && !temporary_.empty()) fs::remove(temporary_, ignored);
  release();
}

bool FileReplacement::fail(int error) {
  if (error_ == 0) error_ = error != 0 ? error : EIO;
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
  return false;
}

bool FileReplacement::write(std::string_view bytes) {
  if (error_ != 0) return false;
  if (!file_) return fail(EBADF);
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) return fail(errno);
  return true;
}

bool FileReplacement::finish() {
  if (error_ != 0) return false;
  if (!file_) return fail(EBADF);
  if (std::fflush(file_) != 0) return fail(errno);
#ifdef TESSARIM_POSIX
  const int fd = ::fileno(file_);
  if (hadTarget_) {
    // The owner first: changing it may clear bits that the mode then sets again. Only a
    // privileged user can give a file away; anyone else keeps the new file as their own.
    if (owner_ != ::geteuid() || group_ != ::getegid()) {
      [[maybe_unused]] int ignored = ::fchown(fd, owner_, group_);
    }
    if (::fchmod(fd, static_cast<mode_t>(mode_)) != 0) return fail(errno);
  }
  // On disk before the rename, so that a crash cannot leave an empty file under the real name.
  if (::fsync(fd) != 0) return fail(errno);
#endif
  const int closed = std::fclose(file_);
  file_ = nullptr;
  if (closed != 0) return fail(errno);
  return true;
}

bool FileReplacement::commit(bool keepPrevious) {
  if (error_ != 0) return false;
  if (file_ || temporary_.empty()) return fail(EBADF);
  std::error_code ec;
  if (keepPrevious && hadTarget_) {
    // A second name for the file being replaced: the rename then swaps the target in one step,
    // and the old contents stay reachable until released.
    std::string name = temporaryName(target_);
    fs::create_hard_link(target_, name, ec);
    if (ec) return fail(ec.value());
    previous_ = std::move(name);
  }
  fs::rename(temporary_, target_, ec);
  if (ec) {
    std::error_code ignored;
    if (!previous_.empty()) fs::remove(std::exchange(previous_, {}), ignored);
    return fail(ec.value());
  }
  committed_ = true;
  temporary_.clear();
  removeLeftoverTemporaries(target_, previous_);
  return true;
}

bool FileReplacement::restore() {
  if (!committed_) return true;
  std::error_code ec;
  if (!previous_.empty()) {
    fs::rename(previous_, target_, ec);
    if (ec) return false;  // the previous version stays under its temporary name
    previous_.clear();
  } else if (!hadTarget_) {
    fs::remove(target_, ec);
    if (ec) return false;
  } else {
    return false;  // committed without keeping the previous version
  }
  committed_ = false;
  return true;
}

void FileReplacement::release() {
  std::error_code ignored;
  if (!previous_.empty()) fs::remove(std::exchange(previous_, {}), ignored);
}

void FileReplacement::syncFolder() const {
#ifdef TESSARIM_POSIX
  const fs::path path{target_};
  const std::string folder =
      path.has_parent_path() ? path.parent_path().string() : std::string{"."};
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
#endif
}

std::string writeFileAtomically(const std::string& hostPath, std::string_view content,
                                const RepositoryFolder* repository) {
  FileReplacement file{hostPath, repository};
  if (file.write(content) && file.finish() && file.commit()) {
    file.syncFolder();
    return {};
  }
  return systemErrorText(file.error());
}

}  // namespace tessarim
