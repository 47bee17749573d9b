// The connection texts that Windows callers write for ADO reach PostgreSQL
// through a data source, as they reach a site's database through its DSN.
#include <gtest/gtest.h>

#include <cstdlib>

#include "db/connection.h"
#include "tests/support/method_call.h"
#include "tests/support/test_databases.h"

namespace tmxcnh {
namespace {

using testing::CallMethod;
using testing::TestDatabase;
using testing::TestEngine;

TEST(AdoTexts, ReachTheDatabaseThroughADataSource) {
  const char* dsn = std::getenv("TMXCNH_TEST_PG_DSN");
  auto database = TestDatabase::Create(TestEngine::kPostgreSql);
  if (!database || !dsn) GTEST_SKIP() << "no PostgreSQL data source here (TMXCNH_TEST_PG_DSN)";
  const std::string catalog = db::ConnectionText(database->connection_text()).Get("Database");
  for (const std::string& text : {
           "Provider=MSDASQL.1;Persist Security Info=False;Data Source=" + std::string(dsn) +
               ";Initial Catalog=" + catalog,
           "Provider=MSDASQL.1;Password=\"\";User ID=postgres;Data Source=" + std::string(dsn) +
               ";Initial Catalog=" + catalog,
           "Data Source=" + std::string(dsn) + ";Initial Catalog=" + catalog,
           "Provider=MSDASQL;Extended Properties=\"DSN=" + std::string(dsn) +
               ";Database=" + catalog + "\"",
       }) {
    const testing::MethodCall call =
        CallMethod("gBusca_Empresa_Filial", {{"invntBanco_Dados", "SQLSERVER"},
                                             {"vntConecta_db", text},
                                             {"invntPonto_Operacao_id", Variant::Integer(7)}});
    EXPECT_EQ(call.result, Variant::Integer(0)) << text << ": " << call["outvntMsg_Ret"];
    EXPECT_EQ(call["outvntEmpresa_id"], Variant::Long(1)) << text;
  }
}

}  // namespace
}  // namespace tmxcnh
