// A connection that a caller opened itself and hands to the component in a
// Variant. Its default property is its connection text; a recordset opened on
// it runs its statement on this very connection (and so inside any
// transaction the caller holds on it).
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "db/connection.h"
#include "platform/variant.h"

namespace tmxcnh::db {

class ConnectionObject : public AutomationObject {
 public:
  ConnectionObject(std::string connection_text, std::unique_ptr<Connection> connection)
      : text_(std::move(connection_text)), connection_(std::move(connection)) {}

  // Opens a new connection for the text (raises RunTimeError when it cannot).
  static std::shared_ptr<ConnectionObject> Open(const std::string& connection_text);

  std::string DefaultProperty() const override { return text_; }

  // The connection, for one statement at a time.
  std::optional<ResultSet> Execute(const Statement& statement) {
    std::lock_guard<std::mutex> lock(mutex_);
    return connection_->Execute(statement);
  }

 private:
  const std::string text_;
  std::mutex mutex_;
  std::unique_ptr<Connection> connection_;
};

}  // namespace tmxcnh::db
