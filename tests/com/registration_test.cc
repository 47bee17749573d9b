// What `regsvr32 TMXCNH39.dll` left in the registry (CTest runs it before
// these tests), and what a client can do with it.
#include <atomic>
#include <thread>

#include "component/cnh.h"
#include "tests/com/com_test_support.h"

namespace tmxcnh::com {
namespace {

using testing::Call;
using testing::ComTest;
using testing::CreateByProgId;
using testing::DllPath;
using testing::Ref;

const std::wstring kClass = L"CLSID\\{5B3E9A43-7C2D-4E8F-9A61-2D4C8B7E1F03}";
const std::wstring kLibrary = L"TypeLib\\{5B3E9A41-7C2D-4E8F-9A61-2D4C8B7E1F03}";
const std::wstring kInterface = L"Interface\\{5B3E9A42-7C2D-4E8F-9A61-2D4C8B7E1F03}";
const std::wstring kLibraryId = L"{5B3E9A41-7C2D-4E8F-9A61-2D4C8B7E1F03}";

// A text value under HKEY_CLASSES_ROOT; "(missing)" when there is none.
std::wstring Value(const std::wstring& key, const wchar_t* name = nullptr) {
  wchar_t data[1024] = {};
  DWORD size = sizeof(data);
  const LSTATUS status =
      RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size);
  return status == ERROR_SUCCESS ? std::wstring(data) : L"(missing)";
}

std::wstring Folder(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

using RegistrationTest = ComTest;

TEST_F(RegistrationTest, TheProgIdNamesTheClass) {
  EXPECT_EQ(Value(L"TmxCNH39.CNH"), L"TmxCNH39.CNH");
  EXPECT_EQ(Value(L"TmxCNH39.CNH\\Clsid"), L"{5B3E9A43-7C2D-4E8F-9A61-2D4C8B7E1F03}");
  CLSID clsid{};
  ASSERT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"TmxCNH39.CNH", &clsid));
  EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_CNH));
}

TEST_F(RegistrationTest, TheClassIsAnApartmentThreadedServerAtTheDllsPath) {
  ASSERT_FALSE(DllPath().empty()) << "TMXCNH_COM_DLL is not set";
  EXPECT_EQ(lstrcmpiW(Value(kClass + L"\\InprocServer32").c_str(), DllPath().c_str()), 0);
  EXPECT_EQ(Value(kClass + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
  EXPECT_EQ(Value(kClass + L"\\ProgID"), L"TmxCNH39.CNH");
  EXPECT_EQ(Value(kClass + L"\\TypeLib"), kLibraryId);
  EXPECT_EQ(Value(kClass + L"\\VERSION"), L"1.0");
}

TEST_F(RegistrationTest, TheTypeLibraryIsTheDllsResource) {
  EXPECT_EQ(Value(kLibrary + L"\\1.0"), L"TmxCNH39");
  EXPECT_EQ(
      lstrcmpiW(
          Value(kLibrary + (sizeof(void*) == 8 ? L"\\1.0\\0\\win64" : L"\\1.0\\0\\win32")).c_str(),
          DllPath().c_str()),
      0);
  EXPECT_EQ(Value(kLibrary + L"\\1.0\\FLAGS"), L"0");
  EXPECT_EQ(lstrcmpiW(Value(kLibrary + L"\\1.0\\HELPDIR").c_str(), Folder(DllPath()).c_str()), 0);
}

TEST_F(RegistrationTest, TheInterfaceIsMarshalledFromTheTypeLibrary) {
  EXPECT_EQ(Value(kInterface), L"_CNH");
  EXPECT_EQ(Value(kInterface + L"\\ProxyStubClsid32"), L"{00020424-0000-0000-C000-000000000046}");
  EXPECT_EQ(Value(kInterface + L"\\TypeLib"), kLibraryId);
  EXPECT_EQ(Value(kInterface + L"\\TypeLib", L"Version"), L"1.0");
}

TEST_F(RegistrationTest, AClientCreatesObjectsByProgId) {
  Ref<_CNH> first = CreateByProgId();
  Ref<_CNH> second = CreateByProgId();
  ASSERT_TRUE(first);
  ASSERT_TRUE(second);
  EXPECT_NE(first.get(), second.get());
  Ref<IDispatch> dispatch;
  ASSERT_HRESULT_SUCCEEDED(first->QueryInterface(IID_IDispatch, dispatch.Receive()));
  Ref<IUnknown> unknown;
  ASSERT_HRESULT_SUCCEEDED(first->QueryInterface(IID_IUnknown, unknown.Receive()));
  EXPECT_EQ(static_cast<void*>(dispatch.get()), static_cast<void*>(first.get()));
  EXPECT_EQ(static_cast<void*>(unknown.get()), static_cast<void*>(first.get()));
}

// Another apartment reaches the object through a proxy that the automation
// marshaller builds from the registered type library.
TEST_F(RegistrationTest, AnotherApartmentCallsThroughTheTypeLibraryMarshaller) {
  Ref<_CNH> object = CreateByProgId();
  ASSERT_TRUE(object);
  IStream* stream = nullptr;
  ASSERT_HRESULT_SUCCEEDED(CoMarshalInterThreadInterfaceInStream(IID__CNH, object.get(), &stream));
  HRESULT call_status = E_FAIL;
  std::string total;
  std::string message;
  std::atomic<bool> done{false};
  std::thread other([&] {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    _CNH* proxy = nullptr;
    if (SUCCEEDED(
            CoGetInterfaceAndReleaseStream(stream, IID__CNH, reinterpret_cast<void**>(&proxy)))) {
      Call call("gSoma_Nota_Fiscal");
      call.Set("invntUsuario_internet_id", Variant::Integer(5));
      call.Set("invntQtde_Notas", Variant::Integer(2));
      call.Set("inarrvntVal_Declarado", Variant::Array({Variant("10,50"), Variant("2,25")}));
      call_status = proxy->gSoma_Nota_Fiscal(call.at(0), call.at(1), call.at(2), call.at(3),
                                             call.at(4), &call.result());
      total = Describe(call.Get("outvntValor_Total_NF"));
      message = Describe(call.Get("outvntMsg_Ret"));
      proxy->Release();
    }
    CoUninitialize();
    done = true;
  });
  // The object's apartment serves the call while this thread waits.
  while (!done) {
    MSG pending;
    while (PeekMessageW(&pending, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&pending);
    Sleep(1);
  }
  other.join();
  EXPECT_HRESULT_SUCCEEDED(call_status);
  // What the component answers when called directly.
  CNH direct;
  Variant user = Variant::Integer(5);
  Variant count = Variant::Integer(2);
  Variant values = Variant::Array({Variant("10,50"), Variant("2,25")});
  Variant direct_total;
  Variant direct_message;
  direct.gSoma_Nota_Fiscal(user, count, values, direct_total, direct_message);
  EXPECT_EQ(total, Describe(direct_total));
  EXPECT_EQ(message, Describe(direct_message));
  EXPECT_NE(total, Describe(Variant()));
}

}  // namespace
}  // namespace tmxcnh::com
