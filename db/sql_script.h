// Splitting an administration script (schema, procedures, demo data) into
// its statements: ";" ends a statement except inside quotes, $tag$ blocks
// and comments; comments are dropped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tmxcnh::db {

std::vector<std::string> SplitSqlScript(std::string_view script);

}  // namespace tmxcnh::db
