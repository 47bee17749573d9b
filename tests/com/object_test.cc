// The server and its objects without a database: the class factory and the
// unload counts; the object's interfaces, names and type information; every
// public method by name against the class called directly, on the "ORACLE"
// kind, whose methods call their emulations through the object's own table.
// A business failure is never a COM error.
#include <set>

#include "component/cnh.h"
#include "tests/com/com_test_support.h"

namespace tmxcnh::com {
namespace {

using testing::Call;
using testing::ComPtr;
using ServerTest = testing::ComTest;
using ObjectTest = testing::ObjectTest;

// The DLL's exports called as COM calls them.
TEST_F(ServerTest, TheFactoryMakesOnlyCnhAndTheDllStaysWhileObjectsLiveOrItIsLocked) {
  const HMODULE dll = LoadLibraryW(testing::DllPath().c_str());
  ASSERT_NE(dll, nullptr) << "TMXCNH_COM_DLL is not set or not loadable";
  const auto get = [dll](const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(dll, name));
  };
  const auto can_unload = reinterpret_cast<decltype(&DllCanUnloadNow)>(get("DllCanUnloadNow"));
  const auto get_class_object =
      reinterpret_cast<decltype(&DllGetClassObject)>(get("DllGetClassObject"));
  ASSERT_TRUE(can_unload && get_class_object);
  void* none = this;
  EXPECT_EQ(get_class_object(IID__CNH, IID_IClassFactory, &none), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(none, nullptr);
  ComPtr<IClassFactory> factory;
  ComPtr<IUnknown> first;
  ComPtr<IDispatch> second;
  ASSERT_HRESULT_SUCCEEDED(get_class_object(CLSID_CNH, IID_IClassFactory, &factory));
  EXPECT_EQ(factory->CreateInstance(factory.Get(), IID_IUnknown, &first), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(can_unload(), S_OK) << "the factory itself does not count";
  ASSERT_HRESULT_SUCCEEDED(factory->CreateInstance(nullptr, IID__CNH, &first));
  ASSERT_HRESULT_SUCCEEDED(factory->CreateInstance(nullptr, IID_IDispatch, &second));
  first.Reset();
  EXPECT_EQ(can_unload(), S_FALSE);
  second.Reset();
  EXPECT_EQ(can_unload(), S_OK);
  ASSERT_HRESULT_SUCCEEDED(factory->LockServer(TRUE));
  EXPECT_EQ(can_unload(), S_FALSE);
  ASSERT_HRESULT_SUCCEEDED(factory->LockServer(FALSE));
  EXPECT_EQ(can_unload(), S_OK);
}

TEST_F(ObjectTest, AnswersForItsInterfacesItsNamesAndItsTypeAndWhatDoesNotFitIsAComError) {
  ComPtr<IUnknown> unknown;
  ComPtr<IClassFactory> other;
  ComPtr<ITypeInfo> served;
  UINT count = 0;
  ASSERT_HRESULT_SUCCEEDED(object_.As(&unknown));
  EXPECT_EQ(unknown.Get(), static_cast<IUnknown*>(object_.Get()));
  EXPECT_EQ(object_.As(&other), E_NOINTERFACE);
  ASSERT_HRESULT_SUCCEEDED(object_->GetTypeInfoCount(&count));
  ASSERT_HRESULT_SUCCEEDED(object_->GetTypeInfo(0, 0x409, &served));
  const TYPEATTR type = testing::Attributes(served.Get());
  EXPECT_EQ(std::tuple(count, IsEqualGUID(type.guid, IID__CNH), type.typekind),
            std::tuple(1u, TRUE, TKIND_DISPATCH));
  EXPECT_EQ(object_->GetTypeInfo(1, 0x409, &served), DISP_E_BADINDEX);

  // Names without regard to case; a named argument's DISPID is its position.
  const wchar_t* names[] = {L"GBUSCA_DATA_DIA", L"outvntdata_dia", L"vntConecta_db"};
  DISPID ids[3] = {};
  const auto find = [&](REFIID iid, UINT named) {
    return object_->GetIDsOfNames(iid, const_cast<LPOLESTR*>(names), named, 0x409, ids);
  };
  ASSERT_HRESULT_SUCCEEDED(find(IID_NULL, 3));
  EXPECT_EQ(std::vector<DISPID>(ids, ids + 3), std::vector<DISPID>({0x60030002, 5, 1}));
  EXPECT_EQ(find(IID__CNH, 1), DISP_E_UNKNOWNINTERFACE);
  names[0] = L"gNao_Existe";
  EXPECT_EQ(find(IID_NULL, 1), DISP_E_UNKNOWNNAME);
  names[0] = L"gSoma_Nota_Fiscal";
  names[1] = L"a";  // the return value is no parameter a caller can name
  EXPECT_EQ(find(IID_NULL, 2), DISP_E_UNKNOWNNAME);

  DISPPARAMS none{};
  VARIANT answer{};
  const auto invoke = [&](DISPID id) {
    return object_->Invoke(id, IID_NULL, 0x409, DISPATCH_METHOD, &none, &answer, nullptr, nullptr);
  };
  EXPECT_EQ(invoke(0x60030002), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(invoke(0x6003000E), DISP_E_MEMBERNOTFOUND);
  VARIANT* null = nullptr;
  EXPECT_EQ(object_->gSoma_Nota_Fiscal(null, null, null, null, null, &answer), E_POINTER);
}

// Every public method by name answers as the class called directly: its
// result and every parameter, the document number that the field check
// cleans in place included. What the method did not write is the caller's own
// BSTR still. By name the call reaches the method's slot in the virtual table
// through the type library, as a vtable caller's does. The user 1 adds each
// method's name to a failure's message, so no two methods answer alike.
TEST_F(ObjectTest, EveryMethodByNameAnswersAsTheClass) {
  const auto given = [](std::string_view parameter) {
    return Variant(parameter == "invntBanco_Dados"            ? "ORACLE"
                   : parameter == "vntConecta_db"             ? "Driver=Nenhum;Database=nenhuma;"
                   : parameter == "invntNum_Docto_Transporte" ? "(1)"
                   : parameter.find("Data_") != std::string::npos ? "20/11/2003"
                                                                  : "1");
  };
  std::set<std::string> answers;
  for (const PublicMethod& method : PublicMethods()) {
    Call call(method.name);
    std::vector<Variant> direct;
    std::vector<BSTR> texts;
    for (size_t i = 0; i < method.parameters.size(); ++i) {
      direct.push_back(given(method.parameters[i]));
      ASSERT_HRESULT_SUCCEEDED(MakeVariant(direct[i], *call.at(i)));
      texts.push_back(V_BSTR(call.at(i)));
    }
    CNH component;
    const Variant result = method.invoke(component, direct);
    ASSERT_EQ(call.ByName(object_.Get()), S_OK) << method.name;
    for (size_t i = 0; i < direct.size(); ++i) {
      EXPECT_EQ(call.Get(i), direct[i]) << method.name << " " << method.parameters[i];
      if (direct[i] == given(method.parameters[i])) {
        EXPECT_EQ(V_BSTR(call.at(i)), texts[i]) << method.parameters[i] << " was rewritten";
      }
    }
    EXPECT_EQ(call.Result(), result) << method.name;
    answers.insert(Describe(result) + Describe(Variant::Array(direct)));
  }
  EXPECT_EQ(answers.size(), PublicMethods().size());
}

}  // namespace
}  // namespace tmxcnh::com
