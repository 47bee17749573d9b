// The writes on real databases that their transcripts do not hold: the lock
// a refused save leaves on SQLite, and the two engines' schemas in agreement.
#include <gtest/gtest.h>

#include <filesystem>

#include "db/drivers.h"
#include "platform/conversions.h"
#include "platform/text.h"
#include "tests/support/document_screen.h"
#include "tests/support/method_call.h"
#include "tests/support/scripted_driver.h"
#include "tests/support/test_databases.h"

namespace tmxcnh {
namespace {

using testing::CallMethod;
using testing::MethodCall;
using testing::TestDatabase;
using testing::TestEngine;

// A refused save leaves no lock file beside the SQLite database.
TEST(SqliteInvoiceSaves, LeaveNoLockFileWhenRefused) {
  for (const char* kind : {"SQLSERVER", "ORACLE"}) {
    const auto database = TestDatabase::Create(TestEngine::kSqlite);
    for (int32_t document : {0, 4242, 1004}) {
      if (document == 1004) database->Execute("DELETE FROM INFRA_IDS");
      const Variant id = document ? Variant::Long(document) : Variant::Boolean(true);
      const MethodCall call =
          CallMethod("mGrava_Nota_fiscal",
                     testing::InvoiceScreen(kind, database->connection_text(), id, {55}));
      EXPECT_EQ(call.result, Variant::Boolean(false)) << kind << " " << document;
    }
    const std::filesystem::path file =
        db::ConnectionText(database->connection_text()).Get("Database");
    for (const auto& entry : std::filesystem::directory_iterator(file.parent_path())) {
      EXPECT_EQ(entry.path().filename().string().find(".lock"), std::string::npos) << entry.path();
    }
  }
}

// The two engines' schemas are kept as two files, each a script its own
// client runs: they must define the same tables, views and columns, in order.
TEST(Schemas, BothEnginesDefineTheSameColumns) {
  auto postgres = TestDatabase::Create(TestEngine::kPostgreSql, /*with_demo_data=*/false);
  if (!postgres) GTEST_SKIP() << "no PostgreSQL here (set TMXCNH_TEST_PG)";
  auto sqlite = TestDatabase::Create(TestEngine::kSqlite, /*with_demo_data=*/false);
  const auto columns = [](TestDatabase& database, const std::string& sql) {
    std::vector<std::string> names;
    for (const auto& row : testing::RowsOf(database.Query(sql))) {
      names.push_back(text::UpperAscii(ToText(row[0]) + "." + ToText(row[1])));
    }
    return names;
  };
  const std::vector<std::string> on_sqlite =
      columns(*sqlite,
              "SELECT m.name, p.name FROM sqlite_master m, pragma_table_info(m.name) p "
              "WHERE m.type IN ('table', 'view') AND m.name <> 'TMX_PROCEDURE' "
              "ORDER BY upper(m.name), p.cid");
  EXPECT_GT(on_sqlite.size(), 90u);
  EXPECT_EQ(on_sqlite,
            columns(*postgres,
                    "SELECT table_name, column_name FROM information_schema.columns "
                    "WHERE table_schema = 'public' ORDER BY upper(table_name), ordinal_position"));
}

}  // namespace
}  // namespace tmxcnh
