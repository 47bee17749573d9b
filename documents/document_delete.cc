// gExclui_Docto_Transporte: deletes a document logically (status 2); its
// invoices are not touched.
#include "common/method_trap.h"
#include "common/sql_values.h"
#include "component/cnh.h"
#include "component/frame.h"
#include "db/recordset.h"
#include "platform/conversions.h"
#include "platform/operators.h"

namespace tmxcnh {

Variant CNH::gExclui_Docto_Transporte(Variant& invntBanco_Dados, Variant& vntConecta_db,
                                      Variant& invntUsuario_internet_id,
                                      Variant& /*invntEmpresa_id*/,
                                      Variant& /*invntGrupo_Empresa_id*/,
                                      Variant& invntDocto_Transporte_id, Variant& outvntMsg_Ret) {
  Variant result = Variant::Integer(kResultNotDone);
  MethodTrap trap(
      "gExclui_Docto_Transporte",
      "Acesso a função não disponível: gExclui_Docto_Transporte. Favor tentar mais tarde.");
  try {
    trap.Step(15010);
    const std::string connection = ConnectionTextOf(vntConecta_db);
    trap.Step(15020);
    if (Equals(gTrata_Numero(invntDocto_Transporte_id), 0)) {
      outvntMsg_Ret = "Informe um conhecimento.";
      return result;
    }
    trap.Step(15030);
    if (IsOracle(invntBanco_Dados)) {
      int32_t document = ToLong(gTrata_Numero(invntDocto_Transporte_id));
      trap.Step(15040);
      if (!mTrataSP_TMX_EXC_CAD_DOCTO_TRANSPORTE(ToText(invntBanco_Dados), connection, document,
                                                 trap.sql(), outvntMsg_Ret,
                                                 Variant(ToText(invntUsuario_internet_id)))) {
        return result;
      }
    } else {
      trap.Step(15050);
      trap.sql() =
          "EXEC SP_TMX_EXC_CAD_Docto_Transporte   " + ToText(gId_Sql(invntDocto_Transporte_id));
    }
    trap.Step(15060);
    Recordset recordset;
    OpenForWriting(recordset, trap.sql(), connection);
    trap.Step(15070);
    if (!AcceptWriteAnswer(recordset, outvntMsg_Ret, "Nenhume registro afetado.")) return result;
    trap.Step(15080);
    result = Variant::Integer(kResultDone);
  } catch (...) {
    trap.Handle(outvntMsg_Ret, invntBanco_Dados, vntConecta_db, invntUsuario_internet_id);
  }
  return result;
}

bool CNH::mTrataSP_TMX_EXC_CAD_DOCTO_TRANSPORTE(const std::string& kind,
                                                const std::string& connection, int32_t& document,
                                                std::string& sql, Variant& message,
                                                const Variant& user) {
  return ComposeStatement("mTrataSP_TMX_EXC_CAD_DOCTO_TRANSPORTE", kind, connection, user, message,
                          sql, [&](MethodTrap& trap) {
                            trap.Step(15110);
                            trap.sql() =
                                std::string() + " UPDATE DOCTO_TRANSPORTE " +
                                " SET TAB_STATUS_ID = 2 " + " WHERE DOCTO_TRANSPORTE_ID =  " +
                                ToText(gCondicao_Numero_Sql(Variant::Long(document), "")) + " ";
                            trap.Step(15120);
                            ExecuteWrite(trap.sql(), connection);
                            trap.Step(15130);
                            trap.sql() = kDoneAnswer;
                          });
}

}  // namespace tmxcnh
