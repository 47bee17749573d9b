#include "db/sql_script.h"

#include <cctype>

namespace tmxcnh::db {
namespace {

bool IsBlankOnly(const std::string& s) {
  for (char c : s) {
    if (!std::isspace(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// The $tag$ that opens a dollar-quoted block at script[i], or "".
std::string_view DollarTag(std::string_view script, size_t i) {
  if (script[i] != '$') return {};
  size_t j = i + 1;
  while (j < script.size() &&
         (std::isalnum(static_cast<unsigned char>(script[j])) || script[j] == '_')) {
    ++j;
  }
  if (j < script.size() && script[j] == '$') return script.substr(i, j - i + 1);
  return {};
}

}  // namespace

std::vector<std::string> SplitSqlScript(std::string_view script) {
  std::vector<std::string> statements;
  std::string current;
  size_t i = 0;
  while (i < script.size()) {
    const char c = script[i];
    if (c == '-' && i + 1 < script.size() && script[i + 1] == '-') {
      while (i < script.size() && script[i] != '\n') ++i;
      continue;
    }
    if (c == '/' && i + 1 < script.size() && script[i + 1] == '*') {
      const size_t end = script.find("*/", i + 2);
      i = end == std::string_view::npos ? script.size() : end + 2;
      continue;
    }
    if (c == '\'' || c == '"') {
      size_t end = i + 1;
      for (;;) {
        end = script.find(c, end);
        if (end == std::string_view::npos || end + 1 >= script.size() || script[end + 1] != c)
          break;
        end += 2;  // a doubled quote stays inside
      }
      end = end == std::string_view::npos ? script.size() : end + 1;
      current.append(script.substr(i, end - i));
      i = end;
      continue;
    }
    if (const std::string_view tag = DollarTag(script, i); !tag.empty()) {
      const size_t close = script.find(tag, i + tag.size());
      const size_t end = close == std::string_view::npos ? script.size() : close + tag.size();
      current.append(script.substr(i, end - i));
      i = end;
      continue;
    }
    if (c == ';') {
      if (!IsBlankOnly(current)) statements.push_back(current);
      current.clear();
      ++i;
      continue;
    }
    current += c;
    ++i;
  }
  if (!IsBlankOnly(current)) statements.push_back(current);
  return statements;
}

}  // namespace tmxcnh::db
