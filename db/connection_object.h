// A connection held in a Variant: one that a caller opened itself and hands
// to the component, or one the component holds over several statements (a
// transaction, a lock). Its default property is its connection text; a
// recordset opened on it runs its statement on this very connection.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "db/connection.h"
#include "db/pool.h"
#include "platform/variant.h"

namespace tmxcnh::db {

class ConnectionObject : public AutomationObject {
 public:
  // A new connection of its own (raises RunTimeError when it cannot be opened).
  static std::shared_ptr<ConnectionObject> Open(const std::string& connection_text);
  // A connection on loan from the shared pool, returned when the object goes;
  // the pinned connection instead while this thread holds a pin on the text.
  static std::shared_ptr<ConnectionObject> FromPool(const std::string& connection_text);
  // The connection this thread has pinned for the text, or nullptr.
  static std::shared_ptr<ConnectionObject> Pinned(const std::string& connection_text);

  ConnectionObject(std::string connection_text, std::unique_ptr<Connection> connection);
  ConnectionObject(std::string connection_text, ConnectionPool::Lease lease);

  std::string DefaultProperty() const override { return text_; }

  Engine engine();
  std::optional<ResultSet> Execute(const Statement& statement);
  // Runs administration SQL (a lock, a setting) as written.
  void ExecuteVerbatim(const std::string& sql);
  void BeginTransaction();
  void Commit();
  void Rollback();

 private:
  Connection& connection() { return lease_ ? **lease_ : *owned_; }

  const std::string text_;
  std::mutex mutex_;
  std::unique_ptr<Connection> owned_;
  std::optional<ConnectionPool::Lease> lease_;
};

// While a pin lives, the statements its thread runs on the pinned
// connection's text run on that very connection instead of pooled ones: a
// lock its session holds then covers them, and they fail, instead of running
// unprotected, if that session ends. Pins nest (the innermost wins).
class SessionPin {
 public:
  explicit SessionPin(std::shared_ptr<ConnectionObject> object);
  ~SessionPin();
  SessionPin(const SessionPin&) = delete;
  SessionPin& operator=(const SessionPin&) = delete;

 private:
  friend class ConnectionObject;
  std::shared_ptr<ConnectionObject> object_;
  SessionPin* outer_;
};

}  // namespace tmxcnh::db
