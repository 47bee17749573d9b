#include "service/server.h"

#include <httplib.h>
#include <signal.h>

#include <chrono>
#include <ctime>
#include <mutex>
#include <nlohmann/json.hpp>
#include <thread>

#include "service/gateway.h"
#include "service/metrics.h"
#include "service/openapi.h"

namespace tmxcnh::service {
namespace {

using nlohmann::json;

std::mutex log_mutex;

std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  gmtime_r(&now, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
  return text;
}

void Send(httplib::Response& response, const Reply& reply) {
  response.status = reply.status;
  response.set_content(reply.body, "application/json");
}

}  // namespace

Server::Server(Config config, std::FILE* log)
    : config_(std::move(config)),
      log_(log),
      gateway_(std::make_unique<Gateway>(config_)),
      metrics_(std::make_unique<Metrics>()),
      http_(std::make_unique<httplib::Server>()) {
  Route();
}

Server::~Server() { Stop(); }

void Server::Log(const std::string& line) {
  std::lock_guard<std::mutex> lock(log_mutex);
  std::fprintf(log_, "%s\n", line.c_str());
  std::fflush(log_);
}

void Server::Route() {
  const int threads = config_.threads;
  http_->new_task_queue = [threads] {
    return new httplib::ThreadPool(static_cast<size_t>(threads));
  };
  http_->set_payload_max_length(config_.limits.body_bytes);
  // An answer goes out in two writes (head, body): without this, the second
  // waits for the client's delayed acknowledgement (40 ms and more).
  http_->set_tcp_nodelay(true);
  http_->set_read_timeout(config_.limits.network_seconds, 0);
  http_->set_write_timeout(config_.limits.network_seconds, 0);
  http_->Post(
      R"(/v1/call/([^/]+))", [this](const httplib::Request& request, httplib::Response& response) {
        const auto start = std::chrono::steady_clock::now();
        CallRecord record;
        Reply reply;
        if (stopping_) {
          record.method = "-";
          record.token = "-";
          record.detail = "stopping";
          reply = Reply{503, json{{"error", "the service is stopping"}}.dump()};
        } else {
          reply = gateway_->Call(request.matches[1].str(),
                                 request.get_header_value("Authorization"), request.body, &record);
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (reply.status == 401) response.set_header("WWW-Authenticate", "Bearer");
        Send(response, reply);
        metrics_->Record(record.method, reply.status, seconds);
        json line = {
            {"time", UtcNow()},        {"method", record.method},
            {"token", record.token},   {"status", reply.status},
            {"result", record.result}, {"ms", static_cast<int64_t>(seconds * 1000000) / 1000.0}};
        if (!record.detail.empty()) line["detail"] = record.detail;
        Log(line.dump(-1, ' ', false, json::error_handler_t::replace));
      });
  http_->Get("/v1/methods", [this](const httplib::Request&, httplib::Response& response) {
    Send(response, gateway_->Methods());
  });
  http_->Get(R"(/v1/methods/([^/]+))",
             [this](const httplib::Request& request, httplib::Response& response) {
               Send(response, gateway_->Method(request.matches[1].str()));
             });
  http_->Get("/v1/openapi.json", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(OpenApiDocument().dump(2), "application/json");
  });
  http_->Get("/healthz", [this](const httplib::Request&, httplib::Response& response) {
    Send(response,
         stopping_ ? Reply{503, R"({"status":"stopping"})"} : Reply{200, R"({"status":"ok"})"});
  });
  http_->Get("/readyz", [this](const httplib::Request&, httplib::Response& response) {
    std::string detail;
    Send(response, gateway_->Ready(&detail));
    if (!detail.empty()) Log(json{{"time", UtcNow()}, {"readyz", detail}}.dump());
  });
  http_->Get("/metrics", [this](const httplib::Request&, httplib::Response& response) {
    response.set_content(metrics_->Text(), "text/plain; version=0.0.4");
  });
  // What the library answers by itself (a route that is not there, a body
  // too big) still answers JSON.
  http_->set_error_handler([](const httplib::Request&, httplib::Response& response) {
    if (!response.body.empty()) return;  // a route's own answer
    const char* message = response.status == 413   ? "the body is larger than the limit"
                          : response.status == 404 ? "no such path; GET /v1/openapi.json"
                                                   : "the request was not understood";
    response.set_content(json{{"error", message}}.dump(), "application/json");
  });
}

bool Server::Start(std::string* error) {
  // The library listens with a backlog of five: a burst of new clients would
  // find their connections reset. Listening again on the same socket with
  // the system's own limit widens it.
  socket_t listening = INVALID_SOCKET;
  http_->set_socket_options([&listening](socket_t socket) {
    httplib::default_socket_options(socket);
    listening = socket;
  });
  if (config_.port == 0) {
    port_ = http_->bind_to_any_port(config_.host);
  } else {
    port_ = http_->bind_to_port(config_.host, config_.port) ? config_.port : -1;
  }
  if (port_ <= 0) {
    *error = "cannot listen on " + config_.host + ":" + std::to_string(config_.port);
    return false;
  }
  ::listen(listening, SOMAXCONN);
  http_->set_socket_options(httplib::default_socket_options);
  listener_ = std::thread([this] { http_->listen_after_bind(); });
  // Until the library counts itself running, a stop would not reach it.
  while (!http_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return true;
}

void Server::Stop() {
  stopping_ = true;
  if (listener_.joinable()) {
    http_->stop();
    listener_.join();  // after the worker threads have answered what they hold
  }
  gateway_->WaitForCalls();
}

int Serve(const Config& config) {
  // The signals are taken by one thread that waits for them, not by a handler.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  Server server(config, stderr);
  std::string error;
  if (!server.Start(&error)) {
    std::fprintf(stderr, "tmxcnh: serve: %s\n", error.c_str());
    return 1;
  }
  std::fprintf(stderr, "tmxcnh: serving on http://%s:%d\n", config.host.c_str(), server.port());
  int signal_number = 0;
  sigwait(&signals, &signal_number);
  std::fprintf(stderr, "tmxcnh: %s: finishing the calls in flight\n",
               signal_number == SIGTERM ? "SIGTERM" : "SIGINT");
  server.Stop();
  return 0;
}

}  // namespace tmxcnh::service
