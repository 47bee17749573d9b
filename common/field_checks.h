// The field checks of typed numbers: a caption, optional bounds and an
// obligation flag; on failure a ready Portuguese sentence naming the field
// goes into the caller's message. The value is cleaned in the caller's
// Variant before any test. Neither touches a database.
#pragma once

#include <functional>
#include <memory>

#include "platform/variant.h"

namespace tmxcnh {

// The number converter the checks use for their bounds: the number a value
// stands for, as a numeric Variant, for any value that passed the numeric
// test under the machine's settings and for the bounds. A failing conversion
// raises a run-time error.
class NumberConverter {
 public:
  virtual ~NumberConverter() = default;
  virtual Variant Converte(Variant& value) = 0;
};

// A new converter, as each check that reaches its bounds creates one.
std::unique_ptr<NumberConverter> CreateNumberConverter();

// Replaces the converter's creation while it lives (tests: a failing converter).
class ScopedNumberConverter {
 public:
  explicit ScopedNumberConverter(std::function<std::unique_ptr<NumberConverter>()> create);
  ~ScopedNumberConverter();
  ScopedNumberConverter(const ScopedNumberConverter&) = delete;
  ScopedNumberConverter& operator=(const ScopedNumberConverter&) = delete;
};

// A whole number: no point (thousands), no comma (decimals).
bool gConsiste_Inteiro(Variant& caption, Variant& value, Variant& minimum, Variant& maximum,
                       Variant& user, Variant& message, Variant& obligation);

// A number that may have decimals, typed with a comma: no point.
bool gConsiste_Numero(Variant& caption, Variant& value, Variant& minimum, Variant& maximum,
                      Variant& user, Variant& message, Variant& obligation);

}  // namespace tmxcnh
