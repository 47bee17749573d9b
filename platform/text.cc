#include "platform/text.h"

#include "platform/run_time_error.h"

namespace tmxcnh::text {
namespace {

// Length in bytes of the UTF-8 sequence starting at s[i], or 1 for a stray byte.
size_t SequenceLength(std::string_view s, size_t i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  size_t length = 1;
  if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
  } else if (lead >= 0xE0) {
    length = 3;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  }
  if (lead >= 0xF5 || i + length > s.size()) return 1;
  for (size_t k = 1; k < length; ++k) {
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
  }
  return length;
}

// Byte offset of every character start, plus the end of the text.
std::vector<size_t> Offsets(std::string_view s) {
  std::vector<size_t> offsets;
  offsets.reserve(s.size() + 1);
  for (size_t i = 0; i < s.size(); i += SequenceLength(s, i)) offsets.push_back(i);
  offsets.push_back(s.size());
  return offsets;
}

}  // namespace

int32_t Len(std::string_view s) { return static_cast<int32_t>(Offsets(s).size() - 1); }

std::string Left(std::string_view s, int32_t n) {
  if (n < 0) throw RunTimeError::InvalidArgument();
  const std::vector<size_t> offsets = Offsets(s);
  const size_t count = offsets.size() - 1;
  return std::string(s.substr(0, offsets[std::min(count, static_cast<size_t>(n))]));
}

std::string Right(std::string_view s, int32_t n) {
  if (n < 0) throw RunTimeError::InvalidArgument();
  const std::vector<size_t> offsets = Offsets(s);
  const size_t count = offsets.size() - 1;
  const size_t keep = std::min(count, static_cast<size_t>(n));
  return std::string(s.substr(offsets[count - keep]));
}

std::string Mid(std::string_view s, int32_t start, int32_t length) {
  if (start < 1) throw RunTimeError::InvalidArgument();
  const std::vector<size_t> offsets = Offsets(s);
  const size_t count = offsets.size() - 1;
  const size_t first = static_cast<size_t>(start) - 1;
  if (first >= count) return "";
  size_t last = count;
  if (length >= 0) last = std::min(count, first + static_cast<size_t>(length));
  return std::string(s.substr(offsets[first], offsets[last] - offsets[first]));
}

int32_t InStr(int32_t start, std::string_view s, std::string_view what) {
  if (start < 1) throw RunTimeError::InvalidArgument();
  const std::vector<size_t> offsets = Offsets(s);
  const size_t count = offsets.size() - 1;
  if (static_cast<size_t>(start) > count + (what.empty() ? 1 : 0)) return 0;
  if (what.empty()) return start;
  for (size_t index = static_cast<size_t>(start) - 1; index < count; ++index) {
    if (s.substr(offsets[index]).starts_with(what)) return static_cast<int32_t>(index + 1);
  }
  return 0;
}

std::string LTrim(std::string_view s) {
  const size_t first = s.find_first_not_of(' ');
  return first == std::string_view::npos ? "" : std::string(s.substr(first));
}

std::string RTrim(std::string_view s) {
  const size_t last = s.find_last_not_of(' ');
  return last == std::string_view::npos ? "" : std::string(s.substr(0, last + 1));
}

std::string Trim(std::string_view s) { return LTrim(RTrim(s)); }

std::vector<std::string_view> Characters(std::string_view s) {
  std::vector<std::string_view> characters;
  for (size_t i = 0; i < s.size();) {
    const size_t length = SequenceLength(s, i);
    characters.push_back(s.substr(i, length));
    i += length;
  }
  return characters;
}

char32_t CodePoint(std::string_view character) {
  const auto byte = [&](size_t k) { return static_cast<char32_t>(character[k]) & 0xFF; };
  switch (character.size()) {
    case 2:
      return ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F);
    case 3:
      return ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
    case 4:
      return ((byte(0) & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) |
             (byte(3) & 0x3F);
    default:
      return character.empty() ? 0 : byte(0);
  }
}

std::string UpperAscii(std::string_view s) {
  std::string upper(s);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] == b[i]) continue;
    // Letters that differ only in case differ in the bit 0x20 alone.
    const auto upper = static_cast<unsigned char>(a[i] & ~0x20);
    if ((a[i] ^ b[i]) != 0x20 || upper < 'A' || upper > 'Z') return false;
  }
  return true;
}

}  // namespace tmxcnh::text
