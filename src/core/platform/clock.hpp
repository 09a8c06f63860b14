#pragma once

#include <cstdint>

namespace tessarim {

// Wall-clock time for usage counters and seeds; a test sets it by hand.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::int64_t nowMilliseconds() = 0;  // since the Unix epoch
};

class SystemClock : public Clock {
 public:
  std::int64_t nowMilliseconds() override;
};

class ManualClock : public Clock {
 public:
  std::int64_t nowMilliseconds() override { return now; }
  std::int64_t now = 0;
};

}  // namespace tessarim
