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

// A document screen where every field is right.
Arguments ValidScreen() {
  return {{"invntNum_Docto_Transporte", "1234"},
          {"invntPonto_Operacao_id", Variant::Integer(7)},
          {"invntTab_Tipo_Cobranca_id", Variant::Integer(1)},
          {"invntEnd_Remetente_id", Variant::Integer(202)},
          {"invntEnd_Destinatario_id", Variant::Integer(203)},
          {"invntCliente_id", Variant()},
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

TEST_F(FieldConsistency, EachTestAloneGivesItsOwnMessageWithoutTheDatabase) {
  struct Case {
    const char* field;
    Variant value;
    const char* message;
  };
  const Case cases[] = {
      {"invntNum_Docto_Transporte", "", "Informe o Número do documento."},
      {"invntNum_Docto_Transporte", "   ", "Informe o Número do documento."},
      {"invntNum_Docto_Transporte", "12a", "Número do documento deve ser numérico."},
      {"invntPonto_Operacao_id", Variant::Integer(0), "Informe a Filial Responsável."},
      {"invntTab_Tipo_Cobranca_id", Variant(), "Informe o Tamador do Frete."},
      {"invntPonto_Operacao_Destino_id", "", "Informe um ponto operação de destino."},
      {"invnttab_tipo_despacho_id", Variant::Null(), "Informe um tipo de Despacho. "},
      {"invntData_Emissao", "31/02/2004", "Data de emissão inválida."},
      {"invntData_Emissao", "abc", "Data de emissão inválida."},
      {"invntData_Emissao", "06/03/2004",
       "A Data de emissão não pode ser maior que a data de hoje."},
      {"invntTab_Tipo_Cobranca_id", Variant::Integer(3), "Informe um Cliente."},
      {"invntEnd_Remetente_id", Variant::Integer(0), "Informe um remetente."},
      {"invntEnd_Destinatario_id", "0", "Informe um destinatario."},
      {"invntOrigem_id", Variant(), "Informe uma cidade de origem."},
      {"invntDestino_id", "", "Informe uma cidade de destino."},
      {"invntPeso_Total", "", "Informe o peso total."},
      {"invntPeso_Total", "doze", "O peso total deve ser numérico."},
      {"invntNum_Volume", Variant::Null(), "Informe o número de volume."},
      {"invntNum_Volume", "três", "O número de volume deve ser numérico."},
      {"invntValor_Declarado", "", "Informe o valor da mercadoria."},
      {"invntValor_Declarado", "mil", "O Valor declarado deve ser numérico."},
      {"invntQtde_Notas", Variant::Integer(0), "Notas Fiscais não informadas."},
  };
  for (const Case& c : cases) {
    Arguments screen = ValidScreen();
    Set(screen, c.field, c.value);
    ScriptedDatabase database;
    const MethodCall call = Check(database, screen);
    EXPECT_EQ(call.result, Variant::Boolean(false)) << c.field << " " << c.value;
    EXPECT_EQ(call["outvntMsg_Ret"], Variant(c.message)) << c.field << " " << c.value;
    EXPECT_TRUE(database.statements().empty()) << c.field;
  }
}

TEST_F(FieldConsistency, TheFirstFailingTestWins) {
  Arguments screen = ValidScreen();
  Set(screen, "invntQtde_Notas", Variant::Integer(0));
  Set(screen, "invntOrigem_id", Variant());
  Set(screen, "invntPonto_Operacao_id", Variant());
  ScriptedDatabase database;
  EXPECT_EQ(Check(database, screen)["outvntMsg_Ret"], Variant("Informe a Filial Responsável."));
}

TEST_F(FieldConsistency, WhenEverythingPassesTheDuplicateCheckDecides) {
  for (const auto& [count, accepted] : {std::pair{0, true}, std::pair{1, false}}) {
    ScriptedDatabase database;
    database.Answer("DUPL", Rows({"contador"}, {{Variant::Long(count)}}));
    const MethodCall call = Check(database, ValidScreen());
    EXPECT_EQ(call.result, Variant::Boolean(accepted));
    EXPECT_EQ(database.statements(),
              std::vector<std::string>{"EXEC SP_TMX_VER_DUPL_NUM_DOCTO2 1234, 7, null, 1"});
    EXPECT_EQ(call["outvntMsg_Ret"],
              Variant(accepted ? "intocada" : "Já existe um conhecimento com esse número."));
  }
}

TEST_F(FieldConsistency, PassingCasesAtTheEdges) {
  struct Case {
    const char* field;
    Variant value;
  };
  const Case cases[] = {
      {"invntData_Emissao", ""},            // an empty date passes both date tests
      {"invntData_Emissao", "05/03/2004"},  // today passes
      {"invntData_Emissao", "2004/03/05"},
      {"invntCliente_id", Variant()},  // charging type 1 needs no client
      {"invntPeso_Total", "0"},
      {"invntNum_Docto_Transporte", "12;3"},  // cleaned to 123
  };
  for (const Case& c : cases) {
    Arguments screen = ValidScreen();
    Set(screen, c.field, c.value);
    ScriptedDatabase database;
    database.Answer("DUPL", Rows({"contador"}, {{Variant::Long(0)}}));
    EXPECT_EQ(Check(database, screen).result, Variant::Boolean(true)) << c.field << " " << c.value;
  }
  Arguments client = ValidScreen();
  Set(client, "invntTab_Tipo_Cobranca_id", Variant("3"));
  Set(client, "invntCliente_id", Variant::Integer(101));
  ScriptedDatabase database;
  EXPECT_EQ(Check(database, client).result, Variant::Boolean(true));
}

TEST_F(FieldConsistency, FourFieldsComeBackCleanedAsText) {
  Arguments screen = ValidScreen();
  Set(screen, "invntNum_Docto_Transporte", "12;3");
  Set(screen, "invntPeso_Total", Variant::Double(12.5));
  Set(screen, "invntValor_Declarado", "'1000'");
  Set(screen, "invntData_Emissao", "(20/11/2003)");
  ScriptedDatabase database;
  const MethodCall call = Check(database, screen);
  EXPECT_EQ(call["invntNum_Docto_Transporte"], Variant("123"));
  EXPECT_EQ(call["invntPeso_Total"], Variant("12,5"));
  EXPECT_EQ(call["invntValor_Declarado"], Variant("1000"));
  EXPECT_EQ(call["invntData_Emissao"], Variant("20/11/2003"));
  EXPECT_EQ(database.statements(),
            std::vector<std::string>{"EXEC SP_TMX_VER_DUPL_NUM_DOCTO2 123, 7, null, 1"});
}

TEST_F(FieldConsistency, TheDuplicateCheckIsCalledThroughTheClassInterface) {
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
  ScriptedDatabase database;
  Watched object;
  Arguments screen = ValidScreen();
  Set(screen, "invntNum_Docto_Transporte", "1234;");
  const MethodCall call = Check(database, screen, &object);
  EXPECT_EQ(object.seen, (std::vector<Variant>{database.connection_text(), "1234",
                                               Variant::Integer(7), Variant::Integer(0)}));
  EXPECT_EQ(call.result, Variant::Boolean(false));
  EXPECT_EQ(call["outvntMsg_Ret"], Variant("do outro método"));
}

TEST_F(FieldConsistency, ARunTimeFailureEndsItsDetailAfterTheStep) {
  Arguments screen = ValidScreen();
  Set(screen, "invntPeso_Total", Variant::Null());  // a Null cannot be cleaned as text
  ScriptedDatabase database;
  const MethodCall call = Check(database, screen, nullptr, Variant::Integer(1));
  EXPECT_EQ(call.result, Variant::Boolean(false));
  EXPECT_EQ(call["outvntMsg_Ret"],
            Variant("Problema ao consistir os campos. Favor tentar mais tarde. "
                    "TMXCNH.mConsiste_Campos ( Uso inválido de Nulo : 94)   no nº 10010"));
  EXPECT_EQ(database.StatementsStartingWith("INSERT INTO LOG_MSG").size(), 1u);
}

TEST_F(FieldConsistency, DatesFollowTheLocale) {
  ScopedLocale us(Locale::kUnitedStates);
  Arguments screen = ValidScreen();
  Set(screen, "invntData_Emissao", "03/06/2004");  // 6 March there: after today
  ScriptedDatabase database;
  EXPECT_EQ(Check(database, screen)["outvntMsg_Ret"],
            Variant("A Data de emissão não pode ser maior que a data de hoje."));
  Set(screen, "invntData_Emissao", "03/04/2004");  // 4 March
  database.Answer("DUPL", Rows({"contador"}, {{Variant::Long(0)}}));
  EXPECT_EQ(Check(database, screen).result, Variant::Boolean(true));
}

}  // namespace
}  // namespace tmxcnh
