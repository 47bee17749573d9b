// gAltera_Docto_Transporte: rewrites a document and replaces its invoices;
// 0, or 30 when the document was rewritten but its invoices were not saved.
#include "common/log_sistema.h"
#include "common/method_trap.h"
#include "common/sql_values.h"
#include "component/cnh.h"
#include "component/frame.h"
#include "db/recordset.h"
#include "documents/document_write.h"
#include "platform/conversions.h"
#include "platform/format.h"
#include "platform/operators.h"

namespace tmxcnh {
Variant CNH::gAltera_Docto_Transporte(
    Variant& invntBanco_Dados, Variant& vntConecta_db, Variant& invntUsuario_internet_id,
    Variant& invntEmpresa_id, Variant& invntGrupo_Empresa_id, Variant& invntNum_Docto_Transporte,
    Variant& invntPonto_Operacao_id, Variant& invntTab_Tipo_Cobranca_id, Variant& invntCliente_id,
    Variant& /*invntEnd_Cliente_id*/, Variant& invntEnd_Destinatario_id,
    Variant& invntEnd_Remetente_id, Variant& invntOrigem_id, Variant& invntDestino_id,
    Variant& invntPeso_Real, Variant& invntVal_Declarado, Variant& invntData_Emissao,
    Variant& inarrvntNota_fiscal, Variant& invntQtde_Notas, Variant& invntDocto_Transporte_id,
    Variant& invntPonto_Operacao_Destino_id, Variant& invnttab_tipo_despacho_id,
    Variant& inarrvntConteudo, Variant& inarrvntVal_Declarado, Variant& inarrvntNum_Volume,
    Variant& invntNum_Volume, Variant& invntTab_Tipo_Docto_Transp_id, Variant& outvntMsg_Ret) {
  Variant result = Variant::Integer(kResultNotDone);
  MethodTrap trap(
      "gAltera_Docto_Transporte",
      "Acesso a função não disponível: gAltera_Docto_Transporte. Favor tentar mais tarde.");
  try {
    trap.Step(14010);
    const std::string connection = ConnectionTextOf(vntConecta_db);
    trap.Step(14020);
    if (Equals(gTrata_Numero(invntDocto_Transporte_id), 0)) {
      outvntMsg_Ret = "Informe um conhecimento.";
      return result;
    }
    trap.Step(14030);
    if (!mConsiste_Campos(invntBanco_Dados, vntConecta_db, invntUsuario_internet_id,
                          invntEmpresa_id, invntGrupo_Empresa_id, invntNum_Docto_Transporte,
                          invntPonto_Operacao_id, invntTab_Tipo_Cobranca_id, invntEnd_Remetente_id,
                          invntEnd_Destinatario_id, invntCliente_id, invntOrigem_id,
                          invntDestino_id, invntPeso_Real, invntNum_Volume, invntVal_Declarado,
                          invntQtde_Notas, invntData_Emissao, invntDocto_Transporte_id,
                          invntPonto_Operacao_Destino_id, invnttab_tipo_despacho_id,
                          invntTab_Tipo_Docto_Transp_id, outvntMsg_Ret)) {
      return result;
    }
    trap.Step(14040);
    if (IsOracle(invntBanco_Dados)) {
      int32_t document = WholeNumber(invntDocto_Transporte_id);
      int32_t company = WholeNumber(invntEmpresa_id);
      int32_t number = WholeNumber(invntNum_Docto_Transporte);
      int32_t branch = WholeNumber(invntPonto_Operacao_id);
      int32_t charging = WholeNumber(invntTab_Tipo_Cobranca_id);
      int32_t client = WholeNumber(invntCliente_id);
      int32_t recipient = WholeNumber(invntEnd_Destinatario_id);
      int32_t sender = WholeNumber(invntEnd_Remetente_id);
      int32_t origin = WholeNumber(invntOrigem_id);
      int32_t destination = WholeNumber(invntDestino_id);
      double weight = AsNumber(invntPeso_Real);
      double value = AsNumber(invntVal_Declarado);
      const std::string issued = ToText(gTrata_Nulo(invntData_Emissao));
      int32_t destination_branch = WholeNumber(invntPonto_Operacao_Destino_id);
      int32_t dispatch = WholeNumber(invnttab_tipo_despacho_id);
      int32_t volumes = WholeNumber(invntNum_Volume);
      trap.Step(14050);
      if (!mTrataSP_TMX_ALT_CAD_DOCTO_TRANSPORTE3(
              Format(invntBanco_Dados), connection, document, company, number, branch, charging,
              client, recipient, sender, origin, destination, weight, value, issued,
              destination_branch, dispatch, volumes, trap.sql(), outvntMsg_Ret,
              Variant(Format(invntUsuario_internet_id)))) {
        return result;
      }
    } else {
      trap.Step(14060);
      trap.sql() =
          "exec SP_TMX_ALT_CAD_Docto_Transporte4      " + IdArgument(invntDocto_Transporte_id) +
          ", " + IdArgument(invntEmpresa_id) + ", " + IdArgument(invntNum_Docto_Transporte) + ", " +
          IdArgument(invntPonto_Operacao_id) + ", " + IdArgument(invntTab_Tipo_Cobranca_id) + ", " +
          IdArgument(invntCliente_id) + ", " + IdArgument(invntEnd_Destinatario_id) + ", " +
          IdArgument(invntEnd_Remetente_id) + ", " + IdArgument(invntOrigem_id) + ", " +
          IdArgument(invntDestino_id) + ", " + IdArgument(Variant(WithPoint(invntPeso_Real))) +
          ", " + IdArgument(Variant(WithPoint(invntVal_Declarado))) + ", " +
          ToText(gData_Sql(invntData_Emissao)) + ", " + IdArgument(invntPonto_Operacao_Destino_id) +
          " , " + IdArgument(invnttab_tipo_despacho_id) + ", " + IdArgument(invntNum_Volume) +
          ", " + IdArgument(invntTab_Tipo_Docto_Transp_id);
    }
    trap.Step(14070);
    {
      Recordset recordset;
      OpenForWriting(recordset, trap.sql(), connection);
      trap.Step(14080);
      if (!AcceptWriteAnswer(recordset, outvntMsg_Ret, "Nenhum registro afetado.")) return result;
      trap.Step(14090);
      recordset.Close();
    }
    trap.Step(14100);
    Variant connection_text = connection;
    const bool invoices_saved = mGrava_Nota_fiscal(
        invntBanco_Dados, connection_text, invntUsuario_internet_id, invntEmpresa_id,
        invntDocto_Transporte_id, invntQtde_Notas, inarrvntNota_fiscal, inarrvntConteudo,
        inarrvntVal_Declarado, inarrvntNum_Volume, outvntMsg_Ret);
    trap.Step(14110);
    result = Variant::Integer(invoices_saved ? kResultDone : kResultInvoicesNotSaved);
  } catch (...) {
    trap.Handle(outvntMsg_Ret, invntBanco_Dados, vntConecta_db, invntUsuario_internet_id);
  }
  return result;
}

bool CNH::mTrataSP_TMX_ALT_CAD_DOCTO_TRANSPORTE3(
    const std::string& kind, const std::string& connection, int32_t& document, int32_t& company,
    int32_t& number, int32_t& branch, int32_t& charging, int32_t& client, int32_t& recipient,
    int32_t& sender, int32_t& origin, int32_t& destination, double& weight, double& value,
    const std::string& issued, int32_t& destination_branch, int32_t& dispatch, int32_t& volumes,
    std::string& sql, Variant& message, const Variant& user) {
  return ComposeStatement(
      "mTrataSP_TMX_ALT_CAD_DOCTO_TRANSPORTE3", kind, connection, user, message, sql,
      [&](MethodTrap& trap) {
        trap.Step(14210);
        const auto set = [](const char* column, const std::string& value) {
          return std::string(column) + value + " , ";
        };
        const auto whole = [](int32_t n) {
          return ToText(gCondicao_Numero_Sql(Variant::Long(n), ""));
        };
        const auto decimal = [](double d) {
          return ToText(gCondicao_Numero_Sql(Variant(PointDecimal(d)), ""));
        };
        const std::string id = ToText(gTrata_Numero(Variant::Long(document)));
        std::string& s = trap.sql();
        // The answer refuses a document that does not exist or is deleted, as
        // the procedure does; then nothing is written, audited or saved for it.
        s = " SELECT CASE WHEN COUNT ( * ) = 0 THEN 1 ELSE 0 END RETORNO , "
            " CASE WHEN COUNT ( * ) = 0 THEN 'Conhecimento não cadastrado.' ELSE '' END MSG_RET "
            " FROM DOCTO_TRANSPORTE WHERE DOCTO_TRANSPORTE_ID =  " +
            id + "  AND TAB_STATUS_ID = 1 ";
        const std::string answer = s;
        {
          Recordset live;
          OpenForReading(live, answer, connection);
          if (!live.Eof() && !Equals(live.Field("RETORNO"), 0)) return true;
        }
        trap.Step(14220);
        s = std::string() + " UPDATE DOCTO_TRANSPORTE ";
        s += set(" SET EMPRESA_ID =  ", whole(company));
        s += set(" NUM_DOCTO_TRANSPORTE =  ", whole(number));
        s += set(" PONTO_OPERACAO_ID =  ", whole(branch));
        s += set(" TAB_TIPO_COBRANCA_ID =  ", whole(charging));
        s += set(" CLIENTE_ID =  ", whole(client));
        s += set(" END_DESTINATARIO_ID =  ", ToText(gTrata_Numero(Variant::Long(recipient))));
        s += set(" END_REMETENTE_ID =  ", whole(sender));
        s += set(" ORIGEM_ID =  ", whole(origin));
        s += set(" DESTINO_ID =  ", whole(destination));
        s += set(" PESO_REAL =  ", decimal(weight));
        s += set(" VAL_DECLARADO =  ", decimal(value));
        s += set(" DATA_EMISSAO =  ", IssueDateLiteral(issued));
        s += set(" PONTO_OPERACAO_DESTINO_ID =  ", whole(destination_branch));
        s += set(" TAB_TIPO_DESPACHO_ID =  ", whole(dispatch));
        s += " NUM_VOLUME =  " + whole(volumes);
        s += " WHERE DOCTO_TRANSPORTE_ID =  " + id + "  AND TAB_STATUS_ID = 1 ";
        trap.Step(14230);
        ExecuteWrite(s, connection);
        trap.Step(14240);
        // The audit row names the document it changed.
        int32_t code = 0;
        std::string audit_message;
        if (!gGrava_Log_Sistema(kind, 13, 2, ToLong(gTrata_Numero(user)), document, code,
                                audit_message, connection)) {
          return false;
        }
        trap.Step(14250);
        s = kDoneAnswer;
        return true;
      });
}

}  // namespace tmxcnh
