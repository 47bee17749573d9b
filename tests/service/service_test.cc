// The HTTP service on a loopback port against real databases, called with a
// real HTTP client: each answer compared with the same call in process, the
// refusals of a hostile caller, the time limit and many clients at once.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>
#include <tuple>

#include "component/method_table.h"
#include "db/drivers.h"
#include "service/filled_parameters.h"
#include "service/json_variant.h"
#include "service/server.h"
#include "tests/support/document_screen.h"
#include "tests/support/method_call.h"
#include "tests/support/test_databases.h"

namespace tmxcnh {
namespace {

using nlohmann::json;
using testing::Arguments;
using testing::TestDatabase;

constexpr char kToken[] = "web-token";    // company 1, internet user 5
constexpr char kAdmin[] = "admin-token";  // company 1, internet user 1 (sees detail in process)
constexpr char kReader[] = "read-token";  // company 1, gBusca_Data_Dia only

service::Config ServiceConfig(const std::string& kind, const std::string& connection) {
  json text = {{"listen", "127.0.0.1:0"},
               {"threads", 8},
               {"databases", {{"main", {{"kind", kind}, {"connection", connection}}}}},
               {"limits", {{"body_bytes", 65536}, {"text_length", 200}, {"call_seconds", 1}}}};
  for (const auto& [name, token, user] :
       {std::tuple{"web", kToken, 5}, {"admin", kAdmin, 1}, {"reader", kReader, 5}}) {
    text["tokens"].push_back({{"name", name},
                              {"sha256", service::Sha256Hex(token)},
                              {"internet_user_id", user},
                              {"database", "main"},
                              {"companies", {1}}});
  }
  text["tokens"][2]["methods"] = {"gBusca_Data_Dia"};
  service::Config config;
  std::string error;
  EXPECT_TRUE(service::ParseConfig(text.dump(), &config, &error)) << error;
  return config;
}

struct Answer {
  int status = 0;
  json body;
};

class ServiceTest : public testing::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped()) return;
    log_ = std::tmpfile();
    server_ = std::make_unique<service::Server>(
        ServiceConfig(GetParam().kind, database_->connection_text()), log_);
    std::string error;
    ASSERT_TRUE(server_->Start(&error)) << error;
    client_ = std::make_unique<httplib::Client>("127.0.0.1", server_->port());
  }
  void TearDown() override {
    server_.reset();
    if (log_) std::fclose(log_);
  }

  Answer Post(const std::string& path, const std::string& body, const std::string& token) {
    httplib::Headers headers;
    if (!token.empty()) headers.emplace("Authorization", "Bearer " + token);
    const httplib::Result result = client_->Post(path, headers, body, "application/json");
    if (!result) return {};
    return {result->status, json::parse(result->body, nullptr, false)};
  }
  Answer Call(const std::string& method, const Arguments& arguments,
              const std::string& token = kToken) {
    json body = json::object();
    for (const auto& [name, value] : arguments) body[name] = VariantToJson(value);
    return Post("/v1/call/" + method, body.dump(), token);
  }
  Answer Get(const std::string& path) {
    const httplib::Result result = client_->Get(path);
    if (!result) return {};
    return {result->status, json::parse(result->body, nullptr, false)};
  }
  std::string Log() {
    std::string text(4096, '\0');
    std::rewind(log_);
    text.resize(std::fread(text.data(), 1, text.size(), log_));
    return text;
  }

  std::FILE* log_ = nullptr;
  std::unique_ptr<service::Server> server_;
  std::unique_ptr<httplib::Client> client_;
};

// What a screen sends: only the parameters that the method has.
Arguments For(const std::string& method, const Arguments& screen) {
  const PublicMethod& entry = *FindPublicMethod(method);
  Arguments taken;
  for (const auto& pair : screen) {
    if (FindParameter(entry, pair.first) >= 0) taken.push_back(pair);
  }
  return taken;
}

// Over HTTP and in process on a twin database, in the same order (so the
// identifiers agree): a date, a company the answer names, arrays out, a
// Boolean with arrays in, a write and a delete. The HTTP bodies also carry a
// kind, a connection and an internet user of their own, which the service
// must not use.
TEST_P(ServiceTest, AnswersAsTheCallInProcess) {
  const auto twin = TestDatabase::Create(database_->engine());
  const std::string kind = GetParam().kind;
  const auto calls = [&](const std::string& connection) {
    const Arguments common = {{"invntBanco_Dados", Variant(kind)},
                              {"vntConecta_db", Variant(connection)},
                              {"invntUsuario_internet_id", Variant::Long(5)},
                              {"invntEmpresa_id", Variant::Integer(1)}};
    std::vector<std::pair<std::string, Arguments>> screens = {
        {"gBusca_Data_Dia", {}},
        {"gBusca_Empresa_Filial", {{"invntPonto_Operacao_id", Variant::Integer(7)}}},
        {"gConsulta_Docto_Transporte", {{"invntDocto_Transporte_id", Variant::Long(1001)}}},
        {"mGrava_Nota_fiscal",
         testing::InvoiceScreen(kind, connection, Variant::Long(1001), {31, 32})},
        {"gInclui_Docto_Transporte", testing::DocumentScreen(kind, connection, "7801", 2, "12,5")},
        {"gExclui_Docto_Transporte", {{"invntDocto_Transporte_id", Variant::Long(1002)}}}};
    for (auto& [method, screen] : screens)
      screen.insert(screen.end(), common.begin(), common.end());
    return screens;
  };
  const auto http_calls = calls("Driver=SQLite3;Database=/nonexistent/smuggled.db");
  const auto process_calls = calls(twin->connection_text());
  for (size_t i = 0; i < http_calls.size(); ++i) {
    const std::string& method = http_calls[i].first;
    SCOPED_TRACE(method);
    Arguments smuggled = For(method, http_calls[i].second);
    for (auto& [name, value] : smuggled) {
      if (name == "invntBanco_Dados")
        value = Variant(kind == std::string("ORACLE") ? "SQLSERVER" : "ORACLE");
      if (name == "invntUsuario_internet_id") value = Variant::Long(1);
    }
    const Answer http = Call(method, smuggled);
    const testing::MethodCall local =
        testing::CallMethod(method, For(method, process_calls[i].second));
    const json expected = json::parse(
        AnswerToJson(*FindPublicMethod(method), local.result, local.in_order,
                     [](std::string_view name) { return !service::FilledByService(name); })
            .dump());
    EXPECT_EQ(http.status, 200);
    EXPECT_EQ(http.body, expected);
  }
}

// A hostile or mistaken caller, one of each check: refused with a status
// and a message, and nothing run (the document and its invoices are still there afterwards).
TEST_P(ServiceTest, RefusesWhatItMustNotRun) {
  const std::string remove = R"({"invntEmpresa_id": 1, "invntDocto_Transporte_id": 1001})";
  const struct {
    const char* what;
    std::string path, body, token;
    int status;
  } cases[] = {
      {"a wrong token", "gExclui_Docto_Transporte", remove, "web-tokem", 401},
      {"another company", "gExclui_Docto_Transporte",
       R"({"invntEmpresa_id": 2, "invntDocto_Transporte_id": 1001})", kToken, 403},
      {"no company", "gExclui_Docto_Transporte", R"({"invntDocto_Transporte_id": 1001})", kToken,
       403},
      {"another company's branch", "gBusca_Empresa_Filial", R"({"invntPonto_Operacao_id": 12})",
       kToken, 403},
      {"a method outside the token", "gExclui_Docto_Transporte", remove, kReader, 403},
      {"bad JSON", "gExclui_Docto_Transporte", "{\"invntEmpresa_id\": 1,", kToken, 400},
      {"not an object", "gExclui_Docto_Transporte", "[1001]", kToken, 400},
      {"an unknown parameter", "gExclui_Docto_Transporte",
       R"({"invntEmpresa_id": 1, "invntDocto_Transporte_id": 1001, "DROP": 1})", kToken, 400},
      {"an unknown method", "gExclui_Docto", remove, kToken, 404},
      {"a text too long", "gExclui_Docto_Transporte",
       R"({"invntEmpresa_id": 1, "invntDocto_Transporte_id": ")" + std::string(201, '1') + "\"}",
       kToken, 413},
      {"a body too large", "gExclui_Docto_Transporte", std::string(70000, ' '), kToken, 413},
  };
  const int32_t documents = database_->Count("DOCTO_TRANSPORTE");
  const int32_t invoices = database_->Count("NOTA_FISCAL");
  for (const auto& refused : cases) {
    SCOPED_TRACE(refused.what);
    const Answer answer = Post("/v1/call/" + refused.path, refused.body, refused.token);
    EXPECT_EQ(answer.status, refused.status);
    EXPECT_TRUE(answer.body.contains("error")) << answer.body;
  }
  EXPECT_EQ(database_->Count("DOCTO_TRANSPORTE"), documents);
  EXPECT_EQ(database_->Count("NOTA_FISCAL"), invoices);
}

// The technical detail of a failure (shown to internet user 1 in process)
// goes to the service's log only.
TEST_P(ServiceTest, KeepsTheDetailOfAFailureInItsLog) {
  database_->Execute("ALTER TABLE NOTA_FISCAL RENAME TO NOTA_FISCAL_MOVED");
  const Answer answer = Call(
      "mConsulta_Nota_Fiscal",
      {{"invntEmpresa_id", Variant::Integer(1)}, {"invntDocto_Transporte_id", Variant::Long(1001)}},
      kAdmin);
  ASSERT_EQ(answer.status, 200);
  const std::string message = answer.body["params"]["outvntMsg_Ret"]["value"];
  EXPECT_FALSE(message.empty());
  EXPECT_EQ(message.find("TMXCNH"), std::string::npos) << message;
  EXPECT_NE(Log().find(message + " TMXCNH."), std::string::npos) << Log();
}

// A caller waits at most the time limit; the call itself is never cut and
// the service stops only after it has ended.
TEST_P(ServiceTest, AnswersWithinItsTimeLimitAndLetsTheCallEnd) {
  if (database_->engine() != testing::TestEngine::kSqlite) {
    GTEST_SKIP() << "the writer is held by an SQLite lock";
  }
  auto holder = db::OpenConnection(database_->connection_text());
  db::Statement statement;
  statement.verbatim = true;
  statement.text = "BEGIN IMMEDIATE";
  holder->Execute(statement);
  Arguments document = testing::DocumentScreen(GetParam().kind, "", "7901", 1, "12,5");
  document.emplace_back("invntEmpresa_id", Variant::Integer(1));
  const Answer late = Call("gInclui_Docto_Transporte", For("gInclui_Docto_Transporte", document));
  EXPECT_EQ(late.status, 504);
  statement.text = "COMMIT";
  holder->Execute(statement);
  server_->Stop();
  EXPECT_EQ(database_->Count("DOCTO_TRANSPORTE WHERE NUM_DOCTO_TRANSPORTE = 7901"), 1);
}

TEST_P(ServiceTest, ServesManyClientsAtOnce) {
  std::vector<std::thread> clients;
  std::vector<Answer> answers(100);
  for (size_t i = 0; i < answers.size(); ++i) {
    clients.emplace_back([&, i] {
      httplib::Client client("127.0.0.1", server_->port());
      const httplib::Result result =
          client.Post("/v1/call/gBusca_Empresa_Filial", {{"Authorization", "Bearer web-token"}},
                      R"({"invntPonto_Operacao_id": 9})", "application/json");
      if (result)
        answers[i] = {result->status, json::parse(result->body, nullptr, false)};
      else
        answers[i].body = httplib::to_string(result.error());
    });
  }
  for (std::thread& client : clients) client.join();
  for (const Answer& answer : answers) {
    ASSERT_EQ(answer.status, 200) << answer.body;
    EXPECT_EQ(answer.body["params"]["outvntEmpresa_id"]["value"], 1);
  }
}

// What a caller or an operator reads without calling a method.
TEST_P(ServiceTest, DescribesItself) {
  Call("gBusca_Data_Dia", {{"invntEmpresa_id", Variant::Integer(1)}});
  EXPECT_EQ(Get("/healthz").status, 200);
  const Answer ready = Get("/readyz");
  EXPECT_EQ(ready.status, 200);
  EXPECT_EQ(ready.body["databases"]["main"], "ready");
  EXPECT_EQ(Get("/v1/methods").body["methods"].size(), PublicMethods().size());
  const Answer method = Get("/v1/methods/gbusca_empresa_filial");
  EXPECT_EQ(method.body["dispid"], 0x60030003);
  EXPECT_EQ(method.body["parameters"][1]["filled_by_service"], true);
  EXPECT_EQ(Get("/v1/methods/nothing").status, 404);
  const json openapi = Get("/v1/openapi.json").body;
  EXPECT_EQ(openapi["paths"].size(), PublicMethods().size() + 5);
  EXPECT_FALSE(openapi["paths"]["/v1/call/gBusca_Empresa_Filial"]["post"]["requestBody"]["content"]
                      ["application/json"]["schema"]["properties"]
                          .contains("vntConecta_db"));
  const httplib::Result metrics = client_->Get("/metrics");
  ASSERT_TRUE(metrics);
  EXPECT_NE(
      metrics->body.find("tmxcnh_requests_total{method=\"gBusca_Data_Dia\",status=\"200\"} 1"),
      std::string::npos)
      << metrics->body;
  EXPECT_EQ(Get("/nowhere").status, 404);
}

// A transport over the call in process: each engine once, each kind once.
INSTANTIATE_TEST_SUITE_P(Settings, ServiceTest, testing::EachEngineAndKindOnce(),
                         testing::SettingName);

// The command as an operator runs it: --check, a bad file, and a SIGTERM
// that ends the process with status 0 after it has served.
TEST(ServeCommand, ChecksItsFileServesAndStopsOnSigterm) {
  const auto database = TestDatabase::Create(testing::TestEngine::kSqlite);
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("tmxcnh-serve-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string good = (folder / "good.json").string();
  const std::string bad = (folder / "bad.json").string();
  std::ofstream(good) << R"({"listen": "127.0.0.1:0", "databases": {"d": {"kind": "ORACLE",
    "connection": ")" << database->connection_text()
                      << R"("}}, "tokens": [{"name": "t", "sha256": ")" << service::Sha256Hex("t")
                      << R"(", "internet_user_id": 5, "database": "d", "companies": [1]}]})";
  std::ofstream(bad) << R"({"databases": {}})";
  const std::string command = std::string(TMXCNH_CLI_PATH) + " serve --config ";
  EXPECT_EQ(std::system((command + good + " --check >/dev/null").c_str()), 0);
  EXPECT_NE(std::system((command + bad + " 2>/dev/null").c_str()), 0);

  // The shell says its process number, which the server then takes over.
  std::FILE* output = popen(("echo $$; exec " + command + good + " 2>&1 >/dev/null").c_str(), "r");
  ASSERT_NE(output, nullptr);
  char line[256] = "";
  ASSERT_NE(std::fgets(line, sizeof line, output), nullptr);
  const pid_t child = std::atoi(line);
  ASSERT_NE(std::fgets(line, sizeof line, output), nullptr);  // "... serving on http://HOST:PORT"
  const std::string serving = line;
  const int port = std::atoi(serving.substr(serving.rfind(':') + 1).c_str());
  httplib::Client client("127.0.0.1", port);
  const httplib::Result health = client.Get("/healthz");
  EXPECT_TRUE(health && health->status == 200) << serving;
  kill(child, SIGTERM);
  std::string rest;
  while (std::fgets(line, sizeof line, output)) rest += line;
  const int status = pclose(output);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_NE(rest.find("finishing the calls in flight"), std::string::npos) << rest;
  std::filesystem::remove_all(folder);
}

TEST(ServiceConfig, SaysWhatIsWrong) {
  const std::string base = R"("databases": {"d": {"kind": "ORACLE", "connection": "DSN=x"}})";
  const std::string token = R"({"name": "t", "sha256": ")" + std::string(64, 'a') +
                            R"(", "internet_user_id": 5, "database": "d", "companies": [1]})";
  const struct {
    std::string text;
    const char* error;
  } cases[] = {
      {"{", "not JSON"},
      {"{" + base + "}", "tokens must list"},
      {R"({"tokens": [)" + token + "]}", "databases must name"},
      {"{" + base + R"(, "tokens": [)" + token + R"(], "port": 1})", "unknown key: port"},
      {"{" + base + R"(, "tokens": [)" + token + R"(], "listen": "localhost"})", "HOST:PORT"},
      {"{" + base + R"(, "tokens": [)" + token + R"(], "listen": "h:65536"})", "at most 65535"},
      {R"({"databases": {"d": {"kind": "DB2", "connection": "x"}}, "tokens": [)" + token + "]}",
       "SQLSERVER or ORACLE"},
      {"{" + base + R"(, "tokens": [{"name": "t", "sha256": "abc"}]})", "64 hexadecimal"},
      {"{" + base + R"(, "tokens": [)" + token + "," + token + "]}", "two tokens are named t"},
      {"{" + base + R"(, "tokens": [)" + token + R"(], "limits": {"call_seconds": 0}})",
       "between 1 and 3600"},
  };
  for (const auto& bad : cases) {
    service::Config config;
    std::string error;
    EXPECT_FALSE(service::ParseConfig(bad.text, &config, &error)) << bad.text;
    EXPECT_NE(error.find(bad.error), std::string::npos) << error;
  }
  service::Config config;
  std::string error;
  ASSERT_TRUE(service::ParseConfig("{" + base + R"(, "tokens": [)" + token + "]}", &config, &error))
      << error;
  EXPECT_EQ(config.port, 8080);
  EXPECT_EQ(service::Sha256Hex("abc"),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

}  // namespace
}  // namespace tmxcnh
