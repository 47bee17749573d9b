// String functions of the automation language over UTF-8 text. Lengths,
// positions and pieces count characters, not bytes: "não" has 3. Positions
// are 1-based, as the component's routines write them. A byte that is not
// valid UTF-8 counts as one character of its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tmxcnh::text {

// Number of characters.
int32_t Len(std::string_view s);

// The first / last n characters (all of them when n exceeds the length).
// A negative n is the invalid-argument error.
std::string Left(std::string_view s, int32_t n);
std::string Right(std::string_view s, int32_t n);

// The characters from position start (1-based), at most length of them;
// a negative length means "to the end". A start below 1 is the
// invalid-argument error; a start beyond the end gives "".
std::string Mid(std::string_view s, int32_t start, int32_t length = -1);

// Position (1-based) of the first occurrence of what at or after start, 0 if none.
int32_t InStr(int32_t start, std::string_view s, std::string_view what);
inline int32_t InStr(std::string_view s, std::string_view what) { return InStr(1, s, what); }

// Blanks (the space character only) removed from the left, right or both ends.
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);
std::string Trim(std::string_view s);

// The text split into its characters, each as its own UTF-8 string.
std::vector<std::string_view> Characters(std::string_view s);

// Code point of one character as returned by Characters(); a stray byte maps to itself.
char32_t CodePoint(std::string_view character);

// Names (of columns, methods, keys) compared and folded as the run time does
// with identifiers: ASCII letters without regard to case.
std::string UpperAscii(std::string_view s);
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

}  // namespace tmxcnh::text
