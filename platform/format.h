// Format: a value written with a mask, as the automation run time does it.
// Masks with date letters (d, m, y, h, n, s) write dates: "dd/mm/yyyy",
// "yyyy/mm/dd hh:mm", "YYYY/MM/DD hh:mm:ss" (letters in either case; "/" and
// ":" stand for the locale's separators; "m" right after an hour means
// minutes). Masks of "0", "#" and "." write numbers: "00.00". An empty mask
// writes the value's plain text. A text that is neither a date nor a number
// comes back unchanged; a Null gives "".
#pragma once

#include <string>
#include <string_view>

#include "platform/variant.h"

namespace tmxcnh {

std::string Format(const Variant& value, std::string_view mask = {});

}  // namespace tmxcnh
