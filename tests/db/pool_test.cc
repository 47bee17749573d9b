#include "db/pool.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "db/drivers.h"
#include "platform/run_time_error.h"

namespace tmxcnh::db {
namespace {

struct Counters {
  int opened = 0;
  int resets = 0;
  int closed = 0;
};

// A connection whose usability and reset can be steered, counting what happens to it.
class CountedConnection : public Connection {
 public:
  CountedConnection(Counters* counters, int id) : counters_(counters), id(id) {}
  ~CountedConnection() override { ++counters_->closed; }
  Engine engine() const override { return Engine::kOther; }
  std::optional<ResultSet> Execute(const Statement&) override { return std::nullopt; }
  bool IsUsable() override { return usable; }
  void Reset() override {
    ++counters_->resets;
    if (fail_reset) throw RunTimeError(kErrConnectionFailed, "reset failed");
  }
  void BeginTransaction() override {}
  void Commit() override {}
  void Rollback() override {}

  Counters* counters_;
  const int id;
  bool usable = true;
  bool fail_reset = false;
};

class CountingDriver : public Driver {
 public:
  explicit CountingDriver(Counters* counters) : counters_(counters) {}
  std::unique_ptr<Connection> Open(const ConnectionText&) override {
    return std::make_unique<CountedConnection>(counters_, ++counters_->opened);
  }
  Counters* counters_;
};

class PoolTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterDriver("Counting", std::make_shared<CountingDriver>(&counters)); }
  void TearDown() override { RegisterDriver("Counting", nullptr); }
  static CountedConnection& Of(const ConnectionPool::Lease& lease) {
    return static_cast<CountedConnection&>(*lease);
  }
  Counters counters;
  const std::string text = "Driver=Counting;Name=a";
};

TEST_F(PoolTest, AnIdleConnectionIsResetAndReusedForItsOwnTextOnly) {
  ConnectionPool pool;
  {
    ConnectionPool::Lease first = pool.Acquire(text);
    ConnectionPool::Lease second = pool.Acquire(text);
    EXPECT_NE(Of(first).id, Of(second).id);  // every lease has a connection of its own
  }
  EXPECT_EQ(pool.IdleCount(text), 2u);
  ConnectionPool::Lease other = pool.Acquire("Driver=Counting;Name=b");
  EXPECT_EQ(Of(other).id, 3);
  ConnectionPool::Lease again = pool.Acquire(text);
  EXPECT_LE(Of(again).id, 2);
  EXPECT_EQ(counters.opened, 3);
  EXPECT_EQ(counters.resets, 1);
  EXPECT_EQ(pool.IdleCount(text), 1u);
}

// Neither on its way back nor on its way out.
TEST_F(PoolTest, ADeadOrUnresettableConnectionIsDiscardedNeverHandedOut) {
  ConnectionPool pool;
  {
    ConnectionPool::Lease unusable = pool.Acquire(text);
    ConnectionPool::Lease broken = pool.Acquire(text);
    Of(unusable).usable = false;
    broken.MarkBroken();
  }
  EXPECT_EQ(pool.IdleCount(text), 0u);
  EXPECT_EQ(counters.closed, 2);
  CountedConnection* dies_while_idle = nullptr;
  CountedConnection* cannot_reset = nullptr;
  {
    ConnectionPool::Lease a = pool.Acquire(text);
    ConnectionPool::Lease b = pool.Acquire(text);
    dies_while_idle = &Of(a);
    cannot_reset = &Of(b);
  }
  ASSERT_EQ(pool.IdleCount(text), 2u);
  dies_while_idle->usable = false;
  cannot_reset->fail_reset = true;
  ConnectionPool::Lease c = pool.Acquire(text);
  EXPECT_EQ(Of(c).id, 5);  // both idle ones were dropped, a new one opened
  EXPECT_EQ(counters.closed, 4);
  EXPECT_EQ(pool.IdleCount(text), 0u);
}

TEST_F(PoolTest, IdleConnectionsAreCappedPerTextAndClosedPastTheIdleLimit) {
  ConnectionPool pool(2, std::chrono::milliseconds(30));
  {
    ConnectionPool::Lease a = pool.Acquire(text);
    ConnectionPool::Lease b = pool.Acquire(text);
    ConnectionPool::Lease c = pool.Acquire(text);
  }
  EXPECT_EQ(pool.IdleCount(text), 2u);
  EXPECT_EQ(counters.closed, 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  EXPECT_EQ(Of(pool.Acquire(text)).id, 4);
  EXPECT_EQ(counters.closed, 3);
  pool.Clear();
  EXPECT_EQ(pool.IdleCount(text), 0u);
  EXPECT_EQ(counters.closed, 4);
}

}  // namespace
}  // namespace tmxcnh::db
