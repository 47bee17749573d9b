#include "com/cnh_object.h"

#include <initializer_list>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

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

using Arguments = std::vector<Variant>;

// Calls method with the list's Variants in order; its answer as a Variant.
template <size_t... I, typename Method>
Variant ApplyTo(std::vector<Variant>& arguments, std::index_sequence<I...>, Method method) {
  if constexpr (std::is_same_v<decltype(method(arguments[I]...)), bool>) {
    return Variant::Boolean(method(arguments[I]...));
  } else {
    return method(arguments[I]...);
  }
}

// An emulation's own arguments as the class takes them: a text read from its
// BSTR (a null one is empty), a number through its pointer, which must be there.
bool Present(BSTR) { return true; }
bool Present(const void* number) { return number != nullptr; }
std::string FromTable(BSTR text) { return Utf8FromBstr(text); }
template <typename Number>
Number& FromTable(Number* number) {
  return *number;
}

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

// A method's answer: its result code, kResultNotDone when the bridge refused.
HRESULT Answer(HRESULT hr, const Variant& value, bool refused, VARIANT* result) {
  VariantInit(result);
  if (FAILED(hr)) return hr;
  return Guarded(
      [&] { return MakeVariant(refused ? Variant::Integer(kResultNotDone) : value, *result); });
}

// A Boolean method's answer: False when the bridge refused, whatever the status.
HRESULT Answer(HRESULT hr, const Variant& value, bool refused, VARIANT_BOOL* result) {
  *result = value == Variant::Boolean(true) && !refused ? VARIANT_TRUE : VARIANT_FALSE;
  return hr;
}

// A public method: body runs the class's own method (not the routed one,
// which would come back here) and gives its result code or its answer.
// Reads the parameters, runs body, writes back the parameters it changed.
// A parameter the bridge cannot read (the method does not run), or a value
// that cannot go back into the caller's typed variable, is no COM error:
// the method is not done and the message (the last parameter) says which.
template <typename Body, typename Result>
HRESULT CallPublicMethod(std::string_view name, std::initializer_list<VARIANT*> parameters,
                         Body body, Result* result) {
  if (result == nullptr) return E_POINTER;
  const PublicMethod& method = *FindPublicMethod(name);
  Variant value;
  bool refused = false;
  const HRESULT status = Guarded([&] {
    const std::vector<VARIANT*> list(parameters);
    for (VARIANT* parameter : list) {
      if (parameter == nullptr) return E_POINTER;
    }
    const auto refuse = [&](const std::string& message) {
      refused = true;
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
    value = body(arguments);
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
  return Answer(status, value, refused, result);
}

// An emulation: the SQL text and the message go back, the SQL text always,
// the message when the emulation wrote it.
template <typename Body>
HRESULT CallEmulation(BSTR* sql, VARIANT* message, VARIANT* user, VARIANT_BOOL* result, Body body) {
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

}  // namespace

CnhObject::CnhObject() { ++live_objects; }

CnhObject::~CnhObject() {
  if (interface_info_) interface_info_->Release();
  if (dispatch_info_) dispatch_info_->Release();
  --live_objects;
}

HRESULT CnhObject::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  const bool known =
      IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID__CNH);
  *object = known ? static_cast<CnhInterface*>(this) : nullptr;
  if (known) AddRef();
  return known ? S_OK : E_NOINTERFACE;
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

// The public methods: each bridges its parameters to the class's own method
// of the same name; the emulations take the table's typed arguments.
#define TMX_COM_NAME(name) name,
#define TMX_COUNT(name) +1
#define TMX_METHOD(name, dispid, result_kind, routed)                                       \
  HRESULT CnhObject::name(TMX_PARAMETERS_##name(TMX_COM_PARAMETER)                          \
                              TMX_COM_RESULT_##result_kind* result) {                       \
    return CallPublicMethod(                                                                \
        #name, {TMX_PARAMETERS_##name(TMX_COM_NAME)},                                       \
        [this](Arguments& a) {                                                              \
          return ApplyTo(a, std::make_index_sequence<0 TMX_PARAMETERS_##name(TMX_COUNT)>(), \
                         [this](auto&... v) { return engine_.CNH::name(v...); });           \
        },                                                                                  \
        result);                                                                            \
  }
#define TMX_PRESENT(type, name) Present(name)&&
#define TMX_ENGINE_ARGUMENT(type, name) , FromTable(name)
#define TMX_EMULATION(name)                                                             \
  HRESULT CnhObject::name(TMX_COM_EMULATION_PARAMETERS(name)) {                         \
    if (!(TMX_ARGUMENTS_##name(TMX_PRESENT) true)) return E_POINTER;                    \
    return CallEmulation(                                                               \
        statement, caller_message, internet_user, result,                               \
        [&](std::string& sql_text, Variant& message_value, const Variant& user_value) { \
          return engine_.CNH::name(Utf8FromBstr(kind),                                  \
                                   Utf8FromBstr(connection)                             \
                                       TMX_ARGUMENTS_##name(TMX_ENGINE_ARGUMENT),       \
                                   sql_text, message_value, user_value);                \
        });                                                                             \
  }
#include "component/interface.def"
#undef TMX_COM_NAME
#undef TMX_COUNT
#undef TMX_METHOD
#undef TMX_PRESENT
#undef TMX_ENGINE_ARGUMENT
#undef TMX_EMULATION

}  // namespace tmxcnh::com
