// CNH: the business component's one class. Each public method takes the
// values of one screen as Variants by reference, checks them, composes SQL,
// runs it on the database the caller names and copies the columns back. It
// reports through its result (10 until the work is done, then 0; False and
// True for the Boolean methods) and the message out-parameter, never by an
// error.
//
// The database kind decides the SQL: "ORACLE" asks the private emulation of
// the stored procedure (mTrataSP_<procedure>) for inline SQL; any other value
// sends `exec <procedure> ...`. Methods call each other through this class's
// own (virtual) interface, so a derived object sees every such call.
#pragma once

#include <cstdint>
#include <string>

#include "platform/variant.h"

namespace tmxcnh {

class CNH {
 public:
  CNH() = default;
  virtual ~CNH() = default;
  CNH(const CNH&) = delete;
  CNH& operator=(const CNH&) = delete;

  // Whether the document with a number belongs to the client (result 0) or not (10).
  virtual Variant gConsulta_Cliente_Docto_Transp(
      Variant& invntBanco_Dados, Variant& vntConecta_db, Variant& invntUsuario_internet_id,
      Variant& invntEmpresa_id, Variant& invntGrupo_Empresa_id, Variant& invntPessoa_id,
      Variant& invntNum_Docto_Transporte, Variant& outvntMsg_Ret);

  // Checks the declared values typed for a document's invoices and totals them
  // (in outvntValor_Total_NF, which holds the running total).
  virtual Variant gSoma_Nota_Fiscal(Variant& invntUsuario_internet_id, Variant& invntQtde_Notas,
                                    Variant& inarrvntVal_Declarado, Variant& outvntValor_Total_NF,
                                    Variant& outvntMsg_Ret);

  // The database server's date as dd/mm/yyyy in outvntData_Dia.
  virtual Variant gBusca_Data_Dia(Variant& invntBanco_Dados, Variant& vntConecta_db,
                                  Variant& invntUsuario_internet_id, Variant& invntEmpresa_id,
                                  Variant& invntGrupo_Empresa_id, Variant& outvntData_Dia,
                                  Variant& outvntMsg_Ret);

  // The company that owns a branch, in outvntEmpresa_id.
  virtual Variant gBusca_Empresa_Filial(Variant& invntBanco_Dados, Variant& vntConecta_db,
                                        Variant& invntUsuario_internet_id,
                                        Variant& invntPonto_Operacao_id, Variant& outvntEmpresa_id,
                                        Variant& outvntMsg_Ret);

  // A company's documents by number or by a range of issue dates, as parallel arrays.
  virtual Variant gBusca_Lista_Docto_Transporte(
      Variant& invntBanco_Dados, Variant& vntConecta_db, Variant& invntUsuario_internet_id,
      Variant& invntEmpresa_id, Variant& invntGrupo_Empresa_id, Variant& invntNum_Docto_Transporte,
      Variant& invntData_ini, Variant& invntData_Fim, Variant& outarrvntDocto_Transporte_id,
      Variant& outarrvntNum_Docto_Transporte, Variant& outarrvntRemetente,
      Variant& outvntDestinatario, Variant& outarrvntOrigem, Variant& outarrvntDestino,
      Variant& outvntQtde_Docto, Variant& outarrvntTab_Tipo_Docto_Transp, Variant& outvntMsg_Ret);

  // One document in full, with its client and its invoices.
  virtual Variant gConsulta_Docto_Transporte(
      Variant& invntBanco_Dados, Variant& vntConecta_db, Variant& invntUsuario_internet_id,
      Variant& invntEmpresa_id, Variant& invntGrupo_Empresa_id, Variant& outvntNum_Docto_Transporte,
      Variant& outvntEmpresa_id, Variant& invntDocto_Transporte_id,
      Variant& outvntPonto_Operacao_id, Variant& outvntTab_Tipo_Cobranca_id,
      Variant& outvntCliente_id, Variant& outvntCliente, Variant& outvntCgc_Cpf_Cliente,
      Variant& outvntIndic_pf_pj_Cliente, Variant& outvntRemetente, Variant& outvntEnd_Remetente,
      Variant& outvntMunicipio_Remetente, Variant& outvntTelefone_Remetente,
      Variant& outvntCGC_CPF_Remetente, Variant& outvntIndic_pf_pj_Remetente,
      Variant& outvntEnd_Destinatario_id, Variant& outvntDestinatario,
      Variant& outvntEnd_Destinatario, Variant& outvntMunicipio_Destinatario,
      Variant& outvntTelefone_Destinatario, Variant& outvntCGC_CPF_Destinatario,
      Variant& outvntIndic_pf_pj_Destinatario, Variant& outvntEnd_Remetente_id,
      Variant& outvntOrigem_id, Variant& outvntOrigem, Variant& outvntDestino,
      Variant& outvntDestino_id, Variant& outvntPeso_Real, Variant& outvntVal_Declarado,
      Variant& outvntData_Emissao, Variant& outvntQtde_Notas, Variant& outarrvntNota_Fiscal,
      Variant& outvntRemetente_id, Variant& outvntDestinatario_id,
      Variant& outvntPonto_Operacao_destino_id, Variant& outvntTab_sit_entrega_id,
      Variant& outvntTab_Tipo_Despacho_id, Variant& outarrvntConteudo, Variant& outarrvntNum_Volume,
      Variant& outarrvntVal_Declarado, Variant& outvntNum_Volume,
      Variant& outvntTab_Tipo_Docto_Transp_id, Variant& outvntMsg_Ret);

  // Deletes a document logically; its invoices stay as they are.
  virtual Variant gExclui_Docto_Transporte(Variant& invntBanco_Dados, Variant& vntConecta_db,
                                           Variant& invntUsuario_internet_id,
                                           Variant& invntEmpresa_id, Variant& invntGrupo_Empresa_id,
                                           Variant& invntDocto_Transporte_id,
                                           Variant& outvntMsg_Ret);

  // A new document with its invoices: 0, or 30 when the invoices were not saved.
  virtual Variant gInclui_Docto_Transporte(
      Variant& invntBanco_Dados, Variant& vntConecta_db, Variant& invntUsuario_internet_id,
      Variant& invntEmpresa_id, Variant& invntGrupo_Empresa_id, Variant& invntNum_Docto_Transporte,
      Variant& invntPonto_Operacao_id, Variant& invntTab_Tipo_Cobranca_id, Variant& invntCliente_id,
      Variant& invntEnd_Cliente_id, Variant& invntEnd_Destinatario_id,
      Variant& invntEnd_Remetente_id, Variant& invntOrigem_id, Variant& invntDestino_id,
      Variant& invntPeso_Real, Variant& invntVal_Declarado, Variant& invntData_Emissao,
      Variant& inarrvntNota_fiscal, Variant& invntQtde_Notas, Variant& outvntDocto_Transporte_id,
      Variant& invntPonto_Operacao_Destino_id, Variant& invnttab_tipo_despacho_id,
      Variant& invnttab_sit_entrega_id, Variant& inarrvntConteudo, Variant& inarrvntVal_Declarado,
      Variant& inarrvntNum_Volume, Variant& invntNum_Volume, Variant& invntTab_Tipo_Docto_Transp_id,
      Variant& outvntMsg_Ret);

  // A document rewritten with its invoices replaced: 0, or 30 when the
  // invoices were not saved.
  virtual Variant gAltera_Docto_Transporte(
      Variant& invntBanco_Dados, Variant& vntConecta_db, Variant& invntUsuario_internet_id,
      Variant& invntEmpresa_id, Variant& invntGrupo_Empresa_id, Variant& invntNum_Docto_Transporte,
      Variant& invntPonto_Operacao_id, Variant& invntTab_Tipo_Cobranca_id, Variant& invntCliente_id,
      Variant& invntEnd_Cliente_id, Variant& invntEnd_Destinatario_id,
      Variant& invntEnd_Remetente_id, Variant& invntOrigem_id, Variant& invntDestino_id,
      Variant& invntPeso_Real, Variant& invntVal_Declarado, Variant& invntData_Emissao,
      Variant& inarrvntNota_fiscal, Variant& invntQtde_Notas, Variant& invntDocto_Transporte_id,
      Variant& invntPonto_Operacao_Destino_id, Variant& invnttab_tipo_despacho_id,
      Variant& inarrvntConteudo, Variant& inarrvntVal_Declarado, Variant& inarrvntNum_Volume,
      Variant& invntNum_Volume, Variant& invntTab_Tipo_Docto_Transp_id, Variant& outvntMsg_Ret);

  // A client's name, CNPJ (or CPF) and person kind.
  virtual bool mBusca_Cliente(Variant& invntBanco_Dados, Variant& vntConecta_db,
                              Variant& invntUsuario_internet_id, Variant& invntCliente_id,
                              Variant& outvntCliente, Variant& outvntCgc_Cpf_Cliente,
                              Variant& outvntIndic_pf_pj_Cliente, Variant& outvntMsg_Ret);

  // Cleans and checks the fields of a document before it is written, ending
  // with the duplicate-number check.
  virtual bool mConsiste_Campos(
      Variant& invntBanco_Dados, Variant& vntConecta_db, Variant& invntUsuario_internet_id,
      Variant& invntEmpresa_id, Variant& invntGrupo_Empresa_id, Variant& invntNum_Docto_Transporte,
      Variant& invntPonto_Operacao_id, Variant& invntTab_Tipo_Cobranca_id,
      Variant& invntEnd_Remetente_id, Variant& invntEnd_Destinatario_id, Variant& invntCliente_id,
      Variant& invntOrigem_id, Variant& invntDestino_id, Variant& invntPeso_Total,
      Variant& invntNum_Volume, Variant& invntValor_Declarado, Variant& invntQtde_Notas,
      Variant& invntData_Emissao, Variant& invntDocto_Transporte_id,
      Variant& invntPonto_Operacao_Destino_id, Variant& invnttab_tipo_despacho_id,
      Variant& invntTab_Tipo_Docto_Transp_id, Variant& outvntMsg_Ret);

  // The live invoices of a document, as parallel arrays with their count.
  virtual bool mConsulta_Nota_Fiscal(Variant& invntBanco_Dados, Variant& vntConecta_db,
                                     Variant& invntUsuario_internet_id, Variant& invntEmpresa_id,
                                     Variant& invntGrupo_Empresa_id,
                                     Variant& invntDocto_Transporte_id, Variant& outvntQtde_Notas,
                                     Variant& outarrvntNota_Fiscal, Variant& outarrvntConteudo,
                                     Variant& outarrvntNum_Volume, Variant& outarrvntVal_Declarado,
                                     Variant& outvntMsg_Ret);

  // Replaces a document's invoices: the old ones marked deleted, each new
  // one checked and inserted.
  virtual bool mGrava_Nota_fiscal(Variant& invntBanco_Dados, Variant& vntConecta_db,
                                  Variant& invntUsuario_internet_id, Variant& invntEmpresa_id,
                                  Variant& invntDocto_Transporte_id, Variant& invntQtde_Notas,
                                  Variant& inarrvntNota_fiscal, Variant& inarrvntConteudo,
                                  Variant& inarrvntVal_Declarado, Variant& inarrvntNum_Volume,
                                  Variant& outvntMsg_Ret);

  // Whether a document number is free at its branch (True) or already used
  // by another live document there (False).
  virtual bool mVerifica_Dupli_Num_Docto(
      Variant& invntBanco_Dados, Variant& vntConecta_db, Variant& invntUsuario_internet_id,
      Variant& invntEmpresa_id, Variant& invntGrupo_Empresa_id, Variant& invntNum_Docto_Transporte,
      Variant& invntPonto_Operacao_id, Variant& invntDocto_Transporte_id,
      Variant& invntTab_Tipo_Docto_Transp_id, Variant& outvntMsg_Ret);

 protected:
  // The emulations of the stored procedures for the "ORACLE" kind. Each gets
  // the kind and connection texts (for its trap's log row), its typed inputs,
  // the SQL text to write, the caller's message and the internet user as text.
  virtual bool mTrataSP_TMX_CON_DATA_SERVIDOR(const std::string& kind,
                                              const std::string& connection, std::string& sql,
                                              Variant& message, const Variant& user);
  virtual bool mTrataSP_TMX_CON_EMPRESA_OP(const std::string& kind, const std::string& connection,
                                           int32_t& branch, std::string& sql, Variant& message,
                                           const Variant& user);
  virtual bool mTrataSP_TMX_CON_LISTA_DOCTO_TRANSP(const std::string& kind,
                                                   const std::string& connection, int32_t& number,
                                                   const std::string& start, const std::string& end,
                                                   int32_t& company, std::string& sql,
                                                   Variant& message, const Variant& user);
  virtual bool mTrataSP_TMX_CON_CAD_DOCTO_TRANSPORTE4(const std::string& kind,
                                                      const std::string& connection,
                                                      int32_t& document, int32_t& company,
                                                      std::string& sql, Variant& message,
                                                      const Variant& user);
  virtual bool mTrataSP_TMX_EXC_CAD_DOCTO_TRANSPORTE(const std::string& kind,
                                                     const std::string& connection,
                                                     int32_t& document, std::string& sql,
                                                     Variant& message, const Variant& user);
  virtual bool mTrataSP_TMX_INC_DOCTO_TRANSPORTE3(
      const std::string& kind, const std::string& connection, int32_t& company, int32_t& number,
      int32_t& branch, int32_t& charging, int32_t& client, int32_t& recipient, int32_t& sender,
      int32_t& origin, int32_t& destination, double& weight, double& value,
      const std::string& issued, int32_t& destination_branch, int32_t& dispatch, int32_t& delivery,
      int32_t& volumes, std::string& sql, Variant& message, const Variant& user);
  virtual bool mTrataSP_TMX_ALT_CAD_DOCTO_TRANSPORTE3(
      const std::string& kind, const std::string& connection, int32_t& document, int32_t& company,
      int32_t& number, int32_t& branch, int32_t& charging, int32_t& client, int32_t& recipient,
      int32_t& sender, int32_t& origin, int32_t& destination, double& weight, double& value,
      const std::string& issued, int32_t& destination_branch, int32_t& dispatch, int32_t& volumes,
      std::string& sql, Variant& message, const Variant& user);
  virtual bool mTrataSP_TMX_CON_CLIENTE_DOCTO_TRANSP(const std::string& kind,
                                                     const std::string& connection, int32_t& client,
                                                     std::string& sql, Variant& message,
                                                     const Variant& user);
  virtual bool mTrataSP_TMX_EXC_NF_CONHEC2(const std::string& kind, const std::string& connection,
                                           int32_t& document, int32_t& user, std::string& sql,
                                           Variant& message, const Variant& user_text);
  virtual bool mTrataSP_TMX_INC_NF_CONHEC2(const std::string& kind, const std::string& connection,
                                           int32_t& company, const std::string& invoice,
                                           const std::string& contents, double& value,
                                           int32_t& volumes, int32_t& document, std::string& sql,
                                           Variant& message, const Variant& user);
  virtual bool mTrataSP_TMX_VER_DUPL_NUM_DOCTO(const std::string& kind,
                                               const std::string& connection, int32_t& number,
                                               int32_t& branch, int32_t& document, std::string& sql,
                                               Variant& message, const Variant& user);
  virtual bool mTrataSP_TMX_CON_NF_CONHEC2(const std::string& kind, const std::string& connection,
                                           int32_t& company, int32_t& document, std::string& sql,
                                           Variant& message, const Variant& user);
};

}  // namespace tmxcnh
