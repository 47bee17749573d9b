// The duplicate-number check on real databases: the procedure and the inline
// count agree on SQLite and PostgreSQL.
#include <gtest/gtest.h>

#include "tests/support/method_call.h"
#include "tests/support/test_databases.h"

namespace tmxcnh {
namespace {

using testing::CallOn;
using testing::MethodCall;
using testing::Setting;
using testing::TestDatabase;
using testing::TestEngine;

class DuplicateTest : public testing::DatabaseTest<Setting> {
 protected:
  MethodCall Verify(int number, int branch, int document, int company = 1) {
    return CallOn("mVerifica_Dupli_Num_Docto", GetParam().kind, database_->connection_text(),
                  {{"invntUsuario_internet_id", Variant::Integer(5)},
                   {"invntEmpresa_id", Variant::Long(company)},
                   {"invntNum_Docto_Transporte", Variant(std::to_string(number))},
                   {"invntPonto_Operacao_id", Variant::Long(branch)},
                   {"invntDocto_Transporte_id", Variant::Long(document)},
                   {"invntTab_Tipo_Docto_Transp_id", Variant::Integer(1)}});
  }
};

TEST_P(DuplicateTest, ANumberIsFreeUnlessAnotherLiveDocumentOfTheBranchHasIt) {
  struct Case {
    int number;
    int branch;
    int document;
    int company;
    bool free;
  };
  const Case cases[] = {
      {4501, 7, 0, 1, false},    // 1001 has it at branch 7
      {4501, 7, 0, 2, false},    // whatever company asks
      {4501, 12, 0, 1, true},    // another branch
      {4501, 7, 1001, 1, true},  // the document being changed itself
      {4503, 7, 1004, 1, true},  // the other holder, 1003, is deleted
      {4503, 7, 0, 1, false},    // 1004 is live
      {4510, 9, 0, 1, false},    // a pickup document (type 2) counts too
      {9999, 7, 0, 1, true},
  };
  for (const Case& c : cases) {
    const MethodCall call = Verify(c.number, c.branch, c.document, c.company);
    EXPECT_EQ(call.result, Variant::Boolean(c.free)) << c.number << " at " << c.branch;
    if (!c.free) {
      EXPECT_EQ(call["outvntMsg_Ret"], Variant("Já existe um conhecimento com esse número."));
    }
  }
  EXPECT_EQ(database_->Count("LOG_MSG"), 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, DuplicateTest, testing::EveryEngineAndKind(),
                         testing::SettingName);

}  // namespace
}  // namespace tmxcnh
