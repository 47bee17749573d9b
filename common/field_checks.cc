#include "common/field_checks.h"

#include <mutex>

#include "common/method_trap.h"
#include "common/sql_values.h"
#include "platform/conversions.h"
#include "platform/operators.h"
#include "platform/run_time_error.h"
#include "platform/text.h"

namespace tmxcnh {
namespace {

class DecimalConverter : public NumberConverter {
 public:
  Variant Converte(Variant& value) override { return Variant::Double(ToDouble(value)); }
};

std::mutex& CreationMutex() {
  static std::mutex mutex;
  return mutex;
}

std::function<std::unique_ptr<NumberConverter>()>& Creation() {
  static std::function<std::unique_ptr<NumberConverter>()> create;
  return create;
}

// The check's own trap: the user sentence, and for user 1 the location, the
// error and the step; no SQL and no log row.
class RoutineTrap {
 public:
  RoutineTrap(const char* location, const char* user_sentence)
      : location_(location), user_sentence_(user_sentence) {}
  void Step(int number) { step_ = number; }
  void Handle(Variant& message, const Variant& user) const {
    RunTimeError error(0, "");
    try {
      throw;
    } catch (const RunTimeError& e) {
      error = e;
    } catch (const std::exception& e) {
      error = RunTimeError(kErrInvalidArgument, e.what());
    }
    std::string text = user_sentence_;
    if (IsTechnicalUser(user)) {
      text += std::string(location_) + error.description() + " : " +
              std::to_string(error.number()) + ")  " + " No Nº " + std::to_string(step_);
    }
    message = Variant(text);
  }

 private:
  const char* location_;
  const char* user_sentence_;
  int step_ = 0;
};

bool IsEmpty(const Variant& value) { return Equals(gTrata_Nulo(value), ""); }

enum class Kind { kWhole, kDecimal };

bool Check(Kind kind, Variant& caption, Variant& value, Variant& minimum, Variant& maximum,
           Variant& user, Variant& message, Variant& obligation) {
  const bool whole = kind == Kind::kWhole;
  RoutineTrap trap(whole ? " - QALCCA.gConsiste_Inteiro (" : " - QALCCA.gConsiste_Numero (",
                   whole ? "Acesso a consistência de campo inteiro não disponível. Favor tentar "
                           "mais tarde. "
                         : "Acesso a consistência de campo numérico não disponível. Favor tentar "
                           "mais tarde. ");
  try {
    trap.Step(whole ? 9010 : 9110);
    if (!IsEmpty(value)) value = Variant(gRetira_Caracteres(ToText(value)));
    trap.Step(whole ? 9020 : 9120);
    if (Equals(obligation, "N") && IsEmpty(value)) return true;
    trap.Step(whole ? 9030 : 9130);
    if (IsEmpty(value)) {
      message = Variant("Preencha " + ToText(caption));
      return false;
    }
    trap.Step(whole ? 9040 : 9140);
    if (text::InStr(1, ToText(value), ".") > 0) {
      message = Variant("O campo " + ToText(caption) +
                        " não permite a digitação de números com uso de separador de milhar(.)");
      return false;
    }
    trap.Step(whole ? 9050 : 9150);
    if (whole && text::InStr(ToText(value), ",") > 0) {
      message = Variant("O campo " + ToText(caption) +
                        " não permite a digitação de números com casas decimais(,)");
      return false;
    }
    trap.Step(whole ? 9060 : 9160);
    if (!IsNumeric(value)) {
      message = Variant("Preencha " + ToText(caption) + " com valor numérico");
      return false;
    }
    trap.Step(whole ? 9070 : 9170);
    const std::unique_ptr<NumberConverter> converter = CreateNumberConverter();
    trap.Step(whole ? 9080 : 9180);
    if (!IsEmpty(minimum)) {
      const Variant number = converter->Converte(value);
      if (Holds(CompareVariants(number, converter->Converte(minimum)), Relation::kLess)) {
        message = Variant(ToText(caption) + " deve ser igual ou maior que " + ToText(minimum));
        return false;
      }
    }
    trap.Step(whole ? 9090 : 9190);
    if (!IsEmpty(maximum)) {
      const Variant number = converter->Converte(value);
      if (Holds(CompareVariants(number, converter->Converte(maximum)), Relation::kGreater)) {
        message = Variant(ToText(caption) + " deve ser igual ou menor que " + ToText(maximum));
        return false;
      }
    }
    return true;
  } catch (...) {
    trap.Handle(message, user);
  }
  return false;
}

}  // namespace

std::unique_ptr<NumberConverter> CreateNumberConverter() {
  std::function<std::unique_ptr<NumberConverter>()> create;
  {
    std::lock_guard<std::mutex> lock(CreationMutex());
    create = Creation();
  }
  return create ? create() : std::make_unique<DecimalConverter>();
}

ScopedNumberConverter::ScopedNumberConverter(
    std::function<std::unique_ptr<NumberConverter>()> create) {
  std::lock_guard<std::mutex> lock(CreationMutex());
  Creation() = std::move(create);
}

ScopedNumberConverter::~ScopedNumberConverter() {
  std::lock_guard<std::mutex> lock(CreationMutex());
  Creation() = nullptr;
}

bool gConsiste_Inteiro(Variant& caption, Variant& value, Variant& minimum, Variant& maximum,
                       Variant& user, Variant& message, Variant& obligation) {
  return Check(Kind::kWhole, caption, value, minimum, maximum, user, message, obligation);
}

bool gConsiste_Numero(Variant& caption, Variant& value, Variant& minimum, Variant& maximum,
                      Variant& user, Variant& message, Variant& obligation) {
  return Check(Kind::kDecimal, caption, value, minimum, maximum, user, message, obligation);
}

}  // namespace tmxcnh
