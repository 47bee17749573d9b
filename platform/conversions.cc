#include "platform/conversions.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/clock.h"
#include "platform/date_parse.h"
#include "platform/date_serial.h"
#include "platform/number_parse.h"
#include "platform/regional_settings.h"
#include "platform/run_time_error.h"

namespace tmxcnh {
namespace {

// Rounds half to even, as the run time does when a number becomes a whole number.
double RoundHalfEven(double value) { return std::nearbyint(value); }

int32_t DoubleToLong(double value) {
  if (std::isnan(value)) return std::numeric_limits<int32_t>::max();
  const double rounded = RoundHalfEven(value);
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) throw RunTimeError::Overflow();
  return static_cast<int32_t>(rounded);
}

int16_t DoubleToInteger(double value) {
  if (std::isnan(value)) return -1;
  const double rounded = RoundHalfEven(value);
  if (!(rounded >= -32768.0 && rounded <= 32767.0)) throw RunTimeError::Overflow();
  return static_cast<int16_t>(rounded);
}

ParsedNumber ParseOrMismatch(const std::string& text) {
  std::optional<ParsedNumber> number = ParseNumberText(text, CurrentSettings());
  if (!number) throw RunTimeError::TypeMismatch();
  return *number;
}

double TextToDouble(const std::string& text) {
  std::optional<double> value = ParsedToDouble(ParseOrMismatch(text));
  if (!value) throw RunTimeError::Overflow();
  return *value;
}

int32_t TextToLong(const std::string& text) {
  const ParsedNumber number = ParseOrMismatch(text);
  if (number.hex_or_octal) {
    if (number.radix_value > 0xFFFFFFFFu) throw RunTimeError::Overflow();
    return static_cast<int32_t>(static_cast<uint32_t>(number.radix_value));
  }
  std::optional<double> value = ParsedToDouble(number);
  if (!value) throw RunTimeError::Overflow();
  return DoubleToLong(*value);
}

int16_t TextToInteger(const std::string& text) {
  const ParsedNumber number = ParseOrMismatch(text);
  if (number.hex_or_octal) {
    if (number.radix_value > 0xFFFFu) throw RunTimeError::Overflow();
    return static_cast<int16_t>(static_cast<uint16_t>(number.radix_value));
  }
  std::optional<double> value = ParsedToDouble(number);
  if (!value) throw RunTimeError::Overflow();
  return DoubleToInteger(*value);
}

double CheckedDateSerial(double serial) {
  if (!IsDateSerialInRange(serial)) throw RunTimeError::Overflow();
  return serial;
}

double TextToDateSerial(const std::string& text) {
  std::optional<double> serial = ParseDateText(text, CurrentSettings(), Now().year);
  if (!serial) throw RunTimeError::TypeMismatch();
  return *serial;
}

std::string TwoDigits(int value) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%02d", value);
  return buffer;
}

std::string ShortDate(const CivilTime& t, const RegionalSettings& settings) {
  const std::string separator(1, settings.date_separator);
  const std::string day =
      settings.short_date_pads_day_month ? TwoDigits(t.day) : std::to_string(t.day);
  const std::string month =
      settings.short_date_pads_day_month ? TwoDigits(t.month) : std::to_string(t.month);
  const std::string year = std::to_string(t.year);
  return settings.date_order == DateOrder::kDayMonthYear
             ? day + separator + month + separator + year
             : month + separator + day + separator + year;
}

std::string LongTime(const CivilTime& t, const RegionalSettings& settings) {
  const std::string separator(1, settings.time_separator);
  if (!settings.twelve_hour_clock) {
    return TwoDigits(t.hour) + separator + TwoDigits(t.minute) + separator + TwoDigits(t.second);
  }
  const int hour = t.hour % 12 == 0 ? 12 : t.hour % 12;
  return std::to_string(hour) + separator + TwoDigits(t.minute) + separator + TwoDigits(t.second) +
         " " + (t.hour < 12 ? settings.am_designator : settings.pm_designator);
}

}  // namespace

std::string NumberToText(double value) {
  if (value == 0) return "0";  // no "-0"
  // As printf's "%.15G", without its cost: to_chars writes the same digits.
  char buffer[64];
  const char* end =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15).ptr;
  std::string text(static_cast<const char*>(buffer), end);
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  // The run time localises the decimal separator only in the plain form.
  if (text.find('E') == std::string::npos) {
    for (char& c : text) {
      if (c == '.') c = CurrentSettings().decimal_separator;
    }
  }
  return text;
}

std::string DateToText(double serial) {
  CheckedDateSerial(serial);
  const RegionalSettings& settings = CurrentSettings();
  const CivilTime t = CivilFromSerial(serial);
  const double whole = std::trunc(serial);
  const bool time_only = whole == 0.0;
  const bool date_only = std::fabs(serial - whole) < 1e-12;
  if (time_only) return LongTime(t, settings);
  if (date_only) return ShortDate(t, settings);
  return ShortDate(t, settings) + " " + LongTime(t, settings);
}

Variant ChangeType(const Variant& value, VariantType type) {
  if (value.IsObject()) {
    return ChangeType(Variant::String(value.object_value()->DefaultProperty()), type);
  }
  if (value.type() == type) return value;
  if (value.IsArray() || type == VariantType::kArray || type == VariantType::kObject) {
    throw RunTimeError::TypeMismatch();
  }
  if (type == VariantType::kNull) return Variant::Null();
  if (value.IsNull()) throw RunTimeError::TypeMismatch();
  if (type == VariantType::kEmpty) return Variant();

  switch (type) {
    case VariantType::kString:
      if (value.IsEmpty()) return Variant::String("");
      if (value.type() == VariantType::kDate)
        return Variant::String(DateToText(value.date_value()));
      if (value.type() == VariantType::kInteger) return std::to_string(value.integer_value());
      if (value.type() == VariantType::kLong) return std::to_string(value.long_value());
      if (value.type() == VariantType::kBoolean) return value.boolean_value() ? "-1" : "0";
      return Variant::String(NumberToText(value.double_value()));
    case VariantType::kDouble:
      if (value.IsString()) return Variant::Double(TextToDouble(value.string_value()));
      return Variant::Double(value.IsEmpty() ? 0.0 : value.NumberUnderneath());
    case VariantType::kLong:
      if (value.IsString()) return Variant::Long(TextToLong(value.string_value()));
      return Variant::Long(value.IsEmpty() ? 0 : DoubleToLong(value.NumberUnderneath()));
    case VariantType::kInteger:
      if (value.IsString()) return Variant::Integer(TextToInteger(value.string_value()));
      return Variant::Integer(value.IsEmpty() ? 0 : DoubleToInteger(value.NumberUnderneath()));
    case VariantType::kDate:
      if (value.IsString()) return Variant::Date(TextToDateSerial(value.string_value()));
      return Variant::Date(value.IsEmpty() ? 0.0 : CheckedDateSerial(value.NumberUnderneath()));
    case VariantType::kBoolean:
      if (value.IsString()) {
        const RegionalSettings& settings = CurrentSettings();
        const std::string& text = value.string_value();
        if (text == settings.true_name || text == "True") return Variant::Boolean(true);
        if (text == settings.false_name || text == "False") return Variant::Boolean(false);
        return Variant::Boolean(TextToDouble(text) != 0);
      }
      return Variant::Boolean(!value.IsEmpty() && value.NumberUnderneath() != 0);
    default:
      throw RunTimeError::TypeMismatch();
  }
}

namespace {

const Variant& NotNull(const Variant& value) {
  if (value.IsNull()) throw RunTimeError::InvalidUseOfNull();
  return value;
}

}  // namespace

std::string ToText(const Variant& value) {
  NotNull(value);
  if (value.IsString()) return value.string_value();
  if (value.type() == VariantType::kBoolean) {
    const RegionalSettings& settings = CurrentSettings();
    return value.boolean_value() ? settings.true_name : settings.false_name;
  }
  return ChangeType(value, VariantType::kString).string_value();
}

double ToDouble(const Variant& value) {
  return ChangeType(NotNull(value), VariantType::kDouble).double_value();
}

int32_t ToLong(const Variant& value) {
  return ChangeType(NotNull(value), VariantType::kLong).long_value();
}

int16_t ToInteger(const Variant& value) {
  return ChangeType(NotNull(value), VariantType::kInteger).integer_value();
}

double ToDateSerial(const Variant& value) {
  return ChangeType(NotNull(value), VariantType::kDate).date_value();
}

bool IsNumeric(const Variant& value) {
  try {
    ChangeType(value, VariantType::kDouble);
    return true;
  } catch (const RunTimeError&) {
    return false;
  }
}

bool IsDate(const Variant& value) {
  try {
    ChangeType(value, VariantType::kDate);
    return true;
  } catch (const RunTimeError&) {
    return false;
  }
}

double Val(std::string_view text) {
  std::string compact;
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') compact += c;
  }
  if (compact.size() > 2 && compact[0] == '&') {
    const char kind = compact[1];
    const int radix = (kind == 'H' || kind == 'h') ? 16 : (kind == 'O' || kind == 'o') ? 8 : 0;
    if (radix != 0) {
      uint64_t value = 0;
      for (size_t i = 2; i < compact.size(); ++i) {
        const char c = compact[i];
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0 || digit >= radix || value > 0xFFFFFFFFu) break;
        value = value * static_cast<uint64_t>(radix) + static_cast<uint64_t>(digit);
      }
      // As in the language, &HFFFF is -1: a 16-bit or 32-bit pattern read as signed.
      if (value <= 0xFFFFu) return static_cast<int16_t>(static_cast<uint16_t>(value));
      return static_cast<int32_t>(static_cast<uint32_t>(value));
    }
  }
  // The longest prefix of the form [sign] digits [. digits] [e|d [sign] digits].
  size_t i = 0;
  std::string number;
  if (i < compact.size() && (compact[i] == '+' || compact[i] == '-')) number += compact[i++];
  size_t mantissa_digits = 0;
  while (i < compact.size() && std::isdigit(static_cast<unsigned char>(compact[i]))) {
    number += compact[i++];
    ++mantissa_digits;
  }
  if (i < compact.size() && compact[i] == '.') {
    number += compact[i++];
    while (i < compact.size() && std::isdigit(static_cast<unsigned char>(compact[i]))) {
      number += compact[i++];
      ++mantissa_digits;
    }
  }
  if (mantissa_digits == 0) return 0.0;
  if (i < compact.size() &&
      (compact[i] == 'e' || compact[i] == 'E' || compact[i] == 'd' || compact[i] == 'D')) {
    std::string exponent = "e";
    size_t j = i + 1;
    if (j < compact.size() && (compact[j] == '+' || compact[j] == '-')) exponent += compact[j++];
    const size_t digits_start = j;
    while (j < compact.size() && std::isdigit(static_cast<unsigned char>(compact[j]))) {
      exponent += compact[j++];
    }
    if (j > digits_start) number += exponent;
  }
  const double value = std::strtod(number.c_str(), nullptr);
  if (std::isinf(value)) throw RunTimeError::Overflow();
  return value;
}

}  // namespace tmxcnh
