#include "common/sql_values.h"

#include <gtest/gtest.h>

#include "platform/conversions.h"
#include "platform/regional_settings.h"
#include "platform/run_time_error.h"
#include "tests/error_number.h"
#include "tests/platform/oracle_literals.h"

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

// Each row: the routine and locale (0416 pt-BR, 0409 en-US), then its cases
// as the oracle transcript writes values (E Empty, N Null, S: text, I2: ...);
// " | " and " => " take one blank each side, so a value keeps its own.
TEST(SqlValues, AnswersUnderBothLocales) {
  for (const testing::ValueCase& c : testing::ReadValueTable({
           // A text with one foreign decimal separator gets the machine's.
           "Trata_Numero 0416 | N => I2:0 | E => I2:0 | S: => I2:0 | S:0 => S:0",
           "Trata_Numero 0416 | S:12.5 => S:12,5 | S:12,5 => S:12,5 | S:ação => S:ação",
           "Trata_Numero 0416 | S:1.234.567 => S:1.234.567 | S:1.234,5 => S:1,234,5",
           "Trata_Numero 0416 | I2:7 => I2:7 | R8:12.5 => R8:12.5 | S:1..5 => S:1..5",
           "Trata_Numero 0409 | S:12,5 => S:12.5 | S:12.5 => S:12.5 | S: => I2:0",
           "Trata_Numero 0409 | S:1,234,567 => S:1,234,567",
           // Always a comma; two decimals cut, not rounded; 10 characters before them.
           "Formata_Valor 0416 | R8:1234.5 => S:1234,50 | I2:12 => S:12,00 | R8:-0.5 => S:-0,50",
           "Formata_Valor 0416 | R8:12.345 => S:12,34 | R8:12.349 => S:12,34",
           "Formata_Valor 0416 | S:12,5 => S:12,50 | S:1250,75 => S:1250,75",
           "Formata_Valor 0416 | S:1234567890123,45 => S:1234567890,45",
           "Formata_Valor 0416 | I2:0 => S: | S:0 => S: | N => S: | E => S:",
           // Its comparison with zero fails: its trap answers 0.
           "Formata_Valor 0416 | S:abc => I2:0",
           "Formata_Valor 0409 | R8:1234.5 => S:1234,50 | S:12.5 => S:12,50 | R8:0.125 => S:0,12",
           "Data_Sql 0416 | S: => S:null | N => S:null | E => S:null",
           "Data_Sql 0416 | D:2004-03-05T14:30:00 => S:'2004/03/05 14:30'",
           "Data_Sql 0416 | S:05/03/2004 => S:'2004/03/05 00:00'",
           "Data_Sql 0416 | S:2004/03/05 14:30 => S:'2004/03/05 14:30' | S:abc => S:'abc'",
           "Data_Sql 0409 | S:05/03/2004 => S:'2004/05/03 00:00'",
           "Data_Sql 0409 | S:11/20/2003 2:30 PM => S:'2003/11/20 14:30'",
           "Trata_Nulo 0416 | N => S: | I4:5 => I4:5 | D:2004-03-05 => D:2004-03-05 | E => E",
           // The leading number of the value's text decides: 0,5 reads as 0, 0.5 as 0.5.
           "Id_Sql 0416 | I2:0 => S:null | S:0 => S:null | S:abc => S:null | S: => S:null",
           "Id_Sql 0416 | E => S:null | S:0,5 => S:null | R8:0.5 => S:null | S: 12 => S: 12",
           "Id_Sql 0416 | S:12.5 => S:12.5 | I2:7 => I2:7", "Id_Sql 0409 | R8:0.5 => R8:0.5",
           "Texto_Sql 0416 | S:d'água => S:'d'água' | S: => S:null | N => S:null | E => S:null",
           "Texto_Sql 0416 | I2:5 => S:'5' | R8:12.5 => S:'12,5'",
           "Texto_Sql 0409 | R8:12.5 => S:'12.5'",
           "Troca_Virgula_Ponto 0416 | S:1.234,56 => S:1.234.56 | S: => S: | S:ação,1 => S:ação.1",
           "Retira_Caracteres 0416 | S:a'b(c) => S:abc | S:    => S: | S:<x>;%&+\" => S:x",
           "Retira_Caracteres 0416 | S: a b  => S: a b  | S:5; drop table x => S:5 drop table x",
           // The operator after the colon; a value that reads as 0 is a null form.
           "Condicao_Numero:= 0416 | I2:0 => S: is null | S:abc => S: is null | S: => S: is null",
           "Condicao_Numero:<> 0416 | I2:0 => S: is not null | S:12 => S: <> 12",
           "Condicao_Numero: 0416 | I2:0 => S: null | I2:12 => S:  12 | R8:12.5 => S:  12,5",
           "Condicao_Numero:> 0416 | I2:0 => S: null", "Condicao_Numero:= 0416 | I2:12 => S: = 12",
           "Condicao_Numero: 0409 | R8:12.5 => S:  12.5",
           "Condicao_Texto:= 0416 | S: => S: is null | N => S: is null | S:X => S: = 'X'",
           "Condicao_Texto:<> 0416 | S: => S: is not null | E => S: is not null",
           "Condicao_Texto: 0416 | S: => S: null | S:ab => S:  'ab'",
           "Condicao_Texto:like 0416 | S:São Paulo => S: like 'São Paulo'",
           "Condicao_Texto:= 0416 | I2:0 => S: = '0'",  // a number is never the empty text
       })) {
    const size_t space = c.label.find(' ');
    ScopedLocale locale(c.label.substr(space + 1) == "0409" ? kUs : kBr);
    EXPECT_EQ(Apply(c.label.substr(0, space), c.value), c.answer)
        << c.label << ": " << Describe(c.value);
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
