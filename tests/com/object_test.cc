// The server and its objects without a database: the exports and their
// ordinals, the class factory and the unload counts, the private emulations
// in their slots of the object's table, and the calls between methods, which
// go through that table. A business failure is never a COM error.
#include <cstring>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "com/variant_bridge.h"
#include "component/cnh.h"
#include "tests/com/com_test_support.h"

namespace tmxcnh::com {
namespace {

using testing::Call;
using testing::ComTest;
using testing::CreateByProgId;
using testing::DllPath;
using testing::NewBstr;
using testing::Ref;
using testing::WholeTable;

constexpr const char* kNoDatabase = "Driver=Nenhum;Database=nenhuma;";
constexpr const char* kServerDateSentence =
    "Acesso a função não disponível: gBusca_Data_Dia. Favor tentar mais tarde.";

using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

// The DLL loaded by its path, as COM loads it.
class ServerTest : public ComTest {
 protected:
  void SetUp() override {
    ComTest::SetUp();
    ASSERT_FALSE(DllPath().empty()) << "TMXCNH_COM_DLL is not set";
    module_ = LoadLibraryW(DllPath().c_str());
    ASSERT_NE(module_, nullptr);
    can_unload_ = reinterpret_cast<CanUnloadNow>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
    get_class_object_ = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    ASSERT_NE(can_unload_, nullptr);
    ASSERT_NE(get_class_object_, nullptr);
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
    ComTest::TearDown();
  }

  Ref<IClassFactory> Factory() {
    Ref<IClassFactory> factory;
    EXPECT_HRESULT_SUCCEEDED(get_class_object_(CLSID_CNH, IID_IClassFactory, factory.Receive()));
    return factory;
  }

  HMODULE module_ = nullptr;
  CanUnloadNow can_unload_ = nullptr;
  GetClassObject get_class_object_ = nullptr;
};

TEST_F(ServerTest, TheExportsAnswerToTheirOrdinals) {
  const char* names[] = {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                         "DllUnregisterServer"};
  for (WORD ordinal = 1; ordinal <= 4; ++ordinal) {
    const FARPROC by_ordinal = GetProcAddress(module_, MAKEINTRESOURCEA(ordinal));
    ASSERT_NE(by_ordinal, nullptr) << ordinal;
    EXPECT_EQ(by_ordinal, GetProcAddress(module_, names[ordinal - 1])) << names[ordinal - 1];
  }
  EXPECT_EQ(GetProcAddress(module_, MAKEINTRESOURCEA(5)), nullptr);
}

TEST_F(ServerTest, OnlyTheClassOfCnhIsServed) {
  void* object = this;
  EXPECT_EQ(get_class_object_(IID__CNH, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
  const GUID another = {0x0BADF00D, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
  EXPECT_EQ(get_class_object_(another, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
  Ref<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  Ref<IUnknown> none;
  Ref<IUnknown> outer;
  ASSERT_HRESULT_SUCCEEDED(factory->QueryInterface(IID_IUnknown, outer.Receive()));
  EXPECT_EQ(factory->CreateInstance(outer.get(), IID_IUnknown, none.Receive()),
            CLASS_E_NOAGGREGATION);
  EXPECT_FALSE(none);
}

TEST_F(ServerTest, TheDllStaysWhileObjectsLiveOrTheServerIsLocked) {
  EXPECT_EQ(can_unload_(), S_OK);
  Ref<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  EXPECT_EQ(can_unload_(), S_OK) << "the factory itself does not count";

  Ref<_CNH> first;
  Ref<_CNH> second;
  ASSERT_HRESULT_SUCCEEDED(factory->CreateInstance(nullptr, IID__CNH, first.Receive()));
  ASSERT_HRESULT_SUCCEEDED(factory->CreateInstance(nullptr, IID_IDispatch, second.Receive()));
  EXPECT_NE(first.get(), second.get());
  EXPECT_EQ(can_unload_(), S_FALSE);
  first.Reset();
  EXPECT_EQ(can_unload_(), S_FALSE);
  second.Reset();
  EXPECT_EQ(can_unload_(), S_OK);

  ASSERT_HRESULT_SUCCEEDED(factory->LockServer(TRUE));
  EXPECT_EQ(can_unload_(), S_FALSE);
  ASSERT_HRESULT_SUCCEEDED(factory->LockServer(FALSE));
  EXPECT_EQ(can_unload_(), S_OK);
}

TEST_F(ServerTest, AnObjectAnswersForItsInterfacesOnly) {
  Ref<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  Ref<IUnknown> object;
  ASSERT_HRESULT_SUCCEEDED(factory->CreateInstance(nullptr, IID_IUnknown, object.Receive()));
  Ref<IUnknown> other;
  EXPECT_EQ(object->QueryInterface(IID_IClassFactory, other.Receive()), E_NOINTERFACE);
  EXPECT_FALSE(other);
  Ref<_CNH> cnh;
  EXPECT_HRESULT_SUCCEEDED(object->QueryInterface(IID__CNH, cnh.Receive()));
  EXPECT_EQ(static_cast<void*>(cnh.get()), static_cast<void*>(object.get()));
}

class ObjectTest : public ComTest {
 protected:
  void SetUp() override {
    ComTest::SetUp();
    object_ = CreateByProgId();
    ASSERT_TRUE(object_);
  }
  void TearDown() override {
    object_.Reset();
    ComTest::TearDown();
  }

  Ref<_CNH> object_;
};

TEST_F(ObjectTest, AFailureOfTheMethodIsInItsResultAndMessage) {
  Call call("gBusca_Data_Dia");
  call.Set("invntBanco_Dados", "SQLSERVER");
  call.Set("vntConecta_db", kNoDatabase);
  call.Set("invntUsuario_internet_id", Variant::Integer(5));
  const HRESULT hr = object_->gBusca_Data_Dia(call.at(0), call.at(1), call.at(2), call.at(3),
                                              call.at(4), call.at(5), call.at(6), &call.result());
  EXPECT_EQ(hr, S_OK);
  EXPECT_EQ(V_VT(&call.result()), VT_I2);
  EXPECT_EQ(V_I2(&call.result()), 10);
  EXPECT_EQ(call.Get("outvntMsg_Ret"), Variant(kServerDateSentence));
  EXPECT_EQ(call.Get("outvntData_Dia"), Variant());

  ASSERT_HRESULT_SUCCEEDED(call.InvokeByName(object_.get()));
  EXPECT_EQ(call.ResultValue(), Variant::Integer(10));
}

TEST_F(ObjectTest, OnlyWhatTheMethodWroteIsWrittenBack) {
  Call call("gSoma_Nota_Fiscal");
  BSTR user = NewBstr("5");
  V_VT(&call["invntUsuario_internet_id"]) = VT_BSTR;
  V_BSTR(&call["invntUsuario_internet_id"]) = user;
  call.Set("invntQtde_Notas", Variant::Long(2));
  call.Set("inarrvntVal_Declarado", Variant::Array({Variant("1.000,50"), Variant("2,25")}));
  call.Set("outvntMsg_Ret", "intocada");
  SAFEARRAY* values = V_ARRAY(&call["inarrvntVal_Declarado"]);
  ASSERT_HRESULT_SUCCEEDED(object_->gSoma_Nota_Fiscal(call.at(0), call.at(1), call.at(2),
                                                      call.at(3), call.at(4), &call.result()));
  // The same BSTR and the same array: the inputs were not rewritten.
  EXPECT_EQ(V_BSTR(&call["invntUsuario_internet_id"]), user);
  EXPECT_EQ(V_ARRAY(&call["inarrvntVal_Declarado"]), values);

  CNH direct;
  Variant direct_user = "5";
  Variant count = Variant::Long(2);
  Variant direct_values = Variant::Array({Variant("1.000,50"), Variant("2,25")});
  Variant total;
  Variant message = "intocada";
  const Variant result =
      direct.gSoma_Nota_Fiscal(direct_user, count, direct_values, total, message);
  EXPECT_EQ(call.ResultValue(), result);
  EXPECT_EQ(call.Get("outvntValor_Total_NF"), total);
  EXPECT_EQ(call.Get("outvntMsg_Ret"), message);
}

// The class's emulations, called directly for comparison.
class DirectCnh : public CNH {
 public:
#define TMX_METHOD(name, dispid, result_kind, routed)
#define TMX_EMULATION(name) using CNH::name;
#include "component/interface.def"
#undef TMX_METHOD
#undef TMX_EMULATION
};

// What an emulation gave back: its result, SQL text and message.
struct Answer {
  bool done;
  std::string sql;
  Variant message;
  bool operator==(const Answer&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Answer& answer) {
  return out << answer.done << " [" << answer.sql << "] " << answer.message;
}

// The arguments that every emulation shares, as the table takes them.
class TableArguments {
 public:
  TableArguments() : kind_("ORACLE"), connection_(kNoDatabase) {
    V_VT(&message_) = VT_BSTR;
    V_BSTR(&message_) = SysAllocString(L"intocada");
    V_VT(&user_) = VT_BSTR;
    V_BSTR(&user_) = SysAllocString(L"1");  // the detail shows which emulation failed
  }
  ~TableArguments() {
    SysFreeString(sql_);
    VariantClear(&message_);
    VariantClear(&user_);
  }
  BSTR kind() { return kind_.get(); }
  BSTR connection() { return connection_.get(); }
  BSTR* sql() { return &sql_; }
  VARIANT* message() { return &message_; }
  VARIANT* user() { return &user_; }
  VARIANT_BOOL* result() { return &result_; }

  Answer Read(HRESULT hr) {
    EXPECT_EQ(hr, S_OK);
    Variant message;
    EXPECT_HRESULT_SUCCEEDED(ReadVariant(message_, message));
    return {result_ != VARIANT_FALSE, Utf8FromBstr(sql_), message};
  }

 private:
  Bstr kind_;
  Bstr connection_;
  BSTR sql_ = nullptr;
  VARIANT message_{};
  VARIANT user_{};
  VARIANT_BOOL result_ = VARIANT_TRUE;
};

// The same arguments for the class called directly.
struct DirectArguments {
  std::string kind = "ORACLE";
  std::string connection = kNoDatabase;
  std::string sql;
  Variant message = "intocada";
  Variant user = "1";
  Answer Read(bool done) { return {done, sql, message}; }
};

// An emulation's own arguments, by type, as the table and as the class take
// them: the n-th whole number of a call is the n-th of a list, each decimal
// and text the same.
class OwnArguments {
 public:
  LONG* TableLong() { return &table_longs_[table_next_++]; }
  int32_t& DirectLong() { return direct_longs_[direct_next_++]; }
  DOUBLE* TableDouble() { return &table_double_; }
  double& DirectDouble() { return direct_double_; }
  BSTR TableText() { return text_.get(); }
  std::string DirectText() { return "20/11/2003"; }

 private:
  LONG table_longs_[16] = {4711, 1, 7, 3, 101, 203, 202, 1, 8, 9, 1, 1, 3, 5, 6, 2};
  int32_t direct_longs_[16] = {4711, 1, 7, 3, 101, 203, 202, 1, 8, 9, 1, 1, 3, 5, 6, 2};
  size_t table_next_ = 0;
  size_t direct_next_ = 0;
  double table_double_ = 1350.5;
  double direct_double_ = 1350.5;
  Bstr text_{"20/11/2003"};
};

TEST_F(ObjectTest, TheEmulationsFollowThePublicMethodsInTheTable) {
  CnhInterface* table = WholeTable(object_.get());
  DirectCnh direct;
  std::vector<std::pair<const char*, Answer>> answers;
#define TMX_METHOD(name, dispid, result_kind, routed)
#define TMX_TABLE_ARGUMENT(type, name) , own.Table##type()
#define TMX_DIRECT_ARGUMENT(type, name) , own.Direct##type()
#define TMX_EMULATION(name)                                                                      \
  {                                                                                              \
    TableArguments t;                                                                            \
    DirectArguments d;                                                                           \
    OwnArguments own;                                                                            \
    const Answer answer =                                                                        \
        t.Read(table->name(t.kind(), t.connection() TMX_ARGUMENTS_##name(TMX_TABLE_ARGUMENT),    \
                           t.sql(), t.message(), t.user(), t.result()));                         \
    EXPECT_EQ(answer,                                                                            \
              d.Read(direct.name(d.kind, d.connection TMX_ARGUMENTS_##name(TMX_DIRECT_ARGUMENT), \
                                 d.sql, d.message, d.user)))                                     \
        << #name;                                                                                \
    answers.emplace_back(#name, answer);                                                         \
  }
#include "component/interface.def"
#undef TMX_METHOD
#undef TMX_TABLE_ARGUMENT
#undef TMX_DIRECT_ARGUMENT
#undef TMX_EMULATION
  ASSERT_EQ(answers.size(), 12u);
  EXPECT_TRUE(answers[1].second.done);  // the branch's company: its number reaches the SQL
  EXPECT_NE(answers[1].second.sql.find("4711"), std::string::npos) << answers[1].second;
  EXPECT_EQ(answers[11].second.message, Variant("intocada"))
      << "a message not written is not rewritten";
  // Each slot reached its own emulation: no two answered alike.
  for (size_t i = 0; i < answers.size(); ++i) {
    for (size_t j = i + 1; j < answers.size(); ++j) {
      EXPECT_FALSE(answers[i].second == answers[j].second)
          << answers[i].first << " and " << answers[j].first << ": " << answers[i].second;
    }
  }
}

// Replaces one slot of an object's virtual table for as long as it lives:
// the object then runs on a copy of its table that differs in that slot.
class SlotSpy {
 public:
  SlotSpy(void* object, int slot, void* replacement)
      : object_(static_cast<void***>(object)), original_table_(*object_) {
    table_.assign(original_table_, original_table_ + kSlotCount);
    original_ = table_[static_cast<size_t>(slot)];
    table_[static_cast<size_t>(slot)] = replacement;
    *object_ = table_.data();
  }
  ~SlotSpy() { *object_ = original_table_; }
  SlotSpy(const SlotSpy&) = delete;
  SlotSpy& operator=(const SlotSpy&) = delete;

  void* original() const { return original_; }

 private:
  void*** object_;
  void** original_table_;
  std::vector<void*> table_;
  void* original_ = nullptr;
};

// Every emulation's slot, numbered: each answers only by noting its number.
// The caller's arguments are never read, so any will do.
int slot_reached = -1;

template <int Slot>
HRESULT STDMETHODCALLTYPE Reached(void*) {
  slot_reached = Slot;
  return S_OK;
}

template <size_t... I>
std::vector<void*> ReachedFunctions(std::index_sequence<I...>) {
  return {reinterpret_cast<void*>(&Reached<kFirstPrivateSlot + static_cast<int>(I)>)...};
}

TEST_F(ObjectTest, TheEmulationsHaveTheSlotsAfterThePublicMethodsInTheirOrder) {
  std::vector<std::unique_ptr<SlotSpy>> spies;
  const std::vector<void*> reached = ReachedFunctions(std::make_index_sequence<12>());
  for (int i = 0; i < 12; ++i) {
    spies.push_back(std::make_unique<SlotSpy>(object_.get(), kFirstPrivateSlot + i,
                                              reached[static_cast<size_t>(i)]));
  }
  CnhInterface* t = WholeTable(object_.get());
  std::vector<std::pair<const char*, std::function<void()>>> emulations;
#define TMX_METHOD(name, dispid, result_kind, routed)
#define TMX_NO_ARGUMENT(type, name) nullptr,
#define TMX_EMULATION(name)                                                                    \
  emulations.emplace_back(#name, [t] {                                                         \
    t->name(nullptr, nullptr, TMX_ARGUMENTS_##name(TMX_NO_ARGUMENT) nullptr, nullptr, nullptr, \
            nullptr);                                                                          \
  });
#include "component/interface.def"
#undef TMX_METHOD
#undef TMX_NO_ARGUMENT
#undef TMX_EMULATION
  // Slots 15 to 26 counted from the first public method; from QueryInterface, 21 to 32.
  int expected = 21;
  for (const auto& [name, call] : emulations) {
    slot_reached = -1;
    call();
    EXPECT_EQ(slot_reached, expected++) << name;
  }
  while (!spies.empty()) spies.pop_back();  // the last one made is undone first
}

// What the spies saw and what they answer.
struct Seen {
  int calls = 0;
  std::string kind;
  std::string connection;
  Variant user;
  Variant number;
  HRESULT answer = S_OK;
};
Seen seen;

HRESULT STDMETHODCALLTYPE ServerDateSpy(CnhInterface*, BSTR kind, BSTR connection, BSTR* sql,
                                        VARIANT* message, VARIANT* user, VARIANT_BOOL* result) {
  ++seen.calls;
  seen.kind = Utf8FromBstr(kind);
  seen.connection = Utf8FromBstr(connection);
  ReadVariant(*user, seen.user);
  if (FAILED(seen.answer)) return seen.answer;
  SysFreeString(*sql);
  *sql = SysAllocString(L"SELECT 'não usado'");
  WriteVariant(Variant("o espião recusou"), *message);
  *result = VARIANT_FALSE;
  return S_OK;
}

TEST_F(ObjectTest, APublicMethodCallsItsEmulationThroughTheTable) {
  seen = Seen();
  SlotSpy spy(object_.get(), kFirstPrivateSlot + 0, reinterpret_cast<void*>(&ServerDateSpy));
  Call call("gBusca_Data_Dia");
  call.Set("invntBanco_Dados", "ORACLE");
  call.Set("vntConecta_db", kNoDatabase);
  call.Set("invntUsuario_internet_id", Variant::Integer(7));
  ASSERT_EQ(object_->gBusca_Data_Dia(call.at(0), call.at(1), call.at(2), call.at(3), call.at(4),
                                     call.at(5), call.at(6), &call.result()),
            S_OK);
  EXPECT_EQ(seen.calls, 1);
  EXPECT_EQ(seen.kind, "ORACLE");
  EXPECT_EQ(seen.connection, kNoDatabase);
  EXPECT_EQ(seen.user, Variant("7"));
  EXPECT_EQ(call.ResultValue(), Variant::Integer(10));
  EXPECT_EQ(call.Get("outvntMsg_Ret"), Variant("o espião recusou"));

  seen.calls = 0;  // by name, the same way
  ASSERT_HRESULT_SUCCEEDED(call.InvokeByName(object_.get()));
  EXPECT_EQ(seen.calls, 1);
}

TEST_F(ObjectTest, AFailingCallStatusIsARunTimeErrorInTheCaller) {
  seen = Seen();
  seen.answer = E_FAIL;
  SlotSpy spy(object_.get(), kFirstPrivateSlot + 0, reinterpret_cast<void*>(&ServerDateSpy));
  Call call("gBusca_Data_Dia");
  call.Set("invntBanco_Dados", "ORACLE");
  call.Set("vntConecta_db", kNoDatabase);
  call.Set("invntUsuario_internet_id", Variant::Integer(1));  // shows the detail
  ASSERT_EQ(object_->gBusca_Data_Dia(call.at(0), call.at(1), call.at(2), call.at(3), call.at(4),
                                     call.at(5), call.at(6), &call.result()),
            S_OK);
  EXPECT_EQ(seen.calls, 1);
  EXPECT_EQ(call.ResultValue(), Variant::Integer(10));
  const std::string message = Describe(call.Get("outvntMsg_Ret"));
  const std::string expected = std::string(kServerDateSentence) +
                               " TMXCNH.gBusca_Data_Dia ( Erro de automação : -2147467259)  ";
  EXPECT_NE(message.find(expected), std::string::npos) << message;
}

HRESULT STDMETHODCALLTYPE FieldCheckSpy(CnhInterface*, VARIANT* invntBanco_Dados, VARIANT*,
                                        VARIANT*, VARIANT*, VARIANT*,
                                        VARIANT* invntNum_Docto_Transporte, VARIANT*, VARIANT*,
                                        VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                        VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                                        VARIANT*, VARIANT*, VARIANT* outvntMsg_Ret,
                                        VARIANT_BOOL* result) {
  ++seen.calls;
  Variant kind;
  ReadVariant(*invntBanco_Dados, kind);
  seen.kind = Describe(kind);
  ReadVariant(*invntNum_Docto_Transporte, seen.number);
  WriteVariant(Variant("123"), *invntNum_Docto_Transporte);  // cleaned in place
  WriteVariant(Variant("conferido pelo espião"), *outvntMsg_Ret);
  *result = VARIANT_FALSE;
  return S_OK;
}

TEST_F(ObjectTest, AWriteChecksItsFieldsThroughTheTableAndCleanedFieldsReachTheCaller) {
  seen = Seen();
  SlotSpy spy(object_.get(), kFirstPublicSlot + 10, reinterpret_cast<void*>(&FieldCheckSpy));
  Call call("gInclui_Docto_Transporte");
  call.Set("invntBanco_Dados", "SQLSERVER");
  call.Set("vntConecta_db", kNoDatabase);
  call.Set("invntNum_Docto_Transporte", " 1.2 3 ");
  std::vector<VARIANT*> a;
  for (size_t i = 0; i < call.size(); ++i) a.push_back(call.at(i));
  ASSERT_EQ(object_->gInclui_Docto_Transporte(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8],
                                              a[9], a[10], a[11], a[12], a[13], a[14], a[15], a[16],
                                              a[17], a[18], a[19], a[20], a[21], a[22], a[23],
                                              a[24], a[25], a[26], a[27], a[28], &call.result()),
            S_OK);
  EXPECT_EQ(seen.calls, 1);
  EXPECT_EQ(seen.kind, Describe(Variant("SQLSERVER")));
  EXPECT_EQ(seen.number, Variant(" 1.2 3 "));
  EXPECT_EQ(call.ResultValue(), Variant::Integer(10));
  EXPECT_EQ(call.Get("outvntMsg_Ret"), Variant("conferido pelo espião"));
  EXPECT_EQ(call.Get("invntNum_Docto_Transporte"), Variant("123"));
}

}  // namespace
}  // namespace tmxcnh::com
