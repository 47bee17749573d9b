#include "db/pool.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "db/drivers.h"
#include "platform/run_time_error.h"

namespace tmxcnh::db {
namespace {

// Connections whose usability and reset can be steered, counting what happens to them.
struct Counters {
  int opened = 0;
  int resets = 0;
  int closed = 0;
};

class CountedConnection : public Connection {
 public:
  CountedConnection(Counters* counters, int id) : counters_(counters), id_(id) {}
  ~CountedConnection() override { ++counters_->closed; }
  Engine engine() const override { return Engine::kOther; }
  std::optional<ResultSet> Execute(const Statement&) override {
    return ResultSet{{"id"}, {{Variant::Long(id_)}}};
  }
  bool IsUsable() override { return usable; }
  void Reset() override {
    ++counters_->resets;
    if (fail_reset) throw RunTimeError(kErrConnectionFailed, "reset failed");
  }
  void BeginTransaction() override {}
  void Commit() override {}
  void Rollback() override {}
  int id() const { return id_; }
  bool usable = true;
  bool fail_reset = false;

 private:
  Counters* counters_;
  int id_;
};

class CountingDriver : public Driver {
 public:
  explicit CountingDriver(Counters* counters) : counters_(counters) {}
  std::unique_ptr<Connection> Open(const ConnectionText&) override {
    return std::make_unique<CountedConnection>(counters_, ++counters_->opened);
  }

 private:
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

TEST_F(PoolTest, EveryLeaseHasAConnectionOfItsOwn) {
  ConnectionPool pool;
  ConnectionPool::Lease first = pool.Acquire(text);
  ConnectionPool::Lease second = pool.Acquire(text);
  EXPECT_NE(Of(first).id(), Of(second).id());
  EXPECT_EQ(counters.opened, 2);
}

TEST_F(PoolTest, AnIdleConnectionIsResetAndReused) {
  ConnectionPool pool;
  int id = 0;
  {
    ConnectionPool::Lease lease = pool.Acquire(text);
    id = Of(lease).id();
  }
  EXPECT_EQ(pool.IdleCount(text), 1u);
  ConnectionPool::Lease again = pool.Acquire(text);
  EXPECT_EQ(Of(again).id(), id);
  EXPECT_EQ(counters.opened, 1);
  EXPECT_EQ(counters.resets, 1);
  EXPECT_EQ(pool.IdleCount(text), 0u);
}

TEST_F(PoolTest, OtherConnectionTextsDoNotShare) {
  ConnectionPool pool;
  { ConnectionPool::Lease lease = pool.Acquire(text); }
  ConnectionPool::Lease other = pool.Acquire("Driver=Counting;Name=b");
  EXPECT_EQ(counters.opened, 2);
  EXPECT_EQ(pool.IdleCount(text), 1u);
}

TEST_F(PoolTest, ADeadOrUnresettableConnectionIsDiscardedNeverHandedOut) {
  ConnectionPool pool;
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
  EXPECT_EQ(Of(c).id(), 3);  // both idle ones were dropped, a new one opened
  EXPECT_EQ(counters.closed, 2);
  EXPECT_EQ(pool.IdleCount(text), 0u);
}

TEST_F(PoolTest, AConnectionUnusableOnReturnIsNotKept) {
  ConnectionPool pool;
  {
    ConnectionPool::Lease lease = pool.Acquire(text);
    Of(lease).usable = false;
  }
  EXPECT_EQ(pool.IdleCount(text), 0u);
  EXPECT_EQ(counters.closed, 1);
}

TEST_F(PoolTest, ABrokenLeaseIsNotReturned) {
  ConnectionPool pool;
  {
    ConnectionPool::Lease lease = pool.Acquire(text);
    lease.MarkBroken();
  }
  EXPECT_EQ(pool.IdleCount(text), 0u);
  EXPECT_EQ(counters.closed, 1);
}

TEST_F(PoolTest, IdleConnectionsAreCappedPerText) {
  ConnectionPool pool(2);
  {
    ConnectionPool::Lease a = pool.Acquire(text);
    ConnectionPool::Lease b = pool.Acquire(text);
    ConnectionPool::Lease c = pool.Acquire(text);
  }
  EXPECT_EQ(pool.IdleCount(text), 2u);
  EXPECT_EQ(counters.closed, 1);
  pool.Clear();
  EXPECT_EQ(pool.IdleCount(text), 0u);
  EXPECT_EQ(counters.closed, 3);
}

TEST_F(PoolTest, ConnectionsIdlePastTheLimitAreClosed) {
  ConnectionPool pool(8, std::chrono::milliseconds(30));
  { ConnectionPool::Lease lease = pool.Acquire(text); }
  EXPECT_EQ(pool.IdleCount(text), 1u);
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  ConnectionPool::Lease fresh = pool.Acquire(text);
  EXPECT_EQ(Of(fresh).id(), 2);
  EXPECT_EQ(counters.closed, 1);
}

TEST_F(PoolTest, AConnectionThatCannotBeOpenedIsAnError) {
  ConnectionPool pool;
  try {
    pool.Acquire("Driver=SQLite3;Database=/nonexistent/folder/x.db");
    FAIL() << "no error";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.number(), kErrConnectionFailed);
  }
}

}  // namespace
}  // namespace tmxcnh::db
