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
TYPEATTR Attributes(ITypeInfo* info);

// A new object of the class, created by ProgID as a client creates it.
ComPtr<_CNH> CreateByProgId();

// Each test in a single-threaded apartment of its own, as a client's, and an
// object for a test that creates one.
class ComTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr)); }
  void TearDown() override {
    object_.Reset();
    CoUninitialize();
  }

  ComPtr<_CNH> object_;
};

// The by-reference VARIANTs of one call of a public method, all Empty at
// first, and its result (VT_BOOL for a Boolean method).
class Call {
 public:
  explicit Call(std::string_view method);
  ~Call();
  Call(const Call&) = delete;
  Call& operator=(const Call&) = delete;

  // The parameter of that name (the interface's, ignoring case; another
  // name throws std::invalid_argument); the i-th.
  VARIANT& operator[](std::string_view name);
  VARIANT* at(size_t i) { return &parameters_[i]; }
  // Sets each parameter named.
  void Set(std::initializer_list<std::pair<std::string_view, Variant>> values);
  // As the component would read them.
  Variant Get(std::string_view name) { return Read((*this)[name]); }
  Variant Get(size_t i) { return Read(parameters_[i]); }
  Variant Result() { return Read(result_); }

  // Through the interface's virtual table, each parameter in its place.
  HRESULT ThroughTable(_CNH* object);
  // By name through IDispatch: GetIDsOfNames, then Invoke with every
  // parameter as a VT_BYREF|VT_VARIANT reference to its VARIANT.
  HRESULT ByName(IDispatch* object);

 private:
  static Variant Read(const VARIANT& value);

  const PublicMethod* method_;
  std::vector<VARIANT> parameters_;
  VARIANT result_{};
};

}  // namespace tmxcnh::com::testing
