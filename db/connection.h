// A database connection behind the recordset, and the driver that opens it.
// Implementations: the embedded SQLite, ODBC (PostgreSQL here; SQL Server and
// Oracle in production) and, in tests, a scripted driver.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "db/statement.h"
#include "platform/variant.h"

namespace tmxcnh::db {

// One result set, fetched whole: its values row after row in one array, as
// many to a row as there are columns. Values: a NULL column is Null; whole
// numbers are Long (Double beyond its range); decimals Double; dates and times
// Date; everything else String.
struct ResultSet {
  std::vector<std::string> columns;
  std::vector<Variant> values;

  // Room for the values a statement answered the time before, up to a bound,
  // so that one large answer does not make every later call allocate as much.
  void ReserveLike(size_t values_last_time) {
    constexpr size_t kMaxReservedValues = 4096;
    values.reserve(std::min(values_last_time, kMaxReservedValues));
  }

  size_t row_count() const { return columns.empty() ? 0 : values.size() / columns.size(); }
  // The value of a row and column; out of range is std::out_of_range.
  const Variant& at(size_t row, size_t column) const {
    if (column >= columns.size()) throw std::out_of_range("ResultSet column");
    return values.at(row * columns.size() + column);
  }
};

enum class Engine { kSqlite, kPostgreSql, kSqlServer, kOracle, kOther };

class Connection {
 public:
  virtual ~Connection() = default;

  virtual Engine engine() const = 0;

  // Runs one statement (adapting it to the engine: a procedure call as the
  // engine runs procedures, the inline idioms as the engine writes them).
  // Returns the result set it answers, or nullopt when it answers none.
  // Raises RunTimeError with kErrStatementFailed and the engine's message.
  virtual std::optional<ResultSet> Execute(const Statement& statement) = 0;

  // Whether the connection can still serve a statement.
  virtual bool IsUsable() = 0;

  // Back to a fresh state: no open transaction, autocommit on, no session
  // state. Raises RunTimeError when that fails (the connection is then dropped).
  virtual void Reset() = 0;

  // One transaction over the statements that follow, until Commit or
  // Rollback; the connection commits each statement on its own otherwise.
  // On SQLite the transaction holds the database's write lock from the start.
  virtual void BeginTransaction() = 0;
  virtual void Commit() = 0;
  virtual void Rollback() = 0;
};

// The keys and values of a connection text ("Key=Value;Key=Value"), keys
// compared without case. A value may be braced, Driver={PostgreSQL Unicode},
// or quoted as ADO quotes it, Password="a;b" or 'a;b' (a doubled quote
// stands for itself).
class ConnectionText {
 public:
  explicit ConnectionText(std::string text);

  const std::string& text() const { return text_; }
  // The value of a key, without braces or quotes; "" when absent. The first
  // of two equal keys counts.
  std::string Get(const std::string& key) const;
  bool Has(const std::string& key) const;
  // The keys (upper-cased) and values, in the order written.
  const std::vector<std::pair<std::string, std::string>>& entries() const { return entries_; }

  // The ODBC connection text: an ODBC text as it stands; an ADO text (a
  // Provider, or ADO's names for the keys) turned into the ODBC text for the
  // driver that serves its provider. Raises RunTimeError (kErrConnectionFailed)
  // for a provider that no ODBC driver serves, naming it.
  std::string ForOdbc() const;

  // The text with every password replaced by ****, to be shown or logged.
  std::string Masked() const;

 private:
  std::string text_;
  std::vector<std::pair<std::string, std::string>> entries_;  // keys upper-cased
  std::vector<std::pair<size_t, size_t>> value_spans_;        // each value's place in text_
};

// The driver names that the ADO providers are served by: the environment's
// TMXCNH_SQLSERVER_DRIVER and TMXCNH_ORACLE_DRIVER, or this platform's usual
// drivers.
std::string SqlServerOdbcDriver();
std::string OracleOdbcDriver();

class Driver {
 public:
  virtual ~Driver() = default;
  // Raises RunTimeError with kErrConnectionFailed when no connection can be opened.
  virtual std::unique_ptr<Connection> Open(const ConnectionText& text) = 0;
};

}  // namespace tmxcnh::db
