#include <gtest/gtest.h>

#include "tests/support/method_call.h"
#include "tests/support/scripted_driver.h"

namespace tmxcnh {
namespace {

using testing::MethodCall;
using testing::Rows;
using testing::ScriptedDatabase;

// The columns of the document row as the procedure answers them.
std::map<std::string, Variant> DocumentColumns() {
  return {{"empresa_Id", Variant::Long(1)},
          {"num_docto_transporte", Variant::Long(4501)},
          {"ponto_operacao_id", Variant::Long(7)},
          {"TAB_TIPO_COBRANCA_ID", Variant::Long(3)},
          {"cliente_id", Variant::Long(101)},
          {"Data_Emissao", Variant::Date(37685.75)},  // 2003-03-05 18:00
          {"remetente", "Indústria de Calçados Ânfora Ltda."},
          {"end_remetente", "Rua da Ânfora, 10"},
          {"pj_cgc_remetente", "12.345.678/0001-90"},
          {"pf_cpf_remetente", "123.456.789-09"},
          {"municipio_remetente", "São Paulo"},
          {"Indic_pf_pj_Remetente", "J"},
          {"remetente_id", Variant::Long(101)},
          {"telefone_remetente", "(11) 5555-0101"},
          {"End_Destinatario_id", Variant::Long(203)},
          {"destinatario", "José Antônio Conceição"},
          {"end_destinatario", "Av. Beira-Mar, 200"},
          {"pj_cgc_destinatario", Variant::Null()},
          {"pf_cpf_destinatario", "987.654.321-00"},
          {"Indic_pf_pj_Destinatario", "F"},
          {"municipio_destinatario", "Maceió"},
          {"destinatario_id", Variant::Long(103)},
          {"telefone_destinatario", Variant::Null()},
          {"End_Remetente_id", Variant::Long(201)},
          {"origem_id", Variant::Long(1)},
          {"origem", "São Paulo"},
          {"destino", "Maceió"},
          {"destino_Id", Variant::Long(8)},
          {"peso_real", Variant::Double(1234.5)},
          {"val_declarado", Variant::Double(1234)},
          {"ponto_operacao_destino_id", Variant::Long(15)},
          {"tab_tipo_despacho_id", Variant::Long(1)},
          {"tab_sit_entrega_id", Variant::Long(1)},
          {"num_volume", Variant::Long(3)},
          {"Tab_Tipo_Docto_Transp_id", Variant::Long(1)}};
}

db::ResultSet DocumentRow(std::map<std::string, Variant> changes = {}) {
  std::map<std::string, Variant> columns = DocumentColumns();
  for (auto& [name, value] : changes) columns[name] = value;
  db::ResultSet rows;
  rows.rows.emplace_back();
  for (const auto& [name, value] : columns) {
    rows.columns.push_back(name);
    rows.rows[0].push_back(value);
  }
  return rows;
}

// The client and the invoices, through the procedures and the inline SQL.
void AnswerClientAndInvoices(ScriptedDatabase& database) {
  for (const char* fragment : {"CLIENTE_DOCTO_TRANSP1", "FROM VCLIENTE"}) {
    database.Answer(
        fragment,
        Rows({"cliente", "indicativo_pf_pj", "pj_cgc_cliente", "pf_cpf_cliente"},
             {{"Indústria de Calçados Ânfora Ltda.", "J", "12.345.678/0001-90", Variant::Null()}}));
  }
  for (const char* fragment : {"NF_Conhec2", "FROM NOTA_FISCAL"}) {
    database.Answer(fragment,
                    Rows({"nota_fiscal", "Conteudo", "num_volume", "val_declarado"},
                         {{"000123", "Calçados", Variant::Long(3), Variant::Double(1234)}}));
  }
}

MethodCall Detail(ScriptedDatabase& database, Variant kind,
                  Variant document = Variant::Integer(1001), CNH* object = nullptr) {
  return testing::CallOn("gConsulta_Docto_Transporte", kind, database.connection_text(),
                         {{"invntUsuario_internet_id", Variant::Integer(5)},
                          {"invntEmpresa_id", Variant::Integer(1)},
                          {"invntGrupo_Empresa_id", Variant::Integer(1)},
                          {"invntDocto_Transporte_id", document},
                          {"outvntCliente", "antes"},
                          {"outvntCgc_Cpf_Cliente", "antes"},
                          {"outvntQtde_Notas", "antes"}},
                         object);
}

// The inline select's own conditions: a live transport document of the company
// (the joins are checked by reading real databases).
const char kOracleConditions[] =
    " AND DOC.DOCTO_TRANSPORTE_ID =  1001  AND DOC.EMPRESA_ID =  1  AND DOC.TAB_STATUS_ID = 1  AND "
    "DOC.TAB_TIPO_DOCTO_TRANSP_ID = 1 ";

TEST(DocumentDetail, ReadsTheDocumentThenItsClientThenItsInvoices) {
  struct Case {
    Variant kind;
    std::vector<std::string> statements;
  };
  const Case cases[] = {
      {"SQLSERVER",
       {"exec SP_TMX_CON_CAD_Docto_Transporte5  1001, 1",
        "Exec SP_TMX_CON_CLIENTE_DOCTO_TRANSP1 101", "exec SP_TMX_CON_NF_Conhec2 1, 1001"}},
      {"ORACLE", {kOracleConditions}},
  };
  for (const Case& c : cases) {
    ScriptedDatabase database;
    database.Answer("Docto_Transporte5", DocumentRow());
    database.Answer("FROM DOCTO_TRANSPORTE DOC", DocumentRow());
    AnswerClientAndInvoices(database);
    const MethodCall call = Detail(database, c.kind);
    const std::vector<std::string> sent = database.statements();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_TRUE(sent[0].ends_with(c.statements[0])) << sent[0];
    if (c.kind == Variant("SQLSERVER")) {
      EXPECT_EQ(sent, c.statements);
    }
    EXPECT_EQ(call.result, Variant::Integer(0));
    EXPECT_EQ(call["outvntMsg_Ret"], Variant("intocada"));
    EXPECT_EQ(call["outvntEmpresa_id"], Variant::Long(1));
    EXPECT_EQ(call["outvntNum_Docto_Transporte"], Variant::Long(4501));
    EXPECT_EQ(call["outvntTab_Tipo_Cobranca_id"], Variant::Long(3));
    EXPECT_EQ(call["outvntData_Emissao"], Variant("05/03/2003"));
    EXPECT_EQ(call["outvntCGC_CPF_Remetente"], Variant("12.345.678/0001-90"));  // CNPJ before CPF
    EXPECT_EQ(call["outvntCGC_CPF_Destinatario"], Variant("987.654.321-00"));   // no CNPJ: the CPF
    EXPECT_EQ(call["outvntTelefone_Destinatario"], Variant(""));
    EXPECT_EQ(call["outvntPeso_Real"], Variant("1234,50"));
    EXPECT_EQ(call["outvntVal_Declarado"], Variant("1234,00"));
    EXPECT_EQ(call["outvntDestino_id"], Variant::Long(8));
    EXPECT_EQ(call["outvntTab_Tipo_Docto_Transp_id"], Variant::Long(1));
    EXPECT_EQ(call["outvntCliente"], Variant("Indústria de Calçados Ânfora Ltda."));
    EXPECT_EQ(call["outvntCgc_Cpf_Cliente"], Variant("12.345.678/0001-90"));
    EXPECT_EQ(call["outvntQtde_Notas"], Variant::Long(1));
    EXPECT_EQ(call["outarrvntVal_Declarado"], Variant::Array({"1234,00"}));
  }
}

TEST(DocumentDetail, ValuesFollowTheirColumnRules) {
  struct Case {
    const char* column;
    Variant stored;
    const char* parameter;
    Variant expected;
  };
  const Case cases[] = {
      {"TAB_TIPO_COBRANCA_ID", Variant::Null(), "outvntTab_Tipo_Cobranca_id", Variant::Integer(0)},
      {"Data_Emissao", Variant::Null(), "outvntData_Emissao", ""},
      {"peso_real", Variant::Double(0), "outvntPeso_Real", ""},
      {"peso_real", Variant::Null(), "outvntPeso_Real", ""},
      {"peso_real", Variant::Double(12.345), "outvntPeso_Real", "12,34"},
      {"val_declarado", Variant::Double(1234.5), "outvntVal_Declarado", "1234,50"},
      {"pj_cgc_remetente", "", "outvntCGC_CPF_Remetente", "123.456.789-09"},
      {"remetente", Variant::Null(), "outvntRemetente", ""},
      {"num_volume", Variant::Null(), "outvntNum_Volume", ""},
  };
  for (const Case& c : cases) {
    ScriptedDatabase database;
    database.Answer("Docto_Transporte5", DocumentRow({{c.column, c.stored}}));
    AnswerClientAndInvoices(database);
    const MethodCall call = Detail(database, "SQLSERVER");
    EXPECT_EQ(call.result, Variant::Integer(0)) << c.column;
    EXPECT_EQ(call[c.parameter], c.expected) << c.column << " " << c.stored;
  }
}

// What the client's and the invoices' answers make of the call: without a
// client none is looked up; an unknown one stops before the invoices (the
// document's columns already written); no invoices leave their count.
TEST(DocumentDetail, TheClientAndTheInvoicesAnswersDecide) {
  struct Case {
    Variant client;
    db::ResultSet client_answer;
    db::ResultSet invoices_answer;
    Variant result;
    size_t statements;
    const char* message;
    Variant client_name;
    Variant invoices;
  };
  const db::ResultSet none = Rows({"x"});
  const db::ResultSet client =
      Rows({"cliente", "indicativo_pf_pj", "pj_cgc_cliente", "pf_cpf_cliente"},
           {{"Ânfora", "J", "1", Variant::Null()}});
  const db::ResultSet invoice =
      Rows({"nota_fiscal", "Conteudo", "num_volume", "val_declarado"},
           {{"000123", "Calçados", Variant::Long(3), Variant::Double(1)}});
  const Case cases[] = {
      {Variant::Null(), none, invoice, Variant::Integer(0), 2, "intocada", "antes",
       Variant::Long(1)},
      {Variant::Long(0), none, invoice, Variant::Integer(0), 2, "intocada", "antes",
       Variant::Long(1)},
      {Variant(""), none, invoice, Variant::Integer(0), 2, "intocada", "antes", Variant::Long(1)},
      {Variant::Long(101), none, invoice, Variant::Integer(10), 2, "Cliente não cadastrado.",
       "antes", "antes"},
      {Variant::Long(101), client, none, Variant::Integer(0), 3, "intocada", "Ânfora", "antes"},
  };
  for (const Case& c : cases) {
    ScriptedDatabase database;
    database.Answer("Docto_Transporte5", DocumentRow({{"cliente_id", c.client}}));
    database.Answer("CLIENTE_DOCTO_TRANSP1", c.client_answer);
    database.Answer("NF_Conhec2", c.invoices_answer);
    const MethodCall call = Detail(database, "SQLSERVER");
    EXPECT_EQ(call.result, c.result) << c.message;
    EXPECT_EQ(database.statements().size(), c.statements) << c.message;
    EXPECT_EQ(call["outvntMsg_Ret"], Variant(c.message));
    EXPECT_EQ(call["outvntNum_Docto_Transporte"], Variant::Long(4501));
    EXPECT_EQ(call["outvntCliente"], c.client_name) << c.message;
    EXPECT_EQ(call["outvntQtde_Notas"], c.invoices) << c.message;
  }
}

TEST(DocumentDetail, NoDocument) {
  ScriptedDatabase database;
  database.Answer("Docto_Transporte5", Rows({"empresa_Id"}));
  const MethodCall call = Detail(database, "SQLSERVER");
  EXPECT_EQ(call.result, Variant::Integer(10));
  EXPECT_EQ(call["outvntMsg_Ret"], Variant("Conhecimento não cadastrado."));
  EXPECT_EQ(call["outvntEmpresa_id"], Variant());
}

TEST(DocumentDetail, TheOtherMethodsAreCalledThroughTheClassInterface) {
  class Watched : public CNH {
   public:
    bool mBusca_Cliente(Variant& kind, Variant& connection, Variant& user, Variant& client,
                        Variant& name, Variant& cnpj, Variant& person, Variant& message) override {
      client_seen = client;
      connection_seen = connection;
      return CNH::mBusca_Cliente(kind, connection, user, client, name, cnpj, person, message);
    }
    bool mConsulta_Nota_Fiscal(Variant&, Variant&, Variant&, Variant&, Variant&, Variant& document,
                               Variant&, Variant&, Variant&, Variant&, Variant&,
                               Variant& message) override {
      document_seen = document;
      message = "Problema na Consulta à Nota Fiscal. Favor tentar mais tarde.";
      return false;
    }
    Variant client_seen;
    Variant connection_seen;
    Variant document_seen;
  };
  ScriptedDatabase database;
  database.Answer("Docto_Transporte5", DocumentRow());
  AnswerClientAndInvoices(database);
  Watched object;
  const MethodCall call = Detail(database, "SQLSERVER", Variant::Integer(1001), &object);
  EXPECT_EQ(object.client_seen, Variant::Long(101));
  EXPECT_EQ(object.connection_seen, Variant(database.connection_text()));
  EXPECT_EQ(object.document_seen, Variant::Integer(1001));
  EXPECT_EQ(call.result, Variant::Integer(10));
  EXPECT_EQ(call["outvntMsg_Ret"],
            Variant("Problema na Consulta à Nota Fiscal. Favor tentar mais tarde."));
}

}  // namespace
}  // namespace tmxcnh
