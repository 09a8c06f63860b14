#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "model/records.hpp"
#include "support/polygons.hpp"

namespace tessarim::testing {

// A little-endian value of a runtime file at a byte offset.
template <class T>
T at(const std::string& bytes, std::size_t offset) {
  T v{};
  if (offset + sizeof v <= bytes.size()) std::memcpy(&v, bytes.data() + offset, sizeof v);
  return v;
}

inline std::string nameAt(const std::string& bytes, std::size_t offset) {
  return std::string{bytes.c_str() + offset};
}

// A square grid of side x side vertices covered by (side - 1)² quads.
inline void fillGrid(Module& m, int side) {
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x)
      m.vertices.push_back({static_cast<float>(x), static_cast<float>(y), 0});
  }
  for (int y = 0; y + 1 < side; ++y) {
    for (int x = 0; x + 1 < side; ++x) {
      const int i = y * side + x;
      m.polygons.push_back(face({i, i + 1, i + 1 + side, i + side}));
    }
  }
}

// The names in the folder, sorted: a failed export must leave no temporary behind.
inline std::vector<std::string> folderNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace tessarim::testing
