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
#include "tests/support/table_file.h"

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

TEST(Conversions, ValReadsTheLeadingNumberWithAPoint) {
  for (const testing::ValueCase& c : testing::ReadValueTable("platform/val.txt")) {
    ScopedLocale locale(c.label == "0409" ? Locale::kUnitedStates : Locale::kBrazil);
    EXPECT_DOUBLE_EQ(Val(c.value.string_value()), c.answer.double_value())
        << c.where << ": \"" << c.value.string_value() << '"';
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
