#include "service/json_variant.h"

#include <gtest/gtest.h>

namespace tmxcnh {
namespace {

struct InputCase {
  const char* json;
  Variant expected;
};

TEST(JsonVariant, InputValuesTakeTheirSubtypes) {
  const InputCase cases[] = {
      {R"("ação")", Variant("ação")},
      {"-32768", Variant::Integer(-32768)},
      {"32768", Variant::Long(32768)},
      {"3000000000", Variant::Double(3000000000.0)},
      {"12.5", Variant::Double(12.5)},
      {"true", Variant::Boolean(true)},
      {"null", Variant::Null()},
      {R"([1, "a", null])", Variant::Array({Variant::Integer(1), "a", Variant::Null()})},
      {R"({"vt": "Long", "value": 7})", Variant::Long(7)},
      {R"({"vt": "Empty"})", Variant()},
      {R"({"vt": "Date", "value": "2004-03-05T12:00:00"})", Variant::Date(38051.5)},
      {R"({"vt": "String", "value": "12"})", Variant("12")},
  };
  for (const InputCase& c : cases) {
    EXPECT_EQ(JsonToVariant(nlohmann::json::parse(c.json)), c.expected) << c.json;
  }
}

TEST(JsonVariant, BadInputIsRefused) {
  for (const char* json :
       {R"({"value": 1})", R"({"vt": "Currency", "value": 1})",
        R"({"vt": "Date", "value": "ontem"})", R"({"vt": "Integer", "value": "x"})"}) {
    EXPECT_THROW(JsonToVariant(nlohmann::json::parse(json)), std::invalid_argument) << json;
  }
}

TEST(JsonVariant, OutputValuesNameTheirSubtypes) {
  EXPECT_EQ(VariantToJson(Variant::Date(38051.5)).dump(),
            R"({"value":"2004-03-05T12:00:00","vt":"Date"})");
  EXPECT_EQ(VariantToJson(Variant::Array({"a"})).dump(),
            R"({"value":[{"value":"a","vt":"String"}],"vt":"Array"})");
  // Every output value reads back as what it was.
  for (const Variant& v : {Variant::Long(70000), Variant::Double(0.5), Variant("não"),
                           Variant::Null(), Variant::Boolean(false), Variant::Date(38051.25)}) {
    EXPECT_EQ(JsonToVariant(VariantToJson(v)), v) << Describe(v);
  }
}

}  // namespace
}  // namespace tmxcnh
