// The service's answers, apart from HTTP: who calls (the token), what they
// may call, the bounds on what they send, the call itself and its answer.
// The server (service/server.h) only moves these between sockets.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <string_view>

#include "component/method_table.h"
#include "service/config.h"

namespace tmxcnh::service {

struct Reply {
  int status = 200;
  std::string body;  // JSON
};

// What the log line of a call tells: never sent to the caller.
struct CallRecord {
  std::string method;
  std::string token;   // the token's name, "-" when none was accepted
  std::string result;  // the method's result, when it ran
  std::string detail;  // why it was refused, or the technical detail of a failure
};

class Gateway {
 public:
  explicit Gateway(Config config);
  ~Gateway();  // after the calls that still run
  Gateway(const Gateway&) = delete;
  Gateway& operator=(const Gateway&) = delete;

  // POST /v1/call/<method>: authorization is the Authorization header.
  Reply Call(std::string_view method, std::string_view authorization, const std::string& body,
             CallRecord* record);

  // GET /v1/methods and /v1/methods/<name>.
  Reply Methods() const;
  Reply Method(std::string_view name) const;

  // GET /readyz: each database answers a statement; what failed goes to *detail.
  Reply Ready(std::string* detail) const;

  // Returns when no call runs any more (those answered late included).
  void WaitForCalls();

  const Config& config() const { return config_; }

 private:
  const Token* Authenticate(std::string_view authorization) const;
  Reply Run(const PublicMethod& method, const Token& token, std::vector<Variant> arguments,
            CallRecord* record);

  const Config config_;
  std::mutex running_mutex_;
  std::condition_variable running_changed_;
  int running_ = 0;
};

}  // namespace tmxcnh::service
