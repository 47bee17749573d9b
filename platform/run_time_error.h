// The run-time error of the component's platform: a number and a description.
// Conversions, operators and the database layer raise it; the error traps of
// the methods catch it and turn it into a message and a log row.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tmxcnh {

// Error numbers of the automation run time that the component meets.
enum ErrorNumber : int32_t {
  kErrInvalidArgument = 5,
  kErrOverflow = 6,
  kErrSubscriptOutOfRange = 9,
  kErrTypeMismatch = 13,
  kErrInvalidUseOfNull = 94,
};

class RunTimeError : public std::runtime_error {
 public:
  RunTimeError(int32_t number, std::string description);

  int32_t number() const { return number_; }
  const std::string& description() const { return description_; }

  static RunTimeError TypeMismatch();
  static RunTimeError Overflow();
  static RunTimeError SubscriptOutOfRange();
  static RunTimeError InvalidUseOfNull();
  static RunTimeError InvalidArgument();

 private:
  int32_t number_;
  std::string description_;
};

}  // namespace tmxcnh
