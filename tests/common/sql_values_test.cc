#include "common/sql_values.h"

#include <gtest/gtest.h>

#include "platform/conversions.h"
#include "platform/regional_settings.h"
#include "platform/run_time_error.h"
#include "tests/error_number.h"
#include "tests/support/table_file.h"

namespace tmxcnh {
namespace {

using testing::ErrorNumberOf;

constexpr Locale kBr = Locale::kBrazil;
constexpr Locale kUs = Locale::kUnitedStates;

// A routine by its name without the "g"; the conditions take their operator
// after a colon ("Condicao_Numero:<>").
Variant Apply(const std::string& routine, const Variant& value) {
  const std::string name = routine.substr(0, routine.find(':'));
  const std::string op = name.size() < routine.size() ? routine.substr(name.size() + 1) : "";
  if (name == "Trata_Numero") return gTrata_Numero(value);
  if (name == "Formata_Valor") return gFormata_Valor(value, Variant(""));
  if (name == "Data_Sql") return gData_Sql(value);
  if (name == "Trata_Nulo") return gTrata_Nulo(value);
  if (name == "Id_Sql") return gId_Sql(value);
  if (name == "Texto_Sql") return gTexto_Sql(value);
  if (name == "Retira_Caracteres") return Variant(gRetira_Caracteres(ToText(value)));
  if (name == "Condicao_Numero") return gCondicao_Numero_Sql(value, op);
  if (name == "Condicao_Texto") return gCondicao_Texto_Sql(value, op);
  std::string result = "previous";
  const bool done = gTroca_Virgula_Ponto(ToText(value), result);
  return done ? Variant(result) : Variant::Boolean(false);
}

TEST(SqlValues, AnswersUnderBothLocales) {
  for (const testing::ValueCase& c : testing::ReadValueTable("common/sql_values.txt")) {
    const size_t space = c.label.find(' ');
    ScopedLocale locale(c.label.substr(space + 1) == "0409" ? kUs : kBr);
    EXPECT_EQ(Apply(c.label.substr(0, space), c.value), c.answer)
        << c.where << ": " << c.label << ": " << Describe(c.value);
  }
}

TEST(SqlValues, EdgesOutsideTheTable) {
  EXPECT_EQ(MachineDecimalSeparator(), ',');  // found by writing one half
  EXPECT_EQ(gFormata_Valor(Variant::Null(), Variant::Integer(9)), Variant::Integer(9));
  EXPECT_EQ(gTrata_Numero(Variant::Array({})), Variant::Integer(0));  // its own trap answers 0
  EXPECT_EQ(ErrorNumberOf([] { gId_Sql(Variant::Null()); }), kErrInvalidUseOfNull);
  EXPECT_EQ(ErrorNumberOf([] { gCondicao_Numero_Sql(Variant::Null(), "="); }),
            kErrInvalidUseOfNull);
  ScopedLocale us(kUs);
  EXPECT_EQ(MachineDecimalSeparator(), '.');
}

}  // namespace
}  // namespace tmxcnh
