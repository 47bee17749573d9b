#include "com/cnh_object.h"

#include <new>
#include <utility>

#include "com/module.h"
#include "com/variant_bridge.h"
#include "common/sql_values.h"
#include "component/frame.h"
#include "component/method_table.h"
#include "platform/clock.h"
#include "platform/conversions.h"
#include "platform/date_parse.h"
#include "platform/regional_settings.h"
#include "platform/run_time_error.h"

namespace tmxcnh::com {
namespace {

// A whole number by reference from the table: a LONG there, an int32_t for
// the component. What the component leaves in it goes back when the argument
// goes, after the call.
class Int32Argument {
 public:
  explicit Int32Argument(LONG* source) : source_(source), value_(source ? *source : 0) {}
  ~Int32Argument() {
    if (source_) *source_ = value_;
  }
  Int32Argument(const Int32Argument&) = delete;
  Int32Argument& operator=(const Int32Argument&) = delete;

  int32_t& get() { return value_; }

 private:
  LONG* source_;
  int32_t value_;
};

// Nothing may leave a method of the table as an exception.
template <typename Body>
HRESULT Guarded(Body body) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// What a method wrote, as the caller's typed variable of that type (a
// VT_BYREF other than to a VARIANT) holds it: read as the component reads its
// own texts (money with a comma, dates day first), not by Windows' user
// locale. So "11,50" is 11.5 and "06/12/2026" the 6th of December for a
// Visual Basic Double or Date, under the Brazilian or the US settings. Other
// types are left to the run time's conversion.
Variant ForTypedVariable(const Variant& value, const VARIANT& parameter) {
  const VARTYPE type = V_VT(&parameter);
  if ((type & VT_BYREF) == 0 || type == (VT_BYREF | VT_VARIANT)) return value;
  const Variant number = value.IsString() ? gTrata_Numero(value) : value;
  switch (type & ~VT_BYREF) {
    case VT_I2:
      return Variant::Integer(ToInteger(number));
    case VT_I4:
      return Variant::Long(ToLong(number));
    case VT_R8:
    case VT_R4:
    case VT_CY:
    case VT_UI1:
      return Variant::Double(ToDouble(number));
    case VT_DATE:
      // The component writes its dates day first ("dd/mm/yyyy") under any settings.
      if (value.IsString()) {
        if (const std::optional<double> serial =
                ParseDateText(value.string_value(), SettingsOf(Locale::kBrazil), Now().year)) {
          return Variant::Date(*serial);
        }
      }
      return Variant::Date(ToDateSerial(value));
    case VT_BSTR:
      return Variant(ToText(value));
    default:
      return value;
  }
}

}  // namespace

CnhObject::CnhObject() { ObjectCreated(); }

CnhObject::~CnhObject() {
  if (interface_info_) interface_info_->Release();
  if (dispatch_info_) dispatch_info_->Release();
  ObjectDestroyed();
}

HRESULT CnhObject::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
      IsEqualIID(iid, IID__CNH)) {
    *object = static_cast<CnhInterface*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG CnhObject::AddRef() { return ++references_; }

ULONG CnhObject::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT CnhObject::LoadTypeInfo() {
  if (interface_info_) return S_OK;
  ITypeLib* library = nullptr;
  HRESULT hr = LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &library);
  if (FAILED(hr)) return hr;
  ITypeInfo* dispatch_info = nullptr;
  hr = library->GetTypeInfoOfGuid(IID__CNH, &dispatch_info);
  library->Release();
  if (FAILED(hr)) return hr;
  // A dual interface's type info describes its dispatch side; its
  // virtual-table side is the implemented type -1.
  HREFTYPE reference = 0;
  ITypeInfo* interface_info = nullptr;
  hr = dispatch_info->GetRefTypeOfImplType(-1, &reference);
  if (SUCCEEDED(hr)) hr = dispatch_info->GetRefTypeInfo(reference, &interface_info);
  if (FAILED(hr)) {
    dispatch_info->Release();
    return hr;
  }
  dispatch_info_ = dispatch_info;
  interface_info_ = interface_info;
  return S_OK;
}

HRESULT CnhObject::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT CnhObject::GetTypeInfo(UINT index, LCID /*locale*/, ITypeInfo** info) {
  if (info == nullptr) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  const HRESULT hr = LoadTypeInfo();
  if (FAILED(hr)) return hr;
  dispatch_info_->AddRef();
  *info = dispatch_info_;
  return S_OK;
}

HRESULT CnhObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID /*locale*/,
                                 DISPID* ids) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  HRESULT hr = LoadTypeInfo();
  if (FAILED(hr)) return hr;
  hr = DispGetIDsOfNames(interface_info_, names, count, ids);
  if (FAILED(hr) || count < 2) return hr;
  // The return value has a name in the type library, but no caller passes it.
  const PublicMethod* method = FindPublicMethod(Utf8FromWide(names[0]));
  if (method == nullptr) return hr;
  for (UINT i = 1; i < count; ++i) {
    if (ids[i] >= static_cast<DISPID>(method->parameters.size())) {
      ids[i] = DISPID_UNKNOWN;
      hr = DISP_E_UNKNOWNNAME;
    }
  }
  return hr;
}

HRESULT CnhObject::Invoke(DISPID id, REFIID iid, LCID /*locale*/, WORD flags,
                          DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                          UINT* argument_error) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  const HRESULT hr = LoadTypeInfo();
  if (FAILED(hr)) return hr;
  // The call arrives in the method's slot with the caller's own by-reference
  // VARIANTs, so a script sees what the method wrote.
  return DispInvoke(static_cast<CnhInterface*>(this), interface_info_, id, flags, parameters,
                    result, exception, argument_error);
}

HRESULT CnhObject::CallMethod(const PublicMethod& method,
                              std::initializer_list<VARIANT*> parameters,
                              const std::function<void(Arguments&)>& body, bool* refused) {
  *refused = false;
  return Guarded([&] {
    const std::vector<VARIANT*> list(parameters);
    for (VARIANT* parameter : list) {
      if (parameter == nullptr) return E_POINTER;
    }
    const auto refuse = [&](const std::string& message) {
      *refused = true;
      WriteVariant(Variant(message), *list.back());  // nowhere else to tell it
      return S_OK;
    };
    Arguments arguments(list.size());
    for (size_t i = 0; i < list.size(); ++i) {
      if (FAILED(ReadVariant(*list[i], arguments[i]))) {
        return refuse("O parâmetro " + std::string(method.parameters[i]) +
                      " tem um tipo que o componente não lê.");
      }
    }
    const Arguments before = arguments;
    body(arguments);
    std::string unwritten;
    for (size_t i = 0; i < list.size(); ++i) {
      if (arguments[i] == before[i]) continue;
      HRESULT hr = S_OK;
      try {
        hr = WriteVariant(ForTypedVariable(arguments[i], *list[i]), *list[i]);
      } catch (const RunTimeError&) {
        hr = DISP_E_TYPEMISMATCH;
      }
      if (FAILED(hr) && unwritten.empty()) unwritten = std::string(method.parameters[i]);
    }
    if (!unwritten.empty()) {
      return refuse("O valor de " + unwritten + " não cabe na variável do chamador.");
    }
    return S_OK;
  });
}

HRESULT CnhObject::CallVariantMethod(std::string_view name,
                                     std::initializer_list<VARIANT*> parameters, VARIANT* result) {
  if (result == nullptr) return E_POINTER;
  VariantInit(result);
  const PublicMethod* method = FindPublicMethod(name);
  if (method == nullptr) return E_UNEXPECTED;
  Variant value;
  bool refused = false;
  const HRESULT hr = CallMethod(
      *method, parameters,
      [&](Arguments& arguments) { value = method->invoke(engine_, arguments); }, &refused);
  if (FAILED(hr)) return hr;
  if (refused) value = Variant::Integer(kResultNotDone);
  return Guarded([&] { return MakeVariant(value, *result); });
}

HRESULT CnhObject::CallBooleanMethod(std::string_view name,
                                     std::initializer_list<VARIANT*> parameters,
                                     const std::function<bool(Arguments&)>& body,
                                     VARIANT_BOOL* result) {
  if (result == nullptr) return E_POINTER;
  const PublicMethod* method = FindPublicMethod(name);
  if (method == nullptr) return E_UNEXPECTED;
  bool value = false;
  bool refused = false;
  const HRESULT hr = CallMethod(
      *method, parameters, [&](Arguments& arguments) { value = body(arguments); }, &refused);
  *result = value && !refused ? VARIANT_TRUE : VARIANT_FALSE;
  return hr;
}

HRESULT CnhObject::CallEmulation(
    BSTR* sql, VARIANT* message, VARIANT* user, VARIANT_BOOL* result,
    const std::function<bool(std::string&, Variant&, const Variant&)>& body) {
  if (sql == nullptr || message == nullptr || user == nullptr || result == nullptr) {
    return E_POINTER;
  }
  return Guarded([&] {
    Variant message_value;
    Variant user_value;
    HRESULT hr = ReadVariant(*message, message_value);
    if (SUCCEEDED(hr)) hr = ReadVariant(*user, user_value);
    if (FAILED(hr)) return hr;
    const Variant message_before = message_value;
    std::string sql_text = Utf8FromBstr(*sql);
    const bool done = body(sql_text, message_value, user_value);
    Bstr written(sql_text);
    SysFreeString(*sql);
    *sql = written.Detach();
    if (!(message_value == message_before)) hr = WriteVariant(message_value, *message);
    *result = done ? VARIANT_TRUE : VARIANT_FALSE;
    return hr;
  });
}

// The public methods: each bridges its parameters to the component's method of
// the same name.

HRESULT CnhObject::gConsulta_Cliente_Docto_Transp(
    VARIANT* invntBanco_Dados, VARIANT* vntConecta_db, VARIANT* invntUsuario_internet_id,
    VARIANT* invntEmpresa_id, VARIANT* invntGrupo_Empresa_id, VARIANT* invntPessoa_id,
    VARIANT* invntNum_Docto_Transporte, VARIANT* outvntMsg_Ret, VARIANT* result) {
  return CallVariantMethod(
      "gConsulta_Cliente_Docto_Transp",
      {invntBanco_Dados, vntConecta_db, invntUsuario_internet_id, invntEmpresa_id,
       invntGrupo_Empresa_id, invntPessoa_id, invntNum_Docto_Transporte, outvntMsg_Ret},
      result);
}

HRESULT CnhObject::gSoma_Nota_Fiscal(VARIANT* invntUsuario_internet_id, VARIANT* invntQtde_Notas,
                                     VARIANT* inarrvntVal_Declarado, VARIANT* outvntValor_Total_NF,
                                     VARIANT* outvntMsg_Ret, VARIANT* result) {
  return CallVariantMethod("gSoma_Nota_Fiscal",
                           {invntUsuario_internet_id, invntQtde_Notas, inarrvntVal_Declarado,
                            outvntValor_Total_NF, outvntMsg_Ret},
                           result);
}

HRESULT CnhObject::gBusca_Data_Dia(VARIANT* invntBanco_Dados, VARIANT* vntConecta_db,
                                   VARIANT* invntUsuario_internet_id, VARIANT* invntEmpresa_id,
                                   VARIANT* invntGrupo_Empresa_id, VARIANT* outvntData_Dia,
                                   VARIANT* outvntMsg_Ret, VARIANT* result) {
  return CallVariantMethod("gBusca_Data_Dia",
                           {invntBanco_Dados, vntConecta_db, invntUsuario_internet_id,
                            invntEmpresa_id, invntGrupo_Empresa_id, outvntData_Dia, outvntMsg_Ret},
                           result);
}

HRESULT CnhObject::gBusca_Empresa_Filial(VARIANT* invntBanco_Dados, VARIANT* vntConecta_db,
                                         VARIANT* invntUsuario_internet_id,
                                         VARIANT* invntPonto_Operacao_id, VARIANT* outvntEmpresa_id,
                                         VARIANT* outvntMsg_Ret, VARIANT* result) {
  return CallVariantMethod("gBusca_Empresa_Filial",
                           {invntBanco_Dados, vntConecta_db, invntUsuario_internet_id,
                            invntPonto_Operacao_id, outvntEmpresa_id, outvntMsg_Ret},
                           result);
}

HRESULT CnhObject::gBusca_Lista_Docto_Transporte(
    VARIANT* invntBanco_Dados, VARIANT* vntConecta_db, VARIANT* invntUsuario_internet_id,
    VARIANT* invntEmpresa_id, VARIANT* invntGrupo_Empresa_id, VARIANT* invntNum_Docto_Transporte,
    VARIANT* invntData_ini, VARIANT* invntData_Fim, VARIANT* outarrvntDocto_Transporte_id,
    VARIANT* outarrvntNum_Docto_Transporte, VARIANT* outarrvntRemetente,
    VARIANT* outvntDestinatario, VARIANT* outarrvntOrigem, VARIANT* outarrvntDestino,
    VARIANT* outvntQtde_Docto, VARIANT* outarrvntTab_Tipo_Docto_Transp, VARIANT* outvntMsg_Ret,
    VARIANT* result) {
  return CallVariantMethod(
      "gBusca_Lista_Docto_Transporte",
      {invntBanco_Dados, vntConecta_db, invntUsuario_internet_id, invntEmpresa_id,
       invntGrupo_Empresa_id, invntNum_Docto_Transporte, invntData_ini, invntData_Fim,
       outarrvntDocto_Transporte_id, outarrvntNum_Docto_Transporte, outarrvntRemetente,
       outvntDestinatario, outarrvntOrigem, outarrvntDestino, outvntQtde_Docto,
       outarrvntTab_Tipo_Docto_Transp, outvntMsg_Ret},
      result);
}

HRESULT CnhObject::gConsulta_Docto_Transporte(
    VARIANT* invntBanco_Dados, VARIANT* vntConecta_db, VARIANT* invntUsuario_internet_id,
    VARIANT* invntEmpresa_id, VARIANT* invntGrupo_Empresa_id, VARIANT* outvntNum_Docto_Transporte,
    VARIANT* outvntEmpresa_id, VARIANT* invntDocto_Transporte_id, VARIANT* outvntPonto_Operacao_id,
    VARIANT* outvntTab_Tipo_Cobranca_id, VARIANT* outvntCliente_id, VARIANT* outvntCliente,
    VARIANT* outvntCgc_Cpf_Cliente, VARIANT* outvntIndic_pf_pj_Cliente, VARIANT* outvntRemetente,
    VARIANT* outvntEnd_Remetente, VARIANT* outvntMunicipio_Remetente,
    VARIANT* outvntTelefone_Remetente, VARIANT* outvntCGC_CPF_Remetente,
    VARIANT* outvntIndic_pf_pj_Remetente, VARIANT* outvntEnd_Destinatario_id,
    VARIANT* outvntDestinatario, VARIANT* outvntEnd_Destinatario,
    VARIANT* outvntMunicipio_Destinatario, VARIANT* outvntTelefone_Destinatario,
    VARIANT* outvntCGC_CPF_Destinatario, VARIANT* outvntIndic_pf_pj_Destinatario,
    VARIANT* outvntEnd_Remetente_id, VARIANT* outvntOrigem_id, VARIANT* outvntOrigem,
    VARIANT* outvntDestino, VARIANT* outvntDestino_id, VARIANT* outvntPeso_Real,
    VARIANT* outvntVal_Declarado, VARIANT* outvntData_Emissao, VARIANT* outvntQtde_Notas,
    VARIANT* outarrvntNota_Fiscal, VARIANT* outvntRemetente_id, VARIANT* outvntDestinatario_id,
    VARIANT* outvntPonto_Operacao_destino_id, VARIANT* outvntTab_sit_entrega_id,
    VARIANT* outvntTab_Tipo_Despacho_id, VARIANT* outarrvntConteudo, VARIANT* outarrvntNum_Volume,
    VARIANT* outarrvntVal_Declarado, VARIANT* outvntNum_Volume,
    VARIANT* outvntTab_Tipo_Docto_Transp_id, VARIANT* outvntMsg_Ret, VARIANT* result) {
  return CallVariantMethod("gConsulta_Docto_Transporte",
                           {invntBanco_Dados,
                            vntConecta_db,
                            invntUsuario_internet_id,
                            invntEmpresa_id,
                            invntGrupo_Empresa_id,
                            outvntNum_Docto_Transporte,
                            outvntEmpresa_id,
                            invntDocto_Transporte_id,
                            outvntPonto_Operacao_id,
                            outvntTab_Tipo_Cobranca_id,
                            outvntCliente_id,
                            outvntCliente,
                            outvntCgc_Cpf_Cliente,
                            outvntIndic_pf_pj_Cliente,
                            outvntRemetente,
                            outvntEnd_Remetente,
                            outvntMunicipio_Remetente,
                            outvntTelefone_Remetente,
                            outvntCGC_CPF_Remetente,
                            outvntIndic_pf_pj_Remetente,
                            outvntEnd_Destinatario_id,
                            outvntDestinatario,
                            outvntEnd_Destinatario,
                            outvntMunicipio_Destinatario,
                            outvntTelefone_Destinatario,
                            outvntCGC_CPF_Destinatario,
                            outvntIndic_pf_pj_Destinatario,
                            outvntEnd_Remetente_id,
                            outvntOrigem_id,
                            outvntOrigem,
                            outvntDestino,
                            outvntDestino_id,
                            outvntPeso_Real,
                            outvntVal_Declarado,
                            outvntData_Emissao,
                            outvntQtde_Notas,
                            outarrvntNota_Fiscal,
                            outvntRemetente_id,
                            outvntDestinatario_id,
                            outvntPonto_Operacao_destino_id,
                            outvntTab_sit_entrega_id,
                            outvntTab_Tipo_Despacho_id,
                            outarrvntConteudo,
                            outarrvntNum_Volume,
                            outarrvntVal_Declarado,
                            outvntNum_Volume,
                            outvntTab_Tipo_Docto_Transp_id,
                            outvntMsg_Ret},
                           result);
}

HRESULT CnhObject::gExclui_Docto_Transporte(VARIANT* invntBanco_Dados, VARIANT* vntConecta_db,
                                            VARIANT* invntUsuario_internet_id,
                                            VARIANT* invntEmpresa_id,
                                            VARIANT* invntGrupo_Empresa_id,
                                            VARIANT* invntDocto_Transporte_id,
                                            VARIANT* outvntMsg_Ret, VARIANT* result) {
  return CallVariantMethod(
      "gExclui_Docto_Transporte",
      {invntBanco_Dados, vntConecta_db, invntUsuario_internet_id, invntEmpresa_id,
       invntGrupo_Empresa_id, invntDocto_Transporte_id, outvntMsg_Ret},
      result);
}

HRESULT CnhObject::gInclui_Docto_Transporte(
    VARIANT* invntBanco_Dados, VARIANT* vntConecta_db, VARIANT* invntUsuario_internet_id,
    VARIANT* invntEmpresa_id, VARIANT* invntGrupo_Empresa_id, VARIANT* invntNum_Docto_Transporte,
    VARIANT* invntPonto_Operacao_id, VARIANT* invntTab_Tipo_Cobranca_id, VARIANT* invntCliente_id,
    VARIANT* invntEnd_Cliente_id, VARIANT* invntEnd_Destinatario_id, VARIANT* invntEnd_Remetente_id,
    VARIANT* invntOrigem_id, VARIANT* invntDestino_id, VARIANT* invntPeso_Real,
    VARIANT* invntVal_Declarado, VARIANT* invntData_Emissao, VARIANT* inarrvntNota_fiscal,
    VARIANT* invntQtde_Notas, VARIANT* outvntDocto_Transporte_id,
    VARIANT* invntPonto_Operacao_Destino_id, VARIANT* invnttab_tipo_despacho_id,
    VARIANT* invnttab_sit_entrega_id, VARIANT* inarrvntConteudo, VARIANT* inarrvntVal_Declarado,
    VARIANT* inarrvntNum_Volume, VARIANT* invntNum_Volume, VARIANT* invntTab_Tipo_Docto_Transp_id,
    VARIANT* outvntMsg_Ret, VARIANT* result) {
  return CallVariantMethod("gInclui_Docto_Transporte",
                           {invntBanco_Dados,
                            vntConecta_db,
                            invntUsuario_internet_id,
                            invntEmpresa_id,
                            invntGrupo_Empresa_id,
                            invntNum_Docto_Transporte,
                            invntPonto_Operacao_id,
                            invntTab_Tipo_Cobranca_id,
                            invntCliente_id,
                            invntEnd_Cliente_id,
                            invntEnd_Destinatario_id,
                            invntEnd_Remetente_id,
                            invntOrigem_id,
                            invntDestino_id,
                            invntPeso_Real,
                            invntVal_Declarado,
                            invntData_Emissao,
                            inarrvntNota_fiscal,
                            invntQtde_Notas,
                            outvntDocto_Transporte_id,
                            invntPonto_Operacao_Destino_id,
                            invnttab_tipo_despacho_id,
                            invnttab_sit_entrega_id,
                            inarrvntConteudo,
                            inarrvntVal_Declarado,
                            inarrvntNum_Volume,
                            invntNum_Volume,
                            invntTab_Tipo_Docto_Transp_id,
                            outvntMsg_Ret},
                           result);
}

HRESULT CnhObject::gAltera_Docto_Transporte(
    VARIANT* invntBanco_Dados, VARIANT* vntConecta_db, VARIANT* invntUsuario_internet_id,
    VARIANT* invntEmpresa_id, VARIANT* invntGrupo_Empresa_id, VARIANT* invntNum_Docto_Transporte,
    VARIANT* invntPonto_Operacao_id, VARIANT* invntTab_Tipo_Cobranca_id, VARIANT* invntCliente_id,
    VARIANT* invntEnd_Cliente_id, VARIANT* invntEnd_Destinatario_id, VARIANT* invntEnd_Remetente_id,
    VARIANT* invntOrigem_id, VARIANT* invntDestino_id, VARIANT* invntPeso_Real,
    VARIANT* invntVal_Declarado, VARIANT* invntData_Emissao, VARIANT* inarrvntNota_fiscal,
    VARIANT* invntQtde_Notas, VARIANT* invntDocto_Transporte_id,
    VARIANT* invntPonto_Operacao_Destino_id, VARIANT* invnttab_tipo_despacho_id,
    VARIANT* inarrvntConteudo, VARIANT* inarrvntVal_Declarado, VARIANT* inarrvntNum_Volume,
    VARIANT* invntNum_Volume, VARIANT* invntTab_Tipo_Docto_Transp_id, VARIANT* outvntMsg_Ret,
    VARIANT* result) {
  return CallVariantMethod("gAltera_Docto_Transporte",
                           {invntBanco_Dados,
                            vntConecta_db,
                            invntUsuario_internet_id,
                            invntEmpresa_id,
                            invntGrupo_Empresa_id,
                            invntNum_Docto_Transporte,
                            invntPonto_Operacao_id,
                            invntTab_Tipo_Cobranca_id,
                            invntCliente_id,
                            invntEnd_Cliente_id,
                            invntEnd_Destinatario_id,
                            invntEnd_Remetente_id,
                            invntOrigem_id,
                            invntDestino_id,
                            invntPeso_Real,
                            invntVal_Declarado,
                            invntData_Emissao,
                            inarrvntNota_fiscal,
                            invntQtde_Notas,
                            invntDocto_Transporte_id,
                            invntPonto_Operacao_Destino_id,
                            invnttab_tipo_despacho_id,
                            inarrvntConteudo,
                            inarrvntVal_Declarado,
                            inarrvntNum_Volume,
                            invntNum_Volume,
                            invntTab_Tipo_Docto_Transp_id,
                            outvntMsg_Ret},
                           result);
}

HRESULT CnhObject::mBusca_Cliente(VARIANT* invntBanco_Dados, VARIANT* vntConecta_db,
                                  VARIANT* invntUsuario_internet_id, VARIANT* invntCliente_id,
                                  VARIANT* outvntCliente, VARIANT* outvntCgc_Cpf_Cliente,
                                  VARIANT* outvntIndic_pf_pj_Cliente, VARIANT* outvntMsg_Ret,
                                  VARIANT_BOOL* result) {
  return CallBooleanMethod(
      "mBusca_Cliente",
      {invntBanco_Dados, vntConecta_db, invntUsuario_internet_id, invntCliente_id, outvntCliente,
       outvntCgc_Cpf_Cliente, outvntIndic_pf_pj_Cliente, outvntMsg_Ret},
      [this](Arguments& a) {
        return engine_.CNH::mBusca_Cliente(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
      },
      result);
}

HRESULT CnhObject::mConsiste_Campos(
    VARIANT* invntBanco_Dados, VARIANT* vntConecta_db, VARIANT* invntUsuario_internet_id,
    VARIANT* invntEmpresa_id, VARIANT* invntGrupo_Empresa_id, VARIANT* invntNum_Docto_Transporte,
    VARIANT* invntPonto_Operacao_id, VARIANT* invntTab_Tipo_Cobranca_id,
    VARIANT* invntEnd_Remetente_id, VARIANT* invntEnd_Destinatario_id, VARIANT* invntCliente_id,
    VARIANT* invntOrigem_id, VARIANT* invntDestino_id, VARIANT* invntPeso_Total,
    VARIANT* invntNum_Volume, VARIANT* invntValor_Declarado, VARIANT* invntQtde_Notas,
    VARIANT* invntData_Emissao, VARIANT* invntDocto_Transporte_id,
    VARIANT* invntPonto_Operacao_Destino_id, VARIANT* invnttab_tipo_despacho_id,
    VARIANT* invntTab_Tipo_Docto_Transp_id, VARIANT* outvntMsg_Ret, VARIANT_BOOL* result) {
  return CallBooleanMethod(
      "mConsiste_Campos",
      {invntBanco_Dados,
       vntConecta_db,
       invntUsuario_internet_id,
       invntEmpresa_id,
       invntGrupo_Empresa_id,
       invntNum_Docto_Transporte,
       invntPonto_Operacao_id,
       invntTab_Tipo_Cobranca_id,
       invntEnd_Remetente_id,
       invntEnd_Destinatario_id,
       invntCliente_id,
       invntOrigem_id,
       invntDestino_id,
       invntPeso_Total,
       invntNum_Volume,
       invntValor_Declarado,
       invntQtde_Notas,
       invntData_Emissao,
       invntDocto_Transporte_id,
       invntPonto_Operacao_Destino_id,
       invnttab_tipo_despacho_id,
       invntTab_Tipo_Docto_Transp_id,
       outvntMsg_Ret},
      [this](Arguments& a) {
        return engine_.CNH::mConsiste_Campos(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8],
                                             a[9], a[10], a[11], a[12], a[13], a[14], a[15], a[16],
                                             a[17], a[18], a[19], a[20], a[21], a[22]);
      },
      result);
}

HRESULT CnhObject::mConsulta_Nota_Fiscal(VARIANT* invntBanco_Dados, VARIANT* vntConecta_db,
                                         VARIANT* invntUsuario_internet_id,
                                         VARIANT* invntEmpresa_id, VARIANT* invntGrupo_Empresa_id,
                                         VARIANT* invntDocto_Transporte_id,
                                         VARIANT* outvntQtde_Notas, VARIANT* outarrvntNota_Fiscal,
                                         VARIANT* outarrvntConteudo, VARIANT* outarrvntNum_Volume,
                                         VARIANT* outarrvntVal_Declarado, VARIANT* outvntMsg_Ret,
                                         VARIANT_BOOL* result) {
  return CallBooleanMethod(
      "mConsulta_Nota_Fiscal",
      {invntBanco_Dados, vntConecta_db, invntUsuario_internet_id, invntEmpresa_id,
       invntGrupo_Empresa_id, invntDocto_Transporte_id, outvntQtde_Notas, outarrvntNota_Fiscal,
       outarrvntConteudo, outarrvntNum_Volume, outarrvntVal_Declarado, outvntMsg_Ret},
      [this](Arguments& a) {
        return engine_.CNH::mConsulta_Nota_Fiscal(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7],
                                                  a[8], a[9], a[10], a[11]);
      },
      result);
}

HRESULT CnhObject::mGrava_Nota_fiscal(VARIANT* invntBanco_Dados, VARIANT* vntConecta_db,
                                      VARIANT* invntUsuario_internet_id, VARIANT* invntEmpresa_id,
                                      VARIANT* invntDocto_Transporte_id, VARIANT* invntQtde_Notas,
                                      VARIANT* inarrvntNota_fiscal, VARIANT* inarrvntConteudo,
                                      VARIANT* inarrvntVal_Declarado, VARIANT* inarrvntNum_Volume,
                                      VARIANT* outvntMsg_Ret, VARIANT_BOOL* result) {
  return CallBooleanMethod(
      "mGrava_Nota_fiscal",
      {invntBanco_Dados, vntConecta_db, invntUsuario_internet_id, invntEmpresa_id,
       invntDocto_Transporte_id, invntQtde_Notas, inarrvntNota_fiscal, inarrvntConteudo,
       inarrvntVal_Declarado, inarrvntNum_Volume, outvntMsg_Ret},
      [this](Arguments& a) {
        return engine_.CNH::mGrava_Nota_fiscal(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8],
                                               a[9], a[10]);
      },
      result);
}

HRESULT CnhObject::mVerifica_Dupli_Num_Docto(
    VARIANT* invntBanco_Dados, VARIANT* vntConecta_db, VARIANT* invntUsuario_internet_id,
    VARIANT* invntEmpresa_id, VARIANT* invntGrupo_Empresa_id, VARIANT* invntNum_Docto_Transporte,
    VARIANT* invntPonto_Operacao_id, VARIANT* invntDocto_Transporte_id,
    VARIANT* invntTab_Tipo_Docto_Transp_id, VARIANT* outvntMsg_Ret, VARIANT_BOOL* result) {
  return CallBooleanMethod(
      "mVerifica_Dupli_Num_Docto",
      {invntBanco_Dados, vntConecta_db, invntUsuario_internet_id, invntEmpresa_id,
       invntGrupo_Empresa_id, invntNum_Docto_Transporte, invntPonto_Operacao_id,
       invntDocto_Transporte_id, invntTab_Tipo_Docto_Transp_id, outvntMsg_Ret},
      [this](Arguments& a) {
        return engine_.CNH::mVerifica_Dupli_Num_Docto(a[0], a[1], a[2], a[3], a[4], a[5], a[6],
                                                      a[7], a[8], a[9]);
      },
      result);
}

// The emulations: the class's own bodies, with the table's typed arguments.
// The component writes back through the references it was given.

HRESULT CnhObject::mTrataSP_TMX_CON_DATA_SERVIDOR(BSTR kind, BSTR connection, BSTR* sql,
                                                  VARIANT* message, VARIANT* user,
                                                  VARIANT_BOOL* result) {
  return CallEmulation(
      sql, message, user, result,
      [&](std::string& sql_text, Variant& message_value, const Variant& user_value) {
        return engine_.CNH::mTrataSP_TMX_CON_DATA_SERVIDOR(
            Utf8FromBstr(kind), Utf8FromBstr(connection), sql_text, message_value, user_value);
      });
}

HRESULT CnhObject::mTrataSP_TMX_CON_EMPRESA_OP(BSTR kind, BSTR connection, LONG* branch, BSTR* sql,
                                               VARIANT* message, VARIANT* user,
                                               VARIANT_BOOL* result) {
  return CallEmulation(
      sql, message, user, result,
      [&](std::string& sql_text, Variant& message_value, const Variant& user_value) {
        Int32Argument branch_value(branch);
        return engine_.CNH::mTrataSP_TMX_CON_EMPRESA_OP(
            Utf8FromBstr(kind), Utf8FromBstr(connection), branch_value.get(), sql_text,
            message_value, user_value);
      });
}

HRESULT CnhObject::mTrataSP_TMX_CON_LISTA_DOCTO_TRANSP(BSTR kind, BSTR connection, LONG* number,
                                                       BSTR start, BSTR end, LONG* company,
                                                       BSTR* sql, VARIANT* message, VARIANT* user,
                                                       VARIANT_BOOL* result) {
  return CallEmulation(
      sql, message, user, result,
      [&](std::string& sql_text, Variant& message_value, const Variant& user_value) {
        Int32Argument number_value(number);
        Int32Argument company_value(company);
        return engine_.CNH::mTrataSP_TMX_CON_LISTA_DOCTO_TRANSP(
            Utf8FromBstr(kind), Utf8FromBstr(connection), number_value.get(), Utf8FromBstr(start),
            Utf8FromBstr(end), company_value.get(), sql_text, message_value, user_value);
      });
}

HRESULT CnhObject::mTrataSP_TMX_CON_CAD_DOCTO_TRANSPORTE4(BSTR kind, BSTR connection,
                                                          LONG* document, LONG* company, BSTR* sql,
                                                          VARIANT* message, VARIANT* user,
                                                          VARIANT_BOOL* result) {
  return CallEmulation(
      sql, message, user, result,
      [&](std::string& sql_text, Variant& message_value, const Variant& user_value) {
        Int32Argument document_value(document);
        Int32Argument company_value(company);
        return engine_.CNH::mTrataSP_TMX_CON_CAD_DOCTO_TRANSPORTE4(
            Utf8FromBstr(kind), Utf8FromBstr(connection), document_value.get(), company_value.get(),
            sql_text, message_value, user_value);
      });
}

HRESULT CnhObject::mTrataSP_TMX_EXC_CAD_DOCTO_TRANSPORTE(BSTR kind, BSTR connection, LONG* document,
                                                         BSTR* sql, VARIANT* message, VARIANT* user,
                                                         VARIANT_BOOL* result) {
  return CallEmulation(
      sql, message, user, result,
      [&](std::string& sql_text, Variant& message_value, const Variant& user_value) {
        Int32Argument document_value(document);
        return engine_.CNH::mTrataSP_TMX_EXC_CAD_DOCTO_TRANSPORTE(
            Utf8FromBstr(kind), Utf8FromBstr(connection), document_value.get(), sql_text,
            message_value, user_value);
      });
}

HRESULT CnhObject::mTrataSP_TMX_INC_DOCTO_TRANSPORTE3(
    BSTR kind, BSTR connection, LONG* company, LONG* number, LONG* branch, LONG* charging,
    LONG* client, LONG* recipient, LONG* sender, LONG* origin, LONG* destination, DOUBLE* weight,
    DOUBLE* value, BSTR issued, LONG* destination_branch, LONG* dispatch, LONG* delivery,
    LONG* volumes, BSTR* sql, VARIANT* message, VARIANT* user, VARIANT_BOOL* result) {
  if (!weight || !value) return E_POINTER;
  return CallEmulation(
      sql, message, user, result,
      [&](std::string& sql_text, Variant& message_value, const Variant& user_value) {
        Int32Argument company_value(company);
        Int32Argument number_value(number);
        Int32Argument branch_value(branch);
        Int32Argument charging_value(charging);
        Int32Argument client_value(client);
        Int32Argument recipient_value(recipient);
        Int32Argument sender_value(sender);
        Int32Argument origin_value(origin);
        Int32Argument destination_value(destination);
        Int32Argument destination_branch_value(destination_branch);
        Int32Argument dispatch_value(dispatch);
        Int32Argument delivery_value(delivery);
        Int32Argument volumes_value(volumes);
        return engine_.CNH::mTrataSP_TMX_INC_DOCTO_TRANSPORTE3(
            Utf8FromBstr(kind), Utf8FromBstr(connection), company_value.get(), number_value.get(),
            branch_value.get(), charging_value.get(), client_value.get(), recipient_value.get(),
            sender_value.get(), origin_value.get(), destination_value.get(), *weight, *value,
            Utf8FromBstr(issued), destination_branch_value.get(), dispatch_value.get(),
            delivery_value.get(), volumes_value.get(), sql_text, message_value, user_value);
      });
}

HRESULT CnhObject::mTrataSP_TMX_ALT_CAD_DOCTO_TRANSPORTE3(
    BSTR kind, BSTR connection, LONG* document, LONG* company, LONG* number, LONG* branch,
    LONG* charging, LONG* client, LONG* recipient, LONG* sender, LONG* origin, LONG* destination,
    DOUBLE* weight, DOUBLE* value, BSTR issued, LONG* destination_branch, LONG* dispatch,
    LONG* volumes, BSTR* sql, VARIANT* message, VARIANT* user, VARIANT_BOOL* result) {
  if (!weight || !value) return E_POINTER;
  return CallEmulation(
      sql, message, user, result,
      [&](std::string& sql_text, Variant& message_value, const Variant& user_value) {
        Int32Argument document_value(document);
        Int32Argument company_value(company);
        Int32Argument number_value(number);
        Int32Argument branch_value(branch);
        Int32Argument charging_value(charging);
        Int32Argument client_value(client);
        Int32Argument recipient_value(recipient);
        Int32Argument sender_value(sender);
        Int32Argument origin_value(origin);
        Int32Argument destination_value(destination);
        Int32Argument destination_branch_value(destination_branch);
        Int32Argument dispatch_value(dispatch);
        Int32Argument volumes_value(volumes);
        return engine_.CNH::mTrataSP_TMX_ALT_CAD_DOCTO_TRANSPORTE3(
            Utf8FromBstr(kind), Utf8FromBstr(connection), document_value.get(), company_value.get(),
            number_value.get(), branch_value.get(), charging_value.get(), client_value.get(),
            recipient_value.get(), sender_value.get(), origin_value.get(), destination_value.get(),
            *weight, *value, Utf8FromBstr(issued), destination_branch_value.get(),
            dispatch_value.get(), volumes_value.get(), sql_text, message_value, user_value);
      });
}

HRESULT CnhObject::mTrataSP_TMX_CON_CLIENTE_DOCTO_TRANSP(BSTR kind, BSTR connection, LONG* client,
                                                         BSTR* sql, VARIANT* message, VARIANT* user,
                                                         VARIANT_BOOL* result) {
  return CallEmulation(
      sql, message, user, result,
      [&](std::string& sql_text, Variant& message_value, const Variant& user_value) {
        Int32Argument client_value(client);
        return engine_.CNH::mTrataSP_TMX_CON_CLIENTE_DOCTO_TRANSP(
            Utf8FromBstr(kind), Utf8FromBstr(connection), client_value.get(), sql_text,
            message_value, user_value);
      });
}

HRESULT CnhObject::mTrataSP_TMX_CON_NF_CONHEC2(BSTR kind, BSTR connection, LONG* company,
                                               LONG* document, BSTR* sql, VARIANT* message,
                                               VARIANT* user, VARIANT_BOOL* result) {
  return CallEmulation(
      sql, message, user, result,
      [&](std::string& sql_text, Variant& message_value, const Variant& user_value) {
        Int32Argument company_value(company);
        Int32Argument document_value(document);
        return engine_.CNH::mTrataSP_TMX_CON_NF_CONHEC2(
            Utf8FromBstr(kind), Utf8FromBstr(connection), company_value.get(), document_value.get(),
            sql_text, message_value, user_value);
      });
}

HRESULT CnhObject::mTrataSP_TMX_EXC_NF_CONHEC2(BSTR kind, BSTR connection, LONG* document,
                                               LONG* user_id, BSTR* sql, VARIANT* message,
                                               VARIANT* user, VARIANT_BOOL* result) {
  return CallEmulation(
      sql, message, user, result,
      [&](std::string& sql_text, Variant& message_value, const Variant& user_value) {
        Int32Argument document_value(document);
        Int32Argument user_id_value(user_id);
        return engine_.CNH::mTrataSP_TMX_EXC_NF_CONHEC2(
            Utf8FromBstr(kind), Utf8FromBstr(connection), document_value.get(), user_id_value.get(),
            sql_text, message_value, user_value);
      });
}

HRESULT CnhObject::mTrataSP_TMX_INC_NF_CONHEC2(BSTR kind, BSTR connection, LONG* company,
                                               BSTR invoice, BSTR contents, DOUBLE* value,
                                               LONG* volumes, LONG* document, BSTR* sql,
                                               VARIANT* message, VARIANT* user,
                                               VARIANT_BOOL* result) {
  if (!value) return E_POINTER;
  return CallEmulation(
      sql, message, user, result,
      [&](std::string& sql_text, Variant& message_value, const Variant& user_value) {
        Int32Argument company_value(company);
        Int32Argument volumes_value(volumes);
        Int32Argument document_value(document);
        return engine_.CNH::mTrataSP_TMX_INC_NF_CONHEC2(
            Utf8FromBstr(kind), Utf8FromBstr(connection), company_value.get(),
            Utf8FromBstr(invoice), Utf8FromBstr(contents), *value, volumes_value.get(),
            document_value.get(), sql_text, message_value, user_value);
      });
}

HRESULT CnhObject::mTrataSP_TMX_VER_DUPL_NUM_DOCTO(BSTR kind, BSTR connection, LONG* number,
                                                   LONG* branch, LONG* document, BSTR* sql,
                                                   VARIANT* message, VARIANT* user,
                                                   VARIANT_BOOL* result) {
  return CallEmulation(
      sql, message, user, result,
      [&](std::string& sql_text, Variant& message_value, const Variant& user_value) {
        Int32Argument number_value(number);
        Int32Argument branch_value(branch);
        Int32Argument document_value(document);
        return engine_.CNH::mTrataSP_TMX_VER_DUPL_NUM_DOCTO(
            Utf8FromBstr(kind), Utf8FromBstr(connection), number_value.get(), branch_value.get(),
            document_value.get(), sql_text, message_value, user_value);
      });
}
}  // namespace tmxcnh::com
