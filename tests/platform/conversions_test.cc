// The conversions as the component's language writes them. The rules they
// share with the run time's change of type (numbers and dates by locale, the
// Boolean's name, IsNumeric, IsDate) are pinned by the oracle transcript;
// these tests cover what the language adds (Null, Val) and the current year of
// incomplete dates.
#include "platform/conversions.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/format.h"
#include "platform/regional_settings.h"
#include "platform/run_time_error.h"
#include "tests/error_number.h"
#include "tests/platform/oracle_literals.h"

namespace tmxcnh {
namespace {

using testing::ErrorNumberOf;

TEST(Conversions, FailuresCarryTheRunTimesNumbers) {
  const Variant null = Variant::Null();
  EXPECT_EQ(ErrorNumberOf([&] { ToText(null); }), kErrInvalidUseOfNull);
  EXPECT_EQ(ErrorNumberOf([&] { ToDouble(null); }), kErrInvalidUseOfNull);
  EXPECT_EQ(ErrorNumberOf([&] { ToLong(null); }), kErrInvalidUseOfNull);
  EXPECT_EQ(ErrorNumberOf([&] { ToInteger(null); }), kErrInvalidUseOfNull);
  EXPECT_EQ(ErrorNumberOf([&] { ToDateSerial(null); }), kErrInvalidUseOfNull);
  EXPECT_EQ(ErrorNumberOf([] { ToText(Variant::Array({})); }), kErrTypeMismatch);
}

TEST(Conversions, AnIncompleteDateTakesTheCurrentYear) {
  ScopedClock clock([] { return CivilTime{2031, 7, 1, 9, 0, 0}; });
  EXPECT_EQ(Format(Variant("5/3"), "yyyy/mm/dd"), "2031/03/05");
  ScopedLocale us(Locale::kUnitedStates);
  EXPECT_EQ(Format(Variant("5/3"), "yyyy/mm/dd"), "2031/05/03");
}

// Val reads the leading number with a point under either locale.
TEST(Conversions, ValReadsTheLeadingNumberWithAPoint) {
  for (const testing::ValueCase& c : testing::ReadValueTable({
           "0416 | S:12 => R8:12 | S:12,5 => R8:12 | S:12.5 => R8:12.5 | S: 1 2 3 => R8:123",
           "0416 | S:1.2.3 => R8:1.2 | S:abc => R8:0 | S: => R8:0 | S:0 => R8:0 | S:0,5 => R8:0",
           "0416 | S:-5 => R8:-5 | S:- 5 => R8:-5 | S:+7x => R8:7 | S:.5 => R8:0.5",
           "0416 | S:1e3 => R8:1000 | S:1d2 => R8:100 | S:1e => R8:1 | S:12abc => R8:12",
           "0416 | S:&H10 => R8:16 | S:&HFFFF => R8:-1 | S:&O17 => R8:15 | S:--5 => R8:0",
           "0416 | S:5- => R8:5 | S:\\t42 => R8:42 | S:1.234.567 => R8:1.234",
           "0409 | S:12,5 => R8:12 | S:12.5 => R8:12.5",
       })) {
    ScopedLocale locale(c.label == "0409" ? Locale::kUnitedStates : Locale::kBrazil);
    EXPECT_DOUBLE_EQ(Val(c.value.string_value()), c.answer.double_value())
        << c.label << " \"" << c.value.string_value() << '"';
  }
}

TEST(Conversions, EnvironmentNamesSelectTheLocale) {
  Locale locale = Locale::kBrazil;
  EXPECT_TRUE(ParseLocaleName("en-US", &locale));
  EXPECT_EQ(locale, Locale::kUnitedStates);
  EXPECT_TRUE(ParseLocaleName("pt_br", &locale));
  EXPECT_EQ(locale, Locale::kBrazil);
  EXPECT_FALSE(ParseLocaleName("de-DE", &locale));
}

}  // namespace
}  // namespace tmxcnh
