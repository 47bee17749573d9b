// The network service's configuration: where it listens, the databases it
// may reach, the callers' tokens and the bounds on a request.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tmxcnh::service {

// A database as the callers name it: the component's kind and connection.
struct Database {
  std::string kind;        // "SQLSERVER" or "ORACLE"
  std::string connection;  // never shown to a caller
};

// A caller: its token (kept as the hex SHA-256 of the token, never the token
// itself), the internet user it acts as, its database and companies.
struct Token {
  std::string name;
  std::string sha256;
  int32_t internet_user_id = 0;
  std::string database;
  std::vector<int32_t> companies;
  std::vector<std::string> methods;  // empty: every method
};

struct Limits {
  size_t body_bytes = 1 << 20;
  size_t parameters = 64;
  size_t array_length = 10000;
  size_t text_length = 4000;
  int call_seconds = 30;     // a call's answer; the call itself runs to its end
  int network_seconds = 10;  // reading a request, writing an answer
};

struct Config {
  std::string host = "127.0.0.1";
  int port = 8080;
  int threads = 8;
  std::map<std::string, Database> databases;
  std::vector<Token> tokens;
  Limits limits;
};

// Reads a configuration from its JSON text. On a fault returns false and
// says in *error what is wrong and where.
bool ParseConfig(const std::string& json_text, Config* config, std::string* error);

// The hex SHA-256 of a text (how a token is kept and compared).
std::string Sha256Hex(const std::string& text);

}  // namespace tmxcnh::service
