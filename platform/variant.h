// Variant: the one value type of the component's interface, modelled on the
// automation VARIANT as the original callers used it. Every parameter of every
// method is a Variant passed by reference; the conversions and operators that
// give a Variant its meaning live in conversions.h, format.h and operators.h.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

namespace tmxcnh {

class Variant;

// An object held in a Variant. The component meets one kind, a database
// connection, whose default property is its connection text: that is what a
// Variant holding it yields when it is read as text.
class AutomationObject {
 public:
  virtual ~AutomationObject() = default;
  virtual std::string DefaultProperty() const = 0;
};

enum class VariantType {
  kEmpty,
  kNull,
  kInteger,  // 2-byte signed
  kLong,     // 4-byte signed
  kDouble,
  kDate,  // days since 1899-12-30, time as the fraction
  kString,
  kBoolean,
  kArray,  // one dimension of Variants, lower bound 0
  kObject,
};

class Variant {
 public:
  // Empty.
  Variant() = default;
  // Text, held as UTF-8.
  Variant(std::string text);  // NOLINT: a text literal reads naturally as a Variant
  Variant(const char* text);  // NOLINT

  static Variant Null();
  static Variant Integer(int16_t value);
  static Variant Long(int32_t value);
  static Variant Double(double value);
  static Variant Date(double serial);
  static Variant String(std::string text);
  static Variant Boolean(bool value);
  static Variant Array(std::vector<Variant> elements);
  static Variant Object(std::shared_ptr<AutomationObject> object);

  Variant(const Variant& other);
  Variant& operator=(const Variant& other);
  Variant(Variant&& other) noexcept = default;
  Variant& operator=(Variant&& other) noexcept = default;
  ~Variant() = default;

  VariantType type() const { return static_cast<VariantType>(value_.index()); }
  bool IsEmpty() const { return type() == VariantType::kEmpty; }
  bool IsNull() const { return type() == VariantType::kNull; }
  bool IsString() const { return type() == VariantType::kString; }
  bool IsArray() const { return type() == VariantType::kArray; }
  bool IsObject() const { return type() == VariantType::kObject; }
  // Integer, Long, Double, Date or Boolean: a value that is a number underneath.
  bool HoldsNumber() const;

  // Raw access; each requires the matching type.
  int16_t integer_value() const { return std::get<int16_t>(value_); }
  int32_t long_value() const { return std::get<int32_t>(value_); }
  double double_value() const { return std::get<double>(value_); }
  double date_value() const { return std::get<DateSerial>(value_).serial; }
  const std::string& string_value() const { return std::get<std::string>(value_); }
  bool boolean_value() const { return std::get<bool>(value_); }
  const std::shared_ptr<AutomationObject>& object_value() const {
    return std::get<std::shared_ptr<AutomationObject>>(value_);
  }
  // The number underneath a Variant for which HoldsNumber() is true
  // (True is -1, a date its serial).
  double NumberUnderneath() const;

  // Arrays. Each raises the type-mismatch error when the Variant holds no
  // array; At raises subscript-out-of-range outside 0..UBound().
  int32_t UBound() const;
  Variant& At(int32_t index);
  const Variant& At(int32_t index) const;
  // Makes this Variant a new array of Empty elements 0..upper_bound (ReDim);
  // -1 gives an array without elements.
  void ReDim(int32_t upper_bound);

  // Same subtype and same value (arrays element by element, objects by identity).
  // This is identity, not the language's "=": see operators.h for that.
  friend bool operator==(const Variant& a, const Variant& b);

 private:
  struct NullValue {
    bool operator==(const NullValue&) const = default;
  };
  struct DateSerial {
    double serial;
    bool operator==(const DateSerial&) const = default;
  };
  // Elements behind a pointer so that a Variant can hold Variants; copies are deep.
  struct Elements {
    std::unique_ptr<std::vector<Variant>> items;
    Elements();
    explicit Elements(std::vector<Variant> values);
    Elements(const Elements& other);
    Elements& operator=(const Elements& other);
    Elements(Elements&&) noexcept = default;
    Elements& operator=(Elements&&) noexcept = default;
    ~Elements();
    bool operator==(const Elements& other) const;
  };

  // The order of the alternatives follows VariantType.
  using Value = std::variant<std::monostate, NullValue, int16_t, int32_t, double, DateSerial,
                             std::string, bool, Elements, std::shared_ptr<AutomationObject>>;

  explicit Variant(Value value) : value_(std::move(value)) {}
  std::vector<Variant>& items();
  const std::vector<Variant>& items() const;

  Value value_;
};

// A readable description such as `Integer 10` or `String "abc"`, for messages and tests.
std::string Describe(const Variant& value);
std::ostream& operator<<(std::ostream& out, const Variant& value);
const char* TypeName(VariantType type);

}  // namespace tmxcnh
