#include "com/variant_bridge.h"

#include <cstdint>
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

// Where SafeArrayGetElement leaves an element of the type in a VARIANT.
void* ElementSlot(VARIANT& item, VARTYPE type) {
  if (type == VT_VARIANT) return &item;
  if (type == VT_DECIMAL) return &V_DECIMAL(&item);  // spans the whole VARIANT
  return &V_I8(&item);
}

bool IsElementType(VARTYPE type) {
  switch (type) {
    case VT_VARIANT:
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DECIMAL:
    case VT_DATE:
    case VT_BSTR:
    case VT_BOOL:
    case VT_ERROR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return true;
    default:
      return false;
  }
}

HRESULT ReadArray(SAFEARRAY* array, Variant& out, int depth) {
  if (depth >= kMaxNesting) return DISP_E_TYPEMISMATCH;
  if (array == nullptr) {  // a dynamic array never dimensioned
    out = Variant::Array({});
    return S_OK;
  }
  if (SafeArrayGetDim(array) != 1) return DISP_E_TYPEMISMATCH;
  VARTYPE type = VT_EMPTY;
  if (FAILED(SafeArrayGetVartype(array, &type)) || !IsElementType(type)) {
    return DISP_E_TYPEMISMATCH;
  }
  LONG lower = 0;
  LONG upper = -1;
  HRESULT hr = SafeArrayGetLBound(array, 1, &lower);
  if (SUCCEEDED(hr)) hr = SafeArrayGetUBound(array, 1, &upper);
  if (FAILED(hr)) return hr;
  std::vector<Variant> elements;
  for (LONG i = lower; i <= upper; ++i) {
    OwnedVariant item;
    hr = SafeArrayGetElement(array, &i, ElementSlot(*item.get(), type));
    if (FAILED(hr)) return hr;
    if (type != VT_VARIANT) V_VT(item.get()) = type;
    elements.emplace_back();
    hr = ReadValue(*item, elements.back(), depth + 1);
    if (FAILED(hr)) return hr;
  }
  out = Variant::Array(std::move(elements));
  return S_OK;
}

// A VARIANT that holds its value (no VT_BYREF), depth arrays deep.
HRESULT ReadValue(const VARIANT& value, Variant& out, int depth) {
  switch (V_VT(&value)) {
    case VT_EMPTY:
      out = Variant();
      return S_OK;
    case VT_NULL:
      out = Variant::Null();
      return S_OK;
    case VT_I2:
      out = Variant::Integer(V_I2(&value));
      return S_OK;
    case VT_I4:
      out = Variant::Long(V_I4(&value));
      return S_OK;
    case VT_R8:
      out = Variant::Double(V_R8(&value));
      return S_OK;
    case VT_DATE:
      out = Variant::Date(V_DATE(&value));
      return S_OK;
    case VT_BSTR:
      out = Variant::String(Utf8FromBstr(V_BSTR(&value)));
      return S_OK;
    case VT_BOOL:
      out = Variant::Boolean(V_BOOL(&value) != VARIANT_FALSE);
      return S_OK;
    case VT_ERROR:
      out = Variant::Long(V_ERROR(&value));
      return S_OK;
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
      out = Variant::Object(std::make_shared<DispatchObject>(V_UNKNOWN(&value), V_VT(&value)));
      return S_OK;
    default:
      if ((V_VT(&value) & VT_ARRAY) != 0) return ReadArray(V_ARRAY(&value), out, depth);
      return DISP_E_TYPEMISMATCH;
  }
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
  V_VT(&out) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&out) = array;
  return S_OK;
}

// A typed reference (VT_BYREF|VT_I4 and the like) takes the value converted
// to its type, as a typed variable passed to a Variant parameter would.
HRESULT StoreThroughTypedReference(VARIANT& fresh, VARIANT& reference) {
  const VARTYPE type = V_VT(&reference) & ~VT_BYREF;
  if (V_BYREF(&reference) == nullptr) {
    VariantClear(&fresh);
    return E_POINTER;
  }
  const HRESULT hr = VariantChangeType(&fresh, &fresh, 0, type);
  if (FAILED(hr)) {
    VariantClear(&fresh);
    return hr;
  }
  switch (type) {
    case VT_I2:
      *V_I2REF(&reference) = V_I2(&fresh);
      return S_OK;
    case VT_I4:
      *V_I4REF(&reference) = V_I4(&fresh);
      return S_OK;
    case VT_R8:
      *V_R8REF(&reference) = V_R8(&fresh);
      return S_OK;
    case VT_DATE:
      *V_DATEREF(&reference) = V_DATE(&fresh);
      return S_OK;
    case VT_BOOL:
      *V_BOOLREF(&reference) = V_BOOL(&fresh);
      return S_OK;
    case VT_UI1:
      *V_UI1REF(&reference) = V_UI1(&fresh);
      return S_OK;
    case VT_R4:
      *V_R4REF(&reference) = V_R4(&fresh);
      return S_OK;
    case VT_CY:
      *V_CYREF(&reference) = V_CY(&fresh);
      return S_OK;
    case VT_BSTR:
      SysFreeString(*V_BSTRREF(&reference));
      *V_BSTRREF(&reference) = V_BSTR(&fresh);  // the reference owns it now
      V_VT(&fresh) = VT_EMPTY;
      return S_OK;
    case VT_ARRAY | VT_VARIANT:
      SafeArrayDestroy(*V_ARRAYREF(&reference));
      *V_ARRAYREF(&reference) = V_ARRAY(&fresh);
      V_VT(&fresh) = VT_EMPTY;
      return S_OK;
    default:
      VariantClear(&fresh);
      return DISP_E_TYPEMISMATCH;
  }
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
      V_VT(&out) = VT_NULL;
      return S_OK;
    case VariantType::kInteger:
      V_VT(&out) = VT_I2;
      V_I2(&out) = value.integer_value();
      return S_OK;
    case VariantType::kLong:
      V_VT(&out) = VT_I4;
      V_I4(&out) = value.long_value();
      return S_OK;
    case VariantType::kDouble:
      V_VT(&out) = VT_R8;
      V_R8(&out) = value.double_value();
      return S_OK;
    case VariantType::kDate:
      V_VT(&out) = VT_DATE;
      V_DATE(&out) = value.date_value();
      return S_OK;
    case VariantType::kString: {
      const std::wstring text = WideFromUtf8(value.string_value());
      BSTR bstr = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
      if (bstr == nullptr) return E_OUTOFMEMORY;
      V_VT(&out) = VT_BSTR;
      V_BSTR(&out) = bstr;
      return S_OK;
    }
    case VariantType::kBoolean:
      V_VT(&out) = VT_BOOL;
      V_BOOL(&out) = value.boolean_value() ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
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
      V_VT(&out) = object->type();
      V_UNKNOWN(&out) = object->object();
      if (object->object()) object->object()->AddRef();
      return S_OK;
    }
  }
  return DISP_E_TYPEMISMATCH;
}

HRESULT WriteVariant(const Variant& value, VARIANT& parameter) {
  VARIANT fresh;
  const HRESULT hr = MakeVariant(value, fresh);
  if (FAILED(hr)) return hr;
  if (V_VT(&parameter) == (VT_BYREF | VT_VARIANT)) {
    VARIANT* target = V_VARIANTREF(&parameter);
    if (target == nullptr) {
      VariantClear(&fresh);
      return E_POINTER;
    }
    VariantClear(target);
    *target = fresh;
    return S_OK;
  }
  if ((V_VT(&parameter) & VT_BYREF) != 0) return StoreThroughTypedReference(fresh, parameter);
  VariantClear(&parameter);
  parameter = fresh;
  return S_OK;
}

Bstr::Bstr(std::string_view utf8) {
  const std::wstring text = WideFromUtf8(utf8);
  value_ = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

}  // namespace tmxcnh::com
