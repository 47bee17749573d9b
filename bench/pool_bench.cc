// How much the connection pool saves: the time of a recordset opened through
// the pool against a connection opened afresh for every statement, on the
// embedded SQLite and (when TMXCNH_TEST_PG is set) on PostgreSQL through ODBC.
// Run it beside a throw-away server: scripts/with-postgres $PWD/build/tmxcnh_bench
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "db/drivers.h"
#include "db/initdb.h"
#include "db/pool.h"
#include "db/recordset.h"

namespace tmxcnh {
namespace {

// Seconds per call, over enough calls to last about half a second.
double SecondsPerCall(const std::function<void()>& call) {
  using Clock = std::chrono::steady_clock;
  call();  // warm up
  int calls = 0;
  const Clock::time_point start = Clock::now();
  Clock::duration elapsed{};
  do {
    call();
    ++calls;
    elapsed = Clock::now() - start;
  } while (elapsed < std::chrono::milliseconds(500));
  return std::chrono::duration<double>(elapsed).count() / calls;
}

void Compare(const char* engine, const std::string& connection_text) {
  const db::Statement statement = db::ParseStatement("SELECT EMPRESA_ID FROM PONTO_OPERACAO");
  const double fresh =
      SecondsPerCall([&] { db::OpenConnection(connection_text)->Execute(statement); });
  const double pooled = SecondsPerCall([&] {
    Recordset recordset;
    recordset.set_cursor_location(kUseClient);
    recordset.Open(Variant("SELECT EMPRESA_ID FROM PONTO_OPERACAO"), Variant(connection_text));
  });
  std::printf("%-11s fresh connection %8.1f us   pooled recordset %8.1f us   ratio %.1fx\n", engine,
              fresh * 1e6, pooled * 1e6, fresh / pooled);
}

}  // namespace
}  // namespace tmxcnh

int main() {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tmxcnh-bench";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string sqlite = "Driver=SQLite3;Database=" + (folder / "bench.db").string();
  tmxcnh::db::InitializeDatabase(sqlite);
  tmxcnh::Compare("SQLite", sqlite);
  if (const char* pg = std::getenv("TMXCNH_TEST_PG")) {
    tmxcnh::db::InitializeDatabase(pg);  // the throw-away server's database is empty
    tmxcnh::Compare("PostgreSQL", pg);
  }
  std::filesystem::remove_all(folder);
  return 0;
}
