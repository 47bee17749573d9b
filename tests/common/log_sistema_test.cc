#include "common/log_sistema.h"

#include <gtest/gtest.h>

#include "tests/support/scripted_driver.h"

namespace tmxcnh {
namespace {

using testing::Rows;
using testing::ScriptedDatabase;

TEST(LogSistema, TheInsertOfTheExample) {
  EXPECT_EQ(
      LogSistemaInsert("ORACLE", 501, 13, 1, 12, 880),
      " Insert  Into LOG_SISTEMA (  LOG_SISTEMA_ID,  TABELA_SISTEMA_ID,  TAB_TIPO_ACAO_ID,  "
      "USUARIO_ID,  registro_id,  data_log )  Values ( 501 , 13 , 1 , 12 , 880 ,  SYSDATE )  ");
}

TEST(LogSistema, TheDateDependsOnTheExactKindAndZeroIsNull) {
  const std::string head =
      " Insert  Into LOG_SISTEMA (  LOG_SISTEMA_ID,  TABELA_SISTEMA_ID,  TAB_TIPO_ACAO_ID,  "
      "USUARIO_ID,  registro_id,  data_log )  Values ( 1 , 37 , 1 , null , null , ";
  EXPECT_EQ(LogSistemaInsert("SQLSERVER", 1, 37, 1, 0, 0), head + " getdate() ) ");
  EXPECT_EQ(LogSistemaInsert("ORACLE", 1, 37, 1, 0, 0), head + " SYSDATE )  ");
  EXPECT_EQ(LogSistemaInsert("oracle", 1, 37, 1, 0, 0), head + " '01/01/2000' ) ");
}

struct Outcome {
  bool done;
  int32_t code;
  std::string message;
};

Outcome Audit(ScriptedDatabase& database) {
  Outcome o{false, -1, "antes"};
  o.done =
      gGrava_Log_Sistema("ORACLE", 13, 1, 12, 880, o.code, o.message, database.connection_text());
  return o;
}

TEST(LogSistema, TakesTheNextIdentifierAndWritesTheRow) {
  ScriptedDatabase database;
  database.Answer("FROM infra_ids", Rows({"LOG_SISTEMA_ID"}, {{Variant::Long(500)}}));
  const Outcome o = Audit(database);
  EXPECT_TRUE(o.done);
  EXPECT_EQ(o.code, -1);
  EXPECT_EQ(o.message, "antes");
  EXPECT_EQ(database.statements(),
            (std::vector<std::string>{"SELECT LOG_SISTEMA_ID FROM infra_ids ",
                                      " Update infra_ids set LOG_SISTEMA_ID = 501",
                                      LogSistemaInsert("ORACLE", 501, 13, 1, 12, 880)}));
}

TEST(LogSistema, ANullCounterGivesRowOne) {
  ScriptedDatabase database;
  database.Answer("FROM infra_ids", Rows({"LOG_SISTEMA_ID"}, {{Variant::Null()}}));
  Audit(database);
  EXPECT_EQ(database.statements().back(), LogSistemaInsert("ORACLE", 1, 13, 1, 12, 880));
}

TEST(LogSistema, WithoutACounterRowNothingIsWritten) {
  ScriptedDatabase empty;
  empty.Answer("FROM infra_ids", Rows({"LOG_SISTEMA_ID"}));
  const Outcome o = Audit(empty);
  EXPECT_FALSE(o.done);
  EXPECT_EQ(o.code, 10);
  EXPECT_EQ(o.message, "Não hã registro na tabela Infra_ids.");
  EXPECT_EQ(empty.statements().size(), 1u);

  int32_t code = 0;
  std::string message;
  EXPECT_FALSE(gGrava_Log_Sistema("ORACLE", 13, 1, 12, 880, code, message,
                                  "Driver=SQLite3;Database=/no/such/folder/x.db"));
  EXPECT_EQ(code, 10);
  EXPECT_EQ(message, "Não hã registro na tabela Infra_ids.");
}

TEST(LogSistema, FailingStepsAreSkipped) {
  ScriptedDatabase failing_update;
  failing_update.Answer("FROM infra_ids", Rows({"LOG_SISTEMA_ID"}, {{Variant::Long(500)}}));
  failing_update.FailAt(2);
  EXPECT_TRUE(Audit(failing_update).done);
  EXPECT_EQ(failing_update.statements().back(), LogSistemaInsert("ORACLE", 501, 13, 1, 12, 880));

  ScriptedDatabase failing_insert;
  failing_insert.Answer("FROM infra_ids", Rows({"LOG_SISTEMA_ID"}, {{Variant::Long(500)}}));
  failing_insert.FailAt(3);
  const Outcome o = Audit(failing_insert);
  EXPECT_TRUE(o.done);
  EXPECT_EQ(o.message, "antes");

  ScriptedDatabase unreadable;  // a counter that is no number: the identifier stays 0
  unreadable.Answer("FROM infra_ids", Rows({"LOG_SISTEMA_ID"}, {{Variant("abc")}}));
  Audit(unreadable);
  EXPECT_EQ(unreadable.statements().back(), LogSistemaInsert("ORACLE", 1, 13, 1, 12, 880));
}

}  // namespace
}  // namespace tmxcnh
