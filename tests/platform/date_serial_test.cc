#include "platform/date_serial.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "tests/support/table_file.h"

namespace tmxcnh {
namespace {

TEST(DateSerial, CivilTimesAndSerialsCorrespond) {
  for (const testing::TableRow& row : testing::ReadTableFile("platform/date_serials.txt", 2, 3)) {
    CivilTime time;
    ASSERT_EQ(std::sscanf(row[0].c_str(), "%d-%d-%d %d:%d:%d", &time.year, &time.month, &time.day,
                          &time.hour, &time.minute, &time.second),
              6)
        << row.where;
    if (row[1] == "invalid") {
      EXPECT_FALSE(SerialFromCivil(time)) << row.where;
      continue;
    }
    const double serial = std::stod(row[1]);
    if (row[2] == "both ways") {
      EXPECT_DOUBLE_EQ(SerialFromCivil(time).value_or(-1e9), serial) << row.where;
    }
    const CivilTime back = CivilFromSerial(serial);
    EXPECT_EQ(std::vector<int>({back.year, back.month, back.day, back.hour}),
              std::vector<int>({time.year, time.month, time.day, time.hour}))
        << row.where;
  }
}

TEST(DateSerial, TheRange) {
  EXPECT_TRUE(IsDateSerialInRange(kFirstDateSerial));
  EXPECT_TRUE(IsDateSerialInRange(kLastDateSerial + 0.5));
  EXPECT_FALSE(IsDateSerialInRange(kLastDateSerial + 1));
  EXPECT_FALSE(IsDateSerialInRange(kFirstDateSerial - 1));
}

}  // namespace
}  // namespace tmxcnh
