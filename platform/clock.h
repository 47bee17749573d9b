// The host's clock, in local time. Tests replace it to pin "today".
#pragma once

#include <functional>

#include "platform/date_serial.h"

namespace tmxcnh {

// The current local date and time of the component's host.
CivilTime Now();

// Replaces the clock until the returned guard is destroyed.
class ScopedClock {
 public:
  explicit ScopedClock(std::function<CivilTime()> clock);
  ~ScopedClock();
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;
};

}  // namespace tmxcnh
