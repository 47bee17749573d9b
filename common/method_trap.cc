#include "common/method_trap.h"

#include <exception>

#include "common/log_msg.h"
#include "platform/operators.h"
#include "platform/run_time_error.h"

namespace tmxcnh {
namespace {

// The number and description of the error in flight.
RunTimeError CurrentError() {
  try {
    throw;
  } catch (const RunTimeError& error) {
    return error;
  } catch (const std::exception& error) {
    return RunTimeError(kErrInvalidArgument, error.what());
  } catch (...) {
    return RunTimeError(kErrInvalidArgument, "erro desconhecido");
  }
}

}  // namespace

bool IsTechnicalUser(const Variant& user) {
  try {
    return Equals(user, 1);
  } catch (const RunTimeError&) {
    return false;
  }
}

std::string MethodTrap::DetailFor(const std::string& description, int32_t number) const {
  std::string detail = location_ + description + " : " + std::to_string(number) + ")  " +
                       " no nº " + std::to_string(step_);
  if (!sql_label_.empty()) detail += sql_label_ + sql_;
  return detail;
}

void MethodTrap::Handle(Variant& message, const Variant& kind, const Variant& connection,
                        const Variant& user) const {
  const RunTimeError error = CurrentError();
  const std::string detail = DetailFor(error.description(), error.number());
  message = Variant::String(user_sentence_);
  if (logging_ == Logging::kLogged) {
    Variant log_kind = kind;
    Variant log_connection = connection;
    Variant log_user = user;
    Variant type = Variant::Integer(1);
    Variant text = Variant::String(user_sentence_ + detail);
    gGrava_Log_Msg(log_kind, log_connection, log_user, type, text);
  }
  if (IsTechnicalUser(user)) message = Variant::String(user_sentence_ + detail);
}

}  // namespace tmxcnh
