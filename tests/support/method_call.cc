#include "tests/support/method_call.h"

#include <stdexcept>

#include "component/method_table.h"

namespace tmxcnh::testing {

const Variant& MethodCall::operator[](const std::string& name) const {
  const auto it = parameters.find(name);
  if (it == parameters.end()) throw std::invalid_argument("no parameter " + name);
  return it->second;
}

MethodCall CallMethod(CNH& object, const std::string& method, const Arguments& arguments) {
  const PublicMethod* entry = FindPublicMethod(method);
  if (entry == nullptr) throw std::invalid_argument("no method " + method);
  std::vector<Variant> values(entry->parameters.size());
  for (const auto& [name, value] : arguments) {
    const int index = FindParameter(*entry, name);
    if (index < 0) throw std::invalid_argument(method + " has no parameter " + name);
    values[static_cast<size_t>(index)] = value;
  }
  MethodCall call;
  call.result = entry->invoke(object, values);
  for (size_t i = 0; i < values.size(); ++i) {
    call.parameters[std::string(entry->parameters[i])] = values[i];
  }
  call.in_order = std::move(values);
  return call;
}

MethodCall CallMethod(const std::string& method, const Arguments& arguments) {
  CNH object;
  return CallMethod(object, method, arguments);
}

MethodCall CallOn(const std::string& method, const Variant& kind, const std::string& connection,
                  const Arguments& arguments, CNH* object) {
  Arguments all = {
      {"invntBanco_Dados", kind}, {"vntConecta_db", connection}, {"outvntMsg_Ret", "intocada"}};
  for (const auto& [name, value] : arguments) Set(all, name, value);
  CNH own;
  return CallMethod(object != nullptr ? *object : own, method, all);
}

void Set(Arguments& arguments, const std::string& name, const Variant& value) {
  for (auto& [key, old] : arguments) {
    if (key == name) {
      old = value;
      return;
    }
  }
  arguments.emplace_back(name, value);
}

}  // namespace tmxcnh::testing
