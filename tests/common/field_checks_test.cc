#include "common/field_checks.h"

#include <gtest/gtest.h>

#include "platform/regional_settings.h"
#include "platform/run_time_error.h"

namespace tmxcnh {
namespace {

enum class Routine { kInteiro, kNumero };

struct Outcome {
  bool accepted;
  Variant value;    // as the caller's variable holds it afterwards
  Variant message;  // "intocada" when untouched
};

Outcome CheckField(Routine routine, Variant caption, Variant value, Variant minimum,
                   Variant maximum, Variant obligation, Variant user = Variant::Integer(5)) {
  Variant message = "intocada";
  const bool accepted =
      routine == Routine::kInteiro
          ? gConsiste_Inteiro(caption, value, minimum, maximum, user, message, obligation)
          : gConsiste_Numero(caption, value, minimum, maximum, user, message, obligation);
  return {accepted, value, message};
}

struct Case {
  Locale locale;
  Routine routine;
  Variant value;
  Variant minimum;
  Variant maximum;
  Variant obligation;
  bool accepted;
  Variant value_after;
  const char* message;
};

constexpr Locale kBr = Locale::kBrazil;
constexpr Locale kUs = Locale::kUnitedStates;
constexpr Routine kInt = Routine::kInteiro;
constexpr Routine kNum = Routine::kNumero;
const Variant kNone = "";
const Variant kZero = Variant::Integer(0);
const Variant kOne = Variant::Integer(1);

TEST(FieldChecks, OutcomesUnderBothLocales) {
  const char* untouched = "intocada";
  const char* kThousands =
      "O campo volume não permite a digitação de números com uso de separador de milhar(.)";
  const char* kDecimals = "O campo volume não permite a digitação de números com casas decimais(,)";
  const char* kNotNumeric = "Preencha volume com valor numérico";
  const char* kBelow1 = "volume deve ser igual ou maior que 1";
  const Case cases[] = {
      // Empty values and the obligation.
      {kBr, kInt, Variant::Null(), kOne, kNone, "N", true, Variant::Null(), untouched},
      {kBr, kNum, "", kZero, kNone, "N", true, "", untouched},
      {kBr, kInt, "   ", kOne, kNone, "N", true, "", untouched},  // blanks only: cleaned to ""
      {kBr, kInt, "", kOne, kNone, "S", false, "", "Preencha volume"},
      {kBr, kNum, "   ", kZero, kNone, "", false, "", "Preencha volume"},
      // The thousands point, the decimal comma, and the numeric test.
      {kBr, kInt, "1.234", kOne, kNone, "N", false, "1.234", kThousands},
      {kUs, kNum, "1.234", kZero, kNone, "N", false, "1.234", kThousands},
      {kBr, kInt, "12,5", kOne, kNone, "N", false, "12,5", kDecimals},
      {kUs, kInt, "12,5", kOne, kNone, "N", false, "12,5", kDecimals},
      {kBr, kNum, "12,5", kZero, kNone, "N", true, "12,5", untouched},
      {kUs, kNum, "12,5", kZero, kNone, "N", true, "12,5", untouched},  // reads as 125 there
      {kBr, kInt, "abc", kOne, kNone, "N", false, "abc", kNotNumeric},
      {kBr, kNum, "1,2,3", kZero, kNone, "N", false, "1,2,3", kNotNumeric},
      // The bounds, compared as numbers.
      {kBr, kInt, "0", kOne, kNone, "N", false, "0", kBelow1},
      {kBr, kNum, "-5", kZero, kNone, "N", false, "-5", "volume deve ser igual ou maior que 0"},
      {kBr, kNum, "0,5", kOne, kNone, "N", false, "0,5", kBelow1},
      {kBr, kNum, "0", kZero, kNone, "N", true, "0", untouched},
      {kBr, kInt, "9", kOne, "10", "N", true, "9", untouched},
      {kBr, kInt, "11", kOne, "10", "N", false, "11", "volume deve ser igual ou menor que 10"},
      {kBr, kInt, "10", kOne, Variant::Null(), "N", true, "10", untouched},  // no maximum
      // The value comes back cleaned, and as text.
      {kBr, kInt, "12'3", kOne, kNone, "N", true, "123", untouched},
      {kBr, kInt, Variant::Integer(5), kOne, kNone, "N", true, "5", untouched},
      {kBr, kNum, Variant::Double(12.5), kZero, kNone, "N", true, "12,5", untouched},
  };
  for (const Case& c : cases) {
    ScopedLocale locale(c.locale);
    const Outcome outcome =
        CheckField(c.routine, "volume", c.value, c.minimum, c.maximum, c.obligation);
    const std::string label = Describe(c.value) + (c.routine == kInt ? " inteiro" : " numero");
    EXPECT_EQ(outcome.accepted, c.accepted) << label;
    EXPECT_EQ(outcome.value, c.value_after) << label;
    EXPECT_EQ(outcome.message, Variant(c.message)) << label;
  }
}

class FailingConverter : public NumberConverter {
 public:
  Variant Converte(Variant&) override {
    throw RunTimeError(429, "O componente ActiveX não pode criar o objeto");
  }
};

TEST(FieldChecks, AFailingConverterEndsInTheRoutinesOwnTrap) {
  int created = 0;
  ScopedNumberConverter failing([&] {
    ++created;
    return std::make_unique<FailingConverter>();
  });
  const Outcome plain = CheckField(kInt, "volume", "3", kOne, kNone, "N");
  EXPECT_FALSE(plain.accepted);
  EXPECT_EQ(plain.message, Variant("Acesso a consistência de campo inteiro não disponível. Favor "
                                   "tentar mais tarde. "));
  const Outcome detailed = CheckField(kNum, "valor", "3", kZero, kNone, "N", Variant::Integer(1));
  EXPECT_EQ(detailed.message,
            Variant("Acesso a consistência de campo numérico não disponível. Favor tentar mais "
                    "tarde.  - QALCCA.gConsiste_Numero (O componente ActiveX não pode criar o "
                    "objeto : 429)   No Nº 9180"));
  // Created once per check that reaches the bounds, never before.
  CheckField(kInt, "volume", "abc", kOne, kNone, "N");
  CheckField(kInt, "volume", "", kOne, kNone, "N");
  EXPECT_EQ(created, 2);
}

TEST(FieldChecks, ANullCaptionRunsTheTrap) {
  EXPECT_EQ(CheckField(kInt, Variant::Null(), "", kOne, kNone, "S", Variant::Integer(1)).message,
            Variant("Acesso a consistência de campo inteiro não disponível. Favor tentar "
                    "mais tarde.  - QALCCA.gConsiste_Inteiro (Uso inválido de Nulo : 94)  "
                    " No Nº 9030"));
}

}  // namespace
}  // namespace tmxcnh
