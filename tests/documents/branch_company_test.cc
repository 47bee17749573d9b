#include <gtest/gtest.h>

#include "component/cnh.h"
#include "platform/regional_settings.h"
#include "tests/support/scripted_driver.h"

namespace tmxcnh {
namespace {

using testing::Rows;
using testing::ScriptedDatabase;

constexpr const char* kSentence =
    "Acesso a função não disponível: gBusca_Empresa_Filial. Favor tentar mais tarde.";

struct Outcome {
  Variant result;
  Variant company;
  Variant message;
};

Outcome Call(ScriptedDatabase& database, Variant kind, Variant branch,
             Variant user = Variant::Integer(5)) {
  CNH object;
  Variant connection = database.connection_text();
  Variant company = "antes";
  Variant message = "intocada";
  const Variant result =
      object.gBusca_Empresa_Filial(kind, connection, user, branch, company, message);
  return {result, company, message};
}

TEST(BranchCompany, SendsTheProcedureOrTheEmulationsSelect) {
  struct Case {
    Variant kind;
    Variant branch;
    const char* statement;
  };
  const Case cases[] = {
      {"SQLSERVER", Variant::Integer(7), "exec SP_TMX_CON_EMPRESA_OP 7"},
      {"SQLSERVER", Variant("7"), "exec SP_TMX_CON_EMPRESA_OP 7"},
      {"oracle", Variant::Long(12), "exec SP_TMX_CON_EMPRESA_OP 12"},
      {"ORACLE", Variant::Integer(7),
       " SELECT EMPRESA_ID  FROM PONTO_OPERACAO  WHERE PONTO_OPERACAO_ID   = 7 "},
      {"ORACLE", Variant(" 12 "),
       " SELECT EMPRESA_ID  FROM PONTO_OPERACAO  WHERE PONTO_OPERACAO_ID   = 12 "},
      {"ORACLE", Variant("7,4"),  // rounded to a whole number for the emulation
       " SELECT EMPRESA_ID  FROM PONTO_OPERACAO  WHERE PONTO_OPERACAO_ID   = 7 "},
  };
  for (const Case& c : cases) {
    ScriptedDatabase database;
    database.Answer("EMPRESA", Rows({"EMPRESA_ID"}, {{Variant::Long(1)}}));
    const Outcome outcome = Call(database, c.kind, c.branch);
    EXPECT_EQ(database.statements(), std::vector<std::string>{c.statement}) << Describe(c.branch);
    EXPECT_EQ(outcome.result, Variant::Integer(0));
    EXPECT_EQ(outcome.company, Variant::Long(1));  // read as empresa_Id: the case does not matter
    EXPECT_EQ(outcome.message, Variant("intocada"));
  }
}

TEST(BranchCompany, ALeadingZeroGoesToTheProcedureAsNull) {
  ScriptedDatabase database;
  Call(database, "SQLSERVER", Variant("0,5"));
  EXPECT_EQ(database.statements(), std::vector<std::string>{"exec SP_TMX_CON_EMPRESA_OP null"});
}

TEST(BranchCompany, NoBranchIsRefusedBeforeTheDatabase) {
  for (const Variant& branch :
       {Variant::Integer(0), Variant(""), Variant(), Variant::Null(), Variant("0")}) {
    for (const char* kind : {"SQLSERVER", "ORACLE"}) {
      ScriptedDatabase database;
      const Outcome outcome = Call(database, kind, branch);
      EXPECT_EQ(outcome.result, Variant::Integer(10));
      EXPECT_EQ(outcome.message, Variant("Informe uma Filial.")) << Describe(branch);
      EXPECT_EQ(outcome.company, Variant("antes"));
      EXPECT_TRUE(database.statements().empty());
    }
  }
}

TEST(BranchCompany, AnUnknownBranchIsNotRegistered) {
  for (const char* kind : {"SQLSERVER", "ORACLE"}) {
    ScriptedDatabase database;
    database.Answer("EMPRESA", Rows({"empresa_Id"}));
    const Outcome outcome = Call(database, kind, Variant::Integer(999));
    EXPECT_EQ(outcome.result, Variant::Integer(10));
    EXPECT_EQ(outcome.message, Variant("Filial não cadastrada."));
    EXPECT_EQ(outcome.company, Variant("antes"));
  }
}

TEST(BranchCompany, ANullCompanyIsEmpty) {
  ScriptedDatabase database;
  database.Answer("EMPRESA", Rows({"empresa_Id"}, {{Variant::Null()}}));
  EXPECT_EQ(Call(database, "SQLSERVER", Variant::Integer(7)).company, Variant(""));
}

TEST(BranchCompany, ABranchThatIsNoNumberRunsTheTrapBeforeAnyStatement) {
  for (const char* hostile : {"abc", "7; delete from LOG_MSG"}) {
    ScriptedDatabase database;
    const Outcome outcome = Call(database, "SQLSERVER", Variant(hostile), Variant::Integer(1));
    EXPECT_EQ(outcome.result, Variant::Integer(10));
    EXPECT_EQ(outcome.message,
              Variant(std::string(kSentence) +
                      " TMXCNH.gBusca_Empresa_Filial ( Tipos incompatíveis : 13)   no nº 1220, "
                      "strSq: "));
    // Only the trap's log row reaches the database.
    const std::vector<std::string> statements = database.statements();
    ASSERT_EQ(statements.size(), 1u);
    EXPECT_EQ(statements[0].rfind("INSERT INTO LOG_MSG", 0), 0u);
  }
}

TEST(BranchCompany, AnEmulationThatFailsEndsTheMethodWithItsOwnSentence) {
  // A derived object sees the call of the emulation through the class's interface.
  class FailingEmulation : public CNH {
   protected:
    bool mTrataSP_TMX_CON_EMPRESA_OP(const std::string& kind, const std::string& connection,
                                     int32_t& branch, std::string& sql, Variant& message,
                                     const Variant& user) override {
      ++calls;
      EXPECT_EQ(kind, "ORACLE");
      EXPECT_EQ(branch, 7);
      EXPECT_EQ(user, Variant("5"));
      (void)connection;
      (void)sql;
      message =
          "Gravação de Informações no banco de dados Oracle indisponível. Favor tentar mais tarde.";
      return false;
    }

   public:
    int calls = 0;
  };
  ScriptedDatabase database;
  FailingEmulation object;
  Variant kind = "ORACLE";
  Variant connection = database.connection_text();
  Variant user = Variant::Integer(5);
  Variant branch = Variant::Integer(7);
  Variant company = "antes";
  Variant message;
  EXPECT_EQ(object.gBusca_Empresa_Filial(kind, connection, user, branch, company, message),
            Variant::Integer(10));
  EXPECT_EQ(object.calls, 1);
  EXPECT_EQ(message, Variant("Gravação de Informações no banco de dados Oracle indisponível. Favor "
                             "tentar mais tarde."));
  EXPECT_TRUE(database.statements().empty());
}

}  // namespace
}  // namespace tmxcnh
