// The reading methods on real databases beyond their transcripts (tests/
// integration/reading.txt, changed_reads.txt): the server's date, the trap
// on a changed schema, a writer's lock, the server's date style and ADO texts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "db/connection.h"
#include "db/drivers.h"
#include "platform/clock.h"
#include "platform/format.h"
#include "tests/support/method_call.h"
#include "tests/support/test_databases.h"

namespace tmxcnh {
namespace {

using testing::CallMethod;
using testing::CallOn;
using testing::MethodCall;
using testing::TestDatabase;
using testing::TestEngine;

const Variant kDone = Variant::Integer(0);
const Variant kRefused = Variant::Integer(10);

// The demo data's reads are cases of tests/integration/reading.txt.
class ServerDateTest : public testing::DatabaseTest {};

TEST_P(ServerDateTest, IsToday) {
  const std::string before = Format(Variant::Date(*SerialFromCivil(Now())), "dd/mm/yyyy");
  const MethodCall call = CallOn("gBusca_Data_Dia", GetParam().kind, database_->connection_text(),
                                 {{"invntUsuario_internet_id", Variant::Integer(5)}});
  EXPECT_EQ(call.result, kDone);
  const std::string after = Format(Variant::Date(*SerialFromCivil(Now())), "dd/mm/yyyy");
  const Variant date = call["outvntData_Dia"];
  EXPECT_TRUE(date == Variant(before) || date == Variant(after)) << Describe(date);
}

INSTANTIATE_TEST_SUITE_P(Engines, ServerDateTest, testing::EveryEngineAndKind(),
                         testing::SettingName);

// Reads on a database that was changed first: each test has its own.
class ChangedDatabaseTest : public testing::DatabaseTest {};

TEST_P(ChangedDatabaseTest, AMissingProcedureOrTableRunsTheTrapAndLogsOneRow) {
  database_->Execute(GetParam().kind == std::string("ORACLE")
                         ? "ALTER TABLE PONTO_OPERACAO RENAME TO PONTO_OPERACAO_ANTIGO"
                         : "DROP FUNCTION sp_tmx_con_empresa_op");
  const MethodCall call =
      CallOn("gBusca_Empresa_Filial", GetParam().kind, database_->connection_text(),
             {{"invntUsuario_internet_id", Variant::Integer(1)},
              {"invntPonto_Operacao_id", Variant::Integer(7)}});
  EXPECT_EQ(call.result, kRefused);
  const std::string text = call["outvntMsg_Ret"].string_value();
  const std::string sentence =
      "Acesso a função não disponível: gBusca_Empresa_Filial. Favor tentar mais tarde.";
  ASSERT_EQ(text.rfind(sentence + " TMXCNH.gBusca_Empresa_Filial ( ", 0), 0u) << text;
  EXPECT_NE(text.find(")   no nº 1270, strSq: "), std::string::npos) << text;
  ASSERT_EQ(database_->Count("LOG_MSG"), 1);
  const db::ResultSet row = database_->Query(
      "SELECT TAB_TIPO_MSG_ID, USUARIO_INTERNET_ID, MSG01, MSG02, DATA_LOG FROM LOG_MSG");
  EXPECT_EQ(row.at(0, 0), Variant::Long(1));
  EXPECT_EQ(row.at(0, 1), Variant::Long(1));
  // The row holds the sentence and the detail, cleaned of ( ) ' and the like.
  std::string cleaned;
  for (char c : text) {
    if (std::string("'<>();%&+\"").find(c) == std::string::npos) cleaned += c;
  }
  std::string stored = row.at(0, 2).string_value();
  if (!row.at(0, 3).IsNull()) stored += row.at(0, 3).string_value();
  EXPECT_EQ(stored, cleaned);
  EXPECT_EQ(row.at(0, 4).type(), VariantType::kDate);
}

// The trap takes no path of its own by engine and kind; the other reads on a
// changed database are cases of tests/integration/changed_reads.txt.
INSTANTIATE_TEST_SUITE_P(Engines, ChangedDatabaseTest, testing::EachEngineAndKindOnce(),
                         testing::SettingName);

// A writer holding SQLite's write lock keeps no reader waiting, through the
// procedures as through the inline SQL.
TEST(SqliteReads, NeverWaitForAWriter) {
  auto database = TestDatabase::Create(TestEngine::kSqlite);
  std::unique_ptr<db::Connection> writer = db::OpenConnection(database->connection_text());
  writer->BeginTransaction();
  writer->Execute(
      testing::Verbatim("UPDATE PONTO_OPERACAO SET EMPRESA_ID = 2 WHERE PONTO_OPERACAO_ID = 7"));
  for (const char* kind : {"SQLSERVER", "ORACLE"}) {
    const MethodCall call = CallOn("gBusca_Empresa_Filial", kind, database->connection_text(),
                                   {{"invntPonto_Operacao_id", Variant::Integer(7)}});
    EXPECT_EQ(call.result, Variant::Integer(0)) << kind << ": " << call["outvntMsg_Ret"];
    EXPECT_EQ(call["outvntEmpresa_id"], Variant::Long(1)) << kind;  // as last committed
  }
  writer->Rollback();
}

// A Brazilian server often keeps dates day first: every pooled connection
// still reads them right.
TEST(PostgreSqlDateStyle, DatesAreRightOnEveryPooledConnection) {
  auto database = TestDatabase::Create(TestEngine::kPostgreSql);
  if (!database) GTEST_SKIP() << "no PostgreSQL here (set TMXCNH_TEST_PG)";
  database->Execute("ALTER DATABASE " +
                    db::ConnectionText(database->connection_text()).Get("Database") +
                    " SET DateStyle = 'SQL, DMY'");
  for (int round = 0; round < 3; ++round) {
    const MethodCall call =
        CallOn("gConsulta_Docto_Transporte", "SQLSERVER", database->connection_text(),
               {{"invntEmpresa_id", Variant::Integer(1)},
                {"invntDocto_Transporte_id", Variant::Long(1001)}});
    EXPECT_EQ(call["outvntData_Emissao"], Variant("04/03/2024")) << "round " << round;
  }
}

// A connection text that a Windows caller writes for ADO reaches PostgreSQL
// through a data source, its catalog overriding the source's database, as
// it reaches a site's database through its DSN.
TEST(AdoTexts, ReachTheDatabaseThroughADataSource) {
  const char* dsn = std::getenv("TMXCNH_TEST_PG_DSN");
  auto database = TestDatabase::Create(TestEngine::kPostgreSql);
  if (!database || !dsn) GTEST_SKIP() << "no PostgreSQL data source here (TMXCNH_TEST_PG_DSN)";
  const std::string text =
      "Provider=MSDASQL.1;Password=\"\";User ID=postgres;Data Source=" + std::string(dsn) +
      ";Initial Catalog=" + db::ConnectionText(database->connection_text()).Get("Database");
  const MethodCall call =
      CallMethod("gBusca_Empresa_Filial", {{"invntBanco_Dados", "SQLSERVER"},
                                           {"vntConecta_db", text},
                                           {"invntPonto_Operacao_id", Variant::Integer(7)}});
  EXPECT_EQ(call.result, kDone) << text << ": " << call["outvntMsg_Ret"];
  EXPECT_EQ(call["outvntEmpresa_id"], Variant::Long(1)) << text;
}

}  // namespace
}  // namespace tmxcnh
