#include "platform/run_time_error.h"

#include <utility>

namespace tmxcnh {

RunTimeError::RunTimeError(int32_t number, std::string description)
    : std::runtime_error(description), number_(number), description_(std::move(description)) {}

// The descriptions are those of the Portuguese run time that the users' machines carry.
RunTimeError RunTimeError::TypeMismatch() { return {kErrTypeMismatch, "Tipos incompatíveis"}; }
RunTimeError RunTimeError::Overflow() { return {kErrOverflow, "Estouro"}; }
RunTimeError RunTimeError::SubscriptOutOfRange() {
  return {kErrSubscriptOutOfRange, "Subscrito fora do intervalo"};
}
RunTimeError RunTimeError::InvalidUseOfNull() {
  return {kErrInvalidUseOfNull, "Uso inválido de Nulo"};
}
RunTimeError RunTimeError::InvalidArgument() {
  return {kErrInvalidArgument, "Chamada de procedimento ou argumento inválido"};
}

}  // namespace tmxcnh
