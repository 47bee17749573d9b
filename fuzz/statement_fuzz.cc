// libFuzzer: the statement reader takes any text without crashing, and what
// it accepts every engine's writer can write.
#include <cstddef>
#include <cstdint>
#include <string>

#include "db/dialect.h"
#include "db/statement.h"
#include "platform/run_time_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tmxcnh;
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    const db::Statement statement = db::ParseStatement(text);
    if (statement.call) {
      (void)db::PostgresCallText(*statement.call);
    } else {
      for (db::Engine engine :
           {db::Engine::kSqlite, db::Engine::kPostgreSql, db::Engine::kOracle}) {
        (void)db::AdaptInlineSql(text, engine);
      }
    }
  } catch (const RunTimeError&) {
    // A refusal is an answer.
  }
  return 0;
}
