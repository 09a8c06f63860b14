#pragma once

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

// Modification time, or nothing when the file does not exist.
std::optional<FileTime> fileModificationTime(const std::string& hostPath);

// Writes the content to a temporary file in the target's folder and renames it over the target,
// so a failure at any point leaves the previous file intact. Returns the system's error text,
// empty on success.
std::string writeFileAtomically(const std::string& hostPath, std::string_view content);

}  // namespace tessarim
