#include "component/frame.h"

#include "platform/conversions.h"
#include "platform/operators.h"

namespace tmxcnh {

std::string ConnectionTextOf(const Variant& connection) { return ToText(connection); }

bool IsOracle(const Variant& kind) { return Equals(kind, "ORACLE"); }

}  // namespace tmxcnh
