#include "db/connection.h"
#include "platform/text.h"

namespace tmxcnh::db {
namespace {

std::string TrimBlanks(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool IsPasswordKey(const std::string& upper_key) {
  return upper_key == "PWD" || upper_key == "PASSWORD";
}

}  // namespace

ConnectionText::ConnectionText(std::string text) : text_(std::move(text)) {
  size_t i = 0;
  while (i < text_.size()) {
    const size_t equals = text_.find('=', i);
    if (equals == std::string::npos) break;
    const std::string key = text::UpperAscii(TrimBlanks(text_.substr(i, equals - i)));
    size_t j = equals + 1;
    while (j < text_.size() && text_[j] == ' ') ++j;
    std::string value;
    const char open = j < text_.size() ? text_[j] : '\0';
    if (open == '{' || open == '"' || open == '\'') {
      // A braced ODBC value ends at the first brace; a quoted ADO value at a
      // quote that is not doubled.
      const char close = open == '{' ? '}' : open;
      for (++j; j < text_.size(); ++j) {
        if (text_[j] != close) {
          value += text_[j];
        } else if (close != '}' && j + 1 < text_.size() && text_[j + 1] == close) {
          value += close;
          ++j;
        } else {
          ++j;
          break;
        }
      }
      const size_t semicolon = text_.find(';', j);
      i = semicolon == std::string::npos ? text_.size() : semicolon + 1;
    } else {
      const size_t semicolon = text_.find(';', j);
      value = TrimBlanks(
          text_.substr(j, (semicolon == std::string::npos ? text_.size() : semicolon) - j));
      i = semicolon == std::string::npos ? text_.size() : semicolon + 1;
    }
    if (!key.empty()) entries_.emplace_back(key, value);
  }
}

std::string ConnectionText::Get(const std::string& key) const {
  const std::string upper = text::UpperAscii(key);
  for (const auto& [name, value] : entries_) {
    if (name == upper) return value;
  }
  return "";
}

bool ConnectionText::Has(const std::string& key) const {
  const std::string upper = text::UpperAscii(key);
  for (const auto& entry : entries_) {
    if (entry.first == upper) return true;
  }
  return false;
}

std::string ConnectionText::Masked() const {
  bool any = false;
  for (const auto& entry : entries_) any = any || IsPasswordKey(entry.first);
  if (!any) return text_;
  std::string masked;
  for (const auto& [key, value] : entries_) {
    masked += key + "=" + (IsPasswordKey(key) ? "****" : value) + ";";
  }
  return masked;
}

}  // namespace tmxcnh::db
