#include "platform/variant.h"

#include <gtest/gtest.h>

#include "platform/conversions.h"
#include "platform/run_time_error.h"
#include "tests/error_number.h"

namespace tmxcnh {
namespace {

class Connection : public AutomationObject {
 public:
  explicit Connection(std::string text) : text_(std::move(text)) {}
  std::string DefaultProperty() const override { return text_; }

 private:
  std::string text_;
};

using testing::ErrorNumberOf;

TEST(Variant, IdentityNeedsTheSameSubtype) {
  EXPECT_EQ(Variant::Integer(0), Variant::Integer(0));
  EXPECT_NE(Variant::Integer(0), Variant::Long(0));
  EXPECT_NE(Variant::Double(38051), Variant::Date(38051));
  EXPECT_NE(Variant(), Variant(""));
  EXPECT_EQ(Variant::Array({"a", Variant::Integer(1)}), Variant::Array({"a", Variant::Integer(1)}));
}

TEST(Variant, ReDimMakesEmptyElementsFromZeroAndIndexesAreChecked) {
  Variant list = "not yet an array";
  list.ReDim(2);
  ASSERT_EQ(list.UBound(), 2);
  EXPECT_TRUE(list.At(0).IsEmpty());
  list.At(0) = "antigo";
  list.ReDim(0);  // old contents are discarded
  EXPECT_EQ(list.UBound(), 0);
  EXPECT_TRUE(list.At(0).IsEmpty());
  list.ReDim(-1);
  EXPECT_EQ(list.UBound(), -1);
  EXPECT_EQ(ErrorNumberOf([&] { list.ReDim(-2); }), kErrSubscriptOutOfRange);
  list = Variant::Array({"a", "b"});
  EXPECT_EQ(ErrorNumberOf([&] { list.At(2); }), kErrSubscriptOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { list.At(-1); }), kErrSubscriptOutOfRange);
  Variant text = "abc";
  EXPECT_EQ(ErrorNumberOf([&] { text.At(0); }), kErrTypeMismatch);
  EXPECT_EQ(ErrorNumberOf([&] { text.UBound(); }), kErrTypeMismatch);
}

TEST(Variant, CopiesOfArraysAreIndependent) {
  Variant original = Variant::Array({"a", Variant::Array({"inner"})});
  Variant copy = original;
  copy.At(0) = "changed";
  copy.At(1).At(0) = "changed too";
  EXPECT_EQ(original.At(0), Variant("a"));
  EXPECT_EQ(original.At(1).At(0), Variant("inner"));
  Variant assigned;
  assigned = original;
  EXPECT_EQ(assigned, original);
}

TEST(Variant, DescribeNamesSubtypeAndValue) {
  EXPECT_EQ(Describe(Variant::Integer(10)), "Integer 10");
  EXPECT_EQ(Describe(Variant("ação")), "String \"ação\"");
  EXPECT_EQ(Describe(Variant::Date(38051.5)), "Date 2004-03-05T12:00:00");
  EXPECT_EQ(Describe(Variant::Array({Variant::Null(), Variant::Boolean(false)})),
            "Array [Null, Boolean False]");
  // An object reads as its default property.
  const Variant connection =
      Variant::Object(std::make_shared<Connection>("Driver=SQLite3;Database=/tmp/x.db"));
  EXPECT_EQ(ToText(connection), "Driver=SQLite3;Database=/tmp/x.db");
  EXPECT_EQ(Describe(connection), "Object \"Driver=SQLite3;Database=/tmp/x.db\"");
}

}  // namespace
}  // namespace tmxcnh
