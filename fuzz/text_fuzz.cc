// libFuzzer: the text conversions (numbers, dates, masks) take any text under
// either regional settings without crashing; the first byte picks them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/conversions.h"
#include "platform/format.h"
#include "platform/regional_settings.h"
#include "platform/run_time_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tmxcnh;
  if (size == 0) return 0;
  SetLocale(data[0] % 2 == 0 ? Locale::kBrazil : Locale::kUnitedStates);
  const Variant text(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  const auto attempt = [](auto convert) {
    try {
      convert();
    } catch (const RunTimeError&) {
      // A conversion that fails is an answer.
    }
  };
  attempt([&] { (void)ToDouble(text); });
  attempt([&] { (void)ToLong(text); });
  attempt([&] { (void)ToDateSerial(text); });
  attempt([&] { (void)Format(text, "yyyy/mm/dd hh:mm"); });
  attempt([&] { (void)Format(text, "#,##0.00"); });
  return 0;
}
