// gInclui_Docto_Transporte: a new document, checked, written, and given its
// invoices; the caller gets its identifier and 0, or 30 when the document
// stands but its invoices were not saved.
#include "common/infra_ids.h"
#include "common/log_sistema.h"
#include "common/method_trap.h"
#include "common/sql_values.h"
#include "component/cnh.h"
#include "component/frame.h"
#include "db/recordset.h"
#include "documents/document_write.h"
#include "platform/conversions.h"
#include "platform/format.h"

namespace tmxcnh {
Variant CNH::gInclui_Docto_Transporte(
    Variant& invntBanco_Dados, Variant& vntConecta_db, Variant& invntUsuario_internet_id,
    Variant& invntEmpresa_id, Variant& invntGrupo_Empresa_id, Variant& invntNum_Docto_Transporte,
    Variant& invntPonto_Operacao_id, Variant& invntTab_Tipo_Cobranca_id, Variant& invntCliente_id,
    Variant& /*invntEnd_Cliente_id*/, Variant& invntEnd_Destinatario_id,
    Variant& invntEnd_Remetente_id, Variant& invntOrigem_id, Variant& invntDestino_id,
    Variant& invntPeso_Real, Variant& invntVal_Declarado, Variant& invntData_Emissao,
    Variant& inarrvntNota_fiscal, Variant& invntQtde_Notas, Variant& outvntDocto_Transporte_id,
    Variant& invntPonto_Operacao_Destino_id, Variant& invnttab_tipo_despacho_id,
    Variant& /*invnttab_sit_entrega_id*/, Variant& inarrvntConteudo, Variant& inarrvntVal_Declarado,
    Variant& inarrvntNum_Volume, Variant& invntNum_Volume, Variant& invntTab_Tipo_Docto_Transp_id,
    Variant& outvntMsg_Ret) {
  Variant result = Variant::Integer(kResultNotDone);
  MethodTrap trap("gInclui_Docto_Transporte",
                  "Acesso a função não disponível: gInclui_Docto_Transporte. Favor contactar o "
                  "Administrador de Sistema.");
  try {
    trap.Step(13010);
    const std::string connection = ConnectionTextOf(vntConecta_db);
    trap.Step(13020);
    Variant new_document = Variant::Integer(0);
    if (!mConsiste_Campos(invntBanco_Dados, vntConecta_db, invntUsuario_internet_id,
                          invntEmpresa_id, invntGrupo_Empresa_id, invntNum_Docto_Transporte,
                          invntPonto_Operacao_id, invntTab_Tipo_Cobranca_id, invntEnd_Remetente_id,
                          invntEnd_Destinatario_id, invntCliente_id, invntOrigem_id,
                          invntDestino_id, invntPeso_Real, invntNum_Volume, invntVal_Declarado,
                          invntQtde_Notas, invntData_Emissao, new_document,
                          invntPonto_Operacao_Destino_id, invnttab_tipo_despacho_id,
                          invntTab_Tipo_Docto_Transp_id, outvntMsg_Ret)) {
      return result;
    }
    trap.Step(13030);
    if (IsOracle(invntBanco_Dados)) {
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
      int32_t delivery = 1;
      int32_t volumes = WholeNumber(invntNum_Volume);
      trap.Step(13040);
      if (!mTrataSP_TMX_INC_DOCTO_TRANSPORTE3(
              Format(invntBanco_Dados), connection, company, number, branch, charging, client,
              recipient, sender, origin, destination, weight, value, issued, destination_branch,
              dispatch, delivery, volumes, trap.sql(), outvntMsg_Ret,
              Variant(Format(invntUsuario_internet_id)))) {
        return result;
      }
    } else {
      trap.Step(13050);
      trap.sql() =
          "exec SP_TMX_INC_Docto_Transporte4        " + IdArgument(invntEmpresa_id) + ", " +
          IdArgument(invntNum_Docto_Transporte) + ", " + IdArgument(invntPonto_Operacao_id) + ", " +
          IdArgument(invntTab_Tipo_Cobranca_id) + ", " + IdArgument(invntCliente_id) + ", " +
          IdArgument(invntEnd_Destinatario_id) + ", " + IdArgument(invntEnd_Remetente_id) + ", " +
          IdArgument(invntOrigem_id) + ", " + IdArgument(invntDestino_id) + ", " +
          IdArgument(Variant(WithPoint(invntPeso_Real))) + ", " +
          IdArgument(Variant(WithPoint(invntVal_Declarado))) + ", " +
          ToText(gData_Sql(invntData_Emissao)) + ", " + IdArgument(invntPonto_Operacao_Destino_id) +
          ", " + IdArgument(invnttab_tipo_despacho_id) + ", " + "1, " +
          IdArgument(invntNum_Volume) + ", " + IdArgument(invntTab_Tipo_Docto_Transp_id);
    }
    trap.Step(13060);
    Recordset recordset;
    OpenForWriting(recordset, trap.sql(), connection);
    trap.Step(13070);
    if (!AcceptWriteAnswer(recordset, outvntMsg_Ret, "Nenhume registro afetado.")) return result;
    trap.Step(13080);
    outvntDocto_Transporte_id = gTrata_Numero(recordset.Field("docto_transporte_Id"));
    trap.Step(13090);
    Variant connection_text = connection;
    const bool invoices_saved = mGrava_Nota_fiscal(
        invntBanco_Dados, connection_text, invntUsuario_internet_id, invntEmpresa_id,
        outvntDocto_Transporte_id, invntQtde_Notas, inarrvntNota_fiscal, inarrvntConteudo,
        inarrvntVal_Declarado, inarrvntNum_Volume, outvntMsg_Ret);
    trap.Step(13100);
    result = Variant::Integer(invoices_saved ? kResultDone : kResultInvoicesNotSaved);
  } catch (...) {
    trap.Handle(outvntMsg_Ret, invntBanco_Dados, vntConecta_db, invntUsuario_internet_id);
  }
  return result;
}

bool CNH::mTrataSP_TMX_INC_DOCTO_TRANSPORTE3(
    const std::string& kind, const std::string& connection, int32_t& company, int32_t& number,
    int32_t& branch, int32_t& charging, int32_t& client, int32_t& recipient, int32_t& sender,
    int32_t& origin, int32_t& destination, double& weight, double& value, const std::string& issued,
    int32_t& destination_branch, int32_t& dispatch, int32_t& delivery, int32_t& volumes,
    std::string& sql, Variant& message, const Variant& user) {
  return ComposeStatement(
      "mTrataSP_TMX_INC_DOCTO_TRANSPORTE3", kind, connection, user, message, sql,
      [&](MethodTrap& trap) {
        trap.Step(13210);
        Variant no_object;
        std::string allocator_message;
        int32_t id = 0;
        if (!gAtualiza_infra_ids(kind, ToLong(user), 1, "TRAMOX", "N", no_object, connection,
                                 "DOCTO_TRANSPORTE_ID", allocator_message, id)) {
          message = Variant(allocator_message);
          return false;
        }
        trap.Step(13220);
        const auto number_value = [](int32_t n) {
          return ToText(gCondicao_Numero_Sql(Variant::Long(n), "")) + " , ";
        };
        const auto decimal_value = [](double d) {
          return ToText(gCondicao_Numero_Sql(Variant(PointDecimal(d)), "")) + " , ";
        };
        std::string& s = trap.sql();
        for (const char* column : {" INSERT INTO DOCTO_TRANSPORTE ",
                                   " ( DOCTO_TRANSPORTE_ID , ",
                                   " EMPRESA_ID , ",
                                   " NUM_DOCTO_TRANSPORTE , ",
                                   " PONTO_OPERACAO_ID , ",
                                   " TAB_TIPO_COBRANCA_ID , ",
                                   " CLIENTE_ID , ",
                                   " END_DESTINATARIO_ID , ",
                                   " END_REMETENTE_ID , ",
                                   " ORIGEM_ID , ",
                                   " DESTINO_ID , ",
                                   " PESO_REAL , ",
                                   " VAL_DECLARADO , ",
                                   " DATA_EMISSAO , ",
                                   " PONTO_OPERACAO_DESTINO_ID , ",
                                   " TAB_TIPO_DESPACHO_ID , ",
                                   " TAB_SIT_ENTREGA_ID , ",
                                   " NUM_VOLUME , ",
                                   " TAB_TIPO_DOCTO_TRANSP_ID , ",
                                   " TAB_STATUS_ID ) ",
                                   " VALUES ( "}) {
          s += column;
        }
        s += number_value(id) + number_value(company) + number_value(number) +
             number_value(branch) + number_value(charging) + number_value(client) +
             number_value(recipient) + number_value(sender) + number_value(origin) +
             number_value(destination) + decimal_value(weight) + decimal_value(value) +
             IssueDateLiteral(issued) + " , " + number_value(destination_branch) +
             number_value(dispatch) + number_value(delivery) + number_value(volumes);
        // The document type is not passed here; the readers of this path list type 1.
        s += " 1 , 1 ) ";
        trap.Step(13230);
        ExecuteWrite(s, connection);
        trap.Step(13240);
        int32_t code = 0;
        std::string audit_message;
        if (!gGrava_Log_Sistema(kind, 13, 1, ToLong(gTrata_Numero(user)),
                                ToLong(gTrata_Numero(Variant::Long(id))), code, audit_message,
                                connection)) {
          return false;
        }
        trap.Step(13250);
        s = std::string(kDoneAnswer) + ", " + std::to_string(id) + " DOCTO_TRANSPORTE_ID ";
        return true;
      });
}

}  // namespace tmxcnh
