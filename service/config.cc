#include "service/config.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cctype>
#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>

namespace tmxcnh::service {
namespace {

using nlohmann::json;

// A configuration fault: what is wrong, with the key's place.
struct Fault : std::runtime_error {
  using std::runtime_error::runtime_error;
};

void Require(bool condition, const std::string& message) {
  if (!condition) throw Fault(message);
}

const json* Member(const json& object, const char* key) {
  const auto found = object.find(key);
  return found == object.end() ? nullptr : &*found;
}

std::string Text(const json& object, const char* key, const std::string& where) {
  const json* value = Member(object, key);
  Require(value && value->is_string() && !value->get<std::string>().empty(),
          where + "." + key + " must be a non-empty text");
  return value->get<std::string>();
}

int64_t Whole(const json& value, const std::string& where, int64_t low, int64_t high) {
  Require(value.is_number_integer(), where + " must be a whole number");
  const int64_t number = value.get<int64_t>();
  Require(number >= low && number <= high,
          where + " must be between " + std::to_string(low) + " and " + std::to_string(high));
  return number;
}

void ReadListen(const std::string& listen, Config* config) {
  const size_t colon = listen.rfind(':');
  Require(colon != std::string::npos && colon > 0, "listen must be HOST:PORT");
  config->host = listen.substr(0, colon);
  const std::string port = listen.substr(colon + 1);
  Require(
      !port.empty() && port.size() <= 5 &&
          std::all_of(port.begin(), port.end(), [](unsigned char c) { return std::isdigit(c); }),
      "listen must be HOST:PORT");
  config->port = std::stoi(port);
  Require(config->port <= 65535, "listen: the port must be at most 65535");
}

void ReadLimits(const json& limits, Limits* out) {
  Require(limits.is_object(), "limits must be an object");
  const std::pair<const char*, size_t*> sizes[] = {{"body_bytes", &out->body_bytes},
                                                   {"parameters", &out->parameters},
                                                   {"array_length", &out->array_length},
                                                   {"text_length", &out->text_length}};
  for (const auto& [key, target] : sizes) {
    if (const json* value = Member(limits, key)) {
      *target = static_cast<size_t>(Whole(*value, std::string("limits.") + key, 1, 1 << 30));
    }
  }
  if (const json* value = Member(limits, "call_seconds")) {
    out->call_seconds = static_cast<int>(Whole(*value, "limits.call_seconds", 1, 3600));
  }
  if (const json* value = Member(limits, "network_seconds")) {
    out->network_seconds = static_cast<int>(Whole(*value, "limits.network_seconds", 1, 3600));
  }
}

Token ReadToken(const json& entry, size_t index, const Config& config) {
  const std::string where = "tokens[" + std::to_string(index) + "]";
  Require(entry.is_object(), where + " must be an object");
  Token token;
  token.name = Text(entry, "name", where);
  token.sha256 = Text(entry, "sha256", where);
  std::transform(token.sha256.begin(), token.sha256.end(), token.sha256.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  Require(token.sha256.size() == 64 &&
              token.sha256.find_first_not_of("0123456789abcdef") == std::string::npos,
          where + ".sha256 must be 64 hexadecimal digits (the SHA-256 of the token)");
  const json* user = Member(entry, "internet_user_id");
  Require(user != nullptr, where + ".internet_user_id is missing");
  token.internet_user_id =
      static_cast<int32_t>(Whole(*user, where + ".internet_user_id", 1, INT32_MAX));
  token.database = Text(entry, "database", where);
  Require(config.databases.count(token.database) == 1,
          where + ".database names no database of the configuration: " + token.database);
  const json* companies = Member(entry, "companies");
  Require(companies && companies->is_array() && !companies->empty(),
          where + ".companies must list at least one company");
  for (const json& company : *companies) {
    token.companies.push_back(
        static_cast<int32_t>(Whole(company, where + ".companies", INT32_MIN, INT32_MAX)));
  }
  if (const json* methods = Member(entry, "methods")) {
    Require(methods->is_array(), where + ".methods must be a list of method names");
    for (const json& method : *methods) {
      Require(method.is_string(), where + ".methods must be a list of method names");
      token.methods.push_back(method.get<std::string>());
    }
  }
  return token;
}

void Read(const json& root, Config* config) {
  Require(root.is_object(), "the configuration must be a JSON object");
  static const std::set<std::string> known = {"listen", "threads", "databases", "tokens", "limits"};
  for (const auto& [key, value] : root.items()) {
    Require(known.count(key) == 1, "unknown key: " + key);
  }
  if (const json* listen = Member(root, "listen")) {
    Require(listen->is_string(), "listen must be a text HOST:PORT");
    ReadListen(listen->get<std::string>(), config);
  }
  if (const json* threads = Member(root, "threads")) {
    config->threads = static_cast<int>(Whole(*threads, "threads", 1, 1024));
  }
  const json* databases = Member(root, "databases");
  Require(databases && databases->is_object() && !databases->empty(),
          "databases must name at least one database");
  for (const auto& [name, entry] : databases->items()) {
    const std::string where = "databases." + name;
    Require(entry.is_object(), where + " must be an object");
    Database database{Text(entry, "kind", where), Text(entry, "connection", where)};
    Require(database.kind == "SQLSERVER" || database.kind == "ORACLE",
            where + ".kind must be SQLSERVER or ORACLE");
    config->databases.emplace(name, database);
  }
  const json* tokens = Member(root, "tokens");
  Require(tokens && tokens->is_array() && !tokens->empty(), "tokens must list at least one token");
  std::set<std::string> names, digests;
  for (size_t i = 0; i < tokens->size(); ++i) {
    Token token = ReadToken((*tokens)[i], i, *config);
    Require(names.insert(token.name).second, "two tokens are named " + token.name);
    Require(digests.insert(token.sha256).second, "two tokens have the same sha256");
    config->tokens.push_back(std::move(token));
  }
  if (const json* limits = Member(root, "limits")) ReadLimits(*limits, &config->limits);
}

}  // namespace

bool ParseConfig(const std::string& json_text, Config* config, std::string* error) {
  try {
    Config read;
    Read(json::parse(json_text), &read);
    *config = std::move(read);
    return true;
  } catch (const json::exception& fault) {
    *error = std::string("not JSON: ") + fault.what();
  } catch (const Fault& fault) {
    *error = fault.what();
  }
  return false;
}

std::string Sha256Hex(const std::string& text) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_Digest(text.data(), text.size(), digest, &length, EVP_sha256(), nullptr);
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex += kDigits[digest[i] >> 4];
    hex += kDigits[digest[i] & 15];
  }
  return hex;
}

}  // namespace tmxcnh::service
