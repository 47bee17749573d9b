#include "tests/support/table_file.h"

#include <gtest/gtest.h>

#include <charconv>
#include <fstream>

#include "tests/platform/oracle_literals.h"

namespace tmxcnh::testing {

std::string Unescape(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    const size_t star = text.find('*', i), close = text.find('}', i);
    if (c == '{' && star < close && close != std::string_view::npos) {
      const std::string unit = Unescape(text.substr(i + 1, star - i - 1));
      for (int n = std::stoi(std::string(text.substr(star + 1))); n > 0; --n) out += unit;
      i = close;
    } else if (c == 'x' && i + 2 < text.size()) {
      out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else if (c != 'e') {
      const size_t k = std::string_view("tnr0s").find(c);
      out += k == std::string_view::npos ? c : std::string_view("\t\n\r\0 ", 5)[k];
    }
  }
  return out;
}

std::string Filled(std::string text,
                   const std::vector<std::pair<std::string, std::string>>& values) {
  for (const auto& [name, value] : values) {
    const std::string mark = "{" + name + "}";
    for (size_t at; (at = text.find(mark)) != std::string::npos;)
      text.replace(at, mark.size(), value);
  }
  return text;
}

std::string TableRow::Text(size_t i) const { return Unescape(fields.at(i)); }

Variant TableRow::Value(size_t i) const {
  const std::optional<Variant> value = ParseLiteral(fields.at(i));
  if (!value) ADD_FAILURE() << where << ": not a literal: " << fields.at(i);
  return value.value_or(Variant());
}

std::string TestFilePath(const std::string& name) {
  return std::string(TMXCNH_SOURCE_DIR) + "/tests/" + name;
}

std::optional<int> WholeNumber(std::string_view text) {
  int number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return number;
}

int TableRow::Number(size_t i) const {
  const std::optional<int> number = WholeNumber(fields.at(i));
  if (!number) ADD_FAILURE() << where << ": not a number: " << fields.at(i);
  return number.value_or(0);
}

std::vector<TableRow> ReadTableFile(const std::string& name, size_t minimum, size_t maximum,
                                    std::string_view separator) {
  std::ifstream file(TestFilePath(name));
  if (!file.is_open()) ADD_FAILURE() << "cannot read tests/" << name;
  std::vector<TableRow> rows;
  std::string line;
  for (int number = 1; std::getline(file, line); ++number) {
    if (line.find_first_not_of(' ') == std::string::npos || line[0] == '#') continue;
    TableRow row{name + ":" + std::to_string(number), Split(line, separator)};
    if (row.fields.size() < minimum || (maximum != 0 && row.fields.size() > maximum)) {
      ADD_FAILURE() << row.where << ": " << row.fields.size() << " fields: " << line;
      continue;
    }
    rows.push_back(std::move(row));
  }
  if (rows.empty()) ADD_FAILURE() << "no rows in tests/" << name;
  return rows;
}

std::vector<ValueCase> ReadValueTable(const std::string& name) {
  std::vector<ValueCase> cases;
  for (const TableRow& row : ReadTableFile(name, 2)) {
    for (size_t i = 1; i < row.fields.size(); ++i) {
      const TableRow sides{row.where, Split(row[i], " => ")};
      if (sides.fields.size() == 2) {
        cases.push_back({row[0], sides.Value(0), sides.Value(1), row.where});
      } else {
        ADD_FAILURE() << row.where << ": not a case: " << row[i];
      }
    }
  }
  return cases;
}

}  // namespace tmxcnh::testing
