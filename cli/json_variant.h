// Variants as JSON for the command line: {"vt": "<subtype>", "value": ...}.
#pragma once

#include <nlohmann/json.hpp>

#include "platform/variant.h"

namespace tmxcnh {

// A Variant as {"vt": ..., "value": ...}; a Date's value is yyyy-mm-ddThh:mm:ss
// and an Array's a list of such objects.
nlohmann::json VariantToJson(const Variant& value);

// A method's parameter as shown to a user: the connection's text without
// its password, any other as VariantToJson gives it.
nlohmann::json ParameterToJson(std::string_view name, const Variant& value);

// An input value: a string is a String; a whole number an Integer when it fits
// two bytes, else a Long (a Double beyond that); a fraction a Double; true and
// false a Boolean; null a Null; a list an Array; an object {"vt", "value"} is
// taken as it says. Raises std::invalid_argument for anything else.
Variant JsonToVariant(const nlohmann::json& json);

}  // namespace tmxcnh
