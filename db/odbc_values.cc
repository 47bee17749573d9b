#include "db/odbc_values.h"

#include <sqlext.h>

#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <system_error>

#include "platform/date_serial.h"

namespace tmxcnh::db {
namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Writes code at out and returns the end of what it wrote (at most 4 bytes).
char* WriteUtf8(char* out, char32_t code) {
  if (code < 0x80) {
    *out++ = static_cast<char>(code);
  } else if (code < 0x800) {
    *out++ = static_cast<char>(0xC0 | (code >> 6));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (code >> 12));
    *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (code >> 18));
    *out++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  }
  return out;
}

ColumnKind KindOf(SQLSMALLINT sql_type, SQLULEN size, SQLSMALLINT scale) {
  switch (sql_type) {
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_TINYINT:
    case SQL_BIT:
    case SQL_BIGINT:
      return ColumnKind::kWhole;
    case SQL_NUMERIC:
    case SQL_DECIMAL:
      return scale == 0 && size <= 9 ? ColumnKind::kWhole : ColumnKind::kDecimal;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
      return ColumnKind::kDecimal;
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIMESTAMP:
    case SQL_TYPE_TIME:
    case SQL_DATE:  // the ODBC 2 codes, from drivers that still answer them
    case SQL_TIME:
    case SQL_TIMESTAMP:
      return ColumnKind::kDate;
    default:
      return ColumnKind::kText;
  }
}

std::string_view Stripped(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  return text;
}

// std::from_chars reads with the C locale's point whatever the process
// locale says; drivers write numbers that way.
template <typename Number>
std::optional<Number> ParseNumber(std::string_view text) {
  text = Stripped(text);
  Number value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
    return std::nullopt;
  }
  return value;
}

// Reads the digits of one field; false when there are none.
bool ReadNumber(std::string_view text, size_t& pos, int& value) {
  const size_t start = pos;
  value = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < 9) {
    value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  return pos > start;
}

bool ReadChar(std::string_view text, size_t& pos, char c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

// "HH:MM:SS[.fraction]" from pos; the fraction of a second goes to fraction.
bool ReadTime(std::string_view text, size_t& pos, CivilTime& time, double& fraction) {
  if (!ReadNumber(text, pos, time.hour) || !ReadChar(text, pos, ':') ||
      !ReadNumber(text, pos, time.minute) || !ReadChar(text, pos, ':') ||
      !ReadNumber(text, pos, time.second)) {
    return false;
  }
  fraction = 0;
  if (ReadChar(text, pos, '.')) {
    // Digits over a power of ten, so that ".25" is exactly a quarter.
    int64_t digits = 0;
    double scale = 1;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
      if (scale >= 1e15) continue;  // below any precision a date serial keeps
      digits = digits * 10 + (text[pos] - '0');
      scale *= 10;
    }
    fraction = static_cast<double>(digits) / scale;
  }
  return true;
}

// The text of a date, a date and time, or a time alone (as day 0), in the
// ISO form drivers give as text. A zone offset after the time is ignored:
// the value is the wall-clock time the server answered. Nothing outside the
// run time's date range: nullopt.
std::optional<double> ParseDateSerial(std::string_view text) {
  text = Stripped(text);
  CivilTime time;
  double fraction = 0;
  size_t pos = 0;
  const size_t first_separator = text.find_first_not_of("0123456789");
  const bool time_only = first_separator != std::string_view::npos && text[first_separator] == ':';
  if (time_only) {
    if (!ReadTime(text, pos, time, fraction)) return std::nullopt;
  } else {
    if (!ReadNumber(text, pos, time.year) || !ReadChar(text, pos, '-') ||
        !ReadNumber(text, pos, time.month) || !ReadChar(text, pos, '-') ||
        !ReadNumber(text, pos, time.day)) {
      return std::nullopt;
    }
    if (pos < text.size() && (text[pos] == ' ' || text[pos] == 'T')) {
      ++pos;
      if (!ReadTime(text, pos, time, fraction)) return std::nullopt;
    }
  }
  if (pos < text.size() && text[pos] != '+' && text[pos] != '-') return std::nullopt;
  std::optional<double> serial = SerialFromCivil(time);
  if (!serial) return std::nullopt;
  // Before day 0 the whole part counts backwards but the time forwards.
  return *serial < 0 ? *serial - fraction / 86400 : *serial + fraction / 86400;
}

constexpr size_t kShortValueRoom = 65;
constexpr size_t kMaxRoomedText = 1024;

Variant WholeVariant(int64_t value) {
  if (value >= std::numeric_limits<int32_t>::min() &&
      value <= std::numeric_limits<int32_t>::max()) {
    return Variant::Long(static_cast<int32_t>(value));
  }
  return Variant::Double(static_cast<double>(value));
}

}  // namespace

// A value the driver wrote in a form we do not read stays text rather than
// becoming a wrong number or date.
Variant ToVariant(ColumnKind kind, std::string_view text) {
  switch (kind) {
    case ColumnKind::kWhole:
      if (auto whole = ParseNumber<int64_t>(text)) return WholeVariant(*whole);
      if (auto number = ParseNumber<double>(text)) return Variant::Double(*number);
      break;
    case ColumnKind::kDecimal:
      if (auto number = ParseNumber<double>(text)) return Variant::Double(*number);
      break;
    case ColumnKind::kDate:
      if (auto serial = ParseDateSerial(text)) return Variant::Date(*serial);
      break;
    case ColumnKind::kText:
      break;
  }
  return Variant::String(std::string(text));
}

WideString ToUtf16(std::string_view text) {
  static constexpr char32_t kSmallestOfLength[] = {0, 0, 0x80, 0x800, 0x10000};
  WideString out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    char32_t code = 0;
    size_t length = 0;
    if (lead < 0x80) {
      code = lead;
      length = 1;
    } else if ((lead & 0xE0) == 0xC0) {
      code = lead & 0x1F;
      length = 2;
    } else if ((lead & 0xF0) == 0xE0) {
      code = lead & 0x0F;
      length = 3;
    } else if ((lead & 0xF8) == 0xF0) {
      code = lead & 0x07;
      length = 4;
    }
    bool valid = length > 0 && i + length <= text.size();
    for (size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    valid = valid && code >= kSmallestOfLength[length] && code <= 0x10FFFF &&
            (code < 0xD800 || code > 0xDFFF);
    if (!valid) {
      out.push_back(static_cast<SQLWCHAR>(kReplacementCharacter));
      ++i;
      continue;
    }
    if (code < 0x10000) {
      out.push_back(static_cast<SQLWCHAR>(code));
    } else {
      code -= 0x10000;
      out.push_back(static_cast<SQLWCHAR>(0xD800 + (code >> 10)));
      out.push_back(static_cast<SQLWCHAR>(0xDC00 + (code & 0x3FF)));
    }
    i += length;
  }
  return out;
}

std::string ToUtf8(const SQLWCHAR* text, size_t length) {
  // Sized first, so that the text is written once into a string of its size:
  // a pair of surrogates takes four bytes, a lone one U+FFFD's three.
  size_t bytes = 0;
  for (size_t i = 0; i < length; ++i) {
    const char32_t unit = text[i];
    bytes += unit < 0x80 ? 1 : unit < 0x800 ? 2 : 3;
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      ++bytes;
      ++i;
    }
  }
  std::string out(bytes, '\0');
  char* end = out.data();
  for (size_t i = 0; i < length; ++i) {
    const char32_t unit = text[i];
    if (unit < 0x80) {
      *end++ = static_cast<char>(unit);
    } else if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 &&
               text[i + 1] <= 0xDFFF) {
      end = WriteUtf8(end, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      end = WriteUtf8(end, kReplacementCharacter);
    } else {
      end = WriteUtf8(end, unit);
    }
  }
  return out;
}

ColumnPlan PlanOf(SQLSMALLINT sql_type, SQLULEN size, SQLSMALLINT scale) {
  const ColumnKind kind = KindOf(sql_type, size, scale);
  if (sql_type == SQL_SMALLINT || sql_type == SQL_INTEGER || sql_type == SQL_TINYINT) {
    return {kind, kShortValueRoom, true};
  }
  if (kind != ColumnKind::kText) return {kind, kShortValueRoom};
  if (size == 0 || size > kMaxRoomedText) return {kind, 0};
  return {kind, 2 * static_cast<size_t>(size) + 1};
}

// Numbers and dates are short ASCII: read from a copy on the stack, without
// building a string first.
Variant ToVariant(ColumnKind kind, const SQLWCHAR* wide, size_t length) {
  char ascii[64];
  bool short_ascii = kind != ColumnKind::kText && length <= sizeof ascii;
  for (size_t i = 0; short_ascii && i < length; ++i) {
    short_ascii = wide[i] < 0x80;
    ascii[i] = static_cast<char>(wide[i]);
  }
  if (short_ascii) return ToVariant(kind, std::string_view(ascii, length));
  std::string text = ToUtf8(wide, length);
  if (kind == ColumnKind::kText) return Variant::String(std::move(text));
  return ToVariant(kind, text);
}

}  // namespace tmxcnh::db
