#include "platform/clock.hpp"

#include <chrono>

namespace tessarim {

std::int64_t SystemClock::nowMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace tessarim
