#include "common/sql_values.h"

#include "platform/conversions.h"
#include "platform/format.h"
#include "platform/operators.h"
#include "platform/regional_settings.h"
#include "platform/run_time_error.h"
#include "platform/text.h"

namespace tmxcnh {
namespace {

bool IsNullOrEmpty(const Variant& value) { return value.IsNull() || Equals(value, ""); }

std::string NullForm(const std::string& op) {
  if (op == "<>") return " is not null";
  if (op == "=") return " is null";
  return " null";
}

}  // namespace

// The separator that the text of 0.5 shows, which is the regional settings'.
char MachineDecimalSeparator() { return CurrentSettings().decimal_separator; }

Variant gTrata_Numero(const Variant& value) {
  // A number's text never shows the foreign separator: it goes back as it is.
  switch (value.type()) {
    case VariantType::kInteger:
    case VariantType::kLong:
    case VariantType::kDouble:
      return value;
    default:
      break;
  }
  try {
    const char local = MachineDecimalSeparator();
    const std::string foreign = local == '.' ? "," : ".";
    if (IsNullOrEmpty(value)) return Variant::Integer(0);
    const std::string text = ToText(value);
    const int32_t first = text::InStr(text, foreign);
    if (first == 0) return value;
    if (text::InStr(first + 1, text, foreign) != 0) return value;
    return Variant::String(text::Left(text, first - 1) + local + text::Mid(text, first + 1));
  } catch (const RunTimeError&) {
    return Variant::Integer(0);
  }
}

Variant gFormata_Valor(const Variant& value, const Variant& default_value) {
  try {
    if (IsNullOrEmpty(value) || Equals(value, 0)) return default_value;
    const std::string separator(1, MachineDecimalSeparator());
    std::string text = ToText(value);
    std::string integer_part = text;
    std::string decimals = "00";
    if (const int32_t p = text::InStr(text, separator); p > 0) {
      const int32_t after = text::Len(text) - p;
      if (after == 1) {
        text += "0";
      } else if (after > 2) {
        text = text::Left(text, p + 2);
      }
      decimals = text::Mid(text, p + 1, 2);
      integer_part = text::Left(text, p - 1);
    }
    // The integer part goes through a field of ten characters.
    integer_part = text::Left(integer_part, 10);
    return Variant::String(text::Trim(integer_part) + "," + decimals);
  } catch (const RunTimeError&) {
    return Variant::Integer(0);
  }
}

Variant gData_Sql(const Variant& value) {
  if (Differs(value, "")) return Variant::String("'" + Format(value, "yyyy/mm/dd hh:mm") + "'");
  return Variant::String("null");
}

Variant gTrata_Nulo(const Variant& value) {
  if (value.IsNull()) return Variant::String("");
  return value;
}

Variant gId_Sql(const Variant& value) {
  // A whole number's text is its digits, which Val reads back as they are.
  const bool whole = value.type() == VariantType::kInteger || value.type() == VariantType::kLong;
  if (whole ? ToDouble(value) == 0 : Val(ToText(value)) == 0) return Variant::String("null");
  return value;
}

Variant gTexto_Sql(const Variant& value) {
  if (Differs(value, "")) return Variant::String("'" + ToText(value) + "'");
  return Variant::String("null");
}

bool gTroca_Virgula_Ponto(const std::string& text, std::string& result) {
  result.clear();
  for (char c : text) result += c == ',' ? '.' : c;
  return true;
}

std::string gRetira_Caracteres(std::string_view text) {
  if (text.find_first_not_of(' ') == std::string_view::npos) return "";  // blanks only
  static constexpr std::string_view kRemoved = "'<>();%&+\"";
  std::string cleaned;
  cleaned.reserve(text.size());
  for (char c : text) {
    if (kRemoved.find(c) == std::string_view::npos) cleaned += c;
  }
  return cleaned;
}

Variant gCondicao_Numero_Sql(const Variant& value, const std::string& op) {
  if (Val(ToText(value)) != 0) return Variant::String(" " + op + " " + ToText(value));
  return Variant::String(NullForm(op));
}

Variant gCondicao_Texto_Sql(const Variant& value, const std::string& op) {
  if (Differs(value, "")) return Variant::String(" " + op + " '" + ToText(value) + "'");
  return Variant::String(NullForm(op));
}

}  // namespace tmxcnh
