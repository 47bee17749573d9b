#include "component/method_table.h"

#include <cctype>
#include <type_traits>
#include <utility>

#include "platform/text.h"

namespace tmxcnh {
namespace {

// Calls a method with the list's Variants in order, and gives its result as
// a Variant (a Boolean for the m methods).
template <typename Result, typename... Parameters, size_t... I>
Variant InvokeWith(Result (CNH::*method)(Parameters...), CNH& object,
                   std::vector<Variant>& arguments, std::index_sequence<I...>) {
  if constexpr (std::is_same_v<Result, bool>) {
    return Variant::Boolean((object.*method)(arguments[I]...));
  } else {
    return (object.*method)(arguments[I]...);
  }
}

template <typename Result, typename... Parameters>
constexpr size_t ArityOf(Result (CNH::*)(Parameters...)) {
  return sizeof...(Parameters);
}

template <auto Method>
Variant Invoke(CNH& object, std::vector<Variant>& arguments) {
  return InvokeWith(Method, object, arguments, std::make_index_sequence<ArityOf(Method)>());
}

// The class declaration against the description: each public method takes
// its parameters, in order, as Variants by reference and answers a Variant
// (the g methods' result code) or a Boolean.
template <typename... Types>
struct TypeList {};
template <typename Result, typename... Parameters>
constexpr TypeList<Result, Parameters...> SignatureOf(Result (CNH::*)(Parameters...)) {
  return {};
}
using VARIANTResult = Variant;
using BOOLResult = bool;
#define TMX_VARIANT_REFERENCE(name) , Variant&
#define TMX_METHOD(name, dispid, result, routed)                                             \
  static_assert(                                                                             \
      std::is_same_v<decltype(SignatureOf(&CNH::name)),                                      \
                     TypeList<result##Result TMX_PARAMETERS_##name(TMX_VARIANT_REFERENCE)>>, \
      "CNH::" #name " differs from its description");
#define TMX_EMULATION(name)
#include "component/interface.def"

// An emulation takes the kind and connection texts, its own arguments, the
// SQL text it writes, the message and the internet user. (Checked from a
// derived class: the emulations are the class's own.)
using TextArgument = const std::string&;
using LongArgument = int32_t&;
using DoubleArgument = double&;
#define TMX_ARGUMENT(type, name) , type##Argument
#undef TMX_METHOD
#define TMX_METHOD(name, dispid, result, routed)
#undef TMX_EMULATION
#define TMX_EMULATION(name)                                                                     \
  static_assert(std::is_same_v<decltype(SignatureOf(&EmulationSignatures::name)),               \
                               TypeList<bool, const std::string&,                               \
                                        const std::string & TMX_ARGUMENTS_##name(TMX_ARGUMENT), \
                                        std::string&, Variant&, const Variant&>>,               \
                "CNH::" #name " differs from its description");
struct EmulationSignatures : CNH {
#include "component/interface.def"
};
#undef TMX_ARGUMENT
#undef TMX_VARIANT_REFERENCE
#undef TMX_METHOD
#undef TMX_EMULATION

}  // namespace

const std::vector<PublicMethod>& PublicMethods() {
#define TMX_NAME(name) #name,
#define TMX_METHOD(name, dispid, result, routed) \
  {#name,                                        \
   dispid,                                       \
   std::is_same_v<result##Result, bool>,         \
   {TMX_PARAMETERS_##name(TMX_NAME)},            \
   &Invoke<&CNH::name>},
#define TMX_EMULATION(name)
  static const std::vector<PublicMethod> methods = {
#include "component/interface.def"
  };
#undef TMX_NAME
#undef TMX_METHOD
#undef TMX_EMULATION
  return methods;
}

const PublicMethod* FindPublicMethod(std::string_view name) {
  for (const PublicMethod& method : PublicMethods()) {
    if (text::SameNameIgnoringCase(method.name, name)) return &method;
  }
  return nullptr;
}

int FindParameter(const PublicMethod& method, std::string_view name) {
  for (size_t i = 0; i < method.parameters.size(); ++i) {
    if (text::SameNameIgnoringCase(method.parameters[i], name)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace tmxcnh
