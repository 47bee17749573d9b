// The number of the run-time error a call raises, or 0 when it raises none.
#pragma once

#include "platform/run_time_error.h"

namespace tmxcnh::testing {

template <typename Call>
int ErrorNumberOf(Call call) {
  try {
    call();
  } catch (const RunTimeError& e) {
    return e.number();
  }
  return 0;
}

}  // namespace tmxcnh::testing
