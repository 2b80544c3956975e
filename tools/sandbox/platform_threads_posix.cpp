// SPDX-License-Identifier: MIT
#include <sys/time.h>

#include <chrono>
#include <mutex>
#include <thread>

#include "tools/sandbox/platform.h"

namespace sandbox {

struct Mutex::Native {
  std::mutex mutex;
};

Mutex::Mutex() : native_(std::make_unique<Native>()) {}
Mutex::~Mutex() = default;
void Mutex::lock() { native_->mutex.lock(); }
void Mutex::unlock() { native_->mutex.unlock(); }

bool startThread(std::function<void()> work) {
  try {
    std::thread(std::move(work)).detach();
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

void sleepMilliseconds(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

std::tm localNow(int& milliseconds) {
  timeval now{};
  gettimeofday(&now, nullptr);
  milliseconds = static_cast<int>(now.tv_usec / 1000);
  std::tm local{};
  std::time_t seconds = now.tv_sec;
  localtime_r(&seconds, &local);
  return local;
}

}  // namespace sandbox
