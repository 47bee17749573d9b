// The type library that TMXCNH39.dll carries, read back from the file as a
// client reads it: identifiers, versions and flags, and each method of the
// interface as the method table (component/interface.def) describes it: its
// name, DISPID, slot and parameters. The 32-bit DLL's is read by the 64-bit
// program too (com.type_library_read_by_64_bit).
#include <tuple>

#include "tests/com/com_test_support.h"

namespace tmxcnh::com {
namespace {

using testing::Attributes;
using testing::ComPtr;
using testing::DllBits;

std::string Name(ITypeInfo* info, MEMBERID member = MEMBERID_NIL) {
  Bstr name;
  EXPECT_HRESULT_SUCCEEDED(
      info->GetDocumentation(member, name.Address(), nullptr, nullptr, nullptr));
  return name.Utf8();
}

// The type that another one implements or derives from.
ComPtr<ITypeInfo> Implemented(ITypeInfo* info, UINT index) {
  HREFTYPE reference = 0;
  ComPtr<ITypeInfo> implemented;
  EXPECT_HRESULT_SUCCEEDED(info->GetRefTypeOfImplType(index, &reference));
  EXPECT_HRESULT_SUCCEEDED(info->GetRefTypeInfo(reference, &implemented));
  return implemented;
}

class TypeLibraryTest : public testing::ComTest {
 protected:
  void SetUp() override {
    ComTest::SetUp();
    ASSERT_HRESULT_SUCCEEDED(LoadTypeLibEx(testing::DllPath().c_str(), REGKIND_NONE, &library_))
        << "TMXCNH_COM_DLL is not set or has no type library";
    ASSERT_HRESULT_SUCCEEDED(library_->GetTypeInfoOfGuid(IID__CNH, &dispatch_));
    vtable_ = Implemented(dispatch_.Get(), -1);
    ASSERT_TRUE(vtable_);
  }

  ComPtr<ITypeLib> library_;
  ComPtr<ITypeInfo> dispatch_;  // _CNH as IDispatch sees it
  ComPtr<ITypeInfo> vtable_;    // _CNH as its virtual table
};

TEST_F(TypeLibraryTest, TheLibraryItsClassAndItsDualAutomationInterfaceOnIDispatch) {
  TLIBATTR* library = nullptr;
  Bstr name;
  ASSERT_HRESULT_SUCCEEDED(library_->GetLibAttr(&library));
  ASSERT_HRESULT_SUCCEEDED(
      library_->GetDocumentation(-1, name.Address(), nullptr, nullptr, nullptr));
  EXPECT_EQ(
      std::tuple(IsEqualGUID(library->guid, LIBID_TmxCNH39), library->wMajorVerNum,
                 library->wMinorVerNum, library->lcid, library->syskind, name.Utf8(),
                 library_->GetTypeInfoCount()),
      std::tuple(TRUE, 1, 0, 0x409u, DllBits() == 32 ? SYS_WIN32 : SYS_WIN64, "TmxCNH39", 2u));
  library_->ReleaseTLibAttr(library);

  ComPtr<ITypeInfo> coclass;
  INT flags = 0;
  ASSERT_HRESULT_SUCCEEDED(library_->GetTypeInfoOfGuid(CLSID_CNH, &coclass));
  ASSERT_HRESULT_SUCCEEDED(coclass->GetImplTypeFlags(0, &flags));
  const TYPEATTR type = Attributes(coclass.Get());
  EXPECT_EQ(std::tuple(type.typekind, type.wMajorVerNum, type.wMinorVerNum,
                       type.wTypeFlags & TYPEFLAG_FCANCREATE, type.cImplTypes, Name(coclass.Get()),
                       flags, Name(Implemented(coclass.Get(), 0).Get())),
            std::tuple(TKIND_COCLASS, 1, 0, TYPEFLAG_FCANCREATE, 1, "CNH", IMPLTYPEFLAG_FDEFAULT,
                       "_CNH"));

  // IDispatch's 7 methods and the 14 of the interface, in both views.
  const int dual = TYPEFLAG_FDUAL | TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE |
                   TYPEFLAG_FDISPATCHABLE | TYPEFLAG_FOLEAUTOMATION;
  const TYPEATTR dispatch = Attributes(dispatch_.Get());
  const TYPEATTR vtable = Attributes(vtable_.Get());
  EXPECT_EQ(std::tuple(dispatch.typekind, dispatch.wTypeFlags & dual, dispatch.cFuncs,
                       Name(dispatch_.Get()), vtable.typekind, vtable.wTypeFlags & dual,
                       vtable.cFuncs, vtable.cbSizeVft, Name(Implemented(vtable_.Get(), 0).Get())),
            std::tuple(TKIND_DISPATCH, dual & ~TYPEFLAG_FOLEAUTOMATION, 21, "_CNH", TKIND_INTERFACE,
                       dual, 14, 21 * DllBits() / 8, "IDispatch"));
}

// Each method in the virtual table, the view that early-bound callers compile
// against and IDispatch calls through: its DISPID, slot and names. Its
// parameters (each a Variant by reference in and out, the result last) the
// calls by name (DispInvoke passes them as this library says) and through the
// marshaller (which copies back only what is out) depend on.
TEST_F(TypeLibraryTest, EachMethodAsTheMethodTableDescribesIt) {
  const std::vector<PublicMethod>& methods = PublicMethods();
  ASSERT_EQ(methods.size(), 14u);
  for (UINT index = 0; index < methods.size(); ++index) {
    const PublicMethod& method = methods[index];
    const SHORT count = static_cast<SHORT>(method.parameters.size());
    FUNCDESC* function = nullptr;
    ASSERT_HRESULT_SUCCEEDED(vtable_->GetFuncDesc(index, &function));
    // The DISPIDs that Visual Basic gave, in order: clients hold them. The
    // slot as the reading process sees it, whatever the DLL's bitness.
    EXPECT_EQ(std::tuple(function->memid, function->memid, function->oVft, function->funckind,
                         function->callconv, function->elemdescFunc.tdesc.vt, function->cParams),
              std::tuple(0x60030000 + index, method.dispid, (7 + index) * sizeof(void*),
                         FUNC_PUREVIRTUAL, CC_STDCALL, VT_HRESULT, count + 1))
        << method.name;
    // The names callers use by name; the result's, last, is no parameter.
    BSTR names[64] = {};
    UINT named = 0;
    EXPECT_HRESULT_SUCCEEDED(vtable_->GetNames(function->memid, names, 64, &named));
    vtable_->ReleaseFuncDesc(function);
    std::vector<std::string_view> expected = {method.name};
    expected.insert(expected.end(), method.parameters.begin(), method.parameters.end());
    EXPECT_EQ(named, expected.size() + 1) << method.name;
    for (UINT i = 0; i < named; ++i) {
      if (i < expected.size()) {
        EXPECT_EQ(Utf8FromBstr(names[i]), expected[i]);
      }
      SysFreeString(names[i]);
    }
  }
}

}  // namespace
}  // namespace tmxcnh::com
