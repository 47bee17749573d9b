#include "common/infra_ids.h"

#include <gtest/gtest.h>

#include "tests/support/scripted_driver.h"
#include "tests/support/table_file.h"

namespace tmxcnh {
namespace {

using testing::Rows;
using testing::ScriptedDatabase;

struct Allocation {
  bool done;
  int32_t id;
  std::string message;
};

Allocation Allocate(ScriptedDatabase& database, const std::string& key, int32_t user = 5) {
  Variant no_object;
  Allocation a{false, -1, "antes"};
  a.done = gAtualiza_infra_ids("ORACLE", user, 1, "TRAMOX", "N", no_object,
                               database.connection_text(), key, a.message, a.id);
  return a;
}

// No counter row is refused with the same words on every engine and kind in
// the integration suite.
TEST(InfraIds, ReadsAddsOneAndWritesTheConstantBackOrEndsInItsOwnTrapWithALogRow) {
  for (const testing::TableRow& row : testing::ReadTableFile("common/infra_ids.txt", 3, 5)) {
    ScriptedDatabase database;
    database.Answer("FROM infra_ids", Rows({"NOTA_FISCAL_ID"}, {{row.Value(1)}}));
    if (row[0] == "done") {
      const Allocation a = Allocate(database, "NOTA_FISCAL_ID");
      EXPECT_TRUE(a.done) << row.where;
      EXPECT_EQ(std::to_string(a.id), row[2]) << row.where;
      EXPECT_EQ(a.message, "antes") << row.where;
      EXPECT_EQ(database.statements(),
                (std::vector<std::string>{"SELECT  NOTA_FISCAL_ID FROM infra_ids ",
                                          "UPDATE infra_ids SET NOTA_FISCAL_ID = " + row[2]}))
          << row.where;
      continue;
    }
    if (row.Number(2) != 0) database.FailAt(row.Number(2));
    const Allocation a = Allocate(database, "NOTA_FISCAL_ID", row.Number(3));
    EXPECT_FALSE(a.done) << row.where;
    EXPECT_EQ(a.message, row.Text(4)) << row.where;
    EXPECT_EQ(database.StatementsStartingWith("INSERT INTO LOG_MSG").size(), 1u) << row.where;
  }
}

}  // namespace
}  // namespace tmxcnh
