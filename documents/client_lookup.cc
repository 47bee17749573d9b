// mBusca_Cliente: a client's name, CNPJ (or CPF) and person kind.
#include "common/method_trap.h"
#include "common/sql_values.h"
#include "component/cnh.h"
#include "component/frame.h"
#include "db/recordset.h"
#include "platform/conversions.h"

namespace tmxcnh {

bool CNH::mBusca_Cliente(Variant& invntBanco_Dados, Variant& vntConecta_db,
                         Variant& invntUsuario_internet_id, Variant& invntCliente_id,
                         Variant& outvntCliente, Variant& outvntCgc_Cpf_Cliente,
                         Variant& outvntIndic_pf_pj_Cliente, Variant& outvntMsg_Ret) {
  bool result = false;
  MethodTrap trap("mBusca_Cliente",
                  "Problema na consulta. Favor contactar o Administrador de Sistema.");
  try {
    trap.Step(3010);
    const std::string connection = ConnectionTextOf(vntConecta_db);
    trap.Step(3020);
    if (IsOracle(invntBanco_Dados)) {
      trap.Step(3030);
      int32_t client = ToLong(gTrata_Numero(invntCliente_id));
      trap.Step(3040);
      if (!mTrataSP_TMX_CON_CLIENTE_DOCTO_TRANSP(ToText(invntBanco_Dados), connection, client,
                                                 trap.sql(), outvntMsg_Ret,
                                                 Variant(ToText(invntUsuario_internet_id)))) {
        return result;
      }
    } else {
      trap.Step(3050);
      trap.sql() = "Exec SP_TMX_CON_CLIENTE_DOCTO_TRANSP1 " + ToText(gId_Sql(invntCliente_id));
    }
    trap.Step(3060);
    Recordset recordset;
    OpenForReading(recordset, trap.sql(), connection);
    trap.Step(3070);
    if (recordset.Eof()) {
      outvntMsg_Ret = "Cliente não cadastrado.";
      return result;
    }
    trap.Step(3080);
    outvntCliente = Column(recordset, "cliente");
    trap.Step(3090);
    outvntIndic_pf_pj_Cliente = Column(recordset, "indicativo_pf_pj");
    trap.Step(3100);
    outvntCgc_Cpf_Cliente = CnpjOrCpf(recordset, "pj_cgc_cliente", "pf_cpf_cliente");
    trap.Step(3110);
    recordset.Close();
    result = true;
  } catch (...) {
    trap.Handle(outvntMsg_Ret, invntBanco_Dados, vntConecta_db, invntUsuario_internet_id);
  }
  return result;
}

bool CNH::mTrataSP_TMX_CON_CLIENTE_DOCTO_TRANSP(const std::string& kind,
                                                const std::string& connection, int32_t& client,
                                                std::string& sql, Variant& message,
                                                const Variant& user) {
  return ComposeStatement(
      "mTrataSP_TMX_CON_CLIENTE_DOCTO_TRANSP", kind, connection, user, message, sql,
      [&](MethodTrap& trap) {
        trap.Step(3210);
        trap.sql() = std::string() + " SELECT CLI.NOME CLIENTE , " +
                     " CLI.PJ_CGC PJ_CGC_CLIENTE , " + " CLI.PF_CPF PF_CPF_CLIENTE , " +
                     " CLI.INDICATIVO_PF_PJ " + " FROM VCLIENTE CLI " + " WHERE CLI.PESSOA_ID  " +
                     ToText(gCondicao_Numero_Sql(Variant::Long(client), "=")) + " ";
      });
}

}  // namespace tmxcnh
