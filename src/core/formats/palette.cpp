#include "formats/palette.hpp"

#include <cstdio>
#include <optional>
#include <vector>

#include "formats/file_io.hpp"
#include "formats/file_replacement.hpp"
#include "formats/text_writer.hpp"
#include "model/model.hpp"
#include "model/paths.hpp"
#include "model/session.hpp"
#include "platform/settings_store.hpp"
#include "platform/ui.hpp"

namespace tessarim {
namespace {

constexpr std::size_t paletteBytes = 4 * paletteColourCount;

// At most the first 64 bytes of the file; nothing when it cannot be opened (the reason in error).
std::optional<std::vector<unsigned char>> readPaletteBytes(const std::string& hostPath,
                                                           std::string& error) {
  int failure = 0;
  std::FILE* file = openRegularFile(hostPath, failure);
  if (!file) {
    error = systemErrorText(failure);
    return std::nullopt;
  }
  std::vector<unsigned char> bytes(paletteBytes);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  std::fclose(file);
  return bytes;
}

// "custom.pal" in the temporary and support folder, or in the repository folder without one.
std::string customPaletteStart(Session& session) {
  if (auto temp = session.store.readString(mainKey, "TempPath"); temp && !temp->empty()) {
    return toHostForm(*temp + "\\custom.pal");
  }
  return session.repository.host + "custom.pal";
}

}  // namespace

Palette greyRamp() {
  Palette colours{};
  for (std::uint32_t i = 0; i < paletteColourCount; ++i) {
    const std::uint32_t level = i * 255 / 16;  // i * 15.9375, truncated
    colours[i] = level << 16 | level << 8 | level;
  }
  return colours;
}

void readPalette(Session& session, std::string& path, Palette& colours, bool remember) {
  const RepositoryFolder& repository = session.repository;
  std::string error;
  std::optional<std::vector<unsigned char>> bytes;
  if (!path.empty()) {
    bytes = readPaletteBytes(resolvePath(repository, path), error);
    if (!bytes) {
      auto chosen = session.ui.openFile(FileFilter{"Palette (*.pal)", "*.PAL"},
                                        customPaletteStart(session), false);
      if (!chosen.empty()) {
        path = chosen.front();
        makeRelative(repository, path);
        if (remember) session.store.writeString(mainKey, "Custom Colors Path", path);
        bytes = readPaletteBytes(resolvePath(repository, path), error);
      }
    }
  }
  if (!bytes) {
    colours = greyRamp();
    if (!path.empty()) {
      session.ui.messageBox(
          formatText("%S error while opening the following file...\n\n%S", error, path), "Error!",
          MessageIcon::error, MessageButtons::ok);
    }
    return;
  }
  // A short file replaces only the bytes it holds; the rest of the colours keep their values.
  for (std::size_t b = 0; b < bytes->size(); ++b) {
    const auto shift = static_cast<unsigned>(8 * (b % 4));
    std::uint32_t& colour = colours[b / 4];
    colour = (colour & ~(0xFFu << shift)) | std::uint32_t{(*bytes)[b]} << shift;
  }
}

void writePalette(Session& session, std::string& path, const Palette& colours, bool remember) {
  const RepositoryFolder& repository = session.repository;
  std::string bytes(paletteBytes, '\0');
  for (std::size_t b = 0; b < paletteBytes; ++b)
    bytes[b] = static_cast<char>(colours[b / 4] >> (8 * (b % 4)) & 0xFF);
  // A scheme named by the document stays in the repository folder, as every name read from a
  // document; the user's own palette (and any file chosen below) may lie anywhere.
  bool documentName = !remember;
  const auto write = [&](std::string& error) {
    const std::string host = resolvePath(repository, path);
    if (documentName && !isInsideRepository(repository, host)) {
      error = systemErrorText(linkTargetOf(repository, host) == LinkTarget::outOfRepository
                                  ? linkOutOfRepositoryError
                                  : outsideRepositoryError);
      return false;
    }
    error = writeFileAtomically(host, bytes, &repository);
    return error.empty();
  };
  std::string error;
  if (!path.empty() && write(error)) {
    session.writes.written.push_back(path);
    return;
  }
  std::string start;
  if (remember) {
    start = customPaletteStart(session);
  } else {
    const std::string& document = session.model.document.documentPath;
    start = document.size() > 3
                ? resolvePath(repository, document.substr(0, document.size() - 3) + "pal")
                : repository.host;
  }
  if (auto chosen = session.ui.saveFile(FileFilter{"Palette (*.pal)", "*.PAL"}, start, "pal")) {
    path = *chosen;
    makeRelative(repository, path);
    if (remember) session.store.writeString(mainKey, "Custom Colors Path", path);
    documentName = false;
    if (write(error)) {
      session.writes.written.push_back(path);
      return;
    }
  }
  // Without a file named, nothing was to be written.
  if (path.empty()) return;
  session.writes.failed.push_back(path);
  session.ui.messageBox(
      formatText("%S error while saving the following file...\n\n%S", error, path), "Error!",
      MessageIcon::error, MessageButtons::ok);
}

}  // namespace tessarim
