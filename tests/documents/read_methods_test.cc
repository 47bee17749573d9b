// The reading methods against the scripted database: the statement each
// kind sends, what each answer makes of the outputs, the refusals that come
// before any statement, and the traps' texts.
#include <gtest/gtest.h>

#include "component/cnh.h"
#include "platform/conversions.h"
#include "platform/regional_settings.h"
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

const double k5March2004At1430 = 38051 + 14.5 / 24;

db::ResultSet Client(Variant name, Variant kind, Variant cnpj, Variant cpf) {
  return Rows({"CLIENTE", "PJ_CGC_CLIENTE", "PF_CPF_CLIENTE", "INDICATIVO_PF_PJ"},
              {{std::move(name), std::move(cnpj), std::move(cpf), std::move(kind)}});
}

// An answer for each method's statement, on either path (the first matching
// fragment wins; the column names' case differs on purpose).
void AnswerReads(ScriptedDatabase& database) {
  database.Answer("docto_transp", Rows({"DOCTO_TRANSPORTE_ID"}, {{Variant::Long(1)}}));
  database.Answer("EMPRESA", Rows({"empresa_Id"}, {{Variant::Long(1)}}));
  database.Answer("CLIENTE", Client("Indústria Ânfora", "J", "12.345.678/0001-90", Variant()));
  database.Answer("CONTADOR", Rows({"CONTADOR"}, {{Variant::Long(0)}}));
  database.Answer("DUPL", Rows({"contador"}, {{Variant::Long(0)}}));
  database.Answer("ata_Servidor", Rows({"data_servidor"}, {{Variant::Date(k5March2004At1430)}}));
  database.Answer("DATA_SERVIDOR", Rows({"DATA_SERVIDOR"}, {{Variant::Date(k5March2004At1430)}}));
}

MethodCall Read(ScriptedDatabase& database, const char* method, const Variant& kind,
                Arguments arguments, CNH* object = nullptr) {
  arguments.insert(arguments.begin(), {"invntUsuario_internet_id", Variant::Integer(5)});
  return CallOn(method, kind, database.connection_text(), arguments, object);
}

const char kBranch[] = "gBusca_Empresa_Filial";
const char kDate[] = "gBusca_Data_Dia";
const char kClient[] = "mBusca_Cliente";
const char kClientDocument[] = "gConsulta_Cliente_Docto_Transp";
const char kDuplicate[] = "mVerifica_Dupli_Num_Docto";

Arguments Duplicate(Variant number, Variant document) {
  return {{"invntEmpresa_id", Variant::Integer(1)},
          {"invntNum_Docto_Transporte", std::move(number)},
          {"invntPonto_Operacao_id", Variant::Integer(7)},
          {"invntDocto_Transporte_id", std::move(document)},
          {"invntTab_Tipo_Docto_Transp_id", Variant::Integer(1)}};
}

Arguments ClientDocument(Variant client, Variant number) {
  return {{"invntPessoa_id", std::move(client)}, {"invntNum_Docto_Transporte", std::move(number)}};
}

const char kClientSelect[] =
    " SELECT CLI.NOME CLIENTE ,  CLI.PJ_CGC PJ_CGC_CLIENTE ,  CLI.PF_CPF PF_CPF_CLIENTE ,  "
    "CLI.INDICATIVO_PF_PJ  FROM VCLIENTE CLI  WHERE CLI.PESSOA_ID   ";
const char kCount[] =
    " SELECT COUNT ( * ) AS CONTADOR  FROM DOCTO_TRANSPORTE  WHERE NUM_DOCTO_TRANSPORTE   ";
const char kClientInline[] =
    " select * from docto_transporte  where cliente_id  = 35 and   num_docto_transporte  = 1020 "
    "and   tab_status_id        = 1 ";

// Only the kind "SQLSERVER" (in any case, with "" and Empty) takes the
// procedures, except for the client's document check, which wants it exact.
// The plain SQLSERVER and ORACLE calls run on the real engines; here are the
// other spellings of the kind and how odd identifiers reach the text.
TEST(ReadMethods, SendTheProcedureOrTheEmulationsStatementAndCopyBackTheAnswer) {
  const std::string branch =
      " SELECT EMPRESA_ID  FROM PONTO_OPERACAO  WHERE PONTO_OPERACAO_ID   = ";
  const std::string count = kCount;
  const std::string not_zero = "  AND PONTO_OPERACAO_ID =  7  AND DOCTO_TRANSPORTE_ID <>  ";
  const auto at = [](Variant id) { return Arguments{{"invntPonto_Operacao_id", std::move(id)}}; };
  const auto client = [](Variant id) { return Arguments{{"invntCliente_id", std::move(id)}}; };
  struct Case {
    const char* method;
    Variant kind;
    Arguments arguments;
    std::string statement;
    const char* output;
    Variant value;
  };
  const Variant one = Variant::Long(1);
  const char* const company = "outvntEmpresa_id";
  const char* const untouched = "outvntMsg_Ret";
  const Case cases[] = {
      {kBranch, "oracle", at(Variant::Long(12)), "exec SP_TMX_CON_EMPRESA_OP 12", company, one},
      {kBranch, "ORACLE", at(" 12 "), branch + "12 ", company, one},
      {kBranch, "ORACLE", at("7,4"), branch + "7 ", company, one},  // rounded
      {kDate, Variant(), {}, "exec sp_tmx_con_Data_Servidor ", "outvntData_Dia", "05/03/2004"},
      {kClient, "SQLSERVER", client(Variant::Integer(0)),
       "Exec SP_TMX_CON_CLIENTE_DOCTO_TRANSP1 null", "outvntCliente", "Indústria Ânfora"},
      {kClient, "ORACLE", client(""), std::string(kClientSelect) + "is null ",
       "outvntIndic_pf_pj_Cliente", "J"},
      {kClientDocument, "sqlserver", ClientDocument(Variant::Integer(35), Variant::Long(1020)),
       kClientInline, untouched, "intocada"},
      {kDuplicate, "ORACLE", Duplicate("0", Variant::Integer(0)),
       count + "is null" + not_zero + "0  AND TAB_STATUS_ID = 1 ", untouched, "intocada"},
      {kDuplicate, "oracle", Duplicate("1234", Variant::Long(880)),
       "EXEC SP_TMX_VER_DUPL_NUM_DOCTO2 1234, 7, 880, 1", untouched, "intocada"},
  };
  for (const Case& c : cases) {
    ScriptedDatabase database;
    AnswerReads(database);
    const MethodCall call = Read(database, c.method, c.kind, c.arguments);
    EXPECT_EQ(database.statements(), std::vector<std::string>{c.statement}) << c.method;
    EXPECT_TRUE(call.result == Variant::Integer(0) || call.result == Variant::Boolean(true))
        << c.statement;
    EXPECT_EQ(call["outvntMsg_Ret"], Variant("intocada")) << c.statement;
    EXPECT_EQ(call[c.output], c.value) << c.statement;
  }
}

// Each refusal a user sees before anything reaches the database, for every
// method that needs an identifier or a criterion (on either kind).
TEST(ReadMethods, MissingCriteriaAreRefusedBeforeTheDatabase) {
  const char* const no_client =
      "Problema na identificação do cliente. Reinicie a sessão novamente. ";
  const char* const no_number = "Informe o número do conhecimento para pesquisa. ";
  struct Case {
    const char* method;
    Arguments arguments;
    const char* message;
  };
  std::vector<Case> cases = {
      {kClientDocument, ClientDocument(Variant(), Variant()), no_client},
      {kClientDocument, ClientDocument(Variant::Integer(0), Variant::Integer(1020)), no_client},
      {kClientDocument, ClientDocument(Variant::Null(), Variant::Integer(1020)), no_client},
      {kClientDocument, ClientDocument(Variant::Integer(35), ""), no_number},
      {kClientDocument, ClientDocument(Variant::Integer(35), "0"), no_number},
      {"gConsulta_Docto_Transporte",
       {{"invntDocto_Transporte_id", "abc"}},
       "Informe o número do conhecimento."},
  };
  const std::pair<const char*, const char*> by_identifier[] = {
      {"gConsulta_Docto_Transporte", "Informe o número do conhecimento."},
      {"gAltera_Docto_Transporte", "Informe um conhecimento."},
      {"gExclui_Docto_Transporte", "Informe um conhecimento."},
      {"mConsulta_Nota_Fiscal", "Informe o conhecimento."}};
  for (const Variant& none :
       {Variant::Integer(0), Variant(""), Variant(), Variant::Null(), Variant("0")}) {
    cases.push_back({kBranch, {{"invntPonto_Operacao_id", none}}, "Informe uma Filial."});
    for (const auto& [method, message] : by_identifier) {
      if (none.IsNull() && method == by_identifier[0].first) continue;  // the detail's trap
      Arguments arguments = {{"invntDocto_Transporte_id", none}};
      // The update checks the identifier before any field of the screen.
      if (method == std::string("gAltera_Docto_Transporte")) {
        arguments.emplace_back("invntNum_Docto_Transporte", "");
      }
      cases.push_back({method, arguments, message});
    }
  }
  for (const Case& c : cases) {
    for (const char* kind : {"SQLSERVER", "ORACLE"}) {
      ScriptedDatabase database;
      const MethodCall call = Read(database, c.method, kind, c.arguments);
      EXPECT_TRUE(call.result == Variant::Integer(10) || call.result == Variant::Boolean(false));
      EXPECT_EQ(call["outvntMsg_Ret"], Variant(c.message))
          << c.method << " " << Describe(c.arguments[0].second);
      EXPECT_TRUE(database.statements().empty()) << c.message;
    }
  }
}

// What each answer makes of the outputs, beyond what the real databases'
// rows already show on both kinds (an unknown branch or client, a count of
// one) and the detail's rows show of Null columns and the unknown client's
// message.
TEST(ReadMethods, WhatEachAnswerMakesOfTheOutputs) {
  struct Case {
    const char* method;
    Variant kind;
    Arguments arguments;
    const char* fragment;
    db::ResultSet answer;
    Variant result;
    const char* output;
    Variant value;
  };
  const Arguments client = {{"invntCliente_id", Variant::Integer(101)},
                            {"outvntCliente", "antes"},
                            {"outvntCgc_Cpf_Cliente", "antes"}};
  const Arguments date = {{"outvntData_Dia", "antes"}};
  const Variant zero = Variant::Integer(0), ten = Variant::Integer(10);
  const Variant yes = Variant::Boolean(true), no = Variant::Boolean(false);
  const db::ResultSet none = Rows({"x"});
  const auto count = [](Variant n) { return Rows({"contador"}, {{std::move(n)}}); };
  const Case cases[] = {
      {kDate, "SQLSERVER", date, "sp_tmx", none, zero, "outvntData_Dia", "antes"},
      {kClientDocument, "ORACLE", ClientDocument(Variant::Integer(35), Variant::Integer(1020)),
       "docto_transp", none, ten, "outvntMsg_Ret",
       " Conhecimento solicitado não pertence a este cliente. Verifique o nº do conhecimento. "},
      {kClient, "SQLSERVER", client, "CLIENTE", none, no, "outvntCliente", "antes"},
      // Without a CNPJ, the CPF (the detail shows the CNPJ first); a Null name is empty.
      {kClient, "SQLSERVER", client, "CLIENTE",
       Client(Variant::Null(), Variant::Null(), Variant::Null(), "123.456.789-09"), yes,
       "outvntCgc_Cpf_Cliente", "123.456.789-09"},
      {kClient, "SQLSERVER", client, "CLIENTE",
       Client(Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null()), yes,
       "outvntCliente", ""},
      {kDuplicate, "SQLSERVER", Duplicate("1234", zero), "DUPL", none, yes, "outvntMsg_Ret",
       "intocada"},
      {kDuplicate, "SQLSERVER", Duplicate("1234", zero), "DUPL", count(Variant::Null()), yes,
       "outvntMsg_Ret", "intocada"},
  };
  for (const Case& c : cases) {
    ScriptedDatabase database;
    database.Answer(c.fragment, c.answer);
    AnswerReads(database);
    const MethodCall call = Read(database, c.method, c.kind, c.arguments);
    EXPECT_EQ(call.result, c.result) << c.method << " " << c.output;
    EXPECT_EQ(call[c.output], c.value) << c.method << " " << c.output;
  }
}

TEST(ReadMethods, TheServerDateIsDayMonthYearWhateverTheLocale) {
  ScopedLocale us(Locale::kUnitedStates);
  ScriptedDatabase database;
  AnswerReads(database);
  EXPECT_EQ(Read(database, kDate, "SQLSERVER", {})["outvntData_Dia"], Variant("05/03/2004"));
}

// The detail (the step and the statement) as user 1 sees it; every trap logs
// one row.
TEST(ReadMethods, TrapsShowTheirSentenceAndLogOneRow) {
  const std::string branch =
      "Acesso a função não disponível: gBusca_Empresa_Filial. Favor tentar mais tarde. "
      "TMXCNH.gBusca_Empresa_Filial ( Tipos incompatíveis : 13)   no nº 1220, strSq: ";
  const std::string date =
      "Acesso a função não disponível: gBusca_Data_Dia. Favor tentar mais tarde.";
  struct Case {
    const char* method;
    Variant kind;
    Arguments arguments;
    int fail_at;
    std::string message;
  };
  const Variant one = Variant::Integer(1);
  const Case cases[] = {
      {kBranch, "SQLSERVER", {{"invntPonto_Operacao_id", "abc"}}, 0, branch},
      {kClientDocument, "ORACLE", ClientDocument(Variant::Integer(35), Variant::Integer(1020)), 1,
       std::string(" Acesso a consulta de conhecimento com problemas. Contacte o Administrador de "
                   "Sistema.  TMXCNH.gConsulta_Cliente_Docto_Transp ( falha simulada : "
                   "-2147217900)   no nº 2060, strSq: ") +
           kClientInline},
      {kDuplicate, "ORACLE", Duplicate("99999999999", Variant::Integer(0)), 0,
       "Problema ao verificar Duplicidade do Numero do Documento. Favor tentar mais tarde. "
       "TMXCNH.mVerifica_Dupli_Num_Docto ( Estouro : 6)   no nº 8030, strSq: "},
      {kDate,
       "SQLSERVER",
       {},
       1,
       date + " TMXCNH.gBusca_Data_Dia ( falha simulada : -2147217900)   no nº 1050, strSq: exec "
              "sp_tmx_con_Data_Servidor "},
  };
  for (const Case& c : cases) {
    ScriptedDatabase database;
    AnswerReads(database);
    if (c.fail_at != 0) database.FailAt(c.fail_at);
    Arguments arguments = c.arguments;
    arguments.emplace_back("invntUsuario_internet_id", one);
    const MethodCall call = Read(database, c.method, c.kind, arguments);
    EXPECT_TRUE(call.result == Variant::Integer(10) || call.result == Variant::Boolean(false));
    EXPECT_EQ(call["outvntMsg_Ret"], Variant(c.message));
    EXPECT_EQ(database.StatementsStartingWith("INSERT INTO LOG_MSG").size(), 1u) << c.message;
  }
  // A row without the date's column fails after the statement.
  ScriptedDatabase database;
  database.Answer("sp_tmx", Rows({"outra"}, {{Variant::Long(1)}}));
  const MethodCall call = Read(database, kDate, "SQLSERVER", {{"invntUsuario_internet_id", one}});
  EXPECT_NE(call["outvntMsg_Ret"].string_value().find(
                "no nº 1070, strSq: exec sp_tmx_con_Data_Servidor "),
            std::string::npos);
}

// The document row as the procedure answers it, in the oracle transcript's
// notation, with some columns changed.
db::ResultSet DocumentRow(const std::map<std::string, Variant>& changes = {}) {
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
  db::ResultSet rows = Rows({}, {{}});
  for (const std::string& column : testing::Split(row, " | ")) {
    const size_t space = column.find(' ');
    rows.columns.push_back(column.substr(0, space));
    rows.values.push_back(changes.contains(rows.columns.back())
                              ? changes.at(rows.columns.back())
                              : *testing::ParseLiteral(column.substr(space + 1)));
  }
  return rows;
}

// The client and the invoices, through the procedures.
void AnswerClientAndInvoices(ScriptedDatabase& database) {
  database.Answer(
      "CLIENTE_DOCTO_TRANSP1",
      Rows({"cliente", "indicativo_pf_pj", "pj_cgc_cliente", "pf_cpf_cliente"},
           {{"Indústria de Calçados Ânfora Ltda.", "J", "12.345.678/0001-90", Variant::Null()}}));
  database.Answer("NF_Conhec2",
                  Rows({"nota_fiscal", "Conteudo", "num_volume", "val_declarado"},
                       {{"000123", "Calçados", Variant::Long(3), Variant::Double(1234)}}));
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

// The statements, and what the demo rows read back as, are held to the real
// databases on every engine and kind (a deleted document, another company's
// and a pickup one are not found, the time of day is dropped); here the rules
// no demo row shows.
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
      // The CNPJ before the CPF; without a CNPJ, the CPF.
      {"pj_cgc_remetente", "12.345.678/0001-90", "outvntCGC_CPF_Remetente", "12.345.678/0001-90"},
      {"pj_cgc_destinatario", Variant::Null(), "outvntCGC_CPF_Destinatario", "987.654.321-00"},
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

// An unknown client stops the call before the invoices, the document's columns
// already written (the demo rows have no such client).
TEST(DocumentDetail, AnUnknownClientStopsBeforeTheInvoices) {
  ScriptedDatabase database;
  database.Answer("Docto_Transporte5", DocumentRow());
  database.Answer("CLIENTE_DOCTO_TRANSP1", Rows({"x"}));
  AnswerClientAndInvoices(database);
  const MethodCall call = Detail(database, "SQLSERVER");
  EXPECT_EQ(call.result, Variant::Integer(10));
  EXPECT_EQ(database.statements().size(), 2u);
  EXPECT_EQ(call["outvntMsg_Ret"], Variant("Cliente não cadastrado."));
  EXPECT_EQ(call["outvntNum_Docto_Transporte"], Variant::Long(4501));
  EXPECT_EQ(call["outvntCliente"], Variant("antes"));
  EXPECT_EQ(call["outvntQtde_Notas"], Variant("antes"));
}

// A derived object sees the emulations' calls and the other methods' through
// the class's interface.
TEST(DocumentDetail, EmulationsAndOtherMethodsAreCalledThroughTheClassInterface) {
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
  AnswerClientAndInvoices(database);
  Watched object;
  const MethodCall call = Detail(database, "SQLSERVER", Variant::Integer(1001), &object);
  EXPECT_EQ(call.result, Variant::Integer(10));
  EXPECT_EQ(call["outvntMsg_Ret"],
            Variant("Problema na Consulta à Nota Fiscal. Favor tentar mais tarde."));
  ScriptedDatabase untouched;
  const MethodCall branch = Read(untouched, kBranch, "ORACLE",
                                 {{"invntPonto_Operacao_id", Variant::Integer(7)}}, &object);
  EXPECT_EQ(object.seen, (std::vector<Variant>{Variant::Long(101), database.connection_text(),
                                               Variant::Integer(1001), "ORACLE 7 5"}));
  EXPECT_EQ(branch.result, Variant::Integer(10));
  EXPECT_EQ(branch["outvntMsg_Ret"], Variant("da emulação"));
  EXPECT_TRUE(untouched.statements().empty());
}

MethodCall List(ScriptedDatabase& database, Variant kind, Variant number, Variant start,
                Variant end, Variant user = Variant::Integer(5)) {
  return testing::CallOn("gBusca_Lista_Docto_Transporte", kind, database.connection_text(),
                         {{"invntUsuario_internet_id", user},
                          {"invntEmpresa_id", Variant::Integer(1)},
                          {"invntNum_Docto_Transporte", number},
                          {"invntData_ini", start},
                          {"invntData_Fim", end},
                          {"outarrvntDocto_Transporte_id", "antes"},
                          {"outvntDestinatario", "antes"},
                          {"outvntQtde_Docto", Variant::Integer(-1)}});
}

db::ResultSet TwoDocuments() {
  return Rows({"DOCTO_TRANSPORTE_ID", "REMETENTE", "DESTINATARIO", "ORIGEM", "DESTINO",
               "NUM_DOCTO_TRANSPORTE", "TIPO_DOCTO_TRANSP"},
              {{Variant::Long(1001), "Indústria Ânfora", "José Antônio", "São Paulo", "Maceió",
                Variant::Long(4501), Variant::Long(1)},
               {Variant::Long(1002), Variant::Null(), "Açaí do Pará", Variant::Null(), "Curitiba",
                Variant::Long(4502), Variant::Long(1)}});
}

const char kOracleHead[] =
    " SELECT DOC.DOCTO_TRANSPORTE_ID ,  REM.NOME REMETENTE ,  DES.NOME DESTINATARIO ,  "
    "ORI.MUNICIPIO ORIGEM ,  DET.MUNICIPIO DESTINO ,  DOC.NUM_DOCTO_TRANSPORTE  , "
    "DOC.TAB_TIPO_DOCTO_TRANSP_ID TIPO_DOCTO_TRANSP  FROM DOCTO_TRANSPORTE DOC ,  VENDERECO_PESSOA "
    "REM ,  VENDERECO_PESSOA DES ,  MUNICIPIO ORI ,  MUNICIPIO DET  WHERE REM.ENDERECO_PESSOA_ID = "
    "DOC.END_REMETENTE_ID  AND DES.ENDERECO_PESSOA_ID = DOC.END_DESTINATARIO_ID  AND "
    "ORI.MUNICIPIO_ID = DOC.ORIGEM_ID  AND DET.MUNICIPIO_ID = DOC.DESTINO_ID ";
const char kOracleTail[] =
    " AND DOC.EMPRESA_ID =  1  AND DOC.TAB_STATUS_ID = 1  AND DOC.TAB_TIPO_DOCTO_TRANSP_ID = 1 ";

struct StatementCase {
  Locale locale;
  Variant kind;
  Variant number;
  Variant start;
  Variant end;
  std::string statement;
};

// A number alone, a range and equal dates are listed alike on the real
// databases for both kinds; here the texts that only differ at the edges.
TEST(DocumentList, SendsTheProcedureOrTheEmulationsSelect) {
  const StatementCase cases[] = {
      {Locale::kBrazil, "SQLSERVER", "", "05/03/2024", "07/03/2024",
       "Exec SP_TMX_CON_LISTA_Docto_Transp2 null, '2024/03/05 00:00', '2024/03/07 00:00', 1"},
      {Locale::kUnitedStates, "SQLSERVER", "", "03/05/2024", "03/07/2024",
       "Exec SP_TMX_CON_LISTA_Docto_Transp2 null, '2024/03/05 00:00', '2024/03/07 00:00', 1"},
      {Locale::kBrazil, "ORACLE", Variant::Integer(4501), "05/03/2024", "",  // number wins
       std::string(kOracleHead) + " AND DOC.NUM_DOCTO_TRANSPORTE =  4501 " + kOracleTail},
      // The day before the last there is still has its bound; the last has none.
      {Locale::kBrazil, "ORACLE", "0", "30/12/9999", "",
       std::string(kOracleHead) +
           " AND DOC.DATA_EMISSAO >= TO_DATE('9999/12/30', 'YYYY/MM/DD')  AND DOC.DATA_EMISSAO < "
           "TO_DATE('9999/12/31', 'YYYY/MM/DD') " +
           kOracleTail},
      {Locale::kBrazil, "ORACLE", "", "31/12/9999", "",
       std::string(kOracleHead) + " AND DOC.DATA_EMISSAO >= TO_DATE('9999/12/31', 'YYYY/MM/DD') " +
           kOracleTail},
  };
  for (const StatementCase& c : cases) {
    ScopedLocale locale(c.locale);
    ScriptedDatabase database;
    database.Answer("LISTA", TwoDocuments());
    database.Answer("FROM DOCTO_TRANSPORTE", TwoDocuments());
    const MethodCall call = List(database, c.kind, c.number, c.start, c.end);
    EXPECT_EQ(database.statements(), std::vector<std::string>{c.statement});
    EXPECT_EQ(call.result, Variant::Integer(0));
    EXPECT_EQ(call["outvntQtde_Docto"], Variant::Long(2));
    EXPECT_EQ(call["outarrvntDocto_Transporte_id"],
              Variant::Array({Variant::Long(1001), Variant::Long(1002)}));
    // Every column is held to the reference on the real databases; a Null here.
    EXPECT_EQ(call["outarrvntRemetente"], Variant::Array({"Indústria Ânfora", ""}));
    EXPECT_EQ(call["outvntMsg_Ret"], Variant("intocada"));
  }
}

// What stops the list before its statement, after one that finds no row (the
// real databases show how rows fill the arrays), or in its trap (which logs).
TEST(DocumentList, ChecksTheCriteriaInOrderAndLeavesTheOutputsAsPassed) {
  const struct {
    Variant number;
    Variant start;
    Variant end;
    const char* message;
    size_t statements = 0;
  } cases[] = {
      {"", "", "", "Informe algo para consulta."},
      {Variant::Integer(0), Variant(), "05/03/2024", "Informe algo para consulta."},
      {"", "31/02/2024", "abc", "Data inicial inválida."},  // the start is checked first
      {"", "05/03/2024", "abc", "Data final inválida."},
      {"", "06/03/2024", "05/03/2024", "Data inicial não pode ser maior que a data final."},
      {"4501", "abc", "", "Data inicial inválida."},  // a number does not skip the date checks
      {"4501", "", "", "Conhecimento não cadastrado.", 1},
      {Variant::Null(), "", "",
       "Acesso a função não disponível: gBusca_Lista_Docto_Transporte. Favor tentar mais tarde. "
       "TMXCNH.gBusca_Lista_Docto_Transporte ( Uso inválido de Nulo : 94)   no nº 6020, strSq: ",
       1},
  };
  for (const auto& c : cases) {
    ScriptedDatabase database;
    const MethodCall call =
        List(database, "SQLSERVER", c.number, c.start, c.end, Variant::Integer(1));
    EXPECT_EQ(call.result, Variant::Integer(10));
    EXPECT_EQ(call["outvntMsg_Ret"], Variant(c.message)) << c.start << " " << c.end;
    EXPECT_EQ(call["outvntQtde_Docto"], Variant::Integer(-1));
    EXPECT_EQ(call["outarrvntDocto_Transporte_id"], Variant("antes"));
    EXPECT_EQ(call["outvntDestinatario"], Variant("antes"));
    EXPECT_EQ(database.statements().size(), c.statements) << c.message;
  }
}

TEST(DocumentList, TheCriteriaComeBackCleaned) {
  ScriptedDatabase database;
  database.Answer("LISTA", TwoDocuments());
  const MethodCall call =
      List(database, "SQLSERVER", Variant("45;01"), Variant("'05/03/2024"), Variant());
  EXPECT_EQ(call["invntNum_Docto_Transporte"], Variant("4501"));
  EXPECT_EQ(call["invntData_ini"], Variant("05/03/2024"));
  // A start date alone makes a one-day range: the caller sees the end changed.
  EXPECT_EQ(call["invntData_Fim"], Variant("05/03/2024"));
  EXPECT_EQ(
      database.statements(),
      std::vector<std::string>{"Exec SP_TMX_CON_LISTA_Docto_Transp2 4501, '2024/03/05 00:00', "
                               "'2024/03/05 00:00', 1"});
  const MethodCall number_only =
      List(database, "SQLSERVER", Variant::Long(4501), Variant(), Variant());
  EXPECT_EQ(number_only["invntNum_Docto_Transporte"], Variant("4501"));  // a text now
  EXPECT_EQ(number_only["invntData_ini"], Variant(""));
}

}  // namespace
}  // namespace tmxcnh
