#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessarim {

// Names inside documents keep the studio's form: repository-relative with backslash separators.
// Host paths are what the file system takes.

struct RepositoryFolder {
  std::string host;  // host path of the repository folder, ending in a separator
  std::string text;  // stored form without drive letter, ending in a backslash: "\Assets\"
};

RepositoryFolder makeRepositoryFolder(std::string_view hostPath);

// A name is absolute when it begins with a backslash or slash or its second character is a colon.
bool isAbsoluteName(std::string_view name);

std::string toStoredForm(std::string_view path);
std::string toHostForm(std::string_view name);

// Drops a drive letter, then removes the first occurrence of the repository folder text.
void makeRelative(const RepositoryFolder& repository, std::string& path);

// The host path of a document-relative name. When the exact path does not exist but one that
// differs only in letter case does (names written on a case-insensitive system), that one.
std::string resolvePath(const RepositoryFolder& repository, std::string_view name);

// Whether a name read from a document stays inside the repository folder once resolved: no
// ".." climbing out of it, no absolute name elsewhere, no link leading out of it. Names inside
// documents that do not are never followed, for reading or for writing.
bool staysInRepository(const RepositoryFolder& repository, std::string_view name);

// The host path of a name read from a document, or nothing when it leads out of the repository.
std::optional<std::string> repositoryFile(const RepositoryFolder& repository, std::string_view name);

}  // namespace tessarim
