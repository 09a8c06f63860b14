#include "formats/file_io.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "formats/file_replacement.hpp"
#include "formats/text_writer.hpp"
#include "model/paths.hpp"
#include "platform/ui.hpp"

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#define TESSARIM_POSIX 1
#endif

namespace tessarim {
namespace {

std::string errorText(int error) {
  return std::generic_category().message(error);
}

// Opens a plain file for binary reading; the reason in error otherwise.
std::FILE* openPlainFile(const std::string& hostPath, std::string* error) {
  int failure = 0;
  std::FILE* file = openRegularFile(hostPath, failure);
  // A device or pipe named in a document could be endless: only plain files are read.
  if (!file && error) *error = errorText(failure == notRegularFileError ? EINVAL : failure);
  return file;
}

}  // namespace

std::FILE* openRegularFile(const std::string& hostPath, int& error, std::uint64_t* size) {
#ifdef TESSARIM_POSIX
  // Looked at before opening, since opening a device may act on it, and again once open, since
  // the name may have been given to a pipe meanwhile: the open itself never waits for a writer.
  struct stat status {};
  if (::stat(hostPath.c_str(), &status) != 0) {
    error = errno;
    return nullptr;
  }
  const auto refuse = [&](const struct stat& s) {
    error = S_ISDIR(s.st_mode) ? EISDIR : notRegularFileError;
    return !S_ISREG(s.st_mode);
  };
  if (refuse(status)) return nullptr;
  const int fd = ::open(hostPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  if (::fstat(fd, &status) != 0) status.st_mode = 0;  // refused below as not regular
  if (refuse(status)) {
    ::close(fd);
    return nullptr;
  }
  if (const int flags = ::fcntl(fd, F_GETFL); flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  std::FILE* file = ::fdopen(fd, "rb");
  if (!file) {
    error = errno;
    ::close(fd);
    return nullptr;
  }
  if (size) *size = static_cast<std::uint64_t>(status.st_size);
  error = 0;
  return file;
#else
  std::error_code ec;
  const auto status = std::filesystem::status(hostPath, ec);
  if (ec) {
    error = ec.value();
    return nullptr;
  }
  if (!std::filesystem::is_regular_file(status)) {
    error = std::filesystem::is_directory(status) ? EISDIR : notRegularFileError;
    return nullptr;
  }
  std::FILE* file = std::fopen(hostPath.c_str(), "rb");
  if (!file) {
    error = errno;
    return nullptr;
  }
  if (size) *size = std::filesystem::file_size(hostPath, ec);
  error = 0;
  return file;
#endif
}

std::optional<std::string> readFileText(const std::string& hostPath, std::string* error) {
  std::FILE* file = openPlainFile(hostPath, error);
  if (!file) return std::nullopt;
  std::string bytes;
  char chunk[65536];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    if (error) *error = errorText(EIO);
    return std::nullopt;
  }
  return bytes;
}

std::optional<FileWindow> FileWindow::open(const std::string& hostPath, std::string* error) {
  std::FILE* file = openPlainFile(hostPath, error);
  if (!file) return std::nullopt;
  FileWindow window{file};
  std::error_code ec;
  window.size_ = std::filesystem::file_size(hostPath, ec);
  return window;
}

FileWindow::FileWindow(FileWindow&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)),
      memory_(other.memory_),
      size_(other.size_),
      consumed_(other.consumed_),
      buffer_(std::move(other.buffer_)),
      exhausted_(other.exhausted_),
      failed_(other.failed_),
      heldCarriageReturn_(other.heldCarriageReturn_),
      line_(other.line_),
      lineLength_(other.lineLength_),
      zeroRun_(other.zeroRun_),
      rejection_(std::move(other.rejection_)) {}

FileWindow::~FileWindow() {
  if (file_) std::fclose(file_);
}

void FileWindow::keepOnly(std::string_view unread) {
  if (unread.empty()) {
    buffer_.clear();
    return;
  }
  const auto offset = static_cast<std::size_t>(unread.data() - buffer_.data());
  buffer_.erase(0, offset);
  buffer_.resize(unread.size());
}

std::size_t FileWindow::readRaw(char* to, std::size_t most) {
  if (!file_) {
    const std::size_t got = static_cast<std::size_t>(std::min<std::uint64_t>(most, unreadInFile()));
    std::memcpy(to, memory_.data() + consumed_, got);
    return got;
  }
  return std::fread(to, 1, most, file_);
}

void FileWindow::readUpTo(std::size_t size) {
  while (!exhausted_ && buffer_.size() < size) {
    const std::size_t before = buffer_.size();
    if (heldCarriageReturn_) buffer_.push_back('\r');
    const std::size_t start = buffer_.size();
    // No more room than the file can fill (and one byte to see its end): most files are small,
    // and zero-filling a whole window for each of them would cost more than reading them.
    std::size_t want = size > start ? size - start : 1;
    const std::uint64_t left = unreadInFile();
    // A text in memory ends where it ends; a file may have grown since its size was taken.
    want = static_cast<std::size_t>(
        std::min<std::uint64_t>(want, left > 0 ? left + 1 : (file_ ? 4096 : 0)));
    buffer_.resize(start + want);
    const std::size_t got = readRaw(buffer_.data() + start, want);
    buffer_.resize(start + got);
    consumed_ += got;
    if (got < want || (!file_ && unreadInFile() == 0)) {
      exhausted_ = true;
      failed_ = file_ && std::ferror(file_) != 0;
    }
    heldCarriageReturn_ = false;
    takeIn(before);
  }
}

void FileWindow::takeIn(std::size_t from) {
  std::size_t in = from, out = from;
  // Text without zero bytes goes a line at a time; the byte-wise pass takes the rest, and a line
  // that grows too long, to find where.
  if (!std::memchr(buffer_.data() + from, '\0', buffer_.size() - from) && takeInLines(in, out))
    return;
  takeInBytes(in, out);
}

bool FileWindow::takeInLines(std::size_t& in, std::size_t& out) {
  char* data = buffer_.data();
  const std::size_t end = buffer_.size();
  while (in < end) {
    const char* carriageReturn = static_cast<const char*>(std::memchr(data + in, '\r', end - in));
    const std::size_t stop = carriageReturn ? static_cast<std::size_t>(carriageReturn - data) : end;
    while (in < stop) {
      const char* lineFeed = static_cast<const char*>(std::memchr(data + in, '\n', stop - in));
      const std::size_t next = lineFeed ? static_cast<std::size_t>(lineFeed - data) + 1 : stop;
      const std::size_t length = (lineFeed ? next - 1 : next) - in;
      if (lineLength_ + length > longestLine) return false;
      if (out != in) std::memmove(data + out, data + in, next - in);
      out += next - in;
      in = next;
      if (lineFeed) {
        ++line_;
        lineLength_ = 0;
      } else {
        lineLength_ += length;
      }
    }
    if (!carriageReturn) break;
    if (stop + 1 == end && !exhausted_) {
      heldCarriageReturn_ = true;  // decided with the next read
      in = end;
      break;
    }
    if (stop + 1 < end && data[stop + 1] == '\n') {
      in = stop + 1;  // CR LF: the LF ends the line
      continue;
    }
    if (lineLength_ + 1 > longestLine) return false;
    data[out++] = '\r';  // a CR alone is part of the line
    ++lineLength_;
    in = stop + 1;
  }
  buffer_.resize(out);
  return true;
}

void FileWindow::takeInBytes(std::size_t in, std::size_t out) {
  const std::size_t end = buffer_.size();
  for (std::size_t i = in; i < end; ++i) {
    const char c = buffer_[i];
    if (c == '\r' && i + 1 == end && !exhausted_) {
      heldCarriageReturn_ = true;  // decided with the next read
      break;
    }
    if (c == '\r' && i + 1 < end && buffer_[i + 1] == '\n') continue;
    if (c == '\n') {
      ++line_;
      lineLength_ = 0;
    } else if (++lineLength_ > longestLine) {
      rejection_ = formatText("a line longer than %u characters (line %u)", longestLine, line_);
    }
    zeroRun_ = c == '\0' ? zeroRun_ + 1 : 0;
    if (zeroRun_ >= longestZeroRun) {
      rejection_ = formatText("a run of %u zero bytes on line %u", longestZeroRun, line_);
    }
    if (!rejection_.empty()) {
      // Nothing more is read: the file is refused whatever follows.
      exhausted_ = true;
      heldCarriageReturn_ = false;
      break;
    }
    buffer_[out++] = c;
  }
  buffer_.resize(out);
}

std::string_view FileWindow::start() {
  readUpTo(windowSize);
  return buffer_;
}

std::string_view FileWindow::advance(std::string_view unread) {
  keepOnly(unread);
  readUpTo(std::max(windowSize, buffer_.size() + windowSize / 2));
  return buffer_;
}

namespace {

class SystemFiles : public FileSource {
 public:
  std::string locate(const std::string& hostPath) override { return matchLetterCase(hostPath); }
  std::optional<FileWindow> open(const std::string& hostPath, std::string* error) override {
    return FileWindow::open(hostPath, error);
  }
  std::optional<FileTime> modificationTime(const std::string& hostPath) override {
    return fileModificationTime(hostPath);
  }
};

}  // namespace

FileSource& systemFiles() {
  static SystemFiles files;
  return files;
}

void MemoryFiles::put(const std::string& hostPath, std::string bytes) {
  files_.insert_or_assign(hostPath, File{std::move(bytes), ++clock_});
}

std::optional<FileWindow> MemoryFiles::open(const std::string& hostPath, std::string* error) {
  auto it = files_.find(hostPath);
  if (it == files_.end()) {
    if (error) *error = errorText(ENOENT);
    return std::nullopt;
  }
  return std::optional<FileWindow>{std::in_place, it->second.bytes};
}

std::optional<FileTime> MemoryFiles::modificationTime(const std::string& hostPath) {
  auto it = files_.find(hostPath);
  if (it == files_.end()) return std::nullopt;
  return it->second.time;
}

void reportRejectedText(Ui& ui, const FileWindow& window, std::string_view path) {
  ui.messageBox(
      formatText("This file cannot be read: it holds %S, which no file of this kind holds...\n\n%S",
                 window.rejection(), path),
      "Incompatible file!", MessageIcon::warning, MessageButtons::ok);
}

void reportEndedEarly(Ui& ui, std::string_view path, std::string_view detail) {
  ui.messageBox(formatText("This file %S...\n\n%S\n\nOnly what it holds was read.", detail, path),
                "File cut short!", MessageIcon::warning, MessageButtons::ok);
}

void reportOutOfMemory(Ui& ui, std::string_view path) {
  ui.messageBox(formatText("There is not enough memory to open the following file...\n\n%S", path),
                "File not loaded!", MessageIcon::error, MessageButtons::ok);
}

std::optional<FileTime> fileModificationTime(const std::string& hostPath) {
  std::error_code ec;
  auto time = std::filesystem::last_write_time(hostPath, ec);
  if (ec) return std::nullopt;
  return static_cast<FileTime>(time.time_since_epoch().count());
}

}  // namespace tessarim
