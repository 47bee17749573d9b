// The writing methods on real databases: a document's whole life on SQLite
// and PostgreSQL for both kinds, and what stays written when a statement
// fails along the way.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "db/drivers.h"
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
using testing::Setting;
using testing::TestDatabase;
using testing::TestEngine;

class LifeTest : public testing::DatabaseTest<Setting> {
 protected:
  MethodCall Detail(const Variant& document) {
    return CallOn(
        "gConsulta_Docto_Transporte", GetParam().kind, database_->connection_text(),
        {{"invntEmpresa_id", Variant::Integer(1)}, {"invntDocto_Transporte_id", document}});
  }
};

TEST_P(LifeTest, ADocumentIsInsertedReadUpdatedAndDeleted) {
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

  const MethodCall again =
      CallMethod("gInclui_Docto_Transporte", DocumentScreen(kind, connection, "7701", 1, "1"));
  EXPECT_EQ(again.result, Variant::Integer(10));
  EXPECT_EQ(again["outvntMsg_Ret"], Variant("Já existe um conhecimento com esse número."));

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
  EXPECT_EQ(counters.rows[0][0], Variant::Long(1013));
  EXPECT_EQ(counters.rows[0][1], Variant::Long(9018));
  EXPECT_EQ(counters.rows[0][2], Variant::Long(5));
  const db::ResultSet audit = database_->Query(
      "SELECT LOG_SISTEMA_ID, TABELA_SISTEMA_ID, TAB_TIPO_ACAO_ID, REGISTRO_ID FROM LOG_SISTEMA "
      "ORDER BY LOG_SISTEMA_ID");
  const auto row = [](int id, int table, int action, int record) {
    return std::vector<Variant>{Variant::Long(id), Variant::Long(table), Variant::Long(action),
                                Variant::Long(record)};
  };
  EXPECT_EQ(audit.rows, (std::vector<std::vector<Variant>>{row(1, 13, 1, 1013), row(2, 37, 1, 9016),
                                                           row(3, 37, 1, 9017), row(4, 13, 2, 1013),
                                                           row(5, 37, 1, 9018)}));
  EXPECT_EQ(database_->Count("LOG_MSG"), 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, LifeTest, testing::EveryEngineAndKind(), testing::SettingName);

// What stays written when the n-th statement of an insert fails.
struct Stays {
  int fail_at;
  Variant result;
  int documents;  // new live documents
  int invoices;   // new live invoices
};

class FailureTest : public ::testing::TestWithParam<const char*> {
 protected:
  static void SetUpTestSuite() { template_ = TestDatabase::Create(TestEngine::kSqlite); }
  static void TearDownTestSuite() { template_.reset(); }
  static std::unique_ptr<TestDatabase> template_;
};
std::unique_ptr<TestDatabase> FailureTest::template_;

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
                               {3, Variant::Integer(10), 0, 0},  // the counter's write
                               {4, Variant::Integer(10), 0, 0},  // the document
                               {5, Variant::Integer(10), 1, 0},  // the audit counter: the row stays
                               {6, Variant::Integer(0), 1, 2},   // its write is skipped
                               {7, Variant::Integer(0), 1, 2},   // the audit row is skipped
                               {8, Variant::Integer(10), 1, 0},  // the answer
                               {9, Variant::Integer(30), 1, 0},  // the invoices' delete
                               {13, Variant::Integer(30), 1, 0},  // the first invoice
                               {14, Variant::Integer(30), 1, 1},  // its audit counter: it stays
                               {20, Variant::Integer(30), 1, 1},  // the second invoice
                               {0, Variant::Integer(0), 1, 2}};
  for (const Stays& s : table) {
    const std::string copy =
        std::filesystem::temp_directory_path() / ("tmx_fault_" + std::to_string(getpid()) + ".db");
    std::filesystem::copy_file(db::ConnectionText(template_->connection_text()).Get("Database"),
                               copy, std::filesystem::copy_options::overwrite_existing);
    {
      ScriptedDatabase database("Driver=SQLite3;Database=" + copy);
      if (s.fail_at) database.FailAt(s.fail_at);
      const MethodCall call =
          CallMethod("gInclui_Docto_Transporte",
                     DocumentScreen(kind, database.connection_text(), "7702", 2, "1"));
      EXPECT_EQ(call.result, s.result)
          << "failing at " << s.fail_at << ": " << call["outvntMsg_Ret"];
    }
    const db::ResultSet written =
        *db::OpenConnection("Driver=SQLite3;Database=" + copy)
             ->Execute(testing::Verbatim(
                 "SELECT (SELECT COUNT(*) FROM DOCTO_TRANSPORTE WHERE NUM_DOCTO_TRANSPORTE = "
                 "7702), (SELECT COUNT(*) FROM NOTA_FISCAL WHERE NOTA_FISCAL LIKE '7702%')"));
    EXPECT_EQ(written.rows.at(0),
              (std::vector<Variant>{Variant::Long(s.documents), Variant::Long(s.invoices)}))
        << "failing at " << s.fail_at;
    std::filesystem::remove(copy);
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, FailureTest, ::testing::Values("SQLSERVER", "ORACLE"));

}  // namespace
}  // namespace tmxcnh
