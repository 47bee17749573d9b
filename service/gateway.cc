#include "service/gateway.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <thread>
#include <vector>

#include "component/cnh.h"
#include "component/method_docs.h"
#include "db/drivers.h"
#include "platform/conversions.h"
#include "platform/run_time_error.h"
#include "platform/text.h"
#include "service/filled_parameters.h"
#include "service/json_variant.h"

namespace tmxcnh::service {
namespace {

using nlohmann::json;

constexpr std::string_view kCompany = "invntEmpresa_id";
constexpr std::string_view kAnsweredCompany = "outvntEmpresa_id";
constexpr std::string_view kMessage = "outvntMsg_Ret";
// Where the error trap's technical detail begins in a message.
constexpr std::string_view kDetailMark = " TMXCNH.";

Reply Error(int status, const std::string& message) {
  return Reply{status, json{{"error", message}}.dump()};
}

// The texts and lists of a value within the limits; false names the fault.
bool WithinLimits(const json& value, const Limits& limits, int depth, std::string* fault) {
  if (depth > 5) {  // the body, a typed array, its typed elements
    *fault = "a value nests too deep";
    return false;
  }
  if (value.is_string() && value.get_ref<const std::string&>().size() > limits.text_length) {
    *fault = "a text is longer than " + std::to_string(limits.text_length) + " bytes";
    return false;
  }
  if (value.is_array() && value.size() > limits.array_length) {
    *fault = "a list has more than " + std::to_string(limits.array_length) + " elements";
    return false;
  }
  if (value.is_structured()) {
    for (const json& element : value) {
      if (!WithinLimits(element, limits, depth + 1, fault)) return false;
    }
  }
  return true;
}

// A company as the caller sent it: a whole number, or a text of one
// (the screen's own form); anything else names no company.
bool CompanyOf(const Variant& value, int64_t* company) {
  switch (value.type()) {
    case VariantType::kInteger:
    case VariantType::kLong:
      *company = static_cast<int64_t>(ToDouble(value));
      return true;
    case VariantType::kString: {
      const std::string& digits = value.string_value();
      if (digits.empty() || digits.size() > 10 ||
          digits.find_first_not_of("0123456789") != std::string::npos) {
        return false;
      }
      *company = std::stoll(digits);
      return true;
    }
    default:
      return false;
  }
}

// A company that a method answered; -1 when it is not a number.
int64_t CompanyNumber(const Variant& company) {
  try {
    return static_cast<int64_t>(ToDouble(company));
  } catch (const RunTimeError&) {
    return -1;
  }
}

bool Covers(const Token& token, int64_t company) {
  return std::find(token.companies.begin(), token.companies.end(), company) !=
         token.companies.end();
}

// Compares all of both texts, so the time taken tells nothing of where they differ.
bool SameDigest(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  unsigned char difference = 0;
  for (size_t i = 0; i < a.size(); ++i) difference |= static_cast<unsigned char>(a[i] ^ b[i]);
  return difference == 0;
}

json MethodDescription(const PublicMethod& method) {
  json parameters = json::array();
  for (std::string_view name : method.parameters) {
    const ParameterDoc doc = DescribeParameter(method, name);
    parameters.push_back({{"name", name},
                          {"direction", doc.direction},
                          {"holds", doc.meaning},
                          {"form", doc.form},
                          {"filled_by_service", FilledByService(name)}});
  }
  return {{"name", method.name},
          {"dispid", method.dispid},
          {"summary", MethodSummary(method)},
          {"answers", MethodResults(method)},
          {"parameters", parameters}};
}

}  // namespace

Gateway::Gateway(Config config) : config_(std::move(config)) {}

Gateway::~Gateway() { WaitForCalls(); }

const Token* Gateway::Authenticate(std::string_view authorization) const {
  constexpr std::string_view kScheme = "Bearer ";
  if (authorization.size() <= kScheme.size() ||
      !text::SameNameIgnoringCase(authorization.substr(0, kScheme.size()), kScheme)) {
    return nullptr;
  }
  const std::string digest = Sha256Hex(std::string(authorization.substr(kScheme.size())));
  const Token* found = nullptr;
  for (const Token& token : config_.tokens) {
    if (SameDigest(digest, token.sha256)) found = &token;
  }
  return found;
}

Reply Gateway::Call(std::string_view method_name, std::string_view authorization,
                    const std::string& body, CallRecord* record) {
  record->method = "-";  // until the name is known: a caller's text never names a metric
  record->token = "-";
  const Token* token = Authenticate(authorization);
  if (token == nullptr) {
    record->detail = authorization.empty() ? "no token" : "a token that is not known";
    return Error(401, "a valid token is needed: Authorization: Bearer <token>");
  }
  record->token = token->name;
  const PublicMethod* method = FindPublicMethod(method_name);
  if (method == nullptr) {
    record->detail = "unknown method " + std::string(method_name.substr(0, 64));
    return Error(404, "no method " + std::string(method_name) + "; GET /v1/methods lists them");
  }
  record->method = std::string(method->name);
  if (!token->methods.empty() &&
      std::none_of(token->methods.begin(), token->methods.end(), [&](const std::string& name) {
        return text::SameNameIgnoringCase(name, method->name);
      })) {
    record->detail = "a method outside the token";
    return Error(403, "this token may not call " + std::string(method->name));
  }
  json input;
  try {
    input = body.empty() ? json::object() : json::parse(body);
  } catch (const json::exception&) {
    record->detail = "bad JSON";
    return Error(400, "the body is not JSON");
  }
  if (!input.is_object()) return Error(400, "the body must be a JSON object of parameters");
  if (input.size() > config_.limits.parameters) {
    return Error(400, "more than " + std::to_string(config_.limits.parameters) + " parameters");
  }
  std::string fault;
  if (!WithinLimits(input, config_.limits, 0, &fault)) {
    record->detail = fault;
    return Error(413, fault);
  }
  const Database& database = config_.databases.at(token->database);
  std::vector<Variant> arguments(method->parameters.size());
  bool company_given = false;
  for (const auto& [name, value] : input.items()) {
    const int index = FindParameter(*method, name);
    if (index < 0) {
      return Error(400, std::string(method->name) + " has no parameter " + name);
    }
    if (FilledByService(name)) {
      record->detail = "ignored " + name + " sent by the caller";
      continue;
    }
    Variant& argument = arguments[static_cast<size_t>(index)];
    try {
      argument = JsonToVariant(value);
    } catch (const std::exception& error) {
      return Error(400, name + ": " + error.what());
    }
    if (text::SameNameIgnoringCase(name, kCompany)) {
      int64_t company = 0;
      if (!CompanyOf(argument, &company) || !Covers(*token, company)) {
        record->detail = "a company outside the token";
        return Error(403, "this token does not act for that company (invntEmpresa_id)");
      }
      company_given = true;
    }
  }
  if (FindParameter(*method, kCompany) >= 0 && !company_given) {
    return Error(403, "invntEmpresa_id must name a company of the token");
  }
  const auto fill = [&](std::string_view name, Variant value) {
    if (const int index = FindParameter(*method, name); index >= 0) {
      arguments[static_cast<size_t>(index)] = std::move(value);
    }
  };
  fill(kKindParameter, Variant(database.kind));
  fill(kConnectionParameter, Variant(database.connection));
  fill(kUserParameter, Variant::Long(token->internet_user_id));
  return Run(*method, *token, std::move(arguments), record);
}

Reply Gateway::Run(const PublicMethod& method, const Token& token, std::vector<Variant> arguments,
                   CallRecord* record) {
  // The call runs on its own thread so that its caller's answer can keep its
  // time limit; a call past the limit still runs to its end (a write is never
  // cut in the middle) and only its answer is lost.
  struct Outcome {
    std::vector<Variant> arguments;
    Variant result;
    std::string failure;
    bool done = false;
  };
  auto outcome = std::make_shared<Outcome>();
  outcome->arguments = std::move(arguments);
  std::unique_lock<std::mutex> lock(running_mutex_);
  ++running_;
  std::thread([this, outcome, &method] {
    Variant result;
    std::string failure;
    try {
      CNH object;
      result = method.invoke(object, outcome->arguments);
    } catch (const std::exception& error) {
      failure = error.what();
    } catch (...) {
      failure = "an unknown exception";
    }
    std::lock_guard<std::mutex> finished(running_mutex_);
    outcome->result = std::move(result);
    outcome->failure = std::move(failure);
    outcome->done = true;
    --running_;
    running_changed_.notify_all();
  }).detach();
  const bool done = running_changed_.wait_for(
      lock, std::chrono::seconds(config_.limits.call_seconds), [&] { return outcome->done; });
  if (!done) {
    record->detail = "the answer passed the time limit; the call goes on to its end";
    return Error(504, "the call took longer than " + std::to_string(config_.limits.call_seconds) +
                          " s; it goes on to its end, so look before calling again");
  }
  lock.unlock();
  if (!outcome->failure.empty()) {
    record->detail = outcome->failure;
    return Error(500, "the call failed inside the service");
  }
  record->result = ToText(outcome->result);
  const int answered_company = FindParameter(method, kAnsweredCompany);
  if (answered_company >= 0) {
    const Variant& company = outcome->arguments[static_cast<size_t>(answered_company)];
    if (!company.IsEmpty() && !company.IsNull() && !Covers(token, CompanyNumber(company))) {
      record->detail = "the answer named a company outside the token";
      return Error(403, "this token does not act for that company");
    }
  }
  const int message = FindParameter(method, kMessage);
  if (message >= 0 && outcome->arguments[static_cast<size_t>(message)].IsString()) {
    // The technical detail goes to the service's log, never to a caller.
    Variant& text = outcome->arguments[static_cast<size_t>(message)];
    const std::string full = text.string_value();
    if (const size_t mark = full.find(kDetailMark); mark != std::string::npos) {
      record->detail = full;
      text = Variant(full.substr(0, mark));
    }
  }
  const nlohmann::ordered_json answer =
      AnswerToJson(method, outcome->result, outcome->arguments,
                   [](std::string_view name) { return !FilledByService(name); });
  return Reply{200, answer.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)};
}

void Gateway::WaitForCalls() {
  std::unique_lock<std::mutex> lock(running_mutex_);
  running_changed_.wait(lock, [&] { return running_ == 0; });
}

Reply Gateway::Methods() const {
  json methods = json::array();
  for (const PublicMethod& method : PublicMethods()) methods.push_back(MethodDescription(method));
  return Reply{200, json{{"methods", methods}}.dump()};
}

Reply Gateway::Method(std::string_view name) const {
  const PublicMethod* method = FindPublicMethod(name);
  if (method == nullptr) return Error(404, "no method " + std::string(name));
  return Reply{200, MethodDescription(*method).dump()};
}

Reply Gateway::Ready(std::string* detail) const {
  json databases = json::object();
  bool ready = true;
  for (const auto& [name, database] : config_.databases) {
    try {
      db::Statement probe;
      probe.text = "SELECT 1";
      probe.verbatim = true;
      db::OpenConnection(database.connection)->Execute(probe);
      databases[name] = "ready";
    } catch (const std::exception& error) {
      databases[name] = "unavailable";
      *detail += name + ": " + error.what() + "; ";
      ready = false;
    }
  }
  return Reply{ready ? 200 : 503, json{{"databases", databases}}.dump()};
}

}  // namespace tmxcnh::service
