#include "platform/date_serial.h"

#include <gtest/gtest.h>

#include <vector>

namespace tmxcnh {
namespace {

// The oracle transcript pins 2004-03-05 12:00 (38051.5) and serial 5; here
// the ends of the range, the days before the epoch and the second's rounding.
TEST(DateSerial, CivilTimesAndSerialsCorrespond) {
  const struct {
    CivilTime time;
    double serial;
    bool both_ways;  // false: the serial rounds to the time
  } cases[] = {
      {{1899, 12, 30, 0, 0, 0}, 0.0, true},       {{100, 1, 1, 0, 0, 0}, -657434.0, true},
      {{9999, 12, 31, 0, 0, 0}, 2958465.0, true}, {{1899, 12, 29, 6, 0, 0}, -1.25, true},
      {{2004, 2, 29, 18, 0, 0}, 38046.75, true},  {{1899, 12, 31, 0, 0, 0}, 0.99999999, false},
      {{1899, 12, 30, 6, 0, 0}, -0.25, false},  // the time counts forward from the day
  };
  for (const auto& c : cases) {
    if (c.both_ways) {
      EXPECT_DOUBLE_EQ(*SerialFromCivil(c.time), c.serial) << c.serial;
    }
    const CivilTime back = CivilFromSerial(c.serial);
    EXPECT_EQ(std::vector<int>({back.year, back.month, back.day, back.hour}),
              std::vector<int>({c.time.year, c.time.month, c.time.day, c.time.hour}))
        << c.serial;
  }
}

TEST(DateSerial, InvalidFieldsAndTheRange) {
  for (const CivilTime& invalid : {CivilTime{2004, 2, 30, 0, 0, 0}, CivilTime{2003, 2, 29, 0, 0, 0},
                                   CivilTime{99, 12, 31, 0, 0, 0}, CivilTime{10000, 1, 1, 0, 0, 0},
                                   CivilTime{2004, 3, 5, 24, 0, 0}}) {
    EXPECT_FALSE(SerialFromCivil(invalid)) << invalid.year << "-" << invalid.month;
  }
  EXPECT_TRUE(SerialFromCivil({2000, 2, 29, 0, 0, 0}));
  EXPECT_TRUE(IsDateSerialInRange(kFirstDateSerial));
  EXPECT_TRUE(IsDateSerialInRange(kLastDateSerial + 0.5));
  EXPECT_FALSE(IsDateSerialInRange(kLastDateSerial + 1));
  EXPECT_FALSE(IsDateSerialInRange(kFirstDateSerial - 1));
}

}  // namespace
}  // namespace tmxcnh
