// What the COM server's tests share. They are Windows programs that run under
// Wine (scripts/with-wine), with the DLL registered by regsvr32 first
// (tests/com/com_tests.cmake): an apartment for each test, references that
// release themselves, and the by-reference VARIANTs of one call, set and read
// by the interface's parameter names.
#pragma once

#include <windows.h>
// The COM and OLE headers take their basic types from windows.h.
#include <gtest/gtest.h>
#include <oleauto.h>

#include <string>
#include <utility>
#include <vector>

#include "com/cnh_interface.h"
#include "component/method_table.h"
#include "platform/variant.h"

namespace tmxcnh::com::testing {

// The Windows path of TMXCNH39.dll (TMXCNH_COM_DLL, which CTest sets).
std::wstring DllPath();

// The bitness of the DLL under test (TMXCNH_COM_DLL_BITS, which CTest sets
// when a 64-bit reader looks at the 32-bit DLL), by default this program's.
int DllBits();
// The size of a pointer in the DLL under test.
inline size_t DllPointerSize() { return DllBits() == 32 ? 4 : 8; }

// The ODBC connection text of the PostgreSQL test database (TMXCNH_TEST_PG,
// which scripts/with-postgres sets); empty when there is none.
std::string TestDatabase();

// The text of a GUID as the registry writes it: {XXXXXXXX-...}.
std::wstring GuidText(REFGUID guid);

// Each test in a single-threaded apartment of its own, as a client's.
class ComTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr)); }
  void TearDown() override { CoUninitialize(); }
};

// A counted reference, released when it goes.
template <typename T>
class Ref {
 public:
  Ref() = default;
  explicit Ref(T* pointer) : pointer_(pointer) {}
  ~Ref() { Reset(); }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  Ref(Ref&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  Ref& operator=(Ref&& other) noexcept {
    if (this != &other) {
      Reset();
      pointer_ = std::exchange(other.pointer_, nullptr);
    }
    return *this;
  }

  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // For a function that hands out a reference.
  void** Receive() {
    Reset();
    return reinterpret_cast<void**>(&pointer_);
  }
  void Reset() {
    if (pointer_) pointer_->Release();
    pointer_ = nullptr;
  }

 private:
  T* pointer_ = nullptr;
};

// A new object of the class, created by ProgID as a client creates it.
Ref<_CNH> CreateByProgId();

// The object's whole virtual table, the private emulations included.
inline CnhInterface* WholeTable(_CNH* object) { return static_cast<CnhInterface*>(object); }

// The by-reference VARIANTs of one call of a public method, all Empty at first.
class Call {
 public:
  explicit Call(const char* method);
  ~Call();
  Call(const Call&) = delete;
  Call& operator=(const Call&) = delete;

  // The parameter of that name (the interface's, ignoring case); an unknown
  // name fails the test.
  VARIANT& operator[](const std::string& name);
  // Parameter i, in the interface's order.
  VARIANT* at(size_t i) { return &parameters_[i]; }
  size_t size() const { return parameters_.size(); }

  void Set(const std::string& name, const Variant& value);
  // The parameter as the component would read it.
  Variant Get(const std::string& name);

  // Calls the method by name through IDispatch: GetIDsOfNames, then Invoke
  // with every parameter as a VT_BYREF|VT_VARIANT reference to its VARIANT.
  HRESULT InvokeByName(IDispatch* object);

  // The result, after a call by name or after one through the interface
  // (which writes result() or boolean_result()).
  VARIANT& result() { return result_; }
  VARIANT_BOOL* boolean_result() { return &boolean_result_; }
  Variant ResultValue();

 private:
  const PublicMethod* method_;
  std::vector<VARIANT> parameters_;
  VARIANT result_{};
  VARIANT_BOOL boolean_result_ = VARIANT_FALSE;
};

// An automation object whose default property (DISPID_VALUE) is a text, as
// an ADO connection's is its connection string. It lives on the stack: its
// reference count is only watched.
class DefaultPropertyObject : public IDispatch {
 public:
  explicit DefaultPropertyObject(std::string text) : text_(std::move(text)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                   DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argument_error) override;

  // References held besides the owner's.
  ULONG references() const { return references_ - 1; }
  int reads() const { return reads_; }

 private:
  std::string text_;
  ULONG references_ = 1;
  int reads_ = 0;
};

// A BSTR made from UTF-8, for building VARIANTs by hand.
BSTR NewBstr(const std::string& text);

// A VARIANT's text, for messages and checks (BSTR contents as UTF-8).
std::string Show(const VARIANT& value);

}  // namespace tmxcnh::com::testing
