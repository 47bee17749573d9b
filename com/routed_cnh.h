// The component's class as a COM object runs it: the methods that other
// methods call (mBusca_Cliente, mConsulta_Nota_Fiscal, mConsiste_Campos,
// mVerifica_Dupli_Num_Docto, mGrava_Nota_fiscal and the 12 emulations) go out
// through the object's own virtual table and come back in as any caller's
// call would. A failing call status raises a run-time error in the calling
// method, whose error trap handles it.
#pragma once

#include "com/cnh_interface.h"
#include "component/cnh.h"

namespace tmxcnh::com {

class CnhObject;

class RoutedCnh : public CNH {
 public:
  // self: the COM object whose table the calls go through; it owns this one.
  explicit RoutedCnh(CnhInterface* self) : self_(self) {}

  bool mBusca_Cliente(Variant& invntBanco_Dados, Variant& vntConecta_db,
                      Variant& invntUsuario_internet_id, Variant& invntCliente_id,
                      Variant& outvntCliente, Variant& outvntCgc_Cpf_Cliente,
                      Variant& outvntIndic_pf_pj_Cliente, Variant& outvntMsg_Ret) override;
  bool mConsiste_Campos(Variant& invntBanco_Dados, Variant& vntConecta_db,
                        Variant& invntUsuario_internet_id, Variant& invntEmpresa_id,
                        Variant& invntGrupo_Empresa_id, Variant& invntNum_Docto_Transporte,
                        Variant& invntPonto_Operacao_id, Variant& invntTab_Tipo_Cobranca_id,
                        Variant& invntEnd_Remetente_id, Variant& invntEnd_Destinatario_id,
                        Variant& invntCliente_id, Variant& invntOrigem_id, Variant& invntDestino_id,
                        Variant& invntPeso_Total, Variant& invntNum_Volume,
                        Variant& invntValor_Declarado, Variant& invntQtde_Notas,
                        Variant& invntData_Emissao, Variant& invntDocto_Transporte_id,
                        Variant& invntPonto_Operacao_Destino_id, Variant& invnttab_tipo_despacho_id,
                        Variant& invntTab_Tipo_Docto_Transp_id, Variant& outvntMsg_Ret) override;
  bool mConsulta_Nota_Fiscal(Variant& invntBanco_Dados, Variant& vntConecta_db,
                             Variant& invntUsuario_internet_id, Variant& invntEmpresa_id,
                             Variant& invntGrupo_Empresa_id, Variant& invntDocto_Transporte_id,
                             Variant& outvntQtde_Notas, Variant& outarrvntNota_Fiscal,
                             Variant& outarrvntConteudo, Variant& outarrvntNum_Volume,
                             Variant& outarrvntVal_Declarado, Variant& outvntMsg_Ret) override;
  bool mGrava_Nota_fiscal(Variant& invntBanco_Dados, Variant& vntConecta_db,
                          Variant& invntUsuario_internet_id, Variant& invntEmpresa_id,
                          Variant& invntDocto_Transporte_id, Variant& invntQtde_Notas,
                          Variant& inarrvntNota_fiscal, Variant& inarrvntConteudo,
                          Variant& inarrvntVal_Declarado, Variant& inarrvntNum_Volume,
                          Variant& outvntMsg_Ret) override;
  bool mVerifica_Dupli_Num_Docto(Variant& invntBanco_Dados, Variant& vntConecta_db,
                                 Variant& invntUsuario_internet_id, Variant& invntEmpresa_id,
                                 Variant& invntGrupo_Empresa_id, Variant& invntNum_Docto_Transporte,
                                 Variant& invntPonto_Operacao_id, Variant& invntDocto_Transporte_id,
                                 Variant& invntTab_Tipo_Docto_Transp_id,
                                 Variant& outvntMsg_Ret) override;

 protected:
  bool mTrataSP_TMX_CON_DATA_SERVIDOR(const std::string& kind, const std::string& connection,
                                      std::string& sql, Variant& message,
                                      const Variant& user) override;
  bool mTrataSP_TMX_CON_EMPRESA_OP(const std::string& kind, const std::string& connection,
                                   int32_t& branch, std::string& sql, Variant& message,
                                   const Variant& user) override;
  bool mTrataSP_TMX_CON_LISTA_DOCTO_TRANSP(const std::string& kind, const std::string& connection,
                                           int32_t& number, const std::string& start,
                                           const std::string& end, int32_t& company,
                                           std::string& sql, Variant& message,
                                           const Variant& user) override;
  bool mTrataSP_TMX_CON_CAD_DOCTO_TRANSPORTE4(const std::string& kind,
                                              const std::string& connection, int32_t& document,
                                              int32_t& company, std::string& sql, Variant& message,
                                              const Variant& user) override;
  bool mTrataSP_TMX_EXC_CAD_DOCTO_TRANSPORTE(const std::string& kind, const std::string& connection,
                                             int32_t& document, std::string& sql, Variant& message,
                                             const Variant& user) override;
  bool mTrataSP_TMX_INC_DOCTO_TRANSPORTE3(const std::string& kind, const std::string& connection,
                                          int32_t& company, int32_t& number, int32_t& branch,
                                          int32_t& charging, int32_t& client, int32_t& recipient,
                                          int32_t& sender, int32_t& origin, int32_t& destination,
                                          double& weight, double& value, const std::string& issued,
                                          int32_t& destination_branch, int32_t& dispatch,
                                          int32_t& delivery, int32_t& volumes, std::string& sql,
                                          Variant& message, const Variant& user) override;
  bool mTrataSP_TMX_ALT_CAD_DOCTO_TRANSPORTE3(
      const std::string& kind, const std::string& connection, int32_t& document, int32_t& company,
      int32_t& number, int32_t& branch, int32_t& charging, int32_t& client, int32_t& recipient,
      int32_t& sender, int32_t& origin, int32_t& destination, double& weight, double& value,
      const std::string& issued, int32_t& destination_branch, int32_t& dispatch, int32_t& volumes,
      std::string& sql, Variant& message, const Variant& user) override;
  bool mTrataSP_TMX_CON_CLIENTE_DOCTO_TRANSP(const std::string& kind, const std::string& connection,
                                             int32_t& client, std::string& sql, Variant& message,
                                             const Variant& user) override;
  bool mTrataSP_TMX_CON_NF_CONHEC2(const std::string& kind, const std::string& connection,
                                   int32_t& company, int32_t& document, std::string& sql,
                                   Variant& message, const Variant& user) override;
  bool mTrataSP_TMX_EXC_NF_CONHEC2(const std::string& kind, const std::string& connection,
                                   int32_t& document, int32_t& user, std::string& sql,
                                   Variant& message, const Variant& user_text) override;
  bool mTrataSP_TMX_INC_NF_CONHEC2(const std::string& kind, const std::string& connection,
                                   int32_t& company, const std::string& invoice,
                                   const std::string& contents, double& value, int32_t& volumes,
                                   int32_t& document, std::string& sql, Variant& message,
                                   const Variant& user) override;
  bool mTrataSP_TMX_VER_DUPL_NUM_DOCTO(const std::string& kind, const std::string& connection,
                                       int32_t& number, int32_t& branch, int32_t& document,
                                       std::string& sql, Variant& message,
                                       const Variant& user) override;

 private:
  // The COM object runs the class's own bodies (CNH::...) for the calls
  // that arrive through the interface.
  friend class CnhObject;

  CnhInterface* self_;
};

}  // namespace tmxcnh::com
