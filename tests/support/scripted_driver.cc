#include "tests/support/scripted_driver.h"

#include <atomic>
#include <regex>

#include "db/drivers.h"
#include "db/pool.h"
#include "platform/run_time_error.h"

namespace tmxcnh::testing {
namespace {

std::mutex registry_mutex;
std::map<std::string, ScriptedDatabase*>& Databases() {
  static std::map<std::string, ScriptedDatabase*> databases;
  return databases;
}

ScriptedDatabase* Find(const std::string& name) {
  std::lock_guard<std::mutex> lock(registry_mutex);
  const auto it = Databases().find(name);
  return it != Databases().end() ? it->second : nullptr;
}

class ScriptedConnection : public db::Connection {
 public:
  ScriptedConnection(std::string name, std::unique_ptr<db::Connection> real)
      : name_(std::move(name)), real_(std::move(real)) {}
  db::Engine engine() const override { return real_ ? real_->engine() : db::Engine::kOther; }
  std::optional<db::ResultSet> Execute(const db::Statement& statement) override {
    ScriptedDatabase* database = Find(name_);
    if (database == nullptr) throw RunTimeError(db::kErrConnectionFailed, "banco encerrado");
    std::optional<db::ResultSet> answer = database->Run(statement);
    return real_ ? real_->Execute(statement) : answer;
  }
  bool IsUsable() override { return !real_ || real_->IsUsable(); }
  void Reset() override {
    if (real_) real_->Reset();
  }
  void BeginTransaction() override {
    if (real_) real_->BeginTransaction();
  }
  void Commit() override {
    if (real_) real_->Commit();
  }
  void Rollback() override {
    if (real_) real_->Rollback();
  }

 private:
  std::string name_;
  std::unique_ptr<db::Connection> real_;
};

class ScriptedDriver : public db::Driver {
 public:
  std::unique_ptr<db::Connection> Open(const db::ConnectionText& text) override {
    const ScriptedDatabase* database = Find(text.Get("Name"));
    return std::make_unique<ScriptedConnection>(
        text.Get("Name"), database && !database->real_connection_text().empty()
                              ? db::OpenConnection(database->real_connection_text())
                              : nullptr);
  }
};

bool IsWrite(const std::string& text) {
  static const std::regex write("^\\s*(INSERT|UPDATE|DELETE)(?![A-Z])", std::regex::icase);
  return std::regex_search(text, write);
}

}  // namespace

db::ResultSet Rows(std::vector<std::string> columns, std::vector<std::vector<Variant>> rows) {
  db::ResultSet result{std::move(columns), {}};
  for (std::vector<Variant>& row : rows) {
    for (Variant& value : row) result.values.push_back(std::move(value));
  }
  return result;
}

std::vector<std::vector<Variant>> RowsOf(const db::ResultSet& result) {
  std::vector<std::vector<Variant>> rows;
  const auto width = static_cast<std::ptrdiff_t>(result.columns.size());
  for (auto row = result.values.begin(); row != result.values.end(); row += width) {
    rows.emplace_back(row, row + width);
  }
  return rows;
}

ScriptedDatabase::ScriptedDatabase(std::string real_connection_text)
    : real_(std::move(real_connection_text)) {
  static std::atomic<int> counter{0};
  name_ = "scripted" + std::to_string(++counter);
  connection_text_ = "Driver=Scripted;Name=" + name_;
  std::lock_guard<std::mutex> lock(registry_mutex);
  static bool registered = false;
  if (!registered) {
    db::RegisterDriver("Scripted", std::make_shared<ScriptedDriver>());
    registered = true;
  }
  Databases()[name_] = this;
}

ScriptedDatabase::~ScriptedDatabase() {
  {
    std::lock_guard<std::mutex> lock(registry_mutex);
    Databases().erase(name_);
  }
  db::ConnectionPool::Shared().Clear();
}

void ScriptedDatabase::Answer(const std::string& fragment, db::ResultSet rows) {
  std::lock_guard<std::mutex> lock(mutex_);
  rules_.push_back({fragment, std::move(rows)});
}

void ScriptedDatabase::FailAt(int n, const std::string& message) {
  std::lock_guard<std::mutex> lock(mutex_);
  failures_[n] = message;
}

std::vector<std::string> ScriptedDatabase::statements() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return statements_;
}

std::vector<std::string> ScriptedDatabase::StatementsStartingWith(const std::string& prefix) const {
  std::vector<std::string> matching;
  for (const std::string& statement : statements()) {
    if (statement.rfind(prefix, 0) == 0) matching.push_back(statement);
  }
  return matching;
}

std::optional<db::ResultSet> ScriptedDatabase::Run(const db::Statement& statement) {
  std::lock_guard<std::mutex> lock(mutex_);
  statements_.push_back(statement.text);
  const int n = static_cast<int>(statements_.size());
  if (const auto failure = failures_.find(n); failure != failures_.end()) {
    throw RunTimeError(db::kErrStatementFailed, failure->second);
  }
  for (const Rule& rule : rules_) {
    if (statement.text.find(rule.fragment) != std::string::npos) return rule.rows;
  }
  if (IsWrite(statement.text)) return std::nullopt;
  return db::ResultSet{};
}

}  // namespace tmxcnh::testing
