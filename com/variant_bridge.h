// Between COM's VARIANTs and the component's Variants. Outside, text is UTF-16
// (BSTR) and arrays are SAFEARRAYs; inside, text is UTF-8 and arrays are
// Variant arrays with lower bound 0. A connection object stays an object,
// whose default property is read only when the component asks for its text.
#pragma once

#include <windows.h>
// The COM and OLE headers take their basic types from windows.h.
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

#include "platform/variant.h"

namespace tmxcnh::com {

std::string Utf8FromWide(std::wstring_view text);
std::wstring WideFromUtf8(std::string_view text);
// A null BSTR is the empty text.
std::string Utf8FromBstr(BSTR text);

// Reads a parameter as the component sees it, following a reference
// (VT_BYREF). VT_EMPTY, VT_NULL, VT_I2, VT_I4, VT_R8, VT_DATE, VT_BSTR and
// VT_BOOL keep their subtype; the other numbers become the nearest of these
// (VT_I1 and VT_UI1 an Integer; whole numbers a Long when they fit, else a
// Double; VT_R4, VT_CY and VT_DECIMAL a Double; VT_ERROR its code as a Long);
// a one-dimensional array a Variant array, its first element at 0;
// VT_DISPATCH and VT_UNKNOWN an object whose default property (DISPID_VALUE)
// is its text. DISP_E_TYPEMISMATCH for what has no Variant form (arrays of
// more dimensions, records).
HRESULT ReadVariant(const VARIANT& parameter, Variant& out);

// Makes out (not cleared first) a new VARIANT holding value; arrays become
// SAFEARRAYs of VARIANT with lower bound 0.
HRESULT MakeVariant(const Variant& value, VARIANT& out);

// Stores value into a by-reference parameter: into the VARIANT it refers to
// (for VT_BYREF|VT_VARIANT), into the typed storage it refers to, converted
// (for VT_BYREF|VT_I4 and the like), or else into the VARIANT itself. Whatever
// the parameter held before is released.
HRESULT WriteVariant(const Variant& value, VARIANT& parameter);

// An owned BSTR.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::string_view utf8);
  ~Bstr() { SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  BSTR get() const { return value_; }
  // For an in/out parameter: the callee may free the text and store another.
  BSTR* Address() { return &value_; }
  std::string Utf8() const { return Utf8FromBstr(value_); }
  // Hands the text over to the caller, who frees it.
  BSTR Detach() { return std::exchange(value_, nullptr); }

 private:
  BSTR value_ = nullptr;
};

// An owned VARIANT, cleared on destruction.
class OwnedVariant {
 public:
  OwnedVariant() = default;
  ~OwnedVariant() { VariantClear(&value_); }
  OwnedVariant(const OwnedVariant&) = delete;
  OwnedVariant& operator=(const OwnedVariant&) = delete;

  VARIANT* get() { return &value_; }
  const VARIANT& operator*() const { return value_; }

 private:
  VARIANT value_{};  // all zero: VT_EMPTY, and comparable byte for byte
};

}  // namespace tmxcnh::com
