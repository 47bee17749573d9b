// What the public methods and their parameters are for, in words a caller
// reads: the command line's help and the method reference come from here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "component/method_table.h"

namespace tmxcnh {

// One line on what the method does.
std::string_view MethodSummary(const PublicMethod& method);

// What the method answers: its result codes (g methods) or True/False.
std::string MethodResults(const PublicMethod& method);

// The tables and views the method reads and writes (every method with a
// connection also writes a failure into LOG_MSG).
std::string_view MethodTables(const PublicMethod& method);

// The messages the method itself can write into outvntMsg_Ret, its trap's
// sentence last; those of the methods it calls are theirs.
std::vector<std::string_view> MethodMessages(const PublicMethod& method);

struct ParameterDoc {
  std::string direction;  // "in", "out" or "in/out"
  std::string meaning;    // what it holds
  std::string form;       // the typed form a caller passes or reads
};

// A parameter, from its name's parts: in/out, arr (a list, one element per
// row or invoice), vnt, and what it stands for.
ParameterDoc DescribeParameter(const PublicMethod& method, std::string_view name);

}  // namespace tmxcnh
