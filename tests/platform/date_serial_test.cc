#include "platform/date_serial.h"

#include <gtest/gtest.h>

namespace tmxcnh {
namespace {

struct SerialCase {
  CivilTime time;
  double serial;
};

// Serials confirmed by the oracle, e.g. CHANGE 0409 R8 D:2004-03-05T12:00:00 => R8:38051.5.
TEST(DateSerial, CivilTimesAndSerialsCorrespond) {
  const SerialCase cases[] = {
      {{1899, 12, 30, 0, 0, 0}, 0.0},       {{2004, 3, 5, 12, 0, 0}, 38051.5},
      {{1900, 1, 4, 0, 0, 0}, 5.0},         {{100, 1, 1, 0, 0, 0}, -657434.0},
      {{9999, 12, 31, 0, 0, 0}, 2958465.0}, {{1899, 12, 29, 6, 0, 0}, -1.25},
      {{2004, 2, 29, 18, 0, 0}, 38046.75},
  };
  for (const SerialCase& c : cases) {
    EXPECT_DOUBLE_EQ(*SerialFromCivil(c.time), c.serial) << c.serial;
    const CivilTime back = CivilFromSerial(c.serial);
    EXPECT_EQ(back.year, c.time.year);
    EXPECT_EQ(back.month, c.time.month);
    EXPECT_EQ(back.day, c.time.day);
    EXPECT_EQ(back.hour, c.time.hour);
  }
}

TEST(DateSerial, InvalidFieldsHaveNoSerial) {
  EXPECT_FALSE(SerialFromCivil({2004, 2, 30, 0, 0, 0}));
  EXPECT_FALSE(SerialFromCivil({2003, 2, 29, 0, 0, 0}));
  EXPECT_FALSE(SerialFromCivil({99, 12, 31, 0, 0, 0}));
  EXPECT_FALSE(SerialFromCivil({10000, 1, 1, 0, 0, 0}));
  EXPECT_FALSE(SerialFromCivil({2004, 3, 5, 24, 0, 0}));
  EXPECT_TRUE(SerialFromCivil({2000, 2, 29, 0, 0, 0}));
}

// CHANGE 0409 DATE R8:0.99999999 => D:1899-12-31T00:00:00 (rounding carries into the next day).
TEST(DateSerial, RoundsToTheSecondAndCarries) {
  const CivilTime t = CivilFromSerial(0.99999999);
  EXPECT_EQ(t.day, 31);
  EXPECT_EQ(t.hour, 0);
  // CHANGE 0416 DATE R8:-0.25 => D:1899-12-30T06:00:00
  const CivilTime before = CivilFromSerial(-0.25);
  EXPECT_EQ(before.day, 30);
  EXPECT_EQ(before.hour, 6);
}

TEST(DateSerial, RangeIsYear100ToYear9999) {
  EXPECT_TRUE(IsDateSerialInRange(kFirstDateSerial));
  EXPECT_TRUE(IsDateSerialInRange(kLastDateSerial + 0.5));
  EXPECT_FALSE(IsDateSerialInRange(kLastDateSerial + 1));
  EXPECT_FALSE(IsDateSerialInRange(kFirstDateSerial - 1));
}

}  // namespace
}  // namespace tmxcnh
