// Calling a public method by name with named arguments, as a late-bound
// caller does: every parameter not named is Empty, and every parameter can be
// read back after the call.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "component/cnh.h"
#include "platform/variant.h"

namespace tmxcnh::testing {

struct MethodCall {
  Variant result;
  std::map<std::string, Variant> parameters;  // by the interface's names
  std::vector<Variant> in_order;

  // A parameter after the call; an unknown name fails the test.
  const Variant& operator[](const std::string& name) const;
};

using Arguments = std::vector<std::pair<std::string, Variant>>;

MethodCall CallMethod(CNH& object, const std::string& method, const Arguments& arguments);
MethodCall CallMethod(const std::string& method, const Arguments& arguments);

// A method called with the database kind and connection first; the message
// starts as "intocada" (unless the arguments name it) so that a test sees
// whether the method wrote it.
MethodCall CallOn(const std::string& method, const Variant& kind, const std::string& connection,
                  const Arguments& arguments, CNH* object = nullptr);

// Sets a named argument, adding it when absent.
void Set(Arguments& arguments, const std::string& name, const Variant& value);

}  // namespace tmxcnh::testing
