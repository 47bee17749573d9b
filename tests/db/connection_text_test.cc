#include <gtest/gtest.h>

#include <cstdlib>

#include "db/connection.h"
#include "platform/run_time_error.h"

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
  const std::pair<const char*, const char*> cases[] = {
      // ODBC texts go on as they stand.
      {"DSN=tmx", "DSN=tmx"},
      {"Driver={PostgreSQL Unicode};Server=h;Database=d",
       "Driver={PostgreSQL Unicode};Server=h;Database=d"},
      // ADO's provider for ODBC, as the data-link dialog writes it.
      {"Provider=MSDASQL;DSN=tmx;Uid=a", "DSN=tmx;UID=a;"},
      {"Provider=MSDASQL.1;Persist Security Info=False;Data Source=mydsn", "DSN=mydsn;"},
      {"Provider=MSDASQL.1;Password=\"p;w\";User ID=sa;Data Source=mydsn;Initial Catalog=tmx",
       "PWD={p;w};UID=sa;DSN=mydsn;DATABASE=tmx;"},
      {"Provider=MSDASQL.1;Extended Properties=\"DSN=mydsn;UID=sa\"", "DSN=mydsn;UID=sa"},
      {"Data Source=mydsn;User ID=sa", "DSN=mydsn;UID=sa;"},  // ADO's default provider
      // SQL Server's OLE DB providers.
      {"Provider=SQLOLEDB.1;Data Source=srv\\inst;Initial Catalog=tmx;User ID=sa;Password=x",
       "Driver=ODBC Driver 18 for SQL Server;Server=srv\\inst;Database=tmx;UID=sa;PWD=x;"},
      {"Provider=SQLNCLI11;Data Source=srv;Integrated Security=SSPI;Initial Catalog=tmx",
       "Driver=ODBC Driver 18 for SQL Server;Server=srv;Database=tmx;Trusted_Connection=Yes;"},
      {"Provider=MSOLEDBSQL;Data Source=srv;User ID=sa;Password=x",
       "Driver=ODBC Driver 18 for SQL Server;Server=srv;UID=sa;PWD=x;"},
      // Oracle's.
      {"Provider=MSDAORA.1;Data Source=ORCL;User ID=tmx;Password=x",
       "Driver=Oracle 19 ODBC driver;DBQ=ORCL;UID=tmx;PWD=x;"},
      {"Provider=OraOLEDB.Oracle.1;Data Source=ORCL;User ID=tmx;Password=x",
       "Driver=Oracle 19 ODBC driver;DBQ=ORCL;UID=tmx;PWD=x;"},
  };
  for (const auto& [ado, odbc] : cases) EXPECT_EQ(ConnectionText(ado).ForOdbc(), odbc) << ado;
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
