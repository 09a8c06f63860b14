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

// Drops a drive letter, then the repository folder text when the name begins with it.
void makeRelative(const RepositoryFolder& repository, std::string& path);

// The host path of a document-relative name. When the exact path does not exist but one that
// differs only in letter case does (names written on a case-insensitive system), that one.
std::string resolvePath(const RepositoryFolder& repository, std::string_view name);
// resolvePath's two steps: the host path as the name gives it, and the letter-case match.
std::string hostPathOf(const RepositoryFolder& repository, std::string_view name);
std::string matchLetterCase(const std::string& path);

// Whether a host path lies inside the repository folder, as written and with every link on the
// way resolved: no ".." climbing out of it, no absolute path elsewhere, no link leading out.
bool isInsideRepository(const RepositoryFolder& repository, const std::string& hostPath);

// Whether a name read from a document stays inside the repository folder. Names inside
// documents that do not are never followed, for reading or for writing.
bool staysInRepository(const RepositoryFolder& repository, std::string_view name);

// The host path of a name read from a document (resolvePath's), or nothing when it leads out of
// the repository.
std::optional<std::string> repositoryFile(const RepositoryFolder& repository,
                                          std::string_view name);

// Where a file the program writes on its own (a catalogue, the runtime set's side files, a
// palette) goes, links resolved. Its name says where: below the repository folder no link on the
// way may lead out of it; elsewhere (beside a document the user opened from outside, or where
// their settings put a file) the file may not be a link leading out of its own folder.
enum class LinkTarget { asNamed, outOfRepository, outOfFolder };
LinkTarget linkTargetOf(const RepositoryFolder& repository, const std::string& hostPath);

}  // namespace tessarim
