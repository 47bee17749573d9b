// The component's reads against the engine's own floor. Each read method runs
// on SQLite and, with TMXCNH_TEST_PG, PostgreSQL, for both database kinds,
// beside the statements that one call ran, replayed on a single kept-open
// native connection with prepared statements (sqlite3; libpq): the two are
// timed in alternating rounds and their times and ratio are printed. Last,
// the embedded read throughput on one and two threads.
//   scripts/with-postgres build/tmxcnh_read_bench [ORACLE|SQLSERVER]
#include <libpq-fe.h>
#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "component/cnh.h"
#include "component/method_table.h"
#include "db/dialect.h"
#include "db/drivers.h"
#include "db/initdb.h"
#include "db/odbc_connection.h"
#include "db/sqlite_connection.h"
#include "db/sqlite_functions.h"

namespace tmxcnh {
namespace {

using Clock = std::chrono::steady_clock;
using Arguments = std::vector<std::pair<std::string, Variant>>;

double Median(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + static_cast<long>(values.size() / 2),
                   values.end());
  return values[values.size() / 2];
}

// The mean without the lowest and the highest tenth of the values.
double TrimmedMean(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t cut = values.size() / 10;
  double sum = 0;
  for (size_t i = cut; i + cut < values.size(); ++i) sum += values[i];
  return sum / static_cast<double>(values.size() - 2 * cut);
}

// The median time of one call, in microseconds, over about 0.4 s of calls.
double MedianMicroseconds(const std::function<void()>& call) {
  for (int i = 0; i < 20; ++i) call();  // warm
  std::vector<double> times;
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(400);
  while (Clock::now() < end || times.size() < 20) {
    const Clock::time_point start = Clock::now();
    call();
    times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  return Median(std::move(times));
}

// Two calls timed in alternating rounds of about 25 ms each, over three
// seconds, so that a machine that speeds up or slows down during the run weighs
// on both alike (a round is long enough that a server process woken for it
// does not count): the time per call of each, in microseconds, and the ratio
// of the rounds, each the mean of its middle rounds. Where the scheduler moves
// the server between cores, rounds come in two modes: the median then jumps
// from one to the other from run to run, the trimmed mean does not.
struct Comparison {
  double first = 0;
  double second = 0;
  double ratio = 0;
};

Comparison CompareInRounds(const std::function<void()>& first,
                           const std::function<void()>& second) {
  const auto per_call = [](const std::function<void()>& call) {
    const Clock::time_point start = Clock::now();
    const Clock::time_point end = start + std::chrono::milliseconds(25);
    long calls = 0;
    Clock::time_point now = start;
    while (now < end) {
      call();
      ++calls;
      now = Clock::now();
    }
    return std::chrono::duration<double, std::micro>(now - start).count() /
           static_cast<double>(calls);
  };
  for (int i = 0; i < 20; ++i) {  // warm
    first();
    second();
  }
  std::vector<double> firsts, seconds, ratios;
  for (int round = 0; round < 60; ++round) {
    firsts.push_back(per_call(first));
    seconds.push_back(per_call(second));
    ratios.push_back(firsts.back() / seconds.back());
  }
  return {TrimmedMean(firsts), TrimmedMean(seconds), TrimmedMean(ratios)};
}

// Statements on their way to the engine, kept while recording.
struct Recorder {
  std::mutex mutex;
  bool on = false;
  std::vector<db::Statement> statements;
};
Recorder& TheRecorder() {
  static Recorder recorder;
  return recorder;
}

class RecordingConnection : public db::Connection {
 public:
  explicit RecordingConnection(std::unique_ptr<db::Connection> inner) : inner_(std::move(inner)) {}
  db::Engine engine() const override { return inner_->engine(); }
  std::optional<db::ResultSet> Execute(const db::Statement& statement) override {
    {
      Recorder& recorder = TheRecorder();
      std::lock_guard<std::mutex> lock(recorder.mutex);
      if (recorder.on) recorder.statements.push_back(statement);
    }
    return inner_->Execute(statement);
  }
  bool IsUsable() override { return inner_->IsUsable(); }
  void Reset() override { inner_->Reset(); }
  void BeginTransaction() override { inner_->BeginTransaction(); }
  void Commit() override { inner_->Commit(); }
  void Rollback() override { inner_->Rollback(); }

 private:
  std::unique_ptr<db::Connection> inner_;
};

class RecordingDriver : public db::Driver {
 public:
  explicit RecordingDriver(std::shared_ptr<db::Driver> inner) : inner_(std::move(inner)) {}
  std::unique_ptr<db::Connection> Open(const db::ConnectionText& text) override {
    return std::make_unique<RecordingConnection>(inner_->Open(text));
  }

 private:
  std::shared_ptr<db::Driver> inner_;
};

// A call as a caller makes it: the screen's values in the interface's order.
struct Screen {
  const PublicMethod* method;
  std::vector<Variant> values;
};

Screen ScreenOf(const std::string& method, const Arguments& arguments) {
  Screen screen{FindPublicMethod(method), {}};
  screen.values.resize(screen.method->parameters.size());
  for (const auto& [name, value] : arguments) {
    screen.values[static_cast<size_t>(FindParameter(*screen.method, name))] = value;
  }
  return screen;
}

Variant Call(const Screen& screen) {
  std::vector<Variant> values = screen.values;
  CNH object;
  return screen.method->invoke(object, values);
}

Variant Call(const std::string& method, const Arguments& arguments) {
  return Call(ScreenOf(method, arguments));
}

std::vector<db::Statement> StatementsOf(const std::string& method, const Arguments& arguments) {
  Recorder& recorder = TheRecorder();
  {
    std::lock_guard<std::mutex> lock(recorder.mutex);
    recorder.statements.clear();
    recorder.on = true;
  }
  Call(method, arguments);
  std::lock_guard<std::mutex> lock(recorder.mutex);
  recorder.on = false;
  return recorder.statements;
}

// The statements replayed on one SQLite connection, each prepared once.
class SqliteFloor {
 public:
  SqliteFloor(const std::string& path, const std::vector<db::Statement>& statements) {
    sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    db::RegisterSqliteFunctions(db_);
    for (const db::Statement& statement : statements) {
      if (!statement.call) {
        Prepare(db::AdaptInlineSql(statement.text, db::Engine::kSqlite), {}, {});
        continue;
      }
      sqlite3_stmt* lookup = nullptr;
      sqlite3_prepare_v2(db_, "SELECT PARAMETERS, BODY FROM TMX_PROCEDURE WHERE NAME = ?", -1,
                         &lookup, nullptr);
      sqlite3_bind_text(lookup, 1, statement.call->name.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_step(lookup);
      std::vector<std::string> names;
      std::string list = reinterpret_cast<const char*>(sqlite3_column_text(lookup, 0));
      const std::string body = reinterpret_cast<const char*>(sqlite3_column_text(lookup, 1));
      sqlite3_finalize(lookup);
      for (size_t start = 0; start < list.size();) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        std::string name = list.substr(start, comma - start);
        name.erase(0, name.find_first_not_of(' '));
        names.push_back(":" + name.substr(0, name.find(' ')));
        start = comma + 1;
      }
      const char* next = body.c_str();
      while (*next) {
        const char* tail = nullptr;
        sqlite3_stmt* prepared = nullptr;
        sqlite3_prepare_v2(db_, next, -1, &prepared, &tail);
        next = tail;
        if (prepared) Bind(prepared, names, statement.call->arguments);
      }
    }
  }
  ~SqliteFloor() {
    for (sqlite3_stmt* statement : prepared_) sqlite3_finalize(statement);
    sqlite3_close_v2(db_);
  }

  void Run() {
    for (sqlite3_stmt* statement : prepared_) {
      while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
          sink_ += sqlite3_column_type(statement, c) == SQLITE_TEXT
                       ? sqlite3_column_bytes(statement, c)
                       : sqlite3_column_int(statement, c);
        }
      }
      sqlite3_reset(statement);
    }
  }

 private:
  void Prepare(const std::string& sql, const std::vector<std::string>& names,
               const std::vector<db::SqlLiteral>& values) {
    sqlite3_stmt* prepared = nullptr;
    sqlite3_prepare_v2(db_, sql.c_str(), -1, &prepared, nullptr);
    Bind(prepared, names, values);
  }
  void Bind(sqlite3_stmt* prepared, const std::vector<std::string>& names,
            const std::vector<db::SqlLiteral>& values) {
    for (size_t i = 0; i < names.size() && i < values.size(); ++i) {
      const int index = sqlite3_bind_parameter_index(prepared, names[i].c_str());
      if (index == 0) continue;
      const db::SqlLiteral& value = values[i];
      if (value.kind == db::SqlLiteral::Kind::kNull) {
        sqlite3_bind_null(prepared, index);
      } else if (value.kind == db::SqlLiteral::Kind::kText) {
        sqlite3_bind_text(prepared, index, value.value.c_str(), -1, SQLITE_TRANSIENT);
      } else if (value.value.find('.') == std::string::npos) {
        sqlite3_bind_int64(prepared, index, std::atoll(value.value.c_str()));
      } else {
        sqlite3_bind_double(prepared, index, std::atof(value.value.c_str()));
      }
    }
    prepared_.push_back(prepared);
  }

  sqlite3* db_ = nullptr;
  std::vector<sqlite3_stmt*> prepared_;
  long sink_ = 0;
};

// The statements replayed on one libpq connection, each prepared once.
class PostgresFloor {
 public:
  PostgresFloor(const std::string& odbc_text, const std::vector<db::Statement>& statements) {
    const db::ConnectionText text(odbc_text);
    const std::string conninfo = "host=" + text.Get("Server") + " port=" + text.Get("Port") +
                                 " dbname=" + text.Get("Database") + " user=" + text.Get("Uid");
    connection_ = PQconnectdb(conninfo.c_str());
    for (const db::Statement& statement : statements) {
      const std::string sql = statement.call
                                  ? db::PostgresCallText(*statement.call)
                                  : db::AdaptInlineSql(statement.text, db::Engine::kPostgreSql);
      const std::string name = "s" + std::to_string(names_.size());
      PQclear(PQprepare(connection_, name.c_str(), sql.c_str(), 0, nullptr));
      names_.push_back(name);
    }
  }
  ~PostgresFloor() { PQfinish(connection_); }
  bool ok() const { return PQstatus(connection_) == CONNECTION_OK; }

  void Run() {
    for (const std::string& name : names_) {
      PGresult* result = PQexecPrepared(connection_, name.c_str(), 0, nullptr, nullptr, nullptr, 0);
      for (int r = 0; r < PQntuples(result); ++r) {
        for (int c = 0; c < PQnfields(result); ++c) sink_ += PQgetlength(result, r, c);
      }
      PQclear(result);
    }
  }

 private:
  PGconn* connection_ = nullptr;
  std::vector<std::string> names_;
  long sink_ = 0;
};

struct Read {
  const char* label;
  const char* method;
  Arguments arguments;
};

std::vector<Read> Reads(const std::string& kind, const std::string& connection) {
  const Variant k(kind);
  const Variant c(connection);
  return {
      {"gBusca_Data_Dia", "gBusca_Data_Dia", {{"invntBanco_Dados", k}, {"vntConecta_db", c}}},
      {"gBusca_Empresa_Filial",
       "gBusca_Empresa_Filial",
       {{"invntBanco_Dados", k},
        {"vntConecta_db", c},
        {"invntPonto_Operacao_id", Variant::Integer(7)}}},
      {"gBusca_Lista_Docto_Transporte, 50 documents",
       "gBusca_Lista_Docto_Transporte",
       {{"invntBanco_Dados", k},
        {"vntConecta_db", c},
        {"invntEmpresa_id", Variant::Integer(1)},
        {"invntData_ini", "15/01/2025"},
        {"invntData_Fim", "15/01/2025"}}},
      {"gConsulta_Docto_Transporte, 5 invoices",
       "gConsulta_Docto_Transporte",
       {{"invntBanco_Dados", k},
        {"vntConecta_db", c},
        {"invntEmpresa_id", Variant::Integer(1)},
        {"invntDocto_Transporte_id", Variant::Long(5001)}}},
      {"mConsiste_Campos",
       "mConsiste_Campos",
       {{"invntBanco_Dados", k},
        {"vntConecta_db", c},
        {"invntUsuario_internet_id", Variant::Integer(5)},
        {"invntEmpresa_id", Variant::Integer(1)},
        {"invntNum_Docto_Transporte", "99001"},
        {"invntPonto_Operacao_id", Variant::Integer(7)},
        {"invntTab_Tipo_Cobranca_id", Variant::Integer(1)},
        {"invntEnd_Remetente_id", Variant::Integer(202)},
        {"invntEnd_Destinatario_id", Variant::Integer(203)},
        {"invntOrigem_id", Variant::Integer(1)},
        {"invntDestino_id", Variant::Integer(8)},
        {"invntPeso_Total", "12,5"},
        {"invntNum_Volume", "3"},
        {"invntValor_Declarado", "1000"},
        {"invntQtde_Notas", Variant::Integer(1)},
        {"invntData_Emissao", "20/11/2003"},
        {"invntDocto_Transporte_id", Variant::Integer(0)},
        {"invntPonto_Operacao_Destino_id", Variant::Integer(9)},
        {"invnttab_tipo_despacho_id", Variant::Integer(1)},
        {"invntTab_Tipo_Docto_Transp_id", Variant::Integer(1)}}},
  };
}

// Fifty documents issued on one day, the first with five invoices.
void AddBenchData(const std::string& connection) {
  std::unique_ptr<db::Connection> database = db::OpenConnection(connection);
  const auto run = [&](const std::string& sql) {
    db::Statement statement;
    statement.text = sql;
    statement.verbatim = true;
    database->Execute(statement);
  };
  for (int i = 0; i < 50; ++i) {
    run("INSERT INTO DOCTO_TRANSPORTE (DOCTO_TRANSPORTE_ID, EMPRESA_ID, NUM_DOCTO_TRANSPORTE, "
        "PONTO_OPERACAO_ID, TAB_TIPO_COBRANCA_ID, CLIENTE_ID, END_DESTINATARIO_ID, "
        "END_REMETENTE_ID, ORIGEM_ID, DESTINO_ID, PESO_REAL, VAL_DECLARADO, DATA_EMISSAO, "
        "TAB_TIPO_DESPACHO_ID, TAB_SIT_ENTREGA_ID, NUM_VOLUME, TAB_TIPO_DOCTO_TRANSP_ID, "
        "TAB_STATUS_ID) VALUES (" +
        std::to_string(5001 + i) + ", 1, " + std::to_string(60001 + i) +
        ", 7, 1, 101, 203, 202, 1, 8, 12.5, 1000, '2025-01-15 10:00:00', 1, 1, 3, 1, 1)");
  }
  for (int i = 0; i < 5; ++i) {
    run("INSERT INTO NOTA_FISCAL (NOTA_FISCAL_ID, EMPRESA_ID, DOCTO_TRANSPORTE_ID, NOTA_FISCAL, "
        "CONTEUDO, VAL_DECLARADO, NUM_VOLUME, TAB_STATUS_ID) VALUES (" +
        std::to_string(95001 + i) + ", 1, 5001, '" + std::to_string(700 + i) +
        "', 'Caixas', 100.5, 1, 1)");
  }
}

// Only the kind named here, when one is (the program's argument).
const char* only_kind = nullptr;

void CompareWithFloor(const char* engine, const std::string& connection, const std::string& path) {
  for (const char* kind : {"ORACLE", "SQLSERVER"}) {
    if (only_kind && std::string(only_kind) != kind) continue;
    std::printf("\n%s, \"%s\"%*s component   native    ratio\n", engine, kind,
                static_cast<int>(32 - std::string(engine).size() - std::string(kind).size()), "");
    for (const Read& read : Reads(kind, connection)) {
      const Screen screen = ScreenOf(read.method, read.arguments);
      const std::vector<db::Statement> statements = StatementsOf(read.method, read.arguments);
      const auto component = [&] { Call(screen); };
      Comparison times;
      if (!path.empty()) {
        SqliteFloor floor(path, statements);
        times = CompareInRounds(component, [&] { floor.Run(); });
      } else {
        PostgresFloor floor(connection, statements);
        if (!floor.ok()) continue;
        times = CompareInRounds(component, [&] { floor.Run(); });
      }
      std::printf("  %-44s %8.1f us %7.1f us %6.2fx\n", read.label, times.first, times.second,
                  times.ratio);
    }
  }
}

// A write cannot be replayed as it stands (its identifiers are taken), so the
// insert shows its own time only; run last, as it grows the database.
void InsertTimes(const char* engine, const std::string& connection) {
  for (const char* kind : {"ORACLE", "SQLSERVER"}) {
    static int number = 70000;
    const double insert = MedianMicroseconds([&] {
      Call("gInclui_Docto_Transporte",
           {{"invntBanco_Dados", Variant(kind)},
            {"vntConecta_db", Variant(connection)},
            {"invntUsuario_internet_id", Variant::Integer(5)},
            {"invntEmpresa_id", Variant::Integer(1)},
            {"invntNum_Docto_Transporte", Variant(std::to_string(++number))},
            {"invntPonto_Operacao_id", Variant::Integer(7)},
            {"invntTab_Tipo_Cobranca_id", Variant::Integer(1)},
            {"invntEnd_Remetente_id", Variant::Integer(202)},
            {"invntEnd_Destinatario_id", Variant::Integer(203)},
            {"invntOrigem_id", Variant::Integer(1)},
            {"invntDestino_id", Variant::Integer(8)},
            {"invntPeso_Real", "12,5"},
            {"invntVal_Declarado", "1000"},
            {"invntData_Emissao", "20/11/2003"},
            {"invntQtde_Notas", Variant::Integer(1)},
            {"inarrvntNota_fiscal", Variant::Array({"1"})},
            {"inarrvntConteudo", Variant::Array({"Caixas"})},
            {"inarrvntVal_Declarado", Variant::Array({"10,5"})},
            {"inarrvntNum_Volume", Variant::Array({"1"})},
            {"invntPonto_Operacao_Destino_id", Variant::Integer(9)},
            {"invnttab_tipo_despacho_id", Variant::Integer(1)},
            {"invntNum_Volume", "3"},
            {"invntTab_Tipo_Docto_Transp_id", Variant::Integer(1)}});
    });
    std::printf("%s, \"%s\": gInclui_Docto_Transporte with 1 invoice %8.1f us\n", engine, kind,
                insert);
  }
}

// Mixed reads from several threads at once for a while: calls per second.
double Throughput(const std::string& connection, int threads, int milliseconds) {
  std::vector<Screen> screens;
  for (const Read& read : Reads("ORACLE", connection)) {
    screens.push_back(ScreenOf(read.method, read.arguments));
  }
  std::atomic<long> calls{0};
  std::atomic<bool> stop{false};
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([&, t] {
      for (size_t i = static_cast<size_t>(t); !stop.load(std::memory_order_relaxed); ++i) {
        Call(screens[i % screens.size()]);
        calls.fetch_add(1, std::memory_order_relaxed);
      }
    });
  }
  const Clock::time_point start = Clock::now();
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  stop = true;
  for (std::thread& worker : workers) worker.join();
  return static_cast<double>(calls.load()) /
         std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace
}  // namespace tmxcnh

int main(int argc, char** argv) {
  using namespace tmxcnh;
  if (argc > 1) only_kind = argv[1];
  db::RegisterDriver("SQLite3", std::make_shared<RecordingDriver>(db::MakeSqliteDriver()));
  db::RegisterDriver("PostgreSQL Unicode", std::make_shared<RecordingDriver>(db::MakeOdbcDriver()));
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "tmxcnh-bench";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "bench.db").string();
  const std::string sqlite = "Driver=SQLite3;Database=" + path;
  db::InitializeDatabase(sqlite);
  AddBenchData(sqlite);
  CompareWithFloor("SQLite", sqlite, path);
  if (const char* pg = std::getenv("TMXCNH_TEST_PG")) {
    db::InitializeDatabase(pg);
    AddBenchData(pg);
    CompareWithFloor("PostgreSQL", pg, "");
  }
  Throughput(sqlite, 2, 300);  // warm: two pooled connections with their statements prepared
  // One thread and two in alternating rounds, as the reads above.
  std::vector<double> one, two, gain;
  for (int round = 0; round < 7; ++round) {
    one.push_back(Throughput(sqlite, 1, 200));
    two.push_back(Throughput(sqlite, 2, 200));
    gain.push_back(two.back() / one.back());
  }
  std::printf(
      "\nSQLite mixed reads (\"ORACLE\"): %.0f calls/s on one thread, %.0f on two (%.2fx)\n\n",
      Median(one), Median(two), Median(gain));
  InsertTimes("SQLite", sqlite);
  if (const char* pg = std::getenv("TMXCNH_TEST_PG")) InsertTimes("PostgreSQL", pg);
  std::filesystem::remove_all(folder);
  return 0;
}
