// The error trap every method of the class arms before its first step. When a
// step fails, the trap puts the method's user sentence into the message
// out-parameter, writes one row into the error-message log with the technical
// detail, shows the detail too when the internet user is 1, and lets the
// method return in order: no error ever reaches the caller.
//
// The detail reads
//   " TMXCNH.<method> ( <description> : <number>)   no nº <step>, strSq: <sql>"
// where <step> is the number of the step that failed. Step numbers rise in
// tens through the class, are unique in it, and never change between builds.
#pragma once

#include <string>

#include "platform/variant.h"

namespace tmxcnh {

class MethodTrap {
 public:
  enum class Detail {
    kWithSql,     // the detail ends with ", strSq: " and the SQL text at the failure
    kWithoutSql,  // methods that compose no SQL end the detail after the step number
  };
  enum class Logging { kLogged, kNotLogged };

  MethodTrap(const char* method, const char* user_sentence, Detail detail = Detail::kWithSql,
             Logging logging = Logging::kLogged)
      : location_(std::string(" TMXCNH.") + method + " ( "),
        sql_label_(detail == Detail::kWithSql ? ", strSq: " : ""),
        user_sentence_(user_sentence),
        logging_(logging) {}

  // The trap of a shared module's routine, which names its own location
  // (" <module>.<routine> ( ") and writes its own label before the SQL text.
  static MethodTrap Routine(const char* module, const char* routine, const char* user_sentence,
                            const char* sql_label) {
    MethodTrap trap(routine, user_sentence);
    trap.location_ = std::string(" ") + module + "." + routine + " ( ";
    trap.sql_label_ = sql_label;
    return trap;
  }

  // Marks the step about to run.
  void Step(int number) { step_ = number; }
  int step() const { return step_; }

  // The SQL text the method is composing; the detail shows it as it stands.
  std::string& sql() { return sql_; }

  // Call from a catch (...) block: handles the error in flight.
  void Handle(Variant& message, const Variant& kind, const Variant& connection,
              const Variant& user) const;

  // The detail for an error (exposed for tests).
  std::string DetailFor(const std::string& description, int32_t number) const;

 private:
  std::string location_;
  std::string sql_label_;  // "" when the detail ends after the step number
  const char* user_sentence_;
  Logging logging_;
  int step_ = 0;
  std::string sql_;
};

// Whether the internet user is 1, the user who sees technical detail. A value
// that cannot be compared with 1 is not 1.
bool IsTechnicalUser(const Variant& user);

}  // namespace tmxcnh
