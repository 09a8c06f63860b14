#include "formats/file_io.hpp"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

namespace tessarim {
namespace {

std::string errorText(int error) { return std::generic_category().message(error); }

}  // namespace

std::optional<std::string> readFileText(const std::string& hostPath, std::string* error) {
  std::error_code ec;
  if (std::filesystem::is_directory(hostPath, ec)) {
    if (error) *error = errorText(EISDIR);
    return std::nullopt;
  }
  // A device or pipe named in a document could be endless: only plain files are read.
  if (std::filesystem::exists(hostPath, ec) && !std::filesystem::is_regular_file(hostPath, ec)) {
    if (error) *error = errorText(EINVAL);
    return std::nullopt;
  }
  std::FILE* file = std::fopen(hostPath.c_str(), "rb");
  if (!file) {
    if (error) *error = errorText(errno);
    return std::nullopt;
  }
  std::string text;
  if (std::fseek(file, 0, SEEK_END) == 0) {
    long size = std::ftell(file);
    if (size > 0) text.reserve(static_cast<std::size_t>(size));
    std::rewind(file);
  }
  char buffer[1 << 16];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    if (error) *error = errorText(EIO);
    return std::nullopt;
  }
  return text;
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

std::string writeFileAtomically(const std::string& hostPath, std::string_view content) {
  namespace fs = std::filesystem;
  static thread_local std::mt19937 engine{std::random_device{}()};
  fs::path target{hostPath};
  std::string temporary = hostPath + ".tmp" + std::to_string(engine() % 1000000);
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return errorText(errno);
  bool ok = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  int error = ok ? 0 : errno;
  if (ok && std::fflush(file) != 0) {
    ok = false;
    error = errno;
  }
#if defined(__unix__) || defined(__APPLE__)
  if (ok && ::fsync(::fileno(file)) != 0) {
    ok = false;
    error = errno;
  }
#endif
  if (std::fclose(file) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok) {
    std::error_code ec;
    fs::rename(temporary, target, ec);
    if (!ec) return {};
    error = ec.value();
  }
  std::error_code ignored;
  fs::remove(temporary, ignored);
  return errorText(error != 0 ? error : EIO);
}

}  // namespace tessarim
