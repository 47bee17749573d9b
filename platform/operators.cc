#include "platform/operators.h"

#include <cmath>
#include <limits>
#include <vector>

#include "platform/conversions.h"
#include "platform/date_serial.h"
#include "platform/run_time_error.h"
#include "platform/text.h"

namespace tmxcnh {
namespace {

// The comparison a three-way order (as string_view::compare answers) stands for.
Comparison OrderOf(int order) {
  return order < 0 ? Comparison::kLess : order > 0 ? Comparison::kGreater : Comparison::kEqual;
}

Comparison Order(double a, double b) {
  if (a < b) return Comparison::kLess;
  if (a > b) return Comparison::kGreater;
  return Comparison::kEqual;
}

template <typename T>
Comparison OrderSequences(const std::vector<T>& a, const std::vector<T>& b) {
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? Comparison::kLess : Comparison::kGreater;
  }
  return Order(static_cast<double>(a.size()), static_cast<double>(b.size()));
}

// Base letter and accent of the Latin-1 letters; 0 where there is none.
struct LatinLetter {
  char base;
  int accent;  // 1 grave, 2 acute, 3 circumflex, 4 tilde, 5 diaeresis, 6 ring, 7 cedilla, 8 stroke
};

LatinLetter Decompose(char32_t lower) {
  static const char kBase[] =
      "aaaaaaaceeeeiiii"
      "dnooooo ouuuuy y";
  static const int kAccent[] = {1, 2, 3, 4, 5, 6, 0, 7, 1, 2, 3, 5, 1, 2, 3, 5,
                                0, 4, 1, 2, 3, 4, 5, 0, 8, 1, 2, 3, 5, 2, 0, 5};
  if (lower >= 0xE0 && lower <= 0xFF && lower != 0xF7 && kBase[lower - 0xE0] != ' ') {
    return {kBase[lower - 0xE0], kAccent[lower - 0xE0]};
  }
  return {0, 0};
}

struct CollationKey {
  std::vector<int> primary;
  std::vector<int> secondary;
  std::vector<int> tertiary;
  bool has_ignorable = false;
};

CollationKey KeyOf(std::string_view s) {
  CollationKey key;
  for (std::string_view character : text::Characters(s)) {
    char32_t c = text::CodePoint(character);
    if (c == '-' || c == '\'') {
      key.has_ignorable = true;
      continue;
    }
    int upper = 0;
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
      c += 32;
      upper = 1;
    }
    LatinLetter letter = Decompose(c);
    if (c >= 'a' && c <= 'z') letter = {static_cast<char>(c), 0};
    if (letter.base != 0) {
      key.primary.push_back(300 + (letter.base - 'a'));
    } else if (c >= '0' && c <= '9') {
      key.primary.push_back(200 + static_cast<int>(c - '0'));
    } else if (c < 0x80) {
      key.primary.push_back(static_cast<int>(c));
    } else {
      key.primary.push_back(1000 + static_cast<int>(c));
    }
    key.secondary.push_back(letter.accent);
    key.tertiary.push_back(upper);
  }
  return key;
}

// A value as the operands of an operator see it: an object by its default property.
Variant Operand(const Variant& value) {
  if (value.IsObject()) return Variant::String(value.object_value()->DefaultProperty());
  if (value.IsArray()) throw RunTimeError::TypeMismatch();
  return value;
}

enum class Rank { kInteger, kLong, kDouble, kDate };

Rank RankOf(const Variant& v) {
  switch (v.type()) {
    case VariantType::kLong:
      return Rank::kLong;
    case VariantType::kDouble:
    case VariantType::kString:  // a text taking part in a sum is read as a Double
      return Rank::kDouble;
    case VariantType::kDate:
      return Rank::kDate;
    default:  // Empty, Boolean, Integer
      return Rank::kInteger;
  }
}

double NumberOf(const Variant& v) {
  if (v.IsEmpty()) return 0;
  if (v.IsString()) return ToDouble(v);
  return v.NumberUnderneath();
}

}  // namespace

Comparison CollateTexts(std::string_view a, std::string_view b) {
  const CollationKey ka = KeyOf(a);
  const CollationKey kb = KeyOf(b);
  for (Comparison c :
       {OrderSequences(ka.primary, kb.primary), OrderSequences(ka.secondary, kb.secondary),
        OrderSequences(ka.tertiary, kb.tertiary)}) {
    if (c != Comparison::kEqual) return c;
  }
  if (ka.has_ignorable != kb.has_ignorable) {
    return ka.has_ignorable ? Comparison::kGreater : Comparison::kLess;
  }
  return OrderOf(a.compare(b));
}

Comparison CompareWithText(const Variant& value, std::string_view literal) {
  // A text is compared where it stands, without a copy.
  if (value.IsString()) return OrderOf(std::string_view(value.string_value()).compare(literal));
  const Variant v = Operand(value);
  if (v.IsNull()) return Comparison::kNull;
  return OrderOf(std::string_view(ToText(v)).compare(literal));
}

Comparison CompareWithNumber(const Variant& value, double literal) {
  const Variant v = Operand(value);
  if (v.IsNull()) return Comparison::kNull;
  return Order(NumberOf(v), literal);
}

Comparison CompareVariants(const Variant& a_in, const Variant& b_in) {
  const Variant a = Operand(a_in);
  const Variant b = Operand(b_in);
  if (a.IsNull() || b.IsNull()) return Comparison::kNull;
  const bool a_text = a.IsString() || (a.IsEmpty() && b.IsString());
  const bool b_text = b.IsString() || (b.IsEmpty() && a.IsString());
  if (a_text && b_text) {
    return CollateTexts(a.IsString() ? a.string_value() : "", b.IsString() ? b.string_value() : "");
  }
  if (a_text) return Comparison::kGreater;  // a number is always less than a text
  if (b_text) return Comparison::kLess;
  return Order(NumberOf(a), NumberOf(b));
}

bool Holds(Comparison comparison, Relation relation) {
  if (comparison == Comparison::kNull) return false;
  switch (relation) {
    case Relation::kEqual:
      return comparison == Comparison::kEqual;
    case Relation::kNotEqual:
      return comparison != Comparison::kEqual;
    case Relation::kLess:
      return comparison == Comparison::kLess;
    case Relation::kGreater:
      return comparison == Comparison::kGreater;
    case Relation::kLessOrEqual:
      return comparison != Comparison::kGreater;
    case Relation::kGreaterOrEqual:
      return comparison != Comparison::kLess;
  }
  return false;
}

Variant Add(const Variant& a_in, const Variant& b_in) {
  const Variant a = Operand(a_in);
  const Variant b = Operand(b_in);
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  if (a.IsString() && b.IsString()) return Variant::String(a.string_value() + b.string_value());
  if (a.IsEmpty() && b.IsEmpty()) return Variant::Integer(0);
  if (a.IsEmpty() && b.IsString()) return b;
  if (b.IsEmpty() && a.IsString()) return a;

  const double sum = NumberOf(a) + NumberOf(b);
  const Rank rank = std::max(RankOf(a), RankOf(b));
  if (rank == Rank::kDate) {
    if (!IsDateSerialInRange(sum)) return Variant::Double(sum);
    return Variant::Date(sum);
  }
  if (rank == Rank::kDouble) return Variant::Double(sum);
  if (rank == Rank::kInteger && sum >= -32768 && sum <= 32767) {
    return Variant::Integer(static_cast<int16_t>(sum));
  }
  if (sum >= std::numeric_limits<int32_t>::min() && sum <= std::numeric_limits<int32_t>::max()) {
    return Variant::Long(static_cast<int32_t>(sum));
  }
  return Variant::Double(sum);
}

Variant Concatenate(const Variant& a_in, const Variant& b_in) {
  const Variant a = Operand(a_in);
  const Variant b = Operand(b_in);
  if (a.IsNull() && b.IsNull()) return Variant::Null();
  const std::string left = a.IsNull() ? "" : ToText(a);
  const std::string right = b.IsNull() ? "" : ToText(b);
  return Variant::String(left + right);
}

}  // namespace tmxcnh
