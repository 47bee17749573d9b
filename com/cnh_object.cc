#include "com/cnh_object.h"

#include <new>
#include <string>
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

// An emulation's own arguments as the class takes them, from the table's
// types: a text, a whole number (Int32Argument) or a decimal by reference.
class TextArgument {
 public:
  explicit TextArgument(BSTR text) : value_(Utf8FromBstr(text)) {}
  const std::string& get() const { return value_; }

 private:
  std::string value_;
};

class DoubleArgument {
 public:
  explicit DoubleArgument(DOUBLE* value) : value_(value) {}
  double& get() { return *value_; }

 private:
  DOUBLE* value_;
};

TextArgument ComArgument(BSTR text) { return TextArgument(text); }
Int32Argument ComArgument(LONG* number) { return Int32Argument(number); }
DoubleArgument ComArgument(DOUBLE* number) { return DoubleArgument(number); }

// Whether an argument can be read: a decimal must be there (a Null text is
// empty, a missing whole number 0).
bool Present(BSTR) { return true; }
bool Present(LONG*) { return true; }
bool Present(DOUBLE* number) { return number != nullptr; }

// Calls method with the list's Variants in order.
template <size_t... I, typename Method>
auto ApplyTo(std::vector<Variant>& arguments, std::index_sequence<I...>, Method method) {
  return method(arguments[I]...);
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

HRESULT CnhObject::CallPublicMethod(std::string_view name,
                                    std::initializer_list<VARIANT*> parameters,
                                    const std::function<Variant(Arguments&)>& body,
                                    VARIANT* result) {
  if (result == nullptr) return E_POINTER;
  VariantInit(result);
  const PublicMethod* method = FindPublicMethod(name);
  if (method == nullptr) return E_UNEXPECTED;
  Variant value;
  bool refused = false;
  const HRESULT hr = CallMethod(
      *method, parameters, [&](Arguments& arguments) { value = body(arguments); }, &refused);
  if (FAILED(hr)) return hr;
  if (refused) value = Variant::Integer(kResultNotDone);
  return Guarded([&] { return MakeVariant(value, *result); });
}

HRESULT CnhObject::CallPublicMethod(std::string_view name,
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
#define TMX_ENGINE_ARGUMENT(type, name) , ComArgument(name).get()
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
