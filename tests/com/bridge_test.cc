// The bridge between VARIANTs and Variants, on its own: what each VARIANT
// becomes inside, and what each Variant becomes outside.
#include <cmath>

#include "com/variant_bridge.h"
#include "platform/run_time_error.h"
#include "tests/com/com_test_support.h"

namespace tmxcnh::com {
namespace {

using testing::ComTest;
using testing::DefaultPropertyObject;
using testing::NewBstr;

Variant Read(const VARIANT& value) {
  Variant out = "não lido";
  EXPECT_HRESULT_SUCCEEDED(ReadVariant(value, out));
  return out;
}

class BridgeTest : public ComTest {
 protected:
  void TearDown() override {
    VariantClear(&value_);
    ComTest::TearDown();
  }
  VARIANT value_{};
};

TEST_F(BridgeTest, TheVariantSubtypesKeepTheirType) {
  V_VT(&value_) = VT_I2;
  V_I2(&value_) = -7;
  EXPECT_EQ(Read(value_), Variant::Integer(-7));
  V_VT(&value_) = VT_I4;
  V_I4(&value_) = 70000;
  EXPECT_EQ(Read(value_), Variant::Long(70000));
  V_VT(&value_) = VT_R8;
  V_R8(&value_) = 12.5;
  EXPECT_EQ(Read(value_), Variant::Double(12.5));
  V_VT(&value_) = VT_DATE;
  V_DATE(&value_) = 37945.5;
  EXPECT_EQ(Read(value_), Variant::Date(37945.5));
  V_VT(&value_) = VT_BOOL;
  V_BOOL(&value_) = VARIANT_TRUE;
  EXPECT_EQ(Read(value_), Variant::Boolean(true));
  V_VT(&value_) = VT_NULL;
  EXPECT_EQ(Read(value_), Variant::Null());
  V_VT(&value_) = VT_EMPTY;
  EXPECT_EQ(Read(value_), Variant());
}

TEST_F(BridgeTest, TextIsUtf8InsideAndUtf16Outside) {
  V_VT(&value_) = VT_BSTR;
  V_BSTR(&value_) = SysAllocString(L"Gravação d'água nº 5 \u20ac");
  EXPECT_EQ(Read(value_), Variant("Gravação d'água nº 5 €"));

  VARIANT made;
  ASSERT_HRESULT_SUCCEEDED(MakeVariant(Variant("Ação: 1,5 €"), made));
  ASSERT_EQ(V_VT(&made), VT_BSTR);
  EXPECT_STREQ(V_BSTR(&made), L"Ação: 1,5 \u20ac");
  EXPECT_EQ(SysStringLen(V_BSTR(&made)), 11u);
  VariantClear(&made);
}

TEST_F(BridgeTest, AnEmbeddedNulSurvivesTheCrossing) {
  V_VT(&value_) = VT_BSTR;
  V_BSTR(&value_) = SysAllocStringLen(L"a\0b", 3);
  EXPECT_EQ(Read(value_), Variant(std::string("a\0b", 3)));
}

TEST_F(BridgeTest, OtherNumbersBecomeTheNearestSubtype) {
  V_VT(&value_) = VT_UI1;
  V_UI1(&value_) = 200;
  EXPECT_EQ(Read(value_), Variant::Integer(200));
  V_VT(&value_) = VT_I1;
  V_I1(&value_) = -5;
  EXPECT_EQ(Read(value_), Variant::Integer(-5));
  V_VT(&value_) = VT_UI2;
  V_UI2(&value_) = 65000;
  EXPECT_EQ(Read(value_), Variant::Long(65000));
  V_VT(&value_) = VT_I8;
  V_I8(&value_) = 123;
  EXPECT_EQ(Read(value_), Variant::Long(123));
  V_VT(&value_) = VT_I8;
  V_I8(&value_) = 5000000000LL;
  EXPECT_EQ(Read(value_), Variant::Double(5000000000.0));
  V_VT(&value_) = VT_UI4;
  V_UI4(&value_) = 4000000000u;
  EXPECT_EQ(Read(value_), Variant::Double(4000000000.0));
  V_VT(&value_) = VT_R4;
  V_R4(&value_) = 0.5f;
  EXPECT_EQ(Read(value_), Variant::Double(0.5));
  V_VT(&value_) = VT_CY;
  V_CY(&value_).int64 = 12345678;  // 1234.5678
  EXPECT_EQ(Read(value_), Variant::Double(1234.5678));
  ASSERT_HRESULT_SUCCEEDED(VarDecFromR8(99.25, &V_DECIMAL(&value_)));
  V_VT(&value_) = VT_DECIMAL;
  EXPECT_EQ(Read(value_), Variant::Double(99.25));
}

TEST_F(BridgeTest, AReferenceIsFollowed) {
  VARIANT inner{};
  V_VT(&inner) = VT_BSTR;
  V_BSTR(&inner) = SysAllocString(L"dentro");
  V_VT(&value_) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&value_) = &inner;
  EXPECT_EQ(Read(value_), Variant("dentro"));

  LONG number = 42;
  VARIANT typed{};
  V_VT(&typed) = VT_BYREF | VT_I4;
  V_I4REF(&typed) = &number;
  EXPECT_EQ(Read(typed), Variant::Long(42));
  VariantClear(&inner);
  V_VT(&value_) = VT_EMPTY;
}

TEST_F(BridgeTest, ArraysOfOneDimensionStartAtZeroInside) {
  SAFEARRAYBOUND bound{3, 1};  // elements 1 to 3
  SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 1, &bound);
  for (LONG i = 1; i <= 3; ++i) {
    VARIANT element{};
    V_VT(&element) = VT_I4;
    V_I4(&element) = i * 10;
    ASSERT_HRESULT_SUCCEEDED(SafeArrayPutElement(array, &i, &element));
  }
  V_VT(&value_) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&value_) = array;
  EXPECT_EQ(Read(value_),
            Variant::Array({Variant::Long(10), Variant::Long(20), Variant::Long(30)}));
}

TEST_F(BridgeTest, TypedArraysAndNestedArraysAreRead) {
  SAFEARRAY* texts = SafeArrayCreateVector(VT_BSTR, 0, 2);
  LONG index = 0;
  BSTR first = SysAllocString(L"um");
  ASSERT_HRESULT_SUCCEEDED(SafeArrayPutElement(texts, &index, first));
  SysFreeString(first);
  V_VT(&value_) = VT_ARRAY | VT_BSTR;
  V_ARRAY(&value_) = texts;
  EXPECT_EQ(Read(value_), Variant::Array({Variant("um"), Variant("")}));

  VARIANT made;
  const Variant nested = Variant::Array({Variant::Array({Variant::Integer(1)}), Variant::Null()});
  ASSERT_HRESULT_SUCCEEDED(MakeVariant(nested, made));
  EXPECT_EQ(Read(made), nested);
  VariantClear(&made);
}

TEST_F(BridgeTest, WhatHasNoVariantFormIsATypeMismatch) {
  SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
  V_VT(&value_) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&value_) = SafeArrayCreate(VT_VARIANT, 2, bounds);
  Variant out;
  EXPECT_EQ(ReadVariant(value_, out), DISP_E_TYPEMISMATCH);
  // Nor have arrays nested deeper than a screen's (read without recursing into them all).
  Variant deep = Variant::Array({});
  for (int i = 0; i < 40; ++i) deep = Variant::Array({deep});
  VARIANT made;
  ASSERT_HRESULT_SUCCEEDED(MakeVariant(deep, made));
  EXPECT_EQ(ReadVariant(made, out), DISP_E_TYPEMISMATCH);
  VariantClear(&made);
}

TEST_F(BridgeTest, ArraysGoOutAsSafeArraysOfVariantFromZero) {
  VARIANT made;
  ASSERT_HRESULT_SUCCEEDED(
      MakeVariant(Variant::Array({Variant("4711"), Variant::Double(10.5)}), made));
  ASSERT_EQ(V_VT(&made), VT_ARRAY | VT_VARIANT);
  SAFEARRAY* array = V_ARRAY(&made);
  EXPECT_EQ(SafeArrayGetDim(array), 1u);
  LONG lower = -1;
  LONG upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upper, 1);
  VARTYPE type = VT_EMPTY;
  SafeArrayGetVartype(array, &type);
  EXPECT_EQ(type, VT_VARIANT);
  VARIANT element{};
  LONG index = 1;
  ASSERT_HRESULT_SUCCEEDED(SafeArrayGetElement(array, &index, &element));
  EXPECT_EQ(V_VT(&element), VT_R8);
  EXPECT_EQ(V_R8(&element), 10.5);
  VariantClear(&element);
  VariantClear(&made);

  ASSERT_HRESULT_SUCCEEDED(MakeVariant(Variant::Array({}), made));
  SafeArrayGetUBound(V_ARRAY(&made), 1, &upper);
  EXPECT_EQ(upper, -1);
  VariantClear(&made);
}

TEST_F(BridgeTest, EachSubtypeGoesOutAsItsVariantType) {
  const std::pair<Variant, VARTYPE> cases[] = {
      {Variant(), VT_EMPTY},         {Variant::Null(), VT_NULL},
      {Variant::Integer(10), VT_I2}, {Variant::Long(10), VT_I4},
      {Variant::Double(1.5), VT_R8}, {Variant::Date(2.25), VT_DATE},
      {Variant("x"), VT_BSTR},       {Variant::Boolean(false), VT_BOOL},
  };
  for (const auto& [value, type] : cases) {
    VARIANT made;
    ASSERT_HRESULT_SUCCEEDED(MakeVariant(value, made));
    EXPECT_EQ(V_VT(&made), type) << Describe(value);
    EXPECT_EQ(Read(made), value);
    VariantClear(&made);
  }
}

TEST_F(BridgeTest, WritingFollowsTheParametersReference) {
  VARIANT target{};
  V_VT(&target) = VT_BSTR;
  V_BSTR(&target) = SysAllocString(L"antes");
  V_VT(&value_) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&value_) = &target;
  ASSERT_HRESULT_SUCCEEDED(WriteVariant(Variant::Integer(3), value_));
  EXPECT_EQ(V_VT(&value_), VT_BYREF | VT_VARIANT);
  EXPECT_EQ(V_VT(&target), VT_I2);
  EXPECT_EQ(V_I2(&target), 3);
  V_VT(&value_) = VT_EMPTY;

  LONG number = 0;
  VARIANT typed{};
  V_VT(&typed) = VT_BYREF | VT_I4;
  V_I4REF(&typed) = &number;
  ASSERT_HRESULT_SUCCEEDED(WriteVariant(Variant("123"), typed));
  EXPECT_EQ(number, 123);
  EXPECT_EQ(WriteVariant(Variant("não é número"), typed), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(number, 123);

  BSTR text = SysAllocString(L"velho");
  VARIANT typed_text{};
  V_VT(&typed_text) = VT_BYREF | VT_BSTR;
  V_BSTRREF(&typed_text) = &text;
  ASSERT_HRESULT_SUCCEEDED(WriteVariant(Variant::Long(77), typed_text));
  EXPECT_STREQ(text, L"77");
  SysFreeString(text);
}

TEST_F(BridgeTest, WritingAValueReplacesWhatWasThere) {
  V_VT(&value_) = VT_BSTR;
  V_BSTR(&value_) = SysAllocString(L"antes");
  ASSERT_HRESULT_SUCCEEDED(WriteVariant(Variant::Array({Variant("a")}), value_));
  EXPECT_EQ(V_VT(&value_), VT_ARRAY | VT_VARIANT);
  EXPECT_EQ(Read(value_), Variant::Array({Variant("a")}));
}

TEST_F(BridgeTest, AnObjectIsReadThroughItsDefaultPropertyWhenAsked) {
  DefaultPropertyObject connection("Driver={PostgreSQL Unicode};Database=tmx;");
  V_VT(&value_) = VT_DISPATCH;
  V_DISPATCH(&value_) = &connection;
  {
    Variant read;
    ASSERT_HRESULT_SUCCEEDED(ReadVariant(value_, read));
    ASSERT_TRUE(read.IsObject());
    EXPECT_EQ(connection.reads(), 0);
    EXPECT_EQ(read.object_value()->DefaultProperty(), "Driver={PostgreSQL Unicode};Database=tmx;");
    EXPECT_EQ(connection.reads(), 1);

    VARIANT made;
    ASSERT_HRESULT_SUCCEEDED(MakeVariant(read, made));
    EXPECT_EQ(V_VT(&made), VT_DISPATCH);
    EXPECT_EQ(V_DISPATCH(&made), &connection);
    VariantClear(&made);
  }
  EXPECT_EQ(connection.references(), 0u);  // every reference taken was given back
  V_VT(&value_) = VT_EMPTY;
}

TEST_F(BridgeTest, NothingRaisesTheObjectError) {
  V_VT(&value_) = VT_DISPATCH;
  V_DISPATCH(&value_) = nullptr;
  const Variant read = Read(value_);
  ASSERT_TRUE(read.IsObject());
  try {
    read.object_value()->DefaultProperty();
    ADD_FAILURE() << "no error";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.number(), 91);
  }
}

}  // namespace
}  // namespace tmxcnh::com
