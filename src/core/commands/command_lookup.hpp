#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "commands/command_table.hpp"

namespace tessarim {

// A label as the menu shows it: every mnemonic "&" removed, "&&" shown as one "&".
std::string plainLabel(std::string_view label);

// What a command named on the command line resolves to.
struct CommandLookup {
  const Command* row = nullptr;            // the row to issue; none when unknown or ambiguous
  std::vector<const Command*> candidates;  // several numbers share the label: one row each
};

// A decimal number names the row the dispatcher runs for it; anything else is a label, compared
// case-insensitively with the labels of the rows that have a handler (a row without one does
// nothing, so it is never found), as the menu shows them or as the table writes them
// ("S&tatistics", which the JSON output reports). A label is resolved to its first such row.
CommandLookup lookUpCommand(std::string_view text);

}  // namespace tessarim
