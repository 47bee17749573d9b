// The reading methods on real databases: every engine and kind answers the
// demo rows as SQLite through the procedures does, through the procedures
// and through the inline SQL.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <tuple>

#include "db/connection.h"
#include "db/drivers.h"
#include "platform/clock.h"
#include "platform/format.h"
#include "tests/support/method_call.h"
#include "tests/support/test_databases.h"

namespace tmxcnh {
namespace {

using testing::Arguments;
using testing::CallMethod;
using testing::CallOn;
using testing::MethodCall;
using testing::Setting;
using testing::TestDatabase;
using testing::TestEngine;

const Setting kReference{TestEngine::kSqlite, "SQLSERVER"};
const Variant kDone = Variant::Integer(0);
const Variant kRefused = Variant::Integer(10);
const char kNotThere[] = "Conhecimento não cadastrado.";

Arguments Detail(int document, int company = 1) {
  return {{"invntEmpresa_id", Variant::Integer(static_cast<int16_t>(company))},
          {"invntGrupo_Empresa_id", Variant::Integer(1)},
          {"invntDocto_Transporte_id", Variant::Long(document)}};
}
Arguments List(Variant number, Variant start, Variant end, int company = 1) {
  return {{"invntEmpresa_id", Variant::Integer(static_cast<int16_t>(company))},
          {"invntNum_Docto_Transporte", std::move(number)},
          {"invntData_ini", std::move(start)},
          {"invntData_Fim", std::move(end)}};
}
Arguments Duplicate(int number, int branch, int document, int company = 1) {
  return {{"invntEmpresa_id", Variant::Long(company)},
          {"invntNum_Docto_Transporte", Variant(std::to_string(number))},
          {"invntPonto_Operacao_id", Variant::Long(branch)},
          {"invntDocto_Transporte_id", Variant::Long(document)},
          {"invntTab_Tipo_Docto_Transp_id", Variant::Integer(1)}};
}

// The reads change nothing: one demo database per engine serves the suite.
class ReadingTest : public ::testing::TestWithParam<Setting> {
 protected:
  static void TearDownTestSuite() {
    for (auto& database : databases_) database.reset();
  }
  void SetUp() override {
    if (Database(GetParam().engine) == nullptr) GTEST_SKIP() << "no PostgreSQL here";
  }
  static TestDatabase* Database(TestEngine engine) {
    auto& database = databases_[static_cast<int>(engine)];
    if (!database) database = TestDatabase::Create(engine);
    return database.get();
  }
  static MethodCall Read(const char* method, Arguments arguments, const Setting& on = GetParam()) {
    arguments.emplace_back("invntUsuario_internet_id", Variant::Integer(5));
    return CallOn(method, on.kind, Database(on.engine)->connection_text(), arguments);
  }
  // Every parameter but the database kind and the connection, which differ by setting.
  static std::vector<Variant> AfterTheConnection(const MethodCall& call) {
    return std::vector<Variant>(call.in_order.begin() + 2, call.in_order.end());
  }
  static std::unique_ptr<TestDatabase> databases_[2];
};

std::unique_ptr<TestDatabase> ReadingTest::databases_[2];

TEST_P(ReadingTest, AnswersHoldWhatWasStored) {
  struct Case {
    const char* method;
    Arguments arguments;
    Variant result;
    Arguments outputs;  // as they are after the call
  };
  const char* const detail = "gConsulta_Docto_Transporte";
  const auto not_there = [](const char* method, Arguments arguments) {
    return Case{method, std::move(arguments), kRefused, {{"outvntMsg_Ret", kNotThere}}};
  };
  const auto client_document = [](int client, int number, const Variant& result) {
    return Case{"gConsulta_Cliente_Docto_Transp",
                {{"invntPessoa_id", Variant::Long(client)},
                 {"invntNum_Docto_Transporte", Variant::Long(number)}},
                result,
                {}};
  };
  const auto client = [](int client) {
    return Case{"mBusca_Cliente",
                {{"invntCliente_id", Variant::Long(client)}},
                Variant::Boolean(client != 999),
                {}};
  };
  const auto branch = [](Variant branch, const Variant& result, Arguments outputs) {
    return Case{"gBusca_Empresa_Filial",
                {{"invntPonto_Operacao_id", std::move(branch)}},
                result,
                std::move(outputs)};
  };
  const auto number = [](int number, int branch, int document, int company, bool free) {
    return Case{"mVerifica_Dupli_Num_Docto", Duplicate(number, branch, document, company),
                Variant::Boolean(free),
                free ? Arguments{}
                     : Arguments{{"outvntMsg_Ret", "Já existe um conhecimento com esse número."}}};
  };
  const Case cases[] = {
      {detail,
       Detail(1001),
       kDone,
       {{"outvntNum_Docto_Transporte", Variant::Long(4501)},
        {"outvntData_Emissao", "04/03/2024"},
        {"outvntPeso_Real", "1234,50"},
        {"outvntVal_Declarado", "15800,00"},
        {"outvntCliente_id", Variant::Long(101)},
        {"outvntQtde_Notas", Variant::Long(3)},
        {"outarrvntNota_Fiscal", Variant::Array({"000123", "000124", "000125"})},
        {"outarrvntVal_Declarado", Variant::Array({"6000,00", "7800,00", "2000,00"})}}},
      {detail, Detail(1004), kDone, {{"outvntQtde_Notas", Variant::Long(2)}}},  // one deleted
      {detail, Detail(1008, 2), kDone, {{"outarrvntVal_Declarado", Variant::Array({""})}}},
      {detail, Detail(1012, 2), kDone, {{"outvntQtde_Notas", Variant()}}},  // no invoices
      // Without a client, client 0 and no invoices, a Null invoice value.
      {detail, Detail(1002), kDone, {}},
      {detail, Detail(1005), kDone, {}},
      {detail, Detail(1011, 2), kDone, {}},
      // A deleted document, another company's, a pickup document, an empty period.
      not_there(detail, Detail(1003)),
      not_there(detail, Detail(1001, 2)),
      not_there(detail, Detail(1006)),
      not_there("gBusca_Lista_Docto_Transporte", List("", "01/01/2020", "31/12/2020")),
      client_document(101, 4501, kDone),     // its own document
      client_document(102, 4503, kDone),     // the live one of two sharing the number
      client_document(101, 4503, kRefused),  // another client's
      client_document(108, 880, kDone),
      client(101),
      client(102),
      client(103),
      client(108),
      client(999),
      branch(Variant::Integer(7), kDone, {{"outvntEmpresa_id", Variant::Long(1)}}),
      branch("12", kDone, {{"outvntEmpresa_id", Variant::Long(2)}, {"outvntMsg_Ret", "intocada"}}),
      branch(Variant::Integer(999), kRefused, {{"outvntMsg_Ret", "Filial não cadastrada."}}),
      // A number is free unless another live document of the branch has it.
      number(4501, 7, 0, 1, false),
      number(4501, 7, 0, 2, false),  // whatever company asks
      number(4501, 12, 0, 1, true),
      number(4501, 7, 1001, 1, true),  // the document being changed itself
      number(4503, 7, 1004, 1, true),  // the other holder, 1003, is deleted
      number(4503, 7, 0, 1, false),
      number(4510, 9, 0, 1, false),  // a pickup document (type 2) counts too
      number(9999, 7, 0, 1, true),
  };
  for (const Case& c : cases) {
    const MethodCall call = Read(c.method, c.arguments);
    const std::string what = c.method + (" " + Describe(c.arguments.back().second));
    EXPECT_EQ(call.result, c.result) << what << ": " << call["outvntMsg_Ret"];
    for (const auto& [name, value] : c.outputs) EXPECT_EQ(call[name], value) << what << " " << name;
    // Every other parameter as on the reference.
    EXPECT_EQ(AfterTheConnection(call), AfterTheConnection(Read(c.method, c.arguments, kReference)))
        << what;
  }
  EXPECT_EQ(Database(GetParam().engine)->Count("LOG_MSG"), 0);
}

// The listed rows as (id, number, sender, recipient, origin, destination, type), sorted by id:
// the inline statement asks for no order.
std::vector<std::vector<Variant>> ListedRows(const MethodCall& call) {
  std::vector<std::vector<Variant>> rows;
  if (!call["outarrvntDocto_Transporte_id"].IsArray()) return rows;
  for (int32_t i = 0; i <= call["outarrvntDocto_Transporte_id"].UBound(); ++i) {
    rows.push_back({call["outarrvntDocto_Transporte_id"].At(i),
                    call["outarrvntNum_Docto_Transporte"].At(i), call["outarrvntRemetente"].At(i),
                    call["outvntDestinatario"].At(i), call["outarrvntOrigem"].At(i),
                    call["outarrvntDestino"].At(i), call["outarrvntTab_Tipo_Docto_Transp"].At(i)});
  }
  std::sort(rows.begin(), rows.end(),
            [](const auto& a, const auto& b) { return a[0].long_value() < b[0].long_value(); });
  return rows;
}

TEST_P(ReadingTest, ListsAreAsOnTheReference) {
  const std::pair<Arguments, std::vector<int32_t>> cases[] = {
      {List("", "04/03/2024", "12/03/2024"), {1001, 1002, 1004, 1005}},
      {List("", "04/03/2024", "12/03/2024", 2), {1007, 1008, 1009, 1010, 1011, 1012}},
      {List("", "07/03/2024", "", 2), {1007, 1008}},  // one day
      // 18:59:59 on the last day counts.
      {List("", "11/03/2024", "12/03/2024", 2), {1010, 1011, 1012}},
      {List(Variant::Integer(4501), "", ""), {1001, 1005}},
      {List("4503", "", ""), {1004}},  // the deleted one shares the number
      {List(Variant::Integer(880), "", "", 2), {1007}},
  };
  for (const auto& [arguments, ids] : cases) {
    const std::string what = Describe(arguments[1].second) + " " + Describe(arguments[2].second);
    const MethodCall call = Read("gBusca_Lista_Docto_Transporte", arguments);
    EXPECT_EQ(call.result, kDone) << what << " " << call["outvntMsg_Ret"];
    std::vector<int32_t> listed;
    for (const auto& row : ListedRows(call)) listed.push_back(row[0].long_value());
    EXPECT_EQ(listed, ids) << what;
    EXPECT_EQ(ListedRows(call),
              ListedRows(Read("gBusca_Lista_Docto_Transporte", arguments, kReference)))
        << what;
    EXPECT_EQ(call["outvntQtde_Docto"], Variant::Long(static_cast<int32_t>(ids.size()))) << what;
  }
}

TEST_P(ReadingTest, TheServerDateIsToday) {
  const std::string before = Format(Variant::Date(*SerialFromCivil(Now())), "dd/mm/yyyy");
  const MethodCall call = Read("gBusca_Data_Dia", {});
  EXPECT_EQ(call.result, kDone);
  const std::string after = Format(Variant::Date(*SerialFromCivil(Now())), "dd/mm/yyyy");
  const Variant date = call["outvntData_Dia"];
  EXPECT_TRUE(date == Variant(before) || date == Variant(after)) << Describe(date);
}

INSTANTIATE_TEST_SUITE_P(Engines, ReadingTest, testing::EveryEngineAndKind(), testing::SettingName);

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

TEST_P(ChangedDatabaseTest, PeriodsCompareDaysAsDaysUpToTheLastDayThereIs) {
  // Another program writes a date without its time.
  database_->Execute(
      "UPDATE DOCTO_TRANSPORTE SET DATA_EMISSAO = '2024-05-10' WHERE DOCTO_TRANSPORTE_ID = 1002");
  struct Case {
    const char* from;
    const char* to;
    Variant documents;
  };
  const Case cases[] = {
      {"10/05/2024", "10/05/2024", Variant::Array({Variant::Long(1002)})},
      {"09/05/2024", "09/05/2024", Variant()},
      {"01/01/2024", "31/12/9999",
       Variant::Array(
           {Variant::Long(1001), Variant::Long(1002), Variant::Long(1004), Variant::Long(1005)})},
  };
  for (const Case& c : cases) {
    const MethodCall call =
        CallOn("gBusca_Lista_Docto_Transporte", GetParam().kind, database_->connection_text(),
               {{"invntEmpresa_id", Variant::Integer(1)},
                {"invntData_ini", c.from},
                {"invntData_Fim", c.to}});
    if (c.documents.IsEmpty()) {
      EXPECT_EQ(call.result, Variant::Integer(10)) << c.from;
      EXPECT_EQ(call["outvntMsg_Ret"], Variant("Conhecimento não cadastrado.")) << c.from;
    } else {
      EXPECT_EQ(call.result, Variant::Integer(0)) << c.from << ": " << call["outvntMsg_Ret"];
      EXPECT_EQ(call["outarrvntDocto_Transporte_id"], c.documents) << c.from << " " << c.to;
    }
  }
}

// The trap and the periods take no path of their own by engine and kind.
INSTANTIATE_TEST_SUITE_P(Engines, ChangedDatabaseTest, testing::EachEngineAndKindOnce(),
                         testing::SettingName);

// A document no identifier can hold ends in the trap, which logs: through
// the procedures an identifier with decimals is no identifier on either
// engine (the inline path reads "5001.5" under the machine's locale, as its
// whole-number conversion always has), and a kind other than the two is
// logged with the fixed date 2002/01/01, compared in SQL as a date is.
TEST_P(ChangedDatabaseTest, AnIdentifierNoNumberHoldsEndsInTheTrap) {
  const std::tuple<const char*, const char*, const char*, int> cases[] = {
      {"SQLSERVER", "5001.5",
       "Acesso a função não disponível: gConsulta_Docto_Transporte . Favor tentar mais tarde.", 0},
      {"oracle", "1e400", nullptr, 1},
  };
  for (const auto& [kind, document, message, on_the_fixed_date] : cases) {
    const MethodCall call =
        CallOn("gConsulta_Docto_Transporte", kind, database_->connection_text(),
               {{"invntEmpresa_id", Variant::Integer(1)}, {"invntDocto_Transporte_id", document}});
    EXPECT_EQ(call.result, Variant::Integer(10)) << kind;
    if (message) {
      EXPECT_EQ(call["outvntMsg_Ret"], Variant(message));
    }
    EXPECT_EQ(database_->Count("LOG_MSG WHERE DATA_LOG = '2002-01-01 00:00:00'"), on_the_fixed_date)
        << kind;
  }
}

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
