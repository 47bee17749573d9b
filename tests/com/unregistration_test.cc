// `regsvr32 /u TMXCNH39.dll` takes away everything registration wrote: after
// it no client can create the class. CTest runs this last (the fixture's
// cleanup), since it leaves the DLL unregistered.
#include "tests/com/com_test_support.h"

namespace tmxcnh::com {
namespace {

using testing::ComTest;
using testing::DllPath;

bool KeyExists(const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(handle);
  return true;
}

// Runs a program with its command line and waits for its exit code.
DWORD RunProgram(std::wstring command_line) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    ADD_FAILURE() << "could not start: error " << GetLastError();
    return 1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

using UnregistrationTest = ComTest;

TEST_F(UnregistrationTest, RemovesEverythingRegistrationWrote) {
  ASSERT_FALSE(DllPath().empty()) << "TMXCNH_COM_DLL is not set";
  CLSID clsid{};
  ASSERT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"TmxCNH39.CNH", &clsid)) << "not registered before";

  EXPECT_EQ(RunProgram(L"regsvr32.exe /u /s \"" + DllPath() + L"\""), 0u);

  EXPECT_FALSE(KeyExists(L"TmxCNH39.CNH"));
  EXPECT_FALSE(KeyExists(L"CLSID\\{5B3E9A43-7C2D-4E8F-9A61-2D4C8B7E1F03}"));
  EXPECT_FALSE(KeyExists(L"Interface\\{5B3E9A42-7C2D-4E8F-9A61-2D4C8B7E1F03}"));
  EXPECT_FALSE(KeyExists(L"TypeLib\\{5B3E9A41-7C2D-4E8F-9A61-2D4C8B7E1F03}"));
  EXPECT_TRUE(KeyExists(L"CLSID")) << "only the class's own keys go";

  EXPECT_HRESULT_FAILED(CLSIDFromProgID(L"TmxCNH39.CNH", &clsid));
  IUnknown* object = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_CNH, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);
}

}  // namespace
}  // namespace tmxcnh::com
