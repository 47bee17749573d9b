#include "platform/date_parse.h"

#include <array>
#include <cstdint>

#include "platform/date_serial.h"
#include "platform/text.h"

namespace tmxcnh {
namespace {

constexpr int kMaxFields = 6;

// What is known of each number of the text.
enum FieldFlag : unsigned {
  kTimeSeparator = 1,  // followed by ":" or "."
  kDateSeparator = 2,  // followed by "/" or "-", or a month name
  kMonthName = 4,
  kAm = 8,
  kPm = 16,
};

struct Fields {
  int count = 0;
  std::array<uint32_t, kMaxFields> values{};
  std::array<unsigned, kMaxFields> flags{};
  unsigned all_flags = 0;

  bool HasMeridiem(int i) const { return (flags[i] & (kAm | kPm)) != 0; }
  bool AnyMeridiem() const { return (all_flags & (kAm | kPm)) != 0; }
};

char32_t FoldCase(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;  // Latin-1 capitals
  return c;
}

// Length in bytes of the prefix of text that matches word, ignoring case; 0 if none.
// Only as much of the text as the word can cover is read (a character takes
// at most four bytes), so reading a long text stays linear.
size_t MatchWord(std::string_view text, std::string_view word) {
  const std::vector<std::string_view> want = text::Characters(word);
  const std::vector<std::string_view> have = text::Characters(text.substr(0, 4 * want.size()));
  if (want.empty() || have.size() < want.size()) return 0;
  size_t bytes = 0;
  for (size_t i = 0; i < want.size(); ++i) {
    if (FoldCase(text::CodePoint(want[i])) != FoldCase(text::CodePoint(have[i]))) return 0;
    bytes += have[i].size();
  }
  return bytes;
}

class Tokenizer {
 public:
  Tokenizer(std::string_view text, const RegionalSettings& settings)
      : text_(text), settings_(settings) {}

  // Splits the text into numbers and their flags; false when it holds
  // anything a date cannot.
  bool Run(Fields* fields) {
    int date_separators = 0;
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      const bool last = pos_ + 1 == text_.size();
      if (c >= '0' && c <= '9') {
        if (fields->count == kMaxFields) return false;
        fields->values[fields->count++] = ReadNumber();
        continue;
      }
      if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
          static_cast<unsigned char>(c) >= 0x80) {
        if (!ReadWord(fields)) return false;
        continue;
      }
      if (c == ':' || c == '.') {
        if (fields->count == 0 || last) return false;
        fields->flags[fields->count - 1] |= kTimeSeparator;
      } else if (c == '-' || c == '/') {
        if (++date_separators > 2 || fields->count == 0 || last) return false;
        fields->flags[fields->count - 1] |= kDateSeparator;
      } else if (c == ',') {
        if (last) return false;
      } else if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\v' && c != '\f') {
        return false;
      }
      ++pos_;
    }
    for (int i = 0; i < fields->count; ++i) fields->all_flags |= fields->flags[i];
    return true;
  }

 private:
  uint32_t ReadNumber() {
    uint64_t value = 0;
    while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
      value = std::min<uint64_t>(value * 10 + static_cast<uint64_t>(text_[pos_] - '0'), UINT32_MAX);
      ++pos_;
    }
    return static_cast<uint32_t>(value);
  }

  // A month name becomes a number field; day names are skipped; AM and PM
  // mark the number before them.
  bool ReadWord(Fields* fields) {
    const std::string_view rest = text_.substr(pos_);
    for (const auto* names : {&settings_.month_names, &settings_.month_abbreviations}) {
      for (size_t month = 0; month < names->size(); ++month) {
        if (const size_t length = MatchWord(rest, (*names)[month])) {
          if (fields->count == kMaxFields) return false;
          fields->flags[fields->count] |= kMonthName | kDateSeparator;
          fields->values[fields->count++] = static_cast<uint32_t>(month + 1);
          pos_ += length;
          return true;
        }
      }
    }
    for (const auto* names : {&settings_.day_names, &settings_.day_abbreviations}) {
      for (const std::string& name : *names) {
        if (const size_t length = MatchWord(rest, name)) {
          pos_ += length;
          return true;
        }
      }
    }
    for (const unsigned meridiem : {kAm, kPm}) {
      const std::string& name = meridiem == kAm ? settings_.am_designator : settings_.pm_designator;
      if (const size_t length = MatchWord(rest, name)) {
        if (fields->count == 0 || meridiem_seen_) return false;
        fields->flags[fields->count - 1] |= meridiem;
        meridiem_seen_ = true;
        pos_ += length;
        return true;
      }
    }
    return false;
  }

  std::string_view text_;
  const RegionalSettings& settings_;
  size_t pos_ = 0;
  bool meridiem_seen_ = false;
};

// Which numbers are the time and which the date. Numbers joined by a time
// separator are time fields; the rest are date fields.
bool SplitTime(Fields* fields, int* first_date_field, CivilTime* time) {
  Fields& f = *fields;
  unsigned time_mask = 0;
  for (int i = 0; i < 5; ++i) time_mask |= (f.flags[i] & kTimeSeparator) << i;
  *first_date_field = 0;
  switch (time_mask) {
    case 0x1:  // hh:mm, then up to three date fields
      if (f.count > 3 && (f.HasMeridiem(2) || f.HasMeridiem(3) || f.HasMeridiem(4))) return false;
      if (f.count != 2 && f.count != 4 && f.count != 5) return false;
      time->hour = static_cast<int>(f.values[0]);
      time->minute = static_cast<int>(f.values[1]);
      f.count -= 2;
      *first_date_field = 2;
      return true;
    case 0x3:  // hh:mm:ss, then up to three date fields
      if (f.count > 4 && (f.HasMeridiem(3) || f.HasMeridiem(4) || f.HasMeridiem(5))) return false;
      if (f.count != 3 && f.count != 5 && f.count != 6) return false;
      time->hour = static_cast<int>(f.values[0]);
      time->minute = static_cast<int>(f.values[1]);
      time->second = static_cast<int>(f.values[2]);
      f.count -= 3;
      *first_date_field = 3;
      return true;
    case 0x4:  // two date fields, then hh:mm
      if (f.count != 4 || f.HasMeridiem(0) || f.HasMeridiem(1)) return false;
      time->hour = static_cast<int>(f.values[2]);
      time->minute = static_cast<int>(f.values[3]);
      f.count -= 2;
      return true;
    case 0x0:  // no time separator: a bare hour with AM/PM, or dates only
      if (f.count == 1 && f.AnyMeridiem()) {
        time->hour = static_cast<int>(f.values[0]);
        f.count = 0;
        return true;
      }
      if (f.count > 4 || (f.count < 3 && f.AnyMeridiem())) return false;
      if (f.count == 3) {
        if (f.HasMeridiem(0)) {
          time->hour = static_cast<int>(f.values[0]);
          f.count = 2;
          *first_date_field = 1;
          return true;
        }
        if (f.HasMeridiem(2)) {
          time->hour = static_cast<int>(f.values[2]);
          f.count = 2;
          return true;
        }
        if (f.AnyMeridiem()) return false;
      } else if (f.count == 4) {
        f.count = 3;
        if (f.HasMeridiem(0)) {
          time->hour = static_cast<int>(f.values[0]);
          *first_date_field = 1;
          return true;
        }
        if (f.HasMeridiem(3)) {
          time->hour = static_cast<int>(f.values[3]);
          return true;
        }
        return false;
      }
      [[fallthrough]];
    case 0x8:  // three date fields, then hh:mm
      if ((f.count == 2 && f.AnyMeridiem()) ||
          (f.count == 5 && (f.HasMeridiem(0) || f.HasMeridiem(1) || f.HasMeridiem(2))) ||
          f.count == 4 || f.count == 6) {
        return false;
      }
      time->hour = static_cast<int>(f.values[3]);
      time->minute = static_cast<int>(f.values[4]);
      if (f.count == 5) f.count -= 2;
      return true;
    case 0xC:  // two date fields, then hh:mm:ss
      if (f.count != 5 || f.HasMeridiem(0) || f.HasMeridiem(1)) return false;
      time->hour = static_cast<int>(f.values[2]);
      time->minute = static_cast<int>(f.values[3]);
      time->second = static_cast<int>(f.values[4]);
      f.count -= 3;
      return true;
    case 0x18:  // three date fields, then hh:mm:ss
      if (f.HasMeridiem(0) || f.HasMeridiem(1) || f.HasMeridiem(2)) return false;
      time->hour = static_cast<int>(f.values[3]);
      time->minute = static_cast<int>(f.values[4]);
      time->second = static_cast<int>(f.values[5]);
      f.count -= 3;
      return true;
    default:
      return false;
  }
}

// Orders in which up to three numbers can make a date.
enum Order : unsigned {
  kMdy = 1,
  kYmd = 2,
  kYdm = 4,
  kDmy = 8,
  kMyd = 16,  // only for a month and a year without a day
};

bool ValidMonthDay(uint32_t day, uint32_t month, uint32_t year) {
  return day <= 31 && month <= 12 &&
         IsValidDay(static_cast<int>(year % 400), static_cast<int>(month), static_cast<int>(day));
}

// Tries the locale's order first, then the orders compatible with it, then any.
bool MakeDate(const Fields& f, int first, DateOrder locale_order, int current_year,
              CivilTime* out) {
  uint32_t v1 = 30, v2 = 12, v3 = 1899;
  if (f.count > 0) {
    v1 = f.values[first];
    v2 = f.values[first + 1];
    v3 = f.count == 2 ? static_cast<uint32_t>(current_year) : f.values[first + 2];
    unsigned orders;
    if (f.flags[first] & kMonthName) {
      orders = kMdy;
    } else if (f.flags[first + 1] & kMonthName) {
      orders = kDmy | (f.count > 2 ? unsigned{kYmd} : 0u);
    } else if (f.count > 2 && (f.flags[first + 2] & kMonthName)) {
      orders = kYdm;
    } else {
      orders = kMdy | kDmy | (f.count > 2 ? unsigned{kYmd | kYdm} : 0u);
    }
    const bool day_first = locale_order == DateOrder::kDayMonthYear;
    bool found = false;
    bool month_year_retry = f.count == 2;
    for (;;) {
      for (int attempt = 0; orders && !found; ++attempt) {
        unsigned trying = orders;
        if (attempt == 0) {
          trying &= day_first ? kDmy : kMdy;
        } else if (attempt == 1) {
          trying &= day_first ? ~(kMdy | kYdm | kMyd) : ~(kDmy | kYdm);
        }
        if (trying & kMdy) {
          if (ValidMonthDay(v2, v1, v3)) {
            std::swap(v1, v2);
            found = true;
            break;
          }
          orders &= ~kMdy;
        }
        if (trying & kYmd) {
          if (ValidMonthDay(v3, v2, v1)) {
            std::swap(v1, v3);
            found = true;
            break;
          }
          orders &= ~kYmd;
        }
        if (trying & kYdm) {
          if (ValidMonthDay(v2, v3, v1)) {
            std::swap(v1, v2);
            std::swap(v2, v3);
            found = true;
            break;
          }
          orders &= ~kYdm;
        }
        if (trying & kDmy) {
          if (ValidMonthDay(v1, v2, v3)) {
            found = true;
            break;
          }
          orders &= ~kDmy;
        }
        if (trying & kMyd) {
          if (ValidMonthDay(v3, v1, v2)) {
            std::swap(v1, v3);
            std::swap(v2, v3);
            found = true;
            break;
          }
          orders &= ~kMyd;
        }
      }
      if (found) break;
      if (!month_year_retry) return false;
      // Neither day/month nor month/day: try month/year and year/month, day 1.
      month_year_retry = false;
      v3 = 1;
      orders = kYmd | kMyd;
    }
  }
  out->day = static_cast<int>(v1);
  out->month = static_cast<int>(v2);
  // Two-digit years as Windows reads them by default: 00-29 are this
  // century's, 30-99 the last one's.
  if (v3 < 30) {
    out->year = 2000 + static_cast<int>(v3);
  } else if (v3 < 100) {
    out->year = 1900 + static_cast<int>(v3);
  } else {
    out->year = static_cast<int>(std::min<uint32_t>(v3, 100000));
  }
  return true;
}

}  // namespace

std::optional<double> ParseDateText(std::string_view text, const RegionalSettings& settings,
                                    int current_year) {
  Fields fields;
  if (!Tokenizer(text, settings).Run(&fields)) return std::nullopt;
  if (fields.count == 0 || (fields.count == 1 && !fields.AnyMeridiem())) return std::nullopt;

  CivilTime time;
  time.hour = time.minute = time.second = 0;
  int first_date_field = 0;
  if (!SplitTime(&fields, &first_date_field, &time)) return std::nullopt;
  CivilTime date;
  if (!MakeDate(fields, first_date_field, settings.date_order, current_year, &date)) {
    return std::nullopt;
  }
  if (time.hour > 23 || time.minute > 59 || time.second > 59) return std::nullopt;
  if (time.hour < 12 && (fields.all_flags & kPm)) time.hour += 12;
  if (time.hour == 12 && (fields.all_flags & kAm)) time.hour = 0;
  date.hour = time.hour;
  date.minute = time.minute;
  date.second = time.second;
  return SerialFromCivil(date);
}

}  // namespace tmxcnh
