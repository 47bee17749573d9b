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
    const size_t value_begin = j;
    size_t value_end = j;
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
      value_end = j;
      const size_t semicolon = text_.find(';', j);
      i = semicolon == std::string::npos ? text_.size() : semicolon + 1;
    } else {
      const size_t semicolon = text_.find(';', j);
      value_end = semicolon == std::string::npos ? text_.size() : semicolon;
      value = TrimBlanks(text_.substr(j, value_end - j));
      i = semicolon == std::string::npos ? text_.size() : semicolon + 1;
    }
    if (!key.empty()) {
      entries_.emplace_back(key, value);
      value_spans_.emplace_back(value_begin, value_end);
    }
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
  std::string masked;
  size_t copied = 0;
  for (size_t k = 0; k < entries_.size(); ++k) {
    if (!IsPasswordKey(entries_[k].first)) continue;
    masked += text_.substr(copied, value_spans_[k].first - copied) + "****";
    copied = value_spans_[k].second;
  }
  return masked + text_.substr(copied);
}

}  // namespace tmxcnh::db
