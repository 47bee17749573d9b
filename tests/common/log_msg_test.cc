#include "common/log_msg.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/clock.h"
#include "platform/regional_settings.h"
#include "tests/support/scripted_driver.h"
#include "tests/support/table_file.h"

namespace tmxcnh {
namespace {

using testing::ScriptedDatabase;

std::string Statement(Variant message, Variant kind = "SQLSERVER",
                      Variant user = Variant::Integer(5), Variant type = Variant::Integer(1),
                      Variant connection = "Driver=SQLite3;Database=x") {
  return LogMsgStatement(kind, connection, user, type, message);
}

// The statement expected, from the values as written and the five pieces.
std::string Expected(const std::string& type, const std::string& user, const std::string& date,
                     const std::vector<std::string>& pieces) {
  std::string sql =
      "INSERT INTO LOG_MSG ( TAB_TIPO_MSG_ID, USUARIO_INTERNET_ID ,  DATA_LOG    ,  MSG01       ,"
      "  MSG02       ,  MSG03       ,  MSG04       ,  MSG05       )  VALUES ( " +
      type + " , " + user + " , " + date;
  for (size_t k = 0; k < 5; ++k) {
    sql += (k < pieces.size() ? "'" + pieces[k] + "'" : "null") + (k < 4 ? " , " : " ) ");
  }
  return sql;
}

TEST(LogMsg, TheDateDependsOnTheExactDatabaseKind) {
  ScopedClock clock([] { return CivilTime{2004, 3, 5, 14, 30, 45}; });
  for (const testing::TableRow& row : testing::ReadTableFile("common/log_msg_dates.txt", 3, 3)) {
    ScopedLocale scoped(row[0] == "0409" ? Locale::kUnitedStates : Locale::kBrazil);
    EXPECT_EQ(Statement("Falha", row[1]), Expected("1", "5", row.Text(2), {"Falha"})) << row.where;
  }
}

TEST(LogMsg, AUserOrTypeThatIsNoNumberOrZeroIsNull) {
  for (const testing::TableRow& row : testing::ReadTableFile("common/log_msg_ids.txt", 2, 2)) {
    const Variant id = row.Value(0);
    EXPECT_EQ(Statement("x", "SQLSERVER", id), Expected("1", row[1], " GETDATE() , ", {"x"}))
        << row.where;
    EXPECT_EQ(Statement("x", "SQLSERVER", Variant::Integer(5), id),
              Expected(row[1], "5", " GETDATE() , ", {"x"}))
        << row.where;
  }
}

TEST(LogMsg, TheMessageIsCleanedAndCutInPiecesOf255Characters) {
  for (const testing::TableRow& row : testing::ReadTableFile("common/log_msg_pieces.txt", 2, 6)) {
    std::vector<std::string> pieces;
    for (size_t i = 1; i < row.fields.size(); ++i) pieces.push_back(row.Text(i));
    EXPECT_EQ(Statement(row.Text(0)), Expected("1", "5", " GETDATE() , ", pieces)) << row.where;
  }
}

TEST(LogMsg, NothingIsWrittenWithoutKindConnectionOrMessage) {
  const Variant user = Variant::Integer(5), type = Variant::Integer(1);
  EXPECT_EQ(Statement("x", "  "), "");
  EXPECT_EQ(Statement("x", "SQLSERVER", user, type, Variant(" ")), "");
  EXPECT_EQ(Statement("'<>();%&+\""), "");
  EXPECT_EQ(Statement(""), "");
}

TEST(LogMsg, TheRowIsWrittenOnTheConnectionGivenAndNeverFailsItsCaller) {
  ScriptedDatabase database;
  Variant kind = "SQLSERVER", connection = database.connection_text();
  Variant user = Variant::Integer(5), type = Variant::Integer(1), message = "Falha";
  gGrava_Log_Msg(kind, connection, user, type, message);
  EXPECT_EQ(database.statements(), std::vector<std::string>{Statement("Falha")});
  database.FailAt(2, "disco cheio");
  EXPECT_NO_THROW(gGrava_Log_Msg(kind, connection, user, type, message));
  Variant nowhere = "Driver=SQLite3;Database=/no/such/folder/x.db";
  EXPECT_NO_THROW(gGrava_Log_Msg(kind, nowhere, user, type, message));
  Variant array = Variant::Array({});
  EXPECT_NO_THROW(gGrava_Log_Msg(array, array, array, array, array));
}

}  // namespace
}  // namespace tmxcnh
