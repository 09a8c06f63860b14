#include "model/paths.hpp"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "model/text_compare.hpp"

#if defined(__unix__) || defined(__APPLE__)
#include <sys/stat.h>
#endif

namespace tessarim {
namespace {

constexpr char hostSeparator = std::filesystem::path::preferred_separator == '\\' ? '\\' : '/';
constexpr const char* hostSeparators = hostSeparator == '\\' ? "/\\" : "/";

}  // namespace

// Walks the path one component at a time, taking a case-insensitive match where the exact
// component is missing. Returns the path unchanged when some component has no match.
std::string matchLetterCase(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::exists(fs::path{path}, ec)) return path;
  fs::path input{path};
  fs::path found = input.root_path();
  for (const auto& part : input.relative_path()) {
    fs::path exact = found / part;
    if (fs::exists(exact, ec)) {
      found = exact;
      continue;
    }
    bool matched = false;
    for (fs::directory_iterator it{found.empty() ? fs::path{"."} : found, ec}, end;
         !ec && it != end; it.increment(ec)) {
      std::string name = it->path().filename().string();
      if (equalIgnoringCase(name, part.string())) {
        found /= name;
        matched = true;
        break;
      }
    }
    if (!matched) return path;
  }
  return found.string();
}

RepositoryFolder makeRepositoryFolder(std::string_view hostPath) {
  RepositoryFolder folder;
  folder.host = std::string{hostPath};
  if (folder.host.empty() || (folder.host.back() != '/' && folder.host.back() != '\\')) {
    folder.host += hostSeparator;
  }
  std::string text = toStoredForm(folder.host);
  if (text.size() >= 2 && text[1] == ':') text.erase(0, 2);
  folder.text = text;
  return folder;
}

bool isAbsoluteName(std::string_view name) {
  return (!name.empty() && (name[0] == '\\' || name[0] == '/')) ||
         (name.size() >= 2 && name[1] == ':');
}

std::string toStoredForm(std::string_view path) {
  std::string s{path};
  std::replace(s.begin(), s.end(), '/', '\\');
  return s;
}

std::string toHostForm(std::string_view name) {
  std::string s{name};
  if constexpr (hostSeparator == '/') std::replace(s.begin(), s.end(), '\\', '/');
  return s;
}

void makeRelative(const RepositoryFolder& repository, std::string& path) {
  path = toStoredForm(path);
  if (path.size() >= 2 && path[1] == ':') path.erase(0, 2);
  if (repository.text.empty()) return;
  // Only an absolute name inside the repository begins with its folder: the same text further
  // in is part of the name (a subfolder named like the repository) and stays.
  if (path.compare(0, repository.text.size(), repository.text) == 0)
    path.erase(0, repository.text.size());
}

std::string hostPathOf(const RepositoryFolder& repository, std::string_view name) {
  return isAbsoluteName(name) ? toHostForm(name) : repository.host + toHostForm(name);
}

std::string resolvePath(const RepositoryFolder& repository, std::string_view name) {
  return matchLetterCase(hostPathOf(repository, name));
}

namespace {

// Whether path lies inside folder, both taken as given (lexically) or both with every link
// resolved.
bool isInside(const std::filesystem::path& path, const std::filesystem::path& folder) {
  const std::filesystem::path relative = path.lexically_relative(folder);
  if (relative.empty() || relative == ".") return false;
  return *relative.begin() != "..";
}

}  // namespace

namespace {

// The components of a path below a folder, with "." and ".." taken out; nothing when ".." climbs
// above the folder. The views point into relative.
std::optional<std::vector<std::string_view>> componentsBelow(std::string_view relative) {
  std::vector<std::string_view> parts;
  while (!relative.empty()) {
    const std::size_t end = std::min(relative.find_first_of(hostSeparators), relative.size());
    const std::string_view part = relative.substr(0, end);
    relative.remove_prefix(std::min(end + 1, relative.size()));
    if (part.empty() || part == ".") continue;
    if (part != "..") {
      parts.push_back(part);
    } else if (parts.empty()) {
      return std::nullopt;
    } else {
      parts.pop_back();
    }
  }
  return parts;
}

bool isSymlink(const std::string& path, bool& exists) {
#if defined(__unix__) || defined(__APPLE__)
  struct stat status {};
  exists = ::lstat(path.c_str(), &status) == 0;
  return exists && S_ISLNK(status.st_mode);
#else
  std::error_code ec;
  const auto status = std::filesystem::symlink_status(path, ec);
  exists = !ec && std::filesystem::exists(status);
  return exists && std::filesystem::is_symlink(status);
#endif
}

}  // namespace

bool isInsideRepository(const RepositoryFolder& repository, const std::string& hostPath) {
  namespace fs = std::filesystem;
  // Most paths are the repository folder's own followed by a name: looked at as text.
  std::optional<std::vector<std::string_view>> parts;
  if (std::string_view{hostPath}.substr(0, repository.host.size()) == repository.host) {
    parts = componentsBelow(std::string_view{hostPath}.substr(repository.host.size()));
  } else {
    const fs::path folder = fs::path{repository.host}.lexically_normal();
    const fs::path path = fs::path{hostPath}.lexically_normal();
    if (!isInside(path, folder)) return false;
    return isInsideRepository(repository,
                              repository.host + path.lexically_relative(folder).string());
  }
  if (!parts || parts->empty()) return false;
  // Below the repository folder, only a link can lead out: look for one on the way down, as far
  // as the path exists. Most paths have none, and need no resolving.
  std::string walked = repository.host;
  bool linked = false;
  for (std::string_view part : *parts) {
    if (walked.back() != '/' && walked.back() != '\\') walked += hostSeparator;
    walked += part;
    bool exists = false;
    if (isSymlink(walked, exists)) {
      linked = true;
      break;
    }
    if (!exists) break;
  }
  if (!linked) return true;
  std::error_code ec, ec2;
  const fs::path realFolder = fs::weakly_canonical(fs::path{repository.host}, ec);
  const fs::path realPath = fs::weakly_canonical(fs::path{hostPath}, ec2);
  if (ec || ec2) return false;
  return isInside(realPath.lexically_normal(), realFolder.lexically_normal());
}

bool staysInRepository(const RepositoryFolder& repository, std::string_view name) {
  return !name.empty() && isInsideRepository(repository, hostPathOf(repository, name));
}

std::optional<std::string> repositoryFile(const RepositoryFolder& repository,
                                          std::string_view name) {
  if (name.empty()) return std::nullopt;
  std::string path = resolvePath(repository, name);
  if (!isInsideRepository(repository, path)) return std::nullopt;
  return path;
}

LinkTarget linkTargetOf(const RepositoryFolder& repository, const std::string& hostPath) {
  namespace fs = std::filesystem;
  const fs::path path = fs::path{hostPath}.lexically_normal();
  if (isInside(path, fs::path{repository.host}.lexically_normal())) {
    return isInsideRepository(repository, hostPath) ? LinkTarget::asNamed
                                                    : LinkTarget::outOfRepository;
  }
  std::error_code ec;
  const fs::path absolute = fs::absolute(path, ec);
  if (ec || !absolute.has_parent_path()) return LinkTarget::outOfFolder;
  const RepositoryFolder folder = makeRepositoryFolder(absolute.parent_path().string());
  return isInsideRepository(folder, absolute.string()) ? LinkTarget::asNamed
                                                       : LinkTarget::outOfFolder;
}

}  // namespace tessarim
