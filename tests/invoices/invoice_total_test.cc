#include <gtest/gtest.h>

#include "platform/regional_settings.h"
#include "tests/support/method_call.h"

namespace tmxcnh {
namespace {

using testing::CallMethod;
using testing::MethodCall;

MethodCall Total(Variant count, Variant values, Variant start, Variant user = Variant::Integer(5)) {
  return CallMethod("gSoma_Nota_Fiscal", {{"invntUsuario_internet_id", user},
                                          {"invntQtde_Notas", count},
                                          {"inarrvntVal_Declarado", values},
                                          {"outvntValor_Total_NF", start},
                                          {"outvntMsg_Ret", "intocada"}});
}

struct Case {
  Locale locale;
  Variant count;
  Variant values;
  Variant start;
  Variant result;
  Variant total;
  const char* message;
};

TEST(InvoiceTotal, Outcomes) {
  const Locale br = Locale::kBrazil;
  const Variant two = Variant::Integer(2);
  const Variant ok = Variant::Integer(0);
  const Variant refused = Variant::Integer(10);
  const char* untouched = "intocada";
  const Case cases[] = {
      {br, two, Variant::Array({"10,50", "2,25"}), Variant(), ok, "12,75", untouched},
      {br, two, Variant::Array({"10,50", "2,25"}), Variant::Integer(100), ok, "112,75", untouched},
      {br, two, Variant::Array({"10,50", "2,25"}), Variant::Double(0.5), ok, "13,25", untouched},
      // A starting total typed as text is read as the number it stands for.
      {br, two, Variant::Array({"10,50", "2,25"}), "100", ok, "112,75", untouched},
      {br, two, Variant::Array({"10,50", "2,25"}), "", ok, "12,75", untouched},
      {br, Variant::Integer(0), Variant::Array({}), Variant::Double(7), ok, "7,00", untouched},
      {br, Variant::Integer(0), Variant::Array({}), Variant(), ok, "", untouched},
      {br, two, Variant::Array({"", Variant::Null()}), Variant(), ok, "", untouched},
      {br, Variant::Integer(3), Variant::Array({"1", "1.000,00", "2"}), Variant(), refused,
       Variant::Double(1),  // the partial sum, unformatted
       "O campo Nota fiscal não permite a digitação de números com uso de separador de milhar(.)"},
      {br, two, Variant::Array({"-5", "1"}), Variant(), refused, Variant(),
       "Nota fiscal deve ser igual ou maior que 0"},
      {br, two, Variant::Array({"abc", "1"}), Variant(), refused, Variant(),
       "Preencha Nota fiscal com valor numérico"},
      // A refused first value leaves a starting total as the caller typed it.
      {br, two, Variant::Array({"-5", "1"}), "", refused, "",
       "Nota fiscal deve ser igual ou maior que 0"},
      // Under US settings the foreign comma is brought to the point before the sum.
      {Locale::kUnitedStates, two, Variant::Array({"10,50", "2,25"}), Variant(), ok, "12,75",
       untouched},
      {Locale::kUnitedStates, two, Variant::Array({"10,50", "2,25"}), "100", ok, "112,75",
       untouched},
  };
  for (const Case& c : cases) {
    ScopedLocale locale(c.locale);
    const MethodCall call = Total(c.count, c.values, c.start);
    EXPECT_EQ(call.result, c.result) << Describe(c.values);
    EXPECT_EQ(call["outvntValor_Total_NF"], c.total) << Describe(c.values);
    EXPECT_EQ(call["outvntMsg_Ret"], Variant(c.message)) << Describe(c.values);
  }
}

TEST(InvoiceTotal, TheCheckCleansTheCallersArray) {
  const MethodCall call =
      Total(Variant::Integer(2), Variant::Array({"10'50", Variant::Integer(2)}), Variant());
  EXPECT_EQ(call.result, Variant::Integer(0));
  EXPECT_EQ(call["inarrvntVal_Declarado"], Variant::Array({"1050", "2"}));
  EXPECT_EQ(call["outvntValor_Total_NF"], Variant("1052,00"));
}

TEST(InvoiceTotal, ErrorsEndInItsTrapWithoutSqlOrLog) {
  struct Case {
    Variant count;
    Variant values;
    const char* detail;
  };
  const Case cases[] = {
      {Variant::Integer(3), Variant::Array({"1", "2"}),
       " TMXCNH.gSoma_Nota_Fiscal ( Subscrito fora do intervalo : 9)   no nº 7030"},
      {Variant::Long(40000), Variant::Array({"1"}),
       " TMXCNH.gSoma_Nota_Fiscal ( Estouro : 6)   no nº 7020"},
      {Variant::Integer(1), "não é uma lista",
       " TMXCNH.gSoma_Nota_Fiscal ( Tipos incompatíveis : 13)   no nº 7030"},
  };
  const std::string sentence =
      "Acesso a função não disponível; gSoma_Nota_Fiscal. Favor tentar mais tarde.";
  for (const Case& c : cases) {
    const MethodCall shown = Total(c.count, c.values, Variant(), Variant::Integer(1));
    EXPECT_EQ(shown.result, Variant::Integer(10));
    EXPECT_EQ(shown["outvntMsg_Ret"], Variant(sentence + c.detail));
    EXPECT_EQ(Total(c.count, c.values, Variant())["outvntMsg_Ret"], Variant(sentence));
  }
}

}  // namespace
}  // namespace tmxcnh
