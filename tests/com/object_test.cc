// The server and its objects without a database: the class factory and the
// unload counts; the object's interfaces, names and type information; every
// public method through the virtual table and by name against the class
// called directly, on the "ORACLE" kind, whose methods call their emulations
// through the object's own table. A business failure is never a COM error.
#include <set>

#include "component/cnh.h"
#include "tests/com/com_test_support.h"

namespace tmxcnh::com {
namespace {

using testing::Call;
using testing::ComPtr;

constexpr const char* kNoDatabase = "Driver=Nenhum;Database=nenhuma;";

using ServerTest = testing::ComTest;

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

class ObjectTest : public testing::ComTest {
 protected:
  void SetUp() override {
    ComTest::SetUp();
    object_ = testing::CreateByProgId();
    ASSERT_TRUE(object_);
  }
};

TEST_F(ObjectTest, AnswersForItsInterfacesItsNamesAndItsTypeAndWhatDoesNotFitIsAComError) {
  ComPtr<IUnknown> unknown;
  ComPtr<IClassFactory> other;
  ComPtr<ITypeInfo> served;
  UINT count = 0;
  ASSERT_HRESULT_SUCCEEDED(object_.As(&unknown));
  EXPECT_EQ(unknown.Get(), static_cast<IUnknown*>(object_.Get()));
  EXPECT_EQ(object_.As(&other), E_NOINTERFACE);
  ASSERT_HRESULT_SUCCEEDED(object_->GetTypeInfoCount(&count));
  EXPECT_EQ(count, 1u);
  ASSERT_HRESULT_SUCCEEDED(object_->GetTypeInfo(0, 0x409, &served));
  EXPECT_TRUE(IsEqualGUID(testing::Attributes(served.Get()).guid, IID__CNH));
  EXPECT_EQ(testing::Attributes(served.Get()).typekind, TKIND_DISPATCH);
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

// Every public method, through the table and by name, with the same
// parameters, answers as the class called directly: its result and every
// parameter, the document number that the field check cleans in place
// included. What the method did not write is the caller's own BSTR still.
// The user 1 adds each method's name to a failure's message, so no two
// methods answer alike.
TEST_F(ObjectTest, EveryMethodThroughTheTableAndByNameAnswersAsTheClass) {
  const auto given = [](std::string_view parameter) {
    return Variant(parameter == "invntBanco_Dados"                ? "ORACLE"
                   : parameter == "vntConecta_db"                 ? kNoDatabase
                   : parameter == "invntNum_Docto_Transporte"     ? "(1)"
                   : parameter.find("Data_") != std::string::npos ? "20/11/2003"
                                                                  : "1");
  };
  std::set<std::string> answers;
  for (const PublicMethod& method : PublicMethods()) {
    Call table(method.name);
    Call by_name(method.name);
    std::vector<Variant> direct;
    std::vector<BSTR> texts;
    for (size_t i = 0; i < method.parameters.size(); ++i) {
      direct.push_back(given(method.parameters[i]));
      ASSERT_HRESULT_SUCCEEDED(MakeVariant(direct[i], *table.at(i)));
      ASSERT_HRESULT_SUCCEEDED(MakeVariant(direct[i], *by_name.at(i)));
      texts.push_back(V_BSTR(table.at(i)));
    }
    CNH component;
    const Variant result = method.invoke(component, direct);
    ASSERT_EQ(table.ThroughTable(object_.Get()), S_OK) << method.name;
    ASSERT_EQ(by_name.ByName(object_.Get()), S_OK) << method.name;
    for (size_t i = 0; i < direct.size(); ++i) {
      EXPECT_EQ(table.Get(i), direct[i]) << method.name << " " << method.parameters[i];
      EXPECT_EQ(by_name.Get(i), direct[i]) << method.name << " " << method.parameters[i];
      if (direct[i] == given(method.parameters[i])) {
        EXPECT_EQ(V_BSTR(table.at(i)), texts[i]) << method.parameters[i] << " was rewritten";
      }
    }
    EXPECT_EQ(table.Result(), result) << method.name;
    EXPECT_EQ(by_name.Result(), result) << method.name;
    answers.insert(Describe(result) + Describe(Variant::Array(direct)));
  }
  EXPECT_EQ(answers.size(), PublicMethods().size());
}

}  // namespace
}  // namespace tmxcnh::com
