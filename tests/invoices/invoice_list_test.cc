#include <gtest/gtest.h>

#include "platform/regional_settings.h"
#include "tests/support/method_call.h"
#include "tests/support/scripted_driver.h"

namespace tmxcnh {
namespace {

using testing::MethodCall;
using testing::Rows;
using testing::ScriptedDatabase;

MethodCall Invoices(ScriptedDatabase& database, Variant kind, Variant document) {
  return testing::CallOn("mConsulta_Nota_Fiscal", kind, database.connection_text(),
                         {{"invntUsuario_internet_id", Variant::Integer(5)},
                          {"invntEmpresa_id", Variant::Integer(3)},
                          {"invntDocto_Transporte_id", document},
                          {"outarrvntNota_Fiscal", "antes"}});
}

db::ResultSet ThreeInvoices() {
  return Rows({"NOTA_FISCAL", "CONTEUDO", "NUM_VOLUME", "VAL_DECLARADO"},
              {{"000123", "Calçados", Variant::Long(3), Variant::Double(7.5)},
               {"000124", Variant::Null(), Variant::Long(1), Variant::Double(1234.5)},
               {"000125", "Açaí", Variant::Null(), Variant::Null()}});
}

TEST(InvoiceList, SendsTheProcedureOrTheEmulationsSelect) {
  struct Case {
    Variant kind;
    const char* statement;
  };
  const Case cases[] = {
      {"SQLSERVER", "exec SP_TMX_CON_NF_Conhec2 3, 55"},
      {"", "exec SP_TMX_CON_NF_Conhec2 3, 55"},
      {"ORACLE",
       " SELECT NOTA_FISCAL , CONTEUDO , NUM_VOLUME , VAL_DECLARADO  FROM NOTA_FISCAL  WHERE "
       "DOCTO_TRANSPORTE_ID   = 55  AND EMPRESA_ID =  3  AND TAB_STATUS_ID = 1 "},
  };
  for (const Case& c : cases) {
    ScriptedDatabase database;
    database.Answer("NOTA_FISCAL", ThreeInvoices());
    database.Answer("NF_Conhec2", ThreeInvoices());
    const MethodCall call = Invoices(database, c.kind, Variant::Integer(55));
    EXPECT_EQ(database.statements(), std::vector<std::string>{c.statement});
    EXPECT_EQ(call.result, Variant::Boolean(true));
    EXPECT_EQ(call["outvntQtde_Notas"], Variant::Long(3));
    EXPECT_EQ(call["outarrvntNota_Fiscal"], Variant::Array({"000123", "000124", "000125"}));
    EXPECT_EQ(call["outarrvntConteudo"], Variant::Array({"Calçados", "", "Açaí"}));
    EXPECT_EQ(call["outarrvntNum_Volume"],
              Variant::Array({Variant::Long(3), Variant::Long(1), ""}));
    EXPECT_EQ(call["outarrvntVal_Declarado"], Variant::Array({"07,50", "1234,50", ""}));
    EXPECT_EQ(call["outvntMsg_Ret"], Variant("intocada"));
  }
}

TEST(InvoiceList, DeclaredValuesTakeTheMachinesDecimalSeparator) {
  ScopedLocale us(Locale::kUnitedStates);
  ScriptedDatabase database;
  database.Answer("NF_Conhec2", ThreeInvoices());
  EXPECT_EQ(Invoices(database, "SQLSERVER", Variant::Integer(55))["outarrvntVal_Declarado"],
            Variant::Array({"07.50", "1234.50", ""}));
}

TEST(InvoiceList, WithoutInvoicesEverythingIsLeftAsPassed) {
  ScriptedDatabase database;
  database.Answer("NF_Conhec2", Rows({"NOTA_FISCAL"}));
  const MethodCall call = Invoices(database, "SQLSERVER", Variant::Integer(55));
  EXPECT_EQ(call.result, Variant::Boolean(true));
  EXPECT_TRUE(call["outvntQtde_Notas"].IsEmpty());
  EXPECT_EQ(call["outarrvntNota_Fiscal"], Variant("antes"));
  EXPECT_EQ(call["outvntMsg_Ret"], Variant("intocada"));
}

}  // namespace
}  // namespace tmxcnh
