// gBusca_Lista_Docto_Transporte: a company's documents by number or by a
// range of issue dates, as parallel arrays, one element per document.
#include <cmath>

#include "common/method_trap.h"
#include "common/sql_values.h"
#include "component/cnh.h"
#include "component/frame.h"
#include "db/recordset.h"
#include "documents/document_joins.h"
#include "platform/conversions.h"
#include "platform/date_serial.h"
#include "platform/format.h"
#include "platform/operators.h"

namespace tmxcnh {
namespace {

// The criteria come back to the caller cleaned of the characters that could
// break the statement.
void Clean(Variant& criterion) { criterion = Variant(gRetira_Caracteres(ToText(criterion))); }

bool IsEmpty(const Variant& value) { return Equals(gTrata_Nulo(value), ""); }

// The issue-date conditions of the emulation: from the start day's midnight
// to (not including) the midnight after the end day, so both days count whole
// whatever the time of issue. The dates go as 'yyyy/mm/dd' with their mask.
std::string IssueDateConditions(const std::string& start, const std::string& end) {
  std::string conditions = " AND DOC.DATA_EMISSAO >= TO_DATE('" +
                           Format(Variant(start), "yyyy/mm/dd") + "', 'YYYY/MM/DD') ";
  // An end on the last day there is needs no bound: no date lies after it.
  const double day_after_end = std::floor(ToDateSerial(Variant(end))) + 1;
  if (day_after_end > kLastDateSerial) return conditions;
  return conditions + " AND DOC.DATA_EMISSAO < TO_DATE('" +
         Format(Variant::Date(day_after_end), "yyyy/mm/dd") + "', 'YYYY/MM/DD') ";
}

}  // namespace

Variant CNH::gBusca_Lista_Docto_Transporte(
    Variant& invntBanco_Dados, Variant& vntConecta_db, Variant& invntUsuario_internet_id,
    Variant& invntEmpresa_id, Variant& /*invntGrupo_Empresa_id*/,
    Variant& invntNum_Docto_Transporte, Variant& invntData_ini, Variant& invntData_Fim,
    Variant& outarrvntDocto_Transporte_id, Variant& outarrvntNum_Docto_Transporte,
    Variant& outarrvntRemetente, Variant& outvntDestinatario, Variant& outarrvntOrigem,
    Variant& outarrvntDestino, Variant& outvntQtde_Docto, Variant& outarrvntTab_Tipo_Docto_Transp,
    Variant& outvntMsg_Ret) {
  Variant result = Variant::Integer(kResultNotDone);
  MethodTrap trap(
      "gBusca_Lista_Docto_Transporte",
      "Acesso a função não disponível: gBusca_Lista_Docto_Transporte. Favor tentar mais tarde.");
  try {
    trap.Step(6010);
    const std::string connection = ConnectionTextOf(vntConecta_db);
    trap.Step(6020);
    Clean(invntNum_Docto_Transporte);
    Clean(invntData_ini);
    Clean(invntData_Fim);
    trap.Step(6030);
    // Both sides are evaluated, as the language does with And.
    const bool no_number = Equals(gTrata_Numero(invntNum_Docto_Transporte), 0);
    const bool no_start = IsEmpty(invntData_ini);
    if (no_number && no_start) {
      outvntMsg_Ret = "Informe algo para consulta.";
      return result;
    }
    trap.Step(6040);
    if (IsEmpty(invntData_Fim)) invntData_Fim = invntData_ini;
    trap.Step(6050);
    if (!IsEmpty(invntData_ini) && !IsDate(invntData_ini)) {
      outvntMsg_Ret = "Data inicial inválida.";
      return result;
    }
    trap.Step(6060);
    if (!IsEmpty(invntData_Fim) && !IsDate(invntData_Fim)) {
      outvntMsg_Ret = "Data final inválida.";
      return result;
    }
    trap.Step(6070);
    if (Format(invntData_ini, "yyyy/mm/dd") > Format(invntData_Fim, "yyyy/mm/dd")) {
      outvntMsg_Ret = "Data inicial não pode ser maior que a data final.";
      return result;
    }
    trap.Step(6080);
    if (IsOracle(invntBanco_Dados)) {
      trap.Step(6090);
      int32_t number = ToLong(gTrata_Numero(invntNum_Docto_Transporte));
      const std::string start = ToText(gTrata_Nulo(invntData_ini));
      const std::string end = ToText(gTrata_Nulo(invntData_Fim));
      int32_t company = ToLong(gTrata_Numero(invntEmpresa_id));
      trap.Step(6100);
      if (!mTrataSP_TMX_CON_LISTA_DOCTO_TRANSP(ToText(invntBanco_Dados), connection, number, start,
                                               end, company, trap.sql(), outvntMsg_Ret,
                                               Variant(ToText(invntUsuario_internet_id)))) {
        return result;
      }
    } else {
      trap.Step(6110);
      trap.sql() = "Exec SP_TMX_CON_LISTA_Docto_Transp2 " +
                   ToText(gId_Sql(invntNum_Docto_Transporte)) + ", " +
                   ToText(gData_Sql(invntData_ini)) + ", " + ToText(gData_Sql(invntData_Fim)) +
                   ", " + ToText(gId_Sql(invntEmpresa_id));
    }
    trap.Step(6120);
    Recordset recordset;
    OpenForReading(recordset, trap.sql(), connection);
    trap.Step(6130);
    if (recordset.Eof()) {
      outvntMsg_Ret = "Conhecimento não cadastrado.";
      return result;
    }
    trap.Step(6140);
    recordset.MoveLast();
    recordset.MoveFirst();
    outvntQtde_Docto = Variant::Long(recordset.RecordCount());
    trap.Step(6150);
    const int32_t last = ToLong(outvntQtde_Docto) - 1;
    for (Variant* list :
         {&outarrvntDocto_Transporte_id, &outarrvntRemetente, &outvntDestinatario, &outarrvntOrigem,
          &outarrvntDestino, &outarrvntNum_Docto_Transporte, &outarrvntTab_Tipo_Docto_Transp}) {
      list->ReDim(last);
    }
    trap.Step(6160);
    for (int32_t i = 0; i <= last; ++i) {
      outarrvntDocto_Transporte_id.At(i) = TakeColumn(recordset, "docto_transporte_Id");
      outarrvntRemetente.At(i) = TakeColumn(recordset, "remetente");
      outvntDestinatario.At(i) = TakeColumn(recordset, "destinatario");
      outarrvntOrigem.At(i) = TakeColumn(recordset, "origem");
      outarrvntDestino.At(i) = TakeColumn(recordset, "destino");
      outarrvntNum_Docto_Transporte.At(i) = TakeColumn(recordset, "num_docto_transporte");
      outarrvntTab_Tipo_Docto_Transp.At(i) = TakeColumn(recordset, "Tipo_Docto_Transp");
      recordset.MoveNext();
    }
    trap.Step(6170);
    recordset.Close();
    result = Variant::Integer(kResultDone);
  } catch (...) {
    trap.Handle(outvntMsg_Ret, invntBanco_Dados, vntConecta_db, invntUsuario_internet_id);
  }
  return result;
}

bool CNH::mTrataSP_TMX_CON_LISTA_DOCTO_TRANSP(const std::string& kind,
                                              const std::string& connection, int32_t& number,
                                              const std::string& start, const std::string& end,
                                              int32_t& company, std::string& sql, Variant& message,
                                              const Variant& user) {
  return ComposeStatement(
      "mTrataSP_TMX_CON_LISTA_DOCTO_TRANSP", kind, connection, user, message, sql,
      [&](MethodTrap& trap) {
        trap.Step(6210);
        std::string& s = trap.sql();
        for (const char* item : {" SELECT DOC.DOCTO_TRANSPORTE_ID , ", " REM.NOME REMETENTE , ",
                                 " DES.NOME DESTINATARIO , ", " ORI.MUNICIPIO ORIGEM , ",
                                 " DET.MUNICIPIO DESTINO , ", " DOC.NUM_DOCTO_TRANSPORTE ",
                                 // The document type, which the reader wants for every row.
                                 " , DOC.TAB_TIPO_DOCTO_TRANSP_ID TIPO_DOCTO_TRANSP "}) {
          s += item;
        }
        s += DocumentJoins();
        trap.Step(6220);
        if (number != 0) {
          s += " AND DOC.NUM_DOCTO_TRANSPORTE =  " + ToText(gTrata_Numero(Variant::Long(number))) +
               " ";
        } else {
          trap.Step(6230);
          s += IssueDateConditions(start, end);
        }
        trap.Step(6240);
        s += " AND DOC.EMPRESA_ID =  " + ToText(gTrata_Numero(Variant::Long(company))) + " ";
        s += " AND DOC.TAB_STATUS_ID = 1 ";
        s += " AND DOC.TAB_TIPO_DOCTO_TRANSP_ID = 1 ";
      });
}

}  // namespace tmxcnh
