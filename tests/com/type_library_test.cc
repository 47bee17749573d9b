// The type library that TMXCNH39.dll carries, read back as a client reads it:
// identifiers, versions, flags, the functions in slot order with their
// DISPIDs and parameters, and the same description served by the object.
#include "com/variant_bridge.h"
#include "tests/com/com_test_support.h"

namespace tmxcnh::com {
namespace {

using testing::ComTest;
using testing::CreateByProgId;
using testing::DllBits;
using testing::DllPath;
using testing::DllPointerSize;
using testing::GuidText;
using testing::Ref;

// The standard OLE type library (stdole2), where IDispatch is described.
constexpr GUID kStdOle = {0x00020430, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

std::string Name(ITypeInfo* info, MEMBERID member = MEMBERID_NIL) {
  BSTR name = nullptr;
  EXPECT_HRESULT_SUCCEEDED(info->GetDocumentation(member, &name, nullptr, nullptr, nullptr));
  const std::string text = Utf8FromBstr(name);
  SysFreeString(name);
  return text;
}

// A function's name and parameter names, as GetNames gives them.
std::vector<std::string> Names(ITypeInfo* info, MEMBERID member) {
  BSTR names[64] = {};
  UINT count = 0;
  EXPECT_HRESULT_SUCCEEDED(info->GetNames(member, names, 64, &count));
  std::vector<std::string> out;
  for (UINT i = 0; i < count; ++i) {
    out.push_back(Utf8FromBstr(names[i]));
    SysFreeString(names[i]);
  }
  return out;
}

class TypeLibraryTest : public ComTest {
 protected:
  void SetUp() override {
    ComTest::SetUp();
    ASSERT_FALSE(DllPath().empty()) << "TMXCNH_COM_DLL is not set";
    ASSERT_HRESULT_SUCCEEDED(LoadTypeLibEx(DllPath().c_str(), REGKIND_NONE,
                                           reinterpret_cast<ITypeLib**>(library_.Receive())));
    ASSERT_HRESULT_SUCCEEDED(
        library_->GetTypeInfoOfGuid(IID__CNH, reinterpret_cast<ITypeInfo**>(dispatch_.Receive())));
    HREFTYPE reference = 0;
    ASSERT_HRESULT_SUCCEEDED(dispatch_->GetRefTypeOfImplType(-1, &reference));
    ASSERT_HRESULT_SUCCEEDED(
        dispatch_->GetRefTypeInfo(reference, reinterpret_cast<ITypeInfo**>(vtable_.Receive())));
  }
  void TearDown() override {
    vtable_.Reset();
    dispatch_.Reset();
    library_.Reset();
    ComTest::TearDown();
  }

  Ref<ITypeLib> library_;
  Ref<ITypeInfo> dispatch_;  // _CNH as IDispatch sees it
  Ref<ITypeInfo> vtable_;    // _CNH as its virtual table
};

TEST_F(TypeLibraryTest, TheLibrary) {
  TLIBATTR* attributes = nullptr;
  ASSERT_HRESULT_SUCCEEDED(library_->GetLibAttr(&attributes));
  EXPECT_EQ(GuidText(attributes->guid), L"{5B3E9A41-7C2D-4E8F-9A61-2D4C8B7E1F03}");
  EXPECT_EQ(attributes->wMajorVerNum, 1);
  EXPECT_EQ(attributes->wMinorVerNum, 0);
  EXPECT_EQ(attributes->lcid, 0x409u);
  EXPECT_EQ(attributes->syskind, DllBits() == 32 ? SYS_WIN32 : SYS_WIN64);
  library_->ReleaseTLibAttr(attributes);

  BSTR name = nullptr;
  BSTR help_string = nullptr;
  BSTR help_file = nullptr;
  ASSERT_HRESULT_SUCCEEDED(
      library_->GetDocumentation(-1, &name, &help_string, nullptr, &help_file));
  EXPECT_STREQ(name, L"TmxCNH39");
  EXPECT_EQ(help_string, nullptr);
  EXPECT_EQ(help_file, nullptr);
  SysFreeString(name);

  ASSERT_EQ(library_->GetTypeInfoCount(), 2u);
  TYPEKIND kind = TKIND_MAX;
  library_->GetTypeInfoType(0, &kind);
  EXPECT_EQ(kind, TKIND_DISPATCH);
  library_->GetTypeInfoType(1, &kind);
  EXPECT_EQ(kind, TKIND_COCLASS);
}

TEST_F(TypeLibraryTest, TheInterfaceIsDualHiddenNonExtensibleAndAutomation) {
  TYPEATTR* attributes = nullptr;
  ASSERT_HRESULT_SUCCEEDED(dispatch_->GetTypeAttr(&attributes));
  EXPECT_EQ(GuidText(attributes->guid), L"{5B3E9A42-7C2D-4E8F-9A61-2D4C8B7E1F03}");
  EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
  EXPECT_EQ(attributes->wMajorVerNum, 1);
  EXPECT_EQ(attributes->wMinorVerNum, 0);
  const WORD flags =
      TYPEFLAG_FDUAL | TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE;
  EXPECT_EQ(attributes->wTypeFlags & flags, flags) << std::hex << attributes->wTypeFlags;
  EXPECT_EQ(attributes->cFuncs, 21);
  dispatch_->ReleaseTypeAttr(attributes);
  EXPECT_EQ(Name(dispatch_.get()), "_CNH");

  ASSERT_HRESULT_SUCCEEDED(vtable_->GetTypeAttr(&attributes));
  EXPECT_EQ(attributes->typekind, TKIND_INTERFACE);
  EXPECT_EQ(attributes->wTypeFlags & (flags | TYPEFLAG_FOLEAUTOMATION),
            (flags | TYPEFLAG_FOLEAUTOMATION))
      << std::hex << attributes->wTypeFlags;
  EXPECT_EQ(attributes->cFuncs, 14);
  EXPECT_EQ(attributes->cbSizeVft, 21 * DllPointerSize());
  vtable_->ReleaseTypeAttr(attributes);
}

TEST_F(TypeLibraryTest, TheInterfaceDerivesFromTheStandardIDispatch) {
  HREFTYPE reference = 0;
  ASSERT_HRESULT_SUCCEEDED(vtable_->GetRefTypeOfImplType(0, &reference));
  Ref<ITypeInfo> base;
  ASSERT_HRESULT_SUCCEEDED(
      vtable_->GetRefTypeInfo(reference, reinterpret_cast<ITypeInfo**>(base.Receive())));
  EXPECT_EQ(Name(base.get()), "IDispatch");
  Ref<ITypeLib> container;
  UINT index = 0;
  ASSERT_HRESULT_SUCCEEDED(
      base->GetContainingTypeLib(reinterpret_cast<ITypeLib**>(container.Receive()), &index));
  TLIBATTR* attributes = nullptr;
  ASSERT_HRESULT_SUCCEEDED(container->GetLibAttr(&attributes));
  EXPECT_TRUE(IsEqualGUID(attributes->guid, kStdOle));
  container->ReleaseTLibAttr(attributes);
}

TEST_F(TypeLibraryTest, TwentyOneFunctionsInSlotOrder) {
  const char* inherited[] = {"QueryInterface", "AddRef",        "Release", "GetTypeInfoCount",
                             "GetTypeInfo",    "GetIDsOfNames", "Invoke"};
  const std::vector<PublicMethod>& methods = PublicMethods();
  ASSERT_EQ(methods.size(), 14u);
  for (UINT slot = 0; slot < 21; ++slot) {
    FUNCDESC* function = nullptr;
    ASSERT_HRESULT_SUCCEEDED(dispatch_->GetFuncDesc(slot, &function));
    const std::string name = Name(dispatch_.get(), function->memid);
    if (slot < 7) {
      EXPECT_EQ(name, inherited[slot]);
    } else {
      const PublicMethod& method = methods[slot - 7];
      EXPECT_EQ(name, method.name);
      EXPECT_EQ(function->memid, static_cast<MEMBERID>(0x60030000 + (slot - 7)));
      EXPECT_EQ(function->memid, method.dispid);
      EXPECT_EQ(function->invkind, INVOKE_FUNC);
      // The dispatch view hides the return value.
      EXPECT_EQ(function->cParams, static_cast<SHORT>(method.parameters.size())) << name;
      EXPECT_EQ(function->elemdescFunc.tdesc.vt, method.returns_boolean ? VT_BOOL : VT_VARIANT);
      const std::vector<std::string> names = Names(dispatch_.get(), function->memid);
      ASSERT_EQ(names.size(), method.parameters.size() + 1) << name;
      for (size_t i = 0; i < method.parameters.size(); ++i) {
        EXPECT_EQ(names[i + 1], method.parameters[i]) << name;
      }
    }
    dispatch_->ReleaseFuncDesc(function);
  }
}

TEST_F(TypeLibraryTest, EveryParameterIsAVariantByReferenceAndTheLastTheReturnValue) {
  const std::vector<PublicMethod>& methods = PublicMethods();
  for (UINT index = 0; index < 14; ++index) {
    FUNCDESC* function = nullptr;
    ASSERT_HRESULT_SUCCEEDED(vtable_->GetFuncDesc(index, &function));
    const PublicMethod& method = methods[index];
    EXPECT_EQ(Name(vtable_.get(), function->memid), method.name);
    // The offset as the reading process sees it, whatever the DLL's bitness.
    EXPECT_EQ(function->oVft, static_cast<SHORT>((7 + index) * sizeof(void*))) << method.name;
    EXPECT_EQ(function->funckind, FUNC_PUREVIRTUAL);
    EXPECT_EQ(function->callconv, CC_STDCALL);
    EXPECT_EQ(function->elemdescFunc.tdesc.vt, VT_HRESULT);
    ASSERT_EQ(function->cParams, static_cast<SHORT>(method.parameters.size() + 1));
    for (SHORT i = 0; i < function->cParams; ++i) {
      const ELEMDESC& parameter = function->lprgelemdescParam[i];
      ASSERT_EQ(parameter.tdesc.vt, VT_PTR);
      const bool last = i == function->cParams - 1;
      const VARTYPE pointee = parameter.tdesc.lptdesc->vt;
      const USHORT flags = parameter.paramdesc.wParamFlags;
      if (!last) {
        EXPECT_EQ(pointee, VT_VARIANT) << method.name << " " << i;
        EXPECT_EQ(flags, PARAMFLAG_FIN | PARAMFLAG_FOUT) << method.name << " " << i;
      } else {
        EXPECT_EQ(pointee, method.returns_boolean ? VT_BOOL : VT_VARIANT) << method.name;
        EXPECT_EQ(flags, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL) << method.name;
      }
    }
    vtable_->ReleaseFuncDesc(function);
  }
}

TEST_F(TypeLibraryTest, TheIdentifiersCallersHold) {
  const std::pair<const wchar_t*, MEMBERID> known[] = {
      {L"gConsulta_Cliente_Docto_Transp", 0x60030000}, {L"gBusca_Data_Dia", 0x60030002},
      {L"gConsulta_Docto_Transporte", 0x60030005},     {L"mBusca_Cliente", 0x60030009},
      {L"mVerifica_Dupli_Num_Docto", 0x6003000D},
  };
  for (const auto& [name, expected] : known) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    MEMBERID id = 0;
    ASSERT_HRESULT_SUCCEEDED(dispatch_->GetIDsOfNames(names, 1, &id));
    EXPECT_EQ(id, expected);
  }
}

TEST_F(TypeLibraryTest, TheCreatableClass) {
  Ref<ITypeInfo> coclass;
  ASSERT_HRESULT_SUCCEEDED(
      library_->GetTypeInfoOfGuid(CLSID_CNH, reinterpret_cast<ITypeInfo**>(coclass.Receive())));
  TYPEATTR* attributes = nullptr;
  ASSERT_HRESULT_SUCCEEDED(coclass->GetTypeAttr(&attributes));
  EXPECT_EQ(GuidText(attributes->guid), L"{5B3E9A43-7C2D-4E8F-9A61-2D4C8B7E1F03}");
  EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
  EXPECT_EQ(attributes->wMajorVerNum, 1);
  EXPECT_EQ(attributes->wMinorVerNum, 0);
  EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FCANCREATE);
  EXPECT_EQ(attributes->cImplTypes, 1);
  coclass->ReleaseTypeAttr(attributes);
  EXPECT_EQ(Name(coclass.get()), "CNH");

  INT flags = 0;
  ASSERT_HRESULT_SUCCEEDED(coclass->GetImplTypeFlags(0, &flags));
  EXPECT_TRUE(flags & IMPLTYPEFLAG_FDEFAULT);
  HREFTYPE reference = 0;
  ASSERT_HRESULT_SUCCEEDED(coclass->GetRefTypeOfImplType(0, &reference));
  Ref<ITypeInfo> implemented;
  ASSERT_HRESULT_SUCCEEDED(
      coclass->GetRefTypeInfo(reference, reinterpret_cast<ITypeInfo**>(implemented.Receive())));
  EXPECT_EQ(Name(implemented.get()), "_CNH");
}

TEST_F(TypeLibraryTest, TheRegisteredLibraryIsTheDll) {
  BSTR path = nullptr;
  ASSERT_HRESULT_SUCCEEDED(QueryPathOfRegTypeLib(LIBID_TmxCNH39, 1, 0, 0x409, &path));
  EXPECT_EQ(lstrcmpiW(path, DllPath().c_str()), 0) << Utf8FromBstr(path);
  SysFreeString(path);
  Ref<ITypeLib> registered;
  ASSERT_HRESULT_SUCCEEDED(LoadRegTypeLib(LIBID_TmxCNH39, 1, 0, 0x409,
                                          reinterpret_cast<ITypeLib**>(registered.Receive())));
  EXPECT_EQ(registered->GetTypeInfoCount(), 2u);
}

TEST_F(TypeLibraryTest, TheObjectServesTheSameDescription) {
  Ref<_CNH> object = CreateByProgId();
  ASSERT_TRUE(object);
  UINT count = 0;
  ASSERT_HRESULT_SUCCEEDED(object->GetTypeInfoCount(&count));
  EXPECT_EQ(count, 1u);
  Ref<ITypeInfo> served;
  ASSERT_HRESULT_SUCCEEDED(
      object->GetTypeInfo(0, 0x409, reinterpret_cast<ITypeInfo**>(served.Receive())));
  TYPEATTR* attributes = nullptr;
  ASSERT_HRESULT_SUCCEEDED(served->GetTypeAttr(&attributes));
  EXPECT_TRUE(IsEqualGUID(attributes->guid, IID__CNH));
  EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
  EXPECT_EQ(attributes->cFuncs, 21);
  served->ReleaseTypeAttr(attributes);
  ITypeInfo* none = reinterpret_cast<ITypeInfo*>(1);
  EXPECT_EQ(object->GetTypeInfo(1, 0x409, &none), DISP_E_BADINDEX);
  EXPECT_EQ(none, nullptr);
}

TEST_F(TypeLibraryTest, TheObjectFindsNamesWithoutRegardToCase) {
  Ref<_CNH> object = CreateByProgId();
  ASSERT_TRUE(object);
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"GBUSCA_DATA_DIA"),
                      const_cast<LPOLESTR>(L"outvntdata_dia"),
                      const_cast<LPOLESTR>(L"vntConecta_db")};
  DISPID ids[3] = {};
  ASSERT_HRESULT_SUCCEEDED(object->GetIDsOfNames(IID_NULL, names, 3, 0x409, ids));
  EXPECT_EQ(ids[0], 0x60030002);
  EXPECT_EQ(ids[1], 5);  // a named argument's id is its position
  EXPECT_EQ(ids[2], 1);

  LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"gNao_Existe")};
  EXPECT_EQ(object->GetIDsOfNames(IID_NULL, unknown, 1, 0x409, ids), DISP_E_UNKNOWNNAME);
  // The return value is no parameter a caller can name.
  LPOLESTR result[] = {const_cast<LPOLESTR>(L"gSoma_Nota_Fiscal"), const_cast<LPOLESTR>(L"a")};
  EXPECT_EQ(object->GetIDsOfNames(IID_NULL, result, 2, 0x409, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(object->GetIDsOfNames(IID__CNH, names, 1, 0x409, ids), DISP_E_UNKNOWNINTERFACE);
}

}  // namespace
}  // namespace tmxcnh::com
