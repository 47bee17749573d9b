#include "db/odbc_connection.h"

#ifdef _WIN32
#include <windows.h>  // the ODBC headers take their basic types from here
#endif
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "db/dialect.h"
#include "db/odbc_values.h"
#include "platform/run_time_error.h"
#include "platform/text.h"

namespace tmxcnh::db {
namespace {

// An ODBC handle, freed when it goes out of scope. A connection handle is
// disconnected first (a no-op when it never connected): the driver manager
// refuses to free a connected one.
class Handle {
 public:
  Handle(SQLSMALLINT type, SQLHANDLE handle) : type_(type), handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (type_ == SQL_HANDLE_DBC) SQLDisconnect(handle_);
    SQLFreeHandle(type_, handle_);
  }

  SQLSMALLINT type() const { return type_; }
  SQLHANDLE get() const { return handle_; }

 private:
  SQLSMALLINT type_;
  SQLHANDLE handle_;
};

struct Diagnostics {
  std::string text;              // every record's message, in order
  bool connection_lost = false;  // some record of SQLSTATE class 08
};

std::string Trimmed(std::string text) {
  const auto end = text.find_last_not_of(" \t\r\n");
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text;
}

Diagnostics ReadDiagnostics(SQLSMALLINT type, SQLHANDLE handle) {
  Diagnostics diagnostics;
  for (SQLSMALLINT record = 1;; ++record) {
    SQLWCHAR state[6] = {};
    SQLINTEGER native_error = 0;
    WideString message(512, 0);
    SQLSMALLINT length = 0;
    SQLRETURN rc = SQLGetDiagRecW(type, handle, record, state, &native_error, message.data(),
                                  static_cast<SQLSMALLINT>(message.size()), &length);
    if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
      message.assign(static_cast<size_t>(length) + 1, 0);
      rc = SQLGetDiagRecW(type, handle, record, state, &native_error, message.data(),
                          static_cast<SQLSMALLINT>(message.size()), &length);
    }
    if (!SQL_SUCCEEDED(rc)) break;
    message.resize(
        std::min(static_cast<size_t>(std::max<SQLSMALLINT>(length, 0)), message.size() - 1));
    if (state[0] == '0' && state[1] == '8') diagnostics.connection_lost = true;
    const std::string text = Trimmed(ToUtf8(message));
    if (text.empty()) continue;
    if (!diagnostics.text.empty()) diagnostics.text += "\n";
    diagnostics.text += text;
  }
  return diagnostics;
}

std::string DescriptionOf(const Diagnostics& diagnostics, std::string_view failed_call) {
  if (!diagnostics.text.empty()) return diagnostics.text;
  return std::string(failed_call) + " falhou sem diagnóstico";
}

std::shared_ptr<const Handle> NewEnvironment() {
  // Process-wide, and before the first environment exists: our own pool
  // decides when a connection is reused, and Reset() relies on that.
  SQLSetEnvAttr(SQL_NULL_HENV, SQL_ATTR_CONNECTION_POOLING,
                reinterpret_cast<SQLPOINTER>(static_cast<uintptr_t>(SQL_CP_OFF)), SQL_IS_UINTEGER);
  SQLHANDLE raw = SQL_NULL_HANDLE;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &raw))) {
    throw RunTimeError(kErrConnectionFailed,
                       "O gerenciador de drivers ODBC não alocou um ambiente");
  }
  auto environment = std::make_shared<const Handle>(SQL_HANDLE_ENV, raw);
  // ODBC 3 behaviour: the SQL_TYPE_DATE family of type codes, SQLSTATEs of 3.x.
  const SQLRETURN rc =
      SQLSetEnvAttr(raw, SQL_ATTR_ODBC_VERSION,
                    reinterpret_cast<SQLPOINTER>(static_cast<uintptr_t>(SQL_OV_ODBC3)), 0);
  if (!SQL_SUCCEEDED(rc)) {
    throw RunTimeError(kErrConnectionFailed,
                       DescriptionOf(ReadDiagnostics(SQL_HANDLE_ENV, raw), "SQLSetEnvAttr"));
  }
  return environment;
}

// Long values come in pieces; the size of one piece, in characters.
constexpr size_t kPieceLength = 4096;

// The first word of a statement, upper-cased.
std::string FirstWord(std::string_view sql) {
  const size_t start = sql.find_first_not_of(" \t\r\n(");
  if (start == std::string_view::npos) return "";
  return text::UpperAscii(sql.substr(start, 6));
}

// Whether a statement only reads or writes rows (SELECT, INSERT, UPDATE,
// DELETE), as every statement the component composes does, rather than
// touching the session.
bool ReadsOrWritesRows(std::string_view sql) {
  const std::string word = FirstWord(sql);
  return word.empty() || word == "SELECT" || word == "INSERT" || word == "UPDATE" ||
         word == "DELETE";
}

// Whether running a statement a second time changes nothing: a query that
// takes no number from a sequence.
bool CanRunTwice(std::string_view sql) {
  return FirstWord(sql) == "SELECT" && text::UpperAscii(sql).find("NEXTVAL") == std::string::npos;
}

// A block holds at most this many rows, and at most kBlockUnits characters.
constexpr size_t kMaxBlockRows = 64;
constexpr size_t kBlockUnits = 32768;

// A block of rows that a prepared statement's columns stay bound to from one
// execution to the next: each fetch fills a block. The block unbinds them and
// puts the statement back to a row at a time before its buffers go.
class Block {
 public:
  // row_room: the rooms of the plans, added up. utf8: the values come as
  // narrow text in UTF-8 (a room's bytes are the same as its wide units',
  // which hold a character of four bytes as well as one of two units).
  Block(SQLHANDLE statement, const std::vector<ColumnPlan>& plans, size_t row_room, bool utf8)
      : statement_(statement),
        rows_(std::clamp<size_t>(kBlockUnits / row_room, 1, kMaxBlockRows)),
        utf8_(utf8) {
    values_.resize(rows_ * row_room);
    longs_.resize(rows_ * plans.size());
    indicators_.resize(rows_ * plans.size());
    statuses_.resize(rows_);
    SetAttribute(SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(rows_));
    SetAttribute(SQL_ATTR_ROWS_FETCHED_PTR, &fetched_);
    SetAttribute(SQL_ATTR_ROW_STATUS_PTR, statuses_.data());
    // Column by column: a column's values, then the next column's.
    for (size_t c = 0, start = 0; ok_ && c < plans.size(); start += rows_ * plans[c].room, ++c) {
      starts_.push_back(start);
      rooms_.push_back(plans[c].room);
      const auto column = static_cast<SQLUSMALLINT>(c + 1);
      ok_ = SQL_SUCCEEDED(plans[c].fetched_as_long
                              ? SQLBindCol(statement, column, SQL_C_SLONG, &longs_[c * rows_],
                                           sizeof(SQLINTEGER), &indicators_[c * rows_])
                              : SQLBindCol(statement, column, utf8 ? SQL_C_CHAR : SQL_C_WCHAR,
                                           &values_[start],
                                           static_cast<SQLLEN>(plans[c].room * sizeof(SQLWCHAR)),
                                           &indicators_[c * rows_]));
    }
  }
  Block(const Block&) = delete;
  Block& operator=(const Block&) = delete;
  ~Block() {
    SQLFreeStmt(statement_, SQL_UNBIND);
    SetAttribute(SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(1));
    SetAttribute(SQL_ATTR_ROWS_FETCHED_PTR, nullptr);
    SetAttribute(SQL_ATTR_ROW_STATUS_PTR, nullptr);
  }

  // Whether the driver took the settings and the bindings.
  bool ok() const { return ok_; }
  // The rows the last fetch filled.
  size_t fetched() const { return static_cast<size_t>(fetched_); }
  bool Failed(size_t row) const { return statuses_[row] == SQL_ROW_ERROR; }
  // Column c of a row: its length in bytes, SQL_NULL_DATA, or more than its
  // room can hold when the value did not fit.
  SQLLEN Indicator(size_t c, size_t row) const { return indicators_[c * rows_ + row]; }
  bool Fits(size_t c, SQLLEN indicator) const {
    return indicator >= 0 && indicator < static_cast<SQLLEN>(rooms_[c] * sizeof(SQLWCHAR));
  }
  // Column c of a row that fitted, as the Variant of its kind.
  Variant Value(size_t c, size_t row, ColumnKind kind, SQLLEN indicator) const {
    const SQLWCHAR* value = &values_[starts_[c] + row * rooms_[c]];
    const auto bytes = static_cast<size_t>(indicator);
    if (!utf8_) return ToVariant(kind, value, bytes / sizeof(SQLWCHAR));
    return ToVariant(kind, std::string_view(reinterpret_cast<const char*>(value), bytes));
  }
  // Column c of a row, of a column fetched as a number.
  SQLINTEGER Long(size_t c, size_t row) const { return longs_[c * rows_ + row]; }

 private:
  void SetAttribute(SQLINTEGER attribute, SQLPOINTER value) {
    ok_ = SQL_SUCCEEDED(SQLSetStmtAttrW(statement_, attribute, value, 0)) && ok_;
  }

  SQLHANDLE statement_;
  size_t rows_;
  bool utf8_;
  bool ok_ = true;
  SQLULEN fetched_ = 0;
  std::vector<SQLWCHAR> values_;
  std::vector<SQLINTEGER> longs_;  // a column's rows, then the next column's
  std::vector<SQLLEN> indicators_;
  std::vector<SQLUSMALLINT> statuses_;
  std::vector<size_t> starts_;  // where each column's values begin
  std::vector<size_t> rooms_;
};

// The columns of a statement's answer, how each is read and, once its rows
// have been read a block at a time, the block they are bound to.
struct Shape {
  std::vector<std::string> columns;
  std::vector<ColumnPlan> plans;
  std::unique_ptr<Block> block;
  // A statement tends to answer as many rows as it did the time before.
  size_t values_last_time = 0;
};

// Statements kept prepared per connection; past this many the cache starts again.
constexpr size_t kMaxPreparedStatements = 128;

class OdbcConnection : public Connection {
 public:
  OdbcConnection(std::shared_ptr<const Handle> environment, std::unique_ptr<Handle> connection)
      : environment_(std::move(environment)), connection_(std::move(connection)) {
    engine_ = DetectEngine();
    utf8_text_ = engine_ == Engine::kPostgreSql && DeliversUtf8Text();
  }

  OdbcConnection(const OdbcConnection&) = delete;
  OdbcConnection& operator=(const OdbcConnection&) = delete;
  ~OdbcConnection() override = default;

  Engine engine() const override { return engine_; }

  std::optional<ResultSet> Execute(const Statement& statement) override {
    try {
      // The component's statements are found again by the text it wrote,
      // before any adaptation to the engine.
      if (!statement.verbatim) {
        const auto prepared = prepared_.find(statement.text);
        if (prepared != prepared_.end()) return RunPrepared(prepared);
      }
      std::string sql;
      bool session = statement.verbatim;
      bool can_run_twice = false;
      if (statement.call && engine_ == Engine::kPostgreSql) {
        sql = PostgresCallText(*statement.call);
        can_run_twice = OnlyReads(statement.call->name);
      } else if (statement.call || statement.verbatim) {
        // An exec as the engine takes it; administration and locks, which may
        // touch the session, as written.
        sql = statement.text;
      } else {
        sql = AdaptInlineSql(statement.text, engine_);
        session = !ReadsOrWritesRows(sql);  // SET, BEGIN, CREATE TEMP, PREPARE...
        can_run_twice = CanRunTwice(sql);
      }
      if (session) {
        dirty_ = true;
        return Run(sql, kErrStatementFailed);
      }
      return RunPrepared(Prepare(statement.text, sql, can_run_twice));
    } catch (...) {
      dirty_ = true;
      throw;
    }
  }

  bool IsUsable() override {
    if (broken_) return false;
    // Zeroed and wide: some drivers write 32 bits of it, some 64.
    SQLULEN dead = 0;
    const SQLRETURN rc =
        SQLGetConnectAttrW(connection_->get(), SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
    // A driver that cannot tell leaves it to the failures of its statements.
    return !(SQL_SUCCEEDED(rc) && dead == SQL_CD_TRUE);
  }

  // Only a connection whose lease changed its session (a transaction, a
  // statement of its own, a failure) goes through the reset's round trips.
  void Reset() override {
    if (broken_) throw RunTimeError(kErrConnectionFailed, "A conexão com o servidor foi perdida");
    if (!dirty_) return;
    Check(SQLEndTran(SQL_HANDLE_DBC, connection_->get(), SQL_ROLLBACK), *connection_,
          kErrConnectionFailed, "SQLEndTran");
    Check(
        SQLSetConnectAttrW(connection_->get(), SQL_ATTR_AUTOCOMMIT,
                           reinterpret_cast<SQLPOINTER>(static_cast<uintptr_t>(SQL_AUTOCOMMIT_ON)),
                           SQL_IS_UINTEGER),
        *connection_, kErrConnectionFailed, "SQLSetConnectAttrW");
    // Settings, temporary tables, prepared statements, advisory locks: the
    // next borrower must not inherit the previous one's session.
    // DISCARD ALL also undoes the driver's own session settings: dates must
    // come back in ISO form, whatever the database's default DateStyle.
    prepared_.clear();
    if (engine_ == Engine::kPostgreSql) {
      Run("DISCARD ALL", kErrConnectionFailed);
      Run("SET DateStyle = 'ISO, MDY'", kErrConnectionFailed);
    }
    dirty_ = false;
  }

  void BeginTransaction() override {
    dirty_ = true;
    SetAutocommit(false);
  }

  void Commit() override { EndTransaction(SQL_COMMIT); }

  void Rollback() override { EndTransaction(SQL_ROLLBACK); }

 private:
  void SetAutocommit(bool on) {
    const uintptr_t value = on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF;
    Check(SQLSetConnectAttrW(connection_->get(), SQL_ATTR_AUTOCOMMIT,
                             reinterpret_cast<SQLPOINTER>(value), SQL_IS_UINTEGER),
          *connection_, kErrStatementFailed, "SQLSetConnectAttrW");
  }

  void EndTransaction(SQLSMALLINT completion) {
    Check(SQLEndTran(SQL_HANDLE_DBC, connection_->get(), completion), *connection_,
          kErrStatementFailed, "SQLEndTran");
    SetAutocommit(true);
  }

  Engine DetectEngine() {
    SQLWCHAR name[256] = {};
    SQLSMALLINT length = 0;
    Check(SQLGetInfoW(connection_->get(), SQL_DBMS_NAME, name,
                      static_cast<SQLSMALLINT>(sizeof name), &length),
          *connection_, kErrConnectionFailed, "SQLGetInfoW");
    const size_t characters =
        std::min<size_t>(std::max<SQLSMALLINT>(length, 0) / sizeof(SQLWCHAR), std::size(name) - 1);
    const std::string dbms = ToUtf8(name, characters);
    if (dbms.find("PostgreSQL") != std::string::npos) return Engine::kPostgreSql;
    if (dbms.find("SQL Server") != std::string::npos) return Engine::kSqlServer;
    if (dbms.find("Oracle") != std::string::npos) return Engine::kOracle;
    return Engine::kOther;
  }

  // Whether the driver hands text over as the UTF-8 the server sent when it is
  // asked for narrow text. psqlODBC does so where the process's locale is
  // UTF-8 (it reads the locale as it connects; elsewhere it converts to the
  // locale's characters, or fails): there a block's text is fetched narrow,
  // which spares the driver a conversion to UTF-16 and us one back. A server
  // whose encoding is UTF8 keeps every text valid UTF-8.
  bool DeliversUtf8Text() {
    SQLHANDLE raw = SQL_NULL_HANDLE;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection_->get(), &raw))) return false;
    const Handle statement(SQL_HANDLE_STMT, raw);
    const std::string probe = "a\xC3\xA3\xE2\x82\xAC\xF0\x9F\x98\x80";  // aã€😀
    WideString sql = ToUtf16("SELECT '" + probe + "', current_setting('server_encoding')");
    const auto narrow = [&](SQLUSMALLINT column) -> std::optional<std::string> {
      char value[32] = {};
      SQLLEN length = 0;
      if (SQLGetData(raw, column, SQL_C_CHAR, value, sizeof value, &length) != SQL_SUCCESS ||
          length < 0) {
        return std::nullopt;
      }
      return std::string(value, static_cast<size_t>(length));
    };
    return SQL_SUCCEEDED(SQLExecDirectW(raw, sql.data(), static_cast<SQLINTEGER>(sql.size()))) &&
           SQL_SUCCEEDED(SQLFetch(raw)) && narrow(1) == probe && narrow(2) == "UTF8";
  }

  // Raises on a failed call, after noting whether it lost the connection.
  void Check(SQLRETURN rc, const Handle& handle, int32_t error_number, std::string_view function) {
    if (SQL_SUCCEEDED(rc)) return;
    const Diagnostics diagnostics = ReadDiagnostics(handle.type(), handle.get());
    if (diagnostics.connection_lost) broken_ = true;
    throw RunTimeError(error_number, DescriptionOf(diagnostics, function));
  }

  // Whether a PostgreSQL function cannot change the database: every function
  // of the name is STABLE or IMMUTABLE (the server refuses a write inside
  // one). Asked once per connection and name.
  bool OnlyReads(const std::string& function) {
    const auto known = only_reads_.find(function);
    if (known != only_reads_.end()) return known->second;
    std::optional<ResultSet> answer;
    try {
      answer =
          Run("SELECT CAST(bool_and(provolatile <> 'v') AS integer) FROM pg_proc "
              "WHERE proname = lower(" +
                  QuotedSqlText(function) + ")",
              kErrStatementFailed);
    } catch (const RunTimeError&) {
      return false;  // the call itself will say what is wrong
    }
    const bool only_reads =
        answer && answer->values.size() == 1 && answer->values[0] == Variant::Long(1);
    only_reads_.emplace(function, only_reads);
    return only_reads;
  }

  // Runs a statement of the session's own on a statement handle of its own.
  std::optional<ResultSet> Run(const std::string& sql, int32_t error_number) {
    SQLHANDLE raw = SQL_NULL_HANDLE;
    Check(SQLAllocHandle(SQL_HANDLE_STMT, connection_->get(), &raw), *connection_, error_number,
          "SQLAllocHandle");
    const Handle statement(SQL_HANDLE_STMT, raw);
    WideString text = ToUtf16(sql);
    const SQLRETURN rc = SQLExecDirectW(raw, text.data(), static_cast<SQLINTEGER>(text.size()));
    std::optional<Shape> shape;
    return Answer(statement, rc, error_number, "SQLExecDirectW", shape);
  }

  // A statement prepared once per connection, so that the server plans it
  // once, with the shape of its answer, described once (and gone before the
  // handle, which its block is bound to).
  struct PreparedStatement {
    std::unique_ptr<Handle> statement;
    bool value_by_value;  // its rows are not read in blocks
    std::optional<Shape> shape;
  };
  using PreparedStatements = std::unordered_map<std::string, PreparedStatement>;

  PreparedStatements::iterator Prepare(const std::string& key, const std::string& sql,
                                       bool can_run_twice) {
    if (prepared_.size() >= kMaxPreparedStatements) prepared_.clear();
    SQLHANDLE raw = SQL_NULL_HANDLE;
    Check(SQLAllocHandle(SQL_HANDLE_STMT, connection_->get(), &raw), *connection_,
          kErrStatementFailed, "SQLAllocHandle");
    PreparedStatement prepared{std::make_unique<Handle>(SQL_HANDLE_STMT, raw), !can_run_twice,
                               std::nullopt};
    WideString text = ToUtf16(sql);
    Check(SQLPrepareW(raw, text.data(), static_cast<SQLINTEGER>(text.size())), *prepared.statement,
          kErrStatementFailed, "SQLPrepareW");
    return prepared_.insert_or_assign(key, std::move(prepared)).first;
  }

  // A query that may run twice is read a block of rows at a time; should one
  // of its values not fit its room, it runs again and is read value by value,
  // from then on.
  std::optional<ResultSet> RunPrepared(PreparedStatements::iterator it) {
    PreparedStatement& prepared = it->second;
    const Handle& statement = *prepared.statement;
    try {
      if (!prepared.value_by_value) {
        bool fitted = true;
        std::optional<ResultSet> answer =
            Answer(statement, SQLExecute(statement.get()), kErrStatementFailed, "SQLExecute",
                   prepared.shape, &fitted);
        SQLFreeStmt(statement.get(), SQL_CLOSE);
        if (fitted) return answer;
        prepared.value_by_value = true;
        if (prepared.shape) prepared.shape->block.reset();
      }
      std::optional<ResultSet> answer = Answer(statement, SQLExecute(statement.get()),
                                               kErrStatementFailed, "SQLExecute", prepared.shape);
      SQLFreeStmt(statement.get(), SQL_CLOSE);
      return answer;
    } catch (...) {
      prepared_.erase(it);
      throw;
    }
  }

  // The answer of an executed statement. Row counts come as results without
  // columns; the first result with columns is the answer, and the rest is
  // drained so that a failure further on in the batch is still reported.
  // The first answer's shape is described into shape unless known. Given
  // fitted, the rows are read in blocks, and fitted tells whether every value
  // fitted its room (if not, there is no answer).
  std::optional<ResultSet> Answer(const Handle& statement, SQLRETURN rc, int32_t error_number,
                                  std::string_view function, std::optional<Shape>& shape,
                                  bool* fitted = nullptr) {
    // SQL_NO_DATA: a searched UPDATE or DELETE that touched no row.
    if (rc != SQL_NO_DATA) Check(rc, statement, error_number, function);
    std::optional<ResultSet> answer;
    for (;;) {
      if (!answer) {
        SQLSMALLINT columns = 0;
        Check(SQLNumResultCols(statement.get(), &columns), statement, error_number,
              "SQLNumResultCols");
        if (columns > 0) {
          if (!shape || shape->plans.size() != static_cast<size_t>(columns)) {
            shape = Describe(statement, columns, error_number);
          }
          if (!fitted) {
            answer = ReadResultSet(statement, *shape, error_number);
          } else if (!(answer = ReadInBlocks(statement, *shape, error_number))) {
            *fitted = false;
            return std::nullopt;
          }
        }
      }
      rc = SQLMoreResults(statement.get());
      if (rc == SQL_NO_DATA) break;
      Check(rc, statement, error_number, "SQLMoreResults");
    }
    return answer;
  }

  Shape Describe(const Handle& statement, SQLSMALLINT column_count, int32_t error_number) {
    Shape shape;
    for (SQLUSMALLINT column = 1; column <= column_count; ++column) {
      WideString name(128, 0);
      SQLSMALLINT name_length = 0;
      SQLSMALLINT sql_type = 0;
      SQLULEN size = 0;
      SQLSMALLINT scale = 0;
      SQLSMALLINT nullable = 0;
      auto describe = [&] {
        return SQLDescribeColW(statement.get(), column, name.data(),
                               static_cast<SQLSMALLINT>(name.size()), &name_length, &sql_type,
                               &size, &scale, &nullable);
      };
      SQLRETURN rc = describe();
      if (SQL_SUCCEEDED(rc) && name_length >= static_cast<SQLSMALLINT>(name.size())) {
        name.assign(static_cast<size_t>(name_length) + 1, 0);
        rc = describe();
      }
      Check(rc, statement, error_number, "SQLDescribeColW");
      name.resize(
          std::min(static_cast<size_t>(std::max<SQLSMALLINT>(name_length, 0)), name.size() - 1));
      shape.columns.push_back(ToUtf8(name));
      shape.plans.push_back(PlanOf(sql_type, size, scale));
    }
    return shape;
  }

  // The rows a block at a time, each column bound to its room in the block:
  // one call into the driver for many rows instead of one per value. nullopt
  // when a column may hold long values, or a value did not fit.
  std::optional<ResultSet> ReadInBlocks(const Handle& statement, Shape& shape,
                                        int32_t error_number) {
    if (!shape.block) {
      size_t row_room = 0;
      for (const ColumnPlan& plan : shape.plans) {
        if (plan.room == 0) return std::nullopt;
        row_room += plan.room;
      }
      auto block = std::make_unique<Block>(statement.get(), shape.plans, row_room, utf8_text_);
      if (!block->ok()) return std::nullopt;
      shape.block = std::move(block);
    }
    const Block& block = *shape.block;
    ResultSet result{shape.columns, {}};
    result.ReserveLike(shape.values_last_time);
    for (;;) {
      const SQLRETURN rc = SQLFetch(statement.get());
      if (rc == SQL_NO_DATA) break;
      Check(rc, statement, error_number, "SQLFetch");
      for (size_t r = 0; r < block.fetched(); ++r) {
        if (block.Failed(r)) return std::nullopt;
        for (size_t c = 0; c < shape.plans.size(); ++c) {
          const SQLLEN indicator = block.Indicator(c, r);
          if (indicator == SQL_NULL_DATA) {
            result.values.push_back(Variant::Null());
            continue;
          }
          if (shape.plans[c].fetched_as_long) {
            result.values.push_back(Variant::Long(block.Long(c, r)));
            continue;
          }
          if (!block.Fits(c, indicator)) return std::nullopt;
          result.values.push_back(block.Value(c, r, shape.plans[c].kind, indicator));
        }
      }
    }
    shape.values_last_time = result.values.size();
    return result;
  }

  ResultSet ReadResultSet(const Handle& statement, Shape& shape, int32_t error_number) {
    const std::vector<ColumnPlan>& plans = shape.plans;
    ResultSet result{shape.columns, {}};
    result.ReserveLike(shape.values_last_time);
    WideString piece(kPieceLength + 1, 0);
    for (;;) {
      SQLRETURN rc = SQLFetch(statement.get());
      if (rc == SQL_NO_DATA) break;
      Check(rc, statement, error_number, "SQLFetch");
      for (size_t c = 0; c < plans.size(); ++c) {
        result.values.push_back(ReadCell(statement, static_cast<SQLUSMALLINT>(c + 1), plans[c].kind,
                                         piece, error_number));
      }
    }
    shape.values_last_time = result.values.size();
    return result;
  }

  // One column of the current row, read in pieces of the buffer's size; a
  // value that fits in the first piece is converted from it directly.
  Variant ReadCell(const Handle& statement, SQLUSMALLINT column, ColumnKind kind, WideString& piece,
                   int32_t error_number) {
    const auto piece_bytes = static_cast<SQLLEN>(piece.size() * sizeof(SQLWCHAR));
    WideString value;
    for (bool first = true;; first = false) {
      SQLLEN indicator = 0;
      piece[kPieceLength - 1] = 0;
      const SQLRETURN rc =
          SQLGetData(statement.get(), column, SQL_C_WCHAR, piece.data(), piece_bytes, &indicator);
      if (rc == SQL_NO_DATA) break;  // the previous piece was the last
      Check(rc, statement, error_number, "SQLGetData");
      if (indicator == SQL_NULL_DATA) return Variant::Null();
      // A piece that filled the buffer holds all but its terminator, or
      // one unit less where a driver keeps a surrogate pair whole.
      const bool truncated = indicator == SQL_NO_TOTAL ||
                             indicator > piece_bytes - static_cast<SQLLEN>(sizeof(SQLWCHAR));
      size_t characters = static_cast<size_t>(std::max<SQLLEN>(indicator, 0)) / sizeof(SQLWCHAR);
      if (truncated) characters = piece[kPieceLength - 1] == 0 ? kPieceLength - 1 : kPieceLength;
      if (first && !truncated) return ToVariant(kind, piece.data(), characters);
      value.append(piece.data(), characters);
      if (!truncated) break;
    }
    return ToVariant(kind, value.data(), value.size());
  }

  std::shared_ptr<const Handle> environment_;  // outlives the connection handle
  std::unique_ptr<Handle> connection_;
  Engine engine_ = Engine::kOther;
  bool broken_ = false;
  bool utf8_text_ = false;                            // see DeliversUtf8Text
  bool dirty_ = false;                                // the session may differ from a fresh one
  PreparedStatements prepared_;                       // by the component's text
  std::unordered_map<std::string, bool> only_reads_;  // by function name
};

class OdbcDriver : public Driver {
 public:
  std::unique_ptr<Connection> Open(const ConnectionText& text) override {
    std::shared_ptr<const Handle> environment = Environment();
    SQLHANDLE raw = SQL_NULL_HANDLE;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, environment->get(), &raw))) {
      throw RunTimeError(
          kErrConnectionFailed,
          DescriptionOf(ReadDiagnostics(SQL_HANDLE_ENV, environment->get()), "SQLAllocHandle"));
    }
    auto connection = std::make_unique<Handle>(SQL_HANDLE_DBC, raw);
    WideString wide = ToUtf16(text.ForOdbc());
    SQLWCHAR completed[1024] = {};
    SQLSMALLINT completed_length = 0;
    SQLRETURN rc;
    {
      // One connect at a time: psqlODBC reads and sets the process's locale
      // while it connects, which is not safe from two threads at once.
      const std::lock_guard<std::mutex> lock(connecting_);
      rc = SQLDriverConnectW(raw, nullptr, wide.data(), SQL_NTS, completed,
                             static_cast<SQLSMALLINT>(std::size(completed)), &completed_length,
                             SQL_DRIVER_NOPROMPT);
    }
    if (!SQL_SUCCEEDED(rc)) {
      throw RunTimeError(kErrConnectionFailed,
                         DescriptionOf(ReadDiagnostics(SQL_HANDLE_DBC, raw), "SQLDriverConnectW"));
    }
    return std::make_unique<OdbcConnection>(std::move(environment), std::move(connection));
  }

 private:
  std::shared_ptr<const Handle> Environment() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!environment_) environment_ = NewEnvironment();
    return environment_;
  }

  std::mutex mutex_;
  std::shared_ptr<const Handle> environment_;
  std::mutex connecting_;
};

}  // namespace

std::shared_ptr<Driver> MakeOdbcDriver() { return std::make_shared<OdbcDriver>(); }

}  // namespace tmxcnh::db
