// gConsulta_Cliente_Docto_Transp: whether a document number belongs to a
// client, for the client's internet session. It has no emulation: every kind
// but "SQLSERVER" gets its inline SELECT.
#include "common/method_trap.h"
#include "common/sql_values.h"
#include "component/cnh.h"
#include "component/frame.h"
#include "db/recordset.h"
#include "platform/conversions.h"
#include "platform/operators.h"

namespace tmxcnh {

Variant CNH::gConsulta_Cliente_Docto_Transp(
    Variant& invntBanco_Dados, Variant& vntConecta_db, Variant& invntUsuario_internet_id,
    Variant& /*invntEmpresa_id*/, Variant& /*invntGrupo_Empresa_id*/, Variant& invntPessoa_id,
    Variant& invntNum_Docto_Transporte, Variant& outvntMsg_Ret) {
  Variant result = Variant::Integer(kResultNotDone);
  MethodTrap trap("gConsulta_Cliente_Docto_Transp",
                  " Acesso a consulta de conhecimento com problemas. Contacte o Administrador de "
                  "Sistema. ");
  try {
    trap.Step(2010);
    const std::string connection = ConnectionTextOf(vntConecta_db);
    trap.Step(2020);
    if (Equals(gTrata_Numero(invntPessoa_id), 0)) {
      outvntMsg_Ret = "Problema na identificação do cliente. Reinicie a sessão novamente. ";
      return result;
    }
    trap.Step(2030);
    if (Equals(gTrata_Numero(invntNum_Docto_Transporte), 0)) {
      outvntMsg_Ret = "Informe o número do conhecimento para pesquisa. ";
      return result;
    }
    trap.Step(2040);
    if (Equals(invntBanco_Dados, "SQLSERVER")) {
      trap.sql() = " Exec  sp_plv_con_docto_transp_cli " + ToText(gId_Sql(invntPessoa_id)) + ", " +
                   ToText(gId_Sql(invntNum_Docto_Transporte));
    } else {
      trap.Step(2050);
      trap.sql() = std::string(" select * from docto_transporte ") + " where cliente_id " +
                   ToText(gCondicao_Numero_Sql(invntPessoa_id, "=")) +
                   " and   num_docto_transporte " +
                   ToText(gCondicao_Numero_Sql(invntNum_Docto_Transporte, "=")) +
                   " and   tab_status_id        = 1 ";
    }
    trap.Step(2060);
    Recordset recordset;
    OpenForReading(recordset, trap.sql(), connection);
    trap.Step(2070);
    if (recordset.Eof()) {
      outvntMsg_Ret =
          " Conhecimento solicitado não pertence a este cliente. Verifique o nº do conhecimento. ";
      return result;
    }
    trap.Step(2080);
    result = Variant::Integer(kResultDone);
    recordset.Close();
  } catch (...) {
    trap.Handle(outvntMsg_Ret, invntBanco_Dados, vntConecta_db, invntUsuario_internet_id);
  }
  return result;
}

}  // namespace tmxcnh
