// A client of TmxCNH39.CNH against PostgreSQL, reached through Wine's odbc32
// and the host's ODBC driver: a connection object for the connection, typed
// variables as Visual Basic passes them, and the server's unloading. The
// database is the one `tmxcnh initdb` made (CTest's com.database); without
// TMXCNH_TEST_PG the tests skip. tests/com/cross-check writes and reads a
// document through COM by name, for both database kinds, and compares it
// with the Linux build's reading, parameter by parameter.
#include "db/drivers.h"
#include "platform/clock.h"
#include "platform/conversions.h"
#include "platform/date_serial.h"
#include "tests/com/com_test_support.h"

namespace tmxcnh::com {
namespace {

using testing::Call;
using testing::ComPtr;
using testing::ConnectionObject;

// With the test database, an object created by ProgID.
class DatabaseTest : public testing::ObjectTest {
 protected:
  void SetUp() override {
    ObjectTest::SetUp();
    connection_ = testing::Environment("TMXCNH_TEST_PG");
    if (connection_.empty()) {
      GTEST_SKIP() << "no PostgreSQL here (set TMXCNH_TEST_PG; scripts/with-postgres does)";
    }
  }

  // Passes the caller's variable as a typed reference (VT_BYREF | type) and
  // calls through the virtual table; the method's result.
  Variant Typed(Call& call, std::string_view name, VARTYPE type, void* variable) {
    V_VT(&call[name]) = VT_BYREF | type;
    V_BYREF(&call[name]) = variable;
    EXPECT_EQ(call.ThroughTable(object_.Get()), S_OK);
    return call.Result();
  }

  std::string connection_;
};

// Visual Basic 6 passes an ADO connection and typed variables (Dim total As
// Double, Dim d As Date) as typed references: the connection is read as its
// default property (an ADO text: the data source of the test database, where
// there is one, as a Windows data-link dialog writes such texts) and the
// variables get the values the component meant, under its regional settings
// (run again with TMXCNH_LOCALE=en-US), whatever Windows' user locale, on both
// database kinds. What the bridge cannot carry is a result and a message,
// never a COM error.
using TypedVariables = DatabaseTest;

TEST_F(TypedVariables, GetTheComponentsValuesAndWhatDoesNotFitIsAMessage) {
  const std::string dsn = testing::Environment("TMXCNH_TEST_PG_DSN");
  ConnectionObject connection(
      dsn.empty() ? connection_
                  : "Provider=MSDASQL.1;Persist Security Info=False;Data Source=" + dsn);
  const auto now = [] { return static_cast<int>(*SerialFromCivil(Now())); };
  Call today("gBusca_Data_Dia");
  for (const char* kind : {"SQLSERVER", "ORACLE"}) {
    today.Set({{"invntBanco_Dados", kind}});
    V_VT(&today["vntConecta_db"]) = VT_DISPATCH;
    V_DISPATCH(&today["vntConecta_db"]) = &connection;
    DATE day = 0;
    const int before = now();
    EXPECT_EQ(Typed(today, "outvntData_Dia", VT_DATE, &day), Variant::Integer(0))
        << kind << today.Get("outvntMsg_Ret");
    EXPECT_TRUE(static_cast<int>(day) == before || static_cast<int>(day) == now()) << day;
    EXPECT_EQ(V_DISPATCH(&today["vntConecta_db"]), &connection) << "the caller's object stays";
    V_VT(&today["vntConecta_db"]) = VT_EMPTY;  // not the call's to release
  }
  EXPECT_EQ(connection.references, 0u) << "every reference taken was given back";
  double total = 0;
  Call sum("gSoma_Nota_Fiscal");
  sum.Set({{"invntQtde_Notas", Variant::Integer(2)},
           {"inarrvntVal_Declarado", Variant::Array({"10,50", "1"})}});
  EXPECT_EQ(Typed(sum, "outvntValor_Total_NF", VT_R8, &total), Variant::Integer(0));
  EXPECT_DOUBLE_EQ(total, 11.5);

  // A date into a 2-byte whole number, and a table of two dimensions.
  short number = 0;
  today.Set({{"vntConecta_db", connection_}});
  EXPECT_EQ(Typed(today, "outvntData_Dia", VT_I2, &number), Variant::Integer(10));
  EXPECT_EQ(today.Get("outvntMsg_Ret"),
            Variant("O valor de outvntData_Dia não cabe na variável do chamador."));
  SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
  sum.Set({{"inarrvntVal_Declarado", Variant()}});
  V_VT(&sum["inarrvntVal_Declarado"]) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&sum["inarrvntVal_Declarado"]) = SafeArrayCreate(VT_VARIANT, 2, bounds);
  EXPECT_EQ(Typed(sum, "outvntValor_Total_NF", VT_R8, &total), Variant::Integer(10));
  EXPECT_EQ(sum.Get("outvntMsg_Ret"),
            Variant("O parâmetro inarrvntVal_Declarado tem um tipo que o componente não lê."));
}

// COM unloads an unused server when the client asks: the DLL's pooled
// connections must not outlive it, round after round.
TEST_F(DatabaseTest, UnloadingLeavesNoServerSessionBehind) {
  object_.Reset();
  for (int round = 0; round < 12; ++round) {
    {
      ComPtr<_CNH> object = testing::CreateByProgId();
      ASSERT_TRUE(object);
      Call call("gBusca_Empresa_Filial");
      call.Set({{"invntBanco_Dados", "SQLSERVER"},
                {"vntConecta_db", connection_},
                {"invntPonto_Operacao_id", Variant::Integer(7)}});
      ASSERT_EQ(call.ByName(object.Get()), S_OK);
      EXPECT_EQ(call.Result(), Variant::Integer(0)) << call.Get("outvntMsg_Ret");
      EXPECT_EQ(call.Get("outvntEmpresa_id"), Variant::Long(1));
    }
    CoFreeUnusedLibrariesEx(0, 0);
  }
  const db::Statement count{
      "SELECT COUNT(*) FROM pg_stat_activity WHERE datname = current_database() AND pid <> "
      "pg_backend_pid()",
      {},
      true};
  // Other test programs' sessions end as their processes do: wait for them.
  int32_t left = 1;
  for (int wait = 0; left > 0 && wait < 50; ++wait) {
    if (wait > 0) Sleep(100);
    left = ToLong(db::OpenConnection(connection_)->Execute(count)->at(0, 0));
  }
  EXPECT_EQ(left, 0);
}

}  // namespace
}  // namespace tmxcnh::com
