// The server date and branch company lookups on real databases (the
// embedded SQLite and PostgreSQL), for both database kinds.
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/format.h"
#include "tests/support/method_call.h"
#include "tests/support/test_databases.h"

namespace tmxcnh {
namespace {

using testing::CallOn;
using testing::MethodCall;
using testing::Setting;
using testing::TestEngine;

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

}  // namespace
}  // namespace tmxcnh
