#include "common/method_trap.h"

#include <gtest/gtest.h>

#include "platform/run_time_error.h"
#include "tests/support/scripted_driver.h"
#include "tests/support/table_file.h"

namespace tmxcnh {
namespace {

using testing::ScriptedDatabase;

// Runs a trap over a failing step and hands back the message it left.
Variant Trapped(MethodTrap& trap, const Variant& kind, const Variant& connection,
                const Variant& user) {
  Variant message = "antes";
  try {
    throw RunTimeError(kErrTypeMismatch, "Tipos incompatíveis");
  } catch (...) {
    trap.Handle(message, kind, connection, user);
  }
  return message;
}

// The detail's fragments with and without the statement, and a negative
// error number, are held by the methods' own traps; here who sees the detail.
TEST(MethodTrap, OnlyUserOneSeesTheDetailAndEveryCallLogsOneRow) {
  for (const testing::TableRow& row : testing::ReadTableFile("common/trap_users.txt", 2, 2)) {
    ScriptedDatabase database;
    MethodTrap trap("gBusca_Data_Dia", "Acesso a função não disponível.");
    trap.Step(1050);
    trap.sql() = "exec sp_tmx_con_Data_Servidor ";
    const Variant message = Trapped(trap, "SQLSERVER", database.connection_text(), row.Value(0));
    const std::string detail =
        " TMXCNH.gBusca_Data_Dia ( Tipos incompatíveis : 13)   no nº 1050, strSq: exec "
        "sp_tmx_con_Data_Servidor ";
    EXPECT_EQ(message, Variant(std::string("Acesso a função não disponível.") +
                               (row[1] == "sees" ? detail : "")))
        << row.where;
    const std::vector<std::string> rows = database.StatementsStartingWith("INSERT INTO LOG_MSG");
    ASSERT_EQ(rows.size(), 1u) << row.where;
    EXPECT_NE(
        rows[0].find("'Acesso a função não disponível. TMXCNH.gBusca_Data_Dia  Tipos "
                     "incompatíveis : 13   no nº 1050, strSq: exec sp_tmx_con_Data_Servidor '"),
        std::string::npos)
        << rows[0];
  }
}

TEST(MethodTrap, AnyExceptionIsTrappedAndAnUnloggedTrapWritesNoRow) {
  ScriptedDatabase database;
  MethodTrap trap("m", "Sentença.", MethodTrap::Detail::kWithSql, MethodTrap::Logging::kNotLogged);
  Variant message;
  try {
    throw std::runtime_error("sem memória");
  } catch (...) {
    trap.Handle(message, "SQLSERVER", database.connection_text(), Variant::Integer(1));
  }
  EXPECT_EQ(message, Variant("Sentença. TMXCNH.m ( sem memória : 5)   no nº 0, strSq: "));
  EXPECT_TRUE(database.statements().empty());
}

}  // namespace
}  // namespace tmxcnh
