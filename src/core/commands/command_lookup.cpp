#include "commands/command_lookup.hpp"

#include <algorithm>
#include <charconv>

namespace tessarim {
namespace {

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

std::string plainLabel(std::string_view label) {
  std::string plain;
  for (std::size_t i = 0; i < label.size(); ++i) {
    if (label[i] != '&') {
      plain += label[i];
    } else if (i + 1 < label.size() && label[i + 1] == '&') {
      plain += '&';
      ++i;
    }
  }
  return plain;
}

CommandLookup lookUpCommand(std::string_view text) {
  CommandLookup found;
  if (text.empty()) return found;
  if (std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc{} || end != text.data() + text.size()) return found;
    const Command* row = findCommand(number);
    if (row != nullptr && row->handler != nullptr) found.row = row;
    return found;
  }
  for (const Command& row : commandTable()) {
    if (row.separator || row.handler == nullptr) continue;
    if (!sameIgnoringCase(plainLabel(row.label), text) && !sameIgnoringCase(row.label, text))
      continue;
    const bool seen = std::any_of(found.candidates.begin(), found.candidates.end(),
                                  [&](const Command* c) { return c->number == row.number; });
    if (!seen) found.candidates.push_back(&row);
  }
  if (found.candidates.size() == 1) {
    found.row = found.candidates.front();
    found.candidates.clear();
  }
  return found;
}

}  // namespace tessarim
