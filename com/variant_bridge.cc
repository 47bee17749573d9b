#include "com/variant_bridge.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "platform/conversions.h"
#include "platform/run_time_error.h"

namespace tmxcnh::com {
namespace {

constexpr int32_t kErrObjectNotSet = 91;
constexpr int32_t kErrNoSuchProperty = 438;
constexpr const char* kAutomationError = "Erro de automação";

// A caller's object (a connection) held in a Variant. Its text is read from
// the object only when the component asks, inside the method's error trap.
class DispatchObject : public AutomationObject {
 public:
  DispatchObject(IUnknown* object, VARTYPE type) : object_(object), type_(type) {
    if (object_) object_->AddRef();
  }
  ~DispatchObject() override {
    if (object_) object_->Release();
  }
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;

  IUnknown* object() const { return object_; }
  VARTYPE type() const { return type_; }

  std::string DefaultProperty() const override {
    if (!object_) {
      throw RunTimeError(kErrObjectNotSet,
                         "Variável de objeto ou variável do bloco With não definida");
    }
    IDispatch* dispatch = nullptr;
    if (FAILED(object_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
      throw RunTimeError(kErrNoSuchProperty, "O objeto não aceita esta propriedade ou método");
    }
    DISPPARAMS no_arguments{};
    OwnedVariant result;
    EXCEPINFO exception{};
    const HRESULT hr = dispatch->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT,
                                        DISPATCH_PROPERTYGET | DISPATCH_METHOD, &no_arguments,
                                        result.get(), &exception, nullptr);
    dispatch->Release();
    std::string description = kAutomationError;
    if (exception.bstrDescription) description = Utf8FromBstr(exception.bstrDescription);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    if (FAILED(hr)) throw RunTimeError(static_cast<int32_t>(hr), description);
    Variant value;
    if (FAILED(ReadVariant(*result, value))) throw RunTimeError::TypeMismatch();
    return ToText(value);
  }

 private:
  IUnknown* object_;
  VARTYPE type_;
};

// A Variant array nests a few levels; deeper input is refused, not recursed into.
constexpr int kMaxNesting = 32;

HRESULT ReadValue(const VARIANT& value, Variant& out, int depth = 0);

// A number of another subtype, as the nearest subtype that a Variant has.
HRESULT ReadConverted(const VARIANT& value, VARTYPE type, Variant& out) {
  OwnedVariant converted;
  // The source is only read; the API predates const.
  const HRESULT hr = VariantChangeType(converted.get(), const_cast<VARIANT*>(&value), 0, type);
  if (FAILED(hr)) return hr;
  return ReadValue(*converted, out);
}

// Through a Double, whose range and precision cover every 4-byte integer:
// VariantChangeType to VT_I4 does not refuse every value out of range.
HRESULT ReadWholeNumber(const VARIANT& value, Variant& out) {
  const HRESULT hr = ReadConverted(value, VT_R8, out);
  if (FAILED(hr)) return hr;
  const double number = out.double_value();
  if (number >= std::numeric_limits<int32_t>::min() &&
      number <= std::numeric_limits<int32_t>::max()) {
    out = Variant::Long(static_cast<int32_t>(number));
  }
  return S_OK;
}

// Sets out to value: the read is done.
HRESULT Give(Variant& out, Variant value) {
  out = std::move(value);
  return S_OK;
}

HRESULT ReadArray(SAFEARRAY* array, Variant& out, int depth) {
  if (depth >= kMaxNesting) return DISP_E_TYPEMISMATCH;
  if (array == nullptr) return Give(out, Variant::Array({}));  // a dynamic array never dimensioned
  // Each element is read as a VARIANT of the array's type; a record has no
  // Variant form, nor an element that a VARIANT cannot hold.
  VARTYPE type = VT_EMPTY;
  if (SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetVartype(array, &type)) ||
      type == VT_RECORD || SafeArrayGetElemsize(array) > sizeof(VARIANT)) {
    return DISP_E_TYPEMISMATCH;
  }
  const SAFEARRAYBOUND bound = array->rgsabound[0];
  std::vector<Variant> elements(bound.cElements);
  for (ULONG i = 0; i < bound.cElements; ++i) {
    LONG index = bound.lLbound + static_cast<LONG>(i);
    OwnedVariant item;
    // A scalar lies at the start of the VARIANT's union; a DECIMAL spans the
    // whole VARIANT, as an element of a VARIANT array does.
    void* slot = type == VT_VARIANT || type == VT_DECIMAL ? static_cast<void*>(item.get())
                                                          : &V_I8(item.get());
    HRESULT hr = SafeArrayGetElement(array, &index, slot);
    if (FAILED(hr)) return hr;
    if (type != VT_VARIANT) V_VT(item.get()) = type;
    hr = ReadValue(*item, elements[i], depth + 1);
    if (FAILED(hr)) return hr;
  }
  return Give(out, Variant::Array(std::move(elements)));
}

// A VARIANT that holds its value (no VT_BYREF), depth arrays deep.
HRESULT ReadValue(const VARIANT& value, Variant& out, int depth) {
  switch (V_VT(&value)) {
    case VT_EMPTY:
      return Give(out, Variant());
    case VT_NULL:
      return Give(out, Variant::Null());
    case VT_I2:
      return Give(out, Variant::Integer(V_I2(&value)));
    case VT_I4:
      return Give(out, Variant::Long(V_I4(&value)));
    case VT_R8:
      return Give(out, Variant::Double(V_R8(&value)));
    case VT_DATE:
      return Give(out, Variant::Date(V_DATE(&value)));
    case VT_BSTR:
      return Give(out, Variant::String(Utf8FromBstr(V_BSTR(&value))));
    case VT_BOOL:
      return Give(out, Variant::Boolean(V_BOOL(&value) != VARIANT_FALSE));
    case VT_ERROR:
      return Give(out, Variant::Long(V_ERROR(&value)));
    case VT_I1:
    case VT_UI1:
      return ReadConverted(value, VT_I2, out);
    case VT_UI2:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
      return ReadWholeNumber(value, out);
    case VT_R4:
    case VT_CY:
    case VT_DECIMAL:
      return ReadConverted(value, VT_R8, out);
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return Give(
          out, Variant::Object(std::make_shared<DispatchObject>(V_UNKNOWN(&value), V_VT(&value))));
    default:
      if ((V_VT(&value) & VT_ARRAY) != 0) return ReadArray(V_ARRAY(&value), out, depth);
      return DISP_E_TYPEMISMATCH;
  }
}

// out as a VARIANT of the type, with the value at the start of its union.
template <typename Value>
HRESULT Put(VARIANT& out, VARTYPE type, Value value) {
  V_VT(&out) = type;
  std::memcpy(&V_I8(&out), &value, sizeof(value));
  return S_OK;
}

HRESULT MakeArray(const Variant& value, VARIANT& out) {
  const int32_t upper = value.UBound();
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(upper + 1));
  if (array == nullptr) return E_OUTOFMEMORY;
  VARIANT* elements = nullptr;
  HRESULT hr = SafeArrayAccessData(array, reinterpret_cast<void**>(&elements));
  for (int32_t i = 0; SUCCEEDED(hr) && i <= upper; ++i) {
    hr = MakeVariant(value.At(i), elements[i]);
  }
  if (elements) SafeArrayUnaccessData(array);
  if (FAILED(hr)) {
    SafeArrayDestroy(array);
    return hr;
  }
  return Put(out, VT_ARRAY | VT_VARIANT, array);
}

// The types of a caller's typed variable that a value can go into, and their sizes.
constexpr std::pair<VARTYPE, size_t> kTypedVariables[] = {
    {VT_I2, sizeof(SHORT)},          {VT_I4, sizeof(LONG)},
    {VT_R8, sizeof(DOUBLE)},         {VT_DATE, sizeof(DATE)},
    {VT_BOOL, sizeof(VARIANT_BOOL)}, {VT_UI1, sizeof(BYTE)},
    {VT_R4, sizeof(FLOAT)},          {VT_CY, sizeof(CY)},
    {VT_BSTR, sizeof(BSTR)},         {VT_ARRAY | VT_VARIANT, sizeof(SAFEARRAY*)}};

// A typed reference (VT_BYREF|VT_I4 and the like) takes the value converted
// to its type, as a typed variable passed to a Variant parameter would.
HRESULT StoreThroughTypedReference(VARIANT& fresh, VARIANT& reference) {
  const VARTYPE type = V_VT(&reference) & ~VT_BYREF;
  const auto typed = std::find_if(std::begin(kTypedVariables), std::end(kTypedVariables),
                                  [type](const auto& typed) { return typed.first == type; });
  HRESULT hr = V_BYREF(&reference) ? VariantChangeType(&fresh, &fresh, 0, type) : E_POINTER;
  if (SUCCEEDED(hr) && typed == std::end(kTypedVariables)) hr = DISP_E_TYPEMISMATCH;
  if (FAILED(hr)) {
    VariantClear(&fresh);
    return hr;
  }
  // What the variable held goes (a text or an array is freed); the value's
  // bytes take its place, and the variable owns what they point to.
  VARIANT old{};
  V_VT(&old) = type;
  std::memcpy(&V_I8(&old), V_BYREF(&reference), typed->second);
  VariantClear(&old);
  std::memcpy(V_BYREF(&reference), &V_I8(&fresh), typed->second);
  return S_OK;
}

}  // namespace

std::string Utf8FromWide(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), length, nullptr, nullptr);
  return out;
}

std::wstring WideFromUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring out(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), length);
  return out;
}

std::string Utf8FromBstr(BSTR text) {
  if (text == nullptr) return {};
  return Utf8FromWide(std::wstring_view(text, SysStringLen(text)));
}

HRESULT ReadVariant(const VARIANT& parameter, Variant& out) {
  OwnedVariant value;
  const HRESULT hr = VariantCopyInd(value.get(), const_cast<VARIANT*>(&parameter));
  if (FAILED(hr)) return hr;
  return ReadValue(*value, out);
}

HRESULT MakeVariant(const Variant& value, VARIANT& out) {
  out = VARIANT{};
  switch (value.type()) {
    case VariantType::kEmpty:
      return S_OK;
    case VariantType::kNull:
      return Put(out, VT_NULL, 0);
    case VariantType::kInteger:
      return Put(out, VT_I2, value.integer_value());
    case VariantType::kLong:
      return Put(out, VT_I4, value.long_value());
    case VariantType::kDouble:
      return Put(out, VT_R8, value.double_value());
    case VariantType::kDate:
      return Put(out, VT_DATE, value.date_value());
    case VariantType::kString: {
      Bstr text(value.string_value());
      return text.get() ? Put(out, VT_BSTR, text.Detach()) : E_OUTOFMEMORY;
    }
    case VariantType::kBoolean:
      return Put(out, VT_BOOL, value.boolean_value() ? VARIANT_TRUE : VARIANT_FALSE);
    case VariantType::kArray:
      return MakeArray(value, out);
    case VariantType::kObject: {
      // The caller's own object goes back as it came; one of the component's
      // (never handed out so far) as its text.
      const auto* object = dynamic_cast<const DispatchObject*>(value.object_value().get());
      if (object == nullptr) {
        try {
          return MakeVariant(Variant::String(value.object_value()->DefaultProperty()), out);
        } catch (const RunTimeError&) {
          return DISP_E_TYPEMISMATCH;
        }
      }
      if (object->object()) object->object()->AddRef();
      return Put(out, object->type(), object->object());
    }
  }
  return DISP_E_TYPEMISMATCH;
}

HRESULT WriteVariant(const Variant& value, VARIANT& parameter) {
  VARIANT fresh;
  const HRESULT hr = MakeVariant(value, fresh);
  if (FAILED(hr)) return hr;
  const bool to_variant = V_VT(&parameter) == (VT_BYREF | VT_VARIANT);
  if (!to_variant && (V_VT(&parameter) & VT_BYREF) != 0) {
    return StoreThroughTypedReference(fresh, parameter);
  }
  VARIANT* target = to_variant ? V_VARIANTREF(&parameter) : &parameter;
  if (target == nullptr) {
    VariantClear(&fresh);
    return E_POINTER;
  }
  VariantClear(target);
  *target = fresh;
  return S_OK;
}

Bstr::Bstr(std::string_view utf8) {
  const std::wstring text = WideFromUtf8(utf8);
  value_ = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

}  // namespace tmxcnh::com
