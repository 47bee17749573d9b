// Reading a number from text the way the automation run time does under the
// machine's regional settings: leading and trailing blanks, a sign before or
// after, parentheses for a negative, the currency symbol, thousands
// separators anywhere after the first digit, one decimal separator, an
// exponent, and &H / &O for hexadecimal and octal.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/regional_settings.h"

namespace tmxcnh {

struct ParsedNumber {
  bool negative = false;
  // Decimal form: the significant digits and the power of ten that scales them.
  std::string digits;
  int64_t power_of_ten = 0;
  // Hexadecimal or octal form: the value as written (the sign never applies).
  bool hex_or_octal = false;
  uint64_t radix_value = 0;
};

// The number a text stands for, or nullopt when the text is not a number.
std::optional<ParsedNumber> ParseNumberText(std::string_view text,
                                            const RegionalSettings& settings);

// The parsed number as a double; nullopt when it lies beyond the double range
// (and for hexadecimal above 7FFFFFFF).
std::optional<double> ParsedToDouble(const ParsedNumber& number);

}  // namespace tmxcnh
