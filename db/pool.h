// Connections kept for reuse, per connection text. Every recordset still gets
// a connection of its own, but an idle one is reused instead of opening a new
// one: it is reset first (no open transaction, autocommit on, no session
// state), and one that can no longer serve is discarded, never handed out.
// A connection idle for longer than the idle limit is closed, so that a
// quiet component holds no server sessions.
#pragma once

#include <chrono>
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

  explicit ConnectionPool(size_t max_idle_per_text = 8,
                          std::chrono::milliseconds idle_limit = std::chrono::minutes(5));
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
  using Clock = std::chrono::steady_clock;
  struct Idle {
    std::unique_ptr<Connection> connection;
    Clock::time_point since;
  };

  void Return(const std::string& text, std::unique_ptr<Connection> connection);
  // Moves the connections idle past the limit (the oldest come first) into closing.
  void TakeExpired(std::vector<Idle>& idle, std::vector<Idle>& closing);

  const size_t max_idle_per_text_;
  const std::chrono::milliseconds idle_limit_;
  std::mutex mutex_;
  std::map<std::string, std::vector<Idle>> idle_;
};

}  // namespace tmxcnh::db
