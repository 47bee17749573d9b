#include "tests/com/com_test_support.h"

#include <stdexcept>

namespace tmxcnh::com::testing {

TYPEATTR Attributes(ITypeInfo* info) {
  TYPEATTR* attributes = nullptr;
  EXPECT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attributes));
  const TYPEATTR copy = attributes ? *attributes : TYPEATTR{};
  if (attributes) info->ReleaseTypeAttr(attributes);
  return copy;
}

ComPtr<_CNH> CreateByProgId() {
  CLSID clsid{};
  ComPtr<_CNH> object;
  EXPECT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"TmxCNH39.CNH", &clsid)) << "not registered";
  EXPECT_HRESULT_SUCCEEDED(
      CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__CNH, &object));
  return object;
}

Call::Call(std::string_view method) : method_(FindPublicMethod(method)) {
  if (method_ == nullptr) ADD_FAILURE() << "no method " << method;
  parameters_.resize(method_ ? method_->parameters.size() : 0, VARIANT{});
}

Call::~Call() {
  for (VARIANT& parameter : parameters_) VariantClear(&parameter);
  VariantClear(&result_);
}

VARIANT& Call::operator[](std::string_view name) {
  const int index = method_ ? FindParameter(*method_, name) : -1;
  if (index < 0) throw std::invalid_argument("no parameter " + std::string(name));
  return parameters_[static_cast<size_t>(index)];
}

void Call::Set(std::initializer_list<std::pair<std::string_view, Variant>> values) {
  for (const auto& [name, value] : values) {
    VariantClear(&(*this)[name]);
    EXPECT_HRESULT_SUCCEEDED(MakeVariant(value, (*this)[name])) << name;
  }
}

Variant Call::Read(const VARIANT& value) {
  Variant read;
  EXPECT_HRESULT_SUCCEEDED(ReadVariant(value, read));
  return read;
}

HRESULT Call::ThroughTable(_CNH* object) {
  VariantClear(&result_);
#define TMX_BY_NAME(name) &(*this)[#name],
#define TMX_RESULT_VARIANT &result_
#define TMX_RESULT_BOOL (V_VT(&result_) = VT_BOOL, &V_BOOL(&result_))
#define TMX_METHOD(method, dispid, result_kind, routed) \
  if (method_->name == #method)                         \
    return object->method(TMX_PARAMETERS_##method(TMX_BY_NAME) TMX_RESULT_##result_kind);
#define TMX_EMULATION(name)
#include "component/interface.def"
#undef TMX_BY_NAME
#undef TMX_RESULT_VARIANT
#undef TMX_RESULT_BOOL
#undef TMX_METHOD
#undef TMX_EMULATION
  return E_NOTIMPL;
}

HRESULT Call::ByName(IDispatch* object) {
  const std::wstring name = WideFromUtf8(method_->name);
  LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
  DISPID id = DISPID_UNKNOWN;
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  // IDispatch takes the arguments last first.
  std::vector<VARIANT> references(parameters_.size());
  for (size_t i = 0; i < parameters_.size(); ++i) {
    V_VT(&references[parameters_.size() - 1 - i]) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&references[parameters_.size() - 1 - i]) = &parameters_[i];
  }
  DISPPARAMS arguments{references.data(), nullptr, static_cast<UINT>(references.size()), 0};
  VariantClear(&result_);
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &arguments, &result_,
                        nullptr, nullptr);
}

}  // namespace tmxcnh::com::testing
