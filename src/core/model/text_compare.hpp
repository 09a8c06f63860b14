#pragma once

#include <algorithm>
#include <string_view>

namespace tessarim {

// ASCII letters compared without case, as the studio's file names and format words are.
inline bool equalIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(x) == lower(y);
  });
}

}  // namespace tessarim
