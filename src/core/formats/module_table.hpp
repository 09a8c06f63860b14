#pragma once

#include <string_view>

namespace tessarim {

struct Session;

// Loads a WLD file as the next module of the table; refuses, with a message, a 257th module.
// Returns the new module's index, or -1 when nothing was added.
int addModule(Session& session, std::string_view name);

}  // namespace tessarim
