// Reading a date and time from text the way the automation run time does:
// numbers separated by "/", "-", blanks or commas, month and day names of the
// locale, a time with ":" or ".", AM and PM. The day and month order is the
// locale's when it gives a valid date; otherwise the first order that does
// (so 13/05/2004 is the 13th of May in either locale).
#pragma once

#include <optional>
#include <string_view>

#include "platform/regional_settings.h"

namespace tmxcnh {

// The date serial the text stands for, or nullopt. A date without a year
// takes current_year.
std::optional<double> ParseDateText(std::string_view text, const RegionalSettings& settings,
                                    int current_year);

}  // namespace tmxcnh
