// The database scripts of database/<engine>/ and the shared demo data of
// database/demo.sql, compiled into the program so that initdb needs no files
// beside it.
#pragma once

#include <string_view>

#include "db/connection.h"

namespace tmxcnh::db {

enum class Script { kSchema, kProcedures, kDemo };

// The script's text; empty for an engine without scripts.
std::string_view DatabaseScript(Engine engine, Script script);

}  // namespace tmxcnh::db
