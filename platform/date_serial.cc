#include "platform/date_serial.h"

#include <cmath>
#include <cstdint>

namespace tmxcnh {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int* year, int* month, int* day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp + (mp < 10 ? 3 : -9);
  *year = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
  *month = static_cast<int>(m);
  *day = static_cast<int>(d);
}

const int64_t kEpochOffset = DaysFromCivil(1899, 12, 30);

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

bool IsValidDay(int year, int month, int day) {
  static const int kDays[] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1) return false;
  return day <= kDays[month] || (month == 2 && day == 29 && IsLeapYear(year));
}

std::optional<double> SerialFromCivil(const CivilTime& t) {
  if (t.year < 100 || t.year > 9999 || !IsValidDay(t.year, t.month, t.day)) return std::nullopt;
  if (t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 59) {
    return std::nullopt;
  }
  const double days = static_cast<double>(DaysFromCivil(t.year, t.month, t.day) - kEpochOffset);
  const double fraction = (t.hour * 3600.0 + t.minute * 60.0 + t.second) / 86400.0;
  return days < 0 ? days - fraction : days + fraction;
}

CivilTime CivilFromSerial(double serial) {
  double whole = std::trunc(serial);
  int64_t seconds = std::llround(std::fabs(serial - whole) * 86400.0);
  if (seconds >= 86400) {  // rounding carried into the next day
    seconds -= 86400;
    whole += 1;
  }
  CivilTime t;
  CivilFromDays(static_cast<int64_t>(whole) + kEpochOffset, &t.year, &t.month, &t.day);
  t.hour = static_cast<int>(seconds / 3600);
  t.minute = static_cast<int>(seconds / 60 % 60);
  t.second = static_cast<int>(seconds % 60);
  return t;
}

bool IsDateSerialInRange(double serial) {
  return std::isfinite(serial) && std::ceil(serial) >= kFirstDateSerial &&
         std::floor(serial) <= kLastDateSerial;
}

}  // namespace tmxcnh
