#include "db/sqlite_procedures.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "platform/run_time_error.h"
#include "platform/text.h"

namespace tmxcnh::db {
namespace {

// The whole number a literal spells in 64 bits, if it spells one (the
// statement reader hands numbers on as a sign, digits, and a fraction).
std::optional<int64_t> WholeNumber(const std::string& value) {
  std::string_view digits = value;
  if (digits.starts_with('+')) digits.remove_prefix(1);
  int64_t whole = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), whole);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return whole;
}

}  // namespace

std::vector<ProcedureParameter> ParseProcedureParameters(const std::string& list) {
  std::vector<ProcedureParameter> parameters;
  size_t start = 0;
  while (start < list.size()) {
    size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    const std::string declared = text::Trim(list.substr(start, comma - start));
    if (!declared.empty()) {
      const size_t blank = declared.find(' ');
      ProcedureParameter parameter{declared.substr(0, blank), ""};
      if (blank != std::string::npos) {
        parameter.type = text::UpperAscii(text::Trim(declared.substr(blank + 1)));
      }
      parameters.push_back(std::move(parameter));
    }
    start = comma + 1;
  }
  return parameters;
}

void CheckProcedureArgument(const ProcedureParameter& parameter, const SqlLiteral& argument) {
  if (argument.kind == SqlLiteral::Kind::kNull) return;
  if (parameter.type == "INTEGER") {
    const std::optional<int64_t> whole = WholeNumber(argument.value);
    if (!whole) {
      throw RunTimeError(kErrStatementFailed,
                         "invalid input syntax for type integer: \"" + argument.value + "\"");
    }
    if (*whole < INT32_MIN || *whole > INT32_MAX) {
      throw RunTimeError(kErrStatementFailed,
                         "value \"" + argument.value + "\" is out of range for type integer");
    }
  } else if (parameter.type == "NUMERIC" && argument.kind == SqlLiteral::Kind::kText) {
    char* end = nullptr;
    std::strtod(argument.value.c_str(), &end);
    if (argument.value.empty() || *end != '\0') {
      throw RunTimeError(kErrStatementFailed,
                         "invalid input syntax for type numeric: \"" + argument.value + "\"");
    }
  }
}

std::vector<int> ParameterPlaces(sqlite3_stmt* statement,
                                 const std::vector<ProcedureParameter>& parameters) {
  std::vector<int> places;
  for (const ProcedureParameter& parameter : parameters) {
    places.push_back(sqlite3_bind_parameter_index(statement, (":" + parameter.name).c_str()));
  }
  return places;
}

void BindProcedureArguments(sqlite3_stmt* statement,
                            const std::vector<ProcedureParameter>& parameters,
                            const std::vector<int>& places,
                            const std::vector<SqlLiteral>& arguments) {
  for (size_t i = 0; i < parameters.size(); ++i) {
    const int index = places[i];
    if (index == 0) continue;  // this statement does not use it
    const SqlLiteral& argument = arguments[i];
    const std::string& type = parameters[i].type;
    const bool as_text = type == "VARCHAR" || type == "TIMESTAMP" ||
                         (type.empty() && argument.kind == SqlLiteral::Kind::kText);
    if (argument.kind == SqlLiteral::Kind::kNull) {
      sqlite3_bind_null(statement, index);
    } else if (as_text) {
      sqlite3_bind_text(statement, index, argument.value.c_str(),
                        static_cast<int>(argument.value.size()), SQLITE_TRANSIENT);
    } else if (std::optional<int64_t> whole = WholeNumber(argument.value)) {
      sqlite3_bind_int64(statement, index, *whole);
    } else {
      sqlite3_bind_double(statement, index, std::strtod(argument.value.c_str(), nullptr));
    }
  }
}

}  // namespace tmxcnh::db
