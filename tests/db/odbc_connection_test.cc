// The ODBC driver against a real PostgreSQL server through psqlODBC. The
// server comes from TMXCNH_TEST_PG (scripts/with-postgres sets it); without
// it every test skips. Objects the tests create are temporary or carry a
// unique name, so the tests run in any order and in parallel.
#include "db/odbc_connection.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "db/statement.h"
#include "platform/date_serial.h"
#include "platform/run_time_error.h"
#include "platform/variant.h"

namespace tmxcnh {

// Failures show the Variant, not its bytes.
void PrintTo(const Variant& value, std::ostream* out) { *out << Describe(value); }

namespace db {
namespace {

const char* ServerText() { return std::getenv("TMXCNH_TEST_PG"); }

std::string UniqueName(const std::string& prefix) {
  static std::atomic<int> counter{0};
  return prefix + "_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
}

// The connection text with one key's value replaced (or added).
std::string WithKey(const std::string& text, const std::string& key, const std::string& value) {
  std::string out;
  bool replaced = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(';', start);
    if (end == std::string::npos) end = text.size();
    std::string pair = text.substr(start, end - start);
    if (pair.compare(0, key.size() + 1, key + "=") == 0) {
      pair = key + "=" + value;
      replaced = true;
    }
    if (!pair.empty()) out += pair + ";";
    start = end + 1;
  }
  return replaced ? out : out + key + "=" + value + ";";
}

Statement Inline(const std::string& sql) { return Statement{sql, std::nullopt, false}; }

template <typename Call>
std::optional<RunTimeError> ErrorOf(Call call) {
  try {
    call();
  } catch (const RunTimeError& error) {
    return error;
  }
  return std::nullopt;
}

// A SQL text literal.
std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

Variant DateOf(CivilTime time) { return Variant::Date(SerialFromCivil(time).value()); }

// Counts characters, not bytes, of UTF-8 text.
int32_t CharacterCount(const std::string& text) {
  int32_t count = 0;
  for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

class OdbcConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (ServerText() == nullptr) {
      GTEST_SKIP() << "TMXCNH_TEST_PG is not set: run under scripts/with-postgres";
    }
    connection_ = Open();
  }

  std::unique_ptr<Connection> Open(const std::string& text) {
    return driver_->Open(ConnectionText(text));
  }
  std::unique_ptr<Connection> Open() { return Open(ServerText()); }

  // The result set a statement must answer.
  static ResultSet Query(Connection& connection, const std::string& sql) {
    std::optional<ResultSet> result = connection.Execute(Inline(sql));
    EXPECT_TRUE(result.has_value()) << sql;
    return result.value_or(ResultSet{});
  }

  // The one value of a one-row, one-column answer.
  static Variant Scalar(Connection& connection, const std::string& sql) {
    const ResultSet result = Query(connection, sql);
    if (result.rows.size() != 1 || result.rows[0].size() != 1) {
      ADD_FAILURE() << sql << ": " << result.rows.size() << " rows";
      return Variant();
    }
    return result.rows[0][0];
  }

  // A statement that must answer no result set.
  static void Command(Connection& connection, const std::string& sql) {
    EXPECT_FALSE(connection.Execute(Inline(sql)).has_value()) << sql;
  }

  std::shared_ptr<Driver> driver_ = MakeOdbcDriver();
  std::unique_ptr<Connection> connection_;
};

// Drops a permanent object however the test ends.
class DropAtEnd {
 public:
  DropAtEnd(Connection& connection, std::string drop)
      : connection_(connection), drop_(std::move(drop)) {}
  DropAtEnd(const DropAtEnd&) = delete;
  DropAtEnd& operator=(const DropAtEnd&) = delete;
  ~DropAtEnd() {
    try {
      connection_.Reset();
      connection_.Execute(Inline(drop_));
    } catch (const RunTimeError& error) {
      ADD_FAILURE() << drop_ << ": " << error.description();
    }
  }

 private:
  Connection& connection_;
  std::string drop_;
};

TEST_F(OdbcConnectionTest, KnowsItsEngine) {
  EXPECT_EQ(connection_->engine(), Engine::kPostgreSql);
}

struct TypeCase {
  const char* name;
  std::string expression;
  Variant expected;
};

std::vector<TypeCase> TypeCases() {
  const std::string accents = "São José, ação, não";
  const double half_second = 0.5 / 86400;
  return {
      {"smallint", "CAST(-32768 AS smallint)", Variant::Long(-32768)},
      {"integer min", "CAST(-2147483648 AS integer)",
       Variant::Long(std::numeric_limits<int32_t>::min())},
      {"integer max", "CAST(2147483647 AS integer)",
       Variant::Long(std::numeric_limits<int32_t>::max())},
      {"bigint within int32", "CAST(-2147483648 AS bigint)",
       Variant::Long(std::numeric_limits<int32_t>::min())},
      {"bigint above int32", "CAST(2147483648 AS bigint)", Variant::Double(2147483648.0)},
      {"bigint below int32", "CAST(-2147483649 AS bigint)", Variant::Double(-2147483649.0)},
      {"bigint beyond a double's integers", "CAST(9007199254740993 AS bigint)",
       Variant::Double(static_cast<double>(INT64_C(9007199254740993)))},
      {"count", "(SELECT count(*) FROM generate_series(1, 3))", Variant::Long(3)},
      {"numeric(9,0)", "CAST(987654321 AS numeric(9,0))", Variant::Long(987654321)},
      {"numeric(9,0) negative", "CAST(-987654321 AS numeric(9,0))", Variant::Long(-987654321)},
      // Ten digits may not fit a Long, whatever the value at hand.
      {"numeric(10,0) small value", "CAST(12 AS numeric(10,0))", Variant::Double(12.0)},
      {"numeric(10,0)", "CAST(9876543210 AS numeric(10,0))", Variant::Double(9876543210.0)},
      {"numeric(12,2)", "CAST(1234567890.12 AS numeric(12,2))", Variant::Double(1234567890.12)},
      {"numeric(12,2) small negative", "CAST(-0.05 AS numeric(12,2))", Variant::Double(-0.05)},
      {"numeric(5,2) whole value", "CAST(3 AS numeric(5,2))", Variant::Double(3.0)},
      {"double", "CAST(0.1 AS double precision)", Variant::Double(0.1)},
      {"double huge", "CAST(-1.5e300 AS double precision)", Variant::Double(-1.5e300)},
      {"double tiny", "CAST(1e-7 AS double precision)", Variant::Double(1e-7)},
      {"real", "CAST(0.25 AS real)", Variant::Double(0.25)},
      {"date", "DATE '2024-02-29'", DateOf({2024, 2, 29})},
      {"date before day 0", "DATE '1800-01-01'", DateOf({1800, 1, 1})},
      {"timestamp", "TIMESTAMP '2024-02-29 13:45:30'", DateOf({2024, 2, 29, 13, 45, 30})},
      {"timestamp with a fraction", "TIMESTAMP '2024-02-29 13:45:30.5'",
       Variant::Date(SerialFromCivil({2024, 2, 29, 13, 45, 30}).value() + half_second)},
      {"timestamp before day 0", "TIMESTAMP '1899-12-29 06:00:00'",
       DateOf({1899, 12, 29, 6, 0, 0})},
      // Before day 0 a later time is a more negative serial.
      {"timestamp before day 0 with a fraction", "TIMESTAMP '1899-12-29 06:00:00.5'",
       Variant::Date(SerialFromCivil({1899, 12, 29, 6, 0, 0}).value() - half_second)},
      {"timestamp with time zone", "CAST(TIMESTAMP '2024-02-29 13:45:30' AS timestamptz)",
       DateOf({2024, 2, 29, 13, 45, 30})},
      {"time", "TIME '06:30:15'", DateOf({1899, 12, 30, 6, 30, 15})},
      {"time with a fraction", "TIME '23:59:59.75'",
       Variant::Date(SerialFromCivil({1899, 12, 30, 23, 59, 59}).value() + 0.75 / 86400)},
      {"varchar", "CAST('" + accents + "' AS varchar(40))", Variant::String(accents)},
      {"text", "CAST('" + accents + "' AS text)", Variant::String(accents)},
      {"outside the basic plane", "CAST('Ônibus 🚚 frete' AS text)",
       Variant::String("Ônibus 🚚 frete")},
      {"empty text is not NULL", "CAST('' AS varchar(10))", Variant::String("")},
      {"char keeps its padding", "CAST('ab' AS char(4))", Variant::String("ab  ")},
  };
}

TEST_F(OdbcConnectionTest, MapsEachColumnTypeToItsVariant) {
  for (const TypeCase& c : TypeCases()) {
    SCOPED_TRACE(c.name);
    const ResultSet result = Query(*connection_, "SELECT " + c.expression + " AS v");
    ASSERT_EQ(result.columns, std::vector<std::string>{"v"});
    ASSERT_EQ(result.rows.size(), 1u);
    ASSERT_EQ(result.rows[0].size(), 1u);
    EXPECT_EQ(result.rows[0][0], c.expected);
  }
}

TEST_F(OdbcConnectionTest, MapsEveryColumnOfOneRow) {
  const std::vector<TypeCase> cases = TypeCases();
  std::string sql = "SELECT ";
  for (size_t i = 0; i < cases.size(); ++i) {
    sql += (i > 0 ? ", " : "") + cases[i].expression + " AS c" + std::to_string(i);
  }
  const ResultSet result = Query(*connection_, sql);
  ASSERT_EQ(result.rows.size(), 1u);
  ASSERT_EQ(result.rows[0].size(), cases.size());
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    EXPECT_EQ(result.columns[i], "c" + std::to_string(i));
    EXPECT_EQ(result.rows[0][i], cases[i].expected);
  }
}

TEST_F(OdbcConnectionTest, ReadsNullOfEachTypeAsNull) {
  const char* types[] = {"smallint", "integer",          "bigint", "numeric(9,0)", "numeric(12,2)",
                         "real",     "double precision", "date",   "timestamp",    "timestamptz",
                         "time",     "varchar(20)",      "text",   "char(3)"};
  for (const char* type : types) {
    SCOPED_TRACE(type);
    EXPECT_EQ(Scalar(*connection_, std::string("SELECT CAST(NULL AS ") + type + ")"),
              Variant::Null());
  }
}

TEST_F(OdbcConnectionTest, RoundTripsAccentedTextThroughATable) {
  const std::string table = UniqueName("tmx_accents");
  Command(*connection_, "CREATE TEMP TABLE " + table + " (id integer, t varchar(60))");
  const std::vector<std::string> texts = {"São José, ação, não", "Ônibus 🚚 frete", "d'Ávila"};
  for (size_t i = 0; i < texts.size(); ++i) {
    Command(*connection_, "INSERT INTO " + table + " VALUES (" + std::to_string(i) + ", " +
                              Quoted(texts[i]) + ")");
  }
  const ResultSet result =
      Query(*connection_, "SELECT t, CAST(length(t) AS integer) FROM " + table + " ORDER BY id");
  ASSERT_EQ(result.rows.size(), texts.size());
  for (size_t i = 0; i < texts.size(); ++i) {
    SCOPED_TRACE(texts[i]);
    EXPECT_EQ(result.rows[i][0], Variant::String(texts[i]));
    // Characters as the server counts them: the text arrived as text, not as bytes.
    EXPECT_EQ(result.rows[i][1], Variant::Long(CharacterCount(texts[i])));
  }
}

TEST_F(OdbcConnectionTest, ReadsLongValuesPieceByPiece) {
  struct LongCase {
    const char* name;
    std::string prefix;
    std::string unit;
    int times;
  };
  // The odd prefix puts a piece boundary inside a surrogate pair.
  const LongCase cases[] = {{"accents", "", "ação", 5000},
                            {"surrogate pairs", "x", "🚚", 5000},
                            {"plain", "", "0123456789", 3000}};
  for (const LongCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string expected = c.prefix;
    for (int i = 0; i < c.times; ++i) expected += c.unit;
    EXPECT_EQ(Scalar(*connection_, "SELECT '" + c.prefix + "' || repeat('" + c.unit + "', " +
                                       std::to_string(c.times) + ")"),
              Variant::String(expected));
  }
}

TEST_F(OdbcConnectionTest, GivesColumnNamesAsTheEngineGivesThem) {
  const ResultSet result =
      Query(*connection_, "SELECT 1 AS \"Número\", 2 AS lower_name, 3 AS \"MixedCase\", 4");
  EXPECT_EQ(result.columns,
            (std::vector<std::string>{"Número", "lower_name", "MixedCase", "?column?"}));
}

TEST_F(OdbcConnectionTest, ReadsEveryRowInOrder) {
  const ResultSet result = Query(*connection_,
                                 "SELECT n, CASE WHEN n = 2 THEN NULL ELSE 'r' || n END AS s "
                                 "FROM generate_series(1, 3) AS n ORDER BY n");
  EXPECT_EQ(result.columns, (std::vector<std::string>{"n", "s"}));
  ASSERT_EQ(result.rows.size(), 3u);
  for (int32_t n = 1; n <= 3; ++n) {
    SCOPED_TRACE(n);
    const std::vector<Variant> expected = {
        Variant::Long(n), n == 2 ? Variant::Null() : Variant::String("r" + std::to_string(n))};
    EXPECT_EQ(result.rows[n - 1], expected);
  }
  EXPECT_TRUE(Query(*connection_, "SELECT 1 AS n WHERE false").rows.empty());
}

TEST_F(OdbcConnectionTest, AnswersNoResultSetForCommands) {
  const std::string table = UniqueName("tmx_commands");
  struct Step {
    std::string sql;
    int32_t rows_after;
  };
  const Step steps[] = {
      {"CREATE TEMP TABLE " + table + " (n integer, s varchar(10))", 0},
      {"INSERT INTO " + table + " VALUES (1, 'a'), (2, 'b')", 2},
      {"UPDATE " + table + " SET s = 'c' WHERE n = 1", 2},
      {"UPDATE " + table + " SET s = 'd' WHERE n = 99", 2},  // touches no row
      {"DELETE FROM " + table + " WHERE n = 99", 2},
      {"DELETE FROM " + table + " WHERE n = 2", 1},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.sql);
    Command(*connection_, step.sql);
    EXPECT_EQ(Scalar(*connection_, "SELECT count(*) FROM " + table),
              Variant::Long(step.rows_after));
  }
  EXPECT_EQ(Scalar(*connection_, "SELECT s FROM " + table), Variant::String("c"));
  Command(*connection_, "DROP TABLE " + table);
}

TEST_F(OdbcConnectionTest, AnswersTheFirstResultSetOfABatch) {
  const std::string table = UniqueName("tmx_batch");
  Command(*connection_, "CREATE TEMP TABLE " + table + " (n integer)");
  struct BatchCase {
    std::string sql;
    std::vector<std::string> columns;
    int32_t value;
  };
  const BatchCase cases[] = {
      {"INSERT INTO " + table + " VALUES (5); SELECT n FROM " + table, {"n"}, 5},
      {"SELECT 1 AS a; SELECT 2 AS b", {"a"}, 1},
      {"UPDATE " + table + " SET n = 6; SELECT n AS m FROM " + table + "; SELECT 3", {"m"}, 6},
  };
  for (const BatchCase& c : cases) {
    SCOPED_TRACE(c.sql);
    const ResultSet result = Query(*connection_, c.sql);
    EXPECT_EQ(result.columns, c.columns);
    ASSERT_EQ(result.rows.size(), 1u);
    EXPECT_EQ(result.rows[0][0], Variant::Long(c.value));
    // The later results were drained: the connection takes the next statement.
    EXPECT_EQ(Scalar(*connection_, "SELECT 7"), Variant::Long(7));
  }
}

TEST_F(OdbcConnectionTest, SendsInlineSqlAdaptedAndVerbatimSqlAsWritten) {
  // SYSDATE is the Oracle idiom the component writes; PostgreSQL gets its own.
  const Variant now = Scalar(*connection_, "SELECT SYSDATE");
  EXPECT_EQ(now.type(), VariantType::kDate) << Describe(now);

  Statement verbatim = Inline("SELECT 7 AS sysdate");
  verbatim.verbatim = true;
  const std::optional<ResultSet> result = connection_->Execute(verbatim);
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->columns, std::vector<std::string>{"sysdate"});
  EXPECT_EQ(result->rows.at(0).at(0), Variant::Long(7));
}

TEST_F(OdbcConnectionTest, RaisesTheServersMessageForAFailingStatement) {
  struct FailureCase {
    std::string sql;
    std::string message_part;
  };
  const FailureCase cases[] = {
      {"SELECT * FROM tmx_no_such_table", "relation \"tmx_no_such_table\" does not exist"},
      {"SELECT 1/0", "division by zero"},
      {"SELEC 1", "syntax error"},
      {"SELECT CAST('abc' AS integer)", "invalid input syntax for type integer: \"abc\""},
      {"SELECT 1 AS a; SELECT 1/0", "division by zero"},
      {"DO $$ BEGIN RAISE EXCEPTION 'Conhecimento não encontrado: %', 'São José'; END $$",
       "Conhecimento não encontrado: São José"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.sql);
    const std::optional<RunTimeError> error = ErrorOf([&] { connection_->Execute(Inline(c.sql)); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number(), kErrStatementFailed);
    EXPECT_NE(error->description().find(c.message_part), std::string::npos) << error->description();
    // A failing statement does not cost the connection.
    EXPECT_TRUE(connection_->IsUsable());
    EXPECT_EQ(Scalar(*connection_, "SELECT 8"), Variant::Long(8));
  }
}

TEST_F(OdbcConnectionTest, RaisesConnectionFailedWhenNoConnectionOpens) {
  struct OpenCase {
    const char* name;
    std::string text;
    std::string message_part;  // "" when the wording is the client library's own
  };
  const std::string server = ServerText();
  const OpenCase cases[] = {
      {"wrong port", WithKey(server, "Port", "1"), ""},
      {"unknown database", WithKey(server, "Database", "tmx_no_such_database"),
       "database \"tmx_no_such_database\" does not exist"},
      {"unknown user", WithKey(server, "Uid", "tmx_no_such_user"),
       "role \"tmx_no_such_user\" does not exist"},
      {"unknown driver", WithKey(server, "Driver", "{TMX No Such Driver}"), ""},
  };
  for (const OpenCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<RunTimeError> error = ErrorOf([&] { Open(c.text); });
    ASSERT_TRUE(error.has_value()) << c.text;
    EXPECT_EQ(error->number(), kErrConnectionFailed);
    // The driver's diagnostic, not our stand-in for a missing one.
    EXPECT_FALSE(error->description().empty());
    EXPECT_EQ(error->description().find("sem diagnóstico"), std::string::npos)
        << error->description();
    EXPECT_NE(error->description().find(c.message_part), std::string::npos) << error->description();
  }
}

TEST_F(OdbcConnectionTest, ResetLeavesNoSessionStateBehind) {
  const std::string table = UniqueName("tmx_reset");
  const std::string temp_table = UniqueName("tmx_reset_temp");
  const std::string prepared = UniqueName("tmx_reset_prepared");
  Command(*connection_, "CREATE TABLE " + table + " (n integer)");
  DropAtEnd drop(*connection_, "DROP TABLE " + table);

  struct ResetCase {
    const char* name;
    std::vector<std::string> setup;
    std::string probe;  // answers 1 while the state lives, 0 once it is gone
  };
  const ResetCase cases[] = {
      {"a setting",
       {"SET application_name = 'x'"},
       "SELECT CASE WHEN current_setting('application_name') = 'x' THEN 1 ELSE 0 END"},
      {"a temporary table",
       {"CREATE TEMP TABLE " + temp_table + " (n integer)"},
       "SELECT CASE WHEN to_regclass('" + temp_table + "') IS NULL THEN 0 ELSE 1 END"},
      {"an open transaction",
       {"BEGIN", "INSERT INTO " + table + " VALUES (1)"},
       "SELECT count(*) FROM " + table},
      {"a prepared statement",
       {"PREPARE " + prepared + " AS SELECT 1"},
       "SELECT count(*) FROM pg_prepared_statements WHERE name = '" + prepared + "'"},
  };
  for (const ResetCase& c : cases) {
    SCOPED_TRACE(c.name);
    for (const std::string& sql : c.setup) Command(*connection_, sql);
    ASSERT_EQ(Scalar(*connection_, c.probe), Variant::Long(1));
    connection_->Reset();
    EXPECT_EQ(Scalar(*connection_, c.probe), Variant::Long(0));
    EXPECT_TRUE(connection_->IsUsable());
  }

  // Autocommit is on again: another session sees a row at once.
  Command(*connection_, "BEGIN");
  connection_->Reset();
  Command(*connection_, "INSERT INTO " + table + " VALUES (2)");
  const std::unique_ptr<Connection> other = Open();
  EXPECT_EQ(Scalar(*other, "SELECT count(*) FROM " + table), Variant::Long(1));
  // And dates still read as dates once the session's settings are back to defaults.
  EXPECT_EQ(Scalar(*connection_, "SELECT DATE '2024-02-29'"), DateOf({2024, 2, 29}));
}

TEST_F(OdbcConnectionTest, ResetRollsBackATransactionAStatementFailedIn) {
  const std::string table = UniqueName("tmx_failed");
  Command(*connection_, "CREATE TABLE " + table + " (n integer)");
  DropAtEnd drop(*connection_, "DROP TABLE " + table);
  const std::unique_ptr<Connection> other = Open();

  Command(*connection_, "BEGIN");
  Command(*connection_, "INSERT INTO " + table + " VALUES (1)");
  EXPECT_EQ(ErrorOf([&] { connection_->Execute(Inline("SELECT 1/0")); })->number(),
            kErrStatementFailed);
  EXPECT_EQ(Scalar(*other, "SELECT count(*) FROM " + table), Variant::Long(0));
  connection_->Reset();
  EXPECT_EQ(Scalar(*connection_, "SELECT count(*) FROM " + table), Variant::Long(0));
  // Outside a transaction every statement starts its own (each takes a new
  // transaction id; statement_timestamp() cannot tell under the extended
  // protocol that prepared statements use).
  EXPECT_NE(Scalar(*connection_, "SELECT pg_current_xact_id()::text"),
            Scalar(*connection_, "SELECT pg_current_xact_id()::text"));
}

TEST_F(OdbcConnectionTest, IsNotUsableOnceTheServerEndedTheSession) {
  struct KillCase {
    const char* name;
    bool from_another_connection;
  };
  const KillCase cases[] = {{"by itself", false}, {"from another connection", true}};
  for (const KillCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<Connection> victim = Open();
    ASSERT_TRUE(victim->IsUsable());
    if (c.from_another_connection) {
      const Variant pid = Scalar(*victim, "SELECT pg_backend_pid()");
      ASSERT_EQ(pid.type(), VariantType::kLong);
      // The timeout makes the call wait until the session is gone.
      EXPECT_EQ(
          Scalar(*Open(), "SELECT CASE WHEN pg_terminate_backend(" +
                              std::to_string(pid.long_value()) + ", 10000) THEN 1 ELSE 0 END"),
          Variant::Long(1));
      // Nothing tells the client until it next speaks to the server.
      const std::optional<RunTimeError> error =
          ErrorOf([&] { victim->Execute(Inline("SELECT 1")); });
      ASSERT_TRUE(error.has_value());
      EXPECT_EQ(error->number(), kErrStatementFailed);
    } else {
      const std::optional<RunTimeError> error = ErrorOf(
          [&] { victim->Execute(Inline("SELECT pg_terminate_backend(pg_backend_pid())")); });
      ASSERT_TRUE(error.has_value());
      EXPECT_EQ(error->number(), kErrStatementFailed);
    }
    EXPECT_FALSE(victim->IsUsable());
    EXPECT_EQ(ErrorOf([&] { victim->Reset(); }).value_or(RunTimeError(0, "")).number(),
              kErrConnectionFailed);

    const std::unique_ptr<Connection> fresh = Open();
    EXPECT_TRUE(fresh->IsUsable());
    EXPECT_EQ(Scalar(*fresh, "SELECT 10"), Variant::Long(10));
  }
}

TEST_F(OdbcConnectionTest, RunsAProcedureCallAsASetReturningFunction) {
  const std::string function = UniqueName("tmx_test_echo");
  Command(*connection_, "CREATE FUNCTION " + function +
                            "(p integer, t text) RETURNS TABLE(n integer, s text) LANGUAGE sql "
                            "AS 'SELECT p + i, t || ''#'' || i FROM generate_series(1, 2) AS i'");
  DropAtEnd drop(*connection_, "DROP FUNCTION " + function);

  struct CallCase {
    int32_t p;
    std::optional<std::string> t;
  };
  const CallCase cases[] = {{40, "São José"}, {-3, "d'Ávila"}, {7, std::nullopt}};
  for (const CallCase& c : cases) {
    SCOPED_TRACE(c.t.value_or("NULL"));
    Statement statement;
    statement.call = ProcedureCall{function,
                                   {SqlLiteral{SqlLiteral::Kind::kNumber, std::to_string(c.p)},
                                    c.t ? SqlLiteral{SqlLiteral::Kind::kText, *c.t}
                                        : SqlLiteral{SqlLiteral::Kind::kNull, ""}}};
    // The component's own form, which PostgreSQL would refuse as it stands.
    statement.text =
        "exec " + function + " " + std::to_string(c.p) + ", " + (c.t ? "'" + *c.t + "'" : "NULL");
    const std::optional<ResultSet> result = connection_->Execute(statement);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->columns, (std::vector<std::string>{"n", "s"}));
    ASSERT_EQ(result->rows.size(), 2u);
    for (int32_t i = 1; i <= 2; ++i) {
      const std::vector<Variant> expected = {
          Variant::Long(c.p + i),
          c.t ? Variant::String(*c.t + "#" + std::to_string(i)) : Variant::Null()};
      EXPECT_EQ(result->rows[i - 1], expected);
    }
  }
}

TEST_F(OdbcConnectionTest, OpensConnectionsFromSeveralThreadsAtOnce) {
  // A fresh driver, so that the threads race to set up its environment.
  const std::shared_ptr<Driver> driver = MakeOdbcDriver();
  constexpr int kThreads = 6;
  std::vector<Variant> answers(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      try {
        const std::unique_ptr<Connection> connection = driver->Open(ConnectionText(ServerText()));
        const std::optional<ResultSet> result =
            connection->Execute(Inline("SELECT " + std::to_string(i) + " + 100"));
        if (result && !result->rows.empty()) answers[i] = result->rows[0][0];
      } catch (const RunTimeError& error) {
        answers[i] = Variant::String(error.description());
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int i = 0; i < kThreads; ++i) EXPECT_EQ(answers[i], Variant::Long(i + 100)) << i;
}

}  // namespace
}  // namespace db
}  // namespace tmxcnh
