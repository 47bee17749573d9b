#include "service/json_variant.h"

#include <cstdint>
#include <cstdio>
#include <stdexcept>

#include "db/connection.h"
#include "platform/conversions.h"
#include "platform/date_serial.h"
#include "platform/text.h"

namespace tmxcnh {
namespace {

std::string DateText(double serial) {
  if (!IsDateSerialInRange(serial)) return std::to_string(serial);
  const CivilTime t = CivilFromSerial(serial);
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  return buffer;
}

double DateSerial(const nlohmann::json& value) {
  if (value.is_number()) return value.get<double>();
  if (!value.is_string()) throw std::invalid_argument("a Date needs a text yyyy-mm-ddThh:mm:ss");
  CivilTime t;
  t.hour = t.minute = t.second = 0;
  const std::string text = value.get<std::string>();
  if (std::sscanf(text.c_str(), "%d-%d-%dT%d:%d:%d", &t.year, &t.month, &t.day, &t.hour, &t.minute,
                  &t.second) < 3) {
    throw std::invalid_argument("not a date: " + text);
  }
  std::optional<double> serial = SerialFromCivil(t);
  if (!serial) throw std::invalid_argument("not a date: " + text);
  return *serial;
}

// A whole number within the subtype's range; anything else is refused, not
// wrapped around.
double Whole(const nlohmann::json& value, const std::string& vt, int64_t lowest, int64_t highest) {
  if (!value.is_number_integer() && !value.is_number_unsigned()) {
    throw std::invalid_argument("an " + vt + " is a whole number, not " + value.dump());
  }
  const double number = value.get<double>();
  if (number < static_cast<double>(lowest) || number > static_cast<double>(highest)) {
    throw std::invalid_argument(value.dump() + " does not fit in an " + vt + " (" +
                                std::to_string(lowest) + " to " + std::to_string(highest) + ")");
  }
  return number;
}

// A Variant array nests a few levels; deeper input is refused, not recursed into.
constexpr int kMaxNesting = 32;

Variant ToVariant(const nlohmann::json& json, int depth);

Variant Typed(const std::string& vt, const nlohmann::json& value, int depth) {
  if (vt == "Empty") return Variant();
  if (vt == "Null") return Variant::Null();
  if (vt == "Integer")
    return Variant::Integer(static_cast<int16_t>(Whole(value, vt, -32768, 32767)));
  if (vt == "Long") {
    return Variant::Long(static_cast<int32_t>(Whole(value, vt, INT32_MIN, INT32_MAX)));
  }
  if (vt == "Double") return Variant::Double(value.get<double>());
  if (vt == "Date") return Variant::Date(DateSerial(value));
  if (vt == "String") return Variant::String(value.get<std::string>());
  if (vt == "Boolean") return Variant::Boolean(value.get<bool>());
  if (vt == "Array") {
    std::vector<Variant> elements;
    for (const nlohmann::json& element : value) elements.push_back(ToVariant(element, depth + 1));
    return Variant::Array(std::move(elements));
  }
  throw std::invalid_argument("unknown vt: " + vt);
}

}  // namespace

nlohmann::json VariantToJson(const Variant& value) {
  nlohmann::json out;
  out["vt"] = TypeName(value.type());
  switch (value.type()) {
    case VariantType::kInteger:
      out["value"] = value.integer_value();
      break;
    case VariantType::kLong:
      out["value"] = value.long_value();
      break;
    case VariantType::kDouble:
      out["value"] = value.double_value();
      break;
    case VariantType::kDate:
      out["value"] = DateText(value.date_value());
      break;
    case VariantType::kString:
      out["value"] = value.string_value();
      break;
    case VariantType::kBoolean:
      out["value"] = value.boolean_value();
      break;
    case VariantType::kArray: {
      nlohmann::json list = nlohmann::json::array();
      for (int32_t i = 0; i <= value.UBound(); ++i) list.push_back(VariantToJson(value.At(i)));
      out["value"] = list;
      break;
    }
    case VariantType::kObject:
      out["value"] = value.object_value()->DefaultProperty();
      break;
    default:
      out["value"] = nullptr;
  }
  return out;
}

Variant JsonToVariant(const nlohmann::json& json) { return ToVariant(json, 0); }

namespace {

Variant ToVariant(const nlohmann::json& json, int depth) {
  if (depth > kMaxNesting) {
    throw std::invalid_argument("arrays nested deeper than " + std::to_string(kMaxNesting));
  }
  try {
    switch (json.type()) {
      case nlohmann::json::value_t::string:
        return Variant::String(json.get<std::string>());
      case nlohmann::json::value_t::boolean:
        return Variant::Boolean(json.get<bool>());
      case nlohmann::json::value_t::null:
        return Variant::Null();
      case nlohmann::json::value_t::number_integer:
      case nlohmann::json::value_t::number_unsigned: {
        const double number = json.get<double>();
        if (number >= -32768 && number <= 32767) return Variant::Integer(json.get<int16_t>());
        if (number >= -2147483648.0 && number <= 2147483647.0) {
          return Variant::Long(json.get<int32_t>());
        }
        return Variant::Double(number);
      }
      case nlohmann::json::value_t::number_float:
        return Variant::Double(json.get<double>());
      case nlohmann::json::value_t::array: {
        std::vector<Variant> elements;
        for (const nlohmann::json& element : json)
          elements.push_back(ToVariant(element, depth + 1));
        return Variant::Array(std::move(elements));
      }
      case nlohmann::json::value_t::object:
        if (json.contains("vt") && json["vt"].is_string()) {
          return Typed(json["vt"].get<std::string>(),
                       json.contains("value") ? json["value"] : nlohmann::json(), depth);
        }
        break;
      default:
        break;
    }
  } catch (const nlohmann::json::exception& error) {
    throw std::invalid_argument(error.what());
  }
  throw std::invalid_argument("not a value: " + json.dump());
}

}  // namespace

nlohmann::json ParameterToJson(std::string_view name, const Variant& value) {
  if (text::SameNameIgnoringCase(name, "vntConecta_db") && value.IsString()) {
    return VariantToJson(Variant(db::ConnectionText(ToText(value)).Masked()));
  }
  return VariantToJson(value);
}

nlohmann::ordered_json AnswerToJson(const PublicMethod& method, const Variant& result,
                                    const std::vector<Variant>& arguments,
                                    const std::function<bool(std::string_view)>& shown) {
  nlohmann::ordered_json answer;
  answer["result"] = VariantToJson(result);
  answer["params"] = nlohmann::ordered_json::object();
  for (size_t i = 0; i < method.parameters.size(); ++i) {
    const std::string_view name = method.parameters[i];
    if (shown && !shown(name)) continue;
    answer["params"][std::string(name)] = ParameterToJson(name, arguments[i]);
  }
  return answer;
}

}  // namespace tmxcnh
