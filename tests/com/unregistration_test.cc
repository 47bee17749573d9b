// `regsvr32 /u TMXCNH39.dll` takes away everything registration wrote: after
// it no client can create the class. CTest runs this last (the fixture's
// cleanup), since it leaves the DLL unregistered.
#include <cstdlib>

#include "tests/com/com_test_support.h"

namespace tmxcnh::com {
namespace {

using UnregistrationTest = testing::ComTest;

TEST_F(UnregistrationTest, RemovesEverythingRegistrationWrote) {
  CLSID clsid{};
  ASSERT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"TmxCNH39.CNH", &clsid)) << "not registered before";
  ASSERT_FALSE(testing::DllPath().empty()) << "TMXCNH_COM_DLL is not set";
  EXPECT_EQ(_wsystem((L"regsvr32.exe /u /s \"" + testing::DllPath() + L"\"").c_str()), 0);
  // Only the class's own keys go.
  for (const wchar_t* key : {L"TmxCNH39.CNH", L"CLSID\\{5B3E9A43-7C2D-4E8F-9A61-2D4C8B7E1F03}",
                             L"Interface\\{5B3E9A42-7C2D-4E8F-9A61-2D4C8B7E1F03}",
                             L"TypeLib\\{5B3E9A41-7C2D-4E8F-9A61-2D4C8B7E1F03}", L"CLSID"}) {
    HKEY handle = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, key, 0, KEY_READ, &handle) == ERROR_SUCCESS,
              std::wstring(key) == L"CLSID")
        << Utf8FromWide(key);
    RegCloseKey(handle);
  }
  EXPECT_HRESULT_FAILED(CLSIDFromProgID(L"TmxCNH39.CNH", &clsid));
  testing::ComPtr<IUnknown> object;
  EXPECT_EQ(CoCreateInstance(CLSID_CNH, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
            REGDB_E_CLASSNOTREG);
}

}  // namespace
}  // namespace tmxcnh::com
