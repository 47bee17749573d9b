#include "platform/number_parse.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace tmxcnh {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigitValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Parser {
 public:
  Parser(std::string_view text, const RegionalSettings& settings)
      : text_(text), settings_(settings) {}

  std::optional<ParsedNumber> Parse() {
    if (!ReadLeadingSymbols()) return std::nullopt;
    if (!decimal_seen_ && !currency_seen_ && ReadRadixPrefix()) return ParseRadixDigits();
    if (!ReadDigits()) return std::nullopt;
    if (!ReadTrailingSymbols()) return std::nullopt;
    if (parenthesis_open_) return std::nullopt;
    if (pos_ != text_.size()) return std::nullopt;
    if (number_.digits.empty() && !saw_zero_) return std::nullopt;
    Normalize();
    return number_;
  }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  bool AtCurrency() const {
    return !settings_.currency_symbol.empty() &&
           text_.substr(pos_).starts_with(settings_.currency_symbol);
  }

  // Blanks, one sign, one currency symbol, one opening parenthesis, in any
  // order; a decimal separator here starts the fraction.
  bool ReadLeadingSymbols() {
    bool plus = false;
    bool minus = false;
    while (!AtEnd()) {
      const char c = Peek();
      if (c == settings_.decimal_separator) {
        decimal_seen_ = true;
        ++pos_;
        return true;
      }
      if (IsBlank(c)) {
        ++pos_;
      } else if (c == settings_.thousands_separator) {
        return false;  // not allowed before the first digit
      } else if (c == '+' && !plus) {
        plus = true;
        ++pos_;
      } else if (c == '-' && !minus) {
        minus = true;
        number_.negative = true;
        ++pos_;
      } else if (!currency_seen_ && AtCurrency()) {
        currency_seen_ = true;
        pos_ += settings_.currency_symbol.size();
      } else if (c == '(' && !parenthesis_seen_) {
        parenthesis_seen_ = parenthesis_open_ = true;
        ++pos_;
      } else {
        break;
      }
    }
    leading_minus_ = minus;
    leading_plus_ = plus;
    return true;
  }

  bool ReadRadixPrefix() {
    if (Peek() != '&' || pos_ + 1 >= text_.size()) return false;
    const char kind = text_[pos_ + 1];
    if (kind == 'H' || kind == 'h') {
      radix_ = 16;
    } else if (kind == 'O' || kind == 'o') {
      radix_ = 8;
    } else {
      return false;
    }
    pos_ += 2;
    return true;
  }

  std::optional<ParsedNumber> ParseRadixDigits() {
    number_.hex_or_octal = true;
    bool any = false;
    while (!AtEnd()) {
      const int digit = HexDigitValue(Peek());
      if (digit < 0 || digit >= radix_) break;
      if (number_.radix_value > (UINT64_MAX >> 4)) return std::nullopt;
      number_.radix_value =
          number_.radix_value * static_cast<uint64_t>(radix_) + static_cast<uint64_t>(digit);
      any = true;
      ++pos_;
    }
    if (!any) return std::nullopt;
    while (!AtEnd() && IsBlank(Peek())) ++pos_;
    if (parenthesis_open_ && Peek() == ')') {
      parenthesis_open_ = false;
      ++pos_;
    }
    if (parenthesis_open_ || !AtEnd()) return std::nullopt;
    number_.negative = false;
    return number_;
  }

  // Digits with thousands separators anywhere, one decimal separator (unless
  // one came first), and an exponent.
  bool ReadDigits() {
    while (!AtEnd() && Peek() == '0' && number_.digits.empty()) {
      saw_zero_ = true;
      if (decimal_seen_) --number_.power_of_ten;
      ++pos_;
    }
    bool exponent_seen = false;
    while (!AtEnd()) {
      const char c = Peek();
      if (IsDigit(c)) {
        if (number_.digits.empty() && c == '0') {
          saw_zero_ = true;
          if (decimal_seen_) --number_.power_of_ten;
        } else {
          number_.digits += c;
          if (decimal_seen_) --number_.power_of_ten;
        }
        ++pos_;
      } else if (c == settings_.thousands_separator) {
        ++pos_;
      } else if (c == settings_.decimal_separator && !decimal_seen_ && !exponent_seen) {
        decimal_seen_ = true;
        ++pos_;
      } else if ((c == 'e' || c == 'E') && !exponent_seen && !currency_seen_) {
        exponent_seen = true;
        ++pos_;
        if (!ReadExponent()) return false;
      } else {
        break;
      }
    }
    return true;
  }

  bool ReadExponent() {
    bool negative = false;
    while (!AtEnd() && (Peek() == '+' || Peek() == '-')) {
      negative = Peek() == '-' ? true : negative;
      ++pos_;
    }
    if (AtEnd() || !IsDigit(Peek())) return false;
    int64_t exponent = 0;
    while (!AtEnd() && IsDigit(Peek())) {
      if (exponent < 100000) exponent = exponent * 10 + (Peek() - '0');
      ++pos_;
    }
    number_.power_of_ten += negative ? -exponent : exponent;
    return true;
  }

  // Thousands separators, blanks, one sign (unless one came before), the
  // closing parenthesis and the currency symbol.
  bool ReadTrailingSymbols() {
    while (!AtEnd()) {
      const char c = Peek();
      if (c == settings_.thousands_separator || IsBlank(c)) {
        ++pos_;
      } else if (c == '+' && !leading_plus_ && !trailing_plus_) {
        trailing_plus_ = true;
        ++pos_;
      } else if (c == '-' && !leading_minus_ && !trailing_minus_) {
        trailing_minus_ = true;
        number_.negative = true;
        ++pos_;
      } else if (c == ')' && parenthesis_open_) {
        parenthesis_open_ = false;
        number_.negative = true;
        ++pos_;
      } else if (AtCurrency()) {
        pos_ += settings_.currency_symbol.size();
      } else {
        break;
      }
    }
    return true;
  }

  // Trailing zeros of the digits move into the power of ten.
  void Normalize() {
    while (!number_.digits.empty() && number_.digits.back() == '0') {
      number_.digits.pop_back();
      ++number_.power_of_ten;
    }
    if (number_.digits.empty()) number_.power_of_ten = 0;
  }

  std::string_view text_;
  const RegionalSettings& settings_;
  size_t pos_ = 0;
  ParsedNumber number_;
  int radix_ = 10;
  bool decimal_seen_ = false;
  bool currency_seen_ = false;
  bool parenthesis_seen_ = false;
  bool parenthesis_open_ = false;
  bool leading_minus_ = false;
  bool leading_plus_ = false;
  bool trailing_minus_ = false;
  bool trailing_plus_ = false;
  bool saw_zero_ = false;
};

}  // namespace

std::optional<ParsedNumber> ParseNumberText(std::string_view text,
                                            const RegionalSettings& settings) {
  return Parser(text, settings).Parse();
}

std::optional<double> ParsedToDouble(const ParsedNumber& number) {
  if (number.hex_or_octal) {
    if (number.radix_value > 0x7FFFFFFFu) return std::nullopt;
    return static_cast<double>(number.radix_value);
  }
  if (number.digits.empty()) return number.negative ? -0.0 : 0.0;
  // Up to 15 digits and a power of ten up to 22 are both exact doubles, so one
  // multiplication or division rounds as strtod would (most typed numbers).
  if (number.digits.size() <= 15 && number.power_of_ten >= -22 && number.power_of_ten <= 22) {
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    double mantissa = 0;
    for (const char digit : number.digits) mantissa = mantissa * 10 + (digit - '0');
    const double value = number.power_of_ten >= 0 ? mantissa * kPowers[number.power_of_ten]
                                                  : mantissa / kPowers[-number.power_of_ten];
    return number.negative ? -value : value;
  }
  // strtod rounds the decimal form correctly; it reports overflow as ERANGE.
  const std::string decimal = number.digits + "e" + std::to_string(number.power_of_ten);
  errno = 0;
  double value = std::strtod(decimal.c_str(), nullptr);
  if (errno == ERANGE && std::isinf(value)) return std::nullopt;
  return number.negative ? -value : value;
}

}  // namespace tmxcnh
