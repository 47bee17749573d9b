#include "platform/format.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "platform/clock.h"
#include "platform/conversions.h"
#include "platform/date_parse.h"
#include "platform/date_serial.h"
#include "platform/number_parse.h"
#include "platform/regional_settings.h"
#include "platform/run_time_error.h"

namespace tmxcnh {
namespace {

bool IsDateMask(std::string_view mask) {
  for (char c : mask) {
    switch (std::tolower(static_cast<unsigned char>(c))) {
      case 'd':
      case 'm':
      case 'y':
      case 'h':
      case 'n':
      case 's':
        return true;
      default:
        break;
    }
  }
  return false;
}

// Appends the value's digits with zeros before them up to width characters.
void AppendPadded(std::string& out, int value, size_t width) {
  char digits[16];
  const size_t length =
      static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
  if (length < width) out.append(width - length, '0');
  out.append(digits, length);
}

// Masks are ASCII, and their letters are read in either case.
char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

int DayOfWeek(double serial) {  // 0 = Sunday; 1899-12-30 was a Saturday
  const long days = static_cast<long>(std::floor(serial));
  return static_cast<int>(((days + 6) % 7 + 7) % 7);
}

int DayOfYear(const CivilTime& t) {
  int day = t.day;
  for (int month = 1; month < t.month; ++month) {
    static const int kDays[] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    day += kDays[month] + (month == 2 && IsLeapYear(t.year) ? 1 : 0);
  }
  return day;
}

std::string FormatDate(double serial, std::string_view mask) {
  const RegionalSettings& settings = CurrentSettings();
  const CivilTime t = CivilFromSerial(serial);
  std::string out;
  bool after_hour = false;
  for (size_t i = 0; i < mask.size();) {
    const char c = LowerAscii(mask[i]);
    size_t run = 1;
    while (i + run < mask.size() && LowerAscii(mask[i + run]) == c) ++run;
    switch (c) {
      case 'd':
        if (run >= 4) {
          out += settings.day_names[DayOfWeek(serial)];
        } else if (run == 3) {
          out += settings.day_abbreviations[DayOfWeek(serial)];
        } else {
          AppendPadded(out, t.day, run);
        }
        after_hour = false;
        break;
      case 'm':
        if (after_hour && run <= 2) {
          AppendPadded(out, t.minute, run);
        } else if (run >= 4) {
          out += settings.month_names[t.month - 1];
        } else if (run == 3) {
          out += settings.month_abbreviations[t.month - 1];
        } else {
          AppendPadded(out, t.month, run);
        }
        after_hour = false;
        break;
      case 'y':
        if (run >= 3) {
          AppendPadded(out, t.year, 0);
        } else if (run == 2) {
          AppendPadded(out, t.year % 100, 2);
        } else {
          AppendPadded(out, DayOfYear(t), 0);
        }
        after_hour = false;
        break;
      case 'h':
        AppendPadded(out, t.hour, std::min<size_t>(run, 2));
        after_hour = true;
        break;
      case 'n':
        AppendPadded(out, t.minute, std::min<size_t>(run, 2));
        after_hour = false;
        break;
      case 's':
        AppendPadded(out, t.second, std::min<size_t>(run, 2));
        after_hour = false;
        break;
      case '/':
        out.append(run, settings.date_separator);
        break;
      case ':':
        out.append(run, settings.time_separator);
        break;
      default:
        out.append(mask.substr(i, run));
        break;
    }
    i += run;
  }
  return out;
}

// The value's decimal digits (at most 15 significant) rounded half up to the
// given number of decimals: the integer digits and the decimal digits.
void RoundToDecimals(double magnitude, int decimals, std::string* integer_digits,
                     std::string* decimal_digits) {
  // As printf's "%.14e", without its cost: to_chars writes the same digits.
  char buffer[64];
  *std::to_chars(buffer, buffer + sizeof buffer - 1, magnitude, std::chars_format::scientific, 14)
       .ptr = '\0';
  std::string mantissa;
  for (const char* p = buffer; *p && *p != 'e'; ++p) {
    if (std::isdigit(static_cast<unsigned char>(*p))) mantissa += *p;
  }
  const int exponent = std::atoi(std::strchr(buffer, 'e') + 1);
  // Digits as an integer count of units of 10^-decimals.
  std::string units;
  const int keep = exponent + 1 + decimals;  // digits of the mantissa that survive
  if (magnitude != 0 && keep >= 0) {
    if (keep >= static_cast<int>(mantissa.size())) {
      units = mantissa + std::string(static_cast<size_t>(keep) - mantissa.size(), '0');
    } else {
      units = mantissa.substr(0, static_cast<size_t>(keep));
      if (mantissa[static_cast<size_t>(keep)] >= '5') {
        int k = static_cast<int>(units.size()) - 1;
        while (k >= 0 && units[static_cast<size_t>(k)] == '9')
          units[static_cast<size_t>(k--)] = '0';
        if (k >= 0) {
          ++units[static_cast<size_t>(k)];
        } else {
          units.insert(units.begin(), '1');
        }
      }
    }
  }
  if (units.size() < static_cast<size_t>(decimals) + 1) {
    units.insert(0, static_cast<size_t>(decimals) + 1 - units.size(), '0');
  }
  *integer_digits = units.substr(0, units.size() - static_cast<size_t>(decimals));
  *decimal_digits = units.substr(units.size() - static_cast<size_t>(decimals));
  const size_t first = integer_digits->find_first_not_of('0');
  *integer_digits = first == std::string::npos ? "" : integer_digits->substr(first);
}

std::string FormatNumber(double value, std::string_view mask) {
  const RegionalSettings& settings = CurrentSettings();
  const size_t point = mask.find('.');
  const std::string_view integer_mask = mask.substr(0, point);
  const std::string_view decimal_mask =
      point == std::string_view::npos ? std::string_view() : mask.substr(point + 1);
  size_t min_integer = 0;
  bool grouping = false;
  for (char c : integer_mask) {
    if (c == '0') ++min_integer;
    if (c == ',') grouping = true;
  }
  int decimals = 0;
  int min_decimals = 0;
  for (char c : decimal_mask) {
    if (c == '0' || c == '#') ++decimals;
    if (c == '0') min_decimals = decimals;
  }
  std::string integer_digits;
  std::string decimal_digits;
  RoundToDecimals(std::fabs(value), decimals, &integer_digits, &decimal_digits);
  while (static_cast<int>(decimal_digits.size()) > min_decimals && decimal_digits.back() == '0') {
    decimal_digits.pop_back();
  }
  if (integer_digits.size() < min_integer) {
    integer_digits.insert(0, min_integer - integer_digits.size(), '0');
  }
  if (grouping) {
    for (int k = static_cast<int>(integer_digits.size()) - 3; k > 0; k -= 3) {
      integer_digits.insert(static_cast<size_t>(k), 1, settings.thousands_separator);
    }
  }
  std::string out = value < 0 ? "-" : "";
  out += integer_digits;
  if (point != std::string_view::npos) out += settings.decimal_separator;
  out += decimal_digits;
  return out;
}

std::string PlainText(const Variant& value) {
  switch (value.type()) {
    case VariantType::kEmpty:
      return "";
    case VariantType::kBoolean:
      return value.boolean_value() ? "-1" : "0";
    default:
      return ToText(value);
  }
}

}  // namespace

std::string Format(const Variant& value, std::string_view mask) {
  if (value.IsNull()) return "";
  if (value.IsArray()) throw RunTimeError::TypeMismatch();
  if (value.IsObject()) return Format(Variant(value.object_value()->DefaultProperty()), mask);
  if (mask.empty()) return PlainText(value);

  const RegionalSettings& settings = CurrentSettings();
  if (IsDateMask(mask)) {
    std::optional<double> serial;
    if (value.IsString()) {
      const std::string& text = value.string_value();
      if (text.empty()) return "";
      serial = ParseDateText(text, settings, Now().year);
      if (!serial) {
        if (std::optional<ParsedNumber> number = ParseNumberText(text, settings)) {
          serial = ParsedToDouble(*number);
        }
      }
    } else {
      serial = value.IsEmpty() ? 0.0 : value.NumberUnderneath();
    }
    if (!serial || !IsDateSerialInRange(*serial)) return PlainText(value);
    return FormatDate(*serial, mask);
  }

  if (value.type() == VariantType::kDate) return ToText(value);
  std::optional<double> number;
  if (value.IsString()) {
    if (std::optional<ParsedNumber> parsed = ParseNumberText(value.string_value(), settings)) {
      number = ParsedToDouble(*parsed);
    }
    if (!number) return value.string_value();
  } else {
    number = value.IsEmpty() ? 0.0 : value.NumberUnderneath();
  }
  return FormatNumber(*number, mask);
}

}  // namespace tmxcnh
