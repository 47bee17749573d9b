#include "db/dialect.h"

#include <gtest/gtest.h>

namespace tmxcnh::db {
namespace {

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

}  // namespace
}  // namespace tmxcnh::db
