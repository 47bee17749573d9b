// gBusca_Empresa_Filial: the company that owns a branch.
#include "common/method_trap.h"
#include "common/sql_values.h"
#include "component/cnh.h"
#include "component/frame.h"
#include "db/recordset.h"
#include "platform/conversions.h"
#include "platform/operators.h"

namespace tmxcnh {

Variant CNH::gBusca_Empresa_Filial(Variant& invntBanco_Dados, Variant& vntConecta_db,
                                   Variant& invntUsuario_internet_id,
                                   Variant& invntPonto_Operacao_id, Variant& outvntEmpresa_id,
                                   Variant& outvntMsg_Ret) {
  Variant result = Variant::Integer(kResultNotDone);
  MethodTrap trap(
      "gBusca_Empresa_Filial",
      "Acesso a função não disponível: gBusca_Empresa_Filial. Favor tentar mais tarde.");
  try {
    trap.Step(1210);
    const std::string connection = ConnectionTextOf(vntConecta_db);
    trap.Step(1220);
    if (Equals(gTrata_Numero(invntPonto_Operacao_id), 0)) {
      outvntMsg_Ret = "Informe uma Filial.";
      return result;
    }
    trap.Step(1230);
    if (IsOracle(invntBanco_Dados)) {
      trap.Step(1240);
      int32_t branch = ToLong(gTrata_Numero(invntPonto_Operacao_id));
      trap.Step(1250);
      if (!mTrataSP_TMX_CON_EMPRESA_OP(ToText(invntBanco_Dados), connection, branch, trap.sql(),
                                       outvntMsg_Ret, Variant(ToText(invntUsuario_internet_id)))) {
        return result;
      }
    } else {
      trap.Step(1260);
      trap.sql() = "exec SP_TMX_CON_EMPRESA_OP " + ToText(gId_Sql(invntPonto_Operacao_id));
    }
    trap.Step(1270);
    Recordset recordset;
    OpenForReading(recordset, trap.sql(), connection);
    trap.Step(1280);
    if (recordset.Eof()) {
      outvntMsg_Ret = "Filial não cadastrada.";
      return result;
    }
    trap.Step(1290);
    outvntEmpresa_id = Column(recordset, "empresa_Id");
    trap.Step(1300);
    recordset.Close();
    trap.Step(1310);
    result = Variant::Integer(kResultDone);
  } catch (...) {
    trap.Handle(outvntMsg_Ret, invntBanco_Dados, vntConecta_db, invntUsuario_internet_id);
  }
  return result;
}

bool CNH::mTrataSP_TMX_CON_EMPRESA_OP(const std::string& kind, const std::string& connection,
                                      int32_t& branch, std::string& sql, Variant& message,
                                      const Variant& user) {
  return ComposeStatement(
      "mTrataSP_TMX_CON_EMPRESA_OP", kind, connection, user, message, sql, [&](MethodTrap& trap) {
        trap.Step(1410);
        trap.sql() = std::string() + " SELECT EMPRESA_ID " + " FROM PONTO_OPERACAO " +
                     " WHERE PONTO_OPERACAO_ID  " +
                     ToText(gCondicao_Numero_Sql(Variant::Long(branch), "=")) + " ";
      });
}

}  // namespace tmxcnh
