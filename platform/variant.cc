#include "platform/variant.h"

#include <cstdio>

#include "platform/date_serial.h"
#include "platform/run_time_error.h"

namespace tmxcnh {

Variant::Elements::Elements() : items(std::make_unique<std::vector<Variant>>()) {}
Variant::Elements::Elements(std::vector<Variant> values)
    : items(std::make_unique<std::vector<Variant>>(std::move(values))) {}
Variant::Elements::Elements(const Elements& other)
    : items(std::make_unique<std::vector<Variant>>(*other.items)) {}
Variant::Elements& Variant::Elements::operator=(const Elements& other) {
  if (this != &other) items = std::make_unique<std::vector<Variant>>(*other.items);
  return *this;
}
Variant::Elements::~Elements() = default;
bool Variant::Elements::operator==(const Elements& other) const { return *items == *other.items; }

Variant::Variant(std::string text) : value_(std::move(text)) {}
Variant::Variant(const char* text) : value_(std::string(text)) {}

Variant::Variant(const Variant& other) = default;
Variant& Variant::operator=(const Variant& other) {
  if (this != &other) value_ = other.value_;
  return *this;
}

Variant Variant::Null() { return Variant(Value(NullValue{})); }
Variant Variant::Integer(int16_t value) { return Variant(Value(value)); }
Variant Variant::Long(int32_t value) { return Variant(Value(value)); }
Variant Variant::Double(double value) { return Variant(Value(value)); }
Variant Variant::Date(double serial) { return Variant(Value(DateSerial{serial})); }
Variant Variant::String(std::string text) { return Variant(Value(std::move(text))); }
Variant Variant::Boolean(bool value) { return Variant(Value(value)); }
Variant Variant::Array(std::vector<Variant> elements) {
  return Variant(Value(Elements(std::move(elements))));
}
Variant Variant::Object(std::shared_ptr<AutomationObject> object) {
  return Variant(Value(std::move(object)));
}

bool Variant::HoldsNumber() const {
  switch (type()) {
    case VariantType::kInteger:
    case VariantType::kLong:
    case VariantType::kDouble:
    case VariantType::kDate:
    case VariantType::kBoolean:
      return true;
    default:
      return false;
  }
}

double Variant::NumberUnderneath() const {
  switch (type()) {
    case VariantType::kInteger:
      return integer_value();
    case VariantType::kLong:
      return long_value();
    case VariantType::kDouble:
      return double_value();
    case VariantType::kDate:
      return date_value();
    case VariantType::kBoolean:
      return boolean_value() ? -1 : 0;
    default:
      throw RunTimeError::TypeMismatch();
  }
}

std::vector<Variant>& Variant::items() {
  if (!IsArray()) throw RunTimeError::TypeMismatch();
  return *std::get<Elements>(value_).items;
}

const std::vector<Variant>& Variant::items() const {
  if (!IsArray()) throw RunTimeError::TypeMismatch();
  return *std::get<Elements>(value_).items;
}

int32_t Variant::UBound() const { return static_cast<int32_t>(items().size()) - 1; }

Variant& Variant::At(int32_t index) {
  std::vector<Variant>& elements = items();
  if (index < 0 || static_cast<size_t>(index) >= elements.size()) {
    throw RunTimeError::SubscriptOutOfRange();
  }
  return elements[static_cast<size_t>(index)];
}

const Variant& Variant::At(int32_t index) const {
  const std::vector<Variant>& elements = items();
  if (index < 0 || static_cast<size_t>(index) >= elements.size()) {
    throw RunTimeError::SubscriptOutOfRange();
  }
  return elements[static_cast<size_t>(index)];
}

void Variant::ReDim(int32_t upper_bound) {
  if (upper_bound < -1) throw RunTimeError::SubscriptOutOfRange();
  value_ = Elements(std::vector<Variant>(static_cast<size_t>(upper_bound + 1)));
}

bool operator==(const Variant& a, const Variant& b) {
  if (a.type() != b.type()) return false;
  return a.value_ == b.value_;
}

const char* TypeName(VariantType type) {
  static const char* const kNames[] = {"Empty", "Null",   "Integer", "Long",  "Double",
                                       "Date",  "String", "Boolean", "Array", "Object"};
  return kNames[static_cast<int>(type)];
}

std::string Describe(const Variant& value) {
  std::string out = TypeName(value.type());
  char buffer[64];
  switch (value.type()) {
    case VariantType::kInteger:
      return out + " " + std::to_string(value.integer_value());
    case VariantType::kLong:
      return out + " " + std::to_string(value.long_value());
    case VariantType::kDouble:
      std::snprintf(buffer, sizeof buffer, " %.17g", value.double_value());
      return out + buffer;
    case VariantType::kDate: {
      if (!IsDateSerialInRange(value.date_value())) {
        std::snprintf(buffer, sizeof buffer, " #%.17g", value.date_value());
        return out + buffer;
      }
      const CivilTime t = CivilFromSerial(value.date_value());
      std::snprintf(buffer, sizeof buffer, " %04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day,
                    t.hour, t.minute, t.second);
      return out + buffer;
    }
    case VariantType::kString:
      return out + " \"" + value.string_value() + "\"";
    case VariantType::kBoolean:
      return out + (value.boolean_value() ? " True" : " False");
    case VariantType::kArray: {
      out += " [";
      for (int32_t i = 0; i <= value.UBound(); ++i) {
        out += (i ? ", " : "") + Describe(value.At(i));
      }
      return out + "]";
    }
    case VariantType::kObject:
      return out + " \"" + value.object_value()->DefaultProperty() + "\"";
    default:
      return out;
  }
}

std::ostream& operator<<(std::ostream& out, const Variant& value) { return out << Describe(value); }

}  // namespace tmxcnh
