#include "db/sqlite_connection.h"

#include <sqlite3.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "db/dialect.h"
#include "platform/clock.h"
#include "platform/date_serial.h"
#include "platform/run_time_error.h"
#include "platform/text.h"

namespace tmxcnh::db {
namespace {

constexpr int kBusyTimeoutMs = 30000;

std::string TimestampText(const CivilTime& t) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return buffer;
}

// A procedure's parameter as the catalog declares it.
struct Parameter {
  std::string name;
  std::string type;  // INTEGER, NUMERIC, VARCHAR, TIMESTAMP, or empty: as the value comes
};

// The whole number a literal spells in 64 bits, if it spells one.
std::optional<int64_t> WholeNumber(const std::string& value) {
  if (value.empty() || value.find('.') != std::string::npos) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const long long whole = std::strtoll(value.c_str(), &end, 10);
  if (errno == ERANGE || end == value.c_str() || *end != '\0') return std::nullopt;
  return whole;
}

// Refuses a value its parameter's type cannot hold, in the words of a typed
// server, before anything runs.
void CheckType(const Parameter& parameter, const SqlLiteral& argument) {
  if (argument.kind == SqlLiteral::Kind::kNull) return;
  if (parameter.type == "INTEGER") {
    const std::optional<int64_t> whole = WholeNumber(argument.value);
    if (!whole) {
      throw RunTimeError(kErrStatementFailed,
                         "invalid input syntax for type integer: \"" + argument.value + "\"");
    }
    if (*whole < INT32_MIN || *whole > INT32_MAX) {
      throw RunTimeError(kErrStatementFailed,
                         "value \"" + argument.value + "\" is out of range for type integer");
    }
  } else if (parameter.type == "NUMERIC" && argument.kind == SqlLiteral::Kind::kText) {
    char* end = nullptr;
    std::strtod(argument.value.c_str(), &end);
    if (argument.value.empty() || *end != '\0') {
      throw RunTimeError(kErrStatementFailed,
                         "invalid input syntax for type numeric: \"" + argument.value + "\"");
    }
  }
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
std::optional<double> DateFromText(const char* text) {
  CivilTime t;
  t.hour = t.minute = t.second = 0;
  char s1 = 0, s2 = 0;
  const int n = std::sscanf(text, "%4d%c%2d%c%2d%*[ T]%2d:%2d:%2d", &t.year, &s1, &t.month, &s2,
                            &t.day, &t.hour, &t.minute, &t.second);
  if (n < 5 || s1 != s2 || (s1 != '-' && s1 != '/')) return std::nullopt;
  return SerialFromCivil(t);
}

bool LooksLikeTimestamp(const char* text) {
  const size_t length = std::strlen(text);
  return (length == 10 || length == 19) && text[4] == '-' && text[7] == '-' &&
         DateFromText(text).has_value();
}

Variant IntegerValue(sqlite3_int64 value) {
  if (value >= INT32_MIN && value <= INT32_MAX) return Variant::Long(static_cast<int32_t>(value));
  return Variant::Double(static_cast<double>(value));
}

// A column's value, by its declared type first and its stored class second.
Variant ColumnValue(sqlite3_stmt* statement, int column) {
  const int stored = sqlite3_column_type(statement, column);
  if (stored == SQLITE_NULL) return Variant::Null();
  const char* declared_raw = sqlite3_column_decltype(statement, column);
  const std::string declared = declared_raw ? text::UpperAscii(declared_raw) : "";
  const auto text = [&] {
    const unsigned char* raw = sqlite3_column_text(statement, column);
    return std::string(reinterpret_cast<const char*>(raw),
                       static_cast<size_t>(sqlite3_column_bytes(statement, column)));
  };
  if (declared.find("DATE") != std::string::npos || declared.find("TIME") != std::string::npos) {
    if (stored == SQLITE_TEXT) {
      const std::string value = text();
      if (std::optional<double> serial = DateFromText(value.c_str())) return Variant::Date(*serial);
      return Variant::String(value);
    }
    return Variant::Date(sqlite3_column_double(statement, column));
  }
  if (declared.find("INT") != std::string::npos && stored == SQLITE_INTEGER) {
    return IntegerValue(sqlite3_column_int64(statement, column));
  }
  if ((declared.find("NUM") != std::string::npos || declared.find("DEC") != std::string::npos ||
       declared.find("REAL") != std::string::npos || declared.find("FLOA") != std::string::npos ||
       declared.find("DOUB") != std::string::npos) &&
      (stored == SQLITE_INTEGER || stored == SQLITE_FLOAT)) {
    return Variant::Double(sqlite3_column_double(statement, column));
  }
  switch (stored) {
    case SQLITE_INTEGER:
      return IntegerValue(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT:
      return Variant::Double(sqlite3_column_double(statement, column));
    default: {
      const std::string value = text();
      // An expression such as GETDATE() has no declared type: its timestamp is a date.
      if (declared.empty() && LooksLikeTimestamp(value.c_str())) {
        return Variant::Date(*DateFromText(value.c_str()));
      }
      return Variant::String(value);
    }
  }
}

class StatementHandle {
 public:
  StatementHandle() = default;
  ~StatementHandle() { sqlite3_finalize(handle_); }
  StatementHandle(const StatementHandle&) = delete;
  StatementHandle& operator=(const StatementHandle&) = delete;
  sqlite3_stmt** out() { return &handle_; }
  sqlite3_stmt* get() const { return handle_; }

 private:
  sqlite3_stmt* handle_ = nullptr;
};

class SqliteConnection : public Connection {
 public:
  explicit SqliteConnection(sqlite3* db) : db_(db) {
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    sqlite3_create_function(db_, "GETDATE", 0, SQLITE_UTF8, nullptr, GetDate, nullptr, nullptr);
    sqlite3_create_function(db_, "TO_DATE", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, ToDate,
                            nullptr, nullptr);
  }
  ~SqliteConnection() override { sqlite3_close_v2(db_); }

  Engine engine() const override { return Engine::kSqlite; }

  std::optional<ResultSet> Execute(const Statement& statement) override {
    if (statement.call) return Call(*statement.call);
    const std::string sql =
        statement.verbatim ? statement.text : AdaptInlineSql(statement.text, Engine::kSqlite);
    const char* tail = nullptr;
    StatementHandle prepared;
    Check(
        sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), prepared.out(), &tail));
    return Run(prepared.get());
  }

  bool IsUsable() override { return db_ != nullptr; }

  void Reset() override {
    if (!sqlite3_get_autocommit(db_)) Exec("ROLLBACK");
  }

  void BeginTransaction() override { Exec("BEGIN IMMEDIATE"); }
  void Commit() override { Exec("COMMIT"); }
  void Rollback() override {
    if (!sqlite3_get_autocommit(db_)) Exec("ROLLBACK");
  }

  void RunScript(const std::string& script) {
    char* error = nullptr;
    if (sqlite3_exec(db_, script.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      const std::string message = error ? error : sqlite3_errmsg(db_);
      sqlite3_free(error);
      throw RunTimeError(kErrStatementFailed, message);
    }
  }

 private:
  void Check(int code) {
    if (code != SQLITE_OK && code != SQLITE_ROW && code != SQLITE_DONE) {
      throw RunTimeError(kErrStatementFailed, sqlite3_errmsg(db_));
    }
  }

  void Exec(const char* sql) { Check(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr)); }

  // Steps a prepared statement to its end; its rows when it has columns.
  std::optional<ResultSet> Run(sqlite3_stmt* statement) {
    if (statement == nullptr) return std::nullopt;  // only blanks
    const int columns = sqlite3_column_count(statement);
    ResultSet result;
    for (int c = 0; c < columns; ++c) result.columns.push_back(sqlite3_column_name(statement, c));
    for (;;) {
      const int code = sqlite3_step(statement);
      if (code == SQLITE_DONE) break;
      Check(code);
      std::vector<Variant> row;
      row.reserve(static_cast<size_t>(columns));
      for (int c = 0; c < columns; ++c) row.push_back(ColumnValue(statement, c));
      result.rows.push_back(std::move(row));
    }
    if (columns == 0) return std::nullopt;
    return result;
  }

  std::optional<ResultSet> Call(const ProcedureCall& call) {
    std::vector<Parameter> parameters;
    std::string body;
    LookUp(call.name, &parameters, &body);
    if (parameters.size() != call.arguments.size()) {
      throw RunTimeError(kErrStatementFailed,
                         "Procedure or function '" + call.name + "' expects " +
                             std::to_string(parameters.size()) + " parameters, " +
                             std::to_string(call.arguments.size()) + " were supplied.");
    }
    for (size_t i = 0; i < parameters.size(); ++i) CheckType(parameters[i], call.arguments[i]);
    Exec("BEGIN IMMEDIATE");
    try {
      std::optional<ResultSet> answer;
      const char* next = body.c_str();
      while (*next) {
        StatementHandle prepared;
        const char* tail = nullptr;
        Check(sqlite3_prepare_v2(db_, next, -1, prepared.out(), &tail));
        next = tail;
        if (prepared.get() == nullptr) continue;
        Bind(prepared.get(), parameters, call.arguments);
        if (std::optional<ResultSet> result = Run(prepared.get())) answer = std::move(result);
      }
      Exec("COMMIT");
      return answer;
    } catch (...) {
      sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
      throw;
    }
  }

  void LookUp(const std::string& name, std::vector<Parameter>* parameters, std::string* body) {
    StatementHandle query;
    Check(sqlite3_prepare_v2(db_, "SELECT PARAMETERS, BODY FROM TMX_PROCEDURE WHERE NAME = ?", -1,
                             query.out(), nullptr));
    sqlite3_bind_text(query.get(), 1, name.c_str(), static_cast<int>(name.size()),
                      SQLITE_TRANSIENT);
    const int code = sqlite3_step(query.get());
    if (code != SQLITE_ROW) {
      Check(code);
      throw RunTimeError(kErrStatementFailed, "Could not find stored procedure '" + name + "'.");
    }
    const std::string list = reinterpret_cast<const char*>(sqlite3_column_text(query.get(), 0));
    *body = reinterpret_cast<const char*>(sqlite3_column_text(query.get(), 1));
    size_t start = 0;
    while (start < list.size()) {
      size_t comma = list.find(',', start);
      if (comma == std::string::npos) comma = list.size();
      const std::string declared = text::Trim(list.substr(start, comma - start));
      if (!declared.empty()) {
        const size_t blank = declared.find(' ');
        Parameter parameter{declared.substr(0, blank), ""};
        if (blank != std::string::npos) {
          parameter.type = text::UpperAscii(text::Trim(declared.substr(blank + 1)));
        }
        parameters->push_back(std::move(parameter));
      }
      start = comma + 1;
    }
  }

  void Bind(sqlite3_stmt* statement, const std::vector<Parameter>& parameters,
            const std::vector<SqlLiteral>& arguments) {
    for (size_t i = 0; i < parameters.size(); ++i) {
      const int index = sqlite3_bind_parameter_index(statement, (":" + parameters[i].name).c_str());
      if (index == 0) continue;  // this statement does not use it
      const SqlLiteral& argument = arguments[i];
      const std::string& type = parameters[i].type;
      const bool as_text = type == "VARCHAR" || type == "TIMESTAMP" ||
                           (type.empty() && argument.kind == SqlLiteral::Kind::kText);
      if (argument.kind == SqlLiteral::Kind::kNull) {
        sqlite3_bind_null(statement, index);
      } else if (as_text) {
        sqlite3_bind_text(statement, index, argument.value.c_str(),
                          static_cast<int>(argument.value.size()), SQLITE_TRANSIENT);
      } else if (std::optional<int64_t> whole = WholeNumber(argument.value)) {
        sqlite3_bind_int64(statement, index, *whole);
      } else {
        sqlite3_bind_double(statement, index, std::strtod(argument.value.c_str(), nullptr));
      }
    }
  }

  sqlite3* db_;
};

std::unique_ptr<Connection> Open(const std::string& path, int flags) {
  sqlite3* db = nullptr;
  const int code = sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_FULLMUTEX, nullptr);
  if (code != SQLITE_OK) {
    const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    sqlite3_close_v2(db);
    throw RunTimeError(kErrConnectionFailed, "SQLite: " + message + " (" + path + ")");
  }
  return std::make_unique<SqliteConnection>(db);
}

class SqliteDriver : public Driver {
 public:
  std::unique_ptr<Connection> Open(const ConnectionText& text) override {
    const std::string path = text.Get("Database");
    if (path.empty())
      throw RunTimeError(kErrConnectionFailed, "SQLite: no Database in the connection text");
    return db::Open(path, SQLITE_OPEN_READWRITE);
  }
};

}  // namespace

std::shared_ptr<Driver> MakeSqliteDriver() { return std::make_shared<SqliteDriver>(); }

std::unique_ptr<Connection> OpenSqliteForCreate(const std::string& path) {
  return Open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

void RunSqliteScript(Connection& connection, const std::string& script) {
  static_cast<SqliteConnection&>(connection).RunScript(script);
}

}  // namespace tmxcnh::db
