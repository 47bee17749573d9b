// How SQL text is read, split and written for each engine.
#include "db/statement.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "db/dialect.h"
#include "db/sql_script.h"
#include "platform/run_time_error.h"
#include "tests/error_number.h"
#include "tests/support/table_file.h"

namespace tmxcnh::db {
namespace {

using testing::ErrorNumberOf;
using testing::ReadTableFile;
using testing::TableRow;
using Kind = SqlLiteral::Kind;

// A call as read, written back: name(7, 'text', null).
std::string Written(const ProcedureCall& call) {
  std::string out = call.name + "(";
  for (const SqlLiteral& argument : call.arguments) {
    out += out.back() == '(' ? "" : ", ";
    out += argument.kind == Kind::kNull   ? "null"
           : argument.kind == Kind::kText ? "'" + argument.value + "'"
                                          : argument.value;
  }
  return out + ")";
}

TEST(Statement, TextsAreReadAsCallsOrInlineSqlOrRefused) {
  for (const TableRow& row : ReadTableFile("db/statements.txt", 2, 4)) {
    const std::string text = row.Text(1);
    if (row[0] == "refused") {
      EXPECT_EQ(ErrorNumberOf([&] { ParseStatement(text); }), kErrStatementRefused) << row.where;
      continue;
    }
    const Statement statement = ParseStatement(text);
    ASSERT_EQ(statement.call.has_value(), row[0] == "call") << row.where;
    if (!statement.call) continue;
    EXPECT_EQ(Written(*statement.call), row.Text(2)) << row.where;
    EXPECT_EQ(statement.text, text) << row.where;
    if (row.fields.size() == 4) {
      EXPECT_EQ(PostgresCallText(*statement.call), row.Text(3)) << row.where;
    }
  }
}

TEST(Dialect, InlineIdiomsAreWrittenForEachEngine) {
  const std::string engines[] = {"sqlite", "postgresql", "sqlserver", "oracle"};
  for (const TableRow& row : ReadTableFile("db/inline_idioms.txt", 3, 3)) {
    const auto engine = std::find(std::begin(engines), std::end(engines), row[0]);
    ASSERT_NE(engine, std::end(engines)) << row.where;
    EXPECT_EQ(AdaptInlineSql(row.Text(1), static_cast<Engine>(engine - engines)), row.Text(2))
        << row.where;
  }
}

TEST(SqlScript, SplitsOnSemicolonsOutsideQuotesBlocksAndComments) {
  const std::string script =
      "-- a comment; with a semicolon\n"
      "CREATE TABLE A (X INTEGER);\n"
      "/* block; comment */ INSERT INTO A VALUES (1);\n"
      "INSERT INTO B VALUES ('a;b', 'it''s; fine');\n"
      "CREATE FUNCTION f() RETURNS integer AS $$ SELECT 1; $$ LANGUAGE sql;\n"
      "CREATE FUNCTION g() RETURNS integer AS $body$ BEGIN RETURN 1; END $body$ LANGUAGE plpgsql;\n"
      "  ;\n"
      "SELECT 2";
  const std::vector<std::string> statements = SplitSqlScript(script);
  ASSERT_EQ(statements.size(), 6u);
  EXPECT_EQ(statements[0], "\nCREATE TABLE A (X INTEGER)");
  EXPECT_EQ(statements[1], "\n INSERT INTO A VALUES (1)");
  EXPECT_EQ(statements[2], "\nINSERT INTO B VALUES ('a;b', 'it''s; fine')");
  EXPECT_EQ(statements[3], "\nCREATE FUNCTION f() RETURNS integer AS $$ SELECT 1; $$ LANGUAGE sql");
  EXPECT_NE(statements[4].find("BEGIN RETURN 1; END"), std::string::npos);
  EXPECT_EQ(statements[5], "\nSELECT 2");
  EXPECT_TRUE(SplitSqlScript("").empty());
  EXPECT_TRUE(SplitSqlScript("-- only a comment\n ; ; --").empty());
}

}  // namespace
}  // namespace tmxcnh::db
