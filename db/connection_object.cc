#include "db/connection_object.h"

#include "db/drivers.h"

namespace tmxcnh::db {

ConnectionObject::ConnectionObject(std::string connection_text,
                                   std::unique_ptr<Connection> connection)
    : text_(std::move(connection_text)), owned_(std::move(connection)) {}

ConnectionObject::ConnectionObject(std::string connection_text, ConnectionPool::Lease lease)
    : text_(std::move(connection_text)), lease_(std::move(lease)) {}

std::shared_ptr<ConnectionObject> ConnectionObject::Open(const std::string& connection_text) {
  return std::make_shared<ConnectionObject>(connection_text, OpenConnection(connection_text));
}

std::shared_ptr<ConnectionObject> ConnectionObject::FromPool(const std::string& connection_text) {
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
