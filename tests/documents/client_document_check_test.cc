#include <gtest/gtest.h>

#include "tests/support/method_call.h"
#include "tests/support/scripted_driver.h"

namespace tmxcnh {
namespace {

using testing::CallMethod;
using testing::MethodCall;
using testing::Rows;
using testing::ScriptedDatabase;

MethodCall Check(ScriptedDatabase& database, Variant kind, Variant client, Variant number,
                 Variant user = Variant::Integer(5)) {
  return CallMethod("gConsulta_Cliente_Docto_Transp",
                    {{"invntBanco_Dados", kind},
                     {"vntConecta_db", database.connection_text()},
                     {"invntUsuario_internet_id", user},
                     {"invntPessoa_id", client},
                     {"invntNum_Docto_Transporte", number},
                     {"outvntMsg_Ret", "intocada"}});
}

const char kInline[] =
    " select * from docto_transporte  where cliente_id  = 35 and   num_docto_transporte  = 1020 "
    "and   tab_status_id        = 1 ";

TEST(ClientDocumentCheck, OnlySqlServerGetsTheProcedure) {
  struct Case {
    Variant kind;
    Variant number;
    const char* statement;
  };
  const Case cases[] = {
      {"SQLSERVER", Variant::Integer(1020), " Exec  sp_plv_con_docto_transp_cli 35, 1020"},
      {"SQLSERVER", Variant("1020"), " Exec  sp_plv_con_docto_transp_cli 35, 1020"},
      {"ORACLE", Variant::Integer(1020), kInline},
      {"ORACLE", Variant("1020"), kInline},
      {"oracle", Variant::Integer(1020), kInline},
      {"", Variant::Integer(1020), kInline},
      {"sqlserver", Variant::Long(1020), kInline},
  };
  for (const Case& c : cases) {
    ScriptedDatabase database;
    database.Answer("docto_transp", Rows({"DOCTO_TRANSPORTE_ID"}, {{Variant::Long(1)}}));
    const MethodCall call = Check(database, c.kind, Variant::Integer(35), c.number);
    EXPECT_EQ(database.statements(), std::vector<std::string>{c.statement}) << c.kind;
    EXPECT_EQ(call.result, Variant::Integer(0));
    EXPECT_EQ(call["outvntMsg_Ret"], Variant("intocada"));
  }
}

TEST(ClientDocumentCheck, TheClientIsCheckedBeforeTheNumber) {
  struct Case {
    Variant client;
    Variant number;
    const char* message;
  };
  const Case cases[] = {
      {Variant(), Variant(), "Problema na identificação do cliente. Reinicie a sessão novamente. "},
      {Variant::Integer(0), Variant::Integer(1020),
       "Problema na identificação do cliente. Reinicie a sessão novamente. "},
      {Variant::Null(), Variant::Integer(1020),
       "Problema na identificação do cliente. Reinicie a sessão novamente. "},
      {Variant::Integer(35), Variant(""), "Informe o número do conhecimento para pesquisa. "},
      {Variant::Integer(35), Variant("0"), "Informe o número do conhecimento para pesquisa. "},
  };
  for (const Case& c : cases) {
    ScriptedDatabase database;
    const MethodCall call = Check(database, "SQLSERVER", c.client, c.number);
    EXPECT_EQ(call.result, Variant::Integer(10));
    EXPECT_EQ(call["outvntMsg_Ret"], Variant(c.message));
    EXPECT_TRUE(database.statements().empty());
  }
}

TEST(ClientDocumentCheck, ADocumentOfAnotherClientIsRefused) {
  ScriptedDatabase database;
  database.Answer("docto_transp", Rows({"DOCTO_TRANSPORTE_ID"}));
  const MethodCall call = Check(database, "ORACLE", Variant::Integer(35), Variant::Integer(1020));
  EXPECT_EQ(call.result, Variant::Integer(10));
  EXPECT_EQ(call["outvntMsg_Ret"],
            Variant(" Conhecimento solicitado não pertence a este cliente. Verifique o nº do "
                    "conhecimento. "));
}

TEST(ClientDocumentCheck, TheTrapHasItsOwnSentenceWithBlanksAround) {
  ScriptedDatabase database;
  database.FailAt(1, "sem tabela");
  const MethodCall call =
      Check(database, "ORACLE", Variant::Integer(35), Variant::Integer(1020), Variant::Integer(1));
  EXPECT_EQ(call.result, Variant::Integer(10));
  EXPECT_EQ(call["outvntMsg_Ret"],
            Variant(std::string(" Acesso a consulta de conhecimento com problemas. Contacte o "
                                "Administrador de Sistema. ") +
                    " TMXCNH.gConsulta_Cliente_Docto_Transp ( sem tabela : -2147217900)   no nº "
                    "2060, strSq: " +
                    kInline));
  EXPECT_EQ(database.StatementsStartingWith("INSERT INTO LOG_MSG").size(), 1u);
}

}  // namespace
}  // namespace tmxcnh
