#include "platform/clock.h"

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

CivilTime SystemNow() {
  const std::time_t seconds = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace

CivilTime Now() {
  std::lock_guard<std::mutex> lock(ClockMutex());
  return Override() ? Override()() : SystemNow();
}

ScopedClock::ScopedClock(std::function<CivilTime()> clock) {
  std::lock_guard<std::mutex> lock(ClockMutex());
  Override() = std::move(clock);
}

ScopedClock::~ScopedClock() {
  std::lock_guard<std::mutex> lock(ClockMutex());
  Override() = nullptr;
}

}  // namespace tmxcnh
