// Conversions between Variant subtypes under the machine's regional settings.
//
// ChangeType is the automation run time's own change of type. The To*
// functions are the conversions as the component's language writes them
// (CStr, CDbl, CLng, CInt, CDate): the same rules, except that a Null is the
// invalid-use-of-Null error and a Boolean reads as text by its name.
// Failures raise RunTimeError: type mismatch (13) or overflow (6).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/variant.h"

namespace tmxcnh {

// The value as the given subtype (Empty, Null, Integer, Long, Double, Date,
// String or Boolean). A Null converts to nothing but Null; an array to nothing
// else; an object by its default property.
Variant ChangeType(const Variant& value, VariantType type);

std::string ToText(const Variant& value);
double ToDouble(const Variant& value);
int32_t ToLong(const Variant& value);
int16_t ToInteger(const Variant& value);
double ToDateSerial(const Variant& value);

// Whether the value converts to a Double / to a Date. Empty does; Null does not.
bool IsNumeric(const Variant& value);
bool IsDate(const Variant& value);

// The leading number of a text: blanks anywhere are ignored, only a point is a
// decimal separator, reading stops at the first character that cannot go on,
// and a text that does not begin with a number reads as 0. &H and &O prefixes
// read hexadecimal and octal.
double Val(std::string_view text);

// A double as text: up to 15 significant digits, the local decimal separator,
// no grouping, the exponent form for very large and very small magnitudes.
std::string NumberToText(double value);

// A date serial as text: the local short date, then the time unless it is
// midnight; the time alone when the date part is zero.
std::string DateToText(double serial);

}  // namespace tmxcnh
