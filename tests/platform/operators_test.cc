// Comparisons against typed literals, as the component's If statements make
// them, and the relations an ordering satisfies. The conversions they rely on,
// the two-Variant form, addition and concatenation are pinned by the oracle
// transcript.
#include "platform/operators.h"

#include <gtest/gtest.h>

#include "platform/regional_settings.h"
#include "platform/run_time_error.h"
#include "tests/error_number.h"
#include "tests/support/table_file.h"

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

TEST(Operators, AgainstALiteralTheValueIsReadAsTheLiteralsType) {
  for (const testing::ValueCase& c : testing::ReadValueTable("platform/comparisons.txt")) {
    ScopedLocale locale(c.label.substr(0, 4) == "0409" ? Locale::kUnitedStates : Locale::kBrazil);
    const size_t colon = c.label.find(':');
    const std::string literal = c.label.substr(colon + 1);
    const Variant answer =
        c.label.substr(5, colon - 5) == "text"
            ? Answer([&] { return CompareWithText(c.value, literal); })
            : Answer([&] { return CompareWithNumber(c.value, std::stod(literal)); });
    EXPECT_EQ(answer, c.answer) << c.where << ": " << Describe(c.value);
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
