#include "db/sql_script.h"

#include <gtest/gtest.h>

namespace tmxcnh::db {
namespace {

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
}

TEST(SqlScript, AnEmptyScriptHasNoStatements) {
  EXPECT_TRUE(SplitSqlScript("").empty());
  EXPECT_TRUE(SplitSqlScript("-- only a comment\n ; ;").empty());
}

}  // namespace
}  // namespace tmxcnh::db
