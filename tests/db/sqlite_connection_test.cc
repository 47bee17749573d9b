#include "db/sqlite_connection.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "db/drivers.h"
#include "platform/clock.h"
#include "platform/run_time_error.h"
#include "tests/error_number.h"
#include "tests/support/table_file.h"

namespace tmxcnh::db {
namespace {

using testing::ErrorNumberOf;

class SqliteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("tmx_sqlite_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
    path_ = (folder_ / "t.db").string();
    connection_ = OpenSqliteForCreate(path_);
    RunSqliteScript(*connection_,
                    "CREATE TABLE T (ID INTEGER, PESO NUMERIC(12,3), NOME VARCHAR(40), "
                    "DATA DATETIME, OBS TEXT);"
                    "CREATE TABLE TMX_PROCEDURE (NAME TEXT PRIMARY KEY COLLATE NOCASE, "
                    "PARAMETERS TEXT NOT NULL, BODY TEXT NOT NULL);");
  }
  void TearDown() override {
    connection_.reset();
    std::filesystem::remove_all(folder_);
  }
  std::optional<ResultSet> Run(const std::string& sql) {
    return connection_->Execute(ParseStatement(sql));
  }

  std::filesystem::path folder_;
  std::string path_;
  std::unique_ptr<Connection> connection_;
};

TEST_F(SqliteTest, ColumnsComeBackByTheirDeclaredTypes) {
  const std::vector<testing::TableRow> rows = testing::ReadTableFile("db/sqlite_columns.txt", 6, 6);
  std::vector<Variant> expected;
  for (const testing::TableRow& row : rows) {
    EXPECT_FALSE(
        Run("INSERT INTO T VALUES " + row[0]).has_value());  // a write answers no result set
    for (size_t i = 1; i < row.fields.size(); ++i) expected.push_back(row.Value(i));
  }
  const ResultSet read = *Run("SELECT ID, PESO, NOME, DATA, OBS FROM T ORDER BY ROWID");
  EXPECT_EQ(read.columns, (std::vector<std::string>{"ID", "PESO", "NOME", "DATA", "OBS"}));
  EXPECT_EQ(read.values, expected);
}

TEST_F(SqliteTest, GetDateIsTheHostClockAndToDateReadsTheOracleMasks) {
  ScopedClock clock([] { return CivilTime{2004, 3, 5, 14, 30, 45}; });
  const ResultSet now = *Run(" SELECT GETDATE ( ) DATA_SERVIDOR ");
  EXPECT_EQ(now.columns[0], "DATA_SERVIDOR");
  EXPECT_EQ(now.at(0, 0), Variant::Date(38051 + (14 * 3600 + 30 * 60 + 45) / 86400.0));
  EXPECT_EQ(Run("SELECT SYSDATE AS D")->at(0, 0), now.at(0, 0));  // the Oracle idiom
  for (const testing::TableRow& row : testing::ReadTableFile("db/sqlite_to_date.txt", 3, 3)) {
    const std::string sql = "SELECT TO_DATE('" + row[0] + "', '" + row[1] + "') AS D";
    if (row[2] == "failed") {
      EXPECT_EQ(ErrorNumberOf([&] { Run(sql); }), kErrStatementFailed) << row.where;
    } else {
      EXPECT_EQ(Run(sql)->at(0, 0), row.Value(2)) << row.where;
    }
  }
}

// A reinstall from another connection is seen by the next call.
TEST_F(SqliteTest, AProcedureRunsItsBodyWithTheValuesBoundByName) {
  const std::string install =
      "INSERT OR REPLACE INTO TMX_PROCEDURE VALUES ('SP_ECO', 'p_num, p_txt', ";
  Run(install + "'SELECT :p_txt AS txt, :p_num AS num')");
  EXPECT_EQ(Run("exec sp_eco 12, 'ação'")->values,
            (std::vector<Variant>{"ação", Variant::Long(12)}));
  OpenConnection("Driver=SQLite3;Database=" + path_)
      ->Execute(ParseStatement(install + "'SELECT :p_num + 1 AS num')"));
  EXPECT_EQ(Run("exec sp_eco 12, 'ação'")->values, std::vector<Variant>{Variant::Long(13)});
}

TEST_F(SqliteTest, AFailingOrWrongCallIsAnErrorThatLeavesNothingWritten) {
  Run("INSERT INTO TMX_PROCEDURE VALUES ('SP_FALHA', 'p', "
      "'INSERT INTO T (ID) VALUES (:p); SELECT * FROM TABELA_QUE_NAO_EXISTE')");
  for (const testing::TableRow& row : testing::ReadTableFile("db/sqlite_calls.txt", 1, 1)) {
    EXPECT_EQ(ErrorNumberOf([&] { Run(row[0]); }), kErrStatementFailed) << row.where;
  }
  EXPECT_TRUE(Run("SELECT ID FROM T")->values.empty());  // the connection goes on working
}

TEST_F(SqliteTest, TheComponentNeverCreatesADatabaseFile) {
  const std::string missing = (folder_ / "missing.db").string();
  EXPECT_EQ(ErrorNumberOf([&] { OpenConnection("Driver=SQLite3;Database=" + missing); }),
            kErrConnectionFailed);
  EXPECT_FALSE(std::filesystem::exists(missing));
  EXPECT_EQ(ErrorNumberOf([&] { OpenConnection("Driver=SQLite3"); }), kErrConnectionFailed);
}

TEST_F(SqliteTest, ResetAndRollbackEndAnOpenTransactionAndNothingElse) {
  for (void (Connection::*end)() : {&Connection::Reset, &Connection::Rollback}) {
    connection_->BeginTransaction();
    Run("INSERT INTO T (ID) VALUES (42)");
    (connection_.get()->*end)();
    EXPECT_TRUE(Run("SELECT ID FROM T WHERE ID = 42")->values.empty());
    (connection_.get()->*end)();  // no transaction: nothing to end, no error
    EXPECT_TRUE(connection_->IsUsable());
  }
}

}  // namespace
}  // namespace tmxcnh::db
