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
#include "tests/support/document_screen.h"
#include "tests/support/method_call.h"
#include "tests/support/test_databases.h"

namespace tmxcnh {
namespace {

using testing::Arguments;
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

class StressTest : public testing::DatabaseTest<TestEngine> {};

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
  EXPECT_EQ(database_->Query("SELECT NOTA_FISCAL_ID FROM INFRA_IDS").rows[0][0],
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

TEST_P(StressTest, ConcurrentInvoiceSavesNeverMixTheirLists) {
  constexpr int kSaves = 6;
  for (const char* kind : {"SQLSERVER", "ORACLE"}) {
    std::atomic<int> failures{0};
    InThreads([&](int thread) {
      for (int save = 0; save < kSaves; ++save) {
        std::vector<Variant> numbers;
        for (int i = 1; i <= 3; ++i) {
          numbers.push_back(
              Variant(std::to_string(thread + 1) + std::to_string(save) + std::to_string(i)));
        }
        const MethodCall call = CallMethod(
            "mGrava_Nota_fiscal", {{"invntBanco_Dados", kind},
                                   {"vntConecta_db", database_->connection_text()},
                                   {"invntUsuario_internet_id", "12"},
                                   {"invntEmpresa_id", Variant::Integer(1)},
                                   {"invntDocto_Transporte_id", Variant::Long(1001)},
                                   {"invntQtde_Notas", Variant::Integer(3)},
                                   {"inarrvntNota_fiscal", Variant::Array(numbers)},
                                   {"inarrvntConteudo", Variant::Array({"a", "b", "c"})},
                                   {"inarrvntVal_Declarado", Variant::Array({"1", "2", "3"})},
                                   {"inarrvntNum_Volume", Variant::Array({"1", "1", "1"})}});
        if (call.result != Variant::Boolean(true)) ++failures;
      }
    });
    EXPECT_EQ(failures.load(), 0) << kind;
    const db::ResultSet live = database_->Query(
        "SELECT NOTA_FISCAL FROM NOTA_FISCAL WHERE DOCTO_TRANSPORTE_ID = 1001 AND TAB_STATUS_ID = "
        "1 "
        "ORDER BY NOTA_FISCAL");
    ASSERT_EQ(live.rows.size(), 3u) << kind;
    // One save's list: the same thread and save, invoices 1, 2 and 3.
    const std::string first = live.rows[0][0].string_value();
    const std::string list = first.substr(0, first.size() - 1);
    EXPECT_EQ(live.rows[1][0], Variant(list + "2")) << kind;
    EXPECT_EQ(live.rows[2][0], Variant(list + "3")) << kind;
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, StressTest,
                         ::testing::Values(TestEngine::kSqlite, TestEngine::kPostgreSql),
                         [](const ::testing::TestParamInfo<TestEngine>& info) {
                           return std::string(testing::EngineName(info.param));
                         });

}  // namespace
}  // namespace tmxcnh
