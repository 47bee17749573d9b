#include "tests/com/com_test_support.h"

#include <cstdlib>

#include "com/variant_bridge.h"

namespace tmxcnh::com::testing {

int DllBits() {
  const char* bits = std::getenv("TMXCNH_COM_DLL_BITS");
  if (bits && *bits) return std::atoi(bits);
  return sizeof(void*) == 4 ? 32 : 64;
}

std::wstring DllPath() {
  const char* path = std::getenv("TMXCNH_COM_DLL");
  return path ? WideFromUtf8(path) : std::wstring();
}

std::string TestDatabase() {
  const char* text = std::getenv("TMXCNH_TEST_PG");
  return text ? text : "";
}

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

Ref<_CNH> CreateByProgId() {
  Ref<_CNH> object;
  CLSID clsid{};
  HRESULT hr = CLSIDFromProgID(L"TmxCNH39.CNH", &clsid);
  EXPECT_HRESULT_SUCCEEDED(hr) << "TmxCNH39.CNH is not registered";
  if (FAILED(hr)) return object;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__CNH, object.Receive());
  EXPECT_HRESULT_SUCCEEDED(hr);
  return object;
}

Call::Call(const char* method) : method_(FindPublicMethod(method)) {
  if (method_ == nullptr) {
    ADD_FAILURE() << "no method " << method;
    return;
  }
  parameters_.resize(method_->parameters.size(), VARIANT{});
}

Call::~Call() {
  for (VARIANT& parameter : parameters_) VariantClear(&parameter);
  VariantClear(&result_);
}

VARIANT& Call::operator[](const std::string& name) {
  const int index = method_ ? FindParameter(*method_, name) : -1;
  if (index < 0) {
    ADD_FAILURE() << "no parameter " << name;
    static VARIANT nowhere;
    VariantClear(&nowhere);
    return nowhere;
  }
  return parameters_[static_cast<size_t>(index)];
}

void Call::Set(const std::string& name, const Variant& value) {
  VARIANT& parameter = (*this)[name];
  VariantClear(&parameter);
  EXPECT_HRESULT_SUCCEEDED(MakeVariant(value, parameter)) << name;
}

Variant Call::Get(const std::string& name) {
  Variant value;
  EXPECT_HRESULT_SUCCEEDED(ReadVariant((*this)[name], value)) << name;
  return value;
}

HRESULT Call::InvokeByName(IDispatch* object) {
  const std::wstring name = WideFromUtf8(method_->name);
  LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  // IDispatch takes the arguments last first.
  std::vector<VARIANT> references(parameters_.size());
  for (size_t i = 0; i < parameters_.size(); ++i) {
    VARIANT& reference = references[parameters_.size() - 1 - i];
    V_VT(&reference) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&reference) = &parameters_[i];
  }
  DISPPARAMS arguments{references.data(), nullptr, static_cast<UINT>(references.size()), 0};
  VariantClear(&result_);
  EXCEPINFO exception{};
  UINT argument_error = 0;
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &arguments, &result_,
                        &exception, &argument_error);
}

Variant Call::ResultValue() {
  if (method_ && method_->returns_boolean && V_VT(&result_) == VT_EMPTY) {
    return Variant::Boolean(boolean_result_ != VARIANT_FALSE);
  }
  Variant value;
  EXPECT_HRESULT_SUCCEEDED(ReadVariant(result_, value));
  return value;
}

HRESULT DefaultPropertyObject::QueryInterface(REFIID iid, void** object) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT DefaultPropertyObject::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

HRESULT DefaultPropertyObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*,
                                      VARIANT* result, EXCEPINFO*, UINT*) {
  ++reads_;
  if (id != DISPID_VALUE || (flags & DISPATCH_PROPERTYGET) == 0) return DISP_E_MEMBERNOTFOUND;
  V_VT(result) = VT_BSTR;
  V_BSTR(result) = NewBstr(text_);
  return S_OK;
}

BSTR NewBstr(const std::string& text) {
  const std::wstring wide = WideFromUtf8(text);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

std::string Show(const VARIANT& value) {
  Variant read;
  if (FAILED(ReadVariant(value, read))) return "(vt " + std::to_string(V_VT(&value)) + ")";
  return Describe(read);
}

}  // namespace tmxcnh::com::testing
