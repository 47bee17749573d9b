// The document insert, update and delete against the scripted database: the
// statements they send, fragment by fragment, and what each answer makes of
// the result.
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/regional_settings.h"
#include "tests/support/method_call.h"
#include "tests/support/scripted_driver.h"

namespace tmxcnh {
namespace {

using testing::Arguments;
using testing::MethodCall;
using testing::Rows;
using testing::ScriptedDatabase;
using testing::Set;

// The screen of the examples: company 1, number 1234, branch 7, charging type
// 2, client 55, recipient's address 301, sender's address 302, cities 31 and
// 32, weight 12,5, value 1000, issued 20/11/2003, destination branch 9,
// dispatch type 1, 3 volumes, document type 1, and two invoices.
Arguments Screen() {
  return {{"invntUsuario_internet_id", Variant::Integer(12)},
          {"invntEmpresa_id", Variant::Integer(1)},
          {"invntNum_Docto_Transporte", Variant::Integer(1234)},
          {"invntPonto_Operacao_id", Variant::Integer(7)},
          {"invntTab_Tipo_Cobranca_id", Variant::Integer(2)},
          {"invntCliente_id", Variant::Integer(55)},
          {"invntEnd_Destinatario_id", Variant::Integer(301)},
          {"invntEnd_Remetente_id", Variant::Integer(302)},
          {"invntOrigem_id", Variant::Integer(31)},
          {"invntDestino_id", Variant::Integer(32)},
          {"invntPeso_Real", "12,5"},
          {"invntVal_Declarado", "1000"},
          {"invntData_Emissao", "20/11/2003"},
          {"inarrvntNota_fiscal", Variant::Array({"000123", "000124"})},
          {"invntQtde_Notas", Variant::Integer(2)},
          {"invntPonto_Operacao_Destino_id", Variant::Integer(9)},
          {"invnttab_tipo_despacho_id", Variant::Integer(1)},
          {"inarrvntConteudo", Variant::Array({"Calçados", "Bolsas"})},
          {"inarrvntVal_Declarado", Variant::Array({"1250,75", "200"})},
          {"inarrvntNum_Volume", Variant::Array({"3", Variant::Integer(1)})},
          {"invntNum_Volume", Variant::Integer(3)},
          {"invntTab_Tipo_Docto_Transp_id", Variant::Integer(1)}};
}

MethodCall Write(ScriptedDatabase& database, const std::string& method, Variant kind,
                 const Arguments& screen) {
  return testing::CallOn(method, kind, database.connection_text(), screen);
}

void AnswerEverything(ScriptedDatabase& database) {
  database.Answer("DUPL", Rows({"contador"}, {{Variant::Long(0)}}));
  database.Answer("CONTADOR", Rows({"CONTADOR"}, {{Variant::Long(0)}}));
  database.Answer("Docto_Transporte4", Rows({"retorno", "msg_ret", "docto_transporte_Id"},
                                            {{Variant::Long(0), "", Variant::Long(880)}}));
  database.Answer("_NF_Conhec2", Rows({"retorno", "msg_ret"}, {{Variant::Long(0), ""}}));
  database.Answer("FROM infra_ids",
                  Rows({"DOCTO_TRANSPORTE_ID", "NOTA_FISCAL_ID", "LOG_SISTEMA_ID"},
                       {{Variant::Long(42), Variant::Long(9000), Variant::Long(500)}}));
  database.Answer("SELECT 0 RETORNO", Rows({"RETORNO", "MSG_RET", "DOCTO_TRANSPORTE_ID"},
                                           {{Variant::Long(0), "", Variant::Long(43)}}));
}

const char kInsert[] =
    "exec SP_TMX_INC_Docto_Transporte4        1, 1234, 7, 2, 55, 301, 302, 31, 32, 12.5, 1000, "
    "'2003/11/20 00:00', 9, 1, 1, 3, 1";

// The procedures' texts are run on the real databases for both engines; the
// machine's settings are not.
TEST(DocumentInsert, UnderUsSettingsTheSameScreenSendsTheSameText) {
  ScopedLocale us(Locale::kUnitedStates);
  ScriptedDatabase database;
  AnswerEverything(database);
  Arguments screen = Screen();
  Set(screen, "invntPeso_Real", "12.5");
  Set(screen, "invntData_Emissao", "11/20/2003");
  // An invoice value cannot carry a point: whole values there.
  Set(screen, "inarrvntVal_Declarado", Variant::Array({"1250", "200"}));
  const MethodCall call = Write(database, "gInclui_Docto_Transporte", "SQLSERVER", screen);
  EXPECT_EQ(call.result, Variant::Integer(0));
  EXPECT_EQ(database.statements()[1], kInsert);
  EXPECT_EQ(database.statements()[3],
            "exec SP_TMX_INC_NF_Conhec2  1, '000123', 'Calçados', 1250, 3, 880");
}

TEST(DocumentInsert, CleanedFieldsComeBackAndZeroOrEmptyGoAsNull) {
  ScriptedDatabase database;
  AnswerEverything(database);
  Arguments screen = Screen();
  Set(screen, "invntNum_Docto_Transporte", "12;34");
  Set(screen, "invntPeso_Real", "0");
  Set(screen, "invntVal_Declarado", "(1000)");
  Set(screen, "invntData_Emissao", "");
  Set(screen, "invnttab_sit_entrega_id", Variant::Integer(4));  // not used: the constant 1 goes
  const MethodCall call = Write(database, "gInclui_Docto_Transporte", "SQLSERVER", screen);
  EXPECT_EQ(call.result, Variant::Integer(0));
  EXPECT_EQ(call["invntNum_Docto_Transporte"], Variant("1234"));
  EXPECT_EQ(call["invntPeso_Real"], Variant("0"));
  EXPECT_EQ(call["invntVal_Declarado"], Variant("1000"));
  EXPECT_EQ(call["invntData_Emissao"], Variant(""));
  EXPECT_EQ(database.statements()[1],
            "exec SP_TMX_INC_Docto_Transporte4        1, 1234, 7, 2, 55, 301, 302, 31, 32, null, "
            "1000, null, 9, 1, 1, 3, 1");
}

// What the procedures' answers make of a write: a refused document is 10 with
// no invoice step (its own words reach the caller on the real databases);
// refused invoices leave the document with 30; an empty answer has its own
// spelling per method.
TEST(DocumentWrites, TheProceduresAnswersDecide) {
  struct Case {
    const char* method;
    const char* fragment;
    db::ResultSet answer;
    Variant result;
    const char* message;
  };
  const auto answer = [](Variant retorno, Variant message) {
    return Rows({"retorno", "msg_ret", "docto_transporte_Id"},
                {{std::move(retorno), std::move(message), Variant::Long(881)}});
  };
  const db::ResultSet empty = Rows({"retorno", "msg_ret"});
  const Variant refused = Variant::Integer(10), invoices_refused = Variant::Integer(30);
  const char* const none = "Nenhume registro afetado.";
  const char* const insert = "gInclui_Docto_Transporte";
  const Case cases[] = {
      {insert, "INC_Docto", empty, refused, none},
      {insert, "INC_Docto", answer(Variant::Null(), ""), Variant::Integer(0), "intocada"},
      {insert, "EXC_NF", answer(Variant::Long(1), Variant::Null()), invoices_refused, ""},
      {insert, "EXC_NF", empty, invoices_refused, none},
      {insert, "'000124'", answer(Variant::Long(1), "qualquer"), invoices_refused,
       "Não foi possível efetuar a inclusão das notas."},
      {"gAltera_Docto_Transporte", "ALT_CAD", empty, refused, "Nenhum registro afetado."},
      {"gExclui_Docto_Transporte", "EXC_CAD", empty, refused, none},
  };
  for (const Case& c : cases) {
    ScriptedDatabase database;
    database.Answer(c.fragment, c.answer);
    AnswerEverything(database);
    Arguments screen = Screen();
    if (c.method != insert) Set(screen, "invntDocto_Transporte_id", Variant::Integer(880));
    if (c.method == std::string("gExclui_Docto_Transporte")) screen = {screen.back()};
    const MethodCall call = Write(database, c.method, "SQLSERVER", screen);
    EXPECT_EQ(call.result, c.result) << c.method << " " << c.fragment;
    EXPECT_EQ(call["outvntMsg_Ret"], Variant(c.message)) << c.method << " " << c.fragment;
    if (c.method != insert) continue;
    // A refused document leaves the identifier untouched and sends no invoice step.
    const Variant id = c.result == refused            ? Variant()
                       : c.result == invoices_refused ? Variant::Long(880)
                                                      : Variant::Long(881);
    EXPECT_EQ(call["outvntDocto_Transporte_id"], id) << c.fragment;
    if (c.result == refused) {
      EXPECT_EQ(database.statements().size(), 2u) << c.fragment;
    }
  }
}

// The order of the inline steps is pinned by failing each on the real
// databases; here the values that reach the text.
TEST(DocumentInsert, TheInlinePathAllocatesWritesAndAudits) {
  ScriptedDatabase database;
  AnswerEverything(database);
  Arguments screen = Screen();
  Set(screen, "invntQtde_Notas", Variant::Integer(1));
  Set(screen, "invntCliente_id", Variant());
  const MethodCall call = Write(database, "gInclui_Docto_Transporte", "ORACLE", screen);
  EXPECT_EQ(call.result, Variant::Integer(0));
  EXPECT_EQ(call["outvntDocto_Transporte_id"], Variant::Long(43));
  const std::vector<std::string> sent = database.statements();
  ASSERT_EQ(sent.size(), 17u);
  // A missing client goes as null; the document's and the invoices' audit
  // rows name the operation (13 and 37) and the user.
  EXPECT_TRUE(sent[3].ends_with(
      "VALUES (   43 ,   1 ,   1234 ,   7 ,   2 ,  null ,   301 ,   302 ,   31 ,   32 ,   12.5 ,"
      "   1000 ,  TO_DATE('2003/11/20 00:00' , 'YYYY/MM/DD hh24:mi') ,   9 ,   1 ,   1 ,   3 ,"
      "  1 , 1 ) "))
      << sent[3];
  EXPECT_TRUE(sent[6].ends_with("Values ( 501 , 13 , 1 , 12 , 43 ,  SYSDATE )  ")) << sent[6];
  EXPECT_TRUE(sent[15].ends_with("Values ( 501 , 37 , 1 , 12 , 9001 ,  SYSDATE )  ")) << sent[15];
}

TEST(DocumentUpdate, TheInlineUpdateIsLimitedToItsRowAndAuditsIt) {
  ScriptedDatabase database;
  AnswerEverything(database);
  Arguments screen = Screen();
  Set(screen, "invntDocto_Transporte_id", Variant::Integer(880));
  Set(screen, "invntCliente_id", Variant());
  Set(screen, "invntQtde_Notas", Variant::Integer(1));
  const MethodCall call = Write(database, "gAltera_Docto_Transporte", "ORACLE", screen);
  EXPECT_EQ(call.result, Variant::Integer(0));
  const std::vector<std::string> sent = database.statements();
  ASSERT_GE(sent.size(), 7u);
  // A missing or deleted document is refused alike on the real databases;
  // here the update keeps to its live row and is audited as a change (2).
  EXPECT_NE(sent[2].find("CLIENTE_ID =   null"), std::string::npos) << sent[2];
  EXPECT_TRUE(
      sent[2].ends_with(" NUM_VOLUME =    3 WHERE DOCTO_TRANSPORTE_ID =  880  AND "
                        "TAB_STATUS_ID = 1 "))
      << sent[2];
  EXPECT_TRUE(sent[5].ends_with("Values ( 501 , 13 , 2 , 12 , 880 ,  SYSDATE )  ")) << sent[5];
}

// A document screen where every field is right.
Arguments ValidScreen() {
  return {{"invntNum_Docto_Transporte", "1234"},
          {"invntPonto_Operacao_id", Variant::Integer(7)},
          {"invntTab_Tipo_Cobranca_id", Variant::Integer(1)},
          {"invntEnd_Remetente_id", Variant::Integer(202)},
          {"invntEnd_Destinatario_id", Variant::Integer(203)},
          {"invntCliente_id", Variant()},  // charging type 1 needs no client
          {"invntOrigem_id", Variant::Integer(1)},
          {"invntDestino_id", Variant::Integer(8)},
          {"invntPeso_Total", "12,5"},
          {"invntNum_Volume", "3"},
          {"invntValor_Declarado", "1000"},
          {"invntQtde_Notas", Variant::Integer(2)},
          {"invntData_Emissao", "20/11/2003"},
          {"invntDocto_Transporte_id", Variant::Integer(0)},
          {"invntPonto_Operacao_Destino_id", Variant::Integer(9)},
          {"invnttab_tipo_despacho_id", Variant::Integer(1)},
          {"invntTab_Tipo_Docto_Transp_id", Variant::Integer(1)}};
}

MethodCall Check(ScriptedDatabase& database, Arguments screen, CNH* object = nullptr,
                 Variant user = Variant::Integer(5)) {
  screen.insert(screen.begin(),
                {{"invntUsuario_internet_id", user}, {"invntEmpresa_id", Variant::Integer(1)}});
  return testing::CallOn("mConsiste_Campos", "SQLSERVER", database.connection_text(), screen,
                         object);
}

class FieldConsistency : public ::testing::Test {
 protected:
  // Today is 5 March 2004 for every test here.
  ScopedClock clock_{[] { return CivilTime{2004, 3, 5, 10, 0, 0}; }};
};

// Each check alone gives its own message without the database; the first
// failing one wins; a screen that passes goes on to the duplicate check.
TEST_F(FieldConsistency, EachCheckGivesItsOwnMessage) {
  struct Case {
    Arguments changes;
    const char* message;  // nullptr: the screen passes
    size_t statements = 0;
    Locale locale = Locale::kBrazil;
  };
  const char* const future = "A Data de emissão não pode ser maior que a data de hoje.";
  const Case cases[] = {
      {{{"invntNum_Docto_Transporte", ""}}, "Informe o Número do documento."},
      {{{"invntNum_Docto_Transporte", "   "}}, "Informe o Número do documento."},
      {{{"invntNum_Docto_Transporte", "12a"}}, "Número do documento deve ser numérico."},
      {{{"invntPonto_Operacao_id", Variant::Integer(0)}}, "Informe a Filial Responsável."},
      {{{"invntTab_Tipo_Cobranca_id", Variant()}}, "Informe o Tamador do Frete."},
      {{{"invntPonto_Operacao_Destino_id", ""}}, "Informe um ponto operação de destino."},
      {{{"invnttab_tipo_despacho_id", Variant::Null()}}, "Informe um tipo de Despacho. "},
      {{{"invntData_Emissao", "31/02/2004"}}, "Data de emissão inválida."},
      {{{"invntData_Emissao", "06/03/2004"}}, future},
      {{{"invntData_Emissao", "03/06/2004"}}, future, 0, Locale::kUnitedStates},  // 6 March
      {{{"invntTab_Tipo_Cobranca_id", Variant::Integer(3)}}, "Informe um Cliente."},
      {{{"invntEnd_Remetente_id", Variant::Integer(0)}}, "Informe um remetente."},
      {{{"invntEnd_Destinatario_id", "0"}}, "Informe um destinatario."},
      {{{"invntOrigem_id", Variant()}}, "Informe uma cidade de origem."},
      {{{"invntDestino_id", ""}}, "Informe uma cidade de destino."},
      {{{"invntPeso_Total", ""}}, "Informe o peso total."},
      {{{"invntPeso_Total", "doze"}}, "O peso total deve ser numérico."},
      {{{"invntNum_Volume", Variant::Null()}}, "Informe o número de volume."},
      {{{"invntNum_Volume", "três"}}, "O número de volume deve ser numérico."},
      {{{"invntValor_Declarado", ""}}, "Informe o valor da mercadoria."},
      {{{"invntValor_Declarado", "mil"}}, "O Valor declarado deve ser numérico."},
      {{{"invntQtde_Notas", Variant::Integer(0)}}, "Notas Fiscais não informadas."},
      {{{"invntQtde_Notas", Variant::Integer(0)},
        {"invntOrigem_id", Variant()},
        {"invntPonto_Operacao_id", Variant()}},
       "Informe a Filial Responsável."},
      // A Null cannot be cleaned as text: the trap's detail ends after the step.
      {{{"invntPeso_Total", Variant::Null()}},
       "Problema ao consistir os campos. Favor tentar mais tarde. "
       "TMXCNH.mConsiste_Campos ( Uso inválido de Nulo : 94)   no nº 10010",
       1},
      {{{"invntData_Emissao", ""}}, nullptr, 1},            // an empty date passes both date tests
      {{{"invntData_Emissao", "05/03/2004"}}, nullptr, 1},  // today passes
      {{{"invntTab_Tipo_Cobranca_id", "3"}, {"invntCliente_id", Variant::Integer(101)}},
       nullptr,
       1},
      {{{"invntPeso_Total", "0"}}, nullptr, 1},
  };
  for (const Case& c : cases) {
    ScopedLocale locale(c.locale);
    Arguments screen = ValidScreen();
    for (const auto& [field, value] : c.changes) Set(screen, field, value);
    ScriptedDatabase database;
    database.Answer("DUPL", Rows({"contador"}, {{Variant::Long(0)}}));
    const MethodCall call = Check(database, screen, nullptr, Variant::Integer(1));
    const std::string label = c.changes[0].first + " " + Describe(c.changes[0].second);
    EXPECT_EQ(call.result, Variant::Boolean(c.message == nullptr)) << label;
    EXPECT_EQ(call["outvntMsg_Ret"], Variant(c.message == nullptr ? "intocada" : c.message))
        << label;
    // The duplicate check's statement, or the trap's log row.
    EXPECT_EQ(database.statements().size(), c.statements) << label;
  }
}

// The duplicate check is called through the class's interface with the
// cleaned number; four fields come back cleaned, as text.
TEST_F(FieldConsistency, CleanedFieldsGoToTheDuplicateCheckThroughTheClassInterface) {
  class Watched : public CNH {
   public:
    bool mVerifica_Dupli_Num_Docto(Variant&, Variant& connection, Variant&, Variant&, Variant&,
                                   Variant& number, Variant& branch, Variant& document, Variant&,
                                   Variant& message) override {
      seen = {connection, number, branch, document};
      message = "do outro método";
      return false;
    }
    std::vector<Variant> seen;
  };
  Arguments screen = ValidScreen();
  Set(screen, "invntNum_Docto_Transporte", "12;3");
  Set(screen, "invntPeso_Total", Variant::Double(12.5));
  Set(screen, "invntValor_Declarado", "'1000'");
  Set(screen, "invntData_Emissao", "(20/11/2003)");
  ScriptedDatabase database;
  Watched object;
  const MethodCall call = Check(database, screen, &object);
  EXPECT_EQ(object.seen, (std::vector<Variant>{database.connection_text(), "123",
                                               Variant::Integer(7), Variant::Integer(0)}));
  EXPECT_EQ(call.result, Variant::Boolean(false));
  EXPECT_EQ(call["outvntMsg_Ret"], Variant("do outro método"));
  EXPECT_EQ(call["invntNum_Docto_Transporte"], Variant("123"));
  EXPECT_EQ(call["invntPeso_Total"], Variant("12,5"));
  EXPECT_EQ(call["invntValor_Declarado"], Variant("1000"));
  EXPECT_EQ(call["invntData_Emissao"], Variant("20/11/2003"));
}

}  // namespace
}  // namespace tmxcnh
