#include "db/connection_object.h"

#include "db/drivers.h"

namespace tmxcnh::db {
namespace {

thread_local SessionPin* innermost_pin = nullptr;

}  // namespace

SessionPin::SessionPin(std::shared_ptr<ConnectionObject> object)
    : object_(std::move(object)), outer_(innermost_pin) {
  innermost_pin = this;
}

SessionPin::~SessionPin() { innermost_pin = outer_; }

std::shared_ptr<ConnectionObject> ConnectionObject::Pinned(const std::string& connection_text) {
  for (SessionPin* pin = innermost_pin; pin != nullptr; pin = pin->outer_) {
    if (pin->object_->text_ == connection_text) return pin->object_;
  }
  return nullptr;
}

ConnectionObject::ConnectionObject(std::string connection_text,
                                   std::unique_ptr<Connection> connection)
    : text_(std::move(connection_text)), owned_(std::move(connection)) {}

ConnectionObject::ConnectionObject(std::string connection_text, ConnectionPool::Lease lease)
    : text_(std::move(connection_text)), lease_(std::move(lease)) {}

std::shared_ptr<ConnectionObject> ConnectionObject::Open(const std::string& connection_text) {
  return std::make_shared<ConnectionObject>(connection_text, OpenConnection(connection_text));
}

std::shared_ptr<ConnectionObject> ConnectionObject::FromPool(const std::string& connection_text) {
  if (auto pinned = Pinned(connection_text)) return pinned;
  return std::make_shared<ConnectionObject>(connection_text,
                                            ConnectionPool::Shared().Acquire(connection_text));
}

Engine ConnectionObject::engine() {
  std::lock_guard<std::mutex> lock(mutex_);
  return connection().engine();
}

std::optional<ResultSet> ConnectionObject::Execute(const Statement& statement) {
  std::lock_guard<std::mutex> lock(mutex_);
  return connection().Execute(statement);
}

void ConnectionObject::ExecuteVerbatim(const std::string& sql) {
  Statement statement;
  statement.text = sql;
  statement.verbatim = true;
  Execute(statement);
}

void ConnectionObject::BeginTransaction() {
  std::lock_guard<std::mutex> lock(mutex_);
  connection().BeginTransaction();
}

void ConnectionObject::Commit() {
  std::lock_guard<std::mutex> lock(mutex_);
  connection().Commit();
}

void ConnectionObject::Rollback() {
  std::lock_guard<std::mutex> lock(mutex_);
  connection().Rollback();
}

}  // namespace tmxcnh::db
