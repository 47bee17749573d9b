#include "db/pool.h"

#include "db/drivers.h"
#include "platform/run_time_error.h"

namespace tmxcnh::db {

ConnectionPool& ConnectionPool::Shared() {
  static ConnectionPool* pool = new ConnectionPool();  // lives as long as the process
  return *pool;
}

ConnectionPool::ConnectionPool(size_t max_idle_per_text, std::chrono::milliseconds idle_limit)
    : max_idle_per_text_(max_idle_per_text), idle_limit_(idle_limit) {}

ConnectionPool::~ConnectionPool() = default;

ConnectionPool::Lease::Lease(ConnectionPool* pool, std::string text,
                             std::unique_ptr<Connection> connection)
    : pool_(pool), text_(std::move(text)), connection_(std::move(connection)) {}

ConnectionPool::Lease::Lease(Lease&& other) noexcept
    : pool_(other.pool_),
      text_(std::move(other.text_)),
      connection_(std::move(other.connection_)),
      broken_(other.broken_) {}

ConnectionPool::Lease::~Lease() {
  if (connection_ && !broken_) pool_->Return(text_, std::move(connection_));
}

void ConnectionPool::TakeExpired(std::vector<Idle>& idle, std::vector<Idle>& closing) {
  const Clock::time_point oldest_kept = Clock::now() - idle_limit_;
  size_t expired = 0;
  while (expired < idle.size() && idle[expired].since <= oldest_kept) ++expired;
  for (size_t i = 0; i < expired; ++i) closing.push_back(std::move(idle[i]));
  idle.erase(idle.begin(), idle.begin() + static_cast<std::ptrdiff_t>(expired));
}

ConnectionPool::Lease ConnectionPool::Acquire(const std::string& connection_text) {
  for (;;) {
    std::unique_ptr<Connection> candidate;
    std::vector<Idle> closing;  // closed after the lock is let go
    {
      std::lock_guard<std::mutex> lock(mutex_);
      auto it = idle_.find(connection_text);
      if (it == idle_.end()) break;
      TakeExpired(it->second, closing);
      if (it->second.empty()) break;
      candidate = std::move(it->second.back().connection);
      it->second.pop_back();
    }
    if (!candidate->IsUsable()) continue;  // dropped
    try {
      candidate->Reset();
    } catch (const RunTimeError&) {
      continue;  // dropped
    }
    return Lease(this, connection_text, std::move(candidate));
  }
  return Lease(this, connection_text, OpenConnection(connection_text));
}

void ConnectionPool::Return(const std::string& text, std::unique_ptr<Connection> connection) {
  if (!connection->IsUsable()) return;
  std::vector<Idle> closing;  // closed after the lock is let go
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<Idle>& idle = idle_[text];
  TakeExpired(idle, closing);
  if (idle.size() < max_idle_per_text_) idle.push_back({std::move(connection), Clock::now()});
}

size_t ConnectionPool::IdleCount(const std::string& connection_text) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = idle_.find(connection_text);
  return it == idle_.end() ? 0 : it->second.size();
}

void ConnectionPool::Clear() {
  std::map<std::string, std::vector<Idle>> closing;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing.swap(idle_);
  }
}

}  // namespace tmxcnh::db
