// A statement as the component sends it, read strictly before any engine
// sees it: either a stored-procedure call (`exec NAME v1, v2, ...`, every
// value a literal) or one inline SQL statement. Anything else (a second
// statement, a comment, an unbalanced quote, an expression among the values
// of an exec) is refused with a run-time error, so it never reaches an engine.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tmxcnh::db {

struct SqlLiteral {
  enum class Kind { kNumber, kText, kNull };
  Kind kind = Kind::kNull;
  std::string value;  // the number as written, or the text without its quotes
};

struct ProcedureCall {
  std::string name;
  std::vector<SqlLiteral> arguments;
};

struct Statement {
  std::string text;                   // as the component composed it
  std::optional<ProcedureCall> call;  // set for an exec
  bool verbatim = false;              // administration scripts: sent exactly as written
};

// Raises RunTimeError (kErrStatementRefused) for a statement it refuses.
Statement ParseStatement(const std::string& text);

// The run-time error number of a refused statement, and of a failing
// statement or connection (as the data-access layer of the original reported them).
inline constexpr int32_t kErrStatementRefused = -2147217900;  // "errors in command"
inline constexpr int32_t kErrStatementFailed = -2147217900;
inline constexpr int32_t kErrConnectionFailed = -2147467259;  // "unspecified error"

}  // namespace tmxcnh::db
