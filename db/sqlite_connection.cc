#include "db/sqlite_connection.h"

#include <sqlite3.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "db/dialect.h"
#include "db/sqlite_functions.h"
#include "db/sqlite_procedures.h"
#include "db/sqlite_process.h"
#include "db/sqlite_values.h"
#include "platform/conversions.h"
#include "platform/run_time_error.h"

namespace tmxcnh::db {
namespace {

constexpr int kBusyTimeoutMs = 30000;
// Prepared statements kept per connection; past this many the cache starts again.
constexpr size_t kMaxCachedStatements = 256;

// A prepared statement with what is learnt of it once: its column names and
// the kinds of their values, and whether it only reads.
class Prepared {
 public:
  // tail, when given, points after the first statement of sql.
  Prepared(sqlite3* db, std::string_view sql, const char** tail = nullptr) {
    const int code = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()),
                                        SQLITE_PREPARE_PERSISTENT, &statement_, tail);
    if (code != SQLITE_OK) {
      throw RunTimeError(kErrStatementFailed, sqlite3_errmsg(db));
    }
    if (statement_ == nullptr) return;  // only blanks
    const int columns = sqlite3_column_count(statement_);
    for (int c = 0; c < columns; ++c) {
      names_.emplace_back(sqlite3_column_name(statement_, c));
      kinds_.push_back(SqliteColumnKindOf(sqlite3_column_decltype(statement_, c)));
    }
  }
  ~Prepared() { sqlite3_finalize(statement_); }
  Prepared(const Prepared&) = delete;
  Prepared& operator=(const Prepared&) = delete;

  sqlite3_stmt* get() const { return statement_; }
  bool read_only() const { return statement_ == nullptr || sqlite3_stmt_readonly(statement_); }

  // The first column of its single row as a whole number, for the
  // statements of every call that answer one number (no rows kept).
  int64_t RunForNumber(sqlite3* db) {
    if (sqlite3_step(statement_) != SQLITE_ROW) {
      const std::string message = sqlite3_errmsg(db);
      sqlite3_reset(statement_);
      throw RunTimeError(kErrStatementFailed, message);
    }
    const int64_t number = sqlite3_column_int64(statement_, 0);
    sqlite3_reset(statement_);
    return number;
  }

  // Steps it to its end (and back to the start, bindings cleared, whatever
  // happens); its rows when it has columns.
  std::optional<ResultSet> Run(sqlite3* db) {
    if (statement_ == nullptr) return std::nullopt;
    struct Rewind {
      sqlite3_stmt* statement;
      ~Rewind() {
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
      }
    } rewind{statement_};
    ResultSet result;
    result.columns = names_;
    // A statement tends to answer as many rows as it did the time before.
    result.ReserveLike(values_last_time_);
    const int columns = static_cast<int>(names_.size());
    for (;;) {
      const int code = sqlite3_step(statement_);
      if (code == SQLITE_DONE) break;
      if (code != SQLITE_ROW) throw RunTimeError(kErrStatementFailed, sqlite3_errmsg(db));
      for (int c = 0; c < columns; ++c) {
        result.values.push_back(SqliteColumnValue(statement_, c, kinds_[static_cast<size_t>(c)]));
      }
    }
    if (columns == 0) return std::nullopt;
    values_last_time_ = result.values.size();
    return result;
  }

 private:
  sqlite3_stmt* statement_ = nullptr;
  std::vector<std::string> names_;
  std::vector<SqliteColumnKind> kinds_;
  size_t values_last_time_ = 0;
};

// A procedure of the catalog, compiled once per connection while its
// catalog row stays as it was.
struct Procedure {
  struct Step {
    std::unique_ptr<Prepared> statement;
    std::vector<int> places;  // its ParameterPlaces
  };
  std::string declared;  // PARAMETERS and BODY as read, to notice a change
  std::vector<ProcedureParameter> parameters;
  std::vector<Step> steps;
  bool read_only = true;
  bool checked = false;  // against the catalog since the database last changed
};

class SqliteConnection : public Connection {
 public:
  explicit SqliteConnection(sqlite3* db) : db_(db) {
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    // The schema's references are keys here too, as on a server.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_ENABLE_FKEY, 1, nullptr);
    RegisterSqliteFunctions(db_);
  }
  ~SqliteConnection() override {
    procedures_.clear();
    cache_.clear();
    for (std::unique_ptr<Prepared>& prepared : fixed_) prepared.reset();
    sqlite3_close_v2(db_);
  }

  Engine engine() const override { return Engine::kSqlite; }

  std::optional<ResultSet> Execute(const Statement& statement) override {
    if (statement.call) return Call(*statement.call);
    if (statement.verbatim) return Prepared(db_, statement.text).Run(db_);
    return Cached(statement.text, /*adapt=*/true).Run(db_);
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
  void Exec(const char* sql) {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
      throw RunTimeError(kErrStatementFailed, sqlite3_errmsg(db_));
    }
  }

  // The statements of every procedure call, kept apart from the cache so that
  // finding them takes neither a string nor a hash.
  enum FixedStatement { kBegin, kBeginImmediate, kCommit, kDataVersion, kFixedStatements };

  Prepared& Fixed(FixedStatement which) {
    static constexpr const char* kTexts[] = {"BEGIN", "BEGIN IMMEDIATE", "COMMIT",
                                             "PRAGMA data_version"};
    std::unique_ptr<Prepared>& prepared = fixed_[which];
    if (!prepared) prepared = std::make_unique<Prepared>(db_, kTexts[which]);
    return *prepared;
  }

  // The statement prepared for a text (the component's inline SQL, adapted to
  // SQLite's idioms when adapt is set), found again by that text.
  Prepared& Cached(const std::string& text, bool adapt = false) {
    auto it = cache_.find(text);
    if (it != cache_.end()) return *it->second;
    if (cache_.size() >= kMaxCachedStatements) cache_.clear();
    auto prepared =
        std::make_unique<Prepared>(db_, adapt ? AdaptInlineSql(text, Engine::kSqlite) : text);
    return *cache_.emplace(text, std::move(prepared)).first->second;
  }

  // A call runs the body's statements in order and answers the rows of the
  // last that has columns. The catalog check and a body that only reads share
  // one read transaction (one lock cycle for the call, one snapshot); a body
  // that writes holds the write lock from the start (BEGIN IMMEDIATE).
  std::optional<ResultSet> Call(const ProcedureCall& call) {
    const bool own_transaction = sqlite3_get_autocommit(db_) != 0;
    if (own_transaction) Fixed(kBegin).Run(db_);
    try {
      Procedure& procedure = Compiled(call.name);
      if (procedure.parameters.size() != call.arguments.size()) {
        throw RunTimeError(kErrStatementFailed,
                           "Procedure or function '" + call.name + "' expects " +
                               std::to_string(procedure.parameters.size()) + " parameters, " +
                               std::to_string(call.arguments.size()) + " were supplied.");
      }
      for (size_t i = 0; i < procedure.parameters.size(); ++i) {
        CheckProcedureArgument(procedure.parameters[i], call.arguments[i]);
      }
      if (own_transaction && !procedure.read_only) {
        Fixed(kCommit).Run(db_);
        Fixed(kBeginImmediate).Run(db_);
      }
      std::optional<ResultSet> answer;
      for (const Procedure::Step& step : procedure.steps) {
        BindProcedureArguments(step.statement->get(), procedure.parameters, step.places,
                               call.arguments);
        if (std::optional<ResultSet> result = step.statement->Run(db_)) answer = std::move(result);
      }
      if (own_transaction) Fixed(kCommit).Run(db_);
      return answer;
    } catch (...) {
      if (own_transaction && !sqlite3_get_autocommit(db_)) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
      }
      throw;
    }
  }

  // The procedure as compiled for this connection. Its catalog row is read
  // again only when another connection has changed the database since the
  // last reading (PRAGMA data_version), as a reinstall of the procedures does.
  Procedure& Compiled(const std::string& name) {
    const int64_t data_version = Fixed(kDataVersion).RunForNumber(db_);
    if (data_version != checked_version_) {
      for (auto& [known, procedure] : procedures_) procedure.checked = false;
      checked_version_ = data_version;
    }
    auto known = procedures_.find(name);
    if (known != procedures_.end() && known->second.checked) return known->second;
    Prepared& lookup = Cached(
        "SELECT PARAMETERS || ';' || BODY, PARAMETERS, BODY "
        "FROM TMX_PROCEDURE WHERE NAME = ?");
    sqlite3_bind_text(lookup.get(), 1, name.c_str(), static_cast<int>(name.size()),
                      SQLITE_TRANSIENT);
    std::optional<ResultSet> row = lookup.Run(db_);
    if (!row || row->values.empty()) {
      throw RunTimeError(kErrStatementFailed, "Could not find stored procedure '" + name + "'.");
    }
    const std::string declared = ToText(row->at(0, 0));
    Procedure& procedure = procedures_[name];
    procedure.checked = true;
    if (procedure.declared == declared && !procedure.steps.empty()) return procedure;
    procedure = Procedure{};
    procedure.checked = true;
    procedure.parameters = ParseProcedureParameters(ToText(row->at(0, 1)));
    const std::string body = ToText(row->at(0, 2));
    const char* next = body.c_str();
    while (*next) {
      const char* tail = nullptr;
      auto statement = std::make_unique<Prepared>(db_, next, &tail);
      next = tail;
      if (statement->get() == nullptr) continue;
      procedure.read_only = procedure.read_only && statement->read_only();
      std::vector<int> places = ParameterPlaces(statement->get(), procedure.parameters);
      procedure.steps.push_back({std::move(statement), std::move(places)});
    }
    procedure.declared = declared;
    return procedure;
  }

  sqlite3* db_;
  std::unique_ptr<Prepared> fixed_[kFixedStatements];
  std::unordered_map<std::string, std::unique_ptr<Prepared>> cache_;
  std::unordered_map<std::string, Procedure> procedures_;
  int64_t checked_version_ = -1;
};

std::unique_ptr<Connection> Open(const std::string& path, int flags) {
  ConfigureSqliteForThreads();
  sqlite3* db = nullptr;
  const int code = sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
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
