// Real databases for integration tests: a fresh SQLite file in a temporary
// folder, or a fresh database on the PostgreSQL server that
// scripts/with-postgres starts (TMXCNH_TEST_PG, TMXCNH_TEST_PG_ADMIN).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "db/connection.h"

namespace tmxcnh::testing {

// A statement sent as written, not adapted to the engine.
db::Statement Verbatim(const std::string& sql);

enum class TestEngine { kSqlite, kPostgreSql };

const char* EngineName(TestEngine engine);

// An engine and a database kind, the two axes of the integration tests.
struct Setting {
  TestEngine engine;
  const char* kind;
};
void PrintTo(const Setting& setting, std::ostream* out);
std::string SettingName(const ::testing::TestParamInfo<Setting>& info);
// Both engines with both kinds.
inline const std::vector<Setting> kEveryEngineAndKind{{TestEngine::kSqlite, "SQLSERVER"},
                                                      {TestEngine::kSqlite, "ORACLE"},
                                                      {TestEngine::kPostgreSql, "SQLSERVER"},
                                                      {TestEngine::kPostgreSql, "ORACLE"}};
inline auto EveryEngineAndKind() { return ::testing::ValuesIn(kEveryEngineAndKind); }
// Each engine once and each kind once, for what does not differ by the pair.
inline const std::vector<Setting> kEachEngineAndKindOnce{{TestEngine::kSqlite, "ORACLE"},
                                                         {TestEngine::kPostgreSql, "SQLSERVER"}};
inline auto EachEngineAndKindOnce() { return ::testing::ValuesIn(kEachEngineAndKindOnce); }

class TestDatabase {
 public:
  // A new database with schema, procedures and (optionally) demo data;
  // nullptr when the engine is not available here (PostgreSQL without
  // TMXCNH_TEST_PG): the caller skips.
  static std::unique_ptr<TestDatabase> Create(TestEngine engine, bool with_demo_data = true);
  ~TestDatabase();

  TestEngine engine() const { return engine_; }
  const std::string& connection_text() const { return connection_text_; }

  // Runs a statement as written, outside the component, for setting up and checking.
  db::ResultSet Query(const std::string& sql);
  void Execute(const std::string& sql);
  int32_t Count(const std::string& table_and_condition);

 private:
  TestDatabase(TestEngine engine, std::string connection_text, std::string cleanup);
  TestEngine engine_;
  std::string connection_text_;
  std::string cleanup_;  // the folder (SQLite) or the database name (PostgreSQL)
  std::unique_ptr<db::Connection> connection_;
};

// A fresh database of the setting's engine for each test; the test is
// skipped where that engine is not here.
class DatabaseTest : public ::testing::TestWithParam<Setting> {
 protected:
  void SetUp() override {
    database_ = TestDatabase::Create(GetParam().engine);
    if (!database_)
      GTEST_SKIP() << "no PostgreSQL here (set TMXCNH_TEST_PG; scripts/with-postgres does)";
  }
  std::unique_ptr<TestDatabase> database_;
};

}  // namespace tmxcnh::testing
