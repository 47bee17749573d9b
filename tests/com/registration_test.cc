// What `regsvr32 TMXCNH39.dll` left in the registry (CTest runs it before
// these tests), and a call from another apartment, which the automation
// marshaller makes from the registered type library.
#include <thread>
#include <tuple>

#include "tests/com/com_test_support.h"

namespace tmxcnh::com {
namespace {

using testing::Call;
using testing::ComPtr;

using RegistrationTest = testing::ComTest;

TEST_F(RegistrationTest, TheKeysOfTheClassItsInterfaceAndItsTypeLibrary) {
  const std::wstring clsid = L"{5B3E9A43-7C2D-4E8F-9A61-2D4C8B7E1F03}";
  const std::wstring libid = L"{5B3E9A41-7C2D-4E8F-9A61-2D4C8B7E1F03}";
  const std::wstring the_class = L"CLSID\\" + clsid;
  const std::wstring library = L"TypeLib\\" + libid + L"\\1.0";
  const std::wstring the_interface = L"Interface\\{5B3E9A42-7C2D-4E8F-9A61-2D4C8B7E1F03}";
  const std::wstring dll = testing::DllPath();
  ASSERT_FALSE(dll.empty()) << "TMXCNH_COM_DLL is not set";
  // Key, value (nullptr: the default one), what it holds (in any case: paths).
  const std::tuple<std::wstring, const wchar_t*, std::wstring> values[] = {
      {L"TmxCNH39.CNH", nullptr, L"TmxCNH39.CNH"},
      {L"TmxCNH39.CNH\\Clsid", nullptr, clsid},
      {the_class + L"\\InprocServer32", nullptr, dll},
      {the_class + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {the_class + L"\\ProgID", nullptr, L"TmxCNH39.CNH"},
      {the_class + L"\\TypeLib", nullptr, libid},
      {the_class + L"\\VERSION", nullptr, L"1.0"},
      {library, nullptr, L"TmxCNH39"},
      {library + (testing::DllBits() == 64 ? L"\\0\\win64" : L"\\0\\win32"), nullptr, dll},
      {library + L"\\FLAGS", nullptr, L"0"},
      {library + L"\\HELPDIR", nullptr, dll.substr(0, dll.find_last_of(L'\\'))},
      {the_interface, nullptr, L"_CNH"},
      {the_interface + L"\\ProxyStubClsid32", nullptr, L"{00020424-0000-0000-C000-000000000046}"},
      {the_interface + L"\\TypeLib", nullptr, libid},
      {the_interface + L"\\TypeLib", L"Version", L"1.0"},
  };
  for (const auto& [key, name, expected] : values) {
    wchar_t data[1024] = L"(missing)";
    DWORD size = sizeof(data);
    RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size);
    EXPECT_EQ(lstrcmpiW(data, expected.c_str()), 0)
        << Utf8FromWide(key + L" " + (name ? name : L"") + L": " + data);
  }
}

TEST_F(RegistrationTest, AnotherApartmentCallsThroughTheTypeLibraryMarshaller) {
  ComPtr<_CNH> object = testing::CreateByProgId();
  ASSERT_TRUE(object);
  IStream* stream = nullptr;
  ASSERT_HRESULT_SUCCEEDED(CoMarshalInterThreadInterfaceInStream(IID__CNH, object.Get(), &stream));
  Call call("gSoma_Nota_Fiscal");
  call.Set({{"invntQtde_Notas", Variant::Integer(2)},
            {"inarrvntVal_Declarado", Variant::Array({"10,50", "2,25"})}});
  HRESULT status = E_FAIL;
  HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread other([&] {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ComPtr<_CNH> proxy;
    if (SUCCEEDED(CoGetInterfaceAndReleaseStream(stream, IID__CNH, &proxy))) {
      status = call.ThroughTable(proxy.Get());
    }
    proxy.Reset();
    CoUninitialize();
    SetEvent(finished);
  });
  // The object's apartment serves the call while this thread waits.
  DWORD index = 0;
  EXPECT_HRESULT_SUCCEEDED(CoWaitForMultipleHandles(0, INFINITE, 1, &finished, &index));
  other.join();
  CloseHandle(finished);
  ASSERT_HRESULT_SUCCEEDED(status);
  EXPECT_EQ(call.Result(), Variant::Integer(0));
  EXPECT_EQ(call.Get("outvntValor_Total_NF"), Variant("12,75"));
}

}  // namespace
}  // namespace tmxcnh::com
