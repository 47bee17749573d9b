// The comparison, addition and concatenation operators of the component's
// language, over Variants.
//
// Comparisons come in two forms, as in the language:
//  - a Variant against a typed literal (`v = "ORACLE"`, `v = 0`): against a
//    text literal the Variant is read as text and compared character by
//    character, case-sensitively; against a number literal it is read as a
//    number (a text that is no number is the type-mismatch error). Empty
//    counts as "" or 0.
//  - two Variants against each other (CompareVariants): numbers numerically,
//    texts by the locale's collation, and a number always less than a text.
// A Null on either side gives kNull, which every relation treats as false,
// as an If statement does: a Null is never equal, and never unequal either.
#pragma once

#include <string_view>

#include "platform/variant.h"

namespace tmxcnh {

enum class Comparison { kLess, kEqual, kGreater, kNull };
enum class Relation { kEqual, kNotEqual, kLess, kGreater, kLessOrEqual, kGreaterOrEqual };

Comparison CompareWithText(const Variant& value, std::string_view literal);
Comparison CompareWithNumber(const Variant& value, double literal);
Comparison CompareVariants(const Variant& a, const Variant& b);

// Whether the relation holds for the outcome of a comparison; never for kNull.
bool Holds(Comparison comparison, Relation relation);

// Shorthands for the tests the component writes most: `v = "x"`, `v <> "x"`, `v = 0`, `v <> 0`.
inline bool Equals(const Variant& v, std::string_view text) {
  return Holds(CompareWithText(v, text), Relation::kEqual);
}
inline bool Differs(const Variant& v, std::string_view text) {
  return Holds(CompareWithText(v, text), Relation::kNotEqual);
}
inline bool Equals(const Variant& v, double number) {
  return Holds(CompareWithNumber(v, number), Relation::kEqual);
}
inline bool Differs(const Variant& v, double number) {
  return Holds(CompareWithNumber(v, number), Relation::kNotEqual);
}

// The locale's ordering of two texts: case and accents count, but only after
// the letters themselves ("a" < "A" < "b"); hyphens and apostrophes count last.
Comparison CollateTexts(std::string_view a, std::string_view b);

// `a + b`: numbers are added (the subtype widens on overflow), two texts are
// joined, a text and a number are added as numbers, a Null gives Null.
Variant Add(const Variant& a, const Variant& b);

// `a & b`: both sides as text, joined; Null counts as "" unless both are Null.
Variant Concatenate(const Variant& a, const Variant& b);

}  // namespace tmxcnh
