// A database connection behind the recordset, and the driver that opens it.
// Implementations: the embedded SQLite, ODBC (PostgreSQL here; SQL Server and
// Oracle in production) and, in tests, a scripted driver.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/statement.h"
#include "platform/variant.h"

namespace tmxcnh::db {

// One result set, fetched whole. Values: a NULL column is Null; whole numbers
// are Long (Double beyond its range); decimals Double; dates and times Date;
// everything else String.
struct ResultSet {
  std::vector<std::string> columns;
  std::vector<std::vector<Variant>> rows;
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
// compared without case. A value may be braced: Driver={PostgreSQL Unicode}.
class ConnectionText {
 public:
  explicit ConnectionText(std::string text);

  const std::string& text() const { return text_; }
  // The value of a key, without braces; "" when absent.
  std::string Get(const std::string& key) const;
  bool Has(const std::string& key) const;
  // The text without a leading "Provider=MSDASQL;", as ODBC takes it.
  std::string ForOdbc() const;

 private:
  std::string text_;
  std::map<std::string, std::string> values_;  // keys upper-cased
};

class Driver {
 public:
  virtual ~Driver() = default;
  // Raises RunTimeError with kErrConnectionFailed when no connection can be opened.
  virtual std::unique_ptr<Connection> Open(const ConnectionText& text) = 0;
};

}  // namespace tmxcnh::db
