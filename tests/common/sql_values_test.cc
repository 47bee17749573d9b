#include "common/sql_values.h"

#include <gtest/gtest.h>

#include "platform/regional_settings.h"
#include "platform/run_time_error.h"
#include "tests/error_number.h"

namespace tmxcnh {
namespace {

constexpr Locale kBr = Locale::kBrazil;
constexpr Locale kUs = Locale::kUnitedStates;

struct ValueCase {
  Locale locale;
  Variant value;
  Variant expected;
};

struct TextCase {
  Locale locale;
  Variant value;
  const char* expected;
};

using testing::ErrorNumberOf;

TEST(SqlValues, TheMachineDecimalSeparatorComesFromWritingOneHalf) {
  EXPECT_EQ(MachineDecimalSeparator(), ',');
  ScopedLocale us(kUs);
  EXPECT_EQ(MachineDecimalSeparator(), '.');
}

TEST(SqlValues, TrataNumero) {
  const ValueCase cases[] = {
      {kBr, Variant::Null(), Variant::Integer(0)},
      {kBr, Variant(), Variant::Integer(0)},
      {kBr, "", Variant::Integer(0)},
      {kBr, "0", "0"},  // a text, not the number
      {kBr, "12.5", "12,5"},
      {kBr, "12,5", "12,5"},
      {kBr, "1.234.567", "1.234.567"},
      {kBr, "1.234,5", "1,234,5"},  // one point: it becomes the decimal comma
      {kBr, Variant::Integer(7), Variant::Integer(7)},
      {kBr, Variant::Double(12.5), Variant::Double(12.5)},
      {kBr, "abc", "abc"},
      {kBr, "ação", "ação"},
      {kBr, Variant::Array({}), Variant::Integer(0)},  // its own trap answers 0
      {kUs, "12,5", "12.5"},
      {kUs, "12.5", "12.5"},
      {kUs, "1,234,567", "1,234,567"},
      {kUs, Variant::Double(12.5), Variant::Double(12.5)},
      {kUs, "", Variant::Integer(0)},
  };
  for (const ValueCase& c : cases) {
    ScopedLocale locale(c.locale);
    EXPECT_EQ(gTrata_Numero(c.value), c.expected) << Describe(c.value);
  }
}

TEST(SqlValues, FormataValor) {
  const Variant none = "";
  const ValueCase cases[] = {
      {kBr, Variant::Double(1234.5), "1234,50"},
      {kBr, Variant::Integer(12), "12,00"},
      {kBr, Variant::Double(12.5), "12,50"},
      {kBr, Variant::Double(12.345), "12,34"},  // cut, not rounded
      {kBr, Variant::Double(12.349), "12,34"},
      {kBr, Variant::Double(-0.5), "-0,50"},
      {kBr, "12,5", "12,50"},
      {kBr, "1250,75", "1250,75"},
      {kBr, "1234567890123,45", "1234567890,45"},  // the integer part keeps 10 characters
      {kBr, Variant::Integer(0), none},
      {kBr, "0", none},
      {kBr, Variant::Null(), none},
      {kBr, Variant(), none},
      {kBr, "", none},
      {kBr, "abc", Variant::Integer(0)},  // its comparison with zero fails; the trap answers 0
      {kUs, Variant::Double(1234.5), "1234,50"},  // always a comma
      {kUs, "12.5", "12,50"},
      {kUs, Variant::Double(0.125), "0,12"},
  };
  for (const ValueCase& c : cases) {
    ScopedLocale locale(c.locale);
    EXPECT_EQ(gFormata_Valor(c.value, none), c.expected) << Describe(c.value);
  }
  EXPECT_EQ(gFormata_Valor(Variant::Null(), Variant::Integer(9)), Variant::Integer(9));
}

TEST(SqlValues, DataSql) {
  const TextCase cases[] = {
      {kBr, "", "null"},
      {kBr, Variant::Null(), "null"},
      {kBr, Variant(), "null"},
      {kBr, Variant::Date(38051 + 14.5 / 24), "'2004/03/05 14:30'"},
      {kBr, "05/03/2004", "'2004/03/05 00:00'"},
      {kBr, "20/11/2003", "'2003/11/20 00:00'"},
      {kBr, "2004/03/05 14:30", "'2004/03/05 14:30'"},
      {kBr, "abc", "'abc'"},  // not a date: unchanged between quotes
      {kUs, "05/03/2004", "'2004/05/03 00:00'"},
      {kUs, "11/20/2003 2:30 PM", "'2003/11/20 14:30'"},
  };
  for (const TextCase& c : cases) {
    ScopedLocale locale(c.locale);
    EXPECT_EQ(gData_Sql(c.value), Variant(c.expected)) << Describe(c.value);
  }
}

TEST(SqlValues, TrataNuloKeepsSubtypes) {
  EXPECT_EQ(gTrata_Nulo(Variant::Null()), Variant(""));
  EXPECT_EQ(gTrata_Nulo(Variant::Long(5)), Variant::Long(5));
  EXPECT_EQ(gTrata_Nulo(Variant::Date(38051)), Variant::Date(38051));
  EXPECT_EQ(gTrata_Nulo(Variant()), Variant());
  EXPECT_EQ(gTrata_Nulo("x"), Variant("x"));
}

TEST(SqlValues, IdSql) {
  const ValueCase cases[] = {
      {kBr, Variant::Integer(0), "null"},
      {kBr, "0", "null"},
      {kBr, "abc", "null"},
      {kBr, "", "null"},
      {kBr, Variant(), "null"},
      {kBr, "0,5", "null"},
      {kBr, Variant::Double(0.5), "null"},  // its text 0,5 reads as 0
      {kBr, "12", "12"},
      {kBr, " 12", " 12"},
      {kBr, "12.5", "12.5"},
      {kBr, Variant::Integer(7), Variant::Integer(7)},
      {kBr, Variant::Double(12.5), Variant::Double(12.5)},
      {kUs, Variant::Double(0.5), Variant::Double(0.5)},  // its text 0.5 reads as 0.5
  };
  for (const ValueCase& c : cases) {
    ScopedLocale locale(c.locale);
    EXPECT_EQ(gId_Sql(c.value), c.expected) << Describe(c.value);
  }
  EXPECT_EQ(ErrorNumberOf([] { gId_Sql(Variant::Null()); }), kErrInvalidUseOfNull);
}

TEST(SqlValues, TextoSql) {
  const TextCase cases[] = {
      {kBr, "abc", "'abc'"},
      {kBr, "d'água", "'d'água'"},  // the quote stays inside
      {kBr, "", "null"},
      {kBr, Variant::Null(), "null"},
      {kBr, Variant(), "null"},
      {kBr, Variant::Integer(5), "'5'"},
      {kBr, Variant::Double(12.5), "'12,5'"},
      {kUs, Variant::Double(12.5), "'12.5'"},
  };
  for (const TextCase& c : cases) {
    ScopedLocale locale(c.locale);
    EXPECT_EQ(gTexto_Sql(c.value), Variant(c.expected)) << Describe(c.value);
  }
}

TEST(SqlValues, TrocaVirgulaPonto) {
  const std::pair<const char*, const char*> cases[] = {
      {"12,5", "12.5"}, {"1.234,56", "1.234.56"}, {"", ""}, {",,", ".."}, {"ação,1", "ação.1"}};
  for (const auto& [text, expected] : cases) {
    std::string result = "previous";
    EXPECT_TRUE(gTroca_Virgula_Ponto(text, result));
    EXPECT_EQ(result, expected);
  }
}

TEST(SqlValues, RetiraCaracteres) {
  const std::pair<const char*, const char*> cases[] = {
      {"a'b(c)", "abc"},  {"   ", ""},
      {"", ""},           {"<x>;%&+\"", "x"},
      {" a b ", " a b "}, {"12;3", "123"},
      {"não é", "não é"}, {"5; drop table x", "5 drop table x"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(gRetira_Caracteres(text), expected) << text;
}

struct ConditionCase {
  Locale locale;
  Variant value;
  const char* op;
  const char* expected;
};

TEST(SqlValues, CondicaoNumeroSql) {
  const ConditionCase cases[] = {
      {kBr, Variant::Integer(0), "=", " is null"},
      {kBr, Variant::Integer(0), "<>", " is not null"},
      {kBr, Variant::Integer(0), "", " null"},
      {kBr, Variant::Integer(0), ">", " null"},
      {kBr, Variant::Integer(12), "", "  12"},
      {kBr, Variant::Integer(12), "=", " = 12"},
      {kBr, "12", "<>", " <> 12"},
      {kBr, "abc", "=", " is null"},
      {kBr, "", "=", " is null"},
      {kBr, Variant::Double(12.5), "", "  12,5"},  // the machine's text of the number
      {kUs, Variant::Double(12.5), "", "  12.5"},
  };
  for (const ConditionCase& c : cases) {
    ScopedLocale locale(c.locale);
    EXPECT_EQ(gCondicao_Numero_Sql(c.value, c.op), Variant(c.expected)) << Describe(c.value);
  }
  EXPECT_EQ(ErrorNumberOf([] { gCondicao_Numero_Sql(Variant::Null(), "="); }),
            kErrInvalidUseOfNull);
}

TEST(SqlValues, CondicaoTextoSql) {
  const ConditionCase cases[] = {
      {kBr, "", "=", " is null"},
      {kBr, "", "<>", " is not null"},
      {kBr, "", "", " null"},
      {kBr, Variant::Null(), "=", " is null"},
      {kBr, Variant(), "<>", " is not null"},
      {kBr, "X", "=", " = 'X'"},
      {kBr, "ab", "", "  'ab'"},
      {kBr, "São Paulo", "like", " like 'São Paulo'"},
      {kBr, Variant::Integer(0), "=", " = '0'"},  // a number is never the empty text
  };
  for (const ConditionCase& c : cases) {
    ScopedLocale locale(c.locale);
    EXPECT_EQ(gCondicao_Texto_Sql(c.value, c.op), Variant(c.expected)) << Describe(c.value);
  }
}

}  // namespace
}  // namespace tmxcnh
