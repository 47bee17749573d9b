// The writing methods on real databases: the invoices refused on SQLite
// and PostgreSQL for both kinds, and what stays written when a statement
// fails along the way.
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

using testing::CallMethod;
using testing::DocumentScreen;
using testing::MethodCall;
using testing::ScriptedDatabase;
using testing::TestDatabase;
using testing::TestEngine;

// A document's life, the values stored and the writes refused are cases of
// tests/integration/document_life.txt and refused_writes.txt.
class WritingTest : public testing::DatabaseTest {};

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
