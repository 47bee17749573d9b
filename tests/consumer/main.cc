// A caller of the installed library: creates the object, calls a method with
// a screen's values and reads the result, as the component's callers do.
#include <cstdio>

#include "component/cnh.h"
#include "platform/conversions.h"
#include "tmxcnh/version.h"

int main() {
  using tmxcnh::Variant;
  tmxcnh::CNH object;
  Variant user = Variant::Integer(5), count = Variant::Integer(2), total, message;
  Variant values = Variant::Array({Variant("10,50"), Variant("2,25")});
  const Variant result = object.gSoma_Nota_Fiscal(user, count, values, total, message);
  std::printf("tmxcnh %s: total %s\n", tmxcnh::kTmxcnhVersion, tmxcnh::ToText(total).c_str());
  return result == Variant::Integer(0) && tmxcnh::ToText(total) == "12,75" ? 0 : 1;
}
