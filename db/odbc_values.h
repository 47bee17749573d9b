// The text and values that cross the ODBC driver manager: the component's
// UTF-8 against the wide (UTF-16) entry points, and a column's text as the
// Variant the recordset holds.
#pragma once

#ifdef _WIN32
#include <windows.h>  // the ODBC headers take their basic types from here
#endif
#include <sql.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/variant.h"

namespace tmxcnh::db {

// Only the W entry points exist on every driver manager we build for, and
// their text is UTF-16 everywhere (SQLWCHAR is unsigned short on unixODBC,
// wchar_t on Windows).
static_assert(sizeof(SQLWCHAR) == 2, "ODBC wide text must be UTF-16");
using WideString = std::basic_string<SQLWCHAR>;

// Invalid UTF-8 becomes U+FFFD rather than an error: the text is the
// component's own and a bad byte should not cost the whole statement.
WideString ToUtf16(std::string_view text);

// A lone surrogate becomes U+FFFD.
std::string ToUtf8(const SQLWCHAR* text, size_t length);
inline std::string ToUtf8(const WideString& text) { return ToUtf8(text.data(), text.size()); }

// How a column's text becomes a Variant.
enum class ColumnKind { kWhole, kDecimal, kDate, kText };

// How a column is read: its kind, and the room (in characters, the
// terminator's included) that each of its values has when rows are fetched a
// block at a time; 0 for a column whose values may be long.
struct ColumnPlan {
  ColumnKind kind;
  size_t room;
  // A whole number of at most 32 bits, fetched in a block as a number rather
  // than as text, which spares the driver and us a conversion per value.
  bool fetched_as_long = false;
};

// The plan for a column as SQLDescribeCol describes it. A number or a date
// written as text fits in 64 characters; a text column of a declared size up
// to 1024 characters gets twice that (a character beyond the BMP takes two
// units); longer or undeclared text has no room.
ColumnPlan PlanOf(SQLSMALLINT sql_type, SQLULEN size, SQLSMALLINT scale);

// A value as the driver wrote it, as the Variant of its column's kind: a
// whole number is Long (Double beyond its range), a decimal Double, a date or
// time Date. A value in a form we do not read stays text rather than becoming
// a wrong number or date.
Variant ToVariant(ColumnKind kind, const SQLWCHAR* wide, size_t length);

// The same for a value the driver wrote in UTF-8 (valid UTF-8: the caller
// makes sure of it).
Variant ToVariant(ColumnKind kind, std::string_view utf8);

}  // namespace tmxcnh::db
