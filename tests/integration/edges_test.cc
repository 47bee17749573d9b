// The edges where engines and kinds used to answer differently, or answered
// done while the data said otherwise: each call gives the same answer and
// leaves the same rows on SQLite and PostgreSQL, through the procedures and
// through the inline SQL.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "db/connection.h"
#include "db/drivers.h"
#include "platform/conversions.h"
#include "platform/text.h"
#include "tests/support/document_screen.h"
#include "tests/support/method_call.h"
#include "tests/support/test_databases.h"

namespace tmxcnh {
namespace {

using testing::Arguments;
using testing::CallMethod;
using testing::CallOn;
using testing::DocumentScreen;
using testing::MethodCall;
using testing::Set;
using testing::Setting;
using testing::TestDatabase;
using testing::TestEngine;

class EdgeTest : public testing::DatabaseTest<Setting> {
 protected:
  Arguments Screen(const std::string& number, int invoices = 1, const char* weight = "1") {
    return DocumentScreen(GetParam().kind, database_->connection_text(), number, invoices, weight);
  }
  MethodCall List(const char* from, const char* to) {
    return CallOn(
        "gBusca_Lista_Docto_Transporte", GetParam().kind, database_->connection_text(),
        {{"invntEmpresa_id", Variant::Integer(1)}, {"invntData_ini", from}, {"invntData_Fim", to}});
  }
};

TEST_P(EdgeTest, AWriteThatCannotBeDoneIsRefusedAndLeavesNothing) {
  struct Case {
    const char* what;
    const char* method;
    int document;                 // the document to update, 0 to insert
    const char* message;          // nullptr: not the same on both paths
    const char* field = nullptr;  // a screen value that names nothing: 4242
    const char* number = "7801";
    const char* before = nullptr;  // run on a fresh database first
  };
  const char* const insert = "gInclui_Docto_Transporte";
  const char* const update = "gAltera_Docto_Transporte";
  const char* const no_counters = "DELETE FROM INFRA_IDS";
  // The rows that change the database come last: each takes a fresh one.
  const Case cases[] = {
      {"a document that does not exist", update, 4242, "Conhecimento não cadastrado."},
      {"a deleted document", update, 1003, "Conhecimento não cadastrado."},
      // The keys refuse what names nothing, whoever writes it.
      {"a client that does not exist", insert, 0, nullptr, "invntCliente_id"},
      {"a city that does not exist", update, 1004, nullptr, "invntDestino_id"},
      // The inline path cannot make it a whole number, the procedures'
      // parameters cannot hold it.
      {"a number no column can hold", insert, 0,
       "Problema ao verificar Duplicidade do Numero do Documento. Favor tentar mais tarde.",
       nullptr, "9999999999"},
      {"an insert without the counters' row", insert, 0,
       "Não há registro no banco de dados na tabela Infra_ids. ", nullptr, "7801", no_counters},
      // The inline update is written before its audit finds no counter row.
      {"an update without the counters' row", update, 1004, nullptr, nullptr, "7801", no_counters},
  };
  for (const Case& c : cases) {
    if (c.before) {
      database_ = TestDatabase::Create(GetParam().engine);
      database_->Execute(c.before);
    }
    const int32_t live_invoices = database_->Count("NOTA_FISCAL WHERE TAB_STATUS_ID = 1");
    Arguments screen = Screen(c.number);
    if (c.document) Set(screen, "invntDocto_Transporte_id", Variant::Long(c.document));
    if (c.field) Set(screen, c.field, Variant::Integer(4242));
    const MethodCall call = CallMethod(c.method, screen);
    EXPECT_EQ(call.result, Variant::Integer(10)) << c.what << ": " << call["outvntMsg_Ret"];
    if (c.message) {
      EXPECT_EQ(call["outvntMsg_Ret"], Variant(c.message)) << c.what;
    }
    EXPECT_EQ(database_->Count("NOTA_FISCAL WHERE TAB_STATUS_ID = 1"), live_invoices) << c.what;
    EXPECT_EQ(database_->Count("NOTA_FISCAL"), 15) << c.what;
    EXPECT_EQ(database_->Count("LOG_SISTEMA"), 0) << c.what;
    EXPECT_EQ(database_->Count("DOCTO_TRANSPORTE"), 12) << c.what;
  }
}

// Invoices must name a live document: Null, a Boolean (-1 inline, null
// through the procedures) or a missing one is refused by the keys. Without
// the counters' row no invoice is written: the procedure's refusal is the
// save's own sentence, the emulation's the counter's. The save's lock leaves
// nothing behind.
TEST_P(EdgeTest, InvoicesThatCannotBeSavedAreRefused) {
  const bool procedures = GetParam().kind == std::string("SQLSERVER");
  const std::tuple<Variant, const char*, const char*> cases[] = {
      // The document, run first, the message (nullptr: not the same on both paths).
      {Variant::Null(), nullptr, nullptr},
      {Variant::Boolean(true), nullptr, nullptr},
      {Variant::Long(4242), nullptr, nullptr},
      {Variant::Long(1004), "DELETE FROM INFRA_IDS",
       procedures ? "Não foi possível efetuar a inclusão das notas."
                  : "Não há registro no banco de dados na tabela Infra_ids. "},
  };
  for (const auto& [document, before, message] : cases) {
    if (before) database_->Execute(before);
    const MethodCall call = CallMethod(
        "mGrava_Nota_fiscal",
        testing::InvoiceScreen(GetParam().kind, database_->connection_text(), document, {55}));
    EXPECT_EQ(call.result, Variant::Boolean(false)) << Describe(document);
    EXPECT_NE(call["outvntMsg_Ret"], Variant("")) << Describe(document);
    if (message) {
      EXPECT_EQ(call["outvntMsg_Ret"], Variant(message));
    }
    EXPECT_EQ(database_->Count("NOTA_FISCAL"), 15) << Describe(document);
  }
  if (GetParam().engine == TestEngine::kSqlite) {
    const std::filesystem::path file =
        db::ConnectionText(database_->connection_text()).Get("Database");
    for (const auto& entry : std::filesystem::directory_iterator(file.parent_path())) {
      EXPECT_EQ(entry.path().filename().string().find(".lock"), std::string::npos) << entry.path();
    }
  }
}

TEST_P(EdgeTest, TypedValuesAreStoredAlike) {
  struct Case {
    const char* number;
    const char* weight;
    const char* value;
    const char* invoice_value;
    double stored_weight;
    double stored_value;
    double stored_invoice_value;
  };
  const Case cases[] = {
      {"7811", "1e3", "1000", "1", 1000, 1000, 1},
      {"7812", "2,9996", "99,999", "0,00001", 3, 100, 0},  // rounded to the columns' scale
  };
  for (const Case& c : cases) {
    Arguments screen = Screen(c.number, 1, c.weight);
    Set(screen, "invntVal_Declarado", c.value);
    Set(screen, "inarrvntVal_Declarado", Variant::Array({c.invoice_value}));
    const MethodCall call = CallMethod("gInclui_Docto_Transporte", screen);
    ASSERT_EQ(call.result, Variant::Integer(0)) << c.number << ": " << call["outvntMsg_Ret"];
    const std::string id = std::to_string(call["outvntDocto_Transporte_id"].long_value());
    const db::ResultSet document = database_->Query(
        "SELECT PESO_REAL, VAL_DECLARADO FROM DOCTO_TRANSPORTE WHERE DOCTO_TRANSPORTE_ID = " + id);
    EXPECT_DOUBLE_EQ(ToDouble(document.rows.at(0).at(0)), c.stored_weight) << c.number;
    EXPECT_DOUBLE_EQ(ToDouble(document.rows.at(0).at(1)), c.stored_value) << c.number;
    const db::ResultSet invoice = database_->Query(
        "SELECT VAL_DECLARADO FROM NOTA_FISCAL WHERE TAB_STATUS_ID = 1 AND DOCTO_TRANSPORTE_ID = " +
        id);
    EXPECT_DOUBLE_EQ(ToDouble(invoice.rows.at(0).at(0)), c.stored_invoice_value) << c.number;
  }
}

TEST_P(EdgeTest, NumberZeroIsIssuedOncePerBranch) {
  EXPECT_EQ(CallMethod("gInclui_Docto_Transporte", Screen("0")).result, Variant::Integer(0));
  const MethodCall again = CallMethod("gInclui_Docto_Transporte", Screen("0"));
  EXPECT_EQ(again.result, Variant::Integer(10));
  EXPECT_EQ(again["outvntMsg_Ret"], Variant("Já existe um conhecimento com esse número."));
}

TEST_P(EdgeTest, PeriodsCompareDaysAsDaysUpToTheLastDayThereIs) {
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
    const MethodCall call = List(c.from, c.to);
    if (c.documents.IsEmpty()) {
      EXPECT_EQ(call.result, Variant::Integer(10)) << c.from;
      EXPECT_EQ(call["outvntMsg_Ret"], Variant("Conhecimento não cadastrado.")) << c.from;
    } else {
      EXPECT_EQ(call.result, Variant::Integer(0)) << c.from << ": " << call["outvntMsg_Ret"];
      EXPECT_EQ(call["outarrvntDocto_Transporte_id"], c.documents) << c.from << " " << c.to;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, EdgeTest, testing::EveryEngineAndKind(), testing::SettingName);

class EngineEdgeTest : public testing::DatabaseTest<TestEngine> {};

TEST_P(EngineEdgeTest, TheAuditCounterNeverWraps) {
  database_->Execute("UPDATE INFRA_IDS SET LOG_SISTEMA_ID = 2147483647");
  const MethodCall call =
      CallMethod("gInclui_Docto_Transporte",
                 DocumentScreen("ORACLE", database_->connection_text(), "7821", 1, "1"));
  EXPECT_EQ(call.result, Variant::Integer(0)) << call["outvntMsg_Ret"];
  EXPECT_EQ(database_->Count("LOG_SISTEMA WHERE LOG_SISTEMA_ID < 0"), 0);
  EXPECT_EQ(database_->Query("SELECT LOG_SISTEMA_ID FROM INFRA_IDS").rows[0][0],
            Variant::Long(2147483647));
}

// A document no identifier can hold ends in the trap, which logs: through
// the procedures an identifier with decimals is no identifier on either
// engine (the inline path reads "5001.5" under the machine's locale, as its
// whole-number conversion always has), and a kind other than the two is
// logged with the fixed date 2002/01/01, compared in SQL as a date is.
TEST_P(EngineEdgeTest, AnIdentifierNoNumberHoldsEndsInTheTrap) {
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

INSTANTIATE_TEST_SUITE_P(Engines, EngineEdgeTest,
                         ::testing::Values(TestEngine::kSqlite, TestEngine::kPostgreSql),
                         [](const auto& info) { return std::string(EngineName(info.param)); });

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

// The two engines' schemas are kept as two files, each a script its own
// client runs: they must define the same tables, views and columns, in order.
TEST(Schemas, BothEnginesDefineTheSameColumns) {
  auto postgres = TestDatabase::Create(TestEngine::kPostgreSql, /*with_demo_data=*/false);
  if (!postgres) GTEST_SKIP() << "no PostgreSQL here (set TMXCNH_TEST_PG)";
  auto sqlite = TestDatabase::Create(TestEngine::kSqlite, /*with_demo_data=*/false);
  const auto columns = [](TestDatabase& database, const std::string& sql) {
    std::vector<std::string> names;
    for (const auto& row : database.Query(sql).rows) {
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
