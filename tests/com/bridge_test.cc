// The bridge between the caller's VARIANTs and the component's Variants, on
// its own: what each VARIANT a client may pass becomes inside and what each
// Variant subtype goes back as, arrays in and out, and writing through the
// caller's reference. Texts both ways, as a client reads them,
// tests/com/cross-check compares with the Linux build's output.
#include <bit>
#include <tuple>

#include "tests/com/com_test_support.h"

namespace tmxcnh::com {
namespace {

// A VARIANT whose value is in its first 8 bytes.
VARIANT Of(VARTYPE type, LONGLONG bits) {
  VARIANT value{};
  V_VT(&value) = type;
  value.llVal = bits;
  return value;
}

Variant Read(const VARIANT& value) {
  Variant read = "não lido";
  EXPECT_HRESULT_SUCCEEDED(ReadVariant(value, read)) << V_VT(&value);
  return read;
}

using BridgeTest = testing::ComTest;

// Each row comes in as its Variant; that Variant goes out and back unchanged.
TEST_F(BridgeTest, EachTypeBecomesItsSubtypeOrTheNearestAndEachSubtypeGoesBack) {
  LONG number = 42;
  OwnedVariant text;
  OwnedVariant list;
  OwnedVariant texts;  // as Visual Basic passes a Dim a(1) As String
  VARIANT decimal{};
  // Accents, a character beyond Latin-1 and a NUL inside.
  const Variant sent(std::string("Ação: 1,5 €\0fim", 19));
  const Variant nested = Variant::Array({Variant::Array({Variant::Long(1)}), Variant::Null()});
  ASSERT_HRESULT_SUCCEEDED(MakeVariant(sent, *text.get()));
  ASSERT_HRESULT_SUCCEEDED(MakeVariant(nested, *list.get()));
  V_ARRAY(list.get())->rgsabound[0].lLbound = 1;  // as Dim a(1 To 2)
  V_VT(texts.get()) = VT_ARRAY | VT_BSTR;
  V_ARRAY(texts.get()) = SafeArrayCreateVector(VT_BSTR, 0, 2);
  ASSERT_HRESULT_SUCCEEDED(VarDecFromR8(99.25, &V_DECIMAL(&decimal)));
  V_VT(&decimal) = VT_DECIMAL;
  const std::tuple<VARIANT, Variant> cases[] = {
      {Of(VT_EMPTY, 0), Variant()},
      {Of(VT_NULL, 0), Variant::Null()},
      {Of(VT_I2, -7), Variant::Integer(-7)},
      {Of(VT_I4, 70000), Variant::Long(70000)},
      {Of(VT_R8, std::bit_cast<LONGLONG>(12.5)), Variant::Double(12.5)},
      {Of(VT_DATE, std::bit_cast<LONGLONG>(37945.5)), Variant::Date(37945.5)},
      {Of(VT_BOOL, VARIANT_TRUE), Variant::Boolean(true)},
      {*text, sent},
      {Of(VT_UI1, 200), Variant::Integer(200)},
      {Of(VT_I1, -5), Variant::Integer(-5)},
      {Of(VT_UI2, 65000), Variant::Long(65000)},
      {Of(VT_I8, 123), Variant::Long(123)},
      // A Long as far as it reaches, a Double one past either end.
      {Of(VT_I8, INT32_MAX), Variant::Long(INT32_MAX)},
      {Of(VT_I8, INT32_MIN), Variant::Long(INT32_MIN)},
      {Of(VT_I8, INT32_MIN - 1LL), Variant::Double(INT32_MIN - 1.0)},
      {Of(VT_I8, 5000000000LL), Variant::Double(5000000000.0)},
      {Of(VT_UI4, 4000000000LL), Variant::Double(4000000000.0)},
      {Of(VT_R4, std::bit_cast<int32_t>(0.5f)), Variant::Double(0.5)},
      {Of(VT_CY, 12345678), Variant::Double(1234.5678)},
      {decimal, Variant::Double(99.25)},
      {Of(VT_BYREF | VT_I4, reinterpret_cast<INT_PTR>(&number)), Variant::Long(42)},
      {Of(VT_BYREF | VT_VARIANT, reinterpret_cast<INT_PTR>(text.get())), sent},
      // Arrays of one dimension from any bound, a list in a list, typed
      // elements, and a dynamic array never dimensioned.
      {*list, nested},
      {*texts, Variant::Array({"", ""})},
      {Of(VT_ARRAY | VT_VARIANT, 0), Variant::Array({})},
  };
  for (const auto& [value, expected] : cases) {
    EXPECT_EQ(Read(value), expected) << V_VT(&value);
    OwnedVariant back;
    ASSERT_HRESULT_SUCCEEDED(MakeVariant(expected, *back.get()));
    EXPECT_EQ(Read(*back), expected) << V_VT(&value);
  }
}

// An array goes out as a SAFEARRAY of VARIANT from 0, whatever came in.
TEST_F(BridgeTest, WritingFollowsTheCallersReferenceAndConvertsToItsType) {
  // What the caller's variable held is released: here an object.
  testing::ConnectionObject held("antes");
  OwnedVariant target;
  V_VT(target.get()) = VT_DISPATCH;
  V_DISPATCH(target.get()) = &held;
  held.AddRef();
  VARIANT reference = Of(VT_BYREF | VT_VARIANT, reinterpret_cast<INT_PTR>(target.get()));
  const Variant list = Variant::Array({Variant::Integer(3), "b"});
  ASSERT_HRESULT_SUCCEEDED(WriteVariant(list, reference));
  EXPECT_EQ(V_VT(&reference), VT_BYREF | VT_VARIANT);
  EXPECT_EQ(held.references, 0u) << "what the variable held was not released";
  EXPECT_EQ(Read(*target), list);
  ASSERT_EQ(V_VT(target.get()), VT_ARRAY | VT_VARIANT);
  const SAFEARRAY& out = *V_ARRAY(target.get());
  VARTYPE type = VT_EMPTY;
  SafeArrayGetVartype(V_ARRAY(target.get()), &type);
  EXPECT_EQ(std::tuple(out.cDims, type, out.rgsabound[0].lLbound, out.rgsabound[0].cElements),
            std::tuple(1, VT_VARIANT, 0, 2));

  Bstr text("velho");
  VARIANT typed_text = Of(VT_BYREF | VT_BSTR, reinterpret_cast<INT_PTR>(text.Address()));
  ASSERT_HRESULT_SUCCEEDED(WriteVariant(Variant::Long(77), typed_text));
  EXPECT_EQ(text.Utf8(), "77");
  LONG number = 0;
  VARIANT typed = Of(VT_BYREF | VT_I4, reinterpret_cast<INT_PTR>(&number));
  EXPECT_EQ(WriteVariant(Variant("não é número"), typed), DISP_E_TYPEMISMATCH);
}

}  // namespace
}  // namespace tmxcnh::com
