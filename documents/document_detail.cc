// gConsulta_Docto_Transporte: one document in full, then its client (through
// mBusca_Cliente) and its invoices (through mConsulta_Nota_Fiscal).
#include "common/method_trap.h"
#include "common/sql_values.h"
#include "component/cnh.h"
#include "component/frame.h"
#include "db/recordset.h"
#include "documents/document_joins.h"
#include "platform/conversions.h"
#include "platform/format.h"
#include "platform/operators.h"

namespace tmxcnh {

Variant CNH::gConsulta_Docto_Transporte(
    Variant& invntBanco_Dados, Variant& vntConecta_db, Variant& invntUsuario_internet_id,
    Variant& invntEmpresa_id, Variant& invntGrupo_Empresa_id, Variant& outvntNum_Docto_Transporte,
    Variant& outvntEmpresa_id, Variant& invntDocto_Transporte_id, Variant& outvntPonto_Operacao_id,
    Variant& outvntTab_Tipo_Cobranca_id, Variant& outvntCliente_id, Variant& outvntCliente,
    Variant& outvntCgc_Cpf_Cliente, Variant& outvntIndic_pf_pj_Cliente, Variant& outvntRemetente,
    Variant& outvntEnd_Remetente, Variant& outvntMunicipio_Remetente,
    Variant& outvntTelefone_Remetente, Variant& outvntCGC_CPF_Remetente,
    Variant& outvntIndic_pf_pj_Remetente, Variant& outvntEnd_Destinatario_id,
    Variant& outvntDestinatario, Variant& outvntEnd_Destinatario,
    Variant& outvntMunicipio_Destinatario, Variant& outvntTelefone_Destinatario,
    Variant& outvntCGC_CPF_Destinatario, Variant& outvntIndic_pf_pj_Destinatario,
    Variant& outvntEnd_Remetente_id, Variant& outvntOrigem_id, Variant& outvntOrigem,
    Variant& outvntDestino, Variant& outvntDestino_id, Variant& outvntPeso_Real,
    Variant& outvntVal_Declarado, Variant& outvntData_Emissao, Variant& outvntQtde_Notas,
    Variant& outarrvntNota_Fiscal, Variant& outvntRemetente_id, Variant& outvntDestinatario_id,
    Variant& outvntPonto_Operacao_destino_id, Variant& outvntTab_sit_entrega_id,
    Variant& outvntTab_Tipo_Despacho_id, Variant& outarrvntConteudo, Variant& outarrvntNum_Volume,
    Variant& outarrvntVal_Declarado, Variant& outvntNum_Volume,
    Variant& outvntTab_Tipo_Docto_Transp_id, Variant& outvntMsg_Ret) {
  Variant result = Variant::Integer(kResultNotDone);
  MethodTrap trap(
      "gConsulta_Docto_Transporte",
      "Acesso a função não disponível: gConsulta_Docto_Transporte . Favor tentar mais tarde.");
  try {
    trap.Step(5010);
    const std::string connection = ConnectionTextOf(vntConecta_db);
    trap.Step(5020);
    if (Equals(gId_Sql(invntDocto_Transporte_id), "null")) {
      outvntMsg_Ret = "Informe o número do conhecimento.";
      return result;
    }
    trap.Step(5030);
    if (IsOracle(invntBanco_Dados)) {
      trap.Step(5040);
      int32_t document = ToLong(gTrata_Numero(invntDocto_Transporte_id));
      int32_t company = ToLong(gTrata_Numero(invntEmpresa_id));
      trap.Step(5050);
      if (!mTrataSP_TMX_CON_CAD_DOCTO_TRANSPORTE4(ToText(invntBanco_Dados), connection, document,
                                                  company, trap.sql(), outvntMsg_Ret,
                                                  Variant(ToText(invntUsuario_internet_id)))) {
        return result;
      }
    } else {
      trap.Step(5060);
      trap.sql() = "exec SP_TMX_CON_CAD_Docto_Transporte5  " +
                   ToText(gId_Sql(invntDocto_Transporte_id)) + ", " +
                   ToText(gId_Sql(invntEmpresa_id));
    }
    trap.Step(5070);
    Recordset recordset;
    OpenForReading(recordset, trap.sql(), connection);
    trap.Step(5080);
    if (recordset.Eof()) {
      outvntMsg_Ret = "Conhecimento não cadastrado.";
      return result;
    }
    trap.Step(5090);
    outvntEmpresa_id = Column(recordset, "empresa_Id");
    outvntNum_Docto_Transporte = Column(recordset, "num_docto_transporte");
    outvntPonto_Operacao_id = Column(recordset, "ponto_operacao_id");
    outvntTab_Tipo_Cobranca_id = gTrata_Numero(recordset.Field("TAB_TIPO_COBRANCA_ID"));
    outvntData_Emissao = Variant(Format(Column(recordset, "Data_Emissao"), "dd/mm/yyyy"));
    outvntCliente_id = Column(recordset, "cliente_id");
    trap.Step(5100);
    outvntRemetente = Column(recordset, "remetente");
    outvntEnd_Remetente = Column(recordset, "end_remetente");
    outvntMunicipio_Remetente = Column(recordset, "municipio_remetente");
    outvntTelefone_Remetente = Column(recordset, "telefone_remetente");
    outvntIndic_pf_pj_Remetente = Column(recordset, "Indic_pf_pj_Remetente");
    outvntCGC_CPF_Remetente = CnpjOrCpf(recordset, "pj_cgc_remetente", "pf_cpf_remetente");
    trap.Step(5110);
    outvntEnd_Destinatario_id = Column(recordset, "End_Destinatario_id");
    outvntDestinatario = Column(recordset, "destinatario");
    outvntEnd_Destinatario = Column(recordset, "end_destinatario");
    outvntDestinatario_id = Column(recordset, "destinatario_id");
    outvntMunicipio_Destinatario = Column(recordset, "municipio_destinatario");
    outvntTelefone_Destinatario = Column(recordset, "telefone_destinatario");
    outvntIndic_pf_pj_Destinatario = Column(recordset, "Indic_pf_pj_Destinatario");
    outvntCGC_CPF_Destinatario = CnpjOrCpf(recordset, "pj_cgc_destinatario", "pf_cpf_destinatario");
    trap.Step(5120);
    outvntEnd_Remetente_id = Column(recordset, "End_Remetente_id");
    outvntRemetente_id = Column(recordset, "remetente_id");
    outvntOrigem_id = Column(recordset, "origem_id");
    outvntOrigem = Column(recordset, "origem");
    outvntDestino = Column(recordset, "destino");
    outvntDestino_id = Column(recordset, "destino_Id");
    trap.Step(5130);
    outvntPeso_Real = gFormata_Valor(recordset.Field("peso_real"), "");
    outvntVal_Declarado = gFormata_Valor(recordset.Field("val_declarado"), "");
    trap.Step(5140);
    outvntPonto_Operacao_destino_id = Column(recordset, "ponto_operacao_destino_id");
    outvntTab_sit_entrega_id = Column(recordset, "tab_sit_entrega_id");
    outvntTab_Tipo_Despacho_id = Column(recordset, "tab_tipo_despacho_id");
    outvntNum_Volume = Column(recordset, "num_volume");
    outvntTab_Tipo_Docto_Transp_id = Column(recordset, "Tab_Tipo_Docto_Transp_id");
    trap.Step(5150);
    recordset.Close();
    trap.Step(5160);
    Variant connection_text = connection;
    if (Differs(gTrata_Numero(outvntCliente_id), 0)) {
      trap.Step(5170);
      if (!mBusca_Cliente(invntBanco_Dados, connection_text, invntUsuario_internet_id,
                          outvntCliente_id, outvntCliente, outvntCgc_Cpf_Cliente,
                          outvntIndic_pf_pj_Cliente, outvntMsg_Ret)) {
        return result;
      }
    }
    trap.Step(5180);
    if (!mConsulta_Nota_Fiscal(invntBanco_Dados, connection_text, invntUsuario_internet_id,
                               invntEmpresa_id, invntGrupo_Empresa_id, invntDocto_Transporte_id,
                               outvntQtde_Notas, outarrvntNota_Fiscal, outarrvntConteudo,
                               outarrvntNum_Volume, outarrvntVal_Declarado, outvntMsg_Ret)) {
      return result;
    }
    trap.Step(5190);
    result = Variant::Integer(kResultDone);
  } catch (...) {
    trap.Handle(outvntMsg_Ret, invntBanco_Dados, vntConecta_db, invntUsuario_internet_id);
  }
  return result;
}

bool CNH::mTrataSP_TMX_CON_CAD_DOCTO_TRANSPORTE4(const std::string& kind,
                                                 const std::string& connection, int32_t& document,
                                                 int32_t& company, std::string& sql,
                                                 Variant& message, const Variant& user) {
  return ComposeStatement(
      "mTrataSP_TMX_CON_CAD_DOCTO_TRANSPORTE4", kind, connection, user, message, sql,
      [&](MethodTrap& trap) {
        trap.Step(5210);
        std::string& s = trap.sql();
        for (const char* item :
             {" SELECT DOC.EMPRESA_ID , ", " DOC.NUM_DOCTO_TRANSPORTE , ",
              " DOC.PONTO_OPERACAO_ID , ", " DOC.TAB_TIPO_COBRANCA_ID , ", " DOC.CLIENTE_ID , ",
              " DOC.DATA_EMISSAO , ", " REM.NOME REMETENTE , ", " REM.ENDERECO END_REMETENTE , ",
              " REM.PJ_CGC PJ_CGC_REMETENTE , ", " REM.PF_CPF PF_CPF_REMETENTE , ",
              " REM.MUNICIPIO MUNICIPIO_REMETENTE , ",
              " REM.INDICATIVO_PF_PJ INDIC_PF_PJ_REMETENTE , ", " REM.PESSOA_ID REMETENTE_ID , ",
              " REM.TELEFONE TELEFONE_REMETENTE , ", " DOC.END_DESTINATARIO_ID , ",
              " DES.NOME DESTINATARIO , ", " DES.ENDERECO END_DESTINATARIO , ",
              " DES.PJ_CGC PJ_CGC_DESTINATARIO , ", " DES.PF_CPF PF_CPF_DESTINATARIO , ",
              " DES.INDICATIVO_PF_PJ INDIC_PF_PJ_DESTINATARIO , ",
              " DES.MUNICIPIO MUNICIPIO_DESTINATARIO , ", " DES.PESSOA_ID DESTINATARIO_ID , ",
              " DES.TELEFONE TELEFONE_DESTINATARIO , ", " DOC.END_REMETENTE_ID , ",
              " DOC.ORIGEM_ID , ", " ORI.MUNICIPIO ORIGEM , ", " DET.MUNICIPIO DESTINO , ",
              " DOC.DESTINO_ID , ", " DOC.PESO_REAL , ", " DOC.VAL_DECLARADO , ",
              " DOC.PONTO_OPERACAO_DESTINO_ID , ", " DOC.TAB_TIPO_DESPACHO_ID , ",
              " DOC.TAB_SIT_ENTREGA_ID , ", " DOC.NUM_VOLUME ",
              // The document type, which the reader wants too.
              " , DOC.TAB_TIPO_DOCTO_TRANSP_ID "}) {
          s += item;
        }
        trap.Step(5220);
        s += DocumentJoins();
        trap.Step(5230);
        s += " AND DOC.DOCTO_TRANSPORTE_ID =  " + ToText(gTrata_Numero(Variant::Long(document))) +
             " ";
        s += " AND DOC.EMPRESA_ID =  " + ToText(gTrata_Numero(Variant::Long(company))) + " ";
        s += " AND DOC.TAB_STATUS_ID = 1 ";
        s += " AND DOC.TAB_TIPO_DOCTO_TRANSP_ID = 1 ";
      });
}

}  // namespace tmxcnh
