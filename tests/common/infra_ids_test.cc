#include "common/infra_ids.h"

#include <gtest/gtest.h>

#include <tuple>

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

TEST(InfraIds, ReadsAddsOneAndWritesTheConstantBack) {
  const std::tuple<Variant, const char*, int32_t, std::string> cases[] = {
      // The counter stored, the key asked for, the identifier given, the counter's column read.
      {Variant::Long(41), "NOTA_FISCAL_ID", 42, "  NOTA_FISCAL_ID "},
      {Variant::Long(2147483646), "NOTA_FISCAL_ID", 2147483647, "  NOTA_FISCAL_ID "},  // the last
      {Variant::Null(), "NOTA_FISCAL_ID", 1, "  NOTA_FISCAL_ID "},
  };
  for (const auto& [stored, key, id, read] : cases) {
    ScriptedDatabase database;
    database.Answer("FROM infra_ids", Rows({"NOTA_FISCAL_ID"}, {{stored}}));
    const Allocation a = Allocate(database, key);
    EXPECT_TRUE(a.done) << Describe(stored);
    EXPECT_EQ(a.id, id);
    EXPECT_EQ(a.message, "antes");
    EXPECT_EQ(database.statements(),
              (std::vector<std::string>{
                  "SELECT" + read + "FROM infra_ids ",
                  "UPDATE infra_ids SET " + std::string(key) + " = " + std::to_string(id)}));
  }
}

// No counter row is refused with the same words on every engine and kind in
// the integration suite.
TEST(InfraIds, FailuresEndInItsOwnTrapWithALogRow) {
  for (const testing::TableRow& row :
       testing::ReadTableFile("common/infra_ids_failures.txt", 4, 4)) {
    ScriptedDatabase database;
    database.Answer("FROM infra_ids", Rows({"NOTA_FISCAL_ID"}, {{Variant::Long(row.Number(0))}}));
    if (row.Number(1) != 0) database.FailAt(row.Number(1));
    const Allocation a = Allocate(database, "NOTA_FISCAL_ID", row.Number(2));
    EXPECT_FALSE(a.done) << row.where;
    EXPECT_EQ(a.message, row.Text(3)) << row.where;
    EXPECT_EQ(database.StatementsStartingWith("INSERT INTO LOG_MSG").size(), 1u) << row.where;
  }
}

}  // namespace
}  // namespace tmxcnh
