#include <gtest/gtest.h>

#include "platform/regional_settings.h"
#include "tests/support/method_call.h"
#include "tests/support/scripted_driver.h"

namespace tmxcnh {
namespace {

using testing::MethodCall;
using testing::Rows;
using testing::ScriptedDatabase;

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

TEST(DocumentList, SendsTheProcedureOrTheEmulationsSelect) {
  const StatementCase cases[] = {
      {Locale::kBrazil, "SQLSERVER", Variant::Integer(4501), "", "",
       "Exec SP_TMX_CON_LISTA_Docto_Transp2 4501, null, null, 1"},
      {Locale::kBrazil, "SQLSERVER", "", "05/03/2024", "07/03/2024",
       "Exec SP_TMX_CON_LISTA_Docto_Transp2 null, '2024/03/05 00:00', '2024/03/07 00:00', 1"},
      {Locale::kBrazil, "SQLSERVER", "", "05/03/2024", "5/3/2024",  // equal dates pass
       "Exec SP_TMX_CON_LISTA_Docto_Transp2 null, '2024/03/05 00:00', '2024/03/05 00:00', 1"},
      {Locale::kUnitedStates, "SQLSERVER", "", "03/05/2024", "03/07/2024",
       "Exec SP_TMX_CON_LISTA_Docto_Transp2 null, '2024/03/05 00:00', '2024/03/07 00:00', 1"},
      {Locale::kBrazil, "ORACLE", "4501", "", "",
       std::string(kOracleHead) + " AND DOC.NUM_DOCTO_TRANSPORTE =  4501 " + kOracleTail},
      {Locale::kBrazil, "ORACLE", Variant::Integer(4501), "05/03/2024", "",  // number wins
       std::string(kOracleHead) + " AND DOC.NUM_DOCTO_TRANSPORTE =  4501 " + kOracleTail},
      {Locale::kBrazil, "ORACLE", "", "05/03/2024", "07/03/2024",
       std::string(kOracleHead) +
           " AND DOC.DATA_EMISSAO >= TO_DATE('2024/03/05', 'YYYY/MM/DD')  AND DOC.DATA_EMISSAO < "
           "TO_DATE('2024/03/08', 'YYYY/MM/DD') " +
           kOracleTail},
      {Locale::kBrazil, "ORACLE", "0", "31/12/2024", "",  // one day, across the year's end
       std::string(kOracleHead) +
           " AND DOC.DATA_EMISSAO >= TO_DATE('2024/12/31', 'YYYY/MM/DD')  AND DOC.DATA_EMISSAO < "
           "TO_DATE('2025/01/01', 'YYYY/MM/DD') " +
           kOracleTail},
      // The day before the last there is still has its bound; the last has none.
      {Locale::kBrazil, "ORACLE", "", "30/12/9999", "",
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
    EXPECT_EQ(call["outarrvntRemetente"], Variant::Array({"Indústria Ânfora", ""}));
    EXPECT_EQ(call["outvntDestinatario"], Variant::Array({"José Antônio", "Açaí do Pará"}));
    EXPECT_EQ(call["outarrvntOrigem"], Variant::Array({"São Paulo", ""}));
    EXPECT_EQ(call["outarrvntDestino"], Variant::Array({"Maceió", "Curitiba"}));
    EXPECT_EQ(call["outarrvntNum_Docto_Transporte"],
              Variant::Array({Variant::Long(4501), Variant::Long(4502)}));
    EXPECT_EQ(call["outarrvntTab_Tipo_Docto_Transp"],
              Variant::Array({Variant::Long(1), Variant::Long(1)}));
    EXPECT_EQ(call["outvntMsg_Ret"], Variant("intocada"));
  }
}

std::string Repeated(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

struct ValidationCase {
  Variant number;
  Variant start;
  Variant end;
  const char* message;
};

TEST(DocumentList, ChecksTheCriteriaInOrder) {
  const ValidationCase cases[] = {
      {"", "", "", "Informe algo para consulta."},
      {Variant::Integer(0), Variant(), "05/03/2024", "Informe algo para consulta."},
      {"", "31/02/2024", "05/03/2024", "Data inicial inválida."},
      {"", "31/02/2024", "abc", "Data inicial inválida."},  // the start is checked first
      {"", "05/03/2024", "abc", "Data final inválida."},
      {"", "06/03/2024", "05/03/2024", "Data inicial não pode ser maior que a data final."},
      {"4501", "abc", "", "Data inicial inválida."},  // a number does not skip the date checks
      // Read in time linear in its length, as any text a caller types.
      {"", Repeated("domingo ", 20000), "05/03/2024", "Data inicial inválida."},
  };
  for (const ValidationCase& c : cases) {
    ScriptedDatabase database;
    const MethodCall call = List(database, "SQLSERVER", c.number, c.start, c.end);
    EXPECT_EQ(call.result, Variant::Integer(10));
    EXPECT_EQ(call["outvntMsg_Ret"], Variant(c.message)) << c.start << " " << c.end;
    EXPECT_EQ(call["outvntQtde_Docto"], Variant::Integer(-1));
    EXPECT_EQ(call["outarrvntDocto_Transporte_id"], Variant("antes"));
    EXPECT_TRUE(database.statements().empty());
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
  EXPECT_EQ(call["invntData_ini"].type(), VariantType::kString);
  const MethodCall number_only =
      List(database, "SQLSERVER", Variant::Long(4501), Variant(), Variant());
  EXPECT_EQ(number_only["invntNum_Docto_Transporte"], Variant("4501"));  // a text now
  EXPECT_EQ(number_only["invntData_ini"], Variant(""));
}

// No row leaves the arrays and the count as passed; one row gives arrays of index 0 only.
TEST(DocumentList, TheArraysFollowTheRows) {
  for (size_t rows : {0u, 1u}) {
    ScriptedDatabase database;
    db::ResultSet answer = TwoDocuments();
    answer.rows.resize(rows);
    database.Answer("LISTA", answer);
    const MethodCall call = List(database, "SQLSERVER", "4501", "", "");
    if (rows == 0) {
      EXPECT_EQ(call.result, Variant::Integer(10));
      EXPECT_EQ(call["outvntMsg_Ret"], Variant("Conhecimento não cadastrado."));
      EXPECT_EQ(call["outvntQtde_Docto"], Variant::Integer(-1));
      EXPECT_EQ(call["outvntDestinatario"], Variant("antes"));
    } else {
      EXPECT_EQ(call["outvntQtde_Docto"], Variant::Long(1));
      EXPECT_EQ(call["outarrvntOrigem"].UBound(), 0);
    }
  }
}

TEST(DocumentList, ANullCriterionRunsTheTrap) {
  ScriptedDatabase database;
  const MethodCall call = List(database, "SQLSERVER", Variant::Null(), "", "", Variant::Integer(1));
  EXPECT_EQ(call.result, Variant::Integer(10));
  EXPECT_EQ(
      call["outvntMsg_Ret"],
      Variant("Acesso a função não disponível: gBusca_Lista_Docto_Transporte. Favor tentar "
              "mais tarde. TMXCNH.gBusca_Lista_Docto_Transporte ( Uso inválido de Nulo : 94)   "
              "no nº 6020, strSq: "));
}

}  // namespace
}  // namespace tmxcnh
