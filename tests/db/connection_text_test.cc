#include <gtest/gtest.h>

#include <cstdlib>

#include "db/connection.h"
#include "platform/run_time_error.h"
#include "tests/support/table_file.h"

namespace tmxcnh::db {
namespace {

TEST(ConnectionText, KeysIgnoreCaseAndValuesMayBeBracedOrQuoted) {
  const ConnectionText text(
      "Driver={PostgreSQL Unicode};Server=127.0.0.1; port = 5432 ;Database=tmx;Pwd={a;b};"
      "Password=\"x;\"\"y\";User ID='it''s'");
  EXPECT_EQ(text.Get("DRIVER"), "PostgreSQL Unicode");
  EXPECT_EQ(text.Get("Port"), "5432");
  EXPECT_EQ(text.Get("database"), "tmx");
  EXPECT_EQ(text.Get("pwd"), "a;b");
  EXPECT_EQ(text.Get("password"), "x;\"y");
  EXPECT_EQ(text.Get("user id"), "it's");
  EXPECT_FALSE(text.Has("Uid"));
  EXPECT_EQ(text.Get("Uid"), "");
}

// What the Windows callers write for ADO, and the ODBC text each becomes.
TEST(ConnectionText, AdoTextsBecomeTheOdbcTextsOfTheirDrivers) {
  setenv("TMXCNH_SQLSERVER_DRIVER", "ODBC Driver 18 for SQL Server", 1);
  unsetenv("TMXCNH_ORACLE_DRIVER");
  for (const testing::TableRow& row : testing::ReadTableFile("db/connection_texts.txt", 2, 2)) {
    EXPECT_EQ(ConnectionText(row.Text(0)).ForOdbc(), row.Text(1)) << row.where;
  }
  unsetenv("TMXCNH_SQLSERVER_DRIVER");
  // A provider no ODBC driver serves is named in the refusal.
  try {
    ConnectionText("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=c:\\a.accdb").ForOdbc();
    ADD_FAILURE() << "no refusal";
  } catch (const RunTimeError& error) {
    EXPECT_NE(error.description().find("\"Microsoft.ACE.OLEDB.12.0\" não é atendido"),
              std::string::npos)
        << error.description();
  }
}

TEST(ConnectionText, PasswordsAreMaskedWhereTheTextIsShown) {
  EXPECT_EQ(ConnectionText("Driver=SQLite3;Database=/tmp/a.db").Masked(),
            "Driver=SQLite3;Database=/tmp/a.db");
  EXPECT_EQ(ConnectionText("DSN=tmx;Uid=a;Pwd={s;e};Port=1").Masked(),
            "DSN=tmx;Uid=a;Pwd=****;Port=1");
  EXPECT_EQ(ConnectionText("Data Source=x;Password='s';password=").Masked(),
            "Data Source=x;Password=****;password=****");
}

}  // namespace
}  // namespace tmxcnh::db
