// Value tables kept as text beside their tests: one row a line, fields between
// " | ", a line starting with "#" a comment, blank lines skipped. A text field
// may carry escapes: \s a blank (where one would be lost at the edge of a
// field or a line), \e nothing (an empty text), \t \n \r \0, \xFF a byte,
// \{ab*3} "ab" three times, \\ a backslash.
// Variant fields are the oracle's literals (tests/platform/oracle_literals.h),
// whose texts take the same escapes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/variant.h"

namespace tmxcnh::testing {

struct TableRow {
  std::string where;  // file:line, for the failure's message
  std::vector<std::string> fields;

  const std::string& operator[](size_t i) const { return fields.at(i); }
  std::string Text(size_t i) const;
  // A literal that does not read fails the test and gives Empty.
  Variant Value(size_t i) const;
  int Number(size_t i) const;
};

// The rows of a file under tests/, each with `minimum` to `maximum` fields (0:
// no limit). A file that cannot be opened, holds no row, or a row outside the
// limits fails the test; the row is left out.
std::vector<TableRow> ReadTableFile(const std::string& name, size_t minimum, size_t maximum = 0,
                                    std::string_view separator = " | ");

std::string Unescape(std::string_view text);

// The path of a file under tests/.
std::string TestFilePath(const std::string& name);

// The whole number a text spells, with nothing before or after it.
std::optional<int> WholeNumber(std::string_view text);

// The text with each {name} replaced by its value: what a test makes for itself
// (a unique table, a folder) in a row's text.
std::string Filled(std::string text,
                   const std::vector<std::pair<std::string, std::string>>& values);

// A value table: each row "label | value => answer | value => answer ...".
struct ValueCase {
  std::string label;
  Variant value;
  Variant answer;
  std::string where;
};
std::vector<ValueCase> ReadValueTable(const std::string& name);

}  // namespace tmxcnh::testing
