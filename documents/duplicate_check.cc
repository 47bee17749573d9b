// mVerifica_Dupli_Num_Docto: whether a document number is already used by
// another live document of the same issuing branch.
#include "common/method_trap.h"
#include "common/sql_values.h"
#include "component/cnh.h"
#include "component/frame.h"
#include "db/recordset.h"
#include "platform/conversions.h"
#include "platform/format.h"
#include "platform/operators.h"

namespace tmxcnh {

bool CNH::mVerifica_Dupli_Num_Docto(Variant& invntBanco_Dados, Variant& vntConecta_db,
                                    Variant& invntUsuario_internet_id, Variant& /*invntEmpresa_id*/,
                                    Variant& /*invntGrupo_Empresa_id*/,
                                    Variant& invntNum_Docto_Transporte,
                                    Variant& invntPonto_Operacao_id,
                                    Variant& invntDocto_Transporte_id,
                                    Variant& invntTab_Tipo_Docto_Transp_id,
                                    Variant& outvntMsg_Ret) {
  bool result = false;
  MethodTrap trap(
      "mVerifica_Dupli_Num_Docto",
      "Problema ao verificar Duplicidade do Numero do Documento. Favor tentar mais tarde.");
  try {
    trap.Step(8010);
    const std::string connection = ConnectionTextOf(vntConecta_db);
    trap.Step(8020);
    if (IsOracle(invntBanco_Dados)) {
      trap.Step(8030);
      const std::string kind = Format(invntBanco_Dados);
      int32_t number = ToLong(gTrata_Numero(invntNum_Docto_Transporte));
      int32_t branch = ToLong(gTrata_Numero(invntPonto_Operacao_id));
      int32_t document = ToLong(gTrata_Numero(invntDocto_Transporte_id));
      const Variant user = Variant(Format(invntUsuario_internet_id));
      trap.Step(8040);
      if (!mTrataSP_TMX_VER_DUPL_NUM_DOCTO(kind, connection, number, branch, document, trap.sql(),
                                           outvntMsg_Ret, user)) {
        return result;
      }
    } else {
      trap.Step(8050);
      trap.sql() = "EXEC SP_TMX_VER_DUPL_NUM_DOCTO2 " + ToText(gId_Sql(invntNum_Docto_Transporte)) +
                   ", " + ToText(gId_Sql(invntPonto_Operacao_id)) + ", " +
                   ToText(gId_Sql(invntDocto_Transporte_id)) + ", " +
                   ToText(gId_Sql(invntTab_Tipo_Docto_Transp_id));
    }
    trap.Step(8060);
    Recordset recordset;
    OpenForReading(recordset, trap.sql(), connection);
    trap.Step(8070);
    if (recordset.Eof()) return true;
    trap.Step(8080);
    if (Differs(gTrata_Numero(recordset.Field("contador")), 0)) {
      outvntMsg_Ret = "Já existe um conhecimento com esse número.";
      recordset.Close();
      return result;
    }
    trap.Step(8090);
    recordset.Close();
    result = true;
  } catch (...) {
    trap.Handle(outvntMsg_Ret, invntBanco_Dados, vntConecta_db, invntUsuario_internet_id);
  }
  return result;
}

bool CNH::mTrataSP_TMX_VER_DUPL_NUM_DOCTO(const std::string& kind, const std::string& connection,
                                          int32_t& number, int32_t& branch, int32_t& document,
                                          std::string& sql, Variant& message, const Variant& user) {
  return ComposeStatement(
      "mTrataSP_TMX_VER_DUPL_NUM_DOCTO", kind, connection, user, message, sql,
      [&](MethodTrap& trap) {
        trap.Step(8110);
        trap.sql() = std::string() + " SELECT COUNT ( * ) AS CONTADOR " +
                     " FROM DOCTO_TRANSPORTE " + " WHERE NUM_DOCTO_TRANSPORTE  " +
                     ToText(gCondicao_Numero_Sql(Variant::Long(number), "=")) + " " +
                     " AND PONTO_OPERACAO_ID =  " + ToText(gTrata_Numero(Variant::Long(branch))) +
                     " " + " AND DOCTO_TRANSPORTE_ID <>  " +
                     ToText(gTrata_Numero(Variant::Long(document))) + " " +
                     " AND TAB_STATUS_ID = 1 ";
      });
}

}  // namespace tmxcnh
