// Comparisons against typed literals, as the component's If statements make
// them, and the relations an ordering satisfies. The conversions they rely on,
// the two-Variant form, addition and concatenation are pinned by the oracle
// transcript.
#include "platform/operators.h"

#include <gtest/gtest.h>

#include "platform/regional_settings.h"
#include "platform/run_time_error.h"
#include "tests/error_number.h"
#include "tests/platform/oracle_literals.h"

namespace tmxcnh {
namespace {

using testing::ErrorNumberOf;

// LT, EQ, GT or NULL as the transcript names them; a run-time error by its number.
template <typename Compare>
Variant Answer(Compare compare) {
  static const char* const kNames[] = {"LT", "EQ", "GT", "NULL"};
  try {
    return Variant::String(kNames[static_cast<int>(compare())]);
  } catch (const RunTimeError& error) {
    return Variant::Long(error.number());
  }
}

// Each row's label: the locale, then "text:" or "number:" and the literal.
// Against a text the value is read as text; against a number, as a number.
// How each locale reads and writes the values is the transcript's; here one
// row of each and what the comparison adds.
TEST(Operators, AgainstALiteralTheValueIsReadAsTheLiteralsType) {
  for (const testing::ValueCase& c : testing::ReadValueTable({
           "0416 text:ORACLE | S:ORACLE => S:EQ | S:oracle => S:GT | S:SQLSERVER => S:GT",
           "0416 text: | E => S:EQ | N => S:NULL | R8:0 => S:GT",
           "0416 text:12,5 | R8:12.5 => S:EQ",
           "0416 text:05/03/2004 | D:2004-03-05 => S:EQ",
           "0416 text:2004/03/06 | S:2004/03/05 => S:LT",
           "0416 text:9 | S:10 => S:LT",  // textual, not numeric
           "0416 text:nao | S:não => S:GT",
           "0416 number:0 | S:0 => S:EQ | E => S:EQ | N => S:NULL | I4:-1 => S:LT",
           "0416 number:12.5 | S:12,5 => S:EQ",
           "0409 number:125 | S:12,5 => S:EQ",
           "0416 number:-1 | BOOL:-1 => S:EQ",
           "0416 number:38051 | D:2004-03-05T12:00:00 => S:GT",
           // A text that is no number is a type mismatch.
           "0416 number:0 | S:abc => I4:13 | S: => I4:13 | S:12,5,6 => I4:13",
       })) {
    ScopedLocale locale(c.label.substr(0, 4) == "0409" ? Locale::kUnitedStates : Locale::kBrazil);
    const size_t colon = c.label.find(':');
    const std::string literal = c.label.substr(colon + 1);
    const Variant answer =
        c.label.substr(5, colon - 5) == "text"
            ? Answer([&] { return CompareWithText(c.value, literal); })
            : Answer([&] { return CompareWithNumber(c.value, std::stod(literal)); });
    EXPECT_EQ(answer, c.answer) << c.label << " " << Describe(c.value);
  }
}

// The relations are read from a comparison by the methods' own bounds and
// equalities; a Null holds none of them.
TEST(Operators, NullIsNeitherEqualNorUnequalAndArraysAreTypeMismatches) {
  const Variant null = Variant::Null();
  EXPECT_FALSE(Equals(null, "") || Differs(null, "") || Equals(null, 0) || Differs(null, 0));
  const Variant list = Variant::Array({Variant::Integer(1)});
  EXPECT_EQ(ErrorNumberOf([&] { Add(list, Variant::Integer(1)); }), kErrTypeMismatch);
  EXPECT_EQ(ErrorNumberOf([&] { Concatenate(list, "x"); }), kErrTypeMismatch);
  EXPECT_EQ(ErrorNumberOf([&] { CompareVariants(list, Variant::Integer(1)); }), kErrTypeMismatch);
}

}  // namespace
}  // namespace tmxcnh
