// mConsulta_Nota_Fiscal: the live invoices of a document, as four parallel
// arrays and their count.
#include "common/method_trap.h"
#include "common/sql_values.h"
#include "component/cnh.h"
#include "component/frame.h"
#include "db/recordset.h"
#include "platform/conversions.h"
#include "platform/format.h"
#include "platform/operators.h"

namespace tmxcnh {

bool CNH::mConsulta_Nota_Fiscal(Variant& invntBanco_Dados, Variant& vntConecta_db,
                                Variant& invntUsuario_internet_id, Variant& invntEmpresa_id,
                                Variant& /*invntGrupo_Empresa_id*/,
                                Variant& invntDocto_Transporte_id, Variant& outvntQtde_Notas,
                                Variant& outarrvntNota_Fiscal, Variant& outarrvntConteudo,
                                Variant& outarrvntNum_Volume, Variant& outarrvntVal_Declarado,
                                Variant& outvntMsg_Ret) {
  bool result = false;
  MethodTrap trap("mConsulta_Nota_Fiscal",
                  "Problema na Consulta à Nota Fiscal. Favor tentar mais tarde.");
  try {
    trap.Step(4010);
    const std::string connection = ConnectionTextOf(vntConecta_db);
    trap.Step(4020);
    if (Equals(gTrata_Numero(invntDocto_Transporte_id), 0)) {
      outvntMsg_Ret = "Informe o conhecimento.";
      return result;
    }
    trap.Step(4030);
    if (IsOracle(invntBanco_Dados)) {
      trap.Step(4040);
      int32_t company = ToLong(gTrata_Numero(invntEmpresa_id));
      int32_t document = ToLong(gTrata_Numero(invntDocto_Transporte_id));
      trap.Step(4050);
      if (!mTrataSP_TMX_CON_NF_CONHEC2(ToText(invntBanco_Dados), connection, company, document,
                                       trap.sql(), outvntMsg_Ret,
                                       Variant(ToText(invntUsuario_internet_id)))) {
        return result;
      }
    } else {
      trap.Step(4060);
      trap.sql() = "exec SP_TMX_CON_NF_Conhec2 " + ToText(gId_Sql(invntEmpresa_id)) + ", " +
                   ToText(gId_Sql(invntDocto_Transporte_id));
    }
    trap.Step(4070);
    Recordset recordset;
    OpenForReading(recordset, trap.sql(), connection);
    trap.Step(4080);
    if (recordset.Eof()) return true;  // count and arrays stay as the caller passed them
    trap.Step(4090);
    recordset.MoveLast();
    recordset.MoveFirst();
    outvntQtde_Notas = Variant::Long(recordset.RecordCount());
    trap.Step(4100);
    const int32_t last = ToLong(outvntQtde_Notas) - 1;
    outarrvntNota_Fiscal.ReDim(last);
    outarrvntConteudo.ReDim(last);
    outarrvntNum_Volume.ReDim(last);
    outarrvntVal_Declarado.ReDim(last);
    trap.Step(4110);
    for (int32_t i = 0; i <= last; ++i) {
      outarrvntNota_Fiscal.At(i) = TakeColumn(recordset, "nota_fiscal");
      outarrvntConteudo.At(i) = TakeColumn(recordset, "Conteudo");
      outarrvntNum_Volume.At(i) = TakeColumn(recordset, "num_volume");
      outarrvntVal_Declarado.At(i) = Variant(Format(Column(recordset, "val_declarado"), "00.00"));
      recordset.MoveNext();
    }
    trap.Step(4120);
    result = true;
  } catch (...) {
    trap.Handle(outvntMsg_Ret, invntBanco_Dados, vntConecta_db, invntUsuario_internet_id);
  }
  return result;
}

bool CNH::mTrataSP_TMX_CON_NF_CONHEC2(const std::string& kind, const std::string& connection,
                                      int32_t& company, int32_t& document, std::string& sql,
                                      Variant& message, const Variant& user) {
  return ComposeStatement(
      "mTrataSP_TMX_CON_NF_CONHEC2", kind, connection, user, message, sql, [&](MethodTrap& trap) {
        trap.Step(4210);
        trap.sql() = std::string() +
                     " SELECT NOTA_FISCAL , CONTEUDO , NUM_VOLUME , VAL_DECLARADO " +
                     " FROM NOTA_FISCAL " + " WHERE DOCTO_TRANSPORTE_ID  " +
                     ToText(gCondicao_Numero_Sql(Variant::Long(document), "=")) + " " +
                     " AND EMPRESA_ID =  " + ToText(gTrata_Numero(Variant::Long(company))) + " " +
                     " AND TAB_STATUS_ID = 1 ";
      });
}

}  // namespace tmxcnh
