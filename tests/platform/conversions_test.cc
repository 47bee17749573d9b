// The conversions as the component's language writes them. The rules they
// share with the run time's change of type are pinned by the oracle
// transcript; these tests cover what the language adds (Null, Boolean names,
// Val) and the current year of incomplete dates.
#include "platform/conversions.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/format.h"
#include "platform/regional_settings.h"
#include "platform/run_time_error.h"
#include "tests/error_number.h"

namespace tmxcnh {
namespace {

using testing::ErrorNumberOf;

TEST(Conversions, NullIsAnInvalidUseOfNull) {
  const Variant null = Variant::Null();
  EXPECT_EQ(ErrorNumberOf([&] { ToText(null); }), kErrInvalidUseOfNull);
  EXPECT_EQ(ErrorNumberOf([&] { ToDouble(null); }), kErrInvalidUseOfNull);
  EXPECT_EQ(ErrorNumberOf([&] { ToLong(null); }), kErrInvalidUseOfNull);
  EXPECT_EQ(ErrorNumberOf([&] { ToInteger(null); }), kErrInvalidUseOfNull);
  EXPECT_EQ(ErrorNumberOf([&] { ToDateSerial(null); }), kErrInvalidUseOfNull);
  EXPECT_FALSE(IsNumeric(null));
  EXPECT_FALSE(IsDate(null));
}

TEST(Conversions, FailuresCarryTheRunTimesNumbers) {
  // CHANGE 0416 R8 S:abc => DISP_E_TYPEMISMATCH; CHANGE 0416 I2 S:32767,5 => DISP_E_OVERFLOW
  EXPECT_EQ(ErrorNumberOf([] { ToDouble(Variant("abc")); }), kErrTypeMismatch);
  EXPECT_EQ(ErrorNumberOf([] { ToInteger(Variant("32767,5")); }), kErrOverflow);
  EXPECT_EQ(ErrorNumberOf([] { ToLong(Variant::Array({})); }), kErrTypeMismatch);
  EXPECT_EQ(ErrorNumberOf([] { ToText(Variant::Array({})); }), kErrTypeMismatch);
}

// CAT 0416 BOOL:-1 S:x => S:Verdadeirox; CAT 0409 BOOL:-1 S:x => S:Truex
TEST(Conversions, BooleansReadAsTextByTheirLocalName) {
  EXPECT_EQ(ToText(Variant::Boolean(true)), "Verdadeiro");
  EXPECT_EQ(ToText(Variant::Boolean(false)), "Falso");
  ScopedLocale us(Locale::kUnitedStates);
  EXPECT_EQ(ToText(Variant::Boolean(true)), "True");
}

TEST(Conversions, NumbersFollowTheLocale) {
  // CHANGE 0416 R8 S:12,5 => R8:12.5; CHANGE 0409 R8 S:12,5 => R8:125
  EXPECT_DOUBLE_EQ(ToDouble(Variant("12,5")), 12.5);
  EXPECT_EQ(ToText(Variant::Double(1234.5)), "1234,5");
  ScopedLocale us(Locale::kUnitedStates);
  EXPECT_DOUBLE_EQ(ToDouble(Variant("12,5")), 125);
  EXPECT_EQ(ToText(Variant::Double(1234.5)), "1234.5");
}

TEST(Conversions, AnIncompleteDateTakesTheCurrentYear) {
  ScopedClock clock([] { return CivilTime{2031, 7, 1, 9, 0, 0}; });
  EXPECT_EQ(Format(Variant("5/3"), "yyyy/mm/dd"), "2031/03/05");
  ScopedLocale us(Locale::kUnitedStates);
  EXPECT_EQ(Format(Variant("5/3"), "yyyy/mm/dd"), "2031/05/03");
}

struct ValCase {
  const char* text;
  double value;
};

TEST(Conversions, ValReadsTheLeadingNumberWithAPoint) {
  const ValCase cases[] = {
      {"12", 12},  {"12,5", 12},  {"12.5", 12.5}, {" 1 2 3", 123},      {"1.2.3", 1.2},
      {"abc", 0},  {"", 0},       {"0", 0},       {"0,5", 0},           {"-5", -5},
      {"- 5", -5}, {"+7x", 7},    {".5", 0.5},    {"1e3", 1000},        {"1d2", 100},
      {"1e", 1},   {"12abc", 12}, {"&H10", 16},   {"&HFFFF", -1},       {"&O17", 15},
      {"--5", 0},  {"5-", 5},     {"\t42", 42},   {"1.234.567", 1.234},
  };
  for (const ValCase& c : cases) EXPECT_DOUBLE_EQ(Val(c.text), c.value) << '"' << c.text << '"';
}

TEST(Conversions, ValIgnoresTheLocale) {
  ScopedLocale us(Locale::kUnitedStates);
  EXPECT_DOUBLE_EQ(Val("12,5"), 12);
  EXPECT_DOUBLE_EQ(Val("12.5"), 12.5);
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
