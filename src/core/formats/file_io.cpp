#include "formats/file_io.hpp"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>
#include <algorithm>

namespace tessarim {
namespace {

std::string errorText(int error) { return std::generic_category().message(error); }

}  // namespace

namespace {

// Opens a plain file for binary reading; the reason in error otherwise.
std::FILE* openPlainFile(const std::string& hostPath, std::string* error) {
  std::error_code ec;
  if (std::filesystem::is_directory(hostPath, ec)) {
    if (error) *error = errorText(EISDIR);
    return nullptr;
  }
  // A device or pipe named in a document could be endless: only plain files are read.
  if (std::filesystem::exists(hostPath, ec) && !std::filesystem::is_regular_file(hostPath, ec)) {
    if (error) *error = errorText(EINVAL);
    return nullptr;
  }
  std::FILE* file = std::fopen(hostPath.c_str(), "rb");
  if (!file && error) *error = errorText(errno);
  return file;
}

}  // namespace

std::optional<std::string> readFileText(const std::string& hostPath, std::string* error) {
  auto window = FileWindow::open(hostPath, error);
  if (!window) return std::nullopt;
  std::string text{window->rest({})};
  if (window->failed()) {
    if (error) *error = errorText(EIO);
    return std::nullopt;
  }
  return text;
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
      size_(other.size_),
      consumed_(other.consumed_),
      buffer_(std::move(other.buffer_)),
      exhausted_(other.exhausted_),
      failed_(other.failed_) {}

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

void FileWindow::readUpTo(std::size_t size) {
  while (!exhausted_ && buffer_.size() < size) {
    const std::size_t before = buffer_.size();
    // No more room than the file can fill (and one byte to see its end): most files are small,
    // and zero-filling a whole window for each of them would cost more than reading them.
    std::size_t want = size - before;
    const std::uint64_t left = size_ > consumed_ ? size_ - consumed_ : 0;
    want = static_cast<std::size_t>(std::min<std::uint64_t>(want, left > 0 ? left + 1 : 65536));
    buffer_.resize(before + want);
    const std::size_t got = std::fread(buffer_.data() + before, 1, want, file_);
    buffer_.resize(before + got);
    consumed_ += got;
    if (got < want) {
      exhausted_ = true;
      failed_ = std::ferror(file_) != 0;
    }
  }
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

std::string_view FileWindow::rest(std::string_view unread) {
  keepOnly(unread);
  while (!exhausted_) readUpTo(buffer_.size() + windowSize);
  return buffer_;
}

std::optional<std::string> readTextFile(const std::string& hostPath, std::string* error) {
  auto text = readFileText(hostPath, error);
  if (!text || text->find('\r') == std::string::npos) return text;
  std::string& t = *text;
  std::size_t out = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') continue;
    t[out++] = t[i];
  }
  t.resize(out);
  return text;
}

std::optional<FileTime> fileModificationTime(const std::string& hostPath) {
  std::error_code ec;
  auto time = std::filesystem::last_write_time(hostPath, ec);
  if (ec) return std::nullopt;
  return static_cast<FileTime>(time.time_since_epoch().count());
}

}  // namespace tessarim
