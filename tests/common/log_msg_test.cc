#include "common/log_msg.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/sql_values.h"
#include "platform/clock.h"
#include "platform/regional_settings.h"
#include "tests/support/scripted_driver.h"

namespace tmxcnh {
namespace {

using testing::ScriptedDatabase;

const char kPrefix[] =
    "INSERT INTO LOG_MSG ( TAB_TIPO_MSG_ID, USUARIO_INTERNET_ID ,  DATA_LOG    ,  MSG01       ,"
    "  MSG02       ,  MSG03       ,  MSG04       ,  MSG05       )  VALUES ( ";

std::string Statement(Variant kind, Variant user, Variant type, Variant message,
                      Variant connection = "Driver=SQLite3;Database=x") {
  return LogMsgStatement(kind, connection, user, type, message);
}

TEST(LogMsg, TheStatementOfTheExample) {
  EXPECT_EQ(Statement("SQLSERVER", Variant::Integer(5), Variant::Integer(1), "Falha"),
            "INSERT INTO LOG_MSG ( TAB_TIPO_MSG_ID, USUARIO_INTERNET_ID ,  DATA_LOG    ,  MSG01  "
            "     ,  MSG02       ,  MSG03       ,  MSG04       ,  MSG05       )  VALUES ( 1 , 5 ,  "
            "GETDATE() , 'Falha' , null , null , null , null ) ");
}

struct DateCase {
  Locale locale;
  Variant kind;
  const char* expression;
};

TEST(LogMsg, TheDateDependsOnTheExactDatabaseKind) {
  ScopedClock clock([] { return CivilTime{2004, 3, 5, 14, 30, 45}; });
  const DateCase cases[] = {
      {Locale::kBrazil, "SQLSERVER", " GETDATE() , "},
      {Locale::kBrazil, "ORACLE", " TO_DATE('2004/03/05 14:30:45' , 'YYYY/MM/DD hh24:mi:ss') , "},
      {Locale::kUnitedStates, "ORACLE",
       " TO_DATE('2004/03/05 14:30:45' , 'YYYY/MM/DD hh24:mi:ss') , "},
      {Locale::kBrazil, "oracle", " '2002/01/01' , "},
      {Locale::kBrazil, "DB2", " '2002/01/01' , "},
  };
  for (const DateCase& c : cases) {
    ScopedLocale locale(c.locale);
    const std::string statement = Statement(c.kind, Variant::Integer(5), Variant::Integer(1), "x");
    EXPECT_EQ(statement, std::string(kPrefix) + "1 , 5 , " + c.expression +
                             "'x' , null , null , null , null ) ")
        << Describe(c.kind);
  }
}

struct IdCase {
  Variant user;
  const char* written;
};

TEST(LogMsg, AUserOrTypeThatIsNoNumberOrZeroIsNull) {
  const IdCase cases[] = {
      {Variant::Integer(5), "5"}, {Variant("12"), "12"}, {Variant("abc"), "null"},
      {Variant(""), "null"},      {Variant(), "null"},   {Variant::Integer(0), "null"},
      {Variant::Null(), "null"},  {Variant("7,6"), "8"},  // rounded to a whole number
  };
  for (const IdCase& c : cases) {
    EXPECT_EQ(Statement("SQLSERVER", c.user, Variant::Integer(1), "x"),
              std::string(kPrefix) + "1 , " + c.written +
                  " ,  GETDATE() , 'x' , null , null , null , null ) ")
        << Describe(c.user);
    EXPECT_EQ(
        Statement("SQLSERVER", Variant::Integer(5), c.user, "x"),
        std::string(kPrefix) + c.written + " , 5 ,  GETDATE() , 'x' , null , null , null , null ) ")
        << Describe(c.user);
  }
}

TEST(LogMsg, TheMessageIsCleanedAndCutInPiecesOf255Characters) {
  const std::string a255(255, 'a');
  const std::string b255(255, 'b');
  const std::string c90(90, 'c');
  EXPECT_EQ(
      Statement("SQLSERVER", Variant::Integer(5), Variant::Integer(1), Variant(a255 + b255 + c90)),
      std::string(kPrefix) + "1 , 5 ,  GETDATE() , '" + a255 + "' , '" + b255 + "' , '" + c90 +
          "' , null , null ) ");
  EXPECT_EQ(
      Statement("SQLSERVER", Variant::Integer(5), Variant::Integer(1), Variant(a255)),
      std::string(kPrefix) + "1 , 5 ,  GETDATE() , '" + a255 + "' , null , null , null , null ) ");
  // Characters count, not bytes: 300 "ç" make a piece of 255 and one of 45.
  std::string cedillas;
  for (int i = 0; i < 300; ++i) cedillas += "ç";
  const std::string statement =
      Statement("SQLSERVER", Variant::Integer(5), Variant::Integer(1), Variant(cedillas));
  EXPECT_NE(statement.find("'" + cedillas.substr(0, 255 * 2) + "' , '" +
                           cedillas.substr(0, 45 * 2) + "'"),
            std::string::npos);
  // Beyond 1275 characters nothing is stored.
  const std::string long_message(1300, 'x');
  const std::string five =
      Statement("SQLSERVER", Variant::Integer(5), Variant::Integer(1), Variant(long_message));
  EXPECT_EQ(std::count(five.begin(), five.end(), 'x'), 5 * 255);
  EXPECT_NE(five.find("'" + std::string(255, 'x') + "' ) "), std::string::npos);
  EXPECT_NE(Statement("SQLSERVER", Variant::Integer(5), Variant::Integer(1),
                      " TMXCNH.x ( d'x : 13)  no nº 10, strSq: a<b")
                .find("' TMXCNH.x  dx : 13  no nº 10, strSq: ab'"),
            std::string::npos);
  // What no engine stores (a NUL, a stray byte) does not cost the row.
  EXPECT_NE(Statement("SQLSERVER", Variant::Integer(5), Variant::Integer(1),
                      Variant(std::string("a\0b\xFF"
                                          "c",
                                          5)))
                .find("'ab?c'"),
            std::string::npos);
}

TEST(LogMsg, NothingIsWrittenWithoutKindConnectionOrMessage) {
  EXPECT_EQ(Statement("  ", Variant::Integer(5), Variant::Integer(1), "x"), "");
  EXPECT_EQ(Statement("SQLSERVER", Variant::Integer(5), Variant::Integer(1), "x", Variant(" ")),
            "");
  EXPECT_EQ(Statement("SQLSERVER", Variant::Integer(5), Variant::Integer(1), "'<>();%&+\""), "");
  EXPECT_EQ(Statement("SQLSERVER", Variant::Integer(5), Variant::Integer(1), ""), "");
}

TEST(LogMsg, TheRowIsWrittenOnTheConnectionGiven) {
  ScriptedDatabase database;
  Variant kind = "SQLSERVER";
  Variant connection = database.connection_text();
  Variant user = Variant::Integer(5);
  Variant type = Variant::Integer(1);
  Variant message = "Falha";
  gGrava_Log_Msg(kind, connection, user, type, message);
  ASSERT_EQ(database.statements().size(), 1u);
  EXPECT_EQ(database.statements()[0], Statement("SQLSERVER", user, type, "Falha"));
}

TEST(LogMsg, ItNeverFailsItsCaller) {
  ScriptedDatabase database;
  database.FailAt(1, "disco cheio");
  Variant kind = "SQLSERVER";
  Variant connection = database.connection_text();
  Variant user = Variant::Integer(5);
  Variant type = Variant::Integer(1);
  Variant message = "Falha";
  EXPECT_NO_THROW(gGrava_Log_Msg(kind, connection, user, type, message));
  Variant nowhere = "Driver=SQLite3;Database=/no/such/folder/x.db";
  EXPECT_NO_THROW(gGrava_Log_Msg(kind, nowhere, user, type, message));
  Variant array = Variant::Array({});
  EXPECT_NO_THROW(gGrava_Log_Msg(array, array, array, array, array));
}

}  // namespace
}  // namespace tmxcnh
