#include <gtest/gtest.h>

#include "tests/support/method_call.h"
#include "tests/support/scripted_driver.h"

namespace tmxcnh {
namespace {

using testing::MethodCall;
using testing::Rows;
using testing::ScriptedDatabase;

MethodCall Save(ScriptedDatabase& database, Variant kind, Variant count, Variant numbers,
                Variant contents, Variant values, Variant volumes,
                Variant user = Variant::Integer(5)) {
  return testing::CallOn("mGrava_Nota_fiscal", kind, database.connection_text(),
                         {{"invntUsuario_internet_id", user},
                          {"invntEmpresa_id", Variant::Integer(1)},
                          {"invntDocto_Transporte_id", Variant::Long(880)},
                          {"invntQtde_Notas", count},
                          {"inarrvntNota_fiscal", numbers},
                          {"inarrvntConteudo", contents},
                          {"inarrvntVal_Declarado", values},
                          {"inarrvntNum_Volume", volumes}});
}

void AnswerDone(ScriptedDatabase& database) {
  database.Answer("NF_Conhec2", Rows({"retorno", "msg_ret"}, {{Variant::Long(0), ""}}));
}

TEST(InvoiceSave, NoInvoicesRemovesAllOfTheDocuments) {
  ScriptedDatabase database;
  AnswerDone(database);
  const MethodCall call = Save(database, "SQLSERVER", Variant::Integer(0), Variant::Array({}),
                               Variant::Array({}), Variant::Array({}), Variant::Array({}));
  EXPECT_EQ(call.result, Variant::Boolean(true));
  EXPECT_EQ(database.statements(), std::vector<std::string>{"exec  SP_TMX_EXC_NF_Conhec2 880, 5"});
}

struct CheckCase {
  Variant number;
  Variant volume;
  Variant value;
  const char* message;
};

TEST(InvoiceSave, EachInvoiceIsCheckedBeforeItIsInserted) {
  const CheckCase cases[] = {
      {"12,5", "1", "10",
       "O campo nota fiscal não permite a digitação de números com casas decimais(,)"},
      {"12", "0", "10", "volume deve ser igual ou maior que 1"},
      {"12", "1", "1.250,00",
       "O campo valor da nota fiscal não permite a digitação de números com uso de separador de "
       "milhar(.)"},
      {"12", "1", "-1", "valor da nota fiscal deve ser igual ou maior que 0"},
      {"0", "1", "10", "nota fiscal deve ser igual ou maior que 1"},
  };
  for (const CheckCase& c : cases) {
    ScriptedDatabase database;
    AnswerDone(database);
    const MethodCall call = Save(database, "SQLSERVER", Variant::Integer(2),
                                 Variant::Array({"1", c.number}), Variant::Array({"a", "b"}),
                                 Variant::Array({"1", c.value}), Variant::Array({"1", c.volume}));
    EXPECT_EQ(call.result, Variant::Boolean(false));
    EXPECT_EQ(call["outvntMsg_Ret"], Variant(c.message));
    // The delete and the first invoice went; the second never did.
    EXPECT_EQ(database.statements().size(), 2u);
  }
}

TEST(InvoiceSave, ValuesReachTheProcedureWithAPointAndCleanedTextsComeBack) {
  ScriptedDatabase database;
  AnswerDone(database);
  const MethodCall call = Save(
      database, "SQLSERVER", Variant::Integer(3), Variant::Array({"12'3", "7", "8"}),
      Variant::Array({"Caixa d'água", Variant::Null(), "x"}),
      Variant::Array({"1250,00", "1250,75", "0"}), Variant::Array({"2", Variant::Integer(1), "3"}));
  EXPECT_EQ(call.result, Variant::Boolean(true));
  EXPECT_EQ(
      database.statements(),
      (std::vector<std::string>{"exec  SP_TMX_EXC_NF_Conhec2 880, 5",
                                "exec SP_TMX_INC_NF_Conhec2  1, '123', 'Caixa dágua', 1250, 2, 880",
                                "exec SP_TMX_INC_NF_Conhec2  1, '7', null, 1250.75, 1, 880",
                                "exec SP_TMX_INC_NF_Conhec2  1, '8', 'x', null, 3, 880"}));
  EXPECT_EQ(call["inarrvntNota_fiscal"], Variant::Array({"123", "7", "8"}));
  EXPECT_EQ(call["inarrvntNum_Volume"], Variant::Array({"2", "1", "3"}));
}

TEST(InvoiceSave, AnEmptyValuePassesItsCheckButCannotBeANumber) {
  ScriptedDatabase database;
  AnswerDone(database);
  const MethodCall call =
      Save(database, "SQLSERVER", Variant::Integer(1), Variant::Array({"1"}), Variant::Array({"a"}),
           Variant::Array({""}), Variant::Array({"1"}), Variant::Integer(1));
  EXPECT_EQ(call.result, Variant::Boolean(false));
  EXPECT_EQ(call["outvntMsg_Ret"],
            Variant("Problema ao gravar à Nota Fiscal. Favor tentar mais tarde. "
                    "TMXCNH.mGrava_Nota_fiscal ( Tipos incompatíveis : 13)   no nº 12090, strSq: "
                    "exec  SP_TMX_EXC_NF_Conhec2 880, 1"));
}

TEST(InvoiceSave, TheDeletesRefusalIsShownAndNothingInserted) {
  ScriptedDatabase database;
  database.Answer("EXC_NF", Rows({"retorno", "msg_ret"}, {{Variant::Long(3), Variant::Null()}}));
  AnswerDone(database);
  const MethodCall call = Save(database, "SQLSERVER", Variant::Integer(1), Variant::Array({"1"}),
                               Variant::Array({"a"}), Variant::Array({"1"}), Variant::Array({"1"}));
  EXPECT_EQ(call.result, Variant::Boolean(false));
  EXPECT_EQ(call["outvntMsg_Ret"], Variant(""));
  EXPECT_EQ(database.statements().size(), 1u);
}

TEST(InvoiceSave, OnTheInlinePathAnEmptyUserEndsTheInsertInItsTrap) {
  ScriptedDatabase database;
  database.Answer("FROM infra_ids", Rows({"NOTA_FISCAL_ID"}, {{Variant::Long(1)}}));
  database.Answer("SELECT 0 RETORNO", Rows({"RETORNO", "MSG_RET"}, {{Variant::Long(0), ""}}));
  const MethodCall call =
      Save(database, "ORACLE", Variant::Integer(1), Variant::Array({"1"}), Variant::Array({"a"}),
           Variant::Array({"1"}), Variant::Array({"1"}), Variant(""));
  EXPECT_EQ(call.result, Variant::Boolean(false));
  EXPECT_EQ(call["outvntMsg_Ret"],
            Variant("Gravação de Informações no banco de dados Oracle indisponível. Favor tentar "
                    "mais tarde."));
  EXPECT_EQ(database.StatementsStartingWith(" INSERT INTO NOTA_FISCAL").size(), 0u);
}

}  // namespace
}  // namespace tmxcnh
