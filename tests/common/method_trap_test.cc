#include "common/method_trap.h"

#include <gtest/gtest.h>

#include "platform/run_time_error.h"
#include "tests/support/scripted_driver.h"

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
struct UserCase {
  Variant user;
  bool sees_detail;
};

TEST(MethodTrap, OnlyUserOneSeesTheDetailAndEveryCallLogsOneRow) {
  const UserCase cases[] = {
      // Compared as the number 1; a text that is no number is not user 1.
      {Variant::Integer(1), true}, {Variant("01"), true},    {Variant::Integer(5), false},
      {Variant(""), false},        {Variant::Null(), false}, {Variant("abc"), false},
  };
  for (const UserCase& c : cases) {
    ScriptedDatabase database;
    MethodTrap trap("gBusca_Data_Dia", "Acesso a função não disponível.");
    trap.Step(1050);
    trap.sql() = "exec sp_tmx_con_Data_Servidor ";
    const Variant message = Trapped(trap, "SQLSERVER", database.connection_text(), c.user);
    const std::string detail =
        " TMXCNH.gBusca_Data_Dia ( Tipos incompatíveis : 13)   no nº 1050, strSq: exec "
        "sp_tmx_con_Data_Servidor ";
    EXPECT_EQ(message, Variant(std::string("Acesso a função não disponível.") +
                               (c.sees_detail ? detail : "")))
        << Describe(c.user);
    const std::vector<std::string> rows = database.StatementsStartingWith("INSERT INTO LOG_MSG");
    ASSERT_EQ(rows.size(), 1u) << Describe(c.user);
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
