// The public methods of the class as a late-bound caller sees them: name,
// dispatch identifier, parameter names in order, and a way to call each with
// a list of by-reference Variants. The command line and the COM server's
// IDispatch both go through it.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "component/cnh.h"
#include "platform/variant.h"

namespace tmxcnh {

struct PublicMethod {
  std::string_view name;
  int32_t dispid;
  bool returns_boolean;
  std::vector<std::string_view> parameters;
  // Calls the method; arguments has exactly parameters.size() elements.
  Variant (*invoke)(CNH& object, std::vector<Variant>& arguments);
};

// In the order of the interface.
const std::vector<PublicMethod>& PublicMethods();

// The method of that name, ignoring case; nullptr when there is none.
const PublicMethod* FindPublicMethod(std::string_view name);

// The index of a parameter name, ignoring case; -1 when there is none.
int FindParameter(const PublicMethod& method, std::string_view name);

}  // namespace tmxcnh
