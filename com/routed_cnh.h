// The component's class as a COM object runs it: the methods that other
// methods call (those marked routed in component/interface.def, and the 12
// emulations) go out through the object's own virtual table and come back in as any caller's
// call would. A failing call status raises a run-time error in the calling
// method, whose error trap handles it.
#pragma once

#include "com/cnh_interface.h"
#include "component/cnh.h"

// The class's parameters from the description (component/interface.def):
// a public method's Variants by reference; an emulation's kind and connection,
// its own arguments (a text, a whole number or a decimal), the SQL text it
// writes, the message and the internet user.
#define TMX_IF_ROUTED_true(...) __VA_ARGS__
#define TMX_IF_ROUTED_false(...)
#define TMX_DROP_FIRST(first, ...) __VA_ARGS__
#define TMX_WITHOUT_FIRST(...) TMX_DROP_FIRST(__VA_ARGS__)
#define TMX_VARIANT_PARAMETER(name) , Variant& name
#define TMX_VARIANT_PARAMETERS(name) TMX_WITHOUT_FIRST(TMX_PARAMETERS_##name(TMX_VARIANT_PARAMETER))
#define TMX_CPP_TYPE_Text const std::string&
#define TMX_CPP_TYPE_Long int32_t&
#define TMX_CPP_TYPE_Double double&
#define TMX_CPP_ARGUMENT(type, name) , TMX_CPP_TYPE_##type name
#define TMX_EMULATION_PARAMETERS(name)                                                           \
  const std::string &kind, const std::string &connection TMX_ARGUMENTS_##name(TMX_CPP_ARGUMENT), \
      std::string &statement, Variant &caller_message, const Variant &internet_user

namespace tmxcnh::com {

class CnhObject;

class RoutedCnh : public CNH {
 public:
  // self: the COM object whose table the calls go through; it owns this one.
  explicit RoutedCnh(CnhInterface* self) : self_(self) {}

#define TMX_METHOD(name, dispid, result_kind, routed) \
  TMX_IF_ROUTED_##routed(bool name(TMX_VARIANT_PARAMETERS(name)) override;)
#define TMX_EMULATION(name)
#include "component/interface.def"
#undef TMX_METHOD
#undef TMX_EMULATION

 protected:
#define TMX_METHOD(name, dispid, result_kind, routed)
#define TMX_EMULATION(name) bool name(TMX_EMULATION_PARAMETERS(name)) override;
#include "component/interface.def"
#undef TMX_METHOD
#undef TMX_EMULATION

 private:
  // The COM object runs the class's own bodies (CNH::...) for the calls
  // that arrive through the interface.
  friend class CnhObject;

  CnhInterface* self_;
};

}  // namespace tmxcnh::com
