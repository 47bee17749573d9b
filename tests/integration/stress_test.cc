// Concurrency on real databases: several threads at once, hundreds of calls.
// Identifiers from one counter are never handed out twice, one number at one
// branch never gets two live documents, and concurrent saves of one
// document's invoices never leave a mix of lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <thread>

#include "common/infra_ids.h"
#include "db/drivers.h"
#include "tests/support/document_screen.h"
#include "tests/support/method_call.h"
#include "tests/support/test_databases.h"

namespace tmxcnh {
namespace {

using testing::CallMethod;
using testing::DocumentScreen;
using testing::MethodCall;
using testing::TestDatabase;
using testing::TestEngine;

constexpr int kThreads = 8;

template <typename Work>
void InThreads(Work work) {
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) threads.emplace_back(work, t);
  for (std::thread& thread : threads) thread.join();
}

class StressTest : public testing::DatabaseTest {};

TEST_P(StressTest, ConcurrentAllocationsNeverShareAnIdentifier) {
  constexpr int kCalls = 50;
  std::mutex mutex;
  std::vector<int32_t> issued;
  std::atomic<int> failures{0};
  InThreads([&](int) {
    for (int i = 0; i < kCalls; ++i) {
      Variant no_object;
      std::string message;
      int32_t id = 0;
      if (!gAtualiza_infra_ids("ORACLE", 5, 1, "TRAMOX", "N", no_object,
                               database_->connection_text(), "NOTA_FISCAL_ID", message, id)) {
        ++failures;
        continue;
      }
      std::lock_guard<std::mutex> lock(mutex);
      issued.push_back(id);
    }
  });
  EXPECT_EQ(failures.load(), 0);
  ASSERT_EQ(issued.size(), static_cast<size_t>(kThreads * kCalls));
  EXPECT_EQ(std::set<int32_t>(issued.begin(), issued.end()).size(), issued.size());
  EXPECT_EQ(*std::max_element(issued.begin(), issued.end()), 9015 + kThreads * kCalls);
  EXPECT_EQ(database_->Query("SELECT NOTA_FISCAL_ID FROM INFRA_IDS").at(0, 0),
            Variant::Long(9015 + kThreads * kCalls));
}

TEST_P(StressTest, OneNumberAtOneBranchNeverGetsTwoLiveDocuments) {
  constexpr int kRounds = 8;
  for (const char* kind : {"SQLSERVER", "ORACLE"}) {
    for (int round = 0; round < kRounds; ++round) {
      const std::string number = std::to_string(8800 + round) + (kind[0] == 'S' ? "1" : "2");
      std::atomic<int> done{0};
      std::mutex mutex;
      std::vector<std::string> refusals;
      InThreads([&](int) {
        const MethodCall call =
            CallMethod("gInclui_Docto_Transporte",
                       DocumentScreen(kind, database_->connection_text(), number, 1, "10"));
        if (call.result == Variant::Integer(0)) {
          ++done;
        } else {
          std::lock_guard<std::mutex> lock(mutex);
          refusals.push_back(Describe(call.result) + " " + call["outvntMsg_Ret"].string_value());
        }
      });
      EXPECT_EQ(database_->Count("DOCTO_TRANSPORTE WHERE NUM_DOCTO_TRANSPORTE = " + number +
                                 " AND PONTO_OPERACAO_ID = 7 AND TAB_STATUS_ID = 1"),
                1)
          << kind << " " << number;
      EXPECT_EQ(done.load(), 1) << kind << " " << number;
      for (const std::string& refusal : refusals) {
        // The check or the procedure refuses the number; on the inline path the
        // database's unique index ends the insert in the emulation's trap.
        EXPECT_TRUE(refusal == "Integer 10 Já existe um conhecimento com esse número." ||
                    refusal ==
                        "Integer 10 Gravação de Informações no banco de dados Oracle "
                        "indisponível. Favor tentar mais tarde.")
            << refusal;
      }
    }
  }
}

MethodCall SaveInvoices(const std::string& connection, const char* kind,
                        const std::vector<int>& numbers) {
  return CallMethod("mGrava_Nota_fiscal",
                    testing::InvoiceScreen(kind, connection, Variant::Long(1001), numbers));
}

std::vector<int> LiveInvoices(TestDatabase& database) {
  std::vector<int> live;
  for (const Variant& number :
       database
           .Query("SELECT NOTA_FISCAL FROM NOTA_FISCAL WHERE "
                  "DOCTO_TRANSPORTE_ID = 1001 AND TAB_STATUS_ID = 1 ORDER BY NOTA_FISCAL_ID")
           .values) {
    live.push_back(std::stoi(number.string_value()));
  }
  return live;
}

// Invoice numbers first .. first + count - 1.
std::vector<int> List(int first, int count) {
  std::vector<int> list(count);
  for (int i = 0; i < count; ++i) list[i] = first + i;
  return list;
}

TEST_P(StressTest, ConcurrentInvoiceSavesNeverMixTheirLists) {
  constexpr int kSaves = 6;
  for (const char* kind : {"SQLSERVER", "ORACLE"}) {
    std::atomic<int> failures{0};
    InThreads([&](int thread) {
      for (int save = 0; save < kSaves; ++save) {
        const MethodCall call = SaveInvoices(database_->connection_text(), kind,
                                             List(100 * (10 * thread + save) + 1, 3));
        if (call.result != Variant::Boolean(true)) ++failures;
      }
    });
    EXPECT_EQ(failures.load(), 0) << kind;
    const std::vector<int> live = LiveInvoices(*database_);
    ASSERT_EQ(live.size(), 3u) << kind;
    EXPECT_EQ(live, List(live[0], 3)) << kind << ": one save's list";
  }
}

// The server ends the session that holds a save's lock while a second save
// waits for it: the first save's remaining statements fail with its session
// instead of running beside the second's, whose list then stands whole.
TEST_P(StressTest, ASaveWhoseLockingSessionEndsNeverMixesWithTheNext) {
  if (GetParam().engine != TestEngine::kPostgreSql) GTEST_SKIP() << "ends a server session";
  constexpr int kRounds = 3;
  constexpr int kInvoices = 40;
  const std::string held =
      "FROM pg_locks l WHERE l.locktype = 'advisory' AND l.granted AND l.database = "
      "(SELECT oid FROM pg_database WHERE datname = current_database())";
  const std::string waited =
      " AND EXISTS (SELECT 1 FROM pg_locks w WHERE w.locktype = 'advisory' AND NOT w.granted "
      "AND w.objid = l.objid AND w.classid = l.classid)";
  const auto query = [&](const std::string& sql) { return database_->Query(sql).row_count(); };
  int ended = 0;
  for (const char* kind : {"SQLSERVER", "ORACLE"}) {
    for (int round = 0; round < kRounds; ++round) {
      std::atomic<bool> first_done{false};
      MethodCall first_call, second_call;
      std::thread first([&] {
        first_call = SaveInvoices(database_->connection_text(), kind, List(1000, kInvoices));
        first_done = true;
      });
      while (!first_done && query("SELECT l.pid " + held) == 0) std::this_thread::yield();
      std::thread second([&] {
        second_call = SaveInvoices(database_->connection_text(), kind, List(2000, kInvoices));
      });
      while (!first_done) {
        if (query("SELECT pg_terminate_backend(l.pid) " + held + waited) > 0) break;
      }
      first.join();
      second.join();
      const std::vector<int> live = LiveInvoices(*database_);
      if (second_call.result == Variant::Boolean(true)) {
        EXPECT_EQ(live, List(2000, kInvoices)) << kind << " round " << round;
      } else {  // the race ended the second's session instead: still one list
        EXPECT_TRUE(live.empty() || live == List(live[0], static_cast<int>(live.size())))
            << kind << " round " << round;
      }
      if (first_call.result == Variant::Boolean(false)) ++ended;
    }
  }
  EXPECT_GT(ended, 0) << "no round ended the first save's session while the second waited";
}

// Each test runs for both kinds itself.
INSTANTIATE_TEST_SUITE_P(Engines, StressTest, testing::EachEngineAndKindOnce(),
                         testing::SettingName);

}  // namespace
}  // namespace tmxcnh
