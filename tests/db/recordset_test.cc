#include "db/recordset.h"

#include <gtest/gtest.h>

#include <tuple>

#include "db/connection_object.h"
#include "platform/run_time_error.h"
#include "tests/error_number.h"
#include "tests/support/scripted_driver.h"

namespace tmxcnh {
namespace {

using testing::ErrorNumberOf;
using testing::Rows;
using testing::ScriptedDatabase;

class RecordsetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A name twice: the first column of that name counts, as in ADO.
    database.Answer("FROM CIDADES", Rows({"MUNICIPIO_ID", "Municipio", "MUNICIPIO"},
                                         {{Variant::Long(1), "São Paulo", "x"},
                                          {Variant::Long(2), Variant::Null(), "y"},
                                          {Variant::Long(3), "Maceió", "z"}}));
    database.Answer("FROM NADA", Rows({"X"}));
  }
  void Open(Recordset& recordset, const std::string& sql) {
    recordset.set_cursor_location(kUseClient);
    recordset.Open(Variant(sql), Variant(database.connection_text()), kOpenStatic, kLockReadOnly,
                   kUnspecified);
  }
  ScriptedDatabase database;
};

TEST_F(RecordsetTest, AnEmptyAnswerIsAtEndOfFile) {
  Recordset recordset;
  Open(recordset, "SELECT X FROM NADA");
  EXPECT_TRUE(recordset.Eof());
  EXPECT_EQ(recordset.RecordCount(), 0);
  EXPECT_EQ(ErrorNumberOf([&] { recordset.Field("X"); }), kErrNoCurrentRecord);
  EXPECT_EQ(ErrorNumberOf([&] { recordset.MoveNext(); }), kErrNoCurrentRecord);
}

TEST_F(RecordsetTest, UnknownColumnsAndFailuresAreRunTimeErrors) {
  Recordset recordset;
  Open(recordset, "SELECT * FROM CIDADES");
  EXPECT_EQ(recordset.Field("municipio"), Variant("São Paulo"));  // the first of that name
  EXPECT_EQ(ErrorNumberOf([&] { recordset.Field("UF"); }), kErrItemNotFound);
  database.FailAt(2, "tabela bloqueada");
  Recordset failing;
  try {
    Open(failing, "SELECT * FROM CIDADES");
    FAIL() << "no error";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.number(), db::kErrStatementFailed);
    EXPECT_EQ(error.description(), "tabela bloqueada");
  }
  EXPECT_EQ(failing.State(), kStateClosed);
}

TEST_F(RecordsetTest, AConnectionObjectIsUsedDirectly) {
  const auto object = db::ConnectionObject::Open(database.connection_text());
  Recordset recordset;
  recordset.set_cursor_location(kUseClient);
  recordset.Open(Variant("SELECT * FROM CIDADES"), Variant::Object(object));
  EXPECT_EQ(recordset.RecordCount(), 3);
  EXPECT_EQ(database.statements().size(), 1u);
}

TEST_F(RecordsetTest, WhatCannotBeOpenedIsARunTimeErrorAndAWriteLeavesItClosed) {
  const std::tuple<const char*, Variant, int> cases[] = {
      // A refused statement never reaches the database.
      {"exec SP_X 7; delete from LOG_MSG", database.connection_text(), db::kErrStatementRefused},
      {"SELECT 1", "Driver=SQLite3;Database=/no/such/dir/x.db", db::kErrConnectionFailed},
      {"SELECT 1", Variant::Null(), kErrInvalidUseOfNull},
      {"UPDATE X SET A = 1", database.connection_text(), 0},
  };
  for (const auto& [sql, connection, error] : cases) {
    Recordset recordset;
    EXPECT_EQ(ErrorNumberOf([&] { recordset.Open(Variant(sql), connection); }), error) << sql;
    EXPECT_EQ(recordset.State(), kStateClosed);
    EXPECT_EQ(ErrorNumberOf([&] { recordset.Eof(); }), kErrObjectClosed);
    EXPECT_EQ(ErrorNumberOf([&] { recordset.Close(); }), kErrObjectClosed);
  }
  EXPECT_EQ(database.statements(), std::vector<std::string>{"UPDATE X SET A = 1"});
}

}  // namespace
}  // namespace tmxcnh
