// The ODBC driver against a real PostgreSQL server through psqlODBC. The
// server comes from TMXCNH_TEST_PG (scripts/with-postgres sets it); without
// it every test skips. Objects the tests create are temporary or carry a
// unique name, so the tests run in any order and in parallel.
#include "db/odbc_connection.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "db/statement.h"
#include "platform/date_serial.h"
#include "platform/run_time_error.h"
#include "platform/variant.h"
#include "tests/support/table_file.h"

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

// The server's connection text with one key's value replaced.
std::string WithKey(const std::string& key, const std::string& value) {
  return std::regex_replace(ServerText(), std::regex("(^|;)" + key + "=[^;]*"),
                            "$1" + key + "=" + value);
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

class OdbcConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (ServerText() == nullptr) GTEST_SKIP() << "TMXCNH_TEST_PG is not set: use with-postgres";
    connection_ = Open();
  }
  // Permanent objects are dropped however the test ends.
  void TearDown() override {
    if (drops_.empty()) return;
    connection_->Reset();
    for (const std::string& drop : drops_) Command(*connection_, drop);
  }

  std::unique_ptr<Connection> Open(const std::string& text = ServerText()) {
    return driver_->Open(ConnectionText(text));
  }

  static ResultSet Query(Connection& connection, const std::string& sql) {
    std::optional<ResultSet> result = connection.Execute(Inline(sql));
    EXPECT_TRUE(result.has_value()) << sql;
    return result.value_or(ResultSet{});
  }
  // The one value of a one-row, one-column answer.
  static Variant Scalar(Connection& connection, const std::string& sql) {
    const ResultSet result = Query(connection, sql);
    if (result.row_count() == 1 && result.columns.size() == 1) return result.at(0, 0);
    ADD_FAILURE() << sql << ": " << result.row_count() << " rows";
    return Variant();
  }
  // A statement that must answer no result set.
  static void Command(Connection& connection, const std::string& sql) {
    EXPECT_FALSE(connection.Execute(Inline(sql)).has_value()) << sql;
  }
  void Create(const std::string& what, const std::string& name, const std::string& definition) {
    Command(*connection_, "CREATE " + what + " " + name + definition);
    drops_.push_back("DROP " + what + " " + name);
  }

  std::shared_ptr<Driver> driver_ = MakeOdbcDriver();
  std::unique_ptr<Connection> connection_;
  std::vector<std::string> drops_;
};

// Every column type in one row, so that each is read beside the others.
TEST_F(OdbcConnectionTest, MapsEachColumnTypeToItsVariant) {
  const std::vector<testing::TableRow> cases = testing::ReadTableFile("db/column_types.txt", 2, 2);
  // Without the columns that may hold long text the rows are read in blocks:
  // then 150 rows, more than a block holds, each with a number and a text of its own.
  for (const bool long_text : {true, false}) {
    std::string sql = long_text ? "SELECT 1 AS n, CAST('r1' AS varchar(9)) AS t"
                                : "SELECT n, CAST(CASE WHEN n = 2 THEN NULL ELSE 'r' || n END AS "
                                  "varchar(9)) AS t";
    std::vector<size_t> selected;
    for (size_t i = 0; i < cases.size(); ++i) {
      const std::string& expression = cases[i][0];
      if (!long_text && (expression.find("text") != std::string::npos ||
                         expression.find("repeat(") != std::string::npos)) {
        continue;
      }
      sql += ", " + expression + " AS c" + std::to_string(i);
      selected.push_back(i);
    }
    const ResultSet result =
        Query(*connection_, sql + (long_text ? "" : " FROM generate_series(1, 150) AS n"));
    ASSERT_EQ(result.row_count(), long_text ? 1u : 150u);
    ASSERT_EQ(result.columns.size(), selected.size() + 2);
    for (size_t k = 0; k < selected.size(); ++k) {
      EXPECT_EQ(result.columns[k + 2], "c" + std::to_string(selected[k]));
    }
    for (size_t r = 0; r < result.row_count(); ++r) {
      const int32_t n = static_cast<int32_t>(r) + 1;
      EXPECT_EQ(result.at(r, 0), Variant::Long(n));
      EXPECT_EQ(result.at(r, 1),
                n == 2 ? Variant::Null() : Variant::String("r" + std::to_string(n)));
      for (size_t k = 0; k < selected.size(); ++k) {
        EXPECT_EQ(result.at(r, k + 2), cases[selected[k]].Value(1)) << cases[selected[k]].where;
      }
    }
  }
}

TEST_F(OdbcConnectionTest, AnswersNoResultSetForCommandsAndTheFirstOfABatch) {
  const std::string t = UniqueName("tmx_commands");
  for (const testing::TableRow& row : testing::ReadTableFile("db/odbc_results.txt", 3, 4)) {
    const std::string sql = testing::Filled(row.Text(1), {{"t", t}});
    if (row[0] == "command") {
      Command(*connection_, sql);
      EXPECT_EQ(Scalar(*connection_, "SELECT count(*) FROM " + t), Variant::Long(row.Number(2)))
          << row.where;
      continue;
    }
    Statement statement = Inline(sql);
    statement.verbatim = row[0] == "verbatim";
    const ResultSet result = connection_->Execute(statement).value_or(ResultSet{});
    EXPECT_EQ(result.columns, std::vector<std::string>{row[2]}) << row.where;
    EXPECT_EQ(result.values, std::vector<Variant>{Variant::Long(row.Number(3))}) << row.where;
    // The later results were drained: the connection takes the next statement.
    EXPECT_EQ(Scalar(*connection_, "SELECT 7"), Variant::Long(7));
  }
}

// The driver's diagnostic, not our stand-in for a missing one; a failing
// statement does not cost the connection.
TEST_F(OdbcConnectionTest, RaisesTheServersMessageWhenAConnectionOrAStatementFails) {
  for (const testing::TableRow& row : testing::ReadTableFile("db/odbc_failures.txt", 3, 3)) {
    const bool open = row[0] == "open";
    const std::string text = row.Text(1);
    const size_t equals = text.find('=');
    const std::optional<RunTimeError> error = ErrorOf([&] {
      open ? (void)Open(WithKey(text.substr(0, equals), text.substr(equals + 1)))
           : (void)connection_->Execute(Inline(text));
    });
    ASSERT_TRUE(error.has_value()) << row.where;
    EXPECT_EQ(error->number(), open ? kErrConnectionFailed : kErrStatementFailed) << row.where;
    const std::string& said = error->description();
    EXPECT_TRUE(!said.empty() && said.find("sem diagnóstico") == std::string::npos) << said;
    EXPECT_NE(said.find(row.Text(2)), std::string::npos) << said;
    EXPECT_TRUE(connection_->IsUsable());
    EXPECT_EQ(Scalar(*connection_, "SELECT 8"), Variant::Long(8));
  }
}

TEST_F(OdbcConnectionTest, ResetLeavesNoSessionStateBehind) {
  const std::string table = UniqueName("tmx_reset");
  const std::vector<std::pair<std::string, std::string>> names = {
      {"table", table},
      {"temp", UniqueName("tmx_reset_temp")},
      {"prepared", UniqueName("tmx_reset_prepared")}};
  Create("TABLE", table, " (n integer)");
  for (const testing::TableRow& row : testing::ReadTableFile("db/odbc_session_state.txt", 2)) {
    for (size_t i = 1; i < row.fields.size(); ++i) {
      Command(*connection_, testing::Filled(row.Text(i), names));
    }
    const std::string probe = testing::Filled(row.Text(0), names);
    ASSERT_EQ(Scalar(*connection_, probe), Variant::Long(1)) << row.where;
    connection_->Reset();
    EXPECT_EQ(Scalar(*connection_, probe), Variant::Long(0)) << row.where;
    EXPECT_TRUE(connection_->IsUsable());
  }
  // Autocommit is on again: another session sees a row at once.
  Command(*connection_, "BEGIN");
  connection_->Reset();
  Command(*connection_, "INSERT INTO " + table + " VALUES (2)");
  EXPECT_EQ(Scalar(*Open(), "SELECT count(*) FROM " + table), Variant::Long(1));
  // And dates still read as dates once the session's settings are back to defaults.
  EXPECT_EQ(Scalar(*connection_, "SELECT DATE '2024-02-29'"),
            Variant::Date(SerialFromCivil({2024, 2, 29}).value()));
}

TEST_F(OdbcConnectionTest, ResetRollsBackATransactionAStatementFailedIn) {
  const std::string table = UniqueName("tmx_failed");
  Create("TABLE", table, " (n integer)");
  const std::unique_ptr<Connection> other = Open();
  Command(*connection_, "BEGIN");
  Command(*connection_, "INSERT INTO " + table + " VALUES (1)");
  EXPECT_EQ(ErrorOf([&] { connection_->Execute(Inline("SELECT 1/0")); })->number(),
            kErrStatementFailed);
  EXPECT_EQ(Scalar(*other, "SELECT count(*) FROM " + table), Variant::Long(0));
  connection_->Reset();
  EXPECT_EQ(Scalar(*connection_, "SELECT count(*) FROM " + table), Variant::Long(0));
}

TEST_F(OdbcConnectionTest, IsNotUsableOnceTheServerEndedTheSession) {
  for (const bool from_another_connection : {false, true}) {
    const std::unique_ptr<Connection> victim = Open();
    std::string kill = "SELECT pg_terminate_backend(pg_backend_pid())";
    if (from_another_connection) {
      // The timeout makes the call wait until the session is gone; nothing
      // tells the client until it next speaks to the server.
      const Variant pid = Scalar(*victim, "SELECT pg_backend_pid()");
      EXPECT_EQ(
          Scalar(*Open(), "SELECT CASE WHEN pg_terminate_backend(" +
                              std::to_string(pid.long_value()) + ", 10000) THEN 1 ELSE 0 END"),
          Variant::Long(1));
      kill = "SELECT 1";
    }
    ASSERT_EQ(
        ErrorOf([&] { victim->Execute(Inline(kill)); }).value_or(RunTimeError(0, "")).number(),
        kErrStatementFailed)
        << from_another_connection;
    EXPECT_FALSE(victim->IsUsable());
    EXPECT_EQ(ErrorOf([&] { victim->Reset(); }).value_or(RunTimeError(0, "")).number(),
              kErrConnectionFailed);
    EXPECT_EQ(Scalar(*Open(), "SELECT 10"), Variant::Long(10));
  }
}

// A value longer than its room in a block of rows makes a query run again
// value by value: a function that may write must never run twice for it.
TEST_F(OdbcConnectionTest, RunsAFunctionThatMayWriteOnceWhateverItAnswers) {
  const std::string table = UniqueName("tmx_test_runs");
  Create("TABLE", table, " (n integer)");
  const std::string writes = UniqueName("tmx_test_writes");
  Create("FUNCTION", writes,
         "() RETURNS TABLE(v numeric) LANGUAGE plpgsql VOLATILE AS 'BEGIN INSERT INTO " + table +
             " VALUES (1); RETURN QUERY SELECT CAST(1e-70 AS numeric); END'");
  const std::string reads = UniqueName("tmx_test_reads");
  Create("FUNCTION", reads,
         "() RETURNS TABLE(v numeric) LANGUAGE sql STABLE AS 'SELECT CAST(1e-70 AS numeric)'");
  for (const std::string& function : {writes, reads, writes}) {
    Statement statement;
    statement.call = ProcedureCall{function, {}};
    statement.text = "exec " + function;
    const std::optional<ResultSet> result = connection_->Execute(statement);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->values, std::vector<Variant>{Variant::Double(1e-70)});
  }
  EXPECT_EQ(Scalar(*connection_, "SELECT count(*) FROM " + table), Variant::Long(2));
}

}  // namespace
}  // namespace db
}  // namespace tmxcnh
