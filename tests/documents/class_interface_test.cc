// What a derived object sees: the methods that call other methods or the
// emulations do so through the class's interface. The scripted cases of these
// methods are in read_methods.txt and document_writes.txt.
#include <gtest/gtest.h>

#include "component/cnh.h"
#include "platform/clock.h"
#include "platform/conversions.h"
#include "tests/platform/oracle_literals.h"
#include "tests/support/method_call.h"
#include "tests/support/scripted_driver.h"

namespace tmxcnh {
namespace {

using testing::Arguments;
using testing::CallOn;
using testing::MethodCall;
using testing::Rows;
using testing::ScriptedDatabase;

// The document row as the procedure answers it, in the oracle transcript's
// notation.
db::ResultSet DocumentRow() {
  const std::string row =
      "empresa_Id I4:1 | num_docto_transporte I4:4501 | ponto_operacao_id I4:7 | "
      "TAB_TIPO_COBRANCA_ID I4:3 | cliente_id I4:101 | Data_Emissao D:2003-03-05T18:00:00 | "
      "remetente S:Indústria de Calçados Ânfora Ltda. | end_remetente S:Rua da Ânfora, 10 | "
      "pj_cgc_remetente S:12.345.678/0001-90 | pf_cpf_remetente S:123.456.789-09 | "
      "municipio_remetente S:São Paulo | Indic_pf_pj_Remetente S:J | remetente_id I4:101 | "
      "telefone_remetente S:(11) 5555-0101 | End_Destinatario_id I4:203 | "
      "destinatario S:José Antônio Conceição | end_destinatario S:Av. Beira-Mar, 200 | "
      "pj_cgc_destinatario N | pf_cpf_destinatario S:987.654.321-00 | "
      "Indic_pf_pj_Destinatario S:F | municipio_destinatario S:Maceió | "
      "destinatario_id I4:103 | telefone_destinatario N | End_Remetente_id I4:201 | "
      "origem_id I4:1 | origem S:São Paulo | destino S:Maceió | destino_Id I4:8 | "
      "peso_real R8:1234.5 | val_declarado R8:1234 | ponto_operacao_destino_id I4:15 | "
      "tab_tipo_despacho_id I4:1 | tab_sit_entrega_id I4:1 | num_volume I4:3 | "
      "Tab_Tipo_Docto_Transp_id I4:1";
  db::ResultSet rows;
  for (const std::string& column : testing::Split(row, " | ")) {
    const size_t space = column.find(' ');
    rows.columns.push_back(column.substr(0, space));
    rows.values.push_back(*testing::ParseLiteral(column.substr(space + 1)));
  }
  return rows;
}

TEST(ClassInterface, TheDetailCallsTheEmulationsAndTheOtherMethodsThroughIt) {
  class Watched : public CNH {
   public:
    bool mBusca_Cliente(Variant& kind, Variant& connection, Variant& user, Variant& client,
                        Variant& name, Variant& cnpj, Variant& person, Variant& message) override {
      seen.push_back(client);
      seen.push_back(connection);
      return CNH::mBusca_Cliente(kind, connection, user, client, name, cnpj, person, message);
    }
    bool mConsulta_Nota_Fiscal(Variant&, Variant&, Variant&, Variant&, Variant&, Variant& document,
                               Variant&, Variant&, Variant&, Variant&, Variant&,
                               Variant& message) override {
      seen.push_back(document);
      message = "Problema na Consulta à Nota Fiscal. Favor tentar mais tarde.";
      return false;
    }
    std::vector<Variant> seen;

   protected:
    bool mTrataSP_TMX_CON_EMPRESA_OP(const std::string& kind, const std::string&, int32_t& branch,
                                     std::string&, Variant& message, const Variant& user) override {
      seen.push_back(kind + " " + std::to_string(branch) + " " + ToText(user));
      message = "da emulação";
      return false;
    }
  };
  ScriptedDatabase database;
  database.Answer("Docto_Transporte5", DocumentRow());
  database.Answer("CLIENTE_DOCTO_TRANSP1",
                  Rows({"cliente", "indicativo_pf_pj", "pj_cgc_cliente", "pf_cpf_cliente"},
                       {{"Indústria Ânfora", "J", "12.345.678/0001-90", Variant::Null()}}));
  Watched object;
  const Variant user = Variant::Integer(5);
  const MethodCall call =
      CallOn("gConsulta_Docto_Transporte", "SQLSERVER", database.connection_text(),
             {{"invntUsuario_internet_id", user},
              {"invntEmpresa_id", Variant::Integer(1)},
              {"invntGrupo_Empresa_id", Variant::Integer(1)},
              {"invntDocto_Transporte_id", Variant::Integer(1001)}},
             &object);
  EXPECT_EQ(call.result, Variant::Integer(10));
  EXPECT_EQ(call["outvntMsg_Ret"],
            Variant("Problema na Consulta à Nota Fiscal. Favor tentar mais tarde."));
  ScriptedDatabase untouched;
  const MethodCall branch =
      CallOn("gBusca_Empresa_Filial", "ORACLE", untouched.connection_text(),
             {{"invntUsuario_internet_id", user}, {"invntPonto_Operacao_id", Variant::Integer(7)}},
             &object);
  EXPECT_EQ(object.seen, (std::vector<Variant>{Variant::Long(101), database.connection_text(),
                                               Variant::Integer(1001), "ORACLE 7 5"}));
  EXPECT_EQ(branch.result, Variant::Integer(10));
  EXPECT_EQ(branch["outvntMsg_Ret"], Variant("da emulação"));
  EXPECT_TRUE(untouched.statements().empty());
}

// The field check calls the duplicate check with the cleaned number; four
// fields come back cleaned, as text.
TEST(ClassInterface, TheFieldCheckCallsTheDuplicateCheckThroughIt) {
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
  const ScopedClock clock([] { return CivilTime{2004, 3, 5, 10, 0, 0}; });
  const Arguments screen = {{"invntUsuario_internet_id", Variant::Integer(5)},
                            {"invntEmpresa_id", Variant::Integer(1)},
                            {"invntNum_Docto_Transporte", "12;3"},
                            {"invntPonto_Operacao_id", Variant::Integer(7)},
                            {"invntTab_Tipo_Cobranca_id", Variant::Integer(1)},
                            {"invntEnd_Remetente_id", Variant::Integer(202)},
                            {"invntEnd_Destinatario_id", Variant::Integer(203)},
                            {"invntOrigem_id", Variant::Integer(1)},
                            {"invntDestino_id", Variant::Integer(8)},
                            {"invntPeso_Total", Variant::Double(12.5)},
                            {"invntNum_Volume", "3"},
                            {"invntValor_Declarado", "'1000'"},
                            {"invntQtde_Notas", Variant::Integer(2)},
                            {"invntData_Emissao", "(20/11/2003)"},
                            {"invntDocto_Transporte_id", Variant::Integer(0)},
                            {"invntPonto_Operacao_Destino_id", Variant::Integer(9)},
                            {"invnttab_tipo_despacho_id", Variant::Integer(1)},
                            {"invntTab_Tipo_Docto_Transp_id", Variant::Integer(1)}};
  ScriptedDatabase database;
  Watched object;
  const MethodCall call =
      CallOn("mConsiste_Campos", "SQLSERVER", database.connection_text(), screen, &object);
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
