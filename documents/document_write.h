// Pieces the document insert and update share.
#pragma once

#include <cstdint>
#include <string>

#include "platform/variant.h"

namespace tmxcnh {

// A weight or a value typed with a comma, as the procedures take it: the
// text with every comma made a point.
std::string WithPoint(const Variant& typed);

// The same as a number for the emulations: the point text read in the
// machine's locale (through gTrata_Numero).
double AsNumber(const Variant& typed);

// An identifier typed on the screen as the emulations take it (blank or
// Null is 0).
int32_t WholeNumber(const Variant& typed);

// A value as a procedure argument: as typed, or null when it reads as 0.
std::string IdArgument(const Variant& typed);

// An issue date in the inline SQL: TO_DATE('yyyy/mm/dd hh:mm', ...), or null.
std::string IssueDateLiteral(const std::string& date);

}  // namespace tmxcnh
