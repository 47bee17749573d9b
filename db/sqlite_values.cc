#include "db/sqlite_values.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

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

}  // namespace

std::optional<double> SqliteDateFromText(const char* text) {
  CivilTime t;
  t.hour = t.minute = t.second = 0;
  char s1 = 0, s2 = 0;
  const int n = std::sscanf(text, "%4d%c%2d%c%2d%*[ T]%2d:%2d:%2d", &t.year, &s1, &t.month, &s2,
                            &t.day, &t.hour, &t.minute, &t.second);
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
