// Variants and calls as JSON, for the command line and the network service:
// a value is {"vt": "<subtype>", "value": ...}.
#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <vector>

#include "component/method_table.h"
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

// A call's answer: {"result": ..., "params": {...}} with the parameters in the
// interface's order (ParameterToJson); only those that shown accepts, when given.
nlohmann::ordered_json AnswerToJson(const PublicMethod& method, const Variant& result,
                                    const std::vector<Variant>& arguments,
                                    const std::function<bool(std::string_view)>& shown = {});

}  // namespace tmxcnh
