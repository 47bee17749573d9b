// What the COM server's tests share. They are Windows programs that run under
// Wine (scripts/with-wine), with the DLL registered by regsvr32 first
// (tests/com/com_tests.cmake): an apartment for each test, and the
// by-reference VARIANTs of one call, set and read by the interface's
// parameter names and passed through the virtual table or by name.
#pragma once

#include <windows.h>
// The COM and OLE headers take their basic types from windows.h.
#include <gtest/gtest.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <cstdlib>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "com/cnh_interface.h"
#include "com/variant_bridge.h"
#include "component/method_table.h"
#include "platform/variant.h"

namespace tmxcnh::com::testing {

using Microsoft::WRL::ComPtr;

// An environment variable, empty when unset. CTest sets TMXCNH_COM_DLL (the
// DLL's Windows path) and, when the 64-bit program reads the 32-bit DLL,
// TMXCNH_COM_DLL_BITS; scripts/with-postgres sets TMXCNH_TEST_PG (the ODBC
// text of the PostgreSQL test database) and TMXCNH_TEST_PG_DSN.
inline std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}
inline std::wstring DllPath() { return WideFromUtf8(Environment("TMXCNH_COM_DLL")); }
// The bitness of the DLL under test, by default this program's.
inline int DllBits() {
  return Environment("TMXCNH_COM_DLL_BITS") == "32" || sizeof(void*) == 4 ? 32 : 64;
}

// A copy of a type's attributes.
inline TYPEATTR Attributes(ITypeInfo* info) {
  TYPEATTR* attributes = nullptr;
  EXPECT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attributes));
  const TYPEATTR copy = attributes ? *attributes : TYPEATTR{};
  if (attributes) info->ReleaseTypeAttr(attributes);
  return copy;
}

// A new object of the class, created by ProgID as a client creates it.
inline ComPtr<_CNH> CreateByProgId() {
  CLSID clsid{};
  ComPtr<_CNH> object;
  EXPECT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"TmxCNH39.CNH", &clsid)) << "not registered";
  EXPECT_HRESULT_SUCCEEDED(
      CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__CNH, &object));
  return object;
}

// An automation object whose default property (DISPID_VALUE) is a text, as
// an ADO connection's is its connection string. It lives on the stack: its
// references are only counted.
class ConnectionObject : public IDispatch {
 public:
  explicit ConnectionObject(std::string text) : text_(std::move(text)) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    const bool mine = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch);
    *object = mine ? this : nullptr;
    if (mine) AddRef();
    return mine ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    if (id != DISPID_VALUE || (flags & DISPATCH_PROPERTYGET) == 0) return DISP_E_MEMBERNOTFOUND;
    return MakeVariant(Variant(text_), *result);
  }

  ULONG references = 0;  // held by others than its owner

 private:
  std::string text_;
};

// Each test in a single-threaded apartment of its own, as a client's.
class ComTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr)); }
  void TearDown() override {
    object_.Reset();
    CoUninitialize();
  }

  ComPtr<_CNH> object_;
};

// With an object created by ProgID.
class ObjectTest : public ComTest {
 protected:
  void SetUp() override {
    ComTest::SetUp();
    object_ = CreateByProgId();
    ASSERT_TRUE(object_);
  }
};

// The by-reference VARIANTs of one call of a public method, all Empty at
// first, and its result (VT_BOOL for a Boolean method).
class Call {
 public:
  explicit Call(std::string_view method) : method_(FindPublicMethod(method)) {
    if (method_ == nullptr) ADD_FAILURE() << "no method " << method;
    parameters_.resize(method_ ? method_->parameters.size() : 0, VARIANT{});
  }
  ~Call() {
    for (VARIANT& parameter : parameters_) VariantClear(&parameter);
    VariantClear(&result_);
  }
  Call(const Call&) = delete;
  Call& operator=(const Call&) = delete;

  // The parameter of that name (the interface's, ignoring case; another
  // name throws std::invalid_argument); the i-th.
  VARIANT& operator[](std::string_view name) {
    const int index = method_ ? FindParameter(*method_, name) : -1;
    if (index < 0) throw std::invalid_argument("no parameter " + std::string(name));
    return parameters_[static_cast<size_t>(index)];
  }
  VARIANT* at(size_t i) { return &parameters_[i]; }
  // Sets each parameter named.
  void Set(std::initializer_list<std::pair<std::string_view, Variant>> values) {
    for (const auto& [name, value] : values) {
      VariantClear(&(*this)[name]);
      EXPECT_HRESULT_SUCCEEDED(MakeVariant(value, (*this)[name])) << name;
    }
  }
  // As the component would read them.
  Variant Get(std::string_view name) { return Read((*this)[name]); }
  Variant Get(size_t i) { return Read(parameters_[i]); }
  Variant Result() { return Read(result_); }

  // Through the interface's virtual table, each parameter in its place.
  HRESULT ThroughTable(_CNH* object) {
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

  // By name through IDispatch: GetIDsOfNames, then Invoke with every
  // parameter as a VT_BYREF|VT_VARIANT reference to its VARIANT.
  HRESULT ByName(IDispatch* object) {
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

 private:
  static Variant Read(const VARIANT& value) {
    Variant read;
    EXPECT_HRESULT_SUCCEEDED(ReadVariant(value, read));
    return read;
  }

  const PublicMethod* method_;
  std::vector<VARIANT> parameters_;
  VARIANT result_{};
};

}  // namespace tmxcnh::com::testing
