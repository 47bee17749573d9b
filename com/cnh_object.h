// An object of the class CNH as COM sees it: reference counted, IDispatch
// served from the type library that the DLL carries, and every method a
// bridge between the caller's VARIANTs and the component's Variants. A method
// returns a failing status only when the bridge itself cannot do its part (a
// parameter of a type that has no Variant form, no memory); the component's
// own failures are in its result and message, as for any caller.
#pragma once

#include <atomic>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "com/cnh_interface.h"
#include "com/routed_cnh.h"
#include "component/method_table.h"

namespace tmxcnh::com {

class CnhObject final : public CnhInterface {
 public:
  // Counted as a live object until destroyed; holds one reference.
  CnhObject();
  CnhObject(const CnhObject&) = delete;
  CnhObject& operator=(const CnhObject&) = delete;

  // IUnknown: _CNH, IDispatch and IUnknown.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch, from the type library's description of _CNH.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argument_error) override;

  // _CNH: the public methods.
  HRESULT STDMETHODCALLTYPE gConsulta_Cliente_Docto_Transp(
      VARIANT* invntBanco_Dados, VARIANT* vntConecta_db, VARIANT* invntUsuario_internet_id,
      VARIANT* invntEmpresa_id, VARIANT* invntGrupo_Empresa_id, VARIANT* invntPessoa_id,
      VARIANT* invntNum_Docto_Transporte, VARIANT* outvntMsg_Ret, VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE gSoma_Nota_Fiscal(VARIANT* invntUsuario_internet_id,
                                              VARIANT* invntQtde_Notas,
                                              VARIANT* inarrvntVal_Declarado,
                                              VARIANT* outvntValor_Total_NF, VARIANT* outvntMsg_Ret,
                                              VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE gBusca_Data_Dia(VARIANT* invntBanco_Dados, VARIANT* vntConecta_db,
                                            VARIANT* invntUsuario_internet_id,
                                            VARIANT* invntEmpresa_id,
                                            VARIANT* invntGrupo_Empresa_id, VARIANT* outvntData_Dia,
                                            VARIANT* outvntMsg_Ret, VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE gBusca_Empresa_Filial(VARIANT* invntBanco_Dados, VARIANT* vntConecta_db,
                                                  VARIANT* invntUsuario_internet_id,
                                                  VARIANT* invntPonto_Operacao_id,
                                                  VARIANT* outvntEmpresa_id, VARIANT* outvntMsg_Ret,
                                                  VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE gBusca_Lista_Docto_Transporte(
      VARIANT* invntBanco_Dados, VARIANT* vntConecta_db, VARIANT* invntUsuario_internet_id,
      VARIANT* invntEmpresa_id, VARIANT* invntGrupo_Empresa_id, VARIANT* invntNum_Docto_Transporte,
      VARIANT* invntData_ini, VARIANT* invntData_Fim, VARIANT* outarrvntDocto_Transporte_id,
      VARIANT* outarrvntNum_Docto_Transporte, VARIANT* outarrvntRemetente,
      VARIANT* outvntDestinatario, VARIANT* outarrvntOrigem, VARIANT* outarrvntDestino,
      VARIANT* outvntQtde_Docto, VARIANT* outarrvntTab_Tipo_Docto_Transp, VARIANT* outvntMsg_Ret,
      VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE gConsulta_Docto_Transporte(
      VARIANT* invntBanco_Dados, VARIANT* vntConecta_db, VARIANT* invntUsuario_internet_id,
      VARIANT* invntEmpresa_id, VARIANT* invntGrupo_Empresa_id, VARIANT* outvntNum_Docto_Transporte,
      VARIANT* outvntEmpresa_id, VARIANT* invntDocto_Transporte_id,
      VARIANT* outvntPonto_Operacao_id, VARIANT* outvntTab_Tipo_Cobranca_id,
      VARIANT* outvntCliente_id, VARIANT* outvntCliente, VARIANT* outvntCgc_Cpf_Cliente,
      VARIANT* outvntIndic_pf_pj_Cliente, VARIANT* outvntRemetente, VARIANT* outvntEnd_Remetente,
      VARIANT* outvntMunicipio_Remetente, VARIANT* outvntTelefone_Remetente,
      VARIANT* outvntCGC_CPF_Remetente, VARIANT* outvntIndic_pf_pj_Remetente,
      VARIANT* outvntEnd_Destinatario_id, VARIANT* outvntDestinatario,
      VARIANT* outvntEnd_Destinatario, VARIANT* outvntMunicipio_Destinatario,
      VARIANT* outvntTelefone_Destinatario, VARIANT* outvntCGC_CPF_Destinatario,
      VARIANT* outvntIndic_pf_pj_Destinatario, VARIANT* outvntEnd_Remetente_id,
      VARIANT* outvntOrigem_id, VARIANT* outvntOrigem, VARIANT* outvntDestino,
      VARIANT* outvntDestino_id, VARIANT* outvntPeso_Real, VARIANT* outvntVal_Declarado,
      VARIANT* outvntData_Emissao, VARIANT* outvntQtde_Notas, VARIANT* outarrvntNota_Fiscal,
      VARIANT* outvntRemetente_id, VARIANT* outvntDestinatario_id,
      VARIANT* outvntPonto_Operacao_destino_id, VARIANT* outvntTab_sit_entrega_id,
      VARIANT* outvntTab_Tipo_Despacho_id, VARIANT* outarrvntConteudo, VARIANT* outarrvntNum_Volume,
      VARIANT* outarrvntVal_Declarado, VARIANT* outvntNum_Volume,
      VARIANT* outvntTab_Tipo_Docto_Transp_id, VARIANT* outvntMsg_Ret, VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE gExclui_Docto_Transporte(
      VARIANT* invntBanco_Dados, VARIANT* vntConecta_db, VARIANT* invntUsuario_internet_id,
      VARIANT* invntEmpresa_id, VARIANT* invntGrupo_Empresa_id, VARIANT* invntDocto_Transporte_id,
      VARIANT* outvntMsg_Ret, VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE gInclui_Docto_Transporte(
      VARIANT* invntBanco_Dados, VARIANT* vntConecta_db, VARIANT* invntUsuario_internet_id,
      VARIANT* invntEmpresa_id, VARIANT* invntGrupo_Empresa_id, VARIANT* invntNum_Docto_Transporte,
      VARIANT* invntPonto_Operacao_id, VARIANT* invntTab_Tipo_Cobranca_id, VARIANT* invntCliente_id,
      VARIANT* invntEnd_Cliente_id, VARIANT* invntEnd_Destinatario_id,
      VARIANT* invntEnd_Remetente_id, VARIANT* invntOrigem_id, VARIANT* invntDestino_id,
      VARIANT* invntPeso_Real, VARIANT* invntVal_Declarado, VARIANT* invntData_Emissao,
      VARIANT* inarrvntNota_fiscal, VARIANT* invntQtde_Notas, VARIANT* outvntDocto_Transporte_id,
      VARIANT* invntPonto_Operacao_Destino_id, VARIANT* invnttab_tipo_despacho_id,
      VARIANT* invnttab_sit_entrega_id, VARIANT* inarrvntConteudo, VARIANT* inarrvntVal_Declarado,
      VARIANT* inarrvntNum_Volume, VARIANT* invntNum_Volume, VARIANT* invntTab_Tipo_Docto_Transp_id,
      VARIANT* outvntMsg_Ret, VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE gAltera_Docto_Transporte(
      VARIANT* invntBanco_Dados, VARIANT* vntConecta_db, VARIANT* invntUsuario_internet_id,
      VARIANT* invntEmpresa_id, VARIANT* invntGrupo_Empresa_id, VARIANT* invntNum_Docto_Transporte,
      VARIANT* invntPonto_Operacao_id, VARIANT* invntTab_Tipo_Cobranca_id, VARIANT* invntCliente_id,
      VARIANT* invntEnd_Cliente_id, VARIANT* invntEnd_Destinatario_id,
      VARIANT* invntEnd_Remetente_id, VARIANT* invntOrigem_id, VARIANT* invntDestino_id,
      VARIANT* invntPeso_Real, VARIANT* invntVal_Declarado, VARIANT* invntData_Emissao,
      VARIANT* inarrvntNota_fiscal, VARIANT* invntQtde_Notas, VARIANT* invntDocto_Transporte_id,
      VARIANT* invntPonto_Operacao_Destino_id, VARIANT* invnttab_tipo_despacho_id,
      VARIANT* inarrvntConteudo, VARIANT* inarrvntVal_Declarado, VARIANT* inarrvntNum_Volume,
      VARIANT* invntNum_Volume, VARIANT* invntTab_Tipo_Docto_Transp_id, VARIANT* outvntMsg_Ret,
      VARIANT* result) override;
  HRESULT STDMETHODCALLTYPE mBusca_Cliente(VARIANT* invntBanco_Dados, VARIANT* vntConecta_db,
                                           VARIANT* invntUsuario_internet_id,
                                           VARIANT* invntCliente_id, VARIANT* outvntCliente,
                                           VARIANT* outvntCgc_Cpf_Cliente,
                                           VARIANT* outvntIndic_pf_pj_Cliente,
                                           VARIANT* outvntMsg_Ret, VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE mConsiste_Campos(
      VARIANT* invntBanco_Dados, VARIANT* vntConecta_db, VARIANT* invntUsuario_internet_id,
      VARIANT* invntEmpresa_id, VARIANT* invntGrupo_Empresa_id, VARIANT* invntNum_Docto_Transporte,
      VARIANT* invntPonto_Operacao_id, VARIANT* invntTab_Tipo_Cobranca_id,
      VARIANT* invntEnd_Remetente_id, VARIANT* invntEnd_Destinatario_id, VARIANT* invntCliente_id,
      VARIANT* invntOrigem_id, VARIANT* invntDestino_id, VARIANT* invntPeso_Total,
      VARIANT* invntNum_Volume, VARIANT* invntValor_Declarado, VARIANT* invntQtde_Notas,
      VARIANT* invntData_Emissao, VARIANT* invntDocto_Transporte_id,
      VARIANT* invntPonto_Operacao_Destino_id, VARIANT* invnttab_tipo_despacho_id,
      VARIANT* invntTab_Tipo_Docto_Transp_id, VARIANT* outvntMsg_Ret,
      VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE mConsulta_Nota_Fiscal(
      VARIANT* invntBanco_Dados, VARIANT* vntConecta_db, VARIANT* invntUsuario_internet_id,
      VARIANT* invntEmpresa_id, VARIANT* invntGrupo_Empresa_id, VARIANT* invntDocto_Transporte_id,
      VARIANT* outvntQtde_Notas, VARIANT* outarrvntNota_Fiscal, VARIANT* outarrvntConteudo,
      VARIANT* outarrvntNum_Volume, VARIANT* outarrvntVal_Declarado, VARIANT* outvntMsg_Ret,
      VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE mGrava_Nota_fiscal(
      VARIANT* invntBanco_Dados, VARIANT* vntConecta_db, VARIANT* invntUsuario_internet_id,
      VARIANT* invntEmpresa_id, VARIANT* invntDocto_Transporte_id, VARIANT* invntQtde_Notas,
      VARIANT* inarrvntNota_fiscal, VARIANT* inarrvntConteudo, VARIANT* inarrvntVal_Declarado,
      VARIANT* inarrvntNum_Volume, VARIANT* outvntMsg_Ret, VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE mVerifica_Dupli_Num_Docto(
      VARIANT* invntBanco_Dados, VARIANT* vntConecta_db, VARIANT* invntUsuario_internet_id,
      VARIANT* invntEmpresa_id, VARIANT* invntGrupo_Empresa_id, VARIANT* invntNum_Docto_Transporte,
      VARIANT* invntPonto_Operacao_id, VARIANT* invntDocto_Transporte_id,
      VARIANT* invntTab_Tipo_Docto_Transp_id, VARIANT* outvntMsg_Ret,
      VARIANT_BOOL* result) override;

  // The emulations of the stored procedures.
  HRESULT STDMETHODCALLTYPE mTrataSP_TMX_CON_DATA_SERVIDOR(BSTR kind, BSTR connection, BSTR* sql,
                                                           VARIANT* message, VARIANT* user,
                                                           VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE mTrataSP_TMX_CON_EMPRESA_OP(BSTR kind, BSTR connection, LONG* branch,
                                                        BSTR* sql, VARIANT* message, VARIANT* user,
                                                        VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE mTrataSP_TMX_CON_LISTA_DOCTO_TRANSP(BSTR kind, BSTR connection,
                                                                LONG* number, BSTR start, BSTR end,
                                                                LONG* company, BSTR* sql,
                                                                VARIANT* message, VARIANT* user,
                                                                VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE mTrataSP_TMX_CON_CAD_DOCTO_TRANSPORTE4(BSTR kind, BSTR connection,
                                                                   LONG* document, LONG* company,
                                                                   BSTR* sql, VARIANT* message,
                                                                   VARIANT* user,
                                                                   VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE mTrataSP_TMX_EXC_CAD_DOCTO_TRANSPORTE(BSTR kind, BSTR connection,
                                                                  LONG* document, BSTR* sql,
                                                                  VARIANT* message, VARIANT* user,
                                                                  VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE mTrataSP_TMX_INC_DOCTO_TRANSPORTE3(
      BSTR kind, BSTR connection, LONG* company, LONG* number, LONG* branch, LONG* charging,
      LONG* client, LONG* recipient, LONG* sender, LONG* origin, LONG* destination, DOUBLE* weight,
      DOUBLE* value, BSTR issued, LONG* destination_branch, LONG* dispatch, LONG* delivery,
      LONG* volumes, BSTR* sql, VARIANT* message, VARIANT* user, VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE mTrataSP_TMX_ALT_CAD_DOCTO_TRANSPORTE3(
      BSTR kind, BSTR connection, LONG* document, LONG* company, LONG* number, LONG* branch,
      LONG* charging, LONG* client, LONG* recipient, LONG* sender, LONG* origin, LONG* destination,
      DOUBLE* weight, DOUBLE* value, BSTR issued, LONG* destination_branch, LONG* dispatch,
      LONG* volumes, BSTR* sql, VARIANT* message, VARIANT* user, VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE mTrataSP_TMX_CON_CLIENTE_DOCTO_TRANSP(BSTR kind, BSTR connection,
                                                                  LONG* client, BSTR* sql,
                                                                  VARIANT* message, VARIANT* user,
                                                                  VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE mTrataSP_TMX_CON_NF_CONHEC2(BSTR kind, BSTR connection, LONG* company,
                                                        LONG* document, BSTR* sql, VARIANT* message,
                                                        VARIANT* user,
                                                        VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE mTrataSP_TMX_EXC_NF_CONHEC2(BSTR kind, BSTR connection, LONG* document,
                                                        LONG* user_id, BSTR* sql, VARIANT* message,
                                                        VARIANT* user,
                                                        VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE mTrataSP_TMX_INC_NF_CONHEC2(BSTR kind, BSTR connection, LONG* company,
                                                        BSTR invoice, BSTR contents, DOUBLE* value,
                                                        LONG* volumes, LONG* document, BSTR* sql,
                                                        VARIANT* message, VARIANT* user,
                                                        VARIANT_BOOL* result) override;
  HRESULT STDMETHODCALLTYPE mTrataSP_TMX_VER_DUPL_NUM_DOCTO(BSTR kind, BSTR connection,
                                                            LONG* number, LONG* branch,
                                                            LONG* document, BSTR* sql,
                                                            VARIANT* message, VARIANT* user,
                                                            VARIANT_BOOL* result) override;

 private:
  using Arguments = std::vector<Variant>;

  ~CnhObject();

  // Loads the two views of _CNH from the DLL's own type library, once.
  HRESULT LoadTypeInfo();

  // A g-method: the component's method of that name through the method table.
  HRESULT CallVariantMethod(std::string_view name, std::initializer_list<VARIANT*> parameters,
                            VARIANT* result);
  // An m-method: body runs the class's own method (not the routed one, which
  // would come back here).
  HRESULT CallBooleanMethod(std::string_view name, std::initializer_list<VARIANT*> parameters,
                            const std::function<bool(Arguments&)>& body, VARIANT_BOOL* result);
  // Reads the parameters, runs body, writes back the parameters it changed.
  // A parameter the bridge cannot read (the method does not run), or a value
  // that cannot go back into the caller's typed variable, is no COM error:
  // *refused is set and the message (the last parameter) says which.
  HRESULT CallMethod(const PublicMethod& method, std::initializer_list<VARIANT*> parameters,
                     const std::function<void(Arguments&)>& body, bool* refused);
  // An emulation: the SQL text and the message go back, the SQL text always,
  // the message when the emulation wrote it.
  HRESULT CallEmulation(BSTR* sql, VARIANT* message, VARIANT* user, VARIANT_BOOL* result,
                        const std::function<bool(std::string&, Variant&, const Variant&)>& body);

  std::atomic<ULONG> references_{1};
  RoutedCnh engine_{this};
  ITypeInfo* dispatch_info_ = nullptr;   // TKIND_DISPATCH: what GetTypeInfo hands out
  ITypeInfo* interface_info_ = nullptr;  // TKIND_INTERFACE: names and calls by slot
};

}  // namespace tmxcnh::com
