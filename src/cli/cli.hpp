#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tessarim {

// The batch front end: arguments without the program name; JSON and results go to out,
// messages and errors to err. Returns the exit status.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tessarim
