#include <gtest/gtest.h>

#include "tests/support/method_call.h"
#include "tests/support/scripted_driver.h"

namespace tmxcnh {
namespace {

using testing::CallMethod;
using testing::MethodCall;
using testing::Rows;
using testing::ScriptedDatabase;

MethodCall Verify(ScriptedDatabase& database, Variant kind, Variant number, Variant document,
                  Variant user = Variant::Integer(5)) {
  return CallMethod("mVerifica_Dupli_Num_Docto",
                    {{"invntBanco_Dados", kind},
                     {"vntConecta_db", database.connection_text()},
                     {"invntUsuario_internet_id", user},
                     {"invntEmpresa_id", Variant::Integer(1)},
                     {"invntNum_Docto_Transporte", number},
                     {"invntPonto_Operacao_id", Variant::Integer(7)},
                     {"invntDocto_Transporte_id", document},
                     {"invntTab_Tipo_Docto_Transp_id", Variant::Integer(1)},
                     {"outvntMsg_Ret", "intocada"}});
}

TEST(DuplicateCheck, SendsTheProcedureOrTheEmulationsCount) {
  struct Case {
    Variant kind;
    Variant number;
    Variant document;
    const char* statement;
  };
  const Case cases[] = {
      {"ORACLE", "1234", Variant::Integer(0),
       " SELECT COUNT ( * ) AS CONTADOR  FROM DOCTO_TRANSPORTE  WHERE NUM_DOCTO_TRANSPORTE   = "
       "1234  AND PONTO_OPERACAO_ID =  7  AND DOCTO_TRANSPORTE_ID <>  0  AND TAB_STATUS_ID = 1 "},
      {"ORACLE", "1234", Variant::Long(880),
       " SELECT COUNT ( * ) AS CONTADOR  FROM DOCTO_TRANSPORTE  WHERE NUM_DOCTO_TRANSPORTE   = "
       "1234  AND PONTO_OPERACAO_ID =  7  AND DOCTO_TRANSPORTE_ID <>  880  AND TAB_STATUS_ID = 1 "},
      {"ORACLE", "0", Variant::Integer(0),
       " SELECT COUNT ( * ) AS CONTADOR  FROM DOCTO_TRANSPORTE  WHERE NUM_DOCTO_TRANSPORTE   is "
       "null  AND PONTO_OPERACAO_ID =  7  AND DOCTO_TRANSPORTE_ID <>  0  AND TAB_STATUS_ID = 1 "},
      {"SQLSERVER", "1234", Variant::Integer(0),
       "EXEC SP_TMX_VER_DUPL_NUM_DOCTO2 1234, 7, null, 1"},
      {"oracle", "1234", Variant::Long(880), "EXEC SP_TMX_VER_DUPL_NUM_DOCTO2 1234, 7, 880, 1"},
  };
  for (const Case& c : cases) {
    ScriptedDatabase database;
    database.Answer("CONTADOR", Rows({"CONTADOR"}, {{Variant::Long(0)}}));
    database.Answer("DUPL", Rows({"contador"}, {{Variant::Long(0)}}));
    const MethodCall call = Verify(database, c.kind, c.number, c.document);
    EXPECT_EQ(database.statements(), std::vector<std::string>{c.statement});
    EXPECT_EQ(call.result, Variant::Boolean(true));
    EXPECT_EQ(call["outvntMsg_Ret"], Variant("intocada"));
  }
}

TEST(DuplicateCheck, ACountOrNoRowDecides) {
  struct Case {
    db::ResultSet answer;
    bool free;
    const char* message;
  };
  const Case cases[] = {
      {Rows({"contador"}, {{Variant::Long(0)}}), true, "intocada"},
      {Rows({"contador"}), true, "intocada"},  // no row: no duplicate
      {Rows({"contador"}, {{Variant::Null()}}), true, "intocada"},
      {Rows({"contador"}, {{Variant::Long(1)}}), false,
       "Já existe um conhecimento com esse número."},
      {Rows({"contador"}, {{Variant::Long(2)}}), false,
       "Já existe um conhecimento com esse número."},
  };
  for (const Case& c : cases) {
    ScriptedDatabase database;
    database.Answer("DUPL", c.answer);
    const MethodCall call = Verify(database, "SQLSERVER", "1234", Variant::Integer(0));
    EXPECT_EQ(call.result, Variant::Boolean(c.free));
    EXPECT_EQ(call["outvntMsg_Ret"], Variant(c.message));
  }
}

TEST(DuplicateCheck, ANumberBeyondTheLongRangeRunsTheTrapOnTheInlinePath) {
  ScriptedDatabase database;
  const MethodCall call =
      Verify(database, "ORACLE", "99999999999", Variant::Integer(0), Variant::Integer(1));
  EXPECT_EQ(call.result, Variant::Boolean(false));
  EXPECT_EQ(
      call["outvntMsg_Ret"],
      Variant("Problema ao verificar Duplicidade do Numero do Documento. Favor tentar mais "
              "tarde. TMXCNH.mVerifica_Dupli_Num_Docto ( Estouro : 6)   no nº 8030, strSq: "));
}

}  // namespace
}  // namespace tmxcnh
