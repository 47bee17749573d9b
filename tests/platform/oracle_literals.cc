#include "tests/platform/oracle_literals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/date_serial.h"
#include "tests/support/table_file.h"

namespace tmxcnh::testing {
namespace {

std::string Escape(const std::string& s) {
  std::string out;
  for (char c : s) {
    const char* escaped = c == '\t' ? "\\t" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : nullptr;
    out += escaped != nullptr ? escaped : c == '\\' ? "\\\\" : std::string(1, c);
  }
  return out;
}

}  // namespace

std::optional<Variant> ParseLiteral(std::string_view literal) {
  if (literal == "E") return Variant();
  if (literal == "N") return Variant::Null();
  const size_t colon = literal.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::string_view kind = literal.substr(0, colon);
  const std::string body(literal.substr(colon + 1));
  if (kind == "S") return Variant::String(Unescape(body));
  if (kind == "I2") return Variant::Integer(static_cast<int16_t>(std::stol(body)));
  if (kind == "I4") return Variant::Long(static_cast<int32_t>(std::stol(body)));
  if (kind == "R8") return Variant::Double(std::strtod(body.c_str(), nullptr));
  if (kind == "BOOL") return Variant::Boolean(body == "-1");
  if (kind == "D") {
    CivilTime t;
    t.hour = t.minute = t.second = 0;
    int read = 0;
    if (std::sscanf(body.c_str(), "%d-%d-%dT%d:%d:%d%n", &t.year, &t.month, &t.day, &t.hour,
                    &t.minute, &t.second, &read) < 3) {
      return std::nullopt;
    }
    std::optional<double> serial = SerialFromCivil(t);
    if (!serial) return std::nullopt;
    // A fraction of a second runs the serial's own way: before day 0 a later
    // time is a more negative serial.
    const double fraction = read > 0 && body[read] == '.' ? std::stod(body.substr(read)) : 0;
    return Variant::Date(*serial + (*serial < 0 ? -fraction : fraction) / 86400);
  }
  return std::nullopt;
}

std::optional<VariantType> ParseTypeName(std::string_view name) {
  if (name == "BSTR") return VariantType::kString;
  if (name == "R8") return VariantType::kDouble;
  if (name == "I2") return VariantType::kInteger;
  if (name == "I4") return VariantType::kLong;
  if (name == "DATE") return VariantType::kDate;
  if (name == "BOOL") return VariantType::kBoolean;
  return std::nullopt;
}

std::string WriteLiteral(const Variant& value) {
  char buffer[64];
  switch (value.type()) {
    case VariantType::kEmpty:
      return "E";
    case VariantType::kNull:
      return "N";
    case VariantType::kInteger:
      return "I2:" + std::to_string(value.integer_value());
    case VariantType::kLong:
      return "I4:" + std::to_string(value.long_value());
    case VariantType::kDouble:
      std::snprintf(buffer, sizeof buffer, "R8:%.17g", value.double_value());
      return buffer;
    case VariantType::kDate: {
      const CivilTime t = CivilFromSerial(value.date_value());
      std::snprintf(buffer, sizeof buffer, "D:%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month,
                    t.day, t.hour, t.minute, t.second);
      return buffer;
    }
    case VariantType::kString:
      return "S:" + Escape(value.string_value());
    case VariantType::kBoolean:
      return value.boolean_value() ? "BOOL:-1" : "BOOL:0";
    default:
      return "VT?";
  }
}

std::vector<std::string> Split(std::string_view line, std::string_view separator) {
  std::vector<std::string> fields;
  for (size_t start = 0;;) {
    const size_t end = line.find(separator, start);
    fields.emplace_back(line.substr(start, end - start));
    if (end == std::string_view::npos) return fields;
    start = end + separator.size();
  }
}

}  // namespace tmxcnh::testing
