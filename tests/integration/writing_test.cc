// The writing methods on real databases: a document's whole life on SQLite
// and PostgreSQL for both kinds, what is refused and leaves nothing, what is
// stored, and what stays written when a statement fails along the way.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "db/drivers.h"
#include "platform/conversions.h"
#include "platform/text.h"
#include "tests/support/document_screen.h"
#include "tests/support/method_call.h"
#include "tests/support/scripted_driver.h"
#include "tests/support/test_databases.h"

namespace tmxcnh {
namespace {

using testing::Arguments;
using testing::CallMethod;
using testing::CallOn;
using testing::DocumentScreen;
using testing::MethodCall;
using testing::ScriptedDatabase;
using testing::Set;
using testing::TestDatabase;
using testing::TestEngine;

class WritingTest : public testing::DatabaseTest {
 protected:
  Arguments Screen(const std::string& number, int invoices = 1, const char* weight = "1") {
    return DocumentScreen(GetParam().kind, database_->connection_text(), number, invoices, weight);
  }
  MethodCall Detail(const Variant& document) {
    return CallOn(
        "gConsulta_Docto_Transporte", GetParam().kind, database_->connection_text(),
        {{"invntEmpresa_id", Variant::Integer(1)}, {"invntDocto_Transporte_id", document}});
  }
};

TEST_P(WritingTest, ADocumentIsInsertedReadUpdatedAndDeleted) {
  const std::string kind = GetParam().kind;
  const std::string connection = database_->connection_text();
  const int32_t documents_before = database_->Count("DOCTO_TRANSPORTE");
  const int32_t invoices_before = database_->Count("NOTA_FISCAL");

  const MethodCall inserted =
      CallMethod("gInclui_Docto_Transporte", DocumentScreen(kind, connection, "7701", 2, "12,5"));
  ASSERT_EQ(inserted.result, Variant::Integer(0)) << inserted["outvntMsg_Ret"];
  const Variant document = inserted["outvntDocto_Transporte_id"];
  EXPECT_EQ(document, Variant::Long(1013));  // after the demo's last, from the shared counter

  MethodCall read = Detail(document);
  ASSERT_EQ(read.result, Variant::Integer(0)) << read["outvntMsg_Ret"];
  EXPECT_EQ(read["outvntNum_Docto_Transporte"], Variant::Long(7701));
  EXPECT_EQ(read["outvntPeso_Real"], Variant("12,50"));
  EXPECT_EQ(read["outvntVal_Declarado"], Variant("1000,00"));
  EXPECT_EQ(read["outvntData_Emissao"], Variant("20/11/2003"));
  EXPECT_EQ(read["outvntCliente"], Variant("Indústria de Calçados Ânfora Ltda."));
  EXPECT_EQ(read["outvntQtde_Notas"], Variant::Long(2));
  EXPECT_EQ(read["outarrvntNota_Fiscal"], Variant::Array({"770101", "770102"}));
  EXPECT_EQ(read["outarrvntConteudo"],
            Variant::Array({"Mercadoria nº 1 dágua", "Mercadoria nº 2 dágua"}));
  EXPECT_EQ(read["outarrvntVal_Declarado"], Variant::Array({"100,50", "200,50"}));

  const MethodCall listed =
      CallOn("gBusca_Lista_Docto_Transporte", kind, connection,
             {{"invntEmpresa_id", Variant::Integer(1)}, {"invntNum_Docto_Transporte", "7701"}});
  EXPECT_EQ(listed["outarrvntDocto_Transporte_id"], Variant::Array({document}));

  Arguments update = DocumentScreen(kind, connection, "7701", 1, "13,5");
  update.emplace_back("invntDocto_Transporte_id", document);
  const MethodCall updated = CallMethod("gAltera_Docto_Transporte", update);
  ASSERT_EQ(updated.result, Variant::Integer(0)) << updated["outvntMsg_Ret"];
  read = Detail(document);
  EXPECT_EQ(read["outvntPeso_Real"], Variant("13,50"));
  EXPECT_EQ(read["outvntQtde_Notas"], Variant::Long(1));
  EXPECT_EQ(read["outarrvntNota_Fiscal"], Variant::Array({"770101"}));

  const MethodCall deleted = CallOn("gExclui_Docto_Transporte", kind, connection,
                                    {{"invntDocto_Transporte_id", document}});
  EXPECT_EQ(deleted.result, Variant::Integer(0));
  read = Detail(document);
  EXPECT_EQ(read.result, Variant::Integer(10));
  EXPECT_EQ(read["outvntMsg_Ret"], Variant("Conhecimento não cadastrado."));

  // Nothing was physically deleted: the document has status 2, the invoices
  // the update replaced too; the delete left the live one alone.
  const std::string of = " WHERE DOCTO_TRANSPORTE_ID = " + std::to_string(document.long_value());
  EXPECT_EQ(database_->Count("DOCTO_TRANSPORTE"), documents_before + 1);
  EXPECT_EQ(database_->Count("DOCTO_TRANSPORTE" + of + " AND TAB_STATUS_ID = 2"), 1);
  EXPECT_EQ(database_->Count("NOTA_FISCAL"), invoices_before + 3);
  EXPECT_EQ(database_->Count("NOTA_FISCAL" + of + " AND TAB_STATUS_ID = 2"), 2);
  EXPECT_EQ(database_->Count("NOTA_FISCAL" + of + " AND TAB_STATUS_ID = 1"), 1);

  // Both paths take identifiers from the same counters and audit alike (the
  // procedures are not told the user).
  const db::ResultSet counters =
      database_->Query("SELECT DOCTO_TRANSPORTE_ID, NOTA_FISCAL_ID, LOG_SISTEMA_ID FROM INFRA_IDS");
  EXPECT_EQ(counters.values,
            (std::vector<Variant>{Variant::Long(1013), Variant::Long(9018), Variant::Long(5)}));
  const db::ResultSet audit = database_->Query(
      "SELECT LOG_SISTEMA_ID, TABELA_SISTEMA_ID, TAB_TIPO_ACAO_ID, REGISTRO_ID FROM LOG_SISTEMA "
      "ORDER BY LOG_SISTEMA_ID");
  const auto row = [](int id, int table, int action, int record) {
    return std::vector<Variant>{Variant::Long(id), Variant::Long(table), Variant::Long(action),
                                Variant::Long(record)};
  };
  EXPECT_EQ(testing::RowsOf(audit),
            (std::vector<std::vector<Variant>>{row(1, 13, 1, 1013), row(2, 37, 1, 9016),
                                               row(3, 37, 1, 9017), row(4, 13, 2, 1013),
                                               row(5, 37, 1, 9018)}));
  EXPECT_EQ(database_->Count("LOG_MSG"), 0);
}

// The writes refused on the demo data are cases of tests/integration/refused_writes.txt.

// Invoices must name a live document: a Boolean (-1 inline, null through
// the procedures) or a missing one is refused by the keys. Without
// the counters' row no invoice is written: the procedure's refusal is the
// save's own sentence, the emulation's the counter's. The save's lock leaves
// nothing behind.
TEST_P(WritingTest, InvoicesThatCannotBeSavedAreRefused) {
  const bool procedures = GetParam().kind == std::string("SQLSERVER");
  const std::tuple<Variant, const char*, const char*> cases[] = {
      // The document, run first, the message (nullptr: not the same on both paths).
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

// Typed values are stored alike, rounded to the columns' scale; a stored
// number, zero too, is not issued again at the branch.
TEST_P(WritingTest, ValuesAreStoredAlikeAndTheNumberOnce) {
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
      {"7812", "2,9996", "99,999", "0,00001", 3, 100, 0},
      {"0", "1", "1000", "100,50", 1, 1000, 100.5},
  };
  for (const Case& c : cases) {
    Arguments screen = Screen(c.number, 1, c.weight);
    Set(screen, "invntVal_Declarado", c.value);
    Set(screen, "inarrvntVal_Declarado", Variant::Array({c.invoice_value}));
    const MethodCall call = CallMethod("gInclui_Docto_Transporte", screen);
    ASSERT_EQ(call.result, Variant::Integer(0)) << c.number << ": " << call["outvntMsg_Ret"];
    const std::string id = std::to_string(call["outvntDocto_Transporte_id"].long_value());
    const db::ResultSet stored = database_->Query(
        "SELECT D.PESO_REAL, D.VAL_DECLARADO, N.VAL_DECLARADO FROM DOCTO_TRANSPORTE D, NOTA_FISCAL "
        "N WHERE N.DOCTO_TRANSPORTE_ID = D.DOCTO_TRANSPORTE_ID AND N.TAB_STATUS_ID = 1 AND "
        "D.DOCTO_TRANSPORTE_ID = " +
        id);
    EXPECT_DOUBLE_EQ(ToDouble(stored.at(0, 0)), c.stored_weight) << c.number;
    EXPECT_DOUBLE_EQ(ToDouble(stored.at(0, 1)), c.stored_value) << c.number;
    EXPECT_DOUBLE_EQ(ToDouble(stored.at(0, 2)), c.stored_invoice_value) << c.number;
    const MethodCall again = CallMethod("gInclui_Docto_Transporte", Screen(c.number));
    EXPECT_EQ(again.result, Variant::Integer(10)) << c.number;
    EXPECT_EQ(again["outvntMsg_Ret"], Variant("Já existe um conhecimento com esse número."));
  }
}

// The inline path's audit counter stops at the largest Long (the procedures count in SQL).
TEST_P(WritingTest, TheAuditCounterNeverWraps) {
  if (GetParam().kind != std::string("ORACLE")) GTEST_SKIP() << "the inline path's counter";
  database_->Execute("UPDATE INFRA_IDS SET LOG_SISTEMA_ID = 2147483647");
  const MethodCall call = CallMethod("gInclui_Docto_Transporte", Screen("7821"));
  EXPECT_EQ(call.result, Variant::Integer(0)) << call["outvntMsg_Ret"];
  EXPECT_EQ(database_->Count("LOG_SISTEMA WHERE LOG_SISTEMA_ID < 0"), 0);
  EXPECT_EQ(database_->Query("SELECT LOG_SISTEMA_ID FROM INFRA_IDS").at(0, 0),
            Variant::Long(2147483647));
}

INSTANTIATE_TEST_SUITE_P(Engines, WritingTest, testing::EveryEngineAndKind(), testing::SettingName);

// What stays written when the n-th statement of an insert fails.
struct Stays {
  int fail_at;
  Variant result;
  int documents;  // new live documents
  int invoices;   // new live invoices
};

class FailureTest : public ::testing::TestWithParam<const char*> {};

TEST_P(FailureTest, WhatStaysWrittenWhenAStatementFails) {
  const std::string kind = GetParam();
  const std::vector<Stays> table =
      kind == "SQLSERVER"
          ? std::vector<Stays>{{1, Variant::Integer(10), 0, 0},  // the duplicate check
                               {2, Variant::Integer(10), 0, 0},  // the document
                               {3, Variant::Integer(30), 1, 0},  // the invoices' delete
                               {4, Variant::Integer(30), 1, 0},  // the first invoice
                               {5, Variant::Integer(30), 1, 1},  // the second invoice
                               {0, Variant::Integer(0), 1, 2}}
          : std::vector<Stays>{{1, Variant::Integer(10), 0, 0},  // the duplicate count
                               {2, Variant::Integer(10), 0, 0},  // the counter's read
                               {4, Variant::Integer(10), 0, 0},  // the document
                               {5, Variant::Integer(10), 1, 0},  // the audit counter: the row stays
                               {6, Variant::Integer(0), 1, 2},   // its write is skipped
                               {8, Variant::Integer(10), 1, 0},  // the answer
                               {9, Variant::Integer(30), 1, 0},  // the invoices' delete
                               {13, Variant::Integer(30), 1, 0},  // the first invoice
                               {14, Variant::Integer(30), 1, 1},  // its audit counter: it stays
                               {20, Variant::Integer(30), 1, 1},  // the second invoice
                               {0, Variant::Integer(0), 1, 2}};
  for (const Stays& s : table) {
    const auto real = TestDatabase::Create(TestEngine::kSqlite);
    {
      ScriptedDatabase database(real->connection_text());
      if (s.fail_at) database.FailAt(s.fail_at);
      const MethodCall call =
          CallMethod("gInclui_Docto_Transporte",
                     DocumentScreen(kind, database.connection_text(), "7702", 2, "1"));
      EXPECT_EQ(call.result, s.result)
          << "failing at " << s.fail_at << ": " << call["outvntMsg_Ret"];
    }
    EXPECT_EQ(real->Count("DOCTO_TRANSPORTE WHERE NUM_DOCTO_TRANSPORTE = 7702"), s.documents)
        << "failing at " << s.fail_at;
    EXPECT_EQ(real->Count("NOTA_FISCAL WHERE NOTA_FISCAL LIKE '7702%'"), s.invoices)
        << "failing at " << s.fail_at;
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, FailureTest, ::testing::Values("SQLSERVER", "ORACLE"));

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
