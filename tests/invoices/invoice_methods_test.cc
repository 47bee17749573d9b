// The invoice methods: the list and the save against the scripted database
// (statements, checks, answers), and the total, which needs none.
#include <gtest/gtest.h>

#include "platform/regional_settings.h"
#include "tests/support/method_call.h"
#include "tests/support/scripted_driver.h"

namespace tmxcnh {
namespace {

using testing::CallMethod;
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

// Both kinds' statements read the demo invoices alike on the real databases
// (a deleted one left out, none as Empty); here what each column's value
// becomes.
TEST(InvoiceList, SendsTheProcedureAndCopiesTheRowsBack) {
  // Declared values take the machine's decimal separator.
  for (const auto& [locale, values] :
       {std::pair{Locale::kBrazil, Variant::Array({"07,50", "1234,50", ""})},
        std::pair{Locale::kUnitedStates, Variant::Array({"07.50", "1234.50", ""})}}) {
    ScopedLocale scoped(locale);
    ScriptedDatabase database;
    database.Answer("NF_Conhec2", ThreeInvoices());
    const MethodCall call = Invoices(database, "SQLSERVER", Variant::Integer(55));
    EXPECT_EQ(database.statements(), std::vector<std::string>{"exec SP_TMX_CON_NF_Conhec2 3, 55"});
    EXPECT_EQ(call.result, Variant::Boolean(true));
    EXPECT_EQ(call["outvntQtde_Notas"], Variant::Long(3));
    EXPECT_EQ(call["outarrvntNota_Fiscal"], Variant::Array({"000123", "000124", "000125"}));
    EXPECT_EQ(call["outarrvntConteudo"], Variant::Array({"Calçados", "", "Açaí"}));
    EXPECT_EQ(call["outarrvntNum_Volume"],
              Variant::Array({Variant::Long(3), Variant::Long(1), ""}));
    EXPECT_EQ(call["outarrvntVal_Declarado"], values);
    EXPECT_EQ(call["outvntMsg_Ret"], Variant("intocada"));
  }
}

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
  database.Answer("FROM infra_ids", Rows({"NOTA_FISCAL_ID"}, {{Variant::Long(1)}}));
  database.Answer("SELECT 0 RETORNO", Rows({"RETORNO", "MSG_RET"}, {{Variant::Long(0), ""}}));
  database.Answer("NF_Conhec2", Rows({"retorno", "msg_ret"}, {{Variant::Long(0), ""}}));
}

// Each invoice is checked before it is inserted: the delete and the invoices
// before it went, the rest never did. No invoices removes all the document's.
TEST(InvoiceSave, WhatStopsTheSaveAndWhereItStops) {
  const Variant one = Variant::Integer(1), two = Variant::Integer(2);
  const Variant done = Variant::Array({"1"}), none = Variant::Array({});
  const auto second = [](Variant value) { return Variant::Array({"1", std::move(value)}); };
  struct Case {
    Variant count;
    Variant numbers;
    Variant values;
    Variant volumes;
    const char* message;  // nullptr: saved
    size_t sent;
    Variant user = Variant::Integer(5);
    Variant kind = "SQLSERVER";
  };
  const Case cases[] = {
      {Variant::Integer(0), none, none, none, nullptr, 1},
      {two, second("12,5"), second("10"), second("1"),
       "O campo nota fiscal não permite a digitação de números com casas decimais(,)", 2},
      {two, second("12"), second("10"), second("0"), "volume deve ser igual ou maior que 1", 2},
      {two, second("12"), second("1.250,00"), second("1"),
       "O campo valor da nota fiscal não permite a digitação de números com uso de separador de "
       "milhar(.)",
       2},
      {two, second("12"), second("-1"), second("1"),
       "valor da nota fiscal deve ser igual ou maior que 0", 2},
      {two, second("0"), second("10"), second("1"), "nota fiscal deve ser igual ou maior que 1", 2},
      // An empty value passes its check but cannot be a number.
      {one, done, Variant::Array({""}), done,
       "Problema ao gravar à Nota Fiscal. Favor tentar mais tarde. TMXCNH.mGrava_Nota_fiscal ( "
       "Tipos incompatíveis : 13)   no nº 12090, strSq: exec  SP_TMX_EXC_NF_Conhec2 880, 1",
       2, one},
      // On the inline path an empty user ends the insert in its trap.
      {one, done, done, done,
       "Gravação de Informações no banco de dados Oracle indisponível. Favor tentar mais tarde.", 3,
       "", "ORACLE"},
  };
  for (const Case& c : cases) {
    ScriptedDatabase database;
    AnswerDone(database);
    const MethodCall call = Save(database, c.kind, c.count, c.numbers, Variant::Array({"a", "b"}),
                                 c.values, c.volumes, c.user);
    EXPECT_EQ(call.result, Variant::Boolean(c.message == nullptr)) << Describe(c.values);
    EXPECT_EQ(call["outvntMsg_Ret"], Variant(c.message ? c.message : "intocada"));
    EXPECT_EQ(database.statements().size(), c.sent) << Describe(c.values);
    EXPECT_TRUE(database.StatementsStartingWith(" INSERT INTO NOTA_FISCAL").empty());
  }
  // The delete's refusal is shown and nothing inserted.
  ScriptedDatabase database;
  database.Answer("EXC_NF", Rows({"retorno", "msg_ret"}, {{Variant::Long(3), Variant::Null()}}));
  const MethodCall call = Save(database, "SQLSERVER", one, done, done, done, done);
  EXPECT_EQ(call.result, Variant::Boolean(false));
  EXPECT_EQ(call["outvntMsg_Ret"], Variant(""));
  EXPECT_EQ(database.statements().size(), 1u);
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

MethodCall Total(Variant count, Variant values, Variant start, Variant user = Variant::Integer(5)) {
  return CallMethod("gSoma_Nota_Fiscal", {{"invntUsuario_internet_id", user},
                                          {"invntQtde_Notas", count},
                                          {"inarrvntVal_Declarado", values},
                                          {"outvntValor_Total_NF", start},
                                          {"outvntMsg_Ret", "intocada"}});
}

struct Case {
  Locale locale;
  Variant count;
  Variant values;
  Variant start;
  Variant result;
  Variant total;
  const char* message;
};

TEST(InvoiceTotal, Outcomes) {
  const Locale br = Locale::kBrazil;
  const Variant two = Variant::Integer(2);
  const Variant ok = Variant::Integer(0);
  const Variant refused = Variant::Integer(10);
  const char* untouched = "intocada";
  const Case cases[] = {
      {br, two, Variant::Array({"10,50", "2,25"}), Variant(), ok, "12,75", untouched},
      // A starting total typed as text is read as the number it stands for.
      {br, two, Variant::Array({"10,50", "2,25"}), "100", ok, "112,75", untouched},
      {br, two, Variant::Array({"10,50", "2,25"}), "", ok, "12,75", untouched},
      {br, Variant::Integer(0), Variant::Array({}), Variant::Double(7), ok, "7,00", untouched},
      {br, Variant::Integer(3), Variant::Array({"1", "1.000,00", "2"}), Variant(), refused,
       Variant::Double(1),  // the partial sum, unformatted
       "O campo Nota fiscal não permite a digitação de números com uso de separador de milhar(.)"},
      {br, two, Variant::Array({"-5", "1"}), Variant(), refused, Variant(),
       "Nota fiscal deve ser igual ou maior que 0"},
      // A refused first value leaves a starting total as the caller typed it.
      {br, two, Variant::Array({"-5", "1"}), "", refused, "",
       "Nota fiscal deve ser igual ou maior que 0"},
      // Under US settings the foreign comma is brought to the point before the sum.
      {Locale::kUnitedStates, two, Variant::Array({"10,50", "2,25"}), Variant(), ok, "12,75",
       untouched},
  };
  for (const Case& c : cases) {
    ScopedLocale locale(c.locale);
    const MethodCall call = Total(c.count, c.values, c.start);
    EXPECT_EQ(call.result, c.result) << Describe(c.values);
    EXPECT_EQ(call["outvntValor_Total_NF"], c.total) << Describe(c.values);
    EXPECT_EQ(call["outvntMsg_Ret"], Variant(c.message)) << Describe(c.values);
  }
}

TEST(InvoiceTotal, TheCheckCleansTheCallersArray) {
  const MethodCall call =
      Total(Variant::Integer(2), Variant::Array({"10'50", Variant::Integer(2)}), Variant());
  EXPECT_EQ(call.result, Variant::Integer(0));
  EXPECT_EQ(call["inarrvntVal_Declarado"], Variant::Array({"1050", "2"}));
  EXPECT_EQ(call["outvntValor_Total_NF"], Variant("1052,00"));
}

TEST(InvoiceTotal, ErrorsEndInItsTrapWithoutSqlOrLog) {
  struct Case {
    Variant count;
    Variant values;
    const char* detail;
  };
  const Case cases[] = {
      {Variant::Integer(3), Variant::Array({"1", "2"}),
       " TMXCNH.gSoma_Nota_Fiscal ( Subscrito fora do intervalo : 9)   no nº 7030"},
      {Variant::Long(40000), Variant::Array({"1"}),
       " TMXCNH.gSoma_Nota_Fiscal ( Estouro : 6)   no nº 7020"},
      {Variant::Integer(1), "não é uma lista",
       " TMXCNH.gSoma_Nota_Fiscal ( Tipos incompatíveis : 13)   no nº 7030"},
  };
  const std::string sentence =
      "Acesso a função não disponível; gSoma_Nota_Fiscal. Favor tentar mais tarde.";
  for (const Case& c : cases) {
    const MethodCall shown = Total(c.count, c.values, Variant(), Variant::Integer(1));
    EXPECT_EQ(shown.result, Variant::Integer(10));
    EXPECT_EQ(shown["outvntMsg_Ret"], Variant(sentence + c.detail));
    EXPECT_EQ(Total(c.count, c.values, Variant())["outvntMsg_Ret"], Variant(sentence));
  }
}

}  // namespace
}  // namespace tmxcnh
