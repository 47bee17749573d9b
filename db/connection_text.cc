#include <cctype>

#include "db/connection.h"
#include "platform/text.h"

namespace tmxcnh::db {
namespace {

std::string TrimBlanks(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
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
    if (j < text_.size() && text_[j] == '{') {
      const size_t close = text_.find('}', j);
      value = text_.substr(j + 1, (close == std::string::npos ? text_.size() : close) - j - 1);
      j = close == std::string::npos ? text_.size() : close + 1;
      const size_t semicolon = text_.find(';', j);
      i = semicolon == std::string::npos ? text_.size() : semicolon + 1;
    } else {
      const size_t semicolon = text_.find(';', j);
      value = TrimBlanks(
          text_.substr(j, (semicolon == std::string::npos ? text_.size() : semicolon) - j));
      i = semicolon == std::string::npos ? text_.size() : semicolon + 1;
    }
    if (!key.empty()) values_.emplace(key, value);
  }
}

std::string ConnectionText::Get(const std::string& key) const {
  const auto it = values_.find(text::UpperAscii(key));
  return it == values_.end() ? "" : it->second;
}

bool ConnectionText::Has(const std::string& key) const {
  return values_.count(text::UpperAscii(key)) > 0;
}

std::string ConnectionText::ForOdbc() const {
  size_t i = 0;
  while (i < text_.size() && text_[i] == ' ') ++i;
  const std::string kProvider = "PROVIDER=MSDASQL;";
  if (text::UpperAscii(text_.substr(i, kProvider.size())) == kProvider)
    return text_.substr(i + kProvider.size());
  return text_;
}

}  // namespace tmxcnh::db
