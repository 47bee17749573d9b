// What `regsvr32 TMXCNH39.dll` registered (CTest runs it before these tests),
// as clients look it up: the class by its ProgID and back, the type library of
// this bitness at the DLL's path, and the threading model and the marshaller,
// by creating and calling the object from another apartment.
#include <thread>

#include "tests/com/com_test_support.h"

namespace tmxcnh::com {
namespace {

using testing::Call;
using testing::ComPtr;
using RegistrationTest = testing::ObjectTest;

// Another single-threaded apartment gets an object of its own (the class is
// apartment threaded) and this one's through a proxy, which the automation
// marshaller makes from the registered type library.
TEST_F(RegistrationTest, ClientsFindTheClassItsTypeLibraryAndItsMarshaller) {
  LPOLESTR prog_id = nullptr;
  ASSERT_HRESULT_SUCCEEDED(ProgIDFromCLSID(CLSID_CNH, &prog_id));
  EXPECT_STREQ(prog_id, L"TmxCNH39.CNH");
  CoTaskMemFree(prog_id);
  // The type library under this bitness's key: the other DLL's stays beside it.
  const std::wstring key = L"TypeLib\\{5B3E9A41-7C2D-4E8F-9A61-2D4C8B7E1F03}\\1.0\\0\\win" +
                           std::to_wstring(testing::DllBits());
  wchar_t path[1024] = L"(missing)";
  DWORD size = sizeof(path);
  RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path, &size);
  EXPECT_EQ(lstrcmpiW(path, testing::DllPath().c_str()), 0) << Utf8FromWide(path);

  IStream* stream = nullptr;
  ASSERT_HRESULT_SUCCEEDED(CoMarshalInterThreadInterfaceInStream(IID__CNH, object_.Get(), &stream));
  Call call("gSoma_Nota_Fiscal");
  call.Set({{"invntQtde_Notas", Variant::Integer(2)},
            {"inarrvntVal_Declarado", Variant::Array({"10,50", "2,25"})}});
  HRESULT own = E_FAIL;
  HRESULT status = E_FAIL;
  HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread other([&] {
    CoInitialize(nullptr);
    ComPtr<_CNH> proxy;
    ComPtr<IMultiQI> only_a_proxy_has;
    if (ComPtr<_CNH> mine = testing::CreateByProgId()) own = mine.As(&only_a_proxy_has);
    if (SUCCEEDED(CoGetInterfaceAndReleaseStream(stream, IID__CNH, &proxy))) {
      status = call.ThroughTable(proxy.Get());
    }
    only_a_proxy_has.Reset();
    proxy.Reset();
    CoUninitialize();
    SetEvent(finished);
  });
  // This apartment serves the call while this thread waits.
  DWORD index = 0;
  EXPECT_HRESULT_SUCCEEDED(CoWaitForMultipleHandles(0, INFINITE, 1, &finished, &index));
  other.join();
  CloseHandle(finished);
  EXPECT_EQ(own, E_NOINTERFACE) << "the other apartment's own object came through a proxy";
  ASSERT_HRESULT_SUCCEEDED(status);
  EXPECT_EQ(call.Result(), Variant::Integer(0));
  EXPECT_EQ(call.Get("outvntValor_Total_NF"), Variant("12,75"));
}

}  // namespace
}  // namespace tmxcnh::com
