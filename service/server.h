// The component as an HTTP/JSON service: the routes, one log line per call,
// the metrics, and a stop that lets the calls in flight finish.
#pragma once

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "service/config.h"

namespace httplib {
class Server;
}

namespace tmxcnh::service {

class Gateway;
class Metrics;

class Server {
 public:
  // log: where the log lines go (one JSON object a line).
  Server(Config config, std::FILE* log);
  ~Server();  // stops
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Binds the configured address (port 0: a free port) and serves on a
  // thread of its own. False, with the reason in *error, when it cannot bind.
  bool Start(std::string* error);
  int port() const { return port_; }

  // Refuses new calls, stops listening, and returns when the calls in
  // flight have answered and ended.
  void Stop();

 private:
  void Route();
  void Log(const std::string& line);

  Config config_;
  std::FILE* log_;
  std::unique_ptr<Gateway> gateway_;
  std::unique_ptr<Metrics> metrics_;
  std::unique_ptr<httplib::Server> http_;
  std::thread listener_;
  std::atomic<bool> stopping_{false};
  int port_ = 0;
};

// `tmxcnh serve`: runs until SIGTERM or SIGINT; returns the exit status.
int Serve(const Config& config);

}  // namespace tmxcnh::service
