// `regsvr32 /u TMXCNH39.dll` takes away everything registration wrote, and
// nothing else: after it no client finds the class, by its ProgID or its
// CLSID, its type library or the marshaller of its interface. CTest runs this
// last (the fixture's cleanup), since it leaves the DLL unregistered.
#include "tests/com/com_test_support.h"

namespace tmxcnh::com {
namespace {

using UnregistrationTest = testing::ComTest;

TEST_F(UnregistrationTest, RemovesEverythingRegistrationWrote) {
  CLSID clsid{};
  ASSERT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"TmxCNH39.CNH", &clsid)) << "not registered before";
  ASSERT_FALSE(testing::DllPath().empty()) << "TMXCNH_COM_DLL is not set";
  EXPECT_EQ(_wsystem((L"regsvr32.exe /u /s \"" + testing::DllPath() + L"\"").c_str()), 0);
  testing::ComPtr<IUnknown> object;
  Bstr path;
  EXPECT_EQ(
      std::tuple(CLSIDFromProgID(L"TmxCNH39.CNH", &clsid),
                 CoCreateInstance(CLSID_CNH, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
                 QueryPathOfRegTypeLib(LIBID_TmxCNH39, 1, 0, 0, path.Address()),
                 CoGetPSClsid(IID__CNH, &clsid)),
      std::tuple(CO_E_CLASSSTRING, REGDB_E_CLASSNOTREG, TYPE_E_LIBNOTREGISTERED,
                 REGDB_E_IIDNOTREG));
  // The library's own key goes too; the root of the classes stays.
  for (const wchar_t* key : {L"TypeLib\\{5B3E9A41-7C2D-4E8F-9A61-2D4C8B7E1F03}", L"CLSID"}) {
    HKEY handle = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, key, 0, KEY_READ, &handle) == ERROR_SUCCESS,
              std::wstring(key) == L"CLSID")
        << Utf8FromWide(key);
    RegCloseKey(handle);
  }
}

}  // namespace
}  // namespace tmxcnh::com
