#include "db/sqlite_values.h"

#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/date_serial.h"
#include "platform/text.h"

namespace tmxcnh::db {
namespace {

bool LooksLikeTimestamp(const char* text) {
  const size_t length = std::strlen(text);
  return (length == 10 || length == 19) && text[4] == '-' && text[7] == '-' &&
         SqliteDateFromText(text).has_value();
}

Variant IntegerValue(sqlite3_int64 value) {
  if (value >= INT32_MIN && value <= INT32_MAX) return Variant::Long(static_cast<int32_t>(value));
  return Variant::Double(static_cast<double>(value));
}

std::string Text(sqlite3_stmt* statement, int column) {
  const unsigned char* raw = sqlite3_column_text(statement, column);
  return std::string(reinterpret_cast<const char*>(raw),
                     static_cast<size_t>(sqlite3_column_bytes(statement, column)));
}

// Reads the text as sscanf's "%4d%c%2d%c%2d%*[ T]%2d:%2d:%2d" would (the
// fields it converts, and how many), without the cost of the C library's
// scanner, which is most of the reading of a date.
class DateScanner {
 public:
  explicit DateScanner(const char* text) : p_(text) {}

  // An integer of at most `width` characters (a sign among them), after blanks.
  bool Number(int width, int* out) {
    while (std::isspace(static_cast<unsigned char>(*p_))) ++p_;
    const bool negative = *p_ == '-';
    int taken = 0;
    if (*p_ == '-' || *p_ == '+') ++p_, ++taken;
    int value = 0, digits = 0;
    for (; taken < width && *p_ >= '0' && *p_ <= '9'; ++p_, ++taken, ++digits) {
      value = value * 10 + (*p_ - '0');
    }
    if (digits == 0) return false;
    *out = negative ? -value : value;
    return true;
  }
  bool Character(char* out) {
    if (*p_ == '\0') return false;
    *out = *p_++;
    return true;
  }
  // One or more characters of the set.
  bool Run(std::string_view set) {
    const char* start = p_;
    while (*p_ != '\0' && set.find(*p_) != std::string_view::npos) ++p_;
    return p_ != start;
  }
  bool Literal(char c) {
    if (*p_ != c) return false;
    ++p_;
    return true;
  }

 private:
  const char* p_;
};

// How many of the date's fields read (as sscanf counts them).
int ScanDate(const char* text, CivilTime* t, char* s1, char* s2) {
  DateScanner scan(text);
  if (!scan.Number(4, &t->year)) return 0;
  if (!scan.Character(s1)) return 1;
  if (!scan.Number(2, &t->month)) return 2;
  if (!scan.Character(s2)) return 3;
  if (!scan.Number(2, &t->day)) return 4;
  if (!scan.Run(" T") || !scan.Number(2, &t->hour)) return 5;
  if (!scan.Literal(':') || !scan.Number(2, &t->minute)) return 6;
  if (!scan.Literal(':') || !scan.Number(2, &t->second)) return 7;
  return 8;
}

}  // namespace

std::optional<double> SqliteDateFromText(const char* text) {
  CivilTime t;
  t.hour = t.minute = t.second = 0;
  char s1 = 0, s2 = 0;
  const int n = ScanDate(text, &t, &s1, &s2);
  if (n < 5 || s1 != s2 || (s1 != '-' && s1 != '/')) return std::nullopt;
  return SerialFromCivil(t);
}

SqliteColumnKind SqliteColumnKindOf(const char* declared_type) {
  if (declared_type == nullptr || *declared_type == '\0') return SqliteColumnKind::kUntyped;
  const std::string declared = text::UpperAscii(declared_type);
  const auto has = [&](const char* part) { return declared.find(part) != std::string::npos; };
  if (has("DATE") || has("TIME")) return SqliteColumnKind::kDate;
  if (has("INT")) return SqliteColumnKind::kInteger;
  if (has("NUM") || has("DEC") || has("REAL") || has("FLOA") || has("DOUB")) {
    return SqliteColumnKind::kDecimal;
  }
  return SqliteColumnKind::kOther;
}

Variant SqliteColumnValue(sqlite3_stmt* statement, int column, SqliteColumnKind kind) {
  const int stored = sqlite3_column_type(statement, column);
  if (stored == SQLITE_NULL) return Variant::Null();
  switch (kind) {
    case SqliteColumnKind::kDate:
      if (stored == SQLITE_TEXT) {
        std::string value = Text(statement, column);
        if (std::optional<double> serial = SqliteDateFromText(value.c_str())) {
          return Variant::Date(*serial);
        }
        return Variant::String(std::move(value));
      }
      return Variant::Date(sqlite3_column_double(statement, column));
    case SqliteColumnKind::kInteger:
      if (stored == SQLITE_INTEGER) return IntegerValue(sqlite3_column_int64(statement, column));
      break;
    case SqliteColumnKind::kDecimal:
      if (stored == SQLITE_INTEGER || stored == SQLITE_FLOAT) {
        return Variant::Double(sqlite3_column_double(statement, column));
      }
      break;
    default:
      break;
  }
  switch (stored) {
    case SQLITE_INTEGER:
      return IntegerValue(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT:
      return Variant::Double(sqlite3_column_double(statement, column));
    default: {
      std::string value = Text(statement, column);
      // An expression such as GETDATE() has no declared type: its timestamp is a date.
      if (kind == SqliteColumnKind::kUntyped && LooksLikeTimestamp(value.c_str())) {
        return Variant::Date(*SqliteDateFromText(value.c_str()));
      }
      return Variant::String(std::move(value));
    }
  }
}

}  // namespace tmxcnh::db
