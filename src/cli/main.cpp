#include <iostream>

#include "cli.hpp"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return tessarim::runCli(args, std::cout, std::cerr);
}
