// Comparisons against typed literals, as the component's If statements make
// them. The conversion each case relies on is confirmed by the oracle line
// given with it; the two-Variant form, addition and concatenation are pinned
// by the oracle transcript.
#include "platform/operators.h"

#include <gtest/gtest.h>

#include "platform/regional_settings.h"
#include "platform/run_time_error.h"
#include "tests/error_number.h"

namespace tmxcnh {
namespace {

using testing::ErrorNumberOf;

struct TextCase {
  Locale locale;
  Variant value;
  const char* literal;
  Comparison expected;
  const char* oracle;  // the conversion the comparison relies on
};

TEST(Operators, AgainstATextLiteralTheValueIsReadAsText) {
  const Locale br = Locale::kBrazil;
  const Locale us = Locale::kUnitedStates;
  const TextCase cases[] = {
      {br, "ORACLE", "ORACLE", Comparison::kEqual, ""},
      {br, "oracle", "ORACLE", Comparison::kGreater, ""},  // case counts
      {br, "SQLSERVER", "ORACLE", Comparison::kGreater, ""},
      {br, Variant(), "", Comparison::kEqual, "CHANGE\t0416\tBSTR\tE => S:"},
      {br, Variant::Null(), "", Comparison::kNull, ""},
      {br, Variant::Double(0), "", Comparison::kGreater, "CHANGE\t0416\tBSTR\tR8:0 => S:0"},
      {br, Variant::Integer(5), "5", Comparison::kEqual, "CHANGE\t0416\tBSTR\tI2:5 => S:5"},
      {br, Variant::Double(12.5), "12,5", Comparison::kEqual,
       "CHANGE\t0416\tBSTR\tR8:12.5 => S:12,5"},
      {us, Variant::Double(12.5), "12.5", Comparison::kEqual,
       "CHANGE\t0409\tBSTR\tR8:12.5 => S:12.5"},
      {br, Variant::Date(38051), "05/03/2004", Comparison::kEqual,
       "CHANGE\t0416\tBSTR\tD:2004-03-05 => S:05/03/2004"},
      {us, Variant::Date(38051), "3/5/2004", Comparison::kEqual,
       "CHANGE\t0409\tBSTR\tD:2004-03-05 => S:3/5/2004"},
      {br, "2004/03/05", "2004/03/06", Comparison::kLess, ""},
      {br, "10", "9", Comparison::kLess, ""},  // textual, not numeric
      {br, "não", "nao", Comparison::kGreater, ""},
  };
  for (const TextCase& c : cases) {
    ScopedLocale locale(c.locale);
    EXPECT_EQ(CompareWithText(c.value, c.literal), c.expected)
        << Describe(c.value) << " vs \"" << c.literal << "\" " << c.oracle;
  }
}

struct NumberCase {
  Locale locale;
  Variant value;
  double literal;
  Comparison expected;
  const char* oracle;
};

TEST(Operators, AgainstANumberLiteralTheValueIsReadAsANumber) {
  const Locale br = Locale::kBrazil;
  const Locale us = Locale::kUnitedStates;
  const NumberCase cases[] = {
      {br, "0", 0, Comparison::kEqual, "CHANGE\t0416\tR8\tS:0 => R8:0"},
      {br, "12,5", 12.5, Comparison::kEqual, "CHANGE\t0416\tR8\tS:12,5 => R8:12.5"},
      {us, "12,5", 125, Comparison::kEqual, "CHANGE\t0409\tR8\tS:12,5 => R8:125"},
      {br, "1.234", 1234, Comparison::kEqual, "CHANGE\t0416\tR8\tS:1.234 => R8:1234"},
      {br, " 7 ", 7, Comparison::kEqual, "CHANGE\t0416\tR8\tS: 7  => R8:7"},
      {br, Variant(), 0, Comparison::kEqual, "CHANGE\t0416\tR8\tE => R8:0"},
      {br, Variant::Null(), 0, Comparison::kNull, ""},
      {br, Variant::Boolean(true), -1, Comparison::kEqual, "CHANGE\t0416\tR8\tBOOL:-1 => R8:-1"},
      {br, Variant::Date(38051.5), 38051, Comparison::kGreater,
       "CHANGE\t0409\tR8\tD:2004-03-05T12:00:00 => R8:38051.5"},
      {br, Variant::Integer(3), 3, Comparison::kEqual, ""},
      {br, Variant::Long(-1), 0, Comparison::kLess, ""},
  };
  for (const NumberCase& c : cases) {
    ScopedLocale locale(c.locale);
    EXPECT_EQ(CompareWithNumber(c.value, c.literal), c.expected)
        << Describe(c.value) << " vs " << c.literal << " " << c.oracle;
  }
}

TEST(Operators, ATextThatIsNoNumberAgainstANumberIsATypeMismatch) {
  // CHANGE 0416 R8 S:abc => DISP_E_TYPEMISMATCH; CHANGE 0416 R8 S: => DISP_E_TYPEMISMATCH
  for (const char* text : {"abc", "", "12,5,6"}) {
    EXPECT_EQ(ErrorNumberOf([&] { CompareWithNumber(Variant(text), 0); }), kErrTypeMismatch)
        << text;
  }
}

TEST(Operators, NullIsNeitherEqualNorUnequal) {
  const Variant null = Variant::Null();
  EXPECT_FALSE(Equals(null, ""));
  EXPECT_FALSE(Differs(null, ""));
  EXPECT_FALSE(Equals(null, 0));
  EXPECT_FALSE(Differs(null, 0));
  for (Relation r : {Relation::kEqual, Relation::kNotEqual, Relation::kLess, Relation::kGreater,
                     Relation::kLessOrEqual, Relation::kGreaterOrEqual}) {
    EXPECT_FALSE(Holds(Comparison::kNull, r));
  }
}

struct HoldsCase {
  Comparison comparison;
  Relation relation;
  bool holds;
};

TEST(Operators, RelationsOfAnOrdering) {
  const HoldsCase cases[] = {
      {Comparison::kLess, Relation::kLess, true},
      {Comparison::kLess, Relation::kLessOrEqual, true},
      {Comparison::kLess, Relation::kNotEqual, true},
      {Comparison::kLess, Relation::kGreaterOrEqual, false},
      {Comparison::kEqual, Relation::kLessOrEqual, true},
      {Comparison::kEqual, Relation::kGreaterOrEqual, true},
      {Comparison::kEqual, Relation::kNotEqual, false},
      {Comparison::kGreater, Relation::kGreater, true},
      {Comparison::kGreater, Relation::kEqual, false},
  };
  for (const HoldsCase& c : cases) {
    EXPECT_EQ(Holds(c.comparison, c.relation), c.holds)
        << static_cast<int>(c.comparison) << " " << static_cast<int>(c.relation);
  }
}

TEST(Operators, AdditionAndConcatenationOfArraysAreTypeMismatches) {
  const Variant list = Variant::Array({Variant::Integer(1)});
  EXPECT_EQ(ErrorNumberOf([&] { Add(list, Variant::Integer(1)); }), kErrTypeMismatch);
  EXPECT_EQ(ErrorNumberOf([&] { Concatenate(list, "x"); }), kErrTypeMismatch);
  EXPECT_EQ(ErrorNumberOf([&] { CompareVariants(list, Variant::Integer(1)); }), kErrTypeMismatch);
}

}  // namespace
}  // namespace tmxcnh
