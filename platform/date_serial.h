// Dates as the automation run time keeps them: a double counting days since
// 1899-12-30, with the time of day as the fraction. Before that day the whole
// part counts backwards while the fraction still counts forwards, so -1.25 is
// 1899-12-29 06:00. Valid dates run from 100-01-01 to 9999-12-31.
#pragma once

#include <optional>

namespace tmxcnh {

struct CivilTime {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

inline constexpr double kFirstDateSerial = -657434.0;  // 100-01-01
inline constexpr double kLastDateSerial = 2958465.0;   // 9999-12-31

bool IsLeapYear(int year);
bool IsValidDay(int year, int month, int day);

// The serial of a date and time; nullopt when a field is out of range or the
// year lies outside 100..9999.
std::optional<double> SerialFromCivil(const CivilTime& time);

// The date and time of a serial, rounded to the nearest second. The serial
// must lie in the valid range (see IsDateSerialInRange).
CivilTime CivilFromSerial(double serial);

// Whether the whole part of a serial names a valid date.
bool IsDateSerialInRange(double serial);

}  // namespace tmxcnh
