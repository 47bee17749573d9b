#include "service/json_variant.h"

#include <gtest/gtest.h>

#include "tests/support/table_file.h"

namespace tmxcnh {
namespace {

TEST(JsonVariant, InputValuesTakeTheirSubtypesOrAreRefused) {
  for (const testing::TableRow& row : testing::ReadTableFile("cli/json_values.txt", 2, 2)) {
    const nlohmann::json json = nlohmann::json::parse(row[0]);
    if (row[1] == "refused") {
      EXPECT_THROW(JsonToVariant(json), std::invalid_argument) << row.where;
    } else {
      EXPECT_EQ(JsonToVariant(json), row.Value(1)) << row.where;
      // And back as what it was.
      EXPECT_EQ(JsonToVariant(VariantToJson(row.Value(1))), row.Value(1)) << row.where;
    }
  }
  EXPECT_EQ(JsonToVariant(nlohmann::json::parse(R"([1, "a", null])")),
            Variant::Array({Variant::Integer(1), "a", Variant::Null()}));
}

TEST(JsonVariant, OutputValuesNameTheirSubtypes) {
  EXPECT_EQ(VariantToJson(Variant::Date(38051.5)).dump(),
            R"({"value":"2004-03-05T12:00:00","vt":"Date"})");
  EXPECT_EQ(VariantToJson(Variant::Array({"a"})).dump(),
            R"({"value":[{"value":"a","vt":"String"}],"vt":"Array"})");
}

}  // namespace
}  // namespace tmxcnh
