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

// Where each character of a text starts. A text of ASCII alone (the common
// case: numbers, codes, names without accents) needs no table: its characters
// are its bytes.
class CharacterStarts {
 public:
  explicit CharacterStarts(std::string_view s) : size_(s.size()) {
    size_t i = 0;
    while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) ++i;
    if (i == s.size()) return;
    starts_.reserve(s.size() + 1);
    for (size_t k = 0; k < i; ++k) starts_.push_back(k);
    for (; i < s.size(); i += SequenceLength(s, i)) starts_.push_back(i);
    starts_.push_back(s.size());
  }

  size_t count() const { return starts_.empty() ? size_ : starts_.size() - 1; }

  // Byte offset of character `index` (0-based); count() gives the end.
  size_t offset(size_t index) const { return starts_.empty() ? index : starts_[index]; }

 private:
  size_t size_;
  std::vector<size_t> starts_;
};

}  // namespace

int32_t Len(std::string_view s) { return static_cast<int32_t>(CharacterStarts(s).count()); }

std::string Left(std::string_view s, int32_t n) {
  if (n < 0) throw RunTimeError::InvalidArgument();
  const CharacterStarts characters(s);
  const size_t count = characters.count();
  return std::string(s.substr(0, characters.offset(std::min(count, static_cast<size_t>(n)))));
}

std::string Right(std::string_view s, int32_t n) {
  if (n < 0) throw RunTimeError::InvalidArgument();
  const CharacterStarts characters(s);
  const size_t count = characters.count();
  const size_t keep = std::min(count, static_cast<size_t>(n));
  return std::string(s.substr(characters.offset(count - keep)));
}

std::string Mid(std::string_view s, int32_t start, int32_t length) {
  if (start < 1) throw RunTimeError::InvalidArgument();
  const CharacterStarts characters(s);
  const size_t count = characters.count();
  const size_t first = static_cast<size_t>(start) - 1;
  if (first >= count) return "";
  size_t last = count;
  if (length >= 0) last = std::min(count, first + static_cast<size_t>(length));
  return std::string(
      s.substr(characters.offset(first), characters.offset(last) - characters.offset(first)));
}

int32_t InStr(int32_t start, std::string_view s, std::string_view what) {
  if (start < 1) throw RunTimeError::InvalidArgument();
  const CharacterStarts characters(s);
  const size_t count = characters.count();
  if (static_cast<size_t>(start) > count + (what.empty() ? 1 : 0)) return 0;
  if (what.empty()) return start;
  for (size_t index = static_cast<size_t>(start) - 1; index < count; ++index) {
    if (s.substr(characters.offset(index)).starts_with(what))
      return static_cast<int32_t>(index + 1);
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
