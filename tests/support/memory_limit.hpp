#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

namespace tessarim::testing {

// AddressSanitizer reserves terabytes of address space, so a limit on it cannot be tested there.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool addressLimitWorks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool addressLimitWorks = false;
#else
inline constexpr bool addressLimitWorks = true;
#endif
#else
inline constexpr bool addressLimitWorks = true;
#endif

// Runs body in a child process whose address space may grow by at most `extra` bytes beyond what
// it holds now, so that allocations past that really fail. body returns what went wrong (empty:
// nothing); so does this, with a crash of the child reported as such.
inline std::string withAddressLimit(std::size_t extra, const std::function<std::string()>& body) {
  std::size_t pages = 0;
  std::ifstream{"/proc/self/statm"} >> pages;
  const std::size_t now = pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  int channel[2];
  if (::pipe(channel) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    const rlimit limit{now + extra, now + extra};
    std::string result = ::setrlimit(RLIMIT_AS, &limit) == 0 ? body() : "setrlimit failed";
    [[maybe_unused]] auto written = ::write(channel[1], result.data(), result.size());
    ::_exit(0);
  }
  ::close(channel[1]);
  std::string result;
  char chunk[4096];
  for (ssize_t got; (got = ::read(channel[0], chunk, sizeof chunk)) > 0;)
    result.append(chunk, static_cast<std::size_t>(got));
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status)) return "the child crashed: " + result;
  return result;
}

}  // namespace tessarim::testing
