#include <gtest/gtest.h>

#include "db/connection.h"

namespace tmxcnh::db {
namespace {

TEST(ConnectionText, KeysIgnoreCaseAndValuesMayBeBraced) {
  const ConnectionText text(
      "Driver={PostgreSQL Unicode};Server=127.0.0.1; port = 5432 ;Database=tmx;Pwd={a;b}");
  EXPECT_EQ(text.Get("DRIVER"), "PostgreSQL Unicode");
  EXPECT_EQ(text.Get("Port"), "5432");
  EXPECT_EQ(text.Get("database"), "tmx");
  EXPECT_EQ(text.Get("pwd"), "a;b");
  EXPECT_FALSE(text.Has("Uid"));
  EXPECT_EQ(text.Get("Uid"), "");
}

TEST(ConnectionText, OdbcTakesTheTextWithoutTheProvider) {
  EXPECT_EQ(ConnectionText("Provider=MSDASQL;DSN=tmx;Uid=a").ForOdbc(), "DSN=tmx;Uid=a");
  EXPECT_EQ(ConnectionText(" provider=msdasql;DSN=tmx").ForOdbc(), "DSN=tmx");
  EXPECT_EQ(ConnectionText("DSN=tmx").ForOdbc(), "DSN=tmx");
  EXPECT_EQ(ConnectionText("Driver=SQLite3;Database=/tmp/a.db").Get("Database"), "/tmp/a.db");
}

}  // namespace
}  // namespace tmxcnh::db
