#include "tests/support/test_databases.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <regex>

#include "db/drivers.h"
#include "db/initdb.h"
#include "db/pool.h"
#include "platform/conversions.h"

namespace tmxcnh::testing {
namespace {

// The process id alone comes round again within one run of the suites, and
// what a killed test left behind must not be taken for a new database.
std::string UniqueName() {
  static std::atomic<int> counter{0};
  static const unsigned salt = std::random_device{}();
  char name[64];
  std::snprintf(name, sizeof name, "tmx_%d_%08x_%d", static_cast<int>(getpid()), salt, ++counter);
  return name;
}

// The text with the value of its Database key (scripts/with-postgres writes one) replaced.
std::string WithDatabase(const std::string& connection_text, const std::string& database) {
  static const std::regex key("(^|;) *Database *=[^;]*", std::regex::icase);
  return std::regex_replace(connection_text, key, "$1Database=" + database);
}

}  // namespace

db::Statement Verbatim(const std::string& sql) {
  db::Statement statement;
  statement.text = sql;
  statement.verbatim = true;
  return statement;
}

const char* EngineName(TestEngine engine) {
  return engine == TestEngine::kSqlite ? "SQLite" : "PostgreSQL";
}

void PrintTo(const Setting& setting, std::ostream* out) {
  *out << EngineName(setting.engine) << " " << setting.kind;
}

std::string SettingName(const ::testing::TestParamInfo<Setting>& info) {
  return std::string(EngineName(info.param.engine)) + "_" + info.param.kind;
}

TestDatabase::TestDatabase(TestEngine engine, std::string connection_text, std::string cleanup)
    : engine_(engine),
      connection_text_(std::move(connection_text)),
      cleanup_(std::move(cleanup)),
      connection_(db::OpenConnection(connection_text_)) {}

std::unique_ptr<TestDatabase> TestDatabase::Create(TestEngine engine, bool with_demo_data) {
  const std::string name = UniqueName();
  if (engine == TestEngine::kSqlite) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(folder);
    const std::string text = "Driver=SQLite3;Database=" + (folder / "tmxcnh.db").string();
    db::InitializeDatabase(text, with_demo_data);
    return std::unique_ptr<TestDatabase>(new TestDatabase(engine, text, folder.string()));
  }
  const char* server = std::getenv("TMXCNH_TEST_PG");
  const char* admin = std::getenv("TMXCNH_TEST_PG_ADMIN");
  if (server == nullptr || admin == nullptr) return nullptr;
  db::OpenConnection(admin)->Execute(Verbatim("CREATE DATABASE " + name));
  const std::string text = WithDatabase(server, name);
  db::InitializeDatabase(text, with_demo_data);
  return std::unique_ptr<TestDatabase>(new TestDatabase(engine, text, name));
}

TestDatabase::~TestDatabase() {
  connection_.reset();
  db::ConnectionPool::Shared().Clear();
  try {
    if (engine_ == TestEngine::kSqlite) {
      std::filesystem::remove_all(cleanup_);
    } else if (const char* admin = std::getenv("TMXCNH_TEST_PG_ADMIN")) {
      db::OpenConnection(admin)->Execute(Verbatim("DROP DATABASE " + cleanup_ + " WITH (FORCE)"));
    }
  } catch (const std::exception&) {
    // Leftovers go with the throw-away server or the temporary folder.
  }
}

db::ResultSet TestDatabase::Query(const std::string& sql) {
  std::optional<db::ResultSet> result = connection_->Execute(Verbatim(sql));
  return result ? *result : db::ResultSet{};
}

void TestDatabase::Execute(const std::string& sql) { connection_->Execute(Verbatim(sql)); }

int32_t TestDatabase::Count(const std::string& table_and_condition) {
  const db::ResultSet result = Query("SELECT COUNT(*) FROM " + table_and_condition);
  return ToLong(result.at(0, 0));
}

}  // namespace tmxcnh::testing
