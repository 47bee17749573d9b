// The reading methods on real databases: the same demo rows read back
// identically on SQLite and PostgreSQL, through the procedures and through
// the inline SQL.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "db/connection.h"
#include "platform/clock.h"
#include "platform/format.h"
#include "tests/support/method_call.h"
#include "tests/support/test_databases.h"

namespace tmxcnh {
namespace {

using testing::CallMethod;
using testing::CallOn;
using testing::MethodCall;
using testing::Setting;
using testing::TestDatabase;
using testing::TestEngine;

const char* const kKinds[] = {"SQLSERVER", "ORACLE"};

// Every database there is here, with every kind.
class ReadingTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    databases_ = new std::vector<std::unique_ptr<TestDatabase>>;
    for (TestEngine engine : {TestEngine::kSqlite, TestEngine::kPostgreSql}) {
      if (auto database = TestDatabase::Create(engine)) databases_->push_back(std::move(database));
    }
  }
  static void TearDownTestSuite() {
    delete databases_;
    databases_ = nullptr;
  }

  struct Setting {
    TestDatabase* database;
    const char* kind;
    std::string Name() const {
      return std::string(testing::EngineName(database->engine())) + " " + kind;
    }
  };
  std::vector<Setting> Settings() const {
    std::vector<Setting> settings;
    for (const auto& database : *databases_) {
      for (const char* kind : kKinds) settings.push_back({database.get(), kind});
    }
    return settings;
  }

  static MethodCall Read(const Setting& s, const char* method, testing::Arguments arguments) {
    arguments.emplace_back("invntUsuario_internet_id", Variant::Integer(5));
    return CallOn(method, s.kind, s.database->connection_text(), arguments);
  }
  static MethodCall Detail(const Setting& s, int document, int company) {
    return Read(s, "gConsulta_Docto_Transporte",
                {{"invntEmpresa_id", Variant::Integer(static_cast<int16_t>(company))},
                 {"invntGrupo_Empresa_id", Variant::Integer(1)},
                 {"invntDocto_Transporte_id", Variant::Long(document)}});
  }
  static MethodCall List(const Setting& s, Variant number, Variant start, Variant end,
                         int company) {
    return Read(s, "gBusca_Lista_Docto_Transporte",
                {{"invntEmpresa_id", Variant::Integer(static_cast<int16_t>(company))},
                 {"invntNum_Docto_Transporte", number},
                 {"invntData_ini", start},
                 {"invntData_Fim", end}});
  }

  // The listed rows as (id, number, sender, recipient, origin, destination, type), sorted by id:
  // the inline statement asks for no order.
  static std::vector<std::vector<Variant>> ListedRows(const MethodCall& call) {
    std::vector<std::vector<Variant>> rows;
    if (!call["outarrvntDocto_Transporte_id"].IsArray()) return rows;
    for (int32_t i = 0; i <= call["outarrvntDocto_Transporte_id"].UBound(); ++i) {
      rows.push_back({call["outarrvntDocto_Transporte_id"].At(i),
                      call["outarrvntNum_Docto_Transporte"].At(i), call["outarrvntRemetente"].At(i),
                      call["outvntDestinatario"].At(i), call["outarrvntOrigem"].At(i),
                      call["outarrvntDestino"].At(i),
                      call["outarrvntTab_Tipo_Docto_Transp"].At(i)});
    }
    std::sort(rows.begin(), rows.end(),
              [](const auto& a, const auto& b) { return a[0].long_value() < b[0].long_value(); });
    return rows;
  }

  // Every parameter but the database kind and the connection, which differ by setting.
  static std::vector<Variant> AfterTheConnection(const MethodCall& call) {
    return std::vector<Variant>(call.in_order.begin() + 2, call.in_order.end());
  }

  static std::vector<int32_t> Ids(const MethodCall& call) {
    std::vector<int32_t> ids;
    for (const auto& row : ListedRows(call)) ids.push_back(row[0].long_value());
    return ids;
  }

  static std::vector<std::unique_ptr<TestDatabase>>* databases_;
};

std::vector<std::unique_ptr<TestDatabase>>* ReadingTest::databases_ = nullptr;

TEST_F(ReadingTest, ADocumentReadsBackIdenticallyEverywhere) {
  struct Case {
    int document;
    int company;
  };
  // With a client and three invoices; without a client; client 0 and no invoices;
  // several invoices beside a deleted one; a Null invoice value; no invoices.
  for (const Case c : {Case{1001, 1}, Case{1002, 1}, Case{1005, 1}, Case{1004, 1}, Case{1008, 2},
                       Case{1012, 2}, Case{1011, 2}}) {
    const std::vector<Setting> settings = Settings();
    const MethodCall first = Detail(settings[0], c.document, c.company);
    ASSERT_EQ(first.result, Variant::Integer(0)) << c.document << " " << first["outvntMsg_Ret"];
    EXPECT_EQ(first.in_order.size(), 48u);
    for (const Setting& s : settings) {
      const MethodCall call = Detail(s, c.document, c.company);
      EXPECT_EQ(AfterTheConnection(call), AfterTheConnection(first))
          << c.document << " on " << s.Name();
    }
  }
}

// What was stored, read on the first setting (the test above holds the others to it).
TEST_F(ReadingTest, TheDemoDocumentsHoldWhatWasStored) {
  const Setting s = Settings()[0];
  const MethodCall call = Detail(s, 1001, 1);
  EXPECT_EQ(call["outvntNum_Docto_Transporte"], Variant::Long(4501));
  EXPECT_EQ(call["outvntData_Emissao"], Variant("04/03/2024"));
  EXPECT_EQ(call["outvntPeso_Real"], Variant("1234,50"));
  EXPECT_EQ(call["outvntVal_Declarado"], Variant("15800,00"));
  EXPECT_EQ(call["outvntCliente_id"], Variant::Long(101));
  EXPECT_EQ(call["outvntQtde_Notas"], Variant::Long(3));
  EXPECT_EQ(call["outarrvntNota_Fiscal"], Variant::Array({"000123", "000124", "000125"}));
  EXPECT_EQ(call["outarrvntVal_Declarado"], Variant::Array({"6000,00", "7800,00", "2000,00"}));
  EXPECT_EQ(Detail(s, 1004, 1)["outvntQtde_Notas"], Variant::Long(2));  // beside a deleted one
  EXPECT_EQ(Detail(s, 1008, 2)["outarrvntVal_Declarado"], Variant::Array({""}));
  const MethodCall no_invoices = Detail(s, 1012, 2);
  EXPECT_EQ(no_invoices.result, Variant::Integer(0));
  EXPECT_TRUE(no_invoices["outvntQtde_Notas"].IsEmpty());
}

// A deleted document, another company's, a pickup document, an empty period.
TEST_F(ReadingTest, WhatIsNotThereIsNotRegisteredEverywhere) {
  for (const Setting& s : Settings()) {
    for (const MethodCall& call : {Detail(s, 1003, 1), Detail(s, 1001, 2), Detail(s, 1006, 1),
                                   List(s, "", "01/01/2020", "31/12/2020", 1)}) {
      EXPECT_EQ(call.result, Variant::Integer(10)) << s.Name();
      EXPECT_EQ(call["outvntMsg_Ret"], Variant("Conhecimento não cadastrado.")) << s.Name();
    }
  }
}

TEST_F(ReadingTest, AListIsTheSameEverywhere) {
  struct Case {
    Variant number;
    Variant start;
    Variant end;
    int company;
    std::vector<int32_t> ids;
  };
  const Case cases[] = {
      {"", "04/03/2024", "12/03/2024", 1, {1001, 1002, 1004, 1005}},
      {"", "04/03/2024", "12/03/2024", 2, {1007, 1008, 1009, 1010, 1011, 1012}},
      {"", "07/03/2024", "", 2, {1007, 1008}},                  // one day
      {"", "11/03/2024", "12/03/2024", 2, {1010, 1011, 1012}},  // 18:59:59 on the last day counts
      {Variant::Integer(4501), "", "", 1, {1001, 1005}},
      {"4503", "", "", 1, {1004}},  // the deleted one shares the number
      {Variant::Integer(880), "", "", 2, {1007}},
  };
  for (const Case& c : cases) {
    const std::vector<Setting> settings = Settings();
    const MethodCall first = List(settings[0], c.number, c.start, c.end, c.company);
    EXPECT_EQ(Ids(first), c.ids) << c.start << " " << c.number;
    for (const Setting& s : settings) {
      const MethodCall call = List(s, c.number, c.start, c.end, c.company);
      EXPECT_EQ(call.result, Variant::Integer(0)) << s.Name() << " " << call["outvntMsg_Ret"];
      EXPECT_EQ(ListedRows(call), ListedRows(first))
          << s.Name() << " " << c.start << " " << c.number;
      EXPECT_EQ(call["outvntQtde_Docto"], Variant::Long(static_cast<int32_t>(c.ids.size())));
    }
  }
}

TEST_F(ReadingTest, TheClientsDocumentCheck) {
  struct Case {
    int client;
    int number;
    Variant result;
  };
  const Case cases[] = {
      {101, 4501, Variant::Integer(0)},   // its own document
      {102, 4503, Variant::Integer(0)},   // the live one of two sharing the number
      {101, 4503, Variant::Integer(10)},  // another client's
      {108, 880, Variant::Integer(0)},   {103, 9999, Variant::Integer(10)},
  };
  for (const Setting& s : Settings()) {
    for (const Case& c : cases) {
      const MethodCall call = Read(s, "gConsulta_Cliente_Docto_Transp",
                                   {{"invntPessoa_id", Variant::Long(c.client)},
                                    {"invntNum_Docto_Transporte", Variant::Long(c.number)}});
      EXPECT_EQ(call.result, c.result) << c.client << " " << c.number << " on " << s.Name();
    }
  }
}

TEST_F(ReadingTest, ClientsReadBackIdenticallyEverywhere) {
  for (int client : {101, 102, 103, 108, 999}) {
    std::vector<Variant> first;
    for (const Setting& s : Settings()) {
      const MethodCall call =
          Read(s, "mBusca_Cliente", {{"invntCliente_id", Variant::Long(client)}});
      EXPECT_EQ(call.result, Variant::Boolean(client != 999)) << client << " on " << s.Name();
      if (first.empty()) first = AfterTheConnection(call);
      EXPECT_EQ(AfterTheConnection(call), first) << client << " on " << s.Name();
    }
  }
}

// The server date and branch company lookups on real databases (the
// embedded SQLite and PostgreSQL), for both database kinds.
class LookupsTest : public testing::DatabaseTest<Setting> {
 protected:
  MethodCall Company(Variant branch, Variant user = Variant::Integer(5)) {
    return CallOn("gBusca_Empresa_Filial", GetParam().kind, database_->connection_text(),
                  {{"invntUsuario_internet_id", user}, {"invntPonto_Operacao_id", branch}});
  }
};

TEST_P(LookupsTest, TheCompanyOfABranch) {
  EXPECT_EQ(Company(Variant::Integer(7))["outvntEmpresa_id"], Variant::Long(1));
  const MethodCall twelve = Company(Variant("12"));
  EXPECT_EQ(twelve["outvntEmpresa_id"], Variant::Long(2));
  EXPECT_EQ(twelve["outvntMsg_Ret"], Variant("intocada"));
  const MethodCall unknown = Company(Variant::Integer(999));
  EXPECT_EQ(unknown.result, Variant::Integer(10));
  EXPECT_EQ(unknown["outvntMsg_Ret"], Variant("Filial não cadastrada."));
  EXPECT_EQ(database_->Count("LOG_MSG"), 0);
}

TEST_P(LookupsTest, TheServerDateIsToday) {
  const std::string before = Format(Variant::Date(*SerialFromCivil(Now())), "dd/mm/yyyy");
  const MethodCall call = CallOn("gBusca_Data_Dia", GetParam().kind, database_->connection_text(),
                                 {{"invntUsuario_internet_id", Variant::Integer(5)}});
  EXPECT_EQ(call.result, Variant::Integer(0));
  const std::string after = Format(Variant::Date(*SerialFromCivil(Now())), "dd/mm/yyyy");
  const Variant date = call["outvntData_Dia"];
  EXPECT_TRUE(date == Variant(before) || date == Variant(after)) << Describe(date);
}

TEST_P(LookupsTest, AMissingProcedureOrTableRunsTheTrapAndLogsOneRow) {
  if (GetParam().kind == std::string("ORACLE")) {
    database_->Execute("ALTER TABLE PONTO_OPERACAO RENAME TO PONTO_OPERACAO_ANTIGO");
  } else if (GetParam().engine == TestEngine::kSqlite) {
    database_->Execute("DELETE FROM TMX_PROCEDURE WHERE NAME = 'SP_TMX_CON_EMPRESA_OP'");
  } else {
    database_->Execute("DROP FUNCTION sp_tmx_con_empresa_op");
  }
  const MethodCall call = Company(Variant::Integer(7), Variant::Integer(1));
  EXPECT_EQ(call.result, Variant::Integer(10));
  const std::string text = call["outvntMsg_Ret"].string_value();
  const std::string sentence =
      "Acesso a função não disponível: gBusca_Empresa_Filial. Favor tentar mais tarde.";
  ASSERT_EQ(text.rfind(sentence + " TMXCNH.gBusca_Empresa_Filial ( ", 0), 0u) << text;
  EXPECT_NE(text.find(")   no nº 1270, strSq: "), std::string::npos) << text;
  ASSERT_EQ(database_->Count("LOG_MSG"), 1);
  const db::ResultSet row = database_->Query(
      "SELECT TAB_TIPO_MSG_ID, USUARIO_INTERNET_ID, MSG01, MSG02, DATA_LOG FROM LOG_MSG");
  EXPECT_EQ(row.rows[0][0], Variant::Long(1));
  EXPECT_EQ(row.rows[0][1], Variant::Long(1));
  // The row holds the sentence and the detail, cleaned of ( ) ' and the like.
  std::string cleaned;
  for (char c : text) {
    if (std::string("'<>();%&+\"").find(c) == std::string::npos) cleaned += c;
  }
  std::string stored = row.rows[0][2].string_value();
  if (!row.rows[0][3].IsNull()) stored += row.rows[0][3].string_value();
  EXPECT_EQ(stored, cleaned);
  EXPECT_EQ(row.rows[0][4].type(), VariantType::kDate);
}

INSTANTIATE_TEST_SUITE_P(Engines, LookupsTest, testing::EveryEngineAndKind(), testing::SettingName);

// The duplicate-number check on real databases: the procedure and the inline
// count agree on SQLite and PostgreSQL.
class DuplicateTest : public testing::DatabaseTest<Setting> {
 protected:
  MethodCall Verify(int number, int branch, int document, int company = 1) {
    return CallOn("mVerifica_Dupli_Num_Docto", GetParam().kind, database_->connection_text(),
                  {{"invntUsuario_internet_id", Variant::Integer(5)},
                   {"invntEmpresa_id", Variant::Long(company)},
                   {"invntNum_Docto_Transporte", Variant(std::to_string(number))},
                   {"invntPonto_Operacao_id", Variant::Long(branch)},
                   {"invntDocto_Transporte_id", Variant::Long(document)},
                   {"invntTab_Tipo_Docto_Transp_id", Variant::Integer(1)}});
  }
};

TEST_P(DuplicateTest, ANumberIsFreeUnlessAnotherLiveDocumentOfTheBranchHasIt) {
  struct Case {
    int number;
    int branch;
    int document;
    int company;
    bool free;
  };
  const Case cases[] = {
      {4501, 7, 0, 1, false},    // 1001 has it at branch 7
      {4501, 7, 0, 2, false},    // whatever company asks
      {4501, 12, 0, 1, true},    // another branch
      {4501, 7, 1001, 1, true},  // the document being changed itself
      {4503, 7, 1004, 1, true},  // the other holder, 1003, is deleted
      {4503, 7, 0, 1, false},    // 1004 is live
      {4510, 9, 0, 1, false},    // a pickup document (type 2) counts too
      {9999, 7, 0, 1, true},
  };
  for (const Case& c : cases) {
    const MethodCall call = Verify(c.number, c.branch, c.document, c.company);
    EXPECT_EQ(call.result, Variant::Boolean(c.free)) << c.number << " at " << c.branch;
    if (!c.free) {
      EXPECT_EQ(call["outvntMsg_Ret"], Variant("Já existe um conhecimento com esse número."));
    }
  }
  EXPECT_EQ(database_->Count("LOG_MSG"), 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, DuplicateTest, testing::EveryEngineAndKind(),
                         testing::SettingName);

// The connection texts that Windows callers write for ADO reach PostgreSQL
// through a data source, as they reach a site's database through its DSN.
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
