#include "db/statement.h"

#include <gtest/gtest.h>

#include "platform/run_time_error.h"
#include "tests/error_number.h"

namespace tmxcnh::db {
namespace {

using testing::ErrorNumberOf;
using Kind = SqlLiteral::Kind;

struct CallCase {
  const char* text;
  const char* name;
  std::vector<SqlLiteral> arguments;
};

TEST(Statement, ExecCallsAreReadWithTheirLiterals) {
  const CallCase cases[] = {
      {"exec sp_tmx_con_Data_Servidor ", "sp_tmx_con_Data_Servidor", {}},
      {"exec SP_TMX_CON_EMPRESA_OP 7", "SP_TMX_CON_EMPRESA_OP", {{Kind::kNumber, "7"}}},
      {" Exec  sp_plv_con_docto_transp_cli 35, 1020",
       "sp_plv_con_docto_transp_cli",
       {{Kind::kNumber, "35"}, {Kind::kNumber, "1020"}}},
      {"EXEC X null, 'a b', -5, 12.5, NULL",
       "X",
       {{Kind::kNull, ""},
        {Kind::kText, "a b"},
        {Kind::kNumber, "-5"},
        {Kind::kNumber, "12.5"},
        {Kind::kNull, ""}}},
      {"exec X 'd''água'", "X", {{Kind::kText, "d'água"}}},
      {"exec X '', '2003/11/20 00:00'",
       "X",
       {{Kind::kText, ""}, {Kind::kText, "2003/11/20 00:00"}}},
      {"exec dbo.X  1 ,2  ", "dbo.X", {{Kind::kNumber, "1"}, {Kind::kNumber, "2"}}},
      {"exec\tX\t3", "X", {{Kind::kNumber, "3"}}},
      // Exponents, as the run time writes small and large doubles, in plain form.
      {"exec X 1e3, 1E-05, -2.5E+2, 0.0012e2, 1.5e-1",
       "X",
       {{Kind::kNumber, "1000"},
        {Kind::kNumber, "0.00001"},
        {Kind::kNumber, "-250"},
        {Kind::kNumber, "0.12"},
        {Kind::kNumber, "0.15"}}},
  };
  for (const CallCase& c : cases) {
    const Statement statement = ParseStatement(c.text);
    ASSERT_TRUE(statement.call.has_value()) << c.text;
    EXPECT_EQ(statement.call->name, c.name);
    ASSERT_EQ(statement.call->arguments.size(), c.arguments.size()) << c.text;
    for (size_t i = 0; i < c.arguments.size(); ++i) {
      EXPECT_EQ(statement.call->arguments[i].kind, c.arguments[i].kind) << c.text << " #" << i;
      EXPECT_EQ(statement.call->arguments[i].value, c.arguments[i].value) << c.text << " #" << i;
    }
    EXPECT_EQ(statement.text, c.text);
  }
}

TEST(Statement, AnythingButLiteralsInAnExecIsRefused) {
  for (const char* text : {
           "exec SP_TMX_CON_EMPRESA_OP 7; delete from LOG_MSG",
           "exec SP_TMX_CON_EMPRESA_OP 7 delete from LOG_MSG",
           "exec X 1, 2,",
           "exec X 1 2",
           "exec X f(1)",
           "exec X 1+1",
           "exec X 'abc",
           "exec X 'd'água'",
           "exec X 12abc",
           "exec X 1 -- comment",
           "exec X 1 /* c */",
           "exec X nullx",
           "exec 1X 2",
           "exec X 12,5.3.1",
           "exec X 1e",
           "exec X 1e+",
           "exec X 1e5000",
           "exec X 1e3x",
       }) {
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

}  // namespace
}  // namespace tmxcnh::db
