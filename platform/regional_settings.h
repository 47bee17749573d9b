// The machine's regional settings: how numbers and dates are written and read.
// They are process-wide, as on the machines the component was written for:
// Brazilian by default, US when TMXCNH_LOCALE=en-US, and selectable by tests.
#pragma once

#include <array>
#include <string>

namespace tmxcnh {

enum class Locale { kBrazil, kUnitedStates };

enum class DateOrder { kDayMonthYear, kMonthDayYear };

struct RegionalSettings {
  Locale locale;
  char decimal_separator;
  char thousands_separator;
  char date_separator;
  char time_separator;
  DateOrder date_order;
  bool short_date_pads_day_month;  // "05/03/2004" rather than "3/5/2004"
  bool twelve_hour_clock;          // "2:30:00 PM" rather than "14:30:00"
  std::string currency_symbol;
  std::string true_name;
  std::string false_name;
  std::string am_designator;
  std::string pm_designator;
  std::array<std::string, 12> month_names;
  std::array<std::string, 12> month_abbreviations;
  std::array<std::string, 7> day_names;
  std::array<std::string, 7> day_abbreviations;
};

// The settings of a locale, whichever is in force.
const RegionalSettings& SettingsOf(Locale locale);

// The settings in force for the whole process.
const RegionalSettings& CurrentSettings();

// Switches the process to other settings (tests, the command line).
void SetLocale(Locale locale);

// Reads "pt-BR" or "en-US" (any case, "_" accepted for "-"); false for anything else.
bool ParseLocaleName(const std::string& name, Locale* locale);

// Restores the previous locale when it goes out of scope.
class ScopedLocale {
 public:
  explicit ScopedLocale(Locale locale);
  ~ScopedLocale();
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;

 private:
  Locale previous_;
};

}  // namespace tmxcnh
