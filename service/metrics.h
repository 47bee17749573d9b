// The service's counters and latency histograms, in the text form that
// Prometheus scrapes (GET /metrics).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace tmxcnh::service {

class Metrics {
 public:
  // One request: its method ("-" for none), HTTP status and duration.
  void Record(const std::string& method, int status, double seconds);

  std::string Text() const;

 private:
  static constexpr std::array<double, 10> kBounds = {0.0005, 0.001, 0.0025, 0.005, 0.01,
                                                     0.025,  0.05,  0.1,    0.5,   2.5};
  struct Histogram {
    std::array<uint64_t, kBounds.size()> buckets{};  // each counts those up to its bound
    uint64_t count = 0;
    double sum = 0;
  };

  mutable std::mutex mutex_;
  std::map<std::pair<std::string, int>, uint64_t> requests_;
  std::map<std::string, Histogram> latency_;
};

}  // namespace tmxcnh::service
