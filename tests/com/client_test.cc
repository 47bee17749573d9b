// A client of TmxCNH39.CNH against PostgreSQL, reached through Wine's odbc32
// and the host's ODBC driver, for both database kinds: it creates the object
// by ProgID and calls methods through the interface and by name with
// IDispatch and by-reference VARIANTs. The database is the one `tmxcnh initdb`
// made (CTest's com.database); without TMXCNH_TEST_PG the tests skip.
#include <cstdlib>
#include <utility>

#include "com/variant_bridge.h"
#include "component/cnh.h"
#include "db/drivers.h"
#include "platform/clock.h"
#include "platform/conversions.h"
#include "platform/date_serial.h"
#include "platform/format.h"
#include "tests/com/com_test_support.h"

namespace tmxcnh::com {
namespace {

using testing::Call;
using testing::ComTest;
using testing::CreateByProgId;
using testing::DefaultPropertyObject;
using testing::Ref;
using testing::TestDatabase;

class ClientTest : public ComTest, public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    ComTest::SetUp();
    connection_ = TestDatabase();
    if (connection_.empty()) {
      GTEST_SKIP() << "no PostgreSQL here (set TMXCNH_TEST_PG; scripts/with-postgres does)";
    }
    object_ = CreateByProgId();
    ASSERT_TRUE(object_);
  }
  void TearDown() override {
    object_.Reset();
    ComTest::TearDown();
  }

  std::string Kind() const { return GetParam(); }
  // Document numbers of this kind and test, unused by the demo data.
  std::string Number(int test) const {
    return std::to_string((Kind() == "ORACLE" ? 8800 : 8700) + test);
  }

  // gBusca_Data_Dia's arguments.
  void DateScreen(Call& call, const Variant& connection) {
    call.Set("invntBanco_Dados", Kind());
    call.Set("vntConecta_db", connection);
    call.Set("invntUsuario_internet_id", Variant::Integer(5));
    call.Set("invntEmpresa_id", Variant::Integer(1));
    call.Set("invntGrupo_Empresa_id", Variant::Integer(1));
  }

  // A new document's screen: two invoices, as SAFEARRAYs of VARIANT.
  void DocumentScreen(Call& call, const std::string& number) {
    call.Set("invntBanco_Dados", Kind());
    call.Set("vntConecta_db", connection_);
    call.Set("invntUsuario_internet_id", "12");
    call.Set("invntEmpresa_id", Variant::Integer(1));
    call.Set("invntNum_Docto_Transporte", number);
    call.Set("invntPonto_Operacao_id", Variant::Integer(7));
    call.Set("invntTab_Tipo_Cobranca_id", Variant::Integer(3));
    call.Set("invntCliente_id", Variant::Integer(101));
    call.Set("invntEnd_Destinatario_id", Variant::Integer(203));
    call.Set("invntEnd_Remetente_id", Variant::Integer(202));
    call.Set("invntOrigem_id", Variant::Integer(1));
    call.Set("invntDestino_id", Variant::Integer(8));
    call.Set("invntPeso_Real", "12,5");
    call.Set("invntVal_Declarado", "1350,50");
    call.Set("invntData_Emissao", "20/11/2003");
    call.Set("inarrvntNota_fiscal",
             Variant::Array({Variant(number + "01"), Variant(number + "02")}));
    call.Set("invntQtde_Notas", Variant::Long(2));
    call.Set("invntPonto_Operacao_Destino_id", Variant::Integer(9));
    call.Set("invnttab_tipo_despacho_id", Variant::Integer(1));
    call.Set("inarrvntConteudo", Variant::Array({Variant("Calçados"), Variant("Bolsas d'água")}));
    call.Set("inarrvntVal_Declarado", Variant::Array({Variant("1000,25"), Variant("350,25")}));
    call.Set("inarrvntNum_Volume", Variant::Array({Variant("2"), Variant("1")}));
    call.Set("invntNum_Volume", "3");
    call.Set("invntTab_Tipo_Docto_Transp_id", Variant::Integer(1));
  }

  // Inserts through the interface; the new document's identifier.
  Variant Insert(const std::string& number) {
    Call call("gInclui_Docto_Transporte");
    DocumentScreen(call, number);
    std::vector<VARIANT*> a;
    for (size_t i = 0; i < call.size(); ++i) a.push_back(call.at(i));
    EXPECT_EQ(object_->gInclui_Docto_Transporte(
                  a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10], a[11], a[12],
                  a[13], a[14], a[15], a[16], a[17], a[18], a[19], a[20], a[21], a[22], a[23],
                  a[24], a[25], a[26], a[27], a[28], &call.result()),
              S_OK);
    EXPECT_EQ(call.ResultValue(), Variant::Integer(0)) << Describe(call.Get("outvntMsg_Ret"));
    return call.Get("outvntDocto_Transporte_id");
  }

  // gConsulta_Docto_Transporte's arguments for a document.
  void DetailScreen(Call& call, const Variant& document) {
    call.Set("invntBanco_Dados", Kind());
    call.Set("vntConecta_db", connection_);
    call.Set("invntUsuario_internet_id", Variant::Integer(5));
    call.Set("invntEmpresa_id", Variant::Integer(1));
    call.Set("invntGrupo_Empresa_id", Variant::Integer(1));
    call.Set("invntDocto_Transporte_id", document);
  }

  std::string connection_;
  Ref<_CNH> object_;
};

TEST_P(ClientTest, TheServerDateArrivesInTheSixthArgumentOfACallByName) {
  const std::string before = Format(Variant::Date(*SerialFromCivil(Now())), "dd/mm/yyyy");
  Call call("gBusca_Data_Dia");
  DateScreen(call, connection_);
  ASSERT_EQ(call.InvokeByName(object_.get()), S_OK);
  const std::string after = Format(Variant::Date(*SerialFromCivil(Now())), "dd/mm/yyyy");
  EXPECT_EQ(call.ResultValue(), Variant::Integer(0)) << Describe(call.Get("outvntMsg_Ret"));
  VARIANT& sixth = *call.at(5);
  ASSERT_EQ(V_VT(&sixth), VT_BSTR);
  const Variant date = call.Get("outvntData_Dia");
  EXPECT_TRUE(date == Variant(before) || date == Variant(after)) << Describe(date);
  EXPECT_EQ(call.Get("outvntMsg_Ret"), Variant()) << "no message on success";
}

TEST_P(ClientTest, TheServerDateThroughTheInterfaceWithAConnectionObject) {
  DefaultPropertyObject connection(connection_);
  Call call("gBusca_Data_Dia");
  DateScreen(call, Variant());
  V_VT(&call["vntConecta_db"]) = VT_DISPATCH;
  V_DISPATCH(&call["vntConecta_db"]) = &connection;
  connection.AddRef();  // the VARIANT's reference
  ASSERT_EQ(object_->gBusca_Data_Dia(call.at(0), call.at(1), call.at(2), call.at(3), call.at(4),
                                     call.at(5), call.at(6), &call.result()),
            S_OK);
  EXPECT_EQ(call.ResultValue(), Variant::Integer(0)) << Describe(call.Get("outvntMsg_Ret"));
  EXPECT_EQ(Describe(call.Get("outvntData_Dia")).size(), Describe(Variant("01/01/2000")).size());
  EXPECT_GE(connection.reads(), 1);
  EXPECT_EQ(V_VT(&call["vntConecta_db"]), VT_DISPATCH) << "the caller's object stays";
  EXPECT_EQ(V_DISPATCH(&call["vntConecta_db"]), &connection);
}

TEST_P(ClientTest, ADocumentIsInsertedReadListedAndDeleted) {
  const std::string number = Number(1);
  const Variant document = Insert(number);
  ASSERT_TRUE(document.type() == VariantType::kLong || document.type() == VariantType::kInteger)
      << Describe(document);

  // Read by name.
  Call read("gConsulta_Docto_Transporte");
  DetailScreen(read, document);
  ASSERT_EQ(read.InvokeByName(object_.get()), S_OK);
  ASSERT_EQ(read.ResultValue(), Variant::Integer(0)) << Describe(read.Get("outvntMsg_Ret"));
  EXPECT_EQ(Describe(read.Get("outvntNum_Docto_Transporte")),
            Describe(Variant::Long(std::stoi(number))));
  EXPECT_EQ(read.Get("outvntPeso_Real"), Variant("12,50"));
  EXPECT_EQ(read.Get("outvntVal_Declarado"), Variant("1350,50"));
  EXPECT_EQ(read.Get("outvntData_Emissao"), Variant("20/11/2003"));
  EXPECT_EQ(read.Get("outvntCliente"), Variant("Indústria de Calçados Ânfora Ltda."));
  EXPECT_EQ(read.Get("outarrvntNota_Fiscal"),
            Variant::Array({Variant(number + "01"), Variant(number + "02")}));
  EXPECT_EQ(read.Get("outarrvntConteudo"),
            Variant::Array({Variant("Calçados"), Variant("Bolsas dágua")}));
  VARIANT& invoices = read["outarrvntNota_Fiscal"];
  ASSERT_EQ(V_VT(&invoices), VT_ARRAY | VT_VARIANT);
  LONG lower = -1;
  SafeArrayGetLBound(V_ARRAY(&invoices), 1, &lower);
  EXPECT_EQ(lower, 0);

  // Exactly what the component answers when called directly.
  CNH direct;
  std::vector<Variant> arguments(read.size());
  const PublicMethod& detail = *FindPublicMethod("gConsulta_Docto_Transporte");
  arguments[0] = Kind();
  arguments[1] = connection_;
  arguments[2] = Variant::Integer(5);
  arguments[3] = Variant::Integer(1);
  arguments[4] = Variant::Integer(1);
  arguments[7] = document;
  EXPECT_EQ(detail.invoke(direct, arguments), Variant::Integer(0));
  for (size_t i = 0; i < arguments.size(); ++i) {
    Variant through_com;
    ASSERT_HRESULT_SUCCEEDED(ReadVariant(*read.at(i), through_com));
    EXPECT_EQ(through_com, arguments[i]) << detail.parameters[i];
  }

  // Listed through the interface, by its number.
  Call list("gBusca_Lista_Docto_Transporte");
  list.Set("invntBanco_Dados", Kind());
  list.Set("vntConecta_db", connection_);
  list.Set("invntUsuario_internet_id", Variant::Integer(5));
  list.Set("invntEmpresa_id", Variant::Integer(1));
  list.Set("invntNum_Docto_Transporte", number);
  std::vector<VARIANT*> l;
  for (size_t i = 0; i < list.size(); ++i) l.push_back(list.at(i));
  ASSERT_EQ(object_->gBusca_Lista_Docto_Transporte(l[0], l[1], l[2], l[3], l[4], l[5], l[6], l[7],
                                                   l[8], l[9], l[10], l[11], l[12], l[13], l[14],
                                                   l[15], l[16], &list.result()),
            S_OK);
  EXPECT_EQ(list.ResultValue(), Variant::Integer(0)) << Describe(list.Get("outvntMsg_Ret"));
  EXPECT_EQ(list.Get("outarrvntDocto_Transporte_id"), Variant::Array({document}));
  EXPECT_EQ(Describe(list.Get("outarrvntNum_Docto_Transporte")),
            Describe(Variant::Array({Variant::Long(std::stoi(number))})));

  // Deleted by name; then it is no longer found.
  Call erase("gExclui_Docto_Transporte");
  erase.Set("invntBanco_Dados", Kind());
  erase.Set("vntConecta_db", connection_);
  erase.Set("invntUsuario_internet_id", "12");
  erase.Set("invntEmpresa_id", Variant::Integer(1));
  erase.Set("invntGrupo_Empresa_id", Variant::Integer(1));
  erase.Set("invntDocto_Transporte_id", document);
  ASSERT_EQ(erase.InvokeByName(object_.get()), S_OK);
  EXPECT_EQ(erase.ResultValue(), Variant::Integer(0)) << Describe(erase.Get("outvntMsg_Ret"));

  Call again("gConsulta_Docto_Transporte");
  DetailScreen(again, document);
  ASSERT_EQ(again.InvokeByName(object_.get()), S_OK);
  EXPECT_EQ(again.ResultValue(), Variant::Integer(10));
  EXPECT_TRUE(again.Get("outvntMsg_Ret").IsString());
}

TEST_P(ClientTest, TheSameNumberTwiceIsRefusedWithoutAComError) {
  const std::string number = Number(2);
  Insert(number);
  Call call("gInclui_Docto_Transporte");
  DocumentScreen(call, number);
  ASSERT_EQ(call.InvokeByName(object_.get()), S_OK);
  EXPECT_EQ(call.ResultValue(), Variant::Integer(10));
  EXPECT_EQ(call.Get("outvntMsg_Ret"), Variant("Já existe um conhecimento com esse número."));
}

// Counts the calls that arrive in one slot of the object's table, and passes
// them on to what was there.
template <size_t>
using VariantPointer = VARIANT*;

int calls[kSlotCount];
void* originals[kSlotCount];

template <int Slot, typename Indices>
struct Counter;

template <int Slot, size_t... I>
struct Counter<Slot, std::index_sequence<I...>> {
  static HRESULT STDMETHODCALLTYPE Call(CnhInterface* self, VariantPointer<I>... parameters,
                                        VARIANT_BOOL* result) {
    ++calls[Slot];
    using Original =
        HRESULT(STDMETHODCALLTYPE*)(CnhInterface*, VariantPointer<I>..., VARIANT_BOOL*);
    return reinterpret_cast<Original>(originals[Slot])(self, parameters..., result);
  }
};

// Replaces one slot of the object's table with the counter for as long as it lives.
template <int Slot, size_t Parameters>
class CountedSlot {
 public:
  explicit CountedSlot(_CNH* object) : object_(reinterpret_cast<void***>(object)) {
    previous_ = *object_;
    table_.assign(previous_, previous_ + kSlotCount);
    originals[Slot] = table_[Slot];
    table_[Slot] =
        reinterpret_cast<void*>(&Counter<Slot, std::make_index_sequence<Parameters>>::Call);
    *object_ = table_.data();
    calls[Slot] = 0;
  }
  ~CountedSlot() { *object_ = previous_; }
  CountedSlot(const CountedSlot&) = delete;
  CountedSlot& operator=(const CountedSlot&) = delete;

  int calls_seen() const { return calls[Slot]; }

 private:
  void*** object_;
  void** previous_;
  std::vector<void*> table_;
};

TEST_P(ClientTest, CallsBetweenMethodsGoThroughTheObjectsTable) {
  CountedSlot<kFirstPublicSlot + 9, 8> client(object_.get());
  CountedSlot<kFirstPublicSlot + 10, 23> fields(object_.get());
  CountedSlot<kFirstPublicSlot + 11, 12> invoices(object_.get());
  CountedSlot<kFirstPublicSlot + 12, 11> saving(object_.get());
  CountedSlot<kFirstPublicSlot + 13, 10> duplicate(object_.get());

  const Variant document = Insert(Number(3));
  EXPECT_EQ(fields.calls_seen(), 1);
  EXPECT_EQ(duplicate.calls_seen(), 1);
  EXPECT_EQ(saving.calls_seen(), 1);
  EXPECT_EQ(client.calls_seen(), 0);

  Call read("gConsulta_Docto_Transporte");
  DetailScreen(read, document);
  ASSERT_EQ(read.InvokeByName(object_.get()), S_OK);
  EXPECT_EQ(read.ResultValue(), Variant::Integer(0)) << Describe(read.Get("outvntMsg_Ret"));
  EXPECT_EQ(client.calls_seen(), 1);
  EXPECT_EQ(invoices.calls_seen(), 1);
  EXPECT_EQ(read.Get("outarrvntNum_Volume"), Variant::Array({Variant::Long(2), Variant::Long(1)}));
}

INSTANTIATE_TEST_SUITE_P(BothKinds, ClientTest, ::testing::Values("SQLSERVER", "ORACLE"));

// COM unloads an unused server when the client asks: the DLL's pooled
// connections must not outlive it, round after round.
TEST(Unloading, LeavesNoServerSessionBehind) {
  const std::string connection = TestDatabase();
  if (connection.empty()) GTEST_SKIP() << "no PostgreSQL here (set TMXCNH_TEST_PG)";
  ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr));
  const auto sessions = [&] {
    db::Statement count;
    count.text =
        "SELECT COUNT(*) FROM pg_stat_activity WHERE datname = current_database() AND pid <> "
        "pg_backend_pid()";
    count.verbatim = true;
    return ToLong(db::OpenConnection(connection)->Execute(count)->rows.at(0).at(0));
  };
  for (int round = 0; round < 12; ++round) {
    {
      Ref<_CNH> object = CreateByProgId();
      ASSERT_TRUE(object);
      Call call("gBusca_Empresa_Filial");
      call.Set("invntBanco_Dados", "SQLSERVER");
      call.Set("vntConecta_db", connection);
      call.Set("invntPonto_Operacao_id", Variant::Integer(7));
      ASSERT_EQ(call.InvokeByName(object.get()), S_OK);
      EXPECT_EQ(call.ResultValue(), Variant::Integer(0)) << Describe(call.Get("outvntMsg_Ret"));
    }
    CoFreeUnusedLibrariesEx(0, 0);
  }
  // Other test programs' sessions end as their processes do: wait for them.
  int32_t left = sessions();
  for (int wait = 0; left > 0 && wait < 50; ++wait) {
    Sleep(100);
    left = sessions();
  }
  EXPECT_EQ(left, 0);
  CoUninitialize();
}

// Visual Basic 6 passes typed variables (Dim total As Double, Dim d As Date)
// as typed references: they get the values the component meant, under its
// regional settings (run again with TMXCNH_LOCALE=en-US), whatever Windows'
// user locale. What the bridge cannot carry is a result and a message, never
// a COM error.
TEST(TypedVariables, GetTheComponentsValuesAndWhatDoesNotFitIsAMessage) {
  const std::string connection = TestDatabase();
  if (connection.empty()) GTEST_SKIP() << "no PostgreSQL here (set TMXCNH_TEST_PG)";
  ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr));
  {
    Ref<_CNH> object = CreateByProgId();
    ASSERT_TRUE(object);
    const auto sum = [&](Call& call, const Variant& values) {
      call.Set("invntUsuario_internet_id", Variant::Integer(5));
      call.Set("invntQtde_Notas", Variant::Integer(2));
      call.Set("inarrvntVal_Declarado", values);
      return object->gSoma_Nota_Fiscal(call.at(0), call.at(1), call.at(2), call.at(3), call.at(4),
                                       &call.result());
    };
    const auto today = [&](Call& call) {
      call.Set("invntBanco_Dados", "SQLSERVER");
      call.Set("vntConecta_db", connection);
      return object->gBusca_Data_Dia(call.at(0), call.at(1), call.at(2), call.at(3), call.at(4),
                                     call.at(5), call.at(6), &call.result());
    };

    double total = 0;
    Call total_call("gSoma_Nota_Fiscal");
    V_VT(&total_call["outvntValor_Total_NF"]) = VT_BYREF | VT_R8;
    V_R8REF(&total_call["outvntValor_Total_NF"]) = &total;
    ASSERT_EQ(sum(total_call, Variant::Array({Variant("10,50"), Variant("1")})), S_OK);
    EXPECT_EQ(total_call.ResultValue(), Variant::Integer(0));
    EXPECT_DOUBLE_EQ(total, 11.5);

    DATE day = 0;
    Call day_call("gBusca_Data_Dia");
    V_VT(&day_call["outvntData_Dia"]) = VT_BYREF | VT_DATE;
    V_DATEREF(&day_call["outvntData_Dia"]) = &day;
    const CivilTime before = Now();
    ASSERT_EQ(today(day_call), S_OK);
    const CivilTime after = Now();
    EXPECT_EQ(day_call.ResultValue(), Variant::Integer(0))
        << Describe(day_call.Get("outvntMsg_Ret"));
    const CivilTime got = CivilFromSerial(day);
    EXPECT_TRUE((got.day == before.day && got.month == before.month) ||
                (got.day == after.day && got.month == after.month))
        << got.day << "/" << got.month;

    // A date into a 2-byte whole number, and a table of two dimensions.
    short number = 0;
    Call misfit("gBusca_Data_Dia");
    V_VT(&misfit["outvntData_Dia"]) = VT_BYREF | VT_I2;
    V_I2REF(&misfit["outvntData_Dia"]) = &number;
    ASSERT_EQ(today(misfit), S_OK);
    EXPECT_EQ(misfit.ResultValue(), Variant::Integer(10));
    EXPECT_EQ(misfit.Get("outvntMsg_Ret"),
              Variant("O valor de outvntData_Dia não cabe na variável do chamador."));

    Call table("gSoma_Nota_Fiscal");
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    VARIANT values;
    V_VT(&values) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(&values) = SafeArrayCreate(VT_VARIANT, 2, bounds);
    table["inarrvntVal_Declarado"] = values;  // the call's VARIANTs own it now
    table.Set("invntUsuario_internet_id", Variant::Integer(5));
    table.Set("invntQtde_Notas", Variant::Integer(2));
    ASSERT_EQ(object->gSoma_Nota_Fiscal(table.at(0), table.at(1), table.at(2), table.at(3),
                                        table.at(4), &table.result()),
              S_OK);
    EXPECT_EQ(table.ResultValue(), Variant::Integer(10));
    EXPECT_EQ(table.Get("outvntMsg_Ret"),
              Variant("O parâmetro inarrvntVal_Declarado tem um tipo que o componente não lê."));
  }
  CoUninitialize();
}

// The text a Windows data-link dialog writes reaches the database through
// its data source, from the DLL as from the Linux build.
TEST(AdoTexts, ReachTheDatabaseThroughItsDataSource) {
  const char* dsn = std::getenv("TMXCNH_TEST_PG_DSN");
  if (TestDatabase().empty() || dsn == nullptr) GTEST_SKIP() << "no PostgreSQL data source here";
  ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr));
  {
    Ref<_CNH> object = CreateByProgId();
    ASSERT_TRUE(object);
    Call call("gBusca_Empresa_Filial");
    call.Set("invntBanco_Dados", "SQLSERVER");
    call.Set("vntConecta_db",
             "Provider=MSDASQL.1;Persist Security Info=False;Data Source=" + std::string(dsn));
    call.Set("invntPonto_Operacao_id", Variant::Integer(7));
    ASSERT_EQ(call.InvokeByName(object.get()), S_OK);
    EXPECT_EQ(call.ResultValue(), Variant::Integer(0)) << Describe(call.Get("outvntMsg_Ret"));
    EXPECT_EQ(call.Get("outvntEmpresa_id"), Variant::Long(1));
  }
  CoUninitialize();
}

}  // namespace
}  // namespace tmxcnh::com
