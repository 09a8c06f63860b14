#include "app/paths.hpp"
#include "model/text_compare.hpp"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace tessarim {
namespace {

constexpr char hostSeparator = std::filesystem::path::preferred_separator == '\\' ? '\\' : '/';

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
    for (fs::directory_iterator it{found.empty() ? fs::path{"."} : found, ec}, end; !ec && it != end;
         it.increment(ec)) {
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

}  // namespace

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
  if (auto at = path.find(repository.text); at != std::string::npos) {
    path.erase(at, repository.text.size());
  }
}

std::string resolvePath(const RepositoryFolder& repository, std::string_view name) {
  std::string full = isAbsoluteName(name) ? toHostForm(name) : repository.host + toHostForm(name);
  return matchLetterCase(full);
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

bool staysInRepository(const RepositoryFolder& repository, std::string_view name) {
  namespace fs = std::filesystem;
  if (name.empty()) return false;
  const fs::path folder = fs::path{repository.host}.lexically_normal();
  const fs::path path = fs::path{resolvePath(repository, name)}.lexically_normal();
  if (!isInside(path, folder)) return false;
  std::error_code ec, ec2;
  const fs::path realFolder = fs::weakly_canonical(folder, ec);
  const fs::path realPath = fs::weakly_canonical(path, ec2);
  if (ec || ec2) return false;
  return isInside(realPath, realFolder);
}

std::optional<std::string> repositoryFile(const RepositoryFolder& repository, std::string_view name) {
  if (!staysInRepository(repository, name)) return std::nullopt;
  return resolvePath(repository, name);
}

}  // namespace tessarim
