#include "common/log_sistema.h"

#include <gtest/gtest.h>

#include "tests/support/scripted_driver.h"
#include "tests/support/table_file.h"

namespace tmxcnh {
namespace {

using testing::Rows;
using testing::ScriptedDatabase;

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

Outcome Audit(const std::string& connection) {
  Outcome o{false, -1, "antes"};
  o.done = gGrava_Log_Sistema("ORACLE", 13, 1, 12, 880, o.code, o.message, connection);
  return o;
}

// A failing update or insert is skipped: the audit row is not worth the caller's work.
TEST(LogSistema, TakesTheNextIdentifierAndWritesTheRow) {
  for (const testing::TableRow& row :
       testing::ReadTableFile("common/log_sistema_counters.txt", 3, 3)) {
    const int fail_at = row.Number(1), id = row.Number(2);
    ScriptedDatabase database;
    database.Answer("FROM infra_ids", Rows({"LOG_SISTEMA_ID"}, {{row.Value(0)}}));
    if (fail_at != 0) database.FailAt(fail_at);
    const Outcome o = Audit(database.connection_text());
    EXPECT_TRUE(o.done) << row.where;
    EXPECT_EQ(o.code, -1);
    EXPECT_EQ(o.message, "antes");
    EXPECT_EQ(
        database.statements(),
        (std::vector<std::string>{"SELECT LOG_SISTEMA_ID FROM infra_ids ",
                                  " Update infra_ids set LOG_SISTEMA_ID = " + std::to_string(id),
                                  LogSistemaInsert("ORACLE", id, 13, 1, 12, 880)}))
        << row.where;
  }
}

TEST(LogSistema, WithoutACounterRowNothingIsWritten) {
  ScriptedDatabase empty;
  empty.Answer("FROM infra_ids", Rows({"LOG_SISTEMA_ID"}));
  for (const std::string& connection :
       {empty.connection_text(), std::string("Driver=SQLite3;Database=/no/such/folder/x.db")}) {
    const Outcome o = Audit(connection);
    EXPECT_FALSE(o.done) << connection;
    EXPECT_EQ(o.code, 10);
    EXPECT_EQ(o.message, "Não hã registro na tabela Infra_ids.");
  }
  EXPECT_EQ(empty.statements().size(), 1u);
}

}  // namespace
}  // namespace tmxcnh
