// The network service under load, on loopback: a read method
// (gBusca_Empresa_Filial) called by 1, 8 and 64 concurrent keep-alive clients
// for a bounded number of calls each, on SQLite and, with TMXCNH_TEST_PG,
// PostgreSQL. Prints calls per second and the p50/p99 latency beside the same
// call made in process on one thread.
//   scripts/with-postgres build/tmxcnh_service_bench
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "component/cnh.h"
#include "component/method_table.h"
#include "db/initdb.h"
#include "service/config.h"
#include "service/server.h"

namespace tmxcnh {
namespace {

using Clock = std::chrono::steady_clock;
constexpr char kToken[] = "bench-token";
constexpr int kCallsPerClient = 400;

service::Config BenchConfig(const std::string& connection) {
  service::Config config;
  config.port = 0;
  config.threads = 64;
  config.databases["bench"] = {"ORACLE", connection};
  config.tokens.push_back({"bench", service::Sha256Hex(kToken), 5, "bench", {1}, {}});
  return config;
}

double InProcessCallsPerSecond(const std::string& connection) {
  const PublicMethod& method = *FindPublicMethod("gBusca_Empresa_Filial");
  const auto call = [&] {
    std::vector<Variant> arguments(method.parameters.size());
    arguments[0] = Variant("ORACLE");
    arguments[1] = Variant(connection);
    arguments[2] = Variant::Long(5);
    arguments[3] = Variant::Integer(7);
    CNH object;
    method.invoke(object, arguments);
  };
  for (int i = 0; i < 50; ++i) call();
  const int calls = 4000;
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < calls; ++i) call();
  return calls / std::chrono::duration<double>(Clock::now() - start).count();
}

void Load(const char* engine, const std::string& connection) {
  service::Server server(BenchConfig(connection), std::fopen("/dev/null", "w"));
  std::string error;
  if (!server.Start(&error)) {
    std::fprintf(stderr, "service_bench: %s\n", error.c_str());
    std::exit(1);
  }
  const double in_process = InProcessCallsPerSecond(connection);
  std::printf("\n%s, gBusca_Empresa_Filial (\"ORACLE\"): in process %.0f calls/s on one thread\n",
              engine, in_process);
  std::printf("  clients   calls/s   p50 ms   p99 ms   failed\n");
  for (const int clients : {1, 8, 64}) {
    std::vector<std::vector<double>> latencies(static_cast<size_t>(clients));
    std::vector<int> failed(static_cast<size_t>(clients));
    std::vector<std::thread> threads;
    const Clock::time_point start = Clock::now();
    for (int c = 0; c < clients; ++c) {
      threads.emplace_back([&, c] {
        httplib::Client client("127.0.0.1", server.port());
        client.set_keep_alive(true);
        client.set_tcp_nodelay(true);
        const httplib::Headers headers = {{"Authorization", std::string("Bearer ") + kToken}};
        for (int i = 0; i < kCallsPerClient; ++i) {
          const Clock::time_point sent = Clock::now();
          const httplib::Result result =
              client.Post("/v1/call/gBusca_Empresa_Filial", headers,
                          R"({"invntPonto_Operacao_id": 7})", "application/json");
          if (!result || result->status != 200) ++failed[static_cast<size_t>(c)];
          latencies[static_cast<size_t>(c)].push_back(
              std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
        }
      });
    }
    for (std::thread& thread : threads) thread.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::vector<double> all;
    for (const auto& each : latencies) all.insert(all.end(), each.begin(), each.end());
    std::sort(all.begin(), all.end());
    int failures = 0;
    for (int f : failed) failures += f;
    std::printf("  %7d   %7.0f   %6.2f   %6.2f   %6d\n", clients, all.size() / seconds,
                all[all.size() / 2], all[all.size() * 99 / 100], failures);
  }
}

}  // namespace
}  // namespace tmxcnh

int main() {
  using namespace tmxcnh;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / "tmxcnh-service-bench";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string sqlite = "Driver=SQLite3;Database=" + (folder / "bench.db").string();
  db::InitializeDatabase(sqlite);
  Load("SQLite", sqlite);
  if (const char* pg = std::getenv("TMXCNH_TEST_PG")) {
    db::InitializeDatabase(pg);
    Load("PostgreSQL", pg);
  }
  std::filesystem::remove_all(folder);
  return 0;
}
