#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli.hpp"

namespace tessarim::testing {

// One run of the batch front end, with what it printed.
struct CliRun {
  int status;
  std::string out;
  std::string err;
};

inline CliRun runCliWith(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = runCli(args, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace tessarim::testing
