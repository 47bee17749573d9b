#include "db/initdb.h"

#include <cctype>

#include "db/database_scripts.h"
#include "db/drivers.h"
#include "db/sql_script.h"
#include "platform/conversions.h"
#include "platform/run_time_error.h"
#include "platform/text.h"

#ifdef TMXCNH_WITH_SQLITE
#include "db/sqlite_connection.h"
#endif

namespace tmxcnh::db {
namespace {

std::optional<ResultSet> RunVerbatim(Connection& connection, const std::string& sql) {
  Statement statement;
  statement.text = sql;
  statement.verbatim = true;
  return connection.Execute(statement);
}

int32_t CountTables(Connection& connection, const char* query) {
  std::optional<ResultSet> result = RunVerbatim(connection, query);
  if (!result || result->values.empty()) return 0;
  return ToLong(result->at(0, 0));
}

void RunScript(Connection& connection, std::string_view script) {
  for (const std::string& statement : SplitSqlScript(script)) {
    try {
      RunVerbatim(connection, statement);
    } catch (const RunTimeError& error) {
      throw RunTimeError(error.number(), error.description() + "\nno comando: " + statement);
    }
  }
}

bool IsSqlite(const ConnectionText& text) {
  return text::SameNameIgnoringCase(text.Get("Driver"), "SQLite3");
}

void Refuse(const std::string& connection_text) {
  throw RunTimeError(kErrStatementRefused,
                     "O banco de dados já contém tabelas; nada foi alterado: " +
                         ConnectionText(connection_text).Masked());
}

}  // namespace

void InitializeDatabase(const std::string& connection_text, bool with_demo_data) {
  const ConnectionText text(connection_text);
  if (IsSqlite(text)) {
#ifdef TMXCNH_WITH_SQLITE
    if (text.Get("Database").empty()) {
      throw RunTimeError(kErrConnectionFailed,
                         "falta Database=CAMINHO no texto de conexão do SQLite");
    }
    std::unique_ptr<Connection> connection = OpenSqliteForCreate(text.Get("Database"));
    if (CountTables(*connection, "SELECT COUNT(*) FROM sqlite_master") > 0) Refuse(connection_text);
    RunVerbatim(*connection, "PRAGMA journal_mode=WAL");
    RunSqliteScript(*connection, std::string(DatabaseScript(Engine::kSqlite, Script::kSchema)));
    RunSqliteScript(*connection, std::string(DatabaseScript(Engine::kSqlite, Script::kProcedures)));
    if (with_demo_data) {
      RunSqliteScript(*connection, std::string(DatabaseScript(Engine::kSqlite, Script::kDemo)));
    }
    return;
#else
    throw RunTimeError(kErrConnectionFailed, "SQLite não disponível nesta construção");
#endif
  }
  std::unique_ptr<Connection> connection = OpenConnection(connection_text);
  if (connection->engine() != Engine::kPostgreSql) {
    throw RunTimeError(
        kErrConnectionFailed,
        "initdb cria bancos SQLite e PostgreSQL; este servidor não é nenhum dos dois");
  }
  if (CountTables(*connection,
                  "SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = 'public'") >
      0) {
    Refuse(connection_text);
  }
  RunScript(*connection, DatabaseScript(Engine::kPostgreSql, Script::kSchema));
  RunScript(*connection, DatabaseScript(Engine::kPostgreSql, Script::kProcedures));
  if (with_demo_data) RunScript(*connection, DatabaseScript(Engine::kPostgreSql, Script::kDemo));
}

}  // namespace tmxcnh::db
