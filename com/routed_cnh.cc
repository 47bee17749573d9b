#include "com/routed_cnh.h"

#include <cstring>
#include <initializer_list>
#include <utility>
#include <vector>

#include "com/variant_bridge.h"
#include "platform/run_time_error.h"

namespace tmxcnh::com {
namespace {

// A failing call status of a method of the class, as the run time raises it.
void Check(HRESULT hr, const char* what = "Erro de automação") {
  if (FAILED(hr)) throw RunTimeError(static_cast<int32_t>(hr), what);
}

// The by-reference Variants of a call as VARIANTs, and back again.
class OutgoingArguments {
 public:
  explicit OutgoingArguments(std::initializer_list<Variant*> values)
      : values_(values), variants_(values.size()), sent_(values.size()) {
    for (size_t i = 0; i < values_.size(); ++i) {
      Check(MakeVariant(*values_[i], variants_[i]), "Tipos incompatíveis");
      sent_[i] = variants_[i];
    }
  }
  ~OutgoingArguments() {
    for (VARIANT& variant : variants_) VariantClear(&variant);
  }
  OutgoingArguments(const OutgoingArguments&) = delete;
  OutgoingArguments& operator=(const OutgoingArguments&) = delete;

  VARIANT* operator[](size_t i) { return &variants_[i]; }

  // Calls send with the arguments in order.
  template <size_t... I, typename Call>
  HRESULT Send(std::index_sequence<I...>, Call send) {
    return send(&variants_[I]...);
  }

  // Only what the callee wrote comes back: it writes every parameter it
  // changes as a freshly made VARIANT.
  void ReadBack() {
    for (size_t i = 0; i < values_.size(); ++i) {
      if (std::memcmp(&sent_[i], &variants_[i], sizeof(VARIANT)) == 0) continue;
      Check(ReadVariant(variants_[i], *values_[i]), "Tipos incompatíveis");
    }
  }

 private:
  std::vector<Variant*> values_;
  std::vector<VARIANT> variants_;  // owned
  std::vector<VARIANT> sent_;      // their bytes as sent, owning nothing
};

}  // namespace

#define TMX_ADDRESS(name) , &name
#define TMX_COUNT(name) +1
#define TMX_ROUTED_METHOD(name)                                                           \
  bool RoutedCnh::name(TMX_VARIANT_PARAMETERS(name)) {                                    \
    OutgoingArguments arguments({TMX_WITHOUT_FIRST(TMX_PARAMETERS_##name(TMX_ADDRESS))}); \
    VARIANT_BOOL result = VARIANT_FALSE;                                                  \
    Check(arguments.Send(std::make_index_sequence<0 TMX_PARAMETERS_##name(TMX_COUNT)>(),  \
                         [&](auto... sent) { return self_->name(sent..., &result); }));   \
    arguments.ReadBack();                                                                 \
    return result != VARIANT_FALSE;                                                       \
  }
#define TMX_METHOD(name, dispid, result_kind, routed) \
  TMX_IF_ROUTED_##routed(TMX_ROUTED_METHOD(name))
// An emulation's own arguments: a text as a BSTR for the call's length, a
// number by reference as it is.
#define TMX_OUTGOING_Text(name) , Bstr(name).get()
#define TMX_OUTGOING_Long(name) , &name
#define TMX_OUTGOING_Double(name) , &name
#define TMX_OUTGOING(type, name) TMX_OUTGOING_##type(name)
// The message comes back when the emulation wrote it, the SQL text always.
#define TMX_EMULATION(name)                                                                        \
  bool RoutedCnh::name(TMX_EMULATION_PARAMETERS(name)) {                                           \
    Variant sent_user = internet_user;                                                             \
    OutgoingArguments variants({&caller_message, &sent_user});                                     \
    Bstr sql(statement);                                                                           \
    VARIANT_BOOL result = VARIANT_FALSE;                                                           \
    Check(self_->name(Bstr(kind).get(), Bstr(connection).get() TMX_ARGUMENTS_##name(TMX_OUTGOING), \
                      sql.Address(), variants[0], variants[1], &result));                          \
    statement = sql.Utf8();                                                                        \
    variants.ReadBack();                                                                           \
    return result != VARIANT_FALSE;                                                                \
  }
#include "component/interface.def"
#undef TMX_ADDRESS
#undef TMX_COUNT
#undef TMX_ROUTED_METHOD
#undef TMX_METHOD
#undef TMX_OUTGOING_Text
#undef TMX_OUTGOING_Long
#undef TMX_OUTGOING_Double
#undef TMX_OUTGOING
#undef TMX_EMULATION

}  // namespace tmxcnh::com
