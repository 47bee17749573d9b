#include <gtest/gtest.h>

#include "component/cnh.h"
#include "platform/date_serial.h"
#include "platform/regional_settings.h"
#include "tests/support/scripted_driver.h"

namespace tmxcnh {
namespace {

using testing::Rows;
using testing::ScriptedDatabase;

constexpr const char* kSentence =
    "Acesso a função não disponível: gBusca_Data_Dia. Favor tentar mais tarde.";

struct Outcome {
  Variant result;
  Variant date;
  Variant message;
};

Outcome Call(ScriptedDatabase& database, Variant kind, Variant user = Variant::Integer(5),
             Variant date = "antes", Variant message = "intocada") {
  CNH object;
  Variant connection = database.connection_text();
  Variant company = Variant::Integer(1);
  Variant group = Variant::Integer(1);
  const Variant result =
      object.gBusca_Data_Dia(kind, connection, user, company, group, date, message);
  return {result, date, message};
}

const double k5March2004At1430 = 38051 + 14.5 / 24;

TEST(ServerDate, SendsTheProcedureOrTheEmulationsSelect) {
  struct Case {
    Variant kind;
    const char* statement;
  };
  const Case cases[] = {
      {"SQLSERVER", "exec sp_tmx_con_Data_Servidor "},
      {"oracle", "exec sp_tmx_con_Data_Servidor "},
      {"", "exec sp_tmx_con_Data_Servidor "},
      {Variant(), "exec sp_tmx_con_Data_Servidor "},
      {"ORACLE", " SELECT GETDATE ( ) DATA_SERVIDOR "},
  };
  for (const Case& c : cases) {
    ScriptedDatabase database;
    database.Answer("DATA_SERVIDOR", Rows({"DATA_SERVIDOR"}, {{Variant::Date(k5March2004At1430)}}));
    database.Answer("sp_tmx_con_Data_Servidor",
                    Rows({"data_servidor"}, {{Variant::Date(k5March2004At1430)}}));
    const Outcome outcome = Call(database, c.kind);
    EXPECT_EQ(database.statements(), std::vector<std::string>{c.statement}) << Describe(c.kind);
    EXPECT_EQ(outcome.result, Variant::Integer(0));
    EXPECT_EQ(outcome.date, Variant("05/03/2004"));  // the time of day is dropped
    EXPECT_EQ(outcome.message, Variant("intocada"));
  }
}

TEST(ServerDate, TheDateIsWrittenDayMonthYearWhateverTheLocale) {
  ScopedLocale us(Locale::kUnitedStates);
  ScriptedDatabase database;
  database.Answer("sp_tmx", Rows({"data_servidor"}, {{Variant::Date(k5March2004At1430)}}));
  EXPECT_EQ(Call(database, "SQLSERVER").date, Variant("05/03/2004"));
}

TEST(ServerDate, ANullDateIsEmptyAndNoRowLeavesEverythingButTheResult) {
  ScriptedDatabase database;
  database.Answer("sp_tmx", Rows({"data_servidor"}, {{Variant::Null()}}));
  EXPECT_EQ(Call(database, "SQLSERVER").date, Variant(""));

  ScriptedDatabase empty;
  empty.Answer("sp_tmx", Rows({"data_servidor"}));
  const Outcome outcome = Call(empty, "SQLSERVER");
  EXPECT_EQ(outcome.result, Variant::Integer(0));
  EXPECT_EQ(outcome.date, Variant("antes"));
  EXPECT_EQ(outcome.message, Variant("intocada"));
}

TEST(ServerDate, AFailingOpenRunsTheTrapWithTheStatementSent) {
  for (const Variant& user : {Variant::Integer(1), Variant::Integer(5)}) {
    ScriptedDatabase database;
    database.FailAt(1, "Could not find stored procedure 'sp_tmx_con_Data_Servidor'.");
    const Outcome outcome = Call(database, "SQLSERVER", user);
    const std::string detail =
        " TMXCNH.gBusca_Data_Dia ( Could not find stored procedure 'sp_tmx_con_Data_Servidor'. : "
        "-2147217900)   no nº 1050, strSq: exec sp_tmx_con_Data_Servidor ";
    EXPECT_EQ(outcome.result, Variant::Integer(10));
    EXPECT_EQ(outcome.date, Variant("antes"));
    EXPECT_EQ(outcome.message,
              Variant(std::string(kSentence) + (user == Variant::Integer(1) ? detail : "")));
    ASSERT_EQ(database.StatementsStartingWith("INSERT INTO LOG_MSG").size(), 1u);
  }
}

TEST(ServerDate, ARowWithoutTheColumnRunsTheTrap) {
  ScriptedDatabase database;
  database.Answer("sp_tmx", Rows({"outra"}, {{Variant::Long(1)}}));
  const Outcome outcome = Call(database, "SQLSERVER", Variant::Integer(1));
  EXPECT_EQ(outcome.result, Variant::Integer(10));
  EXPECT_NE(
      outcome.message.string_value().find("no nº 1070, strSq: exec sp_tmx_con_Data_Servidor "),
      std::string::npos);
}

}  // namespace
}  // namespace tmxcnh
