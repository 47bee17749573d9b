// Values read from SQLite columns as the component's Variants: by the
// column's declared type first (decided once per statement) and the stored
// class second.
#pragma once

#include <sqlite3.h>

#include <optional>

#include "platform/variant.h"

namespace tmxcnh::db {

enum class SqliteColumnKind { kDate, kInteger, kDecimal, kUntyped, kOther };

// The kind of a column from its declared type (nullptr for an expression).
SqliteColumnKind SqliteColumnKindOf(const char* declared_type);

// The value of a column of the current row.
Variant SqliteColumnValue(sqlite3_stmt* statement, int column, SqliteColumnKind kind);

// A date stored as text: 'YYYY-MM-DD[ HH:MM[:SS]]' (also with '/' or 'T').
std::optional<double> SqliteDateFromText(const char* text);

}  // namespace tmxcnh::db
