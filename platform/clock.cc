#include "platform/clock.h"

#include <atomic>
#include <ctime>
#include <mutex>
#include <utility>

namespace tmxcnh {
namespace {

std::mutex& ClockMutex() {
  static std::mutex mutex;
  return mutex;
}

std::function<CivilTime()>& Override() {
  static std::function<CivilTime()> clock;
  return clock;
}

// Set while a ScopedClock stands, so that the usual call takes no lock.
std::atomic<bool> overridden{false};

// The local time, converted once a second on each thread: the conversion
// takes the C library's time-zone lock and is the most of the cost.
CivilTime SystemNow() {
  const std::time_t seconds = std::time(nullptr);
  thread_local std::time_t converted = -1;
  thread_local CivilTime civil;
  if (seconds == converted) return civil;
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  civil = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
           local.tm_hour,        local.tm_min,     local.tm_sec};
  converted = seconds;
  return civil;
}

}  // namespace

CivilTime Now() {
  if (overridden.load(std::memory_order_acquire)) {
    std::lock_guard<std::mutex> lock(ClockMutex());
    if (Override()) return Override()();
  }
  return SystemNow();
}

ScopedClock::ScopedClock(std::function<CivilTime()> clock) {
  std::lock_guard<std::mutex> lock(ClockMutex());
  Override() = std::move(clock);
  overridden.store(true, std::memory_order_release);
}

ScopedClock::~ScopedClock() {
  std::lock_guard<std::mutex> lock(ClockMutex());
  Override() = nullptr;
  overridden.store(false, std::memory_order_release);
}

}  // namespace tmxcnh
