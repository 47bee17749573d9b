#include "platform/text.h"

#include <gtest/gtest.h>

#include "platform/run_time_error.h"
#include "tests/error_number.h"

namespace tmxcnh::text {
namespace {

struct PieceCase {
  const char* text;
  int32_t start;
  int32_t length;
  const char* mid;
};

TEST(Text, MidTakesCharacters) {
  const PieceCase cases[] = {
      {"não", 1, 2, "nã"},  {"não", 3, -1, "o"}, {"não", 4, 1, ""},
      {"não", 2, 99, "ão"}, {"", 1, 1, ""},      {"abc", 1, 0, ""},
  };
  for (const PieceCase& c : cases) {
    EXPECT_EQ(Mid(c.text, c.start, c.length), c.mid) << c.text << " " << c.start;
  }
}

TEST(Text, LeftAndRightTakeCharactersAndTrimRemovesSpacesOnly) {
  EXPECT_EQ(Left("ação", 2), "aç");
  EXPECT_EQ(Left("ação", 0), "");
  EXPECT_EQ(Right("ação", 2), "ão");
  EXPECT_EQ(Right("ação", 10), "ação");
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(LTrim("  a "), "a ");
  EXPECT_EQ(RTrim("  a "), "  a");
  EXPECT_EQ(Trim("    "), "");
  EXPECT_EQ(Trim("\ta\t"), "\ta\t");
}

TEST(Text, NegativeLengthsAndPositionsBelowOneAreInvalidArguments) {
  using testing::ErrorNumberOf;
  EXPECT_EQ(ErrorNumberOf([] { Left("a", -1); }), kErrInvalidArgument);
  EXPECT_EQ(ErrorNumberOf([] { Right("a", -1); }), kErrInvalidArgument);
  EXPECT_EQ(ErrorNumberOf([] { Mid("a", 0); }), kErrInvalidArgument);
  EXPECT_EQ(ErrorNumberOf([] { InStr(0, "a", "a"); }), kErrInvalidArgument);
}

TEST(Text, LenAndInStrCountCharactersNotBytes) {
  EXPECT_EQ(Len(""), 0);
  EXPECT_EQ(Len("não"), 3);
  EXPECT_EQ(Len("€😀"), 2);
  EXPECT_EQ(Len("a\xff"
                "b"),
            3);  // a stray byte counts as one character
  EXPECT_EQ(InStr("não, sim", ","), 4);
  EXPECT_EQ(InStr(4, "1.2.3", "."), 4);
  EXPECT_EQ(InStr(5, "1.2.3", "."), 0);
  EXPECT_EQ(InStr(9, "abc", "b"), 0);
  EXPECT_EQ(InStr("abc", ""), 1);
}

TEST(Text, CharactersSplitsUtf8) {
  std::vector<char32_t> points;
  for (std::string_view c : Characters("aç€😀")) points.push_back(CodePoint(c));
  EXPECT_EQ(points, (std::vector<char32_t>{U'a', U'ç', U'€', U'😀'}));
}

// Column names: ASCII letters match without regard to case, nothing else does
// (characters one case bit apart that are not letters, accented letters).
TEST(Text, SameNameIgnoresTheCaseOfAsciiLettersOnly) {
  const struct {
    std::string_view a, b;
    bool same;
  } cases[] = {{"docto_transporte_Id", "DOCTO_TRANSPORTE_ID", true},
               {"a@b", "a`b", false},
               {"x[", "x{", false},
               {"Número", "NÚMERO", false},
               {"ab", "abc", false}};
  for (const auto& c : cases) EXPECT_EQ(SameNameIgnoringCase(c.a, c.b), c.same) << c.a;
}

}  // namespace
}  // namespace tmxcnh::text
