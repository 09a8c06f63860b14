#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "model/records.hpp"

namespace tessarim {

class Ui;

// A regular file opened for binary reading, and its size; nothing, with the errno value (or
// notRegularFileError) in error, when it cannot be opened or is not a regular file. Never waits:
// a pipe, device node or socket in the file's place is refused before it could block.
std::FILE* openRegularFile(const std::string& hostPath, int& error, std::uint64_t* size = nullptr);

// The whole file, or nothing when it cannot be opened or read (the system's reason in error).
// For binary files (images); the studio's text formats are read through a FileWindow.
std::optional<std::string> readFileText(const std::string& hostPath, std::string* error = nullptr);

// A text read front to back a window at a time, so that a large file is never wholly in memory
// beside what is built from it. Lines end as a text-mode read gives them: CR LF becomes LF.
//
// Text that cannot belong to any of the studio's formats stops the reading where it is found,
// so that a hostile file neither costs memory nor passes for a short one: a long run of zero
// bytes, or a line far longer than any the formats write. rejection() then says what was found.
class FileWindow {
 public:
  static constexpr std::size_t windowSize = 8 << 20;
  static constexpr std::size_t longestLine = 64 << 10;  // the writers' longest is under 2 KiB
  static constexpr std::size_t longestZeroRun = 256;

  // Plain files only: a folder, device or pipe named in a document is refused.
  static std::optional<FileWindow> open(const std::string& hostPath, std::string* error = nullptr);
  // A text already in memory, read the same way.
  explicit FileWindow(std::string_view text) : memory_(text), size_(text.size()) {}
  FileWindow(FileWindow&& other) noexcept;
  FileWindow& operator=(FileWindow&&) = delete;
  ~FileWindow();

  // The first window of the text.
  std::string_view start();
  // unread, a tail of the current window, followed by as much more as fits a window.
  std::string_view advance(std::string_view unread);
  bool exhausted() const { return exhausted_; }
  // Bytes of the file not yet in the window.
  std::uint64_t unreadInFile() const { return size_ > consumed_ ? size_ - consumed_ : 0; }
  bool failed() const { return failed_; }
  // Why the text cannot be a studio file; empty when nothing was found.
  const std::string& rejection() const { return rejection_; }

 private:
  explicit FileWindow(std::FILE* file) : file_(file) {}
  void keepOnly(std::string_view unread);
  void readUpTo(std::size_t size);
  std::size_t readRaw(char* to, std::size_t most);
  // Text mode and the checks, over the bytes from `from` to the end of the buffer.
  void takeIn(std::size_t from);
  bool takeInLines(std::size_t& in, std::size_t& out);
  void takeInBytes(std::size_t in, std::size_t out);

  std::FILE* file_ = nullptr;
  std::string_view memory_;     // the text when there is no file
  std::uint64_t size_ = 0;      // as found when opened
  std::uint64_t consumed_ = 0;  // bytes of the file moved into the window so far
  std::string buffer_;
  bool exhausted_ = false;
  bool failed_ = false;
  bool heldCarriageReturn_ = false;  // a CR ended the last read: its LF may come next
  std::uint64_t line_ = 1;
  std::size_t lineLength_ = 0;
  std::size_t zeroRun_ = 0;
  std::string rejection_;
};

// Where readers find the files a document names: the file system, or texts held in memory.
class FileSource {
 public:
  virtual ~FileSource() = default;
  // The host path of a file as the source holds it: on the file system, the one whose name
  // differs only in letter case when the exact one does not exist.
  virtual std::string locate(const std::string& hostPath) = 0;
  virtual std::optional<FileWindow> open(const std::string& hostPath,
                                         std::string* error = nullptr) = 0;
  virtual std::optional<FileTime> modificationTime(const std::string& hostPath) = 0;
};

// The file system.
FileSource& systemFiles();

// Texts in memory under host paths, each with the time it was put there: fuzzing and tests.
class MemoryFiles : public FileSource {
 public:
  void put(const std::string& hostPath, std::string bytes);
  void remove(const std::string& hostPath) { files_.erase(hostPath); }
  // The bytes put under hostPath; empty when there are none.
  std::string_view text(const std::string& hostPath) const {
    auto it = files_.find(hostPath);
    return it == files_.end() ? std::string_view{} : std::string_view{it->second.bytes};
  }
  std::string locate(const std::string& hostPath) override { return hostPath; }
  std::optional<FileWindow> open(const std::string& hostPath,
                                 std::string* error = nullptr) override;
  std::optional<FileTime> modificationTime(const std::string& hostPath) override;

 private:
  struct File {
    std::string bytes;
    FileTime time;
  };
  std::map<std::string, File, std::less<>> files_;
  FileTime clock_ = 0;
};

// Shows why a text file was refused (rejection() of its window): a message box naming the file.
void reportRejectedText(Ui& ui, const FileWindow& window, std::string_view path);

// Shows that a file ended before what its counts promise, or inside a field; detail says what
// is missing ("ends early: 3 of 6 polygons").
void reportEndedEarly(Ui& ui, std::string_view path, std::string_view detail);

// Shows that a file could not be opened for want of memory.
void reportOutOfMemory(Ui& ui, std::string_view path);

// Modification time, or nothing when the file does not exist.
std::optional<FileTime> fileModificationTime(const std::string& hostPath);

}  // namespace tessarim
