#include "service/metrics.h"

#include <cstdio>

namespace tmxcnh::service {

void Metrics::Record(const std::string& method, int status, double seconds) {
  std::lock_guard<std::mutex> lock(mutex_);
  ++requests_[{method, status}];
  Histogram& histogram = latency_[method];
  for (size_t i = 0; i < kBounds.size(); ++i) {
    if (seconds <= kBounds[i]) ++histogram.buckets[i];
  }
  ++histogram.count;
  histogram.sum += seconds;
}

std::string Metrics::Text() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string text =
      "# HELP tmxcnh_requests_total Calls answered, by method and HTTP status.\n"
      "# TYPE tmxcnh_requests_total counter\n";
  char line[256];
  for (const auto& [key, count] : requests_) {
    std::snprintf(line, sizeof line, "tmxcnh_requests_total{method=\"%s\",status=\"%d\"} %llu\n",
                  key.first.c_str(), key.second, static_cast<unsigned long long>(count));
    text += line;
  }
  text +=
      "# HELP tmxcnh_request_seconds Time to answer a call, by method.\n"
      "# TYPE tmxcnh_request_seconds histogram\n";
  for (const auto& [method, histogram] : latency_) {
    for (size_t i = 0; i < kBounds.size(); ++i) {
      std::snprintf(line, sizeof line,
                    "tmxcnh_request_seconds_bucket{method=\"%s\",le=\"%g\"} %llu\n", method.c_str(),
                    kBounds[i], static_cast<unsigned long long>(histogram.buckets[i]));
      text += line;
    }
    std::snprintf(line, sizeof line,
                  "tmxcnh_request_seconds_bucket{method=\"%s\",le=\"+Inf\"} %llu\n"
                  "tmxcnh_request_seconds_sum{method=\"%s\"} %.6f\n"
                  "tmxcnh_request_seconds_count{method=\"%s\"} %llu\n",
                  method.c_str(), static_cast<unsigned long long>(histogram.count), method.c_str(),
                  histogram.sum, method.c_str(), static_cast<unsigned long long>(histogram.count));
    text += line;
  }
  return text;
}

}  // namespace tmxcnh::service
