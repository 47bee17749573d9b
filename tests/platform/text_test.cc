#include "platform/text.h"

#include <gtest/gtest.h>

#include "platform/run_time_error.h"
#include "tests/support/table_file.h"

namespace tmxcnh::text {
namespace {

std::string Apply(const testing::TableRow& row) {
  const std::string& function = row[0];
  const bool three = row.fields.size() == 5;  // the function's arguments and the answer
  try {
    if (function == "Mid") {
      return three ? Mid(row.Text(1), row.Number(2), row.Number(3))
                   : Mid(row.Text(1), row.Number(2));
    }
    if (function == "Left") return Left(row.Text(1), row.Number(2));
    if (function == "Right") return Right(row.Text(1), row.Number(2));
    if (function == "Trim") return Trim(row.Text(1));
    if (function == "LTrim") return LTrim(row.Text(1));
    if (function == "RTrim") return RTrim(row.Text(1));
    if (function == "Len") return std::to_string(Len(row.Text(1)));
    if (function == "InStr") {
      return std::to_string(three ? InStr(row.Number(1), row.Text(2), row.Text(3))
                                  : InStr(row.Text(1), row.Text(2)));
    }
    if (function == "SameName")
      return SameNameIgnoringCase(row.Text(1), row.Text(2)) ? "true" : "false";
  } catch (const RunTimeError& error) {
    return "error " + std::to_string(error.number());
  }
  ADD_FAILURE() << row.where << ": no function " << function;
  return "";
}

TEST(Text, FunctionsTakeCharactersNotBytes) {
  for (const testing::TableRow& row : testing::ReadTableFile("platform/text.txt", 3, 5)) {
    EXPECT_EQ(Apply(row), row.Text(row.fields.size() - 1)) << row.where;
  }
  EXPECT_EQ(Len("a\xff"
                "b"),
            3);  // a stray byte counts as one character
}

TEST(Text, CharactersSplitsUtf8) {
  std::vector<char32_t> points;
  for (std::string_view c : Characters("aç€😀")) points.push_back(CodePoint(c));
  EXPECT_EQ(points, (std::vector<char32_t>{U'a', U'ç', U'€', U'😀'}));
}

}  // namespace
}  // namespace tmxcnh::text
