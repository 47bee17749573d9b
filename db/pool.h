// Connections kept for reuse, per connection text. Every recordset still gets
// a connection of its own, but an idle one is reused instead of opening a new
// one: it is reset first (no open transaction, autocommit on, no session
// state), and one that can no longer serve is discarded, never handed out.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "db/connection.h"

namespace tmxcnh::db {

class ConnectionPool {
 public:
  // The pool the component's recordsets use.
  static ConnectionPool& Shared();

  explicit ConnectionPool(size_t max_idle_per_text = 8);
  ~ConnectionPool();
  ConnectionPool(const ConnectionPool&) = delete;
  ConnectionPool& operator=(const ConnectionPool&) = delete;

  // A connection on loan; it goes back to the pool when the lease ends,
  // unless it was marked broken.
  class Lease {
   public:
    Lease(Lease&& other) noexcept;
    Lease& operator=(Lease&&) = delete;
    ~Lease();
    Connection& operator*() const { return *connection_; }
    Connection* operator->() const { return connection_.get(); }
    void MarkBroken() { broken_ = true; }

   private:
    friend class ConnectionPool;
    Lease(ConnectionPool* pool, std::string text, std::unique_ptr<Connection> connection);
    ConnectionPool* pool_;
    std::string text_;
    std::unique_ptr<Connection> connection_;
    bool broken_ = false;
  };

  // Raises RunTimeError when no connection can be opened.
  Lease Acquire(const std::string& connection_text);

  size_t IdleCount(const std::string& connection_text);
  // Closes every idle connection.
  void Clear();

 private:
  void Return(const std::string& text, std::unique_ptr<Connection> connection);

  const size_t max_idle_per_text_;
  std::mutex mutex_;
  std::map<std::string, std::vector<std::unique_ptr<Connection>>> idle_;
};

}  // namespace tmxcnh::db
