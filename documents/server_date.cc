// gBusca_Data_Dia: the database server's date, as dd/mm/yyyy.
#include "common/method_trap.h"
#include "common/sql_values.h"
#include "component/cnh.h"
#include "component/frame.h"
#include "db/recordset.h"
#include "platform/conversions.h"
#include "platform/format.h"

namespace tmxcnh {

Variant CNH::gBusca_Data_Dia(Variant& invntBanco_Dados, Variant& vntConecta_db,
                             Variant& invntUsuario_internet_id, Variant& /*invntEmpresa_id*/,
                             Variant& /*invntGrupo_Empresa_id*/, Variant& outvntData_Dia,
                             Variant& outvntMsg_Ret) {
  Variant result = Variant::Integer(kResultNotDone);
  MethodTrap trap("gBusca_Data_Dia",
                  "Acesso a função não disponível: gBusca_Data_Dia. Favor tentar mais tarde.");
  try {
    trap.Step(1010);
    const std::string connection = ConnectionTextOf(vntConecta_db);
    trap.Step(1020);
    if (IsOracle(invntBanco_Dados)) {
      trap.Step(1030);
      if (!mTrataSP_TMX_CON_DATA_SERVIDOR(ToText(invntBanco_Dados), connection, trap.sql(),
                                          outvntMsg_Ret,
                                          Variant(ToText(invntUsuario_internet_id)))) {
        return result;
      }
    } else {
      trap.Step(1040);
      trap.sql() = "exec sp_tmx_con_Data_Servidor ";
    }
    trap.Step(1050);
    Recordset recordset;
    OpenForReading(recordset, trap.sql(), connection);
    trap.Step(1060);
    if (!recordset.Eof()) {
      trap.Step(1070);
      outvntData_Dia = Variant(Format(Column(recordset, "data_servidor"), "dd/mm/yyyy"));
    }
    trap.Step(1080);
    recordset.Close();
    trap.Step(1090);
    result = Variant::Integer(kResultDone);
  } catch (...) {
    trap.Handle(outvntMsg_Ret, invntBanco_Dados, vntConecta_db, invntUsuario_internet_id);
  }
  return result;
}

bool CNH::mTrataSP_TMX_CON_DATA_SERVIDOR(const std::string& kind, const std::string& connection,
                                         std::string& sql, Variant& message, const Variant& user) {
  return ComposeStatement("mTrataSP_TMX_CON_DATA_SERVIDOR", kind, connection, user, message, sql,
                          [&](MethodTrap& trap) {
                            trap.Step(1110);
                            trap.sql() = std::string() + " SELECT GETDATE ( ) DATA_SERVIDOR ";
                          });
}

}  // namespace tmxcnh
