// What the command tells about itself: its usage, the methods it can call and
// each method's parameters, and a near name for one mistyped.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "component/method_table.h"

namespace tmxcnh {

// The usage, printed to out.
void PrintUsage(std::FILE* out);

// `tmxcnh methods`: each method, what it does and what it answers.
void PrintMethods(std::FILE* out);

// `tmxcnh help METHOD`: every parameter in interface order.
void PrintMethodHelp(std::FILE* out, const PublicMethod& method);

// `tmxcnh reference`: every method and parameter as Markdown (docs/methods.md).
void PrintReference(std::FILE* out);

// The method whose name is nearest to a mistyped one, or nullptr when none
// is near enough to suggest.
const PublicMethod* NearestMethod(std::string_view name);

}  // namespace tmxcnh
