#include "common/field_checks.h"

#include <gtest/gtest.h>

#include "platform/regional_settings.h"
#include "platform/run_time_error.h"
#include "tests/support/table_file.h"

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

const Variant kNone = "";
const Variant kZero = Variant::Integer(0);
const Variant kOne = Variant::Integer(1);
constexpr Routine kInt = Routine::kInteiro;
constexpr Routine kNum = Routine::kNumero;

TEST(FieldChecks, OutcomesUnderBothLocales) {
  for (const testing::TableRow& row : testing::ReadTableFile("common/field_checks.txt", 9, 9)) {
    ScopedLocale locale(row[0] == "0409" ? Locale::kUnitedStates : Locale::kBrazil);
    const Outcome outcome = CheckField(row[1] == "Inteiro" ? kInt : kNum, "volume", row.Value(2),
                                       row.Value(3), row.Value(4), row.Value(5));
    EXPECT_EQ(Variant::Boolean(outcome.accepted), row.Value(6)) << row.where;
    EXPECT_EQ(outcome.value, row.Value(7)) << row.where;
    EXPECT_EQ(outcome.message, row.Value(8)) << row.where;
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
