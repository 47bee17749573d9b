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
void Check(HRESULT hr) {
  if (FAILED(hr)) throw RunTimeError(static_cast<int32_t>(hr), "Erro de automação");
}

void Check(HRESULT hr, const char* what) {
  if (FAILED(hr)) throw RunTimeError(static_cast<int32_t>(hr), what);
}

// Whether the callee stored a new value: it writes every parameter it
// changes as a freshly made VARIANT.
bool Rewritten(const VARIANT& sent, const VARIANT& now) {
  return std::memcmp(&sent, &now, sizeof(VARIANT)) != 0;
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

  // Only what the callee wrote comes back.
  void ReadBack() {
    for (size_t i = 0; i < values_.size(); ++i) {
      if (!Rewritten(sent_[i], variants_[i])) continue;
      Check(ReadVariant(variants_[i], *values_[i]), "Tipos incompatíveis");
    }
  }

 private:
  std::vector<Variant*> values_;
  std::vector<VARIANT> variants_;  // owned
  std::vector<VARIANT> sent_;      // their bytes as sent, owning nothing
};

// The arguments that every emulation shares: the kind and connection texts,
// the SQL text it writes, the caller's message and the internet user.
class EmulationArguments {
 public:
  EmulationArguments(const std::string& kind, const std::string& connection, const std::string& sql,
                     const Variant& message, const Variant& user)
      : kind_(kind), connection_(connection), sql_(sql) {
    Check(MakeVariant(message, *message_.get()), "Tipos incompatíveis");
    Check(MakeVariant(user, *user_.get()), "Tipos incompatíveis");
    sent_message_ = *message_;
  }

  BSTR kind() const { return kind_.get(); }
  BSTR connection() const { return connection_.get(); }
  BSTR* sql() { return sql_.Address(); }
  VARIANT* message() { return message_.get(); }
  VARIANT* user() { return user_.get(); }
  VARIANT_BOOL* result() { return &result_; }

  // The emulation's answer, after its SQL text and (when it wrote one) its
  // message are copied back.
  bool Finish(HRESULT hr, std::string& sql, Variant& message) {
    Check(hr);
    sql = sql_.Utf8();
    if (Rewritten(sent_message_, *message_)) {
      Check(ReadVariant(*message_, message), "Tipos incompatíveis");
    }
    return result_ != VARIANT_FALSE;
  }

 private:
  Bstr kind_;
  Bstr connection_;
  Bstr sql_;
  OwnedVariant message_;
  OwnedVariant user_;
  VARIANT sent_message_{};
  VARIANT_BOOL result_ = VARIANT_FALSE;
};

// A whole number passed by reference: a LONG in the table, an int32_t here.
// What the callee leaves in it is copied back when the argument goes, after
// the call.
class LongArgument {
 public:
  explicit LongArgument(int32_t& target) : target_(target), value_(target) {}
  ~LongArgument() { target_ = value_; }
  LongArgument(const LongArgument&) = delete;
  LongArgument& operator=(const LongArgument&) = delete;

  LONG* get() { return &value_; }

 private:
  int32_t& target_;
  LONG value_;
};

// An emulation's own argument as the table takes it.
Bstr Outgoing(const std::string& text) { return Bstr(text); }
LongArgument Outgoing(int32_t& number) { return LongArgument(number); }
class DoubleArgument {
 public:
  explicit DoubleArgument(double& value) : value_(value) {}
  DOUBLE* get() { return &value_; }

 private:
  double& value_;
};
DoubleArgument Outgoing(double& number) { return DoubleArgument(number); }

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
#define TMX_OUTGOING(type, name) , Outgoing(name).get()
#define TMX_EMULATION(name)                                                                \
  bool RoutedCnh::name(TMX_EMULATION_PARAMETERS(name)) {                                   \
    EmulationArguments common(kind, connection, statement, caller_message, internet_user); \
    return common.Finish(                                                                  \
        self_->name(common.kind(), common.connection() TMX_ARGUMENTS_##name(TMX_OUTGOING), \
                    common.sql(), common.message(), common.user(), common.result()),       \
        statement, caller_message);                                                        \
  }
#include "component/interface.def"
#undef TMX_ADDRESS
#undef TMX_COUNT
#undef TMX_ROUTED_METHOD
#undef TMX_METHOD
#undef TMX_OUTGOING
#undef TMX_EMULATION

}  // namespace tmxcnh::com
