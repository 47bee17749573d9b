#include <gtest/gtest.h>

#include "tests/support/method_call.h"
#include "tests/support/scripted_driver.h"

namespace tmxcnh {
namespace {

using testing::CallMethod;
using testing::MethodCall;
using testing::Rows;
using testing::ScriptedDatabase;

MethodCall Lookup(ScriptedDatabase& database, Variant kind, Variant client) {
  return CallMethod("mBusca_Cliente", {{"invntBanco_Dados", kind},
                                       {"vntConecta_db", database.connection_text()},
                                       {"invntUsuario_internet_id", Variant::Integer(5)},
                                       {"invntCliente_id", client},
                                       {"outvntCliente", "antes"},
                                       {"outvntCgc_Cpf_Cliente", "antes"},
                                       {"outvntIndic_pf_pj_Cliente", "antes"},
                                       {"outvntMsg_Ret", "intocada"}});
}

db::ResultSet Client(Variant name, Variant kind, Variant cnpj, Variant cpf) {
  return Rows({"CLIENTE", "PJ_CGC_CLIENTE", "PF_CPF_CLIENTE", "INDICATIVO_PF_PJ"},
              {{std::move(name), std::move(cnpj), std::move(cpf), std::move(kind)}});
}

TEST(ClientLookup, SendsTheProcedureOrTheEmulationsSelect) {
  struct Case {
    Variant kind;
    Variant client;
    const char* statement;
  };
  const Case cases[] = {
      {"SQLSERVER", Variant::Integer(101), "Exec SP_TMX_CON_CLIENTE_DOCTO_TRANSP1 101"},
      {"SQLSERVER", Variant::Integer(0), "Exec SP_TMX_CON_CLIENTE_DOCTO_TRANSP1 null"},
      {"SQLSERVER", Variant(""), "Exec SP_TMX_CON_CLIENTE_DOCTO_TRANSP1 null"},
      {"ORACLE", Variant::Integer(101),
       " SELECT CLI.NOME CLIENTE ,  CLI.PJ_CGC PJ_CGC_CLIENTE ,  CLI.PF_CPF PF_CPF_CLIENTE ,  "
       "CLI.INDICATIVO_PF_PJ  FROM VCLIENTE CLI  WHERE CLI.PESSOA_ID   = 101 "},
      {"ORACLE", Variant(""),
       " SELECT CLI.NOME CLIENTE ,  CLI.PJ_CGC PJ_CGC_CLIENTE ,  CLI.PF_CPF PF_CPF_CLIENTE ,  "
       "CLI.INDICATIVO_PF_PJ  FROM VCLIENTE CLI  WHERE CLI.PESSOA_ID   is null "},
  };
  for (const Case& c : cases) {
    ScriptedDatabase database;
    database.Answer("CLIENTE",
                    Client("Indústria Ânfora", "J", "12.345.678/0001-90", Variant::Null()));
    const MethodCall call = Lookup(database, c.kind, c.client);
    EXPECT_EQ(database.statements(), std::vector<std::string>{c.statement});
    EXPECT_EQ(call.result, Variant::Boolean(true));
    EXPECT_EQ(call["outvntCliente"], Variant("Indústria Ânfora"));
    EXPECT_EQ(call["outvntIndic_pf_pj_Cliente"], Variant("J"));
    EXPECT_EQ(call["outvntCgc_Cpf_Cliente"], Variant("12.345.678/0001-90"));
    EXPECT_EQ(call["outvntMsg_Ret"], Variant("intocada"));
  }
}

TEST(ClientLookup, TheCnpjUnlessItIsEmptyThenTheCpf) {
  struct Case {
    Variant cnpj;
    Variant cpf;
    Variant expected;
  };
  const Case cases[] = {
      {"12.345.678/0001-90", "123.456.789-09", "12.345.678/0001-90"},
      {Variant::Null(), "123.456.789-09", "123.456.789-09"},
      {"", "123.456.789-09", "123.456.789-09"},
      {Variant::Null(), Variant::Null(), ""},
  };
  for (const Case& c : cases) {
    ScriptedDatabase database;
    database.Answer("CLIENTE", Client(Variant::Null(), Variant::Null(), c.cnpj, c.cpf));
    const MethodCall call = Lookup(database, "SQLSERVER", Variant::Integer(101));
    EXPECT_EQ(call["outvntCgc_Cpf_Cliente"], c.expected);
    EXPECT_EQ(call["outvntCliente"], Variant(""));  // a Null name or kind is empty
    EXPECT_EQ(call["outvntIndic_pf_pj_Cliente"], Variant(""));
  }
}

TEST(ClientLookup, AnUnknownClientLeavesTheOutputsAsPassed) {
  ScriptedDatabase database;
  database.Answer("CLIENTE", Rows({"CLIENTE"}));
  const MethodCall call = Lookup(database, "ORACLE", Variant::Integer(999));
  EXPECT_EQ(call.result, Variant::Boolean(false));
  EXPECT_EQ(call["outvntMsg_Ret"], Variant("Cliente não cadastrado."));
  EXPECT_EQ(call["outvntCliente"], Variant("antes"));
  EXPECT_EQ(call["outvntCgc_Cpf_Cliente"], Variant("antes"));
}

}  // namespace
}  // namespace tmxcnh
