#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

namespace tessarim::testing {

// Keeps a test whose code reads a pipe by mistake from hanging: once the patience has run out,
// the pipe is opened for writing and closed again, every few milliseconds until the watchdog goes,
// so that an open or read blocked on it returns. fired() then tells the test that it had to.
class FifoWatchdog {
 public:
  explicit FifoWatchdog(std::filesystem::path fifo,
                        std::chrono::milliseconds patience = std::chrono::seconds(5))
      : fifo_(std::move(fifo)), thread_([this, patience] { watch(patience); }) {}
  ~FifoWatchdog() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  FifoWatchdog(const FifoWatchdog&) = delete;
  FifoWatchdog& operator=(const FifoWatchdog&) = delete;

  bool fired() const { return fired_; }

 private:
  void watch(std::chrono::milliseconds patience) {
    std::unique_lock lock(mutex_);
    if (wake_.wait_for(lock, patience, [this] { return done_; })) return;
    while (!wake_.wait_for(lock, std::chrono::milliseconds(20), [this] { return done_; })) {
      std::error_code ec;
      if (!std::filesystem::is_fifo(fifo_, ec)) continue;
      // Succeeds only while someone waits to read: then their open, and their read, return.
      const int fd = ::open(fifo_.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) {
        fired_ = true;
        ::close(fd);
      }
    }
  }

  std::filesystem::path fifo_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool done_ = false;
  std::atomic<bool> fired_ = false;
  std::thread thread_;
};

}  // namespace tessarim::testing
