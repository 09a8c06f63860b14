#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "model/records.hpp"

namespace tessarim {

// The whole file, or nothing when it cannot be opened or read (the system's reason in error).
std::optional<std::string> readFileText(const std::string& hostPath, std::string* error = nullptr);

// The whole file as a text-mode read gives it: every CR LF becomes LF. Nothing when the file
// cannot be opened or read.
std::optional<std::string> readTextFile(const std::string& hostPath, std::string* error = nullptr);

// A file read front to back a window at a time, so that a large file is never wholly in memory
// beside what is built from it. Plain files only.
class FileWindow {
 public:
  static constexpr std::size_t windowSize = 8 << 20;

  static std::optional<FileWindow> open(const std::string& hostPath, std::string* error = nullptr);
  FileWindow(FileWindow&& other) noexcept;
  FileWindow& operator=(FileWindow&&) = delete;
  ~FileWindow();

  // The first window of the file.
  std::string_view start();
  // unread, a tail of the current window, followed by as much more of the file as fits a window.
  std::string_view advance(std::string_view unread);
  // unread followed by everything left in the file.
  std::string_view rest(std::string_view unread);
  bool exhausted() const { return exhausted_; }
  // Bytes of the file not yet in the window.
  std::uint64_t unreadInFile() const { return size_ > consumed_ ? size_ - consumed_ : 0; }
  bool failed() const { return failed_; }

 private:
  explicit FileWindow(std::FILE* file) : file_(file) {}
  void keepOnly(std::string_view unread);
  void readUpTo(std::size_t size);

  std::FILE* file_;
  std::uint64_t size_ = 0;      // as found when opened
  std::uint64_t consumed_ = 0;  // bytes moved into the window so far
  std::string buffer_;
  bool exhausted_ = false;
  bool failed_ = false;
};

// Modification time, or nothing when the file does not exist.
std::optional<FileTime> fileModificationTime(const std::string& hostPath);

}  // namespace tessarim
