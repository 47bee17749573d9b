// How SQL text is read, split and written for each engine.
#include "db/statement.h"

#include <gtest/gtest.h>

#include "db/dialect.h"
#include "db/sql_script.h"
#include "platform/run_time_error.h"
#include "tests/error_number.h"

namespace tmxcnh::db {
namespace {

using testing::ErrorNumberOf;
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

TEST(Statement, ExecCallsAreReadWithTheirLiterals) {
  const std::pair<const char*, const char*> cases[] = {
      {"exec sp_tmx_con_Data_Servidor ", "sp_tmx_con_Data_Servidor()"},
      {"exec SP_TMX_CON_EMPRESA_OP 7", "SP_TMX_CON_EMPRESA_OP(7)"},
      {" Exec  sp_plv_con_docto_transp_cli 35, 1020", "sp_plv_con_docto_transp_cli(35, 1020)"},
      {"EXEC X null, 'a b', -5, 12.5, NULL", "X(null, 'a b', -5, 12.5, null)"},
      {"exec X 'd''água'", "X('d'água')"},
      {"exec X '', '2003/11/20 00:00'", "X('', '2003/11/20 00:00')"},
      {"exec dbo.X  1 ,2  ", "dbo.X(1, 2)"},
      {"exec\tX\t3", "X(3)"},
      // Exponents, as the run time writes small and large doubles, in plain form.
      {"exec X 1e3, 1E-05, -2.5E+2, 0.0012e2, 1.5e-1", "X(1000, 0.00001, -250, 0.12, 0.15)"},
  };
  for (const auto& [text, call] : cases) {
    const Statement statement = ParseStatement(text);
    ASSERT_TRUE(statement.call.has_value()) << text;
    EXPECT_EQ(Written(*statement.call), call);
    EXPECT_EQ(statement.text, text);
  }
}

TEST(Statement, AnythingButLiteralsInAnExecIsRefused) {
  for (const char* text :
       {"exec SP_TMX_CON_EMPRESA_OP 7; delete from LOG_MSG",
        "exec SP_TMX_CON_EMPRESA_OP 7 delete from LOG_MSG", "exec X 1, 2,", "exec X 1 2",
        "exec X f(1)", "exec X 1+1", "exec X 'abc", "exec X 'd'água'", "exec X 12abc",
        "exec X 1 -- comment", "exec X 1 /* c */", "exec X nullx", "exec 1X 2", "exec X 12,5.3.1",
        "exec X 1e", "exec X 1e+", "exec X 1e5000", "exec X 1e3x"}) {
    EXPECT_EQ(ErrorNumberOf([&] { ParseStatement(text); }), kErrStatementRefused) << text;
  }
}

TEST(Statement, InlineSqlIsOneStatementWithoutComments) {
  for (const char* text : {
           " SELECT EMPRESA_ID  FROM PONTO_OPERACAO  WHERE PONTO_OPERACAO_ID   = 7 ",
           "select ';' from dual", "SELECT 1;", "SELECT 'a--b', \"x;y\" FROM t;  ",
           "UPDATE t SET a = 'it''s'", "SELECT NOME FROM t WHERE NOME = 'MAE'",
           "executar",  // not an exec: a word that begins with it
       }) {
    const Statement statement = ParseStatement(text);
    EXPECT_FALSE(statement.call.has_value()) << text;
  }
  for (const char* text :
       {"SELECT 1; DELETE FROM LOG_MSG", "SELECT 1 -- x", "SELECT /* x */ 1", "SELECT 'abc", "",
        "   ", "SELECT \"a",
        // Quotings the reader does not follow.
        "SELECT $$\"$$; DROP TABLE t; SELECT $$\"$$", "SELECT $1", "SELECT E'\\'; DROP TABLE t'",
        "SELECT U&'d\\0061t'", "SELECT q'[it's]' FROM DUAL", "SELECT [a;b] FROM t",
        "SELECT `a` FROM t"}) {
    EXPECT_EQ(ErrorNumberOf([&] { ParseStatement(text); }), kErrStatementRefused) << text;
  }
}

TEST(Dialect, PostgresRunsAProcedureAsASetReturningFunction) {
  ProcedureCall call{"SP_TMX_CON_EMPRESA_OP", {{SqlLiteral::Kind::kNumber, "7"}}};
  EXPECT_EQ(PostgresCallText(call), "SELECT * FROM SP_TMX_CON_EMPRESA_OP('7')");
  call = {"X",
          {{SqlLiteral::Kind::kText, "d'água"},
           {SqlLiteral::Kind::kNull, ""},
           {SqlLiteral::Kind::kNumber, "-12.5"}}};
  EXPECT_EQ(PostgresCallText(call), "SELECT * FROM X('d''água', NULL, '-12.5')");
  EXPECT_EQ(PostgresCallText({"sp_tmx_con_Data_Servidor", {}}),
            "SELECT * FROM sp_tmx_con_Data_Servidor()");
}

struct AdaptCase {
  Engine engine;
  const char* sql;
  const char* adapted;
};

TEST(Dialect, InlineIdiomsAreWrittenForEachEngine) {
  const AdaptCase cases[] = {
      {Engine::kPostgreSql, " Values ( 1 ,  SYSDATE )  ", " Values ( 1 ,  LOCALTIMESTAMP(0) )  "},
      {Engine::kPostgreSql, " TO_DATE('2004/03/05 14:30:45' , 'YYYY/MM/DD hh24:mi:ss') , ",
       " TMX_TO_DATE('2004/03/05 14:30:45' , 'YYYY/MM/DD hh24:mi:ss') , "},
      {Engine::kPostgreSql, "SELECT 'SYSDATE to_date' FROM t", "SELECT 'SYSDATE to_date' FROM t"},
      {Engine::kPostgreSql, "SELECT MYSYSDATE, sysdate2 FROM t",
       "SELECT MYSYSDATE, sysdate2 FROM t"},
      {Engine::kPostgreSql, " SELECT GETDATE ( ) DATA_SERVIDOR ",
       " SELECT GETDATE ( ) DATA_SERVIDOR "},
      {Engine::kSqlite, " Values ( 1 ,  sysdate )  ", " Values ( 1 ,  GETDATE() )  "},
      {Engine::kSqlite, " TO_DATE('x' , 'y') ", " TO_DATE('x' , 'y') "},
      {Engine::kOracle, " SELECT GETDATE ( ) DATA_SERVIDOR ",
       " SELECT SYSDATE DATA_SERVIDOR  FROM DUAL "},
      {Engine::kOracle, " SELECT 0 RETORNO , '' MSG_RET ",
       " SELECT 0 RETORNO , '' MSG_RET  FROM DUAL "},
      {Engine::kOracle, " SELECT EMPRESA_ID  FROM PONTO_OPERACAO ",
       " SELECT EMPRESA_ID  FROM PONTO_OPERACAO "},
      {Engine::kOracle, " UPDATE NOTA_FISCAL  SET TAB_STATUS_ID = 2 ",
       " UPDATE NOTA_FISCAL  SET TAB_STATUS_ID = 2 "},
      {Engine::kSqlServer, " Values ( SYSDATE ) ", " Values ( SYSDATE ) "},
  };
  for (const AdaptCase& c : cases) {
    EXPECT_EQ(AdaptInlineSql(c.sql, c.engine), c.adapted) << c.sql;
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
