// The small reading methods against the scripted database: the statement each
// kind sends, what each answer makes of the outputs, the refusals that come
// before any statement, and the traps' texts.
#include <gtest/gtest.h>

#include "component/cnh.h"
#include "platform/conversions.h"
#include "platform/regional_settings.h"
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
TEST(ReadMethods, SendTheProcedureOrTheEmulationsStatementAndCopyBackTheAnswer) {
  const std::string branch =
      " SELECT EMPRESA_ID  FROM PONTO_OPERACAO  WHERE PONTO_OPERACAO_ID   = ";
  const std::string client = kClientSelect, count = kCount;
  const std::string not_zero = "  AND PONTO_OPERACAO_ID =  7  AND DOCTO_TRANSPORTE_ID <>  ";
  struct Case {
    const char* method;
    Variant kind;
    Arguments arguments;
    std::string statement;
    const char* output;
    Variant value;
  };
  const Case cases[] = {
      {kBranch,
       "SQLSERVER",
       {{"invntPonto_Operacao_id", "7"}},
       "exec SP_TMX_CON_EMPRESA_OP 7",
       "outvntEmpresa_id",
       Variant::Long(1)},
      {kBranch,
       "oracle",
       {{"invntPonto_Operacao_id", Variant::Long(12)}},
       "exec SP_TMX_CON_EMPRESA_OP 12",
       "outvntEmpresa_id",
       Variant::Long(1)},
      {kBranch,
       "SQLSERVER",
       {{"invntPonto_Operacao_id", "0,5"}},  // a leading zero goes as null
       "exec SP_TMX_CON_EMPRESA_OP null",
       "outvntEmpresa_id",
       Variant::Long(1)},
      {kBranch,
       "ORACLE",
       {{"invntPonto_Operacao_id", Variant::Integer(7)}},
       branch + "7 ",
       "outvntEmpresa_id",
       Variant::Long(1)},
      {kBranch,
       "ORACLE",
       {{"invntPonto_Operacao_id", " 12 "}},
       branch + "12 ",
       "outvntEmpresa_id",
       Variant::Long(1)},
      {kBranch,
       "ORACLE",
       {{"invntPonto_Operacao_id", "7,4"}},
       branch + "7 ",  // rounded
       "outvntEmpresa_id",
       Variant::Long(1)},
      {kDate, "SQLSERVER", {}, "exec sp_tmx_con_Data_Servidor ", "outvntData_Dia", "05/03/2004"},
      {kDate, "", {}, "exec sp_tmx_con_Data_Servidor ", "outvntData_Dia", "05/03/2004"},
      {kDate, Variant(), {}, "exec sp_tmx_con_Data_Servidor ", "outvntData_Dia", "05/03/2004"},
      {kDate, "ORACLE", {}, " SELECT GETDATE ( ) DATA_SERVIDOR ", "outvntData_Dia", "05/03/2004"},
      {kClient,
       "SQLSERVER",
       {{"invntCliente_id", Variant::Integer(101)}},
       "Exec SP_TMX_CON_CLIENTE_DOCTO_TRANSP1 101",
       "outvntCgc_Cpf_Cliente",
       "12.345.678/0001-90"},
      {kClient,
       "SQLSERVER",
       {{"invntCliente_id", Variant::Integer(0)}},
       "Exec SP_TMX_CON_CLIENTE_DOCTO_TRANSP1 null",
       "outvntCliente",
       "Indústria Ânfora"},
      {kClient,
       "ORACLE",
       {{"invntCliente_id", Variant::Integer(101)}},
       client + "= 101 ",
       "outvntIndic_pf_pj_Cliente",
       "J"},
      {kClient,
       "ORACLE",
       {{"invntCliente_id", ""}},
       client + "is null ",
       "outvntCliente",
       "Indústria Ânfora"},
      {kClientDocument, "SQLSERVER", ClientDocument(Variant::Integer(35), "1020"),
       " Exec  sp_plv_con_docto_transp_cli 35, 1020", "outvntMsg_Ret", "intocada"},
      {kClientDocument, "ORACLE", ClientDocument(Variant::Integer(35), "1020"), kClientInline,
       "outvntMsg_Ret", "intocada"},
      {kClientDocument, "", ClientDocument(Variant::Integer(35), Variant::Integer(1020)),
       kClientInline, "outvntMsg_Ret", "intocada"},
      {kClientDocument, "sqlserver", ClientDocument(Variant::Integer(35), Variant::Long(1020)),
       kClientInline, "outvntMsg_Ret", "intocada"},
      {kDuplicate, "ORACLE", Duplicate("1234", Variant::Integer(0)),
       count + "= 1234" + not_zero + "0  AND TAB_STATUS_ID = 1 ", "outvntMsg_Ret", "intocada"},
      {kDuplicate, "ORACLE", Duplicate("1234", Variant::Long(880)),
       count + "= 1234" + not_zero + "880  AND TAB_STATUS_ID = 1 ", "outvntMsg_Ret", "intocada"},
      {kDuplicate, "ORACLE", Duplicate("0", Variant::Integer(0)),
       count + "is null" + not_zero + "0  AND TAB_STATUS_ID = 1 ", "outvntMsg_Ret", "intocada"},
      {kDuplicate, "SQLSERVER", Duplicate("1234", Variant::Integer(0)),
       "EXEC SP_TMX_VER_DUPL_NUM_DOCTO2 1234, 7, null, 1", "outvntMsg_Ret", "intocada"},
      {kDuplicate, "oracle", Duplicate("1234", Variant::Long(880)),
       "EXEC SP_TMX_VER_DUPL_NUM_DOCTO2 1234, 7, 880, 1", "outvntMsg_Ret", "intocada"},
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
  const Arguments branch = {{"invntPonto_Operacao_id", Variant::Integer(7)},
                            {"outvntEmpresa_id", "antes"}};
  const Arguments client = {{"invntCliente_id", Variant::Integer(101)},
                            {"outvntCliente", "antes"},
                            {"outvntCgc_Cpf_Cliente", "antes"}};
  const Arguments date = {{"outvntData_Dia", "antes"}};
  const Variant zero = Variant::Integer(0), ten = Variant::Integer(10);
  const Variant yes = Variant::Boolean(true), no = Variant::Boolean(false);
  const db::ResultSet none = Rows({"x"});
  const auto count = [](Variant n) { return Rows({"contador"}, {{std::move(n)}}); };
  const char* const taken = "Já existe um conhecimento com esse número.";
  const Case cases[] = {
      {kBranch, "SQLSERVER", branch, "EMPRESA", none, ten, "outvntMsg_Ret",
       "Filial não cadastrada."},
      {kBranch, "ORACLE", branch, "EMPRESA", none, ten, "outvntEmpresa_id", "antes"},
      {kBranch, "SQLSERVER", branch, "EMPRESA", Rows({"empresa_Id"}, {{Variant::Null()}}), zero,
       "outvntEmpresa_id", ""},
      {kDate, "SQLSERVER", date, "sp_tmx", Rows({"data_servidor"}, {{Variant::Null()}}), zero,
       "outvntData_Dia", ""},
      {kDate, "SQLSERVER", date, "sp_tmx", none, zero, "outvntData_Dia", "antes"},
      {kClientDocument, "ORACLE", ClientDocument(Variant::Integer(35), Variant::Integer(1020)),
       "docto_transp", none, ten, "outvntMsg_Ret",
       " Conhecimento solicitado não pertence a este cliente. Verifique o nº do conhecimento. "},
      {kClient, "ORACLE", client, "CLIENTE", none, no, "outvntMsg_Ret", "Cliente não cadastrado."},
      {kClient, "SQLSERVER", client, "CLIENTE", none, no, "outvntCliente", "antes"},
      {kClient, "SQLSERVER", client, "CLIENTE", none, no, "outvntCgc_Cpf_Cliente", "antes"},
      // The CNPJ unless it is empty, then the CPF; a Null name is empty.
      {kClient, "SQLSERVER", client, "CLIENTE",
       Client(Variant::Null(), Variant::Null(), "12.345.678/0001-90", "123.456.789-09"), yes,
       "outvntCgc_Cpf_Cliente", "12.345.678/0001-90"},
      {kClient, "SQLSERVER", client, "CLIENTE",
       Client(Variant::Null(), Variant::Null(), Variant::Null(), "123.456.789-09"), yes,
       "outvntCgc_Cpf_Cliente", "123.456.789-09"},
      {kClient, "SQLSERVER", client, "CLIENTE",
       Client(Variant::Null(), Variant::Null(), "", "123.456.789-09"), yes, "outvntCgc_Cpf_Cliente",
       "123.456.789-09"},
      {kClient, "SQLSERVER", client, "CLIENTE",
       Client(Variant::Null(), Variant::Null(), Variant::Null(), Variant::Null()), yes,
       "outvntCliente", ""},
      {kDuplicate, "SQLSERVER", Duplicate("1234", zero), "DUPL", none, yes, "outvntMsg_Ret",
       "intocada"},
      {kDuplicate, "SQLSERVER", Duplicate("1234", zero), "DUPL", count(Variant::Null()), yes,
       "outvntMsg_Ret", "intocada"},
      {kDuplicate, "SQLSERVER", Duplicate("1234", zero), "DUPL", count(Variant::Long(1)), no,
       "outvntMsg_Ret", taken},
      {kDuplicate, "SQLSERVER", Duplicate("1234", zero), "DUPL", count(Variant::Long(2)), no,
       "outvntMsg_Ret", taken},
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

// The detail (the step and the statement) is shown to user 1 only; every
// trap logs one row.
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
    bool detail = true;
  };
  const Variant one = Variant::Integer(1);
  const Case cases[] = {
      {kBranch, "SQLSERVER", {{"invntPonto_Operacao_id", "abc"}}, 0, branch},
      {kBranch, "SQLSERVER", {{"invntPonto_Operacao_id", "7; delete from LOG_MSG"}}, 0, branch},
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
      {kDate, "SQLSERVER", {}, 1, date, false},
  };
  for (const Case& c : cases) {
    ScriptedDatabase database;
    AnswerReads(database);
    if (c.fail_at != 0) database.FailAt(c.fail_at);
    Arguments arguments = c.arguments;
    arguments.emplace_back("invntUsuario_internet_id", c.detail ? one : Variant::Integer(5));
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

// A derived object sees the emulation's call through the class's interface.
TEST(ReadMethods, TheEmulationIsCalledThroughTheClassInterface) {
  class FailingEmulation : public CNH {
   protected:
    bool mTrataSP_TMX_CON_EMPRESA_OP(const std::string& kind, const std::string&, int32_t& branch,
                                     std::string&, Variant& message, const Variant& user) override {
      seen = kind + " " + std::to_string(branch) + " " + ToText(user);
      message = "da emulação";
      return false;
    }

   public:
    std::string seen;
  };
  ScriptedDatabase database;
  FailingEmulation object;
  const MethodCall call =
      Read(database, kBranch, "ORACLE", {{"invntPonto_Operacao_id", Variant::Integer(7)}}, &object);
  EXPECT_EQ(object.seen, "ORACLE 7 5");
  EXPECT_EQ(call.result, Variant::Integer(10));
  EXPECT_EQ(call["outvntMsg_Ret"], Variant("da emulação"));
  EXPECT_TRUE(database.statements().empty());
}

}  // namespace
}  // namespace tmxcnh
