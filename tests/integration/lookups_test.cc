// The server date and branch company lookups on real databases (the
// embedded SQLite and PostgreSQL), for both database kinds.
#include <gtest/gtest.h>

#include "component/cnh.h"
#include "platform/clock.h"
#include "platform/format.h"
#include "tests/support/test_databases.h"

namespace tmxcnh {
namespace {

using testing::Setting;
using testing::TestDatabase;
using testing::TestEngine;

class LookupsTest : public testing::DatabaseTest<Setting> {
 protected:
  Variant Company(Variant branch, Variant* message, Variant user = Variant::Integer(5)) {
    CNH object;
    Variant kind = GetParam().kind;
    Variant connection = database_->connection_text();
    Variant company;
    object.gBusca_Empresa_Filial(kind, connection, user, branch, company, *message);
    return company;
  }

  Variant CompanyResult(Variant branch, Variant* message, Variant user = Variant::Integer(5)) {
    CNH object;
    Variant kind = GetParam().kind;
    Variant connection = database_->connection_text();
    Variant company;
    return object.gBusca_Empresa_Filial(kind, connection, user, branch, company, *message);
  }
};

TEST_P(LookupsTest, TheCompanyOfABranch) {
  Variant message = "intocada";
  EXPECT_EQ(Company(Variant::Integer(7), &message), Variant::Long(1));
  EXPECT_EQ(Company(Variant("12"), &message), Variant::Long(2));
  EXPECT_EQ(message, Variant("intocada"));
  EXPECT_EQ(CompanyResult(Variant::Integer(999), &message), Variant::Integer(10));
  EXPECT_EQ(message, Variant("Filial não cadastrada."));
  EXPECT_EQ(CompanyResult(Variant::Integer(0), &message), Variant::Integer(10));
  EXPECT_EQ(message, Variant("Informe uma Filial."));
  EXPECT_EQ(database_->Count("LOG_MSG"), 0);
}

TEST_P(LookupsTest, TheServerDateIsToday) {
  const std::string before = Format(Variant::Date(*SerialFromCivil(Now())), "dd/mm/yyyy");
  CNH object;
  Variant kind = GetParam().kind;
  Variant connection = database_->connection_text();
  Variant user = Variant::Integer(5);
  Variant company = Variant::Integer(1);
  Variant group = Variant::Integer(1);
  Variant date;
  Variant message;
  EXPECT_EQ(object.gBusca_Data_Dia(kind, connection, user, company, group, date, message),
            Variant::Integer(0));
  const std::string after = Format(Variant::Date(*SerialFromCivil(Now())), "dd/mm/yyyy");
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
  Variant message;
  EXPECT_EQ(CompanyResult(Variant::Integer(7), &message, Variant::Integer(1)),
            Variant::Integer(10));
  const std::string text = message.string_value();
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

TEST_P(LookupsTest, AHostileBranchChangesNoTable) {
  const char* const kTables[] = {"PONTO_OPERACAO", "EMPRESA", "DOCTO_TRANSPORTE",
                                 "NOTA_FISCAL",    "PESSOA",  "MUNICIPIO"};
  std::vector<int32_t> before;
  for (const char* table : kTables) before.push_back(database_->Count(table));
  Variant message;
  EXPECT_EQ(CompanyResult(Variant("7; delete from LOG_MSG"), &message), Variant::Integer(10));
  EXPECT_EQ(CompanyResult(Variant("7; delete from PONTO_OPERACAO"), &message),
            Variant::Integer(10));
  for (size_t i = 0; i < std::size(kTables); ++i) {
    EXPECT_EQ(database_->Count(kTables[i]), before[i]) << kTables[i];
  }
  EXPECT_EQ(database_->Count("LOG_MSG"), 2);  // the traps' own rows
}

INSTANTIATE_TEST_SUITE_P(Engines, LookupsTest, testing::EveryEngineAndKind(), testing::SettingName);

}  // namespace
}  // namespace tmxcnh
