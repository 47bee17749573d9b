#include "db/sqlite_functions.h"

#include <cctype>
#include <cstdio>
#include <string>

#include "platform/clock.h"
#include "platform/date_serial.h"
#include "platform/text.h"

namespace tmxcnh::db {
namespace {

std::string TimestampText(const CivilTime& t) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return buffer;
}

void GetDate(sqlite3_context* context, int, sqlite3_value**) {
  const std::string now = TimestampText(Now());
  sqlite3_result_text(context, now.c_str(), static_cast<int>(now.size()), SQLITE_TRANSIENT);
}

// Reads text by an Oracle mask (YYYY MM DD HH24 HH MI SS and separators).
bool ParseByOracleMask(const std::string& text, const std::string& mask, CivilTime* t) {
  *t = CivilTime{};
  t->year = 1;
  t->month = 1;
  t->day = 1;
  const std::string upper = text::UpperAscii(mask);
  size_t m = 0;
  size_t p = 0;
  const auto read = [&](size_t max_digits, int* out) {
    size_t digits = 0;
    int value = 0;
    while (p < text.size() && digits < max_digits &&
           std::isdigit(static_cast<unsigned char>(text[p]))) {
      value = value * 10 + (text[p++] - '0');
      ++digits;
    }
    *out = value;
    return digits > 0;
  };
  while (m < upper.size()) {
    if (upper.compare(m, 4, "YYYY") == 0) {
      if (!read(4, &t->year)) return false;
      m += 4;
    } else if (upper.compare(m, 4, "HH24") == 0) {
      if (!read(2, &t->hour)) return false;
      m += 4;
    } else if (upper.compare(m, 2, "MM") == 0 || upper.compare(m, 2, "DD") == 0 ||
               upper.compare(m, 2, "HH") == 0 || upper.compare(m, 2, "MI") == 0 ||
               upper.compare(m, 2, "SS") == 0) {
      const std::string field = upper.substr(m, 2);
      int* target = field == "MM"   ? &t->month
                    : field == "DD" ? &t->day
                    : field == "HH" ? &t->hour
                    : field == "MI" ? &t->minute
                                    : &t->second;
      if (!read(2, target)) return false;
      m += 2;
    } else {
      if (p >= text.size() || text[p] != mask[m]) {
        // Oracle lets any separator stand for another.
        if (p >= text.size() || std::isalnum(static_cast<unsigned char>(text[p]))) return false;
      }
      ++p;
      ++m;
    }
  }
  while (p < text.size() && text[p] == ' ') ++p;
  return p == text.size() && SerialFromCivil(*t).has_value();
}

void ToDate(sqlite3_context* context, int argc, sqlite3_value** argv) {
  if (argc != 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
    sqlite3_result_null(context);
    return;
  }
  const std::string text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  const char* mask = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
  CivilTime t;
  if (mask == nullptr || !ParseByOracleMask(text, mask, &t)) {
    const std::string error = "TO_DATE: '" + text + "' does not match the format";
    sqlite3_result_error(context, error.c_str(), -1);
    return;
  }
  const std::string out = TimestampText(t);
  sqlite3_result_text(context, out.c_str(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

// A date stored as text: 'YYYY-MM-DD[ HH:MM[:SS]]' (also with '/' or 'T').

}  // namespace

void RegisterSqliteFunctions(sqlite3* db) {
  sqlite3_create_function(db, "GETDATE", 0, SQLITE_UTF8, nullptr, GetDate, nullptr, nullptr);
  sqlite3_create_function(db, "TO_DATE", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, ToDate,
                          nullptr, nullptr);
}

}  // namespace tmxcnh::db
