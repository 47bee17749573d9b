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

}  // namespace tmxcnh::testing
